#include "tests/host/soundfiles.h"

#include <algorithm>
#include <cstddef>
#include <fstream>
#include <stdexcept>

namespace
{

void append(Bytes& to, const Bytes& bytes)
{
    to.insert(to.end(), bytes.begin(), bytes.end());
}

Bytes le(DWORD value, int size)
{
    Bytes bytes;
    for (int i = 0; i < size; ++i)
    {
        bytes.push_back(static_cast<BYTE>(value >> (8 * i)));
    }
    return bytes;
}

Bytes tagged(const char* tag, const Bytes& size, const Bytes& body)
{
    // Made at its full length and filled: growing the 4-byte tag by insert trips GCC 12's -Warray-bounds at -O3,
    // a false report from inside std::vector's reallocation.
    Bytes bytes(4 + size.size() + body.size());
    const auto sizeStart = std::copy(tag, tag + 4, bytes.begin());
    std::copy(body.begin(), body.end(), std::copy(size.begin(), size.end(), sizeStart));
    return bytes;
}

} // namespace

Bytes riffChunk(const char* tag, const Bytes& body)
{
    Bytes bytes = tagged(tag, le(static_cast<DWORD>(body.size()), 4), body);
    if (body.size() % 2 == 1)
    {
        bytes.push_back(0);
    }
    return bytes;
}

Bytes midiChunk(const char* tag, const Bytes& body)
{
    const auto size = static_cast<DWORD>(body.size());
    return tagged(tag, {BYTE(size >> 24), BYTE(size >> 16), BYTE(size >> 8), BYTE(size)}, body);
}

Bytes waveFormat(WORD formatTag, WORD channels, DWORD samplesPerSecond, WORD bitsPerSample)
{
    const DWORD blockAlign = channels * ((bitsPerSample + 7u) / 8u);
    Bytes body = le(formatTag, 2);
    append(body, le(channels, 2));
    append(body, le(samplesPerSecond, 4));
    append(body, le(samplesPerSecond * blockAlign, 4));
    append(body, le(blockAlign, 2));
    append(body, le(bitsPerSample, 2));
    return body;
}

Bytes riffWave(const std::vector<Bytes>& chunks)
{
    Bytes body = {'W', 'A', 'V', 'E'};
    for (const Bytes& chunk : chunks)
    {
        append(body, chunk);
    }
    return tagged("RIFF", le(static_cast<DWORD>(body.size()), 4), body);
}

Bytes toneWave(std::size_t frames)
{
    Bytes samples;
    for (std::size_t frame = 0; frame < frames; ++frame)
    {
        const int value = (frame / 20) % 2 == 0 ? 8192 : -8192; // 200 Hz
        append(samples, le(static_cast<DWORD>(value), 2));
    }
    return riffWave({riffChunk("fmt ", waveFormat(1, 1, 8000, 16)), riffChunk("data", samples)});
}

Bytes midiFile(const Bytes& events)
{
    Bytes track = events;
    append(track, {0x00, 0xFF, 0x2F, 0x00});
    Bytes bytes = midiChunk("MThd", {0x00, 0x00, 0x00, 0x01, 0x00, 0x60});
    append(bytes, midiChunk("MTrk", track));
    return bytes;
}

Bytes melodyMidi(int notes, int ticks)
{
    Bytes events = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0xC0, 0x00}; // 500000 us a beat, piano
    for (int note = 0; note < notes; ++note)
    {
        const auto key = static_cast<BYTE>(60 + note % 12);
        append(events, {0x00, 0x90, key, 0x64});
        // The note's length as a variable-length quantity of at most two bytes.
        if (ticks >= 0x80)
        {
            events.push_back(static_cast<BYTE>(0x80 | ticks >> 7));
        }
        append(events, {static_cast<BYTE>(ticks & 0x7F), 0x80, key, 0x40});
    }
    return midiFile(events);
}

void writeFile(const std::string& name, const Bytes& bytes)
{
    std::ofstream file(name, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file)
    {
        throw std::runtime_error("could not write " + name);
    }
}
