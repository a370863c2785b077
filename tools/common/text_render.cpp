// FreeType text into canvas masks.
#include "tools/common/text_render.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H  // FT_Outline_Embolden for the stroke weight

#include <cmath>    // std::floor
#include <cstddef>  // ptrdiff_t for bitmap rows

namespace {

constexpr float FIXED_26_6 = 64.0f;
constexpr float FIXED_16_16 = 65536.0f;
constexpr float BASE_PIXEL_SIZE = 64.0f;  // glyphs are loaded at this size and scaled by the transform

struct Scale {
    float x;  // canvas pixels per frame unit
    float y;
};

Scale frameScale(const Canvas& canvas)
{
    return Scale{static_cast<float>(canvas.width) / canvas.frameWidth,
        static_cast<float>(canvas.height) / canvas.frameHeight};
}

// Loads `glyph` scaled to the style's size in canvas pixels, shifted by the pen's fraction.
FT_Error loadScaledGlyph(FT_Face face, FT_UInt glyph, const TextStyle& style, Scale scale,
    float fractionX, float fractionY)
{
    FT_Matrix matrix;
    matrix.xx = static_cast<FT_Fixed>(style.size * scale.x / BASE_PIXEL_SIZE * FIXED_16_16);
    matrix.xy = 0;
    matrix.yx = 0;
    matrix.yy = static_cast<FT_Fixed>(style.size * scale.y / BASE_PIXEL_SIZE * FIXED_16_16);
    FT_Vector delta;
    delta.x = static_cast<FT_Pos>(fractionX * FIXED_26_6);
    delta.y = static_cast<FT_Pos>(fractionY * FIXED_26_6);
    FT_Set_Transform(face, &matrix, &delta);
    return FT_Load_Glyph(face, glyph, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP);
}

// Kerning between two glyphs in frame units (unscaled font units converted by the em size).
float kerningBetween(FT_Face face, FT_UInt left, FT_UInt right, const TextStyle& style)
{
    if (left == 0 || !FT_HAS_KERNING(face))
        return 0.0f;
    FT_Vector kern;
    if (FT_Get_Kerning(face, left, right, FT_KERNING_UNSCALED, &kern) != 0)
        return 0.0f;
    return static_cast<float>(kern.x) * style.size / static_cast<float>(face->units_per_EM);
}

float advanceOf(FT_Face face, FT_UInt glyph, const TextStyle& style)
{
    if (FT_Load_Glyph(face, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING) != 0)
        return 0.0f;
    return static_cast<float>(face->glyph->metrics.horiAdvance) * style.size
        / static_cast<float>(face->units_per_EM);
}

}  // namespace

bool openFont(Font& font, const char* path, std::string& error)
{
    if (FT_Init_FreeType(&font.library) != 0) {
        error = "FreeType cannot start";
        font.library = nullptr;
        return false;
    }
    if (FT_New_Face(font.library, path, 0, &font.face) != 0) {
        error = std::string("cannot open font ") + path + " (package fonts-dejavu-core)";
        FT_Done_FreeType(font.library);
        font.library = nullptr;
        font.face = nullptr;
        return false;
    }
    if (FT_Set_Pixel_Sizes(font.face, 0, static_cast<FT_UInt>(BASE_PIXEL_SIZE)) != 0) {
        error = std::string("cannot size font ") + path;
        closeFont(font);
        return false;
    }
    return true;
}

void closeFont(Font& font)
{
    if (font.face != nullptr)
        FT_Done_Face(font.face);
    if (font.library != nullptr)
        FT_Done_FreeType(font.library);
    font.face = nullptr;
    font.library = nullptr;
}

float measureText(Font& font, const char* text, const TextStyle& style)
{
    float width = 0.0f;
    FT_UInt previous = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        const FT_UInt glyph = FT_Get_Char_Index(font.face, static_cast<unsigned char>(*c));
        width += kerningBetween(font.face, previous, glyph, style) + advanceOf(font.face, glyph, style);
        if (c[1] != '\0')
            width += style.tracking;
        previous = glyph;
    }
    return width;
}

bool drawText(Font& font, const Canvas& canvas, Mask& mask, const char* text,
    const TextStyle& style, float x, float baseline, std::string& error)
{
    const Scale scale = frameScale(canvas);
    float pen = x;
    FT_UInt previous = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        const FT_UInt glyph = FT_Get_Char_Index(font.face, static_cast<unsigned char>(*c));
        pen += kerningBetween(font.face, previous, glyph, style);
        const float advance = advanceOf(font.face, glyph, style);

        // Pen in canvas pixels, split into the whole pixel and the fraction FreeType shifts by.
        const float penPixelX = pen * scale.x;
        const float penPixelY = baseline * scale.y;
        const float wholeX = std::floor(penPixelX);
        const float wholeY = std::floor(penPixelY);
        if (loadScaledGlyph(font.face, glyph, style, scale, penPixelX - wholeX, penPixelY - wholeY) != 0) {
            FT_Set_Transform(font.face, nullptr, nullptr);
            error = std::string("cannot load the glyph of '") + *c + "'";
            return false;
        }
        FT_GlyphSlot slot = font.face->glyph;
        if (style.weight != 0.0f && slot->format == FT_GLYPH_FORMAT_OUTLINE) {
            const float strength = style.weight * scale.x * FIXED_26_6;
            FT_Outline_Embolden(&slot->outline, static_cast<FT_Pos>(strength));
            // Embolden grows the outline to the right and up by half the strength each way
            FT_Outline_Translate(&slot->outline, static_cast<FT_Pos>(-strength / 2),
                static_cast<FT_Pos>(-strength / 2));
        }
        if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) {
            FT_Set_Transform(font.face, nullptr, nullptr);
            error = std::string("cannot render the glyph of '") + *c + "'";
            return false;
        }
        const FT_Bitmap& bitmap = slot->bitmap;
        const int left = static_cast<int>(wholeX) + slot->bitmap_left - mask.left;
        const int top = static_cast<int>(wholeY) + slot->bitmap_top - 1 - mask.bottom;  // y up
        for (unsigned row = 0; row < bitmap.rows; ++row) {
            const int y = top - static_cast<int>(row);
            if (y < 0 || y >= mask.height)
                continue;
            const unsigned char* source = bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch;
            for (unsigned column = 0; column < bitmap.width; ++column) {
                const int px = left + static_cast<int>(column);
                if (px < 0 || px >= mask.width)
                    continue;
                const float coverage = static_cast<float>(source[column]) / 255.0f;
                float& value = mask.values[static_cast<size_t>(y) * static_cast<size_t>(mask.width)
                    + static_cast<size_t>(px)];
                value = 1.0f - (1.0f - value) * (1.0f - coverage);  // overlapping letters union
            }
        }
        pen += advance + style.tracking;
        previous = glyph;
    }
    FT_Set_Transform(font.face, nullptr, nullptr);
    return true;
}

bool drawTextCentred(Font& font, const Canvas& canvas, Mask& mask, const char* text,
    const TextStyle& style, float centreX, float baseline, std::string& error)
{
    const float width = measureText(font, text, style);
    return drawText(font, canvas, mask, text, style, centreX - width / 2.0f, baseline, error);
}
