// Checks shared by the fuzz targets, which are always built with AddressSanitizer.
#pragma once

#include <sanitizer/asan_interface.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// Aborts unless all `bytes` from `data` lie inside live allocations: a buffer shorter than
// the picture it should hold ends in a poisoned red zone. One shadow scan instead of a read
// of every byte.
inline void requireAddressable(const uint8_t* data, size_t bytes)
{
    if (bytes && __asan_region_is_poisoned(const_cast<uint8_t*>(data), bytes))
        std::abort();
}
