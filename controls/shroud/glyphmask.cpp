#include "controls/shroud/glyphmask.h"

#include "controls/shroud/glyph.h"

#include <QImage>
#include <QPainter>

namespace shroud {

bool GlyphMask::ensure(const QString& answer, const QString& face) {
    if (!key_.isEmpty() && key_ == answer) return false;
    QImage image(kSide, kSide, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        DrawGlyph(painter, face, kSide, QPoint(0, 0), answer, Qt::white);
    }
    for (int y = 0; y < kSide; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < kSide; ++x) {
            // Only fully covered pixels count: the anti-aliased rim is not lit.
            bits_[static_cast<size_t>(x) * kSide + y] = (line[x] & 0xFFFFFF) == 0xFFFFFF;
        }
    }
    key_ = answer;
    return true;
}

} // namespace shroud
