// The TGA reader against an independent encoder: ImageMagick writes the same picture as
// uncompressed and run-length TGA and as raw RGB(A); the reader must return the raw pixels.
#include "gfx/tga.h"
#include "tests/tga_test_files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

const char CONVERT[] = "/usr/bin/convert";

bool runConvert(const std::string& arguments)
{
    const std::string command = std::string(CONVERT) + " " + arguments + " 2>&1";
    return std::system(command.c_str()) == 0;
}

TgaBytes readWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return TgaBytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

struct EncoderCase {
    const char* what;
    int width;
    int height;
    bool alpha;
    const char* drawing;  // convert options that paint the picture on a gradient
};

// ImageMagick (6.9) stores rows top first whatever origin its descriptor claims; the file order
// is read from its uncompressed output, independently of the reader: true when the file's first
// row holds the raw export's top row.
bool fileStartsWithTopRow(const TgaBytes& uncompressed, const TgaBytes& raw, int width, int height, int bytesPerPixel)
{
    const size_t rowBytes = static_cast<size_t>(width) * bytesPerPixel;
    size_t topMatches = 0;
    size_t bottomMatches = 0;
    for (size_t i = 0; i < rowBytes; i += bytesPerPixel) {
        const uint8_t* file = &uncompressed[18 + i];
        const uint8_t* top = &raw[i];
        const uint8_t* bottom = &raw[(static_cast<size_t>(height) - 1) * rowBytes + i];
        topMatches += file[0] == top[2] && file[1] == top[1] && file[2] == top[0];
        bottomMatches += file[0] == bottom[2] && file[1] == bottom[1] && file[2] == bottom[0];
    }
    return topMatches >= bottomMatches;
}

TEST(TgaImageMagick, ReaderMatchesIndependentEncoder)
{
    if (access(CONVERT, X_OK) != 0)
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    ScopedDataFolder folder;
    const EncoderCase cases[] = {
        {"odd size with flat areas", 37, 19, false,
         "-fill '#20c040' -draw 'rectangle 5,3 30,10' -fill '#ffffff' -draw 'rectangle 0,13 36,16'"},
        {"odd size with alpha", 37, 19, true,
         "-fill '#ff800080' -draw 'rectangle 2,2 20,12' -fill '#0000ff00' -draw 'rectangle 25,0 36,18'"},
        {"wide flat rows give runs of 128", 300, 7, false, "-fill '#808080' -draw 'rectangle 0,0 299,3'"},
        {"single pixel", 1, 1, false, ""},
        {"tall and thin with alpha", 3, 130, true, "-fill '#11223344' -draw 'rectangle 0,40 2,100'"},
    };
    const struct {
        const char* what;
        const char* options;
    } encodings[] = {
        {"uncompressed", "-compress None"},
        {"run-length", "-compress RLE"},
        {"uncompressed, top-left origin", "-compress None -orient TopLeft"},
        {"run-length, top-left origin", "-compress RLE -orient TopLeft"},
    };
    const std::string dir = (folder.root / "data").string();
    for (const EncoderCase& c : cases) {
        SCOPED_TRACE(c.what);
        const int bytesPerPixel = c.alpha ? 4 : 3;
        const std::string type = c.alpha ? "-type TrueColorAlpha" : "-type TrueColor -alpha off";
        const std::string source = dir + "/source.png";
        const std::string raw = dir + "/source.raw";
        ASSERT_TRUE(runConvert("-size " + std::to_string(c.width) + "x" + std::to_string(c.height) +
                               " gradient:'#ff2000-#0030ff' " + (c.alpha ? "-alpha set " : "") + c.drawing +
                               " -depth 8 " + type + " '" + source + "'"));
        ASSERT_TRUE(runConvert("'" + source + "' -depth 8 " + (c.alpha ? "rgba:'" : "rgb:'") + raw + "'"));
        const TgaBytes expected = readWholeFile(raw);
        ASSERT_EQ(expected.size(), static_cast<size_t>(c.width) * c.height * bytesPerPixel);

        bool topFirst = true;
        for (const auto& e : encodings) {
            SCOPED_TRACE(e.what);
            const std::string tga = dir + "/picture.tga";
            ASSERT_TRUE(runConvert("'" + source + "' -depth 8 " + type + " " + e.options + " '" + tga + "'"));
            const TgaBytes file = readWholeFile(tga);
            ASSERT_GT(file.size(), 18u);
            ASSERT_EQ(file[2], std::string(e.options).find("RLE") != std::string::npos ? 10 : 2);
            if (file[2] == 2)
                topFirst = fileStartsWithTopRow(file, expected, c.width, c.height, bytesPerPixel);

            TgaImage image;
            ASSERT_TRUE(loadTgaImage(image, "picture.tga"));
            ASSERT_EQ(image.width, static_cast<uint32_t>(c.width));
            ASSERT_EQ(image.height, static_cast<uint32_t>(c.height));
            ASSERT_EQ(image.bpp, static_cast<uint32_t>(bytesPerPixel * 8));
            // Rows come out in file order, whatever the descriptor byte says.
            const size_t rowBytes = static_cast<size_t>(c.width) * bytesPerPixel;
            size_t differing = 0;
            for (int row = 0; row < c.height; ++row) {
                const int rawRow = topFirst ? row : c.height - 1 - row;
                for (size_t i = 0; i < rowBytes; ++i)
                    differing += image.data[row * rowBytes + i] != expected[rawRow * rowBytes + i];
            }
            EXPECT_EQ(differing, 0u);
            releaseTgaImage(image);
        }
    }
}

}  // namespace
