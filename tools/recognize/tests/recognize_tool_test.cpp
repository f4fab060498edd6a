// tessera-recognize run as a program: options, per-line errors, exit status and output,
// first against a stand-in recognizer, then against the real dictionaries when built.
#include "tools/recognize/json_reader.h"
#include "tools/recognize/service_client.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

struct ToolRun {
    int status = -1;
    std::vector<std::string> lines;
    std::string err;
};

class TempDir {
public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "recognize-test-XXXXXX").string();
        if (mkdtemp(pattern.data())) path_ = pattern;
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs the tool with args on input, in a scratch folder; env is put before the command.
ToolRun RunTool(const std::string& args, const std::string& input, const std::string& env = "") {
    TempDir scratch;
    WriteFile(scratch.file("in"), input);
    const std::string cmd = "cd '" + scratch.path() + "' && " + env + " '" + Env("RECOGNIZE_TOOL") +
                            "' " + args + " < in > out 2> err";
    ToolRun run;
    const int raw = std::system(cmd.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::istringstream out(ReadFile(scratch.file("out")));
    for (std::string line; std::getline(out, line);) run.lines.push_back(line);
    run.err = ReadFile(scratch.file("err"));
    return run;
}

bool StartsWith(const std::string& s, const char* prefix) {
    return s.rfind(prefix, 0) == 0;
}

// --- options ---

TEST(RecognizeTool, HelpDocumentsEveryOption) {
    ToolRun run = RunTool("--help", "");
    EXPECT_EQ(run.status, 0);
    std::string all;
    for (const std::string& l : run.lines) all += l + "\n";
    for (const char* option :
         {"--nbest", "--line", "--no-correction", "--mask", "--system-dir", "--box", "strokes",
          "candidates", "chars", "\"first\"", "\"last\"", "rounded", "bigram", "error"})
        EXPECT_NE(all.find(option), std::string::npos) << option;
}

TEST(RecognizeTool, WrongOptionsExitWithTwo) {
    for (const char* args : {"--nbest 0", "--nbest x", "--mask 512", "--mask", "--frobnicate",
                             "--box 10", "--system-dir", "--no-correction"}) {
        ToolRun run = RunTool(args, "");
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_FALSE(run.err.empty()) << args;
    }
}

TEST(RecognizeTool, ServiceThatDoesNotLoadIsReported) {
    TempDir empty;
    ToolRun run = RunTool("--system-dir '" + empty.path() + "'", "{\"strokes\": []}\n");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("VELTAREC.INI"), std::string::npos) << run.err;
    EXPECT_TRUE(run.lines.empty());
}

// --- against a stand-in classifier ---

class WithStandIn : public ::testing::Test {
protected:
    void SetUp() override {
        if (Env("FAKE_CLASSIFIER").empty() || Env("FAKE_STRREC").empty())
            GTEST_SKIP() << "the service's stand-in recognizers are not part of this build";
        WriteConfig(Env("FAKE_CLASSIFIER"));
        // A model dictionary with one entry: the service needs one to open.
        const unsigned char model[] = {22,   0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0,   0x9F,
                                       0x88, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 254, 254};
        WriteFile(system_.file("model.dic"),
                  std::string(reinterpret_cast<const char*>(model), sizeof model));
    }
    void WriteConfig(const std::string& lib) {
        WriteFile(system_.file("VELTAREC.INI"),
                  "[RECOGBOX]\nLibName=" + lib + "\nEXDIC=model.dic\n");
    }
    std::string Args(const std::string& more = "") {
        return "--system-dir '" + system_.path() + "' " + more;
    }
    TempDir system_;
};

TEST_F(WithStandIn, CandidatesAreTranslatedToUtf8BestFirstAndCutToNbest) {
    // 0x96BE is 明 and 0x82A0 is あ in Shift-JIS; 0x41 is a single-byte "A".
    const std::string env = "FAKE_CANDIDATES=96BE:912,82A0:700,41:650";
    ToolRun run = RunTool(Args(), "{\"strokes\": [[[1, 2], [3, 4]]]}\n", env);
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(run.lines.size(), 1u);
    EXPECT_EQ(run.lines[0],
              "{\"candidates\": [{\"text\": \"明\", \"score\": 912}, "
              "{\"text\": \"あ\", \"score\": 700}, {\"text\": \"A\", \"score\": 650}]}");
    run = RunTool(Args("--nbest 2"), "{\"strokes\": [[[1, 2], [3, 4]]]}\n", env);
    ASSERT_EQ(run.lines.size(), 1u);
    EXPECT_EQ(run.lines[0], "{\"candidates\": [{\"text\": \"明\", \"score\": 912}, "
                            "{\"text\": \"あ\", \"score\": 700}]}");
}

TEST_F(WithStandIn, MalformedLinesGiveErrorsAndTheRunGoesOn) {
    const std::string input = "{\"strokes\": [[[1, 2]]]}\n"
                              "not json\n"
                              "{\"strokes\": [[[1, 2, 3]]]}\n"
                              "\n"
                              "{\"strokes\": [[[5, 5], [6, 6]]], \"id\": 7}\r\n"
                              "{\"strokes\": [[[1, 2]]]";
    ToolRun run = RunTool(Args(), input, "FAKE_CANDIDATES=96BE:912");
    EXPECT_EQ(run.status, 1);
    ASSERT_EQ(run.lines.size(), 6u);
    EXPECT_TRUE(StartsWith(run.lines[0], "{\"candidates\": [{\"text\": \"明\""));
    EXPECT_TRUE(StartsWith(run.lines[1], "{\"error\": \"invalid JSON"));
    EXPECT_TRUE(StartsWith(run.lines[2], "{\"error\": \"stroke 1, point 1"));
    EXPECT_TRUE(StartsWith(run.lines[3], "{\"error\""));
    EXPECT_TRUE(StartsWith(run.lines[4], "{\"candidates\": [{\"text\": \"明\""));
    EXPECT_TRUE(StartsWith(run.lines[5], "{\"error\""));
}

TEST_F(WithStandIn, NothingRecognizedIsAnEmptyListNotAnError) {
    ToolRun run = RunTool(Args(), "{\"strokes\": [[[1, 2]]]}\n{\"strokes\": []}\n");
    EXPECT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(run.lines.size(), 2u);
    EXPECT_EQ(run.lines[0], "{\"candidates\": []}");
    EXPECT_EQ(run.lines[1], "{\"candidates\": []}");
}

TEST_F(WithStandIn, LineModeNeedsTheStringRecognizer) {
    ToolRun run = RunTool(Args("--line"), "{\"strokes\": [[[1, 2]]]}\n");
    EXPECT_EQ(run.status, 1);
    ASSERT_EQ(run.lines.size(), 1u);
    EXPECT_TRUE(StartsWith(run.lines[0], "{\"error\""));
}

// --- against the real dictionaries ---

class WithDictionaries : public ::testing::Test {
protected:
    void SetUp() override {
        dataDir_ = Env("TESSERA_DATA_DIR");
        if (dataDir_.empty() || !fs::exists(dataDir_ + "/VELTAREC.INI"))
            GTEST_SKIP() << "no VELTAREC.INI in the build's data folder (" << dataDir_
                         << "): the dictionaries have not been built";
    }
    std::string Args(const std::string& more = "") {
        return "--system-dir '" + dataDir_ + "' " + more;
    }
    std::string dataDir_;
};

// Characters written in a 100 x 100 box, stroke by stroke.
const char* const kOne = R"({"strokes": [[[10, 52], [30, 50], [50, 50], [70, 49], [90, 50]]]})";
const char* const kTwo =
    R"({"strokes": [[[25, 30], [50, 29], [75, 30]], [[10, 75], [50, 74], [90, 75]]]})";
const char* const kThree = R"({"strokes": [[[20, 20], [50, 19], [80, 20]],)"
                           R"( [[28, 50], [50, 49], [72, 50]], [[10, 82], [50, 81], [90, 82]]]})";
const char* const kTen =
    R"({"strokes": [[[10, 45], [50, 44], [90, 45]], [[50, 10], [50, 50], [50, 90]]]})";
const char* const kMouth = R"({"strokes": [[[20, 20], [20, 50], [21, 80]],)"
                           R"( [[20, 20], [50, 20], [80, 20], [80, 50], [79, 80]],)"
                           R"( [[21, 79], [50, 79], [79, 79]]]})";

bool HasText(const std::string& line, const std::string& text) {
    return line.find("\"text\": \"" + text + "\"") != std::string::npos;
}

TEST_F(WithDictionaries, RecognizesSimpleCharactersAmongTheFirstCandidates) {
    const std::string input =
        std::string(kOne) + "\n" + kTwo + "\n" + kThree + "\n" + kTen + "\n" + kMouth + "\n";
    ToolRun run = RunTool(Args("--nbest 5"), input);
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(run.lines.size(), 5u);
    const char* expected[] = {"一", "二", "三", "十", "口"};
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(HasText(run.lines[i], expected[i])) << run.lines[i];
}

TEST_F(WithDictionaries, KanjiMaskKeepsKanaOut) {
    ToolRun run = RunTool(Args("--mask 16 --nbest 20"), std::string(kOne) + "\n");
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(run.lines.size(), 1u);
    EXPECT_TRUE(HasText(run.lines[0], "一")) << run.lines[0];
    EXPECT_FALSE(HasText(run.lines[0], "ー")) << run.lines[0];
}

// 一, 二 and 三 side by side, each in its own 100-unit cell.
const char* const kOneTwoThree =
    R"({"strokes": [[[10, 52], [50, 50], [90, 50]],)"
    R"( [[125, 30], [150, 29], [175, 30]], [[110, 75], [150, 74], [190, 75]],)"
    R"( [[220, 20], [250, 19], [280, 20]], [[228, 50], [250, 49], [272, 50]],)"
    R"( [[210, 82], [250, 81], [290, 82]]]})";

// The same with the fractions a browser delivers (every value within half a unit).
const char* const kOneTwoThreeFractional =
    R"({"strokes": [[[10.2, 51.6], [50.4, 49.5], [89.7, 50]],)"
    R"( [[125.49, 30.1], [149.5, 29], [175, 30.3]], [[110, 74.8], [150.1, 74], [190, 75.2]],)"
    R"( [[220, 20], [249.6, 19.4], [280, 20]], [[227.5, 50], [250, 49], [272.3, 50]],)"
    R"( [[210, 81.7], [250, 81.2], [290, 82]]]})";

// The parsed output line of a line recognition.
struct LineOutput {
    std::vector<std::string> strings;
    struct Char {
        std::string text;
        int first = -1, last = -1;
        std::vector<std::pair<std::string, int>> candidates;
    };
    std::vector<Char> chars;
};

bool ParseLineOutput(const std::string& line, LineOutput& out) {
    recognize::JsonResult json = recognize::ParseJson(line);
    if (!json.ok) return false;
    const recognize::JsonValue* strings = json.value.Find("candidates");
    const recognize::JsonValue* chars = json.value.Find("chars");
    if (!strings || !chars) return false;
    for (const auto& s : strings->items) {
        const recognize::JsonValue* text = s.Find("text");
        if (!text || s.Find("score")) return false;
        out.strings.push_back(text->text);
    }
    for (const auto& c : chars->items) {
        LineOutput::Char ch;
        const recognize::JsonValue *text = c.Find("text"), *first = c.Find("first"),
                                   *last = c.Find("last"), *cands = c.Find("candidates");
        if (!text || !first || !last || !cands) return false;
        ch.text = text->text;
        ch.first = static_cast<int>(first->number);
        ch.last = static_cast<int>(last->number);
        for (const auto& k : cands->items) {
            const recognize::JsonValue *kt = k.Find("text"), *ks = k.Find("score");
            if (!kt || !ks) return false;
            ch.candidates.push_back({kt->text, static_cast<int>(ks->number)});
        }
        out.chars.push_back(ch);
    }
    return true;
}

TEST_F(WithDictionaries, LineGivesCharacterBoundariesAndCandidates) {
    // Kanji only: a lone horizontal bar is as much the long-vowel mark as it is 一.
    for (const char* mode : {"", "--no-correction"}) {
        ToolRun run = RunTool(Args(std::string("--line --mask 16 --nbest 10 ") + mode),
                              std::string(kOneTwoThree) + "\n");
        ASSERT_EQ(run.status, 0) << run.err;
        ASSERT_EQ(run.lines.size(), 1u);
        LineOutput out;
        ASSERT_TRUE(ParseLineOutput(run.lines[0], out)) << run.lines[0];
        ASSERT_FALSE(out.strings.empty()) << mode;
        EXPECT_EQ(out.strings[0], "一二三") << mode;
        EXPECT_LE(out.strings.size(), 10u);
        for (size_t i = 1; i < out.strings.size(); ++i)
            EXPECT_NE(out.strings[i], out.strings[0]) << "the best string twice";
        ASSERT_EQ(out.chars.size(), 3u) << run.lines[0];
        const int strokes[3][2] = {{0, 0}, {1, 2}, {3, 5}};
        const char* texts[3] = {"一", "二", "三"};
        for (int n = 0; n < 3; ++n) {
            const LineOutput::Char& c = out.chars[static_cast<size_t>(n)];
            EXPECT_EQ(c.text, texts[n]);
            EXPECT_EQ(c.first, strokes[n][0]) << n;
            EXPECT_EQ(c.last, strokes[n][1]) << n;
            ASSERT_FALSE(c.candidates.empty()) << n;
            EXPECT_LE(c.candidates.size(), 10u);
            // The string's character first, then the others in falling score.
            EXPECT_EQ(c.candidates[0].first, c.text) << n;
            for (size_t k = 0; k < c.candidates.size(); ++k) {
                EXPECT_GT(c.candidates[k].second, 0);
                if (k >= 2) {
                    EXPECT_LE(c.candidates[k].second, c.candidates[k - 1].second);
                }
                if (k >= 1) {
                    EXPECT_NE(c.candidates[k].first, c.text);
                }
            }
        }
    }
}

TEST_F(WithDictionaries, FractionalCoordinatesReadAsTheirRoundedValues) {
    const std::string args = Args("--line --mask 16");
    ToolRun whole = RunTool(args, std::string(kOneTwoThree) + "\n");
    ToolRun fractional = RunTool(args, std::string(kOneTwoThreeFractional) + "\n");
    ASSERT_EQ(fractional.status, 0) << fractional.err;
    ASSERT_EQ(fractional.lines.size(), 1u);
    ASSERT_EQ(whole.lines.size(), 1u);
    EXPECT_EQ(fractional.lines[0], whole.lines[0]);
    // A single character as well.
    ToolRun one = RunTool(Args(), R"({"strokes": [[[10.4, 52.2], [50.5, 49.6], [89.5, 50]]]})"
                                  "\n");
    ASSERT_EQ(one.status, 0) << one.err;
    ASSERT_EQ(one.lines.size(), 1u);
    EXPECT_TRUE(HasText(one.lines[0], "一")) << one.lines[0];
}

TEST_F(WithDictionaries, LineInAWritingFrame) {
    // The line written in a frame of its own height, a little wider than the ink.
    ToolRun run = RunTool(Args("--line --mask 16 --box 310,100"), std::string(kOneTwoThree) + "\n");
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(run.lines.size(), 1u);
    LineOutput out;
    ASSERT_TRUE(ParseLineOutput(run.lines[0], out)) << run.lines[0];
    ASSERT_FALSE(out.strings.empty());
    EXPECT_EQ(out.strings[0], "一二三");
}

TEST_F(WithDictionaries, OneCharacterLineIsReadByItsShapeAfterCorrection) {
    // A character alone has no neighbours for the bigram statistics, so the corrected
    // reading is the classifier's best for its strokes, whatever the search's language
    // terms preferred. Its strokes overlap, so they are one character in either pass.
    for (const char* mode : {"", "--no-correction"}) {
        ToolRun run =
            RunTool(Args(std::string("--line --nbest 10 ") + mode), std::string(kMouth) + "\n");
        ASSERT_EQ(run.status, 0) << run.err;
        ASSERT_EQ(run.lines.size(), 1u);
        LineOutput out;
        ASSERT_TRUE(ParseLineOutput(run.lines[0], out)) << run.lines[0];
        ASSERT_FALSE(out.strings.empty());
        ASSERT_EQ(out.chars.size(), 1u) << run.lines[0];
        const LineOutput::Char& c = out.chars[0];
        EXPECT_EQ(c.first, 0);
        EXPECT_EQ(c.last, 2);
        EXPECT_EQ(out.strings[0], c.text);
        ASSERT_FALSE(c.candidates.empty());
        EXPECT_EQ(c.candidates[0].first, c.text);
        if (*mode == 0) {
            for (const auto& k : c.candidates) EXPECT_LE(k.second, c.candidates[0].second);
        }
    }
}

TEST_F(WithDictionaries, EmptyLineHasNoStringsAndNoCharacters) {
    ToolRun run = RunTool(Args("--line"), "{\"strokes\": []}\n");
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(run.lines.size(), 1u);
    EXPECT_EQ(run.lines[0], "{\"candidates\": [], \"chars\": []}");
}

} // namespace

TEST(CodeText, ShiftJisCodesBecomeUtf8) {
    EXPECT_EQ(recognize::CodeToUtf8(0x96BE), "明");
    EXPECT_EQ(recognize::CodeToUtf8(0x82A0), "あ");
    EXPECT_EQ(recognize::CodeToUtf8(0x0041), "A");
    EXPECT_EQ(recognize::CodeToUtf8(0x10041), "A");           // only the low 16 bits
    EXPECT_EQ(recognize::CodeToUtf8(0x81FF), "\xEF\xBF\xBD"); // not a character
}
