// The tools' working directory: the data they read is opened relative to it.
#pragma once

#include <string>

// When the working directory holds no data/ folder, or is the source tree (whose data/ holds
// only the GLSL sources), and the run directory beside the running executable has data/,
// changes into that one and says so in one line on stderr, naming `tool`. Any other
// working directory with data/ is kept as it is.
void enterRunDirectoryIfNoData(const char* tool);

// Call before enterRunDirectoryIfNoData, so a path typed from the start directory still names
// the same place after the change: an input path becomes absolute when it names an existing
// file here (else it is left to be found in the run directory, a level name like
// "level1.level"), an output path always.
std::string inputPathFromHere(const std::string& path);
std::string outputPathFromHere(const std::string& path);
