// The HUD: bounded formatting of every field without a window, and the drawn HUD read back
// cell by cell, each 16 x 16 cell matched against the digit strip's cells drawn in the same
// place, so the picture shows exactly the state.
#include "game/draw_2d.h"
#include "game/hud.h"
#include "game/player.h"
#include "tests/gl_test_context.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <vector>

extern float fpsAverage;

namespace {

HudValues values(float health, int score, int lives, int orbs, float fps, int weapon = 1, int missiles = 0, int nukes = 0)
{
    return HudValues{weapon, missiles, nukes, health, lives, score, orbs, fps};
}

std::string fieldAt(const HudLayout& layout, float x, float y)
{
    for (int i = 0; i < layout.fieldCount; ++i)
        if (layout.fields[i].x == x && layout.fields[i].y == y)
            return layout.fields[i].text;
    return "<none>";
}

TEST(HudFormat, FieldsPrintTheStateBounded)
{
    struct Case {
        HudValues v;
        const char* health;
        const char* score;
        const char* lives;
        const char* orbs;
        const char* fps;
    };
    const Case cases[] = {
        {values(99.6f, 123, 5, 7, 59.9f), "100", "00000123", "05", "07", " 59"},
        {values(100, 0, 0, 0, 144.2f), "100", "00000000", "00", "00", "144"},
        {values(-30, -5, -1, 3, 8), "-30", "-0000005", "-1", "03", "  8"},
        {values(NAN, INT_MAX, 99, 12, INFINITY), "   ", "2147483647", "99", "12", "   "},
        {values(1e30f, 1, 1, 1, NAN), "   ", "00000001", "01", "01", "   "},
        {values(5, 1, 1, 1, -INFINITY), "005", "00000001", "01", "01", "   "},
        {values(5, 1, 1, 1, 3e9f), "005", "00000001", "01", "01", "   "},
    };
    for (const Case& c : cases) {
        const HudLayout layout = layoutHud(c.v);
        EXPECT_EQ(fieldAt(layout, 975, 12), c.health);
        EXPECT_EQ(fieldAt(layout, 140, 38), c.score);
        EXPECT_EQ(fieldAt(layout, 975, 38), c.lives);
        EXPECT_EQ(fieldAt(layout, 140, 12), c.orbs);
        EXPECT_EQ(fieldAt(layout, 0, 1048), c.fps);
    }
}

TEST(HudFormat, WeaponPanelFollowsTheWeapon)
{
    struct Case {
        int weapon;
        int panel;
        bool laserAmmo;
        const char* ammo;
    };
    const Case cases[] = {{1, 0, true, "<none>"}, {2, -1, false, "<none>"}, {3, 1, false, "042"}, {4, 2, false, "3"}};
    for (const Case& c : cases) {
        const HudLayout layout = layoutHud(values(50, 0, 5, 0, 60, c.weapon, 42, 3));
        EXPECT_EQ(layout.panelTexture, c.panel) << c.weapon;
        EXPECT_EQ(layout.laserAmmo, c.laserAmmo) << c.weapon;
        EXPECT_EQ(fieldAt(layout, 538, 12), c.ammo) << c.weapon;
    }
    EXPECT_EQ(hudGlyph(' '), HUD_BLANK_GLYPH);
    EXPECT_EQ(hudGlyph('7'), 7);
    EXPECT_EQ(hudGlyph('-'), -3);
}

// The drawn HUD.

struct HudPicture : ::testing::Test {
    void SetUp() override
    {
        REQUIRE_GL_CONTEXT();
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glViewport(0, 0, 1920, 1080);
        glEnable(GL_TEXTURE_2D);
        loadHudTextures();
    }

    void setState(const HudValues& v)
    {
        playerWeapon = v.weapon;
        playerAmmo[0] = v.missiles;
        playerAmmo[1] = v.nukes;
        playerHealth = v.health;
        playerLives = v.lives;
        playerScore = v.score;
        orbsLeft = v.orbsLeft;
        fpsAverage = v.frameRate;
    }

    std::vector<uint8_t> draw(const HudValues& v)
    {
        setState(v);
        glClearColor(0.1f, 0.2f, 0.3f, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glColor4f(1, 1, 1, 1);
        drawHud();
        glFinish();
        return readPixelsRgba(0, 0, 1920, 1080);
    }

    static int cellDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int x, int y)
    {
        int sum = 0;
        for (int row = 0; row < HUD_GLYPH_SIZE; ++row)
            for (int col = 0; col < HUD_GLYPH_SIZE; ++col)
                for (int c = 0; c < 3; ++c) {
                    const size_t i = (static_cast<size_t>(y + row) * 1920 + x + col) * 4 + c;
                    sum += std::abs(a[i] - b[i]);
                }
        return sum;
    }
};

TEST_F(HudPicture, EveryCellShowsTheDigitOfTheState)
{
    // References: every cell of every field holding glyph g, drawn by the HUD itself; blanks
    // from a frame rate that is not a number.
    std::vector<std::vector<uint8_t>> reference;
    for (int g = 0; g < 10; ++g)
        reference.push_back(draw(values(111.0f * g, 11111111 * g, 11 * g, 11 * g, 111.0f * g, 3, 111 * g)));
    const std::vector<uint8_t> blanks = draw(values(0, 0, 0, 0, NAN, 3, 0));

    const HudValues state = values(99.6f, 123, 4, 7, 59.7f, 3, 42);
    const std::vector<uint8_t> picture = draw(state);
    const HudLayout layout = layoutHud(state);
    ASSERT_EQ(layout.fieldCount, 6);
    for (int f = 0; f < layout.fieldCount; ++f) {
        const HudField& field = layout.fields[f];
        std::string shown;
        for (int i = 0; field.text[i]; ++i) {
            const int x = static_cast<int>(field.x) + HUD_GLYPH_SIZE * i;
            const int y = static_cast<int>(field.y);
            int best = -1, bestDiff = INT_MAX;
            for (int g = 0; g < 10; ++g) {
                const int d = cellDifference(picture, reference[g], x, y);
                if (d < bestDiff) {
                    bestDiff = d;
                    best = g;
                }
            }
            // In the frame-rate field glyph 0's reference is itself blank up front ("  0").
            const bool blankCell = field.y == 1048;
            if (blankCell && cellDifference(picture, blanks, x, y) <= bestDiff)
                best = -1;
            shown += best < 0 ? ' ' : static_cast<char>('0' + best);
        }
        EXPECT_EQ(shown, field.text) << "field at " << field.x << "," << field.y;
    }
    // The expected texts, once more as the player reads them.
    EXPECT_EQ(fieldAt(layout, 975, 12), "100");
    EXPECT_EQ(fieldAt(layout, 140, 38), "00000123");
    EXPECT_EQ(fieldAt(layout, 0, 1048), " 59");
}

}  // namespace
