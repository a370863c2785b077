// The engine names its files Windows-style ("data\name"); this turns such a name into the
// path of this system.
#pragma once

#include <string>

std::string nativePath(const char* name);
