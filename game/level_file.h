// The four level file operations, on plain names in the working directory. Readers check the
// whole file first and change nothing (one line on stderr) unless it is sound; writers write
// NAME.tmp, check every write and rename it over NAME, so a failed save keeps the old file.
#pragma once

#include "game/level_codec.h"

#include <string>

// The game's level, the editor's parked level and the palette.
constexpr const char* LEVEL_FILE_NAME = "level1.level";
constexpr const char* TEMP_LEVEL_FILE_NAME = "temp.level";
constexpr const char* PALETTE_FILE_NAME = "palette.level";

// The plain names above lie in the working directory, or below the folder given here: the
// working directory's level and palette are copied there first, so a tool's run reads the
// same files and writes only below its own folder. False (one line on stderr) when a copy fails.
bool useLevelFolder(const std::string& folder);

// Tables <-> images (level entries 1..boxCount and 1..enemyCount; palette slots).
LevelImage captureLevel();
void commitLevel(const LevelImage& level);
PaletteImage capturePalette();
void commitPalette(const PaletteImage& palette);

// Return whether the file was written / read and taken over. A file a reader refused is not
// written over until the user edits what it holds (the editor calls the two notes below); the
// first write after an edit keeps the refused original as NAME.refused, with one line.
bool writeLevel(const char* path);
bool readLevel(const char* path);
// Whether `path` is a regular file that can be opened; otherwise one line "level PATH not
// read: WHY" on stderr. Tools check a level named on their command line before the start-up.
bool levelReadable(const char* path);
bool writePalette();
bool readPalette();

// The editor changed the level tables / the palette slots.
void noteLevelEdited();
void notePaletteEdited();
