// Boxes whose recognition service cannot be used: one that refuses to load, and one
// that lacks a function the box binds.
#include "box_helpers.h"
#include "fake_client.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

using quillbox::QuillboxCtrl;

namespace {

std::string Variant() {
    const char* v = std::getenv("QUILLBOX_SERVICE_VARIANT");
    return v ? v : "";
}

} // namespace

TEST(ServiceRefused, TheBoxIsNotCreated) {
    if (Variant() != "refusing") GTEST_SKIP() << "needs the refusing service first on the path";
    EXPECT_EQ(QuillboxCtrl::create(), nullptr);
}

TEST(ServiceIncomplete, RecognitionIsNotPerformed) {
    if (Variant() != "noguide") GTEST_SKIP() << "needs the incomplete service first on the path";
    FakeService fake;
    ASSERT_TRUE(fake.ok());
    std::unique_ptr<QuillboxCtrl> box(QuillboxCtrl::create());
    ASSERT_NE(box, nullptr) << "loading needs no particular function";
    box->resize(200, 160);
    boxtest::MouseStroke(box.get(), {{10, 10}, {80, 80}, {120, 80}});
    fake.answer({{0x906C, 500}});
    QSignalSpy spy(box.get(), &QuillboxCtrl::RecogChange);
    box->Recognize();
    box->RecognizeEx();
    EXPECT_EQ(fake.log(), "") << "no function is called when one is missing";
    EXPECT_EQ(box->result(), "");
    EXPECT_FALSE(box->recog());
    EXPECT_EQ(box->ink().count(), 3);
    EXPECT_EQ(box->ink().at(2).attr, PT_PENUP);
    EXPECT_EQ(spy.count(), 0);
}
