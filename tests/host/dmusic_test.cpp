#include "host/dmusic.h"

#include "host/dxerr8.h"
#include "host/hostdmusic.h"
#include "host/testing.h"
#include "tests/fifotesting.h"
#include "tests/host/soundfiles.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::IsEmpty;
using ::testing::StartsWith;
using ::testing::UnorderedElementsAre;

namespace
{

// Waits until the condition holds; the mixer plays in real time on its own thread.
template <class Condition>
bool eventually(Condition condition)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition())
    {
        if (std::chrono::steady_clock::now() > deadline)
        {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// A MIDI track without notes, a quarter note (0.25 s) long: it ends as soon as its time is up.
Bytes silentMidi()
{
    return midiFile({0x00, 0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90, 0x60, 0xFF, 0x01, 0x00});
}

// Each test works in a directory of its own, so that parallel tests never share a file.
class DirectMusicTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mHome = std::filesystem::current_path();
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        mDirectory = std::string(test->test_suite_name()) + "." + test->name();
        std::filesystem::remove_all(mDirectory);
        std::filesystem::create_directory(mDirectory);
        std::filesystem::current_path(mDirectory);

        ASSERT_EQ(CoInitialize(nullptr), S_OK);
        ASSERT_EQ(CoCreateInstance(CLSID_DirectMusicLoader, nullptr, CLSCTX_INPROC, IID_IDirectMusicLoader8,
                                   reinterpret_cast<void**>(&mLoader)),
                  S_OK);
        ASSERT_EQ(CoCreateInstance(CLSID_DirectMusicPerformance, nullptr, CLSCTX_INPROC, IID_IDirectMusicPerformance8,
                                   reinterpret_cast<void**>(&mPerformance)),
                  S_OK);
        hosttest::clearAudioLog();
    }

    void TearDown() override
    {
        for (IDirectMusicSegment8* segment : mSegments)
        {
            segment->Release();
        }
        if (mPerformance != nullptr)
        {
            EXPECT_EQ(mPerformance->CloseDown(), S_OK);
            EXPECT_EQ(mPerformance->Release(), 0u);
        }
        if (mLoader != nullptr)
        {
            EXPECT_EQ(mLoader->Release(), 0u);
        }
        CoUninitialize();
        std::filesystem::current_path(mHome);
        std::filesystem::remove_all(mDirectory);
    }

    HRESULT initAudio(IDirectMusicPerformance8* performance, DWORD channels = 64)
    {
        return performance->InitAudio(nullptr, nullptr, nullptr, DMUS_APATH_SHARED_STEREOPLUSREVERB, channels,
                                      DMUS_AUDIOF_ALL, nullptr);
    }
    HRESULT initAudio(DWORD channels = 64) { return initAudio(mPerformance, channels); }

    HRESULT loadFile(const WCHAR* name, IDirectMusicSegment8** segment)
    {
        return mLoader->LoadObjectFromFile(CLSID_DirectMusicSegment, IID_IDirectMusicSegment8, name,
                                           reinterpret_cast<void**>(segment));
    }

    // Writes the file, loads it with the repeats given and downloads it; the fixture releases it.
    IDirectMusicSegment8* load(const std::string& name, const Bytes& content, DWORD repeats = 0)
    {
        writeFile(name, content);
        IDirectMusicSegment8* segment = nullptr;
        const std::wstring wideName(name.begin(), name.end());
        EXPECT_EQ(loadFile(wideName.c_str(), &segment), S_OK) << name;
        if (segment != nullptr)
        {
            mSegments.push_back(segment);
            EXPECT_EQ(segment->SetRepeats(repeats), S_OK);
            EXPECT_EQ(segment->Download(mPerformance), S_OK);
        }
        return segment;
    }

    HRESULT play(IDirectMusicSegment8* segment, DWORD flags)
    {
        return mPerformance->PlaySegmentEx(segment, nullptr, nullptr, flags, 0, nullptr, nullptr, nullptr);
    }
    HRESULT stop(IDirectMusicSegment8* segment) { return mPerformance->Stop(segment, nullptr, 0, 0); }

    // Releases a segment the test loaded itself; answers the count left.
    ULONG release(IDirectMusicSegment8* segment)
    {
        std::erase(mSegments, segment);
        return segment->Release();
    }

    std::filesystem::path mHome;
    std::filesystem::path mDirectory;
    IDirectMusicLoader8* mLoader = nullptr;
    IDirectMusicPerformance8* mPerformance = nullptr;
    std::vector<IDirectMusicSegment8*> mSegments;
};

// Two seconds of tone: long enough to be still sounding when a test looks.
const Bytes LONG_TONE = toneWave(16000);

TEST_F(DirectMusicTest, TheContentNotTheNameDecidesWhetherAFileIsASampleOrMusic)
{
    ASSERT_EQ(initAudio(), S_OK);
    IDirectMusicSegment8* sample = load("sample.mid", LONG_TONE);
    IDirectMusicSegment8* music = load("music.wav", silentMidi(), DMUS_SEG_REPEAT_INFINITE);

    EXPECT_EQ(play(sample, 0), DMUS_E_SEGMENT_KIND);
    EXPECT_EQ(play(music, DMUS_SEGF_SECONDARY), DMUS_E_SEGMENT_KIND);
    EXPECT_EQ(play(sample, DMUS_SEGF_SECONDARY), S_OK);
    EXPECT_EQ(play(music, 0), S_OK);
    EXPECT_THAT(hosttest::audioPlaying(), ElementsAre("music.wav", "sample.mid"));
    EXPECT_FALSE(hosttest::audioIsSilentFallback()); // the tests ask for the dummy driver themselves
}

TEST_F(DirectMusicTest, AFileThatDoesNotLoadGivesItsOwnCodeAndNoObject)
{
    Bytes wave = toneWave(100);
    Bytes dataPastEnd = wave;
    dataPastEnd[wave.size() - 200 - 8 + 4 + 1] = 0x10; // the data chunk claims 4096 more bytes than there are
    Bytes badMidiHeader = silentMidi();
    badMidiHeader[7] = 2; // a header chunk of 2 bytes
    writeFile("truncated.wav", Bytes(wave.begin(), wave.begin() + 10));
    writeFile("pastend.wav", dataPastEnd);
    writeFile("badheader.mid", badMidiHeader);
    writeFile("picture.wav", Bytes{'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0, 0, 0, 0});
    std::filesystem::create_directory("folder.wav");

    struct Case
    {
        const WCHAR* name;
        HRESULT result;
        const char* description;
    };
    const Case cases[] = {
        {L"missing.wav", DMUS_E_LOADER_FILENOTFOUND, "The sound file does not exist."},
        {L"folder.wav", DMUS_E_LOADER_FAILEDOPEN, "The sound file could not be opened or read."},
        {L"truncated.wav", DMUS_E_INVALIDFILE, "The sound file is malformed."},
        {L"pastend.wav", DMUS_E_INVALIDFILE, "The sound file is malformed."},
        {L"badheader.mid", DMUS_E_INVALIDFILE, "The sound file is malformed."},
        {L"picture.wav", DMUS_E_LOADER_FORMATNOTSUPPORTED,
         "The file is neither a RIFF WAVE file nor a Standard MIDI File."},
        {L"", DMUS_E_LOADER_BADPATH, "The file name is empty or not valid."},
        {L"\xD800.wav", DMUS_E_LOADER_BADPATH, "The file name is empty or not valid."},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.description);
        IDirectMusicSegment8* segment = reinterpret_cast<IDirectMusicSegment8*>(this);
        const HRESULT result = loadFile(c.name, &segment);
        EXPECT_EQ(result, c.result);
        EXPECT_STREQ(DXGetErrorDescription8A(result), c.description);
        EXPECT_EQ(segment, nullptr);
    }
}

TEST_F(DirectMusicTest, AFIFOInPlaceOfASampleOrTheMusicFailsToOpenWithoutWaiting)
{
    for (const std::string name : {"sample.wav", "track.mid"})
    {
        const std::wstring wideName(name.begin(), name.end());
        IDirectMusicSegment8* segment = reinterpret_cast<IDirectMusicSegment8*>(this);
        HRESULT result = S_OK;
        EXPECT_FALSE(readWaitsOnFIFO(name, [&] { result = loadFile(wideName.c_str(), &segment); })) << name;
        EXPECT_EQ(result, DMUS_E_LOADER_FAILEDOPEN) << name;
        EXPECT_EQ(segment, nullptr) << name;
    }
}

TEST_F(DirectMusicTest, TheLoaderMakesOnlySegmentsAndNeedsAName)
{
    writeFile("tone.wav", LONG_TONE);
    void* object = this;
    EXPECT_EQ(mLoader->LoadObjectFromFile(CLSID_DirectMusicLoader, IID_IDirectMusicSegment8, L"tone.wav", &object),
              DMUS_E_LOADER_FAILEDCREATE);
    EXPECT_EQ(object, nullptr);
    object = this;
    EXPECT_EQ(mLoader->LoadObjectFromFile(CLSID_DirectMusicSegment, IID_IDirectMusicLoader8, L"tone.wav", &object),
              E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(mLoader->LoadObjectFromFile(CLSID_DirectMusicSegment, IID_IDirectMusicSegment8, nullptr, &object),
              E_POINTER);
    EXPECT_EQ(mLoader->LoadObjectFromFile(CLSID_DirectMusicSegment, IID_IDirectMusicSegment8, L"tone.wav", nullptr),
              E_POINTER);
}

TEST_F(DirectMusicTest, SamplesOverlapEachOtherAndThemselves)
{
    ASSERT_EQ(initAudio(), S_OK);
    IDirectMusicSegment8* hit = load("hit.wav", LONG_TONE);
    IDirectMusicSegment8* bounce = load("bounce.wav", LONG_TONE);
    EXPECT_EQ(play(hit, DMUS_SEGF_SECONDARY), S_OK);
    EXPECT_EQ(play(hit, DMUS_SEGF_SECONDARY), S_OK);
    EXPECT_EQ(play(bounce, DMUS_SEGF_SECONDARY), S_OK);

    EXPECT_THAT(hosttest::audioPlaying(), ElementsAre("hit.wav", "hit.wav", "bounce.wav"));
    EXPECT_THAT(hosttest::audioLog(), ElementsAre("download hit.wav", "download bounce.wav", "play hit.wav secondary",
                                                  "play hit.wav secondary", "play bounce.wav secondary"));
}

TEST_F(DirectMusicTest, WhenEveryChannelSoundsTheOldestSampleGivesWay)
{
    ASSERT_EQ(initAudio(2), S_OK);
    IDirectMusicSegment8* first = load("first.wav", LONG_TONE);
    IDirectMusicSegment8* second = load("second.wav", LONG_TONE);
    IDirectMusicSegment8* third = load("third.wav", LONG_TONE);
    EXPECT_EQ(play(first, DMUS_SEGF_SECONDARY), S_OK);
    std::this_thread::sleep_for(std::chrono::milliseconds(20)); // so that the mixer sees which is older
    EXPECT_EQ(play(second, DMUS_SEGF_SECONDARY), S_OK);
    EXPECT_EQ(play(third, DMUS_SEGF_SECONDARY), S_OK);
    EXPECT_THAT(hosttest::audioPlaying(), UnorderedElementsAre("second.wav", "third.wav"));
}

TEST_F(DirectMusicTest, APrimarySegmentReplacesTheOneBeforeAndLeavesTheSamples)
{
    ASSERT_EQ(initAudio(), S_OK);
    IDirectMusicSegment8* intro = load("intro.mid", silentMidi(), DMUS_SEG_REPEAT_INFINITE);
    IDirectMusicSegment8* game = load("game.mid", silentMidi(), DMUS_SEG_REPEAT_INFINITE);
    IDirectMusicSegment8* hit = load("hit.wav", LONG_TONE);
    EXPECT_EQ(play(intro, 0), S_OK);
    EXPECT_EQ(play(hit, DMUS_SEGF_SECONDARY), S_OK);
    EXPECT_EQ(play(game, 0), S_OK);
    EXPECT_THAT(hosttest::audioPlaying(), ElementsAre("game.mid", "hit.wav"));
}

TEST_F(DirectMusicTest, ASegmentPlaysOnceWithoutRepeatsAndLoopsWithInfiniteRepeats)
{
    ASSERT_EQ(initAudio(), S_OK);
    IDirectMusicSegment8* once = load("once.wav", toneWave(400)); // 50 ms
    IDirectMusicSegment8* looping = load("looping.wav", toneWave(400), DMUS_SEG_REPEAT_INFINITE);
    EXPECT_EQ(play(once, DMUS_SEGF_SECONDARY), S_OK);
    EXPECT_EQ(play(looping, DMUS_SEGF_SECONDARY), S_OK);
    EXPECT_TRUE(eventually([] { return hosttest::audioPlaying() == std::vector<std::string>{"looping.wav"}; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(300)); // six times its length
    EXPECT_THAT(hosttest::audioPlaying(), ElementsAre("looping.wav"));
}

TEST_F(DirectMusicTest, MusicWithInfiniteRepeatsPlaysOnPastItsEnd)
{
    ASSERT_EQ(initAudio(), S_OK);
    IDirectMusicSegment8* track = load("track.mid", silentMidi(), DMUS_SEG_REPEAT_INFINITE);
    EXPECT_EQ(play(track, 0), S_OK);
    // Played once, the quarter-second track has ended after about two seconds (the synthesiser's tail).
    std::this_thread::sleep_for(std::chrono::seconds(3));
    EXPECT_THAT(hosttest::audioPlaying(), ElementsAre("track.mid"));
}

TEST_F(DirectMusicTest, StopEndsOneSegmentWhereverItPlaysOrEverything)
{
    ASSERT_EQ(initAudio(), S_OK);
    IDirectMusicSegment8* track = load("track.mid", silentMidi(), DMUS_SEG_REPEAT_INFINITE);
    IDirectMusicSegment8* hit = load("hit.wav", LONG_TONE);
    IDirectMusicSegment8* bounce = load("bounce.wav", LONG_TONE);
    EXPECT_EQ(play(track, 0), S_OK);
    EXPECT_EQ(play(hit, DMUS_SEGF_SECONDARY), S_OK);
    EXPECT_EQ(play(bounce, DMUS_SEGF_SECONDARY), S_OK);
    EXPECT_EQ(play(hit, DMUS_SEGF_SECONDARY), S_OK);
    hosttest::clearAudioLog();

    EXPECT_EQ(stop(hit), S_OK);
    EXPECT_THAT(hosttest::audioPlaying(), ElementsAre("track.mid", "bounce.wav"));
    EXPECT_EQ(stop(hit), S_OK); // no longer playing: nothing to do
    EXPECT_EQ(stop(track), S_OK);
    EXPECT_THAT(hosttest::audioPlaying(), ElementsAre("bounce.wav"));
    EXPECT_EQ(play(track, 0), S_OK);
    EXPECT_EQ(stop(nullptr), S_OK);
    EXPECT_THAT(hosttest::audioPlaying(), IsEmpty());
    EXPECT_THAT(hosttest::audioLog(),
                ElementsAre("stop hit.wav", "stop hit.wav", "stop track.mid", "play track.mid", "stop all"));
}

TEST_F(DirectMusicTest, DownloadsAreCountedAndTheLastUnloadStopsTheSegment)
{
    ASSERT_EQ(initAudio(), S_OK);
    IDirectMusicSegment8* hit = load("hit.wav", LONG_TONE);
    EXPECT_EQ(hit->Download(mPerformance), S_OK);
    EXPECT_EQ(play(hit, DMUS_SEGF_SECONDARY), S_OK);
    EXPECT_EQ(hit->Unload(mPerformance), S_OK);
    EXPECT_THAT(hosttest::audioPlaying(), ElementsAre("hit.wav"));
    EXPECT_EQ(hit->Unload(mPerformance), S_OK);
    EXPECT_THAT(hosttest::audioPlaying(), IsEmpty());

    EXPECT_EQ(hit->Unload(mPerformance), DMUS_E_NOT_DOWNLOADED_TO_PORT);
    EXPECT_EQ(play(hit, DMUS_SEGF_SECONDARY), DMUS_E_NOT_DOWNLOADED_TO_PORT);
    EXPECT_EQ(hit->Download(mPerformance), S_OK); // downloads again after the last unload
    EXPECT_EQ(play(hit, DMUS_SEGF_SECONDARY), S_OK);
    EXPECT_THAT(hosttest::audioLog(),
                ElementsAre("download hit.wav", "download hit.wav", "play hit.wav secondary", "unload hit.wav",
                            "unload hit.wav", "download hit.wav", "play hit.wav secondary"));
}

TEST_F(DirectMusicTest, NothingPlaysBeforeInitAudioOrAfterCloseDown)
{
    writeFile("hit.wav", LONG_TONE);
    IDirectMusicSegment8* hit = nullptr;
    ASSERT_EQ(loadFile(L"hit.wav", &hit), S_OK);
    mSegments.push_back(hit);
    EXPECT_EQ(hit->Download(mPerformance), DMUS_E_NOT_INIT);
    EXPECT_EQ(play(hit, DMUS_SEGF_SECONDARY), DMUS_E_NOT_INIT);
    EXPECT_FALSE(hosttest::audioIsOpen());

    ASSERT_EQ(initAudio(), S_OK);
    EXPECT_TRUE(hosttest::audioIsOpen());
    IDirectMusicSegment8* bounce = load("bounce.wav", LONG_TONE);
    EXPECT_EQ(hit->Download(mPerformance), S_OK);
    EXPECT_EQ(play(hit, DMUS_SEGF_SECONDARY), S_OK);
    hosttest::clearAudioLog();

    EXPECT_EQ(mPerformance->CloseDown(), S_OK);
    EXPECT_FALSE(hosttest::audioIsOpen());
    EXPECT_THAT(hosttest::audioLog(), ElementsAre("unload bounce.wav", "unload hit.wav"));
    EXPECT_THAT(hosttest::audioPlaying(), IsEmpty());
    EXPECT_EQ(hit->Unload(mPerformance), DMUS_E_NOT_DOWNLOADED_TO_PORT);
    EXPECT_EQ(play(bounce, DMUS_SEGF_SECONDARY), DMUS_E_NOT_INIT);

    ASSERT_EQ(initAudio(), S_OK); // the output opens again
    EXPECT_EQ(bounce->Download(mPerformance), S_OK);
    EXPECT_EQ(play(bounce, DMUS_SEGF_SECONDARY), S_OK);
    EXPECT_THAT(hosttest::audioPlaying(), ElementsAre("bounce.wav"));
}

TEST_F(DirectMusicTest, ReleasingAPlayingSegmentStopsIt)
{
    ASSERT_EQ(initAudio(), S_OK);
    IDirectMusicSegment8* track = load("track.mid", silentMidi(), DMUS_SEG_REPEAT_INFINITE);
    IDirectMusicSegment8* hit = load("hit.wav", LONG_TONE);
    EXPECT_EQ(play(track, 0), S_OK);
    EXPECT_EQ(play(hit, DMUS_SEGF_SECONDARY), S_OK);
    EXPECT_EQ(release(hit), 0u);
    EXPECT_EQ(release(track), 0u);
    EXPECT_THAT(hosttest::audioPlaying(), IsEmpty());
}

TEST_F(DirectMusicTest, OnePerformanceAtATimeHoldsTheOutput)
{
    IDirectMusicPerformance8* other = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_DirectMusicPerformance, nullptr, CLSCTX_INPROC, IID_IDirectMusicPerformance8,
                               reinterpret_cast<void**>(&other)),
              S_OK);
    ASSERT_EQ(initAudio(), S_OK);
    EXPECT_EQ(initAudio(), DMUS_E_ALREADY_INITED);
    EXPECT_EQ(initAudio(other), DMUS_E_ALREADY_INITED);
    IDirectMusicSegment8* hit = load("hit.wav", LONG_TONE);
    EXPECT_EQ(hit->Download(other), DMUS_E_NOT_INIT);
    EXPECT_EQ(hit->Unload(other), DMUS_E_NOT_DOWNLOADED_TO_PORT);

    EXPECT_EQ(mPerformance->CloseDown(), S_OK);
    EXPECT_EQ(initAudio(other), S_OK);
    EXPECT_EQ(other->Release(), 0u); // releasing an initialised performance closes its output
    EXPECT_EQ(initAudio(), S_OK);
}

TEST_F(DirectMusicTest, ArgumentsBeyondWhatTheHostDoesAreRefused)
{
    ASSERT_EQ(initAudio(), S_OK);
    IDirectMusicSegment8* hit = load("hit.wav", LONG_TONE);
    IDirectMusicSegmentState* state = nullptr;
    WCHAR name[] = L"name";
    auto* const someObject = static_cast<IUnknown*>(mLoader);
    struct Case
    {
        const char* name;
        HRESULT result;
        HRESULT expected;
    };
    const Case cases[] = {
        {"play: no segment", play(nullptr, 0), E_POINTER},
        {"play: not a segment",
         mPerformance->PlaySegmentEx(someObject, nullptr, nullptr, 0, 0, nullptr, nullptr, nullptr), E_INVALIDARG},
        {"play: a segment name", mPerformance->PlaySegmentEx(hit, name, nullptr, 0x80, 0, nullptr, nullptr, nullptr),
         E_NOTIMPL},
        {"play: a transition", mPerformance->PlaySegmentEx(hit, nullptr, hit, 0x80, 0, nullptr, nullptr, nullptr),
         E_NOTIMPL},
        {"play: a start time", mPerformance->PlaySegmentEx(hit, nullptr, nullptr, 0x80, 1, nullptr, nullptr, nullptr),
         E_NOTIMPL},
        {"play: a state", mPerformance->PlaySegmentEx(hit, nullptr, nullptr, 0x80, 0, &state, nullptr, nullptr),
         E_NOTIMPL},
        {"play: something to stop", mPerformance->PlaySegmentEx(hit, nullptr, nullptr, 0x80, 0, nullptr, hit, nullptr),
         E_NOTIMPL},
        {"play: an audio path",
         mPerformance->PlaySegmentEx(hit, nullptr, nullptr, 0x80, 0, nullptr, nullptr, someObject), E_NOTIMPL},
        {"play: other flags", play(hit, 0x81), E_NOTIMPL},
        {"stop: at a time", mPerformance->Stop(hit, nullptr, 5, 0), E_NOTIMPL},
        {"stop: flags", mPerformance->Stop(hit, nullptr, 0, 1), E_NOTIMPL},
        {"download: nothing", hit->Download(nullptr), E_POINTER},
        {"download: not a performance", hit->Download(someObject), E_INVALIDARG},
        {"unload: not a performance", hit->Unload(someObject), E_INVALIDARG},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.result, c.expected);
    }
    EXPECT_EQ(mPerformance->CloseDown(), S_OK);
    IDirectMusic* music = nullptr;
    EXPECT_EQ(mPerformance->InitAudio(&music, nullptr, nullptr, 1, 64, DMUS_AUDIOF_ALL, nullptr), E_NOTIMPL);
    EXPECT_EQ(mPerformance->InitAudio(nullptr, nullptr, nullptr, 2, 64, DMUS_AUDIOF_ALL, nullptr), E_NOTIMPL);
    EXPECT_EQ(initAudio(DWORD{0}), E_INVALIDARG);
    EXPECT_EQ(initAudio(100000), E_INVALIDARG);
}

// The sound library's life cycle: the counts it checks are what remains of its own references.
TEST_F(DirectMusicTest, ReferenceCountsReachZeroWhenEverythingIsClosedInOrder)
{
    ASSERT_EQ(initAudio(), S_OK);
    writeFile("hit.wav", LONG_TONE);
    writeFile("track.mid", silentMidi());
    IDirectMusicSegment8* hit = nullptr;
    IDirectMusicSegment8* track = nullptr;
    ASSERT_EQ(loadFile(L"hit.wav", &hit), S_OK);
    ASSERT_EQ(loadFile(L"track.mid", &track), S_OK);
    EXPECT_EQ(hit->SetRepeats(0), S_OK);
    EXPECT_EQ(track->SetRepeats(DMUS_SEG_REPEAT_INFINITE), S_OK);
    EXPECT_EQ(hit->AddRef(), 2u);
    EXPECT_EQ(hit->Release(), 1u);

    EXPECT_EQ(hit->Download(mPerformance), S_OK);
    EXPECT_EQ(play(hit, DMUS_SEGF_SECONDARY), S_OK);
    EXPECT_EQ(track->Download(mPerformance), S_OK);
    EXPECT_EQ(play(track, 0), S_OK);
    EXPECT_EQ(stop(track), S_OK);
    EXPECT_EQ(track->Unload(mPerformance), S_OK);
    EXPECT_EQ(hit->Unload(mPerformance), S_OK);
    EXPECT_EQ(track->Release(), 0u);
    EXPECT_EQ(hit->Release(), 0u);
    EXPECT_EQ(stop(nullptr), S_OK);
    EXPECT_EQ(mPerformance->CloseDown(), S_OK);
    EXPECT_EQ(mPerformance->Release(), 0u);
    EXPECT_EQ(mLoader->Release(), 0u);
    mPerformance = nullptr;
    mLoader = nullptr;
    EXPECT_THAT(hosttest::audioLog(),
                ElementsAre("download hit.wav", "play hit.wav secondary", "download track.mid", "play track.mid",
                            "stop track.mid", "unload track.mid", "unload hit.wav", "stop all"));
}

// An environment variable set for the test's time, as SDL and SDL_mixer read it; the value before comes back after it.
class EnvironmentChoice
{
public:
    EnvironmentChoice(const char* name, const char* value) : mName(name)
    {
        if (const char* const before = std::getenv(name))
        {
            mBefore = before;
        }
        setenv(name, value, 1);
    }
    ~EnvironmentChoice()
    {
        if (mBefore)
        {
            setenv(mName.c_str(), mBefore->c_str(), 1);
        }
        else
        {
            unsetenv(mName.c_str());
        }
    }
    EnvironmentChoice(const EnvironmentChoice&) = delete;
    EnvironmentChoice& operator=(const EnvironmentChoice&) = delete;

private:
    std::string mName;
    std::optional<std::string> mBefore;
};

const std::string NO_DEVICE_NOTICE = "No audio device could be opened";

TEST_F(DirectMusicTest, WithoutAnAudioDevicePlayingGoesOnSilentlyAndSaysSoOnce)
{
    HRESULT firstOpen = S_OK;
    bool firstSilent = false;
    HRESULT played = S_OK;
    std::vector<std::string> playing;
    HRESULT secondOpen = S_OK;
    std::string said;
    {
        const EnvironmentChoice choice("SDL_AUDIODRIVER", "no-such-device");
        ::testing::internal::CaptureStderr();
        firstOpen = initAudio();
        firstSilent = hosttest::audioIsSilentFallback();
        IDirectMusicSegment8* hit = load("hit.wav", LONG_TONE);
        played = play(hit, DMUS_SEGF_SECONDARY);
        playing = hosttest::audioPlaying();
        mPerformance->CloseDown();
        secondOpen = initAudio();
        said = ::testing::internal::GetCapturedStderr();
    }

    EXPECT_EQ(firstOpen, S_OK);
    EXPECT_TRUE(firstSilent);
    EXPECT_EQ(played, S_OK);
    EXPECT_THAT(playing, ElementsAre("hit.wav"));
    EXPECT_EQ(secondOpen, S_OK);
    EXPECT_TRUE(hosttest::audioIsSilentFallback());
    ASSERT_NE(said.find(NO_DEVICE_NOTICE), std::string::npos) << said;
    EXPECT_EQ(said.find(NO_DEVICE_NOTICE, said.find(NO_DEVICE_NOTICE) + 1), std::string::npos) << said;
}

// ALSA, which SDL tries when no sound server answers, reports a missing card in lines of its own.
TEST_F(DirectMusicTest, WithoutASoundCardTheNoticeIsAllThatAlsaLeavesOnTheStandardError)
{
    if (hostSoundCardIsPresent())
    {
        GTEST_SKIP() << "this machine has a sound card";
    }
    std::string said;
    {
        const EnvironmentChoice choice("SDL_AUDIODRIVER", "alsa");
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(initAudio(), S_OK);
        said = ::testing::internal::GetCapturedStderr();
    }

    EXPECT_TRUE(hosttest::audioIsSilentFallback());
    // Another test in the same process may have given the notice already.
    EXPECT_TRUE(said.empty() || (said.starts_with(NO_DEVICE_NOTICE) && std::ranges::count(said, '\n') == 1)) << said;
}

TEST_F(DirectMusicTest, MusicTheMixerRefusesFailsToDownloadAndTheMixerSaysWhyInOneLine)
{
    // Neither of SDL_mixer's MIDI players finds what it needs: FluidSynth no soundfont, Timidity no configuration.
    // Chosen before SDL starts: SDL 3, under sdl2-compat, reads a copy of the environment that it takes then.
    const EnvironmentChoice force("SDL_FORCE_SOUNDFONTS", "1");
    const EnvironmentChoice soundfonts("SDL_SOUNDFONTS", "/nonexistent/none.sf2");
    const EnvironmentChoice timidity("TIMIDITY_CFG", "/nonexistent/timidity.cfg");
    ASSERT_EQ(initAudio(), S_OK);
    writeFile("track.mid", silentMidi());
    IDirectMusicSegment8* music = nullptr;
    ASSERT_EQ(loadFile(L"track.mid", &music), S_OK);
    mSegments.push_back(music);

    HRESULT downloaded = S_OK;
    std::string said;
    {
        ::testing::internal::CaptureStderr();
        downloaded = music->Download(mPerformance);
        said = ::testing::internal::GetCapturedStderr();
    }

    EXPECT_EQ(downloaded, DMUS_E_DOWNLOAD_FAILED);
    // The reason is SDL_mixer's own, in whatever words its version has.
    const std::string start = "The music track.mid could not be prepared for the mixer (";
    EXPECT_THAT(said, StartsWith(start));
    EXPECT_THAT(said, EndsWith(").\n"));
    EXPECT_GT(said.size(), start.size() + 3) << said;
    EXPECT_EQ(std::ranges::count(said, '\n'), 1) << said;
    EXPECT_EQ(play(music, 0), DMUS_E_NOT_DOWNLOADED_TO_PORT);
}

} // namespace
