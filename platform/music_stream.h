// Music streaming, over SDL2_mixer's music API (the stand-in for the closed audio library).
// The default device is opened with the sound effects' format so both share one device.
#pragma once

#include <cstdint>

using MusicHandle = uint32_t;  // 0: no stream

// Opens the default output device at the given rate; false if it cannot.
bool openAudioDevice(int rateHz);
// Opens an mp3 (or any format SDL2_mixer reads) for streaming; 0 when it cannot be read.
MusicHandle openMusicStream(const char* path);
// Starts playback once (again from the start with restart); false for handle 0 or when the
// device never opened.
bool playMusicStream(MusicHandle stream, bool restart);
// Closes the stream and the device.
void closeAudio();

// Format shared by the music and the sound effects.
constexpr int AUDIO_RATE_HZ = 44100;
constexpr int AUDIO_CHANNELS = 2;
constexpr int AUDIO_CHUNK_SAMPLES = 1024;
