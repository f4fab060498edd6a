// Glyph pictures from an outline font: the outline filled without antialiasing, so that
// the picture is already binary.
#pragma once

#include <QImage>
#include <QRawFont>

#include "tools/tracefont/bitmap.h"

namespace tracefont {

// Share of the picture's side the font's em square takes; the rest is margin.
constexpr double kEmShare = 0.875;

// Pixels darker than middle grey become ink.
Bitmap FromImage(const QImage& image);

// Renders the font's glyph for the code point into a size x size picture: the em square
// scaled to kEmShare of the side, the glyph's outline centred. False when the font maps
// the character to no glyph or to one without ink.
bool RenderGlyph(const QRawFont& font, char32_t codepoint, int size, Bitmap& out);

} // namespace tracefont
