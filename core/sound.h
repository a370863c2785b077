// The six sound effects, on 32 mixing channels, played by index by the game.
#pragma once

constexpr int SOUND_COUNT = 6;
constexpr int SOUND_MIX_CHANNELS = 32;
constexpr int SOUND_CHANNEL_VOLUME = 32;  // of 128

struct Mix_Chunk;

extern const char* const soundFiles[SOUND_COUNT];
extern Mix_Chunk* soundChunks[SOUND_COUNT];

void initSound();
void playSound(int index);
void freeSound();
