#!/usr/bin/env bash
# Installs the Debian packages the build needs when any is missing, then configures and
# builds one tree. Sourced by play.sh and test.sh; not a command of its own.
#   tessera_build DIR [cmake options...]
set -euo pipefail

TESSERA_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
TESSERA_PACKAGES=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-multimedia-dev
  fonts-ipafont-mincho fonts-ipafont-gothic
  fonts-seto fonts-yozvox-yozfont
  libexpat1-dev libzip-dev zlib1g-dev
  manpages-ja debian-reference-ja kanjidic edict
  debian-faq-ja
  qt6-translations-l10n
  clang libclang-rt-dev
  pybind11-dev python3-dev dpkg-dev file
)

tessera_install_packages() {
  local missing=() p
  for p in "${TESSERA_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing missing packages: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
}

tessera_build() {
  local dir=$1
  shift
  tessera_install_packages
  cmake -S "$TESSERA_ROOT" -B "$dir" -G Ninja "$@"
  cmake --build "$dir" --parallel "$(nproc)"
}
