// COLLADA meshes as engine models: the document is read by the GL-free reader of
// gfx/collada_read.h, then turned into a Model with its texture set, tangents and GL objects.
// Positions are kept as the file gives them (no load scale, unlike the .3dm readers).
#pragma once

struct ColladaMesh;
struct Model;

// Reads the COLLADA file at `path` (a complete path, already below the data folder). Prints
// "facelist N", the count and " read N floats" of each source and "obj NAME faces N". A file
// that cannot be read or parsed as XML ends the program (exit 1) with the three-line XML report
// on stderr; one that parses but breaks the subset ends it with "PATH: expected ..." on stderr.
Model* loadCollada(const char* path);

// The GL-free half: vertex arrays (three vertices per triangle) and tangents from a mesh read
// by parseCollada, whose corner indices are all in range. No texture set, no output.
void fillModelFromCollada(Model& model, const ColladaMesh& mesh);
