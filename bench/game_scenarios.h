#pragma once

#include "bench/bench_options.h"
#include "bench/frame_stats.h"

// demo-bench --game-scenarios [--frames N]: the game frame in six drawing situations. Returns
// the exit status.
int runGameScenarios(const BenchOptions& options, FrameCsv& csv);
