// Textures from data-folder TGA pictures, with defaults by kind, and the texture-set table.
//
// A texture's kind comes from its file name alone: the text after the last '_' starting with
// "nor" is a normal map, "chr" a chraber (light-map) texture, "spe" a specular map; anything
// else is a base texture. A picture that cannot be read is replaced by the data folder's
// default of its kind, and when that is unreadable too by a built-in 1 x 1 picture, so the
// caller always gets a usable texture name.
#pragma once

#include <cstdint>

constexpr int TEXTURE_SET_CAPACITY = 1000;
constexpr int TEXTURE_SET_NAME_BYTES = 256;

enum class TextureKind { BASE, NORMAL, CHRABER, SPECULAR };

// The four textures of one object, bound to units 0 to 3 as "colorMap", "normalMap",
// "lightMap" and "specularMap" by the model draws.
struct TextureSet {
    char name[TEXTURE_SET_NAME_BYTES];  // key: the object name before its first '_'
    int32_t reserved;                   // 0; nothing reads it
    uint32_t baseTexture;               // key + ".tga"
    uint32_t normalTexture;             // key + "_normal.tga"
    uint32_t chraberTexture;            // key + "_chraber.tga"
    uint32_t specularTexture;           // key + "_specular.tga"
};

// Appended in load order and never changed; an entry's index is the handle models keep.
extern TextureSet textureSets[TEXTURE_SET_CAPACITY];
extern int32_t textureSetCount;

// Loads the data-folder TGA `name` (or the default of its kind) into a new mipmapped texture,
// left bound to GL_TEXTURE_2D on the active unit; returns its name.
uint32_t loadTexture(const char* name);
// Index in textureSets of the set keyed by `name` before its first '_', loaded on first use.
int32_t loadTextureSet(const char* name);

// Text after the last '_' of `name`; "" when there is none or it is the first character.
const char* getUnderscoreSuffix(const char* name);
TextureKind textureKindOf(const char* name);
