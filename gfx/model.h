// Loading and whole-model operations on the engine's model record (gfx/model_record.h): the
// ".3dm" readers, the frame appender, scaling, bounds and backups, and the vertex uploads.
//
// The loaders scale positions and bone positions by MODEL_LOAD_SCALE.
//
// Uploading only what changed: every routine here that writes the vertex arrays (loaders,
// scaling, tangents) raises vertexDataVersion. bindModelVertexArrays creates the model's one
// vertex array object and its buffers on first use and re-uploads an attribute only when its
// uploaded version differs, so a draw of an unchanged model sends no vertex data. Nothing here
// needs a GL context except createModelGlObjects, bindModelVertexArrays, uploadModelVertices and
// deleteModelBuffers.
#pragma once

#include "gfx/model_record.h"

#include <cstdint>
#include <string>

struct Model3dmFile;

const float MODEL_LOAD_SCALE = 0.05f;

// By file extension: "3dm" reads a .3dm model, "dae" a COLLADA one; anything else gives null.
Model* loadModel(const char* name);
// Reads the data-folder file `name`. A missing or malformed file ends the program (exit 1) with
// "can't open file NAME" or "NAME:LINE: expected ..." on stderr.
Model* load3dm(const char* name);
// Starts reading and parsing these .3dm files on worker threads, so the load3dm calls that
// follow (in any order, each on the main thread) only wait for what is not done yet. A file's
// errors are reported by its load3dm, as without the prefetch.
void prefetchModelFiles(const char* const* names, int count);
// Waits for the prefetched files no load3dm took, and frees them.
void dropPrefetchedModelFiles();
// Appends the frames of another .3dm file of the same skeleton from slot frameCount on; ends the
// program like load3dm when the file is missing, malformed or has another bone count.
void addFrames(Model& model, const char* name);
// Positions and, with a skeleton, the bone positions of every frame slot times s.
void scaleModel(Model& model, float s);
// The skeleton part of scaleModel for slots first to end - 1 only.
void scaleModelFrames(Model& model, float s, int first, int end);
// Box over all positions and the origin.
void computeModelBounds(Model& model);
void backupModelVertices(Model& model);
// Every position = its backup times (sx, sy, sz).
void scaleModelFromBackup(Model& model, float sx, float sy, float sz);
// Releases the vertex array object and all nine buffers; a later draw makes new ones.
void deleteModelBuffers(Model& model);
// The text after the last '.', or "" when there is none or it is the first character.
const char* getFileExtension(const char* name);
// malloc that ends the program with "malloc error" when it fails.
void* allocOrExit(int bytes);

// The GL-free halves of the loaders, for anything that has a parsed file in hand.
// Vertex arrays, tangents and skeleton from a file read as READ_3DM_MODEL; not scaled, no
// texture set, no output. The last frame slot is left zeroed.
void fillModelFrom3dm(Model& model, const Model3dmFile& file);
// Frames of a file read as READ_3DM_ADDED_FRAMES into slots frameCount on, scaled by
// MODEL_LOAD_SCALE. False with "fileName:line: ..." in `error` when the bone counts differ.
bool appendModelFrames(Model& model, const Model3dmFile& file, const char* fileName, std::string& error);


// Binds the model's vertex array object and sets attributes 0 to 4 (and 5, 6 when skinned and
// the model has bone arrays; otherwise they are disabled) from its buffers, uploading with
// glBufferData only the arrays whose data changed since their last upload. Each upload is the
// first 3n vertices of its array. The vertex array object and the last buffer stay bound.
void bindModelVertexArrays(Model& model, bool skinned);
// Sends every array the model holds (the bone arrays too, when it has them) to its buffers
// now, so the first draw after loading finds them up to date instead of paying the upload in a
// frame. Leaves the default vertex array object and no GL_ARRAY_BUFFER bound. Null is ignored.
void uploadModelVertices(Model* model);
