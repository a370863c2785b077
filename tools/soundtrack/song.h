// The composition of "mornglow": 137 beats per minute, four rows per beat, sixteen rows per bar,
// 100 bars. Every bar starts on a kick and every fourth bar (64 rows) on a bigger accent, which
// is where the demo's beat clock flags its beats. Sections follow the demo's scenes.
#pragma once

#include "mixer.h"

constexpr double BEATS_PER_MINUTE = 137.0;
constexpr int ROWS_PER_BEAT = 4;
constexpr int ROWS_PER_BAR = 16;
constexpr int BARS_PER_ACCENT = 4;
constexpr double ROW_SEC = 60.0 / (BEATS_PER_MINUTE * ROWS_PER_BEAT);  // 109.489 ms
constexpr int SONG_BARS = 100;
constexpr double SONG_LENGTH_SEC = 177.0;
constexpr double FADE_START_SEC = 174.0;
constexpr double FADE_END_SEC = 176.6;

enum class Section { Intro, PaletteLogo, Cloud, Disco, Tunnel, Rings, Plasma, Flyover, Outro };
constexpr int SECTION_COUNT = static_cast<int>(Section::Outro) + 1;

// First bar of each section, in order; the scene changes fall within a bar of these.
constexpr int SECTION_START_BARS[SECTION_COUNT] = {0, 7, 17, 24, 32, 48, 60, 64, 92};

Section sectionOfBar(int bar);
Score composeSong();
