// Texture loading and the texture-set table. Progress lines go to standard output, the
// size bookkeeping to the discarded debug log.
#include "gfx/textures.h"

#include "core/data_files.h"  // debugLog
#include "gfx/tga.h"
#include "platform/gl_api.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

TextureSet textureSets[TEXTURE_SET_CAPACITY];
int32_t textureSetCount = 0;

// The stand-in picture of each kind when even the data folder's default cannot be read.
struct BuiltInTexture {
    const char* kindName;
    uint8_t rgba[4];
};

static const BuiltInTexture BUILT_IN_TEXTURES[] = {
    {"base", {255, 255, 255, 255}},
    {"normal", {128, 128, 255, 255}},  // the flat normal (0, 0, 1)
    {"chraber", {224, 224, 224, 255}},  // a bright light-map value
    {"specular", {0, 0, 0, 255}},       // no highlight
};

static const char* const DEFAULT_TEXTURE_FILES[] = {
    "default_base.tga",
    "default_normal.tga",
    "default_chraber.tga",
    "default_specular.tga",
};

static size_t kindIndex(TextureKind kind)
{
    return static_cast<size_t>(kind);
}

const char* getUnderscoreSuffix(const char* name)
{
    if (!name)
        return "";
    const char* last = std::strrchr(name, '_');
    if (!last || last == name)
        return "";
    return last + 1;
}

TextureKind textureKindOf(const char* name)
{
    // strncmp stops at the suffix's end, so a suffix shorter than three characters never matches.
    const char* suffix = getUnderscoreSuffix(name);
    if (std::strncmp(suffix, "nor", 3) == 0)
        return TextureKind::NORMAL;
    if (std::strncmp(suffix, "chr", 3) == 0)
        return TextureKind::CHRABER;
    if (std::strncmp(suffix, "spe", 3) == 0)
        return TextureKind::SPECULAR;
    return TextureKind::BASE;
}

static void makeBuiltInPicture(TgaImage& image, TextureKind kind)
{
    image.data = new uint8_t[4];
    std::memcpy(image.data, BUILT_IN_TEXTURES[kindIndex(kind)].rgba, 4);
    image.width = 1;
    image.height = 1;
    image.bpp = 32;
    image.glFormat = GL_RGBA;
}

// Reads the default of `kind` (or makes the built-in picture) and prints which one stands in.
static void loadDefaultPicture(TgaImage& image, TextureKind kind, const char* name)
{
    const char* file = DEFAULT_TEXTURE_FILES[kindIndex(kind)];
    if (!loadTgaImage(image, file)) {
        makeBuiltInPicture(image, kind);
        std::printf("%s unreadable: built-in %s texture used for %s\n", file,
                    BUILT_IN_TEXTURES[kindIndex(kind)].kindName, name);
        return;
    }
    switch (kind) {
    case TextureKind::BASE:
        std::printf("basedefault loaded instead of %s\n", name);
        break;
    case TextureKind::NORMAL:
        std::printf("normaldefault loaded\n");
        break;
    case TextureKind::CHRABER:
        std::printf("chraberdefault loaded\n");
        break;
    case TextureKind::SPECULAR:
        std::printf("speculardefault loaded\n");
        break;
    }
}

// Creates the texture with its whole mipmap chain (rescaled to powers of two by GLU). Rows of
// a 24-bit picture are packed, so the unpack alignment is 1 for the upload and restored after.
static void uploadPicture(TgaImage& image, const char* name)
{
    GLint previousAlignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &previousAlignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    image.textureId = texture;
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    GLint status = gluBuild2DMipmaps(GL_TEXTURE_2D, static_cast<GLint>(image.bpp / 8),
                                     static_cast<GLsizei>(image.width), static_cast<GLsizei>(image.height),
                                     image.glFormat, GL_UNSIGNED_BYTE, image.data);
    if (status != 0)
        std::fprintf(stderr, "mipmaps of %s failed: %s\n", name,
                     reinterpret_cast<const char*>(gluErrorString(static_cast<GLenum>(status))));
    glPixelStorei(GL_UNPACK_ALIGNMENT, previousAlignment);
}

uint32_t loadTexture(const char* name)
{
    if (!name)
        name = "";
    TextureKind kind = textureKindOf(name);
    TgaImage image;
    bool loaded = loadTgaImage(image, name);
    if (loaded) {
        debugLog("total texture size = %lld\n", static_cast<long long>(totalTextureBytes));
        std::printf("%s loaded\n", name);
    } else {
        loadDefaultPicture(image, kind, name);
    }
    uploadPicture(image, name);
    releaseTgaImage(image);
    if (loaded)
        debugLog("\nloaded pic '%s' id=%d\n", name, static_cast<int>(image.textureId));
    return image.textureId;
}

int32_t loadTextureSet(const char* name)
{
    if (!name)
        name = "";
    const size_t keyLength = std::min(std::strcspn(name, "_"), static_cast<size_t>(TEXTURE_SET_NAME_BYTES - 1));
    const std::string key(name, keyLength);
    for (int32_t i = 0; i < textureSetCount; ++i)
        if (key == textureSets[i].name)
            return i;
    if (textureSetCount >= TEXTURE_SET_CAPACITY) {
        // Set 0 is a valid handle, so the caller still draws with loaded textures.
        std::fprintf(stderr, "texture set table full (%d sets): %s uses set 0\n", TEXTURE_SET_CAPACITY,
                     key.c_str());
        return 0;
    }

    const std::string baseName = key + ".tga";
    const std::string normalName = key + "_normal.tga";
    const std::string chraberName = key + "_chraber.tga";
    const std::string specularName = key + "_specular.tga";
    std::printf("-%s-%s-\n", baseName.c_str(), baseName.c_str());
    debugLog("-%s-%s-\n", baseName.c_str(), baseName.c_str());
    std::printf("-%s-%s-\n", baseName.c_str(), normalName.c_str());
    std::printf("-%s-\n", chraberName.c_str());
    std::printf("-%s-\n", specularName.c_str());

    TextureSet& set = textureSets[textureSetCount];
    std::memcpy(set.name, key.c_str(), key.size() + 1);
    set.reserved = 0;
    set.baseTexture = loadTexture(baseName.c_str());
    set.normalTexture = loadTexture(normalName.c_str());
    set.chraberTexture = loadTexture(chraberName.c_str());
    set.specularTexture = loadTexture(specularName.c_str());
    return textureSetCount++;
}
