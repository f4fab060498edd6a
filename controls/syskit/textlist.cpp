#include "controls/syskit/textlist.h"

#include "platform/encoding.h"

#include <QFile>
#include <string>

namespace syskit {

namespace {

const QByteArray kUtf8Bom("\xEF\xBB\xBF");

QString FromCp932(const QByteArray& bytes) {
    if (auto utf8 = platform::Cp932ToUtf8(std::string_view(bytes.constData(), bytes.size())))
        return QString::fromStdString(*utf8);
    // A byte no Shift-JIS reading knows: keep the rest rather than the whole line lost.
    return QString::fromLocal8Bit(bytes);
}

// Bytes of one character in the file's encoding.
int EncodedSize(const QString& ch, TextEncoding enc) {
    if (enc == TextEncoding::Utf8) return int(ch.toUtf8().size());
    if (auto b = platform::Utf8ToCp932(ch.toStdString())) return int(b->size());
    return 2;
}

// Appends the pieces of one line to out.
void AddPieces(const QString& line, TextEncoding enc, bool skipEmpty, QStringList& out) {
    if (line.isEmpty()) {
        if (!skipEmpty) out.append(line);
        return;
    }
    QString piece;
    int bytes = 0;
    qsizetype i = 0;
    while (i < line.size()) {
        // One whole character: a surrogate pair stays together.
        const qsizetype len = line.at(i).isHighSurrogate() && i + 1 < line.size() ? 2 : 1;
        const QString ch = line.mid(i, len);
        const int size = EncodedSize(ch, enc);
        if (bytes + size > kMaxPieceBytes && !piece.isEmpty()) {
            out.append(piece);
            piece.clear();
            bytes = 0;
        }
        piece += ch;
        bytes += size;
        i += len;
    }
    out.append(piece);
}

} // namespace

TextEncoding DetectEncoding(const QByteArray& bytes) {
    if (bytes.startsWith(kUtf8Bom)) return TextEncoding::Utf8;
    const std::string_view view(bytes.constData(), bytes.size());
    if (platform::Cp932ToUtf8(view)) return TextEncoding::Cp932;
    return platform::IsValidUtf8(view) ? TextEncoding::Utf8 : TextEncoding::Cp932;
}

QStringList SplitTextLines(const QByteArray& raw, bool skipEmpty) {
    const TextEncoding enc = DetectEncoding(raw);
    QByteArray bytes = raw;
    if (bytes.startsWith(kUtf8Bom)) bytes.remove(0, kUtf8Bom.size());
    bytes.replace("\r\n", "\n");
    QList<QByteArray> lines = bytes.split('\n');
    // Text that ends in a line feed has no further line after it.
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    QStringList out;
    for (const QByteArray& line : lines) {
        const QString text = enc == TextEncoding::Utf8 ? QString::fromUtf8(line) : FromCp932(line);
        AddPieces(text, enc, skipEmpty, out);
    }
    return out;
}

std::optional<QStringList> ReadTextLines(const QString& fileName, bool skipEmpty) {
    QFile file(fileName);
    if (fileName.isEmpty() || !file.open(QIODevice::ReadOnly)) return std::nullopt;
    return SplitTextLines(file.readAll(), skipEmpty);
}

QByteArray JoinTextLines(const QStringList& lines, bool skipEmpty) {
    QByteArray cp932;
    bool encodable = true;
    for (const QString& line : lines) {
        if (skipEmpty && line.isEmpty()) continue;
        const auto bytes = platform::Utf8ToCp932(line.toStdString());
        if (!bytes) {
            encodable = false;
            break;
        }
        cp932 += QByteArray::fromStdString(*bytes) + '\n';
    }
    if (encodable) return cp932;
    // Marked, because UTF-8 text often reads as valid Shift-JIS too ("é" as two half-width
    // katakana), and the reader takes unmarked text for Shift-JIS first.
    QByteArray utf8 = kUtf8Bom;
    for (const QString& line : lines) {
        if (skipEmpty && line.isEmpty()) continue;
        utf8 += line.toUtf8() + '\n';
    }
    return utf8;
}

bool WriteTextLines(const QString& fileName, const QStringList& lines, bool skipEmpty) {
    QFile file(fileName);
    if (fileName.isEmpty() || !file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    const QByteArray bytes = JoinTextLines(lines, skipEmpty);
    return file.write(bytes) == bytes.size();
}

} // namespace syskit
