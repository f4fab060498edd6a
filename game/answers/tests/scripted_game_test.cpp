// One game with the real recognition service and dictionaries: player 1 writes the
// answer into the box as mouse strokes, recognizes it and checks it.
#include "answer_helpers.h"

#include "game/answers/pebblebutton.h"
#include "platform/encoding.h"
#include "platform/loader.h"
#include "tessera/records.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace answers;

namespace {

using GetTehonPatternFn = PATTERN_W* (*)(uint32_t, int32_t, int32_t, int32_t*);
using ReleaseTehonPatternFn = void (*)(PATTERN_W*);

} // namespace

TEST(ScriptedGame, PlayerOneWritesTheAnswerAndWins) {
    if (!qEnvironmentVariableIsSet("ANSWERS_REAL_SERVICE"))
        GTEST_SKIP() << "run with ANSWERS_REAL_SERVICE set and the real service on the path";
    void* service = platform::LoadLibrary("veltarec.dll");
    if (!service)
        GTEST_SKIP() << "the recognition service veltarec cannot be loaded (not built, or no "
                        "dictionaries in the system directory)";
    auto getModel = platform::GetProc<GetTehonPatternFn>(service, "GetTehonPattern");
    auto releaseModel = platform::GetProc<ReleaseTehonPatternFn>(service, "ReleaseTehonPattern");
    if (!getModel || !releaseModel) {
        platform::FreeLibrary(service);
        GTEST_SKIP() << "the loaded veltarec is not the recognition service";
    }

    answertest::FakeHost host;
    host.answer = QStringLiteral("山");
    AnswerMirror mirror(&host);
    AnswerForm one(&host, 1), two(&host, 2, &mirror);
    host.one = &one;
    host.two = &two;
    one.resize(260, 460);
    one.show();
    two.show();
    QWidget* box = one.box().widget();
    ASSERT_NE(box, nullptr) << "the handwriting box plug-in did not load";

    const int side = qMin(box->width(), box->height()) - 20;
    int32_t strokes = 0;
    PATTERN_W* model = getModel(0x8E52, side, side, &strokes); // 山
    if (!model) {
        platform::FreeLibrary(service);
        GTEST_SKIP() << "no model pattern of the answer in the system directory";
    }
    const QPoint offset((box->width() - side) / 2, (box->height() - side) / 2);
    std::vector<QPoint> stroke;
    for (int i = 0; i < model->num; ++i) {
        const POINT_W& p = model->data[i];
        if (p.attr & PT_PENDOWN) stroke.clear();
        stroke.push_back(QPoint(p.x, p.y) + offset);
        if (p.attr & PT_PENUP) answertest::MouseStroke(box, stroke);
    }
    releaseModel(model);
    ASSERT_TRUE(one.box().recogOk()) << "the strokes left no ink";

    QTest::mouseClick(one.recButton(), Qt::LeftButton);
    ASSERT_TRUE(one.box().recog());
    ASSERT_EQ(one.box().result().toStdString(), host.answer.toStdString());
    QTest::mouseClick(one.chkButton(), Qt::LeftButton);

    EXPECT_EQ(one.larder().bitMapNo(), kPictureCorrect);
    EXPECT_EQ(two.larder().bitMapNo(), kPictureWrong);
    EXPECT_EQ(mirror.larder().bitMapNo(), kPictureWrong);
    EXPECT_EQ(host.seikai, std::vector<int>{1});
    for (const AnswerForm* f : {&one, &two}) {
        EXPECT_TRUE(f->box().readOnly());
        EXPECT_FALSE(f->recButton()->isEnabled());
        EXPECT_FALSE(f->clearButton()->isEnabled());
        EXPECT_FALSE(f->chkButton()->isEnabled());
    }
    one.Unload();
    two.Unload();
    mirror.Unload();
    platform::FreeLibrary(service);
}
