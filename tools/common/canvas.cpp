// Float canvas, shapes, gradients, noise and masks for the data generators.
#include "tools/common/canvas.h"

#include <algorithm>  // std::min, std::max
#include <cmath>      // std::floor, std::sqrt
#include <cstdio>     // fprintf when memory runs out
#include <sys/mman.h> // madvise for huge pages

namespace {

constexpr size_t HUGE_PAGE_BYTES = size_t{2} << 20;

}  // namespace

void* allocatePixelBlock(size_t bytes)
{
    void* block = nullptr;
    if (bytes >= HUGE_PAGE_BYTES) {
        const size_t rounded = (bytes + HUGE_PAGE_BYTES - 1) / HUGE_PAGE_BYTES * HUGE_PAGE_BYTES;
        block = std::aligned_alloc(HUGE_PAGE_BYTES, rounded);
        if (block != nullptr)
            madvise(block, rounded, MADV_HUGEPAGE);  // a hint: failure only costs time
    } else {
        block = std::malloc(bytes > 0 ? bytes : 1);
    }
    if (block == nullptr) {
        std::fprintf(stderr, "out of memory for a %zu-byte picture buffer\n", bytes);
        std::abort();
    }
    return block;
}

Canvas makeCanvas(int width, int height, float frameWidth, float frameHeight)
{
    Canvas canvas;
    canvas.width = width;
    canvas.height = height;
    canvas.frameWidth = frameWidth;
    canvas.frameHeight = frameHeight;
    canvas.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), Rgba{0, 0, 0, 0});
    return canvas;
}

Mask makeMask(const Canvas& canvas)
{
    Mask mask;
    mask.width = canvas.width;
    mask.height = canvas.height;
    mask.values.assign(static_cast<size_t>(canvas.width) * static_cast<size_t>(canvas.height), 0.0f);
    return mask;
}

Mask makeMaskRegion(const Canvas& canvas, float frameLeft, float frameBottom, float frameRight,
    float frameTop)
{
    const float sx = static_cast<float>(canvas.width) / canvas.frameWidth;
    const float sy = static_cast<float>(canvas.height) / canvas.frameHeight;
    const int left = std::max(0, static_cast<int>(std::floor(frameLeft * sx)));
    const int bottom = std::max(0, static_cast<int>(std::floor(frameBottom * sy)));
    const int right = std::min(canvas.width, static_cast<int>(std::ceil(frameRight * sx)));
    const int top = std::min(canvas.height, static_cast<int>(std::ceil(frameTop * sy)));
    Mask mask;
    mask.left = left;
    mask.bottom = bottom;
    mask.width = std::max(0, right - left);
    mask.height = std::max(0, top - bottom);
    mask.values.assign(static_cast<size_t>(mask.width) * static_cast<size_t>(mask.height), 0.0f);
    return mask;
}

float pixelCentreX(const Canvas& canvas, int x)
{
    return (static_cast<float>(x) + 0.5f) * canvas.frameWidth / static_cast<float>(canvas.width);
}

float pixelCentreY(const Canvas& canvas, int y)
{
    return (static_cast<float>(y) + 0.5f) * canvas.frameHeight / static_cast<float>(canvas.height);
}

float pixelFootprint(const Canvas& canvas)
{
    return std::max(canvas.frameWidth / static_cast<float>(canvas.width),
        canvas.frameHeight / static_cast<float>(canvas.height));
}

Rgb mixRgb(Rgb a, Rgb b, float t)
{
    return Rgb{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb scaleRgb(Rgb c, float s)
{
    return Rgb{c.r * s, c.g * s, c.b * s};
}

Rgb rgbFromBytes(int r, int g, int b)
{
    return Rgb{static_cast<float>(r) / 255.0f, static_cast<float>(g) / 255.0f,
        static_cast<float>(b) / 255.0f};
}

float clampUnit(float v)
{
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

float smoothStep(float edge0, float edge1, float v)
{
    const float t = clampUnit((v - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}

float measureLuminance(Rgb c)
{
    return 0.2126f * c.r + 0.7152f * c.g + 0.0722f * c.b;
}

Rgb sampleGradient(const GradientStop* stops, int stopCount, float t)
{
    if (t <= stops[0].at)
        return stops[0].color;
    for (int i = 1; i < stopCount; ++i) {
        if (t <= stops[i].at) {
            const float span = stops[i].at - stops[i - 1].at;
            const float local = span > 0.0f ? (t - stops[i - 1].at) / span : 1.0f;
            return mixRgb(stops[i - 1].color, stops[i].color, smoothStep(0.0f, 1.0f, local));
        }
    }
    return stops[stopCount - 1].color;
}

float distanceToCircle(float px, float py, float cx, float cy, float radius)
{
    const float dx = px - cx;
    const float dy = py - cy;
    return std::sqrt(dx * dx + dy * dy) - radius;
}

float distanceToRoundedBox(float px, float py, float cx, float cy, float halfWidth,
    float halfHeight, float cornerRadius)
{
    const float qx = std::fabs(px - cx) - (halfWidth - cornerRadius);
    const float qy = std::fabs(py - cy) - (halfHeight - cornerRadius);
    const float ox = std::max(qx, 0.0f);
    const float oy = std::max(qy, 0.0f);
    return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - cornerRadius;
}

float distanceToSegment(float px, float py, float ax, float ay, float bx, float by)
{
    const float abx = bx - ax;
    const float aby = by - ay;
    const float lengthSquared = abx * abx + aby * aby;
    float t = lengthSquared > 0.0f ? ((px - ax) * abx + (py - ay) * aby) / lengthSquared : 0.0f;
    t = clampUnit(t);
    const float dx = px - (ax + abx * t);
    const float dy = py - (ay + aby * t);
    return std::sqrt(dx * dx + dy * dy);
}

float coverageFromDistance(float signedDistance, float aaWidth)
{
    return clampUnit(0.5f - signedDistance / aaWidth);
}

void blendOver(Rgba& pixel, Rgb color, float alpha)
{
    const float keep = 1.0f - alpha;
    pixel.r = color.r * alpha + pixel.r * keep;
    pixel.g = color.g * alpha + pixel.g * keep;
    pixel.b = color.b * alpha + pixel.b * keep;
    pixel.a = alpha + pixel.a * keep;
}

void addLight(Rgba& pixel, Rgb color, float amount)
{
    pixel.r += color.r * amount;
    pixel.g += color.g * amount;
    pixel.b += color.b * amount;
    pixel.a = std::min(1.0f, pixel.a + amount * std::max(color.r, std::max(color.g, color.b)));
}

void fillOpaque(Canvas& canvas, Rgb color)
{
    for (Rgba& pixel : canvas.pixels)
        pixel = Rgba{color.r, color.g, color.b, 1.0f};
}

uint32_t hashBits(uint32_t a, uint32_t b, uint32_t c)
{
    // Three rounds of a 32-bit avalanche mix; any change of an input flips about half the bits.
    uint32_t h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA77u ^ (c + 0x165667B1u) * 0xC2B2AE3Du;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

float hashUnit(uint32_t a, uint32_t b, uint32_t c)
{
    return static_cast<float>(hashBits(a, b, c) >> 8) * (1.0f / 16777216.0f);
}

namespace {

int wrapCell(int cell, int period)
{
    if (period <= 0)
        return cell;
    const int m = cell % period;
    return m < 0 ? m + period : m;
}

float latticeValue(int x, int y, uint32_t seed, int periodX, int periodY)
{
    return hashUnit(static_cast<uint32_t>(wrapCell(x, periodX)),
        static_cast<uint32_t>(wrapCell(y, periodY)), seed);
}

// One box-filter pass of the given radius along each row; samples beyond the ends repeat the
// end value.
void boxPassRows(Mask& mask, int radius, MaskValues& scratch)
{
    if (radius < 1)
        return;
    const int count = mask.width;
    scratch.resize(static_cast<size_t>(count));
    const float norm = 1.0f / static_cast<float>(2 * radius + 1);
    auto at = [&](int i) {
        return scratch[static_cast<size_t>(std::min(std::max(i, 0), count - 1))];
    };
    for (int y = 0; y < mask.height; ++y) {
        float* line = &mask.values[static_cast<size_t>(y) * static_cast<size_t>(count)];
        std::copy(line, line + count, scratch.begin());
        float sum = 0.0f;
        for (int i = -radius; i <= radius; ++i)
            sum += at(i);
        for (int i = 0; i < count; ++i) {
            line[i] = sum * norm;
            sum += at(i + radius + 1) - at(i - radius);
        }
    }
}

// The same along each column, walking whole rows at a time so memory is read in order.
void boxPassColumns(Mask& mask, int radius, MaskValues& scratch)
{
    if (radius < 1)
        return;
    const size_t width = static_cast<size_t>(mask.width);
    const int height = mask.height;
    scratch = mask.values;
    const float norm = 1.0f / static_cast<float>(2 * radius + 1);
    auto row = [&](int y) {
        return &scratch[static_cast<size_t>(std::min(std::max(y, 0), height - 1)) * width];
    };
    std::vector<float> sums(width, 0.0f);
    for (int i = -radius; i <= radius; ++i) {
        const float* source = row(i);
        for (size_t x = 0; x < width; ++x)
            sums[x] += source[x];
    }
    for (int y = 0; y < height; ++y) {
        float* out = &mask.values[static_cast<size_t>(y) * width];
        const float* entering = row(y + radius + 1);
        const float* leaving = row(y - radius);
        for (size_t x = 0; x < width; ++x) {
            out[x] = sums[x] * norm;
            sums[x] += entering[x] - leaving[x];
        }
    }
}

}  // namespace

float sampleValueNoise(float x, float y, uint32_t seed, int periodX, int periodY)
{
    const float fx = std::floor(x);
    const float fy = std::floor(y);
    const int ix = static_cast<int>(fx);
    const int iy = static_cast<int>(fy);
    const float tx = smoothStep(0.0f, 1.0f, x - fx);
    const float ty = smoothStep(0.0f, 1.0f, y - fy);
    const float v00 = latticeValue(ix, iy, seed, periodX, periodY);
    const float v10 = latticeValue(ix + 1, iy, seed, periodX, periodY);
    const float v01 = latticeValue(ix, iy + 1, seed, periodX, periodY);
    const float v11 = latticeValue(ix + 1, iy + 1, seed, periodX, periodY);
    const float bottom = v00 + (v10 - v00) * tx;
    const float top = v01 + (v11 - v01) * tx;
    return bottom + (top - bottom) * ty;
}

float sampleFractalNoise(float x, float y, uint32_t seed, int octaves, float gain, int periodX,
    int periodY)
{
    float sum = 0.0f;
    float amplitude = 1.0f;
    float total = 0.0f;
    float scale = 1.0f;
    for (int octave = 0; octave < octaves; ++octave) {
        sum += amplitude * sampleValueNoise(x * scale, y * scale, seed + static_cast<uint32_t>(octave) * 101u,
            periodX > 0 ? periodX << octave : 0, periodY > 0 ? periodY << octave : 0);
        total += amplitude;
        amplitude *= gain;
        scale *= 2.0f;
    }
    return sum / total;
}

void blurMask(Mask& mask, float radiusX, float radiusY)
{
    // Three box passes of radius r approximate a Gaussian of variance r (r + 1).
    const int boxX = static_cast<int>(std::lround(std::sqrt(radiusX * radiusX + 0.25f) - 0.5f));
    const int boxY = static_cast<int>(std::lround(std::sqrt(radiusY * radiusY + 0.25f) - 0.5f));
    MaskValues scratch;
    for (int pass = 0; pass < 3; ++pass) {
        boxPassRows(mask, boxX, scratch);
        boxPassColumns(mask, boxY, scratch);
    }
}

namespace {

// Runs apply(canvas pixel, mask value) over the mask's rectangle.
template <typename Apply>
void forMaskPixels(Canvas& canvas, const Mask& mask, const Apply& apply)
{
    for (int my = 0; my < mask.height; ++my) {
        const int y = mask.bottom + my;
        if (y < 0 || y >= canvas.height)
            continue;
        for (int mx = 0; mx < mask.width; ++mx) {
            const int x = mask.left + mx;
            if (x < 0 || x >= canvas.width)
                continue;
            apply(canvas.pixels[static_cast<size_t>(y) * static_cast<size_t>(canvas.width)
                      + static_cast<size_t>(x)],
                mask.values[static_cast<size_t>(my) * static_cast<size_t>(mask.width)
                    + static_cast<size_t>(mx)]);
        }
    }
}

}  // namespace

void compositeMask(Canvas& canvas, const Mask& mask, Rgb color, float opacity)
{
    forMaskPixels(canvas, mask, [&](Rgba& pixel, float value) {
        const float alpha = clampUnit(value * opacity);
        if (alpha > 0.0f)
            blendOver(pixel, color, alpha);
    });
}

void addMaskLight(Canvas& canvas, const Mask& mask, Rgb color, float amount)
{
    forMaskPixels(canvas, mask, [&](Rgba& pixel, float value) {
        const float weight = value * amount;
        if (weight > 0.0f)
            addLight(pixel, color, weight);
    });
}

constexpr float LEVEL_TOLERANCE = 1e-3f;  // in byte levels

std::vector<uint8_t> canvasToRgba8(const Canvas& canvas, uint32_t ditherSeed, Rgb transparentColor)
{
    std::vector<uint8_t> out(canvas.pixels.size() * 4);
    const float transparent[3] = {transparentColor.r, transparentColor.g, transparentColor.b};
    auto convertRows = [&](int firstRow, int endRow) {
        for (int y = firstRow; y < endRow; ++y) {
            for (int x = 0; x < canvas.width; ++x) {
                const size_t index = static_cast<size_t>(y) * static_cast<size_t>(canvas.width)
                    + static_cast<size_t>(x);
                const Rgba& pixel = canvas.pixels[index];
                const float alpha = clampUnit(pixel.a);
                const int alphaByte = static_cast<int>(alpha * 255.0f + 0.5f);
                const float channels[3] = {pixel.r, pixel.g, pixel.b};
                uint8_t* dst = &out[index * 4];
                for (int c = 0; c < 3; ++c) {
                    float value = transparent[c];
                    if (alphaByte > 0)
                        value = channels[c] / alpha;
                    float offset = 0.5f;
                    if (ditherSeed != 0 && alphaByte > 0)
                        offset = hashUnit(static_cast<uint32_t>(x), static_cast<uint32_t>(y),
                            ditherSeed + static_cast<uint32_t>(c));
                    // offset in [0, 1): levels (within float error) stay put, others round up
                    // with the odds of their fraction
                    const float scaled = clampUnit(value) * 255.0f;
                    const float nearest = std::floor(scaled + 0.5f);
                    const float rounded = std::fabs(scaled - nearest) < LEVEL_TOLERANCE
                        ? nearest : std::floor(scaled + offset);
                    dst[c] = static_cast<uint8_t>(std::min(255.0f, std::max(0.0f, rounded)));
                }
                dst[3] = static_cast<uint8_t>(alphaByte);
            }
        }
    };
    std::vector<std::thread> workers;
    const int rowsPerThread = (canvas.height + PAINT_THREAD_COUNT - 1) / PAINT_THREAD_COUNT;
    for (int first = 0; first < canvas.height; first += rowsPerThread)
        workers.emplace_back(convertRows, first, std::min(first + rowsPerThread, canvas.height));
    for (std::thread& worker : workers)
        worker.join();
    return out;
}
