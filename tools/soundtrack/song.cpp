// The song in D major: a chord per bar, then one routine per part (drums, bass, pads, arpeggios,
// melodies, effects) that writes its notes bar by bar according to the section. Positions are
// in rows from the start of the music; pitches are MIDI numbers.
#include "song.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr int MAX_CHORD_TONES = 5;
constexpr int PAD_WINDOW_LOW = 53;   // F3: pads voice every chord inside one octave from here
constexpr int ARP_WINDOW_LOW = 62;   // D4
constexpr int BASS_WINDOW_LOW = 33;  // A1
constexpr int MAX_ARP_TONES = 2 * MAX_CHORD_TONES;

struct Chord {
    int root;  // pitch class, C = 0
    int bass;  // pitch class of the bass note
    int intervals[MAX_CHORD_TONES];
    int toneCount;
};

constexpr int D = 2, E = 4, FS = 6, G = 7, A = 9, B = 11, CS = 1;

constexpr Chord D_ADD9 = {D, D, {0, 4, 7, 14}, 4};
constexpr Chord D_MAJ9 = {D, D, {0, 4, 7, 11, 14}, 5};
constexpr Chord D_MAJ7 = {D, D, {0, 4, 7, 11}, 4};
constexpr Chord A_MAJ = {A, A, {0, 4, 7}, 3};
constexpr Chord A_OVER_CS = {A, CS, {0, 4, 7}, 3};
constexpr Chord A_SUS4 = {A, A, {0, 5, 7}, 3};
constexpr Chord A7_SUS4 = {A, A, {0, 5, 7, 10}, 4};
constexpr Chord A7 = {A, A, {0, 4, 7, 10}, 4};
constexpr Chord B_MIN = {B, B, {0, 3, 7}, 3};
constexpr Chord B_MIN7 = {B, B, {0, 3, 7, 10}, 4};
constexpr Chord B_MIN9 = {B, B, {0, 3, 7, 10, 14}, 5};
constexpr Chord G_MAJ = {G, G, {0, 4, 7}, 3};
constexpr Chord G_MAJ7 = {G, G, {0, 4, 7, 11}, 4};
constexpr Chord G_MAJ9 = {G, G, {0, 4, 7, 11, 14}, 5};
constexpr Chord E_MIN7 = {E, E, {0, 3, 7, 10}, 4};
constexpr Chord FS_MIN7 = {FS, FS, {0, 3, 7, 10}, 4};

// One chord per bar, section by section.
constexpr Chord SONG_CHORDS[SONG_BARS] = {
    // Intro, bars 0-6
    D_MAJ9, D_MAJ9, B_MIN9, B_MIN9, G_MAJ9, G_MAJ9, A_SUS4,
    // Palette logo, bars 7-16
    D_ADD9, A_OVER_CS, B_MIN7, G_MAJ, D_ADD9, A_OVER_CS, B_MIN7, G_MAJ, E_MIN7, A7_SUS4,
    // Cloud, bars 17-23
    G_MAJ7, FS_MIN7, E_MIN7, D_MAJ7, G_MAJ7, FS_MIN7, A_SUS4,
    // Disco ball, bars 24-31
    B_MIN7, E_MIN7, A7, D_MAJ7, B_MIN7, E_MIN7, G_MAJ7, A7,
    // Tunnel, bars 32-47
    B_MIN, G_MAJ, D_ADD9, A_MAJ, E_MIN7, G_MAJ, D_ADD9, A_MAJ,
    B_MIN, G_MAJ, D_ADD9, A_MAJ, B_MIN, G_MAJ, D_ADD9, A_MAJ,
    // Spheres and rings, bars 48-59
    G_MAJ7, A_MAJ, FS_MIN7, B_MIN7, E_MIN7, FS_MIN7, G_MAJ7, A_MAJ, G_MAJ7, A_MAJ, B_MIN, A_OVER_CS,
    // Plasma build-up, bars 60-63
    B_MIN, G_MAJ, E_MIN7, A_SUS4,
    // Flyover, bars 64-91: theme, theme, bridge, theme
    D_ADD9, A_MAJ, B_MIN, G_MAJ, E_MIN7, A_MAJ, D_ADD9, A_MAJ,
    D_ADD9, A_MAJ, B_MIN, G_MAJ, E_MIN7, A_MAJ, D_ADD9, A_MAJ,
    G_MAJ, A_MAJ, FS_MIN7, B_MIN, G_MAJ, A_MAJ, B_MIN, A_MAJ,
    D_ADD9, A_MAJ, B_MIN, G_MAJ,
    // Outro, bars 92-99
    D_ADD9, A_OVER_CS, B_MIN, G_MAJ, D_MAJ7, G_MAJ7, D_ADD9, D_ADD9,
};

struct MelodyNote {
    float row;  // from the start of the phrase
    float rows;
    int pitch;
};

// The main theme, eight bars over D A Bm G Em A D A.
constexpr MelodyNote THEME_A[] = {
    {0, 3, 81},  {3, 3, 78},  {6, 2, 81},  {8, 4, 83},   {12, 2, 81},  {14, 2, 78},
    {16, 6, 76}, {22, 2, 78}, {24, 2, 76}, {26, 2, 74},  {28, 4, 73},
    {32, 3, 74}, {35, 3, 76}, {38, 2, 78}, {40, 4, 79},  {44, 2, 78},  {46, 2, 76},
    {48, 8, 74}, {56, 2, 73}, {58, 2, 74}, {60, 4, 76},
    {64, 3, 83}, {67, 3, 79}, {70, 2, 83}, {72, 4, 88},  {76, 2, 86},  {78, 2, 83},
    {80, 6, 85}, {86, 2, 83}, {88, 8, 81},
    {96, 3, 78}, {99, 3, 81}, {102, 2, 83}, {104, 4, 81}, {108, 2, 78}, {110, 2, 76},
    {112, 10, 76}, {124, 2, 73}, {126, 2, 76},
};
constexpr int THEME_A_FIRST_HALF = 21;      // notes of its first four bars
constexpr int THEME_A_FIFTH_BAR_NOTES = 6;

// The bridge, eight bars over G A F#m Bm G A Bm A, climbing to F#6.
constexpr MelodyNote THEME_B[] = {
    {0, 6, 83},  {6, 2, 81},  {8, 4, 79},  {12, 4, 81},
    {16, 8, 85}, {24, 4, 83}, {28, 4, 81},
    {32, 6, 81}, {38, 2, 78}, {40, 8, 85},
    {48, 12, 86}, {60, 2, 85}, {62, 2, 83},
    {64, 6, 83}, {70, 2, 86}, {72, 4, 86}, {76, 4, 88},
    {80, 8, 88}, {88, 4, 85}, {92, 4, 81},
    {96, 6, 90}, {102, 2, 88}, {104, 4, 86}, {108, 4, 85},
    {112, 12, 88},
};

// The tunnel's driving line, eight bars over Bm G D A Bm G D A.
constexpr MelodyNote TUNNEL_LINE[] = {
    {0, 4, 78},  {4, 2, 78},  {6, 2, 76},  {8, 4, 74},  {12, 4, 76},
    {16, 4, 74}, {20, 4, 71}, {24, 6, 74}, {30, 2, 76},
    {32, 4, 78}, {36, 4, 81}, {40, 4, 78}, {44, 2, 76}, {46, 2, 74},
    {48, 12, 76}, {60, 4, 73},
    {64, 4, 78}, {68, 2, 78}, {70, 2, 81}, {72, 4, 83}, {76, 4, 81},
    {80, 4, 79}, {84, 4, 78}, {88, 6, 74}, {94, 2, 76},
    {96, 4, 78}, {100, 4, 81}, {104, 4, 78}, {108, 2, 76}, {110, 2, 74},
    {112, 8, 76},
};

// The long-note line of the spheres and rings, twelve bars.
constexpr MelodyNote RINGS_LINE[] = {
    {0, 8, 83},   {8, 8, 81},   {16, 16, 85}, {32, 8, 81},  {40, 8, 85},  {48, 16, 86},
    {64, 8, 83},  {72, 8, 79},  {80, 16, 81}, {96, 8, 83},  {104, 8, 86}, {112, 16, 88},
    {128, 8, 86}, {136, 8, 83}, {144, 16, 85}, {160, 8, 86}, {168, 8, 90}, {176, 16, 88},
};

// The outro's last phrase after the theme's first half: F# | G B | A | D.
constexpr MelodyNote OUTRO_LINE[] = {
    {0, 16, 78}, {16, 8, 79}, {24, 8, 83}, {32, 16, 81}, {48, 28, 86},
};

template <size_t N>
constexpr int countOf(const MelodyNote (&)[N])
{
    return static_cast<int>(N);
}

double barRow(int bar)
{
    return static_cast<double>(bar) * ROWS_PER_BAR;
}

bool isAccentBar(int bar)
{
    return bar % BARS_PER_ACCENT == 0;
}

// Insertion sort: the chords hold at most MAX_ARP_TONES pitches.
void sortPitches(int* pitches, int count)
{
    for (int i = 1; i < count; ++i)
        for (int j = i; j > 0 && pitches[j - 1] > pitches[j]; --j)
            std::swap(pitches[j - 1], pitches[j]);
}

int pitchInWindow(int pitchClass, int low)
{
    return low + ((pitchClass - low % 12) % 12 + 12) % 12;
}

int bassPitch(const Chord& chord)
{
    return pitchInWindow(chord.bass, BASS_WINDOW_LOW);
}

// Close voicing inside one octave: consecutive chords then move by small steps.
int padVoicing(const Chord& chord, int pitches[MAX_CHORD_TONES])
{
    for (int i = 0; i < chord.toneCount; ++i)
        pitches[i] = pitchInWindow((chord.root + chord.intervals[i]) % 12, PAD_WINDOW_LOW);
    sortPitches(pitches, chord.toneCount);
    return chord.toneCount;
}

// Chord tones over two octaves from D4, ascending.
int arpTones(const Chord& chord, int pitches[MAX_ARP_TONES])
{
    int n = chord.toneCount;
    for (int i = 0; i < n; ++i)
        pitches[i] = pitchInWindow((chord.root + chord.intervals[i]) % 12, ARP_WINDOW_LOW);
    sortPitches(pitches, n);
    for (int i = 0; i < n; ++i)
        pitches[n + i] = pitches[i] + 12;
    return 2 * n;
}

bool sameChord(const Chord& a, const Chord& b)
{
    if (a.root != b.root || a.bass != b.bass || a.toneCount != b.toneCount)
        return false;
    for (int i = 0; i < a.toneCount; ++i)
        if (a.intervals[i] != b.intervals[i])
            return false;
    return true;
}

struct RowNote {
    Instrument instrument;
    double row;
    double rows;
    float pitch;
    float velocity;
    float pan = 0.5f;
    float brightness = 1.0f;
    float brightnessEnd = -1.0f;  // negative: same as brightness
};

void addNote(Score& score, const RowNote& placed)
{
    NoteEvent note;
    note.instrument = placed.instrument;
    note.startSec = placed.row * ROW_SEC;
    note.lengthSec = placed.rows * ROW_SEC;
    note.pitch = placed.pitch;
    note.velocity = placed.velocity;
    note.pan = placed.pan;
    note.brightness = placed.brightness;
    note.brightnessEnd = placed.brightnessEnd < 0.0f ? placed.brightness : placed.brightnessEnd;
    score.notes.push_back(note);
}

// Drums take their length as seconds: the decay time constant of kicks and crashes.
void addKick(Score& score, double row, float velocity, float decaySec)
{
    addNote(score, {Instrument::Kick, row, decaySec / ROW_SEC, 0.0f, velocity});
}

void addCrash(Score& score, double row, float velocity, float decaySec, float pan = 0.55f)
{
    addNote(score, {Instrument::Crash, row, decaySec / ROW_SEC, 0.0f, velocity, pan});
}

void addHit(Score& score, Instrument instrument, double row, float velocity, float pan = 0.5f,
            float pitch = 0.0f, float brightness = 1.0f)
{
    addNote(score, {instrument, row, 1.0, pitch, velocity, pan, brightness});
}

void addRiser(Score& score, double row, double rows, float velocity, float fromBright = 1.0f,
              float toBright = 1.0f)
{
    addNote(score, {Instrument::Riser, row, rows, 0.0f, velocity, 0.5f, fromBright, toBright});
}

void addMelody(Score& score, Instrument instrument, double row, const MelodyNote* notes, int count,
               float velocity, int transpose, float pan, float brightness, float gateFraction)
{
    for (int i = 0; i < count; ++i) {
        const MelodyNote& m = notes[i];
        // Slightly stronger notes on the beat give the line its pulse.
        float v = velocity * (std::fmod(m.row, 4.0f) == 0.0f ? 1.0f : 0.85f);
        addNote(score, {instrument, row + m.row, m.rows * gateFraction, static_cast<float>(m.pitch + transpose),
                        v, pan, brightness});
    }
}

// Deterministic small variations (hat velocities): one fixed-seed stream for the whole song.
struct Humanizer {
    NoiseSource noise;
};

float jitter(Humanizer& h, float amount)
{
    return 1.0f + amount * nextNoise(h.noise);
}

// ---- drums -------------------------------------------------------------------------------

void addBarKick(Score& score, int bar, float scale)
{
    double row = barRow(bar);
    if (isAccentBar(bar))
        addKick(score, row, 1.0f * scale, 0.3f);
    else
        addKick(score, row, 0.8f * scale, 0.2f);
}

void addBeatKicks(Score& score, int bar, float velocity)
{
    for (int beat = 1; beat < 4; ++beat)
        addKick(score, barRow(bar) + beat * ROWS_PER_BEAT, velocity, 0.15f);
}

void addHats16(Score& score, Humanizer& h, int bar, float velocity, float brightness)
{
    for (int r = 0; r < ROWS_PER_BAR; ++r) {
        float accent = r % 4 == 2 ? 1.5f : (r % 2 == 1 ? 0.75f : 1.0f);
        float pan = r % 2 == 0 ? 0.62f : 0.7f;
        addHit(score, Instrument::ClosedHat, barRow(bar) + r, velocity * accent * jitter(h, 0.12f), pan, 0.0f,
               brightness);
    }
}

void addDrums(Score& score)
{
    Humanizer h{seedNoise(137)};
    for (int bar = 0; bar < SONG_BARS; ++bar) {
        double row = barRow(bar);
        bool accent = isAccentBar(bar);
        switch (sectionOfBar(bar)) {
        case Section::Intro:
            // A slow heartbeat under the picture: soft, long booms.
            addKick(score, row, accent ? 0.62f : 0.46f, accent ? 0.38f : 0.28f);
            if (accent)
                addCrash(score, row, 0.3f, 1.2f);
            if (bar == 6)
                addRiser(score, row, ROWS_PER_BAR, 0.6f, 0.8f, 0.8f);
            break;
        case Section::PaletteLogo:
            addBarKick(score, bar, 0.92f);
            addKick(score, row + 8, 0.32f, 0.14f);
            if (accent)
                addCrash(score, row, 0.45f, 1.0f);
            for (int r = 2; r < ROWS_PER_BAR; r += 4)
                addHit(score, Instrument::ClosedHat, row + r, 0.42f * jitter(h, 0.1f), 0.65f);
            if (bar >= 9) {
                addHit(score, Instrument::Snare, row + 4, 0.3f, 0.47f, 3.0f, 0.7f);
                addHit(score, Instrument::Snare, row + 12, 0.34f, 0.47f, 3.0f, 0.7f);
            }
            if (bar == 16)
                addRiser(score, row + 8, 8, 0.45f);
            break;
        case Section::Cloud:
            addBarKick(score, bar, 0.9f);
            if (accent)
                addCrash(score, row, 0.4f, 1.3f);
            for (int r = 0; r < ROWS_PER_BAR; ++r)
                addHit(score, Instrument::ClosedHat, row + r, (r % 2 == 1 ? 0.3f : 0.16f) * jitter(h, 0.2f),
                       0.38f, 2.0f, 1.3f);
            if (bar == 23) {
                for (int r = 0; r < ROWS_PER_BAR; r += 2)
                    addHit(score, Instrument::Snare, row + r, 0.12f + 0.3f * r / ROWS_PER_BAR, 0.5f);
                addRiser(score, row, ROWS_PER_BAR, 0.55f);
            }
            break;
        case Section::Disco:
            // Kicks on one and three and a pickup before the next bar: it swings, where the
            // tunnel after it drives four to the floor.
            addBarKick(score, bar, 1.0f);
            addKick(score, row + 8, 0.5f, 0.15f);
            addKick(score, row + 14, 0.28f, 0.12f);
            if (accent)
                addCrash(score, row, 0.6f, 0.9f);
            addHit(score, Instrument::Clap, row + 4, 0.7f, 0.52f);
            addHit(score, Instrument::Clap, row + 12, 0.75f, 0.52f);
            for (int r = 2; r < ROWS_PER_BAR; r += 4)
                addHit(score, Instrument::OpenHat, row + r, 0.55f * jitter(h, 0.08f), 0.6f);
            for (int r = 1; r < ROWS_PER_BAR; r += 2)
                addHit(score, Instrument::ClosedHat, row + r, 0.22f * jitter(h, 0.15f), 0.7f);
            if (bar == 31) {
                for (int r = 12; r < ROWS_PER_BAR; ++r)
                    addHit(score, Instrument::Snare, row + r, 0.3f + 0.06f * (r - 12), 0.5f);
                addRiser(score, row + 8, 8, 0.5f);
            }
            break;
        case Section::Tunnel:
            addBarKick(score, bar, 1.0f);
            addBeatKicks(score, bar, 0.45f);
            if (accent)
                addCrash(score, row, 0.75f, 1.0f);
            addHats16(score, h, bar, 0.26f, 1.0f);
            if (bar == 47) {
                // The three flagged hits before the rings: snare and falling toms on beats 2-4.
                for (int beat = 1; beat < 4; ++beat) {
                    addHit(score, Instrument::Snare, row + beat * 4, 0.75f, 0.5f);
                    addHit(score, Instrument::Tom, row + beat * 4, 0.8f, 0.3f + 0.2f * beat, 6.0f - 4.0f * beat);
                }
            } else {
                addHit(score, Instrument::Snare, row + 4, 0.72f, 0.5f);
                addHit(score, Instrument::Snare, row + 12, 0.78f, 0.5f);
            }
            break;
        case Section::Rings:
            addBarKick(score, bar, 1.0f);
            addKick(score, row + 10, 0.42f, 0.15f);
            if (accent)
                addCrash(score, row, 0.65f, 1.4f);
            addHit(score, Instrument::Snare, row + 8, 0.7f, 0.5f, -1.0f);
            addHit(score, Instrument::Clap, row + 8, 0.35f, 0.5f);
            for (int r = 0; r < ROWS_PER_BAR; r += 2)
                addHit(score, Instrument::ClosedHat, row + r, (r % 4 == 2 ? 0.38f : 0.2f) * jitter(h, 0.1f), 0.64f);
            if (bar == 59)
                addRiser(score, row, ROWS_PER_BAR, 0.5f, 2.0f, 0.4f);
            break;
        case Section::Plasma:
            // The break: only the bar booms, a roll and the long riser into the main theme.
            addKick(score, row, accent ? 1.0f : 0.78f, accent ? 0.4f : 0.32f);
            if (bar == 60) {
                addCrash(score, row, 0.6f, 1.6f);
                addRiser(score, row, 4 * ROWS_PER_BAR - 2, 0.75f, 0.7f, 1.1f);
            }
            if (bar == 62)
                for (int r = 0; r < ROWS_PER_BAR; r += 2)
                    addHit(score, Instrument::Snare, row + r, 0.14f + 0.012f * r, 0.5f, 2.0f);
            if (bar == 63)
                for (int r = 0; r < 12; ++r)
                    addHit(score, Instrument::Snare, row + r, 0.3f + 0.02f * r, 0.5f, 2.0f);
            break;
        case Section::Flyover:
            addBarKick(score, bar, 1.0f);
            addBeatKicks(score, bar, 0.45f);
            if (accent)
                addCrash(score, row, 0.85f, 1.1f);
            addHit(score, Instrument::Snare, row + 4, 0.45f, 0.5f);
            addHit(score, Instrument::Snare, row + 12, 0.5f, 0.5f);
            addHit(score, Instrument::Clap, row + 4, 0.6f, 0.5f);
            addHit(score, Instrument::Clap, row + 12, 0.65f, 0.5f);
            addHats16(score, h, bar, 0.24f, 1.1f);
            for (int r = 2; r < ROWS_PER_BAR; r += 4)
                addHit(score, Instrument::OpenHat, row + r, 0.32f * jitter(h, 0.08f), 0.4f);
            if (bar == 71 || bar == 79) {
                for (int r = 13; r < ROWS_PER_BAR; ++r)
                    addHit(score, Instrument::Snare, row + r, 0.3f + 0.08f * (r - 13), 0.5f);
            }
            if (bar == 87) {
                for (int r = 8; r < ROWS_PER_BAR; ++r)
                    addHit(score, Instrument::Snare, row + r, 0.25f + 0.04f * (r - 8), 0.5f);
                addHit(score, Instrument::Tom, row + 12, 0.6f, 0.35f, 3.0f);
                addHit(score, Instrument::Tom, row + 14, 0.6f, 0.65f, -2.0f);
            }
            if (bar == 91)
                addRiser(score, row, ROWS_PER_BAR, 0.45f, 2.0f, 0.5f);
            break;
        case Section::Outro: {
            float fall = 1.0f - 0.05f * (bar - 92);
            addKick(score, row, (accent ? 0.95f : 0.72f) * fall, accent ? 0.36f : 0.26f);
            if (accent)
                addCrash(score, row, 0.5f * fall, 1.5f);
            if (bar < 96)
                for (int r = 2; r < ROWS_PER_BAR; r += 4)
                    addHit(score, Instrument::ClosedHat, row + r, 0.3f * fall * jitter(h, 0.1f), 0.65f);
            break;
        }
        }
    }
}

// ---- bass --------------------------------------------------------------------------------

void addBass(Score& score)
{
    for (int bar = 0; bar < SONG_BARS; ++bar) {
        double row = barRow(bar);
        float b = static_cast<float>(bassPitch(SONG_CHORDS[bar]));
        float first = isAccentBar(bar) ? 1.0f : 0.85f;
        auto note = [&](double r, double rows, float pitch, float velocity, float brightness) {
            addNote(score, {Instrument::Bass, row + r, rows, pitch, velocity, 0.5f, brightness});
        };
        switch (sectionOfBar(bar)) {
        case Section::Intro:
            break;
        case Section::PaletteLogo:
            note(0, 7.5, b, 0.7f * first, 0.7f);
            note(8, 3.5, b, 0.5f, 0.7f);
            note(12, 1.5, b, 0.45f, 0.7f);
            note(14, 1.5, b + 12, 0.4f, 0.7f);
            break;
        case Section::Cloud:
            note(0, 15.5, b, 0.5f * first, 0.35f);
            break;
        case Section::Disco:
            for (int r = 0; r < ROWS_PER_BAR; r += 2)
                note(r, 1.5, r % 4 == 2 ? b + 12 : b, r == 0 ? first : (r % 4 == 2 ? 0.7f : 0.55f), 1.1f);
            break;
        case Section::Tunnel:
            note(0, 0.9, b, first, 1.0f);
            for (int r = 1; r < ROWS_PER_BAR; ++r) {
                if (r % 4 == 0)
                    continue;
                note(r, 0.8, r % 4 == 3 ? b + 12 : b, r % 4 == 2 ? 0.62f : 0.48f, 0.9f);
            }
            break;
        case Section::Rings:
            note(0, 5.5, b, first, 0.8f);
            note(6, 1.5, b, 0.5f, 0.8f);
            note(8, 1.5, b + 12, 0.55f, 0.8f);
            note(10, 3.5, b, 0.55f, 0.8f);
            note(14, 1.5, b + 7, 0.45f, 0.8f);
            break;
        case Section::Plasma:
            if (bar < 63)
                note(0, 14, b, 0.8f * first, 0.35f);
            else
                note(0, 8, b, 0.75f, 0.35f);
            break;
        case Section::Flyover:
            for (int r = 0; r < ROWS_PER_BAR; r += 2) {
                float v = r == 0 ? first : (r % 4 == 2 ? 0.72f : 0.55f);
                note(r, 1.7, (r == 6 || r == 14) ? b + 12 : b, v, 1.0f);
            }
            break;
        case Section::Outro:
            note(0, bar == 99 ? 20 : 14, b, (bar < 96 ? 0.75f : 0.55f) * first, 0.5f);
            break;
        }
    }
}

// ---- pads --------------------------------------------------------------------------------

struct PadStyle {
    float velocity;
    float brightStart;  // at the first bar of the section
    float brightEnd;    // at the end of its last bar
    bool shimmer;       // double the top voice an octave up
};

PadStyle padStyle(Section section)
{
    switch (section) {
    case Section::Intro:
        return {0.45f, 0.3f, 0.75f, false};
    case Section::PaletteLogo:
        return {0.55f, 0.75f, 0.9f, false};
    case Section::Cloud:
        return {0.7f, 0.5f, 1.7f, true};
    case Section::Disco:
        return {0.35f, 1.0f, 1.0f, false};
    case Section::Tunnel:
        return {0.42f, 0.9f, 1.3f, false};
    case Section::Rings:
        return {0.68f, 1.3f, 1.6f, true};
    case Section::Plasma:
        return {0.62f, 0.3f, 2.2f, false};
    case Section::Flyover:
        return {0.58f, 1.3f, 1.5f, true};
    case Section::Outro:
        return {0.62f, 1.1f, 0.45f, true};
    }
    return {0.5f, 1.0f, 1.0f, false};
}

void addPads(Score& score)
{
    int bar = 0;
    while (bar < SONG_BARS) {
        Section section = sectionOfBar(bar);
        int first = SECTION_START_BARS[static_cast<int>(section)];
        int sectionEnd = static_cast<int>(section) + 1 < SECTION_COUNT ? SECTION_START_BARS[static_cast<int>(section) + 1]
                                                                     : SONG_BARS;
        // Hold a repeated chord as one note instead of re-striking it.
        int end = bar + 1;
        while (end < sectionEnd && sameChord(SONG_CHORDS[end], SONG_CHORDS[bar]))
            ++end;
        PadStyle style = padStyle(section);
        float span = static_cast<float>(sectionEnd - first);
        float b0 = style.brightStart + (style.brightEnd - style.brightStart) * (bar - first) / span;
        float b1 = style.brightStart + (style.brightEnd - style.brightStart) * (end - first) / span;
        int pitches[MAX_CHORD_TONES];
        int n = padVoicing(SONG_CHORDS[bar], pitches);
        double rows = (end - bar) * ROWS_PER_BAR;
        if (end == SONG_BARS)
            rows += 8;  // let the last chord ring into the fade
        for (int i = 0; i < n; ++i) {
            float pan = 0.3f + 0.4f * i / std::max(1, n - 1);
            addNote(score, {Instrument::Pad, barRow(bar), rows, static_cast<float>(pitches[i]), style.velocity, pan,
                            b0, b1});
        }
        if (style.shimmer)
            addNote(score, {Instrument::Pad, barRow(bar), rows, static_cast<float>(pitches[n - 1] + 12),
                            style.velocity * 0.6f, 0.6f, b0, b1});
        bar = end;
    }
}

// ---- arpeggios and stabs -----------------------------------------------------------------

void addArpBar(Score& score, Instrument instrument, int bar, const int* pattern, int patternLength, int step,
               float velocity, float brightness, float gateRows)
{
    int tones[MAX_ARP_TONES];
    int n = arpTones(SONG_CHORDS[bar], tones);
    int k = 0;
    for (int r = 0; r < ROWS_PER_BAR; r += step, ++k) {
        int index = pattern[k % patternLength] % n;
        float v = velocity * (r % 4 == 0 ? 1.0f : 0.8f);
        float pan = k % 2 == 0 ? 0.35f : 0.65f;
        addNote(score, {instrument, barRow(bar) + r, gateRows, static_cast<float>(tones[index]), v, pan, brightness});
    }
}

void addArpeggios(Score& score)
{
    static constexpr int UP_DOWN[] = {0, 1, 2, 3, 4, 5, 4, 3, 2, 1, 2, 3, 4, 5, 6, 5};
    static constexpr int ROLL[] = {0, 2, 1, 3, 2, 4, 3, 5};
    static constexpr int RISE[] = {0, 1, 2, 3, 4, 5, 6, 7};
    static constexpr int THREE_THREE_TWO_ROWS[] = {0, 3, 6, 8, 11, 14};
    static constexpr int THREE_THREE_TWO_TONES[] = {0, 2, 3, 4, 3, 5};
    constexpr int UP_DOWN_LENGTH = 16;
    constexpr int ROLL_LENGTH = 8;
    constexpr int RISE_LENGTH = 8;
    constexpr int GROUP_LENGTH = 6;
    static constexpr int INTRO_ROWS[] = {0, 6, 10};
    static constexpr int INTRO_TONES[] = {4, 2, 5};
    constexpr int INTRO_LENGTH = 3;

    for (int bar = 0; bar < SONG_BARS; ++bar) {
        Section section = sectionOfBar(bar);
        int tones[MAX_ARP_TONES];
        int n = arpTones(SONG_CHORDS[bar], tones);
        switch (section) {
        case Section::Intro:
            if (bar >= 2)
                for (int i = 0; i < INTRO_LENGTH; ++i)
                    addNote(score, {Instrument::Bell, barRow(bar) + INTRO_ROWS[i], 3, static_cast<float>(tones[INTRO_TONES[i] % n] + 12),
                                    i == 0 ? 0.32f : 0.24f, i % 2 == 0 ? 0.3f : 0.7f, 0.8f});
            break;
        case Section::Cloud: {
            float bright = 0.6f + 0.9f * (bar - 17) / 7.0f;
            addArpBar(score, Instrument::Pluck, bar, UP_DOWN, UP_DOWN_LENGTH, 1, 0.5f, bright, 0.9f);
            break;
        }
        case Section::Disco: {
            int pitches[MAX_CHORD_TONES];
            int count = padVoicing(SONG_CHORDS[bar], pitches);
            static constexpr int STAB_ROWS[] = {2, 7, 10, 14};
            for (int r : STAB_ROWS)
                for (int i = 0; i < count; ++i)
                    addNote(score, {Instrument::Stab, barRow(bar) + r, 1.2, static_cast<float>(pitches[i] + 12),
                                    r == 7 ? 0.45f : 0.55f, 0.35f + 0.3f * i / std::max(1, count - 1), 1.0f});
            break;
        }
        case Section::Tunnel: {
            float bright = bar < 40 ? 0.9f : 1.4f;
            addArpBar(score, Instrument::Pluck, bar, ROLL, ROLL_LENGTH, 1, 0.42f, bright, 0.7f);
            break;
        }
        case Section::Rings:
            for (int i = 0; i < GROUP_LENGTH; ++i)
                addNote(score, {Instrument::Bell, barRow(bar) + THREE_THREE_TWO_ROWS[i], 2.5,
                                static_cast<float>(tones[THREE_THREE_TWO_TONES[i] % n]), i == 0 ? 0.55f : 0.42f,
                                i % 2 == 0 ? 0.3f : 0.7f, 0.9f});
            break;
        case Section::Plasma:
            if (bar >= 62)
                addArpBar(score, Instrument::Pluck, bar, RISE, RISE_LENGTH, bar == 62 ? 2 : 1, 0.35f,
                          bar == 62 ? 0.6f : 1.0f, 0.8f);
            break;
        case Section::Flyover:
            if (bar < 72)
                addArpBar(score, Instrument::Pluck, bar, RISE, RISE_LENGTH, 2, 0.36f, 1.0f, 1.2f);
            else
                addArpBar(score, Instrument::Pluck, bar, UP_DOWN, UP_DOWN_LENGTH, 1, 0.34f, 1.25f, 0.8f);
            break;
        case Section::Outro:
            if (bar >= 96)
                addArpBar(score, Instrument::Bell, bar, RISE, RISE_LENGTH, 2, 0.3f - 0.04f * (bar - 96), 0.6f, 2.0f);
            break;
        default:
            break;
        }
    }
}

// ---- melodies ----------------------------------------------------------------------------

void addMelodies(Score& score)
{
    // Palette logo: the theme's first half twice on bells, an octave down, then a turn.
    addMelody(score, Instrument::Bell, barRow(7), THEME_A, THEME_A_FIRST_HALF, 0.55f, -12, 0.55f, 0.9f, 1.0f);
    addMelody(score, Instrument::Bell, barRow(11), THEME_A, THEME_A_FIRST_HALF, 0.6f, -12, 0.55f, 0.9f, 1.0f);
    const MelodyNote* fifthBar = THEME_A + THEME_A_FIRST_HALF;
    addMelody(score, Instrument::Bell, barRow(15) - fifthBar->row, fifthBar, THEME_A_FIFTH_BAR_NOTES, 0.6f, -12, 0.55f,
              0.9f, 1.0f);
    addNote(score, {Instrument::Bell, barRow(16), 12, 64.0f, 0.55f, 0.55f, 0.9f});

    // Tunnel: the driving line in its second half.
    addMelody(score, Instrument::Lead, barRow(40), TUNNEL_LINE, countOf(TUNNEL_LINE), 0.7f, 0, 0.5f, 1.0f, 0.92f);

    // Spheres and rings: long notes, soft.
    addMelody(score, Instrument::Lead, barRow(48), RINGS_LINE, countOf(RINGS_LINE), 0.5f, 0, 0.45f, 0.8f, 0.95f);

    // Flyover: theme, theme with bells on top, bridge, first half of the theme.
    addMelody(score, Instrument::Lead, barRow(64), THEME_A, countOf(THEME_A), 0.8f, 0, 0.5f, 1.0f, 0.92f);
    addMelody(score, Instrument::Lead, barRow(72), THEME_A, countOf(THEME_A), 0.85f, 0, 0.5f, 1.15f, 0.92f);
    addMelody(score, Instrument::Bell, barRow(72), THEME_A, countOf(THEME_A), 0.28f, 12, 0.6f, 0.7f, 1.0f);
    addMelody(score, Instrument::Lead, barRow(80), THEME_B, countOf(THEME_B), 0.85f, 0, 0.5f, 1.25f, 0.92f);
    addMelody(score, Instrument::Bell, barRow(80), THEME_B, countOf(THEME_B), 0.22f, 12, 0.4f, 0.7f, 1.0f);
    addMelody(score, Instrument::Lead, barRow(88), THEME_A, THEME_A_FIRST_HALF, 0.85f, 0, 0.5f, 1.25f, 0.92f);

    // Outro: the theme's first half on bells, then a slow resolving line.
    addMelody(score, Instrument::Bell, barRow(92), THEME_A, THEME_A_FIRST_HALF, 0.5f, 0, 0.55f, 0.8f, 1.0f);
    addMelody(score, Instrument::Bell, barRow(96), OUTRO_LINE, countOf(OUTRO_LINE), 0.5f, 0, 0.5f, 0.7f, 1.0f);
}

}  // namespace

Section sectionOfBar(int bar)
{
    int s = 0;
    while (s + 1 < SECTION_COUNT && bar >= SECTION_START_BARS[s + 1])
        ++s;
    return static_cast<Section>(s);
}

Score composeSong()
{
    Score score;
    score.lengthSec = SONG_LENGTH_SEC;
    score.fadeStartSec = FADE_START_SEC;
    score.fadeEndSec = FADE_END_SEC;
    score.delaySec = 3.0 * ROW_SEC;  // a dotted eighth
    addDrums(score);
    addBass(score);
    addPads(score);
    addArpeggios(score);
    addMelodies(score);
    return score;
}
