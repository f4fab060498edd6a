// Small kana (ゃ, ッ) and their full-size twins (や, ツ) have the same shape; writers tell
// them apart by size and place: a small kana is about half as high as the characters
// beside it and sits on their baseline. These functions read that from the boxes of a
// run's ink and of the ink beside it in the line.
#pragma once

#include "tessera/records.h"

#include <cstdint>

enum : int { KS_UNKNOWN = 0, KS_SMALL = 1, KS_FULL = 2 };

// The full-size twin of a small kana (ぁ -> あ, ッ -> ツ, ヵ -> カ); 0 for any other code.
uint16_t wFullSizeKanaOf(uint32_t code);

// The small twin of a full-size kana; 0 when it has none.
uint16_t wSmallKanaOf(uint32_t code);

// What a run's box says against the box of the ink beside it: KS_SMALL for ink much lower
// than its neighbours' that sits low among them, KS_FULL for ink nearly as high as theirs
// or standing high, KS_UNKNOWN between the two, without neighbours (an empty box, right <
// left) or beside ink less than half as high as the run's own (a long-vowel mark, a comma).
int iKanaSizeOfBox(const tagRECT& run, const tagRECT& beside);

// The union of the boxes [first - reach, first) and [stop, stop + reach) of count boxes
// that overlap the run's box widened by margin on either side; empty (right < left) when
// none does.
tagRECT rcInkBeside(const tagRECT* boxes, int count, int first, int stop, int reach,
                    const tagRECT& run, int margin);

// Keeps of a small kana and its full-size twin, both among the listed candidates of
// cands[0..n) (those before the first empty record), only the one that the size fits: it
// takes the place of the first of the two, the candidates after the second move up one
// place, and the last listed place is emptied; scores stay where they were. The twin that
// does not fit is dropped rather than ranked lower, because the language model would
// bring it back on the small difference of score that the shape gives (しょう over
// しよう). Nothing changes for KS_UNKNOWN.
void vKeepTheKanaTwinThatFits(CR_RESULT* cands, int n, int size);
