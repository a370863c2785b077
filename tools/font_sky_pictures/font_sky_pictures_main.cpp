// font_sky_pictures <run dir>: writes the bitmap font strip and the textures of the sky and
// cloud programs into <run dir>/data/. Everything is drawn from code and the output is the
// same on every run.
#include "tools/common/tga_write.h"
#include "tools/font_sky_pictures/pictures.h"

#include <cstdio>      // fprintf
#include <filesystem>  // create_directories for data/

namespace {

using DrawPicture = bool (*)(Canvas&, std::string&);

struct PictureSpec {
    const char* fileName;
    int width;
    int height;
    int bitsPerPixel;
    TgaEncoding encoding;
    uint32_t ditherSeed;  // 0 for pictures whose values are meant exactly
    Rgb transparentColor;
    DrawPicture draw;
};

// The font is mostly transparent white: run-length encoded, and its empty pixels keep the
// glyph colour so filtering at the edges never darkens them.
const PictureSpec PICTURES[] = {
    {"demofont.tga", FONT_CELL_COUNT * FONT_CELL_SIDE, FONT_CELL_SIDE, 32, TgaEncoding::RunLength, 0,
        {1, 1, 1}, drawDemoFont},
    {"noise.tga", 256, 256, 24, TgaEncoding::Uncompressed, 0, {0, 0, 0}, drawNoise},
    {"skycolor.tga", 256, 64, 24, TgaEncoding::Uncompressed, 0x5C01u, {0, 0, 0}, drawSkyColor},
    {"skyclouds.tga", 512, 512, 32, TgaEncoding::Uncompressed, 0xC1Du, {0.50f, 0.54f, 0.66f}, drawSkyClouds},
};

bool makePicture(const PictureSpec& spec, const std::string& dataDir, std::string& error)
{
    Canvas canvas = makeCanvas(spec.width, spec.height, static_cast<float>(spec.width),
        static_cast<float>(spec.height));
    if (!spec.draw(canvas, error)) {
        error = std::string(spec.fileName) + ": " + error;
        return false;
    }
    const std::vector<uint8_t> rgba = canvasToRgba8(canvas, spec.ditherSeed, spec.transparentColor);
    TgaSource source;
    source.width = spec.width;
    source.height = spec.height;
    source.rgba = rgba.data();
    return writeTgaFile(dataDir + "/" + spec.fileName, source, spec.bitsPerPixel, spec.encoding, error);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: font_sky_pictures <run dir>\n");
        return 2;
    }
    const std::string dataDir = std::string(argv[1]) + "/data";
    std::error_code dirError;
    std::filesystem::create_directories(dataDir, dirError);
    if (dirError) {
        std::fprintf(stderr, "font_sky_pictures: cannot create %s: %s\n", dataDir.c_str(),
            dirError.message().c_str());
        return 1;
    }
    std::string error;
    for (const PictureSpec& spec : PICTURES) {
        if (!makePicture(spec, dataDir, error)) {
            std::fprintf(stderr, "font_sky_pictures: %s\n", error.c_str());
            return 1;
        }
    }
    return 0;
}
