// A library that records every entry-point call in a counter the test reads back
// through the environment it shares: the counters live in the process environment so
// that they survive the library being closed.
#include <cstdio>
#include <cstdlib>

namespace {
void Bump(const char* name) {
    const char* v = std::getenv(name);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d", (v ? std::atoi(v) : 0) + 1);
    setenv(name, buf, 1);
}
} // namespace

extern "C" __attribute__((visibility("default"))) int DllEntryPoint(void*, unsigned long reason,
                                                                    void*) {
    Bump(reason == 1 ? "PROBE_ATTACHES" : "PROBE_DETACHES");
    return reason == 1 ? PROBE_ATTACH_RESULT : 1;
}

extern "C" __attribute__((visibility("default"))) int ProbeAnswer() { return 42; }
