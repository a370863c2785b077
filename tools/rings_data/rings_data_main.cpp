// rings-data <run dir>: writes the spheres-and-rings scene's models and texture sets into
// <run dir>/data/.
#include "tools/common/generator_main.h"
#include "tools/rings_data/rings_data.h"

#include <cstdio>
#include <string>

namespace {

struct RingFile {
    const char* fileName;
    const char* objectName;  // also the texture-set key
    RingMetal metal;
};

// Steel and brass alternate from the inside out.
const RingFile RING_FILES[RING_COUNT] = {
    {"ring1.3dm", "ring1", RingMetal::STEEL},
    {"ring2.3dm", "ring2", RingMetal::BRASS},
    {"ring3.3dm", "ring3", RingMetal::STEEL},
    {"ring4.3dm", "ring4", RingMetal::BRASS},
};
const char SPHERE_FILE[] = "sphere1.3dm";
const char SPHERE_OBJECT[] = "sphere1";

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
    return runGenerator("rings-data", argc, argv, [](const std::string& dataDir, std::string& error) {
        bool ok = writeMesh(dataDir, SPHERE_FILE, buildSphereMesh(SPHERE_OBJECT), error) &&
                  writeSphereTextureSet(dataDir, SPHERE_OBJECT, error);
        for (int i = 0; ok && i < RING_COUNT; ++i) {
            const RingFile& ring = RING_FILES[i];
            ok = writeMesh(dataDir, ring.fileName, buildRingMesh(ring.objectName, RING_RADII[i]), error) &&
                 writeRingTextureSet(dataDir, ring.objectName, ring.metal, i, error);
        }
        if (ok)
            std::printf("rings-data: 5 models and their texture sets\n");
        return ok;
    });
}
