// What the stand-in recognizer libraries record about the calls they receive, and the
// answers a test sets up for them. Each stand-in exports FakeGetLog() returning its log.
#pragma once

#include "tessera/records.h"

#include <cstdint>

struct FakeLog {
    // Answers set by the test.
    int openResult;      // returned by the open function
    int recognizeResult; // returned by the single-character recognition
    int resultCount;     // candidates written into the caller's array
    CR_RESULT results[32];
    int charBoundResult; // returned by the library's own character bound

    // Calls seen.
    int attaches, detaches;
    int opens, openArgCount;
    char dic[3][512];
    int classCountCalls, classCount;
    int closes;
    int categoryCalls, category;
    int guideCalls;
    tagRECT guide;
    int strokeCalls, strokePointCount;
    tagPOINT stroke[64];
    int recognizeCalls, recognizeCapacity;
    const PATTERN_W* recognizePattern;
    int boundCalls;
    int patternsMade, patternsDestroyed;
    int evalResult; // returned by the evaluation-table load (answer set by the test)
    int evalLoads;
    char evalDic[512];
};

using FakeGetLogFn = FakeLog* (*)();
