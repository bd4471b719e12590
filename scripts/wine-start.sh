#!/usr/bin/env bash
# Prepares the Wine prefix of a win32 build folder and starts a persistent
# wineserver with its input and output on /dev/null. Wine's background
# services inherit the pipes of whoever starts them first; started from inside
# ctest they would keep ctest's pipes open and ctest would wait for ever.
# Usage: scripts/wine-start.sh BUILD_DIR    (scripts/wine-stop.sh BUILD_DIR ends it)
set -euo pipefail
build=$(cd "$1" && pwd)
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineserver -p </dev/null >/dev/null 2>&1 &
wineboot -i </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1 || true
