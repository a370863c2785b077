#include "render/legacy_programs.h"

// Placeholder until the model programs land.
void initLegacyShaders() {}
