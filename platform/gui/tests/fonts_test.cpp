#include "platform/gui/fonts.h"

#include <QFontInfo>
#include <QStringList>
#include <algorithm>
#include <gtest/gtest.h>

TEST(FaceNames, WindowsNamesStandForIpaFaces) {
    EXPECT_EQ(controls::SubstituteFaceName(QString::fromUtf8("ＭＳ 明朝")), "IPAMincho");
    EXPECT_EQ(controls::SubstituteFaceName(QString::fromUtf8("ＭＳ ゴシック")), "IPAGothic");
    EXPECT_EQ(controls::SubstituteFaceName(QString::fromUtf8("ＭＳ Ｐゴシック")), "IPAPGothic");
    EXPECT_EQ(controls::SubstituteFaceName("ms mincho"), "IPAMincho");
    EXPECT_EQ(controls::SubstituteFaceName("DejaVu Sans"), "DejaVu Sans");
}

TEST(FaceNames, SubstitutionsInstalledOnceAndResolveToTheIpaFont) {
    controls::InstallFaceNameSubstitutions();
    controls::InstallFaceNameSubstitutions();
    const QString mincho = QString::fromUtf8("ＭＳ 明朝");
    // Qt keeps substitutes in lower case.
    const QStringList subs = QFont::substitutes(mincho);
    const auto ipa = std::count_if(subs.begin(), subs.end(), [](const QString& s) {
        return s.compare("IPAMincho", Qt::CaseInsensitive) == 0;
    });
    EXPECT_EQ(ipa, 1) << subs.join(",").toStdString();
    QFont f(mincho);
    EXPECT_EQ(QFontInfo(f).family(), "IPAMincho");
}

TEST(MakeFont, SizeWeightAndItalic) {
    const QFont f = controls::MakeFont("MS Gothic", 48, 700, true);
    EXPECT_EQ(f.family(), "IPAGothic");
    EXPECT_EQ(f.pixelSize(), 48);
    EXPECT_EQ(f.weight(), QFont::Bold);
    EXPECT_TRUE(f.italic());
    const QFont d = controls::MakeFont("MS Gothic", 0, 0);
    EXPECT_EQ(d.weight(), QFont::Normal);
    const QFont p = controls::MakePointFont("MS Mincho", 12, true);
    EXPECT_DOUBLE_EQ(p.pointSizeF(), 12.0);
    EXPECT_TRUE(p.bold());
}
