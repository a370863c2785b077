// TGA reading: the engine's subset of the format, decoded from an open file. Every failure
// closes the file and leaves no pixel buffer behind; a short file is an error, never a
// picture with unread pixels. All sizes are computed in 64 bits after the dimensions have
// been capped, so no header can make a buffer smaller than the pixels written into it.
#include "gfx/tga.h"

#include "core/data_files.h"     // openDataFile, debugLog
#include "gfx/tga_bytes.h"        // the red/blue swap
#include "platform/os_services.h"  // showMessageBox

#include <cstring>
#include <new>

int64_t totalTextureBytes = 0;

static const uint8_t UNCOMPRESSED_TEMPLATE[TGA_FIXED_HEADER_BYTES] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
static const uint8_t RLE_TEMPLATE[TGA_FIXED_HEADER_BYTES] = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0};
// MB_OK with no icon flags.
static constexpr unsigned MESSAGE_BOX_OK = 0;

// The silent readers account the buffer sizes; the message-box readers only report.
enum class TgaVariant { SILENT, MESSAGES };

enum class TgaBody { UNCOMPRESSED, RLE };

void releaseTgaImage(TgaImage& image)
{
    delete[] image.data;
    image.data = nullptr;
}

static TgaFault pickFault(TgaBody body, TgaFault uncompressed, TgaFault rle)
{
    return body == TgaBody::UNCOMPRESSED ? uncompressed : rle;
}

// Bytes from the read position to the end of the file, or -1 when the stream cannot tell.
static int64_t bytesLeft(FILE* file)
{
    long here = std::ftell(file);
    if (here < 0 || std::fseek(file, 0, SEEK_END) != 0)
        return -1;
    long end = std::ftell(file);
    if (std::fseek(file, here, SEEK_SET) != 0 || end < here)
        return -1;
    return static_cast<int64_t>(end) - here;
}

// Whether the bytes left can hold a body of `size` bytes: raw exactly, run-length at least one
// packet (a header byte and one pixel) per 128 pixels.
static bool bodyCanFill(FILE* file, TgaBody body, uint32_t bytesPerPixel, uint64_t size)
{
    int64_t left = bytesLeft(file);
    if (left < 0)
        return true;
    uint64_t available = static_cast<uint64_t>(left);
    if (body == TgaBody::UNCOMPRESSED)
        return size <= available;
    uint64_t pixels = size / bytesPerPixel;
    uint64_t packets = available / (1 + bytesPerPixel);
    return pixels <= packets * TGA_MAX_PACKET_PIXELS;
}

// Common start of both bodies: image fields, validation and the pixel buffer. A body the
// file cannot fill returns NONE with no buffer; the decoder then meets the fault it would
// meet with one, reading without storing.
static TgaFault beginBody(TgaImage& image, FILE* file, TgaBody body, TgaVariant variant, uint64_t& size)
{
    image.data = nullptr;
    uint8_t imageFields[TGA_IMAGE_FIELD_BYTES];
    if (std::fread(imageFields, 1, sizeof imageFields, file) != sizeof imageFields)
        return pickFault(body, TgaFault::UNCOMPRESSED_IMAGE_FIELDS_SHORT, TgaFault::RLE_IMAGE_FIELDS_SHORT);
    image.width = imageFields[0] + 256u * imageFields[1];
    image.height = imageFields[2] + 256u * imageFields[3];
    image.bpp = imageFields[4];
    // imageFields[5], the image descriptor, is ignored: rows stay in file order.
    if (image.width == 0 || image.height == 0 || image.width > TGA_MAX_DIMENSION ||
        image.height > TGA_MAX_DIMENSION || (image.bpp != 24 && image.bpp != 32))
        return pickFault(body, TgaFault::UNCOMPRESSED_IMAGE_FIELDS_INVALID, TgaFault::RLE_IMAGE_FIELDS_INVALID);
    image.glFormat = image.bpp == 24 ? TGA_FORMAT_RGB : TGA_FORMAT_RGBA;
    size = static_cast<uint64_t>(image.bpp / 8) * image.width * image.height;
    if (variant == TgaVariant::SILENT) {
        debugLog("current texture size = %llu\n", static_cast<unsigned long long>(size));
        totalTextureBytes += static_cast<int64_t>(size);
    }
    // A header alone can ask for a gigabyte: a body the rest of the file cannot fill is
    // refused by the decoder's dry run below, without the buffer.
    if (!bodyCanFill(file, body, image.bpp / 8, size))
        return TgaFault::NONE;
    image.data = new (std::nothrow) uint8_t[size];
    if (!image.data)
        return pickFault(body, TgaFault::UNCOMPRESSED_ALLOCATION_FAILED, TgaFault::RLE_ALLOCATION_FAILED);
    return TgaFault::NONE;
}

static TgaFault decodeUncompressed(TgaImage& image, FILE* file, TgaVariant variant)
{
    uint64_t size = 0;
    TgaFault fault = beginBody(image, file, TgaBody::UNCOMPRESSED, variant, size);
    if (fault != TgaFault::NONE)
        return fault;
    if (!image.data)
        return TgaFault::UNCOMPRESSED_PIXELS_SHORT;
    if (std::fread(image.data, 1, size, file) != size)
        return TgaFault::UNCOMPRESSED_PIXELS_SHORT;
    tgaSwapRedBlue(image.data, size, image.bpp / 8);
    return TgaFault::NONE;
}

static void storePixel(uint8_t* destination, const uint8_t* source, uint32_t bytesPerPixel)
{
    destination[0] = source[2];
    destination[1] = source[1];
    destination[2] = source[0];
    if (bytesPerPixel == 4)
        destination[3] = source[3];
}

static TgaFault decodeRle(TgaImage& image, FILE* file, TgaVariant variant)
{
    uint64_t size = 0;
    TgaFault fault = beginBody(image, file, TgaBody::RLE, variant, size);
    if (fault != TgaFault::NONE)
        return fault;
    const uint32_t bytesPerPixel = image.bpp / 8;
    const uint64_t pixelCount = static_cast<uint64_t>(image.width) * image.height;
    uint64_t next = 0;
    uint8_t packet[TGA_MAX_PACKET_PIXELS * 4];
    // Packets run on across row ends; bytes after the last needed packet are never read.
    while (next < pixelCount) {
        int header = std::fgetc(file);
        if (header == EOF)
            return TgaFault::RLE_PACKET_HEADER_SHORT;
        if (header < 128) {
            // Raw packet: read in one go, then stored pixel by pixel in the order a per-pixel
            // read would meet its faults (a missing value before an overrun).
            const uint32_t count = static_cast<uint32_t>(header) + 1;
            const size_t available = std::fread(packet, 1, count * bytesPerPixel, file) / bytesPerPixel;
            for (uint32_t i = 0; i < count; ++i) {
                if (i >= available)
                    return TgaFault::RLE_RAW_PIXEL_SHORT;
                if (next >= pixelCount)
                    return TgaFault::RLE_TOO_MANY_PIXELS;
                if (image.data)
                    storePixel(image.data + next * bytesPerPixel, packet + i * bytesPerPixel, bytesPerPixel);
                ++next;
            }
        } else {
            const uint32_t count = static_cast<uint32_t>(header) - 127;
            if (std::fread(packet, 1, bytesPerPixel, file) != bytesPerPixel)
                return TgaFault::RLE_RUN_PIXEL_SHORT;
            for (uint32_t i = 0; i < count; ++i) {
                if (next >= pixelCount)
                    return TgaFault::RLE_TOO_MANY_PIXELS;
                if (image.data)
                    storePixel(image.data + next * bytesPerPixel, packet, bytesPerPixel);
                ++next;
            }
        }
    }
    // Unreached: a body the file cannot fill fails above before its last pixel.
    if (!image.data)
        return TgaFault::RLE_PACKET_HEADER_SHORT;
    return TgaFault::NONE;
}

// Closes the file, drops the pixels of a failed read and passes the fault on.
static TgaFault finishRead(TgaImage& image, FILE* file, TgaFault fault)
{
    std::fclose(file);
    if (fault != TgaFault::NONE)
        releaseTgaImage(image);
    return fault;
}

static TgaFault readBody(TgaImage& image, FILE* file, TgaBody body, TgaVariant variant)
{
    if (!file) {
        image.data = nullptr;
        return TgaFault::OPEN_FAILED;
    }
    TgaFault fault = body == TgaBody::UNCOMPRESSED ? decodeUncompressed(image, file, variant)
                                                   : decodeRle(image, file, variant);
    return finishRead(image, file, fault);
}

static TgaFault readWholeFile(TgaImage& image, FILE* file, TgaVariant variant)
{
    image.data = nullptr;
    if (!file)
        return TgaFault::OPEN_FAILED;
    uint8_t header[TGA_FIXED_HEADER_BYTES];
    if (std::fread(header, 1, sizeof header, file) != sizeof header)
        return finishRead(image, file, TgaFault::HEADER_SHORT);
    if (std::memcmp(header, UNCOMPRESSED_TEMPLATE, sizeof header) == 0)
        return readBody(image, file, TgaBody::UNCOMPRESSED, variant);
    if (std::memcmp(header, RLE_TEMPLATE, sizeof header) == 0)
        return readBody(image, file, TgaBody::RLE, variant);
    return finishRead(image, file, TgaFault::HEADER_MISMATCH);
}

const char* tgaFaultText(TgaFault fault)
{
    switch (fault) {
    case TgaFault::HEADER_SHORT:
        return "Could not read file header";
    case TgaFault::HEADER_MISMATCH:
        return "TGA file be type 2 or type 10 ";
    case TgaFault::UNCOMPRESSED_IMAGE_FIELDS_SHORT:
        return "Could not read info header";
    case TgaFault::UNCOMPRESSED_IMAGE_FIELDS_INVALID:
        return "Invalid texture information";
    case TgaFault::UNCOMPRESSED_ALLOCATION_FAILED:
    case TgaFault::RLE_ALLOCATION_FAILED:
        return "Could not allocate memory for image";
    case TgaFault::UNCOMPRESSED_PIXELS_SHORT:
    case TgaFault::RLE_RAW_PIXEL_SHORT:
        return "Could not read image data";
    case TgaFault::RLE_PACKET_HEADER_SHORT:
        return "Could not read RLE header";
    case TgaFault::RLE_RUN_PIXEL_SHORT:
        return "Could not read from file";
    case TgaFault::RLE_TOO_MANY_PIXELS:
        return "Too many pixels read";
    case TgaFault::NONE:
    case TgaFault::OPEN_FAILED:
    case TgaFault::RLE_IMAGE_FIELDS_SHORT:
    case TgaFault::RLE_IMAGE_FIELDS_INVALID:
        break;
    }
    return nullptr;
}

const char* tgaFaultCaption(TgaFault fault, const char* name)
{
    if (fault == TgaFault::UNCOMPRESSED_IMAGE_FIELDS_SHORT || fault == TgaFault::UNCOMPRESSED_PIXELS_SHORT)
        return "ERROR";
    return name ? name : "";
}

bool readTgaFile(TgaImage& image, const char* /*name*/, FILE* file, TgaFault* lastFault)
{
    TgaFault fault = readWholeFile(image, file, TgaVariant::SILENT);
    if (lastFault)
        *lastFault = fault;
    return fault == TgaFault::NONE;
}

bool readTgaFileWithMessages(TgaImage& image, const char* name, FILE* file, TgaFault* lastFault)
{
    TgaFault fault = readWholeFile(image, file, TgaVariant::MESSAGES);
    if (lastFault)
        *lastFault = fault;
    if (const char* text = tgaFaultText(fault))
        showMessageBox(text, tgaFaultCaption(fault, name), MESSAGE_BOX_OK);
    return fault == TgaFault::NONE;
}

bool readTgaUncompressed(TgaImage& image, const char* /*name*/, FILE* file)
{
    return readBody(image, file, TgaBody::UNCOMPRESSED, TgaVariant::SILENT) == TgaFault::NONE;
}

bool readTgaRle(TgaImage& image, const char* /*name*/, FILE* file)
{
    return readBody(image, file, TgaBody::RLE, TgaVariant::SILENT) == TgaFault::NONE;
}

bool loadTgaImage(TgaImage& image, const char* name)
{
    return readTgaFile(image, name, openDataFile(name, "rb"));
}

bool loadTgaWithMessages(TgaImage& image, const char* name)
{
    return readTgaFileWithMessages(image, name, openDataFile(name, "rb"));
}
