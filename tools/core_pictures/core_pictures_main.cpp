// core_pictures <run dir>: writes the demo's start-up pictures, the default textures of each
// kind and the screen-pass textures into <run dir>/data/. Everything is drawn from code and
// the output is the same on every run.
#include "tools/common/generator_main.h"
#include "tools/common/tga_write.h"
#include "tools/core_pictures/pictures.h"

#include <chrono>  // timing the whole run
#include <cstdio>  // printf

namespace {

using DrawPicture = bool (*)(Canvas&, PictureFonts&, std::string&);

struct PictureRecipe {
    const char* fileName;
    int width;
    int height;
    float frameWidth;  // the frame the draw function works in; 0 = the pixel size
    float frameHeight;
    int bitsPerPixel;
    TgaEncoding encoding;
    uint32_t ditherSeed;  // 0 for pictures whose values are meant exactly
    Rgb transparentColor;
    DrawPicture draw;
};

constexpr Rgb NO_COLOR = {0, 0, 0};
constexpr Rgb TAG_GLOW = {1.00f, 0.60f, 0.36f};
constexpr TgaEncoding RAW = TgaEncoding::Uncompressed;
constexpr TgaEncoding RLE = TgaEncoding::RunLength;

// Full-screen pictures are power-of-two sized and drawn in screen pixels; the engine stretches
// them over 1920 x 1080. Flat pictures and the mostly transparent tag are run-length encoded.
const PictureRecipe PICTURES[] = {
    {"loading.tga", 2048, 1024, SCREEN_WIDTH, SCREEN_HEIGHT, 24, RAW, 0x10ADu, NO_COLOR, drawLoadingPicture},
    {"whitepixel.tga", 4, 4, 0, 0, 32, RLE, 0, NO_COLOR, drawWhite},
    {"overlay1.tga", 512, 256, 0, 0, 32, RLE, 0, TAG_GLOW, drawCornerTag},
    {"background.tga", 1024, 512, SCREEN_WIDTH, SCREEN_HEIGHT, 24, RAW, 0xBAC6u, NO_COLOR, drawBackdrop},
    {"blackscreen.tga", 8, 8, 0, 0, 24, RLE, 0, NO_COLOR, drawBlack},
    {"black.tga", 8, 8, 0, 0, 24, RLE, 0, NO_COLOR, drawBlack},
    {"default_base.tga", 8, 8, 0, 0, 24, RLE, 0, NO_COLOR, drawDefaultBase},
    {"default_normal.tga", 8, 8, 0, 0, 24, RLE, 0, NO_COLOR, drawDefaultNormal},
    {"default_chraber.tga", 256, 4, 0, 0, 24, RAW, 0, NO_COLOR, drawLightRamp},
    {"default_specular.tga", 8, 8, 0, 0, 24, RLE, 0, NO_COLOR, drawDefaultSpecular},
    {"glowmask.tga", 256, 256, 0, 0, 24, RAW, 0, NO_COLOR, drawGlowMask},
    {"blueshade.tga", 256, 16, 0, 0, 24, RAW, 0, NO_COLOR, drawBlueShade},
    {"scanlines.tga", 8, 1024, 0, 0, 24, RAW, 0, NO_COLOR, drawScanlines},
    {"screennoise.tga", 256, 256, 0, 0, 24, RAW, 0, NO_COLOR, drawScreenNoise},
    {"offsetx.tga", 256, 256, 0, 0, 24, RAW, 0, NO_COLOR, drawOffsetMap},
    {"dofblurintensity.tga", 256, 4, 0, 0, 24, RAW, 0, NO_COLOR, drawBlurIntensity},
};

bool makePicture(const PictureRecipe& recipe, PictureFonts& fonts, const std::string& dataDir,
    std::string& error)
{
    const float frameWidth = recipe.frameWidth > 0 ? recipe.frameWidth : static_cast<float>(recipe.width);
    const float frameHeight = recipe.frameHeight > 0 ? recipe.frameHeight : static_cast<float>(recipe.height);
    Canvas canvas = makeCanvas(recipe.width, recipe.height, frameWidth, frameHeight);
    if (!recipe.draw(canvas, fonts, error)) {
        error = std::string(recipe.fileName) + ": " + error;
        return false;
    }
    const std::vector<uint8_t> rgba = canvasToRgba8(canvas, recipe.ditherSeed, recipe.transparentColor);
    TgaSource source;
    source.width = recipe.width;
    source.height = recipe.height;
    source.rgba = rgba.data();
    return writeTgaFile(dataDir + "/" + recipe.fileName, source, recipe.bitsPerPixel, recipe.encoding, error);
}

}  // namespace

int main(int argc, char** argv)
{
    const auto start = std::chrono::steady_clock::now();
    return runGenerator("core_pictures", argc, argv, [&](const std::string& dataDir, std::string& error) {
        auto make = [&](const PictureRecipe& recipe, PictureFonts& fonts, std::string& e) {
            return makePicture(recipe, fonts, dataDir, e);
        };
        const bool ok = makeEachWithFonts(PICTURES, make, error);
        if (ok) {
            const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now() - start).count();
            std::printf("core_pictures: %zu pictures in %lld ms\n", sizeof(PICTURES) / sizeof(PICTURES[0]),
                static_cast<long long>(ms));
        }
        return ok;
    });
}
