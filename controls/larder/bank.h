// The resource bank's pictures and sounds, carried inside this module.
#pragma once

#include <QByteArray>
#include <QImage>

namespace larder {

// The bitmap resource id, or a null image when the bank has no such bitmap.
QImage LoadBitmap(int id);

// The bytes of a WAVE resource, or empty when the bank has no such sound.
QByteArray LoadWave(int id);

} // namespace larder
