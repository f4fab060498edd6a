// Shape agreement of a written character with a model, by the service's own copy of the
// stroke correspondence matcher (default matching parameters, never changed here).
#pragma once

#include "tessera/records.h"

namespace veltarec {

// Builds the matcher's direction and cosine tables; false when that failed.
bool InitShapeMatcher();
void CloseShapeMatcher();

// The matcher's evaluation with the written pattern as the dictionary side and the model
// as the input side: 0, or a score of at least the rejection threshold (0..1024). 0 as
// well when either pattern cannot be prepared.
int ShapeScore(const PATTERN_W& written, const PATTERN_W& model);

} // namespace veltarec
