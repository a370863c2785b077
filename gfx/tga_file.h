// A self-contained TGA file library beside the engine's reader: loads uncompressed true-colour
// (type 2) and grey (type 3) files of any depth into a heap record with a status,
// converts pictures to grey, writes uncompressed files, and saves numbered captures of the GL
// read buffer. Files live in the data folder. Pixels: rows in file order (bottom row first, as
// written here), width x height x (bpp / 8) bytes; pixels of 3 or more bytes (24 bits and up)
// have bytes 0 and 2 swapped, so 24/32-bit ones are R, G, B(, A) in memory, and smaller ones
// are kept as stored. Pixel buffers come from malloc and are released with free.
#pragma once

#include <cstdint>
#include <cstdio>

constexpr int32_t TGA_STATUS_OK = 0;
constexpr int32_t TGA_STATUS_BAD_TYPE = -1;     // not type 2 or 3, or a size the fields cannot hold
constexpr int32_t TGA_STATUS_NO_MEMORY = -2;
constexpr int32_t TGA_STATUS_INDEXED = -3;      // type 1, colour-mapped
constexpr int32_t TGA_STATUS_READ_ERROR = -4;   // the header or the pixels end early
constexpr int32_t TGA_STATUS_OPEN_ERROR = -5;   // cannot open (or, saving, create) the file

constexpr int TGA_FILE_HEADER_BYTES = 18;
constexpr int TGA_TYPE_INDEXED = 1;
constexpr int TGA_TYPE_TRUE_COLOUR = 2;
constexpr int TGA_TYPE_GREY = 3;
// The largest width or height the 16-bit fields of the record hold.
constexpr int TGA_FILE_MAX_DIMENSION = 32767;
// The largest depth the header's byte holds.
constexpr int TGA_FILE_MAX_BPP = 255;

struct TgaFileInfo {
    int32_t status;
    uint8_t type;
    uint8_t bpp;
    int16_t width;
    int16_t height;
    uint8_t* data;  // width x height x bpp / 8 bytes, or null
};

extern int tgaSaveCounter;

// Null only when the record cannot be allocated; otherwise check `status`.
TgaFileInfo* tgaLoad(const char* name);
// The 18 header bytes: type, width, height and bpp; a short header is a read error, type 1 is
// indexed and any type but 2 and 3 bad. The pixel data is taken to follow directly (an image ID
// or colour map is not skipped). Leaves `status` OK when the pixels may be read.
void tgaReadHeader(FILE* file, TgaFileInfo& info);
// Reads and reorders the pixels: a negative width or height is a bad type, fewer bytes left in
// the file than the picture needs a read error (found before any allocation). On any failure
// `data` is null; an empty picture gets a buffer all the same.
void tgaReadPixels(FILE* file, TgaFileInfo& info);
// In place to 8-bit grey, 0.3 R + 0.59 G + 0.11 B truncated; only for loaded pictures of 3 or
// more bytes a pixel (others are left as they are).
void tgaConvertToGrey(TgaFileInfo& info);
// Writes an uncompressed file (type 2 for 24 and 32 bits, 3 for any other depth) and takes over
// `pixels`: pixels of 3 or more bytes are reordered, then the buffer is released. On failure
// nothing is released or left changed and the file does not appear: TGA_STATUS_OPEN_ERROR when
// it cannot be created or written, TGA_STATUS_BAD_TYPE for no pixels, or a size or depth the
// header's fields cannot hold.
int tgaSave(const char* name, int width, int height, int bpp, unsigned char* pixels);
// tgaSave under prefix + counter + ".tga"; the counter advances whatever the result.
int tgaSaveNumbered(const char* prefix, int width, int height, int bpp, unsigned char* pixels);
// Saves a rectangle of the current GL read buffer as a numbered 32-bit file.
int tgaCaptureScreen(const char* prefix, int x, int y, int width, int height);
void tgaRelease(TgaFileInfo* info);
