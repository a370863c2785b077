// The GL side of the OBJ library: immediate-mode draws with the default lit program and the
// material's four textures, an additive and a wireframe variant, display lists, the texture
// loader the MTL reader uses, and a small table of model slots.
//
// Draws skip a triangle whose vertex index is 0 or outside the vertex array, and a normal,
// texture coordinate or tangent whose index is; "vTangent" goes to GL only when the program
// has it. The light switches uploaded with every textured group are 14-float arrays that the
// lighting code points objLightSwitches at (zeros, all lights off, until it does).
#pragma once

#include "gfx/obj_model.h"

#include <cstdint>

constexpr int OBJ_LIGHT_COUNT = 14;
// Slots in the model-slot table, and display lists (one per group) a slot keeps.
constexpr int OBJ_SLOT_CAPACITY = 32;
constexpr int OBJ_SLOT_LISTS = 100;
// OBJ_SMOOTH + OBJ_TEXTURE + OBJ_MATERIAL: the fixed mode of the slot routines.
constexpr unsigned OBJ_SLOT_MODE = 22;
// Angles in sixteenths of a degree: one turn.
constexpr int SIXTEENTHS_PER_TURN = 5760;

struct ObjLightSwitches {
    const float* enabled = nullptr;   // "lightsEnabled"
    const float* invRadius = nullptr; // "lightsinvRadius"
    const float* mapSelect = nullptr; // "lightMapSelect"
};
extern ObjLightSwitches objLightSwitches;

// Every group, or only the one named `group` when it is not null.
void objDrawShaded(ObjModel& model, unsigned mode, const char* group);
void objDrawAll(ObjModel& model, unsigned mode);
// Fixed function, diffuse map only, blended (one, one); blending stays on afterwards.
void objDrawAdditive(ObjModel& model, unsigned mode);
// Black lines 9 pixels wide, no depth writes; `mode` is not used.
void objDrawWireframe(ObjModel& model, unsigned mode, const char* group);
uint32_t objCompileList(ObjModel& model, unsigned mode);

// Reads the data-folder TGA `name` (leading blanks skipped) into a new texture; a missing
// picture is replaced by "specular.tga" for a "_spe..." name, else by "chraber.tga". When that
// fails too a message box says so and the result is texture 0 (nothing uploaded, sizes 0).
uint32_t objLoadTexture(const char* name, bool ignored, bool repeat, bool linear, bool mipmap, float* width,
                        float* height);
// Text after the last '_', or "" when there is none or it is the first character.
const char* objUnderscoreSuffix(const char* name);
// Releases the model with its GL textures.
void objFreeModel(ObjModel* model);

extern ObjModel* objSlots[OBJ_SLOT_CAPACITY];
extern const char* lastObjSlotPath; // the pointer of the last slot load, not a copy
extern uint32_t objSlotLists[OBJ_SLOT_CAPACITY][OBJ_SLOT_LISTS];
extern int objSlotListCounts[OBJ_SLOT_CAPACITY];

// Slot routines refuse slot numbers outside 0 .. OBJ_SLOT_CAPACITY - 1 with a line on stderr.
// Reads, fits into the unit box, scales by 5 and computes facet normals, unless `path` is the
// same pointer as the last load's (then only the hook runs).
void loadObjSlot(const char* path, int slot);
// Style 0 shaded, 1 additive, others nothing; an empty slot draws nothing.
void drawObjSlot(int slot, int style);
void compileObjSlotLists(int slot, ObjModel& model);
void drawObjSlotLists(int slot, ObjModel& model);
void objSlotHook();

void resetProjectionMatrix();
// Into 0 .. SIXTEENTHS_PER_TURN (a full turn itself stays).
void wrapAngleSixteenths(int& angle);
