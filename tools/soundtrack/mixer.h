// Mixes a score of note events into the finished stereo master: per-instrument levels, kick
// side-chain ducking, a tempo-synced ping-pong delay, a reverb, the end fade and a soft limiter.
#pragma once

#include "synth.h"

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

// Renders on up to threadCount threads; the result is identical for every thread count.
StereoBuffer mixScore(const Score& score, int threadCount, MixStats& stats);
