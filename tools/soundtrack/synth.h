// The soundtrack's synthesiser: one note event becomes one short stereo buffer.
// Times are seconds from the start of the music, pitches MIDI note numbers (69 = A4 = 440 Hz),
// velocities and pans 0..1 (pan 0.5 is centre). Everything is deterministic: the only noise is a
// xorshift generator seeded per note.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int SAMPLE_RATE_HZ = 44100;

enum class Instrument {
    Kick,
    Snare,
    Clap,
    ClosedHat,
    OpenHat,
    Crash,
    Tom,
    Riser,
    Bass,
    Pad,
    Pluck,
    Stab,
    Lead,
    Bell,
};
constexpr int INSTRUMENT_COUNT = static_cast<int>(Instrument::Bell) + 1;

struct NoteEvent {
    Instrument instrument;
    double startSec;
    double lengthSec;     // gate length; the release tail comes on top
    float pitch;          // MIDI note (drums: a tuning offset in semitones, 0 = default)
    float velocity;
    float pan;
    float brightness;     // filter cutoff factor at the note start (1 = the patch's own)
    float brightnessEnd;  // the factor at the end of the gate, for slow sweeps
};

struct StereoBuffer {
    std::vector<float> left;
    std::vector<float> right;
};

// Small deterministic noise source.
struct NoiseSource {
    uint32_t state;
};
NoiseSource seedNoise(uint32_t seed);
float nextNoise(NoiseSource& noise);  // uniform in [-1, 1)

// sin(2 pi turns), polynomial, no table; error below 4e-6.
float sineTurns(double turns);
float midiToHz(float pitch);

// Drum hits (not the riser) are linear in velocity and take their noise from a seed of their own,
// so hits that differ only in velocity can share one rendering at velocity 1.
bool isSharedHit(Instrument instrument);
uint32_t sharedHitSeed(Instrument instrument);

// Length of the rendered note including its tail, in samples.
size_t noteTailSamples(const NoteEvent& note);
// Renders the note from its own start into out (resized to noteTailSamples, already panned).
void renderNote(const NoteEvent& note, uint32_t seed, StereoBuffer& out);
