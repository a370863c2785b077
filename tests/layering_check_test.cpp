// The layering check over small made-up trees: which include graphs pass, which fail, and what
// the failure names.
#include "program_runner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using Files = std::vector<std::pair<const char*, const char*>>;  // path, text

struct LayeringCase {
    const char* what;
    Files files;
    bool passes;
    std::vector<const char*> reported;  // texts the failure must name
};

ProgramRun checkTree(const std::filesystem::path& root, const Files& files)
{
    std::filesystem::remove_all(root);
    for (const auto& [path, text] : files) {
        std::filesystem::create_directories((root / path).parent_path());
        std::ofstream(root / path) << text;
    }
    return runProgram(std::string("'") + SOURCE_DIR + "/tools/checks/check_layers.sh' '" + root.string() + "' 2>&1");
}

TEST(LayeringCheck, FoldersAndCirclesOfModules)
{
    const LayeringCase cases[] = {
        {"a chain down one folder and across layers",
         {{"gfx/a.h", "#include \"gfx/b.h\"\n"},
          {"gfx/a.cpp", "#include \"gfx/a.h\"\n#include \"core/x.h\"\n"},
          {"gfx/b.h", "#include <vector>\n"},
          {"gfx/b.cpp", "#include \"gfx/b.h\"\n#include \"gfx/c.h\"\n"},
          {"gfx/c.h", "\n"},
          {"core/x.h", "\n"}},
         true,
         {}},
        {"a lower folder including a higher one",
         {{"core/x.cpp", "#include \"render/y.h\"\n"}, {"render/y.h", "\n"}},
         false,
         {"core/x.cpp:1: core/ includes render/"}},
        {"two modules, each including the other's header",
         {{"game/a.h", "\n"},
          {"game/a.cpp", "#include \"game/a.h\"\n#include \"game/b.h\"\n"},
          {"game/b.h", "\n"},
          {"game/b.cpp", "#include \"game/b.h\"\n#include \"game/a.h\"\n"}},
         false,
         {"game/: 2 modules include each other in a circle: a, b", "game/a.cpp:2 includes b",
          "game/b.cpp:2 includes a"}},
        {"three modules round through headers, beside a module outside the circle",
         {{"app/a.h", "#include \"app/b.h\"\n"},
          {"app/b.h", "\n"},
          {"app/b.cpp", "#include \"app/c.h\"\n"},
          {"app/c.h", "#include \"app/a.h\"\n"},
          {"app/d.cpp", "#include \"app/a.h\"\n"}},
         false,
         {"app/: 3 modules include each other in a circle: a, b, c", "app/a.h:1 includes b",
          "app/b.cpp:1 includes c", "app/c.h:1 includes a"}},
        {"a bare name includes the file beside it",
         {{"render/a.cpp", "#include \"b.h\"\n"}, {"render/b.cpp", "#include \"render/a.h\"\n"},
          {"render/a.h", "\n"}, {"render/b.h", "\n"}},
         false,
         {"render/: 2 modules include each other in a circle: a, b"}},
        {"a header that is not in the tree (generated) belongs to no module",
         {{"platform/a.cpp", "#include \"platform/generated.h\"\n"},
          {"platform/b.cpp", "#include \"platform/a.h\"\n"},
          {"platform/a.h", "\n"}},
         true,
         {}},
        {"the same name in two folders is two modules",
         {{"gfx/a.cpp", "#include \"core/a.h\"\n"}, {"core/a.h", "\n"}, {"core/a.cpp", "#include \"core/a.h\"\n"}},
         true,
         {}},
    };
    const std::filesystem::path root = scratchPath("layering-check");
    for (const LayeringCase& c : cases) {
        ProgramRun run = checkTree(root, c.files);
        EXPECT_EQ(run.exitStatus, c.passes ? 0 : 1) << c.what << "\n" << run.output;
        if (c.passes) {
            EXPECT_NE(run.output.find("layering check passed"), std::string::npos) << c.what;
        }
        for (const char* text : c.reported)
            EXPECT_NE(run.output.find(text), std::string::npos) << c.what << ": no \"" << text << "\" in\n"
                                                                << run.output;
    }
    std::filesystem::remove_all(root);
}

}  // namespace
