// The keyboard tables: held, pressed since the previous update, previous; and the gated update
// that freezes input during the view-restart wipe.
#include "core/keyboard.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

constexpr int SDL_KEY_ARRAY_SIZE = 512;  // SDL tracks more scancodes than the tables do
constexpr int KEY_A = 4;
constexpr int KEY_SPACE = 44;
constexpr int KEY_F1 = 58;
constexpr int KEY_F2 = 59;

class KeyboardStateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        keyboardState = {};
        viewRestartActive = 0;
    }
    void TearDown() override
    {
        keyboardState = {};
        viewRestartActive = 0;
    }
};

// One update from a key array with exactly the listed scancodes down.
void updateWith(std::initializer_list<int> down)
{
    std::vector<unsigned char> keys(SDL_KEY_ARRAY_SIZE, 0);
    for (int k : down)
        keys[k] = 1;
    updateKeyboardStateFrom(keys.data(), SDL_KEY_ARRAY_SIZE);
}

struct KeyStep {
    bool down;     // key A in the snapshot of this update
    int held;      // expected after the update
    int pressed;
};

struct KeySequenceCase {
    const char* name;
    std::vector<KeyStep> steps;
};

TEST_F(KeyboardStateTest, HeldAndPressedAcrossUpdates)
{
    const KeySequenceCase cases[] = {
        {"tap", {{true, 1, 1}, {false, 0, 0}}},
        {"hold: pressed on the first update only", {{true, 1, 1}, {true, 1, 0}, {true, 1, 0}, {false, 0, 0}}},
        {"press, release, press again", {{true, 1, 1}, {false, 0, 0}, {true, 1, 1}}},
        {"never down", {{false, 0, 0}, {false, 0, 0}}},
        {"down late", {{false, 0, 0}, {false, 0, 0}, {true, 1, 1}, {true, 1, 0}}},
    };
    for (const KeySequenceCase& c : cases) {
        SCOPED_TRACE(c.name);
        keyboardState = {};
        int step = 0;
        for (const KeyStep& s : c.steps) {
            if (s.down)
                updateWith({KEY_A});
            else
                updateWith({});
            EXPECT_EQ(keyboardState.held[KEY_A], s.held) << "update " << step;
            EXPECT_EQ(keyboardState.pressed[KEY_A], s.pressed) << "update " << step;
            EXPECT_EQ(keyboardState.previous[KEY_A], s.held) << "update " << step;
            ++step;
        }
    }
}

TEST_F(KeyboardStateTest, EntriesAreZeroOrOneAndKeysAreIndependent)
{
    std::vector<unsigned char> keys(SDL_KEY_ARRAY_SIZE, 0);
    keys[KEY_A] = 0xFF;  // any non-zero entry is a key that is down
    keys[KEY_SPACE] = 7;
    updateKeyboardStateFrom(keys.data(), SDL_KEY_ARRAY_SIZE);
    keys[KEY_A] = 0;
    keys[KEY_SPACE + 1] = 1;
    updateKeyboardStateFrom(keys.data(), SDL_KEY_ARRAY_SIZE);
    for (int i = 0; i < KEY_TABLE_SIZE; ++i) {
        int expectedHeld = (i == KEY_SPACE || i == KEY_SPACE + 1) ? 1 : 0;
        EXPECT_EQ(keyboardState.held[i], expectedHeld) << i;
        EXPECT_EQ(keyboardState.pressed[i], i == KEY_SPACE + 1 ? 1 : 0) << i;
        EXPECT_EQ(keyboardState.previous[i], expectedHeld) << i;
    }
}

TEST_F(KeyboardStateTest, ScancodesOutsideTheTablesAreNeverReported)
{
    std::vector<unsigned char> keys(SDL_KEY_ARRAY_SIZE, 0);
    for (int i = KEY_TABLE_SIZE; i < SDL_KEY_ARRAY_SIZE; ++i)
        keys[i] = 1;
    updateKeyboardStateFrom(keys.data(), SDL_KEY_ARRAY_SIZE);
    for (int i = 0; i < KEY_TABLE_SIZE; ++i)
        EXPECT_EQ(keyboardState.held[i] | keyboardState.pressed[i] | keyboardState.previous[i], 0) << i;

    // A key array shorter than the tables: the missing keys read as up, nothing past it is read.
    std::vector<unsigned char> shortKeys(10, 1);
    updateKeyboardStateFrom(shortKeys.data(), static_cast<int>(shortKeys.size()));
    EXPECT_EQ(keyboardState.held[9], 1);
    EXPECT_EQ(keyboardState.held[10], 0);
    updateKeyboardStateFrom(nullptr, 0);
    EXPECT_EQ(keyboardState.held[0], 0);
}

TEST_F(KeyboardStateTest, GatedUpdateFreezesInputDuringTheWipe)
{
    updateWith({KEY_A});
    ASSERT_EQ(keyboardState.pressed[KEY_A], 1);
    viewRestartActive = 1;
    noteKeyDown(KEY_SPACE);  // a tap during the wipe is dropped, not kept for after it
    for (int n = 0; n < 3; ++n) {
        pollKeyboardState();
        for (int i = 0; i < KEY_TABLE_SIZE; ++i) {
            EXPECT_EQ(keyboardState.held[i], 0) << i;
            EXPECT_EQ(keyboardState.pressed[i], 0) << i;
        }
        EXPECT_EQ(keyboardState.previous[KEY_A], 1);  // kept from before the wipe
    }
    viewRestartActive = 0;
    // Still held after the wipe: not a new press.
    updateWith({KEY_A});
    EXPECT_EQ(keyboardState.held[KEY_A], 1);
    EXPECT_EQ(keyboardState.pressed[KEY_A], 0);
    EXPECT_EQ(keyboardState.held[KEY_SPACE], 0);
}

TEST_F(KeyboardStateTest, RestartAndEditorKeysStayLiveDuringTheWipe)
{
    // A level that kills the player at its start keeps the wipe coming back: F2 and F1 must
    // still get through it, held and pressed as usual, while every other key stays frozen.
    std::vector<unsigned char> keys(SDL_KEY_ARRAY_SIZE, 0);
    setKeySource(keys.data(), SDL_KEY_ARRAY_SIZE);
    viewRestartActive = 1;
    keys[KEY_F2] = keys[KEY_A] = 1;
    pollKeyboardState();
    EXPECT_EQ(keyboardState.held[KEY_F2], 1);
    EXPECT_EQ(keyboardState.pressed[KEY_F2], 1);
    EXPECT_EQ(keyboardState.held[KEY_A], 0);
    pollKeyboardState();
    EXPECT_EQ(keyboardState.held[KEY_F2], 1);
    EXPECT_EQ(keyboardState.pressed[KEY_F2], 0);
    keys[KEY_F2] = 0;
    noteKeyDown(KEY_F1);  // a tap between two reads
    pollKeyboardState();
    EXPECT_EQ(keyboardState.held[KEY_F2], 0);
    EXPECT_EQ(keyboardState.pressed[KEY_F1], 1);
    EXPECT_EQ(keyboardState.held[KEY_A], 0);
    EXPECT_EQ(keyboardState.pressed[KEY_A], 0);
    setKeySource(nullptr, 0);
}

TEST_F(KeyboardStateTest, KeyDownBetweenTwoReadsCountsInTheNextRead)
{
    struct TapCase {
        const char* name;
        bool downBefore;  // key A in the snapshot of the read before the tap
        bool downAfter;   // and in the snapshot of the read that follows it
        int held;         // expected in that read
        int pressed;
    };
    const TapCase cases[] = {
        {"down and up again before the read", false, false, 1, 1},
        {"down and still down", false, true, 1, 1},
        {"held, up and down again: no new press", true, true, 1, 0},
        {"held, up, down and up again", true, false, 1, 0},
    };
    for (const TapCase& c : cases) {
        SCOPED_TRACE(c.name);
        keyboardState = {};
        updateWith(c.downBefore ? std::initializer_list<int>{KEY_A} : std::initializer_list<int>{});
        noteKeyDown(KEY_A);
        updateWith(c.downAfter ? std::initializer_list<int>{KEY_A} : std::initializer_list<int>{});
        EXPECT_EQ(keyboardState.held[KEY_A], c.held);
        EXPECT_EQ(keyboardState.pressed[KEY_A], c.pressed);
        EXPECT_EQ(keyboardState.held[KEY_SPACE], 0);  // only the noted key
        // Counted once: the read after that sees only the snapshot.
        updateWith({});
        EXPECT_EQ(keyboardState.held[KEY_A], 0);
    }
    noteKeyDown(-1);   // outside the tables: ignored
    noteKeyDown(300);
    updateWith({});
    for (int i = 0; i < KEY_TABLE_SIZE; ++i)
        EXPECT_EQ(keyboardState.held[i], 0) << i;
}

TEST_F(KeyboardStateTest, UngatedPollReadsSdlsKeyArray)
{
    // Without a window nothing can be down in SDL's array: the poll clears a stale press.
    updateWith({KEY_A});
    pollKeyboardState();
    EXPECT_EQ(keyboardState.held[KEY_A], 0);
    EXPECT_EQ(keyboardState.pressed[KEY_A], 0);
    EXPECT_EQ(keyboardState.previous[KEY_A], 0);
}

}  // namespace
