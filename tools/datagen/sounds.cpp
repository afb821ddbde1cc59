// Sound synthesis: oscillators with pitch sweeps, seeded noise, simple filters and envelopes, mixed per sound.
// Each sound is a short gesture that says what happened: glassy clinks for pills, rubbery bumps for splods,
// booms and crackles for explosions, a rising chime for good pills and a falling buzz for bad ones.

#include "tools/datagen/sounds.h"

#include "tools/datagen/random.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <fstream>
#include <functional>

namespace datagen
{

namespace
{

constexpr float PI = 3.14159265359f;
constexpr float TWO_PI = 2.0f * PI;
constexpr float STEP = 1.0f / SAMPLE_RATE;

Signal silence(float seconds)
{
    return Signal(static_cast<std::size_t>(seconds * SAMPLE_RATE), 0.0f);
}

float seconds(std::size_t index)
{
    return static_cast<float>(index) * STEP;
}

/// Adds `source` into `target` from `atSeconds` on, scaled by `gain`, growing the target when needed.
void addInto(Signal& target, const Signal& source, float atSeconds = 0.0f, float gain = 1.0f)
{
    const auto start = static_cast<std::size_t>(atSeconds * SAMPLE_RATE);
    if (target.size() < start + source.size())
        target.resize(start + source.size(), 0.0f);
    for (std::size_t i = 0; i < source.size(); ++i)
        target[start + i] += source[i] * gain;
}

enum class Wave
{
    sine,
    triangle,
    square,
    saw
};

/// Fades the last 5 ms out, so a sound cut off while still ringing ends without a click.
void taper(Signal& signal)
{
    const std::size_t count = std::min<std::size_t>(signal.size(), SAMPLE_RATE / 200);
    for (std::size_t i = 0; i < count; ++i)
        signal[signal.size() - 1 - i] *= static_cast<float>(i) / static_cast<float>(count);
}

/// A tone whose frequency (Hz) and amplitude follow functions of time (seconds).
Signal tone(float length, Wave wave, const std::function<float(float)>& frequency,
            const std::function<float(float)>& amplitude)
{
    Signal out = silence(length);
    float phase = 0.0f;
    for (std::size_t i = 0; i < out.size(); ++i)
    {
        const float t = seconds(i);
        const float f = frequency(t);
        phase += TWO_PI * f * STEP;
        if (phase > TWO_PI)
            phase -= TWO_PI;
        float v = 0.0f;
        if (wave == Wave::sine)
            v = std::sin(phase);
        else
        {
            // Band-limited by summing harmonics up to about 10 kHz, so that sweeps do not alias.
            for (int h = 1; h * f < 10000.0f && h < 40; ++h)
            {
                const float n = static_cast<float>(h);
                if (wave == Wave::saw)
                    v += 0.6f * std::sin(phase * n) / n;
                else if (h % 2 == 1 && wave == Wave::square)
                    v += 0.9f * std::sin(phase * n) / n;
                else if (h % 2 == 1)
                    v += 0.81f * ((h / 2) % 2 == 0 ? 1.0f : -1.0f) * std::sin(phase * n) / (n * n);
            }
        }
        out[i] = v * amplitude(t);
    }
    taper(out);
    return out;
}

/// White noise shaped by an amplitude envelope.
Signal noise(float length, std::uint64_t seed, const std::function<float(float)>& amplitude)
{
    Random random(seed);
    Signal out = silence(length);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<float>(random.uniform(-1.0, 1.0)) * amplitude(seconds(i));
    taper(out);
    return out;
}

/// Which output of the state-variable filter.
enum class Pass
{
    low,
    band,
    high
};

/// A resonant state-variable filter (Chamberlin, "Musical Applications of Microprocessors", 1985) whose cutoff
/// (Hz) follows a function of time.
Signal filtered(const Signal& in, Pass pass, const std::function<float(float)>& cutoff, float resonance = 0.7f)
{
    Signal out(in.size());
    float low = 0.0f;
    float band = 0.0f;
    const float damping = 1.0f / std::max(resonance, 0.5f);
    for (std::size_t i = 0; i < in.size(); ++i)
    {
        const float f = 2.0f * std::sin(PI * std::min(cutoff(seconds(i)), SAMPLE_RATE / 6.0f) * STEP);
        low += f * band;
        const float high = in[i] - low - damping * band;
        band += f * high;
        out[i] = pass == Pass::low ? low : pass == Pass::band ? band : high;
    }
    return out;
}

/// An envelope: attack (seconds) to 1, then exponential decay with the given time constant.
std::function<float(float)> strike(float attack, float decay)
{
    return [=](float t) { return t < attack ? t / attack : std::exp(-(t - attack) / decay); };
}

/// A frequency sliding exponentially from `from` to `to` Hz over `time` seconds, then holding.
std::function<float(float)> glide(float from, float to, float time)
{
    return [=](float t) { return from * std::pow(to / from, std::min(t / time, 1.0f)); };
}

std::function<float(float)> constant(float value)
{
    return [=](float) { return value; };
}

/// A bell-like note: a few inharmonic partials, the higher ones dying faster.
Signal bell(float frequency, float length, float decay)
{
    static const float PARTIALS[][2] = {{1.0f, 1.0f}, {2.01f, 0.45f}, {3.02f, 0.22f}, {4.17f, 0.12f}, {5.43f, 0.06f}};
    Signal out = silence(length);
    for (const auto& partial : PARTIALS)
        addInto(out, tone(length, Wave::sine, constant(frequency * partial[0]), strike(0.002f, decay / partial[0])),
                0.0f, partial[1]);
    return out;
}

float noteFrequency(int midiNote)
{
    return 440.0f * std::pow(2.0f, static_cast<float>(midiNote - 69) / 12.0f);
}

// ---- the thirteen sounds ---------------------------------------------------------------------------------------

Signal pillPillBounce()
{
    // Two glass beads: a bright, quickly damped clink.
    Signal out = bell(2350.0f, 0.14f, 0.03f);
    addInto(out, bell(3170.0f, 0.1f, 0.02f), 0.004f, 0.6f);
    addInto(out, filtered(noise(0.01f, 11, strike(0.0005f, 0.002f)), Pass::high, constant(5000.0f)), 0.0f, 0.4f);
    return out;
}

Signal pillSplodBounce()
{
    // A glass bead on jelly: a short pitched boop that bends down.
    Signal out = tone(0.16f, Wave::sine, glide(820.0f, 470.0f, 0.08f), strike(0.003f, 0.04f));
    addInto(out, tone(0.1f, Wave::sine, glide(1640.0f, 940.0f, 0.08f), strike(0.002f, 0.02f)), 0.0f, 0.3f);
    return out;
}

Signal splodSplodBounce()
{
    // Two jelly blobs: a low rubbery bump with a wobble.
    Signal out = tone(
        0.24f, Wave::sine,
        [](float t)
        { return 150.0f * std::pow(0.6f, std::min(t / 0.12f, 1.0f)) * (1.0f + 0.06f * std::sin(t * 90.0f)); },
        strike(0.004f, 0.07f));
    addInto(out, filtered(noise(0.06f, 13, strike(0.001f, 0.015f)), Pass::low, constant(900.0f)), 0.0f, 0.5f);
    return out;
}

Signal pillExplosion()
{
    // A pill bursts: a sparkling pop with glittering fragments.
    Signal out = filtered(noise(0.35f, 17, strike(0.001f, 0.06f)), Pass::band, glide(6000.0f, 1500.0f, 0.2f), 1.5f);
    addInto(out, tone(0.25f, Wave::triangle, glide(1800.0f, 300.0f, 0.2f), strike(0.002f, 0.06f)), 0.0f, 0.5f);
    Random random(19);
    for (int i = 0; i < 9; ++i)
        addInto(out, bell(static_cast<float>(random.uniform(2500.0, 5500.0)), 0.12f, 0.025f),
                static_cast<float>(random.uniform(0.01, 0.2)), 0.25f);
    return out;
}

Signal bulletExplosion()
{
    // A shot lands: a tight, bright snap.
    Signal out = filtered(noise(0.18f, 23, strike(0.0005f, 0.03f)), Pass::band, glide(4000.0f, 900.0f, 0.1f), 1.2f);
    addInto(out, tone(0.12f, Wave::square, glide(900.0f, 120.0f, 0.08f), strike(0.001f, 0.025f)), 0.0f, 0.35f);
    return out;
}

Signal splodExplosion()
{
    // A splod blows apart at the shield: a deep boom with rumbling debris.
    Signal out = tone(0.9f, Wave::sine, glide(110.0f, 38.0f, 0.35f), strike(0.003f, 0.22f));
    addInto(out, filtered(noise(1.0f, 29, strike(0.002f, 0.25f)), Pass::low, glide(3000.0f, 200.0f, 0.6f), 0.9f), 0.0f,
            0.9f);
    Random random(31);
    for (int i = 0; i < 14; ++i)
    {
        const float at = static_cast<float>(random.uniform(0.02, 0.5));
        addInto(out,
                filtered(noise(0.03f, 100 + i, strike(0.0005f, 0.008f)), Pass::band,
                         constant(static_cast<float>(random.uniform(600.0, 2400.0)))),
                at, 0.4f * std::exp(-at * 3.0f));
    }
    return out;
}

/// Notes (MIDI numbers) struck one after another `gap` seconds apart, each a bell of `length` seconds.
Signal chime(const std::vector<int>& notes, float gap, float length, float decay)
{
    Signal out;
    for (std::size_t i = 0; i < notes.size(); ++i)
        addInto(out, bell(noteFrequency(notes[i]), length, decay), gap * static_cast<float>(i));
    return out;
}

Signal redPill()
{
    // A bad pill: a falling, slightly sour figure on a buzzy tone.
    Signal out;
    const int notes[] = {76, 73, 70, 67};
    for (int i = 0; i < 4; ++i)
    {
        const float f = noteFrequency(notes[i]);
        Signal note = tone(
            0.3f, Wave::square, [f](float t) { return f * (1.0f - 0.04f * std::min(t / 0.25f, 1.0f)); },
            strike(0.004f, 0.09f));
        addInto(out, filtered(note, Pass::low, constant(2600.0f)), 0.075f * i, 0.8f);
    }
    return out;
}

Signal greenPill()
{
    // A good pill: a bright major arpeggio rising an octave and a half.
    Signal out = chime({72, 76, 79, 84, 88}, 0.055f, 0.45f, 0.12f);
    addInto(out, tone(0.5f, Wave::sine, constant(noteFrequency(96)), strike(0.01f, 0.12f)), 0.22f, 0.15f);
    return out;
}

Signal yellowPill()
{
    // A strange pill: a shimmering whole-tone figure up and down over a warbling sweep.
    Signal out = chime({74, 78, 82, 86, 82, 78}, 0.05f, 0.35f, 0.1f);
    addInto(out,
            tone(
                0.55f, Wave::triangle, [](float t) { return 600.0f + 500.0f * std::sin(t * 9.0f) * (1.0f - t); },
                [](float t) { return std::sin(std::min(t / 0.55f, 1.0f) * PI) * 0.5f; }),
            0.0f, 0.3f);
    return out;
}

Signal fireGun()
{
    // A laser shot: a bright sweep straight down, with a crack at the front.
    Signal out = tone(0.2f, Wave::saw, glide(2400.0f, 180.0f, 0.16f), strike(0.001f, 0.05f));
    out = filtered(out, Pass::low, glide(9000.0f, 1200.0f, 0.15f), 1.2f);
    addInto(out, tone(0.18f, Wave::sine, glide(1200.0f, 140.0f, 0.14f), strike(0.001f, 0.05f)), 0.0f, 0.5f);
    addInto(out, filtered(noise(0.02f, 37, strike(0.0005f, 0.004f)), Pass::high, constant(3000.0f)), 0.0f, 0.5f);
    return out;
}

Signal reloadGun()
{
    // A shell slides in: two mechanical clicks and a short rising charge.
    Signal out;
    const auto click = [](std::uint64_t seed, float cutoff)
    { return filtered(noise(0.03f, seed, strike(0.0003f, 0.004f)), Pass::band, constant(cutoff), 2.0f); };
    addInto(out, click(41, 2200.0f), 0.0f, 1.0f);
    addInto(out,
            tone(0.16f, Wave::triangle, glide(380.0f, 1100.0f, 0.14f),
                 [](float t) { return std::sin(std::min(t / 0.16f, 1.0f) * PI) * 0.45f; }),
            0.02f);
    addInto(out, click(43, 3400.0f), 0.15f, 1.0f);
    return out;
}

Signal activateMenuItem()
{
    // The highlight moves to an item: a soft short tick.
    Signal out = tone(0.06f, Wave::sine, constant(1320.0f), strike(0.002f, 0.015f));
    addInto(out, tone(0.04f, Wave::sine, constant(2640.0f), strike(0.001f, 0.008f)), 0.0f, 0.25f);
    return out;
}

Signal selectMenuItem()
{
    // An item is chosen: two notes a fifth apart, up.
    Signal out;
    addInto(out, filtered(tone(0.09f, Wave::square, constant(noteFrequency(81)), strike(0.002f, 0.04f)), Pass::low,
                          constant(3500.0f)));
    addInto(out,
            filtered(tone(0.16f, Wave::square, constant(noteFrequency(88)), strike(0.002f, 0.06f)), Pass::low,
                     constant(3500.0f)),
            0.07f);
    return out;
}

} // namespace

const std::vector<SoundRecord>& soundRecords()
{
    // Bounces come often: they sit lower than the explosions and chimes.
    static const std::vector<SoundRecord> RECORDS = {
        {"pillpillbounce.wav", -6.0f, pillPillBounce},
        {"pillsplodbounce.wav", -6.0f, pillSplodBounce},
        {"splodsplodbounce.wav", -5.0f, splodSplodBounce},
        {"pillexplosion.wav", -3.0f, pillExplosion},
        {"bulletexplosion.wav", -4.0f, bulletExplosion},
        {"splodexplosion.wav", -1.0f, splodExplosion},
        {"redpill.wav", -5.0f, redPill},
        {"greenpill.wav", -2.0f, greenPill},
        {"yellowpill.wav", -2.0f, yellowPill},
        {"firegun.wav", -4.0f, fireGun},
        {"reloadgun.wav", -6.0f, reloadGun},
        {"activatemenuitem.wav", -6.0f, activateMenuItem},
        {"selectmenuitem.wav", -7.0f, selectMenuItem},
    };
    return RECORDS;
}

Signal finished(Signal signal, float peakDecibels)
{
    // DC blocker (one-pole high-pass near 20 Hz), so the ends can settle on silence.
    float previousIn = 0.0f;
    float previousOut = 0.0f;
    for (float& v : signal)
    {
        const float out = v - previousIn + 0.997f * previousOut;
        previousIn = v;
        previousOut = out;
        v = out;
    }
    // Raised-cosine fades: 2 ms in, 15 ms out.
    const auto fade = [&](std::size_t count, bool atStart)
    {
        count = std::min(count, signal.size());
        for (std::size_t i = 0; i < count; ++i)
        {
            const float gain = 0.5f - 0.5f * std::cos(PI * static_cast<float>(i) / static_cast<float>(count));
            signal[atStart ? i : signal.size() - 1 - i] *= gain;
        }
    };
    fade(static_cast<std::size_t>(0.002f * SAMPLE_RATE), true);
    fade(static_cast<std::size_t>(0.015f * SAMPLE_RATE), false);
    float peak = 0.0f;
    for (float v : signal)
        peak = std::max(peak, std::abs(v));
    if (peak > 0.0f)
    {
        const float gain = std::pow(10.0f, peakDecibels / 20.0f) / peak;
        for (float& v : signal)
            v *= gain;
    }
    return signal;
}

std::vector<std::int16_t> pcm16(const Signal& signal)
{
    std::vector<std::int16_t> samples(signal.size());
    std::transform(signal.begin(), signal.end(), samples.begin(),
                   [](float v)
                   { return static_cast<std::int16_t>(std::lround(std::clamp(v, -1.0f, 1.0f) * 32767.0f)); });
    return samples;
}

bool writeWaveFile(const std::string& fileName, const std::vector<std::int16_t>& samples)
{
    std::vector<std::uint8_t> bytes;
    const auto put = [&](std::uint32_t value, int size)
    {
        for (int i = 0; i < size; ++i)
            bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    };
    const auto tag = [&](const char* text) { bytes.insert(bytes.end(), text, text + 4); };
    const auto dataSize = static_cast<std::uint32_t>(samples.size() * 2);
    tag("RIFF");
    put(36 + dataSize, 4);
    tag("WAVE");
    tag("fmt ");
    put(16, 4);
    put(1, 2); // PCM
    put(1, 2); // mono
    put(SAMPLE_RATE, 4);
    put(SAMPLE_RATE * 2, 4); // bytes per second
    put(2, 2);               // bytes per frame
    put(16, 2);              // bits per sample
    tag("data");
    put(dataSize, 4);
    for (std::int16_t sample : samples)
        put(static_cast<std::uint16_t>(sample), 2);
    std::ofstream out(fileName, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

} // namespace datagen
