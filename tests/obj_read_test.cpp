#include "gfx/obj_model.h"
#include "gfx/obj_read.h"

#include "obj_test_support.h"
#include "program_runner.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Triples = std::vector<std::vector<uint32_t>>;

const std::string THREE_VERTICES = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";
const std::string FIVE_VERTICES = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv -1 1 0\n";

std::string manyVertices(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "v " + std::to_string(i) + " 0 0\n";
    return text;
}

struct AcceptedCase {
    const char* what;
    std::string obj;
    std::string mtl; // served as models/box.mtl when not empty
    std::function<void(const ObjModel&, ObjFixture&)> check;
    ObjLoadProgress* progress = nullptr;
};

std::vector<std::pair<int, std::string>> progressCalls;

ObjLoadProgress* recordingProgress()
{
    static ObjLoadProgress progress;
    progress.callback = [](int percent, const char* text) { progressCalls.push_back({percent, text}); };
    progress.from = 0;
    progress.to = 100;
    progress.label = "ship";
    return &progress;
}

TEST(ObjRead, AcceptedFiles)
{
    const std::string rockMaterials = "newmtl rock\nKd 0.1 0.2 0.3\nmap_Kd rock.tga\n"
                                      "newmtl rock2\nmap_Kd rock.tga\nmap_Ks shine.tga\n";
    AcceptedCase cases[] = {
        {"a quad gives two triangles, a pentagon three, as fans from the first corner",
         FIVE_VERTICES + "f 1 2 3 4\nf 1 2 3 4 5\n", "",
         [](const ObjModel& m, ObjFixture&) {
             EXPECT_EQ(cornerTriples(m), (Triples{{1, 0, 0, 2, 0, 0, 3, 0, 0},
                                                  {1, 0, 0, 3, 0, 0, 4, 0, 0},
                                                  {1, 0, 0, 2, 0, 0, 3, 0, 0},
                                                  {1, 0, 0, 3, 0, 0, 4, 0, 0},
                                                  {1, 0, 0, 4, 0, 0, 5, 0, 0}}));
         }},
        {"the corner forms v/t/n, v//n, v/t and v",
         THREE_VERTICES + "vt 0 0\nvt 1 0\nvt 0 1\nvn 0 0 1\nvn 0 1 0\nvn 1 0 0\n"
                          "f 1/2/3 2/3/1 3/1/2\nf 1//3 2//2 3//1\nf 1/2 2/3 3/1\nf 3 2 1\n",
         "",
         [](const ObjModel& m, ObjFixture&) {
             EXPECT_EQ(cornerTriples(m), (Triples{{1, 2, 3, 2, 3, 1, 3, 1, 2},
                                                  {1, 0, 3, 2, 0, 2, 3, 0, 1},
                                                  {1, 2, 0, 2, 3, 0, 3, 1, 0},
                                                  {3, 0, 0, 2, 0, 0, 1, 0, 0}}));
         }},
        {"corners are read while they match the first corner's form",
         FIVE_VERTICES + "vt 0 0\nvn 0 0 1\nf 1/1/1 2/1/1 3/1/1 4 5\n", "",
         [](const ObjModel& m, ObjFixture&) { EXPECT_EQ(m.numtriangles, 1u); }},
        {"faces may use vertices defined further down", "f 1 2 3\n" + THREE_VERTICES, "",
         [](const ObjModel& m, ObjFixture&) {
             EXPECT_EQ(m.numtriangles, 1u);
             EXPECT_FLOAT_EQ(m.vertices[3 * 3 + 1], 1.0f);
         }},
        {"faces before any g line are in the group default; g keeps the blank before its name",
         THREE_VERTICES + "f 1 2 3\ng body\nf 3 2 1\nf 1 3 2\ng default\nf 2 1 3\n", "",
         [](const ObjModel& m, ObjFixture&) {
             EXPECT_EQ(groupNames(m), (std::vector<std::string>{" default", " body", "default"}));
             const ObjGroup* body = m.groups->next;
             EXPECT_EQ(body->triangles, (std::vector<uint32_t>{1, 2}));
             EXPECT_EQ(m.groups->next->next->triangles, (std::vector<uint32_t>{0}));
             EXPECT_EQ(m.groups->triangles, (std::vector<uint32_t>{3}));
         }},
        {"an empty g line names a group with the empty name", THREE_VERTICES + "g\nf 1 2 3\n", "",
         [](const ObjModel& m, ObjFixture&) {
             EXPECT_EQ(groupNames(m), (std::vector<std::string>{"", "default"}));
             EXPECT_EQ(m.groups->numtriangles, 1u);
         }},
        {"numbers with exponents", "v 1e2 -2.5E-1 3.0e+0\nvt 5e-1 1E0\nvn 0 0 -1e0\n", "",
         [](const ObjModel& m, ObjFixture&) {
             EXPECT_FLOAT_EQ(m.vertices[3], 100.0f);
             EXPECT_FLOAT_EQ(m.vertices[4], -0.25f);
             EXPECT_FLOAT_EQ(m.vertices[5], 3.0f);
             EXPECT_FLOAT_EQ(m.texcoords[2], 0.5f);
             EXPECT_FLOAT_EQ(m.normals[5], -1.0f);
         }},
        {"a model without a material library has the default material",
         THREE_VERTICES + "usemtl default\nf 1 2 3\n", "",
         [](const ObjModel& m, ObjFixture& f) {
             ASSERT_EQ(m.nummaterials, 1u);
             EXPECT_EQ(m.materials[0].name, "default");
             EXPECT_FLOAT_EQ(m.materials[0].diffuse[0], 0.8f);
             EXPECT_FLOAT_EQ(m.materials[0].specular[3], 1.0f);
             EXPECT_FLOAT_EQ(m.materials[0].shininess, 65.0f);
             EXPECT_EQ(m.materials[0].diffuseMap, -1);
             EXPECT_TRUE(m.mtllibname.empty());
             EXPECT_EQ(f.printed, "");
         }},
        {"two newmtl statements give three materials; Kd and Ns",
         "mtllib box.mtl\n" + THREE_VERTICES,
         "Kd 0.5 0.5 0.5\nnewmtl red\nKd 1 0 0\nKa 0.1 0.2 0.3\nKs 0 0.5 0\nNs 500\nKe 9 9 9\n"
         "newmtl blue\nNi 1.5 Kd 7 7 7\nKd 0 0 1\n",
         [](const ObjModel& m, ObjFixture&) {
             ASSERT_EQ(m.nummaterials, 3u);
             EXPECT_EQ(m.mtllibname, "box.mtl");
             EXPECT_EQ(m.materials[0].name, "default");
             EXPECT_FLOAT_EQ(m.materials[0].diffuse[0], 0.5f) << "lines before newmtl set the default";
             EXPECT_EQ(m.materials[1].name, "red");
             EXPECT_FLOAT_EQ(m.materials[1].diffuse[0], 1.0f);
             EXPECT_FLOAT_EQ(m.materials[1].ambient[2], 0.3f);
             EXPECT_FLOAT_EQ(m.materials[1].specular[1], 0.5f);
             EXPECT_FLOAT_EQ(m.materials[1].shininess, 64.0f);
             EXPECT_FLOAT_EQ(m.materials[1].emissive[0], 0.0f) << "Ke is not read";
             EXPECT_EQ(m.materials[2].name, "blue");
             EXPECT_FLOAT_EQ(m.materials[2].diffuse[0], 0.0f) << "an Ni line is consumed whole";
             EXPECT_FLOAT_EQ(m.materials[2].diffuse[2], 1.0f);
             EXPECT_EQ(m.materials[2].diffuseMap, -1);
             EXPECT_EQ(m.materials[2].normalMap, -1);
         }},
        {"usemtl sets the current group's material; an unknown name gives material 0",
         "mtllib box.mtl\n" + THREE_VERTICES + "g a\nusemtl blue\nf 1 2 3\ng b\nusemtl nosuch\nf 1 2 3\ng c\nf 1 2 3\n",
         "newmtl red\nnewmtl blue\n",
         [](const ObjModel& m, ObjFixture& f) {
             EXPECT_EQ(groupNames(m), (std::vector<std::string>{" c", " b", " a", "default"}));
             EXPECT_EQ(m.groups->material, 0);
             EXPECT_EQ(m.groups->next->material, 0);
             EXPECT_EQ(m.groups->next->next->material, 2);
             EXPECT_NE(f.printed.find("objFindMaterial():  can't find material \"nosuch\".\n"), std::string::npos)
                 << f.printed;
         }},
        {"map_Kd adds the map and its three companions once; other maps add none",
         "mtllib box.mtl\n" + THREE_VERTICES, rockMaterials,
         [](const ObjModel& m, ObjFixture& f) {
             ASSERT_EQ(m.numtextures, 4u);
             const char* names[] = {"rock.tga", "rock_normal.tga", "rock_chraber.tga", "rock_specular.tga"};
             for (int i = 0; i < 4; ++i) {
                 EXPECT_EQ(m.textures[i].name, names[i]);
                 EXPECT_EQ(f.texturePaths[i], std::string("models/") + names[i]);
                 EXPECT_EQ(m.textures[i].id, 101u + i);
                 EXPECT_FLOAT_EQ(m.textures[i].width, 64.0f);
             }
             for (int k = 1; k <= 2; ++k) {
                 EXPECT_EQ(m.materials[k].diffuseMap, 0);
                 EXPECT_EQ(m.materials[k].normalMap, 1);
                 EXPECT_EQ(m.materials[k].chraberMap, 2);
                 EXPECT_EQ(m.materials[k].specularMap, 3);
             }
             EXPECT_NE(f.printed.find("- rock.tga- rock_normal.tga-\n- rock_chraber.tga-\n- rock_specular.tga-\n"),
                       std::string::npos)
                 << f.printed;
             EXPECT_NE(f.printed.find("- shine_normal.tga-"), std::string::npos) << f.printed;
         }},
        {"vertex progress after every 200 vertices, texture progress per texture",
         "mtllib box.mtl\n" + manyVertices(1000), "newmtl rock\nmap_Kd rock.tga\n",
         [](const ObjModel& m, ObjFixture&) {
             EXPECT_EQ(m.numvertices, 1000u);
             std::vector<std::pair<int, std::string>> expected = {
                 {0, "Loading Textures ( rock.tga )..."},     {6, "Loading Textures ( rock_normal.tga )..."},
                 {12, "Loading Textures ( rock_chraber.tga )..."}, {18, "Loading Textures ( rock_specular.tga )..."},
                 {44, "ship (default )... "},                 {58, "ship (default )... "},
                 {72, "ship (default )... "},                 {86, "ship (default )... "},
                 {100, "ship (default )... "},
             };
             EXPECT_EQ(progressCalls, expected);
         },
         recordingProgress()},
        {"no vertex progress below 200 vertices", manyVertices(199), "",
         [](const ObjModel& m, ObjFixture&) {
             EXPECT_EQ(m.numvertices, 199u);
             EXPECT_TRUE(progressCalls.empty());
         },
         recordingProgress()},
        {"the k-th triangle gets tangent entries 3k, 3k + 1, 3k + 2",
         THREE_VERTICES + "vt 0 0\nvt 1 0\nvt 0 1\nvn 0 0 1\ng a\nf 1/1/1 2/2/1 3/3/1\ng b\nf 1/1/1 2/2/1 3/3/1\n", "",
         [](const ObjModel& m, ObjFixture&) {
             // Groups are walked latest first: b's triangle (1) comes first.
             EXPECT_EQ(m.triangles[1].tangentIndices[0], 0u);
             EXPECT_EQ(m.triangles[0].tangentIndices[2], 5u);
             EXPECT_EQ(m.tangents.size(), 9u * 3);
             EXPECT_FLOAT_EQ(m.tangents[0], 1.0f);
         }},
    };
    for (AcceptedCase& c : cases) {
        ObjFixture fixture;
        if (!c.mtl.empty())
            fixture.files["models/box.mtl"] = c.mtl;
        progressCalls.clear();
        std::unique_ptr<ObjModel> model = fixture.read(c.obj, "models/box.obj", c.progress);
        ASSERT_TRUE(model) << c.what << ": " << fixture.error.message;
        SCOPED_TRACE(c.what);
        EXPECT_EQ(model->pathname, "models/box.obj");
        EXPECT_EQ(fixture.counted.triangles, model->numtriangles);
        EXPECT_EQ(fixture.counted.vertices, model->numvertices);
        c.check(*model, fixture);
    }
}

TEST(ObjRead, RefusedFilesSayWhyAndKeepNothing)
{
    struct Case {
        const char* what;
        std::string obj;
        std::string message;
        bool onStdout;
    } cases[] = {
        {"a vp statement", THREE_VERTICES + "vp 1 2\n", "objFirstPass(): Unknown token \"vp\".\n", true},
        {"vertex index 0", THREE_VERTICES + "f 0 1 2\n", "models/box.obj:4: expected a vertex index from 1 to 3, found 0\n",
         false},
        {"vertex index past the count", THREE_VERTICES + "f 1 2 4\n",
         "models/box.obj:4: expected a vertex index from 1 to 3, found 4\n", false},
        {"relative vertex index", THREE_VERTICES + "f -1 -2 -3\n",
         "models/box.obj:4: expected a vertex index from 1 to 3, found -1\n", false},
        {"normal index past the count", THREE_VERTICES + "vn 0 0 1\nf 1//1 2//2 3//1\n",
         "models/box.obj:5: expected a normal index from 1 to 1, found 2\n", false},
        {"texture coordinate index without any", THREE_VERTICES + "f 1/1 2/1 3/1\n",
         "models/box.obj:4: expected a texture coordinate index from 1 to 0, found 1\n", false},
        {"a face of two corners", THREE_VERTICES + "f 1 2\n",
         "models/box.obj:4: expected a face of 3 or more corners, found 2\n", false},
        {"a face without corners", THREE_VERTICES + "f x y z\n",
         "models/box.obj:4: expected a face of 3 or more corners, found 0\n", false},
        {"a missing material library", "mtllib nope.mtl\n" + THREE_VERTICES,
         "objReadMTL() failed: can't open material file \"models/nope.mtl\".\n", false},
    };
    for (const Case& c : cases) {
        ObjFixture fixture;
        std::unique_ptr<ObjModel> model = fixture.read(c.obj);
        EXPECT_FALSE(model) << c.what;
        EXPECT_EQ(fixture.error.message, c.message) << c.what;
        EXPECT_EQ(fixture.error.onStdout, c.onStdout) << c.what;
    }
}

TEST(ObjRead, LineEndingsDoNotChangeTheRecords)
{
    const std::string obj = "# box\nmtllib box.mtl\n" + FIVE_VERTICES +
                            "vt 0 0\nvt 1 1\nvn 0 0 1\ng lid top\nusemtl rock\nf 1/1/1 2/2/1 3/1/1 4/2/1\ng side\nf 1//1 "
                            "3//1 5//1\nusemtl rock";
    const std::string mtl = "newmtl rock\nKd 1 0.5 0\nmap_Kd rock.tga";
    auto withCrlf = [](const std::string& text) {
        std::string out;
        for (char c : text)
            out += c == '\n' ? std::string("\r\n") : std::string(1, c);
        return out;
    };
    struct Variant {
        const char* what;
        std::string obj;
        std::string mtl;
    } variants[] = {
        {"LF", obj + "\n", mtl + "\n"},
        {"CRLF", withCrlf(obj + "\n"), withCrlf(mtl + "\n")},
        {"no final line end", obj, mtl},
    };
    ObjFixture reference;
    reference.files["models/box.mtl"] = variants[0].mtl;
    std::unique_ptr<ObjModel> expected = reference.read(variants[0].obj);
    ASSERT_TRUE(expected) << reference.error.message;
    EXPECT_EQ(groupNames(*expected), (std::vector<std::string>{" side", " lid top", "default"}));
    for (const Variant& v : variants) {
        ObjFixture fixture;
        fixture.files["models/box.mtl"] = v.mtl;
        std::unique_ptr<ObjModel> model = fixture.read(v.obj);
        ASSERT_TRUE(model) << v.what << ": " << fixture.error.message;
        EXPECT_EQ(groupNames(*model), groupNames(*expected)) << v.what;
        EXPECT_EQ(cornerTriples(*model), cornerTriples(*expected)) << v.what;
        EXPECT_EQ(model->vertices, expected->vertices) << v.what;
        EXPECT_EQ(model->texcoords, expected->texcoords) << v.what;
        EXPECT_EQ(model->mtllibname, "box.mtl") << v.what;
        ASSERT_EQ(model->nummaterials, 2u) << v.what;
        EXPECT_EQ(model->materials[1].name, "rock") << v.what;
        EXPECT_EQ(model->groups->material, 1) << v.what;
        EXPECT_EQ(fixture.texturePaths, reference.texturePaths) << v.what;
        ASSERT_EQ(model->numtextures, 4u) << v.what;
        EXPECT_EQ(model->textures[3].name, "rock_specular.tga") << v.what;
    }
}

// A statement's line is one statement however long, so both passes see the same statements.
TEST(ObjRead, LongLinesAreOneStatement)
{
    std::string longName(5000, 'n');
    std::string obj = "mtllib other.mtl box.mtl" + std::string(200, ' ') + "v 9 9 9\n" + THREE_VERTICES + "g " + longName +
                      " v 1 2 3\nusemtl " + std::string(300, 'u') + " f 1 2 3\n#" + std::string(100000, ' ') +
                      "v 1 1 1\nf";
    for (int i = 0; i < 3000; ++i)
        obj += " " + std::to_string(i % 3 + 1);
    obj += "\n";
    ObjFixture fixture;
    fixture.files["models/box.mtl"] = "newmtl a\n";
    std::unique_ptr<ObjModel> model = fixture.read(obj);
    ASSERT_TRUE(model) << fixture.error.message;
    EXPECT_EQ(model->numvertices, 3u);
    EXPECT_EQ(model->numtriangles, 2998u);
    EXPECT_EQ(model->groups->name, " " + longName + " v 1 2 3");
    EXPECT_EQ(model->groups->numtriangles, 2998u);
    EXPECT_EQ(model->mtllibname, "box.mtl") << "the second word of the name line wins";
}

// Exported files, counted from their own text.
struct TextCounts {
    uint32_t vertices = 0, normals = 0, texcoords = 0, triangles = 0, groups = 0, materials = 1;
};

TextCounts countText(const std::string& obj, const std::string& mtl)
{
    TextCounts counts;
    std::set<std::string> groups = {"default"};
    std::istringstream lines(obj);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string word;
        words >> word;
        if (word == "v")
            ++counts.vertices;
        else if (word == "vn")
            ++counts.normals;
        else if (word == "vt")
            ++counts.texcoords;
        else if (word == "g")
            groups.insert(line.substr(1));
        else if (word == "f") {
            int corners = 0;
            while (words >> word)
                ++corners;
            counts.triangles += static_cast<uint32_t>(corners - 2);
        }
    }
    counts.groups = static_cast<uint32_t>(groups.size());
    std::istringstream mtlLines(mtl);
    while (std::getline(mtlLines, line))
        if (line.rfind("newmtl", 0) == 0)
            ++counts.materials;
    return counts;
}

// Files in the layout modelling tools export: header comments, object and smoothing lines the
// reader skips, materials bound per group, faces with and without texture indices. Each keeps
// the counts its own text declares.
TEST(ObjRead, ExportedModelsKeepTheCountsOfTheirText)
{
    std::filesystem::path folder = scratchPath("obj-exported");
    std::filesystem::create_directories(folder);
    struct Case {
        const char* name;
        std::string obj;
        std::string mtl;
    } cases[] = {
        {"two", "# exported by a modelling tool\nmtllib two.mtl\no two\n" + FIVE_VERTICES +
                    "vt 0.000000 0.000000\nvt 1.000000 0.000000\nvt 1.000000 1.000000\n"
                    "vn 0.0000 0.0000 1.0000\nvn 0.0000 1.0000 0.0000\n"
                    "g front\nusemtl red\ns 1\nf 1/1/1 2/2/1 3/3/1 4/1/1\nf 1/1/1 4/1/1 5/2/1\n"
                    "g side\nusemtl blue\ns off\nf 1/1/2 2/2/2 5/3/2\n",
         "# two materials\nnewmtl red\nNs 96.0\nKa 0 0 0\nKd 1 0 0\nKs 0.5 0.5 0.5\nd 1.0\nillum 2\nmap_Kd red.tga\n"
         "\nnewmtl blue\nKd 0 0 1\n"},
        {"ring", "# ring of three faces\nmtllib ring.mtl\no ring\nv 0 0 0\nv 2 0 0\nv 2 2 0\nv 0 2 0\nv 1 1 1\nv 1 3 1\n"
                 "vn 0 0 1\ng ring_mesh\nusemtl ring_mat\nf 1//1 2//1 3//1 4//1\nf 1//1 2//1 5//1\nf 4//1 3//1 6//1\n",
         "newmtl ring_mat\nKd 0.6 0.6 0.6\n"},
    };
    for (const Case& c : cases) {
        std::string path = (folder / (std::string(c.name) + ".obj")).string();
        ObjFixture fixture;
        fixture.files[(folder / (std::string(c.name) + ".mtl")).string()] = c.mtl;
        std::unique_ptr<ObjModel> model = fixture.read(c.obj, path.c_str());
        ASSERT_TRUE(model) << c.name << ": " << fixture.error.message;
        TextCounts counts = countText(c.obj, c.mtl);
        EXPECT_GT(counts.triangles, 0u) << c.name;
        EXPECT_EQ(model->numvertices, counts.vertices) << c.name;
        EXPECT_EQ(model->numnormals, counts.normals) << c.name;
        EXPECT_EQ(model->numtexcoords, counts.texcoords) << c.name;
        EXPECT_EQ(model->numtriangles, counts.triangles) << c.name;
        EXPECT_EQ(model->numgroups, counts.groups) << c.name;
        EXPECT_EQ(model->nummaterials, counts.materials) << c.name;
    }
    std::filesystem::remove_all(folder);
}

TEST(ObjRead, EntryPointsEndTheProgramOnRefusal)
{
    std::filesystem::path folder = scratchPath("obj-entry");
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "vp.obj") << "vp 1 2 3\n";
    std::ofstream(folder / "face.obj") << THREE_VERTICES << "f 1 2 7\n";
    std::ofstream(folder / "lib.obj") << "mtllib gone.mtl\n";
    std::string dir = folder.string() + "/";
    EXPECT_EXIT(objReadOBJPath((dir + "none.obj").c_str()), testing::ExitedWithCode(1),
                "objReadOBJ\\(\\) failed: can't open data file \".*none.obj\".");
    EXPECT_EXIT(objReadOBJPath((dir + "vp.obj").c_str()), testing::ExitedWithCode(1), "");
    EXPECT_EXIT(objReadOBJPath((dir + "face.obj").c_str()), testing::ExitedWithCode(1),
                "face.obj:4: expected a vertex index from 1 to 3, found 7");
    EXPECT_EXIT(objReadOBJPath((dir + "lib.obj").c_str()), testing::ExitedWithCode(1),
                "objReadMTL\\(\\) failed: can't open material file \".*gone.mtl\".");
    std::filesystem::remove_all(folder);
}

} // namespace
