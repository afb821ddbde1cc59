// The DirectMusic stand-in over SDL2_mixer.
//
// SDL_mixer has one output per process, so one performance at a time holds it, from InitAudio to CloseDown.
// A downloaded segment holds the mixer's copy of its sound: a chunk converted to the output's format for a
// wave, a music object for MIDI. Waves play on the mixer's channels, one per performance channel; MIDI plays
// as SDL_mixer's one music stream, through FluidSynth with the General MIDI soundfont of the
// timgm6mb-soundfont package. Segments and the performance know each other while a segment is downloaded;
// whichever goes first detaches the other, so neither holds a hidden reference and Release counts stay honest.
// Dependencies: SDL2 (audio subsystem, through hostStartSDL), SDL2_mixer; /dev/snd, for whether there is a sound
// card.

#include "host/dmusic.h"

#include "host/comobject.h"

#include "host/dmusicfile.h"
#include "host/hostdmusic.h"
#include "host/hostwin32.h"
#include "host/quietstderr.h"
#include "host/testing.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <new>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include <unistd.h>

namespace
{

constexpr const char* SOUNDFONT_PATH = "/usr/share/sounds/sf2/TimGM6mb.sf2";
constexpr int OUTPUT_RATE = 44100;         // Hz
constexpr int OUTPUT_CHANNELS = 2;         // stereo
constexpr int OUTPUT_BUFFER_FRAMES = 1024; // about 23 ms
constexpr DWORD MAX_PERFORMANCE_CHANNELS = 256;
constexpr std::size_t AUDIO_LOG_LIMIT = 4096;

std::deque<std::string> audioEvents; // the test seam's audio log

void logAudio(const std::string& event)
{
    if (audioEvents.size() == AUDIO_LOG_LIMIT)
    {
        audioEvents.pop_front();
    }
    audioEvents.push_back(event);
}

// Wide characters are UTF-32 code points here; the file system takes UTF-8.
bool encodeUtf8(const WCHAR* wide, std::string& bytes)
{
    bytes.clear();
    for (; *wide != 0; ++wide)
    {
        const auto code = static_cast<std::uint32_t>(*wide);
        if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        {
            return false;
        }
        if (code < 0x80)
        {
            bytes += static_cast<char>(code);
        }
        else if (code < 0x800)
        {
            bytes += static_cast<char>(0xC0 | code >> 6);
            bytes += static_cast<char>(0x80 | (code & 0x3F));
        }
        else if (code < 0x10000)
        {
            bytes += static_cast<char>(0xE0 | code >> 12);
            bytes += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            bytes += static_cast<char>(0x80 | (code & 0x3F));
        }
        else
        {
            bytes += static_cast<char>(0xF0 | code >> 18);
            bytes += static_cast<char>(0x80 | (code >> 12 & 0x3F));
            bytes += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            bytes += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return !bytes.empty();
}

class Performance;

class Segment final : public HostComObject<IDirectMusicSegment8, &IID_IDirectMusicSegment8>
{
public:
    Segment(std::string name, DMSoundFile file) : mName(std::move(name)), mFile(std::move(file)) {}

    HRESULT SetRepeats(DWORD repeats) override
    {
        mRepeats = repeats;
        return S_OK;
    }
    HRESULT Download(IUnknown* audioPath) override;
    HRESULT Unload(IUnknown* audioPath) override;

    const std::string& name() const { return mName; }
    DMSoundKind kind() const { return mFile.kind; }
    Performance* performance() const { return mPerformance; }
    Mix_Chunk* chunk() const { return mChunk; }
    Mix_Music* music() const { return mMusic; }
    /// SDL_mixer's loop count for the repeats: extra plays for a channel, plays in all for music.
    int mixerLoops() const;
    /// Frees the mixer's copy of the sound, undoing every download; the performance has stopped it.
    void dropDownload();

private:
    ~Segment() override;

    std::string mName;
    DMSoundFile mFile;
    DWORD mRepeats = 0;
    Performance* mPerformance = nullptr; // where the segment is downloaded, null when it is not
    ULONG mDownloadCount = 0;
    Mix_Chunk* mChunk = nullptr; // a downloaded wave
    Mix_Music* mMusic = nullptr; // downloaded MIDI
};

class Performance final : public HostComObject<IDirectMusicPerformance8, &IID_IDirectMusicPerformance8>
{
public:
    Performance() = default;

    HRESULT InitAudio(IDirectMusic** music, IDirectSound** sound, HWND window, DWORD defaultPathType,
                      DWORD performanceChannelCount, DWORD flags, DMUS_AUDIOPARAMS* parameters) override;
    HRESULT PlaySegmentEx(IUnknown* source, WCHAR* segmentName, IUnknown* transition, DWORD flags,
                          REFERENCE_TIME startTime, IDirectMusicSegmentState** segmentState, IUnknown* from,
                          IUnknown* audioPath) override;
    HRESULT Stop(IDirectMusicSegment8* segment, IDirectMusicSegmentState* segmentState, MUSIC_TIME time,
                 DWORD flags) override;
    HRESULT CloseDown() override;

    bool isInitialised() const { return mInitialised; }
    void addDownload(Segment& segment) { mDownloads.push_back(&segment); }
    /// Stops the segment and forgets it: its last download is undone.
    void removeDownload(Segment& segment);
    /// The names of the segments sounding now: the primary segment, then the samples by channel.
    std::vector<std::string> playing() const;

private:
    ~Performance() override { CloseDown(); }
    void stopSegment(const Segment& segment);
    void stopAll();

    bool mInitialised = false;
    std::vector<Segment*> mDownloads;
    std::vector<Segment*> mChannelSegments; // the sample last started on each mixer channel
    Segment* mPrimary = nullptr;            // the music last started
};

// The performance that holds SDL_mixer's output, and whether that output is the silent fallback.
Performance* outputOwner = nullptr;
bool outputIsSilent = false;

bool openOutput()
{
    if (!hostStartSDL(SDL_INIT_AUDIO))
    {
        return false;
    }
    if (Mix_OpenAudio(OUTPUT_RATE, MIX_DEFAULT_FORMAT, OUTPUT_CHANNELS, OUTPUT_BUFFER_FRAMES) == 0)
    {
        return true;
    }
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
}

// Without a sound card ALSA reports on the standard error, in eight lines, that it found none, before SDL moves on;
// the notice below says so in one. Where there is a card, what the library says is why it would not open.
bool openOutputQuietlyWithoutSoundCard()
{
    if (hostSoundCardIsPresent())
    {
        return openOutput();
    }
    const HostQuietStderr quiet;
    return openOutput();
}

// Without a sound card or a sound server the program still runs: it plays into SDL's dummy driver, in silence.
bool openOutputOrSilence()
{
    outputIsSilent = false;
    if (openOutputQuietlyWithoutSoundCard())
    {
        return true;
    }
    const std::string reason = SDL_GetError();
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    const bool opened = openOutput();
    SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    if (!opened)
    {
        return false;
    }
    outputIsSilent = true;
    static bool noticeGiven = false;
    if (!noticeGiven)
    {
        std::fprintf(stderr, "No audio device could be opened (%s); the sound plays silently.\n", reason.c_str());
        noticeGiven = true;
    }
    return true;
}

void closeOutput()
{
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    outputIsSilent = false;
}

// The performance a segment is downloaded to or unloaded from, given as an audio path.
HRESULT performanceOf(IUnknown* audioPath, Performance*& performance)
{
    if (audioPath == nullptr)
    {
        return E_POINTER;
    }
    performance = dynamic_cast<Performance*>(audioPath);
    return performance != nullptr ? S_OK : E_INVALIDARG;
}

HRESULT Segment::Download(IUnknown* audioPath)
{
    Performance* performance = nullptr;
    if (const HRESULT result = performanceOf(audioPath, performance); FAILED(result))
    {
        return result;
    }
    if (!performance->isInitialised())
    {
        return DMUS_E_NOT_INIT;
    }
    if (mDownloadCount == 0)
    {
        if (mFile.kind == DMSoundKind::WAVE)
        {
            const std::vector<BYTE> wave = canonicalWaveFile(mFile);
            mChunk = Mix_LoadWAV_RW(SDL_RWFromConstMem(wave.data(), static_cast<int>(wave.size())), 1);
        }
        else
        {
            // The music object may read its data while it plays, so it reads the segment's own bytes.
            SDL_RWops* const data = SDL_RWFromConstMem(mFile.bytes.data(), static_cast<int>(mFile.bytes.size()));
            mMusic = Mix_LoadMUSType_RW(data, MUS_MID, 1);
        }
        if (mChunk == nullptr && mMusic == nullptr)
        {
            // The result code cannot carry the mixer's reason (for music, often a missing soundfont or FluidSynth).
            std::fprintf(stderr, "The %s %s could not be prepared for the mixer (%s).\n",
                         mFile.kind == DMSoundKind::WAVE ? "sample" : "music", mName.c_str(), Mix_GetError());
            return DMUS_E_DOWNLOAD_FAILED;
        }
        mPerformance = performance;
        performance->addDownload(*this);
    }
    ++mDownloadCount;
    logAudio("download " + mName);
    return S_OK;
}

HRESULT Segment::Unload(IUnknown* audioPath)
{
    Performance* performance = nullptr;
    if (const HRESULT result = performanceOf(audioPath, performance); FAILED(result))
    {
        return result;
    }
    if (performance != mPerformance)
    {
        return DMUS_E_NOT_DOWNLOADED_TO_PORT;
    }
    logAudio("unload " + mName);
    if (--mDownloadCount == 0)
    {
        performance->removeDownload(*this);
        dropDownload();
    }
    return S_OK;
}

int Segment::mixerLoops() const
{
    if (mRepeats == DMUS_SEG_REPEAT_INFINITE)
    {
        return -1;
    }
    const int repeats = static_cast<int>(std::min<DWORD>(mRepeats, INT_MAX - 1));
    if (mFile.kind == DMSoundKind::WAVE)
    {
        return repeats;
    }
    // Music counts plays, and both 0 and 1 mean once.
    return repeats == 0 ? 0 : repeats + 1;
}

void Segment::dropDownload()
{
    if (mChunk != nullptr)
    {
        Mix_FreeChunk(mChunk);
    }
    if (mMusic != nullptr)
    {
        Mix_FreeMusic(mMusic);
    }
    mChunk = nullptr;
    mMusic = nullptr;
    mPerformance = nullptr;
    mDownloadCount = 0;
}

Segment::~Segment()
{
    if (mPerformance != nullptr)
    {
        mPerformance->removeDownload(*this);
        dropDownload();
    }
}

HRESULT Performance::InitAudio(IDirectMusic** music, IDirectSound** sound, HWND window, DWORD defaultPathType,
                               DWORD performanceChannelCount, DWORD, DMUS_AUDIOPARAMS* parameters)
{
    if (music != nullptr || sound != nullptr || window != nullptr || parameters != nullptr ||
        defaultPathType != DMUS_APATH_SHARED_STEREOPLUSREVERB)
    {
        return E_NOTIMPL;
    }
    if (performanceChannelCount == 0 || performanceChannelCount > MAX_PERFORMANCE_CHANNELS)
    {
        return E_INVALIDARG;
    }
    if (outputOwner != nullptr)
    {
        return DMUS_E_ALREADY_INITED;
    }
    if (!openOutputOrSilence())
    {
        return DMUS_E_AUDIO_UNAVAILABLE;
    }
    // Without the package's soundfont, SDL_mixer looks in the usual places itself.
    if (access(SOUNDFONT_PATH, R_OK) == 0)
    {
        Mix_SetSoundFonts(SOUNDFONT_PATH);
    }
    const int channels = Mix_AllocateChannels(static_cast<int>(performanceChannelCount));
    // The mixer adds every sound at full level and clips the sum: keep 6 dB of headroom so that samples
    // sounding together over the music stay clean.
    Mix_MasterVolume(MIX_MAX_VOLUME / 2);
    mChannelSegments.assign(static_cast<std::size_t>(channels), nullptr);
    mInitialised = true;
    outputOwner = this;
    return S_OK;
}

HRESULT Performance::PlaySegmentEx(IUnknown* source, WCHAR* segmentName, IUnknown* transition, DWORD flags,
                                   REFERENCE_TIME startTime, IDirectMusicSegmentState** segmentState, IUnknown* from,
                                   IUnknown* audioPath)
{
    if (source == nullptr)
    {
        return E_POINTER;
    }
    if (segmentName != nullptr || transition != nullptr || startTime != 0 || segmentState != nullptr ||
        from != nullptr || audioPath != nullptr || (flags != 0 && flags != DMUS_SEGF_SECONDARY))
    {
        return E_NOTIMPL;
    }
    auto* const segment = dynamic_cast<Segment*>(source);
    if (segment == nullptr)
    {
        return E_INVALIDARG;
    }
    if (!mInitialised)
    {
        return DMUS_E_NOT_INIT;
    }
    if (segment->performance() != this)
    {
        return DMUS_E_NOT_DOWNLOADED_TO_PORT;
    }
    const bool secondary = flags == DMUS_SEGF_SECONDARY;
    if (secondary != (segment->kind() == DMSoundKind::WAVE))
    {
        return DMUS_E_SEGMENT_KIND;
    }

    if (secondary)
    {
        int channel = Mix_PlayChannel(-1, segment->chunk(), segment->mixerLoops());
        if (channel < 0)
        {
            // Every channel sounds: the oldest sample gives way, as voices are stolen on a synthesiser.
            const int oldest = Mix_GroupOldest(-1);
            if (oldest >= 0)
            {
                Mix_HaltChannel(oldest);
                channel = Mix_PlayChannel(oldest, segment->chunk(), segment->mixerLoops());
            }
        }
        if (channel < 0 || static_cast<std::size_t>(channel) >= mChannelSegments.size())
        {
            return DMUS_E_PLAY_FAILED;
        }
        mChannelSegments[static_cast<std::size_t>(channel)] = segment;
        logAudio("play " + segment->name() + " secondary");
    }
    else
    {
        Mix_HaltMusic();
        mPrimary = nullptr;
        if (Mix_PlayMusic(segment->music(), segment->mixerLoops()) != 0)
        {
            return DMUS_E_PLAY_FAILED;
        }
        mPrimary = segment;
        logAudio("play " + segment->name());
    }
    return S_OK;
}

HRESULT Performance::Stop(IDirectMusicSegment8* segment, IDirectMusicSegmentState* segmentState, MUSIC_TIME time,
                          DWORD flags)
{
    if (segmentState != nullptr || time != 0 || flags != 0)
    {
        return E_NOTIMPL;
    }
    if (segment == nullptr)
    {
        stopAll();
        logAudio("stop all");
        return S_OK;
    }
    auto* const ours = dynamic_cast<Segment*>(segment);
    if (ours == nullptr)
    {
        return E_INVALIDARG;
    }
    stopSegment(*ours);
    logAudio("stop " + ours->name());
    return S_OK;
}

HRESULT Performance::CloseDown()
{
    if (!mInitialised)
    {
        return S_OK;
    }
    stopAll();
    for (Segment* const segment : mDownloads)
    {
        logAudio("unload " + segment->name());
        segment->dropDownload();
    }
    mDownloads.clear();
    mChannelSegments.clear();
    closeOutput();
    mInitialised = false;
    outputOwner = nullptr;
    return S_OK;
}

void Performance::removeDownload(Segment& segment)
{
    stopSegment(segment);
    std::erase(mDownloads, &segment);
}

std::vector<std::string> Performance::playing() const
{
    std::vector<std::string> names;
    if (mPrimary != nullptr && Mix_PlayingMusic())
    {
        names.push_back(mPrimary->name());
    }
    for (std::size_t channel = 0; channel < mChannelSegments.size(); ++channel)
    {
        if (mChannelSegments[channel] != nullptr && Mix_Playing(static_cast<int>(channel)))
        {
            names.push_back(mChannelSegments[channel]->name());
        }
    }
    return names;
}

void Performance::stopSegment(const Segment& segment)
{
    if (!mInitialised)
    {
        return;
    }
    for (std::size_t channel = 0; channel < mChannelSegments.size(); ++channel)
    {
        if (mChannelSegments[channel] == &segment)
        {
            Mix_HaltChannel(static_cast<int>(channel));
            mChannelSegments[channel] = nullptr;
        }
    }
    if (mPrimary == &segment)
    {
        Mix_HaltMusic();
        mPrimary = nullptr;
    }
}

void Performance::stopAll()
{
    if (!mInitialised)
    {
        return;
    }
    Mix_HaltChannel(-1);
    Mix_HaltMusic();
    std::fill(mChannelSegments.begin(), mChannelSegments.end(), nullptr);
    mPrimary = nullptr;
}

class Loader final : public HostComObject<IDirectMusicLoader8, &IID_IDirectMusicLoader8>
{
public:
    Loader() = default;

    HRESULT LoadObjectFromFile(REFCLSID classID, REFIID iid, const WCHAR* filePath, void** object) override
    {
        if (object == nullptr)
        {
            return E_POINTER;
        }
        *object = nullptr;
        if (!(classID == CLSID_DirectMusicSegment))
        {
            return DMUS_E_LOADER_FAILEDCREATE;
        }
        if (!(iid == IID_IDirectMusicSegment8))
        {
            return E_NOINTERFACE;
        }
        if (filePath == nullptr)
        {
            return E_POINTER;
        }
        std::string path;
        if (!encodeUtf8(filePath, path))
        {
            return DMUS_E_LOADER_BADPATH;
        }
        std::vector<BYTE> content;
        if (const HRESULT result = readSoundFile(path, content); FAILED(result))
        {
            return result;
        }
        DMSoundFile file;
        if (const HRESULT result = parseSoundFile(content, file); FAILED(result))
        {
            return result;
        }
        auto* const segment = new (std::nothrow) Segment(path, std::move(file));
        if (segment == nullptr)
        {
            return E_OUTOFMEMORY;
        }
        *object = static_cast<IDirectMusicSegment8*>(segment);
        return S_OK;
    }

private:
    ~Loader() override = default;
};

template <class Object, class Interface>
HRESULT createObject(REFIID objectInterface, REFIID iid, void** object)
{
    if (!(iid == objectInterface))
    {
        return E_NOINTERFACE;
    }
    auto* const created = new (std::nothrow) Object();
    if (created == nullptr)
    {
        return E_OUTOFMEMORY;
    }
    *object = static_cast<Interface*>(created);
    return S_OK;
}

} // namespace

bool hostSoundCardIsPresent()
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/snd", error))
    {
        if (entry.path().filename().string().starts_with("pcmC"))
        {
            return true;
        }
    }
    return false;
}

HRESULT hostCreateDirectMusicObject(REFCLSID classID, REFIID iid, void** object)
{
    if (classID == CLSID_DirectMusicLoader)
    {
        return createObject<Loader, IDirectMusicLoader8>(IID_IDirectMusicLoader8, iid, object);
    }
    if (classID == CLSID_DirectMusicPerformance)
    {
        return createObject<Performance, IDirectMusicPerformance8>(IID_IDirectMusicPerformance8, iid, object);
    }
    return REGDB_E_CLASSNOTREG;
}

namespace hosttest
{

std::vector<std::string> audioLog()
{
    return {audioEvents.begin(), audioEvents.end()};
}

void clearAudioLog()
{
    audioEvents.clear();
}

std::vector<std::string> audioPlaying()
{
    return outputOwner != nullptr ? outputOwner->playing() : std::vector<std::string>{};
}

bool audioIsSilentFallback()
{
    return outputIsSilent;
}

bool audioIsOpen()
{
    return outputOwner != nullptr;
}

} // namespace hosttest
