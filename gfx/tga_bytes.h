// Byte handling shared by the TGA readers and writers: little-endian fields and the red/blue
// swap between the file's B, G, R(, A) order and the engine's R, G, B(, A).
#pragma once

#include <cstddef>
#include <cstdint>

inline uint16_t tgaReadLittle16(const uint8_t* bytes)
{
    return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
}

inline void tgaWriteLittle16(uint8_t* bytes, uint16_t value)
{
    bytes[0] = static_cast<uint8_t>(value & 0xFF);
    bytes[1] = static_cast<uint8_t>(value >> 8);
}

// Swaps bytes 0 and 2 of every whole pixel of `bytes` (pixels of 3 or more bytes only).
// Stepped by pointer up to a precomputed end: a per-pixel loop with no count test of its own,
// which keeps it cheap under the fuzzers' comparison tracing too.
inline void tgaSwapRedBlue(uint8_t* pixels, uint64_t bytes, uint32_t bytesPerPixel)
{
    if (bytesPerPixel < 3)
        return;
    const uint8_t* end = pixels + bytes / bytesPerPixel * bytesPerPixel;
    for (uint8_t* pixel = pixels; pixel != end; pixel += bytesPerPixel) {
        const uint8_t first = pixel[0];
        pixel[0] = pixel[2];
        pixel[2] = first;
    }
}
