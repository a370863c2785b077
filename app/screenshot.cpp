#include "app/screenshot.h"

#include "core/screen_frame.h"  // SCREEN_WIDTH, SCREEN_HEIGHT
#include "platform/gl_api.h"  // glReadPixels

#include <SDL.h>
#include <cstdio>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

unsigned char screenshotRequested = 0;
int screenshotCounter = SCREENSHOT_FIRST_COUNTER;
char screenshotName[SCREENSHOT_NAME_LENGTH + 1] = {};

static const char NAME_TEMPLATE[] = "screenshot_A.BMP_";

void serveScreenshotRequest()
{
    if (!screenshotRequested)
        return;
    takeScreenshot();
    screenshotRequested = 0;
}

// A byte that cannot stand in a file name here: the terminator and the path separator.
static bool unusableInName(unsigned char ch)
{
    return ch == '\0' || ch == '/';
}

void takeScreenshot()
{
    while (unusableInName(static_cast<unsigned char>(screenshotCounter & 0xFF)))
        ++screenshotCounter;
    std::memcpy(screenshotName, NAME_TEMPLATE, SCREENSHOT_NAME_LENGTH);
    screenshotName[SCREENSHOT_NAME_LENGTH] = '\0';
    screenshotName[SCREENSHOT_COUNTER_INDEX] = static_cast<char>(screenshotCounter & 0xFF);
    ++screenshotCounter;
    saveScreenshotBmp(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, screenshotName);
}

static bool isThirtyTwoBit(const SDL_Surface* surface)
{
    return surface && surface->format && surface->format->BytesPerPixel == 4;
}

static uint32_t* pixelAddress(SDL_Surface* surface, int x, int y)
{
    if (!isThirtyTwoBit(surface) || x < 0 || y < 0 || x >= surface->w || y >= surface->h)
        return nullptr;
    uint8_t* row = static_cast<uint8_t*>(surface->pixels) + static_cast<size_t>(y) * surface->pitch;
    return reinterpret_cast<uint32_t*>(row) + x;
}

uint32_t getSurfacePixel(SDL_Surface* surface, int x, int y)
{
    const uint32_t* p = pixelAddress(surface, x, y);
    return p ? *p : 0;
}

void putSurfacePixel(SDL_Surface* surface, int x, int y, uint32_t pixel)
{
    if (uint32_t* p = pixelAddress(surface, x, y))
        *p = pixel;
}

SDL_Surface* flipSurface(SDL_Surface* surface, int flags)
{
    if (!isThirtyTwoBit(surface))
        return nullptr;
    const SDL_PixelFormat* format = surface->format;
    SDL_Surface* flipped = SDL_CreateRGBSurface(0, surface->w, surface->h, format->BitsPerPixel, format->Rmask,
                                                format->Gmask, format->Bmask, 0);
    if (!flipped)
        return nullptr;
    const bool locked = SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) == 0;
    const bool rows = (flags & FLIP_ROWS) != 0;
    const bool columns = (flags & FLIP_COLUMNS) != 0;
    if (rows || columns) {
        const int w = surface->w;
        const int h = surface->h;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                putSurfacePixel(flipped, columns ? w - 1 - x : x, rows ? h - 1 - y : y, getSurfacePixel(surface, x, y));
    }
    if (locked)
        SDL_UnlockSurface(surface);
    return flipped;
}

bool saveScreenshotBmp(int x, int y, int width, int height, const char* name)
{
    if (width <= 0 || height <= 0)
        return false;
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(x, y, width, height, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
    // Masks 0: SDL's default 32-bit layout, which is BGRA bytes in memory.
    SDL_Surface* wrapped = SDL_CreateRGBSurfaceFrom(pixels.data(), width, height, 32, width * 4, 0, 0, 0, 0);
    if (!wrapped) {
        std::fprintf(stderr, "screenshot %s: no surface (%s)\n", name, SDL_GetError());
        return false;
    }
    // GL rows run bottom-up; the file's rows top first.
    SDL_Surface* flipped = flipSurface(wrapped, FLIP_ROWS);
    SDL_FreeSurface(wrapped);
    if (!flipped) {
        std::fprintf(stderr, "screenshot %s: no surface (%s)\n", name, SDL_GetError());
        return false;
    }
    // Written under a temporary name and renamed once complete, so no half-written shot stays.
    const std::string temporary = std::string(name) + ".tmp";
    bool saved = false;
    if (SDL_RWops* file = SDL_RWFromFile(temporary.c_str(), "wb")) {
        if (SDL_SaveBMP_RW(flipped, file, 1) != 0)
            std::fprintf(stderr, "screenshot %s: cannot write the file (%s)\n", name, SDL_GetError());
        else if (std::rename(temporary.c_str(), name) != 0)
            std::fprintf(stderr, "screenshot %s: cannot create the file (%s)\n", name, std::strerror(errno));
        else
            saved = true;
        if (!saved)
            std::remove(temporary.c_str());
    } else {
        std::fprintf(stderr, "screenshot %s: cannot create the file (%s)\n", name, SDL_GetError());
    }
    SDL_FreeSurface(flipped);
    return saved;
}
