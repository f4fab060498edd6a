#include "game/windowplaces.h"

#include "platform/profile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

#include <algorithm>

namespace game {

namespace {

const char kSection[] = "Windows";

bool Free(const QRect& r, const QRect& available, const QList<QRect>& placed) {
    if (!available.contains(r)) return false;
    return std::none_of(placed.begin(), placed.end(),
                        [&](const QRect& p) { return p.intersects(r); });
}

} // namespace

QList<QRect> ArrangeSideBySide(const QRect& available, const QList<QSize>& outerSizes) {
    QList<QRect> placed;
    int stepped = 0;
    for (const QSize& size : outerSizes) {
        QList<QPoint> spots{available.topLeft()};
        for (const QRect& p : placed) {
            spots << QPoint(p.right() + 1, p.top()) << QPoint(p.left(), p.bottom() + 1);
        }
        std::sort(spots.begin(), spots.end(), [](const QPoint& a, const QPoint& b) {
            return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x();
        });
        const auto spot = std::find_if(spots.begin(), spots.end(), [&](const QPoint& s) {
            return Free(QRect(s, size), available, placed);
        });
        if (spot != spots.end()) {
            placed << QRect(*spot, size);
            continue;
        }
        // No free room: a cascade from the top left, kept inside as far as the size allows.
        const int step = 28 * ++stepped;
        const int x = std::max(available.left(), std::min(available.left() + step,
                                                          available.right() + 1 - size.width()));
        const int y = std::max(available.top(), std::min(available.top() + step,
                                                         available.bottom() + 1 - size.height()));
        placed << QRect(QPoint(x, y), size);
    }
    return placed;
}

QString WindowPlacesFile() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    return QDir(folder).filePath(QStringLiteral("windows.ini"));
}

std::optional<QRect> ReadWindowPlace(const QString& file, const QString& name) {
    char value[128];
    const QByteArray path = QFile::encodeName(file);
    platform::GetPrivateProfileString(kSection, name.toUtf8().constData(), "", value, sizeof value,
                                      path.constData());
    const QStringList parts = QString::fromLatin1(value).split(u',');
    if (parts.size() != 4) return std::nullopt;
    int n[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        n[i] = parts[i].trimmed().toInt(&ok);
        if (!ok) return std::nullopt;
    }
    if (n[2] <= 0 || n[3] <= 0) return std::nullopt;
    return QRect(n[0], n[1], n[2], n[3]);
}

bool WriteWindowPlace(const QString& file, const QString& name, const QRect& place) {
    QDir().mkpath(QFileInfo(file).absolutePath());
    const QByteArray value = QStringLiteral("%1,%2,%3,%4")
                                 .arg(place.x())
                                 .arg(place.y())
                                 .arg(place.width())
                                 .arg(place.height())
                                 .toLatin1();
    const QByteArray path = QFile::encodeName(file);
    return platform::WritePrivateProfileString(kSection, name.toUtf8().constData(),
                                               value.constData(), path.constData());
}

bool PlaceReachable(const QRect& place, const QRect& available) {
    // The top strip of the window, where a title bar would be.
    const QRect top(place.topLeft(), QSize(place.width(), std::min(place.height(), 30)));
    const QRect seen = top.intersected(available);
    return seen.width() >= std::min(80, place.width()) &&
           seen.height() >= std::min(20, top.height());
}

} // namespace game
