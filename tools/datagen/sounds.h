#pragma once
// The game's sound samples, synthesised in code and written as RIFF WAVE files (16-bit PCM, mono).

#include <cstdint>
#include <string>
#include <vector>

namespace datagen
{

/// Samples per second of every sound file.
inline constexpr int SAMPLE_RATE = 44100;

/// A mono signal at SAMPLE_RATE, nominally within -1..1.
using Signal = std::vector<float>;

/// One sound file: its name, the peak level it is normalised to (dB below full scale) and how it is made.
struct SoundRecord
{
    std::string fileName;
    float peakDecibels;
    Signal (*make)();
};

/// The thirteen samples in the order of the game's sample table.
const std::vector<SoundRecord>& soundRecords();

/// The signal made ready to play: DC removed, faded in and out over a few milliseconds so that neither end
/// clicks, and scaled so that its peak lies `peakDecibels` below full scale.
Signal finished(Signal signal, float peakDecibels);

/// The signal as 16-bit PCM samples (rounded, clamped).
std::vector<std::int16_t> pcm16(const Signal& signal);

/// Writes 16-bit mono PCM at SAMPLE_RATE as a RIFF WAVE file; false when the file cannot be written.
bool writeWaveFile(const std::string& fileName, const std::vector<std::int16_t>& samples);

} // namespace datagen
