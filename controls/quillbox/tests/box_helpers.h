// Helpers for driving a handwriting box in tests: strokes as mouse events, as pen
// messages and as tablet events, and an application object for the test program.
#pragma once

#include "controls/quillbox/quillboxctrl.h"
#include "platform/gui/windowmessage.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QTabletEvent>
#include <QTest>

#include <vector>

namespace boxtest {

inline void Mouse(QWidget* w, QEvent::Type type, QPoint pt, Qt::MouseButton button,
                  Qt::MouseButtons held) {
    QMouseEvent e(type, QPointF(pt), QPointF(w->mapToGlobal(pt)), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

// One stroke with the left button: press at the first point, a move to every further
// point, release at the last.
inline void MouseStroke(QWidget* w, const std::vector<QPoint>& pts) {
    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, pts.front());
    for (size_t i = 1; i < pts.size(); ++i)
        Mouse(w, QEvent::MouseMove, pts[i], Qt::NoButton, Qt::LeftButton);
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, pts.back());
}

inline void RightClick(QWidget* w, QPoint pt = {5, 5}) {
    QTest::mouseClick(w, Qt::RightButton, Qt::NoModifier, pt);
}

inline qintptr PenParam(QPoint pt) {
    return static_cast<qintptr>((static_cast<quint32>(static_cast<quint16>(pt.y())) << 16) |
                                static_cast<quint16>(pt.x()));
}

// Sends a private window message; returns its result.
inline qintptr Message(QWidget* w, uint message, QPoint pt = {}) {
    controls::WindowMessageEvent e(message, 0, PenParam(pt));
    e.result = -1;
    QCoreApplication::sendEvent(w, &e);
    return e.result;
}

// One stroke as pen messages: down at the first point, moves, up at the last.
inline void PenStroke(QWidget* w, const std::vector<QPoint>& pts) {
    Message(w, quillbox::QuillboxCtrl::kPenDown, pts.front());
    for (size_t i = 1; i < pts.size(); ++i) Message(w, quillbox::QuillboxCtrl::kPenMove, pts[i]);
    Message(w, quillbox::QuillboxCtrl::kPenUp, pts.back());
}

inline void Tablet(QWidget* w, QEvent::Type type, QPoint pt) {
    const Qt::MouseButton button = type == QEvent::TabletMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held = type == QEvent::TabletRelease ? Qt::NoButton : Qt::LeftButton;
    QTabletEvent e(type, QPointingDevice::primaryPointingDevice(), QPointF(pt),
                   QPointF(w->mapToGlobal(pt)), 0.5, 0, 0, 0, 0, 0, Qt::NoModifier, button, held);
    QCoreApplication::sendEvent(w, &e);
}

inline void TabletStroke(QWidget* w, const std::vector<QPoint>& pts) {
    Tablet(w, QEvent::TabletPress, pts.front());
    for (size_t i = 1; i < pts.size(); ++i) Tablet(w, QEvent::TabletMove, pts[i]);
    Tablet(w, QEvent::TabletRelease, pts.back());
}

} // namespace boxtest
