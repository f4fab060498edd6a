// Qt's own dialogs (the colour chooser, message boxes) speak Japanese in the game,
// whatever the desktop's language.
#pragma once

class QCoreApplication;

namespace game {

// Loads Qt's Japanese translations into app; false when they are not installed (the
// dialogs then stay in English).
bool InstallQtTranslations(QCoreApplication& app);

} // namespace game
