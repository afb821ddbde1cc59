// soundseeds WAVE_FILE
// Writes the start of a generated 16-bit mono wave again in each layout the sound readers accept, beside it, as
// seeds for the sound fuzzers: libFuzzer seldom finds a second layout on its own, since the fields of a format
// must change together before the readers take it.
#include "host/dmusic.h"
#include "host/dmusicfile.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace
{

constexpr std::size_t SEED_FRAMES = 64;

struct Layout
{
    const char* name;
    DMWaveFormat format;
};

constexpr Layout LAYOUTS[] = {
    {"pcm8-mono-8000", {1, 1, 8000, 8}},         {"pcm16-stereo-22050", {1, 2, 22050, 16}},
    {"pcm24-mono-48000", {1, 1, 48000, 24}},     {"pcm32-stereo-96000", {1, 2, 96000, 32}},
    {"float32-mono-192000", {3, 1, 192000, 32}}, {"pcm16-8channels-44100", {1, 8, 44100, 16}},
};

// One sample of the layout for a 16-bit value, little-endian; 8-bit PCM is unsigned.
void appendSample(std::vector<BYTE>& bytes, const DMWaveFormat& format, std::int16_t value)
{
    std::uint32_t sample = 0;
    if (format.formatTag == 3)
    {
        sample = std::bit_cast<std::uint32_t>(static_cast<float>(value) / 32768.0f);
    }
    else if (format.bitsPerSample == 8)
    {
        sample = static_cast<std::uint32_t>((value >> 8) + 128);
    }
    else
    {
        sample = static_cast<std::uint32_t>(static_cast<std::int32_t>(value) << (format.bitsPerSample - 16));
    }
    for (int byte = 0; byte < format.bitsPerSample / 8; ++byte)
    {
        bytes.push_back(static_cast<BYTE>(sample >> (8 * byte)));
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: %s WAVE_FILE\n", argv[0]);
        return 2;
    }
    const std::filesystem::path path = argv[1];
    std::ifstream in(path, std::ios::binary);
    const std::vector<BYTE> content{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    DMSoundFile source;
    if (!in || parseSoundFile(content, source) != S_OK || source.kind != DMSoundKind::WAVE ||
        source.format.formatTag != 1 || source.format.channels != 1 || source.format.bitsPerSample != 16)
    {
        std::fprintf(stderr, "%s: %s is no 16-bit mono wave\n", argv[0], argv[1]);
        return 1;
    }
    const std::size_t frames = std::min(SEED_FRAMES, source.bytes.size() / 2);
    for (const Layout& layout : LAYOUTS)
    {
        DMSoundFile seed{DMSoundKind::WAVE, layout.format, {}};
        for (std::size_t frame = 0; frame < frames; ++frame)
        {
            const auto value = static_cast<std::int16_t>(source.bytes[2 * frame] | source.bytes[2 * frame + 1] << 8);
            for (WORD channel = 0; channel < layout.format.channels; ++channel)
            {
                appendSample(seed.bytes, layout.format, value);
            }
        }
        const std::vector<BYTE> bytes = canonicalWaveFile(seed);
        std::filesystem::path name = path;
        name.replace_extension(std::string(".") + layout.name + ".wav");
        std::ofstream out(name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush())
        {
            std::fprintf(stderr, "%s: %s could not be written\n", argv[0], name.c_str());
            return 1;
        }
    }
    return 0;
}
