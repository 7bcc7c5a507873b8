#!/usr/bin/env bash
# The game in a browser. Installs what is missing (Debian's Emscripten, zlib,
# libpng and simdjson built from Debian sources), builds build-web/ (index.html,
# dravik.js, dravik.wasm, dravik.data, sw.js, manifest.webmanifest, icons/)
# and serves it on
# http://127.0.0.1:8080/, this machine only.
#   bash scripts/web.sh          build and serve (Ctrl-C stops the server)
#   bash scripts/web.sh build    only build
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-serve}
case "$mode" in
  serve | build) ;;
  *)
    echo "usage: bash scripts/web.sh [build]" >&2
    exit 2
    ;;
esac

bash scripts/setup-web.sh
export NODE_PATH=/usr/share/nodejs
cmake --preset web >/dev/null
cmake --build --preset web -j"$(nproc 2>/dev/null || echo 2)"
echo "built $(pwd)/build-web: index.html dravik.js dravik.wasm dravik.data sw.js manifest.webmanifest icons/"
[ "$mode" = build ] && exit 0

# Browsers refuse to fetch the .wasm from file://, so the page needs a
# server; any static one works.
# shellcheck source=scripts/lib/debian.sh
source scripts/lib/debian.sh
install_missing python3
echo "Open http://127.0.0.1:8080/ in a browser (Ctrl-C stops the server)."
exec python3 -m http.server 8080 --bind 127.0.0.1 --directory build-web
