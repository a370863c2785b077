// The effects' models, written into the data folder; false with `error` set on failure.
#pragma once

#include <string>

bool writeParticleModel(const std::string& dataDir, std::string& error);
bool writeStarCollada(const std::string& dataDir, std::string& error);
