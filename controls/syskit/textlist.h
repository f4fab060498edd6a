// Text files as lists of lines, the way the helper fills and saves list boxes. Files are
// Shift-JIS (code page 932); a file with a UTF-8 byte-order mark, or one that is valid
// UTF-8 but not valid Shift-JIS, is read as UTF-8. Lines end at LF, with CR LF taken as LF;
// a line longer than 511 bytes (in the file's encoding) is cut into pieces of at most 511
// bytes, never inside a character.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace syskit {

inline constexpr int kMaxPieceBytes = 511;

enum class TextEncoding { Cp932, Utf8 };

// The encoding a file's bytes are read in.
TextEncoding DetectEncoding(const QByteArray& bytes);

// The pieces of the file's lines in order; empty pieces are left out when skipEmpty.
QStringList SplitTextLines(const QByteArray& bytes, bool skipEmpty);

// The file read with SplitTextLines; nothing when it cannot be opened.
std::optional<QStringList> ReadTextLines(const QString& fileName, bool skipEmpty);

// The bytes of a file of these lines, each followed by LF, empty lines left out when
// skipEmpty: Shift-JIS when every line can be written in it, else UTF-8 with a byte-order
// mark, so that nothing is lost and the reader knows it.
QByteArray JoinTextLines(const QStringList& lines, bool skipEmpty);

// Writes the lines (created or emptied); false when the file cannot be opened.
bool WriteTextLines(const QString& fileName, const QStringList& lines, bool skipEmpty);

} // namespace syskit
