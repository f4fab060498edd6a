// The answer windows over the real handwriting box and picture bank, with a stand-in
// recognition service whose answers the tests choose.
#include "answer_helpers.h"

#include "game/answers/answerlayout.h"
#include "game/answers/pebblebutton.h"
#include "game/commonmodule.h"
#include "platform/loader.h"
#include "tessera/records.h"

#include <QLabel>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <memory>

using namespace answers;
using answertest::FakeHost;
using game::AnswerWindow;

namespace {

using FakeSetTableFn = void (*)(const CR_RESULT*, int32_t, int32_t);

constexpr uint32_t kHito = 0x906C; // 人
constexpr uint32_t kYama = 0x8E52; // 山

class AnswerForms : public ::testing::Test {
protected:
    void SetUp() override {
        if (qEnvironmentVariableIsSet("ANSWERS_REAL_SERVICE"))
            GTEST_SKIP() << "these cases need the stand-in recognition service";
        service_ = platform::LoadLibrary("veltarec.dll");
        setTable_ =
            service_ ? platform::GetProc<FakeSetTableFn>(service_, "FakeSetTable") : nullptr;
        if (!setTable_)
            GTEST_SKIP() << "the stand-in recognition service is not on the library path";
        host_.settings.insert(QStringLiteral("Series1"), QStringLiteral("3"));
        mirror_ = std::make_unique<AnswerMirror>(&host_);
        one_ = std::make_unique<AnswerForm>(&host_, 1);
        two_ = std::make_unique<AnswerForm>(&host_, 2, mirror_.get());
        host_.one = one_.get();
        host_.two = two_.get();
        ASSERT_TRUE(one_->box().present()) << "the handwriting box plug-in did not load";
        ASSERT_TRUE(one_->larder().present()) << "the picture bank plug-in did not load";
        for (QWidget* w : {static_cast<QWidget*>(one_.get()), static_cast<QWidget*>(two_.get()),
                           static_cast<QWidget*>(mirror_.get())})
            w->show();
        candidates(kHito);
    }
    void TearDown() override {
        if (setTable_) setTable_(nullptr, 0, 0);
        for (AnswerWindow* w :
             {static_cast<AnswerWindow*>(one_.get()), static_cast<AnswerWindow*>(two_.get()),
              static_cast<AnswerWindow*>(mirror_.get())})
            if (w) w->Unload();
        if (service_) platform::FreeLibrary(service_);
    }

    // The service's next answer: code first, or nothing at all for 0.
    void candidates(uint32_t code) {
        const CR_RESULT list[2] = {{1, 100, code}, {2, 200, kYama}};
        setTable_(list, code ? 2 : 0, 0);
    }

    static void write(const AnswerForm& form) {
        answertest::MouseStroke(form.box().widget(), {{20, 20}, {40, 40}, {60, 60}, {80, 70}});
    }
    static void press(PebbleButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    static void writeAndRecognize(const AnswerForm& form) {
        write(form);
        press(form.recButton());
    }
    static bool locked(const AnswerForm& form) {
        return form.box().readOnly() && !form.recButton()->isEnabled() &&
               !form.clearButton()->isEnabled() && !form.chkButton()->isEnabled();
    }
    static bool open(const AnswerForm& form) {
        return !form.box().readOnly() && form.recButton()->isEnabled() &&
               form.clearButton()->isEnabled() && form.chkButton()->isEnabled();
    }

    void* service_ = nullptr;
    FakeSetTableFn setTable_ = nullptr;
    FakeHost host_;
    std::unique_ptr<AnswerMirror> mirror_;
    std::unique_ptr<AnswerForm> one_, two_;
};

} // namespace

TEST_F(AnswerForms, LoadTakesCaptionsSeriesAndFont) {
    EXPECT_EQ(one_->windowTitle(), QStringLiteral("Answer1"));
    EXPECT_EQ(two_->windowTitle(), QStringLiteral("Answer2"));
    EXPECT_EQ(mirror_->windowTitle(), QStringLiteral("Answer2ミラー"));
    EXPECT_EQ(one_->recButton()->text(), QStringLiteral("にんしき"));
    EXPECT_EQ(one_->clearButton()->text(), QStringLiteral("けす"));
    EXPECT_EQ(one_->chkButton()->text(), QStringLiteral("こたえあわせ"));
    // Series1 from the settings, Series2 missing: its default 1 for player 2 and mirror.
    EXPECT_EQ(one_->larder().seriesNo(), 3);
    EXPECT_EQ(two_->larder().seriesNo(), 1);
    EXPECT_EQ(mirror_->larder().seriesNo(), 1);
    EXPECT_EQ(one_->box().fontName(), host_.font);
    EXPECT_EQ(mirror_->box().fontName(), host_.font);
    EXPECT_TRUE(mirror_->box().readOnly());
    EXPECT_FALSE(two_->box().readOnly());
    EXPECT_EQ(one_->larder().bitMapNo(), kPictureNeutral);
    EXPECT_EQ(one_->box().widget()->property("SelectNum").toInt(), 5);
    EXPECT_FALSE(one_->box().widget()->property("chKana").toBool());
    EXPECT_TRUE(one_->box().widget()->property("chKanji2").toBool());
}

TEST_F(AnswerForms, SeriesTextsAreReadAsThePanelReadsNumbers) {
    // The leading numeric part, rounded as the panel rounds its per-game defaults.
    host_.settings.insert(QStringLiteral("Series1"), QStringLiteral("1.6 (blue)"));
    host_.settings.insert(QStringLiteral("Series2"), QStringLiteral("none"));
    AnswerMirror mirror(&host_);
    AnswerForm one(&host_, 1), two(&host_, 2, &mirror);
    one.show();
    two.show();
    mirror.show();
    EXPECT_EQ(one.larder().seriesNo(), game::LeadingNumber(QStringLiteral("1.6")));
    EXPECT_EQ(one.larder().seriesNo(), 2);
    EXPECT_EQ(two.larder().seriesNo(), 0);
    EXPECT_EQ(mirror.larder().seriesNo(), 0);
    for (AnswerWindow* w : {static_cast<AnswerWindow*>(&one), static_cast<AnswerWindow*>(&two),
                            static_cast<AnswerWindow*>(&mirror)})
        w->Unload();
}

TEST_F(AnswerForms, RightAnswerShowsPicture0PlaysWave0AndLocksBoth) {
    host_.answer = QStringLiteral("人");
    QSignalSpy waves(one_.get(), &AnswerForm::waveRequested);
    writeAndRecognize(*one_);
    ASSERT_TRUE(one_->box().recog());
    ASSERT_EQ(one_->box().result(), QStringLiteral("人"));
    press(one_->chkButton());
    EXPECT_EQ(one_->larder().bitMapNo(), kPictureCorrect);
    ASSERT_EQ(waves.count(), 1);
    EXPECT_EQ(waves.at(0).at(0).toInt(), 3);
    EXPECT_EQ(waves.at(0).at(1).toInt(), 0);
    EXPECT_EQ(host_.seikai, std::vector<int>{1});
    EXPECT_TRUE(locked(*one_));
    EXPECT_TRUE(locked(*two_));
    EXPECT_EQ(two_->larder().bitMapNo(), kPictureWrong);
    EXPECT_EQ(mirror_->larder().bitMapNo(), kPictureWrong);
    // Locked: the buttons no longer act.
    press(one_->clearButton());
    EXPECT_TRUE(one_->box().recog());
    EXPECT_EQ(one_->larder().bitMapNo(), kPictureCorrect);
}

TEST_F(AnswerForms, PlayerTwoWinsAndTheMirrorShowsIt) {
    host_.answer = QStringLiteral("人");
    QSignalSpy waves(two_.get(), &AnswerForm::waveRequested);
    writeAndRecognize(*two_);
    press(two_->chkButton());
    EXPECT_EQ(two_->larder().bitMapNo(), kPictureCorrect);
    EXPECT_EQ(mirror_->larder().bitMapNo(), kPictureCorrect);
    ASSERT_EQ(waves.count(), 1);
    EXPECT_EQ(waves.at(0).at(0).toInt(), 1);
    EXPECT_EQ(waves.at(0).at(1).toInt(), 0);
    EXPECT_EQ(host_.seikai, std::vector<int>{2});
    EXPECT_EQ(one_->larder().bitMapNo(), kPictureWrong);
    EXPECT_TRUE(locked(*one_));
}

TEST_F(AnswerForms, WrongAnswerShowsPicture1AndANewResultReturnsTo2) {
    host_.answer = QStringLiteral("山");
    QSignalSpy waves(one_.get(), &AnswerForm::waveRequested);
    writeAndRecognize(*one_);
    press(one_->chkButton());
    EXPECT_EQ(one_->larder().bitMapNo(), kPictureWrong);
    ASSERT_EQ(waves.count(), 1);
    EXPECT_EQ(waves.at(0).at(1).toInt(), 1);
    EXPECT_TRUE(host_.seikai.empty());
    EXPECT_TRUE(open(*one_)) << "a wrong answer leaves the window open for another try";
    // Erase and write again: the new result brings the neutral picture back.
    press(one_->clearButton());
    EXPECT_FALSE(one_->box().recog());
    one_->SetBitMapNo(kPictureWrong);
    candidates(kYama);
    writeAndRecognize(*one_);
    EXPECT_EQ(one_->larder().bitMapNo(), kPictureNeutral);
    press(one_->chkButton());
    EXPECT_EQ(one_->larder().bitMapNo(), kPictureCorrect);
    EXPECT_EQ(host_.seikai, std::vector<int>{1});
}

TEST_F(AnswerForms, StepsThroughCandidatesReturnThePictureTo2) {
    host_.answer = QStringLiteral("山");
    writeAndRecognize(*two_);
    press(two_->chkButton());
    ASSERT_EQ(two_->larder().bitMapNo(), kPictureWrong);
    ASSERT_EQ(mirror_->larder().bitMapNo(), kPictureWrong);
    // A tap on the recognized box shows the next candidate.
    QTest::mouseClick(two_->box().widget(), Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));
    ASSERT_EQ(two_->box().result(), QStringLiteral("山"));
    EXPECT_EQ(two_->larder().bitMapNo(), kPictureNeutral);
    EXPECT_EQ(mirror_->larder().bitMapNo(), kPictureNeutral);
    EXPECT_EQ(mirror_->box().result(), QStringLiteral("山"));
}

TEST_F(AnswerForms, AnswersWithExtraCharactersNeverMatch) {
    for (const QString& answer : {QStringLiteral("人 "), QStringLiteral(" 人"),
                                  QStringLiteral("人人"), QStringLiteral("ひと"), QString()}) {
        one_->UnLockedAll();
        host_.answer = answer;
        writeAndRecognize(*one_);
        ASSERT_TRUE(one_->box().recog());
        press(one_->chkButton());
        EXPECT_EQ(one_->larder().bitMapNo(), kPictureWrong) << answer.toStdString();
    }
    EXPECT_TRUE(host_.seikai.empty());
}

TEST_F(AnswerForms, NothingRecognizedClearsTheInkAndJudgesNothing) {
    host_.answer = QStringLiteral("人");
    QSignalSpy waves(one_.get(), &AnswerForm::waveRequested);
    press(one_->chkButton());
    EXPECT_EQ(waves.count(), 0) << "an empty box is not judged";
    ASSERT_TRUE(one_->noticeLabel()->isVisible()) << "but the player is told what to do";
    EXPECT_TRUE(one_->noticeLabel()->text().contains(QStringLiteral("にんしき")));
    candidates(0);
    write(*two_);
    ASSERT_TRUE(two_->box().recogOk());
    ASSERT_TRUE(mirror_->box().recogOk());
    press(two_->recButton());
    EXPECT_FALSE(two_->box().recog());
    EXPECT_FALSE(two_->box().recogOk()) << "unrecognized ink is cleared";
    EXPECT_FALSE(mirror_->box().recogOk()) << "and so is the mirror's copy";
    press(two_->chkButton());
    EXPECT_EQ(two_->larder().bitMapNo(), kPictureNeutral);
    EXPECT_TRUE(host_.seikai.empty());
}

TEST_F(AnswerForms, NothingFoundSaysSoForAMomentOverTheBox) {
    candidates(0);
    write(*one_);
    press(one_->recButton());
    QLabel* notice = one_->noticeLabel();
    ASSERT_TRUE(notice->isVisible()) << "the window says that nothing was recognized";
    EXPECT_TRUE(notice->text().contains(QStringLiteral("よめなかった")));
    EXPECT_TRUE(one_->box().widget()->geometry().contains(notice->geometry()))
        << "the notice stands in the box";
    EXPECT_FALSE(one_->box().recogOk()) << "the unrecognized ink still goes";
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return !notice->isVisible(); }, AnswerForm::kNoticeMilliseconds * 3))
        << "the notice goes by itself";
    // With no ink at all, the window asks for writing first; a new stroke ends the notice.
    press(one_->recButton());
    ASSERT_TRUE(notice->isVisible());
    EXPECT_TRUE(notice->text().contains(QStringLiteral("かいてね")));
    EXPECT_FALSE(notice->text().contains(QStringLiteral("よめなかった")));
    write(*one_);
    EXPECT_FALSE(notice->isVisible());
    EXPECT_TRUE(one_->box().recogOk()) << "the notice does not swallow the pen";
}

TEST_F(AnswerForms, TapHintShowsWhileAResultCanBeStepped) {
    QLabel* hint = one_->hintLabel();
    EXPECT_FALSE(hint->isVisible());
    writeAndRecognize(*one_);
    ASSERT_TRUE(one_->box().recog());
    EXPECT_TRUE(hint->isVisible());
    const QRect box = one_->box().widget()->geometry();
    EXPECT_GE(hint->geometry().top(), box.bottom()) << "under the box";
    EXPECT_LE(hint->geometry().bottom(), one_->recButton()->geometry().top());
    press(one_->clearButton());
    EXPECT_FALSE(hint->isVisible()) << "no result, nothing to tap";
    EXPECT_EQ(hint->font().pixelSize(), one_->recButton()->font().pixelSize())
        << "in the buttons' type size";
    EXPECT_LE(hint->sizeHint().width(), hint->width()) << "the hint fits the smallest window";
    const QString tap = hint->text();
    writeAndRecognize(*one_);
    one_->LockedAll();
    ASSERT_TRUE(hint->isVisible()) << "a solved question says what comes next";
    EXPECT_NE(hint->text(), tap);
    EXPECT_LE(hint->sizeHint().width(), hint->width());
    one_->UnLockedAll();
    EXPECT_FALSE(hint->isVisible());
}

TEST_F(AnswerForms, InkIsDrawnAtLeastFourPixelsWide) {
    QWidget* box = one_->box().widget();
    EXPECT_GE(box->property("LineWidth").toInt(), 4);
    answertest::MouseStroke(box, {{20, 60}, {60, 60}, {100, 60}, {140, 60}});
    const QImage shot = box->grab().toImage();
    // Blue ink on pale yellow paper: a pixel mostly of ink has little red left.
    int inked = 0;
    for (int y = 40; y < 80; ++y) inked += qRed(shot.pixel(80, y)) < 100;
    EXPECT_GE(inked, 4) << "pixels of ink across the stroke";
}

TEST_F(AnswerForms, EachPlayerWindowShowsItsWinCount) {
    for (const int wins : {0, 3, 12}) {
        one_->SetWins(wins);
        EXPECT_TRUE(one_->winsLabel()->text().contains(QString::number(wins)));
        EXPECT_LE(one_->winsLabel()->sizeHint().width(), one_->winsLabel()->width());
    }
    EXPECT_TRUE(one_->winsLabel()->isVisible());
    EXPECT_FALSE(one_->winsLabel()->geometry().intersects(one_->chkButton()->geometry()));
}

TEST_F(AnswerForms, ButtonsDrawAFrameAndLookDisabledWhenLocked) {
    PebbleButton* b = one_->recButton();
    const QImage enabled = b->grab().toImage();
    const QRgb face = enabled.pixel(enabled.width() / 2, enabled.height() - 6);
    const QRgb edge = enabled.pixel(1, enabled.height() / 2);
    const QRgb window = one_->grab().toImage().pixel(2, 2);
    EXPECT_NE(edge, face) << "the button has a frame";
    EXPECT_NE(face, window) << "its face stands out from the window";
    one_->LockedAll();
    const QImage disabled = b->grab().toImage();
    EXPECT_NE(disabled, enabled) << "a locked button looks different";
    EXPECT_GE(b->height(), 40);
}

TEST_F(AnswerForms, MirrorFollowsStrokesClearsAndResults) {
    EXPECT_FALSE(mirror_->box().recogOk());
    write(*two_);
    EXPECT_TRUE(mirror_->box().recogOk()) << "the stroke was copied to the mirror";
    // The mirror takes no input of its own.
    mirror_->box().clear();
    answertest::MouseStroke(mirror_->box().widget(), {{10, 10}, {50, 50}});
    EXPECT_FALSE(mirror_->box().recogOk());
    write(*two_);
    ASSERT_TRUE(mirror_->box().recogOk());
    // A right click clears player 2's box and the mirror's.
    QTest::mouseClick(two_->box().widget(), Qt::RightButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_FALSE(two_->box().recogOk());
    EXPECT_FALSE(mirror_->box().recogOk());
    // The recognized character is shown in the mirror.
    writeAndRecognize(*two_);
    EXPECT_TRUE(mirror_->box().recog());
    EXPECT_EQ(mirror_->box().result(), QStringLiteral("人"));
    // Player 1's strokes never reach the mirror.
    mirror_->box().clear();
    write(*one_);
    EXPECT_FALSE(mirror_->box().recogOk());
}

TEST_F(AnswerForms, UnLockedAllReopensAfterACorrectAnswer) {
    host_.answer = QStringLiteral("人");
    writeAndRecognize(*two_);
    press(two_->chkButton());
    ASSERT_TRUE(locked(*two_));
    EXPECT_FALSE(two_->clearButton()->isEnabled());
    // A locked box takes no strokes, so the mirror gets none either.
    mirror_->box().clear();
    write(*two_);
    EXPECT_FALSE(mirror_->box().recogOk());
    one_->UnLockedAll();
    two_->UnLockedAll();
    EXPECT_TRUE(open(*one_));
    EXPECT_TRUE(open(*two_));
    EXPECT_EQ(two_->larder().bitMapNo(), kPictureNeutral);
    EXPECT_EQ(mirror_->larder().bitMapNo(), kPictureNeutral);
    EXPECT_EQ(one_->larder().bitMapNo(), kPictureNeutral);
    EXPECT_FALSE(two_->box().recog());
    EXPECT_TRUE(mirror_->box().readOnly()) << "the mirror stays read-only";
}

TEST_F(AnswerForms, WindowMenuCloseIsRefusedUntilUnloaded) {
    EXPECT_FALSE(one_->close());
    EXPECT_TRUE(one_->isVisible());
    EXPECT_FALSE(mirror_->close());
    EXPECT_TRUE(mirror_->isVisible());
    one_->Unload();
    EXPECT_FALSE(one_->isVisible());
    mirror_->Unload();
    EXPECT_FALSE(mirror_->isVisible());
}

TEST_F(AnswerForms, ResizePlacesControlsAndKeepsTheMinimum) {
    one_->resize(300, 520);
    const AnswerLayout l = ComputeLayout(300, 520, false);
    EXPECT_EQ(one_->larder().widget()->geometry(), l.larder);
    EXPECT_EQ(one_->box().widget()->geometry(), l.quillbox);
    EXPECT_EQ(one_->recButton()->geometry(), l.recButton);
    EXPECT_EQ(one_->clearButton()->geometry(), l.clearButton);
    EXPECT_EQ(one_->chkButton()->geometry(), l.chkButton);
    one_->resize(100, 100);
    EXPECT_GE(one_->frameGeometry().width(), kMinOuterWidth);
    EXPECT_GE(one_->frameGeometry().height(), kMinOuterHeight);
    // Player 2's window sizes its mirror: as wide, 105 lower.
    two_->resize(260, 480);
    EXPECT_EQ(mirror_->frameGeometry().width(), two_->frameGeometry().width());
    EXPECT_EQ(mirror_->frameGeometry().height(), two_->frameGeometry().height() - 105);
    const AnswerLayout m = ComputeLayout(mirror_->width(), mirror_->height(), true);
    EXPECT_EQ(mirror_->box().widget()->geometry(), m.quillbox);
}
