# What the hardening checks share beyond tests/lib/stage.sh: their arguments
# and the game's resident memory. Sourced, not run; the sourcing script then
# calls take_arguments "$@".
# shellcheck source=tests/lib/stage.sh
source "$(dirname "${BASH_SOURCE[0]}")/../lib/stage.sh"

# take_arguments GAME X11_CLOSE OUT_DIR ...: the arguments every hardening
# check starts with; sets game, game_command, closer and out (created) as
# absolute paths.
take_arguments() {
  game=$(realpath "$1")
  game_command=("$game")
  closer=$(realpath "$2")
  mkdir -p "$3"
  out=$(realpath "$3")
}

# rss_kb: resident memory of the running game in KiB.
rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$game_pid/status" 2>/dev/null || echo 0; }
