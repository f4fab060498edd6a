#include "classifier/tests/core_testutil.h"
