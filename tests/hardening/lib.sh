# Shared helpers of the hardening checks: a private Xvfb display, starting
# the game in a directory, closing it through WM_DELETE_WINDOW, counters.
# Sourced, not run; the sourcing script then calls take_arguments "$@".

# take_arguments GAME X11_CLOSE OUT_DIR ...: the arguments every hardening
# check starts with; sets game, closer and out (created) as absolute paths.
take_arguments() {
  game=$(realpath "$1")
  closer=$(realpath "$2")
  mkdir -p "$3"
  out=$(realpath "$3")
}

passed=${passed:-0}
failed=${failed:-0}
pass() { echo "PASS: $1"; passed=$((passed + 1)); }
fail() { echo "FAIL: $1"; failed=$((failed + 1)); }

xvfb_pid=""
start_display() {
  local n=120
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  # -noreset: by default the server resets whenever its last client leaves
  # (each xdotool call is one), dropping whoever connects meanwhile.
  Xvfb ":$n" -screen 0 1600x1000x24 -nolisten tcp -noreset >"$out/xvfb.log" 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$n"
  unset WAYLAND_DISPLAY
  for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
  echo "Xvfb did not start on :$n" >&2
  return 1
}
stop_display() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  xvfb_pid=""
}

game_pid=""
window=""
# launch DIR NAME [TIMEOUT_S]: starts the game with DIR as its current
# directory, output in $out/NAME.out and .err; waits for its window. A game
# that ends before its window appears gets its exit status added to .err.
launch() {
  local dir=$1 name=$2 limit=${3:-15}
  (cd "$dir" && exec "$game" >"$out/$name.out" 2>"$out/$name.err") &
  game_pid=$!
  window=""
  local tries=$((limit * 20))
  for _ in $(seq "$tries"); do
    window=$(xdotool search --name '^ZOKT 5 Dravik$' 2>/dev/null | head -n 1)
    [ -n "$window" ] && return 0
    if ! kill -0 "$game_pid" 2>/dev/null; then
      wait "$game_pid" 2>/dev/null
      echo "exit status $? before any window" >>"$out/$name.err"
      return 1
    fi
    sleep 0.05
  done
  return 1
}

# alive: the game process is still running.
alive() { kill -0 "$game_pid" 2>/dev/null; }

# close_game [TIMEOUT_S]: asks the window to close, waits; sets exit_code
# (the game's status, or "timeout" when it had to be killed).
close_game() {
  local limit=${1:-15}
  exit_code=""
  [ -n "$window" ] && "$closer" "$window" >/dev/null 2>&1
  for _ in $(seq $((limit * 20))); do
    alive || break
    sleep 0.05
  done
  if alive; then
    kill -9 "$game_pid" 2>/dev/null
    wait "$game_pid" 2>/dev/null
    exit_code=timeout
  else
    wait "$game_pid"
    exit_code=$?
  fi
  game_pid=""
}

# kill_game: for cleanup paths.
kill_game() {
  if [ -n "$game_pid" ] && alive; then
    kill -9 "$game_pid" 2>/dev/null
    wait "$game_pid" 2>/dev/null
  fi
  game_pid=""
}

# rss_kb: resident memory of the running game in KiB.
rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$game_pid/status" 2>/dev/null || echo 0; }

# The game polls the keyboard once a frame: keys are held, not tapped.
hold() {  # hold KEY SECONDS
  xdotool keydown "$1" 2>/dev/null
  sleep "$2"
  xdotool keyup "$1" 2>/dev/null
  sleep 0.1
}

focus() { xdotool windowfocus "$window" 2>/dev/null; sleep 0.1; }

# sanitizer_clean FILE: no AddressSanitizer, LeakSanitizer or UBSan report.
sanitizer_clean() { ! grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:' "$1"; }

# Run-time options of the sanitized game: leaks checked at exit, driver
# leaks suppressed by tests/lsan.supp.
sanitizer_env() {
  export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:abort_on_error=0"
  export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
}
