// The eight functions of the character classifier that the string recognizer calls.
// Uses the classifier's own header when it is in the tree; otherwise declares them here.
#pragma once

#include "classifier/records.h"

#if __has_include("classifier/glyphid.h")
#include "classifier/glyphid.h"
#else
extern "C" {
int iOpenClassRecogModule(const char* cpCRdic, const char* cpClassDic);
void vCloseClassRecogModule(void);
int iClassifyRecognize(const PATTERN_W* pPatW, CR_RESULT* pCRres, int iMaxResultCount);
void vSetClassCount(int iNewClassCount);
void vSetRecogCategory(int iRKflag);
void vSetGuideBox(const PAT_POS* pPos);
void vSetMatchingMode(int iMode);
const char* cpCRREStoString(const CR_RESULT* pCRres);
}
#endif
