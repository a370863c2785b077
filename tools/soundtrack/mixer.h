// Mixes a score of note events into the finished stereo master: per-instrument levels, kick
// side-chain ducking, a tempo-synced ping-pong delay, a reverb, the end fade and a soft limiter.
#pragma once

#include "synth.h"

#include <functional>
#include <vector>

struct Score {
    std::vector<NoteEvent> notes;
    double lengthSec;
    double fadeStartSec;  // the master fades to silence between these two times
    double fadeEndSec;
    double delaySec;      // echo time of the ping-pong delay
};

struct MixStats {
    float peakBeforeLimiter;
    double limitedFraction;  // share of samples that went into the limiter's knee
};

// Receives the master in order, a block of left and right samples at a time; false stops.
using BlockSink = std::function<bool(const float* left, const float* right, size_t count)>;

// Renders on up to threadCount threads; the output is identical for every thread count.
// Returns false when the sink failed.
bool mixScore(const Score& score, int threadCount, const BlockSink& sink, MixStats& stats);
