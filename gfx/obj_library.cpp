// The OBJ reader's public entries with the library's own seams: stdio files, GL textures.
#include "core/regular_file.h"
#include "gfx/obj_draw.h"  // objLoadTexture
#include "gfx/obj_read.h"
#include "core/program_exit.h"

#include <cstdio>
#include <cstdlib>
#include <string>

ObjReadSeams objLibrarySeams()
{
    ObjReadSeams seams;
    seams.readFile = [](const std::string& path, std::string& text) {
        std::string why;
        return readRegularFile(path.c_str(), text, why, nullptr, OBJ_MAX_FILE_BYTES);
    };
    seams.loadTexture = [](const std::string& path, float* width, float* height) {
        return objLoadTexture(path.c_str(), true, true, true, true, width, height);
    };
    seams.out = stdout;
    return seams;
}

ObjModel* objReadOBJ(const char* path, ObjLoadProgress* progress)
{
    std::string text;
    std::string why;
    if (!readRegularFile(path, text, why, nullptr, OBJ_MAX_FILE_BYTES))
        exitWithError(ExitCode::LOAD_FAILED, "objReadOBJ() failed: can't open data file \"%s\" (%s).\n", path,
                      why.c_str());
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
