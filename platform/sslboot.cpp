#include "platform/sslboot.h"

#include "foundation/dbg.h"
#include "platform/sslimp.h"

#include <new>
#include <set>

namespace
{

std::set<SSL*> fOpenSSLs;

} // namespace

SSL* openSSL(int implementation)
{
    DBG_ASSERT("Valid implementation." && (implementation == DIRECT_AUDIO_IMPLEMENTATION));
    SSLImp* sSLImp = new (std::nothrow) SSLImp();
    DBG_ASSERT("SSLImp created successfully." && sSLImp);
    fOpenSSLs.insert(sSLImp);
    return sSLImp;
}

void closeSSL(SSL* ssl)
{
    DBG_ASSERT("Valid SSL." && ssl);
    DBG_ASSERT("Open SSL." && (fOpenSSLs.find(ssl) != fOpenSSLs.end()));
    fOpenSSLs.erase(ssl);
    delete ssl;
}
