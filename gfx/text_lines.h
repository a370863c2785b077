// Line-by-line scanning shared by the engine's text model readers (.3dm and scene files): the
// blank characters, one line at a time out of a text that may hold any bytes, integers as %d
// reads them, and a wrong line quoted for a message. No locale is consulted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// How much of a wrong line a message quotes.
constexpr size_t QUOTED_LINE_CHARS = 40;

// Space, tab, CR, LF, VT and FF.
bool isTextBlank(char c);
bool isBlankLine(const std::string& line);
// The line that starts at `offset` (without its '\n'); moves `offset` past it. False at the end.
bool takeTextLine(const char* text, size_t size, size_t& offset, std::string& line);
// A decimal integer with an optional sign at line[i] that fits 32 bits; on success `i` moves
// past it. Leading blanks are not skipped.
bool scanInt32(const std::string& line, size_t& i, int32_t& value);
// The first QUOTED_LINE_CHARS characters in double quotes, other than printable ASCII as '?',
// with "..." after a longer line.
std::string quotedLine(const std::string& line);
