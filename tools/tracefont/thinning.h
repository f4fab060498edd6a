// Thinning of a binary picture to a one-pixel-wide, 8-connected skeleton (Zhang and
// Suen's two-subiteration scheme, with a final pass that removes the corner pixels it
// leaves on diagonal staircases).
#pragma once

#include "tools/tracefont/bitmap.h"

namespace tracefont {

Bitmap Thin(const Bitmap& in);

} // namespace tracefont
