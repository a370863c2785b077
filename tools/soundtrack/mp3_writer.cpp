#include "mp3_writer.h"

#include "synth.h"

#include <lame/lame.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

// LAME's speed/quality trade-off: 5 is its "good" setting at about twice the speed of 2.
constexpr int ENCODER_QUALITY = 5;
constexpr int MAX_SAMPLES_PER_CALL = 16384;
// Worst case from lame.h: 1.25 x samples + 7200 bytes.
constexpr size_t MP3_CHUNK_BYTES = MAX_SAMPLES_PER_CALL * 5 / 4 + 7200;

bool writeFile(const std::vector<unsigned char>& bytes, const std::string& path, std::string& error)
{
    std::string partPath = path + ".part";
    FILE* file = std::fopen(partPath.c_str(), "wb");
    if (!file) {
        error = "cannot create " + partPath;
        return false;
    }
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    written = std::fclose(file) == 0 && written;
    if (!written || std::rename(partPath.c_str(), path.c_str()) != 0) {
        std::remove(partPath.c_str());
        error = (written ? "cannot rename " : "cannot write ") + partPath;
        return false;
    }
    return true;
}

}  // namespace

bool beginMp3(Mp3Encoder& encoder, double expectedSec, std::string& error)
{
    encoder.lame = lame_init();
    if (!encoder.lame) {
        error = "lame_init failed";
        return false;
    }
    lame_global_flags* lame = encoder.lame;
    lame_set_in_samplerate(lame, SAMPLE_RATE_HZ);
    lame_set_out_samplerate(lame, SAMPLE_RATE_HZ);
    lame_set_num_channels(lame, 2);
    lame_set_mode(lame, JOINT_STEREO);
    lame_set_VBR(lame, vbr_off);
    lame_set_brate(lame, MP3_BITRATE_KBPS);
    lame_set_quality(lame, ENCODER_QUALITY);
    lame_set_bWriteVbrTag(lame, 1);
    lame_set_write_id3tag_automatic(lame, 0);
    if (lame_init_params(lame) < 0) {
        error = "lame_init_params rejected the settings";
        releaseMp3(encoder);
        return false;
    }
    encoder.chunk.resize(MP3_CHUNK_BYTES);
    encoder.mp3.clear();
    encoder.mp3.reserve(static_cast<size_t>(expectedSec * MP3_BITRATE_KBPS * 1000 / 8) + MP3_CHUNK_BYTES);
    return true;
}

bool encodeMp3(Mp3Encoder& encoder, const float* left, const float* right, size_t count, std::string& error)
{
    for (size_t pos = 0; pos < count; pos += MAX_SAMPLES_PER_CALL) {
        int n = static_cast<int>(std::min<size_t>(MAX_SAMPLES_PER_CALL, count - pos));
        int bytes = lame_encode_buffer_ieee_float(encoder.lame, left + pos, right + pos, n, encoder.chunk.data(),
                                                  static_cast<int>(encoder.chunk.size()));
        if (bytes < 0) {
            error = "lame_encode_buffer_ieee_float failed with " + std::to_string(bytes);
            return false;
        }
        encoder.mp3.insert(encoder.mp3.end(), encoder.chunk.begin(), encoder.chunk.begin() + bytes);
    }
    return true;
}

bool finishMp3(Mp3Encoder& encoder, const std::string& path, std::string& error)
{
    int bytes = lame_encode_flush(encoder.lame, encoder.chunk.data(), static_cast<int>(encoder.chunk.size()));
    bool ok = bytes >= 0;
    if (!ok) {
        error = "lame_encode_flush failed with " + std::to_string(bytes);
    } else {
        encoder.mp3.insert(encoder.mp3.end(), encoder.chunk.begin(), encoder.chunk.begin() + bytes);
        // The encoder put a placeholder frame first; the final tag (delay, padding, length) goes there.
        size_t tagBytes = lame_get_lametag_frame(encoder.lame, encoder.chunk.data(), encoder.chunk.size());
        ok = tagBytes > 0 && tagBytes <= encoder.chunk.size() && tagBytes <= encoder.mp3.size();
        if (!ok)
            error = "the encoder produced no LAME tag frame";
        else
            std::copy(encoder.chunk.begin(), encoder.chunk.begin() + tagBytes, encoder.mp3.begin());
    }
    releaseMp3(encoder);
    return ok && writeFile(encoder.mp3, path, error);
}

void releaseMp3(Mp3Encoder& encoder)
{
    if (encoder.lame)
        lame_close(encoder.lame);
    encoder.lame = nullptr;
}
