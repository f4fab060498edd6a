// The pseudo-random numbers behind the random deals (opened blocks, stripe places, tile
// shuffles, flash pauses). Each control owns one, seeded from the clock when it is made;
// tests seed it themselves to get repeatable deals.
#pragma once

#include <cstdint>
#include <random>

namespace shroud {

class DealRandom {
public:
    explicit DealRandom(uint32_t seed) : engine_(seed) {}

    // A number in 0..2^31-1, the range of the C library's rand().
    int next() { return static_cast<int>(engine_() >> 1); }

    // next() mod n for n >= 1.
    int below(int n) { return next() % n; }

    void seed(uint32_t seed) { engine_.seed(seed); }

private:
    std::mt19937 engine_;
};

} // namespace shroud
