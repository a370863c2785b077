// The harness that lets tools and tests drive the game: key scripts, the key source the keyboard
// tables read, the sound observer, and the light table's work without a GL context.
#include "app/key_script.h"
#include "core/clock.h"
#include "core/keyboard.h"
#include "core/sound.h"
#include "platform/os_services.h"
#include "render/lights.h"

#include <SDL.h>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct ScriptCase {
    const char* name;
    const char* text;
    std::vector<KeyEvent> events;
};

bool sameEvents(const std::vector<KeyEvent>& a, const std::vector<KeyEvent>& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].frame != b[i].frame || a[i].scancode != b[i].scancode || a[i].down != b[i].down)
            return false;
    return true;
}

TEST(KeyScript, ReadsEventsInFrameOrder)
{
    const ScriptCase cases[] = {
        {"the issue's names", "1 +RIGHT\n2 +SPACE\n3 +F1\n4 +RCTRL\n5 +LSHIFT\n6 +S\n",
         {{1, SDL_SCANCODE_RIGHT, true}, {2, SDL_SCANCODE_SPACE, true}, {3, SDL_SCANCODE_F1, true},
          {4, SDL_SCANCODE_RCTRL, true}, {5, SDL_SCANCODE_LSHIFT, true}, {6, SDL_SCANCODE_S, true}}},
        {"comments, blanks, spaces and CRLF", "# a walk\n\n  10   +left   # go\r\n20 -LEFT\n",
         {{10, SDL_SCANCODE_LEFT, true}, {20, SDL_SCANCODE_LEFT, false}}},
        {"sorted by frame, one frame's lines kept in order", "30 +UP\n5 +DOWN\n5 -DOWN\n",
         {{5, SDL_SCANCODE_DOWN, true}, {5, SDL_SCANCODE_DOWN, false}, {30, SDL_SCANCODE_UP, true}}},
        {"digits and letters through SDL's names", "7 +1\n7 +Q\n", {{7, SDL_SCANCODE_1, true}, {7, SDL_SCANCODE_Q, true}}},
        {"empty script", "# nothing\n", {}},
    };
    for (const ScriptCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<KeyEvent> events;
        std::string error;
        ASSERT_TRUE(parseKeyScript(c.text, events, error)) << error;
        EXPECT_TRUE(sameEvents(events, c.events));
    }
}

TEST(KeyScript, RefusesMalformedLinesNamingThem)
{
    const char* bad[] = {
        "0 +RIGHT",        // frames start at 1
        "-3 +RIGHT",
        "x +RIGHT",
        "5 RIGHT",         // no sign
        "5 +",
        "5 +NOSUCHKEY",
        "5 +RIGHT extra",
        "5",
        "99999999999 +UP",
    };
    for (const char* line : bad) {
        SCOPED_TRACE(line);
        std::vector<KeyEvent> events = {{1, SDL_SCANCODE_A, true}};
        std::string error;
        EXPECT_FALSE(parseKeyScript(std::string("1 +UP\n") + line + "\n", events, error));
        EXPECT_NE(error.find("line 2"), std::string::npos) << error;
        EXPECT_EQ(events.size(), 1u);  // untouched
    }
    std::vector<KeyEvent> events;
    std::string error;
    EXPECT_FALSE(readKeyScript("/nonexistent/keys.txt", events, error));
    EXPECT_NE(error.find("/nonexistent/keys.txt"), std::string::npos);
    // A binary file's bytes come back escaped, never as raw control codes for the terminal.
    EXPECT_FALSE(parseKeyScript(std::string("5 +\x1b[2J\x01\\\xff\n"), events, error));
    EXPECT_EQ(error, "key script line 1: unknown key \"\\x1b[2J\\x01\\x5c\\xff\" (SDL scancode names such as "
                     "RIGHT, SPACE, F1, RCTRL)");
}

TEST(KeyScript, NamesAnUnknownKeyAndTheFile)
{
    // A well-formed line whose key is misspelt names the key rather than the line's form.
    const char* misspelt[] = {"10 +RIGTH", "4 -Spacebar", "7 +F13X"};
    for (const char* line : misspelt) {
        SCOPED_TRACE(line);
        std::vector<KeyEvent> events;
        std::string error;
        EXPECT_FALSE(parseKeyScript(std::string("1 +UP\n") + line + "\n", events, error));
        const std::string key = std::string(line).substr(std::string(line).find_first_of("+-") + 1);
        EXPECT_NE(error.find("line 2"), std::string::npos) << error;
        EXPECT_NE(error.find("unknown key \"" + key + "\""), std::string::npos) << error;
        EXPECT_EQ(error.find("expected"), std::string::npos) << error;
    }

    const std::string path = ::testing::TempDir() + "mornglow-misspelt-keys.txt";
    std::FILE* file = std::fopen(path.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fputs("10 +RIGTH\n", file);
    std::fclose(file);
    std::vector<KeyEvent> events;
    std::string error;
    EXPECT_FALSE(readKeyScript(path, events, error));
    EXPECT_EQ(error.rfind(path + ": key script line 1: unknown key \"RIGTH\"", 0), 0u) << error;
    std::remove(path.c_str());
}

TEST(KeyScript, AppliesOnlyTheEventsOfTheFrame)
{
    std::vector<KeyEvent> events;
    std::string error;
    ASSERT_TRUE(parseKeyScript("2 +RIGHT\n2 +SPACE\n3 -SPACE\n", events, error));
    std::vector<unsigned char> keys(KEY_SCRIPT_ARRAY_SIZE, 0);
    applyKeyEvents(events, 1, keys.data());
    EXPECT_EQ(keys[SDL_SCANCODE_RIGHT], 0);
    applyKeyEvents(events, 2, keys.data());
    EXPECT_EQ(keys[SDL_SCANCODE_RIGHT], 1);
    EXPECT_EQ(keys[SDL_SCANCODE_SPACE], 1);
    applyKeyEvents(events, 3, keys.data());
    EXPECT_EQ(keys[SDL_SCANCODE_RIGHT], 1);
    EXPECT_EQ(keys[SDL_SCANCODE_SPACE], 0);
}

TEST(KeySource, KeyboardTablesFollowTheSetArrayThenSdlsAgain)
{
    keyboardState = {};
    std::vector<unsigned char> keys(KEY_SCRIPT_ARRAY_SIZE, 0);
    keys[SDL_SCANCODE_SPACE] = 1;
    keys[300] = 1;  // beyond the tables
    setKeySource(keys.data(), KEY_SCRIPT_ARRAY_SIZE);
    updateKeyboardState();
    EXPECT_EQ(keyboardState.held[SDL_SCANCODE_SPACE], 1);
    EXPECT_EQ(keyboardState.pressed[SDL_SCANCODE_SPACE], 1);
    updateKeyboardState();
    EXPECT_EQ(keyboardState.pressed[SDL_SCANCODE_SPACE], 0);

    // Back on SDL's array, where nothing is down without events.
    setKeySource(nullptr, 0);
    updateKeyboardState();
    EXPECT_EQ(keyboardState.held[SDL_SCANCODE_SPACE], 0);
    keyboardState = {};
}

std::vector<int> heardSounds;

TEST(SoundObserver, HearsEveryPlayRequestEvenWithoutAChunk)
{
    heardSounds.clear();
    soundObserver = [](int index) { heardSounds.push_back(index); };
    for (int i = 0; i < SOUND_COUNT; ++i)
        playSound(i);
    playSound(4);
    soundObserver = nullptr;
    playSound(1);
    EXPECT_EQ(heardSounds, (std::vector<int>{0, 1, 2, 3, 4, 5, 4}));
}

// No GL context in this process: the table work alone.
TEST(LightsWithoutContext, UploadKeepsTheTableAndFadesFlashLights)
{
    ASSERT_EQ(SDL_GL_GetCurrentContext(), nullptr);
    useVirtualCounter(true);
    setVirtualCounter(0);
    initClockFrequency();
    startClock();
    lightTable = {};
    lightTable.enabled[0] = 1;
    lightTable.position[0][0] = 3.0f;
    lightTable.diffuse[0][1] = 0.5f;
    uploadLights();
    EXPECT_EQ(lightTable.enabledF[0], 1.0f);
    EXPECT_EQ(lightTable.enabledF[1], 0.0f);
    EXPECT_EQ(lightTable.posX[0], 3.0f);
    EXPECT_EQ(lightTable.diffG[0], 0.5f);

    int slot = spawnFlashLightAt(100.0f, 200.0f, 180.0f, 0.0f, 0.0f);
    EXPECT_EQ(slot, LIGHT_COUNT - 1);
    EXPECT_EQ(lightTable.enabledF[slot], 1.0f);
    EXPECT_FLOAT_EQ(lightTable.invRadius[slot], 1.0f / 3.0f);
    setVirtualCounter(1000LL * 1000000LL);  // one second: half faded
    uploadLights();
    EXPECT_EQ(lightTable.enabled[slot], 1);
    EXPECT_GT(lightTable.invRadius[slot], 0.5f);
    setVirtualCounter(2001LL * 1000000LL);  // past two seconds: gone
    uploadLights();
    EXPECT_EQ(lightTable.enabled[slot], 0);
    EXPECT_EQ(lightTable.enabledF[slot], 0.0f);
    lightTable = {};
    useVirtualCounter(false);
}

}  // namespace
