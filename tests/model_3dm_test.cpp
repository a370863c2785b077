#include "gfx/model.h"
#include "gfx/model_3dm.h"
#include "gfx/matrix_math.h"
#include "tools/common/model3dm_write.h"

#include "gl_test_context.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const char* const FILE_NAME = "fuzz.3dm";

// One triangle in the xy plane, u along x and v along y.
const char* const TRIANGLE_LINES[] = {
    "v 0 0 0", "n 0 0 1", "t 0 0", "v 1 0 0", "n 0 0 1", "t 1 0", "v 0 1 0", "n 0 0 1", "t 0 1",
};

std::vector<std::string> staticLines()
{
    std::vector<std::string> lines = {"o plate", "numfaces 1"};
    lines.insert(lines.end(), std::begin(TRIANGLE_LINES), std::end(TRIANGLE_LINES));
    return lines;
}

// Three frame slots of two bones: bind pose (lines 14-15), slots 0 and 1 (lines 16-19), and the
// weights from line 20: vertex 0 one influence, vertex 1 two, vertex 2 five.
std::vector<std::string> skinnedLines(int frames = 3)
{
    std::vector<std::string> lines = {"o hero_body", "numfaces 1"};
    lines.insert(lines.end(), std::begin(TRIANGLE_LINES), std::end(TRIANGLE_LINES));
    const char* const skeleton[] = {
        "numbones 2",
        "frame 0 bone 0 pos 0 0 0 rot (eulerAngles 0 0 0) sca 1 1 1 ",
        "frame 0 bone 1 pos 0 0 2 rot (eulerAngles 0 0 90) sca 1 1 1 ",
        "frame 1 bone 0 pos 1 0 0 rot (eulerAngles 90 0 0) sca 1 1 1 ",
        "frame 1 bone 1 pos 0 0 2 rot (eulerAngles 0 0 90) sca 1 1 1 ",
        "frame 2 bone 0 pos 2 -4 0 rot (eulerAngles 0 90 10) sca 1 2 1 ",
        "frame 2 bone 1 pos 0 1 2 rot (eulerAngles 0 0 45) sca 1 1 3 ",
        "vertex 0 bones 1",
        "vertex 0 bone 1 weight 1",
        "vertex 1 bones 2",
        "vertex 1 bone 1 weight 0.5",
        "vertex 1 bone 2 weight 0.25",
        "vertex 2 bones 5",
        "vertex 2 bone 2 weight 0.1",
        "vertex 2 bone 1 weight 0.2",
        "vertex 2 bone 2 weight 0.3",
        "vertex 2 bone 1 weight 0.4",
        "vertex 2 bone 2 weight 0.5",
    };
    lines.push_back("numframes " + std::to_string(frames));
    lines.insert(lines.end(), std::begin(skeleton), std::end(skeleton));
    return lines;
}

std::string joinLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

Model3dmFile parseOk(const std::string& text, Read3dmPurpose purpose = READ_3DM_MODEL)
{
    Model3dmFile file;
    std::string error;
    EXPECT_TRUE(parse3dm(text.data(), text.size(), FILE_NAME, purpose, file, error)) << error;
    return file;
}

// What load3dm makes of a text, without the texture set.
void loadFromText(Model& model, const std::string& text)
{
    fillModelFrom3dm(model, parseOk(text));
    scaleModel(model, MODEL_LOAD_SCALE);
}

size_t entry(int slot, int bone)
{
    return static_cast<size_t>(slot) * 2 + bone;
}

void expectTriple(const std::vector<float>& array, size_t k, float x, float y, float z)
{
    EXPECT_FLOAT_EQ(array[3 * k], x) << "entry " << k;
    EXPECT_FLOAT_EQ(array[3 * k + 1], y) << "entry " << k;
    EXPECT_FLOAT_EQ(array[3 * k + 2], z) << "entry " << k;
}

void expectRotationOf(const float* rotation, float x, float y, float z)
{
    workEuler[0] = x;
    workEuler[1] = y;
    workEuler[2] = z;
    rotationFromEuler();
    for (int i = 0; i < 16; ++i)
        EXPECT_FLOAT_EQ(rotation[i], workMatrix[i]) << "element " << i;
}

TEST(Model3dmLoad, FileEndingAfterTheMeshIsStatic)
{
    std::string text = joinLines(staticLines());
    std::string crlf;
    for (char c : text)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const std::string variants[] = {text, text + "\n\n  \n", crlf, text.substr(0, text.size() - 1)};
    for (const std::string& variant : variants) {
        Model model;
        loadFromText(model, variant);
        EXPECT_EQ(*model.animFlag, 0);
        EXPECT_EQ(model.boneCount, 0);
        EXPECT_EQ(model.frameCount, 0);
        EXPECT_TRUE(model.poses.empty() && model.boneIndices.empty() && model.eulerRel.empty());
        ASSERT_EQ(model.triangleCount, 1);
        EXPECT_EQ(model.indices, (std::vector<int32_t>{0, 1, 2}));
        EXPECT_FLOAT_EQ(model.positions[3], 0.05f);
        EXPECT_FLOAT_EQ(model.positions[7], 0.05f);
        EXPECT_FLOAT_EQ(model.texcoords[5], 1.0f);
        EXPECT_FLOAT_EQ(model.normals[2], 1.0f);
        EXPECT_FLOAT_EQ(model.tangents[0], 1.0f);
        EXPECT_FLOAT_EQ(model.handedness[2], 1.0f);
    }
}

TEST(Model3dmLoad, SkeletonFillsAllButTheLastSlotScaled)
{
    Model model;
    loadFromText(model, joinLines(skinnedLines()));
    EXPECT_EQ(*model.animFlag, 1);
    EXPECT_EQ(model.frameCount, 3);
    EXPECT_EQ(model.boneCount, 2);
    ASSERT_EQ(model.poses.size(), 6u);
    EXPECT_EQ(model.boneInterpolate, (std::vector<uint8_t>{1, 1}));
    EXPECT_EQ(model.boneSclMatrices.size(), static_cast<size_t>(BONE_MATRIX_SLOTS * MATRIX_FLOATS));

    // Slot 0, bone 0: moved by (1, 0, 0), turned 90 degrees about x.
    expectTriple(model.relPos, entry(0, 0), 0.05f, 0, 0);
    expectTriple(model.bindPos, entry(0, 0), 0, 0, 0);
    expectTriple(model.eulerRel, entry(0, 0), 90, 0, 0);
    EXPECT_FLOAT_EQ(model.poses[entry(0, 0)].translation[3], 0.05f);
    EXPECT_FLOAT_EQ(model.poses[entry(0, 0)].translation[0], 1.0f);
    expectRotationOf(model.poses[entry(0, 0)].rotation, 90, 0, 0);

    // Slot 1: relative to the bind pose, rotation from the absolute angles.
    expectTriple(model.relPos, entry(1, 0), 2 * 0.05f, -4 * 0.05f, 0);
    expectTriple(model.eulerRel, entry(1, 0), 0, 90, 10);
    expectTriple(model.relPos, entry(1, 1), 0, 0.05f, 0);
    expectTriple(model.bindPos, entry(1, 1), 0, 0, 2 * 0.05f);
    expectTriple(model.eulerRel, entry(1, 1), 0, 0, -45);
    expectRotationOf(model.poses[entry(1, 1)].rotation, 0, 0, 45);
    const BonePose& scaled = model.poses[entry(1, 0)];
    EXPECT_FLOAT_EQ(scaled.scale[0], 0);
    EXPECT_FLOAT_EQ(scaled.scale[5], 1);
    EXPECT_FLOAT_EQ(scaled.scale[10], 0);
    EXPECT_FLOAT_EQ(scaled.scale[15], 1);
    EXPECT_FLOAT_EQ(model.poses[entry(1, 1)].scale[10], 2);

    // Slot 2 has no pose.
    for (int b = 0; b < 2; ++b) {
        expectTriple(model.relPos, entry(2, b), 0, 0, 0);
        expectTriple(model.bindPos, entry(2, b), 0, 0, 0);
        for (float v : model.poses[entry(2, b)].rotation)
            EXPECT_EQ(v, 0.0f);
    }
}

TEST(Model3dmLoad, FrameEqualToBindPoseGivesRelativeZero)
{
    Model model;
    loadFromText(model, joinLines(skinnedLines()));
    // Slot 0 bone 1 repeats its bind line.
    const BonePose& pose = model.poses[entry(0, 1)];
    for (int i = 0; i < 16; ++i)
        EXPECT_FLOAT_EQ(pose.translation[i], (i % 5 == 0) ? 1.0f : 0.0f) << i;
    for (int i = 0; i < 16; ++i)
        EXPECT_FLOAT_EQ(pose.scale[i], i == 15 ? 1.0f : 0.0f) << i;
    expectTriple(model.eulerRel, entry(0, 1), 0, 0, 0);
    expectRotationOf(pose.rotation, 0, 0, 90);
}

TEST(Model3dmLoad, BoneWeightsKeepFourInfluencesCountedFromZero)
{
    Model model;
    loadFromText(model, joinLines(skinnedLines()));
    EXPECT_EQ(model.boneIndices, (std::vector<float>{0, 0, 0, 0, 0, 1, 0, 0, 1, 0, 1, 0}));
    EXPECT_EQ(model.boneWeights, (std::vector<float>{1, 0, 0, 0, 0.5f, 0.25f, 0, 0, 0.1f, 0.2f, 0.3f, 0.4f}));
}

TEST(Model3dmLoad, SingleFrameHoldsOnlyTheBindPose)
{
    std::vector<std::string> lines = skinnedLines(1);
    lines.erase(lines.begin() + 15, lines.begin() + 19); // no frame lines
    Model model;
    loadFromText(model, joinLines(lines));
    EXPECT_EQ(model.frameCount, 1);
    ASSERT_EQ(model.poses.size(), 2u);
    expectTriple(model.bindPos, 0, 0, 0, 0);
    EXPECT_FLOAT_EQ(model.boneWeights[5], 0.25f);
}

TEST(Model3dmLoad, LongNamesAndLinesAreReadWhole)
{
    std::vector<std::string> lines = staticLines();
    std::string name(5000, 'x');
    lines[0] = "o " + name;
    lines[2] = "v " + std::string(3000, ' ') + "0.5 0 0";
    Model3dmFile file = parseOk(joinLines(lines));
    EXPECT_EQ(file.objectName, name);
    EXPECT_FLOAT_EQ(file.positions[0], 0.5f);
}

struct BrokenCase {
    const char* what;
    std::vector<std::string> lines;
    const char* message;
};

std::vector<std::string> withLine(std::vector<std::string> lines, size_t lineNumber, const std::string& text)
{
    lines[lineNumber - 1] = text;
    return lines;
}

std::vector<std::string> cutAfter(std::vector<std::string> lines, size_t lineCount)
{
    lines.resize(lineCount);
    return lines;
}

TEST(Model3dmParse, BrokenFilesNameTheLineAndTheExpectation)
{
    std::vector<std::string> skinned = skinnedLines();
    std::vector<std::string> plain = staticLines();
    std::vector<std::string> trailing = skinned;
    trailing.push_back("");
    trailing.push_back("junk");
    const BrokenCase cases[] = {
        {"empty file", {}, "fuzz.3dm:1: expected \"o %s\", found the end of the file"},
        {"no object line", withLine(plain, 1, "x plate"), "fuzz.3dm:1: expected \"o %s\", found \"x plate\""},
        {"object name missing", withLine(plain, 1, "o"), "fuzz.3dm:1: expected \"o %s\""},
        {"two words", withLine(plain, 1, "o ship hull"), "fuzz.3dm:1: expected \"o %s\""},
        {"count not a number", withLine(plain, 2, "numfaces many"), "fuzz.3dm:2: expected \"numfaces %d\""},
        {"count too large for 32 bits", withLine(plain, 2, "numfaces 99999999999"),
         "fuzz.3dm:2: expected \"numfaces %d\""},
        {"count negative", withLine(plain, 2, "numfaces -1"),
         "fuzz.3dm:2: expected a triangle count of 0 or more, found -1"},
        {"more triangles than lines", withLine(plain, 2, "numfaces 2"),
         "fuzz.3dm:12: expected \"v %f %f %f\", found the end of the file"},
        {"position short", withLine(plain, 3, "v 1 2"), "fuzz.3dm:3: expected \"v %f %f %f\", found \"v 1 2\""},
        {"position too long", withLine(plain, 6, "v 1 2 3 4"), "fuzz.3dm:6: expected \"v %f %f %f\""},
        {"infinite value", withLine(plain, 4, "n 0 1e999 0"), "fuzz.3dm:4: expected \"n %f %f %f\""},
        {"not a number", withLine(plain, 5, "t nan 0"), "fuzz.3dm:5: expected \"t %f %f\""},
        {"lines out of order", withLine(plain, 4, "t 0 0"), "fuzz.3dm:4: expected \"n %f %f %f\""},
        {"blank line inside the mesh", withLine(plain, 7, ""), "fuzz.3dm:7: expected \"n %f %f %f\""},
        {"unknown line after the mesh", withLine(skinned, 12, "hello"),
         "fuzz.3dm:12: expected \"numframes %d\" or the end of the file, found \"hello\""},
        {"no frames", withLine(skinned, 12, "numframes 0"),
         "fuzz.3dm:12: expected a frame count of 1 or more, found 0"},
        {"bone count missing", cutAfter(skinned, 12), "fuzz.3dm:13: expected \"numbones %d\", found the end"},
        {"no bones", withLine(skinned, 13, "numbones 0"), "fuzz.3dm:13: expected a bone count from 1 to 64, found 0"},
        {"too many bones", withLine(skinned, 13, "numbones 65"),
         "fuzz.3dm:13: expected a bone count from 1 to 64, found 65"},
        {"bind line malformed", withLine(skinned, 15, "frame 0 bone 1 pos 0 0 2 eulerAngles 0 0 0 sca 1 1 1"),
         "fuzz.3dm:15: expected \"frame %d bone %d pos %f %f %f rot (eulerAngles %f %f %f) sca %f %f %f \""},
        {"frame lines cut short", cutAfter(skinned, 18), "fuzz.3dm:19: expected \"frame %d bone %d pos"},
        {"frame block longer than said", withLine(skinned, 12, "numframes 4"),
         "fuzz.3dm:20: expected \"frame %d bone %d pos"},
        {"weight header wrong", withLine(skinned, 20, "vertex 0 weights 1"),
         "fuzz.3dm:20: expected \"vertex %d bones %d\""},
        {"negative influences", withLine(skinned, 22, "vertex 1 bones -1"),
         "fuzz.3dm:22: expected an influence count of 0 or more, found -1"},
        {"bone number zero", withLine(skinned, 21, "vertex 0 bone 0 weight 1"),
         "fuzz.3dm:21: expected a bone number from 1 to 2, found 0"},
        {"bone number past the skeleton", withLine(skinned, 30, "vertex 2 bone 3 weight 0.5"),
         "fuzz.3dm:30: expected a bone number from 1 to 2, found 3"},
        {"weights cut short", cutAfter(skinned, 27),
         "fuzz.3dm:28: expected \"vertex %d bone %d weight %f\", found the end of the file"},
        {"text after the weights", trailing, "fuzz.3dm:32: expected the end of the file, found \"junk\""},
    };
    for (const BrokenCase& c : cases) {
        std::string text = joinLines(c.lines);
        Model3dmFile file;
        std::string error;
        EXPECT_FALSE(parse3dm(text.data(), text.size(), FILE_NAME, READ_3DM_MODEL, file, error)) << c.what;
        EXPECT_EQ(error.rfind(c.message, 0), 0u) << c.what << ": got " << error;
    }
}

TEST(Model3dmParse, AddedFramesFileHoldsOneBlockPerFrameAndNoWeights)
{
    // Four frame lines make two blocks when read as added frames; the weights are not read.
    std::vector<std::string> lines = withLine(skinnedLines(), 12, "numframes 2");
    Model3dmFile frames = parseOk(joinLines(lines), READ_3DM_ADDED_FRAMES);
    EXPECT_EQ(frames.frameCount, 2);
    EXPECT_EQ(frames.frameLines.size(), 4u);
    EXPECT_TRUE(frames.boneIndices.empty());
    // A model file read for its frames runs into its weights.
    Model3dmFile file;
    std::string error;
    std::string text = joinLines(skinnedLines());
    EXPECT_FALSE(parse3dm(text.data(), text.size(), FILE_NAME, READ_3DM_ADDED_FRAMES, file, error));
    EXPECT_EQ(error.rfind("fuzz.3dm:20: expected \"frame %d", 0), 0u) << error;
}

TEST(Model3dmFrames, AppendedFramesFollowTheLoadedSlots)
{
    Model model;
    loadFromText(model, joinLines(skinnedLines()));
    Model3dmFile added = parseOk(joinLines(withLine(skinnedLines(), 12, "numframes 2")), READ_3DM_ADDED_FRAMES);
    std::string error;
    ASSERT_TRUE(appendModelFrames(model, added, "run.3dm", error)) << error;
    EXPECT_EQ(model.frameCount, 5);
    ASSERT_EQ(model.poses.size(), 10u);
    ASSERT_EQ(model.relPos.size(), 30u);
    // Slots 3 and 4 hold the file's two blocks, scaled like a load; slot 2 stays empty.
    expectTriple(model.relPos, entry(3, 0), 0.05f, 0, 0);
    expectTriple(model.relPos, entry(4, 0), 2 * 0.05f, -4 * 0.05f, 0);
    EXPECT_FLOAT_EQ(model.poses[entry(4, 0)].translation[7], -4 * 0.05f);
    expectTriple(model.bindPos, entry(4, 1), 0, 0, 2 * 0.05f);
    expectTriple(model.eulerRel, entry(4, 1), 0, 0, -45);
    expectTriple(model.relPos, entry(2, 0), 0, 0, 0);
    // The first slots are as loaded.
    expectTriple(model.relPos, entry(1, 0), 2 * 0.05f, -4 * 0.05f, 0);
    EXPECT_EQ(model.boneCount, 2);
    EXPECT_EQ(model.boneIndices.size(), 12u);
}

TEST(Model3dmFrames, AppendingNeedsTheSameBoneCount)
{
    Model skinned;
    loadFromText(skinned, joinLines(skinnedLines()));
    std::vector<std::string> threeBones = withLine(skinnedLines(), 13, "numbones 3");
    threeBones = withLine(threeBones, 12, "numframes 1");
    Model3dmFile added = parseOk(joinLines(threeBones), READ_3DM_ADDED_FRAMES);
    std::string error;
    EXPECT_FALSE(appendModelFrames(skinned, added, "run.3dm", error));
    EXPECT_EQ(error, "run.3dm:13: expected numbones 2 (the bone count of the model), found 3");
    EXPECT_EQ(skinned.frameCount, 3);
    EXPECT_EQ(skinned.poses.size(), 6u);

    Model plain;
    loadFromText(plain, joinLines(staticLines()));
    EXPECT_FALSE(appendModelFrames(plain, added, "run.3dm", error));
    EXPECT_EQ(error.rfind("run.3dm:13: expected a model with a skeleton", 0), 0u) << error;
    EXPECT_EQ(plain.frameCount, 0);
}

TEST(Model3dmFrames, ScalingCoversEverySlotAfterAppending)
{
    Model model;
    loadFromText(model, joinLines(skinnedLines()));
    Model3dmFile added = parseOk(joinLines(withLine(skinnedLines(), 12, "numframes 2")), READ_3DM_ADDED_FRAMES);
    std::string error;
    ASSERT_TRUE(appendModelFrames(model, added, "run.3dm", error));
    scaleModel(model, 10.0f);
    // The last slot (4) is a real frame now and scales with the others.
    expectTriple(model.relPos, entry(4, 0), 2 * 0.5f, -4 * 0.5f, 0);
    EXPECT_FLOAT_EQ(model.poses[entry(4, 0)].translation[3], 2 * 0.5f);
    expectTriple(model.bindPos, entry(4, 1), 0, 0, 2 * 0.5f);
    expectTriple(model.relPos, entry(0, 0), 0.5f, 0, 0);
    EXPECT_FLOAT_EQ(model.positions[3], 0.5f);
    // Rotations and scales are not lengths.
    EXPECT_FLOAT_EQ(model.poses[entry(1, 1)].scale[10], 2);

    scaleModelFrames(model, 2.0f, 4, 99);
    expectTriple(model.relPos, entry(4, 0), 2.0f, -4.0f, 0);
    expectTriple(model.relPos, entry(3, 0), 0.5f, 0, 0);
    EXPECT_FLOAT_EQ(model.positions[3], 0.5f);
}

TEST(ModelOperations, BoundsBackupAndVersion)
{
    Model model;
    allocModelVertexArrays(model, 1);
    const float positions[9] = {1, 2, 3, 4, 5, 6, 2, 8, 1};
    std::copy(positions, positions + 9, model.positions.begin());
    computeModelBounds(model);
    EXPECT_EQ(model.boundsMin[0], 0.0f); // the origin is always inside
    EXPECT_EQ(model.boundsMax[1], 8.0f);
    EXPECT_EQ(model.boundsMax[2], 6.0f);

    backupModelVertices(model);
    uint32_t version = model.vertexDataVersion;
    scaleModelFromBackup(model, 2, 3, 4);
    scaleModelFromBackup(model, 2, 3, 4); // from the backup, not compounding
    EXPECT_EQ(model.positions[3], 8.0f);
    EXPECT_EQ(model.positions[4], 15.0f);
    EXPECT_EQ(model.positions[5], 24.0f);
    EXPECT_NE(model.vertexDataVersion, version);
    version = model.vertexDataVersion;
    scaleModel(model, 1.0f);
    EXPECT_NE(model.vertexDataVersion, version);
}

TEST(ModelOperations, ExtensionPicksTheReader)
{
    const struct {
        const char* name;
        const char* extension;
    } cases[] = {{"ship.3dm", "3dm"}, {"ship.dae", "dae"}, {"a.b.obj", "obj"}, {"ship", ""}, {".3dm", ""},
                 {"ship.", ""}};
    for (const auto& c : cases)
        EXPECT_STREQ(getFileExtension(c.name), c.extension) << c.name;
    EXPECT_EQ(loadModel("ship.obj"), nullptr);
    EXPECT_EQ(loadModel("ship"), nullptr);
    EXPECT_EQ(loadModel(".3dm"), nullptr);
}

// A file in the run directory's data folder for the loaders, removed afterwards.
struct DataFile {
    std::string name;
    DataFile(const std::string& fileName, const std::string& text) : name(fileName)
    {
        FILE* file = std::fopen(("data/" + name).c_str(), "wb");
        if (file) {
            std::fwrite(text.data(), 1, text.size(), file);
            std::fclose(file);
        }
    }
    ~DataFile() { std::remove(("data/" + name).c_str()); }
};

TEST(Model3dmLoadDeathTest, MissingOrBrokenFilesEndTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(load3dm("no_such_model.3dm"), testing::ExitedWithCode(1), "can't open file no_such_model.3dm");
    DataFile broken("model_3dm_test_broken.3dm", joinLines(withLine(staticLines(), 2, "numfaces x")));
    EXPECT_EXIT(load3dm(broken.name.c_str()), testing::ExitedWithCode(1),
                "model_3dm_test_broken.3dm:2: expected \"numfaces %d\"");

    Model model;
    loadFromText(model, joinLines(skinnedLines()));
    EXPECT_EXIT(addFrames(model, "no_such_frames.3dm"), testing::ExitedWithCode(1),
                "can't open file no_such_frames.3dm");
    DataFile otherSkeleton("model_3dm_test_bones.3dm",
                           joinLines(withLine(withLine(skinnedLines(), 13, "numbones 3"), 12, "numframes 1")));
    EXPECT_EXIT(addFrames(model, otherSkeleton.name.c_str()), testing::ExitedWithCode(1),
                "model_3dm_test_bones.3dm:13: expected numbones 2");
}

// Every array a load fills, as bytes: equal bytes mean the same model was loaded.
static std::vector<uint8_t> loadedModelBytes(const Model& model)
{
    std::vector<uint8_t> bytes;
    auto add = [&bytes](const void* data, size_t size) {
        const uint8_t* p = static_cast<const uint8_t*>(data);
        bytes.insert(bytes.end(), p, p + size);
    };
    for (const std::vector<float>* a : {&model.positions, &model.normals, &model.texcoords, &model.tangents,
                                        &model.handedness, &model.boneIndices, &model.boneWeights, &model.eulerRel,
                                        &model.bindPos, &model.relPos})
        add(a->data(), a->size() * sizeof(float));
    add(model.poses.data(), model.poses.size() * sizeof(BonePose));
    add(&model.triangleCount, sizeof model.triangleCount);
    add(&model.frameCount, sizeof model.frameCount);
    add(&model.boneCount, sizeof model.boneCount);
    add(&model.textureSet, sizeof model.textureSet);
    return bytes;
}

TEST(Model3dmPrefetch, PrefetchedFilesLoadAsFilesReadInPlace)
{
    REQUIRE_GL_CONTEXT();  // load3dm looks up the texture set
    DataFile skinned("model_3dm_test_prefetch_skinned.3dm", joinLines(skinnedLines()));
    DataFile plain("model_3dm_test_prefetch_plain.3dm", joinLines(staticLines()));
    const char* const names[] = {skinned.name.c_str(), plain.name.c_str(), "model_3dm_test_never_loaded.3dm"};
    for (const char* name : {names[0], names[1]}) {
        // The first load makes the texture set (and says so); the two compared find it made.
        testing::internal::CaptureStdout();
        delete load3dm(name);
        testing::internal::GetCapturedStdout();
        testing::internal::CaptureStdout();
        Model* inPlace = load3dm(name);
        const std::string inPlaceOutput = testing::internal::GetCapturedStdout();
        prefetchModelFiles(names, 3);
        testing::internal::CaptureStdout();
        Model* prefetched = load3dm(name);
        const std::string prefetchedOutput = testing::internal::GetCapturedStdout();
        dropPrefetchedModelFiles();  // the other two, one of them missing: dropped quietly
        ASSERT_NE(inPlace, nullptr);
        ASSERT_NE(prefetched, nullptr);
        EXPECT_GT(inPlace->triangleCount, 0) << name;
        EXPECT_EQ(loadedModelBytes(*prefetched), loadedModelBytes(*inPlace)) << name;
        EXPECT_EQ(prefetchedOutput, inPlaceOutput) << name;
        delete inPlace;
        delete prefetched;
    }
}

TEST(Model3dmPrefetchDeathTest, PrefetchedBrokenFilesEndTheProgramAtTheirLoad)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    DataFile broken("model_3dm_test_prefetch_broken.3dm", joinLines(withLine(staticLines(), 2, "numfaces x")));
    const char* const names[] = {broken.name.c_str(), "model_3dm_test_prefetch_missing.3dm"};
    EXPECT_EXIT(
        {
            prefetchModelFiles(names, 2);
            load3dm(names[0]);
        },
        testing::ExitedWithCode(1), "model_3dm_test_prefetch_broken.3dm:2: expected \"numfaces %d\"");
    EXPECT_EXIT(
        {
            prefetchModelFiles(names, 2);
            load3dm(names[1]);
        },
        testing::ExitedWithCode(1), "can't open file model_3dm_test_prefetch_missing.3dm");
}

TEST(Model3dmFrames, AddFramesWithoutSkeletonChangesNothing)
{
    Model model;
    loadFromText(model, joinLines(skinnedLines()));
    DataFile meshOnly("model_3dm_test_mesh.3dm", joinLines(staticLines()));
    addFrames(model, meshOnly.name.c_str());
    EXPECT_EQ(model.frameCount, 3);
    EXPECT_EQ(model.poses.size(), 6u);
}

// The generators' writer and the engine's reader agree.
Model3dmMesh writerMesh()
{
    Model3dmMesh mesh;
    mesh.objectName = "crate_lid";
    for (int v = 0; v < 6; ++v) {
        float f = static_cast<float>(v);
        mesh.positions.insert(mesh.positions.end(), {f * 0.1f, -f / 3.0f, 1e-7f * f});
        mesh.normals.insert(mesh.normals.end(), {0, 0.6f, 0.8f});
        mesh.texcoords.insert(mesh.texcoords.end(), {f / 7.0f, 1.0f - f / 9.0f});
    }
    return mesh;
}

Model3dmBone writerBone(float k)
{
    return {{k, 2 * k, -k}, {k * 10, -k * 7, 123.456f}, {1, 1 + k, 1}};
}

TEST(Model3dmWriter, RoundTripsThroughTheReader)
{
    Model3dmMesh mesh = writerMesh();
    std::string text;
    std::string error;
    ASSERT_TRUE(format3dm(mesh, nullptr, text, error)) << error;
    ASSERT_GE(text.size(), 2u);
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(text.compare(text.rfind('\n', text.size() - 2) + 1, 2, "t "), 0); // ends on the last t line
    Model3dmFile plain = parseOk(text);
    EXPECT_FALSE(plain.hasSkeleton);
    EXPECT_EQ(plain.objectName, "crate_lid");
    EXPECT_EQ(plain.triangleCount, 2);
    EXPECT_EQ(plain.positions, mesh.positions);
    EXPECT_EQ(plain.normals, mesh.normals);
    EXPECT_EQ(plain.texcoords, mesh.texcoords);

    Model3dmSkeleton skeleton;
    skeleton.boneCount = 2;
    skeleton.bindPose = {writerBone(0), writerBone(1)};
    skeleton.frames = {{writerBone(0.5f), writerBone(1.5f)}, {writerBone(2), writerBone(3)}};
    for (int v = 0; v < 6; ++v)
        skeleton.influences.push_back({{1 + v % 2, 0.75f}, {2, 0.25f / 3}, {1, 0}, {2, 0.125f}, {1, 9}});
    ASSERT_TRUE(format3dm(mesh, &skeleton, text, error)) << error;
    Model3dmFile file = parseOk(text);
    ASSERT_TRUE(file.hasSkeleton);
    EXPECT_EQ(file.frameCount, 3);
    EXPECT_EQ(file.boneCount, 2);
    ASSERT_EQ(file.frameLines.size(), 4u);
    EXPECT_EQ(file.frameLines[3].euler[2], 123.456f);
    EXPECT_EQ(file.frameLines[2].position[1], 4.0f);
    EXPECT_EQ(file.bindPose[1].scale[1], 2.0f);
    EXPECT_EQ(file.boneIndices[4], 1.0f); // vertex 1: bone 2 first
    EXPECT_EQ(file.boneWeights[1], 0.25f / 3);
    EXPECT_EQ(file.boneWeights[3], 0.125f); // the fifth influence is dropped

    skeleton.forAddedFrames = true;
    skeleton.influences.clear();
    ASSERT_TRUE(format3dm(mesh, &skeleton, text, error)) << error;
    Model3dmFile frames = parseOk(text, READ_3DM_ADDED_FRAMES);
    EXPECT_EQ(frames.frameCount, 2);
    EXPECT_EQ(frames.frameLines.size(), 4u);
}

TEST(Model3dmWriter, RefusesPartsThatDoNotFit)
{
    Model3dmSkeleton good;
    good.boneCount = 1;
    good.bindPose = {writerBone(0)};
    good.influences.assign(6, {{1, 1.0f}});
    std::string text;
    std::string error;
    ASSERT_TRUE(format3dm(writerMesh(), &good, text, error)) << error;

    Model3dmMesh twoWords = writerMesh();
    twoWords.objectName = "two words";
    Model3dmMesh ragged = writerMesh();
    ragged.texcoords.pop_back();
    Model3dmMesh infinite = writerMesh();
    infinite.positions[4] = INFINITY;
    Model3dmSkeleton badBone = good;
    badBone.influences[2] = {{2, 1.0f}};
    Model3dmSkeleton missingWeights = good;
    missingWeights.influences.pop_back();
    Model3dmSkeleton shortBlock = good;
    shortBlock.frames = {{}};
    Model3dmSkeleton tooMany = good;
    tooMany.boneCount = 65;
    const struct {
        const char* what;
        Model3dmMesh mesh;
        const Model3dmSkeleton* skeleton;
    } cases[] = {
        {"name of two words", twoWords, nullptr},  {"texcoords short", ragged, nullptr},
        {"infinite position", infinite, nullptr},  {"bone past the skeleton", writerMesh(), &badBone},
        {"weights short", writerMesh(), &missingWeights}, {"frame block short", writerMesh(), &shortBlock},
        {"65 bones", writerMesh(), &tooMany},
    };
    for (const auto& c : cases) {
        error.clear();
        EXPECT_FALSE(format3dm(c.mesh, c.skeleton, text, error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }
}

// Arrays go to GL once per change.
TEST(ModelGlUpload, UploadsOnlyArraysThatChanged)
{
    REQUIRE_GL_CONTEXT();
    Model model;
    loadFromText(model, joinLines(skinnedLines()));
    bindModelVertexArrays(model, false);
    ASSERT_NE(model.vao, 0u);
    GLint bound = 0;
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), model.vao);
    GLint size = 0;
    glBindBuffer(GL_ARRAY_BUFFER, model.buffers[MODEL_ATTRIBUTE_POSITION]);
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
    EXPECT_EQ(size, 36);
    glBindBuffer(GL_ARRAY_BUFFER, model.buffers[MODEL_ATTRIBUTE_HANDEDNESS]);
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
    EXPECT_EQ(size, 12);
    glBindBuffer(GL_ARRAY_BUFFER, model.buffers[MODEL_ATTRIBUTE_BONES]);
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
    EXPECT_EQ(size, 0); // an unskinned draw leaves the bone arrays alone
    GLint enabled = 1;
    glGetVertexAttribiv(MODEL_ATTRIBUTE_BONES, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
    EXPECT_EQ(enabled, 0);

    auto uploadedX = [&model]() {
        float x = -1;
        glBindBuffer(GL_ARRAY_BUFFER, model.buffers[MODEL_ATTRIBUTE_POSITION]);
        glGetBufferSubData(GL_ARRAY_BUFFER, 3 * sizeof(float), sizeof(float), &x);
        return x;
    };
    EXPECT_FLOAT_EQ(uploadedX(), 0.05f);
    model.positions[3] = 7.0f; // written without telling the model
    bindModelVertexArrays(model, true);
    EXPECT_FLOAT_EQ(uploadedX(), 0.05f);
    markModelVertexDataChanged(model);
    bindModelVertexArrays(model, true);
    EXPECT_FLOAT_EQ(uploadedX(), 7.0f);
    glBindBuffer(GL_ARRAY_BUFFER, model.buffers[MODEL_ATTRIBUTE_WEIGHTS]);
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
    EXPECT_EQ(size, 48);
    glGetVertexAttribiv(MODEL_ATTRIBUTE_WEIGHTS, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &enabled);
    EXPECT_EQ(enabled, 1);

    deleteModelBuffers(model);
    EXPECT_EQ(model.vao, 0u);
    EXPECT_EQ(model.buffers[8], 0u);
    bindModelVertexArrays(model, false);
    EXPECT_NE(model.vao, 0u);
    EXPECT_FLOAT_EQ(uploadedX(), 7.0f);
    deleteModelBuffers(model);
    glBindVertexArray(0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
