#include "platform/gui/windowmessage.h"

#include <QCoreApplication>

namespace controls {

qintptr SendWindowMessage(QWidget* widget, uint message, quintptr wParam, qintptr lParam) {
    if (!widget) return 0;
    WindowMessageEvent event(message, wParam, lParam);
    QCoreApplication::sendEvent(widget, &event);
    return event.result;
}

qintptr SendWindowMessage(WId window, uint message, quintptr wParam, qintptr lParam) {
    if (window == 0) return 0;
    return SendWindowMessage(QWidget::find(window), message, wParam, lParam);
}

} // namespace controls
