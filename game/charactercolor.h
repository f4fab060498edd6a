// The answer character's default colour on the main window, and the contrast measure it
// is chosen by: the relative luminance ratio of the web's accessibility guidelines
// (WCAG 2), 1:1 for equal colours up to 21:1 for black on white.
#pragma once

#include <QColor>
#include <QtGlobal>

#include <cmath>

namespace game {

// A deep green (OLE order 0x00BBGGRR): 9.8:1 on white, and the mosaic's mix of it with a
// white background reaches 4.5:1 in every cell that is at least three quarters ink.
inline constexpr quint32 kDefaultStringColor = 0x005000;

inline double RelativeLuminance(const QColor& c) {
    auto linear = [](int channel) {
        const double v = channel / 255.0;
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.red()) + 0.7152 * linear(c.green()) + 0.0722 * linear(c.blue());
}

// The contrast ratio of two colours, the lighter's luminance over the darker's.
inline double ContrastRatio(const QColor& a, const QColor& b) {
    const double la = RelativeLuminance(a) + 0.05, lb = RelativeLuminance(b) + 0.05;
    return la > lb ? la / lb : lb / la;
}

} // namespace game
