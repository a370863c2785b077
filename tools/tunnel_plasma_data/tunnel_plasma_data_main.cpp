// tunnel-plasma-data <run dir>: writes the tunnel scene's and the plasma scene's models and
// pictures into <run dir>/data/.
#include "tools/tunnel_plasma_data/tunnel_plasma_data.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

const char TUNNEL_FILE[] = "tunnel.3dm";
const char TUNNEL_OBJECT[] = "tunnel";  // also its texture-set key
const char SPHERE_FILE[] = "xmixsphere.3dm";
const char SPHERE_OBJECT[] = "xmix";    // the set whose base is "xmix.tga"

bool writeMesh(const std::string& dataDir, const char* fileName, const Model3dmMesh& mesh, std::string& error)
{
    if (!write3dm(dataDir + "/" + fileName, mesh, nullptr, error)) {
        error = std::string(fileName) + ": " + error;
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: tunnel-plasma-data <run dir>\n");
        return 2;
    }
    const std::string dataDir = std::string(argv[1]) + "/data";
    std::error_code dirError;
    std::filesystem::create_directories(dataDir, dirError);
    if (dirError) {
        std::fprintf(stderr, "tunnel-plasma-data: cannot create %s: %s\n", dataDir.c_str(),
                     dirError.message().c_str());
        return 1;
    }
    std::string error;
    const bool ok = writeMesh(dataDir, TUNNEL_FILE, buildTunnelMesh(TUNNEL_OBJECT), error) &&
                    writeTunnelTextureSet(dataDir, TUNNEL_OBJECT, error) &&
                    writeMesh(dataDir, SPHERE_FILE, buildSphereMesh(SPHERE_OBJECT), error) &&
                    writeSphereTextureSet(dataDir, SPHERE_OBJECT, error) && writePlasmaPictures(dataDir, error);
    if (!ok) {
        std::fprintf(stderr, "tunnel-plasma-data: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
