// Number helpers shared by the game's windows: clamping stepped values into the scroll
// bars' ranges, keeping computed sizes at or above 0, rounding as the layouts do, and the
// one reading of numbers in the settings file (per-game defaults and picture series alike).
#pragma once

#include <QString>
#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <limits>

namespace game {

inline qint16 MaxInt(qint16 a, qint16 b) {
    return a > b ? a : b;
}
inline qint16 MinInt(qint16 a, qint16 b) {
    return a < b ? a : b;
}

// The integer nearest to x, halves to the even neighbour (2.5 -> 2, 3.5 -> 4); values
// beyond int's range are clamped and a value that is not a number gives 0.
inline int RoundHalfEven(double x) {
    if (std::isnan(x)) return 0;
    const double r = x - std::floor(x) == 0.5 ? 2.0 * std::round(x / 2.0) : std::round(x);
    return static_cast<int>(std::clamp(r, double(std::numeric_limits<int>::min()),
                                       double(std::numeric_limits<int>::max())));
}

// A number of the settings file as a 16-bit integer property takes it: the text's leading
// numeric part (blanks, a sign, digits, one decimal point; 0 if none), rounded to the
// nearest integer with halves to even, clamped to 16 bits ("1.6" -> 2, "12abc" -> 12).
inline qint16 LeadingNumber(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t')) ++i;
    const qsizetype start = i;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) ++i;
    bool digits = false, point = false;
    for (; i < n; ++i) {
        if (text[i] >= u'0' && text[i] <= u'9')
            digits = true;
        else if (text[i] == u'.' && !point)
            point = true;
        else
            break;
    }
    if (!digits) return 0;
    const double value = text.mid(start, i - start).toDouble();
    return qint16(std::clamp(RoundHalfEven(value), -32768, 32767));
}

} // namespace game
