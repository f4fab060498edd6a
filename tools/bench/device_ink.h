// Ink as a device delivers it, for measuring how the recognizers stand up to it: the
// imitated writing written at another size, sampled more sparsely or densely than the
// imitation's pen or mouse, and with independent noise on each point (a touch panel, a
// finger or a cheap tablet). Everything is drawn from a random source of its own, so that
// with no option given the writing is left exactly as imitated.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tessera/records.h"
#include "tools/cli_args.h"

namespace bench {

struct DeviceInk {
    enum class Sampling { kAsWritten, kSparse, kDense };
    double jitter = 0; // each point moved by up to this share of the character size, each axis
    Sampling sampling = Sampling::kAsWritten; // sparse: every 4th point; dense: 4x the points
    int size = 0; // written size in pixels (the larger side of a character); 0 keeps it

    bool Any() const { return jitter > 0 || sampling != Sampling::kAsWritten || size > 0; }
    // A short description of the options in force, e.g. "jitter 0.03, sparse".
    std::string Describe() const;
};

// The usage lines of the three options.
extern const char kDeviceInkUsage[];

// Reads the current option of args when it is one of --jitter, --sampling and --size:
// true when it was (ok tells whether its value was good), false for another option.
bool ReadDeviceInkOption(cli::Args& args, DeviceInk& d, bool& ok);

// One character's points as the device delivers them (seed fixes the noise).
std::vector<POINT_W> DeviceCharacter(const std::vector<POINT_W>& pts, const DeviceInk& d,
                                     uint64_t seed);

// A line's strokes as the device delivers them: scaled as a whole so that its median
// character has the written size, each character's points jittered by its own size.
// char_end holds each character's last stroke + 1.
void DeviceLine(std::vector<std::vector<tagPOINT>>& strokes, const std::vector<int>& char_end,
                const DeviceInk& d, uint64_t seed);

} // namespace bench
