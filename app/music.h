// The soundtrack and the music-row clock. Rows: 137 beats per minute, four rows per beat
// (109.489 ms a row); musicTime counts 32-row units since playback started.
#pragma once

#include "platform/music_stream.h"

constexpr int BEAT_PATTERNS = 50;
constexpr int BEAT_ROWS = 64;
constexpr float MUSIC_ROWS_PER_MS = 0.009133333f;

extern float musicStartMs;
extern float musicTime;
extern int musicRow;
extern int lastPolledRow;
extern MusicHandle musicStream;
extern unsigned char beatTable[BEAT_PATTERNS][BEAT_ROWS];

void loadMusic();
void startMusic();
void freeMusic();
void resetMusicRowClock();
// Advances the position from the clock and returns the flags of the rows passed since the
// previous poll.
int pollMusicRowClock();
