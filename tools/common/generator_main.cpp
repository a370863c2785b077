#include "tools/common/generator_main.h"

#include "app/tool_cli.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

int runGenerator(const char* tool, int argc, char** argv, const GeneratorWrite& write)
{
    CLI::App app{std::string("Writes this generator's part of the data the demo reads into RUN_DIR/data\n"
                             "(the build runs it into build/run)."),
                 tool};
    useToolRules(app);
    std::string runDir;
    app.add_option("RUN_DIR", runDir, "the run directory")->type_name("")->required();
    if (int status = parseToolCommandLine(app, argc, argv); status >= 0)
        return status;
    const std::string dataDir = runDir + "/data";
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

bool openGeneratorFonts(GeneratorFonts& fonts, std::string& error)
{
    if (openFont(fonts.sans, FONT_SANS_PATH, error) && openFont(fonts.sansBold, FONT_SANS_BOLD_PATH, error) &&
        openFont(fonts.serif, FONT_SERIF_PATH, error))
        return true;
    closeGeneratorFonts(fonts);
    return false;
}

void closeGeneratorFonts(GeneratorFonts& fonts)
{
    // Closing a face that never opened does nothing.
    closeFont(fonts.serif);
    closeFont(fonts.sansBold);
    closeFont(fonts.sans);
}
