#include "tools/tracefont/glyph_raster.h"

#include <QPainter>
#include <QPainterPath>
#include <QString>

namespace tracefont {

Bitmap FromImage(const QImage& image) {
    QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    Bitmap b(grey.width(), grey.height());
    for (int y = 0; y < grey.height(); ++y) {
        const uchar* row = grey.constScanLine(y);
        for (int x = 0; x < grey.width(); ++x) b.Set(x, y, row[x] < 128);
    }
    return b;
}

bool RenderGlyph(const QRawFont& font, char32_t codepoint, int size, Bitmap& out) {
    if (!font.isValid() || size <= 0 || !font.supportsCharacter(static_cast<uint>(codepoint)))
        return false;
    char32_t text[1] = {codepoint};
    QList<quint32> glyphs = font.glyphIndexesForString(QString::fromUcs4(text, 1));
    if (glyphs.size() != 1 || glyphs[0] == 0) return false;
    QPainterPath path = font.pathForGlyph(glyphs[0]);
    if (path.isEmpty()) return false;
    QRectF bounds = path.boundingRect();
    double scale = kEmShare * size / font.pixelSize();
    QImage image(size, size, QImage::Format_Grayscale8);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.translate(size / 2.0, size / 2.0);
        painter.scale(scale, scale);
        painter.translate(-bounds.center());
        painter.fillPath(path, Qt::black);
    }
    out = FromImage(image);
    return out.Count() > 0;
}

} // namespace tracefont
