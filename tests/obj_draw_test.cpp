#include "gfx/obj_draw.h"
#include "gfx/obj_ops.h"
#include "gfx/obj_read.h"
#include "gfx/shaders.h"

#include "gl_test_context.h"
#include "tga_test_files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

namespace {

const int VIEW = 64; // the corner of the window the cases draw into

// A quad over most of the view, two triangles with texture coordinates and a normal.
const char* const QUAD_OBJ = "mtllib quad.mtl\n"
                             "v -0.8 -0.8 0\nv 0.8 -0.8 0\nv 0.8 0.8 0\nv -0.8 0.8 0\n"
                             "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nvn 0 0 1\n"
                             "usemtl rock\nf 1/1/1 2/2/1 3/3/1 4/4/1\n";

struct Rgb {
    int r, g, b;
};

Rgb pixelAt(int x, int y)
{
    std::vector<uint8_t> p = readPixelsRgba(x, y, 1, 1);
    return {p[0], p[1], p[2]};
}

void expectNear(Rgb actual, Rgb expected, const std::string& what, int tolerance = 2)
{
    EXPECT_NEAR(actual.r, expected.r, tolerance) << what;
    EXPECT_NEAR(actual.g, expected.g, tolerance) << what;
    EXPECT_NEAR(actual.b, expected.b, tolerance) << what;
}

// Each case draws into the bottom-left corner with an identity camera, no depth test and
// light 0 as a pure white ambient light, so a lit surface shows its base colour unchanged.
struct ObjDrawScene {
    float lightsOn[OBJ_LIGHT_COUNT] = {1.0f};
    float zeros[OBJ_LIGHT_COUNT] = {};
    std::unique_ptr<ScopedDataFolder> folder;

    ObjDrawScene()
    {
        if (!glTestContext().ready)
            return;
        if (!defaultShaderProgram)
            loadDefaultShaderProgram(); // from the run directory's data folder
        folder = std::make_unique<ScopedDataFolder>();
        glViewport(0, 0, VIEW, VIEW);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glDisable(GL_BLEND);
        glDisable(GL_LIGHTING);
        glColor4f(1, 1, 1, 1);
        const float white[4] = {1, 1, 1, 1};
        const float black[4] = {0, 0, 0, 1};
        const float overhead[4] = {0, 0, 1, 0};
        glLightfv(GL_LIGHT0, GL_AMBIENT, white);
        glLightfv(GL_LIGHT0, GL_DIFFUSE, black);
        glLightfv(GL_LIGHT0, GL_SPECULAR, black);
        glLightfv(GL_LIGHT0, GL_POSITION, overhead);
        objLightSwitches.enabled = lightsOn;
        objLightSwitches.invRadius = zeros;
        objLightSwitches.mapSelect = zeros;
    }
    ~ObjDrawScene()
    {
        objLightSwitches = ObjLightSwitches();
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        glDepthMask(GL_TRUE);
        glDisable(GL_BLEND);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_LIGHTING);
        for (int unit = 3; unit >= 0; --unit) {
            glActiveTexture(GL_TEXTURE0 + unit);
            glBindTexture(GL_TEXTURE_2D, 0);
        }
        glViewport(0, 0, 1920, 1080);
    }
    void write(const std::string& name, const TgaBytes& bytes) const { ASSERT_TRUE(folder->write(name, bytes)); }
    void writeText(const std::string& name, const std::string& text) const
    {
        std::ofstream(folder->root / name) << text;
    }
    // The quad with a rock material whose four maps are solid colours.
    ObjModel* rockQuad(const std::string& materialLines = "newmtl rock\nmap_Kd rock.tga\n")
    {
        write("rock.tga", solidTga(200, 40, 10));
        write("rock_normal.tga", solidTga(128, 128, 255));
        write("rock_chraber.tga", solidTga(255, 255, 255));
        write("rock_specular.tga", solidTga(0, 0, 0));
        writeText("quad.mtl", materialLines);
        writeText("quad.obj", QUAD_OBJ);
        testing::internal::CaptureStdout();
        ObjModel* model = objReadOBJPath("quad.obj");
        testing::internal::GetCapturedStdout();
        return model;
    }
    void clear(float grey)
    {
        glClearColor(grey, grey, grey, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
};

GLint boundTexture(int unit)
{
    glActiveTexture(GL_TEXTURE0 + unit);
    GLint texture = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
    glActiveTexture(GL_TEXTURE0);
    return texture;
}

TEST(ObjDraw, TexturedModelBindsItsFourMapsAndShowsTheBaseColour)
{
    REQUIRE_GL_CONTEXT();
    ObjDrawScene scene;
    ASSERT_NE(defaultShaderProgram, 0u) << "the default program from the run directory's data folder";
    std::unique_ptr<ObjModel, void (*)(ObjModel*)> model(scene.rockQuad(), objFreeModel);
    scene.clear(0.0f);
    objDrawAll(*model, OBJ_SMOOTH | OBJ_TEXTURE | OBJ_MATERIAL);

    const ObjMaterial& rock = model->materials[1];
    const int32_t maps[4] = {rock.diffuseMap, rock.normalMap, rock.chraberMap, rock.specularMap};
    const char* names[4] = {"rock.tga", "rock_normal.tga", "rock_chraber.tga", "rock_specular.tga"};
    for (int unit = 0; unit < 4; ++unit) {
        ASSERT_GE(maps[unit], 0);
        EXPECT_EQ(model->textures[maps[unit]].name, names[unit]);
        EXPECT_NE(model->textures[maps[unit]].id, 0u);
        EXPECT_EQ(boundTexture(unit), static_cast<GLint>(model->textures[maps[unit]].id)) << "unit " << unit;
    }
    expectNear(pixelAt(VIEW / 2, VIEW / 2), {200, 40, 10}, "the base map's colour");
    expectNear(pixelAt(1, 1), {0, 0, 0}, "outside the quad");
    EXPECT_EQ(currentShaderProgram, 0) << "no program current after the draw";

    // Without a diffuse map the group draws untextured and without the program.
    std::unique_ptr<ObjModel, void (*)(ObjModel*)> plain(scene.rockQuad("newmtl rock\nKd 1 1 1\n"), objFreeModel);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, model->textures[0].id);
    scene.clear(0.0f);
    objDrawAll(*plain, OBJ_SMOOTH | OBJ_TEXTURE);
    EXPECT_EQ(boundTexture(0), 0);
    expectNear(pixelAt(VIEW / 2, VIEW / 2), {255, 255, 255}, "fixed function with the current colour");
}

TEST(ObjDraw, AdditiveWireframeAndListDraws)
{
    REQUIRE_GL_CONTEXT();
    ObjDrawScene scene;
    std::unique_ptr<ObjModel, void (*)(ObjModel*)> model(scene.rockQuad(), objFreeModel);

    // Additive: the base map's colour on top of what is there.
    scene.clear(0.2f);
    glColor4f(1, 1, 1, 1);
    objDrawAdditive(*model, OBJ_SLOT_MODE);
    expectNear(pixelAt(VIEW / 2, VIEW / 2), {51 + 200, 51 + 40, 51 + 10}, "background plus colour");
    expectNear(pixelAt(1, 1), {51, 51, 51}, "background alone");
    GLint source = 0;
    glGetIntegerv(GL_BLEND_SRC_ALPHA, &source);
    EXPECT_EQ(source, GL_SRC_ALPHA);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    glDisable(GL_BLEND);
    glDisable(GL_LIGHTING);

    // Wireframe: black lines on the edges and the diagonal, the inside untouched.
    scene.clear(1.0f);
    objDrawWireframe(*model, 0, nullptr);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    const int edge = static_cast<int>(0.1f * VIEW); // x = -0.8
    expectNear(pixelAt(edge, VIEW / 2), {0, 0, 0}, "left edge");
    expectNear(pixelAt(VIEW / 2, VIEW / 2), {0, 0, 0}, "the shared diagonal");
    expectNear(pixelAt(VIEW / 4, 3 * VIEW / 4 - 4), {255, 255, 255}, "inside a triangle");
    GLint polygonMode[2] = {};
    glGetIntegerv(GL_POLYGON_MODE, polygonMode);
    EXPECT_EQ(polygonMode[0], GL_FILL);

    // A display list draws the same pixels as the direct draw.
    scene.clear(0.0f);
    objDrawAll(*model, OBJ_SLOT_MODE);
    std::vector<uint8_t> direct = readPixelsRgba(0, 0, VIEW, VIEW);
    uint32_t list = objCompileList(*model, OBJ_SLOT_MODE);
    ASSERT_NE(list, 0u);
    scene.clear(0.0f);
    glCallList(list);
    EXPECT_EQ(readPixelsRgba(0, 0, VIEW, VIEW), direct);
    glDeleteLists(list, 1);

    // A triangle whose vertex index lies outside the array is skipped, the other still drawn.
    model->triangles[1].vindices[2] = 99;
    scene.clear(0.0f);
    objDrawAll(*model, OBJ_SLOT_MODE);
    expectNear(pixelAt(3 * VIEW / 4, VIEW / 4), {200, 40, 10}, "the whole triangle");
    expectNear(pixelAt(VIEW / 4, 3 * VIEW / 4), {0, 0, 0}, "the skipped one");
}

TEST(ObjDraw, TextureLoadingFallsBackByKind)
{
    REQUIRE_GL_CONTEXT();
    ObjDrawScene scene;
    scene.write("rock.tga", solidTga(1, 2, 3));
    scene.write("chraber.tga", joinBytes({tgaHeader(2, 4, 2, 32), patternPixels(8, 4)}));
    scene.write("specular.tga", joinBytes({tgaHeader(2, 2, 4, 32), patternPixels(8, 4)}));
    struct Case {
        const char* name;
        float width, height;
        const char* printed;
    } cases[] = {
        {"  rock.tga", 1, 1, ""},
        {"rock_specular.tga", 2, 4, "speculardefault loaded\n"},
        {"rock_normal.tga", 4, 2, "chraberdefault loaded\n"},
        {"rock_chraber.tga", 4, 2, "chraberdefault loaded\n"},
        {"gone.tga", 4, 2, "chraberdefault loaded\n"},
    };
    for (const Case& c : cases) {
        float width = -1;
        float height = -1;
        testing::internal::CaptureStdout();
        uint32_t texture = objLoadTexture(c.name, true, true, true, true, &width, &height);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.printed) << c.name;
        EXPECT_NE(texture, 0u) << c.name;
        EXPECT_EQ(width, c.width) << c.name;
        EXPECT_EQ(height, c.height) << c.name;
        glDeleteTextures(1, &texture);
    }

    // Neither the picture nor its default: texture 0, nothing uploaded.
    std::filesystem::remove(scene.folder->root / "data" / "specular.tga");
    float width = -1;
    float height = -1;
    testing::internal::CaptureStderr();
    EXPECT_EQ(objLoadTexture("gone_specular.tga", true, true, true, true, &width, &height), 0u);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Could not load texture gone_specular.tga!"),
              std::string::npos);
    EXPECT_EQ(width, 0.0f);
}

TEST(ObjDraw, TextureUploadSettings)
{
    REQUIRE_GL_CONTEXT();
    ObjDrawScene scene;
    scene.write("w30.tga", joinBytes({tgaHeader(2, 30, 2, 24), patternPixels(60, 3)}));
    scene.write("w32.tga", joinBytes({tgaHeader(2, 32, 2, 24), patternPixels(64, 3)}));
    struct Case {
        const char* name;
        bool repeat, linear, mipmap;
        GLint alignment, minFilter, magFilter, wrap;
    } cases[] = {
        {"w30.tga", true, true, true, 1, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, GL_REPEAT},
        {"w32.tga", true, true, true, 4, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, GL_REPEAT},
        {"w32.tga", false, true, false, 4, GL_LINEAR, GL_LINEAR, GL_CLAMP},
        {"w30.tga", false, false, true, 1, GL_NEAREST_MIPMAP_NEAREST, GL_NEAREST, GL_CLAMP},
        {"w30.tga", true, false, false, 1, GL_NEAREST, GL_NEAREST, GL_REPEAT},
    };
    for (const Case& c : cases) {
        float width = 0;
        float height = 0;
        uint32_t texture = objLoadTexture(c.name, false, c.repeat, c.linear, c.mipmap, &width, &height);
        ASSERT_NE(texture, 0u);
        GLint value = 0;
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &value);
        EXPECT_EQ(value, c.alignment) << c.name;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
        EXPECT_EQ(value, c.minFilter) << c.name;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
        EXPECT_EQ(value, c.magFilter) << c.name;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &value);
        EXPECT_EQ(value, c.wrap) << c.name;
        EXPECT_EQ(width, std::string(c.name) == "w30.tga" ? 30.0f : 32.0f) << "the picture's own width";
        glDeleteTextures(1, &texture);
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
}

TEST(ObjDraw, ModelSlots)
{
    REQUIRE_GL_CONTEXT();
    ObjDrawScene scene;
    ObjModel* loaded = scene.rockQuad();
    objFreeModel(loaded);
    static const char* const path = "quad.obj";
    testing::internal::CaptureStdout();
    loadObjSlot(path, 2);
    loadObjSlot(path, 3);
    testing::internal::GetCapturedStdout();
    ASSERT_NE(objSlots[2], nullptr);
    EXPECT_EQ(objSlots[3], nullptr) << "the same path pointer loads nothing";
    EXPECT_EQ(lastObjSlotPath, path);
    EXPECT_FLOAT_EQ(objSlots[2]->vertices[3], -5.0f) << "fitted into the unit box and scaled by 5";
    EXPECT_EQ(objSlots[2]->numfacetnorms, 2u);

    compileObjSlotLists(2, *objSlots[2]);
    EXPECT_EQ(objSlotListCounts[2], 1) << "one list per group";
    scene.clear(0.0f);
    objSlots[2]->vertices.assign(objSlots[2]->vertices.size(), 0.0f); // the lists hold their own copy
    drawObjSlotLists(2, *objSlots[2]);
    expectNear(pixelAt(VIEW / 2, VIEW / 2), {200, 40, 10}, "the slot's lists");
    EXPECT_EQ(currentShaderProgram, 0);
    drawObjSlot(5, 0); // an empty slot draws nothing

    for (int slot : {-1, OBJ_SLOT_CAPACITY}) {
        testing::internal::CaptureStderr();
        loadObjSlot("other.obj", slot);
        drawObjSlot(slot, 0);
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find("loadObjSlot(): slot " + std::to_string(slot) + " is outside the table"), std::string::npos)
            << err;
        EXPECT_NE(err.find("drawObjSlot(): slot " + std::to_string(slot)), std::string::npos) << err;
    }
    objFreeModel(objSlots[2]);
    objSlots[2] = nullptr;
    lastObjSlotPath = nullptr;
}

TEST(ObjDraw, SmallHelpers)
{
    const std::pair<int, int> angles[] = {{-1, 5759}, {5761, 1}, {5760, 5760}, {0, 0}, {-11520, 0}, {20000, 2720}};
    for (const auto& a : angles) {
        int angle = a.first;
        wrapAngleSixteenths(angle);
        EXPECT_EQ(angle, a.second) << a.first;
    }
    EXPECT_STREQ(objUnderscoreSuffix("rock_normal.tga"), "normal.tga");
    EXPECT_STREQ(objUnderscoreSuffix("_x"), "");
    EXPECT_STREQ(objUnderscoreSuffix("plain"), "");
}

} // namespace
