// palette_data <run dir>: writes the palette lookup tables, the palette scene's overlay and
// title card and the plasma colour map into <run dir>/data/. Everything is drawn from code and
// the output is the same on every run.
#include "tools/common/generator_main.h"
#include "tools/common/tga_write.h"
#include "tools/palette_data/palette_data.h"

#include <cstdio>  // printf

namespace {

using DrawPicture = bool (*)(Canvas&, PaletteFonts&, std::string&);

struct PictureRecipe {
    const char* fileName;
    int width;
    int height;
    float frameWidth;  // the frame the draw function works in
    float frameHeight;
    int bitsPerPixel;
    TgaEncoding encoding;
    uint32_t ditherSeed;  // 0 for lookup tables: their values are meant exactly
    Rgb transparentColor;
};

struct PictureEntry {
    PictureRecipe recipe;
    DrawPicture draw;
};

constexpr Rgb NO_COLOR = {0, 0, 0};
constexpr Rgb TITLE_EDGE = {1.0f, 0.62f, 0.30f};  // what filtering blends towards at the letters
constexpr TgaEncoding RAW = TgaEncoding::Uncompressed;
constexpr TgaEncoding RLE = TgaEncoding::RunLength;

// Lookup tables span a unit frame (x = intensity, y = row); full-screen pictures are
// power-of-two sized and drawn in screen pixels, and the engine stretches them over the frame.
const PictureEntry PICTURES[] = {
    {{"blurpalette.tga", 256, 256, 1.0f, 1.0f, 24, RAW, 0, NO_COLOR}, drawLogoPalette},
    {{"blurpalette2.tga", 256, 256, 1.0f, 1.0f, 24, RAW, 0, NO_COLOR}, drawCloudPalette},
    {{"blurpalette3.tga", 256, 4, 1.0f, 1.0f, 24, RAW, 0, NO_COLOR}, drawDiscoPalette},
    {{"blurpaletteoverlay.tga", 1024, 512, SCREEN_WIDTH, SCREEN_HEIGHT, 24, RAW, 0x0E7Au, NO_COLOR},
        drawPaletteOverlay},
    {{"ovantra.tga", 2048, 1024, SCREEN_WIDTH, SCREEN_HEIGHT, 32, RLE, 0, TITLE_EDGE}, drawTitleCard},
    {{"7.tga", 256, 256, 1.0f, 1.0f, 24, RAW, 0, NO_COLOR}, drawPlasmaColours},
};

bool makePicture(const PictureEntry& entry, PaletteFonts& fonts, const std::string& dataDir, std::string& error)
{
    const PictureRecipe& recipe = entry.recipe;
    Canvas canvas = makeCanvas(recipe.width, recipe.height, recipe.frameWidth, recipe.frameHeight);
    if (!entry.draw(canvas, fonts, error)) {
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
    return runGenerator("palette_data", argc, argv, [](const std::string& dataDir, std::string& error) {
        auto make = [&](const PictureEntry& entry, PaletteFonts& fonts, std::string& e) {
            return makePicture(entry, fonts, dataDir, e);
        };
        const bool ok = makeEachWithFonts(PICTURES, make, error);
        if (ok)
            std::printf("palette_data: %zu pictures\n", sizeof(PICTURES) / sizeof(PICTURES[0]));
        return ok;
    });
}
