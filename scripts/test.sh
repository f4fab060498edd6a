#!/usr/bin/env bash
# Builds everything and runs the whole test suite: once on the normal build, once on a
# build with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
export QT_QPA_PLATFORM=offscreen

tessera_build "$TESSERA_ROOT/build"
(cd "$TESSERA_ROOT/build" && ctest --output-on-failure --timeout 600 -j "$(nproc)")
# The installed copy on its own: the examples, the Python module and the Debian package
# (on the normal build only: the sanitizer build's binaries need their runtime preloaded).
bash "$TESSERA_ROOT/scripts/sdk-check.sh" "$TESSERA_ROOT/build"

if [ "${TESSERA_SKIP_SANITIZERS:-0}" != 1 ]; then
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  # The dictionaries are the same files the normal build compiled from this tree; the
  # compiler's own tests still run under the sanitizers.
  tessera_build "$TESSERA_ROOT/build-sanitize" -DTESSERA_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTESSERA_DICTIONARIES_FROM="$TESSERA_ROOT/build/share/tessera"
  (cd "$TESSERA_ROOT/build-sanitize" && ctest --output-on-failure --timeout 900 -j "$(nproc)")
fi

# A few seconds of every fuzz program, recognizing against the small dictionaries.
if [ "${TESSERA_SKIP_FUZZ:-0}" != 1 ] && command -v clang++ >/dev/null; then
  TESSERA_FUZZ_SMALL=1 bash "$TESSERA_ROOT/scripts/fuzz.sh" 5
fi
