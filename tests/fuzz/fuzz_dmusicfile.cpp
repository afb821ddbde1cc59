// Feeds arbitrary bytes to the sound-file readers in memory, where they decide what the mixer is given: a file
// is refused with one of the readers' codes, or is a wave of a layout the mixer plays, whole frames within the
// length bound, whose canonical file reads back as the same sound, or MIDI handed on byte for byte.
#include "host/dmusic.h"
#include "host/dmusicfile.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

namespace
{

bool isReaderFailure(HRESULT result)
{
    return result == DMUS_E_LOADER_FORMATNOTSUPPORTED || result == DMUS_E_INVALIDFILE ||
           result == DMUS_E_UNSUPPORTED_STREAM;
}

bool isPlayableWave(const DMSoundFile& wave)
{
    const DMWaveFormat& format = wave.format;
    const WORD bits = format.bitsPerSample;
    const bool layout = (format.formatTag == 1 && (bits == 8 || bits == 16 || bits == 24 || bits == 32)) ||
                        (format.formatTag == 3 && bits == 32);
    if (!layout || format.channels < 1 || format.channels > 8 || format.samplesPerSecond < 1 ||
        format.samplesPerSecond > 192000)
    {
        return false;
    }
    const std::size_t frameBytes = std::size_t{format.channels} * (bits / 8);
    const std::size_t frames = wave.bytes.size() / frameBytes;
    return wave.bytes.size() % frameBytes == 0 && frames > 0 &&
           frames <= std::size_t{MAX_WAVE_SECONDS} * format.samplesPerSecond;
}

bool sameSound(const DMSoundFile& a, const DMSoundFile& b)
{
    return a.kind == b.kind && a.format.formatTag == b.format.formatTag && a.format.channels == b.format.channels &&
           a.format.samplesPerSecond == b.format.samplesPerSecond && a.format.bitsPerSample == b.format.bitsPerSample &&
           a.bytes == b.bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const BYTE> content(data, size);
    DMSoundFile file;
    const HRESULT result = parseSoundFile(content, file);
    if (FAILED(result))
    {
        if (!isReaderFailure(result))
        {
            std::abort();
        }
        return 0;
    }
    if (result != S_OK)
    {
        std::abort();
    }
    if (file.kind == DMSoundKind::MIDI)
    {
        if (!std::ranges::equal(file.bytes, content))
        {
            std::abort();
        }
        return 0;
    }
    const std::vector<BYTE> canonical = canonicalWaveFile(file);
    DMSoundFile again;
    if (!isPlayableWave(file) || canonical.size() != 44 + file.bytes.size() ||
        parseSoundFile(canonical, again) != S_OK || !sameSound(file, again))
    {
        std::abort();
    }
    return 0;
}
