// The OBJ reader's public entries with the library's own seams: stdio files, GL textures.
#include "gfx/obj_draw.h"  // objLoadTexture
#include "gfx/obj_read.h"
#include "core/program_exit.h"

#include <cstdio>
#include <cstdlib>
#include <string>

static const size_t OBJ_READ_CHUNK = 65536;

static bool readWholeFile(const std::string& path, std::string& text)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    text.clear();
    std::string chunk(OBJ_READ_CHUNK, '\0');
    size_t got;
    while ((got = std::fread(&chunk[0], 1, chunk.size(), file)) > 0)
        text.append(chunk.data(), got);
    bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

ObjReadSeams objLibrarySeams()
{
    ObjReadSeams seams;
    seams.readFile = readWholeFile;
    seams.loadTexture = [](const std::string& path, float* width, float* height) {
        return objLoadTexture(path.c_str(), true, true, true, true, width, height);
    };
    seams.out = stdout;
    return seams;
}

ObjModel* objReadOBJ(const char* path, ObjLoadProgress* progress)
{
    std::string text;
    if (!readWholeFile(path, text))
        exitWithError(ExitCode::LOAD_FAILED, "objReadOBJ() failed: can't open data file \"%s\".\n", path);
    ObjReadError error;
    ObjModel* model = objReadText(path, text.data(), text.size(), objLibrarySeams(), progress, error);
    if (!model) {
        std::fputs(error.message.c_str(), error.onStdout ? stdout : stderr);
        exitProgram(ExitCode::LOAD_FAILED);
    }
    return model;
}

ObjModel* objReadOBJPath(const char* path)
{
    return objReadOBJ(path, nullptr);
}
