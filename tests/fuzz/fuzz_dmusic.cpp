// Feeds arbitrary bytes, as a sound file, to the DirectMusic loader: a load either fails with one of the
// loader's codes and leaves no object, or yields a segment that downloads, plays, stops and unloads in the
// mixer (SDL's dummy driver) like any other. The whole path is slow (FluidSynth loads its soundfont for every
// MIDI file), but only it shows that SDL_mixer takes every file the readers accept; fuzz_dmusicfile fuzzes the
// readers alone. The file lives in memory (memfd), so that no run leaves one behind. Run it with OMP_NUM_THREADS=1:
// FluidSynth loads each soundfont with a team of OpenMP threads, one per core, and on a busy machine every load
// waits for the team.
#include "host/dmusic.h"
#include "host/testing.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace
{

IDirectMusicLoader8* loader = nullptr;
IDirectMusicPerformance8* performance = nullptr;
int soundFile = -1;
std::wstring fileName; // the memory file by its /proc name

bool isLoaderFailure(HRESULT result)
{
    switch (result)
    {
    case DMUS_E_LOADER_FAILEDOPEN:
    case DMUS_E_LOADER_FORMATNOTSUPPORTED:
    case DMUS_E_INVALIDFILE:
    case DMUS_E_UNSUPPORTED_STREAM:
        return true;
    default:
        return false;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    soundFile = memfd_create("fuzz_dmusic.sound", MFD_CLOEXEC);
    const std::string name = "/proc/self/fd/" + std::to_string(soundFile);
    fileName.assign(name.begin(), name.end());
    if (soundFile < 0 || CoInitialize(nullptr) != S_OK ||
        CoCreateInstance(CLSID_DirectMusicLoader, nullptr, CLSCTX_INPROC, IID_IDirectMusicLoader8,
                         reinterpret_cast<void**>(&loader)) != S_OK ||
        CoCreateInstance(CLSID_DirectMusicPerformance, nullptr, CLSCTX_INPROC, IID_IDirectMusicPerformance8,
                         reinterpret_cast<void**>(&performance)) != S_OK ||
        performance->InitAudio(nullptr, nullptr, nullptr, DMUS_APATH_SHARED_STEREOPLUSREVERB, 64, DMUS_AUDIOF_ALL,
                               nullptr) != S_OK)
    {
        std::abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Memory the run keeps would make libFuzzer give up its leak check after every input.
    hosttest::clearAudioLog();
    if (ftruncate(soundFile, 0) != 0 || pwrite(soundFile, data, size, 0) != static_cast<ssize_t>(size))
    {
        std::abort();
    }

    IDirectMusicSegment8* segment = nullptr;
    const HRESULT loaded = loader->LoadObjectFromFile(CLSID_DirectMusicSegment, IID_IDirectMusicSegment8,
                                                      fileName.c_str(), reinterpret_cast<void**>(&segment));
    if (FAILED(loaded))
    {
        if (segment != nullptr || !isLoaderFailure(loaded))
        {
            std::abort();
        }
        return 0;
    }
    if (loaded != S_OK || segment == nullptr || segment->SetRepeats(size % 3) != S_OK ||
        segment->Download(performance) != S_OK)
    {
        std::abort();
    }
    // A sample plays as a secondary segment and music as the primary one; the other way is refused.
    const HRESULT asSample =
        performance->PlaySegmentEx(segment, nullptr, nullptr, DMUS_SEGF_SECONDARY, 0, nullptr, nullptr, nullptr);
    const HRESULT asMusic = performance->PlaySegmentEx(segment, nullptr, nullptr, 0, 0, nullptr, nullptr, nullptr);
    if ((asSample == S_OK) == (asMusic == S_OK) || (asSample != S_OK && asSample != DMUS_E_SEGMENT_KIND) ||
        (asMusic != S_OK && asMusic != DMUS_E_SEGMENT_KIND) || performance->Stop(segment, nullptr, 0, 0) != S_OK ||
        segment->Unload(performance) != S_OK || segment->Release() != 0)
    {
        std::abort();
    }
    return 0;
}
