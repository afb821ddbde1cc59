// PNG (ISO/IEC 15948) with a zlib stream of stored deflate blocks (RFC 1950, RFC 1951): no compression needed
// for previews, so no compression library either.

#include "tools/datagen/png.h"

#include <array>
#include <fstream>

namespace datagen
{

namespace
{

std::uint32_t crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0)
{
    static const std::array<std::uint32_t, 256> table = []
    {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n)
        {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void putBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void putChunk(std::vector<std::uint8_t>& out, const char* type, const std::vector<std::uint8_t>& data)
{
    putBigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeStart = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    putBigEndian(out, crc32(out.data() + typeStart, out.size() - typeStart));
}

} // namespace

bool writePng(const std::string& fileName, int width, int height, const std::vector<std::uint32_t>& pixels)
{
    // Scanlines: a filter byte (0, none) and RGBA bytes.
    std::vector<std::uint8_t> raw;
    raw.reserve(static_cast<std::size_t>(height) * (width * 4 + 1));
    for (int y = 0; y < height; ++y)
    {
        raw.push_back(0);
        for (int x = 0; x < width; ++x)
        {
            const std::uint32_t p = pixels[static_cast<std::size_t>(y) * width + x];
            raw.insert(raw.end(), {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
                                   static_cast<std::uint8_t>(p), static_cast<std::uint8_t>(p >> 24)});
        }
    }

    std::vector<std::uint8_t> zlib{0x78, 0x01};
    std::uint32_t adlerA = 1;
    std::uint32_t adlerB = 0;
    for (std::size_t start = 0;; start += 65535)
    {
        const std::size_t size = std::min<std::size_t>(65535, raw.size() - start);
        const bool last = start + size >= raw.size();
        zlib.push_back(last ? 1 : 0);
        zlib.insert(zlib.end(), {static_cast<std::uint8_t>(size), static_cast<std::uint8_t>(size >> 8),
                                 static_cast<std::uint8_t>(~size), static_cast<std::uint8_t>(~size >> 8)});
        zlib.insert(zlib.end(), raw.begin() + static_cast<std::ptrdiff_t>(start),
                    raw.begin() + static_cast<std::ptrdiff_t>(start + size));
        if (last)
            break;
    }
    for (std::uint8_t byte : raw)
    {
        adlerA = (adlerA + byte) % 65521;
        adlerB = (adlerB + adlerA) % 65521;
    }
    putBigEndian(zlib, adlerB << 16 | adlerA);

    std::vector<std::uint8_t> header;
    putBigEndian(header, static_cast<std::uint32_t>(width));
    putBigEndian(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 6, 0, 0, 0}); // 8 bits, RGBA, deflate, adaptive filters, no interlace

    std::vector<std::uint8_t> file{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    putChunk(file, "IHDR", header);
    putChunk(file, "IDAT", zlib);
    putChunk(file, "IEND", {});

    std::ofstream out(fileName, std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    return static_cast<bool>(out);
}

} // namespace datagen
