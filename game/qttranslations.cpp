#include "game/qttranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace game {

bool InstallQtTranslations(QCoreApplication& app) {
    auto* qt = new QTranslator(&app);
    if (!qt->load(QStringLiteral("qtbase_ja"),
                  QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete qt;
        return false;
    }
    return QCoreApplication::installTranslator(qt);
}

} // namespace game
