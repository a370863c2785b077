#include "app/music.h"

#include "core/clock.h"
#include "core/frame_values.h"  // timelineT

#include <cmath>

float musicStartMs = 0.0f;
float musicTime = 0.0f;
int musicRow = 0;
int lastPolledRow = 0;
MusicHandle musicStream = 0;

static int musicRateHz = AUDIO_RATE_HZ;
static const char MUSIC_FILE[] = "mornglow.mp3";

unsigned char beatTable[BEAT_PATTERNS][BEAT_ROWS];

// Pattern-major flag sets: bit 0 marks a bar start, bit 1 the extra accents, bits 2-3 the
// pattern start.
static struct BeatTableInit {
    BeatTableInit()
    {
        for (int p = 0; p < BEAT_PATTERNS; ++p) {
            for (int r = 0; r < BEAT_ROWS; ++r)
                beatTable[p][r] = 0;
            beatTable[p][0] = 0x0F;
            beatTable[p][16] = 0x09;
            beatTable[p][32] = 0x09;
            beatTable[p][48] = 0x09;
        }
        beatTable[10][48] = 0x01;
        beatTable[11][0] = 0x0E;
        beatTable[11][16] = 0x01;
        beatTable[12][0] = 0x0E;
        beatTable[12][16] = 0x08;
        beatTable[23][52] = 0x02;
        beatTable[23][56] = 0x02;
        beatTable[23][60] = 0x02;
    }
} beatTableInit;

void loadMusic()
{
    openAudioDevice(musicRateHz);
    musicStream = openMusicStream(MUSIC_FILE);
}

void startMusic()
{
    playMusicStream(musicStream, false);
    resetMusicRowClock();
}

void freeMusic()
{
    closeAudio();
}

void resetMusicRowClock()
{
    int now = clockNowMs();
    musicStartMs = static_cast<float>(now);
    sceneStartMs = now;
    musicRow = 0;
    lastPolledRow = 0;
}

int pollMusicRowClock()
{
    float rows = (static_cast<float>(clockNowMs()) - musicStartMs) * MUSIC_ROWS_PER_MS;
    musicTime = rows * 0.03125f;
    float m = rows - std::floor(rows / 64.0f) * 64.0f;
    int row = static_cast<int>(m) + 1;
    if (row >= BEAT_ROWS)
        row -= BEAT_ROWS;
    if (row < 0)
        row += BEAT_ROWS;
    musicRow = row;

    int pattern = static_cast<int>(timelineT);
    // The previous frame's position is within the table while the demo runs; keep a stray
    // position (a clock before the music start, a run past the end) from reading outside it.
    if (pattern < 0)
        pattern = 0;
    if (pattern >= BEAT_PATTERNS)
        pattern = BEAT_PATTERNS - 1;

    int flags = 0;
    if (lastPolledRow != musicRow && lastPolledRow != (musicRow + 1) % BEAT_ROWS) {
        int i = lastPolledRow;
        do {
            i = (i + 1) % BEAT_ROWS;
            flags |= beatTable[pattern][i];
        } while (i != musicRow);
    }
    lastPolledRow = musicRow;
    return flags;
}
