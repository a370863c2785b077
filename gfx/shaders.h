// GLSL programs built from vertex and fragment source files of the data folder.
#pragma once

void loadDefaultShaderProgram();
