#pragma once

// demo-capture --game ...: the game on the virtual clock under a key script. Returns the exit
// status.
int runGameCapture(int argc, char** argv);
