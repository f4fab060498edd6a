#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <gtest/gtest.h>

#include <cmath>

#include "tools/bench/samples.h"
#include "tools/tracefont/glyph_raster.h"
#include "tools/tracefont/glyph_trace.h"
#include "tools/tracefont/tests/shapes.h"

namespace tracefont {
namespace {

using test::FillRect;

// A square box glyph (口) 100 pixels wide with strokes 9 pixels thick; its drawing in
// KanjiVG's units: the left side, the top and right side in one stroke, the bottom.
Bitmap BoxGlyph(bool right_side = true, int right_gap = 0) {
    Bitmap b(128, 128);
    FillRect(b, 14, 14, 22, 113);   // left
    FillRect(b, 14, 14, 113, 22);   // top
    FillRect(b, 14, 105, 113, 113); // bottom
    if (right_side) {
        FillRect(b, 105, 14, 113, 113);
        for (int y = 64 - right_gap / 2; y < 64 - right_gap / 2 + right_gap; ++y)
            for (int x = 105; x <= 113; ++x) b.Set(x, y, false);
    }
    return b;
}

const std::vector<Polyline> kBoxDrawing{
    {{20, 20}, {20, 90}},
    {{20, 20}, {90, 20}, {90, 90}},
    {{20, 90}, {90, 90}},
};

TEST(TraceGlyph, BoxFollowsTheDrawingsOrderAndDirection) {
    auto r = TraceGlyph(BoxGlyph(), kBoxDrawing, TraceParams{});
    ASSERT_EQ(r.status, TraceStatus::Traced);
    ASSERT_EQ(r.strokes.size(), 3u);
    const auto& left = r.strokes[0];
    const auto& turn = r.strokes[1];
    const auto& bottom = r.strokes[2];
    // left side written downwards, on the font's line (x about 18)
    EXPECT_LT(left.front().y, left.back().y);
    EXPECT_GT(left.back().y - left.front().y, 70);
    for (const auto& p : left) EXPECT_NEAR(p.x, 18, 2);
    // the second stroke turns: it starts top left and ends bottom right
    EXPECT_LT(turn.front().x, 30);
    EXPECT_LT(turn.front().y, 30);
    EXPECT_GT(turn.back().x, 100);
    EXPECT_GT(turn.back().y, 95);
    // the bottom from left to right
    EXPECT_LT(bottom.front().x, bottom.back().x);
    for (const auto& p : bottom) EXPECT_NEAR(p.y, 109, 2);
}

TEST(TraceGlyph, TallyCountsTracedSnappedAndUntraceable) {
    TraceTally tally;
    TraceParams params;
    auto whole = TraceGlyph(BoxGlyph(), kBoxDrawing, params);
    auto gap = TraceGlyph(BoxGlyph(true, 6), kBoxDrawing, params);
    auto missing = TraceGlyph(BoxGlyph(false), kBoxDrawing, params);
    EXPECT_EQ(whole.status, TraceStatus::Traced);
    EXPECT_EQ(gap.status, TraceStatus::Snapped);
    EXPECT_EQ(gap.snapped_strokes, 1);
    EXPECT_EQ(missing.status, TraceStatus::Untraceable);
    EXPECT_TRUE(PenInput(missing, 2.5).empty());
    tally.Add(whole);
    tally.Add(gap);
    tally.Add(missing);
    tally.missing_font = 4;
    EXPECT_EQ(tally.traced, 2);
    EXPECT_EQ(tally.snapped, 1);
    EXPECT_EQ(tally.untraceable, 1);
    EXPECT_EQ(tally.widened, 0);
    EXPECT_EQ(tally.Summary(), "2 traced (1 with a stroke snapped point by point, 0 with a wider "
                               "radius), 1 untraceable, 4 missing from the font, 0 without a "
                               "KanjiVG drawing in the dictionaries");
    EXPECT_EQ(TraceGlyph(Bitmap(64, 64), kBoxDrawing, params).status, TraceStatus::Untraceable);
}

TEST(TraceGlyph, WidensTheRadiusForAStrokeFarFromItsPlace) {
    // 冂-like: the font draws the right leg 21 pixels in from where the drawing has it
    Bitmap b(128, 128);
    FillRect(b, 14, 14, 113, 22); // top, across the whole width
    FillRect(b, 14, 14, 22, 113); // left leg
    FillRect(b, 84, 14, 92, 113); // right leg
    const std::vector<Polyline> drawing{
        {{20, 20}, {90, 20}}, {{20, 20}, {20, 90}}, {{90, 20}, {90, 90}}};
    TraceParams params;
    auto r = TraceGlyph(b, drawing, params);
    ASSERT_NE(r.status, TraceStatus::Untraceable);
    EXPECT_TRUE(r.widened);
    EXPECT_GT(r.radius, params.radius);
    ASSERT_EQ(r.strokes.size(), 3u);
    for (const auto& p : r.strokes[2]) {
        if (p.y > 40) {
            EXPECT_NEAR(p.x, 88, 2);
        }
    }
    TraceTally tally;
    tally.Add(r);
    EXPECT_EQ(tally.widened, 1);
    // with a radius that reaches it at once, nothing is widened
    params.radius = 24;
    EXPECT_FALSE(TraceGlyph(b, drawing, params).widened);
}

TEST(PenInput, EvenSpacingAndStrokeFlags) {
    auto r = TraceGlyph(BoxGlyph(), kBoxDrawing, TraceParams{});
    auto pts = PenInput(r, 2.5);
    ASSERT_FALSE(pts.empty());
    int downs = 0, ups = 0;
    for (size_t i = 0; i < pts.size(); ++i) {
        downs += (pts[i].attr & PT_PENDOWN) != 0;
        ups += (pts[i].attr & PT_PENUP) != 0;
        if (i && !(pts[i].attr & PT_PENDOWN)) {
            double d = std::hypot(pts[i].x - pts[i - 1].x, pts[i].y - pts[i - 1].y);
            EXPECT_GE(d, 1.0) << i;
            EXPECT_LE(d, 4.0) << i; // 2.5 plus rounding of both ends
        }
    }
    EXPECT_EQ(downs, 3);
    EXPECT_EQ(ups, 3);
    // about (70 + 170 + 90) pixels of path at 2.5 pixels a point
    EXPECT_GT(pts.size(), 100u);
    EXPECT_LT(pts.size(), 160u);
}

TEST(Smooth, KeepsTheEndsAndFlattensAStaircase) {
    Polyline stair;
    for (int i = 0; i < 20; ++i) stair.push_back({double(i), double(i / 2)});
    auto s = Smooth(stair, 2);
    ASSERT_EQ(s.size(), stair.size());
    EXPECT_DOUBLE_EQ(s.front().x, 0);
    EXPECT_DOUBLE_EQ(s.back().y, 9);
    for (size_t i = 3; i + 3 < s.size(); ++i)
        EXPECT_NEAR(s[i].y - s[i - 1].y, 0.5, 0.21) << i; // steps of 0 and 1 become ~0.5
    Polyline two{{0, 0}, {5, 5}};
    EXPECT_EQ(Smooth(two, 2).size(), 2u);
}

TEST(PenInput, JsonLinesReadBackByTheBench) {
    auto r = TraceGlyph(BoxGlyph(), kBoxDrawing, TraceParams{});
    bench::Sample s;
    s.code = 0x8CFB; // 口
    s.points = PenInput(r, 2.5);
    std::string line = bench::SampleLine(s);
    EXPECT_NE(line.find("\"char\""), std::string::npos);
    bench::Sample back;
    std::string error;
    ASSERT_TRUE(bench::ParseSampleLine(line, back, error)) << error;
    EXPECT_EQ(back.code, s.code);
    ASSERT_EQ(back.points.size(), s.points.size());
    for (size_t i = 0; i < s.points.size(); ++i) {
        EXPECT_EQ(back.points[i].x, s.points[i].x);
        EXPECT_EQ(back.points[i].y, s.points[i].y);
        EXPECT_EQ(back.points[i].attr, s.points[i].attr);
    }
}

TEST(FromImage, DarkPixelsAreInk) {
    QImage img(8, 4, QImage::Format_RGB32);
    img.fill(Qt::white);
    img.setPixel(1, 2, qRgb(0, 0, 0));
    img.setPixel(3, 1, qRgb(120, 120, 120));
    img.setPixel(5, 1, qRgb(200, 200, 200));
    Bitmap b = FromImage(img);
    EXPECT_EQ(b.width, 8);
    EXPECT_EQ(b.height, 4);
    EXPECT_TRUE(b.At(1, 2));
    EXPECT_TRUE(b.At(3, 1));
    EXPECT_FALSE(b.At(5, 1));
    EXPECT_EQ(b.Count(), 2);
}

// The IPA Gothic font that the set-up installs, when it is there.
QRawFont TestFont() {
    const char* path = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
    return QFile::exists(path) ? QRawFont(QString(path), 100) : QRawFont();
}

TEST(RenderGlyph, FontOutlineFilledAndCentred) {
    QRawFont font = TestFont();
    if (!font.isValid()) GTEST_SKIP() << "IPA Gothic is not installed";
    Bitmap b;
    ASSERT_TRUE(RenderGlyph(font, U'十', 128, b));
    EXPECT_EQ(b.width, 128);
    PixelBox box = InkBox(b);
    EXPECT_NEAR((box.x0 + box.x1) / 2.0, 64, 2);
    EXPECT_NEAR((box.y0 + box.y1) / 2.0, 64, 2);
    EXPECT_GT(box.x1 - box.x0, 80);
    EXPECT_LE(box.x1 - box.x0, 128 * kEmShare);
    for (uint8_t v : b.px) EXPECT_LE(v, 1); // binary

    // 十 traced with a drawing of its two strokes
    std::vector<Polyline> drawing{{{10, 50}, {100, 50}}, {{55, 8}, {55, 100}}};
    auto r = TraceGlyph(b, drawing, TraceParams{});
    ASSERT_EQ(r.status, TraceStatus::Traced);
    EXPECT_GT(r.strokes[0].back().x - r.strokes[0].front().x, 70);
    EXPECT_GT(r.strokes[1].back().y - r.strokes[1].front().y, 70);

    Bitmap none;
    EXPECT_FALSE(RenderGlyph(font, 0x10FFFD, 128, none)); // a private-use code point
    EXPECT_FALSE(RenderGlyph(font, U' ', 128, none));     // a glyph without ink
    EXPECT_FALSE(RenderGlyph(QRawFont(), U'十', 128, none));
}

} // namespace
} // namespace tracefont
