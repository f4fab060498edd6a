#include "platform/gui/windowhandle.h"

namespace controls {

qint64 WindowHandle(QWidget* widget) {
    return widget ? qint64(quint64(widget->winId())) : 0;
}

WId HandleToWId(qint64 handle) {
    return WId(quint64(handle));
}

QWidget* WindowFromHandle(qint64 handle) {
    if (handle == 0) return nullptr;
    return QWidget::find(HandleToWId(handle));
}

} // namespace controls
