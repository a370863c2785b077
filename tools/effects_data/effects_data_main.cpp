// effects_data <run dir>: writes the pictures and models of the effects beside the timeline
// into <run dir>/data/. Everything is drawn from code and the output is the same on every run.
#include "tools/common/generator_main.h"
#include "tools/common/tga_write.h"
#include "tools/effects_data/effects_models.h"
#include "tools/effects_data/effects_pictures.h"

#include <filesystem>

namespace {

using DrawPicture = bool (*)(Canvas&, EffectFonts&, std::string&);

struct PictureEntry {
    const char* fileName;
    int width;
    int height;
    int bitsPerPixel;
    uint32_t ditherSeed;  // 0 for pictures whose values are meant exactly
    DrawPicture draw;
    // The frame the shapes are placed in (0: the pixel size): pictures stretched over the
    // screen are drawn in screen pixels so their round shapes stay round there.
    float frameWidth = 0;
    float frameHeight = 0;
};

const PictureEntry PICTURES[] = {
    {"flag.tga", 1024, 512, 24, 0xF1A6u, drawFlag, 2120, 1280},
    {"flagmap.tga", 256, 256, 24, 0, drawFlagMap},
    {"flagshadow.tga", 512, 64, 24, 0, drawFlagShadow},
    {"flagcolor.tga", 256, 16, 24, 0, drawFlagColor},
    {"anger2.tga", 2048, 512, 24, 0xA17Eu, drawAnger},
    {"cursor.tga", 64, 256, 24, 0, drawCursor},
    {"circle.tga", 128, 128, 32, 0, drawCircleSprite},
    {"raster21.tga", 256, 512, 24, 0, drawRasterBars},
    {"polkabig.tga", 256, 256, 32, 0, drawPolkaBig},
    {"polka1.tga", 512, 512, 24, 0, drawPolka1},
    {"polka2.tga", 512, 512, 24, 0, drawPolka2},
    {"polkablack.tga", 64, 64, 24, 0, drawPolkaBlack},
    {"polkascreenmask.tga", 1024, 512, 24, 0, drawPolkaScreenMask, 1920, 1080},
    {"tovelas2eagle.tga", 1024, 1024, 32, 0, drawEagle},
    {"tovelas2text.tga", 1024, 1024, 32, 0, drawTextRing},
    {"star1.tga", 256, 256, 24, 0, drawStarTexture},
    {"jellymask1.tga", 256, 256, 24, 0, drawJellyMask1},
    {"jellymask2.tga", 256, 512, 24, 0, drawJellyMask2, 960, 1080},
};

bool makePicture(const PictureEntry& entry, EffectFonts& fonts, const std::string& dataDir, std::string& error)
{
    Canvas canvas = makeCanvas(entry.width, entry.height,
        entry.frameWidth > 0 ? entry.frameWidth : static_cast<float>(entry.width),
        entry.frameHeight > 0 ? entry.frameHeight : static_cast<float>(entry.height));
    if (!entry.draw(canvas, fonts, error)) {
        error = std::string(entry.fileName) + ": " + error;
        return false;
    }
    const std::vector<uint8_t> rgba = canvasToRgba8(canvas, entry.ditherSeed, {0, 0, 0});
    TgaSource source;
    source.width = entry.width;
    source.height = entry.height;
    source.rgba = rgba.data();
    // Written beside the final name and renamed, so a failed run leaves no half picture.
    const std::string path = dataDir + "/" + entry.fileName;
    if (!writeTgaFile(path + ".tmp", source, entry.bitsPerPixel, TgaEncoding::Uncompressed, error))
        return false;
    std::error_code renameError;
    std::filesystem::rename(path + ".tmp", path, renameError);
    if (renameError) {
        error = path + ": " + renameError.message();
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    return runGenerator("effects_data", argc, argv, [](const std::string& dataDir, std::string& error) {
        auto make = [&](const PictureEntry& entry, EffectFonts& fonts, std::string& e) {
            return makePicture(entry, fonts, dataDir, e);
        };
        return makeEachWithFonts(PICTURES, make, error) && writeParticleModel(dataDir, error) &&
               writeStarCollada(dataDir, error);
    });
}
