#include "core/sound.h"

#include "core/data_files.h"
#include "core/program_exit.h"
#include "platform/data_paths.h"
#include "platform/music_stream.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <cstdio>
#include <cstdlib>

const char* const soundFiles[SOUND_COUNT] = {
    "data\\appear.wav", "data\\explosion.wav", "data\\launchhoming.wav",
    "data\\launchlaser.wav", "data\\orb.wav", "data\\done.wav",
};

Mix_Chunk* soundChunks[SOUND_COUNT] = {};
void (*soundObserver)(int index) = nullptr;

void initSound()
{
    for (Mix_Chunk*& chunk : soundChunks)
        chunk = nullptr;
    // Same format as the music stream, so this only joins the device the music opened.
    if (Mix_OpenAudio(AUDIO_RATE_HZ, AUDIO_S16LSB, AUDIO_CHANNELS, AUDIO_CHUNK_SAMPLES) < 0) {
        std::printf("Unable to open audio: %s\n", SDL_GetError());
        debugLog("Unable to open audio: %s\n", SDL_GetError());
        exitProgram(ExitCode::AUDIO_FAILED);
    }
    if (Mix_AllocateChannels(SOUND_MIX_CHANNELS) < 0) {
        std::printf("Unable to allocate mixing channels: %s\n", SDL_GetError());
        debugLog("Unable to allocate mixing channels: %s\n", SDL_GetError());
        exitProgram(ExitCode::AUDIO_FAILED);
    }
    for (int i = 0; i < SOUND_COUNT; ++i) {
        std::string path = nativePath(soundFiles[i]);
        SDL_RWops* source = SDL_RWFromFile(path.c_str(), "rb");
        soundChunks[i] = source ? Mix_LoadWAV_RW(source, 1) : nullptr;
        if (!soundChunks[i]) {
            std::printf("Unable to load wave file: %s\n", soundFiles[i]);
            debugLog("Unable to load wave file: %s\n", soundFiles[i]);
        }
    }
    debugLog("audio init successful\n");
    Mix_Volume(-1, SOUND_CHANNEL_VOLUME);
}

// Leaves the event queue alone: taking an event here could swallow the window's quit event.
void playSound(int index)
{
    if (soundObserver)
        soundObserver(index);
    if (index < 0 || index >= SOUND_COUNT || !soundChunks[index])
        return;
    Mix_PlayChannelTimed(-1, soundChunks[index], 0, -1);
}

void freeSound()
{
    for (Mix_Chunk*& chunk : soundChunks) {
        if (chunk)
            Mix_FreeChunk(chunk);
        chunk = nullptr;
    }
    Mix_CloseAudio();
}
