#include "platform/large_heap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace {

// The smaps entry of the mapping holding `address`: its "THPeligible" value, -1 if not found.
int hugePageEligibility(const void* address)
{
    const uintptr_t a = reinterpret_cast<uintptr_t>(address);
    std::ifstream smaps("/proc/self/smaps");
    std::string line;
    bool inside = false;
    while (std::getline(smaps, line)) {
        uintptr_t low = 0, high = 0;
        char dash = 0;
        std::istringstream range(line);
        if (range >> std::hex >> low >> dash >> high && dash == '-') {
            inside = a >= low && a < high;
            continue;
        }
        if (inside && line.rfind("THPeligible:", 0) == 0)
            return std::atoi(line.c_str() + std::strlen("THPeligible:"));
    }
    return -1;
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool SYSTEM_ALLOCATOR = false;
#else
constexpr bool SYSTEM_ALLOCATOR = true;
#endif

bool hugePagesOff()
{
    std::ifstream setting("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string text;
    std::getline(setting, text);
    return text.empty() || text.find("[never]") != std::string::npos;
}

}  // namespace

// The driver's textures are single blocks of tens of megabytes: past the allocator's usual
// mapping threshold they would get small pages of their own, and a dropped reservation (an
// unused malloc the compiler removed) would leave every block on small pages.
TEST(LargeHeap, BlocksOfAnySizeComeFromTheMarkedRegion)
{
    if (!SYSTEM_ALLOCATOR)
        GTEST_SKIP() << "the sanitizer's allocator has no heap to mark";
    const size_t marked = reserveLargeHeap();
    EXPECT_GE(marked, LARGE_HEAP_BYTES - (size_t{4} << 20));
    EXPECT_EQ(reserveLargeHeap(), marked) << "a second call reserves nothing more";
    if (hugePagesOff())
        GTEST_SKIP() << "transparent huge pages are off on this system";
    for (size_t megabytes : {40, 128, 300}) {
        void* volatile block = std::malloc(megabytes << 20);
        ASSERT_NE(block, nullptr);
        // Its start may share the region's first, unaligned small pages.
        EXPECT_EQ(hugePageEligibility(static_cast<char*>(block) + (megabytes << 19)), 1) << megabytes << " MB block";
        std::free(block);
    }
}
