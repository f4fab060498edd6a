#include "strrec/runcache.h"

#include "strrec/classifier_api.h"

RUNCACHE& rRunCache() {
    static RUNCACHE cache;
    return cache;
}

uint64_t RUNCACHE::ullHash(const PATTERN_W& pat, bool acrossCounts) {
    // FNV-1a over the fields (the padding byte of a point is left out)
    uint64_t h = 14695981039346656037ull;
    auto mix = [&h](uint32_t v) {
        h ^= v;
        h *= 1099511628211ull;
    };
    mix(static_cast<uint32_t>(pat.num) ^ (acrossCounts ? 0x80000000u : 0u));
    for (int32_t n = 0; n < pat.num; ++n) {
        const POINT_W& p = pat.data[n];
        mix((static_cast<uint32_t>(static_cast<uint16_t>(p.x)) << 16) | static_cast<uint16_t>(p.y));
        mix(p.attr);
    }
    return h;
}

bool RUNCACHE::bSame(const ENTRY& e, const PATTERN_W& pat, bool acrossCounts) {
    const std::vector<POINT_W>& a = e.points;
    if (e.acrossCounts != acrossCounts || a.size() != static_cast<size_t>(pat.num)) return false;
    for (size_t n = 0; n < a.size(); ++n) {
        const POINT_W& p = pat.data[n];
        if (a[n].x != p.x || a[n].y != p.y || a[n].attr != p.attr) return false;
    }
    return true;
}

void RUNCACHE::vBeginRead() {
    m_prev = std::move(m_cur);
    m_cur.clear();
    m_lPoints = 0;
}

void RUNCACHE::vForget() {
    // Fresh maps rather than clear(), which keeps the bucket arrays: forgotten runs hold no
    // memory.
    m_prev = MAP();
    m_cur = MAP();
    m_lPoints = 0;
}

void RUNCACHE::vClear() {
    vForget();
    m_settings = {};
}

void RUNCACHE::vNoteSetting(int which, const std::array<long, 4>& value) {
    if (which < 0 || which >= kSettings) return;
    auto& last = m_settings[static_cast<size_t>(which)];
    if (last == value) return;
    vForget();
    last = value;
}

const RUNCACHE::RESULT& RUNCACHE::rClassify(const PATTERN_W& pat, bool acrossCounts) {
    const uint64_t key = ullHash(pat, acrossCounts);
    if (auto it = m_cur.find(key); it != m_cur.end() && bSame(it->second, pat, acrossCounts)) {
        ++m_lHits;
        return it->second.result;
    }
    if (auto it = m_prev.find(key); it != m_prev.end() && bSame(it->second, pat, acrossCounts)) {
        ++m_lHits;
        m_scratch = it->second.result;
        if (m_lPoints + pat.num > kMaxPoints || m_cur.count(key) != 0) return m_scratch;
        m_lPoints += pat.num;
        ENTRY e = std::move(it->second);
        m_prev.erase(it);
        return m_cur.emplace(key, std::move(e)).first->second.result;
    }
    ++m_lMisses;
    RESULT r;
    r.found = iClassifyRun(&pat, r.cands, kCands, acrossCounts);
    // Two patterns of one hash: the one kept first stays.
    if (m_lPoints + pat.num > kMaxPoints || m_cur.count(key) != 0) {
        m_scratch = r;
        return m_scratch;
    }
    m_lPoints += pat.num;
    ENTRY e{std::vector<POINT_W>(pat.data, pat.data + pat.num), acrossCounts, r};
    return m_cur.emplace(key, std::move(e)).first->second.result;
}

int iClassifyRun(const PATTERN_W* patw, CR_RESULT* cands, int n, bool acrossCounts) {
    if (acrossCounts) return iClassifyRecognize(patw, cands, n);
    constexpr int kCountAsWritten = 4;
    vSetMatchingMode(kCountAsWritten);
    const int found = iClassifyRecognize(patw, cands, n);
    vSetMatchingMode(0);
    return found;
}
