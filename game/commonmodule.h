// Integer helpers shared by the game's windows: clamping stepped values into the scroll
// bars' ranges and keeping computed sizes at or above 0.
#pragma once

#include <QtGlobal>

namespace game {

inline qint16 MaxInt(qint16 a, qint16 b) {
    return a > b ? a : b;
}
inline qint16 MinInt(qint16 a, qint16 b) {
    return a < b ? a : b;
}

} // namespace game
