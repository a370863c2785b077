// level-data RUN_DIR GENERATED_DIR: writes the game's level files, "level1.level" (the level
// the game starts with), "crowded.level" (the benchmark's crowd) and "palette.level" (the
// editor's palette), into GENERATED_DIR, and installs each into RUN_DIR only when it is missing
// there or still exactly what the last generation wrote: the editor saves into RUN_DIR, and a
// rebuild must not replace a level a user made (one line says when one is kept). The files are
// encoded here, not with the engine's encoder, so each checks the other.
#include "tools/level_data/level_layouts.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// The file's bytes; false when it does not exist (or cannot be read).
bool readBytes(const std::string& path, std::vector<unsigned char>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool generate(const std::string& runDir, const std::string& generatedDir, const char* name,
              const std::vector<unsigned char>& bytes)
{
    const std::string installed = runDir + "/" + name;
    const std::string generated = generatedDir + "/" + name;
    std::vector<unsigned char> current, previous;
    const bool present = readBytes(installed, current);
    const bool generatedBefore = readBytes(generated, previous);
    // Without a record of the last generation only the same bytes count as generated.
    const bool untouched = !present || current == bytes || (generatedBefore && current == previous);
    if (!writeLayoutFile(generated, bytes))
        return false;
    if (!untouched) {
        std::printf("level-data: %s differs from what was generated (edited?): kept; the generated one is %s\n",
                    installed.c_str(), generated.c_str());
        return true;
    }
    return (present && current == bytes) || writeLayoutFile(installed, bytes);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: level-data RUN_DIR GENERATED_DIR\n");
        return 2;
    }
    const std::string runDir = argv[1];
    const std::string generatedDir = argv[2];
    bool ok = generate(runDir, generatedDir, "level1.level", encodeLayoutLevel(buildFirstLevel()));
    ok = generate(runDir, generatedDir, "crowded.level", encodeLayoutLevel(buildCrowdedLevel())) && ok;
    ok = generate(runDir, generatedDir, "palette.level", encodeLayoutPalette(buildPalette())) && ok;
    return ok ? 0 : 1;
}
