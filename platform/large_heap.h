// The start-up's large blocks (driver textures and buffers, decoded pictures, model arrays)
// come from one heap region backed by 2 MB pages. Fresh 4 KB pages cost a page fault each
// on first touch, and the driver clears every texture it creates: over hundreds of megabytes
// those faults took longer than the loading itself.
#pragma once

#include <cstddef>

// Reserved address space of the main heap (pages are only used once touched).
constexpr size_t LARGE_HEAP_BYTES = size_t{1} << 30;
// The part mapped ahead of use: about what the demo's start-up takes from the heap.
constexpr size_t LARGE_HEAP_POPULATE_BYTES = size_t{512} << 20;

// Makes the main thread's allocations of any size come from the heap, reserves
// LARGE_HEAP_BYTES of it and marks the region for 2 MB pages. Call once, first thing, on
// the thread that creates the GL context; later calls change nothing. Returns the bytes
// marked (0 where the allocator is not the system's, as under the sanitizers, or the system
// refuses).
size_t reserveLargeHeap();
// Maps the pages of the lowest LARGE_HEAP_POPULATE_BYTES of the marked region (at most a
// sixteenth of the machine's memory) ahead of use, on a thread of its own that writes nothing
// and is never waited for; once, after the window is open (while it opens, the mapping would
// hold up the driver's own mappings).
void populateLargeHeapAhead();
