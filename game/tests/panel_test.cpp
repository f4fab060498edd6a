// The control panel driven as the game master drives it, with the real helper and effects
// controls from the plug-in folder and recording stand-ins for the answer windows.
#include "game/ctrlform.h"
#include "game/mainwindow.h"
#include "game/qttranslations.h"
#include "game/restorebar.h"
#include "platform/encoding.h"
#include "platform/gui/control.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>
#include <random>

using namespace game;

namespace {

class RecordingAnswer : public AnswerWindow {
public:
    int locks = 0, unlocks = 0, bitmap = -1, wins = -1;
    bool visible = false, locked = false;
    void LockedAll() override {
        ++locks;
        locked = true;
    }
    void UnLockedAll() override {
        ++unlocks;
        locked = false;
    }
    void SetVisible(bool v) override { visible = v; }
    bool IsVisible() const override { return visible; }
    void SetBitMapNo(int n) override { bitmap = n; }
    void SetWins(int n) override { wins = n; }
    void Unload() override { visible = false; }
};

QByteArray Sjis(const char* utf8) {
    return QByteArray::fromStdString(*platform::Utf8ToCp932(utf8));
}

class PanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Window places are kept apart from the user's own.
        QStandardPaths::setTestModeEnabled(true);
        ASSERT_TRUE(dir.isValid());
        QDir(dir.path()).mkdir("questions");
        Write("Tessera.ini", Sjis("[TESSERA]\r\nDataPath=questions\r\nDefParam2_2=20\r\n"
                                  "DefParam2_3=x\r\n"));
        main = std::make_unique<MainWindow>();
        ASSERT_TRUE(main->Start(dir.path(), [this] { return u(rng); }));
        panel = main->panel();
        panel->SetAnswerWindows({&a1, &a2, &a2m});
    }
    void TearDown() override { QDir::setCurrent(oldDir); }

    void Write(const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    void Pick(const char* name, const QByteArray& bytes) {
        Write(QString("questions/") + name, bytes);
        panel->QuestionFilePicked(dir.filePath(QString("questions/") + name));
    }
    template <class T> T* Find(const char* name) {
        T* w = panel->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void Click(const char* name) { Find<QPushButton>(name)->click(); }
    QWidget* Shroud() { return main->shroud().widget(); }
    void ChooseGame(int index) {
        auto* combo = Find<QComboBox>("GameCombo");
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }

    QString oldDir = QDir::currentPath();
    QTemporaryDir dir;
    std::mt19937 rng{3};
    std::uniform_real_distribution<double> u{0.0, 1.0};
    std::unique_ptr<MainWindow> main;
    CtrlForm* panel = nullptr;
    RecordingAnswer a1, a2, a2m;
};

} // namespace

TEST_F(PanelTest, LoadingAFileSkipsBlankLinesAndStartsQuestionOne) {
    Pick("q.txt", Sjis("山\r\n\r\n川\r\n  \r\n\r\n田\r\n"));
    EXPECT_EQ(panel->Questions(), QStringList({QString::fromUtf8("山"), QString::fromUtf8("川"),
                                               "  ", QString::fromUtf8("田")}));
    EXPECT_EQ(Find<QLineEdit>("Text1")->text(), "q.txt");
    EXPECT_FALSE(Find<QGroupBox>("Frame1")->isHidden());
    EXPECT_EQ(Find<QLabel>("SouMonLabel")->text(), "4");
    EXPECT_EQ(Find<QLabel>("MonLabel")->text(), "1");
    EXPECT_EQ(panel->CurrentAnswer(), QString::fromUtf8("山"));
    EXPECT_TRUE(a1.visible);
    EXPECT_FALSE(a2.visible);
    if (Shroud()) {
        EXPECT_EQ(Shroud()->property("AnswerString").toString(), QString::fromUtf8("山"));
    }
}

TEST_F(PanelTest, Utf8FilesAreReadToo) {
    Pick("u.txt", QString::fromUtf8("\xEF\xBB\xBF漢\n字\n").toUtf8());
    EXPECT_EQ(panel->Questions(), QStringList({QString::fromUtf8("漢"), QString::fromUtf8("字")}));
}

TEST_F(PanelTest, RandomFileKeepsEveryAnswerOnceLowerCaseIsAQuestion) {
    Pick("r.txt", Sjis("RANDOM\r\n一\r\n二\r\n\r\n三\r\n"));
    QStringList played = panel->Questions();
    ASSERT_EQ(played.size(), 3);
    played.sort();
    QStringList expected = {QString::fromUtf8("一"), QString::fromUtf8("二"),
                            QString::fromUtf8("三")};
    expected.sort();
    EXPECT_EQ(played, expected);

    Pick("l.txt", Sjis("random\r\n一\r\n二\r\n"));
    EXPECT_EQ(panel->Questions(),
              QStringList({"random", QString::fromUtf8("一"), QString::fromUtf8("二")}));
}

TEST_F(PanelTest, FilesWithoutQuestionsShowTheErrorText) {
    Pick("q.txt", Sjis("山\r\n"));
    a2.visible = true;
    for (const auto& [name, bytes] : {std::pair<const char*, QByteArray>{"empty.txt", ""},
                                      {"blank.txt", "\r\n\r\n"},
                                      {"onlyrandom.txt", "RANDOM\r\n"}}) {
        Pick(name, bytes);
        EXPECT_EQ(Find<QLineEdit>("Text1")->text(), QString::fromUtf8("データファイル不正"))
            << name;
        EXPECT_TRUE(Find<QGroupBox>("Frame1")->isHidden()) << name;
        EXPECT_TRUE(panel->Questions().isEmpty()) << name;
        EXPECT_FALSE(a1.visible || a2.visible || a2m.visible) << name;
    }
    panel->QuestionFilePicked(dir.filePath("questions/missing.txt"));
    EXPECT_EQ(Find<QLineEdit>("Text1")->text(), QString::fromUtf8("データファイル不正"));
}

TEST_F(PanelTest, SteppingStaysWithinTheScrollBars) {
    Pick("q.txt", Sjis("一\r\n二\r\n三\r\n"));
    auto* bun = Find<QScrollBar>("BunScroll");
    auto* mon = Find<QScrollBar>("MonScroll");
    bun->setValue(2);
    Click("Bun-2");
    EXPECT_EQ(bun->value(), 1);
    bun->setValue(99);
    Click("Bun+2");
    EXPECT_EQ(bun->value(), 100);
    Click("Bun+1");
    EXPECT_EQ(bun->value(), 100);
    EXPECT_EQ(main->findChild<QLabel*>("BunkatuLabel")->text(), "100");
    Click("MonPlus1");
    Click("MonPlus1");
    Click("MonPlus1");
    EXPECT_EQ(mon->value(), 3);
    EXPECT_EQ(panel->CurrentAnswer(), QString::fromUtf8("三"));
    Click("MonMinus1");
    EXPECT_EQ(mon->value(), 2);
    // A new question starts at the first parameter 1.
    EXPECT_EQ(bun->value(), 1);
}

TEST_F(PanelTest, AfterACorrectAnswerOnlyANewStartUnlocks) {
    Pick("q.txt", Sjis("一\r\n二\r\n"));
    panel->Seikai(1);
    EXPECT_TRUE(panel->AnsFlag());
    EXPECT_TRUE(a1.locked && a2.locked);
    EXPECT_EQ(a2.bitmap, 1);
    EXPECT_EQ(a2m.bitmap, 1);
    EXPECT_EQ(a1.bitmap, -1);
    const int unlocks = a1.unlocks;
    Click("Bun+2");
    Click("Bun±0");
    EXPECT_EQ(a1.unlocks, unlocks) << "raising the parameter unlocked a solved question";
    EXPECT_TRUE(a1.locked);
    Click("MonRestart");
    EXPECT_FALSE(panel->AnsFlag());
    EXPECT_FALSE(a1.locked || a2.locked);
    EXPECT_EQ(Find<QScrollBar>("BunScroll")->value(), 1);
    EXPECT_EQ(Find<QScrollBar>("MonScroll")->value(), 1);
    if (Shroud()) {
        EXPECT_EQ(Shroud()->property("Param1").toInt(), 1);
    }

    panel->Seikai(2);
    EXPECT_EQ(a1.bitmap, 1);
}

TEST_F(PanelTest, EachGameKeepsItsSecondParameter) {
    if (!Shroud()) GTEST_SKIP() << "the effects control is not in the plug-in folder";
    auto* combo = Find<QComboBox>("GameCombo");
    auto* kai = Find<QScrollBar>("KaiScroll");
    ASSERT_EQ(combo->count(), 5);
    EXPECT_EQ(combo->itemData(1).toInt(), 20);
    EXPECT_EQ(combo->itemData(2).toInt(), 1) << "a value that is no number is clamped to 1";
    EXPECT_EQ(combo->itemData(0).toInt(), 16);
    ChooseGame(1);
    EXPECT_EQ(kai->value(), 20);
    EXPECT_EQ(Shroud()->property("GameMode").toInt(), 2);
    EXPECT_EQ(Shroud()->property("Param2").toInt(), 20);
    kai->setValue(30);
    ChooseGame(0);
    EXPECT_EQ(kai->value(), 16);
    ChooseGame(1);
    EXPECT_EQ(kai->value(), 30);
    EXPECT_EQ(Find<QLabel>("KaityouLabel2")->text(), "30");
    EXPECT_EQ(main->findChild<QLabel*>("KaityouLabel")->text(), "30");
}

TEST_F(PanelTest, PlayerChecksFollowTheQuestionList) {
    auto* two = Find<QCheckBox>("PlayCheck1");
    auto* copy = Find<QCheckBox>("PlayCheck2");
    two->setChecked(true);
    EXPECT_FALSE(a2.visible) << "no questions yet";
    two->setChecked(false);
    Pick("q.txt", Sjis("一\r\n"));
    two->setChecked(true);
    EXPECT_TRUE(a2.visible);
    copy->setChecked(true);
    EXPECT_TRUE(a2m.visible);
    two->setChecked(false);
    EXPECT_FALSE(a2.visible || a2m.visible);
}

TEST_F(PanelTest, MinimizeHidesAndRestoreShowsTheWindows) {
    main->show();
    Pick("q.txt", Sjis("一\r\n"));
    panel->setWindowState(Qt::WindowMinimized);
    QCoreApplication::processEvents();
    EXPECT_FALSE(main->isVisible());
    EXPECT_FALSE(a1.visible);
    panel->setWindowState(Qt::WindowNoState);
    QCoreApplication::processEvents();
    EXPECT_TRUE(main->isVisible());
    EXPECT_TRUE(a1.visible);
}

TEST_F(PanelTest, TheMinimizeButtonCanAlwaysBeUndoneFromThePanel) {
    main->show();
    panel->show();
    Pick("q.txt", Sjis("一\r\n"));
    a1.visible = true;
    Click("MinimizeButton");
    RestoreBar* bar = panel->restoreBar();
    EXPECT_FALSE(panel->isVisible());
    EXPECT_FALSE(main->isVisible());
    EXPECT_FALSE(a1.visible);
    ASSERT_TRUE(bar->isVisible()) << "a window to come back through stays on the screen";
    EXPECT_EQ(bar->windowTitle(), panel->windowTitle());
    bar->button()->click();
    EXPECT_FALSE(bar->isVisible());
    EXPECT_TRUE(panel->isVisible());
    EXPECT_TRUE(main->isVisible());
    EXPECT_TRUE(a1.visible);
    // Closing the bar from its window menu brings the game back as well.
    Click("MinimizeButton");
    ASSERT_TRUE(bar->isVisible());
    bar->close();
    EXPECT_TRUE(panel->isVisible());
    EXPECT_FALSE(bar->isVisible());
}

TEST_F(PanelTest, TheAnswerShowsOnThePanelOnlyWhileAsked) {
    Pick("q.txt", Sjis("山\r\n川\r\n"));
    auto* peek = Find<QPushButton>("PeekButton");
    const QString idle = peek->text();
    EXPECT_NE(idle, QStringLiteral("山"));
    QTest::mousePress(peek, Qt::LeftButton);
    EXPECT_EQ(peek->text(), QStringLiteral("山"));
    QTest::mouseRelease(peek, Qt::LeftButton);
    EXPECT_EQ(peek->text(), idle);
    Click("MonPlus1");
    QTest::mousePress(peek, Qt::LeftButton);
    EXPECT_EQ(peek->text(), QStringLiteral("川")) << "the current question's answer";
    QTest::mouseRelease(peek, Qt::LeftButton);
}

TEST_F(PanelTest, EveryCaptionFitsItsPlaceInThePanelsFont) {
    EXPECT_DOUBLE_EQ(panel->font().pointSizeF(), 14.25);
    for (QWidget* w : panel->findChildren<QWidget*>()) {
        if (w->window() != panel) continue;
        if (!qobject_cast<QLabel*>(w) && !qobject_cast<QAbstractButton*>(w)) continue;
        EXPECT_LE(w->sizeHint().width(), w->width())
            << w->objectName().toStdString() << " is cut off";
    }
    EXPECT_GE(panel->width(), QFontMetrics(QFont()).horizontalAdvance(panel->windowTitle()) + 120)
        << "room for the caption beside a title bar's icon and buttons";
}

TEST(QtDialogs, SpeakJapanese) {
    ASSERT_TRUE(InstallQtTranslations(*QCoreApplication::instance()))
        << "Qt's Japanese translations (qt6-translations-l10n) are missing";
    QColorDialog dialog;
    QStringList captions;
    for (QPushButton* b : dialog.findChildren<QPushButton*>()) captions << b->text();
    EXPECT_TRUE(captions.contains(QStringLiteral("キャンセル")))
        << captions.join(u' ').toStdString();
}

TEST_F(PanelTest, MainWindowRefusesTheWindowMenuCloseAndKeepsShroudSquare) {
    main->show();
    EXPECT_FALSE(main->close());
    EXPECT_TRUE(main->isVisible());
    if (!Shroud()) return;
    main->resize(600, 500);
    QCoreApplication::processEvents();
    const QRect r = main->ShroudGeometry();
    EXPECT_EQ(r.width(), r.height());
    EXPECT_GT(r.width(), 300);
    EXPECT_LE(r.bottom(), main->height());
}

TEST(PanelStart, StartsFromTheProgramFolderWhateverTheWorkingDirectory) {
    QTemporaryDir program, elsewhere;
    QFile ini(program.filePath("Tessera.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write(Sjis("[TESSERA]\r\nDataPath=qs\r\n"));
    ini.close();
    QDir(program.path()).mkdir("qs");
    QFile q(program.filePath("qs/a.txt"));
    ASSERT_TRUE(q.open(QIODevice::WriteOnly));
    q.close();
    const QString old = QDir::currentPath();
    QDir::setCurrent(elsewhere.path());
    MainWindow main;
    ASSERT_TRUE(main.Start(program.path(), [] { return 0.0; }));
    auto* menu = main.panel()->findChild<QToolButton*>();
    ASSERT_NE(menu, nullptr);
    QDir::setCurrent(old);
    EXPECT_TRUE(main.sysKit().programPath().startsWith(QDir(program.path()).canonicalPath()));
}

TEST_F(PanelTest, ANewEffectStartsHiddenUnlessTheSettingsKeepTheFirstParameter) {
    if (!Shroud()) GTEST_SKIP() << "the effects control is not in the plug-in folder";
    for (const auto& [keep, expected] :
         {std::pair{"", 1}, std::pair{"KeepParam1OnGameChange=1\r\n", 96}}) {
        Write("Tessera.ini", Sjis("[TESSERA]\r\nDataPath=questions\r\n") + keep);
        main = std::make_unique<MainWindow>();
        ASSERT_TRUE(main->Start(dir.path(), [this] { return u(rng); }));
        panel = main->panel();
        panel->SetAnswerWindows({&a1, &a2, &a2m});
        Pick("q.txt", Sjis("山\r\n"));
        ChooseGame(2);
        Find<QScrollBar>("BunScroll")->setValue(96);
        ChooseGame(4);
        EXPECT_EQ(Find<QScrollBar>("BunScroll")->value(), expected) << keep;
        EXPECT_EQ(Shroud()->property("Param1").toInt(), expected) << keep;
        EXPECT_EQ(Shroud()->property("GameMode").toInt(), 5);
        EXPECT_EQ(main->findChild<QLabel*>("BunkatuLabel")->text(), QString::number(expected));
    }
}

TEST_F(PanelTest, RevealShowsTheWholeCharacterUntilTheNextQuestion) {
    if (!Shroud()) GTEST_SKIP() << "the effects control is not in the plug-in folder";
    Pick("q.txt", Sjis("山\r\n川\r\n"));
    ChooseGame(1);
    Click("RevealButton");
    EXPECT_TRUE(panel->Revealed());
    // One tile of the scattered tiles game is the character in one piece.
    EXPECT_EQ(Shroud()->property("GameMode").toInt(), 5);
    EXPECT_EQ(Shroud()->property("Param2").toInt(), 1);
    EXPECT_TRUE(main->findChild<QLabel*>("BunkatuLabel")->isHidden());
    Click("MonPlus1");
    EXPECT_FALSE(panel->Revealed());
    EXPECT_EQ(Shroud()->property("GameMode").toInt(), 2) << "the chosen effect again";
    EXPECT_EQ(Shroud()->property("Param2").toInt(), Find<QScrollBar>("KaiScroll")->value());
    EXPECT_EQ(Shroud()->property("Param1").toInt(), 1);
    EXPECT_FALSE(main->findChild<QLabel*>("BunkatuLabel")->isHidden());
    // A right answer reveals by itself only while the check box is on.
    for (const bool automatic : {true, false}) {
        Click("MonRestart");
        Find<QCheckBox>("AutoRevealCheck")->setChecked(automatic);
        panel->Seikai(1);
        EXPECT_EQ(panel->Revealed(), automatic);
    }
}

TEST_F(PanelTest, WinsAreCountedPerPlayerAndReset) {
    Pick("q.txt", Sjis("一\r\n二\r\n"));
    for (const int player : {1, 2, 1}) panel->Seikai(player);
    EXPECT_EQ(panel->Wins(1), 2);
    EXPECT_EQ(panel->Wins(2), 1);
    EXPECT_EQ(a1.wins, 2);
    EXPECT_EQ(a2.wins, 1);
    EXPECT_TRUE(Find<QLabel>("WinsLabel")->text().contains("1P 2"));
    Click("ResetWinsButton");
    EXPECT_EQ(panel->Wins(1) + panel->Wins(2), 0);
    EXPECT_EQ(a1.wins, 0);
    EXPECT_EQ(a2.wins, 0);
}

TEST_F(PanelTest, PlusOneAtTheLastQuestionSaysTheListIsFinished) {
    Pick("q.txt", Sjis("一\r\n二\r\n"));
    Click("MonPlus1");
    panel->Seikai(1);
    const int unlocks = a1.unlocks;
    Click("MonPlus1");
    EXPECT_TRUE(panel->Notice().contains(QString::fromUtf8("終わり")));
    EXPECT_EQ(Find<QScrollBar>("MonScroll")->value(), 2);
    EXPECT_TRUE(panel->AnsFlag()) << "the last question is not played again";
    EXPECT_EQ(a1.unlocks, unlocks);
    Click("MonMinus1");
    EXPECT_TRUE(panel->Notice().isEmpty());
}

TEST_F(PanelTest, SoundsThatCannotPlayAreReportedOnce) {
    Pick("q.txt", Sjis("一\r\n"));
    panel->SoundFailed();
    EXPECT_TRUE(panel->Notice().contains(QString::fromUtf8("効果音")));
    Click("MonPlus1");
    const QString later = panel->Notice();
    panel->SoundFailed();
    EXPECT_EQ(panel->Notice(), later) << "not repeated for every sound";
}

TEST_F(PanelTest, EveryPanelControlHasATooltipAndMainHidesAnUnusedParameter) {
    for (QWidget* w : panel->findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QScrollBar*>(w) ||
                             qobject_cast<QComboBox*>(w) || qobject_cast<QLineEdit*>(w) ||
                             w->inherits("game::ColorSwatch");
        if (!control || w->window() != panel || w->parentWidget()->inherits("QComboBox")) continue;
        EXPECT_FALSE(w->toolTip().isEmpty())
            << w->metaObject()->className() << " " << w->objectName().toStdString();
    }
    if (!Shroud()) return;
    main->show();
    for (const auto& [game, shown] : {std::pair{0, false}, std::pair{1, true}}) {
        ChooseGame(game);
        EXPECT_EQ(main->findChild<QLabel*>("KaityouLabel")->isVisible(), shown) << game;
    }
}
