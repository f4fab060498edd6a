// Plays one turn of the game as the README tells it and takes the screen at each step:
// the first start, the windows with a question file loaded, a player's writing read, a
// player checking before anything was read, the question solved and shown whole, a player
// told to write first, the main window's mosaic, a panel tooltip, the end of the question
// list and the panel minimized. Needs a real display (the script runs a virtual X server
// with a window manager); writes PNG files into the folder given.
#include "game/answers/answerforms.h"
#include "game/answers/pebblebutton.h"
#include "game/ctrlform.h"
#include "game/mainwindow.h"
#include "game/qttranslations.h"
#include "platform/gui/fonts.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QHelpEvent>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QToolTip>

#include <cstdio>

namespace {

answers::AnswerForm* PlayerWindow(const QString& title) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* form = qobject_cast<answers::AnswerForm*>(w); form && w->windowTitle() == title)
            return form;
    return nullptr;
}

// A pen stroke through points given in hundredths of the box's width and height.
void Stroke(QWidget* box, std::initializer_list<QPointF> points) {
    auto at = [box](const QPointF& p) {
        return QPoint(int(p.x() * box->width() / 100), int(p.y() * box->height() / 100));
    };
    QTest::mousePress(box, Qt::LeftButton, Qt::NoModifier, at(*points.begin()));
    for (const QPointF& p : points) {
        QTest::mouseMove(box, at(p));
        QTest::qWait(15);
    }
    QTest::mouseRelease(box, Qt::LeftButton, Qt::NoModifier, at(*(points.end() - 1)));
    QTest::qWait(60);
}

bool Save(const QDir& folder, const char* name, const QRect& area) {
    QScreen* screen = QGuiApplication::primaryScreen();
    const QPixmap shot = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    const QString path = folder.filePath(QString::fromLatin1(name));
    if (!shot.save(path, "PNG", 9)) {
        std::fprintf(stderr, "tessera-screenshots: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

// The smallest area holding every visible window of the game, frames included.
QRect GameArea() {
    QRect area;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) area |= w->frameGeometry();
    return area.adjusted(-4, -4, 4, 4) & QGuiApplication::primaryScreen()->geometry();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tessera-screenshots FOLDER\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(out.path())) {
        std::fprintf(stderr, "tessera-screenshots: cannot make %s\n", argv[1]);
        return 1;
    }
    controls::InstallFaceNameSubstitutions();
    game::InstallQtTranslations(app);
    app.setWindowIcon(game::ProgramIcon());

    game::MainWindow main;
    if (!main.Start(QCoreApplication::applicationDirPath(), [] { return 0.5; })) return 1;
    main.show();
    game::CtrlForm* panel = main.panel();
    QTest::qWait(800);
    // The first start: the main window and the panel; the players' windows come with a file.
    bool ok = Save(out, "first-start.png", GameArea());

    // The game master loads the first grade's questions and switches on two players and
    // the mirror; the picture is opened a little.
    const QString folder =
        main.sysKit().programPath() + main.sysKit().readIni("TESSERA", "DataPath", QString());
    panel->QuestionFilePicked(QDir(folder).filePath(QStringLiteral("grade1.txt")));
    panel->findChild<QCheckBox*>("PlayCheck1")->setChecked(true);
    panel->findChild<QCheckBox*>("PlayCheck2")->setChecked(true);
    panel->findChild<QScrollBar*>("BunScroll")->setValue(6);
    QTest::qWait(1200);
    ok = Save(out, "windows.png", GameArea()) && ok;

    // Player 1 writes the answer, one level stroke, and has it read; player 2 is still
    // writing, and the mirror follows.
    answers::AnswerForm* one = PlayerWindow(QStringLiteral("Answer1"));
    answers::AnswerForm* two = PlayerWindow(QStringLiteral("Answer2"));
    if (!one || !two) {
        std::fprintf(stderr, "tessera-screenshots: the answer windows did not open\n");
        return 1;
    }
    Stroke(one->box().widget(), {{18, 48}, {40, 47}, {62, 46}, {84, 47}});
    QTest::mouseClick(one->recButton(), Qt::LeftButton);
    Stroke(two->box().widget(), {{50, 15}, {50, 45}, {50, 80}});
    QTest::qWait(600);
    ok = Save(out, "writing.png", GameArea()) && ok;

    // Player 2 checks before the writing was read, and is told to press にんしき first.
    QTest::mouseClick(two->chkButton(), Qt::LeftButton);
    QTest::qWait(300);
    ok = Save(out, "check-first.png", two->frameGeometry()) && ok;

    // Player 1 checks the answer: the picture shows the win, player 2's the loss, both are
    // told to wait for the next question, the win is counted, and Main shows the whole
    // character by itself. Without an audio output the panel says once that no sound plays.
    QTest::mouseClick(one->chkButton(), Qt::LeftButton);
    QTest::qWait(900);
    ok = Save(out, "solved.png", GameArea()) && ok;

    // The next question; player 2 presses the recognize button on an empty box and is told
    // to write first.
    panel->findChild<QPushButton*>("MonPlus1")->click();
    QTest::mouseClick(two->recButton(), Qt::LeftButton);
    QTest::qWait(300);
    ok = Save(out, "notice.png", two->frameGeometry()) && ok;

    // The mosaic on the main window in the default character colour; the effect's unused
    // second parameter is left out of the row under it.
    panel->findChild<QScrollBar*>("BunScroll")->setValue(12);
    QTest::qWait(500);
    ok = Save(out, "mosaic.png", main.frameGeometry()) && ok;

    // A tooltip of the panel.
    QWidget* reveal = panel->findChild<QPushButton*>("RevealButton");
    const QPoint tip = reveal->mapToGlobal(reveal->rect().center());
    QTest::mouseMove(reveal, reveal->rect().center());
    QTest::qWait(100);
    QHelpEvent help(QEvent::ToolTip, reveal->rect().center(), tip);
    QCoreApplication::sendEvent(reveal, &help);
    QTest::qWait(500);
    ok = Save(out, "tooltip.png", panel->frameGeometry().adjusted(0, 0, 160, 0)) && ok;
    QToolTip::hideText();

    // +1 at the last question says that the list is finished.
    auto* mon = panel->findChild<QScrollBar*>("MonScroll");
    mon->setValue(mon->maximum());
    panel->findChild<QPushButton*>("MonPlus1")->click();
    QTest::qWait(400);
    ok = Save(out, "end-of-list.png", panel->frameGeometry()) && ok;

    // The game master's minimize leaves a bar that brings everything back.
    panel->findChild<QPushButton*>("MinimizeButton")->click();
    QTest::qWait(600);
    ok = Save(out, "minimized.png", GameArea()) && ok;
    panel->Restore();

    main.Unload();
    return ok ? 0 : 1;
}
