// logo_models <run dir>: writes the logo models of the palette, disco and closing scenes, the
// texture sets they name and the closing scene's pictures into <run dir>/data/.
//
// Sizes: the engine scales .3dm positions by 0.05 on load and each scene by its own factor, so
// the widths below are file units chosen for the size on screen:
//   thinlogo.3dm   scene scale 1.0   -> 13.5 units wide, half the frame at the palette scene's
//                                       camera 12 units away; thin, few triangles (drawn 120 times)
//   thinlogo2/3    scene scale 0.2   -> 1.3 units wide (solid silhouette / glowing outline)
//   discoball.3dm  scene scale 0.5   -> radius 1 unit
//   zu5*.3dm       scene scale 0.125 -> 1.8 units wide (metal body, front and back glow)
// Lettering is DejaVu Sans Bold; every model is a closed solid, so it shows whichever way round
// the scenes turn it, and the closing badge carries its lettering on both sides.
#include "tools/common/generator_main.h"
#include "tools/common/model3dm_write.h"
#include "tools/common/tga_write.h"
#include "tools/logo_models/glyph_outline.h"
#include "tools/logo_models/logo_mesh.h"
#include "tools/logo_models/logo_pictures.h"

#include <algorithm>   // std::max
#include <cmath>
#include <cstdio>

namespace {

constexpr const char* THIN_LOGO_TEXT = "mornglow";
constexpr const char* GROUP_TEXT = "zu5";

constexpr double THIN_LOGO_WIDTH = 270.0;     // x 0.05 x 1.0 = 13.5 units
constexpr double THIN_LOGO_DEPTH = 4.0;
constexpr double THIN_LOGO_TOLERANCE = 0.018;  // em: coarse, the copies are blurred together
// The disco logo follows the ball as far as 2.15 units off centre and jumps to 2.5 units from
// the camera on a beat, where the frame's half width is 2.83: 1.3 units wide keeps it inside.
constexpr double DISCO_LOGO_WIDTH = 130.0;    // x 0.05 x 0.2 = 1.3 units
constexpr double DISCO_LOGO_DEPTH = 6.0;
constexpr double DISCO_LOGO_TOLERANCE = 0.004;
constexpr double DISCO_BALL_RADIUS = 40.0;    // x 0.05 x 0.5 = 1 unit
constexpr int DISCO_BALL_BANDS = 14;
constexpr int DISCO_BALL_TILES = 32;
constexpr double GROUP_WIDTH = 288.0;         // x 0.05 x 0.125 = 1.8 units
constexpr double GROUP_DEPTH = 34.0;
constexpr double GROUP_TOLERANCE = 0.003;
constexpr double GROUP_LETTER_SCALE = 0.9;    // the letters inside the badge's margin
constexpr double GROUP_PLATE_DEPTH = 12.0;    // the badge's plate; the letters stand out of it
constexpr double GROUP_PLATE_CORNER = 0.06;   // em
constexpr double LETTER_TRACKING = 0.02;      // em

// Insets in em of the lettering (converted to file units per model).
constexpr double GROUP_CHAMFER = 0.022;
constexpr double GROUP_INLAY_EDGE = 0.032;
constexpr double GROUP_INLAY_MIDDLE = 0.056;
constexpr double GROUP_INLAY_RISE = 1.4;      // file units the inlay stands proud of the face
constexpr double GROUP_INLAY_SINK = 1.0;      // and how deep it sits in the metal
constexpr double OUTLINE_EDGE = 0.0;
constexpr double OUTLINE_MIDDLE = 0.040;
constexpr double OUTLINE_PROUD = 1.0;         // the glowing outline stands out of the silhouette

constexpr double SMOOTH_ANGLE = 32.0;  // degrees: walls bend smoothly below this

struct Lettering {
    Outline outline;
    std::vector<ShapeContour> shape;
    double emUnits = 1;  // file units per em
    TextureFrame frame{};
};

bool makeLettering(Font& font, const char* text, double width, double tolerance, Lettering& lettering,
    std::string& error)
{
    if (!outlineText(font, text, LETTER_TRACKING, tolerance, lettering.outline, error))
        return false;
    const double emWidth = lettering.outline.maxX - lettering.outline.minX;
    fitOutline(lettering.outline, width);
    lettering.emUnits = width / emWidth;
    lettering.shape = shapeFromOutline(lettering.outline);
    const double span = std::max(lettering.outline.maxX - lettering.outline.minX,
        lettering.outline.maxY - lettering.outline.minY);
    lettering.frame = TextureFrame{lettering.outline.minX, lettering.outline.minY, span};
    return true;
}

// The outline turned over left to right about its centre (x = 0 after fitOutline).
void mirrorOutline(Outline& outline)
{
    for (Contour& contour : outline.contours)
        for (Point2& p : contour)
            p.x = -p.x;
    const double minX = -outline.maxX;
    outline.maxX = -outline.minX;
    outline.minX = minX;
}

// A rounded rectangle over the outline's bounds, counter-clockwise (filled on its left).
ShapeContour roundedRectangle(const Outline& outline, double radius)
{
    constexpr int CORNER_STEPS = 8;
    constexpr double QUARTER_TURN = 1.5707963267948966;
    // Corner centres in counter-clockwise order from the bottom right; corner k's arc starts
    // at (k - 1) quarter turns.
    const Point2 centres[4] = {{outline.maxX - radius, outline.minY + radius},
        {outline.maxX - radius, outline.maxY - radius}, {outline.minX + radius, outline.maxY - radius},
        {outline.minX + radius, outline.minY + radius}};
    ShapeContour contour;
    contour.filledOnLeft = true;
    for (int k = 0; k < 4; ++k)
        for (int i = 0; i <= CORNER_STEPS; ++i) {
            const double a = QUARTER_TURN * (k - 1 + static_cast<double>(i) / CORNER_STEPS);
            contour.points.push_back({centres[k].x + radius * std::cos(a), centres[k].y + radius * std::sin(a)});
        }
    return contour;
}

bool writeModel(const std::string& dataDir, const char* fileName, const char* objectName, const Mesh& mesh,
    std::string& error)
{
    Model3dmMesh out;
    out.objectName = objectName;
    out.positions = mesh.positions;
    out.normals = mesh.normals;
    out.texcoords = mesh.texcoords;
    if (!write3dm(dataDir + "/" + fileName, out, nullptr, error)) {
        error = std::string(fileName) + ": " + error;
        return false;
    }
    std::printf("logo_models: %s %d triangles\n", fileName, mesh.triangleCount());
    return true;
}

bool fail(const char* what, std::string& error)
{
    error = std::string(what) + ": " + error;
    return false;
}

bool writeModels(Font& font, const std::string& dataDir, std::string& error)
{
    Lettering thin;
    if (!makeLettering(font, THIN_LOGO_TEXT, THIN_LOGO_WIDTH, THIN_LOGO_TOLERANCE, thin, error))
        return fail("thinlogo.3dm", error);
    Mesh thinMesh;
    const double thinHalf = 0.5 * THIN_LOGO_DEPTH;
    if (!addExtrudedShape(thinMesh, thin.shape, {{0.0, -thinHalf}, {0.0, thinHalf}}, thin.frame, SMOOTH_ANGLE, error))
        return fail("thinlogo.3dm", error);
    if (!writeModel(dataDir, "thinlogo.3dm", "thinlogo", thinMesh, error))
        return false;

    Lettering disco;
    if (!makeLettering(font, THIN_LOGO_TEXT, DISCO_LOGO_WIDTH, DISCO_LOGO_TOLERANCE, disco, error))
        return fail("thinlogo2.3dm", error);
    const double discoHalf = 0.5 * DISCO_LOGO_DEPTH;
    Mesh silhouette;
    if (!addExtrudedShape(silhouette, disco.shape, {{0.0, -discoHalf}, {0.0, discoHalf}}, disco.frame, SMOOTH_ANGLE,
            error))
        return fail("thinlogo2.3dm", error);
    // The silhouette is drawn black: it shares the thin logo's set.
    if (!writeModel(dataDir, "thinlogo2.3dm", "thinlogo", silhouette, error))
        return false;
    Mesh outline;
    if (!addInlayBands(outline, disco.shape, OUTLINE_EDGE * disco.emUnits, OUTLINE_MIDDLE * disco.emUnits,
            -discoHalf - OUTLINE_PROUD, discoHalf + OUTLINE_PROUD, disco.frame, error))
        return fail("thinlogo3.3dm", error);
    if (!writeModel(dataDir, "thinlogo3.3dm", "thinlogo3", outline, error))
        return false;

    Mesh ball;
    addMirrorBall(ball, DISCO_BALL_RADIUS, DISCO_BALL_BANDS, DISCO_BALL_TILES);
    if (!writeModel(dataDir, "discoball.3dm", "discoball", ball, error))
        return false;

    // The closing logo turns all the way round, so it is a badge lettered on both sides: a
    // chamfered plate over the lettering's bounds, "zu5" raised on the front and raised again,
    // mirrored, on the back, so it reads left to right from behind too.
    Lettering bounds;
    if (!makeLettering(font, GROUP_TEXT, GROUP_WIDTH, GROUP_TOLERANCE, bounds, error))
        return fail("zu5metal.3dm", error);
    Lettering group;
    if (!makeLettering(font, GROUP_TEXT, GROUP_WIDTH * GROUP_LETTER_SCALE, GROUP_TOLERANCE, group, error))
        return fail("zu5metal.3dm", error);
    Lettering mirrored = group;
    mirrorOutline(mirrored.outline);
    mirrored.shape = shapeFromOutline(mirrored.outline);
    mirrored.frame.minX = mirrored.outline.minX;

    const double half = 0.5 * GROUP_DEPTH;
    const double plateHalf = 0.5 * GROUP_PLATE_DEPTH;
    const double chamfer = GROUP_CHAMFER * group.emUnits;
    const double plateChamfer = 0.5 * chamfer;
    const std::vector<ShapeContour> plate = {roundedRectangle(bounds.outline, GROUP_PLATE_CORNER * bounds.emUnits)};
    Mesh metal;
    const std::vector<ProfileRing> plateProfile = {{plateChamfer, -plateHalf}, {0.0, -plateHalf + plateChamfer},
        {0.0, plateHalf - plateChamfer}, {plateChamfer, plateHalf}};
    // The letters reach a little into the plate, so no seam shows where they meet it.
    const std::vector<ProfileRing> frontProfile = {{chamfer, -half}, {0.0, -half + chamfer}, {0.0, -plateHalf + 1.0}};
    const std::vector<ProfileRing> backProfile = {{0.0, plateHalf - 1.0}, {0.0, half - chamfer}, {chamfer, half}};
    if (!addExtrudedShape(metal, plate, plateProfile, bounds.frame, SMOOTH_ANGLE, error)
        || !addExtrudedShape(metal, group.shape, frontProfile, group.frame, SMOOTH_ANGLE, error)
        || !addExtrudedShape(metal, mirrored.shape, backProfile, mirrored.frame, SMOOTH_ANGLE, error))
        return fail("zu5metal.3dm", error);
    if (!writeModel(dataDir, "zu5metal.3dm", "zu5metal", metal, error))
        return false;
    const double edge = GROUP_INLAY_EDGE * group.emUnits, middle = GROUP_INLAY_MIDDLE * group.emUnits;
    Mesh front, back;
    if (!addInlayBands(front, group.shape, edge, middle, -half - GROUP_INLAY_RISE, -half + GROUP_INLAY_SINK,
            group.frame, error))
        return fail("zu5front.3dm", error);
    if (!addInlayBands(back, mirrored.shape, edge, middle, half + GROUP_INLAY_RISE, half - GROUP_INLAY_SINK,
            mirrored.frame, error))
        return fail("zu5back.3dm", error);
    return writeModel(dataDir, "zu5front.3dm", "zu5front", front, error)
        && writeModel(dataDir, "zu5back.3dm", "zu5back", back, error);
}

using DrawPicture = void (*)(Canvas&);

struct PictureRecipe {
    const char* fileName;
    int width;
    int height;
    float frameWidth;  // 0 = the pixel size
    float frameHeight;
    int bitsPerPixel;
    uint32_t ditherSeed;
    DrawPicture draw;
};

constexpr float SCREEN_WIDTH = 1920.0f;
constexpr float SCREEN_HEIGHT = 1080.0f;

// Power-of-two sizes; the background is drawn in screen pixels and stretched over the screen.
const PictureRecipe PICTURES[] = {
    {"zu5bkgnd.tga", 2048, 1024, SCREEN_WIDTH, SCREEN_HEIGHT, 24, 0x2B5Du, drawClosingBackground},
    {"zu5backraster.tga", 256, 256, 0, 0, 32, 0, drawRasterStrip},
    {"thinlogo.tga", 256, 4, 0, 0, 24, 0, drawThinLogoRamp},
    {"thinlogo3.tga", 64, 64, 0, 0, 24, 0, drawNeonBand},
    {"thinlogo3_specular.tga", 64, 64, 0, 0, 24, 0, drawNeonSpecular},
    {"thinlogo3_normal.tga", 64, 64, 0, 0, 24, 0, drawNeonNormal},
    {"thinlogo3_chraber.tga", 64, 16, 0, 0, 24, 0, drawNeonLightRamp},
    {"discoball.tga", 128, 128, 0, 0, 24, 0x0D15u, drawMirrorTile},
    {"discoball_specular.tga", 128, 128, 0, 0, 24, 0, drawMirrorTileSpecular},
    {"discoball_normal.tga", 128, 128, 0, 0, 24, 0, drawMirrorTileNormal},
    {"zu5metal.tga", 512, 512, 0, 0, 24, 0x5EE1u, drawBrushedMetal},
    {"zu5metal_specular.tga", 512, 512, 0, 0, 24, 0, drawBrushedMetalSpecular},
    {"zu5metal_chraber.tga", 256, 16, 0, 0, 24, 0, drawMetalLightRamp},
    {"zu5front.tga", 256, 4, 0, 0, 24, 0, drawFrontGlowRamp},
    {"zu5back.tga", 256, 4, 0, 0, 24, 0, drawBackGlowRamp},
};

bool writePicture(const PictureRecipe& recipe, const std::string& dataDir, std::string& error)
{
    const float frameWidth = recipe.frameWidth > 0 ? recipe.frameWidth : static_cast<float>(recipe.width);
    const float frameHeight = recipe.frameHeight > 0 ? recipe.frameHeight : static_cast<float>(recipe.height);
    Canvas canvas = makeCanvas(recipe.width, recipe.height, frameWidth, frameHeight);
    recipe.draw(canvas);
    const std::vector<uint8_t> rgba = canvasToRgba8(canvas, recipe.ditherSeed, Rgb{0, 0, 0});
    TgaSource source;
    source.width = recipe.width;
    source.height = recipe.height;
    source.rgba = rgba.data();
    if (!writeTgaFile(dataDir + "/" + recipe.fileName, source, recipe.bitsPerPixel, TgaEncoding::Uncompressed, error)) {
        error = std::string(recipe.fileName) + ": " + error;
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    return runGenerator("logo_models", argc, argv, [](const std::string& dataDir, std::string& error) {
        Font font;
        if (!openFont(font, FONT_SANS_BOLD_PATH, error))
            return false;
        bool ok = writeModels(font, dataDir, error);
        closeFont(font);
        for (const PictureRecipe& recipe : PICTURES)
            ok = ok && writePicture(recipe, dataDir, error);
        return ok;
    });
}
