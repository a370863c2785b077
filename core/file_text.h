// Whole-file reads for the text readers: a malloc'd NUL-terminated buffer for the C-string users
// (shader sources), a std::string for the parsers.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

// Everything in `file` from its start in a malloc'd buffer with a NUL after the last byte (the
// caller frees it); `length` gets the bytes read, so a file that shrank under us is kept as far
// as it was read. Null when the file cannot be sized or the buffer not had.
char* readOpenFileText(FILE* file, size_t& length);
// The whole data-folder file `name` in such a buffer; null when it cannot be opened or read.
char* readTextFile(const char* name);
// The whole file at `path` into `text`; false when it cannot be opened or a read fails.
bool readWholeFile(const char* path, std::string& text);
