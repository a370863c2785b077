#pragma once

#include "bench/bench_options.h"
#include "bench/frame_stats.h"

// demo-bench --game FILE [--keys SCRIPT] [--frames N]: times the game frame on level FILE.
// Returns the exit status.
int runGameBench(const BenchOptions& options, FrameCsv& csv);
