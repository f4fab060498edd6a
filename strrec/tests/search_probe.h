// A recognition object whose chain search the tests run on a character size they choose,
// with the lattice steps it exposes.
#pragma once

#include "strrec/srobj.h"

#include <gtest/gtest.h>

#include <string>

class SearchProbe : public aSROBJ {
public:
    using aSROBJ::m_bCheckSegPos;
    using aSROBJ::m_iSetResultCount;

    // A stroke from (x0, y0) to (x1, y1).
    void Bar(int x0, int x1, int y0 = 20, int y1 = 80) {
        tagPOINT pts[] = {{x0, y0}, {x1, y1}};
        ASSERT_EQ(lAddStrokeLast(pts, 2), SR_OK);
    }
    // Segments the strokes and runs the search with the character size size x size.
    long Search(int size) {
        m_sizChar = {size, size};
        if (m_SegRes.lTemporarySegment(&m_strkDum, m_iStrokeCount, m_sizChar) != 0)
            return SR_ERR_MEMORY;
        m_pSigma = new aSIGMA(m_SegRes.iGetElmCount());
        return m_lDPSearch();
    }
    // The best result string, empty when there is none.
    std::string Best() {
        long len = 0, err = 0;
        const char* s = lGetResultCount() > 0 ? cpGetString(0, &len, &err) : nullptr;
        return s ? s : "";
    }
};
