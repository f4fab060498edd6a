#include "controls/syskit/pathrules.h"

#include <gtest/gtest.h>

using namespace syskit;

TEST(JoinPath, AddsOneSeparatorOnlyWhenNeeded) {
    EXPECT_EQ(JoinPath("/a/b", "c.txt"), "/a/b/c.txt");
    EXPECT_EQ(JoinPath("/a/b/", "c.txt"), "/a/b/c.txt");
    EXPECT_EQ(JoinPath("", "/x/c.txt"), "/x/c.txt");
}

TEST(WaveFileName, AppendsWavOnlyWithoutAnyDot) {
    EXPECT_EQ(WaveFileName("/snd", "ding"), "/snd/ding.WAV");
    EXPECT_EQ(WaveFileName("/snd", "ding.wav"), "/snd/ding.wav");
    // A dot in the folder suppresses the extension even for a bare file name.
    EXPECT_EQ(WaveFileName("/snd.d", "ding"), "/snd.d/ding");
}

TEST(WithoutLastExtension, CutsBeforeTheLastDotOnly) {
    EXPECT_EQ(WithoutLastExtension("a.b.txt"), "a.b");
    EXPECT_EQ(WithoutLastExtension("plain"), "plain");
    EXPECT_EQ(WithoutLastExtension(".hidden"), "");
}

TEST(SearchPattern, EmptyNameMeansEverything) {
    const SearchPattern p = SplitSearchPattern("/q/");
    EXPECT_EQ(p.folder, "/q");
    EXPECT_EQ(p.pattern, "*.*");
    const SearchPattern r = SplitSearchPattern("*.txt");
    EXPECT_EQ(r.folder, ".");
    EXPECT_EQ(r.pattern, "*.txt");
}

TEST(MatchesPattern, WindowsWildcards) {
    EXPECT_TRUE(MatchesPattern("noext", "*.*"));
    EXPECT_TRUE(MatchesPattern("..", "*.*"));
    EXPECT_TRUE(MatchesPattern("A.TXT", "*.txt"));
    EXPECT_FALSE(MatchesPattern("a.txt.bak", "*.txt"));
    EXPECT_TRUE(MatchesPattern("q1.txt", "q?.txt"));
    EXPECT_FALSE(MatchesPattern("q12.txt", "q?.txt"));
    EXPECT_TRUE(MatchesPattern("readme", "readme.*"));
    EXPECT_TRUE(MatchesPattern("a+b.txt", "a+b.txt"));
}
