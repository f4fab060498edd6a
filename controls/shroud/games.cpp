#include "controls/shroud/games.h"

#include "controls/shroud/glyph.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace shroud {

namespace {

// The answer drawn centred in the string colour over the background, at the buffer's size.
QImage GlyphPicture(QSize size, const Scene& scene) {
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(scene.backColor);
    QPainter painter(&picture);
    DrawCentredGlyph(painter, size, scene.fontName, scene.answer, scene.stringColor);
    return picture;
}

// Copies the part of from that lies inside the source to the same-sized place at to.
void CopyRect(QPainter& painter, QPoint to, const QImage& source, QRect from) {
    const QRect clipped = from.intersected(source.rect());
    if (clipped.isEmpty()) return;
    painter.drawImage(to + (clipped.topLeft() - from.topLeft()), source, clipped);
}

int Channel(int back, int string, double share) {
    return static_cast<int>(std::floor(back + share * (string - back)));
}

} // namespace

QRect CellRect(int i, int j, int n, QSize area) {
    const int64_t w = area.width(), h = area.height();
    const int left = static_cast<int>(i * w / n), right = static_cast<int>((i + 1) * w / n);
    const int top = static_cast<int>(j * h / n), bottom = static_cast<int>((j + 1) * h / n);
    return QRect(left, top, right - left, bottom - top);
}

int DrawScene(QImage& buffer, const Scene& scene, GlyphMask& mask, DealRandom& random) {
    buffer.fill(scene.backColor);
    if (scene.answer.isEmpty()) return 0;
    // A control of no size draws nothing but keeps its timers.
    const bool visible = !buffer.isNull();
    switch (scene.gameMode) {
    case 1:
        if (visible) DrawMosaic(buffer, scene, mask);
        return 0;
    case 2:
        if (visible) DrawBlocks(buffer, scene, random);
        return RedealPeriod(scene.param2);
    case 3:
        return FlashPause(random);
    case 4:
        if (visible) DrawCross(buffer, scene, random);
        return RedealPeriod(scene.param2);
    case 5:
        if (visible) DrawScatter(buffer, scene, random);
        return 0;
    default:
        return 0;
    }
}

void DrawMosaic(QImage& buffer, const Scene& scene, GlyphMask& mask) {
    mask.ensure(scene.answer, scene.fontName);
    const int n = std::clamp(scene.param1, 1, kMaxMosaicCells);
    constexpr int side = GlyphMask::kSide;
    std::vector<int> total(static_cast<size_t>(n) * n), lit(total.size());
    for (int x = 0; x < side; ++x) {
        const int i = x * n / side;
        for (int y = 0; y < side; ++y) {
            const size_t cell = static_cast<size_t>(i) * n + y * n / side;
            ++total[cell];
            lit[cell] += mask.lit(x, y);
        }
    }
    QPainter painter(&buffer);
    const QColor& b = scene.backColor;
    const QColor& s = scene.stringColor;
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            const QRect rect = CellRect(i, j, n, buffer.size());
            if (rect.isEmpty()) continue;
            const size_t cell = static_cast<size_t>(i) * n + j;
            const double share = static_cast<double>(lit[cell]) / total[cell];
            painter.fillRect(rect, QColor(Channel(b.red(), s.red(), share),
                                          Channel(b.green(), s.green(), share),
                                          Channel(b.blue(), s.blue(), share)));
        }
    }
}

void DrawBlocks(QImage& buffer, const Scene& scene, DealRandom& random) {
    QPainter painter(&buffer);
    DrawCentredGlyph(painter, buffer.size(), scene.fontName, scene.answer, scene.stringColor);
    bool open[kBlockGrid][kBlockGrid] = {};
    const int count = std::clamp(scene.param1, 1, kMaxOpenBlocks);
    for (int k = 0; k < count; ++k) {
        int i, j;
        do {
            i = random.below(kBlockGrid);
            j = random.below(kBlockGrid);
        } while (open[i][j]);
        open[i][j] = true;
    }
    for (int i = 0; i < kBlockGrid; ++i) {
        for (int j = 0; j < kBlockGrid; ++j) {
            if (!open[i][j])
                painter.fillRect(CellRect(i, j, kBlockGrid, buffer.size()), scene.foreColor);
        }
    }
}

void DrawCross(QImage& buffer, const Scene& scene, DealRandom& random) {
    const QImage glyph = GlyphPicture(buffer.size(), scene);
    buffer.fill(scene.foreColor);
    const int w = buffer.width(), h = buffer.height();
    const int t = std::clamp(scene.param1, 1, kMaxStripe);
    // A stripe wider than the area starts at its edge.
    const int y = random.below(h >= t ? h - t + 1 : 1);
    const int x = random.below(w >= t ? w - t + 1 : 1);
    QPainter painter(&buffer);
    CopyRect(painter, QPoint(0, y), glyph, QRect(0, y, w, t));
    CopyRect(painter, QPoint(x, 0), glyph, QRect(x, 0, t, h));
}

void DrawScatter(QImage& buffer, const Scene& scene, DealRandom& random) {
    const QImage glyph = GlyphPicture(buffer.size(), scene);
    const int n = std::clamp(scene.param2, 1, kMaxTiles);
    const int places = n * n;
    // a[i * n + j] is the table entry of column i, row j; linear place p is column p mod n,
    // row p div n.
    std::vector<int> a(static_cast<size_t>(places));
    auto at = [n](int column, int row) { return static_cast<size_t>(column) * n + row; };
    auto atPlace = [&](int place) { return at(place % n, place / n); };
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) a[at(i, j)] = j * n + i;
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            const int u = random.below(n);
            const int v = random.below(n);
            std::swap(a[at(i, j)], a[at(u, v)]);
        }
    }
    const std::vector<int> b = a;
    const int kept = n == 1 ? 1 : std::clamp(scene.param1, 1, places - 1);
    for (int l = kept; l <= places - 2; ++l) {
        const int s = l + 1 + random.below(places - l - 1);
        std::swap(a[atPlace(l)], a[atPlace(s)]);
    }
    QPainter painter(&buffer);
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            const int tile = a[at(i, j)];
            const int place = b[at(i, j)];
            const QRect to = CellRect(place % n, place / n, n, buffer.size());
            const QRect from = CellRect(tile % n, tile / n, n, buffer.size());
            CopyRect(painter, to.topLeft(), glyph, QRect(from.topLeft(), to.size()));
        }
    }
}

int RedealPeriod(int param2) {
    return param2 > 1 ? std::min(param2, 100) * 100 : 0;
}

int FlashPause(DealRandom& random) {
    return 500 + random.below(4500);
}

int FlashMillis(int param1) {
    return std::clamp(param1 - 1, 0, kMaxFlashMillis);
}

QColor FlashColour(const QColor& back, int param2) {
    const int d = std::clamp(param2, 1, kMaxFlashDistance);
    auto move = [d](int channel) { return channel >= 128 ? channel - d : channel + d; };
    return QColor(move(back.red()), move(back.green()), move(back.blue()));
}

void DrawFlash(QPainter& painter, QSize area, const Scene& scene) {
    DrawCentredGlyph(painter, area, scene.fontName, scene.answer,
                     FlashColour(scene.backColor, scene.param2));
}

} // namespace shroud
