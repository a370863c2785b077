// obj_pictures <run dir>: writes the pictures the OBJ library falls back on when a material's
// companion texture is missing, into <run dir>/data/:
// - "chraber.tga": the light ramp the lit program looks up by diffuse intensity (u) and light
//   (v), dark to white with a soft shoulder, each row tinted a little from warm to cool;
// - "specular.tga": a flat, modest highlight strength.
#include "tools/common/generator_main.h"
#include "tools/common/tga_write.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

const int RAMP_WIDTH = 256;
const int RAMP_ROWS = 16;
const float RAMP_FLOOR = 0.06f;  // the unlit side is dark, not black
const int SPECULAR_SIDE = 8;
const float SPECULAR_LEVEL = 0.35f;

uint8_t toByte(float value)
{
    return static_cast<uint8_t>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f));
}

std::vector<uint8_t> lightRamp()
{
    std::vector<uint8_t> rgba;
    for (int y = 0; y < RAMP_ROWS; ++y) {
        float v = static_cast<float>(y) / (RAMP_ROWS - 1);
        // Warm rows at the bottom, cool ones at the top; the tint fades out towards white.
        float tint[3] = {1.0f + 0.06f * (0.5f - v), 1.0f, 1.0f - 0.06f * (0.5f - v)};
        for (int x = 0; x < RAMP_WIDTH; ++x) {
            float t = static_cast<float>(x) / (RAMP_WIDTH - 1);
            float shoulder = 1.0f - std::pow(1.0f - t, 1.6f);
            float light = RAMP_FLOOR + (1.0f - RAMP_FLOOR) * shoulder;
            for (float c : tint)
                rgba.push_back(toByte(light * (c + (1.0f - c) * t)));
            rgba.push_back(255);
        }
    }
    return rgba;
}

bool write(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba, std::string& error)
{
    TgaSource source{width, height, rgba.data()};
    if (!writeTgaFile(path, source, 24, TgaEncoding::Uncompressed, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    return runGenerator("obj_pictures", argc, argv, [](const std::string& dataDir, std::string& error) {
        std::vector<uint8_t> specular;
        for (int i = 0; i < SPECULAR_SIDE * SPECULAR_SIDE; ++i)
            specular.insert(specular.end(),
                            {toByte(SPECULAR_LEVEL), toByte(SPECULAR_LEVEL), toByte(SPECULAR_LEVEL), 255});
        return write(dataDir + "/chraber.tga", RAMP_WIDTH, RAMP_ROWS, lightRamp(), error) &&
               write(dataDir + "/specular.tga", SPECULAR_SIDE, SPECULAR_SIDE, specular, error);
    });
}
