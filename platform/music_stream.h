// Stand-in for the closed audio library's streaming calls, over SDL2_mixer's music API. The
// device is opened with the sound effects' format so both share one device.
#pragma once

#include <cstdint>

using MusicHandle = uint32_t;  // 0: no stream

// Opens the output device (device -1: the default) at the given rate; false if it cannot.
bool audioLibraryInit(int device, int rateHz);
// Opens an mp3 (or any format SDL2_mixer reads) for streaming; 0 when it cannot be read.
MusicHandle audioStreamCreateFile(const char* path);
// Starts playback once; false for handle 0 or when the device never opened.
bool audioChannelPlay(MusicHandle stream, bool restart);
void audioLibraryFree();

// Format shared by the music and the sound effects.
constexpr int AUDIO_RATE_HZ = 44100;
constexpr int AUDIO_CHANNELS = 2;
constexpr int AUDIO_CHUNK_SAMPLES = 1024;
