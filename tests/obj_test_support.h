// Reading OBJ texts in tests: an in-memory file provider for the material libraries and a
// texture loader that only records what it was asked for.
#pragma once

#include "gfx/obj_read.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

struct ObjFixture {
    std::map<std::string, std::string> files; // by path, as the reader asks for them
    std::vector<std::string> texturePaths;    // every texture load, in order
    std::string printed;                      // what the reader printed on its output
    ObjReadError error;
    ObjCounts counted;

    ObjReadSeams seams()
    {
        ObjReadSeams seams;
        seams.readFile = [this](const std::string& path, std::string& text) {
            auto found = files.find(path);
            if (found == files.end())
                return false;
            text = found->second;
            return true;
        };
        seams.loadTexture = [this](const std::string& path, float* width, float* height) {
            texturePaths.push_back(path);
            *width = 64.0f;
            *height = 32.0f;
            return static_cast<uint32_t>(100 + texturePaths.size());
        };
        return seams;
    }

    // Reads `text` as the model at `path`; null (with `error`) when refused.
    std::unique_ptr<ObjModel> read(const std::string& text, const char* path = "models/box.obj",
                                   ObjLoadProgress* progress = nullptr)
    {
        char* buffer = nullptr;
        size_t size = 0;
        FILE* out = open_memstream(&buffer, &size);
        ObjReadSeams withOut = seams();
        withOut.out = out;
        std::unique_ptr<ObjModel> model(objReadText(path, text.data(), text.size(), withOut, progress, error, &counted));
        std::fclose(out);
        printed.assign(buffer, size);
        std::free(buffer);
        return model;
    }
};

// The triangles of a model as (v, t, n) corner triples, in triangle order.
inline std::vector<std::vector<uint32_t>> cornerTriples(const ObjModel& model)
{
    std::vector<std::vector<uint32_t>> triples;
    for (uint32_t i = 0; i < model.numtriangles; ++i) {
        const ObjTriangle& t = model.triangles[i];
        triples.push_back({t.vindices[0], t.tindices[0], t.nindices[0], t.vindices[1], t.tindices[1], t.nindices[1],
                           t.vindices[2], t.tindices[2], t.nindices[2]});
    }
    return triples;
}

// Group names in list order (the latest first).
inline std::vector<std::string> groupNames(const ObjModel& model)
{
    std::vector<std::string> names;
    for (const ObjGroup* g = model.groups; g; g = g->next)
        names.push_back(g->name);
    return names;
}
