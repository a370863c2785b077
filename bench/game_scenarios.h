#pragma once

// demo-bench --game-scenarios [--frames N]: the game frame in five drawing situations.
int runGameScenarios(int argc, char** argv);
