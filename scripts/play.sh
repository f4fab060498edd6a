#!/usr/bin/env bash
# Builds everything and starts the game.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
tessera_build "$TESSERA_ROOT/build"
if [ -x "$TESSERA_ROOT/build/bin/tessera" ]; then
  exec "$TESSERA_ROOT/build/bin/tessera" "$@"
fi
# Until the game program is in the tree, the newest runnable part is the test suite.
echo "The game program is not built yet; running the newest runnable part, the tests."
cd "$TESSERA_ROOT/build" && exec ctest --output-on-failure
