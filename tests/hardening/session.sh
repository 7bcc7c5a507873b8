#!/usr/bin/env bash
# One full session of the sanitized game (ASan + UBSan + LeakSanitizer):
# start, a few seconds of frames with keys, resizes, close. It must exit 0
# with no sanitizer report. Usage: session.sh SANITIZED_GAME X11_CLOSE OUT_DIR
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tests/hardening/lib.sh"
take_arguments "$@"
start_xvfb 120 || exit 1
trap 'kill_game; stop_xvfb' EXIT
sanitizer_env "$root"

if launch_game "$root" asan_session 90; then
  pass "sanitized game: window appears"
  sleep 3
  focus
  hold Right 0.5
  hold Up 0.3
  hold space 0.15
  hold Left 0.5
  hold Down 0.3
  hold space 0.15
  hold F2 0.15
  sleep 0.5
  hold F2 0.15
  xdotool key Escape
  sleep 0.5
  xdotool key Escape
  for size in "800 450" "1600 900" "320 200" "1 1" "1920 1080" "640 360" "1 700" "1280 720"; do
    # shellcheck disable=SC2086
    xdotool windowsize "$window" $size 2>/dev/null
    sleep 0.4
  done
  sleep 1
  if alive; then pass "sanitized game: still running after keys and resizes"; else
    fail "sanitized game: still running after keys and resizes"; fi
  close_game 90
  [ "$exit_code" = 0 ] && pass "sanitized game: exits 0 on close, no leak (got $exit_code)" ||
    fail "sanitized game: exits 0 on close, no leak (got $exit_code)"
else
  fail "sanitized game: window appears"
  kill_game
fi
if sanitizer_clean "$out/asan_session.err"; then
  pass "sanitized game: no sanitizer report"
else
  fail "sanitized game: no sanitizer report"
  grep -E -A30 'ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:' "$out/asan_session.err" |
    head -60
fi
closing_line session
