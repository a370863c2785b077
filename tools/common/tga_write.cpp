// TGA encoder: header, uncompressed body and run-length packets.
#include "tools/common/tga_write.h"

#include <cstdio>   // fopen, fwrite for the output file
#include <cstring>  // memcmp for comparing pixels

namespace {

void putLittle16(std::vector<uint8_t>& file, int value)
{
    file.push_back(static_cast<uint8_t>(value & 0xFF));
    file.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

// One pixel as stored: B, G, R(, A).
void putPixel(std::vector<uint8_t>& file, const uint8_t* rgba, int bytesPerPixel)
{
    file.push_back(rgba[2]);
    file.push_back(rgba[1]);
    file.push_back(rgba[0]);
    if (bytesPerPixel == 4)
        file.push_back(rgba[3]);
}

// At 24 bits the alpha bytes are not stored, so they must not split runs either.
bool samePixel(const uint8_t* a, const uint8_t* b, int bytesPerPixel)
{
    return std::memcmp(a, b, static_cast<size_t>(bytesPerPixel)) == 0;
}

// Length of the run of equal pixels starting at `first`, at most `limit`.
int runLength(const uint8_t* first, int limit, int bytesPerPixel)
{
    int length = 1;
    while (length < limit && samePixel(first, first + 4 * length, bytesPerPixel))
        ++length;
    return length;
}

void encodeRunLengthRow(std::vector<uint8_t>& file, const uint8_t* row, int width, int bytesPerPixel)
{
    int x = 0;
    while (x < width) {
        const int left = width - x;
        const int packetLimit = left < TGA_WRITE_MAX_PACKET_PIXELS ? left : TGA_WRITE_MAX_PACKET_PIXELS;
        const int run = runLength(row + 4 * x, packetLimit, bytesPerPixel);
        if (run >= 2) {
            file.push_back(static_cast<uint8_t>(0x80 | (run - 1)));
            putPixel(file, row + 4 * x, bytesPerPixel);
            x += run;
            continue;
        }
        // Raw packet: stop where a run of three begins, since a run packet pays off from there.
        int count = 1;
        while (count < packetLimit) {
            const int next = x + count;
            const int nextLimit = width - next < 3 ? width - next : 3;
            if (nextLimit == 3 && runLength(row + 4 * next, 3, bytesPerPixel) == 3)
                break;
            ++count;
        }
        file.push_back(static_cast<uint8_t>(count - 1));
        for (int i = 0; i < count; ++i)
            putPixel(file, row + 4 * (x + i), bytesPerPixel);
        x += count;
    }
}

}  // namespace

bool encodeTga(const TgaSource& source, int bitsPerPixel, TgaEncoding encoding,
    std::vector<uint8_t>& file, std::string& error)
{
    file.clear();
    if (source.width < 1 || source.width > TGA_WRITE_MAX_SIDE || source.height < 1
        || source.height > TGA_WRITE_MAX_SIDE) {
        error = "TGA size " + std::to_string(source.width) + " x " + std::to_string(source.height)
            + " is outside 1..65535";
        return false;
    }
    if (bitsPerPixel != 24 && bitsPerPixel != 32) {
        error = "TGA depth " + std::to_string(bitsPerPixel) + " is neither 24 nor 32 bits";
        return false;
    }
    if (source.rgba == nullptr) {
        error = "TGA source has no pixels";
        return false;
    }
    const int bytesPerPixel = bitsPerPixel / 8;
    const size_t pixelCount = static_cast<size_t>(source.width) * static_cast<size_t>(source.height);
    file.reserve(TGA_WRITE_HEADER_BYTES + pixelCount * static_cast<size_t>(bytesPerPixel));

    file.push_back(0);  // no image ID
    file.push_back(0);  // no colour map
    file.push_back(encoding == TgaEncoding::RunLength ? TGA_WRITE_TYPE_RUN_LENGTH : TGA_WRITE_TYPE_UNCOMPRESSED);
    for (int i = 0; i < 5; ++i)
        file.push_back(0);  // colour-map fields
    putLittle16(file, 0);   // x origin
    putLittle16(file, 0);   // y origin
    putLittle16(file, source.width);
    putLittle16(file, source.height);
    file.push_back(static_cast<uint8_t>(bitsPerPixel));
    // Alpha bits in the low nibble; origin bits clear, i.e. bottom row first.
    file.push_back(static_cast<uint8_t>(bitsPerPixel == 32 ? 8 : 0));

    const size_t rowBytes = static_cast<size_t>(source.width) * 4;
    for (int y = 0; y < source.height; ++y) {
        const uint8_t* row = source.rgba + rowBytes * static_cast<size_t>(y);
        if (encoding == TgaEncoding::RunLength) {
            encodeRunLengthRow(file, row, source.width, bytesPerPixel);
        } else {
            for (int x = 0; x < source.width; ++x)
                putPixel(file, row + 4 * x, bytesPerPixel);
        }
    }
    return true;
}

bool writeTgaFile(const std::string& path, const TgaSource& source, int bitsPerPixel,
    TgaEncoding encoding, std::string& error)
{
    std::vector<uint8_t> file;
    if (!encodeTga(source, bitsPerPixel, encoding, file, error)) {
        error = path + ": " + error;
        return false;
    }
    FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) {
        error = path + ": cannot be opened for writing";
        return false;
    }
    const size_t written = std::fwrite(file.data(), 1, file.size(), out);
    const bool closed = std::fclose(out) == 0;
    if (written != file.size() || !closed) {
        error = path + ": write failed";
        std::remove(path.c_str());
        return false;
    }
    return true;
}
