// The character classifier library (libglyphid.so, pkg-config and CMake name
// tessera-glyphid / Tessera::glyphid): recognizes one handwritten character against a
// pattern dictionary and returns ranked candidate codes, optionally narrowed first by a
// coarse directional-feature classification. Usable from C and C++; the records and the
// conventions shared by all libraries are in records.h.
//
// Calling order: iOpenClassRecogModule with the paths of the pattern dictionary
// (glyphs.crd) and the coarse dictionary (glyphs.ccd, or null); optionally the vSet...
// settings; iClassifyRecognize for every character; vCloseClassRecogModule at the end.
// The installed dictionaries lie in <prefix>/share/tessera (pkg-config --variable=dictdir
// tessera, or Tessera_DICTIONARY_DIR in CMake). Relative paths are the process's own.
// The input is one PATTERN_W: the character's points, strokes one after another, the
// first point of each stroke marked PT_PENDOWN and the last PT_PENUP.
//
// State is process-wide: one classifier per process, used by one caller at a time.
//   iOpenClassRecogModule   opens the pattern dictionary (and, when given, the coarse
//                           dictionary); 0, 1 already open / out of memory, 3 file error.
//   vCloseClassRecogModule  closes everything; harmless when closed.
//   iClassifyRecognize      fills pCRres (iMaxResultCount records, best first, the rest
//                           zeroed) and returns the number of candidates, 0 on any failure.
//   vSetClassCount          coarse candidates per recognition (only with a coarse
//                           dictionary); 0 switches the coarse preselection off.
//   vSetRecogCategory       category mask (below), 0..511; 511 = no restriction.
//   vSetGuideBox            the writing box in input units (kept across close and open).
//   vSetMatchingMode        0: a dictionary pattern may have more strokes than the input;
//                           1: stroke counts must be equal. Adding 2 matches the strokes
//                           in the order and direction written only. Otherwise, on the
//                           coarse path, writing that no candidate matches well as written
//                           is matched again with its strokes put into each candidate
//                           pattern's order and direction (a little less for every stroke
//                           moved or turned round), and when that too matches nothing
//                           well, with joined and split strokes undone (a little less for
//                           every join and split). Adding 4 (or mode 1) matches with the
//                           stroke count written only. Before either path, writing with
//                           device noise is smoothed and resampled by the character's size
//                           so that the noise does not move the result; adding
//                           8 prepares all writing as it comes. On the coarse path a
//                           candidate whose match as written fails is matched again by DP
//                           only among the first ten coarse candidates; adding 16 does so
//                           for every candidate. Opening sets 0.
//   cpCRREStoString         the Shift-JIS text of a candidate's code, in a static buffer
//                           that the next call overwrites; null for a null argument.
#ifndef TESSERA_GLYPHID_H
#define TESSERA_GLYPHID_H

#include "records.h"

#define GLYPHID_EXPORT __attribute__((visibility("default")))

// Category mask bits of vSetRecogCategory.
enum {
    GLYPHID_HIRAGANA = 1,
    GLYPHID_DIGIT = 2,
    GLYPHID_KATAKANA = 4,
    GLYPHID_SYMBOL = 8,
    GLYPHID_KANJI1 = 16, // first-level kanji
    GLYPHID_KANJI2 = 32, // second-level kanji
    GLYPHID_LATIN = 64,
    GLYPHID_GREEK = 128,
    GLYPHID_PUNCTUATION = 256,
    GLYPHID_ALL = 511
};

#ifdef __cplusplus
extern "C" {
#endif

GLYPHID_EXPORT int iOpenClassRecogModule(const char* cpCRdic, const char* cpClassDic);
GLYPHID_EXPORT void vCloseClassRecogModule(void);
GLYPHID_EXPORT int iClassifyRecognize(const PATTERN_W* pPatW, CR_RESULT* pCRres,
                                      int iMaxResultCount);
GLYPHID_EXPORT void vSetClassCount(int iNewClassCount);
GLYPHID_EXPORT void vSetRecogCategory(int iRKflag);
GLYPHID_EXPORT void vSetGuideBox(const PAT_POS* pPos);
GLYPHID_EXPORT void vSetMatchingMode(int iMode);
GLYPHID_EXPORT const char* cpCRREStoString(const CR_RESULT* pCRres);

// Function types, for binding the exports by name.
typedef int (*PFN_iOpenClassRecogModule)(const char*, const char*);
typedef void (*PFN_vCloseClassRecogModule)(void);
typedef int (*PFN_iClassifyRecognize)(const PATTERN_W*, CR_RESULT*, int);
typedef void (*PFN_vSetClassCount)(int);
typedef void (*PFN_vSetRecogCategory)(int);
typedef void (*PFN_vSetGuideBox)(const PAT_POS*);
typedef void (*PFN_vSetMatchingMode)(int);
typedef const char* (*PFN_cpCRREStoString)(const CR_RESULT*);

#ifdef __cplusplus
} // extern "C"
#endif

#endif // TESSERA_GLYPHID_H
