#include "strrec/charkind.h"
#include "strrec/lptables.h"
#include "strrec/runcache.h"
#include "strrec/srobj.h"
#include "tests/fake_classifier.h"

#include "strrec/classifier_api.h"
#include "tests/search_probe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

class Lattice : public ::testing::Test {
protected:
    void SetUp() override {
        fake::SetOpenResult(0);
        iOpenClassRecogModule("", "");
        fake::ResetCallCount();
        // each test's stand-in answers differently for the same points
        rRunCache().vClear();
    }
    void TearDown() override {
        vCloseClassRecogModule();
        fake::SetHandler(nullptr);
    }
};

TEST_F(Lattice, OneElementLine) {
    fake::SetHandler([](const PATTERN_W&, CR_RESULT* res, int) {
        res[0] = {1, 900, 0x82A0};
        res[1] = {2, 800, 0x82A2};
        return 2;
    });
    SearchProbe obj;
    obj.Bar(0, 60, 50, 50);
    obj.Bar(30, 30, 20, 80);
    ASSERT_EQ(obj.Search(100), SR_OK);
    ASSERT_EQ(obj.m_SegRes.iGetElmCount(), 1);
    EXPECT_EQ(obj.m_iDPSize, 10);
    EXPECT_EQ(fake::CallCount(), 1);
    const DPCELL* best = obj.pGetSorted(0);
    ASSERT_NE(best, nullptr);
    EXPECT_EQ(best->cr.code, 0x82A0u);
    EXPECT_EQ(best->iCharElmC, 1);
    EXPECT_EQ(best->pPrev, nullptr);
    // The gap after the last element is 0, clamped to 10: the floor of the division table.
    const float expected = -14.99f + g_srlp.fGetBoxLP(60, 0x82A0) + g_srlp.fGetSimLP(900) + 0.0f;
    EXPECT_FLOAT_EQ(best->fValidity, expected);
    EXPECT_FLOAT_EQ(g_srlp.fGetDivLP(0), -14.99f);
    // The empty slots of the classifier's answer are rejected cells.
    const DPCELL* third = obj.pGetSorted(2);
    EXPECT_EQ(third->bRejected, 1);
    EXPECT_FLOAT_EQ(third->fValidity, g_fMinFloatVal);
}

TEST_F(Lattice, DefiniteBoundaryForbidsASpanningCharacter) {
    // Elements at centres 1, 61 | 198, 258: 60 % gaps are possible boundaries, the 137 %
    // gap between the second and third is definite. All boxes are small enough to join.
    struct Seen {
        int minX, maxX;
    };
    std::vector<Seen> seen;
    fake::SetHandler([&](const PATTERN_W& p, CR_RESULT* res, int) {
        int maxX = 0;
        for (int n = 0; n < p.num; ++n) maxX = std::max<int>(maxX, p.data[n].x);
        seen.push_back({fake::MinX(p), maxX});
        res[0] = {1, 900, 0x82A0};
        return 1;
    });
    SearchProbe obj;
    obj.Bar(0, 2);
    obj.Bar(60, 62);
    obj.Bar(197, 199);
    obj.Bar(257, 259);
    ASSERT_EQ(obj.Search(100), SR_OK);
    ASSERT_EQ(obj.m_SegRes.iGetElmCount(), 4);
    ASSERT_EQ(obj.m_SegRes.iGetSegCount(), 2);
    EXPECT_EQ(obj.m_SegRes.iGetSegData(0), 2);
    EXPECT_FALSE(obj.m_bCheckSegPos(3, 1));
    EXPECT_TRUE(obj.m_bCheckSegPos(2, 0));
    EXPECT_TRUE(obj.m_bCheckSegPos(4, 2));
    bool joinedLeft = false, joinedRight = false;
    for (const Seen& s : seen) {
        EXPECT_FALSE(s.minX <= 62 && s.maxX >= 197) << s.minX << ".." << s.maxX;
        joinedLeft = joinedLeft || (s.minX == 0 && s.maxX == 62);
        joinedRight = joinedRight || (s.minX == 197 && s.maxX == 259);
    }
    EXPECT_TRUE(joinedLeft);
    EXPECT_TRUE(joinedRight);
    // Runs across boundary 2 are rejected; the runs on either side were classified.
    for (int k = 0; k < kDPCands; ++k) {
        EXPECT_EQ(obj.pGetCell(3, 1, k)->bRejected, 1);
        EXPECT_EQ(obj.pGetCell(4, 1, k)->bRejected, 1);
    }
    EXPECT_EQ(obj.pGetCell(2, 0, 0)->bRejected, 0);
    EXPECT_EQ(obj.pGetCell(4, 2, 0)->bRejected, 0);
    // Every chain passes boundary 2.
    for (int c = 0; c < obj.lGetResultCount(); ++c) {
        bool passes = false;
        for (const DPCELL* cell = obj.pGetSorted(c); cell != nullptr; cell = cell->pPrev)
            passes = passes || cell->iBwdPos == 2;
        EXPECT_TRUE(passes) << "candidate " << c;
    }
}

TEST_F(Lattice, ZeroScoreCandidateNeverBecomesAResult) {
    fake::SetHandler([](const PATTERN_W&, CR_RESULT* res, int) {
        res[0] = {1, 900, 0x82A0};
        res[1] = {2, 0, 0x82A2}; // a code without a score
        return 1;
    });
    SearchProbe obj;
    obj.Bar(0, 40);
    obj.Bar(300, 340);
    ASSERT_EQ(obj.Search(100), SR_OK);
    for (int c = 0; c < obj.lGetResultCount(); ++c)
        for (const DPCELL* cell = obj.pGetSorted(c); cell != nullptr; cell = cell->pPrev) {
            EXPECT_NE(cell->cr.code, 0x82A2u);
            EXPECT_GT(cell->cr.score, 0);
        }
    EXPECT_EQ(obj.pGetCell(1, 0, 1)->bRejected, 1);
    EXPECT_EQ(obj.pGetCell(2, 1, 1)->bRejected, 1);
}

TEST_F(Lattice, NothingRecognizedGivesFailureAndNoResults) {
    fake::SetHandler([](const PATTERN_W&, CR_RESULT*, int) { return 0; });
    SearchProbe obj;
    obj.Bar(0, 40);
    EXPECT_EQ(obj.Search(100), SR_ERR_FAILED);
    EXPECT_EQ(obj.lGetResultCount(), 0);
    EXPECT_TRUE(obj.bRecognized());
    long err = 0;
    EXPECT_EQ(obj.cpGetString(0, nullptr, &err), nullptr);
    EXPECT_EQ(err, SR_ERR_ARGUMENT);
}

// ---- characters of many strokes and long lines ----

// An element of `strokes` short bars stacked at x; elements 70 apart are possible but not
// definite boundaries for a character size of 199, and up to five of them fit its box.
void Column(SearchProbe& obj, int x, int strokes) {
    for (int n = 0; n < strokes; ++n) obj.Bar(x, x + 2, 10 + 5 * n, 10 + 5 * n);
}

// Answers every pattern with one candidate whose code tells its stroke count, and notes
// the largest stroke count seen.
struct StrokeCounter {
    int most = 0;
    int calls = 0;
    std::vector<int> seen;
    fake::Handler Handler() {
        return [this](const PATTERN_W& p, CR_RESULT* res, int) {
            const int strokes = fake::StrokeCount(p);
            EXPECT_GT(strokes, 0) << "malformed pattern";
            most = std::max(most, strokes);
            seen.push_back(strokes);
            ++calls;
            res[0] = {1, 900, static_cast<uint32_t>(0x8800 + strokes)};
            return 1;
        };
    }
    bool Saw(int strokes) const {
        return std::find(seen.begin(), seen.end(), strokes) != seen.end();
    }
};

TEST_F(Lattice, NoCharacterOfSeveralElementsSpansMoreThanTheStrokeBound) {
    StrokeCounter counter;
    fake::SetHandler(counter.Handler());
    SearchProbe obj;
    for (int e = 0; e < 6; ++e) Column(obj, 70 * e, 10);
    ASSERT_EQ(obj.Search(199), SR_OK);
    ASSERT_EQ(obj.m_SegRes.iGetElmCount(), 6);
    ASSERT_EQ(obj.m_SegRes.iGetSegCount(), 1); // only the end of the line is definite
    // Three elements (30 strokes) are tried; four (40) would fit the box but not the bound.
    EXPECT_TRUE(counter.Saw(30));
    EXPECT_LE(counter.most, static_cast<int>(kMaxCharStrokes));
    for (int k = 0; k < kDPCands; ++k) {
        EXPECT_EQ(obj.pGetCell(4, 0, k)->bRejected, 1);
        EXPECT_EQ(obj.pGetCell(6, 1, k)->bRejected, 1);
    }
    EXPECT_EQ(obj.pGetCell(3, 0, 0)->bRejected, 0);
    EXPECT_EQ(obj.pGetCell(6, 3, 0)->bRejected, 0);
}

// A line less than twice as wide as high is also read whole, however much wider than the
// estimated character size: the character may have been written wide and in parts.
TEST_F(Lattice, LineNarrowerThanTwiceItsHeightIsAlsoTriedWhole) {
    std::vector<int> seen;
    fake::SetHandler([&seen](const PATTERN_W& p, CR_RESULT* res, int) {
        seen.push_back(p.num);
        res[0] = {1, 900, static_cast<uint32_t>(0x8800 + p.num)};
        return 1;
    });
    auto run = [&](int gap, int parts) {
        seen.clear();
        auto obj = std::make_unique<SearchProbe>();
        for (int k = 0; k < parts; ++k) obj->Bar(gap * k, gap * k, 0, 100);
        EXPECT_EQ(obj->Search(60), SR_OK);
        EXPECT_EQ(obj->m_SegRes.iGetElmCount(), parts);
        return obj;
    };
    {
        // 150 x 100: both bars together are 2.5 sizes wide, yet tried as one character
        auto obj = run(150, 2);
        EXPECT_EQ(std::count(seen.begin(), seen.end(), 4), 1);
        EXPECT_EQ(obj->pGetCell(2, 0, 0)->bRejected, 0);
        EXPECT_EQ(obj->pGetCell(2, 0, 0)->cr.code, 0x8804u);
    }
    {
        // 250 x 100: a line that can hold two characters side by side
        auto obj = run(250, 2);
        EXPECT_EQ(std::count(seen.begin(), seen.end(), 4), 0);
        EXPECT_EQ(obj->pGetCell(2, 0, 0)->bRejected, 1);
    }
    {
        // 190 x 100 in three parts: the whole line only, no pair of its parts
        auto obj = run(95, 3);
        EXPECT_EQ(std::count(seen.begin(), seen.end(), 6), 1);
        EXPECT_EQ(std::count(seen.begin(), seen.end(), 4), 0);
        EXPECT_EQ(obj->pGetCell(3, 0, 0)->bRejected, 0);
        EXPECT_EQ(obj->pGetCell(2, 0, 0)->bRejected, 1);
        EXPECT_EQ(obj->pGetCell(3, 1, 0)->bRejected, 1);
    }
}

TEST_F(Lattice, OneElementOfManyStrokesIsStillACharacter) {
    StrokeCounter counter;
    fake::SetHandler(counter.Handler());
    SearchProbe obj;
    Column(obj, 0, 45);
    Column(obj, 70, 3);
    ASSERT_EQ(obj.Search(199), SR_OK);
    ASSERT_EQ(obj.m_SegRes.iGetElmCount(), 2);
    EXPECT_TRUE(counter.Saw(45));
    EXPECT_FALSE(counter.Saw(48)); // both elements together exceed the bound
    EXPECT_EQ(obj.pGetCell(2, 0, 0)->bRejected, 1);
    const DPCELL* best = obj.pGetSorted(0);
    ASSERT_NE(best, nullptr);
    ASSERT_EQ(best->iCharElmC, 2);
    ASSERT_NE(best->pPrev, nullptr);
    EXPECT_EQ(best->pPrev->cr.code, 0x8800u + 45);
    long head = -1, tail = -1;
    EXPECT_EQ(obj.lGetStrokeNoOfNthChar(0, 0, &head, &tail), SR_OK);
    EXPECT_EQ(head, 0);
    EXPECT_EQ(tail, 44);
}

TEST_F(Lattice, LineLongerThanTheBoundIsReadWhole) {
    StrokeCounter counter;
    fake::SetHandler(counter.Handler());
    SearchProbe obj;
    const int elements = 3 * kMaxCharStrokes + 5;
    for (int e = 0; e < elements; ++e) Column(obj, 70 * e, 2);
    ASSERT_EQ(obj.Search(199), SR_OK);
    ASSERT_EQ(obj.m_SegRes.iGetElmCount(), elements);
    // The lattice keeps a band: no character starts further back than the bound.
    EXPECT_NE(obj.pGetCell(kMaxCharStrokes, 0, 0), nullptr);
    EXPECT_EQ(obj.pGetCell(kMaxCharStrokes + 1, 0, 0), nullptr);
    EXPECT_EQ(obj.pGetCell(elements, elements - kMaxCharStrokes - 1, 0), nullptr);
    EXPECT_NE(obj.pGetCell(elements, elements - kMaxCharStrokes, 0), nullptr);
    // One classifier call per run that fits the box: at most five elements here.
    EXPECT_LE(counter.calls, 5 * elements);
    ASSERT_GE(obj.lGetResultCount(), 1);
    for (long c = 0; c < obj.lGetResultCount(); ++c) {
        long len = 0, err = -1;
        ASSERT_NE(obj.cpGetString(c, &len, &err), nullptr) << "candidate " << c;
        EXPECT_EQ(err, SR_OK);
        ASSERT_GT(len, 0);
        // The characters cover the line's strokes in order, none twice, none left out.
        long next = 0;
        for (long ch = 0; ch < len; ++ch) {
            long head = -1, tail = -1;
            ASSERT_EQ(obj.lGetStrokeNoOfNthChar(c, ch, &head, &tail), SR_OK);
            EXPECT_EQ(head, next) << "candidate " << c << " character " << ch;
            EXPECT_LE(tail - head + 1, static_cast<long>(kMaxCharStrokes));
            next = tail + 1;
        }
        EXPECT_EQ(next, obj.m_iStrokeCount) << "candidate " << c;
    }
}

TEST_F(Lattice, DefiniteBoundaryAfterEveryElementOfALongLine) {
    StrokeCounter counter;
    fake::SetHandler(counter.Handler());
    SearchProbe obj;
    const int elements = 2 * kMaxCharStrokes;
    for (int e = 0; e < elements; ++e) obj.Bar(300 * e, 300 * e + 40);
    ASSERT_EQ(obj.Search(100), SR_OK);
    ASSERT_EQ(obj.m_SegRes.iGetSegCount(), elements);
    // Every run of two elements crosses a definite boundary: one call per element.
    EXPECT_EQ(counter.calls, elements);
    EXPECT_FALSE(obj.m_bCheckSegPos(elements, elements - 2));
    EXPECT_TRUE(obj.m_bCheckSegPos(elements, elements - 1));
    EXPECT_TRUE(obj.m_bCheckSegPos(1, 0));
    ASSERT_NE(obj.pGetSorted(0), nullptr);
    EXPECT_EQ(obj.pGetSorted(0)->iCharElmC, elements);
}

TEST_F(Lattice, WorkPatternIsClearPastItsPointsAfterALargerOne) {
    // A first element of 3000 points grows the work buffer; every later, smaller pattern
    // must find the rest of the buffer clear, not the large one's points.
    bool grown = false;
    int checked = 0;
    fake::SetHandler([&](const PATTERN_W& p, CR_RESULT* res, int) {
        if (p.num >= 3000) grown = true;
        if (grown && p.num < 3000) {
            ++checked;
            for (int n = p.num; n < 3000; ++n) {
                const POINT_W& q = p.data[n];
                if (q.x != 0 || q.y != 0 || q.attr != 0) {
                    ADD_FAILURE() << "stale point " << n << " after a pattern of " << p.num;
                    break;
                }
            }
        }
        res[0] = {1, 900, 0x82A0};
        return 1;
    });
    SearchProbe obj;
    std::vector<tagPOINT> wave;
    for (int n = 0; n < 3000; ++n) wave.push_back({n % 40, 20 + n % 7});
    ASSERT_EQ(obj.lAddStrokeLast(wave.data(), static_cast<long>(wave.size())), SR_OK);
    for (int e = 1; e <= 4; ++e) obj.Bar(70 * e, 70 * e + 30);
    ASSERT_EQ(obj.Search(100), SR_OK);
    EXPECT_GT(checked, 3);
}

TEST(ResultCount, ChainsWithinTenPercentOfTheBest) {
    SearchProbe obj;
    obj.m_pDPSorted = new DPCELL[5];
    const float v[] = {-20.0f, -22.0f, -22.9f, -23.0f, -9999.0f};
    for (int n = 0; n < 5; ++n) obj.m_pDPSorted[n].fValidity = v[n];
    EXPECT_EQ(obj.m_iSetResultCount(5), 3);
    EXPECT_EQ(obj.m_iSetResultCount(2), 2); // never more than the cells
    // A validity that truncates to 0 ends the count.
    obj.m_pDPSorted[0].fValidity = -0.5f;
    EXPECT_EQ(obj.m_iSetResultCount(5), 0);
}

TEST(Sigma, TriangularNumbers) {
    aSIGMA s(5);
    EXPECT_EQ(s.iGetSize(), 5);
    EXPECT_EQ(s.iGetSigma(1), 1);
    EXPECT_EQ(s.iGetSigma(4), 10);
    EXPECT_EQ(s.iGetSigma(5), 15);
    EXPECT_EQ(s.iGetSigma(0), 0);
    EXPECT_EQ(s.iGetSigma(6), 0);
    aSIGMA empty(0);
    EXPECT_EQ(empty.iGetSigma(1), 0);
}

// ---- evaluation tables ----

TEST(Tables, SimilarityInterpolation) {
    EXPECT_FLOAT_EQ(g_srlp.fGetSimLP(1024), 0.0f);
    EXPECT_NEAR(g_srlp.fGetSimLP(900), -0.26f, 1e-5);
    EXPECT_NEAR(g_srlp.fGetSimLP(962), -0.13f, 1e-5);
    EXPECT_NEAR(g_srlp.fGetSimLP(250), -7.9995f, 1e-4);
    EXPECT_FLOAT_EQ(g_srlp.fGetSimLP(0), -9.999f);
    EXPECT_FLOAT_EQ(g_srlp.fGetSimLP(1025), -9.999f);
    EXPECT_FLOAT_EQ(g_srlp.fGetSimLP(-1), -9.999f);
    for (int s = 1; s <= 1024; ++s) EXPECT_GE(g_srlp.fGetSimLP(s), g_srlp.fGetSimLP(s - 1)) << s;
}

// Checks that the table passes through its defining points and is monotone in between.
template <class Fn> void CheckShape(Fn f, std::vector<std::pair<int, float>> knots) {
    for (auto [x, v] : knots) EXPECT_NEAR(f(x), v, 0.0005) << "at " << x;
    for (size_t n = 0; n + 1 < knots.size(); ++n) {
        const bool up = knots[n + 1].second >= knots[n].second;
        for (int x = knots[n].first; x < knots[n + 1].first; ++x) {
            if (up)
                EXPECT_LE(f(x), f(x + 1)) << "at " << x;
            else
                EXPECT_GE(f(x), f(x + 1)) << "at " << x;
            EXPECT_GE(f(x), -14.99f);
        }
    }
}

TEST(Tables, DivisionAndCombination) {
    CheckShape([](int d) { return g_srlp.fGetDivLP(d); }, {{10, -14.99f},
                                                           {30, -9.195f},
                                                           {50, -6.287f},
                                                           {70, -5.19f},
                                                           {100, -3.69f},
                                                           {120, -4.315f},
                                                           {160, -5.436f},
                                                           {200, -5.138f}});
    CheckShape([](int d) { return g_srlp.fGetCmbLP(d); }, {{-100, -11.132f},
                                                           {-40, -7.409f},
                                                           {0, -2.408f},
                                                           {20, -4.351f},
                                                           {50, -5.768f},
                                                           {80, -10.378f},
                                                           {110, -14.99f}});
    EXPECT_FLOAT_EQ(g_srlp.fGetDivLP(500), g_srlp.fGetDivLP(200));
    EXPECT_FLOAT_EQ(g_srlp.fGetCmbLP(-500), g_srlp.fGetCmbLP(-100));
    for (int d = 10; d <= 200; ++d) EXPECT_LE(g_srlp.fGetDivLP(d), -3.69f);
    for (int d = -100; d <= 110; ++d) EXPECT_LE(g_srlp.fGetCmbLP(d), -2.408f);
}

TEST(Tables, BoxColumnsByCharacterKind) {
    const uint32_t sample[6] = {0x8260, 0x82A0, 0x8142, 0x88EA, 0x8ABF, 0x0041};
    for (int kind = 0; kind < 6; ++kind) ASSERT_EQ(iTellCharCodeKind(sample[kind]), kind);
    const float knots[5][6] = {{-6.443f, -11.59f, -5.358f, -10.417f, -14.99f, -8.261f},
                               {-3.553f, -3.79f, -7.596f, -5.065f, -7.684f, -3.825f},
                               {-5.144f, -4.541f, -8.066f, -3.83f, -3.327f, -4.765f},
                               {-7.542f, -5.709f, -6.967f, -5.032f, -4.041f, -5.91f},
                               {-14.99f, -14.99f, -14.99f, -14.99f, -11.118f, -14.99f}};
    const int at[5] = {0, 40, 80, 100, 160};
    for (int kind = 0; kind < 6; ++kind) {
        std::vector<std::pair<int, float>> k;
        for (int n = 0; n < 5; ++n) k.push_back({at[n], knots[n][kind]});
        CheckShape([&](int b) { return g_srlp.fGetBoxLP(b, sample[kind]); }, k);
    }
    EXPECT_FLOAT_EQ(g_srlp.fGetBoxLP(-5, 0x82A0), g_srlp.fGetBoxLP(0, 0x82A0));
    EXPECT_FLOAT_EQ(g_srlp.fGetBoxLP(999, 0x8ABF), -11.118f);
}

} // namespace
