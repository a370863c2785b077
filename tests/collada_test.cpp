#include "gfx/collada.h"
#include "gfx/collada_read.h"
#include "gfx/model.h"
#include "gfx/textures.h"

#include "gl_test_context.h"
#include "program_runner.h"
#include "tga_test_files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string readText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Documents in a modelling tool's full export layout, made once per test process.
const std::filesystem::path& exporterDocuments()
{
    static std::filesystem::path folder;
    if (folder.empty()) {
        folder = scratchPath("collada-documents");
        std::string command = std::string("/usr/bin/python3 '") + SOURCE_DIR +
                              "/tests/producers/collada_documents.py' '" + folder.string() + "'";
        if (std::system(command.c_str()) != 0)
            ADD_FAILURE() << "could not write the exporter-layout documents: " << command;
    }
    return folder;
}

struct Parsed {
    ColladaResult result;
    ColladaMesh mesh;
    ColladaXmlError xmlError;
    std::string error;
};

Parsed parseText(const std::string& text, const char* name = "test.dae")
{
    Parsed parsed;
    parsed.result = parseCollada(text.data(), text.size(), name, parsed.mesh, parsed.xmlError, parsed.error);
    return parsed;
}

// A document of the subset with the given polylist inputs and corner list; sources are a
// right triangle (positions), two normals and three texture coordinates.
std::string subsetDocument(const std::string& inputs, const std::string& corners, const std::string& count = "1",
                           const std::string& sources = "")
{
    std::string standardSources =
        "<source id='pos'><float_array count='9'>0 0 0 1 0 0 0 1 0</float_array></source>"
        "<source id='nrm'><float_array count='6'>0 0 1 0 0 -1</float_array></source>"
        "<source id='uv'><float_array count='6'>0 0 1 0 0 1</float_array></source>";
    return "<?xml version='1.0'?><COLLADA><library_geometries><geometry name='tri'><mesh>" +
           (sources.empty() ? standardSources : sources) +
           "<vertices id='v'><input semantic='POSITION' source='#pos'/></vertices>"
           "<polylist count='" +
           count + "'>" + inputs + "<p>" + corners + "</p></polylist></mesh></geometry></library_geometries></COLLADA>";
}

const char* const ALL_INPUTS =
    "<input semantic='VERTEX' source='#v' offset='0'/><input semantic='NORMAL' source='#nrm' offset='1'/>"
    "<input semantic='TEXCOORD' source='#uv' offset='2'/>";
const char* const NO_UV_INPUTS =
    "<input semantic='VERTEX' source='#v' offset='0'/><input semantic='NORMAL' source='#nrm' offset='1'/>";

void expectFloats(const std::vector<float>& actual, const std::vector<float>& expected, const std::string& what)
{
    ASSERT_EQ(actual.size(), expected.size()) << what;
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_FLOAT_EQ(actual[i], expected[i]) << what << " element " << i;
}

TEST(ColladaRead, ExporterDocumentsLoadAlikeWhateverTheSeparators)
{
    struct Case {
        const char* document;
        const char* name;
        int stride;
        std::vector<float> positions; // per vertex, unscaled
        std::vector<float> normals;
        std::vector<float> texcoords;
    } cases[] = {
        {"offsets", "hull_main", 3,
         {0, 0, 0, 2, 0, 0, 0, 3, 0, 2, 0, 0, 2, 3, 0, 0, 3, 0},
         {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, -1, 0, 0, -1, 0, 0, -1},
         {0, 0, 1, 0, 0, 1, 1, 0, 1, 1, 0, 1}},
        {"no_texcoords", "plate", 2,
         {0, 0, 0, 2, 0, 0, 0, 3, 0, 2, 0, 0, 2, 3, 0, 0, 3, 0},
         {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, -1, 0, 0, -1, 0, 0, -1},
         std::vector<float>(12, 0.0f)},
    };
    for (const Case& c : cases) {
        for (const char* suffix : {"", "_newline", "_tab"}) {
            std::string label = std::string(c.document) + suffix;
            Parsed parsed = parseText(readText(exporterDocuments() / (label + ".dae")));
            ASSERT_EQ(parsed.result, ColladaResult::OK) << label << ": " << parsed.error;
            EXPECT_EQ(parsed.mesh.objectName, c.name) << label;
            EXPECT_EQ(parsed.mesh.triangleCount, 2) << label;
            EXPECT_EQ(parsed.mesh.stride, c.stride) << label;
            EXPECT_EQ(parsed.mesh.corners.size(), static_cast<size_t>(6 * c.stride)) << label;
            Model model;
            fillModelFromCollada(model, parsed.mesh);
            expectFloats(model.positions, c.positions, label + " positions");
            expectFloats(model.normals, c.normals, label + " normals");
            expectFloats(model.texcoords, c.texcoords, label + " texcoords");
            EXPECT_EQ(model.tangents.size(), 18u) << label;
            EXPECT_EQ(*model.animFlag, 0) << label;
        }
    }
}

TEST(ColladaRead, ExporterDocumentsOutsideTheSubsetAreRefused)
{
    struct Case {
        const char* document;
        const char* message;
    } cases[] = {
        // One index per corner where the fixed layout wants two.
        {"shared_offset", "expected 12 corner indices (2 triangles of 6) in the polylist's p, found 6"},
        {"quad", "expected polygons of 3 corners in the polylist, found \"4\""},
    };
    for (const Case& c : cases) {
        for (const char* suffix : {"", "_newline", "_tab"}) {
            std::string label = std::string(c.document) + suffix;
            Parsed parsed = parseText(readText(exporterDocuments() / (label + ".dae")), "doc.dae");
            EXPECT_EQ(parsed.result, ColladaResult::MALFORMED) << label;
            EXPECT_EQ(parsed.error, std::string("doc.dae: ") + c.message) << label;
            EXPECT_TRUE(parsed.mesh.corners.empty() && parsed.mesh.positions.empty()) << label << ": nothing kept";
        }
    }
}

TEST(ColladaRead, SubsetRules)
{
    // A source reference without '#' still loses its first character; the last input of a
    // semantic wins; other semantics are skipped.
    std::string noHash = subsetDocument("<input semantic='VERTEX' source='#v'/><input semantic='NORMAL' source='xnrm'/>",
                                        "0 0 1 1 2 0");
    Parsed parsed = parseText(noHash);
    ASSERT_EQ(parsed.result, ColladaResult::OK) << parsed.error;
    EXPECT_EQ(parsed.mesh.stride, 2);
    EXPECT_EQ(parsed.mesh.normals.size(), 6u);

    std::string lastWins = subsetDocument(
        "<input semantic='NORMAL' source='#pos'/><input semantic='NORMAL' source='#nrm'/>"
        "<input semantic='COLOR' source='#nope'/><input semantic='TEXCOORD' source='#uv'/>",
        "0 1 2 1 1 1 2 1 0");
    parsed = parseText(lastWins);
    ASSERT_EQ(parsed.result, ColladaResult::OK) << parsed.error;
    Model model;
    fillModelFromCollada(model, parsed.mesh);
    expectFloats(model.normals, {0, 0, -1, 0, 0, -1, 0, 0, -1}, "normals from the second NORMAL input");
    expectFloats(model.texcoords, {0, 1, 1, 0, 0, 0}, "texcoords by the third index");

    // Each source's count and stored floats are reported in document order; more numbers than
    // the count are left unread.
    std::string extra = subsetDocument(ALL_INPUTS, "0 0 0 1 0 1 2 0 2", "1",
                                       "<source id='uv'><float_array count='6'>0 0 1 0 0 1 7 7</float_array></source>"
                                       "<source id='nrm'><float_array count='3'>0 0 1</float_array></source>"
                                       "<source id='pos'><float_array count='9'>0 0 0 1 0 0 0 1 0</float_array></source>");
    parsed = parseText(extra);
    ASSERT_EQ(parsed.result, ColladaResult::OK) << parsed.error;
    ASSERT_EQ(parsed.mesh.sourcesRead.size(), 3u);
    EXPECT_EQ(parsed.mesh.sourcesRead[0].kind, ColladaSourceKind::TEXCOORDS);
    EXPECT_EQ(parsed.mesh.sourcesRead[0].declared, 6);
    EXPECT_EQ(parsed.mesh.sourcesRead[0].stored, 6);
    EXPECT_EQ(parsed.mesh.sourcesRead[1].kind, ColladaSourceKind::NORMALS);
    EXPECT_EQ(parsed.mesh.sourcesRead[2].kind, ColladaSourceKind::POSITIONS);

    // Counts may carry blanks around the number.
    parsed = parseText(subsetDocument(NO_UV_INPUTS, "0 0 1 0 2 0", " 1\t"));
    ASSERT_EQ(parsed.result, ColladaResult::OK) << parsed.error;
    EXPECT_EQ(parsed.mesh.triangleCount, 1);

    // No triangles at all is an empty model, not an error.
    parsed = parseText(subsetDocument(NO_UV_INPUTS, "", "0"));
    ASSERT_EQ(parsed.result, ColladaResult::OK) << parsed.error;
    EXPECT_EQ(parsed.mesh.triangleCount, 0);
}

TEST(ColladaRead, HostileDocumentsAreRefusedWithTheirFault)
{
    const std::string hugeSource = "<source id='nrm'><float_array count='2000000000'>0 0 1</float_array></source>"
                                   "<source id='pos'><float_array count='9'>0 0 0 1 0 0 0 1 0</float_array></source>";
    struct Case {
        const char* what;
        std::string document;
        const char* message; // after "test.dae: "
    } cases[] = {
        {"position index past the points", subsetDocument(NO_UV_INPUTS, "0 0 1 0 3 0"),
         "expected positions index from 0 to 2 at corner index 4, found 3"},
        {"negative normal index", subsetDocument(NO_UV_INPUTS, "0 0 1 -1 2 0"),
         "expected normals index from 0 to 1 at corner index 3, found -1"},
        {"texture coordinate index past the points", subsetDocument(ALL_INPUTS, "0 0 0 1 0 1 2 0 3"),
         "expected texture coordinates index from 0 to 2 at corner index 8, found 3"},
        {"no normal input", subsetDocument("<input semantic='VERTEX' source='#v'/>", "0 0 1 0 2 0"),
         "expected a source of normals with id \"\" in the first geometry's mesh, found none"},
        {"normal source not in the mesh", subsetDocument(NO_UV_INPUTS, "0 0 1 0 2 0", "1",
                                                         "<source id='pos'><float_array count='9'>0 0 0 1 0 0 0 1 "
                                                         "0</float_array></source>"),
         "expected a source of normals with id \"nrm\" in the first geometry's mesh, found none"},
        {"no position source", subsetDocument(NO_UV_INPUTS, "0 0 1 0 2 0", "1",
                                              "<source id='nrm'><float_array count='3'>0 0 1</float_array></source>"),
         "expected a source of positions with id \"pos\" in the first geometry's mesh, found none"},
        {"texture coordinate source missing", subsetDocument(ALL_INPUTS, "0 0 0 1 0 1 2 0 2", "1",
                                                             "<source id='pos'><float_array count='9'>0 0 0 1 0 0 0 "
                                                             "1 0</float_array></source><source id='nrm'><float_array "
                                                             "count='3'>0 0 1</float_array></source>"),
         "expected a source of texture coordinates with id \"uv\" in the first geometry's mesh, found none"},
        {"corner list shorter than the count", subsetDocument(NO_UV_INPUTS, "0 0 1 0 2 0", "2"),
         "expected 12 corner indices (2 triangles of 6) in the polylist's p, found 6"},
        {"triangle count over the cap", subsetDocument(NO_UV_INPUTS, "0 0 1 0 2 0", "1000000000"),
         "expected a polylist triangle count from 0 to 2796202, found \"1000000000\""},
        {"negative triangle count", subsetDocument(NO_UV_INPUTS, "0 0 1 0 2 0", "-1"),
         "expected a polylist triangle count from 0 to 2796202, found \"-1\""},
        {"count past 32 bits", subsetDocument(NO_UV_INPUTS, "0 0 1 0 2 0", "4294967299"),
         "expected a polylist triangle count from 0 to 2796202, found \"4294967299\""},
        {"float_array count over the cap", subsetDocument(NO_UV_INPUTS, "0 0 1 0 2 0", "1", hugeSource),
         "expected a float_array count from 0 to 16777216, found \"2000000000\""},
        {"float_array count above its numbers",
         subsetDocument(NO_UV_INPUTS, "0 0 1 0 2 0", "1",
                        "<source id='pos'><float_array count='12'>0 0 0 1 0 0 0 1 0</float_array></source>"
                        "<source id='nrm'><float_array count='3'>0 0 1</float_array></source>"),
         "expected 12 numbers in the positions of source \"pos\", found 9"},
        {"word among the floats",
         subsetDocument(NO_UV_INPUTS, "0 0 1 0 2 0", "1",
                        "<source id='pos'><float_array count='9'>0 0 0 1 zero 0 0 1 0</float_array></source>"
                        "<source id='nrm'><float_array count='3'>0 0 1</float_array></source>"),
         "expected numbers in the positions of source \"pos\", found \"zero\""},
        {"infinite float",
         subsetDocument(NO_UV_INPUTS, "0 0 1 0 2 0", "1",
                        "<source id='pos'><float_array count='9'>0 0 0 1 1e999 0 0 1 0</float_array></source>"
                        "<source id='nrm'><float_array count='3'>0 0 1</float_array></source>"),
         "expected numbers in the positions of source \"pos\", found \"1e999\""},
        {"fraction among the corners", subsetDocument(NO_UV_INPUTS, "0 0 1.5 0 2 0"),
         "expected integers in the polylist's p, found \"1.5\""},
        {"corner index past 32 bits", subsetDocument(NO_UV_INPUTS, "0 0 4294967296 0 2 0"),
         "expected integers in the polylist's p, found \"4294967296\""},
    };
    for (const Case& c : cases) {
        Parsed parsed = parseText(c.document);
        EXPECT_EQ(parsed.result, ColladaResult::MALFORMED) << c.what;
        EXPECT_EQ(parsed.error, std::string("test.dae: ") + c.message) << c.what;
        EXPECT_TRUE(parsed.mesh.corners.empty() && parsed.mesh.positions.empty() && parsed.mesh.normals.empty())
            << c.what << ": nothing half-read is kept";
    }
}

TEST(ColladaRead, XmlErrorsGiveTheThreeLineReportWithABoundedExcerpt)
{
    struct Case {
        const char* what;
        std::string text;
        int64_t offset;
        std::string excerpt;
    } cases[] = {
        {"unclosed element at the end of the text", "<COLLADA><library_geometries>", 28, ">"},
        {"mismatched end tag", "<COLLADA></COLLAD>", 11, "COLLAD>"},
        {"long text after the fault", "<COLLADA></COLLAD>" + std::string(60, 'x'), 11,
         "COLLAD>" + std::string(COLLADA_EXCERPT_CHARS - 7, 'x')},
        {"attribute cut off: the parser points one past the end", "<COLLADA c", 10, ""},
        {"control bytes in the excerpt", std::string("<a>\x01\x02</b>"), 7, "b>"},
    };
    for (const Case& c : cases) {
        Parsed parsed = parseText(c.text);
        ASSERT_EQ(parsed.result, ColladaResult::XML_ERROR) << c.what;
        EXPECT_EQ(parsed.xmlError.offset, c.offset) << c.what;
        EXPECT_EQ(parsed.xmlError.excerpt, c.excerpt) << c.what;
        EXPECT_FALSE(parsed.xmlError.description.empty()) << c.what;
    }
    ColladaXmlError xmlError{"Start-end tags mismatch", 11, "COLLAD>"};
    EXPECT_EQ(colladaXmlReport("data/x.dae", xmlError), "XML [data/x.dae] parsed with errors\n"
                                                        "Error description: Start-end tags mismatch\n"
                                                        "Error offset: 11 (error at [...COLLAD>]\n\n");
}

TEST(ColladaRead, ListParsersStopAtTheirCapacity)
{
    int32_t ints[3] = {-7, -7, -7};
    EXPECT_EQ(parseIntList("1\t2\n3 \r\n 4", ints, 2), 2);
    EXPECT_EQ(ints[0], 1);
    EXPECT_EQ(ints[1], 2);
    EXPECT_EQ(ints[2], -7) << "nothing written past the capacity";
    EXPECT_EQ(parseIntList("1 x 3", ints, 3), -1);
    float floats[2] = {};
    testing::internal::CaptureStdout();
    EXPECT_EQ(parseFloatList("0.5\n-2e1\t3", floats, 2), 2);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), " read 2 floats\n");
    EXPECT_FLOAT_EQ(floats[1], -20.0f);
}

// loadModel dispatches ".dae" to the loader, which names the texture set by the key and keeps
// the file's positions unscaled.
TEST(ColladaLoad, LoadsThroughTheDataFolderWithItsTextureSet)
{
    REQUIRE_GL_CONTEXT();
    std::string document = readText(exporterDocuments() / "offsets.dae");
    ScopedDataFolder folder;
    ASSERT_TRUE(folder.write("hull.tga", solidTga(200, 40, 10)));
    std::ofstream(folder.root / "data" / "hull.dae") << document;
    testing::internal::CaptureStdout();
    Model* model = loadModel("hull.dae");
    std::string out = testing::internal::GetCapturedStdout();
    ASSERT_NE(model, nullptr);
    EXPECT_STREQ(model->name, "hull");
    EXPECT_STREQ(textureSets[model->textureSet].name, "hull");
    EXPECT_EQ(model->triangleCount, 2);
    EXPECT_FLOAT_EQ(model->positions[7], 3.0f) << "unscaled";
    EXPECT_NE(model->vao, 0u);
    EXPECT_NE(out.find("facelist 18poscount 12 read 12 floats\nnormalcount 6 read 6 floats\n"
                       "uvcount 8 read 8 floats\nobj hull_main faces 2\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("hull.tga loaded\n"), std::string::npos) << out;
}

TEST(ColladaLoad, UnreadableOrBrokenDocumentsEndTheProgram)
{
    ScopedDataFolder folder;
    std::ofstream(folder.root / "data" / "broken.dae") << "<COLLADA><library_geometries>";
    std::ofstream(folder.root / "data" / "hostile.dae") << subsetDocument(NO_UV_INPUTS, "0 0 1 0 9 0");
    EXPECT_EXIT(loadModel("missing.dae"), testing::ExitedWithCode(1),
                "XML \\[data/missing.dae\\] parsed with errors\nError description: File was not found\n"
                "Error offset: 0 \\(error at \\[\\.\\.\\.\\]");
    EXPECT_EXIT(loadModel("broken.dae"), testing::ExitedWithCode(1),
                "XML \\[data/broken.dae\\] parsed with errors\nError description: .+\nError offset: 28 ");
    EXPECT_EXIT(loadModel("hostile.dae"), testing::ExitedWithCode(1),
                "data/hostile.dae: expected positions index from 0 to 2 at corner index 4, found 9");
}

} // namespace
