#include "controls/shroud/priority.h"

#include <cerrno>
#include <sys/resource.h>

namespace shroud {

namespace {

// The nice value standing for the "high" priority class.
constexpr int kHighNice = -10;

} // namespace

ScopedHighPriority::ScopedHighPriority() {
    errno = 0;
    const int current = getpriority(PRIO_PROCESS, 0);
    if (current == -1 && errno != 0) return;
    previous_ = current;
    if (current <= kHighNice) return;
    raised_ = setpriority(PRIO_PROCESS, 0, kHighNice) == 0;
}

ScopedHighPriority::~ScopedHighPriority() {
    if (raised_) setpriority(PRIO_PROCESS, 0, previous_);
}

} // namespace shroud
