#!/usr/bin/env bash
# End-to-end tests of the Windows build (dravik.exe) under Wine on Xvfb:
# Wine's WGL draws through the same Mesa as the Linux build. Keys through
# xdotool, screenshots through ImageMagick, closing through the window
# manager's close request (Wine turns it into WM_CLOSE).
# Usage: tests/wine/run.sh path/to/dravik.exe path/to/host/tests/e2e
#   the second folder holds the host-built helpers image_probe and x11_close.
#   A WINEPREFIX already made is played in; else a fresh one is made.
set -uo pipefail

exe=$(realpath "${1:-build-win/dravik.exe}")
tools=$(realpath "${2:-build/tests/e2e}")
root=$(cd "$(dirname "$0")/../.." && pwd)
probe="$tools/image_probe"
closer="$tools/x11_close"
out="$(dirname "$exe")/wine-e2e"
rm -rf "$out"
mkdir -p "$out"

# Wine learns of keys through its own X windows (the focused one may be
# another program's): pulses last longer than on Linux.
E2E_SETTLE=2 E2E_FOCUS=0.3 E2E_AFTER=0.4 E2E_PULSE=0.3
# shellcheck source=tests/lib/stage.sh
source "$root/tests/lib/stage.sh"
for f in "$wine" "$probe" "$closer" "$exe"; do
  if [ ! -x "$f" ] && [ ! -f "$f" ]; then
    fail "$f is there"
    closing_line "wine e2e"
    exit 1
  fi
done

game_command=("$wine" "$exe")

if ! start_xvfb 120; then
  fail "Xvfb starts"
  closing_line "wine e2e"
  exit 1
fi

# --- Wine prefix: the one in WINEPREFIX (tests/wine/prefix.sh made it), or one
# made for this run ----------------------------------------------------------------
own_prefix=no
cleanup() {
  [ "$own_prefix" = yes ] && stop_wine
  stop_xvfb
}
trap cleanup EXIT
if [ -f "${WINEPREFIX:-/nonexistent}/system.reg" ]; then
  wine_env "$WINEPREFIX"
else
  own_prefix=yes
  start_wine "$out/prefix"
fi

# --- the game with its own data ----------------------------------------------
if start_game "$root" main; then
  check_window
  check "a 3.0 context: no fallback line on standard error" \
    bash -c "! grep -q 'falling back to GL 2.1' '$out/main.err'"
  # Wine's XInput has no devices here: the game plays on, saying nothing.
  check "nothing on standard error with XInput and no gamepad" [ ! -s "$out/main.err" ]

  play_keyboard

  # The keyboard is read from the global state: with another program's
  # window in front and focused, Right still scrolls the level. The other
  # window is a Wine one (Notepad): Wine learns of key presses only through
  # its own X windows, so a plain X client's focus would hide the keys from
  # every Windows program alike.
  "$wine" notepad >/dev/null 2>&1 &
  other_pid=$!
  other=$(find_window 100 "" --name 'Notepad')
  if [ -n "$other" ]; then
    # Beside the game, so that the screenshots see the whole scene.
    # Wine may place its window again after mapping it: moved until it stays.
    for _ in $(seq 50); do
      xdotool windowsize "$other" 300 300 windowmove "$other" 1290 0 2>/dev/null
      sleep 0.2
      xdotool getwindowgeometry "$other" 2>/dev/null | grep -q 'Position: 129[0-9],' && break
    done
    sleep 0.3
    xdotool windowfocus "$other" 2>/dev/null
    sleep 0.5
    focused=$(xdotool getwindowfocus 2>/dev/null)
    shot unfocused1
    move Right unfocused1 unfocused2
    check "the other window has the focus" [ "$focused" = "$other" ]
    check_scrolls "Right is read while another window has the focus" unfocused1 unfocused2
    move Left unfocused2 unfocused3
    "$closer" "$other"
    xdotool windowfocus "$window" 2>/dev/null
    sleep 0.3
  else
    fail "the other window opens"
  fi
  for _ in $(seq 30); do kill -0 "$other_pid" 2>/dev/null || break; sleep 0.1; done
  kill "$other_pid" 2>/dev/null
  wait "$other_pid" 2>/dev/null

  close_game 15
  check "close request exits with code 0 (got $exit_code)" [ "$exit_code" = 0 ]
  cp "$out/start.png" "$out/screenshot.png"
else
  fail "window appears"
fi

# --- no XInput DLL at all: the keyboard alone --------------------------------
overrides=$WINEDLLOVERRIDES
export WINEDLLOVERRIDES="$overrides;xinput1_4,xinput9_1_0=d"
if start_game "$root" no_xinput; then
  shot no_xinput1
  move Right no_xinput1 no_xinput2
  check_scrolls "without XInput Right still moves the level" no_xinput1 no_xinput2
  close_game 15
  check "without XInput: nothing on standard error, exits 0" \
    bash -c "[ ! -s '$out/no_xinput.err' ] && [ '$exit_code' = 0 ]"
else
  fail "without XInput the window appears"
fi
export WINEDLLOVERRIDES=$overrides

# --- a broken vertex shader ----------------------------------------------------
work=$(mktemp -d)
cp -r "$root/data" "$work/data"
echo "this is not GLSL" >"$work/data/shaders/basic-fixed.vert"
if start_game "$work" broken_shader; then
  close_game 15
  check "broken vertex shader: compile message on standard output" \
    grep -q "^Could not compile vertexShader 35633:" "$out/broken_shader.out"
  check "broken vertex shader: compiler log follows" \
    bash -c "[ \$(grep -A1 '^Could not compile vertexShader 35633:' '$out/broken_shader.out' | wc -l) -ge 2 ]"
  check "broken vertex shader: nothing of it on standard error" \
    bash -c "! grep -q 'Could not compile' '$out/broken_shader.err'"
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
  close_game 15
  check "missing shader: load message on standard error" \
    grep -q "^Could not load shader: data/shaders/conveyor-map.frag" "$out/missing_shader.err"
  check "missing shader: nothing of it on standard output" \
    bash -c "! grep -q 'Could not load shader' '$out/missing_shader.out'"
  check "missing shader: still exits 0" [ "$exit_code" = 0 ]
else
  fail "missing shader: game opens"
fi
rm -rf "$work"

echo "screenshot: $out/screenshot.png"
closing_line "wine e2e"
