// Where the game's windows go on the first start and after a restart.
#include "game/charactercolor.h"
#include "game/ctrlform.h"
#include "game/keptgame.h"
#include "game/mainwindow.h"
#include "game/windowplaces.h"
#include "platform/encoding.h"
#include "platform/profile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

using namespace game;

namespace {

QRect Outer(const QWidget* w) {
    return QRect(w->pos(), w->size() + kFrameAllowance);
}

void ExpectApart(const QList<QRect>& rects, const QRect& screen) {
    for (qsizetype i = 0; i < rects.size(); ++i) {
        EXPECT_TRUE(screen.contains(rects[i])) << "window " << i << " leaves the screen";
        for (qsizetype j = i + 1; j < rects.size(); ++j)
            EXPECT_FALSE(rects[i].intersects(rects[j])) << "windows " << i << " and " << j;
    }
}

TEST(ArrangeSideBySide, FillsRowsThenGoesUnderTheWindowsPlaced) {
    const QRect screen(0, 0, 1000, 700);
    const QList<QRect> r =
        ArrangeSideBySide(screen, {{400, 300}, {300, 300}, {300, 200}, {400, 300}, {200, 100}});
    EXPECT_EQ(r[0], QRect(0, 0, 400, 300));
    EXPECT_EQ(r[1], QRect(400, 0, 300, 300));
    EXPECT_EQ(r[2], QRect(700, 0, 300, 200));
    EXPECT_EQ(r[3], QRect(0, 300, 400, 300)) << "too wide for the gap: under the first";
    EXPECT_EQ(r[4].topLeft(), QPoint(700, 200)) << "the highest gap it fits in";
    ExpectApart(r, screen);
}

TEST(ArrangeSideBySide, ScreenOffsetsAreKept) {
    const QRect screen(1280, 24, 800, 600);
    const QList<QRect> r = ArrangeSideBySide(screen, {{300, 200}, {300, 200}});
    EXPECT_EQ(r[0].topLeft(), QPoint(1280, 24));
    EXPECT_EQ(r[1].topLeft(), QPoint(1580, 24));
}

TEST(ArrangeSideBySide, WindowsThatDoNotFitStayReachable) {
    const QRect screen(0, 0, 640, 480);
    const QList<QRect> r =
        ArrangeSideBySide(screen, {{500, 400}, {500, 400}, {500, 400}, {900, 700}, {0, 0}});
    ASSERT_EQ(r.size(), 5);
    for (const QRect& w : r) EXPECT_TRUE(screen.contains(w.topLeft())) << w.x() << "," << w.y();
    EXPECT_NE(r[1].topLeft(), r[2].topLeft()) << "the overflow is stepped, not stacked";
    EXPECT_EQ(r[3].topLeft(), screen.topLeft()) << "larger than the screen: its corner shows";
}

TEST(WindowPlaceFile, EntriesRoundTripAndBadOnesAreIgnored) {
    QTemporaryDir dir;
    const QString file = dir.filePath("sub/windows.ini");
    EXPECT_FALSE(ReadWindowPlace(file, "Main")) << "no file, no place";
    ASSERT_TRUE(WriteWindowPlace(file, "Main", QRect(-20, 35, 480, 400)));
    ASSERT_TRUE(WriteWindowPlace(file, "CtrlForm", QRect(500, 0, 300, 420)));
    EXPECT_EQ(ReadWindowPlace(file, "Main"), QRect(-20, 35, 480, 400));
    EXPECT_EQ(ReadWindowPlace(file, "ctrlform"), QRect(500, 0, 300, 420));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write("Answer1=1,2,3\r\nAnswer2=a,b,c,d\r\nAnswer2M=1,2,0,5\r\n");
    f.close();
    EXPECT_FALSE(ReadWindowPlace(file, "Answer1"));
    EXPECT_FALSE(ReadWindowPlace(file, "Answer2"));
    EXPECT_FALSE(ReadWindowPlace(file, "Answer2M"));
    EXPECT_EQ(ReadWindowPlace(file, "Main"), QRect(-20, 35, 480, 400)) << "others are kept";
}

TEST(WindowPlaceFile, OnlyPlacesWhoseTopEdgeShowsAreReachable) {
    const QRect screen(0, 0, 1280, 800);
    EXPECT_TRUE(PlaceReachable(QRect(100, 100, 300, 300), screen));
    EXPECT_TRUE(PlaceReachable(QRect(-200, 10, 300, 300), screen)) << "partly off the left";
    EXPECT_FALSE(PlaceReachable(QRect(3000, 100, 300, 300), screen)) << "a screen now gone";
    EXPECT_FALSE(PlaceReachable(QRect(100, -200, 300, 300), screen)) << "title bar above";
    EXPECT_FALSE(PlaceReachable(QRect(100, 790, 300, 300), screen));
}

// The game as it starts, with its real windows, in a folder of its own.
class GameWindows : public ::testing::Test {
protected:
    void SetUp() override {
        QStandardPaths::setTestModeEnabled(true);
        QFile::remove(WindowPlacesFile());
        ASSERT_TRUE(dir.isValid());
        QFile ini(dir.filePath("Tessera.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[TESSERA]\r\nDataPath=qs\r\n");
    }
    void TearDown() override {
        QFile::remove(WindowPlacesFile());
        QDir::setCurrent(oldDir);
    }
    std::unique_ptr<MainWindow> StartGame() {
        auto main = std::make_unique<MainWindow>();
        EXPECT_TRUE(main->Start(dir.path(), [] { return 0.5; }));
        main->PlaceWindows(kScreen);
        return main;
    }
    QWidget* Window(const MainWindow& main, const char* name) {
        for (const auto& [n, w] : main.placedWindows())
            if (n == QLatin1String(name)) return w;
        ADD_FAILURE() << "no window " << name;
        return nullptr;
    }

    const QRect kScreen{0, 0, 1280, 800};
    QTemporaryDir dir;
    QString oldDir = QDir::currentPath();
};

TEST_F(GameWindows, FirstStartPutsEveryWindowSideBySideOnA1280x800Screen) {
    const auto main = StartGame();
    QList<QRect> outer;
    for (const auto& [name, w] : main->placedWindows()) outer << Outer(w);
    ASSERT_EQ(outer.size(), 5) << "main window, panel, two players and the mirror";
    ExpectApart(outer, kScreen);
}

TEST_F(GameWindows, PlacesThePlayersGaveAreKeptAcrossARestart) {
    {
        const auto main = StartGame();
        Window(*main, "CtrlForm")->move(700, 300);
        QWidget* one = Window(*main, "Answer1");
        one->resize(260, 450);
        one->move(40, 330);
        Window(*main, "Main")->move(900, 20);
        main->Unload();
    }
    const auto again = StartGame();
    EXPECT_EQ(Window(*again, "CtrlForm")->pos(), QPoint(700, 300));
    EXPECT_EQ(Window(*again, "CtrlForm")->size(),
              QSize(CtrlForm::kPanelWidth, CtrlForm::kPanelHeight))
        << "the panel's size is its own";
    EXPECT_EQ(Window(*again, "Answer1")->pos(), QPoint(40, 330));
    EXPECT_EQ(Window(*again, "Answer1")->size(), QSize(260, 450));
    EXPECT_EQ(Window(*again, "Main")->pos(), QPoint(900, 20));
}

TEST_F(GameWindows, AKeptPlaceOffTheScreenGivesWayToTheArrangement) {
    ASSERT_TRUE(WriteWindowPlace(WindowPlacesFile(), "CtrlForm", QRect(4000, 3000, 300, 420)));
    const auto main = StartGame();
    EXPECT_TRUE(kScreen.contains(Outer(Window(*main, "CtrlForm"))));
}

} // namespace

namespace {

// A question file of the game's folder, in Shift-JIS.
QString WriteQuestions(const QTemporaryDir& dir, const char* name, const char* utf8) {
    QDir(dir.path()).mkpath("qs");
    const QString path = dir.filePath(QString("qs/") + name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray::fromStdString(*platform::Utf8ToCp932(utf8)));
    return path;
}

} // namespace

TEST_F(GameWindows, TheGameResumesWhereItWasLeft) {
    const QString file = WriteQuestions(dir, "a.txt", "一\r\n二\r\n三\r\n");
    {
        const auto main = StartGame();
        CtrlForm* panel = main->panel();
        // The colours as the swatches' chooser would set them.
        KeptGame colours;
        colours.stringColor = QColor("#123456");
        colours.backColor = QColor("#fafad2");
        panel->Resume(colours);
        panel->QuestionFilePicked(file);
        panel->findChild<QCheckBox*>("PlayCheck1")->setChecked(true);
        panel->findChild<QCheckBox*>("PlayCheck2")->setChecked(true);
        auto* combo = panel->findChild<QComboBox*>("GameCombo");
        combo->setCurrentIndex(3);
        emit combo->activated(3);
        panel->findChild<QScrollBar*>("MonScroll")->setValue(3);
        main->Unload();
    }
    const auto again = StartGame();
    CtrlForm* panel = again->panel();
    EXPECT_EQ(panel->CurrentAnswer(), QString::fromUtf8("三"));
    EXPECT_EQ(panel->findChild<QLineEdit*>("Text1")->text(), "a.txt");
    EXPECT_TRUE(panel->findChild<QCheckBox*>("PlayCheck1")->isChecked());
    EXPECT_TRUE(panel->findChild<QCheckBox*>("PlayCheck2")->isChecked());
    EXPECT_TRUE(Window(*again, "Answer2")->isVisible());
    EXPECT_EQ(panel->findChild<QComboBox*>("GameCombo")->currentIndex(), 3);
    const ShroudProxy shroud = again->shroud();
    if (!shroud.present()) return;
    EXPECT_EQ(shroud.gameMode(), 4);
    EXPECT_EQ(shroud.stringColor(), 0x563412u) << "kept as the control's OLE colour";
    EXPECT_EQ(shroud.backColor(), 0xD2FAFAu);
    EXPECT_EQ(shroud.foreColor(), 0x404040u) << "a colour never changed stays the default";
}

TEST_F(GameWindows, KeptEntriesThatAreMissingOrCorruptGiveTheDefaults) {
    const QString file = WriteQuestions(dir, "b.txt", "山\r\n川\r\n");
    const QByteArray ini = QFile::encodeName(WindowPlacesFile());
    QDir().mkpath(QFileInfo(WindowPlacesFile()).absolutePath());
    const std::pair<const char*, QByteArray> entries[] = {
        {"BackColor", "red"},     {"StringColor", "#12345"},
        {"ForeColor", "#GG0000"}, {"TwoPlayers", "yes"},
        {"Mirror", "2"},          {"GameMode", "9"},
        {"Question", "99"},       {"QuestionFile", file.toUtf8()},
    };
    for (const auto& [key, value] : entries)
        ASSERT_TRUE(
            platform::WritePrivateProfileString("Game", key, value.constData(), ini.constData()));
    const auto main = StartGame();
    CtrlForm* panel = main->panel();
    EXPECT_EQ(panel->CurrentAnswer(), QString::fromUtf8("山")) << "a question beyond the list";
    EXPECT_FALSE(panel->findChild<QCheckBox*>("PlayCheck1")->isChecked());
    EXPECT_FALSE(panel->findChild<QCheckBox*>("PlayCheck2")->isChecked());
    EXPECT_EQ(panel->findChild<QComboBox*>("GameCombo")->currentIndex(), 0);
    const ShroudProxy shroud = main->shroud();
    if (shroud.present()) {
        EXPECT_EQ(shroud.backColor(), 0xFFFFFFu);
        EXPECT_EQ(shroud.stringColor(), kDefaultStringColor);
        EXPECT_EQ(shroud.foreColor(), 0x404040u);
    }
    // A kept file that is gone leaves the panel as on a first start.
    ASSERT_TRUE(QFile::remove(file));
    const auto again = (main->Unload(), StartGame());
    EXPECT_EQ(again->panel()->findChild<QLineEdit*>("Text1")->text(), "None");
}
