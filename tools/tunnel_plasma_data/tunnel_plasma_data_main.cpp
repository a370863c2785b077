// tunnel-plasma-data <run dir>: writes the tunnel scene's and the plasma scene's models and
// pictures into <run dir>/data/.
#include "tools/common/generator_main.h"
#include "tools/tunnel_plasma_data/tunnel_plasma_data.h"

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
    return runGenerator("tunnel-plasma-data", argc, argv, [](const std::string& dataDir, std::string& error) {
        return writeMesh(dataDir, TUNNEL_FILE, buildTunnelMesh(TUNNEL_OBJECT), error) &&
               writeTunnelTextureSet(dataDir, TUNNEL_OBJECT, error) &&
               writeMesh(dataDir, SPHERE_FILE, buildSphereMesh(SPHERE_OBJECT), error) &&
               writeSphereTextureSet(dataDir, SPHERE_OBJECT, error) && writePlasmaPictures(dataDir, error);
    });
}
