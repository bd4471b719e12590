#!/usr/bin/env bash
# Ends the wineserver (and every Wine process) of a win32 build folder's prefix.
set -uo pipefail
build=$(cd "$1" && pwd)
WINEPREFIX="$build/wineprefix" wineserver -k </dev/null >/dev/null 2>&1 || true
