#include "controls/shroud/glyph.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace shroud {

namespace {

QFont BaseFont(const QString& face) {
    QFont font(face);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    // A fixed-pitch face is the fallback when the named face is missing.
    font.setStyleHint(QFont::TypeWriter);
    return font;
}

} // namespace

QFont GlyphFont(const QString& face, int cellHeight) {
    QFont font = BaseFont(face);
    // Qt sizes fonts by their em; the cell also holds the face's leading, so measure
    // the cell at a large size and scale the em to make the cell cellHeight high.
    constexpr int kReference = 1000;
    font.setPixelSize(kReference);
    const qreal cell = QFontMetricsF(font).ascent() + QFontMetricsF(font).descent();
    const int em =
        cell > 0 ? static_cast<int>(std::lround(cellHeight * kReference / cell)) : cellHeight;
    font.setPixelSize(std::max(1, em));
    return font;
}

void DrawGlyph(QPainter& painter, const QString& face, int cellHeight, QPoint topLeft,
               const QString& answer, const QColor& colour) {
    if (answer.isEmpty() || cellHeight < 1) return;
    const QFont font = GlyphFont(face, cellHeight);
    painter.save();
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(QPointF(topLeft.x(), topLeft.y() + QFontMetricsF(font).ascent()), answer);
    painter.restore();
}

int CentredCellHeight(QSize area) {
    return std::max(0, std::min(area.width(), area.height()));
}

QPoint CentredCellOrigin(QSize area) {
    const int h = CentredCellHeight(area);
    return {(area.width() - h) / 2, (area.height() - h) / 2};
}

void DrawCentredGlyph(QPainter& painter, QSize area, const QString& face, const QString& answer,
                      const QColor& colour) {
    DrawGlyph(painter, face, CentredCellHeight(area), CentredCellOrigin(area), answer, colour);
}

} // namespace shroud
