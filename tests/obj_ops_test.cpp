#include "gfx/obj_model.h"
#include "gfx/obj_ops.h"
#include "gfx/obj_read.h"

#include "obj_test_support.h"
#include "program_runner.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace {

std::unique_ptr<ObjModel> modelOf(const std::string& text)
{
    ObjFixture fixture;
    std::unique_ptr<ObjModel> model = fixture.read(text);
    EXPECT_TRUE(model) << fixture.error.message;
    return model;
}

std::string readFileText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A scratch folder of this test process, removed at the end of the test.
struct ScratchFolder {
    std::filesystem::path path;
    explicit ScratchFolder(const char* name) : path(scratchPath(name))
    {
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~ScratchFolder() { std::filesystem::remove_all(path); }
    std::string file(const char* name) const { return (path / name).string(); }
};

TEST(ObjOps, FittingIntoTheUnitBox)
{
    struct Case {
        const char* what;
        std::string vertices;
        float scale;
        float firstVertex[3]; // after fitting
    } cases[] = {
        {"extents are |max| + |min|: x -1..3 gives 4", "v -1 -1 0\nv 3 1 1\n", 0.5f, {-1.0f, -0.5f, -0.25f}},
        {"all positive x 1..3 still gives the extent 4", "v 1 0 0\nv 3 0 0\n", 0.5f, {-0.5f, 0.0f, 0.0f}},
        {"a point off the origin has the extent |2| + |2|", "v 2 2 2\nv 2 2 2\n", 0.5f, {0.0f, 0.0f, 0.0f}},
        {"a point at the origin has no extent: scale 1", "v 0 0 0\nv 0 0 0\n", 1.0f, {0.0f, 0.0f, 0.0f}},
        {"no vertices at all", "", 1.0f, {0.0f, 0.0f, 0.0f}},
    };
    for (const Case& c : cases) {
        std::unique_ptr<ObjModel> model = modelOf(c.vertices);
        EXPECT_FLOAT_EQ(objFitToUnitCube(*model), c.scale) << c.what;
        if (model->numvertices) {
            for (int k = 0; k < 3; ++k)
                EXPECT_FLOAT_EQ(model->vertices[3 + k], c.firstVertex[k]) << c.what << " component " << k;
        }
        for (float value : model->vertices)
            EXPECT_TRUE(std::isfinite(value)) << c.what;
    }
    std::unique_ptr<ObjModel> model = modelOf("v -1 -1 0\nv 3 1 1\n");
    float extent[3];
    objMeasureExtent(*model, extent);
    EXPECT_FLOAT_EQ(extent[0], 4.0f);
    EXPECT_FLOAT_EQ(extent[1], 2.0f);
    EXPECT_FLOAT_EQ(extent[2], 1.0f);
    objScaleVertices(*model, 2.0f);
    EXPECT_FLOAT_EQ(model->vertices[6], 6.0f);
}

// A floor of two coplanar triangles meeting a wall at a right angle along the edge 1-2.
const std::string FLOOR_AND_WALL = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0 0 1\nv 1 0 1\n"
                                   "f 1 2 3\nf 1 3 4\nf 1 5 2\n";

const float* normalOfCorner(const ObjModel& model, uint32_t triangle, int corner)
{
    return &model.normals[3 * model.triangles[triangle].nindices[corner]];
}

TEST(ObjOps, VertexNormalsAverageWithinTheCreaseAngle)
{
    std::unique_ptr<ObjModel> model = modelOf(FLOOR_AND_WALL);
    objComputeFacetNormals(*model);
    ASSERT_EQ(model->numfacetnorms, 3u);
    EXPECT_EQ(model->triangles[2].findex, 3);
    EXPECT_FLOAT_EQ(model->facetnorms[3 * 1 + 2], 1.0f) << "floor faces up";
    EXPECT_FLOAT_EQ(model->facetnorms[3 * 3 + 1], 1.0f) << "wall faces +y";

    // At 90 degrees: at vertex 1 the wall (listed first) is not averaged with the perpendicular
    // floor, so each floor triangle keeps its own facet normal there; at vertex 3 the two
    // coplanar floor triangles share one.
    objVertexNormals(*model, 90.0f);
    EXPECT_NE(model->triangles[0].nindices[0], model->triangles[2].nindices[0]);
    EXPECT_NE(model->triangles[0].nindices[0], model->triangles[1].nindices[0]);
    EXPECT_EQ(model->triangles[0].nindices[2], model->triangles[1].nindices[1]);
    EXPECT_FLOAT_EQ(normalOfCorner(*model, 0, 0)[2], 1.0f);
    EXPECT_FLOAT_EQ(normalOfCorner(*model, 2, 0)[1], 1.0f);
    EXPECT_EQ(model->normals.size(), 3 * (static_cast<size_t>(model->numnormals) + 1));

    // At 0 degrees every corner keeps its own facet normal (the head against itself is not > 1).
    objVertexNormals(*model, 0.0f);
    EXPECT_EQ(model->numnormals, 9u);
    std::set<uint32_t> used;
    for (uint32_t t = 0; t < 3; ++t)
        for (int k = 0; k < 3; ++k)
            used.insert(model->triangles[t].nindices[k]);
    EXPECT_EQ(used.size(), 9u);

    // Wide enough to take the wall in: every corner at vertex 1 gets one averaged normal.
    objVertexNormals(*model, 100.0f);
    EXPECT_EQ(model->triangles[0].nindices[0], model->triangles[2].nindices[0]);
    EXPECT_EQ(model->triangles[1].nindices[0], model->triangles[2].nindices[0]);
    const float* shared = normalOfCorner(*model, 0, 0);
    EXPECT_NEAR(shared[1], 1.0f / std::sqrt(5.0f), 1e-6f);
    EXPECT_NEAR(shared[2], 2.0f / std::sqrt(5.0f), 1e-6f);
}

TEST(ObjOps, VertexNormalsForOddMeshes)
{
    // A vertex no triangle uses is reported and gets nothing; a triangle that uses a vertex twice
    // still gets a normal at each corner; a degenerate triangle's normal is zero, not NaN.
    std::unique_ptr<ObjModel> model = modelOf("v 0 0 0\nv 1 0 0\nv 0 1 0\nv 7 7 7\nf 1 2 3\nf 1 1 2\n");
    objComputeFacetNormals(*model);
    testing::internal::CaptureStderr();
    objVertexNormals(*model, 90.0f);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "objVertexNormals(): vertex w/o a triangle\n");
    for (uint32_t t = 0; t < model->numtriangles; ++t)
        for (int k = 0; k < 3; ++k) {
            uint32_t n = model->triangles[t].nindices[k];
            EXPECT_TRUE(n >= 1 && n <= model->numnormals) << "triangle " << t << " corner " << k << ": " << n;
        }
    for (float value : model->normals)
        EXPECT_TRUE(std::isfinite(value));
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(model->facetnorms[3 * 2 + k], 0.0f);
}

TEST(ObjOps, VectorHelpersAndWelding)
{
    float zero[3] = {0.0f, 0.0f, 0.0f};
    objNormalizeVector(zero);
    EXPECT_EQ(zero[0], 0.0f);
    EXPECT_EQ(zero[2], 0.0f);
    float v[3] = {3.0f, 0.0f, 4.0f};
    objNormalizeVector(v);
    EXPECT_FLOAT_EQ(v[2], 0.8f);

    std::vector<float> list = {0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0};
    uint32_t count = 3;
    std::vector<float> unique = objWeldVectorList(list, count, 0.001f);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(unique, (std::vector<float>{0, 0, 0, 0, 0, 0, 1, 0, 0}));
    EXPECT_FLOAT_EQ(list[3], 1.0f);
    EXPECT_FLOAT_EQ(list[6], 1.0f);
    EXPECT_FLOAT_EQ(list[9], 2.0f);

    std::unique_ptr<ObjModel> model = modelOf("v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 0.0001 0\nf 1 2 3\nf 4 3 1\n");
    objWeldModel(*model, 0.001f);
    EXPECT_EQ(model->numvertices, 3u);
    EXPECT_EQ(model->triangles[1].vindices[0], 2u);
    EXPECT_EQ(model->triangles[1].vindices[2], 1u);
    EXPECT_FLOAT_EQ(model->vertices[3 * 3 + 1], 1.0f);

    objFlipWinding(*model);
    EXPECT_EQ(model->triangles[1].vindices[0], 1u);
    EXPECT_EQ(model->triangles[1].vindices[2], 2u);
}

TEST(ObjOps, WriterReconcilesModesWithWarnings)
{
    const std::string text = "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvn 0 0 1\nf 1/1/1 2/1/1 3/1/1\n";
    struct Case {
        const char* what;
        unsigned mode;
        bool facets;
        bool dropNormals;
        bool dropMaterials;
        std::vector<std::string> warnings;
        const char* faceLine;
    } cases[] = {
        {"flat and smooth: smooth wins", OBJ_FLAT | OBJ_SMOOTH, true, false, false,
         {"objWriteOBJ() warning: flat normal output requested and smooth normal output requested (using smooth)."},
         "f 1//1 2//1 3//1"},
        {"flat without facet normals", OBJ_FLAT, false, false, false,
         {"objWriteOBJ() warning: flat normal output requested with no facet normals defined."}, "f 1 2 3"},
        {"smooth without normals", OBJ_SMOOTH | OBJ_TEXTURE, false, true, false,
         {"objWriteOBJ() warning: smooth normal output requested with no normals defined."}, "f 1/1 2/1 3/1"},
        {"colour and material: only materials", OBJ_COLOR | OBJ_MATERIAL, false, false, false,
         {"objWriteOBJ() warning: color and material output requested outputting only materials."}, "f 1 2 3"},
        {"colour and material without materials", OBJ_COLOR | OBJ_MATERIAL, false, false, true,
         {"objWriteOBJ() warning: color output requested with no colors (materials) defined.",
          "objWriteOBJ() warning: material output requested with no materials defined."},
         "f 1 2 3"},
        {"flat with texture: vertex and facet index", OBJ_FLAT | OBJ_TEXTURE, true, false, false, {}, "f 1/1 2/1 3/1"},
        {"flat: facet normals as vn", OBJ_FLAT, true, false, false, {}, "f 1//1 2//1 3//1"},
    };
    ScratchFolder folder("obj-write-modes");
    for (const Case& c : cases) {
        std::unique_ptr<ObjModel> model = modelOf(text);
        if (c.facets)
            objComputeFacetNormals(*model);
        if (c.dropNormals) {
            model->numnormals = 0;
            model->normals.clear();
        }
        if (c.dropMaterials) {
            model->nummaterials = 0;
            model->materials.clear();
        }
        std::string path = folder.file("out.obj");
        testing::internal::CaptureStdout();
        EXPECT_EQ(objWriteOBJ(*model, path.c_str(), c.mode), 0) << c.what;
        std::string printed = testing::internal::GetCapturedStdout();
        std::string expected;
        for (const std::string& warning : c.warnings)
            expected += warning + "\n";
        EXPECT_EQ(printed, expected) << c.what;
        std::string written = readFileText(path);
        EXPECT_NE(written.find(std::string("\n") + c.faceLine + "\n"), std::string::npos) << c.what << "\n" << written;
        EXPECT_FALSE(std::filesystem::exists(path + ".tmp")) << c.what;
    }
}

TEST(ObjOps, WrittenModelReadsBackWithItsIndices)
{
    std::unique_ptr<ObjModel> model = modelOf("v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0.5\n"
                                              "vt 0 0\nvt 1 0\nvt 1 1\nvn 0 0 1\nvn 0 1 0\n"
                                              "g body\nf 1/1/1 2/2/1 3/3/2 4/1/2\nf 4/3/1 3/2/2 1/1/1\n");
    ScratchFolder folder("obj-round-trip");
    std::string path = folder.file("body.obj");
    ASSERT_EQ(objWriteOBJ(*model, path.c_str(), OBJ_SMOOTH | OBJ_TEXTURE), 0);
    ObjFixture fixture;
    std::unique_ptr<ObjModel> back = fixture.read(readFileText(path), path.c_str());
    ASSERT_TRUE(back) << fixture.error.message;
    EXPECT_EQ(cornerTriples(*back), cornerTriples(*model));
    EXPECT_EQ(back->numvertices, model->numvertices);
    for (size_t i = 0; i < model->vertices.size(); ++i)
        EXPECT_NEAR(back->vertices[i], model->vertices[i], 1e-6f);
    EXPECT_EQ(groupNames(*back), (std::vector<std::string>{" default", "  body", "default"}))
        << "the stored names are written after \"g \", so their blank shows";
}

TEST(ObjOps, MaterialLibraryIsWrittenOnlyWhenAbsent)
{
    ScratchFolder folder("obj-mtl");
    ObjFixture fixture;
    fixture.files[folder.file("box.mtl")] = "newmtl red\n";
    std::unique_ptr<ObjModel> model =
        fixture.read("mtllib box.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nusemtl red\nf 1 2 3\n", folder.file("box.obj").c_str());
    ASSERT_TRUE(model) << fixture.error.message;

    // The model's own materials on disk are left alone.
    const std::string materials = "newmtl red\nKd 1 0 0\n";
    std::ofstream(folder.file("box.mtl")) << materials;
    testing::internal::CaptureStdout();
    ASSERT_EQ(objWriteOBJ(*model, folder.file("copy.obj").c_str(), OBJ_MATERIAL), 0);
    std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(readFileText(folder.file("box.mtl")), materials);
    EXPECT_NE(printed.find("exists and is kept"), std::string::npos) << printed;
    std::string written = readFileText(folder.file("copy.obj"));
    EXPECT_NE(written.find("\nmtllib box.mtl\n"), std::string::npos);
    EXPECT_NE(written.find("\ng default\nusemtl red\nf 1 2 3\n"), std::string::npos) << written;

    // Without one, the library writes a header of comment lines and nothing else.
    std::filesystem::remove(folder.file("box.mtl"));
    ASSERT_EQ(objWriteOBJ(*model, folder.file("copy.obj").c_str(), OBJ_MATERIAL), 0);
    std::istringstream header(readFileText(folder.file("box.mtl")));
    std::string line;
    int lines = 0;
    while (std::getline(header, line)) {
        EXPECT_EQ(line.rfind("#", 0), 0u) << line;
        ++lines;
    }
    EXPECT_EQ(lines, 8);
}

TEST(ObjOps, GeneratedTextureCoordinates)
{
    std::unique_ptr<ObjModel> model = modelOf("v -1 0 -1\nv 1 0 1\nv 1 0 -1\nvn 1 0 0\nvn 0 1 0\nvn 0 0 1\n"
                                              "f 1//1 2//2 3//3\n");
    objPlanarTexcoords(*model);
    ASSERT_EQ(model->numtexcoords, 3u);
    EXPECT_FLOAT_EQ(model->texcoords[2], 0.0f);
    EXPECT_FLOAT_EQ(model->texcoords[4], 1.0f);
    EXPECT_FLOAT_EQ(model->texcoords[5], 1.0f);
    EXPECT_EQ(model->triangles[0].tindices[1], 2u);

    objSphereMapTexcoords(*model);
    EXPECT_EQ(model->numtexcoords, 3u);
    EXPECT_EQ(model->texcoords[2], 0.0f) << "along x there is no angle around it";
    EXPECT_EQ(model->texcoords[3], 0.0f);
    EXPECT_NEAR(model->texcoords[4], 1.0f, 1e-6f) << "y: theta at the top";
    EXPECT_NEAR(model->texcoords[5], 0.5f, 1e-6f);
    EXPECT_NEAR(model->texcoords[6], 0.5f, 1e-6f) << "z: both at the middle";
    EXPECT_NEAR(model->texcoords[7], 0.5f, 1e-6f);
    EXPECT_EQ(model->triangles[0].tindices[2], 3u);
}

} // namespace
