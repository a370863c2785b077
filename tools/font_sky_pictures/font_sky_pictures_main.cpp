// font_sky_pictures <run dir>: writes the bitmap font strip and the textures of the sky and
// cloud programs into <run dir>/data/. Everything is drawn from code and the output is the
// same on every run.
#include "tools/common/generator_main.h"
#include "tools/common/tga_write.h"
#include "tools/font_sky_pictures/pictures.h"


namespace {

using DrawPicture = bool (*)(Canvas&, std::string&);

struct PictureRecipe {
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
const PictureRecipe PICTURES[] = {
    {"demofont.tga", FONT_CELL_COUNT * FONT_CELL_SIDE, FONT_CELL_SIDE, 32, TgaEncoding::RunLength, 0,
        {1, 1, 1}, drawDemoFont},
    {"noise.tga", 256, 256, 24, TgaEncoding::Uncompressed, 0, {0, 0, 0}, drawNoise},
    {"skycolor.tga", 256, 64, 24, TgaEncoding::Uncompressed, 0x5C01u, {0, 0, 0}, drawSkyColor},
    {"skyclouds.tga", 512, 512, 32, TgaEncoding::Uncompressed, 0xC1Du, {0.50f, 0.54f, 0.66f}, drawSkyClouds},
};

bool makePicture(const PictureRecipe& recipe, const std::string& dataDir, std::string& error)
{
    Canvas canvas = makeCanvas(recipe.width, recipe.height, static_cast<float>(recipe.width),
        static_cast<float>(recipe.height));
    if (!recipe.draw(canvas, error)) {
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
    return runGenerator("font_sky_pictures", argc, argv, [](const std::string& dataDir, std::string& error) {
        for (const PictureRecipe& recipe : PICTURES)
            if (!makePicture(recipe, dataDir, error))
                return false;
        return true;
    });
}
