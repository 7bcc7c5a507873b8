#!/usr/bin/env bash
# The Wayland stage: weston runs with its x11 backend inside Xvfb, and the
# game runs as its native Wayland client (SDL's wayland driver, no DISPLAY).
# Weston's window on the X screen shows its whole output, so the screenshots
# of that window are what a player on a Wayland desktop sees; keys sent to
# that window reach the client weston has focused.
# Usage: tests/stages/wayland.sh BUILD_DIR [ASAN_BUILD_DIR]
#   BUILD_DIR holds the game (dravik) and tests/e2e/image_probe.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath "${1:-$root/build}")
game="$build/dravik"
probe="$build/tests/e2e/image_probe"
out="$build/wayland"
rm -rf "$out"
mkdir -p "$out"
unset SDL_VIDEODRIVER

# shellcheck source=tests/lib/stage.sh
source "$root/tests/lib/stage.sh"
finish() {
  closing_line wayland
  exit
}

bash "$root/scripts/setup.sh"
for f in "$game" "$probe"; do
  [ -x "$f" ] || { fail "$f is built"; finish; }
done
command -v weston >/dev/null || { fail "weston is installed"; finish; }

if ! start_xvfb 170; then
  fail "Xvfb starts"
  finish
fi

# Weston's socket and the game's runtime files live in a private runtime
# directory, as a desktop session's would.
runtime=$(mktemp -d)
chmod 700 "$runtime"
weston_pid=""
cleanup() {
  [ -n "$game_pid" ] && kill -9 "$game_pid" 2>/dev/null
  [ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null && wait "$weston_pid" 2>/dev/null
  stop_xvfb
  rm -rf "$runtime"
}
trap cleanup EXIT

# The kiosk shell shows one application at a time, filling the output: with
# an output of the game's own size the game's picture is the whole window.
XDG_RUNTIME_DIR=$runtime weston --backend=x11-backend.so --use-pixman --shell=kiosk-shell.so \
  --no-config --socket=wayland-dravik --width=1280 --height=720 >"$out/weston.log" 2>&1 &
weston_pid=$!
for _ in $(seq 300); do
  [ -S "$runtime/wayland-dravik" ] && break
  kill -0 "$weston_pid" 2>/dev/null || break
  sleep 0.1
done
output=$(find_window 100 "$weston_pid" --class '^Weston Compositor$')
if [ ! -S "$runtime/wayland-dravik" ] || [ -z "$output" ]; then
  fail "weston starts on Xvfb"
  tail -n 20 "$out/weston.log"
  finish
fi
pass "weston starts on Xvfb"
window=$output
# Weston takes the keys while its window has the X focus, given here once,
# before any client comes: a focus change while a client is on screen can
# leave weston's seat without keyboard focus. The pointer rests inside the
# window too, as a player's would.
xdotool mousemove --window "$window" 640 360 windowfocus "$window" 2>/dev/null
sleep "${E2E_FOCUS:-0.2}"
shot empty

# The game: a Wayland client with no X display named (and weston runs no
# Xwayland), so whatever it shows on weston's output came through Wayland.
(cd "$root" && exec env -u DISPLAY XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY=wayland-dravik \
  SDL_VIDEODRIVER=wayland "$game" >"$out/game.out" 2>"$out/game.err") &
game_pid=$!

# The window has appeared once weston's output shows more than its own
# background.
appeared=no
for _ in $(seq 60); do
  kill -0 "$game_pid" 2>/dev/null || break
  sleep 0.5
  shot start
  read -r colours _ _ <<<"$("$probe" stats "$out/start.png")"
  if [ "${colours:-0}" -gt 500 ]; then
    appeared=yes
    break
  fi
done
if [ "$appeared" = yes ]; then pass "the game's window appears on weston"; else
  fail "the game's window appears on weston"
  cat "$out/game.err"
  finish
fi
sleep "${E2E_SETTLE:-1.5}"
check "weston's window has the X focus" [ "$(xdotool getwindowfocus 2>/dev/null)" = "$window" ]

check_drawn start
check "the scene differs from weston's empty output" differs empty start

# Weston's picture of a frame can come a little after the frame.
E2E_AFTER=0.5
move Right start right
check_scrolls "Right, sent to weston's window, reaches the game: the level moves left" start right
move Left right left
dx=$(shift_of right left)
echo "  centre band shift from right to left: $dx px"
check "Left moves it back to the right" [ "$dx" -gt 10 ]

kill -TERM "$game_pid"
exit_code=timeout
for _ in $(seq 100); do
  kill -0 "$game_pid" 2>/dev/null || break
  sleep 0.1
done
if ! kill -0 "$game_pid" 2>/dev/null; then
  wait "$game_pid"
  exit_code=$?
fi
check "SIGTERM ends the game with exit code 0 (got $exit_code)" [ "$exit_code" = 0 ]
game_pid=""
check "nothing on the game's standard error" [ ! -s "$out/game.err" ]
sed 's/^/    /' "$out/game.err"
finish
