// A stand-in for the character classifier in unit tests: recognition is answered by a
// handler the test installs.
#pragma once

#include "tessera/records.h"

#include <functional>
#include <string>

namespace fake {

using Handler = std::function<int(const PATTERN_W&, CR_RESULT*, int)>;

void SetHandler(Handler handler);
// Number of iClassifyRecognize calls since the last reset.
int CallCount();
void ResetCallCount();
// Result of the next iOpenClassRecogModule calls (0 opens).
void SetOpenResult(int result);
bool IsOpen();

// Points per stroke of a pattern, with the attr bits checked: -1 if they are malformed.
int StrokeCount(const PATTERN_W& patw);
// The smallest x of a pattern's points.
int MinX(const PATTERN_W& patw);

} // namespace fake
