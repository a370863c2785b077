// Writes the game's level files into the run directory: "level1.level" (the level the game
// starts with), "crowded.level" (the benchmark's crowd) and "palette.level" (the editor's
// palette). The files are encoded here, not with the engine's encoder, so each checks the other.
#include "tools/level_data/level_layouts.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: level-data RUN_DIR\n");
        return 2;
    }
    std::string dir = argv[1];
    bool ok = writeLayoutFile(dir + "/level1.level", encodeLayoutLevel(buildFirstLevel()));
    ok = writeLayoutFile(dir + "/crowded.level", encodeLayoutLevel(buildCrowdedLevel())) && ok;
    ok = writeLayoutFile(dir + "/palette.level", encodeLayoutPalette(buildPalette())) && ok;
    return ok ? 0 : 1;
}
