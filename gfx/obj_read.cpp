#include "gfx/obj_read.h"

#include "gfx/tangents.h"

#include <cmath>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <unordered_map>

namespace {

// Characters of a bad word quoted in a message.
const size_t QUOTED_WORD_CHARS = 40;

void say(FILE* out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void say(FILE* out, const char* format, ...)
{
    if (!out)
        return;
    va_list args;
    va_start(args, format);
    std::vfprintf(out, format, args);
    va_end(args);
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string quoted(const char* text, size_t length)
{
    std::string shown;
    for (size_t i = 0; i < length && i < QUOTED_WORD_CHARS; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        shown += (c >= 0x20 && c < 0x7f) ? static_cast<char>(c) : '?';
    }
    return length > QUOTED_WORD_CHARS ? shown + "..." : shown;
}

// One line of the text without its line end (LF, CR LF, or a CR alone).
struct Line {
    const char* begin = nullptr;
    const char* end = nullptr;
    int number = 0;
};

struct LineCursor {
    const char* text;
    size_t size;
    size_t pos = 0;
    int number = 0;

    bool next(Line& line)
    {
        if (pos >= size)
            return false;
        size_t stop = pos;
        while (stop < size && text[stop] != '\n' && text[stop] != '\r')
            ++stop;
        line.begin = text + pos;
        line.end = text + stop;
        line.number = ++number;
        pos = stop;
        if (pos < size && text[pos] == '\r')
            ++pos;
        if (pos < size && text[pos] == '\n' && (pos == stop || text[stop] == '\r'))
            ++pos;
        return true;
    }
};

// The blank-separated words of one line.
struct Words {
    const char* at;
    const char* end;

    bool next(const char*& start, size_t& length)
    {
        while (at < end && isBlank(*at))
            ++at;
        if (at >= end)
            return false;
        start = at;
        while (at < end && !isBlank(*at))
            ++at;
        length = static_cast<size_t>(at - start);
        return true;
    }
    bool next(std::string& word)
    {
        const char* start;
        size_t length;
        if (!next(start, length))
            return false;
        word.assign(start, length);
        return true;
    }
    // What follows the last word read, blanks included.
    std::string rest() const { return std::string(at, static_cast<size_t>(end - at)); }
};

// "%f" as the platform reads it: the longest number at the start of the word; 0 when none.
// NaN, an infinity or a number beyond the float range is refused (false, the word in `bad`):
// it would spread through fitting, normals and tangents into every vertex of the model.
bool readFloat(Words& words, float& value, std::string& bad)
{
    value = 0.0f;
    std::string word;
    if (!words.next(word))
        return true;
    value = std::strtof(word.c_str(), nullptr);
    if (std::isfinite(value))
        return true;
    bad = quoted(word.data(), word.size());
    value = 0.0f;
    return false;
}

// The name of an mtllib, usemtl or newmtl statement: the words of the rest of the line (as much
// of it as a name line holds), the second one winning.
std::string statementName(const Words& words)
{
    std::string rest = words.rest();
    if (rest.size() > OBJ_NAME_LINE_CHARS)
        rest.resize(OBJ_NAME_LINE_CHARS);
    Words inside{rest.data(), rest.data() + rest.size()};
    std::string name;
    std::string second;
    inside.next(name);
    if (inside.next(second))
        name = second;
    return name;
}

// A decimal integer at `at` (before `end`); moves `at` past it. Magnitudes stop growing past
// 2^40, far beyond any index the counts allow, so nothing overflows.
bool readIndex(const char*& at, const char* end, int64_t& value)
{
    const char* p = at;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    const char* digits = p;
    int64_t magnitude = 0;
    while (p < end && *p >= '0' && *p <= '9') {
        if (magnitude < (int64_t(1) << 40))
            magnitude = magnitude * 10 + (*p - '0');
        ++p;
    }
    if (p == digits)
        return false;
    value = negative ? -magnitude : magnitude;
    at = p;
    return true;
}

bool readLiteral(const char*& at, const char* end, const char* literal)
{
    size_t length = std::strlen(literal);
    if (static_cast<size_t>(end - at) < length || std::memcmp(at, literal, length) != 0)
        return false;
    at += length;
    return true;
}

enum class CornerForm { VERTEX_NORMAL, VERTEX_TEXTURE_NORMAL, VERTEX_TEXTURE, VERTEX };

struct Corner {
    int64_t v = 0;
    int64_t t = 0;
    int64_t n = 0;
};

// One corner word in the given form; the whole word must match.
bool parseCorner(const char* word, size_t length, CornerForm form, Corner& corner)
{
    const char* at = word;
    const char* end = word + length;
    corner = Corner();
    bool ok = readIndex(at, end, corner.v);
    switch (form) {
    case CornerForm::VERTEX_NORMAL:
        ok = ok && readLiteral(at, end, "//") && readIndex(at, end, corner.n);
        break;
    case CornerForm::VERTEX_TEXTURE_NORMAL:
        ok = ok && readLiteral(at, end, "/") && readIndex(at, end, corner.t) && readLiteral(at, end, "/") &&
             readIndex(at, end, corner.n);
        break;
    case CornerForm::VERTEX_TEXTURE:
        ok = ok && readLiteral(at, end, "/") && readIndex(at, end, corner.t);
        break;
    case CornerForm::VERTEX:
        break;
    }
    return ok && at == end;
}

CornerForm formOf(const char* word, size_t length)
{
    std::string text(word, length);
    if (text.find("//") != std::string::npos)
        return CornerForm::VERTEX_NORMAL;
    Corner corner;
    if (parseCorner(word, length, CornerForm::VERTEX_TEXTURE_NORMAL, corner))
        return CornerForm::VERTEX_TEXTURE_NORMAL;
    if (parseCorner(word, length, CornerForm::VERTEX_TEXTURE, corner))
        return CornerForm::VERTEX_TEXTURE;
    return CornerForm::VERTEX;
}

// The corners of a face line (after the "f" word), read while they match the first one's form;
// false when the line holds more than OBJ_MAX_FACE_CORNERS.
bool readFaceCorners(Words words, CornerForm& form, std::vector<Corner>& corners)
{
    corners.clear();
    const char* word;
    size_t length;
    if (!words.next(word, length))
        return true;
    form = formOf(word, length);
    do {
        Corner corner;
        if (!parseCorner(word, length, form, corner))
            return true;
        if (corners.size() == OBJ_MAX_FACE_CORNERS)
            return false;
        corners.push_back(corner);
    } while (words.next(word, length));
    return true;
}

// The statements both passes act on. They are told apart by their first letter, the vertex
// kinds also by the second ("v", "vn", "vt"), as "mtllib", "usemtl", "g" and "f" always are;
// any other first letter is skipped.
enum class Statement { OTHER, VERTEX, NORMAL, TEXTURE_COORDINATE, UNKNOWN_VERTEX_KIND, MATERIAL_LIBRARY,
                       USE_MATERIAL, GROUP, FACE };

Statement statementOf(const std::string& word)
{
    switch (word[0]) {
    case 'v':
        if (word.size() == 1)
            return Statement::VERTEX;
        if (word[1] == 'n')
            return Statement::NORMAL;
        return word[1] == 't' ? Statement::TEXTURE_COORDINATE : Statement::UNKNOWN_VERTEX_KIND;
    case 'm': return Statement::MATERIAL_LIBRARY;
    case 'u': return Statement::USE_MATERIAL;
    case 'g': return Statement::GROUP;
    case 'f': return Statement::FACE;
    default: return Statement::OTHER;
    }
}

// Calls visit(statement, line, words after the first, first word) for every line that holds a
// word; stops at the first false visit and returns it.
template <typename Visit>
bool eachStatement(const char* text, size_t size, Visit&& visit)
{
    LineCursor lines{text, size};
    Line line;
    while (lines.next(line)) {
        Words words{line.begin, line.end};
        std::string word;
        if (!words.next(word))
            continue;
        if (!visit(statementOf(word), line, words, word))
            return false;
    }
    return true;
}

// The materials of a library the file named before, parked while another one is in force.
struct ParkedLibrary {
    std::vector<ObjMaterial> materials;
    std::unordered_map<std::string, int32_t> index;
};

struct Reader {
    ObjModel& model;
    const char* path;
    const ObjReadSeams& seams;
    ObjLoadProgress* progress;
    ObjReadError& error;
    ObjCounts counts;
    // Each library is read once: naming the one in force again changes nothing, and one named
    // before comes back from where it was parked, as reading it again would give the same.
    std::string libraryInForce;
    bool libraryRead = false;
    std::unordered_map<std::string, ParkedLibrary> parked;

    bool useMaterialLibrary()
    {
        const std::string library = objPathDirectory(model.pathname.c_str()) + model.mtllibname;
        if (libraryRead && library == libraryInForce)
            return true;
        if (libraryRead) {
            ParkedLibrary& park = parked[libraryInForce];
            park.materials = std::move(model.materials);
            park.index = std::move(model.materialIndex);
        }
        libraryInForce = library;
        libraryRead = true;
        const auto found = parked.find(library);
        if (found == parked.end())
            return objReadMTL(model, model.mtllibname.c_str(), seams, progress, error);
        model.materials = std::move(found->second.materials);
        model.materialIndex = std::move(found->second.index);
        model.materialsIndexed = model.materials.size();
        model.nummaterials = static_cast<uint32_t>(model.materials.size());
        parked.erase(found);
        return true;
    }

    bool fail(const std::string& message, bool onStdout = false)
    {
        error.message = message;
        error.onStdout = onStdout;
        return false;
    }
    bool failAt(const Line& line, const std::string& what)
    {
        return fail(std::string(path) + ":" + std::to_string(line.number) + ": " + what + "\n");
    }

    bool countOne(uint64_t& count, const Line& line, const char* what)
    {
        if (++count > OBJ_MAX_ELEMENTS)
            return failAt(line, std::string("expected at most ") + std::to_string(OBJ_MAX_ELEMENTS) + " " + what);
        return true;
    }

    bool firstPass(const char* text, size_t size)
    {
        ObjGroup* group = objEnsureGroup(model, "default");
        std::vector<Corner> corners;
        const bool read = eachStatement(text, size, [&](Statement statement, const Line& line, Words& words,
                                                        const std::string& word) {
            switch (statement) {
            case Statement::VERTEX: return countOne(counts.vertices, line, "vertices");
            case Statement::NORMAL: return countOne(counts.normals, line, "normals");
            case Statement::TEXTURE_COORDINATE: return countOne(counts.texcoords, line, "texture coordinates");
            case Statement::UNKNOWN_VERTEX_KIND:
                return fail("objFirstPass(): Unknown token \"" + quoted(word.data(), word.size()) + "\".\n", true);
            case Statement::MATERIAL_LIBRARY:
                model.mtllibname = statementName(words);
                return useMaterialLibrary();
            case Statement::GROUP:
                group = objEnsureGroup(model, words.rest().c_str());
                return true;
            case Statement::FACE: {
                CornerForm form;
                if (!readFaceCorners(words, form, corners))
                    return failAt(line, "expected a face of at most " + std::to_string(OBJ_MAX_FACE_CORNERS) +
                                            " corners, found more");
                if (corners.size() < 3)
                    return failAt(line, "expected a face of 3 or more corners, found " +
                                            std::to_string(corners.size()));
                counts.triangles += corners.size() - 2;
                if (counts.triangles > OBJ_MAX_ELEMENTS)
                    return failAt(line, "expected at most " + std::to_string(OBJ_MAX_ELEMENTS) + " triangles");
                group->numtriangles += static_cast<uint32_t>(corners.size() - 2);
                return true;
            }
            case Statement::USE_MATERIAL:
            case Statement::OTHER: return true;
            }
            return true;
        });
        if (!read)
            return false;
        counts.materials = model.nummaterials;
        counts.groups = model.numgroups;
        return true;
    }

    // A 1-based index of a face corner within the file's total of that kind.
    bool checkIndex(const Line& line, int64_t index, uint64_t total, const char* what)
    {
        if (index >= 1 && static_cast<uint64_t>(index) <= total)
            return true;
        return failAt(line, std::string("expected a ") + what + " index from 1 to " + std::to_string(total) +
                                ", found " + std::to_string(index));
    }

    bool storeFace(const Line& line, Words words, ObjGroup* group, std::vector<Corner>& corners)
    {
        CornerForm form = CornerForm::VERTEX;
        if (!readFaceCorners(words, form, corners))
            return failAt(line, "expected a face of at most " + std::to_string(OBJ_MAX_FACE_CORNERS) + " corners");
        bool withTexture = form == CornerForm::VERTEX_TEXTURE_NORMAL || form == CornerForm::VERTEX_TEXTURE;
        bool withNormal = form == CornerForm::VERTEX_NORMAL || form == CornerForm::VERTEX_TEXTURE_NORMAL;
        for (const Corner& corner : corners) {
            if (!checkIndex(line, corner.v, counts.vertices, "vertex"))
                return false;
            if (withTexture && !checkIndex(line, corner.t, counts.texcoords, "texture coordinate"))
                return false;
            if (withNormal && !checkIndex(line, corner.n, counts.normals, "normal"))
                return false;
        }
        for (size_t k = 2; k < corners.size(); ++k) {
            // Both passes read the same lines the same way, so this never trips; it guards the
            // arrays all the same.
            if (model.numtriangles >= model.triangles.size() || group->numtriangles >= group->triangles.size())
                return failAt(line, "expected the faces the count pass found, found more");
            const Corner* fan[3] = {&corners[0], &corners[k - 1], &corners[k]};
            ObjTriangle& triangle = model.triangles[model.numtriangles];
            for (int c = 0; c < 3; ++c) {
                triangle.vindices[c] = static_cast<uint32_t>(fan[c]->v);
                triangle.tindices[c] = withTexture ? static_cast<uint32_t>(fan[c]->t) : 0;
                triangle.nindices[c] = withNormal ? static_cast<uint32_t>(fan[c]->n) : 0;
            }
            triangle.findex = -1;
            group->triangles[group->numtriangles++] = model.numtriangles++;
        }
        return true;
    }

    void reportVertexProgress(const ObjGroup* group)
    {
        if (!progress || !progress->callback || model.numvertices % OBJ_PROGRESS_VERTEX_STEP != 0)
            return;
        double share = 30.0 + 70.0 * model.numvertices / static_cast<double>(counts.vertices);
        int percent = static_cast<int>(progress->from + (progress->to - progress->from) * share / 100.0);
        std::string text = progress->label + " (" + group->name + " )... ";
        progress->callback(percent, text.c_str());
    }

    // Stores 3 (or 2) floats into the next entry of a 1-based array counted by the first pass.
    bool storeVector(const Line& line, Words& words, std::vector<float>& array, uint32_t& count, uint64_t total,
                     int width)
    {
        if (count >= total)
            return failAt(line, "expected the values the count pass found, found more");
        ++count;
        std::string bad;
        for (int c = 0; c < width; ++c)
            if (!readFloat(words, array[static_cast<size_t>(width) * count + c], bad))
                return failAt(line, "expected a finite number, found \"" + bad + "\"");
        return true;
    }

    bool secondPass(const char* text, size_t size)
    {
        ObjGroup* group = objLookupGroup(model, "default");
        int32_t material = 0;
        std::vector<Corner> corners;
        // The count pass refused every unknown vertex kind, so none reaches this pass.
        const bool read = eachStatement(text, size, [&](Statement statement, const Line& line, Words& words,
                                                        const std::string&) {
            switch (statement) {
            case Statement::VERTEX:
                if (!storeVector(line, words, model.vertices, model.numvertices, counts.vertices, 3))
                    return false;
                reportVertexProgress(group);
                return true;
            case Statement::NORMAL:
                return storeVector(line, words, model.normals, model.numnormals, counts.normals, 3);
            case Statement::TEXTURE_COORDINATE:
            case Statement::UNKNOWN_VERTEX_KIND:
                return storeVector(line, words, model.texcoords, model.numtexcoords, counts.texcoords, 2);
            case Statement::USE_MATERIAL:
                material = objFindMaterial(model, statementName(words).c_str(), seams.out);
                group->material = material;
                return true;
            case Statement::GROUP:
                group = objLookupGroup(model, words.rest().c_str());
                if (!group)
                    return failAt(line, "expected the groups the count pass found, found another");
                group->material = material;
                return true;
            case Statement::FACE: return storeFace(line, words, group, corners);
            case Statement::MATERIAL_LIBRARY:
            case Statement::OTHER: return true;
            }
            return true;
        });
        if (!read)
            return false;
        if (model.numvertices != counts.vertices || model.numnormals != counts.normals ||
            model.numtexcoords != counts.texcoords || model.numtriangles != counts.triangles)
            return fail(std::string(path) + ": expected the totals of the count pass, found others\n");
        for (ObjGroup* g = model.groups; g; g = g->next)
            if (g->numtriangles != g->triangles.size())
                return fail(std::string(path) + ": expected the group sizes of the count pass, found others\n");
        return true;
    }
};

// Up to two control characters at the end of a texture name (a line end) are cut off.
void cutLineEnd(std::string& name)
{
    for (int i = 0; i < 2 && !name.empty() && static_cast<unsigned char>(name.back()) < 32; ++i)
        name.pop_back();
}

// The first material of each name, rebuilt when the array no longer matches the index.
void indexMaterials(ObjModel& model)
{
    if (model.materialsIndexed == model.materials.size())
        return;
    model.materialIndex.clear();
    for (size_t i = 0; i < model.materials.size(); ++i)
        model.materialIndex.emplace(model.materials[i].name, static_cast<int32_t>(i));
    model.materialsIndexed = model.materials.size();
}

// A model or material library holds text: a zero byte means some other kind of file.
bool holdsZeroByte(const std::string& path, const char* text, size_t size, ObjReadError& error)
{
    const void* zero = std::memchr(text, 0, size);
    if (zero)
        error.message = path + ": expected a text file, found a zero byte at offset " +
                        std::to_string(static_cast<const char*>(zero) - text) + "\n";
    return zero != nullptr;
}

const char* skipBlanks(const char* name)
{
    while (*name == ' ' || *name == '\t')
        ++name;
    return name;
}

} // namespace

namespace {

ObjModel* readText(const char* path, const char* text, size_t size, const ObjReadSeams& seams,
                   ObjLoadProgress* progress, ObjReadError& error, ObjCounts* counted)
{
    std::unique_ptr<ObjModel> model(new ObjModel());
    model->pathname = path;
    // A model without a material library still draws with the default material.
    model->materials.assign(1, ObjMaterial());
    model->materials[0].name = "default";
    model->nummaterials = 1;

    Reader reader{*model, path, seams, progress, error, ObjCounts(), std::string(), false, {}};
    if (!reader.firstPass(text, size))
        return nullptr;
    const ObjCounts& counts = reader.counts;
    // What the arrays below and the tangents will take, refused before any of it is asked for.
    const uint64_t bytes = 4 * (3 * (counts.vertices + 1) + 3 * (counts.normals + 1) + 2 * (counts.texcoords + 1)) +
                           counts.triangles * (sizeof(ObjTriangle) + sizeof(uint32_t) + 9 * sizeof(float));
    if (bytes > OBJ_MAX_MODEL_BYTES) {
        reader.fail(std::string(path) + ": expected a model of at most " + std::to_string(OBJ_MAX_MODEL_BYTES >> 20) +
                    " MB, found one that needs " + std::to_string(bytes >> 20) + " MB\n");
        return nullptr;
    }
    for (ObjGroup* group = model->groups; group; group = group->next) {
        group->triangles.assign(group->numtriangles, 0);
        group->numtriangles = 0;
    }
    model->vertices.assign(3 * (counts.vertices + 1), 0.0f);
    model->triangles.assign(counts.triangles, ObjTriangle());
    if (counts.normals)
        model->normals.assign(3 * (counts.normals + 1), 0.0f);
    if (counts.texcoords)
        model->texcoords.assign(2 * (counts.texcoords + 1), 0.0f);
    if (!reader.secondPass(text, size))
        return nullptr;

    model->tangents.assign(9 * (static_cast<size_t>(model->numtriangles) + 1), 0.0f);
    generateObjTangents(*model);
    if (counted)
        *counted = counts;
    return model.release();
}

}  // namespace

ObjModel* objReadText(const char* path, const char* text, size_t size, const ObjReadSeams& seams,
                      ObjLoadProgress* progress, ObjReadError& error, ObjCounts* counted)
{
    error = ObjReadError();
    if (holdsZeroByte(path, text, size, error))
        return nullptr;
    try {
        return readText(path, text, size, seams, progress, error, counted);
    } catch (const std::bad_alloc&) {
        error = ObjReadError();
        error.message = std::string(path) + ": out of memory while reading the model\n";
        return nullptr;
    }
}

bool objReadMTL(ObjModel& model, const char* name, const ObjReadSeams& seams, ObjLoadProgress* progress,
                ObjReadError& error)
{
    std::string path = objPathDirectory(model.pathname.c_str()) + name;
    std::string text;
    if (!seams.readFile || !seams.readFile(path, text)) {
        error.message = "objReadMTL() failed: can't open material file \"" + path + "\".\n";
        error.onStdout = false;
        return false;
    }
    if (holdsZeroByte(path, text.data(), text.size(), error)) {
        error.onStdout = false;
        return false;
    }

    uint64_t count = 1;
    LineCursor lines{text.data(), text.size()};
    Line line;
    while (lines.next(line)) {
        Words words{line.begin, line.end};
        std::string word;
        if (words.next(word) && word[0] == 'n' && ++count > OBJ_MAX_ELEMENTS) {
            error.message = path + ":" + std::to_string(line.number) + ": expected at most " +
                            std::to_string(OBJ_MAX_ELEMENTS) + " materials\n";
            return false;
        }
    }
    model.materials.assign(count, ObjMaterial());
    model.materials[0].name = "default";
    model.nummaterials = static_cast<uint32_t>(count);

    // Indexed as the names come, so a name given twice finds its first material.
    model.materialIndex.clear();
    model.materialIndex.emplace(model.materials[0].name, 0);
    model.materialsIndexed = model.materials.size();
    size_t current = 0;
    bool ok = true;
    std::string bad;
    lines = LineCursor{text.data(), text.size()};
    while (ok && lines.next(line)) {
        Words words{line.begin, line.end};
        std::string word;
        if (!words.next(word))
            continue;
        ObjMaterial& material = model.materials[current];
        switch (word[0]) {
        case 'n':
            // Counted above line for line, so there is always a next material.
            if (current + 1 < model.materials.size()) {
                model.materials[++current].name = statementName(words);
                model.materialIndex.emplace(model.materials[current].name, static_cast<int32_t>(current));
            }
            break;
        case 'K': {
            float* target = word.size() < 2 ? nullptr
                            : word[1] == 'd' ? material.diffuse
                            : word[1] == 'a' ? material.ambient
                            : word[1] == 's' ? material.specular
                                             : nullptr;
            if (target)
                for (int c = 0; c < 3 && ok; ++c)
                    ok = readFloat(words, target[c], bad);
            break;
        }
        case 'N':
            if (word.size() >= 2 && word[1] == 's') {
                ok = readFloat(words, material.shininess, bad);
                material.shininess = material.shininess / 1000.0f * 128.0f;
            }
            break;
        case 'm': {
            std::string map = words.rest();
            if (map.size() > OBJ_MAP_LINE_CHARS)
                map.resize(OBJ_MAP_LINE_CHARS);
            std::string stem = map.substr(0, map.size() >= 4 ? map.size() - 4 : 0);
            std::string normal = stem + "_normal.tga";
            std::string chraber = stem + "_chraber.tga";
            std::string specular = stem + "_specular.tga";
            say(seams.out, "-%s-%s-\n-%s-\n-%s-\n", map.c_str(), normal.c_str(), chraber.c_str(), specular.c_str());
            if (word.compare(0, 6, "map_Kd") == 0) {
                material.diffuseMap = objAddTexture(model, map.c_str(), seams, progress);
                material.normalMap = objAddTexture(model, normal.c_str(), seams, progress);
                material.chraberMap = objAddTexture(model, chraber.c_str(), seams, progress);
                material.specularMap = objAddTexture(model, specular.c_str(), seams, progress);
            }
            break;
        }
        default:
            break;
        }
    }
    if (!ok) {
        error.message = path + ":" + std::to_string(line.number) + ": expected a finite number, found \"" + bad + "\"\n";
        error.onStdout = false;
        return false;
    }
    return true;
}

int32_t objAddTexture(ObjModel& model, const char* name, const ObjReadSeams& seams, ObjLoadProgress* progress)
{
    std::string bare = skipBlanks(name);
    if (model.texturesIndexed != model.textures.size()) {
        model.textureIndex.clear();
        for (size_t i = 0; i < model.textures.size(); ++i)
            model.textureIndex.emplace(model.textures[i].name, static_cast<int32_t>(i));
        model.texturesIndexed = model.textures.size();
    }
    const auto known = model.textureIndex.find(bare);
    if (known != model.textureIndex.end())
        return known->second;
    if (progress && progress->callback) {
        double step = static_cast<double>(progress->to - progress->from) * model.numtextures * 30.0 / 5.0 / 100.0;
        std::string text = std::string("Loading Textures (") + name + " )...";
        progress->callback(static_cast<int>(progress->from + step), text.c_str());
    }
    std::string file = std::strstr(name, ":\\") ? std::string(name) : objPathDirectory(model.pathname.c_str()) + bare;
    cutLineEnd(file);
    ObjTexture texture;
    texture.name = bare;
    if (seams.loadTexture)
        texture.id = seams.loadTexture(file, &texture.width, &texture.height);
    model.textures.push_back(texture);
    model.numtextures = static_cast<uint32_t>(model.textures.size());
    model.textureIndex.emplace(bare, static_cast<int32_t>(model.textures.size() - 1));
    model.texturesIndexed = model.textures.size();
    return static_cast<int32_t>(model.textures.size() - 1);
}

int32_t objFindMaterial(ObjModel& model, const char* name, FILE* out)
{
    indexMaterials(model);
    const auto found = model.materialIndex.find(name);
    if (found != model.materialIndex.end())
        return found->second;
    say(out, "objFindMaterial():  can't find material \"%s\".\n", name);
    return 0;
}
