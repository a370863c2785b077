// The tools' path options keep naming what they named where the tool was started, once the
// tool may change to its run directory.
#include "app/run_directory.h"
#include "tests/tga_test_files.h"  // ScopedDataFolder, writeFileBytes

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(RunDirectory, PathOptionsTypedHereStayHere)
{
    ScopedDataFolder folder;
    ASSERT_TRUE(writeFileBytes((folder.root / "walk.keys").string(), {'1', ' ', '+', 'R', '\n'}));
    const std::string here = std::filesystem::current_path().string();
    const struct {
        const char* what;
        std::vector<std::string> arguments;
        std::vector<std::string> expected;
    } cases[] = {
        {"an input that exists here", {"--keys", "walk.keys"}, {"--keys", here + "/walk.keys"}},
        {"an input found only in the run directory", {"--game", "level1.level"}, {"--game", "level1.level"}},
        {"an output, made or not", {"--out", "shots"}, {"--out", here + "/shots"}},
        {"an absolute path as it is", {"--out", "/tmp/shots"}, {"--out", "/tmp/shots"}},
        {"another option's value", {"--frames", "walk.keys"}, {"--frames", "walk.keys"}},
        {"an option with no value", {"--at", "1", "--keys"}, {"--at", "1", "--keys"}},
        {"every occurrence", {"--keys", "walk.keys", "--game", "walk.keys", "--out", "a"},
         {"--keys", here + "/walk.keys", "--game", here + "/walk.keys", "--out", here + "/a"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> words = {"tool"};
        words.insert(words.end(), c.arguments.begin(), c.arguments.end());
        std::vector<char*> argv;
        for (std::string& word : words)
            argv.push_back(&word[0]);
        anchorPathOptions(static_cast<int>(argv.size()), argv.data(), {"--keys", "--game"}, {"--out"});
        std::vector<std::string> result(argv.begin() + 1, argv.end());
        EXPECT_EQ(result, c.expected);
    }
}

}  // namespace
