// The tools' path options keep naming what they named where the tool was started, once the
// tool may change to its run directory.
#include "app/run_directory.h"
#include "tests/tga_test_files.h"  // ScopedDataFolder, writeFileBytes

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(RunDirectory, PathOptionsTypedHereStayHere)
{
    ScopedDataFolder folder;
    ASSERT_TRUE(writeFileBytes((folder.root / "walk.keys").string(), {'1', ' ', '+', 'R', '\n'}));
    const std::string here = std::filesystem::current_path().string();
    const struct {
        const char* what;
        bool output;
        std::string path;
        std::string expected;
    } cases[] = {
        {"an input that exists here", false, "walk.keys", here + "/walk.keys"},
        {"an input found only in the run directory", false, "level1.level", "level1.level"},
        {"an output, made or not", true, "shots", here + "/shots"},
        {"an absolute input as it is", false, here + "/walk.keys", here + "/walk.keys"},
        {"an absolute output as it is", true, "/tmp/shots", "/tmp/shots"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.output ? outputPathFromHere(c.path) : inputPathFromHere(c.path), c.expected);
    }
}

}  // namespace
