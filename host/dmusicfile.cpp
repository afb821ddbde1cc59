// Reading and checking sound files. Every read is bounds-checked against the chunk it belongs to, so any
// sequence of bytes ends in one result code.

#include "host/dmusicfile.h"

#include "host/dmusic.h"
#include "host/inputfile.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <optional>

namespace
{

constexpr WORD WAVE_FORMAT_PCM = 1;
constexpr WORD WAVE_FORMAT_IEEE_FLOAT = 3;
constexpr WORD MAX_WAVE_CHANNELS = 8;
constexpr DWORD MAX_WAVE_RATE = 192000; // Hz
constexpr std::size_t RIFF_HEADER_BYTES = 12;
constexpr std::size_t MIDI_HEADER_BYTES = 14;
constexpr std::size_t CHUNK_HEADER_BYTES = 8;

bool startsWith(std::span<const BYTE> bytes, const char* tag)
{
    return bytes.size() >= 4 && std::memcmp(bytes.data(), tag, 4) == 0;
}

// Little-endian fields of RIFF, big-endian fields of MIDI; the caller has checked the bounds.
DWORD le32(std::span<const BYTE> bytes, std::size_t at)
{
    return DWORD(bytes[at]) | DWORD(bytes[at + 1]) << 8 | DWORD(bytes[at + 2]) << 16 | DWORD(bytes[at + 3]) << 24;
}
WORD le16(std::span<const BYTE> bytes, std::size_t at)
{
    return WORD(bytes[at] | bytes[at + 1] << 8);
}
DWORD be32(std::span<const BYTE> bytes, std::size_t at)
{
    return DWORD(bytes[at]) << 24 | DWORD(bytes[at + 1]) << 16 | DWORD(bytes[at + 2]) << 8 | DWORD(bytes[at + 3]);
}
WORD be16(std::span<const BYTE> bytes, std::size_t at)
{
    return WORD(bytes[at] << 8 | bytes[at + 1]);
}

HRESULT checkWaveFormat(const DMWaveFormat& format, WORD blockAlign)
{
    if (format.channels == 0 || format.samplesPerSecond == 0 || format.bitsPerSample == 0 ||
        blockAlign != format.channels * ((format.bitsPerSample + 7) / 8))
    {
        return DMUS_E_INVALIDFILE;
    }
    const WORD bits = format.bitsPerSample;
    const bool pcm = format.formatTag == WAVE_FORMAT_PCM && (bits == 8 || bits == 16 || bits == 24 || bits == 32);
    const bool ieeeFloat = format.formatTag == WAVE_FORMAT_IEEE_FLOAT && bits == 32;
    if ((!pcm && !ieeeFloat) || format.channels > MAX_WAVE_CHANNELS || format.samplesPerSecond > MAX_WAVE_RATE)
    {
        return DMUS_E_UNSUPPORTED_STREAM;
    }
    return S_OK;
}

HRESULT parseWave(std::span<const BYTE> content, DMSoundFile& file)
{
    if (content.size() < RIFF_HEADER_BYTES)
    {
        return DMUS_E_INVALIDFILE;
    }
    if (std::memcmp(content.data() + 8, "WAVE", 4) != 0)
    {
        return DMUS_E_LOADER_FORMATNOTSUPPORTED;
    }
    const std::size_t riffBytes = le32(content, 4);
    if (riffBytes < 4 || riffBytes > content.size() - CHUNK_HEADER_BYTES)
    {
        return DMUS_E_INVALIDFILE;
    }
    const std::span<const BYTE> riff = content.subspan(0, CHUNK_HEADER_BYTES + riffBytes);

    std::optional<DMWaveFormat> format;
    WORD blockAlign = 0;
    std::optional<std::span<const BYTE>> data;
    std::size_t at = RIFF_HEADER_BYTES;
    while (at < riff.size())
    {
        if (riff.size() - at < CHUNK_HEADER_BYTES)
        {
            return DMUS_E_INVALIDFILE;
        }
        const DWORD chunkBytes = le32(riff, at + 4);
        if (chunkBytes > riff.size() - at - CHUNK_HEADER_BYTES)
        {
            return DMUS_E_INVALIDFILE;
        }
        const std::span<const BYTE> chunk = riff.subspan(at + CHUNK_HEADER_BYTES, chunkBytes);
        if (startsWith(riff.subspan(at), "fmt "))
        {
            if (format || chunkBytes < 16)
            {
                return DMUS_E_INVALIDFILE;
            }
            format = DMWaveFormat{le16(chunk, 0), le16(chunk, 2), le32(chunk, 4), le16(chunk, 14)};
            blockAlign = le16(chunk, 12);
        }
        else if (startsWith(riff.subspan(at), "data"))
        {
            if (data)
            {
                return DMUS_E_INVALIDFILE;
            }
            data = chunk;
        }
        // Chunks are padded to even sizes; a pad byte missing at the very end is tolerated.
        at += CHUNK_HEADER_BYTES + chunkBytes + (chunkBytes & 1);
    }
    if (!format || !data)
    {
        return DMUS_E_INVALIDFILE;
    }
    if (const HRESULT result = checkWaveFormat(*format, blockAlign); FAILED(result))
    {
        return result;
    }
    const std::size_t frames = data->size() / blockAlign;
    if (frames == 0)
    {
        return DMUS_E_INVALIDFILE;
    }
    if (frames > std::size_t{MAX_WAVE_SECONDS} * format->samplesPerSecond)
    {
        return DMUS_E_UNSUPPORTED_STREAM;
    }
    // A partial frame at the end is dropped, as players do.
    file.kind = DMSoundKind::WAVE;
    file.format = *format;
    file.bytes.assign(data->begin(), data->begin() + static_cast<std::ptrdiff_t>(frames * blockAlign));
    return S_OK;
}

// A MIDI variable-length quantity: at most four bytes of seven bits each, the last one without bit 7.
bool readQuantity(std::span<const BYTE> track, std::size_t& at, DWORD& value)
{
    value = 0;
    for (int count = 0; count < 4; ++count)
    {
        if (at >= track.size())
        {
            return false;
        }
        const BYTE byte = track[at++];
        value = value << 7 | (byte & 0x7F);
        if ((byte & 0x80) == 0)
        {
            return true;
        }
    }
    return false;
}

// The meta events whose length players check; a tempo of 0 would stop time.
bool metaEventIsWhole(BYTE type, std::span<const BYTE> body)
{
    switch (type)
    {
    case 0x00: // sequence number
        return body.size() == 0 || body.size() == 2;
    case 0x2F: // end of track
        return body.empty();
    case 0x51: // tempo, microseconds per quarter note
        return body.size() == 3 && (body[0] | body[1] | body[2]) != 0;
    case 0x58: // time signature
        return body.size() == 4;
    case 0x59: // key signature
        return body.size() == 2;
    default:
        return true;
    }
}

bool trackIsWhole(std::span<const BYTE> track)
{
    std::size_t at = 0;
    BYTE runningStatus = 0;
    while (at < track.size())
    {
        DWORD delta = 0;
        if (!readQuantity(track, at, delta) || at >= track.size())
        {
            return false;
        }
        BYTE status = track[at];
        if (status & 0x80)
        {
            ++at;
        }
        else if (runningStatus != 0)
        {
            status = runningStatus;
        }
        else
        {
            return false;
        }

        if (status < 0xF0)
        {
            runningStatus = status;
            const std::size_t dataBytes = (status & 0xE0) == 0xC0 ? 1 : 2; // program change, channel pressure: 1
            if (track.size() - at < dataBytes)
            {
                return false;
            }
            for (std::size_t i = 0; i < dataBytes; ++i)
            {
                if (track[at++] & 0x80)
                {
                    return false;
                }
            }
            continue;
        }

        // System exclusive and meta events carry a length and cancel the running status.
        runningStatus = 0;
        BYTE metaType = 0;
        if (status == 0xFF)
        {
            if (at >= track.size() || (track[at] & 0x80))
            {
                return false;
            }
            metaType = track[at++];
        }
        else if (status != 0xF0 && status != 0xF7)
        {
            return false;
        }
        DWORD length = 0;
        if (!readQuantity(track, at, length) || length > track.size() - at)
        {
            return false;
        }
        const std::span<const BYTE> body = track.subspan(at, length);
        at += length;
        if (status == 0xFF)
        {
            if (!metaEventIsWhole(metaType, body))
            {
                return false;
            }
            if (metaType == 0x2F)
            {
                return true; // anything after the end of the track is not played
            }
        }
    }
    return false; // no end-of-track event
}

HRESULT parseMidi(std::span<const BYTE> content, DMSoundFile& file)
{
    if (content.size() < MIDI_HEADER_BYTES)
    {
        return DMUS_E_INVALIDFILE;
    }
    const DWORD headerBytes = be32(content, 4);
    if (headerBytes < 6 || headerBytes > content.size() - CHUNK_HEADER_BYTES)
    {
        return DMUS_E_INVALIDFILE;
    }
    const WORD format = be16(content, 8);
    const WORD trackCount = be16(content, 10);
    const WORD division = be16(content, 12);
    if (format > 2 || trackCount == 0 || (format == 0 && trackCount != 1) || division == 0)
    {
        return DMUS_E_INVALIDFILE;
    }
    if (format == 2 || (division & 0x8000)) // independent sequences, SMPTE time
    {
        return DMUS_E_UNSUPPORTED_STREAM;
    }

    // Chunks other than tracks are skipped, as the format asks; bytes after the last track are not read.
    std::size_t at = CHUNK_HEADER_BYTES + headerBytes;
    for (WORD tracks = 0; tracks < trackCount;)
    {
        if (content.size() - at < CHUNK_HEADER_BYTES)
        {
            return DMUS_E_INVALIDFILE;
        }
        const DWORD chunkBytes = be32(content, at + 4);
        if (chunkBytes > content.size() - at - CHUNK_HEADER_BYTES)
        {
            return DMUS_E_INVALIDFILE;
        }
        if (startsWith(content.subspan(at), "MTrk"))
        {
            if (!trackIsWhole(content.subspan(at + CHUNK_HEADER_BYTES, chunkBytes)))
            {
                return DMUS_E_INVALIDFILE;
            }
            ++tracks;
        }
        at += CHUNK_HEADER_BYTES + chunkBytes;
    }
    file.kind = DMSoundKind::MIDI;
    file.format = {};
    file.bytes.assign(content.begin(), content.end());
    return S_OK;
}

void setLe32(std::vector<BYTE>& bytes, std::size_t at, DWORD value)
{
    for (std::size_t i = 0; i < 4; ++i)
    {
        bytes[at + i] = static_cast<BYTE>(value >> (8 * i));
    }
}
void setLe16(std::vector<BYTE>& bytes, std::size_t at, WORD value)
{
    bytes[at] = static_cast<BYTE>(value);
    bytes[at + 1] = static_cast<BYTE>(value >> 8);
}

} // namespace

HRESULT readSoundFile(const std::string& path, std::vector<BYTE>& bytes)
{
    HostInputFile file(path);
    if (!file.is_open())
    {
        return file.isMissing() ? DMUS_E_LOADER_FILENOTFOUND : DMUS_E_LOADER_FAILEDOPEN;
    }
    if (file.size() > MAX_SOUND_FILE_BYTES)
    {
        return DMUS_E_UNSUPPORTED_STREAM;
    }
    bytes.resize(static_cast<std::size_t>(file.size()));
    // A file that shrank while being read, or a read error, leaves it short, and its content fails the checks.
    file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(file.gcount()));
    return S_OK;
}

HRESULT parseSoundFile(std::span<const BYTE> content, DMSoundFile& file)
{
    if (startsWith(content, "RIFF"))
    {
        return parseWave(content, file);
    }
    if (startsWith(content, "MThd"))
    {
        return parseMidi(content, file);
    }
    return DMUS_E_LOADER_FORMATNOTSUPPORTED;
}

std::vector<BYTE> canonicalWaveFile(const DMSoundFile& wave)
{
    constexpr std::size_t HEADER_BYTES = 44;
    const DMWaveFormat& format = wave.format;
    const WORD blockAlign = static_cast<WORD>(format.channels * (format.bitsPerSample / 8));
    const auto dataBytes = static_cast<DWORD>(wave.bytes.size());
    std::vector<BYTE> bytes(HEADER_BYTES + wave.bytes.size());
    std::memcpy(&bytes[0], "RIFF", 4);
    setLe32(bytes, 4, static_cast<DWORD>(HEADER_BYTES - CHUNK_HEADER_BYTES) + dataBytes);
    std::memcpy(&bytes[8], "WAVEfmt ", 8);
    setLe32(bytes, 16, 16);
    setLe16(bytes, 20, format.formatTag);
    setLe16(bytes, 22, format.channels);
    setLe32(bytes, 24, format.samplesPerSecond);
    setLe32(bytes, 28, format.samplesPerSecond * blockAlign);
    setLe16(bytes, 32, blockAlign);
    setLe16(bytes, 34, format.bitsPerSample);
    std::memcpy(&bytes[36], "data", 4);
    setLe32(bytes, 40, dataBytes);
    std::copy(wave.bytes.begin(), wave.bytes.end(), bytes.begin() + HEADER_BYTES);
    return bytes;
}
