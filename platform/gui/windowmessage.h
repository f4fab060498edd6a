// Window messages: a message number with two parameters sent to a window found by its
// handle (its WId). The receiver handles WindowMessageEvent in event() and sets result.
#pragma once

#include <QEvent>
#include <QWidget>

namespace controls {

class WindowMessageEvent : public QEvent {
public:
    // Fixed rather than registered: every plug-in links its own copy of this code, and
    // all of them must agree on the number.
    static constexpr QEvent::Type kType = QEvent::Type(QEvent::User + 0x100);

    WindowMessageEvent(uint message, quintptr wParam, qintptr lParam)
        : QEvent(kType), message(message), wParam(wParam), lParam(lParam) {}

    uint message;
    quintptr wParam;
    qintptr lParam;
    qintptr result = 0;
};

// Sends the message to the widget whose WId is window and returns the result it set;
// 0 when no widget has that handle.
qintptr SendWindowMessage(WId window, uint message, quintptr wParam, qintptr lParam);

// The same, straight to a widget (null gives 0).
qintptr SendWindowMessage(QWidget* widget, uint message, quintptr wParam, qintptr lParam);

} // namespace controls
