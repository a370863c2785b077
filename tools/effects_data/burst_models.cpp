// particle.3dm: the bursts' model, a small faceted gem (an octahedron) textured with the
// "particle" set; the effect draws it far behind the camera, so only its set matters.
#include "tools/effects_data/effects_models.h"

#include "tools/common/model3dm_write.h"

#include <cmath>

bool writeParticleModel(const std::string& dataDir, std::string& error)
{
    const float r = 10.0f;  // file units: 0.5 after the loader's 0.05
    const float corners[6][3] = {{r, 0, 0}, {-r, 0, 0}, {0, r, 0}, {0, -r, 0}, {0, 0, r}, {0, 0, -r}};
    // Eight faces, counter-clockwise from outside.
    const int faces[8][3] = {{0, 2, 4}, {2, 1, 4}, {1, 3, 4}, {3, 0, 4}, {2, 0, 5}, {1, 2, 5}, {3, 1, 5}, {0, 3, 5}};
    Model3dmMesh mesh;
    mesh.objectName = "particle";
    for (const auto& f : faces) {
        float n[3] = {0, 0, 0};
        for (int k = 0; k < 3; ++k)
            for (int c = 0; c < 3; ++c)
                n[c] += corners[f[k]][c];
        const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        const float uv[3][2] = {{0.5f, 1.0f}, {0.0f, 0.0f}, {1.0f, 0.0f}};
        for (int k = 0; k < 3; ++k) {
            mesh.positions.insert(mesh.positions.end(), corners[f[k]], corners[f[k]] + 3);
            mesh.normals.insert(mesh.normals.end(), {n[0] / length, n[1] / length, n[2] / length});
            mesh.texcoords.insert(mesh.texcoords.end(), uv[k], uv[k] + 2);
        }
    }
    return write3dm(dataDir + "/particle.3dm", mesh, nullptr, error);
}
