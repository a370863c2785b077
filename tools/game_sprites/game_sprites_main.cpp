// game_sprites <run dir>: writes the game's 2D pictures (weapon sprites, explosion ramps, the
// nuke rings and the HUD) into <run dir>/data/. Everything is drawn from code and the output
// is the same on every run. Sizes are powers of two, since the texture loader builds mipmaps
// and would resample anything else; pictures shown at a fixed screen size are drawn in screen
// pixels (their frame) and stretched onto the texture.
#include "tools/common/generator_main.h"
#include "tools/common/tga_write.h"
#include "tools/game_sprites/sprites.h"

#include <cstdio>  // printf

namespace {

struct SpriteRecipe {
    const char* fileName;
    int width;
    int height;
    float frameWidth;  // 0 = the pixel size
    float frameHeight;
    uint32_t ditherSeed;
    DrawSprite draw;
};

const SpriteRecipe SPRITES[] = {
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

bool makeSprite(const SpriteRecipe& recipe, SpriteFonts& fonts, const std::string& dataDir, std::string& error)
{
    const float frameWidth = recipe.frameWidth > 0 ? recipe.frameWidth : static_cast<float>(recipe.width);
    const float frameHeight = recipe.frameHeight > 0 ? recipe.frameHeight : static_cast<float>(recipe.height);
    Canvas canvas = makeCanvas(recipe.width, recipe.height, frameWidth, frameHeight);
    if (!recipe.draw(canvas, fonts, error)) {
        error = std::string(recipe.fileName) + ": " + error;
        return false;
    }
    // Transparent texels keep a neutral grey so filtered edges do not darken or tint.
    const std::vector<uint8_t> rgba = canvasToRgba8(canvas, recipe.ditherSeed, Rgb{0.5f, 0.5f, 0.5f});
    TgaSource source;
    source.width = recipe.width;
    source.height = recipe.height;
    source.rgba = rgba.data();
    return writeTgaFile(dataDir + "/" + recipe.fileName, source, 32, TgaEncoding::RunLength, error);
}

}  // namespace

int main(int argc, char** argv)
{
    return runGenerator("game_sprites", argc, argv, [](const std::string& dataDir, std::string& error) {
        auto make = [&](const SpriteRecipe& recipe, SpriteFonts& fonts, std::string& e) {
            return makeSprite(recipe, fonts, dataDir, e);
        };
        const bool ok = makeEachWithFonts(SPRITES, make, error);
        if (ok)
            std::printf("game_sprites: %zu pictures\n", sizeof(SPRITES) / sizeof(SPRITES[0]));
        return ok;
    });
}
