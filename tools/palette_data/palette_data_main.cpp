// palette_data <run dir>: writes the palette lookup tables, the palette scene's overlay and
// title card and the plasma colour map into <run dir>/data/. Everything is drawn from code and
// the output is the same on every run.
#include "tools/common/tga_write.h"
#include "tools/palette_data/palette_data.h"

#include <cstdio>      // printf, fprintf
#include <filesystem>  // create_directories for data/

namespace {

using DrawPicture = bool (*)(Canvas&, PaletteFonts&, std::string&);

struct PictureSpec {
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
    PictureSpec spec;
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
    const PictureSpec& spec = entry.spec;
    Canvas canvas = makeCanvas(spec.width, spec.height, spec.frameWidth, spec.frameHeight);
    if (!entry.draw(canvas, fonts, error)) {
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
        std::fprintf(stderr, "usage: palette_data <run dir>\n");
        return 2;
    }
    const std::string dataDir = std::string(argv[1]) + "/data";
    std::error_code dirError;
    std::filesystem::create_directories(dataDir, dirError);
    if (dirError) {
        std::fprintf(stderr, "palette_data: cannot create %s: %s\n", dataDir.c_str(), dirError.message().c_str());
        return 1;
    }
    PaletteFonts fonts;
    std::string error;
    if (!openFont(fonts.sansBold, FONT_SANS_BOLD_PATH, error) || !openFont(fonts.sans, FONT_SANS_PATH, error)) {
        std::fprintf(stderr, "palette_data: %s\n", error.c_str());
        closeFont(fonts.sansBold);
        return 1;
    }
    int result = 0;
    for (const PictureEntry& entry : PICTURES) {
        if (!makePicture(entry, fonts, dataDir, error)) {
            std::fprintf(stderr, "palette_data: %s\n", error.c_str());
            result = 1;
            break;
        }
    }
    closeFont(fonts.sans);
    closeFont(fonts.sansBold);
    if (result == 0)
        std::printf("palette_data: %zu pictures\n", sizeof(PICTURES) / sizeof(PICTURES[0]));
    return result;
}
