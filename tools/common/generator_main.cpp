#include "tools/common/generator_main.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

int runGenerator(const char* tool, int argc, char** argv, const GeneratorWrite& write)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <run dir>\n", tool);
        return GENERATOR_USAGE;
    }
    const std::string dataDir = std::string(argv[1]) + "/data";
    std::error_code dirError;
    std::filesystem::create_directories(dataDir, dirError);
    if (dirError) {
        std::fprintf(stderr, "%s: cannot create %s: %s\n", tool, dataDir.c_str(), dirError.message().c_str());
        return GENERATOR_FAILED;
    }
    std::string error;
    if (!write(dataDir, error)) {
        std::fprintf(stderr, "%s: %s\n", tool, error.c_str());
        return GENERATOR_FAILED;
    }
    return GENERATOR_OK;
}

bool openFonts(std::initializer_list<FontToOpen> fonts, std::string& error)
{
    for (const FontToOpen* f = fonts.begin(); f != fonts.end(); ++f) {
        if (!openFont(f->font, f->path, error)) {
            for (const FontToOpen* opened = fonts.begin(); opened != f; ++opened)
                closeFont(opened->font);
            return false;
        }
    }
    return true;
}

void closeFonts(std::initializer_list<Font*> fonts)
{
    for (Font* font : fonts)
        closeFont(*font);
}
