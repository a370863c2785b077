// The tools' working directory: the data they read is opened relative to it.
#pragma once

// When the working directory holds no data/ folder, or is the source tree (whose data/ holds
// only the GLSL sources), and the run directory beside the running executable has data/,
// changes into that one and says so in one line on standard output, naming `tool`. Any other
// working directory with data/ is kept as it is.
void enterRunDirectoryIfNoData(const char* tool);
