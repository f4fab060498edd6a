#include "platform/gui/fonts.h"

#include <QStringList>
#include <array>
#include <utility>

namespace controls {

namespace {

struct Substitution {
    const char16_t* windowsName;
    const char* family;
};

constexpr std::array<Substitution, 8> kSubstitutions{{
    {u"ＭＳ 明朝", "IPAMincho"},
    {u"ＭＳ ゴシック", "IPAGothic"},
    {u"ＭＳ Ｐ明朝", "IPAPMincho"},
    {u"ＭＳ Ｐゴシック", "IPAPGothic"},
    {u"MS Mincho", "IPAMincho"},
    {u"MS Gothic", "IPAGothic"},
    {u"MS PMincho", "IPAPMincho"},
    {u"MS PGothic", "IPAPGothic"},
}};

} // namespace

void InstallFaceNameSubstitutions() {
    for (const Substitution& s : kSubstitutions) {
        const QString name = QString::fromUtf16(s.windowsName);
        const QString family = QString::fromLatin1(s.family);
        if (!QFont::substitutes(name).contains(family, Qt::CaseInsensitive))
            QFont::insertSubstitution(name, family);
    }
}

QString SubstituteFaceName(const QString& faceName) {
    const QString trimmed = faceName.trimmed();
    for (const Substitution& s : kSubstitutions) {
        if (trimmed.compare(QString::fromUtf16(s.windowsName), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(s.family);
    }
    return trimmed;
}

QFont MakeFont(const QString& faceName, int pixelHeight, int weight, bool italic) {
    QFont font(SubstituteFaceName(faceName));
    if (pixelHeight > 0) font.setPixelSize(pixelHeight);
    // Windows weights run 0…1000 like Qt's; 0 means "default", i.e. normal.
    font.setWeight(QFont::Weight(qBound(1, weight <= 0 ? 400 : weight, 1000)));
    font.setItalic(italic);
    return font;
}

QFont MakePointFont(const QString& faceName, qreal pointSize, bool bold, bool italic) {
    QFont font(SubstituteFaceName(faceName));
    if (pointSize > 0) font.setPointSizeF(pointSize);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

} // namespace controls
