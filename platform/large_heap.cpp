#include "platform/large_heap.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <malloc.h>
#include <sys/mman.h>
#include <thread>
#include <unistd.h>

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23  // Linux 5.14; older kernels refuse it and nothing is populated
#endif

static constexpr uintptr_t HUGE_PAGE_BYTES = uintptr_t{2} << 20;
static constexpr size_t POPULATE_STEP_BYTES = HUGE_PAGE_BYTES;

// Maps the pages of [first, first + bytes) from the lowest up, the order the heap hands them
// out. It writes nothing: the pages' contents, already handed out or not, stay as they are.
static void populateRegion(uintptr_t first, size_t bytes)
{
    for (size_t done = 0; done < bytes; done += POPULATE_STEP_BYTES) {
        const size_t step = std::min(POPULATE_STEP_BYTES, bytes - done);
        if (madvise(reinterpret_cast<void*>(first + done), step, MADV_POPULATE_WRITE) != 0)
            return;
    }
}

static uintptr_t markedFirst = 0;
static size_t markedBytes = 0;
static bool reserved = false;
static bool populating = false;

size_t reserveLargeHeap()
{
    if (reserved)
        return markedBytes;
    reserved = true;
    // Blocks past the mapping threshold would each get a fresh mapping of small pages, and a
    // freed top of the heap would go back to the system: keep both in the marked region.
    mallopt(M_MMAP_MAX, 0);
    mallopt(M_TRIM_THRESHOLD, INT_MAX);
    const uintptr_t before = reinterpret_cast<uintptr_t>(sbrk(0));
    // volatile: the block is never used, and a compiler may drop an unused malloc and free.
    void* volatile block = std::malloc(LARGE_HEAP_BYTES);
    const uintptr_t after = reinterpret_cast<uintptr_t>(sbrk(0));
    std::free(block);
    const uintptr_t first = (before + HUGE_PAGE_BYTES - 1) & ~(HUGE_PAGE_BYTES - 1);
    const uintptr_t end = after & ~(HUGE_PAGE_BYTES - 1);
    if (!block || end <= first)
        return 0;
    if (madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE) != 0)
        return 0;
    markedFirst = first;
    markedBytes = end - first;
    return markedBytes;
}

void populateLargeHeapAhead()
{
    if (populating || markedBytes == 0)
        return;
    populating = true;
    // Zeroing the pages is the kernel's part of a first touch: done on another core while the
    // loading goes on, the loaders find them mapped.
    // Every tool and capture process does this, and a test run starts several at once: on a
    // small machine the pages mapped ahead stay a small share of its memory.
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageBytes = sysconf(_SC_PAGE_SIZE);
    const size_t physicalBytes = pages > 0 && pageBytes > 0 ? size_t(pages) * size_t(pageBytes) : 0;
    const size_t bytes = std::min({LARGE_HEAP_POPULATE_BYTES, markedBytes, physicalBytes / 16});
    std::thread(populateRegion, markedFirst, bytes).detach();
}
