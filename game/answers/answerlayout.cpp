#include "game/answers/answerlayout.h"

#include "game/commonmodule.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace answers {

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

int RoundHalfEven(double x) {
    if (!std::isfinite(x)) return 0;
    const double r = x - std::floor(x) == 0.5 ? 2.0 * std::round(x / 2.0) : std::round(x);
    return static_cast<int>(std::clamp(r, double(std::numeric_limits<int>::min()),
                                       double(std::numeric_limits<int>::max())));
}

int LeadingNumber(const QString& text) {
    int i = 0;
    const int n = int(text.size());
    while (i < n && (text[i] == u' ' || text[i] == u'\t')) ++i;
    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    long long value = 0;
    while (i < n && text[i] >= u'0' && text[i] <= u'9') {
        value = std::min<long long>(value * 10 + (text[i].unicode() - u'0'),
                                    std::numeric_limits<int>::max());
        ++i;
    }
    return static_cast<int>(negative ? -value : value);
}

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
    l.quillbox = QRect(5, boxTop, Max0(sw - 10.0), Max0(sh - 120.0 - d));
    l.recButton = QRect(5, sh - 94, Max0(sw - 75.0), kButtonHeight);
    l.clearButton = QRect(sw - 55, l.recButton.top(), kClearButtonWidth, kButtonHeight);
    l.chkButton = QRect(5, l.recButton.top() + kButtonHeight + 6, Max0(sw - 75.0), kButtonHeight);
    return l;
}

} // namespace answers
