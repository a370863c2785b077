// Textures and texture sets: kinds from file names, the defaults and their printed lines, the
// built-in stand-ins, the uploaded texels, and the set keys. Every case loads from its own
// temporary data folder, so the run directory's pictures do not matter.
#include "gfx/textures.h"
#include "gfx/tga.h"
#include "tests/gl_test_context.h"
#include "tests/tga_test_files.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace {

TEST(TextureNames, UnderscoreSuffix)
{
    const struct {
        const char* name;
        const char* suffix;
    } cases[] = {
        {"rock_normal.tga", "normal.tga"}, {"a_b_dull.tga", "dull.tga"}, {"rock.tga", ""},
        {"_normal.tga", ""},               {"x_", ""},                  {"__x", "x"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(getUnderscoreSuffix(c.name), c.suffix) << c.name;
}

TEST(TextureNames, KindFromName)
{
    const struct {
        const char* name;
        TextureKind kind;
    } cases[] = {
        {"rock_normal.tga", TextureKind::NORMAL},
        {"rock_chraber.tga", TextureKind::CHRABER},
        {"rock_specular.tga", TextureKind::SPECULAR},
        {"rock.tga", TextureKind::BASE},
        {"_normal.tga", TextureKind::BASE},  // the only '_' is the first character
        {"a_speed.tga", TextureKind::SPECULAR},
        {"b_no.tga", TextureKind::BASE},
        {"c_no", TextureKind::BASE},  // shorter than three characters: no match
        {"c_nor", TextureKind::NORMAL},
        {"rock_normal_detail.tga", TextureKind::BASE},  // the last '_' decides
        {"rock_Normal.tga", TextureKind::BASE},
        {"x_chrome.tga", TextureKind::CHRABER},
        {"x_", TextureKind::BASE},
    };
    for (const auto& c : cases)
        EXPECT_EQ(textureKindOf(c.name), c.kind) << c.name;
}

// RGBA texels of level 0 of the bound 2D texture, with its size.
struct Texels {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
    std::array<uint8_t, 4> at(int x, int y) const
    {
        const uint8_t* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
        return {p[0], p[1], p[2], p[3]};
    }
};

Texels readTexture(uint32_t texture)
{
    Texels texels;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &texels.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &texels.height);
    texels.rgba.resize(static_cast<size_t>(texels.width) * texels.height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.rgba.data());
    return texels;
}

using Rgba = std::array<uint8_t, 4>;

// A data folder holding the four defaults, each one colour, so a case can tell which stood in.
const Rgba DEFAULT_BASE = {10, 20, 30, 255};
const Rgba DEFAULT_NORMAL = {128, 128, 255, 255};
const Rgba DEFAULT_CHRABER = {40, 50, 60, 255};
const Rgba DEFAULT_SPECULAR = {70, 80, 90, 255};

void writeDefaults(const ScopedDataFolder& folder)
{
    folder.write("default_base.tga", solidTga(DEFAULT_BASE[0], DEFAULT_BASE[1], DEFAULT_BASE[2]));
    folder.write("default_normal.tga", solidTga(DEFAULT_NORMAL[0], DEFAULT_NORMAL[1], DEFAULT_NORMAL[2]));
    folder.write("default_chraber.tga", solidTga(DEFAULT_CHRABER[0], DEFAULT_CHRABER[1], DEFAULT_CHRABER[2]));
    folder.write("default_specular.tga", solidTga(DEFAULT_SPECULAR[0], DEFAULT_SPECULAR[1], DEFAULT_SPECULAR[2]));
}

// The same file with a one-byte image ID field.
TgaBytes withId(TgaBytes file)
{
    file[0] = 1;
    file.insert(file.begin() + 18, uint8_t{'x'});
    return file;
}

uint32_t loadTextureCapturing(const char* name, std::string& printed)
{
    testing::internal::CaptureStdout();
    uint32_t texture = loadTexture(name);
    printed = testing::internal::GetCapturedStdout();
    return texture;
}

TEST(TextureLoading, MissingFileUsesTheDefaultOfItsKind)
{
    REQUIRE_GL_CONTEXT();
    ScopedDataFolder folder;
    writeDefaults(folder);
    const struct {
        const char* name;
        const char* printed;
        Rgba colour;
    } cases[] = {
        {"rock.tga", "basedefault loaded instead of rock.tga\n", DEFAULT_BASE},
        {"rock_normal.tga", "normaldefault loaded\n", DEFAULT_NORMAL},
        {"rock_chraber.tga", "chraberdefault loaded\n", DEFAULT_CHRABER},
        {"rock_specular.tga", "speculardefault loaded\n", DEFAULT_SPECULAR},
        {"a_spec.tga", "speculardefault loaded\n", DEFAULT_SPECULAR},
        {"b_no.tga", "basedefault loaded instead of b_no.tga\n", DEFAULT_BASE},
        {"_normal.tga", "basedefault loaded instead of _normal.tga\n", DEFAULT_BASE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string printed;
        uint32_t texture = loadTextureCapturing(c.name, printed);
        EXPECT_EQ(printed, c.printed);
        ASSERT_NE(texture, 0u);
        Texels texels = readTexture(texture);
        ASSERT_EQ(texels.width, 1);
        EXPECT_EQ(texels.at(0, 0), c.colour);
    }
}

TEST(TextureLoading, HostilePictureGivesTheDefault)
{
    REQUIRE_GL_CONTEXT();
    ScopedDataFolder folder;
    writeDefaults(folder);
    const struct {
        const char* name;
        TgaBytes file;
    } cases[] = {
        {"empty.tga", {}},
        {"truncated.tga", joinBytes({tgaHeader(2, 64, 64, 32), patternPixels(100, 4)})},
        {"huge.tga", joinBytes({tgaHeader(2, 65535, 65535, 32), patternPixels(16, 4)})},
        {"huge_rle.tga", joinBytes({tgaHeader(10, 16384, 16384, 32), {0xFF, 1, 2, 3, 4}})},
        {"overrun.tga", joinBytes({tgaHeader(10, 2, 2, 24), {0xFF, 1, 2, 3}})},
        {"mapped.tga", joinBytes({{0, 1, 1, 0, 0, 2, 0, 24, 0, 0, 0, 0, 1, 0, 1, 0, 8, 0}, TgaBytes(7, 0)})},
        {"id_field.tga", withId(joinBytes({tgaHeader(2, 1, 1, 24), {1, 2, 3}}))},
        {"grey16.tga", joinBytes({tgaHeader(2, 1, 1, 16), {1, 2}})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(folder.write(c.name, c.file));
        std::string printed;
        uint32_t texture = loadTextureCapturing(c.name, printed);
        EXPECT_EQ(printed, std::string("basedefault loaded instead of ") + c.name + "\n");
        Texels texels = readTexture(texture);
        ASSERT_EQ(texels.width, 1);
        EXPECT_EQ(texels.at(0, 0), DEFAULT_BASE);
    }
}

TEST(TextureLoading, BuiltInPictureWhenTheDefaultIsMissingToo)
{
    REQUIRE_GL_CONTEXT();
    ScopedDataFolder folder;  // no defaults
    folder.write("default_chraber.tga", joinBytes({tgaHeader(2, 8, 8, 24), {1, 2, 3}}));  // unreadable
    const struct {
        const char* name;
        const char* printed;
        Rgba colour;
    } cases[] = {
        {"lost.tga", "default_base.tga unreadable: built-in base texture used for lost.tga\n", {255, 255, 255, 255}},
        {"lost_normal.tga", "default_normal.tga unreadable: built-in normal texture used for lost_normal.tga\n",
         {128, 128, 255, 255}},
        {"lost_chraber.tga", "default_chraber.tga unreadable: built-in chraber texture used for lost_chraber.tga\n",
         {224, 224, 224, 255}},
        {"lost_specular.tga",
         "default_specular.tga unreadable: built-in specular texture used for lost_specular.tga\n", {0, 0, 0, 255}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string printed;
        uint32_t texture = loadTextureCapturing(c.name, printed);
        EXPECT_EQ(printed, c.printed);
        ASSERT_NE(texture, 0u);
        EXPECT_TRUE(glIsTexture(texture));
        Texels texels = readTexture(texture);
        ASSERT_EQ(texels.width, 1);
        ASSERT_EQ(texels.height, 1);
        EXPECT_EQ(texels.at(0, 0), c.colour);
    }
}

TEST(TextureLoading, UploadKeepsSizeTexelsAndRowOrder)
{
    REQUIRE_GL_CONTEXT();
    ScopedDataFolder folder;
    const TgaBytes p2x2 = patternPixels(4, 3);
    const TgaBytes p2x4 = patternPixels(8, 3, 1);
    const TgaBytes p4x2 = patternPixels(8, 4, 2);
    const struct {
        const char* name;
        TgaBytes file;
        int width, height, bytesPerPixel;
        TgaBytes filePixels;  // B, G, R(, A) in file order
    } cases[] = {
        // Rows of 6 bytes: read with the default alignment of 4 these would be skewed.
        {"packed24.tga", joinBytes({tgaHeader(2, 2, 2, 24), p2x2}), 2, 2, 3, p2x2},
        {"tall24.tga", joinBytes({tgaHeader(2, 2, 4, 24, 0x20), p2x4}), 2, 4, 3, p2x4},
        {"alpha32.tga", joinBytes({tgaHeader(2, 4, 2, 32), p4x2}), 4, 2, 4, p4x2},
        {"runs32.tga", joinBytes({tgaHeader(10, 4, 2, 32), {0x83, 9, 8, 7, 6, 0x83, 1, 2, 3, 4}}), 4, 2, 4,
         joinBytes({TgaBytes{9, 8, 7, 6, 9, 8, 7, 6, 9, 8, 7, 6, 9, 8, 7, 6},
                    TgaBytes{1, 2, 3, 4, 1, 2, 3, 4, 1, 2, 3, 4, 1, 2, 3, 4}})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(folder.write(c.name, c.file));
        glPixelStorei(GL_UNPACK_ALIGNMENT, 8);
        std::string printed;
        uint32_t texture = loadTextureCapturing(c.name, printed);
        EXPECT_EQ(printed, std::string(c.name) + " loaded\n");
        GLint alignment = 0;
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
        EXPECT_EQ(alignment, 8) << "unpack alignment not restored";
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(static_cast<uint32_t>(bound), texture) << "the texture stays bound";
        GLint minFilter = 0, magFilter = 0, levels = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
        EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_NEAREST);
        EXPECT_EQ(magFilter, GL_LINEAR);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &levels);
        EXPECT_EQ(levels, c.width / 2) << "mipmap level 1 missing";

        Texels texels = readTexture(texture);
        ASSERT_EQ(texels.width, c.width);
        ASSERT_EQ(texels.height, c.height);
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) {
                const uint8_t* p = &c.filePixels[(static_cast<size_t>(y) * c.width + x) * c.bytesPerPixel];
                const Rgba expected = {p[2], p[1], p[0], c.bytesPerPixel == 4 ? p[3] : uint8_t{255}};
                EXPECT_EQ(texels.at(x, y), expected) << "texel " << x << "," << y;
            }
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
}

// Texture sets keep their table across tests: each case restores the count it found, so the
// entries it made are overwritten later and the table's start is untouched.
class TextureSets : public testing::Test {
protected:
    void SetUp() override
    {
        savedCount = textureSetCount;
        writeDefaults(folder);
    }
    void TearDown() override { textureSetCount = savedCount; }

    int32_t loadSetCapturing(const char* name, std::string& printed)
    {
        testing::internal::CaptureStdout();
        int32_t index = loadTextureSet(name);
        printed = testing::internal::GetCapturedStdout();
        return index;
    }

    int32_t savedCount = 0;
    ScopedDataFolder folder;
};

TEST_F(TextureSets, SharedKeyLoadsOnce)
{
    REQUIRE_GL_CONTEXT();
    std::string first, second;
    int32_t trunk = loadSetCapturing("tree_trunk", first);
    int32_t leaves = loadSetCapturing("tree_leaves", second);
    EXPECT_EQ(trunk, savedCount);
    EXPECT_EQ(leaves, trunk);
    EXPECT_EQ(textureSetCount, savedCount + 1);
    EXPECT_EQ(first,
              "-tree.tga-tree.tga-\n"
              "-tree.tga-tree_normal.tga-\n"
              "-tree_chraber.tga-\n"
              "-tree_specular.tga-\n"
              "basedefault loaded instead of tree.tga\n"
              "normaldefault loaded\n"
              "chraberdefault loaded\n"
              "speculardefault loaded\n");
    EXPECT_EQ(second, "") << "a known set loads nothing";
    const TextureSet& set = textureSets[trunk];
    EXPECT_STREQ(set.name, "tree");
    EXPECT_EQ(set.reserved, 0);
    EXPECT_EQ(readTexture(set.baseTexture).at(0, 0), DEFAULT_BASE);
    EXPECT_EQ(readTexture(set.normalTexture).at(0, 0), DEFAULT_NORMAL);
    EXPECT_EQ(readTexture(set.chraberTexture).at(0, 0), DEFAULT_CHRABER);
    EXPECT_EQ(readTexture(set.specularTexture).at(0, 0), DEFAULT_SPECULAR);
}

TEST_F(TextureSets, NameWithoutUnderscoreLoadsItsFourFiles)
{
    REQUIRE_GL_CONTEXT();
    const struct {
        const char* file;
        Rgba colour;
    } files[] = {
        {"crate.tga", {200, 0, 0, 255}},
        {"crate_normal.tga", {0, 200, 0, 255}},
        {"crate_chraber.tga", {0, 0, 200, 255}},
        {"crate_specular.tga", {9, 9, 9, 255}},
    };
    for (const auto& f : files)
        folder.write(f.file, solidTga(f.colour[0], f.colour[1], f.colour[2]));
    std::string printed;
    int32_t index = loadSetCapturing("crate", printed);
    EXPECT_EQ(printed,
              "-crate.tga-crate.tga-\n-crate.tga-crate_normal.tga-\n-crate_chraber.tga-\n-crate_specular.tga-\n"
              "crate.tga loaded\ncrate_normal.tga loaded\ncrate_chraber.tga loaded\ncrate_specular.tga loaded\n");
    const TextureSet& set = textureSets[index];
    EXPECT_STREQ(set.name, "crate");
    const uint32_t textures[] = {set.baseTexture, set.normalTexture, set.chraberTexture, set.specularTexture};
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(readTexture(textures[i]).at(0, 0), files[i].colour) << files[i].file;
}

TEST_F(TextureSets, LeadingUnderscoreGivesTheEmptyKey)
{
    REQUIRE_GL_CONTEXT();
    std::string printed;
    int32_t index = loadSetCapturing("_hull", printed);
    EXPECT_STREQ(textureSets[index].name, "");
    EXPECT_EQ(printed.substr(0, printed.find('\n') + 1), "-.tga-.tga-\n");
    EXPECT_NE(printed.find("basedefault loaded instead of .tga\n"), std::string::npos);
    EXPECT_EQ(loadTextureSet("_wing"), index);
}

TEST_F(TextureSets, LongNamesKeepAKeyOf255Characters)
{
    REQUIRE_GL_CONTEXT();
    const std::string name = std::string(300, 'k') + "_a";
    std::string printed;
    int32_t index = loadSetCapturing(name.c_str(), printed);
    EXPECT_EQ(std::string(textureSets[index].name), std::string(255, 'k'));
    // Same first 255 characters: the same set.
    EXPECT_EQ(loadTextureSet((std::string(255, 'k') + "zzz").c_str()), index);
    EXPECT_NE(printed.find("basedefault loaded instead of " + std::string(255, 'k') + ".tga\n"), std::string::npos);
}

TEST_F(TextureSets, FullTableHandsOutAValidSet)
{
    REQUIRE_GL_CONTEXT();
    if (savedCount == 0) {
        std::string ignored;
        loadSetCapturing("first", ignored);
    }
    textureSetCount = TEXTURE_SET_CAPACITY;
    testing::internal::CaptureStderr();
    std::string printed;
    int32_t index = loadSetCapturing("onetoomany", printed);
    std::string error = testing::internal::GetCapturedStderr();
    EXPECT_EQ(index, 0);
    EXPECT_EQ(textureSetCount, TEXTURE_SET_CAPACITY);
    EXPECT_EQ(printed, "");
    EXPECT_EQ(error, "texture set table full (1000 sets): onetoomany uses set 0\n");
}

}  // namespace
