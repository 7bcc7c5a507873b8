#!/usr/bin/env bash
# The browser stage, in two steps:
#   tests/stages/web.sh build        builds build-web/ (Debian's Emscripten,
#                                    libraries from Debian sources) and installs
#                                    the browser and the protocol client
#   tests/stages/web.sh play [BUILD] serves build-web/ on a loopback port and
#                                    plays it in Debian's headless Chromium with
#                                    WebGL on SwiftShader, driven over the
#                                    DevTools protocol by tests/web/play.py
#   tests/stages/web.sh firefox [BUILD] the same page in Debian's Firefox in
#                                    Xvfb (WebGL on Mesa), driven over
#                                    WebDriver BiDi by tests/web/firefox.py:
#                                    its start, its picture, a key
#   tests/stages/web.sh figures      the same page's frame cost next to a raw
#                                    WebGL anchor of the same draws
#                                    (bench/web_frame_cost.py): WebGL calls and
#                                    main-thread time per drawn frame, at 1x and
#                                    4x CPU throttling; then the start-up cost,
#                                    navigation to first frame, next to a bare
#                                    WebGL start-up (bench/web_start_cost.py)
# BUILD (default build/) provides image_probe. The play prints the figures of
# the run (first frame, frame intervals, download size); they are never
# checked, nor are those of `figures`. Screenshots and logs land in
# build-web/e2e, and build-web/figures.
set -uo pipefail
cd "$(dirname "$0")/../.."
root=$(pwd)

case ${1:-} in
  build)
    # shellcheck source=scripts/lib/debian.sh
    source scripts/lib/debian.sh
    install_missing chromium firefox-esr xvfb xauth python3 python3-websocket
    started=$(date +%s)
    bash scripts/web.sh build || exit 1
    for f in index.html dravik.js dravik.wasm dravik.data; do
      [ -s "build-web/$f" ] || { echo "FAIL: build-web/$f is there"; exit 1; }
    done
    echo "browser build took $(($(date +%s) - started)) s"
    exit 0
    ;;
  play | firefox)
    probe=$(realpath "${2:-$root/build}")/tests/e2e/image_probe
    [ -x "$probe" ] || { echo "FAIL: $probe is built"; exit 1; }
    ;;
  figures) ;;
  *) echo "usage: $0 build | play [BUILD] | firefox [BUILD] | figures" >&2; exit 2 ;;
esac

# Served from a folder of its own, so that the game is played below the
# server's root (site/game/), as from any web server's folder.
site=$(mktemp -d)
port=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
/usr/bin/python3 -m http.server "$port" --bind 127.0.0.1 --directory "$site" \
  >/dev/null 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -rf "$site"' EXIT
for _ in $(seq 50); do
  /usr/bin/python3 -c "import socket; socket.create_connection(('127.0.0.1', $port), 1)" \
    2>/dev/null && break
  sleep 0.1
done

if [ "$1" = figures ]; then
  out="$root/build-web/figures"
  rm -rf "$out"
  PYTHONDONTWRITEBYTECODE=1 /usr/bin/python3 bench/web_frame_cost.py --build "$root/build-web" \
    --site "$site" --base "http://127.0.0.1:$port/" --out "$out"
  status=$?
  # The start-up figures; their anchor draws the frame recorded above.
  [ -s "$out/frame.json" ] || { echo "FAIL: no recorded frame for the start-up figures"; exit 1; }
  PYTHONDONTWRITEBYTECODE=1 /usr/bin/python3 bench/web_start_cost.py --build "$root/build-web" \
    --site "$site" --base "http://127.0.0.1:$port/" --out "$out" --frame "$out/frame.json" || status=1
  exit $status
fi
if [ "$1" = firefox ]; then
  out="$root/build-web/firefox"
  rm -rf "$out"
  cd tests/web && PYTHONDONTWRITEBYTECODE=1 xvfb-run -a -s "-screen 0 1600x900x24" \
    /usr/bin/python3 firefox.py --build "$root/build-web" --site "$site" \
    --base "http://127.0.0.1:$port/" --probe "$probe" --out "$out"
  exit
fi
out="$root/build-web/e2e"
rm -rf "$out"
cd tests/web && PYTHONDONTWRITEBYTECODE=1 /usr/bin/python3 play.py --build "$root/build-web" \
  --site "$site" --base "http://127.0.0.1:$port/" --probe "$probe" --out "$out"
