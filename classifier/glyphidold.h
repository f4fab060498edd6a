// The older build of the character classifier (libglyphidold.so), linked by the box
// recognizer. It offers the functions of glyphid.h under names with a leading underscore,
// with the same arguments; two results differ:
//   _iOpenClassRecogModule  0 when the pattern dictionary opened and the coarse dictionary
//                           either loaded or does not exist (a missing one gives an empty
//                           coarse dictionary: with a class count above 0 nothing is found);
//                           a coarse dictionary that exists but cannot be read fails the
//                           open (5), leaving the module closed.
//   _iClassifyRecognize     0 when the recognition ran (the candidates stand in pCRres),
//                           nonzero on failure: 5 closed module or bad argument, 2 empty
//                           pattern, 1 out of memory or coarse classification failed.
// Its state is its own: it can be loaded beside libglyphid.so in one process.
#pragma once

#include "tessera/records.h"

#define GLYPHIDOLD_EXPORT __attribute__((visibility("default")))

extern "C" {

GLYPHIDOLD_EXPORT int _iOpenClassRecogModule(const char* cpCRdic, const char* cpClassDic);
GLYPHIDOLD_EXPORT void _vCloseClassRecogModule(void);
GLYPHIDOLD_EXPORT int _iClassifyRecognize(const PATTERN_W* pPatW, CR_RESULT* pCRres,
                                          int iMaxResultCount);
GLYPHIDOLD_EXPORT void _vSetClassCount(int iNewClassCount);
GLYPHIDOLD_EXPORT void _vSetRecogCategory(int iRKflag);
GLYPHIDOLD_EXPORT void _vSetGuideBox(const PAT_POS* pPos);
GLYPHIDOLD_EXPORT void _vSetMatchingMode(int iMode);
GLYPHIDOLD_EXPORT const char* _cpCRREStoString(const CR_RESULT* pCRres);

} // extern "C"
