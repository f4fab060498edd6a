// The game program: the main window starts everything from the program's own folder.
#include "game/mainwindow.h"
#include "game/qttranslations.h"
#include "platform/gui/fonts.h"

#include <QApplication>
#include <chrono>
#include <random>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    controls::InstallFaceNameSubstitutions();
    game::InstallQtTranslations(app);
    app.setWindowIcon(game::ProgramIcon());

    std::mt19937 rng(unsigned(std::chrono::system_clock::now().time_since_epoch().count()));
    std::uniform_real_distribution<double> uniform(0.0, 1.0);

    game::MainWindow main;
    if (!main.Start(QCoreApplication::applicationDirPath(), [&] { return uniform(rng); })) return 0;
    main.show();
    return app.exec();
}
