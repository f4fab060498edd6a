// The string recognizer with the real classifier and the compiled dictionaries. Skipped
// when the dictionaries have not been built.
#include "tessera/seqread.h"
#include "tests/dict_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// さくらのはな: short enough that the first reading is already exact.
const std::vector<uint16_t> kShort = {0x82B3, 0x82AD, 0x82E7, 0x82CC, 0x82CD, 0x82C8};
// わたしはまいにちほんをよむ
const std::vector<uint16_t> kLong = {0x82ED, 0x82BD, 0x82B5, 0x82CD, 0x82DC, 0x82A2, 0x82C9,
                                     0x82BF, 0x82D9, 0x82F1, 0x82F0, 0x82E6, 0x82DE};

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        std::string why;
        if (!dictline::Find(dicts, why)) GTEST_SKIP() << why;
        ASSERT_EQ(lSROpenSystem(dicts.pattern.c_str(), dicts.coarse.c_str(), dicts.bigram.c_str()),
                  SR_OK);
        vSRSetRecCategory(1); // hiragana
    }
    void TearDown() override {
        if (obj != nullptr) vSRDestroyObject(obj);
        vSRSetRecCategory(511);
        vSRCloseSystem();
    }
    // Writes the phrase from the dictionary's model strokes into a new object.
    void Write(const std::vector<uint16_t>& phrase) {
        line = dictline::LineFromDictionary(dicts.pattern, phrase, phrase.size());
        if (line.size() != phrase.size())
            GTEST_SKIP() << "the pattern dictionary lacks plain hiragana of the phrase";
        WriteLine();
    }
    // Writes the strokes of line into a new object.
    void WriteLine() {
        obj = hSRCreateNewObject();
        ASSERT_NE(obj, nullptr);
        for (const auto& ch : line)
            for (const auto& stroke : ch.strokes)
                ASSERT_EQ(lSRAddStrokeLast(obj, stroke.data(), static_cast<long>(stroke.size())),
                          SR_OK);
    }
    // The result's characters cover exactly the strokes written for each character.
    void ExpectCharactersAsWritten(long cand) {
        long first = 0;
        for (size_t c = 0; c < line.size(); ++c) {
            long head = -1, tail = -1;
            ASSERT_EQ(lSRGetStrokeNoOfNthChar(obj, cand, static_cast<long>(c), &head, &tail),
                      SR_OK);
            EXPECT_EQ(head, first) << "character " << c;
            EXPECT_EQ(tail, first + static_cast<long>(line[c].strokes.size()) - 1)
                << "character " << c;
            first = tail + 1;
        }
    }

    dictline::Dictionaries dicts;
    std::vector<dictline::Character> line;
    HSROBJ obj = nullptr;
};

TEST_F(EndToEnd, PhraseReadsBackAsItsCharacters) {
    Write(kShort);
    ASSERT_EQ(lSRRecognize(obj), SR_OK);
    ASSERT_GE(lSRGetResultCount(obj), 1);
    long len = 0;
    const char* s = cpSRGetString(obj, 0, &len);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(len, static_cast<long>(line.size()));
    EXPECT_EQ(std::string(s), dictline::Text(line));
    ExpectCharactersAsWritten(0);
}

TEST_F(EndToEnd, LongerLineIsCutIntoItsCharacters) {
    Write(kLong);
    ASSERT_EQ(lSRRecognize(obj), SR_OK);
    long len = 0;
    ASSERT_NE(cpSRGetString(obj, 0, &len), nullptr);
    EXPECT_EQ(len, static_cast<long>(line.size()));
    ExpectCharactersAsWritten(0);
}

TEST_F(EndToEnd, LineOfManyMoreStrokesThanACharacterMayHave) {
    // The phrase four times over: 52 characters, far more strokes than one character may
    // span, still cut into its characters.
    std::vector<uint16_t> phrase;
    for (int n = 0; n < 4; ++n) phrase.insert(phrase.end(), kLong.begin(), kLong.end());
    Write(phrase);
    ASSERT_GT(lSRGetStrokeCount(obj), 100);
    ASSERT_EQ(lSRRecognize(obj), SR_OK);
    ASSERT_GE(lSRGetResultCount(obj), 1);
    long len = 0;
    ASSERT_NE(cpSRGetString(obj, 0, &len), nullptr);
    EXPECT_EQ(len, static_cast<long>(line.size()));
    ExpectCharactersAsWritten(0);
}

TEST_F(EndToEnd, SecondRecognitionWithStrokeSets) {
    Write(kLong);
    ASSERT_EQ(lSRRecognize(obj), SR_OK);
    // State every character's strokes, as a caller that knows the boundaries would.
    long head = 0;
    for (const auto& ch : line) {
        const long tail = head + static_cast<long>(ch.strokes.size()) - 1;
        ASSERT_EQ(lSRGiveStrokeSetInfo(obj, 0, head, tail), SR_OK);
        head = tail + 1;
    }
    ASSERT_EQ(lSRRecognize(obj), SR_OK);
    EXPECT_EQ(lSRGetResultCount(obj), 1);
    long len = 0;
    const char* s = cpSRGetString(obj, 0, &len);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(len, static_cast<long>(line.size()));
    EXPECT_EQ(std::string(s), dictline::Text(line));
    ExpectCharactersAsWritten(0);
}

TEST_F(EndToEnd, SingleCharacterThroughTheClassifier) {
    Write(kShort);
    EXPECT_EQ(pSRGetPATWOfNthChar(obj, 0, 0), nullptr); // not recognized yet
    const long strokes = static_cast<long>(line[0].strokes.size());
    PATTERN_W* p = pSRGetPATW(obj, 0, strokes - 1);
    ASSERT_NE(p, nullptr);
    CR_RESULT res[10] = {};
    EXPECT_EQ(lSRRecognizeCP(p, res, 10), SR_OK);
    EXPECT_EQ(res[0].code, line[0].code);
    vSRDestroyPATW(p);
}

TEST_F(EndToEnd, CharacterWithJoinedStrokesInALineIsOneCharacter) {
    // 山握 with 握's eighth and ninth strokes written in one movement: read with the stroke
    // count as written, the joined 握 comes first as 据; the chain's characters read again
    // across stroke counts give 握 back, still one character.
    vSRSetRecCategory(511);
    vSRSetClassCount(50);
    const std::string dir = dicts.pattern.substr(0, dicts.pattern.rfind('/') + 1);
    ASSERT_EQ(lSRLoadEvalTables((dir + "evaluation.clp").c_str()), SR_OK);
    line = dictline::LineFromDictionary(dicts.pattern, {0x8E52, 0x88AC}, 2);
    if (line.size() != 2 || line[1].strokes.size() != 12)
        GTEST_SKIP() << "the pattern dictionary lacks a 12-stroke model of the kanji";
    auto& strokes = line[1].strokes;
    // the pen-up move from the end of one to the start of the next drawn as ink
    const tagPOINT from = strokes[7].back(), to = strokes[8].front();
    for (int t = 1; t < 4; ++t)
        strokes[7].push_back({from.x + (to.x - from.x) * t / 4, from.y + (to.y - from.y) * t / 4});
    strokes[7].insert(strokes[7].end(), strokes[8].begin(), strokes[8].end());
    strokes.erase(strokes.begin() + 8);
    WriteLine();
    const long rc = lSRRecognize(obj);
    lSRLoadEvalTables(nullptr);
    vSRSetClassCount(0);
    ASSERT_EQ(rc, SR_OK);
    long len = 0;
    const char* s = cpSRGetString(obj, 0, &len);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(std::string(s), dictline::Text(line));
    ExpectCharactersAsWritten(0);
}

} // namespace
