// TGA pictures of the data folder decoded into memory: uncompressed (type 2) and run-length
// (type 10) true colour at 24 or 32 bits, with no image ID, no colour map and origin fields 0.
// Rows come out in the order the file stores them (the descriptor byte is ignored) and pixels
// as R, G, B(, A). No GL here: callers upload the pixels and release them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// The values of GL_RGB and GL_RGBA, so this reader needs no GL header.
constexpr uint32_t TGA_FORMAT_RGB = 0x1907;
constexpr uint32_t TGA_FORMAT_RGBA = 0x1908;
// Largest width or height accepted: the GL maximum texture size of the target machines.
constexpr uint32_t TGA_MAX_DIMENSION = 16384;
constexpr size_t TGA_FIXED_HEADER_BYTES = 12;
constexpr size_t TGA_IMAGE_FIELD_BYTES = 6;

struct TgaImage {
    uint8_t* data = nullptr;  // width x height pixels of bpp / 8 bytes; release with releaseTgaImage
    uint32_t bpp = 0;         // 24 or 32
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t textureId = 0;  // filled in by the texture loaders that upload the picture
    uint32_t glFormat = 0;   // TGA_FORMAT_RGB or TGA_FORMAT_RGBA
};

// Why a read failed. The body faults name the reader, since the message-box variant words
// and captions them differently.
enum class TgaFault {
    NONE,
    OPEN_FAILED,
    HEADER_SHORT,
    HEADER_MISMATCH,
    UNCOMPRESSED_IMAGE_FIELDS_SHORT,
    UNCOMPRESSED_IMAGE_FIELDS_INVALID,
    UNCOMPRESSED_ALLOCATION_FAILED,
    UNCOMPRESSED_PIXELS_SHORT,
    RLE_IMAGE_FIELDS_SHORT,
    RLE_IMAGE_FIELDS_INVALID,
    RLE_ALLOCATION_FAILED,
    RLE_PACKET_HEADER_SHORT,
    RLE_RAW_PIXEL_SHORT,
    RLE_RUN_PIXEL_SHORT,
    RLE_TOO_MANY_PIXELS,
};

// Bytes of pixel buffers requested by the silent readers so far (64 bits: a handful of
// pictures at the size cap would overflow 32).
extern int64_t totalTextureBytes;

// Silent: opens the data-folder file `name` and decodes it; true when `image` holds a whole
// picture. On failure `image.data` is null and nothing is printed.
bool loadTgaImage(TgaImage& image, const char* name);
// The same decoding; most failures show a message box (OK button, no owner) captioned with
// `name` or "ERROR".
bool loadTgaWithMessages(TgaImage& image, const char* name);

// The steps after opening: fixed header, then the body reader it selects. They take over
// `file` and close it on every path. `lastFault` (may be null) receives the reason.
bool readTgaFile(TgaImage& image, const char* name, FILE* file, TgaFault* lastFault = nullptr);
bool readTgaFileWithMessages(TgaImage& image, const char* name, FILE* file, TgaFault* lastFault = nullptr);

// Silent body readers for a file positioned after the 12-byte fixed header; they close it.
bool readTgaUncompressed(TgaImage& image, const char* name, FILE* file);
bool readTgaRle(TgaImage& image, const char* name, FILE* file);

// The message-box text of a fault (null where the box stays closed) and its caption.
const char* tgaFaultText(TgaFault fault);
const char* tgaFaultCaption(TgaFault fault, const char* name);

// Frees the pixels and leaves `data` null.
void releaseTgaImage(TgaImage& image);
