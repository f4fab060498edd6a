// Drawing the answer character: a font whose character cell is h pixels high, and the
// character placed with the top-left corner of its cell at a given point.
#pragma once

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QSize>
#include <QString>

class QPainter;

namespace shroud {

// A normal-weight font of the face whose cell (ascent + descent) is cellHeight pixels.
QFont GlyphFont(const QString& face, int cellHeight);

// Draws answer with its cell's top-left corner at topLeft, in colour, leaving the
// background as it is. Nothing is drawn for an empty answer or a cell below 1 pixel.
void DrawGlyph(QPainter& painter, const QString& face, int cellHeight, QPoint topLeft,
               const QString& answer, const QColor& colour);

// The cell height of the centred answer on an area: the shorter side.
int CentredCellHeight(QSize area);

// Where the centred cell starts: ((width - h) / 2, (height - h) / 2).
QPoint CentredCellOrigin(QSize area);

// Draws the answer centred on an area of the given size, with the shorter side as its
// cell height.
void DrawCentredGlyph(QPainter& painter, QSize area, const QString& face, const QString& answer,
                      const QColor& colour);

} // namespace shroud
