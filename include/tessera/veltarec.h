// The recognition service (libveltarec.so, pkg-config and CMake name tessera /
// Tessera::veltarec): the one interface a program needs to read handwriting. The service
// reads its configuration VELTAREC.INI, loads the recognizer library named there (the
// string recognizer libseqread.so, or the classifier libglyphid.so) by name and forwards
// every call to it, looked up by name at each call. Usable from C and C++; the records
// and the conventions shared by all libraries are in records.h.
//
// Opening. Loading the service through the project's loader (by name, "veltarec.dll" or
// libveltarec.so) opens it; a program linked against libveltarec.so calls OpenDictionary()
// once before anything else (1 = open, 0 = the configuration, the recognizer library or
// a dictionary did not load) and CloseDictionary() at the end, after destroying its
// recognition objects. The configuration and the dictionaries it names without a folder
// are found in $TESSERA_SYSTEM_DIR when set, else in share/tessera beside the folder of
// libveltarec.so (<prefix>/share/tessera of the installed copy): no configuration edit
// is needed after installing.
//
// One character: optionally SetGuideBox (the writing box, its four values in the order
// of PAT_POS: maxx, maxy, minx, miny) and SetRecCategory (category mask of glyphid.h,
// 511 = all), then RecognizeF with the whole character as one PATTERN_W (PT_PENDOWN on
// the first point of every stroke, PT_PENUP on the last) and an array of CR_RESULT: 0 and
// the candidates best first (zeroed slots after the last), or nonzero when nothing was
// read.
//
// A line: CreateNewObject; AddStrokeLast for every stroke (tagPOINT array); RecognizeNF
// (0 on success); GetResultCount candidate strings, GetString (Shift-JIS, owned by the
// object), GetStrokeNoOfNthChar (the strokes of each character), GetPatternWOfNthChar
// (a character's pattern, for RecognizeF; released with DestroyPatternW); DestroyObject.
// GetLastErrorRS gives the string recognizer's last error (codes in seqread.h). Every
// "long" of the string recognizer is int32_t here.
//
// The service keeps process-wide state and takes no locks: one caller at a time.
#ifndef TESSERA_VELTAREC_H
#define TESSERA_VELTAREC_H

#include "records.h"

#define VELTAREC_API __attribute__((visibility("default")))

#ifdef __cplusplus
extern "C" {
#endif

// Records owned by the string recognizer (seqread.h); the service only passes pointers to
// them on.
struct CODE_SCORE;
struct tagSR_VERINFO;

// A recognition object of the string recognizer; null means none.
typedef void* SRHANDLE;

// Opening and closing (run by the library's own load and unload notifications).
VELTAREC_API int32_t OpenDictionary(void);
VELTAREC_API int32_t CloseDictionary(void);

// Recognition objects of the string recognizer.
VELTAREC_API SRHANDLE CreateNewObject(void);
VELTAREC_API void DestroyObject(SRHANDLE hobj);
VELTAREC_API int32_t AddStrokeLast(SRHANDLE hobj, const tagPOINT* pStroke, int32_t lPointCount);
VELTAREC_API int32_t DeleteStrokeLast(SRHANDLE hobj);
VELTAREC_API int32_t GetStrokeCount(SRHANDLE hobj);
VELTAREC_API tagPOINT* GetNthStroke(SRHANDLE hobj, int32_t lStrokeNo, int32_t* pPointCount);
VELTAREC_API int32_t RecognizeNF(SRHANDLE hobj);
VELTAREC_API int32_t GetResultCount(SRHANDLE hobj);
VELTAREC_API char* GetString(SRHANDLE hobj, int32_t lCandNo, int32_t* pStringLength);
VELTAREC_API int32_t GetCharSize(SRHANDLE hobj, tagSIZE* psizChar);
VELTAREC_API int32_t GetParagraphHead(SRHANDLE hobj, void* pBuffer, int32_t lBuffSize);
VELTAREC_API int32_t GetStrokeNoOfNthChar(SRHANDLE hobj, int32_t lCandNo, int32_t lCharNo,
                                          int32_t* pHead, int32_t* pTail);
VELTAREC_API int32_t GetNthCharBound(SRHANDLE hobj, int32_t lCandNo, int32_t lCharNo,
                                     tagRECT* pBound);
VELTAREC_API int32_t GiveStrokeSetInfo(SRHANDLE hobj, int32_t lCandNo, int32_t lHeadPos,
                                       int32_t lTailPos);
VELTAREC_API PATTERN_W* GetPatternW(SRHANDLE hobj, int32_t lHeadPos, int32_t lTailPos);
VELTAREC_API PATTERN_W* GetPatternWOfNthChar(SRHANDLE hobj, int32_t lCandNo, int32_t lCharNo);
VELTAREC_API void DestroyPatternW(PATTERN_W* pPatW);
VELTAREC_API int32_t ContextProcess(struct CODE_SCORE** ppCS, int32_t lCharCount,
                                    int32_t lMaxCRCandCount);
VELTAREC_API int32_t GetLastErrorRS(void);
VELTAREC_API void GetVersionInfo(struct tagSR_VERINFO* pvinfo);

// Process-wide settings of the loaded recognizer.
VELTAREC_API void SetClassCount(int32_t lCandCount);
VELTAREC_API void SetGuideBox(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
VELTAREC_API void SetRecCategory(int32_t lSRKFlag);

// Single-character recognition: 0 on success (candidates best first), nonzero on failure.
VELTAREC_API int32_t RecognizeF(PATTERN_W* pPatW, CR_RESULT* pCRRes, int32_t lResultCount);

// Model patterns.
VELTAREC_API int32_t GetTehonNum(uint32_t code);
VELTAREC_API PATTERN_W* GetTehonPattern(uint32_t code, int32_t width, int32_t height,
                                        int32_t* pStrokeCount);
VELTAREC_API void ReleaseTehonPattern(PATTERN_W* pPatW);
VELTAREC_API int32_t GetScore(PATTERN_W* pPatW, uint32_t code, int16_t* pStrokeDiff,
                              int16_t* pShapeScore, int16_t* pRecogScore);

#ifdef __cplusplus
} // extern "C"

// Function types for binding the exports by name (C++).
namespace veltarec {
using CreateNewObjectFn = decltype(&::CreateNewObject);
using DestroyObjectFn = decltype(&::DestroyObject);
using AddStrokeLastFn = decltype(&::AddStrokeLast);
using DeleteStrokeLastFn = decltype(&::DeleteStrokeLast);
using GetStrokeCountFn = decltype(&::GetStrokeCount);
using GetNthStrokeFn = decltype(&::GetNthStroke);
using RecognizeNFFn = decltype(&::RecognizeNF);
using GetResultCountFn = decltype(&::GetResultCount);
using GetStringFn = decltype(&::GetString);
using GetCharSizeFn = decltype(&::GetCharSize);
using GetParagraphHeadFn = decltype(&::GetParagraphHead);
using GetStrokeNoOfNthCharFn = decltype(&::GetStrokeNoOfNthChar);
using GetNthCharBoundFn = decltype(&::GetNthCharBound);
using GiveStrokeSetInfoFn = decltype(&::GiveStrokeSetInfo);
using GetPatternWFn = decltype(&::GetPatternW);
using GetPatternWOfNthCharFn = decltype(&::GetPatternWOfNthChar);
using DestroyPatternWFn = decltype(&::DestroyPatternW);
using ContextProcessFn = decltype(&::ContextProcess);
using GetLastErrorRSFn = decltype(&::GetLastErrorRS);
using GetVersionInfoFn = decltype(&::GetVersionInfo);
using SetClassCountFn = decltype(&::SetClassCount);
using SetGuideBoxFn = decltype(&::SetGuideBox);
using SetRecCategoryFn = decltype(&::SetRecCategory);
using RecognizeFFn = decltype(&::RecognizeF);
using GetTehonNumFn = decltype(&::GetTehonNum);
using GetTehonPatternFn = decltype(&::GetTehonPattern);
using ReleaseTehonPatternFn = decltype(&::ReleaseTehonPattern);
using GetScoreFn = decltype(&::GetScore);
using OpenDictionaryFn = decltype(&::OpenDictionary);
using CloseDictionaryFn = decltype(&::CloseDictionary);
} // namespace veltarec
#endif // __cplusplus

#endif // TESSERA_VELTAREC_H
