#include "platform/gui/windowmessage.h"

#include <QWidget>
#include <gtest/gtest.h>

namespace {

class Receiver : public QWidget {
public:
    uint lastMessage = 0;
    quintptr lastW = 0;
    qintptr lastL = 0;
    int count = 0;

protected:
    bool event(QEvent* e) override {
        if (e->type() == controls::WindowMessageEvent::kType) {
            auto* m = static_cast<controls::WindowMessageEvent*>(e);
            ++count;
            lastMessage = m->message;
            lastW = m->wParam;
            lastL = m->lParam;
            m->result = m->lParam * 2;
            return true;
        }
        return QWidget::event(e);
    }
};

} // namespace

TEST(SendWindowMessage, ReachesTheWidgetByItsHandle) {
    Receiver r;
    const WId id = r.winId();
    EXPECT_EQ(controls::SendWindowMessage(id, 0x0401, 7, -21), -42);
    EXPECT_EQ(r.count, 1);
    EXPECT_EQ(r.lastMessage, 0x0401u);
    EXPECT_EQ(r.lastW, 7u);
    EXPECT_EQ(r.lastL, -21);
}

TEST(SendWindowMessage, UnknownHandleOrNullGivesZero) {
    EXPECT_EQ(controls::SendWindowMessage(WId(0), 1, 2, 3), 0);
    EXPECT_EQ(controls::SendWindowMessage(WId(0x7fff1234), 1, 2, 3), 0);
    EXPECT_EQ(controls::SendWindowMessage(static_cast<QWidget*>(nullptr), 1, 2, 3), 0);
}

TEST(SendWindowMessage, UnhandledMessageLeavesResultZero) {
    QWidget plain;
    EXPECT_EQ(controls::SendWindowMessage(plain.winId(), 0x10, 1, 1), 0);
}

TEST(WindowMessageEvent, TypeIsFixedAndOutsideQtsOwn) {
    static_assert(controls::WindowMessageEvent::kType == QEvent::Type(QEvent::User + 0x100));
    controls::WindowMessageEvent e(5, 6, 7);
    EXPECT_EQ(e.type(), controls::WindowMessageEvent::kType);
    EXPECT_EQ(e.result, 0);
}
