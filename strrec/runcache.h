// The classifications of the last line read, kept for the next read. A writing box reads
// its line again after every stroke, each time as a new recognition object with all the
// strokes so far; most of the runs it tries are the ones of the read before, point for
// point, and the classifier's answer for the same points under the same settings is the
// same. A run is looked up by its points: a hit gives the candidates the classifier gave,
// a miss is classified and kept. Each read keeps only the runs it used, so the cache
// holds at most two reads' runs.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

#include "tessera/records.h"

class RUNCACHE {
public:
    enum : int { kCands = 10 };
    // Points kept at most (the runs of very long lines are classified without keeping).
    enum : long { kMaxPoints = 1L << 18 };

    struct RESULT {
        int found = 0; // what the classifier returned
        CR_RESULT cands[kCands] = {};
    };

    // Starts a read: the runs the previous read used stay available, older ones go.
    void vBeginRead();
    // The classification of the pattern: kept, or asked of the classifier and kept. A run
    // is read with the stroke count as written, or (acrossCounts) with the classifier's
    // matching across stroke counts too; the two readings are kept apart.
    const RESULT& rClassify(const PATTERN_W& pat, bool acrossCounts = false);
    // Forgets everything (the classifier's dictionaries changed).
    void vClear();
    // Notes the value a classifier setting is given (a setting, kSettings of them, is
    // numbered by its caller): another value than that setting's last one forgets the
    // kept runs, the same value again keeps them.
    enum : int { kSettings = 3 };
    void vNoteSetting(int which, const std::array<long, 4>& value);

    long lHits() const { return m_lHits; }
    long lMisses() const { return m_lMisses; }

private:
    struct ENTRY {
        std::vector<POINT_W> points;
        bool acrossCounts = false;
        RESULT result;
    };
    using MAP = std::unordered_map<uint64_t, ENTRY>;
    void vForget();
    static uint64_t ullHash(const PATTERN_W& pat, bool acrossCounts);
    static bool bSame(const ENTRY& e, const PATTERN_W& pat, bool acrossCounts);

    MAP m_cur, m_prev;
    long m_lPoints = 0; // points held by m_cur
    long m_lHits = 0, m_lMisses = 0;
    RESULT m_scratch; // a result that could not be kept
    std::array<std::optional<std::array<long, 4>>, kSettings> m_settings;
};

// The cache the recognition objects share, one per process like the classifier.
RUNCACHE& rRunCache();

// Classifies a run of a line's strokes as the line search does: with the stroke count as
// written (matching mode bit 4). The runs the search tries are mostly not characters;
// looking for joined or split strokes in them (the classifier's matching across stroke
// counts) finds shapes in wrong runs and changes the segmentation. The mode the string
// recognizer's classifier otherwise runs with is 0, as its open sets it. With acrossCounts
// the run is read in that mode 0, joined and split strokes looked for.
int iClassifyRun(const PATTERN_W* patw, CR_RESULT* cands, int n, bool acrossCounts = false);
