// The caller's statements, after a first recognition, that runs of strokes form one
// character, with undo, and their conversion into a character grouping of all strokes.
#pragma once

// What the stroke-set information needs from its owner: the characters of a result
// candidate in string order, as stroke number ranges.
class ICharStrokes {
public:
    virtual ~ICharStrokes() = default;
    // Number of characters of candidate lCandNo, or -1 for no such candidate.
    virtual long lCharCountOfCand(long lCandNo) const = 0;
    // First and last stroke number of character n of candidate lCandNo; false if absent.
    virtual bool bStrokesOfChar(long lCandNo, long n, long* plHead, long* plTail) const = 0;
};

class STROKESETINFO {
public:
    enum : long { kNone = -100, kStackSize = 256 };

    STROKESETINFO(long lStrokeCount, const ICharStrokes* pobj);
    ~STROKESETINFO();
    STROKESETINFO(const STROKESETINFO&) = delete;
    STROKESETINFO& operator=(const STROKESETINFO&) = delete;

    bool bValid() const { return m_lTagSize == 0 || m_p_lTag != nullptr; }
    void vInitialize();
    // Records that strokes lHeadNo..lTailNo of candidate lCandNo form one character.
    int bGiveStrokeInfo(long lCandNo, long lHeadNo, long lTailNo);
    int bUndoPrevAction();
    int bCalcTagData();
    int bGetTagInfo(long n, long* plHead, long* plTail) const;

    long lGetCandNo() const { return m_lCandNo; }
    long lGetTagCount() const { return m_lTagCount; }
    long lGetTag(long stroke) const {
        return stroke >= 0 && stroke < m_lTagSize ? m_p_lTag[stroke] : kNone;
    }
    long lGetStackDepth() const { return m_lSP; }

private:
    long m_lCandNo = kNone;
    long* m_p_lTag = nullptr;
    long m_lTagSize = 0;
    long m_lTagCount = 0;
    long m_p_lStack[kStackSize] = {};
    long m_lSP = 0;
    const ICharStrokes* m_pobj;
};
