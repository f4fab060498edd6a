// The five hiding games, each drawn into the control's back buffer, and the flash that
// is drawn straight onto the window.
#pragma once

#include "controls/shroud/dealrandom.h"
#include "controls/shroud/glyphmask.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

class QPainter;

namespace shroud {

// Everything a deal depends on, as the control's properties hold it.
struct Scene {
    QColor backColor = Qt::white;
    QColor foreColor = Qt::black;
    QColor stringColor = QColor(0, 255, 0);
    int param1 = 1;
    int param2 = 32;
    int gameMode = 1;
    QString answer;
    QString fontName;
};

constexpr int kBlockGrid = 14;                              // blocks per side
constexpr int kMaxOpenBlocks = kBlockGrid * kBlockGrid / 2; // at most half are opened
constexpr int kMaxMosaicCells = 256;
constexpr int kMaxStripe = 128;
constexpr int kMaxTiles = 256;
constexpr int kMaxFlashMillis = 2000;
constexpr int kMaxFlashDistance = 128;

// Cell (i, j) of an n x n grid over an area: from (i*W/n, j*H/n) up to but excluding
// ((i+1)*W/n, (j+1)*H/n).
QRect CellRect(int i, int j, int n, QSize area);

// Fills the buffer with the background and draws the scene's game over it. Returns the
// period in milliseconds of the timer the deal asks for, 0 for none.
int DrawScene(QImage& buffer, const Scene& scene, GlyphMask& mask, DealRandom& random);

// The games one by one, each over a buffer already filled with the background and with a
// non-empty answer.
void DrawMosaic(QImage& buffer, const Scene& scene, GlyphMask& mask);
void DrawBlocks(QImage& buffer, const Scene& scene, DealRandom& random);
void DrawCross(QImage& buffer, const Scene& scene, DealRandom& random);
void DrawScatter(QImage& buffer, const Scene& scene, DealRandom& random);

// The re-deal period of the blocks and the cross: none for param2 <= 1, else
// param2 tenths of a second, at most ten seconds.
int RedealPeriod(int param2);

// The pause before the next flash: 0.5 s to just under 5 s.
int FlashPause(DealRandom& random);

// How long the flashed character stays: param1 - 1 milliseconds, within 0..2000.
int FlashMillis(int param1);

// The flash colour: each background channel moved by d = param2 (within 1..128) towards
// the middle, down from 128 and above, up from below.
QColor FlashColour(const QColor& back, int param2);

// Draws the flashed character centred over an area of the given size.
void DrawFlash(QPainter& painter, QSize area, const Scene& scene);

} // namespace shroud
