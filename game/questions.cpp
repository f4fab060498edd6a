#include "game/questions.h"

#include <QRegularExpression>
#include <cmath>
#include <limits>

namespace game {

int RoundHalfEven(double x) {
    const double r = std::nearbyint(x); // the default rounding mode rounds halves to even
    if (r > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    if (r < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    return int(r);
}

QStringList ShuffleQuestions(QStringList pending, const Uniform& uniform) {
    QStringList played;
    while (!pending.isEmpty()) {
        const qsizetype c = pending.size();
        double r = uniform();
        if (!(r >= 0.0) || r >= 1.0) r = 0.0;
        const int k = qBound(0, RoundHalfEven(r * double(c - 1)), int(c - 1));
        played.append(pending.takeAt(k));
    }
    return played;
}

qint16 LeadingNumber(const QString& text) {
    // Like a BASIC Val: leading blanks, a sign, digits and one decimal point.
    static const QRegularExpression number(QStringLiteral("^\\s*([+-]?(\\d+\\.?\\d*|\\.\\d+))"));
    const QRegularExpressionMatch m = number.match(text);
    if (!m.hasMatch()) return 0;
    const double value = m.captured(1).toDouble();
    return qint16(qBound(-32768, RoundHalfEven(value), 32767));
}

QString FileNameOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? path : path.mid(slash + 1);
}

} // namespace game
