#include "controls/syskit/textlist.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace syskit;

namespace {
const QByteArray kSjisYama("\x8E\x52", 2); // 山
const QString kYama = QString::fromUtf8("山");
} // namespace

TEST(SplitTextLines, CrLfAndLfEndLinesAndBlankLinesFollowTheFlag) {
    const QByteArray bytes = "a\r\n\r\nb\n  \nc";
    EXPECT_EQ(SplitTextLines(bytes, false), QStringList({"a", "", "b", "  ", "c"}));
    // A line of spaces is not empty.
    EXPECT_EQ(SplitTextLines(bytes, true), QStringList({"a", "b", "  ", "c"}));
    EXPECT_TRUE(SplitTextLines("", false).isEmpty());
    EXPECT_EQ(SplitTextLines("\n", false), QStringList({""}));
}

TEST(SplitTextLines, LongLinesBecomeSeveralPiecesNeverSplittingACharacter) {
    EXPECT_EQ(SplitTextLines(QByteArray(1200, 'x'), true),
              QStringList({QString(511, 'x'), QString(511, 'x'), QString(178, 'x')}));
    // 300 double-byte characters are 600 bytes: 255 characters fit in 511 bytes.
    QByteArray sjis;
    for (int i = 0; i < 300; ++i) sjis += kSjisYama;
    const QStringList pieces = SplitTextLines(sjis, true);
    ASSERT_EQ(pieces.size(), 2);
    EXPECT_EQ(pieces[0], kYama.repeated(255));
    EXPECT_EQ(pieces[1], kYama.repeated(45));
}

TEST(SplitTextLines, ShiftJisByDefaultUtf8WithBomOrWhenOnlyUtf8Fits) {
    EXPECT_EQ(SplitTextLines(kSjisYama + "\n", true), QStringList({kYama}));
    EXPECT_EQ(SplitTextLines("\xEF\xBB\xBF" + kYama.toUtf8() + "\n", true), QStringList({kYama}));
    // "漢字" in UTF-8 is not valid Shift-JIS.
    const QString kanji = QString::fromUtf8("漢字");
    EXPECT_EQ(DetectEncoding(kanji.toUtf8()), TextEncoding::Utf8);
    EXPECT_EQ(SplitTextLines(kanji.toUtf8(), true), QStringList({kanji}));
    EXPECT_EQ(DetectEncoding("plain ascii"), TextEncoding::Cp932);
}

TEST(TextFiles, WriteThenReadKeepsItemsAndMissingFilesReport) {
    QTemporaryDir dir;
    const QString file = dir.filePath("list.txt");
    ASSERT_TRUE(WriteTextLines(file, {"a", "", kYama}, false));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "a\n\n" + kSjisYama + "\n");
    EXPECT_EQ(ReadTextLines(file, false), QStringList({"a", "", kYama}));
    ASSERT_TRUE(WriteTextLines(file, {"a", "", "b"}, true));
    EXPECT_EQ(ReadTextLines(file, false), QStringList({"a", "b"}));
    EXPECT_EQ(ReadTextLines(dir.filePath("missing.txt"), false), std::nullopt);
    EXPECT_FALSE(WriteTextLines(dir.filePath("no/such/folder/x.txt"), {"a"}, false));
}

TEST(TextFiles, TextShiftJisCannotHoldIsWrittenAsMarkedUtf8) {
    const QString emoji = QString::fromUtf8("😀");
    const QByteArray bytes = JoinTextLines({kYama, emoji}, false);
    EXPECT_EQ(bytes, "\xEF\xBB\xBF" + (kYama + "\n" + emoji + "\n").toUtf8());
    EXPECT_EQ(SplitTextLines(bytes, false), QStringList({kYama, emoji}));
    // UTF-8 of "é" is also valid Shift-JIS (two half-width katakana): only the mark keeps
    // the round trip from turning it into other text.
    const QString accented = QString::fromUtf8("café");
    EXPECT_EQ(SplitTextLines(JoinTextLines({accented, kYama}, false), false),
              QStringList({accented, kYama}));
}
