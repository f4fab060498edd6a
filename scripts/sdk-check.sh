#!/usr/bin/env bash
# Checks what a build gives to others, from the installed copy alone: installs the build
# into a temporary prefix; builds the examples against that prefix only, with pkg-config
# and with CMake, and runs them; runs the Python module's tests against it; makes the
# Debian package, checks its contents and reads a character with the command-line
# recognizer of an unpacked copy. Run by test.sh on the normal build.
#   bash scripts/sdk-check.sh BUILD_DIR
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:?usage: sdk-check.sh BUILD_DIR}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

fail() {
  echo "sdk-check: $*" >&2
  exit 1
}

# Nothing of the build tree may help: no system folder, library path or package path.
unset TESSERA_SYSTEM_DIR LD_LIBRARY_PATH PYTHONPATH CMAKE_PREFIX_PATH PKG_CONFIG_PATH

cache_value() {
  sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt" | head -n 1
}

echo "== install into $prefix"
cmake --install "$build" --prefix "$prefix" --strip >/dev/null

# One horizontal stroke is 一.
ichi="10,100 100,100 190,100"

check_first() { # check_first EXPECTED COMMAND...: the first line of the output starts so
  local expected=$1 out
  shift
  out=$("$@") || fail "$* failed"
  [[ $(head -n 1 <<<"$out") == "$expected"* ]] || fail "$* gave: $out (expected $expected first)"
  echo "$* -> $(head -n 1 <<<"$out")"
}

echo "== examples with pkg-config"
export PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig
# Every public header, alone and all together, compiles as C and as C++.
for header in records glyphid seqread veltarec "glyphid.h>\n#include <tessera/seqread.h>\n#include <tessera/veltarec"; do
  printf "#include <tessera/$header.h>\nint main(void) { return 0; }\n" >"$work/header.c"
  cc -std=c11 -Wall -Wextra -Wpedantic -Werror -fsyntax-only $(pkg-config --cflags tessera) "$work/header.c"
  c++ -std=c++17 -x c++ -Wall -Wextra -Wpedantic -Werror -fsyntax-only $(pkg-config --cflags tessera) \
    "$work/header.c"
done
cc -std=c11 -Wall -Wextra -Werror "$root/examples/character/character.c" \
  $(pkg-config --cflags --libs tessera) -o "$work/character-pc"
c++ -std=c++17 -Wall -Wextra -Werror "$root/examples/line/line.cpp" \
  $(pkg-config --cflags --libs tessera) -o "$work/line-pc"
[ -f "$(pkg-config --variable=dictdir tessera)/VELTAREC.INI" ] || fail "pkg-config's dictdir lacks VELTAREC.INI"
LD_LIBRARY_PATH=$(pkg-config --variable=libdir tessera) check_first "一 " "$work/character-pc" "$ichi"
LD_LIBRARY_PATH=$(pkg-config --variable=libdir tessera) check_first "十二" "$work/line-pc" \
  "10,90 100,90 190,90" "100,10 100,100 100,190" "280,60 400,60" "250,150 430,150"
unset PKG_CONFIG_LIBDIR

echo "== examples with CMake"
for example in character:C line:CXX; do
  cmake -S "$root/examples/${example%:*}" -B "$work/${example%:*}" -G Ninja \
    -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_${example#*:}_FLAGS="-Wall -Wextra -Werror" >/dev/null
  cmake --build "$work/${example%:*}" >/dev/null
done
check_first "一 " "$work/character/tessera-character" "$ichi"
check_first "十二" "$work/line/tessera-line" \
  "10,90 100,90 190,90" "100,10 100,100 100,190" "280,60 400,60" "250,150 430,150"

python_dir=$(cache_value TESSERA_PYTHON_DIR)
if [ -n "$python_dir" ]; then
  echo "== the Python module"
  python=$(cache_value _Python_EXECUTABLE)
  PYTHONPATH=$prefix/$python_dir check_first "[('一'" "${python:-python3}" -c \
    "import tessera; print(tessera.recognize([[(10, 100), (100, 100), (190, 100)]]))"
  PYTHONPATH=$prefix/$python_dir TESSERA_TEST_PREFIX=$prefix TESSERA_TEST_BUILD_DIR=$build \
    "${python:-python3}" -m unittest discover -s "$root/python/tests" -t "$root/python/tests"
fi

echo "== the Debian package"
(cd "$build" && cpack -G DEB -B "$work/deb" >"$work/cpack.log" 2>&1) || {
  cat "$work/cpack.log"
  fail "cpack failed"
}
deb=$(ls "$work"/deb/tessera_*.deb)
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$work/files"
for file in /usr/bin/tessera /usr/bin/tessera-recognize /usr/share/applications/tessera.desktop \
  /usr/share/icons/hicolor/scalable/apps/tessera.svg /usr/lib/libveltarec.so.0 /usr/lib/libveltarec.so \
  /usr/lib/libseqread.so /usr/lib/libglyphid.so /usr/include/tessera/veltarec.h \
  /usr/include/tessera/seqread.h /usr/include/tessera/glyphid.h /usr/include/tessera/records.h \
  /usr/lib/pkgconfig/tessera.pc /usr/lib/cmake/Tessera/TesseraConfig.cmake \
  /usr/lib/tessera/controls/libquillbox.so /usr/share/tessera/VELTAREC.INI \
  /usr/share/tessera/glyphs.crd /usr/share/tessera/evaluation.clp \
  /usr/share/tessera/questions/grade1.txt; do
  grep -qxF "$file" "$work/files" || fail "the package lacks $file"
done
[ -z "$python_dir" ] || grep -q "^/usr/$python_dir/tessera\..*\.so$" "$work/files" ||
  fail "the package lacks the Python module"
depends=$(dpkg-deb -f "$deb" Depends)
for dep in libc6 libstdc++6 libqt6widgets6; do
  [[ $depends == *"$dep"* ]] || fail "the package does not depend on $dep: $depends"
done
echo "$(basename "$deb"): $(wc -l <"$work/files") entries; Depends: $depends"
dpkg-deb -x "$deb" "$work/unpacked"
out=$(echo '{"strokes": [[[10, 100], [100, 100], [190, 100]]]}' |
  "$work/unpacked/usr/bin/tessera-recognize" --nbest 3)
[[ $out == '{"candidates": [{"text": "一"'* ]] || fail "the packaged tessera-recognize gave: $out"
echo "packaged tessera-recognize -> $out"
echo "sdk-check: all passed"
