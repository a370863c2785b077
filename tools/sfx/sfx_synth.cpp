#include "tools/sfx/sfx_synth.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

static constexpr float NYQUIST_HZ = SFX_SAMPLE_RATE_HZ * 0.5f;
// Harmonics stop a little below Nyquist so no partial folds back.
static constexpr float HARMONIC_LIMIT_HZ = NYQUIST_HZ * 0.9f;
static constexpr float DC_BLOCK_CUTOFF_HZ = 20.0f;
static constexpr int WAV_BITS_PER_SAMPLE = 16;
static constexpr int WAV_CHANNELS = 1;
static constexpr float INT16_FULL_SCALE = 32767.0f;

SampleBuffer makeBuffer(float seconds)
{
    return SampleBuffer(static_cast<size_t>(seconds * SFX_SAMPLE_RATE_HZ + 0.5f), 0.0f);
}

float sampleTime(int index)
{
    return static_cast<float>(index) / SFX_SAMPLE_RATE_HZ;
}

NoiseSource makeNoise(uint32_t seed)
{
    return NoiseSource{seed ? seed : 0x9E3779B9u};
}

float nextNoise(NoiseSource& noise)
{
    uint32_t x = noise.state;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    noise.state = x;
    return static_cast<float>(x) / 2147483648.0f - 1.0f;
}

double advancePhase(Oscillator& osc, float frequencyHz)
{
    double before = osc.phase;
    osc.phase += static_cast<double>(frequencyHz) / SFX_SAMPLE_RATE_HZ;
    osc.phase -= std::floor(osc.phase);
    return before;
}

float sineAt(double phase)
{
    return static_cast<float>(std::sin(2.0 * 3.14159265358979323846 * phase));
}

// Sum of harmonics k = 1, 1 + step, ... with level 1 / k^power. Harmonics fade out over the
// octave below the limit instead of switching off, so a gliding tone does not click each time
// one of them crosses it.
static float harmonicSum(double phase, float frequencyHz, int maxHarmonics, int step, float power)
{
    float sum = 0.0f;
    for (int k = 1, n = 0; n < maxHarmonics; k += step, ++n) {
        float partialHz = frequencyHz * k;
        if (partialHz >= HARMONIC_LIMIT_HZ)
            break;
        float taper = 1.0f - smoothStep01((partialHz - 0.5f * HARMONIC_LIMIT_HZ) / (0.5f * HARMONIC_LIMIT_HZ));
        sum += taper * sineAt(phase * k) / std::pow(static_cast<float>(k), power);
    }
    return sum;
}

float harmonicSaw(double phase, float frequencyHz, int maxHarmonics)
{
    return harmonicSum(phase, frequencyHz, maxHarmonics, 1, 1.0f) * 0.55f;
}

float harmonicSquare(double phase, float frequencyHz, int maxHarmonics)
{
    return harmonicSum(phase, frequencyHz, maxHarmonics, 2, 1.0f) * 0.8f;
}

float harmonicTriangle(double phase, float frequencyHz, int maxHarmonics)
{
    return harmonicSum(phase, frequencyHz, maxHarmonics, 2, 2.0f);
}

float lowpass(OnePoleLowpass& filter, float input, float cutoffHz)
{
    float a = 1.0f - std::exp(-2.0f * SFX_PI * std::min(cutoffHz, HARMONIC_LIMIT_HZ) / SFX_SAMPLE_RATE_HZ);
    filter.state += a * (input - filter.state);
    return filter.state;
}

FilterOutputs filterSample(StateVariableFilter& filter, float input, float cutoffHz, float q)
{
    float g = std::tan(SFX_PI * std::min(cutoffHz, HARMONIC_LIMIT_HZ) / SFX_SAMPLE_RATE_HZ);
    float k = 1.0f / q;
    float a1 = 1.0f / (1.0f + g * (g + k));
    float a2 = g * a1;
    float a3 = g * a2;
    float v3 = input - filter.ic2;
    float v1 = a1 * filter.ic1 + a2 * v3;
    float v2 = filter.ic2 + a2 * filter.ic1 + a3 * v3;
    filter.ic1 = 2.0f * v1 - filter.ic1;
    filter.ic2 = 2.0f * v2 - filter.ic2;
    return FilterOutputs{v2, v1, input - k * v1 - v2};
}

float attackDecay(float t, float attack, float decay)
{
    if (t < 0.0f)
        return 0.0f;
    if (t < attack)
        return t / attack;
    return std::exp(-(t - attack) / decay);
}

float smoothStep01(float v)
{
    v = std::clamp(v, 0.0f, 1.0f);
    return v * v * (3.0f - 2.0f * v);
}

void addBell(SampleBuffer& buffer, const BellNote& note, const float* ratios, const float* levels,
    int partialCount, float decaySlope, float detuneHz)
{
    static constexpr float BELL_ATTACK_SECONDS = 0.004f;
    int first = static_cast<int>(note.start * SFX_SAMPLE_RATE_HZ);
    for (int p = 0; p < partialCount; ++p) {
        float frequency = note.frequencyHz * ratios[p];
        if (frequency + detuneHz > HARMONIC_LIMIT_HZ)
            continue;
        float decay = note.decay / std::pow(ratios[p], decaySlope);
        // Two copies a few Hz apart beat against each other: the shimmer of a struck chime.
        Oscillator a, b;
        b.phase = 0.25 * p;
        for (size_t i = static_cast<size_t>(std::max(first, 0)); i < buffer.size(); ++i) {
            float t = sampleTime(static_cast<int>(i)) - note.start;
            float env = attackDecay(t, BELL_ATTACK_SECONDS, decay);
            float sa = sineAt(advancePhase(a, frequency));
            float sb = sineAt(advancePhase(b, frequency + detuneHz));
            buffer[i] += note.level * levels[p] * env * 0.5f * (sa + sb);
        }
    }
}

void finishEffect(SampleBuffer& buffer, float fadeInSeconds, float fadeOutSeconds, float peakDbfs)
{
    // DC blocker: the input minus its own slow low-pass.
    OnePoleLowpass dc;
    for (float& s : buffer)
        s -= lowpass(dc, s, DC_BLOCK_CUTOFF_HZ);
    const size_t fadeIn = static_cast<size_t>(fadeInSeconds * SFX_SAMPLE_RATE_HZ);
    const size_t fadeOut = static_cast<size_t>(fadeOutSeconds * SFX_SAMPLE_RATE_HZ);
    for (size_t i = 0; i < fadeIn && i < buffer.size(); ++i)
        buffer[i] *= static_cast<float>(i) / fadeIn;
    for (size_t i = 0; i < fadeOut && i < buffer.size(); ++i)
        buffer[buffer.size() - 1 - i] *= static_cast<float>(i) / fadeOut;
    float peak = 0.0f;
    for (float s : buffer)
        peak = std::max(peak, std::fabs(s));
    if (peak <= 0.0f)
        return;
    float gain = std::pow(10.0f, peakDbfs / 20.0f) / peak;
    for (float& s : buffer)
        s *= gain;
}

static void putLe(std::vector<uint8_t>& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

static void putTag(std::vector<uint8_t>& out, const char* tag)
{
    out.insert(out.end(), tag, tag + 4);
}

bool writeWavFile(const std::string& path, const SampleBuffer& buffer, std::string& error)
{
    const uint32_t blockAlign = WAV_CHANNELS * WAV_BITS_PER_SAMPLE / 8;
    const uint32_t dataBytes = static_cast<uint32_t>(buffer.size()) * blockAlign;
    std::vector<uint8_t> out;
    putTag(out, "RIFF");
    putLe(out, 36 + dataBytes, 4);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    putLe(out, 16, 4);
    putLe(out, 1, 2);  // PCM
    putLe(out, WAV_CHANNELS, 2);
    putLe(out, SFX_SAMPLE_RATE_HZ, 4);
    putLe(out, SFX_SAMPLE_RATE_HZ * blockAlign, 4);
    putLe(out, blockAlign, 2);
    putLe(out, WAV_BITS_PER_SAMPLE, 2);
    putTag(out, "data");
    putLe(out, dataBytes, 4);
    for (float s : buffer) {
        long v = std::lround(std::clamp(s, -1.0f, 1.0f) * INT16_FULL_SCALE);
        putLe(out, static_cast<uint32_t>(static_cast<int16_t>(v)) & 0xFFFFu, 2);
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = "cannot create " + path;
        return false;
    }
    bool ok = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    ok = std::fclose(file) == 0 && ok;
    if (!ok)
        error = "cannot write " + path;
    return ok;
}
