#include "host/objbase.h"

#include "host/dmusic.h"
#include "host/testing.h"

#include <gtest/gtest.h>

#include <thread>

namespace
{

HRESULT createLoader(IDirectMusicLoader8** loader)
{
    return CoCreateInstance(CLSID_DirectMusicLoader, nullptr, CLSCTX_INPROC, IID_IDirectMusicLoader8,
                            reinterpret_cast<void**>(loader));
}

TEST(ObjBaseTest, CoInitializeCountsItsCallsAndCoCreateInstanceNeedsOne)
{
    IDirectMusicLoader8* loader = nullptr;
    EXPECT_EQ(createLoader(&loader), CO_E_NOTINITIALIZED);
    EXPECT_EQ(loader, nullptr);

    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
    CoUninitialize(); // one call is still open
    ASSERT_EQ(createLoader(&loader), S_OK);
    EXPECT_EQ(loader->Release(), 0u);
    CoUninitialize();
    EXPECT_EQ(createLoader(&loader), CO_E_NOTINITIALIZED);

    CoUninitialize(); // one too many does nothing
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    CoUninitialize();
    int reserved = 0;
    EXPECT_EQ(CoInitialize(&reserved), E_INVALIDARG);
}

TEST(ObjBaseTest, EachThreadInitialisesComForItself)
{
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    HRESULT otherThread = E_FAIL;
    std::thread(
        [&]
        {
            otherThread = CoInitialize(nullptr);
            CoUninitialize();
        })
        .join();
    EXPECT_EQ(otherThread, S_OK);
    CoUninitialize();
}

TEST(ObjBaseTest, CoCreateInstanceRefusesWhatItCannotMakeAndLeavesNoObject)
{
    struct Case
    {
        const char* name;
        const CLSID& classID;
        bool outer;
        DWORD context;
        const IID& iid;
        HRESULT result;
    };
    const Case cases[] = {
        {"outer object", CLSID_DirectMusicLoader, true, CLSCTX_INPROC, IID_IDirectMusicLoader8, CLASS_E_NOAGGREGATION},
        {"no in-process context", CLSID_DirectMusicLoader, false, 0x4, IID_IDirectMusicLoader8, REGDB_E_CLASSNOTREG},
        {"class made only by the loader", CLSID_DirectMusicSegment, false, CLSCTX_INPROC, IID_IDirectMusicSegment8,
         REGDB_E_CLASSNOTREG},
        {"interface of another class", CLSID_DirectMusicLoader, false, CLSCTX_INPROC, IID_IDirectMusicPerformance8,
         E_NOINTERFACE},
        {"performance as loader", CLSID_DirectMusicPerformance, false, CLSCTX_INPROC, IID_IDirectMusicLoader8,
         E_NOINTERFACE},
    };
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    IDirectMusicLoader8* outer = nullptr;
    ASSERT_EQ(createLoader(&outer), S_OK);
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        void* object = &outer;
        EXPECT_EQ(CoCreateInstance(c.classID, c.outer ? outer : nullptr, c.context, c.iid, &object), c.result);
        EXPECT_EQ(object, nullptr);
    }
    EXPECT_EQ(CoCreateInstance(CLSID_DirectMusicLoader, nullptr, CLSCTX_INPROC, IID_IDirectMusicLoader8, nullptr),
              E_POINTER);
    EXPECT_EQ(outer->Release(), 0u);
    CoUninitialize();
}

TEST(ObjBaseTest, CreatedObjectsCountTheirReferencesAndAnswerOnlyTheirInterface)
{
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    const long long alive = hosttest::liveComObjects();
    IDirectMusicPerformance8* performance = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_DirectMusicPerformance, nullptr, CLSCTX_INPROC, IID_IDirectMusicPerformance8,
                               reinterpret_cast<void**>(&performance)),
              S_OK);
    EXPECT_EQ(hosttest::liveComObjects(), alive + 1);
    EXPECT_EQ(performance->AddRef(), 2u);
    void* same = nullptr;
    EXPECT_EQ(performance->QueryInterface(IID_IDirectMusicPerformance8, &same), S_OK);
    EXPECT_EQ(same, performance);
    void* other = &same;
    EXPECT_EQ(performance->QueryInterface(IID_IDirectMusicLoader8, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(performance->Release(), 2u);
    EXPECT_EQ(performance->Release(), 1u);
    EXPECT_EQ(hosttest::liveComObjects(), alive + 1);
    EXPECT_EQ(performance->Release(), 0u);
    EXPECT_EQ(hosttest::liveComObjects(), alive) << "released with its last reference";
    CoUninitialize();
}

} // namespace
