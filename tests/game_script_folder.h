// A scratch run folder for the capture tool's game mode: the run directory's data, a given
// "level1.level" and the key script "keys.txt".
#pragma once

#include "game/level_codec.h"
#include "key_script_run.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

inline std::filesystem::path makeGameScriptFolder(const std::string& name, const LevelImage& level,
    const std::string& script)
{
    const std::filesystem::path dir = makeKeyScriptFolder(name);
    const std::vector<uint8_t> bytes = encodeLevel(level);
    std::ofstream(dir / "level1.level", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    std::ofstream(dir / "keys.txt") << script;
    return dir;
}
