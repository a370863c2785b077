// A tiny synthesiser for the game's sound effects: oscillators, a noise source, filters and
// envelopes over mono float buffers, and the finishing steps (DC removal, edge fades, peak
// normalisation) before the samples become a 16-bit wav file.
//
// Conventions: time in seconds, frequencies in Hz, amplitudes linear with 1.0 = full scale.
// Everything is deterministic: the only randomness is a xorshift generator with a fixed seed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int SFX_SAMPLE_RATE_HZ = 44100;
constexpr float SFX_PI = 3.14159265358979f;

using SampleBuffer = std::vector<float>;

SampleBuffer makeBuffer(float seconds);
float sampleTime(int index);

// xorshift32 white noise in -1..1.
struct NoiseSource {
    uint32_t state;
};
NoiseSource makeNoise(uint32_t seed);
float nextNoise(NoiseSource& noise);

// Phase accumulator in cycles (0..1); advancePhase returns the phase before the step.
struct Oscillator {
    double phase = 0.0;
};
double advancePhase(Oscillator& osc, float frequencyHz);
float sineAt(double phase);
// Band-limited waveforms built from harmonics below the Nyquist limit: a sawtooth-like tone
// (all harmonics, 1/k) and a square-like one (odd harmonics, 1/k), capped at maxHarmonics.
float harmonicSaw(double phase, float frequencyHz, int maxHarmonics);
float harmonicSquare(double phase, float frequencyHz, int maxHarmonics);
// Soft, flute-like: odd harmonics falling as 1/k^2.
float harmonicTriangle(double phase, float frequencyHz, int maxHarmonics);

// One-pole low-pass; the cutoff may change every sample.
struct OnePoleLowpass {
    float state = 0.0f;
};
float lowpass(OnePoleLowpass& filter, float input, float cutoffHz);

// State-variable filter (trapezoidal form, stable for any cutoff below Nyquist).
struct StateVariableFilter {
    float ic1 = 0.0f;
    float ic2 = 0.0f;
};
struct FilterOutputs {
    float low;
    float band;
    float high;
};
FilterOutputs filterSample(StateVariableFilter& filter, float input, float cutoffHz, float q);

// Linear attack from 0 to 1 over `attack`, then exponential decay with time constant `decay`.
float attackDecay(float t, float attack, float decay);
float smoothStep01(float v);

// One ringing partial set: a bell/chime note starting at `start`, with partial frequency
// ratios and levels; higher partials die faster (decay / ratio^decaySlope).
struct BellNote {
    float start;
    float frequencyHz;
    float level;
    float decay;
};
void addBell(SampleBuffer& buffer, const BellNote& note, const float* ratios, const float* levels,
    int partialCount, float decaySlope, float detuneHz);

// The last steps of every effect: removes DC, fades the first and last milliseconds so the
// sound starts and ends at rest, and scales the peak to `peakDbfs`.
void finishEffect(SampleBuffer& buffer, float fadeInSeconds, float fadeOutSeconds, float peakDbfs);

// Writes a mono 16-bit PCM wav; false with `error` set when the file cannot be written.
bool writeWavFile(const std::string& path, const SampleBuffer& buffer, std::string& error);
