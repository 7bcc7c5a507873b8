# The pieces every test stage shares (sourced, not run): counting checks and
# the closing line, a private Xvfb, finding windows, launching and closing
# the game, keys, screenshots and picture comparisons, Wine, the sanitizer
# options.
#
# The sourcing script sets, before calling these:
#   out           folder for logs and screenshots
#   probe         path of image_probe;  closer  path of x11_close
#   game_command  array: the command that starts the game (run in its folder)
# and may set the timings (seconds):
#   E2E_SETTLE  after the window appears (frames to draw)   default 1.5
#   E2E_FOCUS   after focusing it                           default 0.2
#   E2E_AFTER   after releasing a held key, and between the shots that
#               show a settled picture                      default 0.3
#   E2E_PRESS   how long a gamepad button is tapped          default 0.15
#   E2E_CAP     the longest an input is given for its effect default 20
#   E2E_PULSE   how long one pulse of it lasts              default 0.1

# --- counting ----------------------------------------------------------------------
passed=${passed:-0}
failed=${failed:-0}
stage_started=$(date +%s)
pass() { echo "PASS: $1"; passed=$((passed + 1)); }
fail() { echo "FAIL: $1"; failed=$((failed + 1)); }
check() {
  local name=$1
  shift
  if "$@"; then pass "$name"; else fail "$name"; fi
}

# closing_line NAME: the stage's time and its closing count line; answers
# whether every check passed.
closing_line() {
  echo "$1 stage took $(($(date +%s) - stage_started)) s"
  echo "$1: $passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}

# --- displays ----------------------------------------------------------------------
xvfb_pid=""
# start_xvfb FIRST_DISPLAY_NUMBER: a private server on the first free
# display from that number on; sets DISPLAY and xvfb_pid and answers whether
# it accepts clients.
start_xvfb() {
  local number=$1
  while [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ]; do
    number=$((number + 1))
  done
  # -noreset: by default the server resets whenever its last client leaves
  # (each xdotool call is one), dropping whoever connects meanwhile.
  Xvfb ":$number" -screen 0 1600x1000x24 -nolisten tcp -noreset >"$out/xvfb.log" 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$number"
  unset WAYLAND_DISPLAY
  # Xvfb can take several seconds to accept clients on a loaded machine; a
  # game started before that finds no display.
  for _ in $(seq 300); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  xdpyinfo >/dev/null 2>&1
}

stop_xvfb() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  xvfb_pid=""
}

# find_window TENTHS PID SEARCH...: prints the first window that
# `xdotool search SEARCH...` finds within TENTHS tenths of a second; gives up
# sooner once process PID (when not empty) has ended.
find_window() {
  local tenths=$1 pid=$2 found
  shift 2
  for _ in $(seq "$tenths"); do
    found=$(xdotool search "$@" 2>/dev/null | head -n 1)
    [ -n "$found" ] && echo "$found" && return 0
    [ -z "$pid" ] || kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# --- the game ----------------------------------------------------------------------
game_pid=""
window=""

# launch_game DIR NAME [TIMEOUT_S]: starts the game in DIR, output in
# $out/NAME.out and .err, and waits for its window (30 s by default). A game
# that ends before its window appears gets its exit status added to .err.
launch_game() {
  local dir=$1 name=$2 limit=${3:-30}
  (cd "$dir" && exec "${game_command[@]}" >"$out/$name.out" 2>"$out/$name.err") &
  game_pid=$!
  window=$(find_window $((limit * 10)) "$game_pid" --name '^ZOKT 5 Dravik$') && return 0
  if ! alive; then
    wait "$game_pid" 2>/dev/null
    echo "exit status $? before any window" >>"$out/$name.err"
  fi
  return 1
}

# start_game DIR NAME: launch_game, then lets it draw and focuses it.
start_game() {
  launch_game "$1" "$2" || return 1
  sleep "${E2E_SETTLE:-1.5}"
  focus
}

alive() { [ -n "$game_pid" ] && kill -0 "$game_pid" 2>/dev/null; }

focus() {
  xdotool windowfocus "$window" 2>/dev/null
  sleep "${E2E_FOCUS:-0.2}"
}

# close_game [TIMEOUT_S]: asks the window to close, waits (10 s by default);
# sets exit_code (the game's status, or "timeout" when it had to be killed).
close_game() {
  local limit=${1:-10}
  exit_code=""
  [ -n "$window" ] && "$closer" "$window" >/dev/null 2>&1
  for _ in $(seq $((limit * 10))); do
    alive || break
    sleep 0.1
  done
  if alive; then
    kill_game
    exit_code=timeout
  else
    wait "$game_pid"
    exit_code=$?
  fi
  game_pid=""
}

# kill_game: for clean-up paths.
kill_game() {
  if alive; then
    kill -9 "$game_pid" 2>/dev/null
    wait "$game_pid" 2>/dev/null
  fi
  game_pid=""
}

# --- keys and pictures -------------------------------------------------------------
# The game polls the keyboard once a frame: keys are held, never tapped.
hold() {  # hold KEY SECONDS
  xdotool keydown "$1" 2>/dev/null
  sleep "$2"
  xdotool keyup "$1" 2>/dev/null
  sleep "${E2E_AFTER:-0.3}"
}

shot() { "$probe" grab "$window" "$out/$1.png"; }

# Two shots compared: picture_diff A B [TOP BOTTOM] and shift_of A B [TOP
# BOTTOM] (image_probe diff and shift); differs A B [BY] (by a mean
# difference per channel over BY, default 1.0), same A B (under 0.5).
picture_diff() { "$probe" diff "$out/$1.png" "$out/$2.png" "${@:3}"; }
differs() { awk -v d="$(picture_diff "$1" "$2")" -v m="${3:-1.0}" 'BEGIN{exit !(d > m)}'; }
same() { awk -v d="$(picture_diff "$1" "$2")" 'BEGIN{exit !(d < 0.5)}'; }
shift_of() { "$probe" shift "$out/$1.png" "$out/$2.png" "${@:3}"; }

# A loaded machine draws few frames, and the game moves by each frame's time
# and reads its input once a frame, so an input held for a fixed time moves
# the level by anything from nothing to several times the usual. Inputs
# whose effect shows are therefore held until it shows.
#
# hold_until DOWN UP BEFORE NAME changed|restored: gives the input in short
# pulses (the command DOWN, E2E_PULSE seconds, the command UP), each
# followed by a settled shot NAME, until the picture, compared with shot
# BEFORE, has
#   changed    by more than E2E_MOVED (a mean difference per channel; 4 is
#              about a 20 px scroll),
#   restored   to the same,
# or E2E_CAP seconds have passed. A pulse moves the level by one frame's time
# more than its length at most, so the move stays short enough to measure.
hold_until() {
  local down=$1 up=$2 before=$3 name=$4 wanted=$5 deadline=$((SECONDS + ${E2E_CAP:-20}))
  while [ "$SECONDS" -lt "$deadline" ]; do
    eval "$down" 2>/dev/null
    sleep "${E2E_PULSE:-0.1}"
    eval "$up" 2>/dev/null
    settle "$name"
    case $wanted in
      changed) differs "$before" "$name" "${E2E_MOVED:-4}" && break ;;
      restored) same "$before" "$name" && break ;;
    esac
  done
}

# settle NAME: shot NAME once two shots E2E_AFTER seconds apart are the same
# (a running game without input draws a still picture), or after 10 tries.
settle() {
  shot "$1"
  for _ in $(seq 10); do
    sleep "${E2E_AFTER:-0.3}"
    mv "$out/$1.png" "$out/$1.before-settling.png"
    shot "$1"
    same "$1.before-settling" "$1" && break
  done
  rm -f "$out/$1.before-settling.png"
}

# key_until KEY BEFORE NAME changed|restored: hold_until for a key.
key_until() { hold_until "xdotool keydown $1" "xdotool keyup $1" "$2" "$3" "$4"; }
move() { key_until "$1" "$2" "$3" changed; }

# rim_shift A B: how far (pixels) the ground disc's rims moved from shot A to
# shot B. The scroll moves the level over a disc that stays put; the pan
# moves the camera, which sees the disc from elsewhere.
rim_shift() { "$probe" rim "$out/$1.png" "$out/$2.png"; }

# check_scrolls NAME BEFORE AFTER: from shot BEFORE to shot AFTER the level
# moved to the left: the band of the house's rows (15 to 35 % of the height;
# the centre band is mostly grass, whose tiles repeat) by more than 10 px.
check_scrolls() {
  local dx
  dx=$(shift_of "$2" "$3" 15 35)
  echo "  house band shift from $2 to $3: $dx px; the disc's rims moved $(rim_shift "$2" "$3") px"
  check "$1" [ "$dx" -lt -10 ]
}

# holding HELD RELEASE COMMAND...: COMMAND, with the input of the command
# HELD given before it and released (command RELEASE) after it. A toggle
# held through a move is read by the game before the move, or with it.
holding() {
  eval "$1" 2>/dev/null
  "${@:3}"
  eval "$2" 2>/dev/null
}

# check_pans WHAT BEFORE AFTER [PREFIX]: the same move, made in the panning
# camera mode between shots BEFORE and AFTER (held until the picture changed
# by E2E_MOVED 14, which a scroll reaches at about 150 px), moved the
# camera: the disc's rims moved 10 px or more, and the sky in the top rows
# changed. A scroll leaves both in place, but for a tree that leans over a
# rim or a piece near the back rim that leans into the sky: each measure
# covers for the other.
check_pans() {
  local rim sky
  rim=$(rim_shift "$2" "$3")
  sky=$(picture_diff "$2" "$3" 0 3)
  echo "  from $2 to $3 the disc's rims moved $rim px, the sky changed by $sky"
  check "${4:-}$1 pans the camera instead of scrolling" \
    awk -v r="$rim" -v s="$sky" 'BEGIN{exit !(r >= 10 && s > 1.0)}'
  check "${4:-}the camera pan changes the picture" differs "$2" "$3"
}

# check_window: the game's window, as it appeared: its title and its size.
check_window() {
  pass "window appears"
  check "title is ZOKT 5 Dravik" [ "$(xdotool getwindowname "$window")" = "ZOKT 5 Dravik" ]
  geometry=$(xwininfo -id "$window")
  check "client area is 1280 x 720" \
    bash -c "grep -q 'Width: 1280' <<<\"\$0\" && grep -q 'Height: 720' <<<\"\$0\"" "$geometry"
}

# play_keyboard: the game in its window, played from the keyboard: a drawn
# scene, the scroll, the pan (Space held through it, so the game has read
# it), the projection switched and back, pause and resume.
play_keyboard() {
  check_drawn start
  move Right start right
  check_scrolls "holding Right moves the level to the left" start right
  move Left right back
  E2E_MOVED=14 holding "xdotool keydown space" "xdotool keyup space" move Right back pan
  check_pans "Space then Right" back pan
  # Back: the camera pans back, then Space, held through a scroll, returns
  # to scrolling.
  E2E_MOVED=14 move Left pan panned_back
  holding "xdotool keydown space" "xdotool keyup space" move Left panned_back before_f2
  key_until F2 before_f2 ortho changed
  check "F2 changes the projection" differs before_f2 ortho
  key_until F2 before_f2 persp restored
  check "a second F2 restores the projection" same before_f2 persp

  xdotool key Escape
  sleep 0.5
  shot paused1
  hold Right 0.4
  shot paused2
  check "Escape freezes the picture" same paused1 paused2
  xdotool key Escape
  sleep "${E2E_AFTER:-0.3}"
  shot resumed1
  move Right resumed1 resumed2
  check "a second Escape resumes the game" differs resumed1 resumed2
}

# check_drawn SHOT [LABEL]: the window, shot as SHOT until it shows a scene
# (a game started on a loaded machine or under qemu may take a while to draw
# its first frame), for 60 s at most, shows a scene: not a blank or
# single-colour frame.
check_drawn() {
  local colours spread deadline=$((SECONDS + 60))
  while shot "$1"; read -r colours _ spread <<<"$("$probe" stats "$out/$1.png")"; do
    awk -v c="$colours" -v s="$spread" 'BEGIN{exit !(c > 500 && s > 10)}' && break
    [ "$SECONDS" -lt "$deadline" ] || break
    sleep 0.5
  done
  echo "  screenshot: $colours colours, luminance spread $spread"
  check "${2:+$2: }scene is drawn (not a blank frame)" \
    awk -v c="$colours" -v s="$spread" 'BEGIN{exit !(c > 500 && s > 10)}'
}

# --- Wine ----------------------------------------------------------------------------
# Debian's wine64 keeps its loader off PATH.
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64
[ -x "$wineserver" ] || wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)

# wine_env PREFIX: Wine's settings for playing in the prefix PREFIX.
wine_env() {
  export WINEPREFIX=$1
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono / Gecko installer prompts
}

# start_wine PREFIX: a fresh Wine prefix in PREFIX (log in $out/wineboot.log)
# and one wineserver kept running, which every later start reuses.
start_wine() {
  wine_env "$1"
  local started
  started=$(date +%s)
  "$wine" wineboot -i >"$out/wineboot.log" 2>&1
  "$wineserver" -w
  "$wineserver" -p
  echo "  Wine prefix ready in $(($(date +%s) - started)) s ($("$wine" --version))"
}

stop_wine() { [ -n "${WINEPREFIX:-}" ] && "$wineserver" -k 2>/dev/null; }

# --- sanitized games -----------------------------------------------------------------
# sanitizer_env ROOT: the sanitized game's run-time options, from
# tests/sanitizers.env in the repository ROOT; sets sanitizer_report, the
# pattern of a report.
sanitizer_env() {
  local line
  while IFS= read -r line; do
    case "$line" in
      *_OPTIONS=*) export "${line//\$\{root\}/$1}" ;;
      report=*) sanitizer_report=${line#report=} ;;
    esac
  done <"$1/tests/sanitizers.env"
}

# sanitizer_clean FILE: no AddressSanitizer, LeakSanitizer or UBSan report.
sanitizer_clean() { ! grep -qE "$sanitizer_report" "$1"; }
