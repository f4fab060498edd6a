// Typed views of the controls on the answer windows share the game's control proxy: a
// control is reached only through its meta-object, and a proxy over a missing control does
// nothing and reads defaults, so a window whose control could not be created still opens.
#pragma once

#include "game/controlproxies.h"

namespace answers {

using game::ControlProxy;

} // namespace answers
