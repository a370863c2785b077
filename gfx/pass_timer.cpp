#include "gfx/pass_timer.h"

#include "platform/gl_api.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

// A frame's timestamps stay in its slot until the slot comes round again, FRAME_SLOTS frames
// later: by then the GPU has long passed them and the read-back does not wait.
static constexpr int FRAME_SLOTS = 4;
static constexpr int MAX_PASSES_PER_FRAME = 64;
static constexpr int MAX_PASS_DEPTH = 16;

namespace {

struct FrameSlot {
    GLuint queries[2 * MAX_PASSES_PER_FRAME] = {};   // begin, end per pass
    const char* names[MAX_PASSES_PER_FRAME] = {};
    int count = 0;
    bool pending = false;   // written and not read back yet
};

struct PassSamples {
    const char* name;
    std::vector<double> ms;   // one per frame the pass ran in
};

bool enabled = false;
FrameSlot slots[FRAME_SLOTS];
int current = 0;
int openPasses[MAX_PASS_DEPTH];
int depth = 0;
int overflowDepth = 0;   // begins that found no room, so their ends are ignored too
std::vector<PassSamples> samples;

PassSamples& samplesOf(const char* name)
{
    for (PassSamples& s : samples)
        if (s.name == name || std::strcmp(s.name, name) == 0)
            return s;
    samples.push_back({name, {}});
    samples.back().ms.reserve(1024);
    return samples.back();
}

void readBack(FrameSlot& slot)
{
    if (!slot.pending)
        return;
    slot.pending = false;
    // The frame's sums by name, in the order the passes began.
    const char* names[MAX_PASSES_PER_FRAME];
    double sums[MAX_PASSES_PER_FRAME];
    int distinct = 0;
    for (int p = 0; p < slot.count; ++p) {
        GLuint64 begin = 0, end = 0;
        glGetQueryObjectui64v(slot.queries[2 * p], GL_QUERY_RESULT, &begin);
        glGetQueryObjectui64v(slot.queries[2 * p + 1], GL_QUERY_RESULT, &end);
        const double ms = end > begin ? static_cast<double>(end - begin) / 1e6 : 0.0;
        int d = 0;
        while (d < distinct && std::strcmp(names[d], slot.names[p]) != 0)
            ++d;
        if (d == distinct) {
            names[distinct] = slot.names[p];
            sums[distinct++] = 0.0;
        }
        sums[d] += ms;
    }
    for (int d = 0; d < distinct; ++d)
        samplesOf(names[d]).ms.push_back(sums[d]);
    slot.count = 0;
}

}  // namespace

void enablePassTimer()
{
    if (enabled)
        return;
    for (FrameSlot& slot : slots) {
        glGenQueries(2 * MAX_PASSES_PER_FRAME, slot.queries);
        slot.count = 0;
        slot.pending = false;
    }
    current = 0;
    depth = 0;
    overflowDepth = 0;
    samples.clear();
    enabled = true;
}

void disablePassTimer()
{
    if (!enabled)
        return;
    for (FrameSlot& slot : slots)
        glDeleteQueries(2 * MAX_PASSES_PER_FRAME, slot.queries);
    enabled = false;
}

bool passTimerEnabled()
{
    return enabled;
}

void beginPass(const char* name)
{
    if (!enabled)
        return;
    FrameSlot& slot = slots[current];
    if (overflowDepth > 0 || slot.count == MAX_PASSES_PER_FRAME || depth == MAX_PASS_DEPTH) {
        ++overflowDepth;
        return;
    }
    const int p = slot.count++;
    slot.names[p] = name;
    glQueryCounter(slot.queries[2 * p], GL_TIMESTAMP);
    openPasses[depth++] = p;
}

void endPass()
{
    if (!enabled)
        return;
    if (overflowDepth > 0) {
        --overflowDepth;
        return;
    }
    if (depth == 0)
        return;
    const int p = openPasses[--depth];
    glQueryCounter(slots[current].queries[2 * p + 1], GL_TIMESTAMP);
}

void passTimerFrameDone()
{
    if (!enabled)
        return;
    // A pass left open at the frame's end closes here.
    while (depth > 0)
        endPass();
    overflowDepth = 0;
    slots[current].pending = slots[current].count > 0;
    current = (current + 1) % FRAME_SLOTS;
    readBack(slots[current]);
}

std::vector<PassTime> takePassTimes()
{
    std::vector<PassTime> out;
    if (!enabled)
        return out;
    for (int k = 1; k <= FRAME_SLOTS; ++k)
        readBack(slots[(current + k) % FRAME_SLOTS]);
    for (PassSamples& s : samples) {
        if (s.ms.empty())
            continue;
        std::vector<double> sorted = s.ms;
        std::sort(sorted.begin(), sorted.end());
        out.push_back({s.name, static_cast<int>(sorted.size()), sorted[sorted.size() / 2], sorted.back()});
    }
    samples.clear();
    return out;
}

void printPassTimes(std::FILE* out, const char* prefix, const std::vector<PassTime>& times)
{
    for (const PassTime& t : times)
        std::fprintf(out, "%s pass %s frames %d gpu_median_ms %.3f gpu_max_ms %.3f\n", prefix, t.name.c_str(), t.frames,
                    t.medianMs, t.maxMs);
}
