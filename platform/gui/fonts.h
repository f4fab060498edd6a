// The Windows face names the system's settings and controls use ("ＭＳ 明朝",
// "ＭＳ ゴシック" and their ASCII and proportional spellings) stand for the installed IPA
// Mincho and IPA Gothic faces.
#pragma once

#include <QFont>
#include <QString>

namespace controls {

// Registers the face-name substitutions with QFont, once per process; safe to call again.
void InstallFaceNameSubstitutions();

// The installed family a Windows face name stands for, or the name itself.
QString SubstituteFaceName(const QString& faceName);

// A font like a Windows logical font: face name (substituted), cell height in pixels
// (0 leaves the default size), weight 0…1000 (400 normal, 700 bold), italic.
QFont MakeFont(const QString& faceName, int pixelHeight = 0, int weight = 400, bool italic = false);

// The same with a size in points, as forms give their fonts.
QFont MakePointFont(const QString& faceName, qreal pointSize, bool bold = false,
                    bool italic = false);

} // namespace controls
