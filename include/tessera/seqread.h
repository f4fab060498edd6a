// Public interface of the string recognizer library (libseqread.so, pkg-config and CMake
// name tessera-seqread / Tessera::seqread): recognition objects that take the strokes of a
// handwritten line and return ranked candidate strings, character boundaries and
// per-character patterns, plus single-character recognition through the classifier and
// bigram re-ranking of candidate lists. Usable from C and C++; the records and the
// conventions shared by all libraries are in records.h.
//
// Calling order: lSROpenSystem with the paths of the pattern, coarse and bigram
// dictionaries (glyphs.crd, glyphs.ccd, bigram.cbg in <prefix>/share/tessera; relative
// paths are the process's own), optionally lSRLoadEvalTables (evaluation.clp); then per
// line hSRCreateNewObject, lSRAddStrokeLast for every stroke, lSRRecognize, the result
// getters, vSRDestroyObject; vSRCloseSystem at the end. Most programs use the
// recognition service (veltarec.h) instead, which opens all of this from its
// configuration.
//
// Every export sets the process-wide last error (lSRGetLastError):
//   0 success, 1 wrong state, 2 out of memory, 3 dictionary, 4 bad argument, 5 failure.
// "long" is the platform's long; the recognition object handle is the object's address.
#ifndef TESSERA_SEQREAD_H
#define TESSERA_SEQREAD_H

#include "records.h"

#ifdef __cplusplus
extern "C" {
#endif

enum {
    SR_OK = 0,
    SR_ERR_STATE = 1,
    SR_ERR_MEMORY = 2,
    SR_ERR_DICTIONARY = 3,
    SR_ERR_ARGUMENT = 4,
    SR_ERR_FAILED = 5
};

// One candidate of a per-character candidate list (best first).
typedef struct CODE_SCORE {
    uint32_t code;
    int32_t score;
} CODE_SCORE;

// Version record filled by vSRGetVersion.
typedef struct tagSR_VERINFO {
    uint16_t wInterface;   // 115
    uint16_t wRecognize;   // 196
    const char* cpComment; // empty string
    const char* cpDate;    // "99-04-27"
} tagSR_VERINFO;

// Attribute of the first trailer record behind the points of a pattern from pSRGetPATW
// (x = head stroke, y = tail stroke) and pSRGetPATWOfNthChar (x = candidate, y = character).
// The second trailer record holds bits 16-31 (x) and 0-15 (y) of the object handle.
enum { SR_TRAILER_RANGE = 10, SR_TRAILER_CHAR = 11 };

// Longest result string in characters; longer results are reported with SR_ERR_FAILED.
// Result strings are Shift-JIS: a double-byte code takes two bytes and a single-byte code
// one, so a string holds exactly as many characters as its reported length.
enum { SR_MAX_STRING_CHARS = 127 };

// Stands in the corrected string for a character whose strokes the classifier could not
// read (an empty candidate list): the geta mark, keeping characters and stroke ranges in
// step.
enum { SR_UNREAD_CODE = 0x81AC };

typedef void* HSROBJ;

#define SEQREAD_API __attribute__((visibility("default")))

SEQREAD_API long lSRGetLastError(void);
SEQREAD_API long lSROpenSystem(const char* cpCRDic, const char* cpClassDic,
                               const char* cpBigramDic);
SEQREAD_API void vSRCloseSystem(void);
// Evaluation tables fitted to the dictionaries (the file the configuration names), used by
// every later recognition until the system closes: 0, or 3 when the file does not load
// (the fixed tables stay in use). A null or empty name returns to the fixed tables.
SEQREAD_API long lSRLoadEvalTables(const char* cpEvalDic);
SEQREAD_API void vSRGetVersion(tagSR_VERINFO* pvinfo);
SEQREAD_API void** ppSRGetTmpSegRes(HSROBJ hobj, long* pCount);
SEQREAD_API int bSRReRecognizeDialog(HSROBJ hobj, void* hwndParent);

SEQREAD_API HSROBJ hSRCreateNewObject(void);
SEQREAD_API void vSRDestroyObject(HSROBJ hobj);
SEQREAD_API long lSRAddStrokeLast(HSROBJ hobj, const tagPOINT* pStroke, long lPointCount);
SEQREAD_API long lSRDeleteStrokeLast(HSROBJ hobj);
SEQREAD_API long lSRGetStrokeCount(HSROBJ hobj);
SEQREAD_API tagPOINT* pSRGetNthStroke(HSROBJ hobj, long lStrokeNo, long* pPointCount);
SEQREAD_API long lSRRecognize(HSROBJ hobj);
SEQREAD_API long lSRGetResultCount(HSROBJ hobj);
SEQREAD_API const char* cpSRGetString(HSROBJ hobj, long lCandNo, long* pStringLength);
SEQREAD_API long lSRGetCharSize(HSROBJ hobj, tagSIZE* psizChar);
SEQREAD_API long lSRGetParagraphHead(HSROBJ hobj, long* pBuffer, long lBuffSize);
SEQREAD_API long lSRGetStrokeNoOfNthChar(HSROBJ hobj, long lCandNo, long lCharNo, long* pHead,
                                         long* pTail);
SEQREAD_API long lSRGetNthCharBound(HSROBJ hobj, long lCandNo, long lCharNo, tagRECT* pBound);
SEQREAD_API long lSRGiveStrokeSetInfo(HSROBJ hobj, long lCandNo, long lHeadPos, long lTailPos);
SEQREAD_API long lSRDeleteLastStrokeSetInfo(HSROBJ hobj);
SEQREAD_API PATTERN_W* pSRGetPATW(HSROBJ hobj, long lHeadPos, long lTailPos);
SEQREAD_API PATTERN_W* pSRGetPATWOfNthChar(HSROBJ hobj, long lCandNo, long lCharNo);
SEQREAD_API void vSRDestroyPATW(PATTERN_W* pPatW);

SEQREAD_API void vSRSetClassCount(long lCandCount);
SEQREAD_API void vSRSetRecCategory(long lSRKFlag);
SEQREAD_API void vSRSetGuideBox(PAT_POS* pPos);
SEQREAD_API long lSRRecognizeCP(PATTERN_W* pPatW, CR_RESULT* pCRRes, long lResultCount);
// Bigram re-ranking of lCharCount lists of up to lMaxCRCandCount candidates, in place:
// 0, or 1 when memory is short (lists unchanged, last error 2); 4 for bad arguments and 1
// while the system is not open.
SEQREAD_API long lSRContextProcess(CODE_SCORE** ppCS, long lCharCount, long lMaxCRCandCount);

SEQREAD_API int DllEntryPoint(void* instance, unsigned long reason, void* reserved);

#ifdef __cplusplus
} // extern "C"
#endif

#endif // TESSERA_SEQREAD_H
