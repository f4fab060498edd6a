#!/usr/bin/env bash
# Builds the game and remakes the README's pictures of it: the game runs under a virtual
# X server (1280 x 800) with a window manager, plays one turn and takes the screen.
#   scripts/screenshots.sh [FOLDER]   (default: docs/screenshots)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
TESSERA_PACKAGES+=(xvfb openbox)
tessera_build "$TESSERA_ROOT/build"
out=$(realpath -m "${1:-$TESSERA_ROOT/docs/screenshots}")

# A display of our own, and a configuration folder of our own, so that window places
# kept by an earlier game do not change the pictures.
display=:$((90 + RANDOM % 100))
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
export DISPLAY=$display XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
openbox >"$work/openbox.log" 2>&1 &
sleep 1
QT_QPA_PLATFORM=xcb "$TESSERA_ROOT/build/bin/tessera-screenshots" "$out"
