#include "game/questions.h"

#include "game/commonmodule.h"

namespace game {

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

QString FileNameOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? path : path.mid(slash + 1);
}

} // namespace game
