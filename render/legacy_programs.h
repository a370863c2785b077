// The legacy vertex-buffer and volumetric model programs.
#pragma once

void initLegacyShaders();
