#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each for a given time,
# one after the other.
#   bash scripts/fuzz.sh [SECONDS-PER-TARGET] [TARGET...]
# New inputs go to build-fuzz/corpus/<target>/, crashes to build-fuzz/crashes/<target>/,
# the fuzzer's output to build-fuzz/logs-<target>.txt. Seeds: tools/fuzz/corpus/<target>/,
# plus build-fuzz/seeds/<target>/ (the small dictionaries the targets write, and pieces of
# the compiled dictionaries of TESSERA_FUZZ_DICTS, default build/share/tessera, when they
# exist; the stroke targets then also recognize against those dictionaries, unless
# TESSERA_FUZZ_SMALL=1).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
seconds=${1:-60}
shift || true
tessera_install_packages
fuzzdir="$TESSERA_ROOT/build-fuzz"
CC=clang CXX=clang++ cmake -S "$TESSERA_ROOT" -B "$fuzzdir" -G Ninja -DTESSERA_FUZZ=ON \
  -DTESSERA_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTESSERA_PARTS="${TESSERA_FUZZ_PARTS:-platform;classifier;strrec;tools}" >/dev/null
cmake --build "$fuzzdir" --parallel "$(nproc)" --target tessera_fuzz
cd "$fuzzdir"

# Seeds made here: the small dictionaries, and cut pieces of the compiled ones.
rm -rf seeds
if [ -x fuzz_seedgen ]; then ./fuzz_seedgen seeds || true; fi
dicts=${TESSERA_FUZZ_DICTS:-$TESSERA_ROOT/build/share/tessera}
piece() { # piece FILE TARGET BYTES...
  local file=$1 target=$2 n
  shift 2
  [ -f "$file" ] || return 0
  mkdir -p "seeds/$target"
  for n in "$@"; do head -c "$n" "$file" >"seeds/$target/$(basename "$file").$n"; done
}
piece "$dicts/glyphs.crd" crdic 64 1024 8192 32768
piece "$dicts/glyphs.ccd" coarse 83 1024 8192 32768
piece "$dicts/bigram.cbg" bigram 1041 2048 8192 32768
piece "$dicts/models.exd" models 16 1024 8192
piece "$dicts/prior.cpd" prior 12 300 3000
for ini in "$dicts"/*.INI; do piece "$ini" profile 100000; done
for q in "$dicts"/questions/*.txt; do piece "$q" questions 100000; done
# The stroke targets recognize against the compiled dictionaries too, unless
# TESSERA_FUZZ_SMALL=1 keeps them on the small ones (the quick run of test.sh).
if [ "${TESSERA_FUZZ_SMALL:-0}" != 1 ] && [ -f "$dicts/glyphs.crd" ] && [ -f "$dicts/glyphs.ccd" ] &&
  [ -f "$dicts/bigram.cbg" ]; then
  export TESSERA_FUZZ_DICTS=$dicts
fi

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in fuzz/fuzz_*; do targets+=("${f#fuzz/fuzz_}"); done
fi
status=0
for t in "${targets[@]}"; do
  mkdir -p "corpus/$t" "crashes/$t"
  seeds="$TESSERA_ROOT/tools/fuzz/corpus/$t"
  extra="$fuzzdir/seeds/$t"
  dirs=("corpus/$t")
  [ -d "$seeds" ] && dirs+=("$seeds")
  [ -d "$extra" ] && dirs+=("$extra")
  echo "== $t: ${seconds}s"
  if ! "fuzz/fuzz_$t" -max_total_time="$seconds" -print_final_stats=1 -rss_limit_mb=4096 \
      -timeout=20 -max_len=65536 -artifact_prefix="crashes/$t/" "${dirs[@]}" \
      2>"logs-$t.txt"; then
    status=1
    echo "!! $t found a problem; see build-fuzz/logs-$t.txt and build-fuzz/crashes/$t/"
  fi
  grep -E "^#[0-9]+.*cov:" "logs-$t.txt" | tail -1 || true
  grep -E "stat::number_of_executed_units" "logs-$t.txt" || true
done
exit $status
