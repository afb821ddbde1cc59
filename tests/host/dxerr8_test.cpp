#include "host/dxerr8.h"

#include "host/dinput8.h"
#include "host/dmusic.h"
#include "host/objbase.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace
{

// Every result the host layer hands out, successes included; DirectInput names that share a COM value
// (DI_NOEFFECT is S_FALSE, DIERR_OTHERAPPHASPRIO is E_ACCESSDENIED, ...) are listed under it.
const HRESULT HOST_RESULTS[] = {
    S_OK,
    S_FALSE,
    E_NOTIMPL,
    E_NOINTERFACE,
    E_POINTER,
    E_FAIL,
    E_ACCESSDENIED,
    E_OUTOFMEMORY,
    E_INVALIDARG,
    E_PENDING,
    CLASS_E_NOAGGREGATION,
    REGDB_E_CLASSNOTREG,
    CO_E_NOTINITIALIZED,
    DIERR_INPUTLOST,
    DIERR_NOTACQUIRED,
    DIERR_ACQUIRED,
    DIERR_OLDDIRECTINPUTVERSION,
    DIERR_BETADIRECTINPUTVERSION,
    DMUS_S_PARTIALLOAD,
    DMUS_E_LOADER_BADPATH,
    DMUS_E_LOADER_FILENOTFOUND,
    DMUS_E_LOADER_FAILEDOPEN,
    DMUS_E_LOADER_FORMATNOTSUPPORTED,
    DMUS_E_INVALIDFILE,
    DMUS_E_UNSUPPORTED_STREAM,
    DMUS_E_LOADER_FAILEDCREATE,
    DMUS_E_NOT_INIT,
    DMUS_E_ALREADY_INITED,
    DMUS_E_AUDIO_UNAVAILABLE,
    DMUS_E_NOT_DOWNLOADED_TO_PORT,
    DMUS_E_DOWNLOAD_FAILED,
    DMUS_E_SEGMENT_KIND,
    DMUS_E_PLAY_FAILED,
};

TEST(DXErr8Test, EveryHostResultHasADescriptionOfItsOwn)
{
    std::map<std::string, HRESULT> seen;
    for (const HRESULT result : HOST_RESULTS)
    {
        const std::string description = DXGetErrorDescription8A(result);
        SCOPED_TRACE(description);
        EXPECT_NE(description, "Unknown error.");
        EXPECT_EQ(description.back(), '.');
        const auto [other, inserted] = seen.emplace(description, result);
        EXPECT_TRUE(inserted) << "shared with " << std::hex << other->second;
    }
}

TEST(DXErr8Test, AnyOtherResultIsAnUnknownError)
{
    for (const HRESULT result : {static_cast<HRESULT>(0x80001234u), static_cast<HRESULT>(0x88780FFFu), 2, -1})
    {
        EXPECT_STREQ(DXGetErrorDescription8A(result), "Unknown error.");
    }
}

} // namespace
