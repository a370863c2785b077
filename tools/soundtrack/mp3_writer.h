// Encodes the stereo 44.1 kHz master to a constant-bit-rate mp3 with a LAME/Info tag in its first
// frame, so decoders trim the encoder delay and the music starts at time 0 of the decoded stream.
#pragma once

#include <string>
#include <vector>

constexpr int MP3_BITRATE_KBPS = 192;

struct lame_global_struct;

struct Mp3Encoder {
    lame_global_struct* lame = nullptr;
    std::vector<unsigned char> mp3;    // the whole file, kept until finishMp3 writes it
    std::vector<unsigned char> chunk;  // encoder output for one call
};

// expectedSec sizes the output buffer once.
bool beginMp3(Mp3Encoder& encoder, double expectedSec, std::string& error);
bool encodeMp3(Mp3Encoder& encoder, const float* left, const float* right, size_t count, std::string& error);
// Flushes, puts the final tag into the first frame and writes through "<path>.part" and a
// rename, so an interrupted run never leaves a truncated file. Always releases the encoder.
bool finishMp3(Mp3Encoder& encoder, const std::string& path, std::string& error);
void releaseMp3(Mp3Encoder& encoder);
