// Whole-model operations of the OBJ library and its OBJ/MTL writers; no GL.
//
// Extents are measured per axis as |max| + |min| of the vertex coordinates (not max - min),
// starting from vertex 1. A model without vertices, or with no extent, is fitted and mapped
// with scale 1. Operations that need an array (vertices, facet normals, normals) assert it.
#pragma once

#include "gfx/obj_model.h"

// Centres the model on the origin and scales its largest extent to 2; returns the scale.
float objFitToUnitCube(ObjModel& model);
void objMeasureExtent(ObjModel& model, float out[3]);
void objScaleVertices(ObjModel& model, float factor);
// Swaps corners 0 and 2 of every triangle and negates the facet and vertex normals.
void objFlipWinding(ObjModel& model);
// One facet normal per triangle (triangle i gets findex i + 1); a degenerate triangle's is zero.
void objComputeFacetNormals(ObjModel& model);
// Smoothed normals: at every vertex, the triangles whose facet normal lies within `angle`
// degrees of the first listed one share one averaged normal, the others keep their own. Every
// corner gets a normal it indexes; a vertex no triangle uses is reported on stderr.
void objVertexNormals(ObjModel& model, float angle);
// Texture coordinates from x and z over the model's largest extent; tindices = vindices.
void objPlanarTexcoords(ObjModel& model);
// Texture coordinates from the normals' directions; tindices = nindices.
void objSphereMapTexcoords(ObjModel& model);
// Merges vertices closer than epsilon in every component and renumbers the triangles.
void objWeldModel(ObjModel& model, float epsilon);

// Writes the model as OBJ text with the parts `mode` asks for (after reconciling modes the
// model cannot serve, each with a warning on stdout). The file is written beside its final
// name and renamed into place once complete. Returns 0 on success, nonzero when writing or
// closing failed (nothing is left at `path` then). A file that cannot be created ends the
// program with a message and exit code 1.
int objWriteOBJ(ObjModel& model, const char* path, unsigned mode);
// Writes the material library `name` beside `objPath`: a comment header only. An existing file
// of that name is kept as it is (with a warning on stdout), since it holds the materials.
void objWriteMTL(ObjModel& model, const char* objPath, const char* name);
