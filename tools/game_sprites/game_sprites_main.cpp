// game_sprites <run dir>: writes the game's 2D pictures (weapon sprites, explosion ramps, the
// nuke rings and the HUD) into <run dir>/data/. Everything is drawn from code and the output
// is the same on every run. Sizes are powers of two, since the texture loader builds mipmaps
// and would resample anything else; pictures shown at a fixed screen size are drawn in screen
// pixels (their frame) and stretched onto the texture.
#include "tools/common/tga_write.h"
#include "tools/game_sprites/sprites.h"

#include <cstdio>      // fprintf, printf
#include <filesystem>  // create_directories for data/

namespace {

struct SpriteSpec {
    const char* fileName;
    int width;
    int height;
    float frameWidth;  // 0 = the pixel size
    float frameHeight;
    uint32_t ditherSeed;
    DrawSprite draw;
};

const SpriteSpec SPRITES[] = {
    {"homing.tga", 64, 64, 0, 0, 0x401u, drawMissile},
    {"homingtrail.tga", 128, 32, 0, 0, 0x402u, drawMissileTrail},
    {"wf1.tga", 128, 128, 0, 0, 0x403u, drawCyanFlash},
    {"wf2.tga", 128, 128, 0, 0, 0x404u, drawOrangeFlash},
    {"laser.tga", 256, 32, 0, 0, 0x405u, drawLaserStreak},
    {"particle5x5.tga", 16, 16, 0, 0, 0, drawSparkDot},
    {"explosionparticle.tga", 64, 64, 0, 0, 0x406u, drawExplosionPuff},
    {"explosion_color.tga", 256, 16, 0, 0, 0, drawExplosionRamp},
    {"explosion_color_small.tga", 256, 16, 0, 0, 0, drawSparkRamp},
    {"nukepaint.tga", 512, 64, 0, 0, 0x407u, drawNukeRing},
    {"nukepaintfx.tga", 256, 64, 0, 0, 0, drawNukeRingEffect},
    {"hud1.tga", 2048, 64, 1920, 64, 0x408u, drawHudBar},
    {"hudnumbers.tga", 512, 64, 17.8f * 32.0f, 64, 0, drawHudDigitStrip},
    {"hudweapon1.tga", 512, 32, 256, 16, 0, drawHudLaserPanel},
    {"hudweapon2.tga", 512, 32, 256, 16, 0, drawHudMissilePanel},
    {"hudweapon3.tga", 512, 32, 256, 16, 0, drawHudNukePanel},
    {"hudlaserammo.tga", 512, 32, 256, 16, 0, drawHudLaserAmmo},
};

bool makeSprite(const SpriteSpec& spec, SpriteFonts& fonts, const std::string& dataDir, std::string& error)
{
    const float frameWidth = spec.frameWidth > 0 ? spec.frameWidth : static_cast<float>(spec.width);
    const float frameHeight = spec.frameHeight > 0 ? spec.frameHeight : static_cast<float>(spec.height);
    Canvas canvas = makeCanvas(spec.width, spec.height, frameWidth, frameHeight);
    if (!spec.draw(canvas, fonts, error)) {
        error = std::string(spec.fileName) + ": " + error;
        return false;
    }
    // Transparent texels keep a neutral grey so filtered edges do not darken or tint.
    const std::vector<uint8_t> rgba = canvasToRgba8(canvas, spec.ditherSeed, Rgb{0.5f, 0.5f, 0.5f});
    TgaSource source;
    source.width = spec.width;
    source.height = spec.height;
    source.rgba = rgba.data();
    return writeTgaFile(dataDir + "/" + spec.fileName, source, 32, TgaEncoding::RunLength, error);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: game_sprites <run dir>\n");
        return 2;
    }
    const std::string dataDir = std::string(argv[1]) + "/data";
    std::error_code dirError;
    std::filesystem::create_directories(dataDir, dirError);
    if (dirError) {
        std::fprintf(stderr, "game_sprites: cannot create %s: %s\n", dataDir.c_str(), dirError.message().c_str());
        return 1;
    }
    SpriteFonts fonts;
    std::string error;
    if (!openFont(fonts.sans, FONT_SANS_PATH, error) || !openFont(fonts.sansBold, FONT_SANS_BOLD_PATH, error)) {
        std::fprintf(stderr, "game_sprites: %s\n", error.c_str());
        closeFont(fonts.sans);
        return 1;
    }
    int result = 0;
    for (const SpriteSpec& spec : SPRITES) {
        if (!makeSprite(spec, fonts, dataDir, error)) {
            std::fprintf(stderr, "game_sprites: %s\n", error.c_str());
            result = 1;
            break;
        }
    }
    closeFont(fonts.sansBold);
    closeFont(fonts.sans);
    if (result == 0)
        std::printf("game_sprites: %zu pictures\n", sizeof(SPRITES) / sizeof(SPRITES[0]));
    return result;
}
