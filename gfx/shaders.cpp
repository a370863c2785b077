// The shader program loader: reads both sources from the data folder, compiles, links and
// reports every failure with its log on standard output.
#include "gfx/shaders.h"

#include "core/data_files.h"
#include "core/file_text.h"  // readOpenFileText
#include "platform/gl_api.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

ShaderProgram shaderLoader;
int currentShaderProgram = 0;
unsigned char shaderSourceFound = 0;
uint32_t defaultShaderProgram = 0;

char* readShaderSource(const char* fileName)
{
    shaderSourceFound = 0;
    if (!fileName)
        return nullptr;
    FILE* file = openDataFile(fileName, "rt");
    if (!file)
        return nullptr;
    shaderSourceFound = 1;
    size_t length = 0;
    char* text = readOpenFileText(file, length);
    std::fclose(file);
    if (text && length == 0) {  // an empty source counts as none
        std::free(text);
        text = nullptr;
    }
    return text;
}

// GL reports a log length of 0 when it keeps no log; the text is then empty, never garbage.
static std::string infoLog(uint32_t object, bool isProgram)
{
    GLint length = 0;
    if (isProgram)
        glGetProgramiv(object, GL_INFO_LOG_LENGTH, &length);
    else
        glGetShaderiv(object, GL_INFO_LOG_LENGTH, &length);
    if (length <= 1)
        return std::string();
    std::string text(static_cast<size_t>(length), '\0');
    GLsizei written = 0;
    if (isProgram)
        glGetProgramInfoLog(object, length, &written, &text[0]);
    else
        glGetShaderInfoLog(object, length, &written, &text[0]);
    text.resize(written > 0 && written < length ? static_cast<size_t>(written) : 0);
    return text;
}

std::string shaderInfoLog(uint32_t shader)
{
    return infoLog(shader, false);
}

std::string programInfoLog(uint32_t program)
{
    return infoLog(program, true);
}

// A failed compile whose log is empty still says so.
static std::string logOrPlaceholder(const std::string& log)
{
    return log.empty() ? std::string("(no log)\n") : log;
}

static bool compileShader(uint32_t shader)
{
    glCompileShader(shader);
    GLint status = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    return status == GL_TRUE;
}

int shaderBuildFailures = 0;
std::string firstShaderBuildFailure;

// The two source files of the build under way, named with the first failure.
static std::string buildingFiles;

static void startBuild(const char* vertexFile, const char* fragmentFile)
{
    buildingFiles = std::string(vertexFile ? vertexFile : "(null)") + "," + (fragmentFile ? fragmentFile : "(null)");
}

// A build failure's text: on standard output where the loader has always printed it, and on
// standard error so scripted runs see it; counted (the first kept) for the tools that must
// fail on it.
static void reportBuildFailure(const std::string& text)
{
    if (shaderBuildFailures++ == 0)
        firstShaderBuildFailure = buildingFiles + ": " + text.substr(0, text.find('\n'));
    std::fputs(text.c_str(), stdout);
    std::fputs(text.c_str(), stderr);
    if (!text.empty() && text.back() != '\n')
        std::fputc('\n', stderr);
}

static bool linkSucceeded(uint32_t program)
{
    GLint status = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    return status == GL_TRUE;
}

static void reportMissingSource(const char* kind, const char* fileName, const char* source)
{
    if (!shaderSourceFound)
        reportBuildFailure(std::string(kind) + " shader file " + (fileName ? fileName : "(null)") + " not found\n");
    else if (!source)
        reportBuildFailure(std::string(kind) + " shader file " + fileName + " is empty\n");
}

// Reads both sources; false (with the messages) when either is missing or empty.
static bool readBothSources(const char* vertexFile, const char* fragmentFile, bool logEachFile, char** vertexSource,
                            char** fragmentSource)
{
    *vertexSource = readShaderSource(vertexFile);
    if (logEachFile) {
        if (!shaderSourceFound)
            debugLog("vertex shader file %s not found\n", vertexFile);
        else
            debugLog("vertex shader file %s loaded\n", vertexFile);
    }
    reportMissingSource("vertex", vertexFile, *vertexSource);
    *fragmentSource = readShaderSource(fragmentFile);
    if (logEachFile) {
        if (!shaderSourceFound)
            debugLog("fragment shader file %s not found\n", fragmentFile);
        else
            debugLog("fragment shader file %s loaded\n", fragmentFile);
    }
    reportMissingSource("fragment", fragmentFile, *fragmentSource);
    if (*vertexSource && *fragmentSource)
        return true;
    std::printf("Either vertex shader or fragment shader file not found.\n");
    std::free(*vertexSource);
    std::free(*fragmentSource);
    *vertexSource = *fragmentSource = nullptr;
    return false;
}

static void setSource(uint32_t shader, char* source)
{
    const GLchar* text = source;
    glShaderSource(shader, 1, &text, nullptr);
    std::free(source);  // GL keeps its own copy
}

// Links the program and checks the result; a program that does not link is deleted and the
// build gives 0, as a missing file does.
static uint32_t linkOrReport(uint32_t program, const char* vertexFile, const char* fragmentFile)
{
    glLinkProgram(program);
    if (linkSucceeded(program))
        return program;
    std::string log = logOrPlaceholder(programInfoLog(program));
    reportBuildFailure(std::string("SHADER LINK ERROR ") + (vertexFile ? vertexFile : "(null)") + "," +
                       (fragmentFile ? fragmentFile : "(null)") + "\n" + log);
    debugLog("%s", log.c_str());
    glDeleteProgram(program);
    return 0;
}

// The vertex source of each build of a skinned model pass, by MODEL_BUILD_BONES; the last is
// the one the pass is loaded by.
static const char* const MODEL_PASS_BUILD_FILES[][MODEL_BUILD_COUNT] = {
    {"shmappass1static.vert", "shmappass1fewbones.vert", "shmappass1.vert"},
    {"shmappass2static.vert", "shmappass2fewbones.vert", "shmappass2.vert"},
    {"shmappass2fogstatic.vert", "shmappass2fogfewbones.vert", "shmappass2fog.vert"},
    {"tutorial2static.vert", "tutorial2fewbones.vert", "tutorial2.vert"},
    {"volumetricstatic.vert", "volumetricfewbones.vert", "volumetric.vert"},
};

// Entries are cleared, never moved: the draws keep pointers to them.
static ModelBuildFamily modelBuildFamilies[MODEL_BUILD_FAMILY_CAPACITY];

// One smaller build: the vertex source `vertexFile` linked with the pass's compiled fragment
// shader; 0 (reported like any build failure) when it does not build.
static uint32_t buildSmallerModelPass(const char* vertexFile, const char* fragmentFile, uint32_t fragmentShader)
{
    startBuild(vertexFile, fragmentFile);
    char* source = readShaderSource(vertexFile);
    reportMissingSource("vertex", vertexFile, source);
    if (!source)
        return 0;
    uint32_t vertexShader = glCreateShader(GL_VERTEX_SHADER);
    setSource(vertexShader, source);
    uint32_t program = 0;
    if (compileShader(vertexShader)) {
        program = glCreateProgram();
        glAttachShader(program, fragmentShader);
        glAttachShader(program, vertexShader);
        program = linkOrReport(program, vertexFile, fragmentFile);
    } else {
        reportBuildFailure("VERTEX SHADER ERROR " + logOrPlaceholder(shaderInfoLog(vertexShader)));
    }
    glDeleteShader(vertexShader);  // goes with the program it is attached to
    return program;
}

// The smaller builds of a freshly linked pass, and its family entry.
static void buildModelPassFamily(uint32_t program, const char* vertexFile, const char* fragmentFile,
                                 uint32_t fragmentShader)
{
    const char* const* files = nullptr;
    for (const auto& f : MODEL_PASS_BUILD_FILES)
        if (vertexFile && std::strcmp(vertexFile, f[MODEL_BUILD_COUNT - 1]) == 0)
            files = f;
    if (!files)
        return;
    ModelBuildFamily* family = nullptr;
    for (ModelBuildFamily& f : modelBuildFamilies)
        if (!family && f.builds[MODEL_BUILD_COUNT - 1] == 0)
            family = &f;
    if (!family) {
        reportBuildFailure(std::string("MODEL BUILD TABLE FULL ") + vertexFile + "," + fragmentFile + "\n");
        return;
    }
    for (int k = 0; k + 1 < MODEL_BUILD_COUNT; ++k)
        family->builds[k] = buildSmallerModelPass(files[k], fragmentFile, fragmentShader);
    family->builds[MODEL_BUILD_COUNT - 1] = program;
}

const ModelBuildFamily* modelBuildFamily(uint32_t program)
{
    if (program == 0)
        return nullptr;
    for (const ModelBuildFamily& f : modelBuildFamilies)
        for (uint32_t build : f.builds)
            if (build == program)
                return &f;
    return nullptr;
}

uint32_t smallestModelBuild(const ModelBuildFamily& family, int bones)
{
    for (int k = 0; k < MODEL_BUILD_COUNT; ++k)
        if (MODEL_BUILD_BONES[k] >= bones && family.builds[k] != 0)
            return family.builds[k];
    return family.builds[MODEL_BUILD_COUNT - 1];
}

static void deleteSmallerModelBuilds(uint32_t program)
{
    for (ModelBuildFamily& f : modelBuildFamilies) {
        if (f.builds[MODEL_BUILD_COUNT - 1] != program)
            continue;
        for (int k = 0; k + 1 < MODEL_BUILD_COUNT; ++k)
            if (f.builds[k] != 0)
                glDeleteProgram(f.builds[k]);
        f = ModelBuildFamily{};
    }
}

void buildModelBuilds(uint32_t program, const char* vertexFile, const char* fragmentFile, uint32_t fragmentShader)
{
    if (program)
        buildModelPassFamily(program, vertexFile, fragmentFile, fragmentShader);
}

void deleteModelBuilds(uint32_t program)
{
    if (program)
        deleteSmallerModelBuilds(program);
}

ShaderProgram::~ShaderProgram()
{
    destroy();
}

uint32_t ShaderProgram::load(const char* vertexFile, const char* fragmentFile)
{
    startBuild(vertexFile, fragmentFile);
    std::printf("shader init... %s,%s\n", vertexFile ? vertexFile : "(null)", fragmentFile ? fragmentFile : "(null)");
    vertexShader = glCreateShader(GL_VERTEX_SHADER);
    fragmentShader = glCreateShader(GL_FRAGMENT_SHADER);

    char* vertexSource = nullptr;
    char* fragmentSource = nullptr;
    if (!readBothSources(vertexFile, fragmentFile, true, &vertexSource, &fragmentSource)) {
        program = 0;  // so the teardown never touches a program an earlier build handed out
        return 0;
    }
    setSource(vertexShader, vertexSource);
    setSource(fragmentShader, fragmentSource);

    if (!compileShader(vertexShader)) {
        std::string log = logOrPlaceholder(shaderInfoLog(vertexShader));
        // The vertex log is printed too: otherwise only the link failure would show.
        reportBuildFailure("VERTEX SHADER ERROR " + log);
        debugLog("%s", log.c_str());
    }
    if (!compileShader(fragmentShader)) {
        std::string log = logOrPlaceholder(shaderInfoLog(fragmentShader));
        reportBuildFailure("SHADER ERROR " + log);
        debugLog("%s", log.c_str());
    }

    program = glCreateProgram();
    glAttachShader(program, fragmentShader);
    glAttachShader(program, vertexShader);
    program = linkOrReport(program, vertexFile, fragmentFile);
    if (program)
        buildModelPassFamily(program, vertexFile, fragmentFile, fragmentShader);
    std::printf("%d\n", static_cast<int>(program));
    return program;
}

uint32_t ShaderProgram::create(const char* vertexFile, const char* fragmentFile)
{
    return load(vertexFile, fragmentFile);
}

uint32_t ShaderProgram::loadWithAttributes(const char* vertexFile, const char* fragmentFile)
{
    startBuild(vertexFile, fragmentFile);
    vertexShader = glCreateShader(GL_VERTEX_SHADER);
    fragmentShader = glCreateShader(GL_FRAGMENT_SHADER);
    char* vertexSource = nullptr;
    char* fragmentSource = nullptr;
    if (!readBothSources(vertexFile, fragmentFile, false, &vertexSource, &fragmentSource)) {
        program = 0;
        return 0;
    }
    setSource(vertexShader, vertexSource);
    setSource(fragmentShader, fragmentSource);
    bool vertexCompiled = compileShader(vertexShader);
    bool fragmentCompiled = compileShader(fragmentShader);

    program = glCreateProgram();
    glAttachShader(program, fragmentShader);
    glAttachShader(program, vertexShader);
    glBindAttribLocation(program, 0, "vertex_coo");
    glBindAttribLocation(program, 1, "vertex_normal");
    glBindAttribLocation(program, 2, "vertex_uv");
    program = linkOrReport(program, vertexFile, fragmentFile);
    if (!program) {
        // This variant prints no compile logs of its own: show them with the link failure.
        if (!vertexCompiled)
            reportBuildFailure("VERTEX SHADER ERROR " + logOrPlaceholder(shaderInfoLog(vertexShader)));
        if (!fragmentCompiled)
            reportBuildFailure("SHADER ERROR " + logOrPlaceholder(shaderInfoLog(fragmentShader)));
    }
    return program;
}

void ShaderProgram::use(uint32_t programId)
{
    glUseProgram(programId);
    currentShaderProgram = static_cast<int>(programId);
}

void ShaderProgram::unuse()
{
    glUseProgram(0);
    currentShaderProgram = 0;
}

int ShaderProgram::current() const
{
    return currentShaderProgram;
}

void ShaderProgram::destroy()
{
    // At process exit the window and its context are already gone: nothing left to release.
    if (!glapi_glDeleteShader || !SDL_GL_GetCurrentContext())
        return;
    if (program) {
        if (fragmentShader)
            glDetachShader(program, fragmentShader);
        if (vertexShader)
            glDetachShader(program, vertexShader);
    }
    if (fragmentShader)
        glDeleteShader(fragmentShader);
    if (vertexShader)
        glDeleteShader(vertexShader);
    if (program) {
        deleteSmallerModelBuilds(program);
        glDeleteProgram(program);
    }
    program = vertexShader = fragmentShader = 0;
}

void loadDefaultShaderProgram()
{
    defaultShaderProgram = shaderLoader.load("shader.vert", "shader.frag");
}

void bindSampler(int location, int unit, uint32_t texture)
{
    if (location >= 0)
        glUniform1i(location, unit);
    glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
    glBindTexture(GL_TEXTURE_2D, texture);
}
