#include "strrec/bigram.h"
#include "strrec/charsize.h"
#include "strrec/lptables.h"
#include "strrec/srobj.h"
#include "tessera/seqread.h"
#include "tests/fake_classifier.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <new>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr uint32_t kCodes[] = {0x82A0, 0x82A2, 0x82A4, 0x82A6}; // あいうえ
constexpr uint32_t kSpanning = 0x88EA;                          // 一

// Characters are 100 units wide: character c is two vertical strokes at 100c + 10 and
// 100c + 50. A pattern of both strokes of one cell reads as that cell's character;
// anything else reads badly.
int CellHandler(const PATTERN_W& p, CR_RESULT* res, int) {
    int minX = fake::MinX(p), maxX = 0;
    for (int n = 0; n < p.num; ++n) maxX = std::max<int>(maxX, p.data[n].x);
    const int cell = minX / 100, strokes = fake::StrokeCount(p);
    if (cell == maxX / 100 && strokes == 2 && cell < 4) {
        res[0] = {cell, 900, kCodes[cell]};
        res[1] = {cell + 10, 600, 0x8340u + static_cast<uint32_t>(cell)};
        return 2;
    }
    res[0] = {99, 300, cell == maxX / 100 ? 0x8150u : kSpanning};
    return 1;
}

std::string Sjis(std::initializer_list<uint32_t> codes) {
    std::string s;
    for (uint32_t c : codes) {
        s += static_cast<char>(c >> 8);
        s += static_cast<char>(c & 0xFF);
    }
    return s;
}

class Api : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        bigram = (fs::temp_directory_path() / ("seqread_api_" + std::to_string(getpid()) + ".bgr"))
                     .string();
        CBigramTable t;
        float table[256];
        for (int n = 0; n < 256; ++n) table[n] = -12.75f + 0.05f * n;
        t.iSetProbTable(table);
        t.SetTotalCount(1000);
        t.iSetTagValue(0x82A0, 0x82A0, 255);
        ASSERT_EQ(t.iSave(bigram.c_str()), BGT_OK);
    }
    static void TearDownTestSuite() { std::remove(bigram.c_str()); }

    void SetUp() override {
        fake::SetOpenResult(0);
        fake::SetHandler(CellHandler);
        ASSERT_EQ(lSROpenSystem("pattern.dic", "coarse.dic", bigram.c_str()), SR_OK);
        obj = hSRCreateNewObject();
        ASSERT_NE(obj, nullptr);
    }
    void TearDown() override {
        vSRDestroyObject(obj);
        vSRCloseSystem();
        fake::SetHandler(nullptr);
    }

    void AddChar(int cell) {
        for (int x : {100 * cell + 10, 100 * cell + 50}) {
            tagPOINT pts[] = {{x, 20}, {x, 50}, {x, 80}};
            ASSERT_EQ(lSRAddStrokeLast(obj, pts, 3), SR_OK);
        }
    }

    static std::string bigram;
    HSROBJ obj = nullptr;
};
std::string Api::bigram;

TEST_F(Api, SystemOpenAndClose) {
    EXPECT_EQ(lSROpenSystem("a", "b", bigram.c_str()), SR_ERR_STATE); // already open
    vSRCloseSystem();
    EXPECT_EQ(lSRGetLastError(), SR_OK);
    vSRCloseSystem();
    EXPECT_EQ(lSRGetLastError(), SR_ERR_STATE);
    EXPECT_EQ(lSROpenSystem(nullptr, "b", bigram.c_str()), SR_ERR_ARGUMENT);
    EXPECT_EQ(lSROpenSystem("a", nullptr, bigram.c_str()), SR_ERR_ARGUMENT);
    EXPECT_EQ(lSROpenSystem("a", "b", nullptr), SR_ERR_ARGUMENT);
    fake::SetOpenResult(3);
    EXPECT_EQ(lSROpenSystem("a", "b", bigram.c_str()), SR_ERR_DICTIONARY);
    fake::SetOpenResult(0);
    EXPECT_EQ(lSROpenSystem("a", "b", "/nonexistent/bigram"), SR_ERR_DICTIONARY);
    // The system is unavailable: per-object calls report the wrong state.
    EXPECT_EQ(lSRAddStrokeLast(obj, nullptr, 0), SR_ERR_STATE);
    EXPECT_EQ(lSRRecognize(obj), SR_ERR_STATE);
    vSRCloseSystem(); // releases the classifier that stayed open
    EXPECT_FALSE(fake::IsOpen());
    ASSERT_EQ(lSROpenSystem("a", "b", bigram.c_str()), SR_OK);
}

TEST_F(Api, VersionAndUnavailableFeatures) {
    tagSR_VERINFO v{};
    vSRGetVersion(&v);
    EXPECT_EQ(v.wInterface, 115);
    EXPECT_EQ(v.wRecognize, 196);
    EXPECT_STREQ(v.cpComment, "");
    EXPECT_STREQ(v.cpDate, "99-04-27");
    vSRGetVersion(nullptr);
    EXPECT_EQ(lSRGetLastError(), SR_ERR_ARGUMENT);
    long count = 7;
    EXPECT_EQ(ppSRGetTmpSegRes(obj, &count), nullptr);
    EXPECT_EQ(lSRGetLastError(), SR_ERR_STATE);
    EXPECT_EQ(bSRReRecognizeDialog(obj, nullptr), 0);
    long buffer[4] = {1, 2, 3, 4};
    EXPECT_EQ(lSRGetParagraphHead(obj, buffer, 4), SR_ERR_STATE);
    EXPECT_EQ(buffer[3], 0);
    EXPECT_EQ(DllEntryPoint(nullptr, 1, nullptr), 1);
}

TEST_F(Api, BadHandles) {
    EXPECT_EQ(lSRRecognize(nullptr), SR_ERR_ARGUMENT);
    int local = 0;
    EXPECT_EQ(lSRGetStrokeCount(&local), 0);
    EXPECT_EQ(lSRGetLastError(), SR_ERR_ARGUMENT);
    HSROBJ gone = hSRCreateNewObject();
    vSRDestroyObject(gone);
    EXPECT_EQ(lSRAddStrokeLast(gone, nullptr, 0), SR_ERR_ARGUMENT); // destroyed: refused
    vSRDestroyObject(gone);
    EXPECT_EQ(lSRGetLastError(), SR_ERR_ARGUMENT);
    PATTERN_W foreign{nullptr, 0};
    vSRDestroyPATW(&foreign);
    EXPECT_EQ(lSRGetLastError(), SR_ERR_ARGUMENT);
}

TEST_F(Api, StrokesBeforeRecognition) {
    EXPECT_EQ(lSRGetStrokeCount(obj), 0);
    EXPECT_EQ(lSRGetLastError(), SR_ERR_STATE);
    EXPECT_EQ(lSRRecognize(obj), SR_ERR_STATE); // nothing to recognize
    EXPECT_EQ(lSRDeleteStrokeLast(obj), SR_OK); // nothing to delete is fine
    tagPOINT pts[] = {{1, 2}, {3, 4}};
    EXPECT_EQ(lSRAddStrokeLast(obj, pts, 2), SR_OK);
    EXPECT_EQ(lSRAddStrokeLast(obj, pts, 1), SR_OK);
    EXPECT_EQ(lSRAddStrokeLast(obj, nullptr, 2), SR_ERR_ARGUMENT);
    EXPECT_EQ(lSRAddStrokeLast(obj, pts, 0), SR_ERR_ARGUMENT);
    EXPECT_EQ(lSRGetStrokeCount(obj), 2);
    long n = 0;
    tagPOINT* p = pSRGetNthStroke(obj, 0, &n);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(n, 2);
    EXPECT_NE(p, pts);
    EXPECT_EQ(p[1].x, 3);
    EXPECT_EQ(pSRGetNthStroke(obj, 2, &n), nullptr);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(lSRGetLastError(), SR_ERR_ARGUMENT);
    EXPECT_EQ(lSRDeleteStrokeLast(obj), SR_OK);
    EXPECT_EQ(lSRGetStrokeCount(obj), 1);
    EXPECT_EQ(lSRGetResultCount(obj), 0);
    EXPECT_EQ(lSRGetLastError(), SR_ERR_STATE);
    EXPECT_EQ(cpSRGetString(obj, 0, &n), nullptr);
    EXPECT_EQ(lSRGetLastError(), SR_ERR_STATE);
    tagSIZE size{5, 5};
    EXPECT_EQ(lSRGetCharSize(obj, &size), SR_ERR_STATE);
    EXPECT_EQ(size.cx, 0);
    EXPECT_EQ(lSRGiveStrokeSetInfo(obj, 0, 0, 0), SR_ERR_STATE);
    EXPECT_EQ(lSRDeleteLastStrokeSetInfo(obj), SR_ERR_STATE);
}

TEST_F(Api, LineOfThreeCharacters) {
    for (int c = 0; c < 3; ++c) AddChar(c);
    ASSERT_EQ(lSRRecognize(obj), SR_OK);
    ASSERT_GE(lSRGetResultCount(obj), 1);
    long len = 0;
    const char* s = cpSRGetString(obj, 0, &len);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(len, 3);
    EXPECT_EQ(std::string(s), Sjis({kCodes[0], kCodes[1], kCodes[2]}));
    // Each character's two strokes are separate elements joined by the search.
    EXPECT_EQ(cpSRGetString(obj, -1, &len), nullptr);
    EXPECT_EQ(len, 6);
    EXPECT_EQ(lSRGetLastError(), SR_OK);
    EXPECT_EQ(cpSRGetString(obj, lSRGetResultCount(obj), &len), nullptr);
    EXPECT_EQ(lSRGetLastError(), SR_ERR_ARGUMENT);
    EXPECT_EQ(cpSRGetString(obj, -2, nullptr), nullptr);

    long head = -1, tail = -1;
    EXPECT_EQ(lSRGetStrokeNoOfNthChar(obj, 0, 1, &head, &tail), SR_OK);
    EXPECT_EQ(head, 2);
    EXPECT_EQ(tail, 3);
    EXPECT_EQ(lSRGetStrokeNoOfNthChar(obj, 0, 3, &head, &tail), SR_ERR_ARGUMENT);
    EXPECT_EQ(lSRGetStrokeNoOfNthChar(obj, -1, 5, &head, &tail), SR_OK);
    EXPECT_EQ(head, 5);
    EXPECT_EQ(tail, 5);
    tagRECT box{};
    EXPECT_EQ(lSRGetNthCharBound(obj, 0, 2, &box), SR_OK);
    EXPECT_EQ(box.left, 210);
    EXPECT_EQ(box.right, 250);
    EXPECT_EQ(box.top, 20);
    EXPECT_EQ(box.bottom, 80);
    EXPECT_EQ(lSRGetNthCharBound(obj, -1, 0, &box), SR_OK);
    EXPECT_EQ(box.right, 10);
    tagSIZE size{};
    EXPECT_EQ(lSRGetCharSize(obj, &size), SR_OK);
    EXPECT_GT(size.cx, 0);
    EXPECT_EQ(size.cx, size.cy);
    long buffer[2];
    EXPECT_EQ(lSRGetParagraphHead(obj, buffer, 2), SR_ERR_FAILED);

    tagPOINT more[] = {{1, 1}};
    EXPECT_EQ(lSRAddStrokeLast(obj, more, 1), SR_ERR_STATE);
    EXPECT_EQ(lSRDeleteStrokeLast(obj), SR_ERR_STATE);
    EXPECT_EQ(lSRGetStrokeCount(obj), 6);
}

TEST_F(Api, CharacterSizeIsNotFarBelowTheLineHeight) {
    // Characters of two stacked horizontal strokes (as こ, ニ): the ink under each run
    // of the line is measured only down to its first gap, so the runs give a size well
    // below the characters' height of 60.
    for (int c = 0; c < 4; ++c)
        for (int y : {20, 80}) {
            tagPOINT pts[] = {{100 * c + 10, y}, {100 * c + 30, y}, {100 * c + 50, y}};
            ASSERT_EQ(lSRAddStrokeLast(obj, pts, 3), SR_OK);
        }
    const int runs = nGetCharacterSize(static_cast<aSROBJ*>(obj)->m_strkDum.next);
    ASSERT_GT(runs, 0);
    ASSERT_LT(runs, 60 * kLineHeightShare / 100);
    ASSERT_EQ(lSRRecognize(obj), SR_OK);
    tagSIZE size{};
    EXPECT_EQ(lSRGetCharSize(obj, &size), SR_OK);
    EXPECT_EQ(size.cx, 60 * kLineHeightShare / 100);
    EXPECT_EQ(size.cy, size.cx);
}

TEST_F(Api, CharacterSizeOfRunsStandsWhenLarger) {
    // Flat characters of two horizontal strokes, 70 wide and 20 high: the runs measure
    // them by their width, well above the line's height.
    for (int c = 0; c < 3; ++c)
        for (int y : {40, 60}) {
            tagPOINT pts[] = {{100 * c + 10, y}, {100 * c + 45, y}, {100 * c + 80, y}};
            ASSERT_EQ(lSRAddStrokeLast(obj, pts, 3), SR_OK);
        }
    const int runs = nGetCharacterSize(static_cast<aSROBJ*>(obj)->m_strkDum.next);
    ASSERT_GT(runs, 20 * kLineHeightShare / 100);
    ASSERT_EQ(lSRRecognize(obj), SR_OK);
    tagSIZE size{};
    EXPECT_EQ(lSRGetCharSize(obj, &size), SR_OK);
    EXPECT_EQ(size.cx, runs);
}

TEST_F(Api, PatternsCarryTheirTrailer) {
    for (int c = 0; c < 2; ++c) AddChar(c);
    PATTERN_W* p = pSRGetPATW(obj, 1, 2);
    ASSERT_NE(p, nullptr);
    ASSERT_EQ(p->num, 6);
    EXPECT_EQ(p->data[0].attr, 2);
    EXPECT_EQ(p->data[2].attr, 4);
    EXPECT_EQ(p->data[0].x, 50);
    EXPECT_EQ(p->data[6].x, 1);
    EXPECT_EQ(p->data[6].y, 2);
    EXPECT_EQ(p->data[6].attr, SR_TRAILER_RANGE);
    const auto handle = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(obj));
    EXPECT_EQ(static_cast<uint16_t>(p->data[7].x), handle >> 16);
    EXPECT_EQ(static_cast<uint16_t>(p->data[7].y), handle & 0xFFFF);
    vSRDestroyPATW(p);
    EXPECT_EQ(lSRGetLastError(), SR_OK);
    EXPECT_EQ(pSRGetPATW(obj, 2, 1), nullptr);
    EXPECT_EQ(lSRGetLastError(), SR_ERR_ARGUMENT);
    EXPECT_EQ(pSRGetPATW(obj, 0, 4), nullptr);
    EXPECT_EQ(pSRGetPATW(obj, -1, 0), nullptr);

    ASSERT_EQ(lSRRecognize(obj), SR_OK);
    PATTERN_W* c = pSRGetPATWOfNthChar(obj, 0, 1);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->num, 6);
    EXPECT_EQ(c->data[0].x, 110);
    EXPECT_EQ(c->data[6].x, 0);
    EXPECT_EQ(c->data[6].y, 1);
    EXPECT_EQ(c->data[6].attr, SR_TRAILER_CHAR);
    vSRDestroyPATW(c);
    EXPECT_EQ(pSRGetPATWOfNthChar(obj, 0, 2), nullptr);
    EXPECT_EQ(lSRGetLastError(), SR_ERR_ARGUMENT);
}

TEST_F(Api, SecondRecognitionFollowsTheStrokeSets) {
    for (int c = 0; c < 3; ++c) AddChar(c);
    EXPECT_EQ(lSRRecognize(obj), SR_OK);
    // Without statements a second run has nothing to work on.
    EXPECT_EQ(lSRRecognize(obj), SR_ERR_STATE);
    EXPECT_EQ(lSRGiveStrokeSetInfo(obj, 0, 3, 2), SR_ERR_ARGUMENT);
    EXPECT_EQ(lSRGiveStrokeSetInfo(obj, 0, -1, 2), SR_ERR_ARGUMENT);
    EXPECT_EQ(lSRGiveStrokeSetInfo(obj, lSRGetResultCount(obj), 2, 3), SR_ERR_ARGUMENT);
    EXPECT_EQ(lSRGiveStrokeSetInfo(obj, 0, 2, 9), SR_ERR_FAILED); // beyond the strokes
    EXPECT_EQ(lSRDeleteLastStrokeSetInfo(obj), SR_ERR_FAILED);
    // Strokes 2..5 (characters 1 and 2) are said to be one character.
    ASSERT_EQ(lSRGiveStrokeSetInfo(obj, 0, 2, 5), SR_OK);
    fake::ResetCallCount();
    ASSERT_EQ(lSRRecognize(obj), SR_OK);
    EXPECT_EQ(fake::CallCount(), 1); // character 0 comes from the lattice
    EXPECT_EQ(lSRGetResultCount(obj), 1);
    long len = 0;
    const char* s = cpSRGetString(obj, 5, &len); // the candidate number no longer matters
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(len, 2);
    EXPECT_EQ(std::string(s), Sjis({kCodes[0], kSpanning}));
    long head = 0, tail = 0;
    EXPECT_EQ(lSRGetStrokeNoOfNthChar(obj, 0, 1, &head, &tail), SR_OK);
    EXPECT_EQ(head, 2);
    EXPECT_EQ(tail, 5);
    tagRECT box{};
    EXPECT_EQ(lSRGetNthCharBound(obj, 0, 1, &box), SR_OK);
    EXPECT_EQ(box.left, 110);
    EXPECT_EQ(box.right, 250);

    // Undoing the statement and recognizing again gives the first reading back.
    EXPECT_EQ(lSRDeleteLastStrokeSetInfo(obj), SR_OK);
    EXPECT_EQ(lSRGiveStrokeSetInfo(obj, 0, 0, 1), SR_OK);
    ASSERT_EQ(lSRRecognize(obj), SR_OK);
    s = cpSRGetString(obj, 0, &len);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(std::string(s), Sjis({kCodes[0], kCodes[1], kCodes[2]}));
}

TEST_F(Api, CorrectionCanBeRepeatedAndWithdrawn) {
    for (int c = 0; c < 3; ++c) AddChar(c);
    ASSERT_EQ(lSRRecognize(obj), SR_OK);
    const long results = lSRGetResultCount(obj);
    ASSERT_EQ(lSRGiveStrokeSetInfo(obj, 0, 2, 5), SR_OK);
    for (int run = 0; run < 2; ++run) {
        ASSERT_EQ(lSRRecognize(obj), SR_OK) << "run " << run;
        long len = 0;
        const char* s = cpSRGetString(obj, 0, &len);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(std::string(s), Sjis({kCodes[0], kSpanning}));
    }
    // Statements still refer to the search's candidates, not to the one corrected string.
    EXPECT_EQ(lSRGiveStrokeSetInfo(obj, results, 0, 0), SR_ERR_ARGUMENT);
    // Withdrawn statements: the next run fails and the search's results are back.
    ASSERT_EQ(lSRDeleteLastStrokeSetInfo(obj), SR_OK);
    EXPECT_EQ(lSRRecognize(obj), SR_ERR_STATE);
    EXPECT_EQ(lSRGetResultCount(obj), results);
    long len = 0;
    const char* s = cpSRGetString(obj, 0, &len);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(std::string(s), Sjis({kCodes[0], kCodes[1], kCodes[2]}));
}

TEST_F(Api, LongResultsAreReportedNotOverrun) {
    fake::SetHandler([](const PATTERN_W&, CR_RESULT* res, int) {
        res[0] = {1, 900, 0x82A0};
        return 1;
    });
    auto line = [&](int chars) {
        HSROBJ o = hSRCreateNewObject();
        for (int c = 0; c < chars; ++c) {
            tagPOINT pts[] = {{100 * c, 0}, {100 * c, 60}};
            lSRAddStrokeLast(o, pts, 2);
        }
        return o;
    };
    HSROBJ fits = line(127);
    ASSERT_EQ(lSRRecognize(fits), SR_OK);
    long len = 0;
    const char* s = cpSRGetString(fits, 0, &len);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(len, 127);
    EXPECT_EQ(std::strlen(s), 254u);
    vSRDestroyObject(fits);

    HSROBJ tooLong = line(130);
    ASSERT_EQ(lSRRecognize(tooLong), SR_OK);
    EXPECT_EQ(cpSRGetString(tooLong, 0, &len), nullptr);
    EXPECT_EQ(lSRGetLastError(), SR_ERR_FAILED);
    EXPECT_EQ(len, 130);
    // The corrected string of such a line is refused the same way.
    ASSERT_EQ(lSRGiveStrokeSetInfo(tooLong, 0, 0, 0), SR_OK);
    ASSERT_EQ(lSRRecognize(tooLong), SR_OK);
    EXPECT_EQ(cpSRGetString(tooLong, 0, &len), nullptr);
    EXPECT_EQ(lSRGetLastError(), SR_ERR_FAILED);
    EXPECT_EQ(len, 130);
    vSRDestroyObject(tooLong);
}

TEST_F(Api, RandomLinesGiveConsistentResults) {
    // Lines of random strokes, with negative, degenerate and very large coordinates: every
    // candidate's characters cover the strokes in order, without gaps or overlaps.
    fake::SetHandler([](const PATTERN_W& p, CR_RESULT* res, int max) {
        const int n = std::min(max, 1 + ((p.num + fake::MinX(p)) % 4 + 4) % 4);
        for (int k = 0; k < n; ++k)
            res[k] = {k, 950 - 100 * k - (p.num % 7),
                      0x82A0u + static_cast<uint32_t>((p.num + k) % 80)};
        return n;
    });
    uint32_t seed = 12345;
    auto next = [&](int range) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 8) % static_cast<uint32_t>(range));
    };
    long read = 0;
    for (int trial = 0; trial < 40; ++trial) {
        HSROBJ o = hSRCreateNewObject();
        const int strokes = 1 + next(25);
        const int scale = trial % 5 == 4 ? 40000000 : 300;
        for (int s = 0; s < strokes; ++s) {
            std::vector<tagPOINT> pts(1 + next(6));
            const int x0 = next(20 * scale) - 2 * scale, y0 = next(scale) - scale / 2;
            for (auto& p : pts) p = {x0 + next(scale / 3 + 1), y0 + next(scale / 3 + 1)};
            ASSERT_EQ(lSRAddStrokeLast(o, pts.data(), static_cast<long>(pts.size())), SR_OK);
        }
        const long r = lSRRecognize(o);
        ASSERT_TRUE(r == SR_OK || r == SR_ERR_FAILED || r == SR_ERR_MEMORY) << r;
        const long results = lSRGetResultCount(o);
        if (r != SR_OK) {
            EXPECT_EQ(results, 0);
        }
        read += results;
        for (long c = 0; c < results; ++c) {
            long len = 0;
            const char* text = cpSRGetString(o, c, &len);
            ASSERT_NE(text, nullptr);
            EXPECT_EQ(static_cast<long>(std::strlen(text)), 2 * len);
            long expectHead = 0;
            for (long n = 0; n < len; ++n) {
                long head = -1, tail = -1;
                ASSERT_EQ(lSRGetStrokeNoOfNthChar(o, c, n, &head, &tail), SR_OK);
                EXPECT_EQ(head, expectHead);
                EXPECT_GE(tail, head);
                expectHead = tail + 1;
                tagRECT box;
                EXPECT_EQ(lSRGetNthCharBound(o, c, n, &box), SR_OK);
            }
            EXPECT_EQ(expectHead, strokes);
        }
        vSRDestroyObject(o);
    }
    EXPECT_GT(read, 40); // the lines did produce candidates to check
}

TEST_F(Api, SingleCharacterRecognition) {
    POINT_W pts[] = {{10, 20, 2}, {50, 20, 0}, {50, 80, 4}, {10, 20, 2}, {10, 80, 4}};
    PATTERN_W p{pts, 5};
    CR_RESULT res[5] = {};
    EXPECT_EQ(lSRRecognizeCP(&p, res, 5), SR_OK);
    EXPECT_EQ(res[0].code, kCodes[0]);
    fake::SetHandler([](const PATTERN_W&, CR_RESULT*, int) { return 0; });
    EXPECT_EQ(lSRRecognizeCP(&p, res, 5), SR_ERR_FAILED);
    EXPECT_EQ(lSRRecognizeCP(nullptr, res, 5), SR_ERR_ARGUMENT);
    EXPECT_EQ(lSRRecognizeCP(&p, nullptr, 5), SR_ERR_ARGUMENT);
    EXPECT_EQ(lSRRecognizeCP(&p, res, 0), SR_ERR_ARGUMENT);
}

TEST_F(Api, ContextProcessUsesTheLoadedTable) {
    // (あ, あ) is a known pair in the loaded table: it overtakes カ's better score.
    CODE_SCORE c0[2] = {{0x82A0, 800}, {0, 0}};
    CODE_SCORE c1[2] = {{0x834A, 900}, {0x82A0, 850}};
    CODE_SCORE* lists[] = {c0, c1};
    EXPECT_EQ(lSRContextProcess(lists, 2, 2), SR_OK);
    EXPECT_EQ(c1[0].code, 0x82A0u);
    EXPECT_EQ(lSRContextProcess(nullptr, 2, 2), SR_ERR_ARGUMENT);
    EXPECT_EQ(lSRContextProcess(lists, -1, 2), SR_ERR_ARGUMENT);
    EXPECT_EQ(lSRContextProcess(lists, 2, 0), SR_ERR_ARGUMENT);
    CODE_SCORE* holes[] = {c0, nullptr};
    EXPECT_EQ(lSRContextProcess(holes, 2, 2), SR_ERR_ARGUMENT);
}

// A table whose look-ups run out of memory, as a correction over long lists might.
class ExhaustedTable : public CBigTbl {
public:
    long double dGetLP(uint16_t, uint16_t, int) const override { throw std::bad_alloc(); }
    long double dGetLP(uint16_t) const override { throw std::bad_alloc(); }
    int iLoad(const char*) override { return 0; }
};

TEST_F(Api, ContextProcessReturnsTheCorrectionsOwnResult) {
    CODE_SCORE c0[2] = {{0x82A0, 800}, {0, 0}};
    CODE_SCORE c1[2] = {{0x834A, 900}, {0x82A0, 850}};
    CODE_SCORE* lists[] = {c0, c1};
    // One list, or none, is left as it is, successfully.
    EXPECT_EQ(lSRContextProcess(lists, 1, 2), 0);
    EXPECT_EQ(lSRContextProcess(lists, 0, 2), 0);
    EXPECT_EQ(c1[0].code, 0x834Au);

    // Memory running out inside the correction: 1, not the error code 2, and the lists
    // unchanged; the last error names the cause.
    ExhaustedTable exhausted;
    g_srlp.m_bgc.SetBigramDictionary(&exhausted);
    const long r = lSRContextProcess(lists, 2, 2);
    const long err = lSRGetLastError();
    g_srlp.m_bgc.SetBigramDictionary(&g_srlp.m_bgt);
    EXPECT_EQ(r, 1);
    EXPECT_EQ(err, SR_ERR_MEMORY);
    EXPECT_EQ(c0[0].code, 0x82A0u);
    EXPECT_EQ(c1[0].code, 0x834Au);
    EXPECT_EQ(c1[1].code, 0x82A0u);

    // With the table back the same lists are corrected.
    EXPECT_EQ(lSRContextProcess(lists, 2, 2), 0);
    EXPECT_EQ(lSRGetLastError(), SR_OK);
    EXPECT_EQ(c1[0].code, 0x82A0u);
}

// Cell 1 reads as the single-byte "A"; single strokes read as nothing at all.
int MixedHandler(const PATTERN_W& p, CR_RESULT* res, int max) {
    if (fake::StrokeCount(p) == 1) return 0;
    const int n = CellHandler(p, res, max);
    if (fake::MinX(p) / 100 == 1 && res[0].code == kCodes[1]) res[0].code = 0x41;
    return n;
}

// Walks a Shift-JIS string: the number of characters, or -1 for a cut double-byte code.
long SjisChars(const char* s) {
    long chars = 0;
    for (const auto* p = reinterpret_cast<const unsigned char*>(s); *p != 0; ++chars) {
        const bool lead = (*p >= 0x81 && *p <= 0x9F) || (*p >= 0xE0 && *p <= 0xFC);
        if (lead && p[1] == 0) return -1;
        p += lead ? 2 : 1;
    }
    return chars;
}

TEST_F(Api, CorrectedStringHoldsOneCharacterPerReportedCharacter) {
    fake::SetHandler(MixedHandler);
    for (int c = 0; c < 3; ++c) AddChar(c);
    ASSERT_EQ(lSRRecognize(obj), SR_OK);
    long len = 0;
    const char* s = cpSRGetString(obj, 0, &len);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(len, 3);
    EXPECT_EQ(std::string(s), Sjis({kCodes[0]}) + "A" + Sjis({kCodes[2]}));

    // Stroke 4 alone is one character: it and stroke 5, cut off from it, read as nothing.
    ASSERT_EQ(lSRGiveStrokeSetInfo(obj, 0, 4, 4), SR_OK);
    ASSERT_EQ(lSRRecognize(obj), SR_OK);
    s = cpSRGetString(obj, 0, &len);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(len, 4);
    EXPECT_EQ(SjisChars(s), len);
    EXPECT_EQ(std::string(s), Sjis({kCodes[0]}) + "A" + Sjis({SR_UNREAD_CODE, SR_UNREAD_CODE}));
    const long strokes[4][2] = {{0, 1}, {2, 3}, {4, 4}, {5, 5}};
    for (long n = 0; n < len; ++n) {
        long head = -1, tail = -1;
        ASSERT_EQ(lSRGetStrokeNoOfNthChar(obj, 0, n, &head, &tail), SR_OK) << n;
        EXPECT_EQ(head, strokes[n][0]) << n;
        EXPECT_EQ(tail, strokes[n][1]) << n;
    }
    long head = 0, tail = 0;
    EXPECT_EQ(lSRGetStrokeNoOfNthChar(obj, 0, len, &head, &tail), SR_ERR_ARGUMENT);
}

TEST_F(Api, CorrectedCharacterCountIsTheTagsHandedOut) {
    for (int c = 0; c < 3; ++c) AddChar(c);
    ASSERT_EQ(lSRRecognize(obj), SR_OK);
    // All six strokes are one character, then the middle cell is one of its own: the
    // first statement is cut in two, and each piece is a character.
    ASSERT_EQ(lSRGiveStrokeSetInfo(obj, 0, 0, 5), SR_OK);
    ASSERT_EQ(lSRGiveStrokeSetInfo(obj, 0, 2, 3), SR_OK);
    ASSERT_EQ(lSRRecognize(obj), SR_OK);
    long len = 0;
    const char* s = cpSRGetString(obj, 0, &len);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(len, 3);
    EXPECT_EQ(std::string(s), Sjis({kCodes[0], kCodes[1], kCodes[2]}));
    long head = 0, tail = 0;
    ASSERT_EQ(lSRGetStrokeNoOfNthChar(obj, 0, 2, &head, &tail), SR_OK);
    EXPECT_EQ(head, 4);
    EXPECT_EQ(tail, 5);
    EXPECT_EQ(lSRGetStrokeNoOfNthChar(obj, 0, 3, &head, &tail), SR_ERR_ARGUMENT);
}

TEST_F(Api, SettingsReachTheClassifier) {
    vSRSetClassCount(-1);
    EXPECT_EQ(lSRGetLastError(), SR_ERR_ARGUMENT);
    vSRSetClassCount(5);
    EXPECT_EQ(lSRGetLastError(), SR_OK);
    vSRSetGuideBox(nullptr);
    EXPECT_EQ(lSRGetLastError(), SR_ERR_ARGUMENT);
    PAT_POS box{100, 100, 0, 0};
    vSRSetGuideBox(&box);
    EXPECT_EQ(lSRGetLastError(), SR_OK);
    vSRSetRecCategory(16);
    EXPECT_EQ(lSRGetLastError(), SR_OK);
}

} // namespace

// A line read again by a new object, as a writing box reads it after each stroke,
// classifies only the runs the read before did not have and reads as a first read
// would; a change of the classifier's settings has everything classified again, a
// setting given its value again does not.
TEST_F(Api, RereadsClassifyOnlyNewRuns) {
    auto read = [](int cells, int& calls) {
        HSROBJ h = hSRCreateNewObject();
        for (int c = 0; c < cells; ++c)
            for (int x : {100 * c + 10, 100 * c + 50}) {
                tagPOINT pts[] = {{x, 20}, {x, 50}, {x, 80}};
                lSRAddStrokeLast(h, pts, 3);
            }
        fake::ResetCallCount();
        EXPECT_EQ(lSRRecognize(h), SR_OK);
        calls = fake::CallCount();
        const char* s = cpSRGetString(h, 0, nullptr);
        std::string text = s != nullptr ? s : "";
        vSRDestroyObject(h);
        return text;
    };
    int cold3 = 0, cold4 = 0, calls = 0;
    const std::string three = read(3, cold3), again = read(3, calls);
    EXPECT_EQ(three, Sjis({kCodes[0], kCodes[1], kCodes[2]}));
    EXPECT_EQ(again, three);
    EXPECT_EQ(calls, 0);
    vSRSetClassCount(50);
    const std::string four = read(4, cold4);
    EXPECT_EQ(four, Sjis({kCodes[0], kCodes[1], kCodes[2], kCodes[3]}));
    vSRSetClassCount(50);
    read(3, calls);
    EXPECT_EQ(read(4, calls), four);
    EXPECT_GT(calls, 0);
    EXPECT_LT(calls, cold4);
    PAT_POS box{100, 100, 0, 0};
    const std::vector<std::function<void()>> settings = {
        [] { vSRSetClassCount(40); }, [&] { vSRSetGuideBox(&box); }, [] { vSRSetRecCategory(16); }};
    for (const auto& change : settings) {
        read(3, calls);
        change();
        EXPECT_EQ(read(3, calls), three);
        EXPECT_EQ(calls, cold3);
        change(); // the same value again
        read(3, calls);
        EXPECT_EQ(calls, 0);
    }
}
