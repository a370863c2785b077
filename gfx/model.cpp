#include "gfx/model.h"

#include "core/data_files.h" // openDataFile, dataFilePath, debugLog
#include "gfx/collada.h"
#include "gfx/model_3dm.h"
#include "gfx/tangents.h"
#include "gfx/textures.h"
#include "platform/gl_api.h"
#include "gfx/matrix_math.h"
#include "core/program_exit.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <future>
#include <memory>
#include <thread>

// The whole data-folder file `name`, read at once; false when it cannot be opened.
static bool readDataFileText(const char* name, std::string& text)
{
    FILE* file = openDataFile(name, "rb");
    if (!file)
        return false;
    text.clear();
    if (std::fseek(file, 0, SEEK_END) == 0) {
        const long size = std::ftell(file);
        if (size > 0 && std::fseek(file, 0, SEEK_SET) == 0) {
            text.resize(static_cast<size_t>(size));
            text.resize(std::fread(&text[0], 1, text.size(), file));
        }
    }
    std::fclose(file);
    return true;
}

// A .3dm file read and parsed, or why not.
struct Parsed3dmFile {
    bool opened = false;
    bool parsed = false;
    Model3dmFile file;
    std::string error;
};

static Parsed3dmFile readAndParse3dm(const std::string& name, Read3dmPurpose purpose)
{
    Parsed3dmFile result;
    std::string text;
    result.opened = readDataFileText(name.c_str(), text);
    if (result.opened)
        result.parsed = parse3dm(text.data(), text.size(), name.c_str(), purpose, result.file, result.error);
    return result;
}

// Model files being read and parsed on worker threads. Only the main thread touches the list;
// load3dm takes a file's result in its own turn, so what it prints, loads and refuses is the
// same as without the prefetch.
struct Prefetched3dmFile {
    std::string name;
    std::future<Parsed3dmFile> result;
};
static std::vector<Prefetched3dmFile> prefetched3dmFiles;

// A few workers take the files in list order, so the loader threads stay fewer than the cores
// and the thread that loads in order keeps one to itself.
struct ModelFileWorkers {
    std::vector<std::string> names;
    std::vector<std::promise<Parsed3dmFile>> results;
    std::atomic<size_t> next{0};
    std::vector<std::future<void>> workers;  // last: destroyed (waited for) first
};
static std::unique_ptr<ModelFileWorkers> modelFileWorkers;
static constexpr unsigned MODEL_READ_THREADS = 3;

static void readModelFiles(ModelFileWorkers* work)
{
    for (size_t i = work->next++; i < work->names.size(); i = work->next++)
        work->results[i].set_value(readAndParse3dm(work->names[i], READ_3DM_MODEL));
}

void prefetchModelFiles(const char* const* names, int count)
{
    dropPrefetchedModelFiles();
    auto work = std::make_unique<ModelFileWorkers>();
    for (int i = 0; i < count; ++i) {
        work->names.emplace_back(names[i]);
        work->results.emplace_back();
        prefetched3dmFiles.push_back({names[i], work->results.back().get_future()});
    }
    const unsigned threads = std::clamp(std::thread::hardware_concurrency(), 1u, MODEL_READ_THREADS);
    for (unsigned t = 0; t < threads; ++t)
        work->workers.push_back(std::async(std::launch::async, readModelFiles, work.get()));
    modelFileWorkers = std::move(work);
}

void dropPrefetchedModelFiles()
{
    for (Prefetched3dmFile& entry : prefetched3dmFiles)
        entry.result.wait();
    prefetched3dmFiles.clear();
    modelFileWorkers.reset();
}

static Parsed3dmFile takeOrRead3dm(const char* name, Read3dmPurpose purpose)
{
    if (purpose == READ_3DM_MODEL) {
        for (size_t i = 0; i < prefetched3dmFiles.size(); ++i) {
            if (prefetched3dmFiles[i].name != name)
                continue;
            Parsed3dmFile result = prefetched3dmFiles[i].result.get();
            prefetched3dmFiles.erase(prefetched3dmFiles.begin() + static_cast<std::ptrdiff_t>(i));
            return result;
        }
    }
    return readAndParse3dm(name, purpose);
}

// Reads and parses a .3dm file, ending the program the way a missing model does when it can't.
static void read3dmOrExit(const char* name, Read3dmPurpose purpose, Model3dmFile& file)
{
    Parsed3dmFile result = takeOrRead3dm(name, purpose);
    if (!result.opened)
        exitWithError(ExitCode::LOAD_FAILED, "can't open file %s\n", name);
    if (!result.parsed)
        exitWithError(ExitCode::LOAD_FAILED, "%s\n", result.error.c_str());
    file = std::move(result.file);
}

// The number of frame slots all per-frame arrays really hold.
static int frameSlotsHeld(const Model& model)
{
    if (model.boneCount <= 0 || model.frameCount <= 0)
        return 0;
    size_t b = static_cast<size_t>(model.boneCount);
    size_t slots = static_cast<size_t>(model.frameCount);
    slots = std::min(slots, model.poses.size() / b);
    slots = std::min(slots, model.bindPos.size() / (3 * b));
    slots = std::min(slots, model.relPos.size() / (3 * b));
    return static_cast<int>(slots);
}

// Fills frame slot `slot` of every bone from one block of frame lines against the bind pose.
static void setFrameSlot(Model& model, int slot, const BoneLine3dm* bind, const BoneLine3dm* frame)
{
    for (int b = 0; b < model.boneCount; ++b) {
        size_t k = static_cast<size_t>(slot) * model.boneCount + b;
        BonePose& pose = model.poses[k];
        float p[3];
        float s[3];
        for (int c = 0; c < 3; ++c) {
            p[c] = frame[b].position[c] - bind[b].position[c];
            s[c] = frame[b].scale[c] - bind[b].scale[c];
        }
        setIdentity(pose.translation);
        pose.translation[3] = p[0];
        pose.translation[7] = p[1];
        pose.translation[11] = p[2];

        for (int c = 0; c < 3; ++c)
            workEuler[c] = frame[b].euler[c];
        rotationFromEuler();
        std::memcpy(pose.rotation, workMatrix, sizeof(pose.rotation));

        std::fill(pose.scale, pose.scale + MATRIX_FLOATS, 0.0f);
        pose.scale[0] = s[0];
        pose.scale[5] = s[1];
        pose.scale[10] = s[2];
        pose.scale[15] = 1.0f;

        for (int c = 0; c < 3; ++c) {
            model.eulerRel[3 * k + c] = frame[b].euler[c] - bind[b].euler[c];
            model.relPos[3 * k + c] = p[c];
            model.bindPos[3 * k + c] = bind[b].position[c];
        }
    }
}

static void scaleFrameSlot(Model& model, int slot, float s)
{
    for (int b = 0; b < model.boneCount; ++b) {
        size_t k = static_cast<size_t>(slot) * model.boneCount + b;
        float* t = model.poses[k].translation;
        t[3] *= s;
        t[7] *= s;
        t[11] *= s;
        for (int c = 0; c < 3; ++c) {
            model.bindPos[3 * k + c] *= s;
            model.relPos[3 * k + c] *= s;
        }
    }
}

void fillModelFrom3dm(Model& model, const Model3dmFile& file)
{
    model.hasList = 0;
    model.boneCount = 0;
    model.frameCount = 0;
    *model.animFlag = 0;
    allocModelVertexArrays(model, file.triangleCount);
    size_t vertices = 3 * static_cast<size_t>(model.triangleCount);
    std::copy_n(file.positions.begin(), std::min(file.positions.size(), 3 * vertices), model.positions.begin());
    std::copy_n(file.normals.begin(), std::min(file.normals.size(), 3 * vertices), model.normals.begin());
    std::copy_n(file.texcoords.begin(), std::min(file.texcoords.size(), 2 * vertices), model.texcoords.begin());
    generateModelTangents(model);
    if (!file.hasSkeleton)
        return;

    *model.animFlag = 1;
    model.frameCount = file.frameCount;
    model.boneCount = file.boneCount;
    size_t bones = static_cast<size_t>(file.boneCount);
    size_t slots = static_cast<size_t>(file.frameCount) * bones;
    model.boneInterpolate.assign(bones, 1);
    model.boneIndices.assign(BONE_INFLUENCES * vertices, 0.0f);
    model.boneWeights.assign(BONE_INFLUENCES * vertices, 0.0f);
    std::copy_n(file.boneIndices.begin(), std::min(file.boneIndices.size(), model.boneIndices.size()),
                model.boneIndices.begin());
    std::copy_n(file.boneWeights.begin(), std::min(file.boneWeights.size(), model.boneWeights.size()),
                model.boneWeights.begin());
    model.poses.assign(slots, BonePose{});
    model.eulerRel.assign(3 * slots, 0.0f);
    model.bindPos.assign(3 * slots, 0.0f);
    model.relPos.assign(3 * slots, 0.0f);
    size_t matrixFloats = static_cast<size_t>(BONE_MATRIX_SLOTS) * MATRIX_FLOATS;
    model.bonePosMatrices.assign(matrixFloats, 0.0f);
    model.boneRPosMatrices.assign(matrixFloats, 0.0f);
    model.boneRotMatrices.assign(matrixFloats, 0.0f);
    model.boneSclMatrices.assign(matrixFloats, 0.0f);

    // The file holds the frame blocks of slots 0 .. F-2; slot F-1 stays zeroed.
    size_t blocks = file.frameLines.size() / bones;
    for (size_t s = 0; s + 1 < static_cast<size_t>(file.frameCount) && s < blocks; ++s)
        setFrameSlot(model, static_cast<int>(s), file.bindPose.data(), &file.frameLines[s * bones]);
    markModelVertexDataChanged(model);
}

bool appendModelFrames(Model& model, const Model3dmFile& file, const char* fileName, std::string& error)
{
    if (!file.hasSkeleton)
        return true;
    std::string where = std::string(fileName) + ":" + std::to_string(file.boneCountLine) + ": ";
    if (*model.animFlag <= 0 || model.boneCount <= 0) {
        error = where + "expected a model with a skeleton to add frames to, found one without";
        return false;
    }
    if (file.boneCount != model.boneCount) {
        error = where + "expected numbones " + std::to_string(model.boneCount) + " (the bone count of the model), found " +
                std::to_string(file.boneCount);
        return false;
    }
    int64_t first = model.frameCount;
    int64_t added = file.frameCount;
    if (first + added > INT32_MAX) {
        error = where + "expected fewer frames in all, found " + std::to_string(first + added);
        return false;
    }
    size_t bones = static_cast<size_t>(model.boneCount);
    size_t slots = static_cast<size_t>(first + added) * bones;
    // Slots that were never written (the load's last slot) stay as they are; new ones start zeroed.
    model.poses.resize(slots, BonePose{});
    model.eulerRel.resize(3 * slots, 0.0f);
    model.bindPos.resize(3 * slots, 0.0f);
    model.relPos.resize(3 * slots, 0.0f);
    model.frameCount = static_cast<int32_t>(first + added);
    size_t blocks = file.frameLines.size() / bones;
    for (int64_t s = first; s < first + added && static_cast<size_t>(s - first) < blocks; ++s)
        setFrameSlot(model, static_cast<int>(s), file.bindPose.data(),
                     &file.frameLines[static_cast<size_t>(s - first) * bones]);
    scaleModelFrames(model, MODEL_LOAD_SCALE, static_cast<int>(first), model.frameCount);
    return true;
}

Model* loadModel(const char* name)
{
    const char* extension = getFileExtension(name);
    if (std::strncmp(extension, "3dm", 3) == 0)
        return load3dm(name);
    if (std::strncmp(extension, "dae", 3) == 0)
        return loadCollada(dataFilePath(name));
    return nullptr;
}

Model* load3dm(const char* name)
{
    std::printf("%s\n", name);
    Model3dmFile file;
    read3dmOrExit(name, READ_3DM_MODEL, file);
    Model* model = new Model();
    std::printf("obj %s faces %d\n", file.objectName.c_str(), file.triangleCount);
    model->textureSet = loadTextureSet(file.objectName.c_str());
    fillModelFrom3dm(*model, file);
    if (file.hasSkeleton)
        std::printf("numbones %d\nnumframes %d\n", model->boneCount, model->frameCount);
    scaleModel(*model, MODEL_LOAD_SCALE);
    return model;
}

void addFrames(Model& model, const char* name)
{
    std::printf("addingframes a\n%s\n", name);
    Model3dmFile file;
    read3dmOrExit(name, READ_3DM_ADDED_FRAMES, file);
    std::printf("addingframes b\n");
    std::printf("obj %s faces %d\n", file.objectName.c_str(), file.triangleCount);
    std::printf("addingframes c\n");
    if (!file.hasSkeleton)
        return;
    std::printf("addingframes d\n");
    int first = model.frameCount;
    std::string error;
    if (!appendModelFrames(model, file, name, error))
        exitWithError(ExitCode::LOAD_FAILED, "%s\n", error.c_str());
    std::printf("numbones %d\nnumframes %d\n", file.boneCount, file.frameCount);
    std::printf("addingframes e\n");
    std::printf("addingframes f\n");
    std::printf("addingframes g\n");
    for (int s = first; s < model.frameCount; ++s)
        std::printf("addingframes h %d ", s - first);
    debugLog("total number of frames %d\n", model.frameCount);
}

void scaleModel(Model& model, float s)
{
    for (float& p : model.positions)
        p *= s;
    // Every slot, the appended ones included: a slot without a pose holds zeros and stays so.
    if (*model.animFlag > 0) {
        int slots = frameSlotsHeld(model);
        for (int slot = 0; slot < slots; ++slot)
            scaleFrameSlot(model, slot, s);
    }
    markModelVertexDataChanged(model);
}

void scaleModelFrames(Model& model, float s, int first, int end)
{
    if (*model.animFlag <= 0)
        return;
    first = std::max(first, 0);
    end = std::min(end, frameSlotsHeld(model));
    for (int slot = first; slot < end; ++slot)
        scaleFrameSlot(model, slot, s);
}

void computeModelBounds(Model& model)
{
    for (int c = 0; c < 3; ++c) {
        model.boundsMin[c] = 0.0f;
        model.boundsMax[c] = 0.0f;
    }
    size_t floats = std::min(model.positions.size(), 9 * static_cast<size_t>(std::max(model.triangleCount, 0)));
    for (size_t i = 0; i < floats; ++i) {
        int c = static_cast<int>(i % 3);
        model.boundsMin[c] = std::min(model.boundsMin[c], model.positions[i]);
        model.boundsMax[c] = std::max(model.boundsMax[c], model.positions[i]);
    }
}

void backupModelVertices(Model& model)
{
    model.backupPositions = model.positions;
    model.backupNormals = model.normals;
    model.backupTexcoords = model.texcoords;
    model.backupTangents = model.tangents;
    model.backupHandedness = model.handedness;
}

void scaleModelFromBackup(Model& model, float sx, float sy, float sz)
{
    const float s[3] = {sx, sy, sz};
    size_t floats = std::min(model.positions.size(), model.backupPositions.size());
    for (size_t i = 0; i < floats; ++i)
        model.positions[i] = model.backupPositions[i] * s[i % 3];
    markModelVertexDataChanged(model);
}

void deleteModelBuffers(Model& model)
{
    if (model.vao == 0)
        return;
    glDeleteBuffers(MODEL_BUFFER_COUNT, model.buffers);
    glDeleteVertexArrays(1, &model.vao);
    model.vao = 0;
    std::fill(model.buffers, model.buffers + MODEL_BUFFER_COUNT, 0u);
    std::fill(model.uploadedVersion, model.uploadedVersion + MODEL_VERTEX_ATTRIBUTES, 0u);
}

const char* getFileExtension(const char* name)
{
    const char* dot = std::strrchr(name, '.');
    if (!dot || dot == name)
        return "";
    return dot + 1;
}

void* allocOrExit(int bytes)
{
    void* memory = bytes >= 0 ? std::malloc(bytes > 0 ? static_cast<size_t>(bytes) : 1) : nullptr;
    if (!memory) {
        std::printf("malloc error\n");
        exitProgram(ExitCode::LOAD_FAILED);
    }
    return memory;
}

void bindModelVertexArrays(Model& model, bool skinned)
{
    createModelGlObjects(model);
    glBindVertexArray(model.vao);
    const std::vector<float>* arrays[MODEL_VERTEX_ATTRIBUTES] = {
        &model.positions, &model.normals,     &model.texcoords,  &model.tangents,
        &model.handedness, &model.boneIndices, &model.boneWeights,
    };
    bool withBones = skinned && !model.boneIndices.empty() && !model.boneWeights.empty();
    int used = withBones ? MODEL_VERTEX_ATTRIBUTES : MODEL_ATTRIBUTE_BONES;
    size_t vertices = 3 * static_cast<size_t>(std::max(model.triangleCount, 0));
    for (int i = 0; i < used; ++i) {
        glBindBuffer(GL_ARRAY_BUFFER, model.buffers[i]);
        if (model.uploadedVersion[i] != model.vertexDataVersion) {
            size_t floats = std::min(arrays[i]->size(), vertices * MODEL_ATTRIBUTE_SIZES[i]);
            glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(floats * sizeof(float)), arrays[i]->data(),
                         GL_STATIC_DRAW);
            model.uploadedVersion[i] = model.vertexDataVersion;
        }
        glVertexAttribPointer(i, MODEL_ATTRIBUTE_SIZES[i], GL_FLOAT, GL_FALSE, 0, nullptr);
        glEnableVertexAttribArray(i);
    }
    for (int i = used; i < MODEL_VERTEX_ATTRIBUTES; ++i)
        glDisableVertexAttribArray(i);
}

void uploadModelVertices(Model* model)
{
    if (!model)
        return;
    bindModelVertexArrays(*model, true);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}
