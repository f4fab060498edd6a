#include "game/commonmodule.h"
#include "game/questions.h"

#include <gtest/gtest.h>
#include <random>

using namespace game;

TEST(ShuffleQuestions, KeepsEveryAnswerExactlyOnce) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    const QStringList answers = {"a", "b", "c", "d", "e", "f", "g"};
    for (int round = 0; round < 20; ++round) {
        QStringList played = ShuffleQuestions(answers, [&] { return u(rng); });
        ASSERT_EQ(played.size(), answers.size());
        played.sort();
        EXPECT_EQ(played, answers);
    }
    EXPECT_TRUE(ShuffleQuestions({}, [] { return 0.5; }).isEmpty());
}

TEST(ShuffleQuestions, PicksTheItemNearestToRTimesLastIndexHalvesToEven) {
    // c = 3: r = 0.25 gives 0.5 -> 0; then c = 2: 0.25 -> 0; then the last.
    EXPECT_EQ(ShuffleQuestions({"a", "b", "c"}, [] { return 0.25; }), QStringList({"a", "b", "c"}));
    // c = 3: r = 0.75 gives 1.5 -> 2; c = 2: 0.75 -> 1.
    EXPECT_EQ(ShuffleQuestions({"a", "b", "c"}, [] { return 0.75; }), QStringList({"c", "b", "a"}));
    // A generator out of range never reaches past the list.
    EXPECT_EQ(ShuffleQuestions({"a", "b"}, [] { return 1.0; }).size(), 2);
}

TEST(CommonModule, MaxIntMinIntAndFileNames) {
    EXPECT_EQ(MaxInt(1, -3), 1);
    EXPECT_EQ(MinInt(1, -3), -3);
    EXPECT_EQ(FileNameOf("/a/b/grade1.txt"), "grade1.txt");
    EXPECT_EQ(FileNameOf("plain"), "plain");
}
