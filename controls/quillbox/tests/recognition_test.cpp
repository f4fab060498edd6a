// Real recognition: model drawings of characters from the service's model pattern
// dictionary are written into the box as mouse strokes and must come back as Result.
#include "box_helpers.h"

#include "controls/quillbox/candidates.h"
#include "platform/encoding.h"
#include "platform/loader.h"

#include <gtest/gtest.h>

#include <memory>

using quillbox::QuillboxCtrl;

namespace {

using GetTehonPatternFn = PATTERN_W* (*)(uint32_t, int32_t, int32_t, int32_t*);
using ReleaseTehonPatternFn = void (*)(PATTERN_W*);

class RealRecognition : public ::testing::Test {
protected:
    void SetUp() override {
        service_ = platform::LoadLibrary("veltarec.dll");
        if (!service_)
            GTEST_SKIP() << "the recognition service veltarec cannot be loaded (not built, or it "
                            "cannot open its recognizer and dictionaries)";
        getModel_ = platform::GetProc<GetTehonPatternFn>(service_, "GetTehonPattern");
        releaseModel_ = platform::GetProc<ReleaseTehonPatternFn>(service_, "ReleaseTehonPattern");
        if (!getModel_ || !releaseModel_ || !platform::GetProcAddress(service_, "RecognizeF"))
            GTEST_SKIP() << "the loaded veltarec is not the recognition service";
        int32_t strokes = 0;
        PATTERN_W* probe = getModel_(0x906C, 100, 100, &strokes);
        if (!probe) GTEST_SKIP() << "no model pattern dictionary in the system directory";
        releaseModel_(probe);
    }
    void TearDown() override {
        if (service_) platform::FreeLibrary(service_);
    }

    // Writes the model of code into the box, inside a margin, stroke by stroke.
    bool write(QuillboxCtrl* box, uint32_t code, int size, int margin) {
        int32_t strokes = 0;
        PATTERN_W* model = getModel_(code, size, size, &strokes);
        if (!model) return false;
        std::vector<QPoint> stroke;
        for (int i = 0; i < model->num; ++i) {
            const POINT_W& p = model->data[i];
            if (p.attr & PT_PENDOWN) stroke.clear();
            stroke.push_back({p.x + margin, p.y + margin});
            if (p.attr & PT_PENUP) {
                boxtest::MouseStroke(box, stroke);
                stroke.clear();
            }
        }
        releaseModel_(model);
        return true;
    }

    void* service_ = nullptr;
    GetTehonPatternFn getModel_ = nullptr;
    ReleaseTehonPatternFn releaseModel_ = nullptr;
};

} // namespace

TEST_F(RealRecognition, ModelDrawingsComeBackAsResult) {
    std::unique_ptr<QuillboxCtrl> box(QuillboxCtrl::create());
    ASSERT_NE(box, nullptr);
    box->resize(200, 200);
    box->show();
    // The game's answer boxes: hiragana and kanji only.
    for (const char* flag :
         {"chAlphaLower", "chAlphaUpper", "chKana", "chNum", "chOther", "chSmallAO", "chPunc"})
        box->setProperty(flag, false);
    box->setSelectNum(5);
    // 人 山 川 木 日 口 あ の
    const uint32_t codes[] = {0x906C, 0x8E52, 0x90EC, 0x96D8, 0x93FA, 0x8CFB, 0x82A0, 0x82CC};
    int tried = 0;
    for (uint32_t code : codes) {
        const std::string expected = quillbox::CandidateText(code);
        box->Clear();
        if (!write(box.get(), code, 160, 20)) continue;
        ++tried;
        ASSERT_TRUE(box->recogOk()) << "the model left ink in the box";
        box->Recognize();
        const QString want = QString::fromStdString(platform::Cp932ToUtf8(expected).value_or("?"));
        EXPECT_TRUE(box->recog()) << want.toStdString() << " was not recognized at all";
        EXPECT_EQ(box->result().toStdString(), want.toStdString())
            << "candidates: " << box->resultExCh().toStdString();
    }
    if (tried == 0) GTEST_SKIP() << "the model dictionary holds none of the test characters";
}
