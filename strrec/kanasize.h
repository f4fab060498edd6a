// Small kana (ゃ, ッ) and their full-size twins (や, ツ) have the same shape; writers tell
// them apart by size and place: a small kana is about half as high as the characters
// beside it and sits on their baseline. These functions read that from the boxes of a
// run's ink and of the ink beside it in the line, as a term of the chain's evaluation.
#pragma once

#include "strrec/kanatwins.h"
#include "tessera/records.h"

#include <cstdint>

// The size score of a run when its ink says nothing of its size.
enum : int { kNoKanaSize = INT32_MIN };

// The size score (percent) of a run's box against the box of the ink beside it: the
// larger extent of the run's ink less one and a half times how far its middle lies below
// the top of the two boxes' union, as shares of the union's height. Low for ink much lower
// than its neighbours' that sits low among them (a small kana: about -63), high for ink
// nearly as high as theirs or standing high (a full-size kana: about 9). kNoKanaSize
// without neighbours (an empty box, right < left) or beside ink less than half as high as
// the run's own (a long-vowel mark, a comma).
int iKanaSizeScore(const tagRECT& run, const tagRECT& beside);

// The union of the boxes [first - reach, first) and [stop, stop + reach) of count boxes
// that overlap the run's box widened by margin on either side; empty (right < left) when
// none does.
tagRECT rcInkBeside(const tagRECT* boxes, int count, int first, int stop, int reach,
                    const tagRECT& run, int margin);

// The size term of a candidate of a run with the given size score: 0 for a code without a
// twin, for the twin that the score favours and without a score; for the other twin the
// log of the odds against it, which outweighs the language model where the size is plain
// and leaves the choice to it where the size is in doubt.
float fKanaSizeLP(int score, uint32_t code);
