// A library without an entry point: it loads like any other.
extern "C" __attribute__((visibility("default"))) int PlainAnswer() { return 7; }
