// The six sound effects, on 32 mixing channels, played by index by the game.
#pragma once

constexpr int SOUND_COUNT = 6;
constexpr int SOUND_MIX_CHANNELS = 32;
constexpr int SOUND_CHANNEL_VOLUME = 32;  // of 128

struct Mix_Chunk;

extern const char* const soundFiles[SOUND_COUNT];
extern Mix_Chunk* soundChunks[SOUND_COUNT];

// Called with the index of every playSound call, before the mixer plays it (also for a chunk
// that failed to load); tests watch the game's sounds through it. Null: nobody listens.
extern void (*soundObserver)(int index);

void initSound();
void playSound(int index);
void freeSound();
