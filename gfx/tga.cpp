// TGA reading: the engine's subset of the format, decoded from an open file. Every failure
// closes the file and leaves no pixel buffer behind; a short file is an error, never a
// picture with unread pixels. All sizes are computed in 64 bits after the dimensions have
// been capped, so no header can make a buffer smaller than the pixels written into it.
#include "gfx/tga.h"

#include "core/data_files.h"     // openDataFile, debugLog
#include "gfx/tga_bytes.h"        // the red/blue swap
#include "platform/os_services.h"  // showMessageBox

#include <cstring>
#include <memory>
#include <new>
#include <vector>

int64_t totalTextureBytes = 0;

static const uint8_t UNCOMPRESSED_TEMPLATE[TGA_FIXED_HEADER_BYTES] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
static const uint8_t RLE_TEMPLATE[TGA_FIXED_HEADER_BYTES] = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0};
// MB_OK with no icon flags.
static constexpr unsigned MESSAGE_BOX_OK = 0;
static constexpr size_t STREAM_BUFFER_BYTES = 4096;

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

// Validates the six image-field bytes and fills in the picture's shape; `size` receives the
// pixel bytes. No buffer is taken here.
static TgaFault takeImageFields(TgaImage& image, const uint8_t* imageFields, TgaBody body, TgaVariant variant,
                                uint64_t& size)
{
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
    return TgaFault::NONE;
}

static TgaFault decodeUncompressed(TgaImage& image, FILE* file, uint64_t size)
{
    // A header alone can ask for a gigabyte: a file too short for it is refused before the buffer.
    const int64_t left = bytesLeft(file);
    if (left >= 0 && static_cast<uint64_t>(left) < size)
        return TgaFault::UNCOMPRESSED_PIXELS_SHORT;
    image.data = new (std::nothrow) uint8_t[size];
    if (!image.data)
        return TgaFault::UNCOMPRESSED_ALLOCATION_FAILED;
    if (std::fread(image.data, 1, size, file) != size)
        return TgaFault::UNCOMPRESSED_PIXELS_SHORT;
    tgaSwapRedBlue(image.data, size, image.bpp / 8);
    return TgaFault::NONE;
}

// `count` copies of one file-order pixel, stored swapped: the first by hand, the rest by
// doubling copies of what is already there.
static void fillRun(uint8_t* destination, const uint8_t* source, uint32_t count, uint32_t bytesPerPixel)
{
    std::memcpy(destination, source, bytesPerPixel);
    tgaSwapRedBlue(destination, bytesPerPixel, bytesPerPixel);
    const size_t total = static_cast<size_t>(count) * bytesPerPixel;
    size_t filled = bytesPerPixel;
    while (filled < total) {
        const size_t copy = filled < total - filled ? filled : total - filled;
        std::memcpy(destination + filled, destination, copy);
        filled += copy;
    }
}

// Walks the packets of a run-length body held in memory. Without `pixels` it only finds the
// fault a pixel-by-pixel decode would meet, packet by packet; with a buffer (after a clean
// walk) it stores the picture. Packets run on across row ends.
static TgaFault walkRlePackets(const uint8_t* body, size_t bodyBytes, uint32_t bytesPerPixel, uint64_t pixelCount,
                               uint8_t* pixels)
{
    size_t at = 0;
    uint64_t next = 0;
    while (next < pixelCount) {
        if (at >= bodyBytes)
            return TgaFault::RLE_PACKET_HEADER_SHORT;
        const uint32_t header = body[at++];
        const uint64_t room = pixelCount - next;
        if (header < 128) {
            const uint32_t count = header + 1;
            const uint64_t present = (bodyBytes - at) / bytesPerPixel;
            // Pixel by pixel, a missing value is met before an overrun.
            if (present < count && present <= room)
                return TgaFault::RLE_RAW_PIXEL_SHORT;
            if (count > room)
                return TgaFault::RLE_TOO_MANY_PIXELS;
            const size_t bytes = static_cast<size_t>(count) * bytesPerPixel;
            if (pixels) {
                std::memcpy(pixels + next * bytesPerPixel, body + at, bytes);
                tgaSwapRedBlue(pixels + next * bytesPerPixel, bytes, bytesPerPixel);
            }
            at += bytes;
            next += count;
        } else {
            const uint32_t count = header - 127;
            if (bodyBytes - at < bytesPerPixel)
                return TgaFault::RLE_RUN_PIXEL_SHORT;
            if (count > room)
                return TgaFault::RLE_TOO_MANY_PIXELS;
            if (pixels)
                fillRun(pixels + next * bytesPerPixel, body + at, count, bytesPerPixel);
            at += bytesPerPixel;
            next += count;
        }
    }
    return TgaFault::NONE;
}

// Reads at most `limit` bytes from the read position: in one read when the stream tells its
// length, else in growing pieces. Returns the bytes read; `bytes` owns them (null when none).
static size_t readUpTo(FILE* file, uint64_t limit, std::unique_ptr<uint8_t[]>& bytes)
{
    const int64_t left = bytesLeft(file);
    if (left >= 0) {
        const size_t want = static_cast<size_t>(static_cast<uint64_t>(left) < limit ? left : limit);
        if (want == 0)
            return 0;
        bytes.reset(new (std::nothrow) uint8_t[want]);
        return bytes ? std::fread(bytes.get(), 1, want, file) : 0;
    }
    std::vector<uint8_t> pieces;
    uint8_t piece[64 * 1024];
    while (pieces.size() < limit) {
        const uint64_t want = limit - pieces.size() < sizeof piece ? limit - pieces.size() : sizeof piece;
        const size_t got = std::fread(piece, 1, want, file);
        pieces.insert(pieces.end(), piece, piece + got);
        if (got < want)
            break;
    }
    if (pieces.empty())
        return 0;
    bytes.reset(new (std::nothrow) uint8_t[pieces.size()]);
    if (bytes)
        std::memcpy(bytes.get(), pieces.data(), pieces.size());
    return bytes ? pieces.size() : 0;
}

static TgaFault decodeRle(TgaImage& image, FILE* file, uint64_t size)
{
    const uint32_t bytesPerPixel = image.bpp / 8;
    const uint64_t pixelCount = static_cast<uint64_t>(image.width) * image.height;
    // The most bytes the packets can use: one-pixel packets throughout, and one pixel more so
    // a raw packet reaching past the picture is still told from one cut short. Bytes after
    // that are never read.
    const uint64_t limit = pixelCount * (1 + bytesPerPixel) + bytesPerPixel;
    std::unique_ptr<uint8_t[]> body;
    const size_t bodyBytes = readUpTo(file, limit, body);
    // The walk finds any fault before the picture's buffer is taken, so a header asking for
    // more than the packets hold costs no allocation.
    TgaFault fault = walkRlePackets(body.get(), bodyBytes, bytesPerPixel, pixelCount, nullptr);
    if (fault != TgaFault::NONE)
        return fault;
    image.data = new (std::nothrow) uint8_t[size];
    if (!image.data)
        return TgaFault::RLE_ALLOCATION_FAILED;
    return walkRlePackets(body.get(), bodyBytes, bytesPerPixel, pixelCount, image.data);
}

static TgaFault decodeBody(TgaImage& image, FILE* file, TgaBody body, TgaVariant variant, const uint8_t* imageFields)
{
    uint64_t size = 0;
    TgaFault fault = takeImageFields(image, imageFields, body, variant, size);
    if (fault != TgaFault::NONE)
        return fault;
    return body == TgaBody::UNCOMPRESSED ? decodeUncompressed(image, file, size) : decodeRle(image, file, size);
}

// Closes the file, drops the pixels of a failed read and passes the fault on.
static TgaFault finishRead(TgaImage& image, FILE* file, TgaFault fault)
{
    std::fclose(file);
    if (fault != TgaFault::NONE)
        releaseTgaImage(image);
    return fault;
}

static TgaFault imageFieldsShort(TgaBody body)
{
    return pickFault(body, TgaFault::UNCOMPRESSED_IMAGE_FIELDS_SHORT, TgaFault::RLE_IMAGE_FIELDS_SHORT);
}

// A body reader for a file positioned after the fixed header.
static TgaFault readBody(TgaImage& image, FILE* file, TgaBody body, TgaVariant variant)
{
    image.data = nullptr;
    if (!file)
        return TgaFault::OPEN_FAILED;
    uint8_t imageFields[TGA_IMAGE_FIELD_BYTES];
    if (std::fread(imageFields, 1, sizeof imageFields, file) != sizeof imageFields)
        return finishRead(image, file, imageFieldsShort(body));
    return finishRead(image, file, decodeBody(image, file, body, variant, imageFields));
}

static TgaFault readWholeFile(TgaImage& image, FILE* file, TgaVariant variant)
{
    image.data = nullptr;
    if (!file)
        return TgaFault::OPEN_FAILED;
    // The reads below are few and large: a small buffer here spares the stream its own
    // allocation. The file is closed before this frame ends.
    uint8_t streamBuffer[STREAM_BUFFER_BYTES];
    std::setvbuf(file, reinterpret_cast<char*>(streamBuffer), _IOFBF, sizeof streamBuffer);
    uint8_t header[TGA_FIXED_HEADER_BYTES + TGA_IMAGE_FIELD_BYTES];
    const size_t got = std::fread(header, 1, sizeof header, file);
    if (got < TGA_FIXED_HEADER_BYTES)
        return finishRead(image, file, TgaFault::HEADER_SHORT);
    TgaBody body;
    if (std::memcmp(header, UNCOMPRESSED_TEMPLATE, TGA_FIXED_HEADER_BYTES) == 0)
        body = TgaBody::UNCOMPRESSED;
    else if (std::memcmp(header, RLE_TEMPLATE, TGA_FIXED_HEADER_BYTES) == 0)
        body = TgaBody::RLE;
    else
        return finishRead(image, file, TgaFault::HEADER_MISMATCH);
    if (got < sizeof header)
        return finishRead(image, file, imageFieldsShort(body));
    return finishRead(image, file, decodeBody(image, file, body, variant, header + TGA_FIXED_HEADER_BYTES));
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
