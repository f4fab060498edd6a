// The recognition service's exported interface. The service forwards every call to the
// recognizer library named in its configuration (string recognizer or character
// classifier), looked up by name at each call. Clients normally load the service by name
// and bind these functions by name as well; the typedefs below give their exact types.
#pragma once

#include "classifier/records.h"

#include <cstdint>

#define VELTAREC_API __attribute__((visibility("default")))

extern "C" {

// Records owned by the string recognizer; the service only passes pointers to them on.
struct CODE_SCORE;
struct tagSR_VERINFO;

using SRHANDLE = void*;

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
VELTAREC_API int32_t ContextProcess(CODE_SCORE** ppCS, int32_t lCharCount, int32_t lMaxCRCandCount);
VELTAREC_API int32_t GetLastErrorRS(void);
VELTAREC_API void GetVersionInfo(tagSR_VERINFO* pvinfo);

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

} // extern "C"

// Function types for binding the exports by name.
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
