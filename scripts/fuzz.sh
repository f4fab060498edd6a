#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each for a given time.
#   bash scripts/fuzz.sh [SECONDS-PER-TARGET] [TARGET...]
# New inputs go to build-fuzz/corpus/<target>/, crashes to build-fuzz/crashes/<target>/.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
seconds=${1:-60}
shift || true
CC=clang CXX=clang++ tessera_build "$TESSERA_ROOT/build-fuzz" -DTESSERA_FUZZ=ON \
  -DTESSERA_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
cd "$TESSERA_ROOT/build-fuzz"
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in fuzz/fuzz_*; do targets+=("${f#fuzz/fuzz_}"); done
fi
status=0
for t in "${targets[@]}"; do
  mkdir -p "corpus/$t" "crashes/$t"
  seeds="$TESSERA_ROOT/tools/fuzz/corpus/$t"
  extra="$TESSERA_ROOT/build-fuzz/seeds/$t"
  dirs=("corpus/$t")
  [ -d "$seeds" ] && dirs+=("$seeds")
  [ -d "$extra" ] && dirs+=("$extra")
  echo "== $t: ${seconds}s"
  if ! "fuzz/fuzz_$t" -max_total_time="$seconds" -print_final_stats=1 -rss_limit_mb=4096 \
      -timeout=10 -artifact_prefix="crashes/$t/" "${dirs[@]}" 2>"logs-$t.txt"; then
    status=1
    echo "!! $t found a problem; see build-fuzz/logs-$t.txt and build-fuzz/crashes/$t/"
  fi
  grep -E "stat::number_of_executed_units|cov:" "logs-$t.txt" | tail -2 || true
done
exit $status
