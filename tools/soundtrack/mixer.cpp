// Streams the song block by block: notes are rendered whole when the block of their start is
// reached and added into ring buffers that reach one longest note ahead; a block is finished
// (delay, reverb, master) once every note that can sound in it has been added. Only the rings
// stay in memory, never the whole song (on this kind of machine first touching a song's worth
// of buffers costs more than rendering it). Within a block the notes render on several threads
// but are always summed in the same order, so the output is identical for any thread count.
#include "mixer.h"

#include <algorithm>
#include <cmath>
#include <thread>

namespace {

constexpr int MAX_THREADS = 16;
constexpr int MAX_SHARED_HITS = 96;
constexpr size_t BLOCK_SAMPLES = 65536;
constexpr int REVERB_COMBS = 8;
constexpr int REVERB_ALLPASSES = 4;
constexpr int REVERB_STEREO_OFFSET = 23;
constexpr float DUCK_ATTACK_SEC = 0.006f;
constexpr float DUCK_RELEASE_SEC = 0.17f;
constexpr float DUCK_LENGTH_SEC = 0.9f;
constexpr size_t DUCK_STEP = 32;  // the side-chain envelope is smooth: keep it at control rate
constexpr float LIMITER_KNEE = 0.72f;
constexpr float LIMITER_CEILING = 0.94f;
constexpr float MASTER_GAIN = 0.7f;
constexpr double PI = 3.14159265358979323846;

struct MixSettings {
    float gain;
    float duck;        // how deep the kick side-chain pulls the instrument down (0..1)
    float delaySend;
    float reverbSend;
};

MixSettings mixSettings(Instrument instrument)
{
    switch (instrument) {
    case Instrument::Kick:
        return {1.0f, 0.0f, 0.0f, 0.0f};
    case Instrument::Snare:
        return {0.8f, 0.0f, 0.0f, 0.22f};
    case Instrument::Clap:
        return {0.8f, 0.0f, 0.05f, 0.3f};
    case Instrument::ClosedHat:
        return {1.6f, 0.0f, 0.0f, 0.04f};
    case Instrument::OpenHat:
        return {0.7f, 0.0f, 0.0f, 0.08f};
    case Instrument::Crash:
        return {0.35f, 0.0f, 0.0f, 0.12f};
    case Instrument::Tom:
        return {0.3f, 0.0f, 0.08f, 0.22f};
    case Instrument::Riser:
        return {0.35f, 0.3f, 0.1f, 0.3f};
    case Instrument::Bass:
        return {0.95f, 0.55f, 0.0f, 0.0f};
    case Instrument::Pad:
        return {1.5f, 0.6f, 0.0f, 0.35f};
    case Instrument::Pluck:
        return {2.8f, 0.45f, 0.35f, 0.22f};
    case Instrument::Stab:
        return {1.6f, 0.45f, 0.15f, 0.22f};
    case Instrument::Lead:
        return {3.2f, 0.25f, 0.28f, 0.28f};
    case Instrument::Bell:
        return {1.1f, 0.2f, 0.35f, 0.4f};
    }
    return {0.0f, 0.0f, 0.0f, 0.0f};
}

size_t toSample(double sec)
{
    return sec <= 0.0 ? 0 : static_cast<size_t>(sec * SAMPLE_RATE_HZ + 0.5);
}

// Runs work(t) for t = 0 .. threads-1, t = 0 on the calling thread.
template <typename Work>
void runParallel(int threads, const Work& work)
{
    std::thread workers[MAX_THREADS];
    for (int t = 1; t < threads; ++t)
        workers[t] = std::thread(work, t);
    work(0);
    for (int t = 1; t < threads; ++t)
        workers[t].join();
}

// Kick envelope 0..1 at control rate (the loudest recent kick wins), the key of the side-chain.
struct Sidechain {
    std::vector<float> control;
};

Sidechain buildSidechain(const Score& score, size_t total)
{
    Sidechain chain;
    chain.control.assign(total / DUCK_STEP + 2, 0.0f);
    size_t length = toSample(DUCK_LENGTH_SEC);
    for (const NoteEvent& note : score.notes) {
        if (note.instrument != Instrument::Kick)
            continue;
        size_t start = toSample(note.startSec);
        float level = std::min(1.0f, note.velocity);
        for (size_t c = (start + DUCK_STEP - 1) / DUCK_STEP; c < chain.control.size(); ++c) {
            double t = static_cast<double>(c * DUCK_STEP - start) / SAMPLE_RATE_HZ;
            if (c * DUCK_STEP - start >= length)
                break;
            float v = t < DUCK_ATTACK_SEC ? level * static_cast<float>(t / DUCK_ATTACK_SEC)
                                          : level * static_cast<float>(std::exp(-(t - DUCK_ATTACK_SEC) / DUCK_RELEASE_SEC));
            chain.control[c] = std::max(chain.control[c], v);
        }
    }
    return chain;
}

inline float sidechainAt(const Sidechain& chain, size_t s)
{
    size_t c = s / DUCK_STEP;
    float f = static_cast<float>(s % DUCK_STEP) / DUCK_STEP;
    return chain.control[c] + (chain.control[c + 1] - chain.control[c]) * f;
}

// Drum hits rendered once at velocity 1 per distinct sound, before the notes are mixed.
struct SharedHits {
    NoteEvent keys[MAX_SHARED_HITS];
    StereoBuffer sounds[MAX_SHARED_HITS];
    int count = 0;
};

bool sameSound(const NoteEvent& a, const NoteEvent& b)
{
    return a.instrument == b.instrument && a.lengthSec == b.lengthSec && a.pitch == b.pitch && a.pan == b.pan &&
           a.brightness == b.brightness && a.brightnessEnd == b.brightnessEnd;
}

// Index of each note's shared hit, -1 for notes rendered on their own (and for hits past the
// table's capacity).
std::vector<int> collectSharedHits(const Score& score, int threads, SharedHits& hits)
{
    std::vector<int> hitOf(score.notes.size(), -1);
    for (size_t n = 0; n < score.notes.size(); ++n) {
        if (!isSharedHit(score.notes[n].instrument))
            continue;
        NoteEvent unit = score.notes[n];
        unit.startSec = 0.0;
        unit.velocity = 1.0f;
        int found = -1;
        for (int i = 0; i < hits.count && found < 0; ++i)
            if (sameSound(hits.keys[i], unit))
                found = i;
        if (found < 0 && hits.count < MAX_SHARED_HITS) {
            found = hits.count++;
            hits.keys[found] = unit;
        }
        hitOf[n] = found;
    }
    runParallel(threads, [&](int t) {
        for (int i = t; i < hits.count; i += threads)
            renderNote(hits.keys[i], sharedHitSeed(hits.keys[i].instrument), hits.sounds[i]);
    });
    return hitOf;
}

// One-pole filters for the effect paths.
struct OnePole {
    float state = 0.0f;
    float coef = 0.0f;
};

OnePole makeOnePole(float cutoffHz)
{
    OnePole f;
    f.coef = static_cast<float>(1.0 - std::exp(-2.0 * PI * cutoffHz / SAMPLE_RATE_HZ));
    return f;
}

inline float lowPass(OnePole& f, float x)
{
    f.state += f.coef * (x - f.state);
    return f.state;
}

inline float highPass(OnePole& f, float x)
{
    return x - lowPass(f, x);
}

// Ping-pong echo: the left echo feeds the right line and back, darker on every pass.
struct PingPongDelay {
    std::vector<float> lineLeft;
    std::vector<float> lineRight;
    size_t pos = 0;
    OnePole dampLeft = makeOnePole(3800.0f);
    OnePole dampRight = makeOnePole(3800.0f);
    OnePole lowCutMid = makeOnePole(250.0f);
    OnePole lowCutSide = makeOnePole(250.0f);
};

constexpr float DELAY_FEEDBACK = 0.42f;

PingPongDelay makeDelay(double delaySec)
{
    PingPongDelay d;
    size_t lag = std::max<size_t>(1, toSample(delaySec));
    d.lineLeft.assign(lag, 0.0f);
    d.lineRight.assign(lag, 0.0f);
    return d;
}

void runDelay(PingPongDelay& d, const float* inLeft, const float* inRight, float* outLeft, float* outRight,
              size_t count)
{
    size_t lag = d.lineLeft.size();
    for (size_t s = 0; s < count; ++s) {
        float echoLeft = d.lineLeft[d.pos];
        float echoRight = d.lineRight[d.pos];
        float mid = highPass(d.lowCutMid, 0.5f * (inLeft[s] + inRight[s]));
        float side = highPass(d.lowCutSide, 0.5f * (inLeft[s] - inRight[s]));
        d.lineLeft[d.pos] = mid + side + DELAY_FEEDBACK * lowPass(d.dampRight, echoRight);
        d.lineRight[d.pos] = DELAY_FEEDBACK * lowPass(d.dampLeft, echoLeft);
        outLeft[s] = echoLeft;
        outRight[s] = echoRight;
        if (++d.pos == lag)
            d.pos = 0;
    }
}

struct Comb {
    std::vector<float> line;
    size_t pos = 0;
    float damp = 0.0f;
};

struct Allpass {
    std::vector<float> line;
    size_t pos = 0;
};

// One channel of the reverb: parallel damped combs into series all-passes. The right channel's
// lines are a little longer (channel 1) so the two sides decorrelate into a wide tail.
struct ReverbChannel {
    Comb combs[REVERB_COMBS];
    Allpass allpasses[REVERB_ALLPASSES];
    std::vector<float> pre;
    size_t prePos = 0;
    OnePole lowCut = makeOnePole(220.0f);
};

constexpr float REVERB_FEEDBACK = 0.85f;
constexpr float REVERB_DAMPING = 0.3f;
constexpr float REVERB_INPUT_GAIN = 0.05f;
constexpr float REVERB_ALLPASS_FEEDBACK = 0.5f;
constexpr size_t REVERB_PRE_DELAY = 900;

ReverbChannel makeReverbChannel(int channel)
{
    static constexpr int COMB_LENGTHS[REVERB_COMBS] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
    static constexpr int ALLPASS_LENGTHS[REVERB_ALLPASSES] = {556, 441, 341, 225};
    ReverbChannel r;
    for (int k = 0; k < REVERB_COMBS; ++k)
        r.combs[k].line.assign(COMB_LENGTHS[k] + channel * REVERB_STEREO_OFFSET, 0.0f);
    for (int k = 0; k < REVERB_ALLPASSES; ++k)
        r.allpasses[k].line.assign(ALLPASS_LENGTHS[k] + channel * REVERB_STEREO_OFFSET, 0.0f);
    r.pre.assign(REVERB_PRE_DELAY, 0.0f);
    return r;
}

void runReverb(ReverbChannel& r, const float* in, float* out, size_t count)
{
    for (size_t s = 0; s < count; ++s) {
        float x = r.pre[r.prePos];
        r.pre[r.prePos] = highPass(r.lowCut, in[s]) * REVERB_INPUT_GAIN;
        if (++r.prePos == REVERB_PRE_DELAY)
            r.prePos = 0;
        float acc = 0.0f;
        for (Comb& comb : r.combs) {
            float y = comb.line[comb.pos];
            comb.damp = y * (1.0f - REVERB_DAMPING) + comb.damp * REVERB_DAMPING;
            comb.line[comb.pos] = x + comb.damp * REVERB_FEEDBACK;
            if (++comb.pos == comb.line.size())
                comb.pos = 0;
            acc += y;
        }
        for (Allpass& ap : r.allpasses) {
            float delayed = ap.line[ap.pos];
            float y = delayed - acc;
            ap.line[ap.pos] = acc + delayed * REVERB_ALLPASS_FEEDBACK;
            if (++ap.pos == ap.line.size())
                ap.pos = 0;
            acc = y;
        }
        out[s] = acc;
    }
}

inline float limit(float x, long& limitedCount)
{
    float a = std::fabs(x);
    if (a <= LIMITER_KNEE)
        return x;
    ++limitedCount;
    float range = LIMITER_CEILING - LIMITER_KNEE;
    float y = LIMITER_KNEE + range * static_cast<float>(std::tanh((a - LIMITER_KNEE) / range));
    return x < 0.0f ? -y : y;
}

// Sums that are still open: sample s lives at s % length, a whole number of blocks.
struct Ring {
    size_t length = 0;
    StereoBuffer dry;
    StereoBuffer delaySend;
    std::vector<float> reverbSend;  // mono: the reverb spreads it itself
};

struct MasterStage {
    OnePole dcLeft = makeOnePole(12.0f);
    OnePole dcRight = makeOnePole(12.0f);
    size_t fadeStart = 0;
    size_t fadeEnd = 1;
    long limited = 0;
    float peak = 0.0f;
};

float fadeAt(const MasterStage& m, size_t s)
{
    if (s >= m.fadeEnd)
        return 0.0f;
    if (s <= m.fadeStart)
        return 1.0f;
    double x = static_cast<double>(s - m.fadeStart) / static_cast<double>(m.fadeEnd - m.fadeStart);
    return static_cast<float>(0.5 + 0.5 * std::cos(PI * x));
}

struct PlacedNote {
    size_t index;
    size_t start;
    size_t end;  // exclusive, clipped to the song
};

// Adds the notes' samples that fall in [from, to) of the song into the ring, in list order.
void accumulate(const Score& score, const std::vector<PlacedNote>& notes, const std::vector<const StereoBuffer*>& voices,
                const std::vector<float>& velocityGain, const Sidechain& chain, size_t from, size_t to, Ring& ring)
{
    for (size_t j = 0; j < notes.size(); ++j) {
        const PlacedNote& p = notes[j];
        size_t a = std::max(p.start, from);
        size_t b = std::min(p.end, to);
        if (a >= b)
            continue;
        const StereoBuffer& voice = *voices[j];
        MixSettings mix = mixSettings(score.notes[p.index].instrument);
        float gain = mix.gain * velocityGain[j];
        for (size_t s = a; s < b; ++s) {
            size_t i = s - p.start;
            size_t r = s % ring.length;
            float g = mix.duck > 0.0f ? gain * (1.0f - mix.duck * sidechainAt(chain, s)) : gain;
            float l = voice.left[i] * g;
            float rr = voice.right[i] * g;
            ring.dry.left[r] += l;
            ring.dry.right[r] += rr;
            if (mix.delaySend > 0.0f) {
                ring.delaySend.left[r] += l * mix.delaySend;
                ring.delaySend.right[r] += rr * mix.delaySend;
            }
            if (mix.reverbSend > 0.0f)
                ring.reverbSend[r] += (l + rr) * 0.5f * mix.reverbSend;
        }
    }
}

}  // namespace

bool mixScore(const Score& score, int threadCount, const BlockSink& sink, MixStats& stats)
{
    int threads = std::clamp(threadCount, 1, MAX_THREADS);
    size_t total = toSample(score.lengthSec);
    Sidechain chain = buildSidechain(score, total);
    SharedHits hits;
    std::vector<int> hitOf = collectSharedHits(score, threads, hits);

    // Notes by start time (score order among equal starts), with their extent in the song.
    std::vector<PlacedNote> placed;
    size_t longest = 0;
    for (size_t n = 0; n < score.notes.size(); ++n) {
        size_t start = toSample(score.notes[n].startSec);
        if (start >= total)
            continue;
        size_t tail = noteTailSamples(score.notes[n]);
        longest = std::max(longest, tail);
        placed.push_back({n, start, std::min(total, start + tail)});
    }
    std::stable_sort(placed.begin(), placed.end(),
                     [](const PlacedNote& a, const PlacedNote& b) { return a.start < b.start; });

    Ring ring;
    ring.length = (longest / BLOCK_SAMPLES + 2) * BLOCK_SAMPLES;
    ring.dry.left.assign(ring.length, 0.0f);
    ring.dry.right.assign(ring.length, 0.0f);
    ring.delaySend.left.assign(ring.length, 0.0f);
    ring.delaySend.right.assign(ring.length, 0.0f);
    ring.reverbSend.assign(ring.length, 0.0f);

    PingPongDelay delay = makeDelay(score.delaySec);
    ReverbChannel reverbLeft = makeReverbChannel(0);
    ReverbChannel reverbRight = makeReverbChannel(1);
    StereoBuffer echo;
    StereoBuffer room;
    StereoBuffer out;
    for (StereoBuffer* b : {&echo, &room, &out}) {
        b->left.assign(BLOCK_SAMPLES, 0.0f);
        b->right.assign(BLOCK_SAMPLES, 0.0f);
    }
    MasterStage master;
    master.fadeStart = toSample(score.fadeStartSec);
    master.fadeEnd = std::max(master.fadeStart + 1, toSample(score.fadeEndSec));

    std::vector<StereoBuffer> rendered;  // one slot per note of the block, reused block to block
    std::vector<PlacedNote> blockNotes;
    std::vector<const StereoBuffer*> voices;
    std::vector<float> velocityGain;
    size_t next = 0;
    for (size_t b0 = 0; b0 < total; b0 += BLOCK_SAMPLES) {
        size_t b1 = std::min(total, b0 + BLOCK_SAMPLES);
        size_t count = b1 - b0;

        // 1. Render the notes that start in this block.
        blockNotes.clear();
        while (next < placed.size() && placed[next].start < b1)
            blockNotes.push_back(placed[next++]);
        if (rendered.size() < blockNotes.size())
            rendered.resize(blockNotes.size());
        voices.assign(blockNotes.size(), nullptr);
        velocityGain.assign(blockNotes.size(), 1.0f);
        for (size_t j = 0; j < blockNotes.size(); ++j) {
            int hit = hitOf[blockNotes[j].index];
            if (hit >= 0) {
                voices[j] = &hits.sounds[hit];
                velocityGain[j] = score.notes[blockNotes[j].index].velocity;
            } else {
                voices[j] = &rendered[j];
            }
        }
        runParallel(threads, [&](int t) {
            for (size_t j = t; j < blockNotes.size(); j += threads)
                if (hitOf[blockNotes[j].index] < 0)
                    renderNote(score.notes[blockNotes[j].index], static_cast<uint32_t>(blockNotes[j].index) + 1u,
                               rendered[j]);
        });

        // 2. Add them into the ring, each thread over its own stretch of samples.
        size_t reach = b0;
        for (const PlacedNote& p : blockNotes)
            reach = std::max(reach, p.end);
        size_t stretch = (reach - b0 + threads - 1) / threads;
        runParallel(threads, [&](int t) {
            size_t from = b0 + t * stretch;
            accumulate(score, blockNotes, voices, velocityGain, chain, from, std::min(reach, from + stretch), ring);
        });

        // 3. Effects and master for this block; every note that sounds here is in the ring.
        size_t r0 = b0 % ring.length;
        auto runEcho = [&]() {
            runDelay(delay, &ring.delaySend.left[r0], &ring.delaySend.right[r0], echo.left.data(), echo.right.data(),
                     count);
        };
        auto runRoomLeft = [&]() { runReverb(reverbLeft, &ring.reverbSend[r0], room.left.data(), count); };
        if (threads >= 3) {
            std::thread echoWorker(runEcho);
            std::thread roomWorker(runRoomLeft);
            runReverb(reverbRight, &ring.reverbSend[r0], room.right.data(), count);
            echoWorker.join();
            roomWorker.join();
        } else {
            runEcho();
            runRoomLeft();
            runReverb(reverbRight, &ring.reverbSend[r0], room.right.data(), count);
        }
        for (size_t i = 0; i < count; ++i) {
            size_t r = r0 + i;
            float fade = fadeAt(master, b0 + i) * MASTER_GAIN;
            float l = highPass(master.dcLeft, ring.dry.left[r] + echo.left[i] + room.left[i]) * fade;
            float rr = highPass(master.dcRight, ring.dry.right[r] + echo.right[i] + room.right[i]) * fade;
            master.peak = std::max(master.peak, std::max(std::fabs(l), std::fabs(rr)));
            out.left[i] = limit(l, master.limited);
            out.right[i] = limit(rr, master.limited);
        }
        for (std::vector<float>* v : {&ring.dry.left, &ring.dry.right, &ring.delaySend.left, &ring.delaySend.right,
                                      &ring.reverbSend})
            std::fill(v->begin() + r0, v->begin() + r0 + count, 0.0f);
        if (!sink(out.left.data(), out.right.data(), count))
            return false;
    }
    stats.peakBeforeLimiter = master.peak;
    stats.limitedFraction = total == 0 ? 0.0 : static_cast<double>(master.limited) / (2.0 * total);
    return true;
}
