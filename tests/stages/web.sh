#!/usr/bin/env bash
# The browser stage: build build-web/ (Debian's Emscripten, libraries from
# Debian sources), serve it on a loopback port, and play it in Debian's
# headless Chromium with WebGL on SwiftShader, driven over the DevTools
# protocol by tests/web/play.py. Prints the figures of the run (first frame,
# frame intervals, download size); they are never checked.
# Usage: tests/stages/web.sh <host build dir> [<asan build dir>]
#   the host build dir provides image_probe; it is built in build-webcheck
#   when it has none. Screenshots and logs land in build-web/e2e.
set -uo pipefail
cd "$(dirname "$0")/../.."
root=$(pwd)
host_build=${1:-$root/build}
started=$(date +%s)

passed=0
failed=0
pass() { echo "PASS: $1"; passed=$((passed + 1)); }
fail() { echo "FAIL: $1"; failed=$((failed + 1)); }
server=""
site=""
finish() {
  [ -n "$server" ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
  [ -n "$site" ] && rm -rf "$site"
  echo "web stage took $(($(date +%s) - started)) s"
  echo "web: $passed passed, $failed failed"
  [ "$failed" -eq 0 ]
  exit
}

# The browser and the protocol client (Debian's python3, with its modules).
# shellcheck source=scripts/lib/debian.sh
source scripts/lib/debian.sh
install_missing chromium python3 python3-websocket

build_log=$(mktemp)
build_started=$(date +%s)
if bash scripts/web.sh build >"$build_log" 2>&1; then
  pass "browser build (took $(($(date +%s) - build_started)) s)"
  rm -f "$build_log"
else
  tail -n 40 "$build_log"
  rm -f "$build_log"
  fail "browser build"
  finish
fi
for f in index.html dravik.js dravik.wasm dravik.data; do
  [ -s "build-web/$f" ] || fail "build-web/$f is there"
done

probe="$host_build/tests/e2e/image_probe"
if [ ! -x "$probe" ]; then
  cmake -S . -B build-webcheck -G Ninja -DDRAVIK_BENCH=OFF >/dev/null &&
    cmake --build build-webcheck --target image_probe -j2 >/dev/null
  probe="$root/build-webcheck/tests/e2e/image_probe"
fi

# Served from a folder of its own, so that the game is played below the
# server's root (site/game/), as from any web server's folder.
site=$(mktemp -d)
port=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
/usr/bin/python3 -m http.server "$port" --bind 127.0.0.1 --directory "$site" \
  >/dev/null 2>&1 &
server=$!
for _ in $(seq 50); do
  /usr/bin/python3 -c "import socket; socket.create_connection(('127.0.0.1', $port), 1)" \
    2>/dev/null && break
  sleep 0.1
done

out="$root/build-web/e2e"
# The checks sample the running page in real time; on a machine loaded by
# other work one can miss its moment, so a failed run gets one more try.
play() {
  rm -rf "$out"
  local log counts
  log=$(mktemp)
  (cd tests/web && PYTHONDONTWRITEBYTECODE=1 /usr/bin/python3 play.py --build "$root/build-web" \
    --site "$site" --base "http://127.0.0.1:$port/" --probe "$probe" --out "$out") | tee "$log"
  counts=$(sed -n 's/^web e2e: \([0-9]*\) passed, \([0-9]*\) failed$/\1 \2/p' "$log")
  rm -f "$log"
  [ -n "$counts" ] || counts="0 1"
  read -r e2e_passed e2e_failed <<<"$counts"
  [ "$e2e_failed" -eq 0 ]
}
if ! play; then
  echo "browser run failed; running it once more"
  play
fi
passed=$((passed + e2e_passed))
failed=$((failed + e2e_failed))
finish
