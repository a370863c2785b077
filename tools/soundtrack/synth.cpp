// Oscillators (band-limited with polyBLEP), ADSR envelopes, a state-variable resonant filter and
// the drum and tonal voices of the soundtrack. Per-sample work uses recurrences (envelope
// coefficients, phase increments) so the song renders in a few seconds on one core; the filter
// coefficients are refreshed every CONTROL_BLOCK samples.
#include "synth.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double PI = 3.14159265358979323846;
constexpr float SAMPLE_SEC = 1.0f / SAMPLE_RATE_HZ;
constexpr int CONTROL_BLOCK = 16;
constexpr int MAX_OSCILLATORS = 7;
constexpr int HAT_PARTIALS = 6;
constexpr float BELL_RELEASE_SEC = 0.35f;
// Fade over the very end of the short one-shots so a tail never stops on a step (the kick and
// the metal sounds taper over their whole length instead).
constexpr float END_FADE_SEC = 0.006f;

// Zero-delay-feedback state-variable filter (trapezoidal integration): stable at any cutoff
// below Nyquist and with any resonance below 1.
struct Svf {
    float ic1 = 0.0f;
    float ic2 = 0.0f;
    float a1 = 0.0f;
    float a2 = 0.0f;
    float a3 = 0.0f;
    float k = 2.0f;
};

void setSvf(Svf& f, float cutoffHz, float resonance)
{
    cutoffHz = std::clamp(cutoffHz, 20.0f, 0.45f * SAMPLE_RATE_HZ);
    resonance = std::clamp(resonance, 0.0f, 0.97f);
    float g = static_cast<float>(std::tan(PI * cutoffHz / SAMPLE_RATE_HZ));
    f.k = 2.0f - 2.0f * resonance;
    f.a1 = 1.0f / (1.0f + g * (g + f.k));
    f.a2 = g * f.a1;
    f.a3 = g * f.a2;
}

void copySvfCoefficients(const Svf& from, Svf& to)
{
    to.a1 = from.a1;
    to.a2 = from.a2;
    to.a3 = from.a3;
    to.k = from.k;
}

struct SvfOut {
    float low;
    float band;
    float high;
};

inline SvfOut runSvf(Svf& f, float x)
{
    float v3 = x - f.ic2;
    float v1 = f.a1 * f.ic1 + f.a2 * v3;
    float v2 = f.ic2 + f.a2 * f.ic1 + f.a3 * v3;
    f.ic1 = 2.0f * v1 - f.ic1;
    f.ic2 = 2.0f * v2 - f.ic2;
    return {v2, v1, x - f.k * v1 - v2};
}

enum class EnvStage { Attack, Decay, Release, Done };

struct Adsr {
    EnvStage stage = EnvStage::Attack;
    float level = 0.0f;
    float attackStep = 1.0f;
    float decayCoef = 0.0f;
    float sustain = 1.0f;
    float releaseCoef = 0.0f;
};

// Decay and release are times to fall about 40 dB (five time constants).
Adsr makeAdsr(float attackSec, float decaySec, float sustain, float releaseSec)
{
    Adsr env;
    env.attackStep = 1.0f / std::max(1.0f, attackSec * SAMPLE_RATE_HZ);
    env.decayCoef = static_cast<float>(std::exp(-5.0 / std::max(1.0, static_cast<double>(decaySec) * SAMPLE_RATE_HZ)));
    env.sustain = sustain;
    env.releaseCoef = static_cast<float>(std::exp(-5.0 / std::max(1.0, static_cast<double>(releaseSec) * SAMPLE_RATE_HZ)));
    return env;
}

inline float runAdsr(Adsr& env, bool gate)
{
    if (!gate && env.stage != EnvStage::Done)
        env.stage = EnvStage::Release;
    switch (env.stage) {
    case EnvStage::Attack:
        env.level += env.attackStep;
        if (env.level >= 1.0f) {
            env.level = 1.0f;
            env.stage = EnvStage::Decay;
        }
        break;
    case EnvStage::Decay:
        env.level = env.sustain + (env.level - env.sustain) * env.decayCoef;
        break;
    case EnvStage::Release:
        env.level *= env.releaseCoef;
        if (env.level < 1e-4f) {
            env.level = 0.0f;
            env.stage = EnvStage::Done;
        }
        break;
    case EnvStage::Done:
        break;
    }
    return env.level;
}

inline float polyBlep(float t, float dt)
{
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0f;
    }
    if (t > 1.0f - dt) {
        t = (t - 1.0f) / dt;
        return t * t + t + t + 1.0f;
    }
    return 0.0f;
}

inline float sawWave(float phase, float dt)
{
    return 2.0f * phase - 1.0f - polyBlep(phase, dt);
}

inline float squareWave(float phase, float dt)
{
    float half = phase + 0.5f;
    if (half >= 1.0f)
        half -= 1.0f;
    float naive = phase < 0.5f ? 1.0f : -1.0f;
    return naive + polyBlep(phase, dt) - polyBlep(half, dt);
}

// Soft saturation, odd and monotonic up to |x| = 3, clamped beyond.
inline float softClip(float x)
{
    if (x > 3.0f)
        return 1.0f;
    if (x < -3.0f)
        return -1.0f;
    float x2 = x * x;
    return x * (27.0f + x2) / (27.0f + 9.0f * x2);
}

inline float decayCoefficient(float timeConstantSec)
{
    return static_cast<float>(std::exp(-1.0 / (std::max(1e-4f, timeConstantSec) * SAMPLE_RATE_HZ)));
}

struct PanGains {
    float left;
    float right;
};

// Equal power; both gains are 1 at the centre.
PanGains panGains(float pan)
{
    pan = std::clamp(pan, 0.0f, 1.0f);
    float a = static_cast<float>(pan * PI * 0.5);
    return {static_cast<float>(std::cos(a) * std::sqrt(2.0)), static_cast<float>(std::sin(a) * std::sqrt(2.0))};
}

size_t secondsToSamples(double sec)
{
    return sec <= 0.0 ? 0 : static_cast<size_t>(sec * SAMPLE_RATE_HZ + 0.5);
}

float endFade(size_t i, size_t count)
{
    size_t fade = secondsToSamples(END_FADE_SEC);
    size_t left = count - i;
    return left >= fade ? 1.0f : static_cast<float>(left) / static_cast<float>(fade);
}

void writeMono(StereoBuffer& out, size_t i, float value, PanGains pan)
{
    out.left[i] = value * pan.left;
    out.right[i] = value * pan.right;
}

// ---- drums -------------------------------------------------------------------------------

float drumLengthSec(const NoteEvent& note)
{
    switch (note.instrument) {
    case Instrument::Kick:
        return 5.0f * static_cast<float>(note.lengthSec);
    case Instrument::Snare:
        return 0.55f;
    case Instrument::Clap:
        return 0.6f;
    case Instrument::ClosedHat:
        return 0.15f;
    case Instrument::OpenHat:
        return 0.9f;
    case Instrument::Crash:
        return 5.0f * static_cast<float>(note.lengthSec);
    case Instrument::Tom:
        return 1.3f;
    case Instrument::Riser:
        return static_cast<float>(note.lengthSec) + END_FADE_SEC;
    default:
        return 0.0f;
    }
}

// Sine with a fast downward pitch sweep and a short click; lengthSec is the decay time constant.
void renderKick(const NoteEvent& note, NoiseSource& noise, StereoBuffer& out)
{
    PanGains pan = panGains(note.pan);
    float endHz = 47.0f * std::exp2(note.pitch / 12.0f);
    float sweep = 1.0f;
    float sweepCoef = decayCoefficient(0.026f);
    float amp = 1.0f;
    float ampCoef = decayCoefficient(static_cast<float>(note.lengthSec));
    float click = 1.0f;
    float clickCoef = decayCoefficient(0.0012f);
    Svf clickFilter;
    setSvf(clickFilter, 2500.0f, 0.2f);
    double phase = 0.0;
    size_t count = out.left.size();
    size_t attack = secondsToSamples(0.0004);
    size_t clickLength = secondsToSamples(0.015);  // the click has died out by then
    for (size_t i = 0; i < count; ++i) {
        float hz = endHz * (1.0f + 2.6f * sweep);
        phase += hz * SAMPLE_SEC;
        sweep *= sweepCoef;
        float body = sineTurns(phase) * amp;
        amp *= ampCoef;
        float tick = 0.0f;
        if (i < clickLength) {
            tick = runSvf(clickFilter, nextNoise(noise)).band * click * 0.5f;
            click *= clickCoef;
        }
        float ramp = i < attack ? static_cast<float>(i) / attack : 1.0f;
        float taper = 1.0f - static_cast<float>(i) / count;
        float value = softClip(1.4f * (body + tick)) * 0.85f * ramp * taper;
        writeMono(out, i, value * note.velocity, pan);
    }
}

void renderSnare(const NoteEvent& note, NoiseSource& noise, StereoBuffer& out)
{
    PanGains pan = panGains(note.pan);
    float baseHz = 185.0f * std::exp2(note.pitch / 12.0f);
    float drop = 1.0f;
    float dropCoef = decayCoefficient(0.012f);
    float body = 1.0f;
    float bodyCoef = decayCoefficient(0.055f);
    float hiss = 1.0f;
    float hissCoef = decayCoefficient(0.085f);
    Svf highPass;
    Svf lowPass;
    setSvf(highPass, 1100.0f, 0.1f);
    setSvf(lowPass, 8000.0f * note.brightness, 0.1f);
    double phase = 0.0;
    size_t count = out.left.size();
    for (size_t i = 0; i < count; ++i) {
        phase += baseHz * (1.0f + 0.6f * drop) * SAMPLE_SEC;
        drop *= dropCoef;
        float tone = sineTurns(phase) * body * 0.55f;
        body *= bodyCoef;
        float n = runSvf(lowPass, runSvf(highPass, nextNoise(noise)).high).low;
        float value = tone + n * hiss * 0.75f;
        hiss *= hissCoef;
        writeMono(out, i, value * note.velocity * endFade(i, count), pan);
    }
}

// Three quick noise bursts and a tail through a band-pass: the hand-clap smear.
void renderClap(const NoteEvent& note, NoiseSource& noise, StereoBuffer& out)
{
    PanGains pan = panGains(note.pan);
    Svf band;
    setSvf(band, 1150.0f, 0.55f);
    Svf air;
    setSvf(air, 2500.0f, 0.0f);
    constexpr float BURST_SEC = 0.0095f;
    constexpr int BURSTS = 3;
    float burstCoef = decayCoefficient(0.0035f);
    float tailCoef = decayCoefficient(0.1f);
    float burst = 1.0f;
    float tail = 1.0f;
    size_t burstLen = secondsToSamples(BURST_SEC);
    size_t count = out.left.size();
    for (size_t i = 0; i < count; ++i) {
        float env;
        if (i < burstLen * BURSTS) {
            if (i % burstLen == 0)
                burst = 1.0f;
            env = burst;
            burst *= burstCoef;
        } else {
            env = tail;
            tail *= tailCoef;
        }
        float n = nextNoise(noise);
        SvfOut b = runSvf(band, n);
        float bright = runSvf(air, n).high;
        float value = (b.band * 1.6f + bright * 0.25f) * env;
        writeMono(out, i, value * note.velocity * endFade(i, count), pan);
    }
}

// Six detuned square partials (a metallic cluster) plus noise, high-passed.
void renderMetal(const NoteEvent& note, NoiseSource& noise, StereoBuffer& out, float decaySec,
                 float highPassHz, float noiseMix, bool stereoNoise)
{
    static constexpr float PARTIAL_HZ[HAT_PARTIALS] = {349.0f, 517.5f, 628.3f, 888.6f, 918.0f, 1360.0f};
    PanGains pan = panGains(note.pan);
    float phases[HAT_PARTIALS] = {};
    float incs[HAT_PARTIALS];
    for (int p = 0; p < HAT_PARTIALS; ++p) {
        incs[p] = PARTIAL_HZ[p] * 2.0f * std::exp2(note.pitch / 12.0f) * SAMPLE_SEC;
        phases[p] = 0.5f * (nextNoise(noise) + 1.0f);
    }
    Svf hpLeft;
    Svf hpRight;
    Svf hp2Left;
    Svf hp2Right;
    float cutoff = highPassHz * note.brightness;
    setSvf(hpLeft, cutoff, 0.3f);
    setSvf(hpRight, cutoff, 0.3f);
    setSvf(hp2Left, cutoff * 0.8f, 0.0f);
    setSvf(hp2Right, cutoff * 0.8f, 0.0f);
    float amp = 1.0f;
    float ampCoef = decayCoefficient(decaySec);
    size_t attack = secondsToSamples(0.0008);
    size_t count = out.left.size();
    for (size_t i = 0; i < count; ++i) {
        float metal = 0.0f;
        for (int p = 0; p < HAT_PARTIALS; ++p) {
            phases[p] += incs[p];
            if (phases[p] >= 1.0f)
                phases[p] -= 1.0f;
            metal += squareWave(phases[p], incs[p]);
        }
        metal *= 1.0f / HAT_PARTIALS;
        float nl = nextNoise(noise);
        float nr = stereoNoise ? nextNoise(noise) : nl;
        float ramp = i < attack ? static_cast<float>(i) / attack : 1.0f;
        // A linear taper over the whole tail lets the long crash stop at 5 time constants.
        float taper = 1.0f - static_cast<float>(i) / count;
        float env = amp * ramp * note.velocity * taper;
        amp *= ampCoef;
        float l = runSvf(hp2Left, runSvf(hpLeft, metal * (1.0f - noiseMix) + nl * noiseMix).high).high;
        float r = stereoNoise ? runSvf(hp2Right, runSvf(hpRight, metal * (1.0f - noiseMix) + nr * noiseMix).high).high : l;
        out.left[i] = l * env * pan.left;
        out.right[i] = r * env * pan.right;
    }
}

void renderTom(const NoteEvent& note, NoiseSource& noise, StereoBuffer& out)
{
    PanGains pan = panGains(note.pan);
    float baseHz = 98.0f * std::exp2(note.pitch / 12.0f);
    float drop = 1.0f;
    float dropCoef = decayCoefficient(0.06f);
    float amp = 1.0f;
    float ampCoef = decayCoefficient(0.2f);
    float hiss = 1.0f;
    float hissCoef = decayCoefficient(0.02f);
    Svf band;
    setSvf(band, 900.0f, 0.3f);
    double phase = 0.0;
    size_t count = out.left.size();
    for (size_t i = 0; i < count; ++i) {
        phase += baseHz * (1.0f + 0.7f * drop) * SAMPLE_SEC;
        drop *= dropCoef;
        float value = sineTurns(phase) * amp + runSvf(band, nextNoise(noise)).band * hiss * 0.5f;
        amp *= ampCoef;
        hiss *= hissCoef;
        writeMono(out, i, softClip(value * 1.2f) * note.velocity * endFade(i, count), pan);
    }
}

// Noise through a band-pass that sweeps up over the note while it swells: the build-up whoosh.
void renderRiser(const NoteEvent& note, NoiseSource& noise, StereoBuffer& out)
{
    PanGains pan = panGains(note.pan);
    Svf left;
    Svf right;
    size_t count = out.left.size();
    size_t gate = std::max<size_t>(1, secondsToSamples(note.lengthSec));
    float startHz = 220.0f * note.brightness;
    float endHz = 7500.0f * note.brightnessEnd;
    for (size_t i = 0; i < count; ++i) {
        float x = std::min(1.0f, static_cast<float>(i) / gate);
        if (i % CONTROL_BLOCK == 0) {
            float hz = startHz * std::pow(endHz / startHz, x);
            setSvf(left, hz, 0.55f);
            setSvf(right, hz * 1.05f, 0.55f);
        }
        float env = x * x * note.velocity * endFade(i, count);
        out.left[i] = runSvf(left, nextNoise(noise)).band * env * pan.left;
        out.right[i] = runSvf(right, nextNoise(noise)).band * env * pan.right;
    }
}

// ---- tonal voices ------------------------------------------------------------------------

struct TonalPatch {
    int oscillators;
    float detuneCents;   // spread of the outermost oscillators
    float stereoSpread;  // 0: all centred, 1: outermost fully left/right
    float sawLevel;
    float squareLevel;
    float subLevel;      // sine one octave down
    float attackSec;
    float decaySec;
    float sustain;
    float releaseSec;
    float cutoffHz;
    float keyTrack;      // cutoff follows the pitch by this fraction of an octave per octave
    float envOctaves;    // filter envelope depth at full velocity
    float filterDecaySec;
    float resonance;
    float vibratoCents;
    float vibratoHz;
    float vibratoDelaySec;
    float gain;
};

TonalPatch tonalPatch(Instrument instrument)
{
    switch (instrument) {
    case Instrument::Bass:
        return {2, 9.0f, 0.0f, 0.7f, 0.35f, 0.65f, 0.003f, 0.3f, 0.55f, 0.07f,
                150.0f, 0.5f, 2.9f, 0.13f, 0.35f, 0.0f, 0.0f, 0.0f, 0.55f};
    case Instrument::Pad:
        return {4, 15.0f, 0.85f, 1.0f, 0.0f, 0.0f, 0.45f, 1.5f, 0.8f, 0.8f,
                1300.0f, 0.3f, 0.5f, 1.2f, 0.12f, 0.0f, 0.0f, 0.0f, 0.13f};
    case Instrument::Pluck:
        return {2, 6.0f, 0.35f, 0.6f, 0.4f, 0.0f, 0.002f, 0.32f, 0.0f, 0.12f,
                520.0f, 0.5f, 3.6f, 0.11f, 0.42f, 0.0f, 0.0f, 0.0f, 0.32f};
    case Instrument::Stab:
        return {3, 11.0f, 0.55f, 1.0f, 0.0f, 0.0f, 0.002f, 0.2f, 0.12f, 0.08f,
                800.0f, 0.4f, 2.6f, 0.08f, 0.3f, 0.0f, 0.0f, 0.0f, 0.2f};
    case Instrument::Lead:
        return {2, 7.0f, 0.25f, 0.75f, 0.35f, 0.0f, 0.01f, 0.45f, 0.7f, 0.2f,
                1700.0f, 0.5f, 1.6f, 0.25f, 0.25f, 14.0f, 5.3f, 0.22f, 0.24f};
    default:
        return {1, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.01f, 0.1f, 1.0f, 0.1f,
                2000.0f, 0.0f, 0.0f, 0.1f, 0.0f, 0.0f, 0.0f, 0.0f, 0.2f};
    }
}

void renderTonal(const NoteEvent& note, NoiseSource& noise, StereoBuffer& out)
{
    TonalPatch patch = tonalPatch(note.instrument);
    PanGains pan = panGains(note.pan);
    float baseHz = midiToHz(note.pitch);
    int oscCount = std::clamp(patch.oscillators, 1, MAX_OSCILLATORS);
    float phases[MAX_OSCILLATORS];
    float ratios[MAX_OSCILLATORS];
    float gainLeft[MAX_OSCILLATORS];
    float gainRight[MAX_OSCILLATORS];
    float oscNorm = 1.0f / std::sqrt(static_cast<float>(oscCount));
    for (int o = 0; o < oscCount; ++o) {
        float pos = oscCount == 1 ? 0.0f : 2.0f * o / (oscCount - 1) - 1.0f;  // -1 .. 1
        // Alternate sides so neighbouring detunes do not pile up on one side.
        float side = (o % 2 == 0 ? 1.0f : -1.0f) * std::fabs(pos);
        ratios[o] = std::exp2(pos * patch.detuneCents / 1200.0f);
        phases[o] = 0.5f * (nextNoise(noise) + 1.0f);
        PanGains g = panGains(0.5f + 0.5f * side * patch.stereoSpread);
        gainLeft[o] = g.left * oscNorm;
        gainRight[o] = g.right * oscNorm;
    }
    double subPhase = 0.0;
    Adsr env = makeAdsr(patch.attackSec, patch.decaySec, patch.sustain, patch.releaseSec);
    float filterEnv = 1.0f;
    float filterEnvCoef = decayCoefficient(patch.filterDecaySec / 3.0f);
    Svf left;
    Svf right;
    float keyFactor = std::exp2(patch.keyTrack * (note.pitch - 60.0f) / 12.0f);
    size_t gate = secondsToSamples(note.lengthSec);
    size_t count = out.left.size();
    float inc = baseHz * SAMPLE_SEC;
    // Without stereo spread both channels carry the same signal: filter it once.
    bool mono = patch.stereoSpread == 0.0f;
    float incs[MAX_OSCILLATORS];
    for (size_t i = 0; i < count; ++i) {
        if (i % CONTROL_BLOCK == 0) {
            float t = static_cast<float>(i) * SAMPLE_SEC;
            float bendCents = 0.0f;
            if (patch.vibratoCents > 0.0f && t > patch.vibratoDelaySec) {
                float depth = std::min(1.0f, (t - patch.vibratoDelaySec) / 0.3f);
                bendCents = patch.vibratoCents * depth * sineTurns(patch.vibratoHz * t);
            }
            float bent = inc * std::exp2(bendCents / 1200.0f);
            for (int o = 0; o < oscCount; ++o)
                incs[o] = bent * ratios[o];
            float progress = gate == 0 ? 1.0f : std::min(1.0f, static_cast<float>(i) / gate);
            float bright = note.brightness + (note.brightnessEnd - note.brightness) * progress;
            float envOct = patch.envOctaves * (0.55f + 0.45f * note.velocity) * filterEnv;
            float cutoff = patch.cutoffHz * bright * keyFactor * std::exp2(envOct);
            setSvf(left, cutoff, patch.resonance);
            if (!mono)
                copySvfCoefficients(left, right);
        }
        float sumLeft = 0.0f;
        float sumRight = 0.0f;
        for (int o = 0; o < oscCount; ++o) {
            float p = phases[o] + incs[o];
            if (p >= 1.0f)
                p -= 1.0f;
            phases[o] = p;
            float v = patch.sawLevel * sawWave(p, incs[o]);
            if (patch.squareLevel > 0.0f)
                v += patch.squareLevel * squareWave(p, incs[o]);
            sumLeft += v * gainLeft[o];
            sumRight += v * gainRight[o];
        }
        if (patch.subLevel > 0.0f) {
            subPhase += 0.5 * inc;
            float sub = patch.subLevel * sineTurns(subPhase);
            sumLeft += sub;
            sumRight += sub;
        }
        filterEnv *= filterEnvCoef;
        float e = runAdsr(env, i < gate) * note.velocity * patch.gain;
        float l = runSvf(left, sumLeft).low * e;
        float r = mono ? l : runSvf(right, sumRight).low * e;
        out.left[i] = l * pan.left;
        out.right[i] = r * pan.right;
    }
}

// Two-operator FM: a warm ratio-1 modulator and a fast-decaying ratio-7 "tine" for the strike.
void renderBell(const NoteEvent& note, StereoBuffer& out)
{
    PanGains pan = panGains(note.pan);
    float hz = midiToHz(note.pitch);
    double carrier = 0.0;
    double modWarm = 0.0;
    double modTine = 0.0;
    float warm = 1.0f;
    float warmCoef = decayCoefficient(0.45f);
    float tine = 1.0f;
    float tineCoef = decayCoefficient(0.035f);
    Adsr env = makeAdsr(0.002f, 3.0f, 0.0f, BELL_RELEASE_SEC);
    size_t gate = secondsToSamples(note.lengthSec);
    size_t count = out.left.size();
    float warmDepth = (0.6f + 1.6f * note.velocity) * note.brightness;
    float tineDepth = 1.1f * note.velocity * note.brightness;
    for (size_t i = 0; i < count; ++i) {
        carrier += hz * SAMPLE_SEC;
        modWarm += hz * SAMPLE_SEC;
        modTine += 7.0 * hz * SAMPLE_SEC;
        double mod = (warmDepth * warm * sineTurns(modWarm) + tineDepth * tine * sineTurns(modTine)) / (2.0 * PI);
        warm *= warmCoef;
        tine *= tineCoef;
        float value = sineTurns(carrier + mod) * runAdsr(env, i < gate) * note.velocity * 0.3f;
        writeMono(out, i, value, pan);
    }
}

}  // namespace

NoiseSource seedNoise(uint32_t seed)
{
    // Mix the seed so neighbouring seeds give unrelated sequences; never zero.
    uint32_t s = seed * 2654435761u + 0x9E3779B9u;
    s ^= s >> 16;
    return {s == 0 ? 1u : s};
}

float nextNoise(NoiseSource& noise)
{
    uint32_t x = noise.state;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    noise.state = x;
    return static_cast<float>(x >> 8) * (2.0f / 16777216.0f) - 1.0f;
}

float sineTurns(double turns)
{
    double x = turns - std::floor(turns);  // [0, 1)
    double y = 0.5 - x;                     // sin(2 pi x) = sin(2 pi y), y in (-0.5, 0.5]
    if (y > 0.25)
        y = 0.5 - y;
    else if (y < -0.25)
        y = -0.5 - y;
    double u = 2.0 * PI * y;  // [-pi/2, pi/2]
    double u2 = u * u;
    double s = u * (1.0 + u2 * (-1.0 / 6.0 + u2 * (1.0 / 120.0 + u2 * (-1.0 / 5040.0 + u2 * (1.0 / 362880.0)))));
    return static_cast<float>(s);
}

float midiToHz(float pitch)
{
    return 440.0f * std::exp2((pitch - 69.0f) / 12.0f);
}

bool isSharedHit(Instrument instrument)
{
    switch (instrument) {
    case Instrument::Kick:
    case Instrument::Snare:
    case Instrument::Clap:
    case Instrument::ClosedHat:
    case Instrument::OpenHat:
    case Instrument::Crash:
    case Instrument::Tom:
        return true;
    default:
        return false;
    }
}

uint32_t sharedHitSeed(Instrument instrument)
{
    return 0x5EED0000u + static_cast<uint32_t>(instrument);
}

size_t noteTailSamples(const NoteEvent& note)
{
    switch (note.instrument) {
    case Instrument::Bass:
    case Instrument::Pad:
    case Instrument::Pluck:
    case Instrument::Stab:
    case Instrument::Lead:
        // The release falls 40 dB per releaseSec; the envelope ends at -80 dB.
        return secondsToSamples(note.lengthSec + 2.05 * tonalPatch(note.instrument).releaseSec);
    case Instrument::Bell:
        return secondsToSamples(note.lengthSec + 2.05 * BELL_RELEASE_SEC);
    default:
        return secondsToSamples(drumLengthSec(note));
    }
}

void renderNote(const NoteEvent& note, uint32_t seed, StereoBuffer& out)
{
    size_t count = noteTailSamples(note);
    // Every voice writes each of its samples, so the buffers need no clearing.
    out.left.resize(count);
    out.right.resize(count);
    NoiseSource noise = seedNoise(seed);
    switch (note.instrument) {
    case Instrument::Kick:
        renderKick(note, noise, out);
        break;
    case Instrument::Snare:
        renderSnare(note, noise, out);
        break;
    case Instrument::Clap:
        renderClap(note, noise, out);
        break;
    case Instrument::ClosedHat:
        renderMetal(note, noise, out, 0.028f, 7000.0f, 0.45f, false);
        break;
    case Instrument::OpenHat:
        renderMetal(note, noise, out, 0.16f, 7000.0f, 0.5f, false);
        break;
    case Instrument::Crash:
        renderMetal(note, noise, out, static_cast<float>(note.lengthSec), 3800.0f, 0.75f, true);
        break;
    case Instrument::Tom:
        renderTom(note, noise, out);
        break;
    case Instrument::Riser:
        renderRiser(note, noise, out);
        break;
    case Instrument::Bell:
        renderBell(note, out);
        break;
    case Instrument::Bass:
    case Instrument::Pad:
    case Instrument::Pluck:
    case Instrument::Stab:
    case Instrument::Lead:
        renderTonal(note, noise, out);
        break;
    }
}
