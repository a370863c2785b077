#include "platform/music_stream.h"

#include <SDL.h>
#include <SDL_mixer.h>

static bool audioOpen = false;
static Mix_Music* music = nullptr;

bool openAudioDevice(int rateHz)
{
    if (audioOpen)
        return true;
    if (!SDL_WasInit(SDL_INIT_AUDIO) && SDL_InitSubSystem(SDL_INIT_AUDIO) < 0)
        return false;
    if (Mix_OpenAudio(rateHz, AUDIO_S16LSB, AUDIO_CHANNELS, AUDIO_CHUNK_SAMPLES) < 0)
        return false;
    audioOpen = true;
    return true;
}

MusicHandle openMusicStream(const char* path)
{
    if (!audioOpen)
        return 0;
    if (music)
        Mix_FreeMusic(music);
    music = Mix_LoadMUS(path);
    return music ? 1u : 0u;
}

bool playMusicStream(MusicHandle stream, bool restart)
{
    if (stream == 0 || !music)
        return false;
    if (Mix_PlayingMusic() && !restart)
        return true;
    return Mix_PlayMusic(music, 0) == 0;
}

void closeAudio()
{
    if (music) {
        Mix_FreeMusic(music);
        music = nullptr;
    }
    if (audioOpen) {
        Mix_CloseAudio();
        audioOpen = false;
    }
}
