#include "platform/gui/windowhandle.h"

#include <gtest/gtest.h>

TEST(WindowHandle, CarriesEveryBitOfTheWindowId) {
    // Ids above 32 bits, including one with the top bit set (a negative handle), come
    // back unchanged.
    for (const quint64 id : {quint64(0x1'2345'6789), quint64(0xFFFF'FFFF'0000'0001),
                             quint64(0x8000'0000), quint64(1)}) {
        const qint64 handle = qint64(id);
        EXPECT_EQ(quint64(controls::HandleToWId(handle)), id) << std::hex << id;
    }
    EXPECT_EQ(controls::WindowHandle(nullptr), 0);
}

TEST(WindowHandle, FindsTheWidgetByItsWholeHandleOnly) {
    QWidget w;
    const qint64 handle = controls::WindowHandle(&w);
    ASSERT_NE(handle, 0);
    EXPECT_EQ(controls::HandleToWId(handle), w.winId());
    EXPECT_EQ(controls::WindowFromHandle(handle), &w);
    // A handle that agrees in its low 32 bits but not above names another window.
    EXPECT_EQ(controls::WindowFromHandle(handle ^ (qint64(1) << 32)), nullptr);
    EXPECT_EQ(controls::WindowFromHandle(handle | (qint64(0x7F) << 40)), nullptr);
    EXPECT_EQ(controls::WindowFromHandle(0), nullptr);
}
