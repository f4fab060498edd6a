// The handwriting box as a widget, against the stand-in recognition service that the
// test environment puts first on the library path.
#include "box_helpers.h"
#include "fake_client.h"

#include "controls/quillbox/quillboxctrl.h"
#include "platform/encoding.h"

#include <QBuffer>
#include <QDataStream>
#include <QMetaProperty>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

using boxtest::MouseStroke;
using boxtest::PenStroke;
using quillbox::QuillboxCtrl;

namespace {

constexpr uint32_t kA = 0x8260;    // Ａ
constexpr uint32_t kB = 0x8261;    // Ｂ
constexpr uint32_t kHito = 0x906C; // 人
constexpr uint32_t kIri = 0x93FC;  // 入
constexpr uint32_t kXtu = 0x82C1;  // っ
constexpr uint32_t kKi = 0x82AB;   // き

struct Pt {
    int x, y, attr;
    bool operator==(const Pt&) const = default;
};

std::vector<Pt> Points(const QuillboxCtrl& box) {
    std::vector<Pt> out;
    for (int i = 0; i < box.ink().count(); ++i)
        out.push_back({box.ink().at(i).x, box.ink().at(i).y, box.ink().at(i).attr});
    return out;
}

QColor Blue() {
    return QColor(0, 0, 255);
}

// Writes a log of the box's events, in the order they are raised.
struct EventLog {
    QStringList events;
    explicit EventLog(QuillboxCtrl* box) {
        QObject::connect(box, &QuillboxCtrl::LButtonDown, [this] { events << "LButtonDown"; });
        QObject::connect(box, &QuillboxCtrl::LButtonRelease,
                         [this] { events << "LButtonRelease"; });
        QObject::connect(box, &QuillboxCtrl::RButtonDown, [this] { events << "RButtonDown"; });
        QObject::connect(box, &QuillboxCtrl::RecogChange, [this] { events << "RecogChange"; });
        QObject::connect(box, &QuillboxCtrl::RecogLButtonDown,
                         [this] { events << "RecogLButtonDown"; });
    }
    QStringList take() { return std::exchange(events, {}); }
};

class Box : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fake_.ok()) << "the stand-in service is not first on the library path";
        box_.reset(QuillboxCtrl::create());
        ASSERT_NE(box_, nullptr);
        box_->resize(200, 160);
        box_->show();
    }
    QuillboxCtrl* box() { return box_.get(); }
    // A stroke long enough for any minimum length used here.
    void writeStroke(int y = 40) { MouseStroke(box(), {{20, y}, {60, y}, {100, y + 10}}); }
    // Writes, then recognizes with the given candidates.
    void recognizeAs(std::initializer_list<std::pair<uint32_t, int32_t>> cands) {
        writeStroke();
        fake_.answer(cands);
        box()->Recognize();
    }
    static QString Sjis(std::initializer_list<uint32_t> codes) {
        std::string bytes;
        for (uint32_t c : codes) bytes += quillbox::CandidateText(c);
        auto utf8 = platform::Cp932ToUtf8(bytes);
        return QString::fromStdString(utf8.value_or(""));
    }

    FakeService fake_;
    std::unique_ptr<QuillboxCtrl> box_;
};

} // namespace

TEST_F(Box, DispatchInterfaceAndDefaults) {
    const QMetaObject* mo = box()->metaObject();
    EXPECT_STREQ(mo->classInfo(mo->indexOfClassInfo("ProgID")).value(), "QUILLBOX.QuillboxCtrl.1");
    // Properties are declared in dispatch-identifier order.
    const char* names[] = {
        "FontName",  "LineColor",       "LineWidth",    "MinLineLength", "RButtonClear", "ReadOnly",
        "Recog",     "RecogOk",         "Result",       "ResultExCh",    "ResultExSc",   "SCharPos",
        "SCharSize", "SavePatternData", "SelectNum",    "StringColor",   "StringWidth",  "TimerOn",
        "TimermSec", "chAlphaLower",    "chAlphaUpper", "chHira",        "chKana",       "chKanji1",
        "chKanji2",  "chNum",           "chOther",      "chPunc",        "chSmallAO"};
    for (int i = 0; i < 29; ++i) {
        const int index = mo->indexOfProperty(names[i]);
        ASSERT_GE(index, 0) << names[i];
        const QByteArray key = QByteArray("DISPID:") + names[i];
        EXPECT_EQ(QByteArray(mo->classInfo(mo->indexOfClassInfo(key)).value()).toInt(), i + 1);
        if (i > 0) {
            EXPECT_GT(index, mo->indexOfProperty(names[i - 1])) << names[i];
        }
    }
    EXPECT_EQ(box()->property("FontName").toString(), QString::fromUtf8("ＭＳ 明朝"));
    EXPECT_EQ(box()->property("LineColor").toUInt(), 16711680u);
    EXPECT_EQ(box()->property("LineWidth").toInt(), 2);
    EXPECT_EQ(box()->property("MinLineLength").toFloat(), 0.0f);
    EXPECT_TRUE(box()->property("RButtonClear").toBool());
    EXPECT_FALSE(box()->property("ReadOnly").toBool());
    EXPECT_FALSE(box()->property("Recog").toBool());
    EXPECT_FALSE(box()->property("RecogOk").toBool());
    EXPECT_EQ(box()->property("Result").toString(), "");
    EXPECT_TRUE(box()->property("SCharPos").toBool());
    EXPECT_EQ(box()->property("SCharSize").toFloat(), 1.0f);
    EXPECT_EQ(box()->property("SavePatternData").toLongLong(), 0);
    EXPECT_EQ(box()->property("SelectNum").toInt(), 3);
    EXPECT_EQ(box()->property("StringColor").toUInt(), 65280u);
    EXPECT_EQ(box()->property("StringWidth").toInt(), 3);
    EXPECT_FALSE(box()->property("TimerOn").toBool());
    EXPECT_EQ(box()->property("TimermSec").toInt(), 500);
    for (int i = 19; i < 29; ++i) EXPECT_TRUE(box()->property(names[i]).toBool()) << names[i];
    EXPECT_EQ(box()->categoryMask(), 511u);
    EXPECT_NE(box()->property("hWnd").toULongLong(), 0);
    // Methods and events are reachable by name.
    for (const char* m :
         {"Refresh()", "AddResult()", "Clear()", "GetCR()", "LoadPattern()",
          "LoadPatternInDirect(qlonglong)", "Recognize()", "RecognizeEx()", "SavePattern()",
          "SetCR(qlonglong)", "AboutBox()", "LButtonDown()", "LButtonRelease()", "RButtonDown()",
          "RecogChange()", "RecogLButtonDown()", "TimerCount(int)"})
        EXPECT_GE(mo->indexOfMethod(m), 0) << m;
}

TEST_F(Box, PropertiesAreClamped) {
    struct Case {
        const char* name;
        QVariant set, expected;
    } cases[] = {
        {"LineWidth", 0, 1},
        {"LineWidth", -7, 1},
        {"LineWidth", 9, 9},
        {"MinLineLength", -3.5f, 0.0f},
        {"MinLineLength", std::numeric_limits<float>::quiet_NaN(), 0.0f},
        {"MinLineLength", 2.5f, 2.5f},
        {"SCharSize", 0.05f, 0.1f},
        {"SCharSize", std::numeric_limits<float>::quiet_NaN(), 0.1f},
        {"SCharSize", 0.6f, 0.6f},
        {"SelectNum", -1, 0},
        {"SelectNum", 21, 20},
        {"SelectNum", 20, 20},
        {"StringWidth", 0, 1},
        {"StringWidth", 4, 4},
        {"TimermSec", -10, 0},
        {"TimermSec", 250, 250},
    };
    for (const Case& c : cases) {
        box()->setModified(false);
        ASSERT_TRUE(box()->setProperty(c.name, c.set)) << c.name;
        EXPECT_EQ(box()->property(c.name), c.expected)
            << c.name << " set to " << c.set.toString().toStdString();
        EXPECT_TRUE(box()->isModified()) << c.name;
    }
}

TEST_F(Box, MouseStrokeIsStoredAndDrawn) {
    EventLog log(box());
    MouseStroke(box(), {{10, 10}, {50, 10}, {50, 50}});
    EXPECT_EQ(Points(*box()), (std::vector<Pt>{{10, 10, 2}, {50, 10, 0}, {50, 50, 4}}));
    EXPECT_TRUE(box()->recogOk());
    EXPECT_EQ(log.take(), (QStringList{"LButtonDown", "LButtonRelease"}));
    EXPECT_EQ(box()->inkImage().pixelColor(30, 10), Blue());
    EXPECT_EQ(box()->inkImage().pixelColor(50, 30), Blue());
    EXPECT_EQ(box()->inkImage().pixelColor(30, 30), Qt::white);
    // The screen shows the ink image.
    EXPECT_EQ(box()->grab().toImage().pixelColor(30, 10), Blue());
}

TEST_F(Box, PenMessagesWriteLikeTheMouse) {
    EventLog log(box());
    PenStroke(box(), {{10, 20}, {40, 20}, {40, 60}});
    EXPECT_EQ(Points(*box()), (std::vector<Pt>{{10, 20, 2}, {40, 20, 0}, {40, 60, 4}}));
    EXPECT_EQ(log.take(), (QStringList{"LButtonDown", "LButtonRelease"}));
    EXPECT_EQ(box()->inkImage().pixelColor(25, 20), Blue());
    EXPECT_EQ(boxtest::Message(box(), QuillboxCtrl::kPenIgnored), 0) << "accepted and ignored";
    EXPECT_EQ(boxtest::Message(box(), QuillboxCtrl::kPenMove, {90, 90}), 0);
    EXPECT_EQ(box()->ink().count(), 3) << "a move without a pen-down stores nothing";
    // Points outside the box arrive as negative words and are clamped.
    PenStroke(box(), {{100, 100}, {-20, 100}, {-20, 300}});
    EXPECT_EQ(Points(*box()).back(), (Pt{0, 160, 4}));
}

TEST_F(Box, TabletStrokesAreInk) {
    boxtest::TabletStroke(box(), {{30, 30}, {80, 30}, {80, 90}});
    EXPECT_EQ(Points(*box()), (std::vector<Pt>{{30, 30, 2}, {80, 30, 0}, {80, 90, 4}}));
}

TEST_F(Box, AStrokeIsContinuedOnlyByItsOwnSource) {
    boxtest::Message(box(), QuillboxCtrl::kPenDown, {10, 10});
    // The mouse cannot start, continue or end the pen's stroke.
    QTest::mousePress(box(), Qt::LeftButton, Qt::NoModifier, {100, 100});
    boxtest::Mouse(box(), QEvent::MouseMove, {120, 120}, Qt::NoButton, Qt::LeftButton);
    QTest::mouseRelease(box(), Qt::LeftButton, Qt::NoModifier, {120, 120});
    boxtest::Message(box(), QuillboxCtrl::kPenMove, {30, 10});
    boxtest::Message(box(), QuillboxCtrl::kPenUp, {30, 10});
    EXPECT_EQ(Points(*box()), (std::vector<Pt>{{10, 10, 2}, {30, 10, 4}}));
}

TEST_F(Box, AClickWithoutMovementStoresNothing) {
    EventLog log(box());
    QTest::mouseClick(box(), Qt::LeftButton, Qt::NoModifier, {50, 50});
    EXPECT_EQ(box()->ink().count(), 0);
    EXPECT_FALSE(box()->recogOk());
    EXPECT_EQ(log.take(), (QStringList{"LButtonDown"}));
    boxtest::Message(box(), QuillboxCtrl::kPenDown, {50, 50});
    boxtest::Message(box(), QuillboxCtrl::kPenUp, {50, 50});
    EXPECT_EQ(box()->ink().count(), 0);
    EXPECT_EQ(log.take(), (QStringList{"LButtonDown"}));
}

TEST_F(Box, MinLineLengthDropsAShortStrokeButLeavesItsLineUntilRedrawn) {
    box()->setMinLineLength(10);
    EventLog log(box());
    MouseStroke(box(), {{100, 100}, {103, 100}, {103, 104}}); // 3 right, 4 down: length 5
    EXPECT_EQ(box()->ink().count(), 0);
    EXPECT_FALSE(box()->recogOk()) << "nothing else is stored";
    EXPECT_EQ(log.take(), (QStringList{"LButtonDown"}));
    EXPECT_EQ(box()->inkImage().pixelColor(103, 102), Blue()) << "its line is still visible";

    writeStroke(20);
    EXPECT_TRUE(box()->recogOk());
    MouseStroke(box(), {{150, 100}, {153, 100}, {153, 104}});
    EXPECT_EQ(box()->ink().count(), 3) << "only the long stroke";
    EXPECT_TRUE(box()->recogOk()) << "other ink is stored";
    EXPECT_EQ(box()->inkImage().pixelColor(153, 102), Blue());
    box()->setLineColor(0x0000FF); // red: redraws from the stored points
    EXPECT_EQ(box()->inkImage().pixelColor(153, 102), Qt::white) << "gone after the redraw";
    EXPECT_EQ(box()->inkImage().pixelColor(40, 20), QColor(255, 0, 0));
}

TEST_F(Box, The601stPointGrowsTheInkWithoutLosingAny) {
    std::vector<QPoint> pts;
    for (int i = 0; i < 700; ++i) pts.push_back({10 + (i % 2) * 100, 10 + i / 10});
    MouseStroke(box(), pts);
    ASSERT_EQ(box()->ink().count(), 700);
    EXPECT_EQ(box()->ink().capacity(), 800);
    for (int i = 0; i < 700; ++i) {
        ASSERT_EQ(box()->ink().at(i).x, pts[i].x()) << i;
        ASSERT_EQ(box()->ink().at(i).y, pts[i].y()) << i;
    }
    EXPECT_EQ(box()->ink().at(699).attr, PT_PENUP);
}

TEST_F(Box, ReadOnlyBoxRaisesLButtonDownOnly) {
    box()->setReadOnly(true);
    EventLog log(box());
    MouseStroke(box(), {{10, 10}, {90, 90}});
    PenStroke(box(), {{10, 10}, {90, 90}});
    EXPECT_EQ(box()->ink().count(), 0);
    EXPECT_EQ(log.take(), (QStringList{"LButtonDown", "LButtonDown"}));
    EXPECT_EQ(box()->inkImage().pixelColor(50, 50), Qt::white);
}

TEST_F(Box, RightButtonClears) {
    EventLog log(box());
    writeStroke();
    log.take();
    box()->setRButtonClear(false);
    boxtest::RightClick(box());
    EXPECT_EQ(log.take(), (QStringList{"RButtonDown"}));
    EXPECT_EQ(box()->ink().count(), 3) << "RButtonClear false keeps the ink";
    box()->setReadOnly(true);
    box()->setRButtonClear(true);
    boxtest::RightClick(box());
    EXPECT_EQ(box()->ink().count(), 3) << "a read-only box keeps its ink";
    box()->setReadOnly(false);
    EXPECT_EQ(boxtest::Message(box(), QuillboxCtrl::kPenRightButton), 0);
    EXPECT_EQ(log.take(), (QStringList{"RButtonDown", "RButtonDown"}));
    EXPECT_EQ(box()->ink().count(), 0);
    EXPECT_FALSE(box()->recogOk());
    EXPECT_EQ(box()->inkImage().pixelColor(40, 40), Qt::white);
}

class TimerBox : public Box {
protected:
    void SetUp() override {
        Box::SetUp();
        if (HasFatalFailure()) return;
        box()->setTimerOn(true);
        box()->setTimermSec(15);
    }
};

TEST_F(TimerBox, CountsIdleTicksAfterTheLastStroke) {
    QSignalSpy spy(box(), &QuillboxCtrl::TimerCount);
    writeStroke();
    ASSERT_TRUE(QTest::qWaitFor([&] { return spy.count() >= 3; }, 5000));
    EXPECT_EQ(spy.at(0).at(0).toInt(), 1);
    EXPECT_EQ(spy.at(1).at(0).toInt(), 2);
    EXPECT_EQ(spy.at(2).at(0).toInt(), 3);
    // New pen activity starts the count again.
    spy.clear();
    writeStroke(80);
    ASSERT_TRUE(QTest::qWaitFor([&] { return spy.count() >= 1; }, 5000));
    EXPECT_EQ(spy.at(0).at(0).toInt(), 1);
}

TEST_F(TimerBox, QuietWhileWritingInResultModeAndWhenEmpty) {
    QSignalSpy spy(box(), &QuillboxCtrl::TimerCount);
    QTest::qWait(100);
    EXPECT_EQ(spy.count(), 0) << "empty box";

    writeStroke();
    QTest::mousePress(box(), Qt::LeftButton, Qt::NoModifier, {20, 100});
    boxtest::Mouse(box(), QEvent::MouseMove, {60, 100}, Qt::NoButton, Qt::LeftButton);
    spy.clear();
    QTest::qWait(100);
    EXPECT_EQ(spy.count(), 0) << "a stroke is in progress";
    QTest::mouseRelease(box(), Qt::LeftButton, Qt::NoModifier, {60, 100});
    ASSERT_TRUE(QTest::qWaitFor([&] { return spy.count() >= 1; }, 5000));
    EXPECT_EQ(spy.at(0).at(0).toInt(), 1) << "the count starts at the pen-up";

    box()->setRecog(true);
    QTest::qWait(30);
    spy.clear();
    QTest::qWait(100);
    EXPECT_EQ(spy.count(), 0) << "result mode";

    box()->setRecog(false);
    box()->setTimerOn(false);
    writeStroke();
    spy.clear();
    QTest::qWait(100);
    EXPECT_EQ(spy.count(), 0) << "timer off";
}

TEST_F(Box, RecognizeShowsTheFirstKeptCandidate) {
    box()->setChAlphaUpper(false);
    EventLog log(box());
    writeStroke();
    log.take();
    fake_.answer({{kA, 900}, {kHito, 800}, {kB, 700}, {kIri, 600}});
    box()->Recognize();
    EXPECT_EQ(fake_.log(), "GCR");
    EXPECT_EQ(fake_.guideBox(), (std::vector<int32_t>{200, 160, 0, 0}));
    EXPECT_EQ(fake_.mask(), 511) << "lower-case letters keep the letter bit";
    EXPECT_EQ(fake_.pattern().size(), 3u);
    EXPECT_EQ(box()->result(), Sjis({kHito}));
    EXPECT_EQ(box()->resultExCh(), Sjis({kHito, kIri}));
    EXPECT_EQ(box()->resultExSc(), "800 600 ");
    EXPECT_TRUE(box()->recog());
    EXPECT_FALSE(box()->recogOk());
    EXPECT_EQ(box()->ink().count(), 0) << "the ink gives way to the result";
    EXPECT_EQ(log.take(), (QStringList{"RecogChange"}));
    EXPECT_EQ(box()->candidates()[0].code, kHito);
    EXPECT_EQ(box()->candidates()[1].code, kIri);
    // Nothing more happens until the box is cleared and written again.
    box()->Recognize();
    EXPECT_EQ(fake_.log(), "GCR");
    box()->Clear();
    EXPECT_EQ(log.take(), (QStringList{"RecogChange"}));
    EXPECT_FALSE(box()->recog());
    EXPECT_EQ(box()->result(), "");
    EXPECT_EQ(box()->resultExCh(), "");
    EXPECT_EQ(box()->resultExSc(), "");
}

TEST_F(Box, RecognitionThatKeepsNothingChangesNothing) {
    box()->setChAlphaUpper(false);
    box()->setResult(Sjis({kKi}));
    EventLog log(box());
    writeStroke();
    log.take();
    fake_.answer({{kA, 900}, {kB, 700}});
    box()->Recognize();
    EXPECT_EQ(box()->result(), Sjis({kKi}));
    EXPECT_FALSE(box()->recog());
    EXPECT_TRUE(box()->recogOk());
    EXPECT_EQ(box()->ink().count(), 3);
    EXPECT_TRUE(log.take().isEmpty());
    // A failing service the same.
    fake_.answer({{kHito, 900}}, 1);
    box()->Recognize();
    EXPECT_EQ(box()->result(), Sjis({kKi}));
    EXPECT_EQ(box()->ink().count(), 3);
    EXPECT_TRUE(log.take().isEmpty());
    // And an empty box does not call the service at all.
    box()->Clear();
    fake_.reset();
    box()->Recognize();
    box()->RecognizeEx();
    EXPECT_EQ(fake_.log(), "");
}

TEST_F(Box, RecognizeExKeepsTheInkAndTheMode) {
    EventLog log(box());
    writeStroke();
    log.take();
    fake_.answer({{kIri, 700}, {kHito, 650}});
    box()->RecognizeEx();
    EXPECT_EQ(box()->result(), Sjis({kIri}));
    EXPECT_EQ(box()->resultExCh(), Sjis({kIri, kHito}));
    EXPECT_EQ(box()->resultExSc(), "700 650 ");
    EXPECT_FALSE(box()->recog());
    EXPECT_TRUE(box()->recogOk());
    EXPECT_EQ(box()->ink().count(), 3);
    EXPECT_TRUE(log.take().isEmpty());
    EXPECT_EQ(box()->inkImage().pixelColor(40, 40), Blue());
}

TEST_F(Box, MaskFollowsTheFlags) {
    writeStroke();
    fake_.answer({{kHito, 500}});
    box()->RecognizeEx();
    EXPECT_EQ(fake_.mask(), 511);
    for (const char* flag : {"chAlphaLower", "chAlphaUpper", "chHira", "chKana", "chKanji1",
                             "chKanji2", "chNum", "chOther", "chPunc", "chSmallAO"})
        box()->setProperty(flag, false);
    box()->RecognizeEx();
    EXPECT_EQ(fake_.mask(), 0);
    box()->setChHira(true);
    box()->setChKanji1(true);
    box()->setChKanji2(true);
    box()->RecognizeEx();
    EXPECT_EQ(fake_.mask(), 0x31);
}

TEST_F(Box, AStrokeInProgressIsRecognizedClosedAndGoesOn) {
    writeStroke();
    QTest::mousePress(box(), Qt::LeftButton, Qt::NoModifier, {20, 100});
    boxtest::Mouse(box(), QEvent::MouseMove, {60, 100}, Qt::NoButton, Qt::LeftButton);
    fake_.answer({{kHito, 500}});
    box()->RecognizeEx();
    const std::vector<POINT_W> sent = fake_.pattern();
    ASSERT_EQ(sent.size(), 5u);
    EXPECT_EQ(sent.back().attr, PT_PENUP) << "the service sees whole strokes";
    boxtest::Mouse(box(), QEvent::MouseMove, {90, 100}, Qt::NoButton, Qt::LeftButton);
    QTest::mouseRelease(box(), Qt::LeftButton, Qt::NoModifier, {90, 100});
    EXPECT_EQ(
        Points(*box()),
        (std::vector<Pt>{
            {20, 40, 2}, {60, 40, 0}, {100, 50, 4}, {20, 100, 2}, {60, 100, 0}, {90, 100, 4}}));
}

TEST_F(Box, ClicksInResultModeStepThroughCandidates) {
    recognizeAs({{0x82A0, 90}, {0x82A2, 80}, {0x82A4, 70}, {0x82A6, 60}}); // あいうえ
    EventLog log(box());
    QStringList shown;
    for (int k = 0; k < 4; ++k) {
        QTest::mouseClick(box(), Qt::LeftButton, Qt::NoModifier, {50, 50});
        shown << box()->result();
    }
    EXPECT_EQ(shown, (QStringList{Sjis({0x82A2}), Sjis({0x82A4}), Sjis({0x82A0}), Sjis({0x82A2})}));
    QStringList once{"LButtonDown", "RecogLButtonDown", "RecogChange"};
    EXPECT_EQ(log.take(), once + once + once + once);
    EXPECT_EQ(box()->ink().count(), 0) << "result mode never writes";
    EXPECT_TRUE(box()->recog());
    // Pen messages tap the same way.
    boxtest::Message(box(), QuillboxCtrl::kPenDown, {50, 50});
    boxtest::Message(box(), QuillboxCtrl::kPenUp, {50, 50});
    EXPECT_EQ(box()->result(), Sjis({0x82A4}));
    EXPECT_EQ(log.take(), once);
}

TEST_F(Box, SelectNumZeroOnlyReportsTheClick) {
    recognizeAs({{0x82A0, 90}, {0x82A2, 80}});
    box()->setSelectNum(0);
    EventLog log(box());
    QTest::mouseClick(box(), Qt::LeftButton, Qt::NoModifier, {50, 50});
    EXPECT_EQ(log.take(), (QStringList{"LButtonDown", "RecogLButtonDown"}));
    EXPECT_EQ(box()->result(), Sjis({0x82A0}));
}

TEST_F(Box, AddResultMovesTheChosenCandidateToTheHead) {
    recognizeAs({{0x82A0, 90}, {0x82A2, 80}, {0x82A4, 70}, {0x82A6, 60}});
    QTest::mouseClick(box(), Qt::LeftButton, Qt::NoModifier, {50, 50});
    QTest::mouseClick(box(), Qt::LeftButton, Qt::NoModifier, {50, 50});
    ASSERT_EQ(box()->result(), Sjis({0x82A4}));
    box()->AddResult();
    const CR_RESULT* c = box()->candidates();
    EXPECT_EQ(c[0].code, 0x82A4u);
    EXPECT_EQ(c[0].score, 90);
    EXPECT_EQ(c[0].pat_no, 102);
    EXPECT_EQ(c[1].code, 0x82A0u);
    EXPECT_EQ(c[2].code, 0x82A2u);
    EXPECT_EQ(c[3].code, 0x82A6u);
    // Outside result mode it does nothing.
    box()->Clear();
    box()->setResult(Sjis({0x82A6}));
    box()->AddResult();
    EXPECT_EQ(c[0].code, 0x82A4u);
}

TEST_F(Box, CandidateArrayByAddress) {
    CR_RESULT mine[quillbox::kCandidateCount]{};
    mine[0] = {7, 55, kIri};
    mine[1] = {8, 44, kHito};
    QMetaObject::invokeMethod(box(), "SetCR", Q_ARG(qlonglong, reinterpret_cast<qlonglong>(mine)));
    qlonglong address = 0;
    QMetaObject::invokeMethod(box(), "GetCR", Q_RETURN_ARG(qlonglong, address));
    const auto* theirs = reinterpret_cast<const CR_RESULT*>(address);
    ASSERT_EQ(theirs, box()->candidates());
    EXPECT_EQ(theirs[0].code, kIri);
    EXPECT_EQ(theirs[1].score, 44);
    EXPECT_EQ(theirs[2].code, 0u);
    // A tap in result mode now steps through the list that was set.
    box()->setRecog(true);
    box()->setResult(Sjis({kIri}));
    QTest::mouseClick(box(), Qt::LeftButton, Qt::NoModifier, {50, 50});
    EXPECT_EQ(box()->result(), Sjis({kHito}));
}

TEST_F(Box, SaveClearLoadRestoresInkAndImage) {
    MouseStroke(box(), {{10, 10}, {80, 10}, {80, 70}});
    MouseStroke(box(), {{30, 100}, {150, 120}});
    const std::vector<Pt> before = Points(*box());
    const QImage image = box()->inkImage().copy();
    box()->SavePattern();
    const qlonglong saved = box()->savePatternData();
    ASSERT_NE(saved, 0);
    box()->Clear();
    EXPECT_EQ(box()->ink().count(), 0);
    EXPECT_EQ(box()->savePatternData(), saved) << "clearing keeps the saved pattern";
    box()->Clear();
    box()->SavePattern(); // empty box: the earlier pattern stays
    EXPECT_EQ(box()->savePatternData(), saved);
    box()->LoadPattern();
    EXPECT_EQ(Points(*box()), before);
    EXPECT_TRUE(box()->recogOk());
    EXPECT_EQ(box()->inkImage(), image);
    // Saving again reuses the record.
    MouseStroke(box(), {{10, 150}, {190, 150}});
    box()->SavePattern();
    EXPECT_EQ(box()->savePatternData(), saved);
    EXPECT_EQ(reinterpret_cast<const PATTERN_W*>(saved)->num, 7);
}

TEST_F(Box, MirrorThroughLoadPatternInDirect) {
    std::unique_ptr<QuillboxCtrl> mirror(QuillboxCtrl::create());
    ASSERT_NE(mirror, nullptr);
    mirror->resize(200, 160);
    MouseStroke(box(), {{10, 10}, {80, 10}, {80, 70}});
    box()->SavePattern();
    mirror->LoadPatternInDirect(box()->savePatternData());
    EXPECT_EQ(Points(*mirror), Points(*box()));
    EXPECT_EQ(mirror->savePatternData(), 0);
    EXPECT_EQ(mirror->inkImage(), box()->inkImage());
    mirror->LoadPatternInDirect(0); // nothing to load
    EXPECT_EQ(mirror->ink().count(), 3);
    // A pattern larger than the ink array.
    std::vector<POINT_W> big(900, POINT_W{5, 5, 0});
    big.front().attr = PT_PENDOWN;
    big.back() = POINT_W{100, 100, PT_PENUP};
    PATTERN_W record{big.data(), 900};
    mirror->LoadPatternInDirect(reinterpret_cast<qlonglong>(&record));
    EXPECT_EQ(mirror->ink().count(), 900);
    EXPECT_EQ(mirror->ink().capacity(), 1100);
}

TEST_F(Box, BackColorRepaintsAndKeepsTheInk) {
    writeStroke();
    box()->setBackColor(0xC0FFFF); // pale yellow
    EXPECT_EQ(box()->ink().count(), 3);
    EXPECT_TRUE(box()->recogOk());
    EXPECT_EQ(box()->inkImage().pixelColor(5, 5), QColor(255, 255, 192));
    EXPECT_EQ(box()->inkImage().pixelColor(40, 40), Blue());
}

TEST_F(Box, ResultIsDrawnCentredOrSmallInTheCorner) {
    auto green = [](const QImage& img, QRect area) {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (img.pixelColor(x, y) == QColor(0, 255, 0)) ++n;
        return n;
    };
    recognizeAs({{kHito, 500}});
    QImage shown = box()->grab().toImage();
    const QRect all(0, 0, 200, 160);
    const QRect cell(20, 0, 160, 160); // (200 - 160) / 2 = 20
    EXPECT_GT(green(shown, all), 100);
    EXPECT_EQ(green(shown, all), green(shown, cell.adjusted(0, -2, 2, 0))) << "inside its cell";
    box()->setStringWidth(1);
    const int thin = green(box()->grab().toImage(), all);
    box()->setStringWidth(6);
    const int bold = green(box()->grab().toImage(), all);
    EXPECT_GT(bold, thin + thin / 2) << "passes with offsets make the stroke bolder";

    box()->Clear();
    recognizeAs({{kXtu, 500}});
    box()->setSCharSize(0.5f);
    box()->setStringWidth(1);
    shown = box()->grab().toImage();
    EXPECT_GT(green(shown, all), 20);
    EXPECT_EQ(green(shown, all), green(shown, QRect(0, 80, 80, 80))) << "bottom-left corner";
    box()->setSCharPos(false);
    shown = box()->grab().toImage();
    EXPECT_EQ(green(shown, all), green(shown, QRect(60, 40, 80, 80))) << "centred";
    box()->setRecog(false);
    EXPECT_EQ(green(box()->grab().toImage(), all), 0) << "writing mode shows no result";
}

TEST_F(Box, PersistenceRoundTrip) {
    writeStroke();
    box()->SavePattern();
    box()->setBackColor(0xC0FFFF);
    box()->setFontName("IPAGothic");
    box()->setLineColor(0x123456);
    box()->setLineWidth(5);
    box()->setMinLineLength(2.0f);
    box()->setRButtonClear(false);
    box()->setReadOnly(true);
    box()->setResult(Sjis({kHito}));
    box()->setResultExCh(Sjis({kHito, kIri}));
    box()->setResultExSc("800 600 ");
    box()->setSCharPos(false);
    box()->setSCharSize(0.75f);
    box()->setSelectNum(5);
    box()->setStringColor(0x00AA00);
    box()->setStringWidth(4);
    box()->setTimerOn(true);
    box()->setTimermSec(250);
    box()->setChAlphaLower(false);
    box()->setChKana(false);
    box()->setChPunc(false);
    box()->setRecog(true);
    ASSERT_EQ(box()->result(), Sjis({kHito}));

    QByteArray bytes;
    {
        QDataStream out(&bytes, QIODevice::WriteOnly);
        box()->saveProperties(out);
    }
    std::unique_ptr<QuillboxCtrl> copy(QuillboxCtrl::create());
    ASSERT_NE(copy, nullptr);
    QDataStream in(bytes);
    ASSERT_TRUE(copy->loadProperties(in));
    const QMetaObject* mo = box()->metaObject();
    for (int i = mo->propertyOffset(); i < mo->propertyCount(); ++i) {
        const char* name = mo->property(i).name();
        const QString n = QString::fromLatin1(name);
        if (n == "SavePatternData" || n == "RecogOk" || n == "hWnd") continue;
        EXPECT_EQ(copy->property(name), box()->property(name)) << name;
    }
    EXPECT_EQ(copy->savePatternData(), 0) << "an address is not carried over";
    EXPECT_FALSE(copy->recogOk()) << "the copy holds no ink";
    EXPECT_FALSE(copy->isModified());

    // Results are kept in writing mode too.
    box()->setRecog(false);
    QByteArray writing;
    {
        QDataStream out(&writing, QIODevice::WriteOnly);
        box()->saveProperties(out);
    }
    std::unique_ptr<QuillboxCtrl> second(QuillboxCtrl::create());
    QDataStream in2(writing);
    ASSERT_TRUE(second->loadProperties(in2));
    EXPECT_FALSE(second->recog());
    EXPECT_EQ(second->result(), Sjis({kHito}));
    EXPECT_EQ(second->resultExSc(), "800 600 ");
    EXPECT_EQ(second->backColor(), 0xC0FFFFu);

    // A stream cut short or of another version changes nothing.
    std::unique_ptr<QuillboxCtrl> other(QuillboxCtrl::create());
    QDataStream cut(bytes.left(bytes.size() - 3));
    EXPECT_FALSE(other->loadProperties(cut));
    EXPECT_EQ(other->lineWidth(), 2);
    EXPECT_EQ(other->fontName(), QString::fromUtf8("ＭＳ 明朝"));
    QDataStream empty(QByteArray{});
    EXPECT_FALSE(other->loadProperties(empty));
}

TEST_F(Box, ResizeRedrawsTheInkAtTheNewSize) {
    writeStroke();
    box()->resize(300, 250);
    QCoreApplication::processEvents();
    EXPECT_EQ(box()->inkImage().size(), QSize(300, 250));
    EXPECT_EQ(box()->inkImage().pixelColor(40, 40), Blue());
    MouseStroke(box(), {{250, 200}, {290, 240}, {400, 400}});
    EXPECT_EQ(Points(*box()).back(), (Pt{300, 250, 4})) << "clamped to the new size";
}
