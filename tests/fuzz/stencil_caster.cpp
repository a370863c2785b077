// Fuzz target: bytes as a triangle soup for a stencil shadow caster, then an update from a
// second soup of a chosen size. Layout: byte 0 picks the coordinate form (even: each byte a
// point on a small lattice, so edges are shared often; odd: four bytes per raw float, NaN and
// infinity included), bytes 1-2 the update's triangle count (little-endian), the rest the
// triangles. After the build and after the update every neighbour must be in range, paired
// back along the same edge, and the update must keep the arrays of the build.
#include "render/stencil_shadow.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

std::vector<float> decodeSoup(const uint8_t* data, size_t size, bool rawFloats)
{
    std::vector<float> values;
    if (rawFloats) {
        for (size_t i = 0; i + 4 <= size; i += 4) {
            float v;
            std::memcpy(&v, data + i, sizeof v);
            values.push_back(v);
        }
    } else {
        for (size_t i = 0; i < size; ++i)
            values.push_back(static_cast<float>(data[i] % 5) - 2.0f);
    }
    values.resize(values.size() / 9 * 9);
    return values;
}

void check(bool ok)
{
    if (!ok)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3)
        return 0;
    const bool rawFloats = data[0] & 1;
    const int updateTriangles = data[1] | (data[2] << 8);
    std::vector<float> positions = decodeSoup(data + 3, size - 3, rawFloats);
    const int triangles = static_cast<int>(positions.size() / 9);
    std::vector<float> normals(positions.size(), 0.5f);

    ShadowCaster caster;
    buildShadowCasterFromArrays(&caster, triangles, positions.data(), normals.data());
    check(caster.planeCount == triangles && caster.pointCount == 3 * triangles);
    check(shadowNeighboursConsistent(caster));
    const float light[4] = {0.5f, 7.0f, 0.25f, 1.0f};
    markShadowPlanesVisible(&caster, light);
    check(countSilhouetteEdges(caster) <= 3 * triangles);

    // The update copies at most what the build holds (and the update limit), so its arrays hold
    // just that many triangles of the soup, shifted, while the asked count may be larger: an
    // update that read past what it may copy runs off the arrays, which the sanitizer reports.
    int expected = updateTriangles < triangles ? updateTriangles : triangles;
    if (expected > SHADOW_CASTER_UPDATE_LIMIT)
        expected = SHADOW_CASTER_UPDATE_LIMIT;
    std::vector<float> updated(static_cast<size_t>(expected) * 9, 0.0f);
    for (size_t i = 0; i < updated.size() && !positions.empty(); ++i)
        updated[i] = positions[i % positions.size()] + static_cast<float>((i / positions.size()) % 3);
    std::vector<float> updatedNormals(updated.size(), 0.25f);
    const size_t pointFloats = caster.points.size();
    const size_t planeSlots = caster.planes.size();
    updateShadowCasterFromArrays(&caster, updateTriangles, updated.data(), updatedNormals.data());
    check(caster.points.size() == pointFloats && caster.planes.size() == planeSlots);
    check(caster.planeCount == expected && caster.pointCount == 3 * expected);
    check(shadowNeighboursConsistent(caster));
    markShadowPlanesVisible(&caster, light);
    check(countSilhouetteEdges(caster) <= 3 * expected);
    return 0;
}
