#pragma once

#include <string>

// Writes the window's back buffer (the frame just drawn, before its swap) as an opaque PNG.
bool writeWindowPng(const std::string& path);
