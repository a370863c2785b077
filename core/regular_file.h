// Opening the files the readers take. Only a regular file is read: a directory would read as
// empty or fail half-way, and a FIFO would block the program until something writes to it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// `path` opened for reading ("rb") when it is a regular file; otherwise null with `why` set to
// the reason ("is a directory", "is not a regular file", or the system's text such as "No such
// file or directory"). `missing` (when given) tells a file that does not exist from the rest.
FILE* openRegularFile(const char* path, std::string& why, bool* missing = nullptr);
// The whole regular file into `bytes`; false with `why` when it cannot be opened or read, or
// when it is longer than `maxBytes` (checked before anything is read).
bool readRegularFile(const char* path, std::string& bytes, std::string& why, bool* missing = nullptr,
                     uint64_t maxBytes = UINT64_MAX);
