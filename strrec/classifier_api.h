// The character classifier functions the string recognizer calls (iOpenClassRecogModule,
// iClassifyRecognize, the setters, cpCRREStoString, vCloseClassRecogModule). The library
// links glyphid; the unit tests link a stand-in with the same functions.
#pragma once

#include "tessera/glyphid.h"
