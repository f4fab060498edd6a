// Small kana (ぁ, ッ, ヵ) and their full-size twins (あ, ツ, カ), in CP932: the one list
// of them that the string recognizer, the dictionary compiler and the benches share.
#pragma once

#include <cstdint>

namespace kanatwins {
inline constexpr uint16_t kTwins[][2] = {
    {0x829F, 0x82A0}, {0x82A1, 0x82A2}, {0x82A3, 0x82A4}, {0x82A5, 0x82A6}, {0x82A7, 0x82A8},
    {0x82C1, 0x82C2}, {0x82E1, 0x82E2}, {0x82E3, 0x82E4}, {0x82E5, 0x82E6}, {0x82EC, 0x82ED},
    {0x8340, 0x8341}, {0x8342, 0x8343}, {0x8344, 0x8345}, {0x8346, 0x8347}, {0x8348, 0x8349},
    {0x8362, 0x8363}, {0x8383, 0x8384}, {0x8385, 0x8386}, {0x8387, 0x8388}, {0x838E, 0x838F},
    {0x8395, 0x834A}, {0x8396, 0x8350}};
} // namespace kanatwins

// The full-size twin of a small kana (ぁ -> あ, ッ -> ツ, ヵ -> カ); 0 for any other code.
inline uint16_t wFullSizeKanaOf(uint32_t code) {
    for (const auto& t : kanatwins::kTwins)
        if (t[0] == (code & 0xFFFF)) return t[1];
    return 0;
}

// The small twin of a full-size kana; 0 when it has none.
inline uint16_t wSmallKanaOf(uint32_t code) {
    for (const auto& t : kanatwins::kTwins)
        if (t[1] == (code & 0xFFFF)) return t[0];
    return 0;
}
