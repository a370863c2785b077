// Scene files: the reader against the generators' writer, its checks of the count and of every
// block, loading into a model list with texture sets, scaling and display lists, the display
// list's contents as GL holds them, and the generated background scene.
#include "gfx/model.h"
#include "gfx/scene_file.h"
#include "gfx/scene_file_read.h"
#include "gfx/textures.h"
#include "tools/scene_data/scene_write.h"

#include "tests/draw_test_support.h"
#include "tests/gl_test_context.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

const char* const FILE_NAME = "test.scene";

Model3dmMesh triangleMesh(const char* name, float offset)
{
    Model3dmMesh mesh;
    mesh.objectName = name;
    mesh.positions = {offset, 0, 0, 4, -6, 10, 0.1f, 1e-7f, -19.5f};
    mesh.normals = {0, 0, 1, 0, 0, 1, 0, 0, 1};
    mesh.texcoords = {0, 0, 1, 0, 0.3333333f, 1};
    return mesh;
}

std::string sceneText(const std::vector<Model3dmMesh>& meshes)
{
    std::string text, error;
    EXPECT_TRUE(formatScene(meshes, text, error)) << error;
    return text;
}

// One mesh block of one triangle: 11 lines.
std::string oneBlock(const char* name)
{
    std::string text = sceneText({triangleMesh(name, 1)});
    return text.substr(text.find('\n') + 1);
}

bool parseText(const std::string& text, SceneFileMeshes& out, std::string& error)
{
    return parseScene(text.data(), text.size(), FILE_NAME, out, error);
}

TEST(SceneFileRead, MeshesRoundTripThroughTheWriter)
{
    Model3dmMesh big;
    big.objectName = "hill_far";
    for (int t = 0; t < 40; ++t)
        for (int k = 0; k < 3; ++k) {
            big.positions.insert(big.positions.end(), {t * 1.25f + k, -t / 3.0f, 1e-6f * k});
            big.normals.insert(big.normals.end(), {0.6f, -0.8f, 0});
            big.texcoords.insert(big.texcoords.end(), {t / 7.0f, k / 3.0f});
        }
    Model3dmMesh empty;
    empty.objectName = "nothing";
    const std::vector<Model3dmMesh> meshes = {triangleMesh("rock_a", 1.5f), big, empty, triangleMesh("rock_b", -2)};

    SceneFileMeshes scene;
    std::string error;
    ASSERT_TRUE(parseText(sceneText(meshes), scene, error)) << error;
    ASSERT_EQ(scene.meshes.size(), meshes.size());
    for (size_t i = 0; i < meshes.size(); ++i) {
        const Model3dmFile& read = scene.meshes[i];
        EXPECT_EQ(read.objectName, meshes[i].objectName);
        EXPECT_EQ(read.triangleCount, static_cast<int32_t>(meshes[i].positions.size() / 9));
        EXPECT_EQ(read.positions, meshes[i].positions) << read.objectName;
        EXPECT_EQ(read.normals, meshes[i].normals) << read.objectName;
        EXPECT_EQ(read.texcoords, meshes[i].texcoords) << read.objectName;
        EXPECT_FALSE(read.hasSkeleton);
    }
}

TEST(SceneFileRead, CountsFromZeroToTheListCapacity)
{
    struct Case {
        const char* what;
        int blocks;
        bool ok;
    } cases[] = {{"no objects", 0, true}, {"a full list", MAX_SCENE_OBJECTS, true},
                 {"one more than the list holds", MAX_SCENE_OBJECTS + 1, false}};
    for (const Case& c : cases) {
        std::string text = "objcount " + std::to_string(c.blocks) + "\n";
        for (int i = 0; i < c.blocks; ++i)
            text += "o e_" + std::to_string(i) + "\nnumfaces 0\n";
        text += "\n \r\n";
        SceneFileMeshes scene;
        std::string error;
        EXPECT_EQ(parseText(text, scene, error), c.ok) << c.what << ": " << error;
        EXPECT_EQ(scene.meshes.size(), c.ok ? static_cast<size_t>(c.blocks) : 0u) << c.what;
        if (!c.ok) {
            EXPECT_EQ(error, "test.scene:1: expected an object count from 0 to 1024, found 1025");
        }
    }
}

TEST(SceneFileRead, WrongTextNamesItsLine)
{
    const std::string block = oneBlock("rock_a");  // lines 2 to 12 after the count line
    struct Case {
        const char* what;
        std::string text;
        const char* error;
    } cases[] = {
        {"an empty file", "", "test.scene:1: expected \"objcount %d\", found the end of the file"},
        {"no number", "objcount x\n", "test.scene:1: expected \"objcount %d\", found \"objcount x\""},
        {"a count past 32 bits", "objcount 99999999999\n",
         "test.scene:1: expected \"objcount %d\", found \"objcount 99999999999\""},
        {"a negative count", "objcount -1\n", "test.scene:1: expected an object count from 0 to 1024, found -1"},
        {"fewer blocks than counted", "objcount 2\n" + block,
         "test.scene:13: expected \"o %s\", found the end of the file"},
        {"a blank line between blocks", "objcount 2\n" + block + "\n" + block,
         "test.scene:13: expected \"o %s\", found \"\""},
        {"a skeleton after a block", "objcount 2\n" + block + "numframes 1\n",
         "test.scene:13: expected \"o %s\", found \"numframes 1\""},
        {"more after the last block", "objcount 1\n" + block + "\n\nnumframes 1\n",
         "test.scene:15: expected the end of the file after 1 objects, found \"numframes 1\""},
        {"a short vertex line", "objcount 1\no a\nnumfaces 1\nv 0 0\n",
         "test.scene:4: expected \"v %f %f %f\", found \"v 0 0\""},
        {"a negative face count", "objcount 1\no a\nnumfaces -3\n",
         "test.scene:3: expected a triangle count of 0 or more, found -3"},
    };
    for (const Case& c : cases) {
        SceneFileMeshes scene;
        std::string error;
        EXPECT_FALSE(parseText(c.text, scene, error)) << c.what;
        EXPECT_EQ(error, c.error) << c.what;
        EXPECT_TRUE(scene.meshes.empty()) << c.what;
    }
}

// A file in the run directory's data folder, removed afterwards.
struct DataFile {
    std::string name;
    DataFile(const std::string& base, const std::string& text)
        : name("scene_file_test_" + base)
    {
        FILE* file = std::fopen(("data/" + name).c_str(), "wb");
        if (file) {
            std::fwrite(text.data(), 1, text.size(), file);
            std::fclose(file);
        }
    }
    ~DataFile() { std::remove(("data/" + name).c_str()); }
};

TEST(SceneFileLoadDeathTest, MissingOrBrokenScenesEndTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(loadScene("no_such.scene"), testing::ExitedWithCode(1), "can't open file no_such.scene");
    DataFile broken("broken.scene", "objcount 2\n" + oneBlock("rock_a") + "o rock_b\nnumfaces 1\nv 1 2\n");
    EXPECT_EXIT(loadScene(broken.name.c_str()), testing::ExitedWithCode(1),
                broken.name + ":15: expected \"v %f %f %f\", found \"v 1 2\"");
    DataFile tooMany("too_many.scene", "objcount 1025\n");
    EXPECT_EXIT(loadScene(tooMany.name.c_str()), testing::ExitedWithCode(1),
                tooMany.name + ":1: expected an object count from 0 to 1024, found 1025");
}

// ---------------------------------------------------------------------------------------------
// Loading with GL: models, texture sets and display lists.

class SceneFileGl : public testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_GL_CONTEXT();
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        while (glGetError() != GL_NO_ERROR) {
        }
    }
    void TearDown() override
    {
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
        glUseProgram(0);
        glBindVertexArray(0);
    }

    // loadScene with its standard output kept.
    ModelList* load(const std::string& name, std::string* output = nullptr)
    {
        testing::internal::CaptureStdout();
        ModelList* list = loadScene(name.c_str());
        std::string out = testing::internal::GetCapturedStdout();
        if (output)
            *output = out;
        return list;
    }
};

// The vertices of a display list as GL_3D feedback reports them: with identity matrices and a
// square viewport of FEEDBACK_SIDE, window x = (x + 1) FEEDBACK_SIDE / 2, the same for y, and
// z = (z + 1) / 2. A large viewport keeps the window coordinates' rounding small.
const int FEEDBACK_SIDE = 8192;

std::vector<float> listVertices(GLuint list)
{
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    pushIdentityMatrices();
    glViewport(0, 0, FEEDBACK_SIDE, FEEDBACK_SIDE);
    glDisable(GL_CULL_FACE);
    std::vector<GLfloat> buffer(4096);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    glCallList(list);
    GLint used = glRenderMode(GL_RENDER);
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    popMatrices();

    std::vector<float> vertices;
    for (GLint i = 0; i < used;) {
        if (buffer[i] != GL_POLYGON_TOKEN)
            return {};
        int count = static_cast<int>(buffer[i + 1]);
        for (int k = 0; k < count; ++k) {
            const float* v = &buffer[i + 2 + 3 * k];
            const float half = FEEDBACK_SIDE / 2.0f;
            vertices.insert(vertices.end(), {v[0] / half - 1.0f, v[1] / half - 1.0f, 2.0f * v[2] - 1.0f});
        }
        i += 2 + 3 * count;
    }
    return vertices;
}

void expectNear(const std::vector<float>& actual, const std::vector<float>& expected, const char* what)
{
    ASSERT_EQ(actual.size(), expected.size()) << what;
    for (size_t i = 0; i < actual.size(); ++i)
        EXPECT_NEAR(actual[i], expected[i], 1e-5f) << what << ", value " << i;
}

TEST_F(SceneFileGl, TwoRocksShareOneSetAndEveryModelHasItsOwnScaledList)
{
    const Model3dmMesh a = triangleMesh("rock_a", 1), b = triangleMesh("rock_b", -3);
    DataFile file("rocks.scene", sceneText({a, b}));
    std::string out;
    ModelList* list = load(file.name, &out);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count, 2u);
    EXPECT_EQ(list->items[2], nullptr);
    Model& first = *list->items[0];
    Model& second = *list->items[1];

    EXPECT_EQ(first.textureSet, second.textureSet);
    EXPECT_STREQ(textureSets[first.textureSet].name, "rock");
    int rockSets = 0;
    for (int i = 0; i < textureSetCount; ++i)
        rockSets += std::strcmp(textureSets[i].name, "rock") == 0;
    EXPECT_EQ(rockSets, 1);

    const Model3dmMesh* meshes[] = {&a, &b};
    std::set<uint32_t> lists;
    for (int m = 0; m < 2; ++m) {
        const Model& model = *list->items[m];
        EXPECT_EQ(model.hasList, 1);
        EXPECT_TRUE(glIsList(model.listId));
        lists.insert(model.listId);
        EXPECT_EQ(*model.animFlag, 0);
        EXPECT_EQ(model.triangleCount, 1);
        std::vector<float> scaled = meshes[m]->positions;
        for (float& p : scaled)
            p *= 0.05f;
        EXPECT_EQ(model.positions, scaled) << "model " << m;
        EXPECT_EQ(model.tangents.size(), 9u);
    }
    EXPECT_EQ(lists.size(), 2u);
    EXPECT_NE(out.find("scene load " + file.name + "\n"), std::string::npos) << out;
    EXPECT_NE(out.find("objcount 2\n"), std::string::npos) << out;
    EXPECT_LT(out.find("obj rock_a faces 1\n"), out.find("obj rock_b faces 1\n")) << out;

    // What loading leaves: no program (there is none of a fixed name to bind), the identity,
    // and the last model's vertex array object.
    GLint program = -1, vao = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &vao);
    EXPECT_EQ(program, 0);
    EXPECT_EQ(static_cast<GLuint>(vao), second.vao);
    float matrix[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(matrix[i], i % 5 == 0 ? 1.0f : 0.0f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // The list holds the positions as they were when it was compiled.
    std::vector<float> compiled = first.positions;
    expectNear(listVertices(first.listId), compiled, "compiled positions");
    scaleModel(first, 2.0f);
    expectNear(listVertices(first.listId), compiled, "after a later rescale");
}

TEST_F(SceneFileGl, ACountOfZeroGivesAnEmptyList)
{
    DataFile file("empty.scene", "objcount 0\n");
    ModelList* list = load(file.name);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->count, 0u);
    for (Model* item : list->items)
        ASSERT_EQ(item, nullptr);
}

TEST_F(SceneFileGl, MeshBlockReaderLeavesTheFileAfterTheBlock)
{
    DataFile file("blocks.scene", sceneText({triangleMesh("rock_a", 2), triangleMesh("pillar_x", 5)}));
    FILE* in = std::fopen(("data/" + file.name).c_str(), "r");
    ASSERT_NE(in, nullptr);
    char line[1024];
    ASSERT_NE(std::fgets(line, sizeof line, in), nullptr);
    testing::internal::CaptureStdout();
    Model* first = read3dmMeshBlock(in);
    long afterFirst = std::ftell(in);
    ASSERT_NE(std::fgets(line, sizeof line, in), nullptr);
    std::fseek(in, afterFirst, SEEK_SET);
    Model* second = read3dmMeshBlock(in);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_STREQ(line, "o pillar_x\n");
    EXPECT_EQ(std::fgetc(in), EOF);
    std::fclose(in);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_FLOAT_EQ(first->positions[0], 0.1f);
    EXPECT_FLOAT_EQ(second->positions[0], 0.25f);
    EXPECT_EQ(first->hasList, 0) << "only the scene loader compiles lists";
    EXPECT_NE(first->vao, 0u);
    EXPECT_NE(out.find("obj pillar_x faces 1\n"), std::string::npos);
}

// A square of two triangles, compiled under a program of the caller, drawn by its list.
TEST_F(SceneFileGl, ACompiledListDrawsTheModel)
{
    Model model;
    allocModelVertexArrays(model, 2);
    model.positions = {-0.5f, -0.5f, 0, 0.5f, -0.5f, 0, 0.5f, 0.5f, 0, -0.5f, -0.5f, 0, 0.5f, 0.5f, 0, -0.5f, 0.5f, 0};
    const char* vertex = "#version 330 compatibility\nvoid main() { gl_Position = ftransform(); }\n";
    const char* fragment = "#version 330 compatibility\nvoid main() { gl_FragColor = vec4(1.0); }\n";
    std::string log;
    GLuint program = drawtest::buildProgram(vertex, fragment, &log);
    ASSERT_NE(program, 0u) << log;
    glTranslatef(3, 4, 5);
    compileModelDisplayList(model, program);
    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(static_cast<GLuint>(current), program) << "the caller's program stays current";
    float matrix[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    EXPECT_EQ(matrix[12], 0.0f) << "the current matrix is the identity";
    EXPECT_EQ(model.hasList, 1);
    glUseProgram(0);
    glDeleteProgram(program);

    pushWindowView();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor4f(1, 0.5f, 0, 1);
    glCallList(model.listId);
    glColor4f(1, 1, 1, 1);
    std::vector<uint8_t> inside = readPixelsRgba(960, 540, 1, 1);
    std::vector<uint8_t> outside = readPixelsRgba(100, 100, 1, 1);
    popMatrices();
    EXPECT_EQ(inside[0], 255);
    EXPECT_NEAR(inside[1], 128, 1);
    EXPECT_EQ(inside[2], 0);
    EXPECT_EQ(outside[0] + outside[1] + outside[2], 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// The scene the game loads, as the generator wrote it.
TEST_F(SceneFileGl, GeneratedBackgroundLoadsWithItsThreeSets)
{
    ModelList* list = load("background1.scene");
    ASSERT_NE(list, nullptr);
    ASSERT_GE(list->count, 3u);
    std::set<std::string> keys;
    for (uint32_t i = 0; i < list->count; ++i) {
        const Model& model = *list->items[i];
        keys.insert(textureSets[model.textureSet].name);
        EXPECT_GT(model.triangleCount, 0);
        EXPECT_EQ(model.hasList, 1);
        float lowest = 1e9f;
        for (size_t v = 2; v < model.positions.size(); v += 3)
            lowest = std::min(lowest, model.positions[v]);
        EXPECT_NEAR(lowest, 0.0f, 1e-6f) << "model " << i << " stands on the ground";
    }
    EXPECT_EQ(keys, (std::set<std::string>{"hill", "pillar", "rock"}));
}

} // namespace
