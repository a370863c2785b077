// rings-data <run dir>: writes the spheres-and-rings scene's models and texture sets into
// <run dir>/data/.
#include "tools/rings_data/rings_data.h"

#include <cstdio>
#include <filesystem>
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
    if (argc < 2) {
        std::fprintf(stderr, "usage: rings-data <run dir>\n");
        return 2;
    }
    const std::string dataDir = std::string(argv[1]) + "/data";
    std::error_code dirError;
    std::filesystem::create_directories(dataDir, dirError);
    if (dirError) {
        std::fprintf(stderr, "rings-data: cannot create %s: %s\n", dataDir.c_str(), dirError.message().c_str());
        return 1;
    }
    std::string error;
    bool ok = writeMesh(dataDir, SPHERE_FILE, buildSphereMesh(SPHERE_OBJECT), error) &&
              writeSphereTextureSet(dataDir, SPHERE_OBJECT, error);
    for (int i = 0; ok && i < RING_COUNT; ++i) {
        const RingFile& ring = RING_FILES[i];
        ok = writeMesh(dataDir, ring.fileName, buildRingMesh(ring.objectName, RING_RADII[i]), error) &&
             writeRingTextureSet(dataDir, ring.objectName, ring.metal, i, error);
    }
    if (!ok) {
        std::fprintf(stderr, "rings-data: %s\n", error.c_str());
        return 1;
    }
    std::printf("rings-data: 5 models and their texture sets\n");
    return 0;
}
