// COM start-up is a per-thread count of CoInitialize calls; the class factory hands out the DirectMusic
// stand-in's loader and performance.

#include "host/objbase.h"

#include "host/comobject.h"
#include "host/hostdmusic.h"
#include "host/testing.h"

namespace
{

thread_local ULONG comInitialisations = 0;

} // namespace

long long& hostComObjectsAlive()
{
    static long long alive = 0;
    return alive;
}

HRESULT CoInitialize(void* reserved)
{
    if (reserved != nullptr)
    {
        return E_INVALIDARG;
    }
    return comInitialisations++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize()
{
    if (comInitialisations > 0)
    {
        --comInitialisations;
    }
}

HRESULT CoCreateInstance(REFCLSID classID, IUnknown* outer, DWORD context, REFIID iid, void** object)
{
    if (object == nullptr)
    {
        return E_POINTER;
    }
    *object = nullptr;
    if (comInitialisations == 0)
    {
        return CO_E_NOTINITIALIZED;
    }
    if (outer != nullptr)
    {
        return CLASS_E_NOAGGREGATION;
    }
    if ((context & CLSCTX_INPROC) == 0)
    {
        return REGDB_E_CLASSNOTREG;
    }
    return hostCreateDirectMusicObject(classID, iid, object);
}

namespace hosttest
{

long long liveComObjects()
{
    return hostComObjectsAlive();
}

} // namespace hosttest
