// model-info FILE: reads an OBJ model (with its material library), a COLLADA document or a
// .3dm model through the engine's GL-free readers and prints one line of counts:
//   OBJ:     vertices V normals N texcoords T triangles F groups G materials M
//   COLLADA: triangles F positions P normals N texcoords T (points of each source)
//   .3dm:    triangles F bones B frames S
// A file the reader refuses prints the reader's one-line message on stderr and exits with
// status 1; so does a path that is no regular file (a directory, a FIFO) or cannot be read.
// The path is used as given; textures are not loaded.
#include "app/tool_cli.h"
#include "gfx/collada_read.h"
#include "gfx/model.h"  // getFileExtension
#include "gfx/model_3dm.h"
#include "gfx/obj_read.h"
#include "core/regular_file.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>

namespace {

// The material libraries an OBJ names; the reader gives the one-line message on failure.
bool readFile(const std::string& path, std::string& text)
{
    std::string why;
    return readRegularFile(path.c_str(), text, why, nullptr, OBJ_MAX_FILE_BYTES);
}

int describeObj(const char* path, const std::string& text)
{
    ObjReadSeams seams;
    seams.readFile = readFile;
    seams.loadTexture = [](const std::string&, float* width, float* height) {
        *width = *height = 0.0f;
        return 0u;
    };
    ObjReadError error;
    std::unique_ptr<ObjModel> model(objReadText(path, text.data(), text.size(), seams, nullptr, error));
    if (!model) {
        std::fputs(error.message.c_str(), stderr);
        return 1;
    }
    std::printf("vertices %u normals %u texcoords %u triangles %u groups %u materials %u\n", model->numvertices,
                model->numnormals, model->numtexcoords, model->numtriangles, model->numgroups, model->nummaterials);
    return 0;
}

int describeCollada(const char* path, const std::string& text)
{
    ColladaMesh mesh;
    ColladaXmlError xmlError;
    std::string error;
    ColladaResult result = parseCollada(text.data(), text.size(), path, mesh, xmlError, error);
    if (result == ColladaResult::XML_ERROR) {
        std::fputs(colladaXmlReport(path, xmlError).c_str(), stderr);
        return 1;
    }
    if (result == ColladaResult::MALFORMED) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::printf("triangles %d positions %zu normals %zu texcoords %zu\n", mesh.triangleCount, mesh.positions.size() / 3,
                mesh.normals.size() / 3, mesh.texcoords.size() / 2);
    return 0;
}

int describe3dm(const char* path, const std::string& text)
{
    Model3dmFile file;
    std::string error;
    if (!parse3dm(text.data(), text.size(), path, READ_3DM_MODEL, file, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::printf("triangles %d bones %d frames %d\n", file.triangleCount, file.boneCount, file.frameCount);
    return 0;
}

} // namespace

static int describeFile(const char* path);

int main(int argc, char** argv)
{
    CLI::App app{"Reads an OBJ model (with its material library), a COLLADA document or a .3dm model\n"
                 "with the engine's readers, without a window, and prints its counts in one line.\n"
                 "Status 1 and the reader's message on stderr for a file it refuses.",
                 "model-info"};
    useToolRules(app);
    std::string file;
    app.add_option("FILE", file, "the model: .obj, .dae or .3dm (the path is used as given)")
        ->type_name("")
        ->required();
    if (int status = parseToolCommandLine(app, argc, argv); status >= 0)
        return status;
    // The readers bound what a file may ask for; a machine short of memory below those bounds
    // still gets a message, not an abort.
    try {
        return describeFile(file.c_str());
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "model-info: %s: out of memory\n", file.c_str());
        return 1;
    }
}

static int describeFile(const char* path)
{
    const char* extension = getFileExtension(path);
    bool obj = std::strcmp(extension, "obj") == 0;
    bool dae = std::strcmp(extension, "dae") == 0;
    bool model3dm = std::strcmp(extension, "3dm") == 0;
    if (!obj && !dae && !model3dm) {
        std::fprintf(stderr, "model-info: %s: expected a .obj, .dae or .3dm file\n", path);
        return 1;
    }
    std::string text;
    std::string why;
    if (!readRegularFile(path, text, why, nullptr, obj ? OBJ_MAX_FILE_BYTES : UINT64_MAX)) {
        std::fprintf(stderr, "model-info: %s: %s\n", path, why.c_str());
        return 1;
    }
    if (obj)
        return describeObj(path, text);
    if (dae)
        return describeCollada(path, text);
    return describe3dm(path, text);
}
