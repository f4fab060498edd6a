// The resource bank control driven through its meta-object, as the answer windows drive it.
#include "controls/larder/bank.h"
#include "controls/larder/larderctrl.h"
#include "controls/larder/tables.h"
#include "platform/gui/control.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QMetaProperty>
#include <QPainter>
#include <QtTest>

using larder::CLarderCtrl;

namespace {

bool Call(QObject* control, int series, int wave) {
    bool played = true;
    const bool invoked = QMetaObject::invokeMethod(control, "PlayWave", Q_RETURN_ARG(bool, played),
                                                   Q_ARG(int, series), Q_ARG(int, wave));
    return invoked && played;
}

QImage Grabbed(QWidget* widget) {
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The share of pixels that differ noticeably between two images of one size.
double Mismatch(const QImage& a, const QImage& b) {
    int differ = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QColor p = a.pixelColor(x, y), q = b.pixelColor(x, y);
            differ += std::abs(p.red() - q.red()) + std::abs(p.green() - q.green()) +
                          std::abs(p.blue() - q.blue()) >
                      60;
        }
    return double(differ) / (a.width() * a.height());
}

} // namespace

class LarderControlTest : public QObject {
    Q_OBJECT

private slots:
    void dispatchIdentifiers() {
        CLarderCtrl control;
        const QMetaObject& meta = *control.metaObject();
        QCOMPARE(controls::DispatchId(meta, "SeriesNo"), std::optional<int>(1));
        QCOMPARE(controls::DispatchId(meta, "BitMapNo"), std::optional<int>(2));
        QCOMPARE(controls::DispatchId(meta, "PlayWave"), std::optional<int>(3));
        QCOMPARE(controls::DispatchId(meta, "Refresh"), std::optional<int>(-550));
        QCOMPARE(controls::DispatchId(meta, "AboutBox"), std::optional<int>(-552));
        QCOMPARE(controls::DispatchId(meta, "Appearance"), std::optional<int>(-520));
        QCOMPARE(controls::DispatchId(meta, "BorderStyle"), std::optional<int>(-504));
        QVERIFY(meta.indexOfProperty("SeriesNo") < meta.indexOfProperty("BitMapNo"));
        QVERIFY(meta.indexOfMethod("PlayWave(int,int)") >= 0);
        QCOMPARE(meta.method(meta.indexOfMethod("PlayWave(int,int)")).returnType(),
                 int(QMetaType::Bool));
    }

    void defaultsAndClamps() {
        CLarderCtrl control;
        QCOMPARE(control.property("SeriesNo").toInt(), 0);
        QCOMPARE(control.property("BitMapNo").toInt(), 0);
        QVERIFY(!control.isModified());
        control.setProperty("BitMapNo", 9);
        QCOMPARE(control.property("BitMapNo").toInt(), 7);
        control.setProperty("SeriesNo", -1);
        QCOMPARE(control.property("SeriesNo").toInt(), 0);
        control.setProperty("SeriesNo", 12);
        QCOMPARE(control.property("SeriesNo").toInt(), 3);
        control.setProperty("BitMapNo", -4);
        QCOMPARE(control.property("BitMapNo").toInt(), 0);
        QVERIFY(control.isModified());
    }

    void pictureStretchedOverTheWholeControl() {
        CLarderCtrl control;
        control.resize(100, 300);
        control.setProperty("SeriesNo", 1);
        control.setProperty("BitMapNo", 2);
        const QImage shown = Grabbed(&control);
        const QImage expected =
            larder::LoadBitmap(214)
                .convertToFormat(QImage::Format_RGB32)
                .scaled(100, 300, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        QCOMPARE(shown.size(), QSize(100, 300));
        QVERIFY(Mismatch(shown, expected) < 0.03);
        // The picture reaches every edge: no white bands where a kept aspect would leave them.
        for (const QPoint corner : {QPoint(0, 0), QPoint(99, 0), QPoint(0, 299), QPoint(99, 299)})
            QVERIFY(shown.pixelColor(corner) != QColor(Qt::white));
    }

    void sameNeutralPictureForTheUnusedNumbers() {
        CLarderCtrl control;
        control.resize(120, 120);
        control.setProperty("SeriesNo", 3);
        control.setProperty("BitMapNo", 2);
        const QImage neutral = Grabbed(&control);
        control.setProperty("BitMapNo", 5);
        QCOMPARE(Grabbed(&control), neutral);
        control.setProperty("BitMapNo", 0);
        QVERIFY(Grabbed(&control) != neutral);
    }

    void paintingFillsItsBoundsOnWhite() {
        CLarderCtrl control;
        control.setProperty("SeriesNo", 2);
        control.setProperty("BitMapNo", 1); // a palette picture
        QImage target(200, 120, QImage::Format_RGB32);
        target.fill(Qt::black);
        QPainter painter(&target);
        control.paintPicture(painter, QRect(50, 10, 80, 60));
        painter.end();
        for (const QPoint outside :
             {QPoint(49, 40), QPoint(130, 40), QPoint(60, 9), QPoint(60, 70)})
            QCOMPARE(target.pixelColor(outside), QColor(Qt::black));
        const QImage inside = target.copy(50, 10, 80, 60);
        const QImage expected = larder::LoadBitmap(220)
                                    .convertToFormat(QImage::Format_RGB32)
                                    .scaled(80, 60, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        QVERIFY(Mismatch(inside, expected) < 0.05);
    }

    void borderFramesThePicture() {
        CLarderCtrl control;
        control.resize(60, 60);
        control.setProperty("BorderStyle", 1);
        const QImage framed = Grabbed(&control);
        QCOMPARE(framed.pixelColor(0, 30), QColor(Qt::black));
        QVERIFY(framed.pixelColor(1, 30) != QColor(Qt::black));
        control.setProperty("BorderStyle", 0);
        QVERIFY(Grabbed(&control).pixelColor(0, 30) != QColor(Qt::black));
    }

    void playWave() {
        CLarderCtrl control;
        QVERIFY(!Call(&control, 1, 2));
        QVERIFY(!Call(&control, -1, 0));
        QVERIFY(!Call(&control, 4, 1));
        const bool haveOutput = !QMediaDevices::defaultAudioOutput().isNull();
        QCOMPARE(Call(&control, 0, 0), haveOutput);
        QCOMPARE(Call(&control, 3, 1), haveOutput);
        // The arguments do not touch the properties.
        QCOMPARE(control.property("SeriesNo").toInt(), 0);
        QVERIFY(!control.isModified());
    }

    void persistenceRoundTrip() {
        CLarderCtrl source;
        source.setProperty("SeriesNo", 2);
        source.setProperty("BitMapNo", 6);
        source.setProperty("Appearance", 1);
        source.setProperty("BorderStyle", 1);
        QByteArray bytes;
        {
            QDataStream out(&bytes, QIODevice::WriteOnly);
            source.saveProperties(out);
        }
        CLarderCtrl target;
        QDataStream in(bytes);
        QVERIFY(target.loadProperties(in));
        for (const char* name : {"SeriesNo", "BitMapNo", "Appearance", "BorderStyle"})
            QCOMPARE(target.property(name), source.property(name));

        CLarderCtrl untouched;
        QDataStream cut(bytes.left(bytes.size() - 2));
        QVERIFY(!untouched.loadProperties(cut));
        QCOMPARE(untouched.property("BitMapNo").toInt(), 0);
        QVERIFY(!untouched.isModified());
    }

    void createdByProgId() {
        QWidget host;
        QWidget* control = controls::CreateControl(QStringLiteral("LARDER.LarderCtrl.1"), &host);
        QVERIFY(control);
        QVERIFY(control->setProperty("BitMapNo", 9));
        QCOMPARE(control->property("BitMapNo").toInt(), 7);
        bool played = true;
        QVERIFY(QMetaObject::invokeMethod(control, "PlayWave", Q_RETURN_ARG(bool, played),
                                          Q_ARG(int, 1), Q_ARG(int, 2)));
        QVERIFY(!played);
    }
};

QTEST_MAIN(LarderControlTest)
#include "larderctrl_test.moc"
