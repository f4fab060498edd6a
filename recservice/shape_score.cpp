#include "recservice/shape_score.h"

#include "classifier/strokematch.h"

#include <cstdlib>

namespace veltarec {
namespace {

// Room in the pair table; a walk needs at most (dictionary points + input points - 1)
// pairs, so larger prepared patterns get a larger table instead of overrunning this one.
constexpr int kPairRoom = 500;

} // namespace

bool InitShapeMatcher() {
    return initcrlib() == 0;
}

void CloseShapeMatcher() {
    closecrlib();
}

int ShapeScore(const PATTERN_W& written, const PATTERN_W& model) {
    PAT_POS pos{};
    PATTERN_B dic{};
    if (createpat(&pos, &written, &dic) != 0) return 0;
    PATTERN_B in{};
    if (createpat(&pos, &model, &in) != 0) {
        releasepat(&dic);
        return 0;
    }
    int room = kPairRoom;
    if (dic.num + in.num + 1 > room) room = dic.num + in.num + 1;
    NP_TABLE npt{};
    npt.pair = static_cast<NODE_PAIR*>(std::calloc(static_cast<size_t>(room), sizeof(NODE_PAIR)));
    int score = 0;
    if (npt.pair) {
        score = evaluate(&npt, &dic, &in);
        std::free(npt.pair);
    }
    releasepat(&in);
    releasepat(&dic);
    return score;
}

} // namespace veltarec
