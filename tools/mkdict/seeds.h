// Seed ranges of the generated writings. The dictionary compiler trains on one range,
// the bench tunes on another and measures on a third, so that no measurement sees a
// writing the dictionaries were made from.
#pragma once

#include <cstdint>

namespace mkdict {

constexpr uint64_t kTrainingSeedBase = uint64_t{1} << 40;
constexpr uint64_t kTuningSeedBase = uint64_t{2} << 40;
constexpr uint64_t kHeldOutSeedBase = uint64_t{3} << 40;

} // namespace mkdict
