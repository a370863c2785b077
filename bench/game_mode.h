#pragma once

// demo-bench --game FILE [--keys SCRIPT] [--frames N]: times the game frame on level FILE.
int runGameBench(int argc, char** argv);
