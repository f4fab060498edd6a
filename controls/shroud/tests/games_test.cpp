// The games drawn into a back buffer and checked pixel by pixel.
#include "controls/shroud/answertext.h"
#include "controls/shroud/games.h"
#include "controls/shroud/gametable.h"
#include "controls/shroud/glyph.h"
#include "controls/shroud/priority.h"

#include <QGuiApplication>
#include <QHash>
#include <QPainter>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <sys/resource.h>
#include <vector>

using namespace shroud;

namespace {

const QColor kBack(255, 255, 255);
const QColor kString(0, 255, 0);
const QColor kFore(64, 64, 64);

Scene MakeScene(int mode, int param1, int param2, const QString& answer = QStringLiteral(u"田")) {
    Scene scene;
    scene.backColor = kBack;
    scene.foreColor = kFore;
    scene.stringColor = kString;
    scene.gameMode = mode;
    scene.param1 = param1;
    scene.param2 = param2;
    scene.answer = answer;
    scene.fontName = QStringLiteral("IPAMincho");
    return scene;
}

QImage Buffer(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::black);
    return image;
}

// The character alone, as the games that copy from it see it.
QImage Whole(QSize size, const Scene& scene) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(scene.backColor);
    QPainter painter(&image);
    DrawCentredGlyph(painter, size, scene.fontName, scene.answer, scene.stringColor);
    return image;
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

int CoveredBlocks(const QImage& image) {
    int covered = 0;
    for (int i = 0; i < kBlockGrid; ++i)
        for (int j = 0; j < kBlockGrid; ++j)
            covered += AllPixels(image, CellRect(i, j, kBlockGrid, image.size()), kFore);
    return covered;
}

} // namespace

class GamesTest : public QObject {
    Q_OBJECT

private slots:
    void answerKeepsOneDoubleByteCharacter() {
        QCOMPARE(CutAnswer(QStringLiteral(u"漢字")), QStringLiteral(u"漢"));
        QCOMPARE(CutAnswer(QStringLiteral(u"ab")), QStringLiteral(u"ab"));
        QCOMPARE(CutAnswer(QStringLiteral(u"abc")), QStringLiteral(u"ab"));
        QCOMPARE(CutAnswer(QStringLiteral(u"a")), QStringLiteral(u"a"));
        QCOMPARE(CutAnswer(QString()), QString());
        // Half-width katakana takes one byte, so two of them fit.
        QCOMPARE(CutAnswer(QStringLiteral(u"ｱｲｳ")), QStringLiteral(u"ｱｲ"));
        // A double-byte character that would be split is dropped whole.
        QCOMPARE(CutAnswer(QStringLiteral(u"a漢")), QStringLiteral(u"a"));
        // Outside Shift-JIS: counted as one double-byte character, surrogates kept together.
        QCOMPARE(CutAnswer(QStringLiteral(u"\U0001F600x")), QStringLiteral(u"\U0001F600"));
    }

    void gameTableAndClamp() {
        QCOMPARE(GameInfoFor(1).gameName, QStringLiteral(u"モザイク"));
        QCOMPARE(GameInfoFor(1).param2Name, QStringLiteral(u"－－"));
        QCOMPARE(GameInfoFor(2).param1Name, QStringLiteral(u"枚数"));
        QCOMPARE(GameInfoFor(3).gameName, QStringLiteral(u"フラッシュ"));
        QCOMPARE(GameInfoFor(3).param2Name, QStringLiteral(u"色差"));
        QCOMPARE(GameInfoFor(4).param1Name, QStringLiteral(u"太さ"));
        QCOMPARE(GameInfoFor(5).gameName, QStringLiteral(u"バラバラ"));
        QCOMPARE(GameInfoFor(5).param2Name, QStringLiteral(u"分割"));
        QCOMPARE(ClampGameMode(0), 1);
        QCOMPARE(ClampGameMode(-7), 1);
        QCOMPARE(ClampGameMode(6), 5);
        QCOMPARE(GameInfoFor(9).gameName, GameInfoFor(5).gameName);
    }

    void emptyAnswerLeavesOnlyTheBackground() {
        for (int mode = 1; mode <= kGameCount; ++mode) {
            QImage buffer = Buffer(120, 90);
            GlyphMask mask;
            DealRandom random(7);
            const int period = DrawScene(buffer, MakeScene(mode, 3, 5, QString()), mask, random);
            QVERIFY2(AllPixels(buffer, buffer.rect(), kBack), qPrintable(QString::number(mode)));
            QCOMPARE(period, 0);
        }
    }

    void cellsTileTheArea() {
        const QSize area(100, 53);
        for (int n : {1, 3, 7, 14, 256}) {
            std::vector<int> seen(area.width() * area.height());
            for (int i = 0; i < n; ++i)
                for (int j = 0; j < n; ++j) {
                    const QRect r = CellRect(i, j, n, area);
                    for (int y = r.top(); y <= r.bottom(); ++y)
                        for (int x = r.left(); x <= r.right(); ++x) ++seen[y * area.width() + x];
                }
            QVERIFY(std::all_of(seen.begin(), seen.end(), [](int k) { return k == 1; }));
        }
        QCOMPARE(CellRect(1, 2, 3, area), QRect(33, 35, 33, 18));
    }

    void mosaicOneCellIsTheAverageColour() {
        QImage buffer = Buffer(150, 110);
        GlyphMask mask;
        DealRandom random(1);
        DrawScene(buffer, MakeScene(1, 1, 1), mask, random);
        int lit = 0;
        for (int x = 0; x < GlyphMask::kSide; ++x)
            for (int y = 0; y < GlyphMask::kSide; ++y) lit += mask.lit(x, y);
        const double share = lit / 65536.0;
        QVERIFY(share > 0.05 && share < 0.6);
        const int red = static_cast<int>(std::floor(255 - share * 255));
        QVERIFY(AllPixels(buffer, buffer.rect(), QColor(red, 255, red)));
    }

    void mosaicAt256ShowsEveryMaskPixel() {
        QImage buffer = Buffer(512, 256); // cells of 2 x 1 pixels
        GlyphMask mask;
        DealRandom random(1);
        DrawScene(buffer, MakeScene(1, 256, 1), mask, random);
        int lit = 0;
        for (int x = 0; x < 256; ++x) {
            for (int y = 0; y < 256; ++y) {
                const QColor want = mask.lit(x, y) ? kString : kBack;
                lit += mask.lit(x, y);
                QCOMPARE(buffer.pixelColor(2 * x, y), want);
                QCOMPARE(buffer.pixelColor(2 * x + 1, y), want);
            }
        }
        QVERIFY(lit > 1000);
        // Cells beyond 256 are not made: 300 draws the same as 256.
        QImage again = Buffer(512, 256);
        DrawScene(again, MakeScene(1, 300, 1), mask, random);
        QCOMPARE(again, buffer);
    }

    void mosaicMaskIsCachedPerAnswer() {
        GlyphMask mask;
        QVERIFY(mask.ensure(QStringLiteral(u"田"), QStringLiteral("IPAMincho")));
        QVERIFY(!mask.ensure(QStringLiteral(u"田"), QStringLiteral("IPAMincho")));
        QCOMPARE(mask.key(), QStringLiteral(u"田"));
        QVERIFY(mask.ensure(QStringLiteral(u"一"), QStringLiteral("IPAMincho")));
        // 一 is one horizontal bar: nothing lit in the top rows, something in the middle.
        bool top = false, middle = false;
        for (int x = 0; x < 256; ++x) {
            for (int y = 0; y < 40; ++y) top = top || mask.lit(x, y);
            for (int y = 100; y < 180; ++y) middle = middle || mask.lit(x, y);
        }
        QVERIFY(!top);
        QVERIFY(middle);
        mask.forget();
        QVERIFY(mask.key().isEmpty());
        QVERIFY(mask.ensure(QStringLiteral(u"一"), QStringLiteral("IPAMincho")));
    }

    void blocksOpenExactlyHalfAtMost() {
        const QList<QPair<int, int>> cases = {{98, 98}, {200, 98}, {1, 1},
                                              {0, 1},   {-5, 1},   {40, 40}};
        for (const auto& [param1, opened] : cases) {
            for (uint32_t seed : {1u, 2u, 3u}) {
                QImage buffer = Buffer(280, 280);
                GlyphMask mask;
                DealRandom random(seed);
                DrawScene(buffer, MakeScene(2, param1, 1), mask, random);
                QCOMPARE(CoveredBlocks(buffer), 196 - opened);
                // An opened block shows the character or background, never the cover.
                int clean = 0;
                for (int i = 0; i < kBlockGrid; ++i)
                    for (int j = 0; j < kBlockGrid; ++j)
                        clean +=
                            !AnyPixel(buffer, CellRect(i, j, kBlockGrid, buffer.size()), kFore);
                QCOMPARE(clean, opened);
            }
        }
    }

    void blocksShowTheCharacterThroughOpenedBlocks() {
        QImage buffer = Buffer(280, 280);
        GlyphMask mask;
        DealRandom random(11);
        DrawScene(buffer, MakeScene(2, 98, 1), mask, random);
        const QImage whole = Whole(buffer.size(), MakeScene(2, 98, 1));
        for (int i = 0; i < kBlockGrid; ++i) {
            for (int j = 0; j < kBlockGrid; ++j) {
                const QRect r = CellRect(i, j, kBlockGrid, buffer.size());
                if (AnyPixel(buffer, r, kFore)) continue;
                QCOMPARE(buffer.copy(r), whole.copy(r));
            }
        }
    }

    void timersOfEachGame() {
        QCOMPARE(RedealPeriod(1), 0);
        QCOMPARE(RedealPeriod(0), 0);
        QCOMPARE(RedealPeriod(2), 200);
        QCOMPARE(RedealPeriod(100), 10000);
        QCOMPARE(RedealPeriod(150), 10000);
        GlyphMask mask;
        DealRandom random(5);
        QImage buffer = Buffer(60, 60);
        QCOMPARE(DrawScene(buffer, MakeScene(1, 4, 50), mask, random), 0);
        QCOMPARE(DrawScene(buffer, MakeScene(2, 4, 50), mask, random), 5000);
        QCOMPARE(DrawScene(buffer, MakeScene(2, 4, 1), mask, random), 0);
        QCOMPARE(DrawScene(buffer, MakeScene(4, 4, 7), mask, random), 700);
        QCOMPARE(DrawScene(buffer, MakeScene(5, 4, 50), mask, random), 0);
        for (int k = 0; k < 200; ++k) {
            const int pause = DrawScene(buffer, MakeScene(3, 4, 50), mask, random);
            QVERIFY(pause >= 500 && pause < 5000);
        }
        // The flash game draws nothing into the buffer.
        QVERIFY(AllPixels(buffer, buffer.rect(), kBack));
    }

    void crossShowsTwoStripes() {
        const Scene scene = MakeScene(4, 10, 1);
        for (uint32_t seed : {1u, 2u, 3u, 4u}) {
            QImage buffer = Buffer(200, 160);
            GlyphMask mask;
            DealRandom random(seed);
            DrawScene(buffer, scene, mask, random);
            const QImage whole = Whole(buffer.size(), scene);
            // Exactly t whole rows and t whole columns are uncovered, side by side.
            QList<int> rows, columns;
            for (int y = 0; y < buffer.height(); ++y)
                if (!AnyPixel(buffer, QRect(0, y, buffer.width(), 1), kFore)) rows << y;
            for (int x = 0; x < buffer.width(); ++x)
                if (!AnyPixel(buffer, QRect(x, 0, 1, buffer.height()), kFore)) columns << x;
            QCOMPARE(rows.size(), 10);
            QCOMPARE(columns.size(), 10);
            QCOMPARE(rows.last() - rows.first(), 9);
            QCOMPARE(columns.last() - columns.first(), 9);
            const QRect band(0, rows.first(), buffer.width(), 10);
            const QRect pillar(columns.first(), 0, 10, buffer.height());
            QCOMPARE(buffer.copy(band), whole.copy(band));
            QCOMPARE(buffer.copy(pillar), whole.copy(pillar));
        }
    }

    void crossThickerThanTheAreaStartsAtTheEdge() {
        // Thicker than the height: the horizontal stripe sits at y = 0 and covers all.
        for (const QSize size : {QSize(300, 100), QSize(100, 300)}) {
            const Scene scene = MakeScene(4, 120, 1);
            QImage buffer = Buffer(size.width(), size.height());
            GlyphMask mask;
            DealRandom random(9);
            DrawScene(buffer, scene, mask, random);
            QVERIFY(!AnyPixel(buffer, buffer.rect(), kFore));
            QCOMPARE(buffer, Whole(size, scene));
        }
        // Thickness is capped at 128 pixels.
        QImage buffer = Buffer(400, 400);
        GlyphMask mask;
        DealRandom random(3);
        DrawScene(buffer, MakeScene(4, 1000, 1), mask, random);
        int open = 0;
        for (int y = 0; y < 400; ++y) open += !AnyPixel(buffer, QRect(0, y, 400, 1), kFore);
        QCOMPARE(open, 128);
    }

    void scatterWholeWhenEnoughTilesStay() {
        const QList<QPair<int, int>> whole = {{15, 4}, {1, 1}, {500, 4}, {0, 1}, {99, 10}};
        for (const auto& [param1, n] : whole) {
            const Scene scene = MakeScene(5, param1, n);
            for (uint32_t seed : {1u, 2u}) {
                QImage buffer = Buffer(200, 200);
                GlyphMask mask;
                DealRandom random(seed);
                DrawScene(buffer, scene, mask, random);
                QCOMPARE(buffer, Whole(buffer.size(), scene));
            }
        }
    }

    void scatterPermutesTheTiles() {
        const Scene scene = MakeScene(5, 3, 4);
        const QImage whole = Whole(QSize(200, 200), scene);
        auto tileKey = [](const QImage& image, int place) {
            const QRect r = CellRect(place % 4, place / 4, 4, image.size());
            const QImage tile = image.copy(r);
            return QByteArray(reinterpret_cast<const char*>(tile.constBits()), tile.sizeInBytes());
        };
        QHash<QByteArray, int> source;
        for (int p = 0; p < 16; ++p) ++source[tileKey(whole, p)];
        bool scattered = false;
        for (uint32_t seed = 1; seed <= 10; ++seed) {
            QImage buffer = Buffer(200, 200);
            GlyphMask mask;
            DealRandom random(seed);
            DrawScene(buffer, scene, mask, random);
            QHash<QByteArray, int> shown;
            int inPlace = 0;
            for (int p = 0; p < 16; ++p) {
                ++shown[tileKey(buffer, p)];
                inPlace += tileKey(buffer, p) == tileKey(whole, p);
            }
            QCOMPARE(shown, source);
            QVERIFY(inPlace >= 3);
            scattered = scattered || buffer != whole;
        }
        QVERIFY(scattered);
    }

    void scatterWithUnevenTiles() {
        // 7 tiles over 100 pixels: tiles differ in size, nothing may spill or crash, and
        // every pixel is either background or character colour (antialiased in between).
        QImage buffer = Buffer(100, 100);
        GlyphMask mask;
        DealRandom random(4);
        DrawScene(buffer, MakeScene(5, 1, 7), mask, random);
        QVERIFY(!AnyPixel(buffer, buffer.rect(), Qt::black));
    }

    void flashColourAndLength() {
        QCOMPARE(FlashColour(QColor(255, 0, 128), 200), QColor(127, 128, 0));
        QCOMPARE(FlashColour(QColor(255, 0, 127), 0), QColor(254, 1, 128));
        QCOMPARE(FlashColour(QColor(200, 100, 128), 30), QColor(170, 130, 98));
        QCOMPARE(FlashMillis(1), 0);
        QCOMPARE(FlashMillis(0), 0);
        QCOMPARE(FlashMillis(501), 500);
        QCOMPARE(FlashMillis(2001), 2000);
        QCOMPARE(FlashMillis(99999), 2000);
    }

    void flashDrawsTheCharacterInTheFlashColour() {
        Scene scene = MakeScene(3, 1, 40);
        QImage window = Buffer(120, 80);
        window.fill(kBack);
        QPainter painter(&window);
        DrawFlash(painter, window.size(), scene);
        painter.end();
        QVERIFY(AnyPixel(window, window.rect(), QColor(215, 215, 215)));
        // Centred: the square cell of 80 starts at x = 20, nothing is drawn left of it.
        QVERIFY(AllPixels(window, QRect(0, 0, 20, 80), kBack));
    }

    void zeroSizedBufferDrawsNothing() {
        for (int mode = 1; mode <= kGameCount; ++mode) {
            QImage buffer;
            GlyphMask mask;
            DealRandom random(1);
            DrawScene(buffer, MakeScene(mode, 5, 5), mask, random);
            QVERIFY(buffer.isNull());
        }
        QImage flat = Buffer(50, 0);
        GlyphMask mask;
        DealRandom random(1);
        DrawScene(flat, MakeScene(4, 5, 5), mask, random);
    }

    void priorityIsPutBack() {
        const int before = getpriority(PRIO_PROCESS, 0);
        {
            ScopedHighPriority high;
            if (high.raised())
                QVERIFY(getpriority(PRIO_PROCESS, 0) < before);
            else
                QCOMPARE(getpriority(PRIO_PROCESS, 0), before);
        }
        QCOMPARE(getpriority(PRIO_PROCESS, 0), before);
    }
};

QTEST_MAIN(GamesTest)
#include "games_test.moc"
