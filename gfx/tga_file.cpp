#include "gfx/tga_file.h"

#include "core/data_files.h"  // openDataFile, dataFilePath
#include "gfx/tga_bytes.h"

#include <cstdlib>
#include <cstring>
#include <string>

int tgaSaveCounter = 0;

void tgaRelease(TgaFileInfo* info)
{
    if (!info)
        return;
    std::free(info->data);
    std::free(info);
}

void tgaReadHeader(FILE* file, TgaFileInfo& info)
{
    uint8_t header[TGA_FILE_HEADER_BYTES];
    if (std::fread(header, 1, sizeof header, file) != sizeof header) {
        info.status = TGA_STATUS_READ_ERROR;
        return;
    }
    info.type = header[2];
    info.width = static_cast<int16_t>(tgaReadLittle16(&header[12]));
    info.height = static_cast<int16_t>(tgaReadLittle16(&header[14]));
    info.bpp = header[16];
    if (info.type == TGA_TYPE_INDEXED)
        info.status = TGA_STATUS_INDEXED;
    else if (info.type != TGA_TYPE_TRUE_COLOUR && info.type != TGA_TYPE_GREY)
        info.status = TGA_STATUS_BAD_TYPE;
    else
        info.status = TGA_STATUS_OK;
}

// Bytes from the current position to the end; -1 when the stream cannot tell.
static int64_t bytesLeft(FILE* file)
{
    const off_t here = ftello(file);
    if (here < 0 || fseeko(file, 0, SEEK_END) != 0)
        return -1;
    const off_t end = ftello(file);
    if (fseeko(file, here, SEEK_SET) != 0 || end < here)
        return -1;
    return static_cast<int64_t>(end - here);
}

void tgaReadPixels(FILE* file, TgaFileInfo& info)
{
    info.data = nullptr;
    // Sizes past 32767 read as negative in the 16-bit fields: no buffer can be sized from them.
    if (info.width < 0 || info.height < 0) {
        info.status = TGA_STATUS_BAD_TYPE;
        return;
    }
    const int64_t bytesPerPixel = info.bpp / 8;
    const int64_t size = static_cast<int64_t>(info.width) * info.height * bytesPerPixel;
    // Checked before allocating, so a header that claims a huge picture costs nothing.
    if (bytesLeft(file) < size) {
        info.status = TGA_STATUS_READ_ERROR;
        return;
    }
    // An empty picture (a zero size, or fewer than 8 bits a pixel) still gets a buffer of its own.
    uint8_t* pixels = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(size > 0 ? size : 1)));
    if (!pixels) {
        info.status = TGA_STATUS_NO_MEMORY;
        return;
    }
    if (std::fread(pixels, 1, static_cast<size_t>(size), file) != static_cast<size_t>(size)) {
        std::free(pixels);
        info.status = TGA_STATUS_READ_ERROR;
        return;
    }
    tgaSwapRedBlue(pixels, static_cast<uint64_t>(size), static_cast<uint32_t>(bytesPerPixel));
    info.data = pixels;
    info.status = TGA_STATUS_OK;
}

TgaFileInfo* tgaLoad(const char* name)
{
    TgaFileInfo* info = static_cast<TgaFileInfo*>(std::calloc(1, sizeof(TgaFileInfo)));
    if (!info)
        return nullptr;
    FILE* file = openDataFile(name, "rb");
    if (!file) {
        info->status = TGA_STATUS_OPEN_ERROR;
        return info;
    }
    tgaReadHeader(file, *info);
    if (info->status == TGA_STATUS_OK)
        tgaReadPixels(file, *info);
    std::fclose(file);
    return info;
}

void tgaConvertToGrey(TgaFileInfo& info)
{
    // A pixel of fewer than three bytes has no green and blue to weigh: reading them would run
    // past the buffer, so such a picture (8-bit grey among them, and one that did not load) is
    // left as it is.
    if (!info.data || info.status != TGA_STATUS_OK || info.bpp / 8 < 3)
        return;
    const size_t count = static_cast<size_t>(info.width) * static_cast<size_t>(info.height);
    uint8_t* grey = static_cast<uint8_t*>(std::malloc(count > 0 ? count : 1));
    if (!grey)
        return;
    const size_t bytesPerPixel = info.bpp / 8;
    const uint8_t* p = info.data;
    for (uint8_t* out = grey; out != grey + count; ++out, p += bytesPerPixel)
        *out = static_cast<uint8_t>(0.3 * p[0] + 0.59 * p[1] + 0.11 * p[2]);
    std::free(info.data);
    info.data = grey;
    info.bpp = 8;
    info.type = TGA_TYPE_GREY;
}

int tgaSave(const char* name, int width, int height, int bpp, unsigned char* pixels)
{
    // Only what the header's fields can say: a negative size or one past 16 bits, or a depth past
    // its byte, would write a file that reads back as another picture.
    if (!pixels || width < 0 || height < 0 || width > TGA_FILE_MAX_DIMENSION || height > TGA_FILE_MAX_DIMENSION ||
        bpp < 0 || bpp > TGA_FILE_MAX_BPP)
        return TGA_STATUS_BAD_TYPE;
    // Written under a temporary name and renamed once complete, so no half-written file stays.
    const std::string finalPath = dataFilePath(name);
    const std::string temporaryName = std::string(name) + ".tmp";
    const std::string temporaryPath = dataFilePath(temporaryName.c_str());
    FILE* file = openDataFile(temporaryName.c_str(), "wb");
    if (!file)
        return TGA_STATUS_OPEN_ERROR;

    uint8_t header[TGA_FILE_HEADER_BYTES] = {};
    header[2] = bpp == 24 || bpp == 32 ? TGA_TYPE_TRUE_COLOUR : TGA_TYPE_GREY;
    tgaWriteLittle16(&header[12], static_cast<uint16_t>(width));
    tgaWriteLittle16(&header[14], static_cast<uint16_t>(height));
    header[16] = static_cast<uint8_t>(bpp);
    const uint32_t bytesPerPixel = static_cast<uint32_t>(bpp / 8);
    const size_t size = static_cast<size_t>(width) * static_cast<size_t>(height) * bytesPerPixel;

    tgaSwapRedBlue(pixels, size, bytesPerPixel);
    bool written = std::fwrite(header, 1, sizeof header, file) == sizeof header;
    written = written && std::fwrite(pixels, 1, size, file) == size;
    written = (std::fclose(file) == 0) && written;
    written = written && std::rename(temporaryPath.c_str(), finalPath.c_str()) == 0;
    if (!written) {
        std::remove(temporaryPath.c_str());
        tgaSwapRedBlue(pixels, size, bytesPerPixel);  // the caller keeps its pixels as they were
        return TGA_STATUS_OPEN_ERROR;
    }
    std::free(pixels);
    return TGA_STATUS_OK;
}

int tgaSaveNumbered(const char* prefix, int width, int height, int bpp, unsigned char* pixels)
{
    const std::string name = std::string(prefix ? prefix : "") + std::to_string(tgaSaveCounter) + ".tga";
    const int result = tgaSave(name.c_str(), width, height, bpp, pixels);
    ++tgaSaveCounter;
    return result;
}
