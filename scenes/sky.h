// The sky and cloud programs.
#pragma once

void initSkyShaders();
