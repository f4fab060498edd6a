// The effects control driven as the game drives it: through its meta-object.
#include "controls/shroud/shroudctrl.h"
#include "platform/gui/control.h"

#include <QApplication>
#include <QBuffer>
#include <QMetaProperty>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QtTest>

#include <memory>

using shroud::CShroudCtrl;

namespace {

constexpr quint32 kOleWhite = 0xFFFFFF;
constexpr quint32 kOleGreen = 0x00FF00;
constexpr quint32 kOleGrey = 0x404040;
const QColor kWhite(255, 255, 255);
const QColor kGreen(0, 255, 0);
const QColor kGrey(64, 64, 64);

QVariant Get(QObject* control, const char* name) {
    return control->property(name);
}

void Set(QObject* control, const char* name, const QVariant& value) {
    QVERIFY2(control->setProperty(name, value), name);
}

void Call(QObject* control, const char* method) {
    QVERIFY2(QMetaObject::invokeMethod(control, method), method);
}

// A shown control of the given size with the main window's colours and an answer.
std::unique_ptr<CShroudCtrl> MakeControl(int w, int h,
                                         const QString& answer = QStringLiteral(u"田")) {
    auto control = std::make_unique<CShroudCtrl>();
    control->random().seed(12345);
    control->resize(w, h);
    control->show();
    control->setProperty("BackColor", kOleWhite);
    control->setProperty("ForeColor", kOleGrey);
    control->setProperty("StringColor", kOleGreen);
    control->setProperty("AnswerString", answer);
    return control;
}

bool AllPixels(const QImage& image, QRect rect, const QColor& colour) {
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (image.pixelColor(x, y) != colour) return false;
    return true;
}

bool AnyPixel(const QImage& image, QRect rect, const QColor& colour) {
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (image.pixelColor(x, y) == colour) return true;
    return false;
}

QImage Grabbed(QWidget* widget) {
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

class ShroudControlTest : public QObject {
    Q_OBJECT

private slots:
    void dispatchIdentifiersInOrder() {
        CShroudCtrl control;
        const QMetaObject& meta = *control.metaObject();
        const char* names[] = {"StringColor", "Param1",   "Param2",     "AnswerString", "FontName",
                               "GameMode",    "GameName", "Param1Name", "Param2Name"};
        int previous = -1;
        for (int k = 0; k < 9; ++k) {
            QCOMPARE(controls::DispatchId(meta, names[k]), std::optional<int>(k + 1));
            const int index = meta.indexOfProperty(names[k]);
            QVERIFY(index > previous);
            previous = index;
        }
        QCOMPARE(controls::DispatchId(meta, "ReWrite"), std::optional<int>(10));
        QCOMPARE(controls::DispatchId(meta, "Refresh"), std::optional<int>(-550));
        QCOMPARE(controls::DispatchId(meta, "AboutBox"), std::optional<int>(-552));
        QCOMPARE(controls::DispatchId(meta, "BackColor"), std::optional<int>(-501));
        QCOMPARE(controls::DispatchId(meta, "ForeColor"), std::optional<int>(-513));
        QCOMPARE(controls::DispatchId(meta, "hWnd"), std::optional<int>(-515));
        QVERIFY(meta.indexOfMethod("ReWrite()") >= 0);
        QVERIFY(meta.indexOfMethod("Refresh()") >= 0);
        QVERIFY(meta.indexOfMethod("AboutBox()") >= 0);
        QVERIFY(!meta.property(meta.indexOfProperty("hWnd")).isWritable());
    }

    void defaults() {
        CShroudCtrl control;
        QCOMPARE(Get(&control, "StringColor").toUInt(), 0x00FF00u);
        QCOMPARE(Get(&control, "Param1").toInt(), 1);
        QCOMPARE(Get(&control, "Param2").toInt(), 32);
        QCOMPARE(Get(&control, "AnswerString").toString(), QString());
        QCOMPARE(Get(&control, "FontName").toString(), QStringLiteral(u"ＭＳ 明朝"));
        QCOMPARE(Get(&control, "GameMode").toInt(), 1);
        QCOMPARE(Get(&control, "GameName").toString(), QString());
        QCOMPARE(Get(&control, "Param1Name").toString(), QString());
        QVERIFY(!control.isModified());
    }

    void clamps() {
        CShroudCtrl control;
        Set(&control, "Param1", 0);
        QCOMPARE(Get(&control, "Param1").toInt(), 1);
        Set(&control, "Param1", -5);
        QCOMPARE(Get(&control, "Param1").toInt(), 1);
        Set(&control, "Param1", 5000);
        QCOMPARE(Get(&control, "Param1").toInt(), 5000); // games clamp when they draw
        Set(&control, "Param2", -1);
        QCOMPARE(Get(&control, "Param2").toInt(), 1);
        Set(&control, "GameMode", 0);
        QCOMPARE(Get(&control, "GameMode").toInt(), 1);
        Set(&control, "GameMode", 6);
        QCOMPARE(Get(&control, "GameMode").toInt(), 5);
        Set(&control, "AnswerString", QStringLiteral(u"漢字"));
        QCOMPARE(Get(&control, "AnswerString").toString(), QStringLiteral(u"漢"));
        QVERIFY(control.isModified());
    }

    void probingFindsFiveGamesWithTheirNames() {
        CShroudCtrl control;
        QStringList games;
        for (int i = 1;; ++i) {
            Set(&control, "GameMode", i);
            if (Get(&control, "GameMode").toInt() != i) break;
            games << Get(&control, "GameName").toString();
        }
        QCOMPARE(games, (QStringList{QStringLiteral(u"モザイク"), QStringLiteral(u"ブロック"),
                                     QStringLiteral(u"フラッシュ"), QStringLiteral(u"クロス"),
                                     QStringLiteral(u"バラバラ")}));
        Set(&control, "GameMode", 3);
        QCOMPARE(Get(&control, "Param1Name").toString(), QStringLiteral(u"時間"));
        QCOMPARE(Get(&control, "Param2Name").toString(), QStringLiteral(u"色差"));
    }

    void namesOnlyMarkAndDoNotRedraw() {
        auto control = MakeControl(280, 280);
        Set(control.get(), "GameMode", 2);
        Set(control.get(), "Param1", 50);
        Set(control.get(), "Param2", 1);
        const QImage before = control->backBuffer();
        Set(control.get(), "GameName", QStringLiteral("other"));
        Set(control.get(), "Param1Name", QStringLiteral("a"));
        Set(control.get(), "Param2Name", QStringLiteral("b"));
        QCOMPARE(control->backBuffer(), before);
        QCOMPARE(Get(control.get(), "GameName").toString(), QStringLiteral("other"));
        // ReWrite deals the blocks anew.
        Call(control.get(), "ReWrite");
        QVERIFY(control->backBuffer() != before);
    }

    void emptyAnswerShowsOnlyTheBackground() {
        for (int mode = 1; mode <= 5; ++mode) {
            auto control = MakeControl(120, 90, QString());
            Set(control.get(), "GameMode", mode);
            Set(control.get(), "Param1", 3);
            QVERIFY(AllPixels(control->backBuffer(), QRect(0, 0, 120, 90), kWhite));
            QCOMPARE(control->timerPeriod(), 0);
            QVERIFY(AllPixels(Grabbed(control.get()), QRect(0, 0, 120, 90), kWhite));
        }
    }

    void mosaicAtOneAndAt256() {
        auto control = MakeControl(256, 256);
        Set(control.get(), "GameMode", 1);
        Set(control.get(), "Param1", 1);
        const QImage one = control->backBuffer();
        const QColor average = one.pixelColor(0, 0);
        QVERIFY(AllPixels(one, one.rect(), average));
        QVERIFY(average != kWhite && average != kGreen);
        QCOMPARE(average.green(), 255);
        Set(control.get(), "Param1", 256);
        const QImage fine = control->backBuffer();
        int green = 0;
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) {
                const QColor c = fine.pixelColor(x, y);
                QVERIFY(c == kWhite || c == kGreen);
                green += c == kGreen;
            }
        // The single cell's colour is the share of lit pixels.
        QCOMPARE(average.red(), static_cast<int>(255 - 255.0 * green / 65536.0));
        QCOMPARE(Grabbed(control.get()), fine);
    }

    void mosaicForgetsTheMaskWhenTheFontChanges() {
        auto control = MakeControl(256, 256, QStringLiteral(u"永"));
        Set(control.get(), "Param1", 256);
        Set(control.get(), "FontName", QStringLiteral(u"ＭＳ 明朝"));
        const QImage mincho = control->backBuffer();
        Set(control.get(), "FontName", QStringLiteral(u"ＭＳ ゴシック"));
        QVERIFY(control->backBuffer() != mincho);
        Set(control.get(), "FontName", QStringLiteral(u"ＭＳ 明朝"));
        QCOMPARE(control->backBuffer(), mincho);
    }

    void blocksOpenHalfAndRedealOnTheTimer() {
        auto control = MakeControl(280, 280);
        Set(control.get(), "GameMode", 2);
        Set(control.get(), "Param2", 1);
        for (int param1 : {98, 200}) {
            Set(control.get(), "Param1", param1);
            const QImage image = control->backBuffer();
            int covered = 0;
            for (int i = 0; i < 14; ++i)
                for (int j = 0; j < 14; ++j)
                    covered += AllPixels(image, QRect(i * 20, j * 20, 20, 20), kGrey);
            QCOMPARE(covered, 98);
        }
        QCOMPARE(control->timerPeriod(), 0);
        Set(control.get(), "Param2", 2);
        QCOMPARE(control->timerPeriod(), 200);
        const QImage first = control->backBuffer();
        QTRY_VERIFY_WITH_TIMEOUT(control->backBuffer() != first, 2000);
        QCOMPARE(control->timerPeriod(), 200);
        Set(control.get(), "Param2", 150);
        QCOMPARE(control->timerPeriod(), 10000);
        // Any other game stops the re-deal.
        Set(control.get(), "GameMode", 1);
        QCOMPARE(control->timerPeriod(), 0);
    }

    void crossThickerThanTheHeightSitsAtTheTop() {
        auto control = MakeControl(300, 100);
        Set(control.get(), "GameMode", 4);
        Set(control.get(), "Param2", 7);
        Set(control.get(), "Param1", 120);
        QVERIFY(!AnyPixel(control->backBuffer(), QRect(0, 0, 300, 100), kGrey));
        QVERIFY(AnyPixel(control->backBuffer(), QRect(0, 0, 300, 100), kGreen));
        QCOMPARE(control->timerPeriod(), 700);
        Set(control.get(), "Param1", 10);
        QVERIFY(AnyPixel(control->backBuffer(), QRect(0, 0, 300, 100), kGrey));
    }

    void scatterWholeAtFourTilesAndFifteenKept() {
        auto control = MakeControl(200, 200);
        Set(control.get(), "GameMode", 5);
        Set(control.get(), "Param2", 1);
        const QImage whole = control->backBuffer();
        QVERIFY(AnyPixel(whole, whole.rect(), kGreen));
        Set(control.get(), "Param2", 4);
        Set(control.get(), "Param1", 15);
        QCOMPARE(control->backBuffer(), whole);
        QCOMPARE(control->timerPeriod(), 0);
        bool scattered = false;
        Set(control.get(), "Param1", 1);
        for (int k = 0; k < 5 && !scattered; ++k) {
            Call(control.get(), "ReWrite");
            scattered = control->backBuffer() != whole;
        }
        QVERIFY(scattered);
    }

    void flashShowsTheCharacterThenTheBackground() {
        auto control = MakeControl(120, 120);
        Set(control.get(), "GameMode", 3);
        Set(control.get(), "Param1", 1); // no wait at all
        Set(control.get(), "Param2", 40);
        QVERIFY(control->timerPeriod() >= 500 && control->timerPeriod() < 5000);
        QVERIFY(AllPixels(control->backBuffer(), QRect(0, 0, 120, 120), kWhite));

        // Before each paint, look at what the screen shows: the paint that clears the flash
        // finds the flashed character on screen.
        struct Watcher : QObject {
            CShroudCtrl* control;
            QList<QImage> frames;
            bool eventFilter(QObject* object, QEvent* event) override {
                if (object == control && event->type() == QEvent::Paint)
                    frames << control->screen()
                                  ->grabWindow(control->winId())
                                  .toImage()
                                  .convertToFormat(QImage::Format_RGB32);
                return false;
            }
        } watcher;
        watcher.control = control.get();
        control->installEventFilter(&watcher);
        auto* timer = control->findChild<QTimer*>();
        QVERIFY(timer);
        timer->start(1);
        QTRY_VERIFY_WITH_TIMEOUT(timer->interval() != 1, 2000);
        control->removeEventFilter(&watcher);
        QVERIFY(control->timerPeriod() >= 500 && control->timerPeriod() < 5000);
        const QColor flash(215, 215, 215);
        bool flashed = false;
        for (const QImage& frame : watcher.frames)
            flashed = flashed || AnyPixel(frame, frame.rect(), flash);
        QVERIFY(flashed);
        QVERIFY(AllPixels(Grabbed(control.get()), QRect(0, 0, 120, 120), kWhite));
    }

    void backBufferFollowsTheSize() {
        auto control = MakeControl(100, 100);
        Set(control.get(), "GameMode", 4);
        control->resize(150, 60);
        QTRY_COMPARE(control->backBuffer().size(), QSize(150, 60));
        control->resize(0, 0);
        QTRY_VERIFY(control->backBuffer().isNull());
        Call(control.get(), "ReWrite");
        Call(control.get(), "Refresh");
        control->resize(80, 80);
        QTRY_COMPARE(control->backBuffer().size(), QSize(80, 80));
    }

    void persistenceRoundTrip() {
        CShroudCtrl source;
        source.resize(64, 64);
        Set(&source, "BackColor", 0x123456u);
        Set(&source, "ForeColor", 0x654321u);
        Set(&source, "StringColor", 0x0000FFu);
        Set(&source, "GameMode", 4);
        Set(&source, "Param1", 17);
        Set(&source, "Param2", 9);
        Set(&source, "AnswerString", QStringLiteral(u"森"));
        Set(&source, "FontName", QStringLiteral(u"ＭＳ ゴシック"));
        Set(&source, "GameName", QStringLiteral("renamed"));
        QByteArray bytes;
        {
            QDataStream out(&bytes, QIODevice::WriteOnly);
            source.saveProperties(out);
        }
        CShroudCtrl target;
        {
            QDataStream in(bytes);
            QVERIFY(target.loadProperties(in));
        }
        for (const char* name :
             {"BackColor", "ForeColor", "StringColor", "GameMode", "Param1", "Param2",
              "AnswerString", "FontName", "GameName", "Param1Name", "Param2Name"})
            QCOMPARE(Get(&target, name), Get(&source, name));
        QCOMPARE(Get(&target, "GameName").toString(), QStringLiteral("renamed"));

        // A cut stream or another version changes nothing.
        CShroudCtrl untouched;
        QDataStream cut(bytes.left(bytes.size() - 3));
        QVERIFY(!untouched.loadProperties(cut));
        QByteArray other = bytes;
        other[1] = 2; // version 0x00020000
        QDataStream wrong(other);
        QVERIFY(!untouched.loadProperties(wrong));
        QCOMPARE(Get(&untouched, "Param1").toInt(), 1);
        QCOMPARE(Get(&untouched, "FontName").toString(), QStringLiteral(u"ＭＳ 明朝"));
        QVERIFY(!untouched.isModified());
    }

    void createdByProgId() {
        QWidget host;
        QWidget* control = controls::CreateControl(QStringLiteral("shroud.shroudctrl.1"), &host);
        QVERIFY(control);
        QCOMPARE(control->metaObject()->className(), "shroud::CShroudCtrl");
        QVERIFY(control->setProperty("GameMode", 9));
        QCOMPARE(control->property("GameMode").toInt(), 5);
        QVERIFY(controls::AvailableControls().contains(QStringLiteral("SHROUD.ShroudCtrl.1")));
    }
};

QTEST_MAIN(ShroudControlTest)
#include "shroudctrl_test.moc"
