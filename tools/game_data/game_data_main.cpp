// game-data <run dir>: writes the game's models, pictures and the flyby map into
// <run dir>/data/. The output is the same on every run.
#include "tools/common/generator_main.h"
#include "tools/game_data/game_data.h"

#include <cstdio>

namespace {

bool writeModel(const std::string& dataDir, const GeneratedModel& m, std::string& error)
{
    if (!write3dm(dataDir + "/" + m.file, m.mesh, m.skinned ? &m.skeleton : nullptr, error)) {
        error = m.file + ": " + error;
        return false;
    }
    return true;
}

bool writeBytes(const std::string& path, const std::vector<unsigned char>& bytes, std::string& error)
{
    const std::string temporary = path + ".tmp";
    FILE* file = std::fopen(temporary.c_str(), "wb");
    bool ok = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = file && std::fclose(file) == 0 && ok;
    ok = ok && std::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok)
        error = "cannot write " + path;
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    return runGenerator("game-data", argc, argv, [](const std::string& dataDir, std::string& error) {
        ProfileColumns floorProfile, ceilingProfile;
        bool ok = readProfileColumns(dataDir + "/hfslope1.tga", floorProfile, error) &&
                  readProfileColumns(dataDir + "/heightmap2.tga", ceilingProfile, error);
        std::vector<GeneratedModel> models;
        if (ok) {
            for (auto&& group : {buildHeroModels(), buildEnemyModels(), buildOrbModels(),
                                 buildTileModels(floorProfile, ceilingProfile)})
                models.insert(models.end(), group.begin(), group.end());
            models.push_back(buildFlyerModel());
        }
        for (const GeneratedModel& m : models)
            ok = ok && writeModel(dataDir, m, error);
        ok = ok && writeGamePictures(dataDir, error) && writeBytes(dataDir + "/level.level", buildFlybyMap(), error);
        if (ok)
            std::printf("game-data: %zu models, the game's pictures and level.level\n", models.size());
        return ok;
    });
}
