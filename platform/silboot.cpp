#include "platform/silboot.h"

#include "foundation/dbg.h"
#include "platform/silimp.h"

#include <new>
#include <set>

namespace
{

std::set<SIL*> mOpenSILs;

} // namespace

SIL* openSIL(int implementation, const HWND* windowHandle)
{
    DBG_ASSERT("Valid implementation." && (implementation == DIRECT_INPUT_IMPLEMENTATION));
    DBG_ASSERT("Valid window handle pointer." && windowHandle);
    SILImp* silImp = new (std::nothrow) SILImp(windowHandle);
    DBG_ASSERT("SIL implementation created successfully." && silImp);
    mOpenSILs.insert(silImp);
    return silImp;
}

void closeSIL(SIL* sil)
{
    DBG_ASSERT("Valid SIL pointer." && sil);
    DBG_ASSERT("SIL is open." && (mOpenSILs.find(sil) != mOpenSILs.end()));
    mOpenSILs.erase(sil);
    delete sil;
}
