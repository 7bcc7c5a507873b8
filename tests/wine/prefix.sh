#!/usr/bin/env bash
# The Wine prefix the Windows build is played in, made once for every test
# that plays it (about 10 s), and its wineserver stopped after them.
# Usage: tests/wine/prefix.sh start|stop PREFIX
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=$(dirname "$2")
mkdir -p "$out"
# shellcheck source=tests/lib/stage.sh
source "$root/tests/lib/stage.sh"
case $1 in
  start)
    rm -rf "$2"
    start_xvfb 125 || { fail "Xvfb starts"; closing_line "wine prefix"; exit 1; }
    # The wineserver outlives this script: it must not hold ctest's output.
    start_wine "$2" </dev/null >/dev/null 2>&1
    stop_xvfb
    check "a Wine prefix is made ($("$wine" --version))" [ -f "$2/system.reg" ]
    closing_line "wine prefix"
    ;;
  stop)
    export WINEPREFIX=$2
    stop_wine
    ;;
  *) echo "usage: $0 start|stop PREFIX" >&2; exit 2 ;;
esac
