// The tools' working directory: the data they read is opened relative to it.
#pragma once

#include <initializer_list>
#include <string>

// When the working directory holds no data/ folder, or is the source tree (whose data/ holds
// only the GLSL sources), and the run directory beside the running executable has data/,
// changes into that one and says so in one line on stderr, naming `tool`. Any other
// working directory with data/ is kept as it is.
void enterRunDirectoryIfNoData(const char* tool);

// Call before enterRunDirectoryIfNoData: rewrites in argv the value after each option in
// `inputOptions` that names an existing file where the tool was started, and the value after
// each option in `outputOptions` whatever it names, as an absolute path, so a path typed from
// the start directory still names the same place after the change. An input value that names
// nothing here is left to be found in the run directory (a level name like "level1.level").
void anchorPathOptions(int argc, char** argv, std::initializer_list<const char*> inputOptions,
                       std::initializer_list<const char*> outputOptions);

// The same for one value: an input path as an absolute path when it names an existing file
// here (else unchanged), an output path always.
std::string inputPathFromHere(const std::string& path);
std::string outputPathFromHere(const std::string& path);
