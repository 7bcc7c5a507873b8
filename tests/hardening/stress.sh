#!/usr/bin/env bash
# Stress: many start/close cycles of the game in a row, then a resize storm
# during play. Every cycle must open, exit 0 on close, and the resident
# memory must not grow, neither from the first cycles to the last nor across
# the storm. Usage: stress.sh GAME X11_CLOSE OUT_DIR [CYCLES] [RESIZES]
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cycles=${4:-100}
resizes=${5:-600}
source "$root/tests/hardening/lib.sh"
take_arguments "$@"
start_xvfb 120 || exit 1
trap 'kill_game; stop_xvfb' EXIT

# median of the numbers on standard input
median() { sort -n | awk '{v[NR] = $1} END {print (NR ? v[int((NR + 1) / 2)] : 0)}'; }

# --- start/close cycles --------------------------------------------------------
bad=0
rss_log="$out/cycle_rss.txt"
: >"$rss_log"
for i in $(seq "$cycles"); do
  if ! launch_game "$root" cycle 20; then
    echo "cycle $i: no window"; sed 's/^/    err: /' "$out/cycle.err" | head -3
    kill_game; bad=$((bad + 1)); continue
  fi
  sleep 0.25  # a few frames
  rss_kb >>"$rss_log"
  close_game 20
  if [ "$exit_code" != 0 ] || [ -s "$out/cycle.err" ]; then
    echo "cycle $i: exit $exit_code"; sed 's/^/    err: /' "$out/cycle.err" | head -3
    bad=$((bad + 1))
  fi
done
[ "$bad" -eq 0 ] && pass "$cycles start/close cycles: every one opens, exits 0, prints nothing" ||
  fail "$cycles start/close cycles: $bad went wrong"
window_size=$((cycles / 10 > 0 ? cycles / 10 : 1))
first=$(head -n "$window_size" "$rss_log" | median)
last=$(tail -n "$window_size" "$rss_log" | median)
echo "  resident memory, median of the first and the last $window_size cycles: $first KiB, $last KiB"
# Separate processes share nothing but the files they read: the last ones
# must not need more than the first (5% for the driver's noise).
if [ "$first" -gt 0 ] && [ "$last" -le $((first + first / 20)) ]; then
  pass "start/close cycles: no growth in memory"
else
  fail "start/close cycles: no growth in memory ($first KiB -> $last KiB)"
fi

# --- resize storm ----------------------------------------------------------------
sizes=("1280 720" "640 360" "1920 1080" "301 199" "1 1" "1600 900" "800 800" "100 700" "1279 719")
storm() {  # storm COUNT: COUNT size changes, then back to 1280 x 720
  for i in $(seq "$1"); do
    # shellcheck disable=SC2086
    xdotool windowsize "$window" ${sizes[$((i % ${#sizes[@]}))]} 2>/dev/null
    sleep 0.02
  done
  xdotool windowsize "$window" 1280 720 2>/dev/null
  sleep 0.7
}
# glibc's malloc raises its mmap threshold to the largest block freed, so
# after the first big framebuffer is dropped the next ones come from the heap,
# and the heap's high-water mark then rises in steps of several MiB whenever
# Xvfb happens to hand the game a new largest size. A fixed threshold keeps
# every framebuffer in its own mapping, returned on free, so the resident
# memory follows what the game and the driver hold, and a leak shows as a
# slope rather than hiding among the steps.
if GLIBC_TUNABLES=glibc.malloc.mmap_threshold=131072 launch_game "$root" storm 20; then
  sleep 1
  # Six rounds; the median of the last half against that of the first half.
  rounds=6
  half=$((rounds / 2))
  rss_rounds=()
  for _ in $(seq "$rounds"); do
    storm $((resizes / rounds))
    rss_rounds+=("$(rss_kb)")
  done
  before=$(printf '%s\n' "${rss_rounds[@]:0:half}" | median)
  after=$(printf '%s\n' "${rss_rounds[@]:half}" | median)
  echo "  resident memory after each $((resizes / rounds)) resizes: ${rss_rounds[*]} KiB"
  alive && pass "resize storm: the game keeps running" || fail "resize storm: the game keeps running"
  # 2 MiB between the two medians, 300 resizes apart. Only a third to a half
  # of the resizes asked for reach the game as resizes of its own; a leak of
  # 32 KiB per resize the game sees adds about 1 MiB a round.
  if [ "$before" -gt 0 ] && [ "$after" -le $((before + 2048)) ]; then
    pass "resize storm: no growth in memory"
  else
    fail "resize storm: no growth in memory ($before KiB -> $after KiB)"
  fi
  close_game 20
  [ "$exit_code" = 0 ] && [ ! -s "$out/storm.err" ] &&
    pass "resize storm: exits 0 on close, nothing on standard error" ||
    fail "resize storm: exits 0 on close (got $exit_code)"
else
  fail "resize storm: window appears"
fi
closing_line stress
