// Window handles as they cross a dispatch interface: a widget's WId carried whole in a
// signed 64-bit integer. WId is as wide as a pointer, so a 32-bit value would cut the
// handles of platforms whose window ids use the upper half, and a cut handle can name
// another window.
#pragma once

#include <QWidget>

namespace controls {

static_assert(sizeof(WId) <= sizeof(qint64), "a window id must fit a 64-bit handle");

// The handle of widget (its WId, which makes it a native window), or 0 for none.
qint64 WindowHandle(QWidget* widget);

// The WId a handle carries, bit for bit.
WId HandleToWId(qint64 handle);

// The widget whose WId the handle carries, or null for 0 and for a handle no widget has.
QWidget* WindowFromHandle(qint64 handle);

} // namespace controls
