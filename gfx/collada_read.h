// Reader of the COLLADA subset the engine loads, without any GL: the first geometry's first
// triangle polylist with positions, normals and optional texture coordinates, turned into plain
// arrays or an error.
//
// The subset, as element paths (each step the first child of that name):
//   COLLADA/library_geometries/geometry @name        object name (texture-set key)
//   geometry/mesh/vertices/input @source             position source id ('#' dropped)
//   mesh/polylist @count                             n triangles (0 when absent)
//   polylist/input @semantic "NORMAL" / "TEXCOORD"   normal / texture-coordinate source ids
//                                                    (the last of each semantic wins)
//   polylist/p                                       corner indices
//   mesh/source @id + float_array @count and text    the three source arrays
// The corner layout is fixed whatever the inputs' offsets say: position, normal and (with a
// TEXCOORD input) texture-coordinate index per corner, so the stride is 3 or 2.
//
// Numbers are separated by any whitespace (blanks, tabs, line ends). A document is refused when
// a count is negative or above COLLADA_MAX_LIST_VALUES, a list holds fewer numbers than its
// count, a token is not a number, a polylist polygon is not a triangle, a source is missing or
// a corner index lies outside the values of its source.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Numbers in one list (corner indices or one float_array) at most; counts are checked in 64
// bits against it before anything is allocated.
const int64_t COLLADA_MAX_LIST_VALUES = 1 << 24;
// Characters of the object name kept.
const size_t COLLADA_NAME_CHARS = 255;
// Characters of the document quoted after an XML error's offset.
const size_t COLLADA_EXCERPT_CHARS = 32;

enum class ColladaSourceKind { POSITIONS, NORMALS, TEXCOORDS };

// One source array as read, in document order: its declared count and the floats stored.
struct ColladaSourceRead {
    ColladaSourceKind kind;
    int64_t declared;
    int64_t stored;
};

struct ColladaMesh {
    std::string objectName;
    int32_t triangleCount = 0;
    int stride = 2;                 // 3 with texture coordinates
    std::vector<int32_t> corners;   // triangleCount x 3 x stride indices
    std::vector<float> positions;   // 3 per point
    std::vector<float> normals;     // 3 per normal
    std::vector<float> texcoords;   // 2 per point; empty with stride 2
    std::vector<ColladaSourceRead> sourcesRead;
};

// Where the XML parser gave up: its description, the byte offset and a bounded excerpt.
struct ColladaXmlError {
    std::string description;
    int64_t offset = 0;
    std::string excerpt;
};

enum class ColladaResult { OK, XML_ERROR, MALFORMED };

// Parses `size` bytes of `text` (any bytes). `fileName` labels messages. XML_ERROR fills
// `xmlError`; MALFORMED puts "fileName: expected ..., found ..." in `error`.
ColladaResult parseCollada(const char* text, size_t size, const char* fileName, ColladaMesh& out,
                           ColladaXmlError& xmlError, std::string& error);

// The three-line report of an XML error (each line ends in '\n', the last one doubled).
std::string colladaXmlReport(const char* path, const ColladaXmlError& xmlError);
// The report for a file that could not be read at all.
ColladaXmlError colladaUnreadableFile();

// Split `text` at whitespace and store up to `capacity` numbers in order; the count stored is
// returned, or -1 when a token is not a number (an int32 for the first, a finite float for the
// second).
int64_t parseIntList(const char* text, int32_t* out, int64_t capacity);
int64_t parseFloatList(const char* text, float* out, int64_t capacity);
