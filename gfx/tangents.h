// Tangent-space bases for normal mapping: a tangent per vertex (or corner) and a handedness sign
// that says whether the texture is mirrored there, from positions, normals and texture
// coordinates. Meshes are flat arrays, three vertices per triangle (vertex k of triangle i is
// vertex 3i + k): positions and normals 3 floats, texture coordinates 2 floats per vertex.
//
// Where the texture coordinates of a triangle are degenerate, or a vertex's summed direction
// lies along its normal, the tangent falls back to a unit vector perpendicular to the normal
// (handedness +1), so every result is finite.
#pragma once

#include <cstdint>
#include <vector>

struct Model;

// The flyover terrain's fixed size.
const int TERRAIN_TANGENT_TRIANGLES = 2097152;

// The texture-space directions of one triangle: sdir along u, tdir along v (3 floats each).
// Zero vectors when the texture coordinates span no area.
void triangleTangentDirections(const float* pA, const float* pB, const float* pC, const float* uvA,
                               const float* uvB, const float* uvC, float sdir[3], float tdir[3]);
// normalize(s - n dot(n, s)), or the perpendicular fallback; `out` gets 3 floats.
void orthogonalTangent(const float n[3], const float s[3], float out[3]);
// The tangent of a corner with its sign folded in: negated where dot(cross(n, t), tdir) < 0.
void flippedCornerTangent(const float n[3], const float sdir[3], const float tdir[3], float out[3]);

// Fills the model's tangents and handedness (sized to fit) and marks its vertex data changed.
void generateModelTangents(Model& model);
// The per-frame form for models whose vertices move: reuses the sums of allocTangentScratch.
void allocTangentScratch(Model& model);
void updateModelTangents(Model& model);
// The flyover terrain: TERRAIN_TANGENT_TRIANGLES triangles in the layout above.
void generateTerrainTangents(const float* positions, const float* normals, const float* texcoords,
                             float* tangents, float* handedness);
// Tangents with the handedness folded into their sign; handedness is left alone.
void generateModelTangentsFlipped(Model& model);

// Any mesh of `triangleCount` triangles in the layout above; sumS and sumT hold 9 floats per
// triangle and are overwritten.
void generateTangents(const float* positions, const float* normals, const float* texcoords, int64_t triangleCount,
                      float* tangents, float* handedness, float* sumS, float* sumT);

// OBJ models: walks the groups in list order and their triangles in order, and gives each
// triangle three fresh entries of model.tangents (running index 0, 3, 6, ...) holding its
// corners' flipped tangents, recorded in its tangentIndices. Indices are 1-based into vertices,
// normals and texcoords; a corner index outside its array reads as zero. A triangle listed in
// several groups is handled once (its tangents would be the same again), so the entries never
// pass 3 x numtriangles and fit the tangents array, which must hold that many.
template <class ObjModelType>
void generateObjTangents(ObjModelType& model)
{
    std::vector<bool> handled(model.numtriangles, false);
    uint32_t running = 0;
    auto fetch = [](const auto& array, uint32_t count, uint32_t index, int width, float* out) {
        for (int c = 0; c < width; ++c)
            out[c] = (index >= 1 && index <= count) ? array[width * index + c] : 0.0f;
    };
    for (auto* group = model.groups; group; group = group->next) {
        for (uint32_t g = 0; g < group->numtriangles; ++g) {
            uint32_t t = group->triangles[g];
            if (t >= model.numtriangles || handled[t])
                continue;
            handled[t] = true;
            auto& triangle = model.triangles[t];
            float p[3][3];
            float uv[3][2];
            float n[3][3];
            for (int k = 0; k < 3; ++k) {
                fetch(model.vertices, model.numvertices, triangle.vindices[k], 3, p[k]);
                fetch(model.texcoords, model.numtexcoords, triangle.tindices[k], 2, uv[k]);
                fetch(model.normals, model.numnormals, triangle.nindices[k], 3, n[k]);
            }
            float sdir[3];
            float tdir[3];
            triangleTangentDirections(p[0], p[1], p[2], uv[0], uv[1], uv[2], sdir, tdir);
            for (int k = 0; k < 3; ++k) {
                triangle.tangentIndices[k] = running + k;
                flippedCornerTangent(n[k], sdir, tdir, &model.tangents[3 * (running + k)]);
            }
            running += 3;
        }
    }
}
