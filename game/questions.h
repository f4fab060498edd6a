// Question files: one answer a line; a first line of exactly "RANDOM" asks for the other
// answers in random order. Reading the lines is the helper control's list fill.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace game {

inline const QString kRandomMarker = QStringLiteral("RANDOM");
inline const QString kBadDataFile = QString::fromUtf8("データファイル不正");

// A uniform random number in [0, 1).
using Uniform = std::function<double()>;

// The answers of a shuffled file (its marker line already removed) in play order: each
// step takes the item nearest to r * (count - 1), halves to even, so the first and last
// remaining items are drawn with half the weight of the others. Every answer is kept
// exactly once.
QStringList ShuffleQuestions(QStringList pending, const Uniform& uniform);

// The text after the last folder separator of a path.
QString FileNameOf(const QString& path);

} // namespace game
