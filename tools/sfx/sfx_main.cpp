// Writes the game's six sound effects into <run dir>/data/: appear (a rising shimmering
// chime), explosion (a noise burst over a low thump), launchhoming (a whoosh with a rising
// tone), launchlaser (a quick descending zap), orb (a bright pickup ding) and done (a short
// success jingle). 44100 Hz mono 16-bit, peaks at -3 dBFS.
#include "tools/common/generator_main.h"
#include "tools/sfx/sfx_synth.h"

#include <cmath>
#include <string>

static constexpr float PEAK_DBFS = -3.0f;
static constexpr float EDGE_FADE_IN_SECONDS = 0.002f;
static constexpr float EDGE_FADE_OUT_SECONDS = 0.02f;

// Three chime partials: fundamental, octave and a slightly stretched twelfth.
static const float CHIME_RATIOS[] = {1.0f, 2.0f, 3.02f};
static const float CHIME_LEVELS[] = {1.0f, 0.3f, 0.12f};
// Bell partials: a bright, slightly inharmonic strike.
static const float BELL_RATIOS[] = {1.0f, 2.0f, 2.76f, 4.07f};
static const float BELL_LEVELS[] = {1.0f, 0.45f, 0.3f, 0.12f};

static float semitones(float base, float steps)
{
    return base * std::pow(2.0f, steps / 12.0f);
}

// Four chime notes climbing a major arpeggio, each a pair of beating partial sets, under a
// tremolo that speeds up: the shimmer of something taking shape.
static SampleBuffer makeAppear()
{
    SampleBuffer out = makeBuffer(0.95f);
    const float root = 880.0f;
    const float steps[] = {0.0f, 4.0f, 7.0f, 12.0f};
    for (int n = 0; n < 4; ++n) {
        BellNote note{0.075f * n, semitones(root, steps[n]), 0.6f + 0.15f * n, 0.32f + 0.06f * n};
        addBell(out, note, CHIME_RATIOS, CHIME_LEVELS, 3, 0.6f, 3.5f + n);
    }
    // A faint airy sparkle: high band-passed noise swelling with the notes.
    NoiseSource noise = makeNoise(0xA11E4u);
    StateVariableFilter air;
    for (size_t i = 0; i < out.size(); ++i) {
        float t = sampleTime(static_cast<int>(i));
        float band = filterSample(air, nextNoise(noise), 7000.0f + 3000.0f * t, 3.0f).band;
        out[i] += 0.05f * band * smoothStep01(t / 0.25f) * std::exp(-t / 0.3f);
        float tremolo = 1.0f - 0.22f * (0.5f + 0.5f * sineAt(t * (9.0f + 8.0f * t)));
        out[i] *= tremolo;
    }
    finishEffect(out, EDGE_FADE_IN_SECONDS, 0.08f, PEAK_DBFS);
    return out;
}

// A crack of bright noise that darkens quickly, a rumbling low noise tail and a sine thump
// falling in pitch, softly saturated together.
static SampleBuffer makeExplosion()
{
    SampleBuffer out = makeBuffer(1.3f);
    NoiseSource noise = makeNoise(0xB0057u);
    OnePoleLowpass body1, body2, rumble1, rumble2;
    Oscillator thump;
    for (size_t i = 0; i < out.size(); ++i) {
        float t = sampleTime(static_cast<int>(i));
        float white = nextNoise(noise);
        float cutoff = 180.0f + 5200.0f * std::exp(-t / 0.09f);
        float body = lowpass(body2, lowpass(body1, white, cutoff), cutoff);
        float rumble = lowpass(rumble2, lowpass(rumble1, white, 160.0f), 160.0f);
        float thumpHz = 38.0f + 70.0f * std::exp(-t / 0.12f);
        float low = sineAt(advancePhase(thump, thumpHz));
        float s = 1.1f * body * attackDecay(t, 0.002f, 0.3f) +
                  3.0f * rumble * attackDecay(t, 0.01f, 0.5f) +
                  0.9f * low * attackDecay(t, 0.004f, 0.2f);
        out[i] = std::tanh(1.6f * s);
    }
    finishEffect(out, EDGE_FADE_IN_SECONDS, 0.15f, PEAK_DBFS);
    return out;
}

// Band-passed noise sweeping upward (the rush of air) under a buzzy tone gliding up two
// octaves with a little vibrato: a missile leaving and picking up speed.
static SampleBuffer makeLaunchHoming()
{
    const float length = 0.8f;
    SampleBuffer out = makeBuffer(length);
    NoiseSource noise = makeNoise(0x40411u);
    StateVariableFilter whoosh;
    OnePoleLowpass toneFilter;
    Oscillator tone;
    for (size_t i = 0; i < out.size(); ++i) {
        float t = sampleTime(static_cast<int>(i));
        float u = t / length;
        float centre = 450.0f * std::pow(2.0f, 2.6f * u);
        float air = filterSample(whoosh, nextNoise(noise), centre, 1.6f).band;
        float swell = smoothStep01(u / 0.3f) * (1.0f - smoothStep01((u - 0.45f) / 0.55f));
        float vibrato = 1.0f + 0.015f * sineAt(6.5f * t);
        float toneHz = 200.0f * std::pow(2.0f, 2.0f * u) * vibrato;
        float buzz = lowpass(toneFilter, harmonicSaw(advancePhase(tone, toneHz), toneHz, 8), 2500.0f);
        float toneEnv = smoothStep01(t / 0.04f) * (1.0f - smoothStep01((u - 0.6f) / 0.4f));
        out[i] = 1.4f * air * swell + 0.6f * buzz * toneEnv;
    }
    finishEffect(out, EDGE_FADE_IN_SECONDS, EDGE_FADE_OUT_SECONDS, PEAK_DBFS);
    return out;
}

// A square-ish tone diving from high to low in a fraction of a second, with a second voice a
// twelfth above that fades first: the classic zap.
static SampleBuffer makeLaunchLaser()
{
    SampleBuffer out = makeBuffer(0.32f);
    Oscillator main, upper;
    for (size_t i = 0; i < out.size(); ++i) {
        float t = sampleTime(static_cast<int>(i));
        float hz = 140.0f + 2100.0f * std::exp(-t / 0.055f);
        float a = harmonicSquare(advancePhase(main, hz), hz, 6);
        float b = sineAt(advancePhase(upper, hz * 3.0f));
        out[i] = a * attackDecay(t, 0.0015f, 0.09f) + 0.35f * b * attackDecay(t, 0.0015f, 0.04f);
    }
    finishEffect(out, EDGE_FADE_IN_SECONDS, EDGE_FADE_OUT_SECONDS, PEAK_DBFS);
    return out;
}

// Two quick bell strikes a fourth apart, the second left ringing: picked up.
static SampleBuffer makeOrb()
{
    SampleBuffer out = makeBuffer(0.7f);
    BellNote first{0.0f, semitones(1318.5f, -5.0f), 0.55f, 0.08f};
    BellNote second{0.065f, 1318.5f, 1.0f, 0.22f};
    addBell(out, first, BELL_RATIOS, BELL_LEVELS, 4, 0.7f, 2.0f);
    addBell(out, second, BELL_RATIOS, BELL_LEVELS, 4, 0.7f, 2.5f);
    finishEffect(out, EDGE_FADE_IN_SECONDS, 0.06f, PEAK_DBFS);
    return out;
}

// Three notes up a major chord, soft and round, the last held longer with a gentle vibrato.
static SampleBuffer makeDone()
{
    SampleBuffer out = makeBuffer(1.1f);
    const float notes[] = {783.99f, 1046.5f, 1318.5f};
    const float starts[] = {0.0f, 0.12f, 0.24f};
    const float decays[] = {0.18f, 0.2f, 0.38f};
    for (int n = 0; n < 3; ++n) {
        Oscillator body, octave;
        for (size_t i = static_cast<size_t>(starts[n] * SFX_SAMPLE_RATE_HZ); i < out.size(); ++i) {
            float t = sampleTime(static_cast<int>(i)) - starts[n];
            float vibrato = n == 2 ? 1.0f + 0.006f * sineAt(5.5f * t) * smoothStep01(t / 0.3f) : 1.0f;
            float hz = notes[n] * vibrato;
            float s = harmonicTriangle(advancePhase(body, hz), hz, 5) + 0.2f * sineAt(advancePhase(octave, 2.0f * hz));
            out[i] += (n == 2 ? 1.0f : 0.8f) * s * attackDecay(t, 0.006f, decays[n]);
        }
    }
    finishEffect(out, EDGE_FADE_IN_SECONDS, 0.1f, PEAK_DBFS);
    return out;
}

struct EffectRecipe {
    const char* fileName;
    SampleBuffer (*make)();
};

static const EffectRecipe EFFECTS[] = {
    {"appear.wav", makeAppear},
    {"explosion.wav", makeExplosion},
    {"launchhoming.wav", makeLaunchHoming},
    {"launchlaser.wav", makeLaunchLaser},
    {"orb.wav", makeOrb},
    {"done.wav", makeDone},
};

int main(int argc, char** argv)
{
    return runGenerator("sfx", argc, argv, [](const std::string& dataDir, std::string& error) {
        for (const EffectRecipe& effect : EFFECTS)
            if (!writeWavFile(dataDir + "/" + effect.fileName, effect.make(), error))
                return false;
        return true;
    });
}
