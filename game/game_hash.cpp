#include "game/game_hash.h"

#include "platform/crt_random.h"

namespace {

constexpr uint64_t FNV_OFFSET = 1469598103934665603ull;
constexpr uint64_t FNV_PRIME = 1099511628211ull;

struct Fnv {
    uint64_t value = FNV_OFFSET;
    void bytes(const void* data, size_t count)
    {
        const unsigned char* p = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < count; ++i) {
            value ^= p[i];
            value *= FNV_PRIME;
        }
    }
    template <typename T>
    void add(const T& item)
    {
        bytes(&item, sizeof item);
    }
};

}  // namespace

uint64_t hashGameState()
{
    Fnv h;
    h.add(crtRandStateValue());
    return h.value;
}

std::vector<GameStateValue> listGameState()
{
    return {};
}
