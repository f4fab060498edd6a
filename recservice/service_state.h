// Process-wide state of the recognition service and the by-name binding of the
// recognizer library's functions. Nothing is cached: every call looks its name up again.
#pragma once

#include "platform/loader.h"
#include "recservice/charprior.h"

#include <cstdint>

namespace veltarec {

struct ServiceState {
    int32_t attachCount = 0;
    platform::ModuleHandle library = nullptr; // the recognizer named by LibName
    int32_t extraEndPoints = 0;               // AddLastPoint, never negative
    int32_t boundFromPattern = 0;             // GetRectFlag
    bool matcherReady = false;                // the stroke matcher's tables were built
    CHAR_PRIOR prior{};                       // CPDIC; empty when none is configured or loads
};

ServiceState& State();

// The loaded library's export called name, or null when it is missing or nothing is loaded.
template <class Fn> Fn Bind(const char* name) {
    return platform::GetProc<Fn>(State().library, name);
}

} // namespace veltarec
