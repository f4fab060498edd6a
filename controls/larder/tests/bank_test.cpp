// The bank's tables, the artwork compiled into it and the sound player.
#include "controls/larder/bank.h"
#include "controls/larder/tables.h"
#include "platform/gui/wave.h"
#include "platform/gui/waveplayer.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QtEndian>
#include <QtTest>

#include <algorithm>

using namespace larder;
using controls::ParseWave;
using controls::WaveData;
using controls::WavePlayer;

namespace {

quint32 U32(const QByteArray& b, int at) {
    return qFromLittleEndian<quint32>(reinterpret_cast<const uchar*>(b.constData()) + at);
}
quint16 U16(const QByteArray& b, int at) {
    return qFromLittleEndian<quint16>(reinterpret_cast<const uchar*>(b.constData()) + at);
}

// Sign changes per second of the first channel, around the silent level 128.
double Crossings(const WaveData& wave) {
    int count = 0, last = 0;
    for (int i = 0; i < wave.frames(); ++i) {
        const int s = uchar(wave.samples[i * wave.channels]) - 128;
        const int sign = s > 2 ? 1 : (s < -2 ? -1 : 0);
        if (sign != 0 && last != 0 && sign != last) ++count;
        if (sign != 0) last = sign;
    }
    return count / (double(wave.frames()) / wave.sampleRate);
}

} // namespace

class BankTest : public QObject {
    Q_OBJECT

private slots:
    void pictureTable() {
        QCOMPARE(PictureResource(0, 0), 211);
        QCOMPARE(PictureResource(0, 1), 213);
        QCOMPARE(PictureResource(0, 7), 209);
        QCOMPARE(PictureResource(1, 2), 214);
        QCOMPARE(PictureResource(1, 3), 215);
        QCOMPARE(PictureResource(1, 7), 219);
        QCOMPARE(PictureResource(2, 1), 220);
        QCOMPARE(PictureResource(2, 6), 224);
        QCOMPARE(PictureResource(3, 5), PictureResource(3, 2));
        QCOMPARE(PictureResource(3, 5), 225);
        QCOMPARE(PictureResource(4, 0), 0);
        QCOMPARE(PictureResource(-1, 0), 0);
        QCOMPARE(PictureResource(0, 8), 0);
        QCOMPARE(ClampSeries(-1), 0);
        QCOMPARE(ClampSeries(9), 3);
        QCOMPARE(ClampPicture(9), 7);
        QCOMPARE(ClampPicture(-3), 0);
    }

    void soundTable() {
        QCOMPARE(WaveResource(0, 0), 206);
        QCOMPARE(WaveResource(0, 1), 204);
        for (int series = 1; series < 4; ++series) {
            QCOMPARE(WaveResource(series, 0), 207);
            QCOMPARE(WaveResource(series, 1), 205);
        }
        QCOMPARE(WaveResource(1, 2), 0);
        QCOMPARE(WaveResource(4, 0), 0);
        QCOMPARE(WaveResource(0, -1), 0);
    }

    void everyPictureIsInTheBankAtItsSize() {
        for (int series = 0; series < kSeriesCount; ++series) {
            for (int picture = 0; picture < kPicturesPerSeries; ++picture) {
                const BitmapFormat* format = FindBitmap(PictureResource(series, picture));
                QVERIFY(format);
                const QImage image = LoadBitmap(format->id);
                QVERIFY2(!image.isNull(), qPrintable(QString::number(format->id)));
                QCOMPARE(image.size(), QSize(format->width, format->height));
                // Palette pictures keep a palette; the others are true colour.
                QCOMPARE(image.format() == QImage::Format_Indexed8, format->bitsPerPixel == 8);
            }
        }
        QCOMPARE(LoadBitmap(1).size(), QSize(16, 15));
        QVERIFY(LoadBitmap(1).colorCount() <= 16);
        QVERIFY(LoadBitmap(223).isNull());
        QCOMPARE(LoadBitmap(211).size(), QSize(600, 610));
    }

    void picturesDifferByPose() {
        // Correct, wrong and neutral are three different pictures of the same character.
        for (int series = 0; series < kSeriesCount; ++series) {
            const QImage correct =
                LoadBitmap(PictureResource(series, 0)).convertToFormat(QImage::Format_RGB32);
            const QImage wrong =
                LoadBitmap(PictureResource(series, 1)).convertToFormat(QImage::Format_RGB32);
            const QImage neutral =
                LoadBitmap(PictureResource(series, 2)).convertToFormat(QImage::Format_RGB32);
            QVERIFY(wrong.scaled(100, 100) != neutral.scaled(100, 100));
            QVERIFY(correct.scaled(100, 100) != neutral.scaled(100, 100));
            // The correct picture has a red mark, the wrong one a blue one.
            auto count = [](const QImage& image, auto test) {
                int n = 0;
                for (int y = 0; y < image.height(); y += 3)
                    for (int x = 0; x < image.width(); x += 3) n += test(image.pixelColor(x, y));
                return n;
            };
            auto red = [](QColor c) { return c.red() > 200 && c.green() < 90 && c.blue() < 90; };
            auto blue = [](QColor c) { return c.blue() > 170 && c.red() < 90 && c.green() < 120; };
            QVERIFY(count(correct, red) > count(neutral, red) + 200);
            QVERIFY(count(wrong, blue) > count(neutral, blue) + 200);
        }
    }

    void waveHeadersAndLengths() {
        const struct {
            int id, channels, frames;
        } expected[] = {{204, 1, 18743}, {205, 2, 18743}, {206, 1, 20727}, {207, 2, 20727}};
        for (const auto& e : expected) {
            const QByteArray bytes = LoadWave(e.id);
            QVERIFY2(bytes.size() > 44, qPrintable(QString::number(e.id)));
            QCOMPARE(bytes.left(4), QByteArray("RIFF"));
            QCOMPARE(U32(bytes, 4), quint32(bytes.size() - 8));
            QCOMPARE(bytes.mid(8, 8), QByteArray("WAVEfmt "));
            QCOMPARE(U32(bytes, 16), 16u);
            QCOMPARE(U16(bytes, 20), 1); // PCM
            QCOMPARE(U16(bytes, 22), e.channels);
            QCOMPARE(U32(bytes, 24), 22050u);
            QCOMPARE(U32(bytes, 28), quint32(22050 * e.channels));
            QCOMPARE(U16(bytes, 32), e.channels); // block align
            QCOMPARE(U16(bytes, 34), 8);
            QCOMPARE(bytes.mid(36, 4), QByteArray("data"));
            QCOMPARE(U32(bytes, 40), quint32(e.frames * e.channels));
            const auto wave = ParseWave(bytes);
            QVERIFY(wave);
            QCOMPARE(wave->frames(), e.frames);
            const auto [low, high] =
                std::minmax_element(wave->samples.begin(), wave->samples.end(),
                                    [](char a, char b) { return uchar(a) < uchar(b); });
            QVERIFY(uchar(*high) - uchar(*low) > 100); // audible, not silence
        }
        QCOMPARE(FindWave(206)->frames() * 1000 / 22050, 940);
        QCOMPARE(FindWave(204)->frames() * 1000 / 22050, 850);
    }

    void chimeIsBrightAndBuzzIsLow() {
        const auto chime = ParseWave(LoadWave(206));
        const auto buzz = ParseWave(LoadWave(204));
        QVERIFY(chime && buzz);
        QVERIFY(Crossings(*chime) > 1500);
        QVERIFY(Crossings(*buzz) < 1200);
        // Both channels of a stereo sound carry it.
        const auto stereo = ParseWave(LoadWave(207));
        QVERIFY(stereo);
        QCOMPARE(stereo->samples.at(2000 * 2), stereo->samples.at(2000 * 2 + 1));
    }

    void playingFailsCleanlyWithoutSound() {
        WavePlayer* player = WavePlayer::instance();
        QCOMPARE(WavePlayer::instance(), player);
        QVERIFY(!player->play(QByteArray("not a wave")));
        QVERIFY(!player->isPlaying());
        QByteArray adpcm = LoadWave(204);
        adpcm[20] = 2; // not PCM
        QVERIFY(!player->play(adpcm));
        const bool haveOutput = !QMediaDevices::defaultAudioOutput().isNull();
        QCOMPARE(player->play(LoadWave(206)), haveOutput);
        // A second sound replaces the first.
        QCOMPARE(player->play(LoadWave(204)), haveOutput);
        player->stop();
        QVERIFY(!player->isPlaying());
    }
};

QTEST_MAIN(BankTest)
#include "bank_test.moc"
