// Where the game's windows go on the first start and after a restart.
#include "game/ctrlform.h"
#include "game/mainwindow.h"
#include "game/windowplaces.h"
#include "platform/encoding.h"

#include <QDir>
#include <QFile>
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
        ini.write("[TESSERA]\r\n");
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
