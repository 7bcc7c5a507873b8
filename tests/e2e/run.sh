#!/usr/bin/env bash
# End-to-end tests of the real game under Xvfb: keys through xdotool,
# screenshots through ImageMagick, closing through the window manager's
# close request. Usage: tests/e2e/run.sh path/to/dravik
set -uo pipefail

game=$(realpath "${1:-build/dravik}")
root=$(cd "$(dirname "$0")/../.." && pwd)
tools="$(dirname "$game")/tests/e2e"
probe="$tools/image_probe"
closer="$tools/x11_close"
out="$(dirname "$game")/e2e"
rm -rf "$out"
mkdir -p "$out"

game_command=("$game")
# shellcheck source=tests/lib/stage.sh
source "$root/tests/lib/stage.sh"

if ! start_xvfb 99; then
  fail "Xvfb starts"
  closing_line e2e
  exit 1
fi
trap stop_xvfb EXIT

# --- the game with its own data ----------------------------------------------
if start_game "$root" main; then
  check_window

  play_keyboard

  close_game
  check "close request exits with code 0 (got $exit_code)" [ "$exit_code" = 0 ]
  cp "$out/start.png" "$out/screenshot.png"
else
  fail "window appears"
fi

# --- a gamepad ----------------------------------------------------------------------
# SDL's virtual joystick, attached and driven from inside the real game by a
# preloaded test library; commands go through a FIFO.
pad_fifo="$out/pad.fifo"
mkfifo "$pad_fifo"
pad() { timeout 5 bash -c 'echo "$1" >"$0"' "$pad_fifo" "$*"; }
stick_x() { pad axis 0 "$1"; }  # SDL_CONTROLLER_AXIS_LEFTX
tap() { pad button "$1" 1; sleep "${E2E_PRESS:-0.15}"; pad button "$1" 0; sleep "${E2E_AFTER:-0.3}"; }
a_button=0 start_button=6
game_command=(env LD_PRELOAD="$tools/libvirtual_gamepad.so" DRAVIK_TEST_PAD="$pad_fifo" "$game")
if start_game "$root" gamepad; then
  pad attach
  sleep 0.5
  shot pad_start
  hold_until "stick_x 26000" "stick_x 0" pad_start pad_right changed
  check_scrolls "gamepad: the stick scrolls the world" pad_start pad_right
  stick_x 3277
  sleep 0.3
  shot pad_rest1
  sleep 0.6
  shot pad_rest2
  stick_x 0
  check "gamepad: a stick resting at 0.1 leaves the world still" same pad_rest1 pad_rest2
  E2E_MOVED=14 holding "pad button $a_button 1" "pad button $a_button 0" \
    hold_until "stick_x 26000" "stick_x 0" pad_rest2 pad_pan changed
  check_pans "A then the stick" pad_rest2 pad_pan "gamepad: "
  holding "pad button $a_button 1" "pad button $a_button 0" \
    hold_until "stick_x -26000" "stick_x 0" pad_pan pad_scrolling changed
  tap $start_button
  shot pad_paused1
  stick_x 26000 && sleep 0.4 && stick_x 0 && sleep 0.3
  shot pad_paused2
  check "gamepad: Start pauses" same pad_paused1 pad_paused2
  tap $start_button
  hold_until "pad attach; stick_x 26000" "pad detach" pad_paused2 pad_unplugged1 changed
  sleep 0.6
  shot pad_unplugged2
  check "gamepad: the game resumed on Start" differs pad_paused2 pad_unplugged1
  check "gamepad: pulled out mid-move, the world stops" same pad_unplugged1 pad_unplugged2
  close_game
  check "gamepad: exits with code 0 (got $exit_code)" [ "$exit_code" = 0 ]
  check "gamepad: nothing on standard error" [ ! -s "$out/gamepad.err" ]
else
  fail "gamepad: window appears"
fi
game_command=("$game")

# --- a broken vertex shader ----------------------------------------------------
work=$(mktemp -d)
cp -r "$root/data" "$work/data"
echo "this is not GLSL" >"$work/data/shaders/basic-fixed.vert"
if start_game "$work" broken_shader; then
  close_game
  check "broken vertex shader: compile message on standard output" \
    grep -q "^Could not compile vertexShader 35633:" "$out/broken_shader.out"
  check "broken vertex shader: compiler log follows" \
    bash -c "[ \$(grep -A1 '^Could not compile vertexShader 35633:' '$out/broken_shader.out' | wc -l) -ge 2 ]"
  check "broken vertex shader: still exits 0" [ "$exit_code" = 0 ]
else
  fail "broken vertex shader: game opens"
fi
rm -rf "$work"

# --- a missing shader file -----------------------------------------------------
work=$(mktemp -d)
cp -r "$root/data" "$work/data"
rm "$work/data/shaders/conveyor-map.frag"
if start_game "$work" missing_shader; then
  close_game
  check "missing shader: load message on standard error" \
    grep -q "^Could not load shader: data/shaders/conveyor-map.frag$" "$out/missing_shader.err"
  check "missing shader: still exits 0" [ "$exit_code" = 0 ]
else
  fail "missing shader: game opens"
fi
rm -rf "$work"

# --- started from another folder ---------------------------------------------------
# data/ is found beside the executable (build/data).
work=$(mktemp -d)
if start_game "$work" elsewhere; then
  check_drawn elsewhere "started from an empty folder"
  close_game
  check "started from an empty folder: no missing-file lines" [ ! -s "$out/elsewhere.err" ]
else
  fail "started from an empty folder: window appears"
fi
rm -rf "$work"

# --- no data directory at all ------------------------------------------------------
# A copy of the game in a folder of its own, started there: no data/ in the
# current directory nor beside the executable.
work=$(mktemp -d)
cp "$game" "$work/dravik"
game_command=("$work/dravik")
if start_game "$work" no_data; then
  pass "without data/ the game still opens"
  close_game
  for f in data/font.bmp.fnt data/road6.png data/wall.bmp data/wood.bmp data/grass.bmp \
    data/whitepixel.bmp data/sky/stars/stars.bmp data/quad.json \
    data/meshes/display/tree.json data/meshes/display/wall.json \
    data/meshes/display/tallWall.json data/meshes/display/wood.json \
    data/meshes/display/floorWood.json data/quadBackground.json \
    data/meshes/colliders/quadCollider.json data/shaders/basic-fixed.vert \
    data/shaders/basic-fixed.frag data/shaders/conveyor-map.vert \
    data/shaders/conveyor-map.frag data/shaders/gameover-fixed.vert \
    data/shaders/gameover-fixed.frag; do
    grep -q "$f" "$out/no_data.err" || { fail "without data/: $f named on standard error"; continue; }
  done
  check "without data/: every missing file named" \
    bash -c "[ \$(grep -c 'data/' '$out/no_data.err') -ge 21 ]"
  check "without data/: exits 0 on close (got $exit_code)" [ "$exit_code" = 0 ]
else
  fail "without data/ the game still opens"
fi
rm -rf "$work"
game_command=("$game")

# --- no display --------------------------------------------------------------------
(cd "$root" && env -u DISPLAY -u WAYLAND_DISPLAY timeout 30 "$game" >"$out/no_display.out" 2>"$out/no_display.err")
code=$?
check "no display: exit code 1 (got $code)" [ "$code" = 1 ]
check "no display: message on standard error" \
  grep -q "Unable to create the OpenGL Window" "$out/no_display.err"

# --- a display that drops every connection -----------------------------------------
# An X server resetting after its last client left closes new connections at
# once; the game must say it found no display, not die on the broken pipe.
number=150
while [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ]; do number=$((number + 1)); done
"$tools/dropping_display" "/tmp/.X11-unix/X$number" 60 >"$out/dropping_display.log" 2>&1 &
dropper=$!
for _ in $(seq 100); do [ -S "/tmp/.X11-unix/X$number" ] && break; sleep 0.05; done
(cd "$root" && DISPLAY=":$number" timeout 30 "$game" >"$out/dropped.out" 2>"$out/dropped.err")
code=$?
kill "$dropper" 2>/dev/null
wait "$dropper" 2>/dev/null
rm -f "/tmp/.X11-unix/X$number"
check "display that drops connections: exit code 1 (got $code)" [ "$code" = 1 ]
check "display that drops connections: says why on standard error" \
  grep -q "^No display to open a window on" "$out/dropped.err"

echo "screenshot: $out/screenshot.png"
closing_line e2e
