#include "tools/datagen/sounds.h"

#include "tests/tools/datafiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace
{

struct Wave
{
    int format = 0;
    int channels = 0;
    int rate = 0;
    int bits = 0;
    std::vector<std::int16_t> samples;
};

std::uint32_t little(const std::vector<std::uint8_t>& bytes, std::size_t at, int size)
{
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | bytes.at(at + i);
    return value;
}

/// Walks the RIFF chunks as a reader would: "fmt " then "data", skipping others (padded to even sizes).
Wave parseWave(const std::vector<std::uint8_t>& bytes)
{
    Wave wave;
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
    EXPECT_EQ(little(bytes, 4, 4) + 8, bytes.size());
    EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 12), "WAVE");
    for (std::size_t at = 12; at + 8 <= bytes.size();)
    {
        const std::string id(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                             bytes.begin() + static_cast<std::ptrdiff_t>(at + 4));
        const std::uint32_t size = little(bytes, at + 4, 4);
        if (id == "fmt ")
        {
            wave.format = static_cast<int>(little(bytes, at + 8, 2));
            wave.channels = static_cast<int>(little(bytes, at + 10, 2));
            wave.rate = static_cast<int>(little(bytes, at + 12, 4));
            wave.bits = static_cast<int>(little(bytes, at + 22, 2));
        }
        else if (id == "data")
            for (std::uint32_t i = 0; i + 1 < size; i += 2)
                wave.samples.push_back(static_cast<std::int16_t>(little(bytes, at + 8 + i, 2)));
        at += 8 + size + (size & 1);
    }
    return wave;
}

TEST(Sounds, EverySampleIsShortMonoPcmNeitherSilentNorClippedAndStartsAndEndsAtRest)
{
    for (const datagen::SoundRecord& record : datagen::soundRecords())
    {
        SCOPED_TRACE(record.fileName);
        const Wave wave = parseWave(readBytes(dataPath(record.fileName)));
        EXPECT_EQ(wave.format, 1);
        EXPECT_EQ(wave.channels, 1);
        EXPECT_EQ(wave.bits, 16);
        EXPECT_EQ(wave.rate, datagen::SAMPLE_RATE);
        ASSERT_GT(wave.samples.size(), static_cast<std::size_t>(wave.rate / 50)); // at least 20 ms
        EXPECT_LT(wave.samples.size(), static_cast<std::size_t>(wave.rate * 2));
        int peak = 0;
        double energy = 0.0;
        for (std::int16_t s : wave.samples)
        {
            peak = std::max(peak, std::abs(static_cast<int>(s)));
            energy += static_cast<double>(s) * s;
        }
        EXPECT_LT(peak, 32767); // no sample at full scale
        EXPECT_NEAR(20.0 * std::log10(peak / 32767.0), record.peakDecibels, 0.1);
        EXPECT_GT(std::sqrt(energy / static_cast<double>(wave.samples.size())), 32767.0 / 100.0); // above -40 dB RMS
        // No click: the first and last samples lie next to silence.
        EXPECT_LT(std::abs(wave.samples.front()), 300);
        EXPECT_LT(std::abs(wave.samples.back()), 300);
    }
}

TEST(Sounds, FinishingFadesBothEndsRemovesDirectCurrentAndSetsThePeak)
{
    // A constant signal is the worst case: pure DC, full level to the last sample.
    const datagen::Signal done = datagen::finished(datagen::Signal(4410, 0.5f), -6.0f);
    ASSERT_EQ(done.size(), 4410u);
    EXPECT_EQ(done.front(), 0.0f);
    EXPECT_NEAR(done.back(), 0.0f, 1e-3f);
    float peak = 0.0f;
    for (float v : done)
        peak = std::max(peak, std::abs(v));
    EXPECT_NEAR(peak, std::pow(10.0f, -6.0f / 20.0f), 1e-4f);
    EXPECT_NEAR(done[done.size() - 500], 0.0f, 0.05f); // the DC has drained away long before the end
}

TEST(Sounds, PcmConversionRoundsAndClampsToTheSixteenBitRange)
{
    EXPECT_EQ(datagen::pcm16({0.0f, 0.5f, -0.5f, 1.0f, -1.0f, 2.0f, -2.0f}),
              (std::vector<std::int16_t>{0, 16384, -16384, 32767, -32767, 32767, -32767}));
}

} // namespace
