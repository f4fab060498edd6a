// The box as a host sees it: created by its ProgID from the plug-in folder and used
// only through its meta-object.
#include "box_helpers.h"
#include "fake_client.h"

#include "platform/gui/control.h"
#include "platform/gui/windowmessage.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

#include <memory>

TEST(Plugin, CreatedByProgIdAndDrivenByName) {
    FakeService fake;
    ASSERT_TRUE(fake.ok());
    ASSERT_TRUE(controls::AvailableControls().contains("QUILLBOX.QuillboxCtrl.1"))
        << controls::PluginDirectory().toStdString();
    std::unique_ptr<QWidget> box(controls::CreateControl("quillbox.quillboxctrl.1", nullptr));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(controls::DispatchId(box.get(), "Recognize"), 35);
    EXPECT_EQ(controls::DispatchId(box.get(), "TimerCount"), 6);
    EXPECT_EQ(controls::DispatchId(box.get(), "BackColor"), -501);
    box->resize(200, 160);
    box->setProperty("chHira", false);

    QSignalSpy changed(box.get(), SIGNAL(RecogChange()));
    QSignalSpy released(box.get(), SIGNAL(LButtonRelease()));
    boxtest::MouseStroke(box.get(), {{20, 20}, {120, 20}, {120, 120}});
    EXPECT_EQ(released.count(), 1);
    EXPECT_TRUE(box->property("RecogOk").toBool());
    fake.answer({{0x82A0, 500}, {0x906C, 400}});
    ASSERT_TRUE(QMetaObject::invokeMethod(box.get(), "Recognize"));
    EXPECT_EQ(fake.mask(), 510);
    EXPECT_EQ(box->property("Result").toString(), QString::fromUtf8("あ"));
    EXPECT_EQ(box->property("ResultExCh").toString(), QString::fromUtf8("あ人"));
    EXPECT_EQ(box->property("ResultExSc").toString(), "500 400 ");
    EXPECT_TRUE(box->property("Recog").toBool());
    EXPECT_EQ(changed.count(), 1);
}

TEST(Plugin, PenMessagesByWindowHandle) {
    FakeService fake;
    ASSERT_TRUE(fake.ok());
    std::unique_ptr<QWidget> box(controls::CreateControl("QUILLBOX.QuillboxCtrl.1", nullptr));
    ASSERT_NE(box, nullptr);
    box->resize(200, 160);
    const WId handle = static_cast<WId>(box->property("hWnd").toULongLong());
    ASSERT_EQ(handle, box->winId());
    QSignalSpy released(box.get(), SIGNAL(LButtonRelease()));
    controls::SendWindowMessage(handle, 0x2505, 0, boxtest::PenParam({10, 10}));
    controls::SendWindowMessage(handle, 0x250A, 0, boxtest::PenParam({90, 10}));
    controls::SendWindowMessage(handle, 0x250A, 0, boxtest::PenParam({90, 90}));
    controls::SendWindowMessage(handle, 0x2504, 0, boxtest::PenParam({90, 90}));
    EXPECT_EQ(released.count(), 1);
    EXPECT_TRUE(box->property("RecogOk").toBool());
    ASSERT_TRUE(QMetaObject::invokeMethod(box.get(), "SavePattern"));
    const auto* saved =
        reinterpret_cast<const PATTERN_W*>(box->property("SavePatternData").toLongLong());
    ASSERT_NE(saved, nullptr);
    ASSERT_EQ(saved->num, 3);
    EXPECT_EQ(saved->data[1].x, 90);
    EXPECT_EQ(saved->data[2].attr, PT_PENUP);
}
