// Drawing helpers for the data generators: a float RGBA canvas with antialiased shapes,
// gradients, value noise, blurred coverage masks and the conversion to RGBA8 for the encoder.
//
// Conventions, once for the whole module:
// - Pixel (0, 0) is the bottom-left pixel and rows are stored bottom row first, as TGA files
//   for the engine are; y grows upward.
// - Shapes are placed in frame units: the canvas spans 0..frameWidth x 0..frameHeight, which
//   may differ from its pixel size (a 2048 x 1024 picture shown on the 1920 x 1080 screen is
//   drawn in screen pixels). A pixel's centre lies at frame ((x + 0.5) * sx, (y + 0.5) * sy).
// - Colours are display values 0..1 (no gamma conversion); canvas pixels are premultiplied by
//   their alpha and may exceed 1 while light is added; they are clamped on conversion.
// - Everything is deterministic: noise and dithering come from integer hashes of a seed.
#pragma once

#include <cstddef>  // size_t
#include <cstdint>
#include <cstdlib>  // std::free for PixelAllocator
#include <thread>  // paintPixels splits rows over threads
#include <vector>

// Allocator of the large float buffers: blocks of 2 MiB and more are aligned to and advised
// as huge pages, since first-touch page faults dominated the run time on the build machines.
template <typename T>
struct PixelAllocator {
    using value_type = T;
    PixelAllocator() = default;
    template <typename U>
    PixelAllocator(const PixelAllocator<U>&) {}
    T* allocate(size_t count);
    void deallocate(T* block, size_t) { std::free(block); }
    template <typename U>
    bool operator==(const PixelAllocator<U>&) const { return true; }
    template <typename U>
    bool operator!=(const PixelAllocator<U>&) const { return false; }
};

void* allocatePixelBlock(size_t bytes);  // never null: ends the process when memory runs out

template <typename T>
T* PixelAllocator<T>::allocate(size_t count)
{
    return static_cast<T*>(allocatePixelBlock(count * sizeof(T)));
}

using MaskValues = std::vector<float, PixelAllocator<float>>;

struct Rgb {
    float r, g, b;
};

struct Rgba {
    float r, g, b, a;  // premultiplied
};

struct Canvas {
    int width = 0;
    int height = 0;
    float frameWidth = 0;
    float frameHeight = 0;
    std::vector<Rgba, PixelAllocator<Rgba>> pixels;  // bottom row first
};

// A coverage (or intensity) value per pixel of a rectangle of the canvas: pixel (x, y) of the
// canvas is values[(y - bottom) * width + (x - left)], bottom row first. Outside it is 0.
struct Mask {
    int left = 0;
    int bottom = 0;
    int width = 0;
    int height = 0;
    MaskValues values;
};

struct GradientStop {
    float at;  // position 0..1 along the gradient, stops in increasing order
    Rgb color;
};

Canvas makeCanvas(int width, int height, float frameWidth, float frameHeight);
Mask makeMask(const Canvas& canvas);
// A mask over the pixels of the frame rectangle (clipped to the canvas); glows need a margin
// of three blur radii around what they blur.
Mask makeMaskRegion(const Canvas& canvas, float frameLeft, float frameBottom, float frameRight,
    float frameTop);

// Frame position of a pixel's centre, and the size of one pixel in frame units (the larger of
// its two sides: the antialiasing width).
float pixelCentreX(const Canvas& canvas, int x);
float pixelCentreY(const Canvas& canvas, int y);
float pixelFootprint(const Canvas& canvas);

constexpr int PAINT_THREAD_COUNT = 4;

// Runs paint(pixel, frameX, frameY) for every pixel, with the rows split over a few threads.
// `paint` may only change the pixel it is given; the result is then the same as in one thread.
template <typename Paint>
void paintPixels(Canvas& canvas, const Paint& paint)
{
    auto paintRows = [&canvas, &paint](int firstRow, int endRow) {
        for (int y = firstRow; y < endRow; ++y) {
            const float fy = pixelCentreY(canvas, y);
            Rgba* row = &canvas.pixels[static_cast<size_t>(y) * static_cast<size_t>(canvas.width)];
            for (int x = 0; x < canvas.width; ++x)
                paint(row[x], pixelCentreX(canvas, x), fy);
        }
    };
    std::vector<std::thread> workers;
    const int rowsPerThread = (canvas.height + PAINT_THREAD_COUNT - 1) / PAINT_THREAD_COUNT;
    for (int first = 0; first < canvas.height; first += rowsPerThread) {
        const int end = first + rowsPerThread < canvas.height ? first + rowsPerThread : canvas.height;
        workers.emplace_back(paintRows, first, end);
    }
    for (std::thread& worker : workers)
        worker.join();
}

// Small colour helpers.
Rgb mixRgb(Rgb a, Rgb b, float t);
Rgb scaleRgb(Rgb c, float s);
Rgb rgbFromBytes(int r, int g, int b);
float clampUnit(float v);
float smoothStep(float edge0, float edge1, float v);
float measureLuminance(Rgb c);

// Colour of a gradient at t (clamped to its ends), interpolated smoothly between stops.
Rgb sampleGradient(const GradientStop* stops, int stopCount, float t);

// Signed distances in frame units (negative inside).
float distanceToCircle(float px, float py, float cx, float cy, float radius);
float distanceToRoundedBox(float px, float py, float cx, float cy, float halfWidth,
    float halfHeight, float cornerRadius);
float distanceToSegment(float px, float py, float ax, float ay, float bx, float by);

// Coverage 0..1 of a pixel from a signed distance, with an antialiasing width in frame units.
float coverageFromDistance(float signedDistance, float aaWidth);

// Per-pixel compositing onto a premultiplied pixel.
void blendOver(Rgba& pixel, Rgb color, float alpha);
void addLight(Rgba& pixel, Rgb color, float amount);  // additive glow, also raises alpha
void fillOpaque(Canvas& canvas, Rgb color);

// Integer hash to 0..1, and value noise on the integer lattice with smooth interpolation.
// With periods > 0 the noise tiles every period lattice cells in that direction.
uint32_t hashBits(uint32_t a, uint32_t b, uint32_t c);
float hashUnit(uint32_t a, uint32_t b, uint32_t c);
float sampleValueNoise(float x, float y, uint32_t seed, int periodX = 0, int periodY = 0);
// Sum of octaves, each twice the frequency and `gain` the amplitude of the previous; the
// result is normalised to 0..1. Periods (in lattice cells of the first octave) double too.
float sampleFractalNoise(float x, float y, uint32_t seed, int octaves, float gain, int periodX = 0,
    int periodY = 0);

// Gaussian-like blur of a mask (three box passes per axis); radius = the standard deviation
// in pixels, per axis.
void blurMask(Mask& mask, float radiusX, float radiusY);
// Paints `color` over the canvas with the mask as alpha (times `opacity`).
void compositeMask(Canvas& canvas, const Mask& mask, Rgb color, float opacity);
// Adds `color` as light, weighted by the mask.
void addMaskLight(Canvas& canvas, const Mask& mask, Rgb color, float amount);

// RGBA8, bottom row first, for writeTgaFile. Colour is un-premultiplied; pixels whose alpha
// rounds to 0 get `transparentColor`, so filtering at shape edges blends towards the shape's
// own colour and transparent areas encode as long runs. With a non-zero seed each value is
// rounded up or down at random in proportion to its fraction, which keeps dark gradients free
// of bands; values exactly on a byte level stay there, so flat pictures stay flat.
std::vector<uint8_t> canvasToRgba8(const Canvas& canvas, uint32_t ditherSeed, Rgb transparentColor);
