// Question files: any bytes give a list of questions the control panel can play, the same
// list every time. The file is read as the panel reads it (lines of the helper control's
// list fill with empty lines left out), then put in play order: file order, or shuffled
// when the first line is the marker.
#include "controls/syskit/textlist.h"
#include "game/questions.h"
#include "platform/encoding.h"

#include "tools/fuzz/fuzz_check.h"
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

using fuzz::Check;

namespace {

constexpr qsizetype kShuffleChecked = 2048;

// Bytes of one question in the encoding its file was read in; -1 when Shift-JIS cannot
// hold it (a byte no Shift-JIS reading knows was kept as it came).
qsizetype EncodedBytes(const QString& text, syskit::TextEncoding enc) {
    if (enc == syskit::TextEncoding::Utf8) return text.toUtf8().size();
    const auto cp932 = platform::Utf8ToCp932(text.toStdString());
    return cp932 ? qsizetype(cp932->size()) : -1;
}

QStringList Sorted(QStringList list) {
    std::sort(list.begin(), list.end());
    return list;
}

// Random numbers for the shuffle from the input's own bytes, with the values a careless
// source could give among them: exactly 0, just below 1, 1 itself, negative, not a number.
class ByteUniform {
public:
    ByteUniform(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    double operator()() {
        const uint8_t b = size_ ? data_[pos_++ % size_] : 0;
        switch (b % 8) {
        case 0:
            return 0.0;
        case 1:
            return std::nextafter(1.0, 0.0);
        case 2:
            return 1.0;
        case 3:
            return -0.25;
        case 4:
            return std::numeric_limits<double>::quiet_NaN();
        default:
            return double(b) / 256.0;
        }
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const syskit::TextEncoding enc = syskit::DetectEncoding(bytes);

    const QStringList lines = syskit::SplitTextLines(bytes, true);
    Check(syskit::SplitTextLines(bytes, true) == lines, "the same bytes give the same lines");
    QStringList withEmpty = syskit::SplitTextLines(bytes, false);
    withEmpty.removeAll(QString());
    Check(withEmpty == lines, "leaving empty lines out drops only empty lines");
    Check(size_t(lines.size()) <= size, "every question comes from bytes of the file");
    for (const QString& q : lines) {
        Check(!q.isEmpty(), "no question is empty");
        Check(!q.contains(QLatin1Char('\n')), "a question is one line");
        Check(EncodedBytes(q, enc) <= syskit::kMaxPieceBytes, "a question fits the line buffer");
        Check(!q.isEmpty() && !q.back().isHighSurrogate(), "a character is never cut in two");
    }

    // Play order as the panel builds it.
    const bool shuffled = !lines.isEmpty() && lines.front() == game::kRandomMarker;
    const QStringList pending = shuffled ? lines.mid(1) : lines;
    if (shuffled) {
        // Each draw takes an item out of the middle of the list, so a shuffle costs the
        // square of the count; what is checked does not depend on the count, so long files
        // are shuffled on their first questions to keep the runs quick.
        const QStringList some = pending.mid(0, kShuffleChecked);
        ByteUniform uniform(data, size);
        const QStringList played = game::ShuffleQuestions(some, uniform);
        Check(played.size() == some.size(), "shuffling keeps the number of questions");
        Check(Sorted(played) == Sorted(some), "shuffling keeps every question once");
        Check(game::ShuffleQuestions(some, [] { return 0.0; }) == some,
              "always drawing the first remaining item keeps file order");
        QStringList reversed = some;
        std::reverse(reversed.begin(), reversed.end());
        Check(game::ShuffleQuestions(some, [] { return std::nextafter(1.0, 0.0); }) == reversed,
              "always drawing the last remaining item reverses the order");
    }
    // A list without questions is what the panel reports as a bad data file.
    Check(pending.isEmpty() == (lines.isEmpty() || (shuffled && lines.size() == 1)),
          "no questions exactly for an empty file or a lone marker");
    return 0;
}
