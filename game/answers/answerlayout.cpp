#include "game/answers/answerlayout.h"

#include "game/commonmodule.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace answers {

using game::RoundHalfEven;

namespace {

// Sizes are clamped into the 16-bit range of the shared integer helpers.
qint16 Short(long v) {
    return static_cast<qint16>(std::clamp<long>(v, std::numeric_limits<qint16>::min(),
                                                std::numeric_limits<qint16>::max()));
}

int Max0(double x) {
    return game::MaxInt(0, Short(RoundHalfEven(x)));
}

} // namespace

AnswerLayout ComputeLayout(int sw, int sh, bool mirror) {
    AnswerLayout l;
    const double reserved = mirror ? 15.0 : 110.0;
    const int d = game::MaxInt(0, game::MinInt(Short(RoundHalfEven((sh - reserved) * 0.45)),
                                               Short(RoundHalfEven(sw - 10.0))));
    l.larder = QRect(RoundHalfEven((sw - d) / 2.0), 5, d, d);
    const int boxTop = l.larder.top() + d + 5;
    if (mirror) {
        l.quillbox = QRect(5, boxTop, Max0(sw - 5.0), Max0(sh - 15.0 - d));
        return l;
    }
    // The box leaves a strip above the buttons for a line of text in the buttons' type
    // size, readable from a distance (the hint, or what comes next after a solved question).
    l.quillbox = QRect(5, boxTop, Max0(sw - 10.0), Max0(sh - 104.0 - kHintHeight - d));
    l.recButton = QRect(5, sh - 94, Max0(sw - 75.0), kButtonHeight);
    l.clearButton = QRect(sw - 55, l.recButton.top(), kClearButtonWidth, kButtonHeight);
    l.chkButton = QRect(5, l.recButton.top() + kButtonHeight + 6, Max0(sw - 75.0), kButtonHeight);
    l.wins = QRect(l.clearButton.left(), l.chkButton.top(), kClearButtonWidth, kButtonHeight);
    const int boxBottom = l.quillbox.top() + l.quillbox.height();
    if (l.recButton.top() > boxBottom)
        l.hint = QRect(5, boxBottom, Max0(sw - 10.0), l.recButton.top() - boxBottom);
    return l;
}

} // namespace answers
