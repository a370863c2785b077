#include "scenes/text.h"

// Placeholder until the font lands.
void initFont() {}
