// Reading Wavefront OBJ models with their MTL material libraries into ObjModel records.
//
// The reader works on text: a count pass sizes every array, a store pass fills them, each
// statement's line consumed whole in both, so the passes always agree. The material library
// comes through a file provider (by path) and textures through a texture loader, so the core
// needs no files and no GL; objReadOBJ wires the real ones (stdio, objLoadTexture).
//
// OBJ statements (first word of a line): "#" comment, "v" vertex "%f %f %f", "vn" normal,
// "vt" texture coordinate "%f %f", "mtllib" (read at once in the count pass), "usemtl", "g"
// (name = the rest of the line after the word, so it keeps the leading blank), "f" faces split
// into fans; any other "v..." word refuses the file; other lines are skipped. A face's first
// corner fixes its form ("v//n", "v/t/n", "v/t" or "v"); corners are read while they match it.
// Indices are 1-based and must lie within the file's counts; a face needs 3 corners.
//
// MTL statements: "newmtl" (name: the rest of the line's words, the second one winning), Kd,
// Ka, Ks "%f %f %f", Ns "%f" (stored x 128 / 1000), map lines (the rest of the line; "map_Kd"
// adds the map and its "_normal.tga", "_chraber.tga", "_specular.tga" companions).
// Line ends may be LF, CRLF or CR; a last line without one reads the same. A number that reads
// as NaN or an infinity (or beyond the float range) refuses the file, as does a zero byte (the
// file is not text), a face of more than OBJ_MAX_FACE_CORNERS corners and a model whose arrays
// would pass OBJ_MAX_MODEL_BYTES; running out of memory is a message too. Names are found
// through hash indices and each material library is read once, so reading is linear in size.
#pragma once

#include "gfx/obj_model.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

// Vertices, normals, texture coordinates or triangles one file may hold.
constexpr uint64_t OBJ_MAX_ELEMENTS = 1u << 26;
// Corners one face line may give (a fan of 65,534 triangles), bytes the arrays of one model
// may take, and the largest OBJ or MTL file the file readers take.
constexpr size_t OBJ_MAX_FACE_CORNERS = 65536;
constexpr uint64_t OBJ_MAX_MODEL_BYTES = uint64_t(1) << 30;
constexpr uint64_t OBJ_MAX_FILE_BYTES = uint64_t(256) << 20;
// Characters kept of an mtllib / usemtl / newmtl statement's rest of line, and of a map name.
constexpr size_t OBJ_NAME_LINE_CHARS = 127;
constexpr size_t OBJ_MAP_LINE_CHARS = 259;
// Vertex progress is reported after every this many vertices.
constexpr uint32_t OBJ_PROGRESS_VERTEX_STEP = 200;

// What the reader reaches outside the text. `readFile` returns false when the file cannot be
// read; `loadTexture` gets the texture's path and fills its size; `out` receives the progress
// and warning lines that the library prints on standard output (null: discarded).
struct ObjReadSeams {
    std::function<bool(const std::string& path, std::string& text)> readFile;
    std::function<uint32_t(const std::string& path, float* width, float* height)> loadTexture;
    FILE* out = nullptr;
};

// The totals of the count pass, kept so a caller can compare them with what was stored.
struct ObjCounts {
    uint64_t vertices = 0;
    uint64_t normals = 0;
    uint64_t texcoords = 0;
    uint64_t triangles = 0;
    uint64_t materials = 0;
    uint64_t groups = 0;
};

// Why a read failed; the message is printed as is (it ends in '\n') on stdout or stderr.
struct ObjReadError {
    std::string message;
    bool onStdout = false;
};

// Reads the OBJ text of the model at `path` (which names the model and locates its MTL and
// textures). Returns the model, or null with `error` set and nothing kept.
ObjModel* objReadText(const char* path, const char* text, size_t size, const ObjReadSeams& seams,
                      ObjLoadProgress* progress, ObjReadError& error, ObjCounts* counted = nullptr);

// The public entries: the file at `path` as given (not below the data folder), textures
// through objLoadTexture. A missing OBJ or MTL file, an unknown "v" statement or a face the
// model cannot hold ends the program with its message and exit code 1.
ObjModel* objReadOBJ(const char* path, ObjLoadProgress* progress);
ObjModel* objReadOBJPath(const char* path);

// The material library `name` beside the model's path, read through the seams; false with
// `error` set when it cannot be read.
bool objReadMTL(ObjModel& model, const char* name, const ObjReadSeams& seams, ObjLoadProgress* progress,
                ObjReadError& error);
// Finds the texture of that name (leading blanks skipped) or loads it; its index.
int32_t objAddTexture(ObjModel& model, const char* name, const ObjReadSeams& seams, ObjLoadProgress* progress);
// Index of the first material named exactly `name`; 0 after a message on seams.out if none.
int32_t objFindMaterial(ObjModel& model, const char* name, FILE* out = stdout);

// The seams of the public entries: stdio files and GL textures through objLoadTexture.
ObjReadSeams objLibrarySeams();
