#!/usr/bin/env bash
# Bad-asset matrix: for every asset file the game loads and every fault
# class that applies to it, the real game is started on a copy of data/
# holding that one fault. It must open its window, keep running, report the
# fault as docs/bad-assets.md says, and exit 0 when asked to close.
# Usage: matrix.sh GAME X11_CLOSE OUT_DIR [SETTLE_SECONDS]
# MATRIX_ONLY="data/a data/b" limits the run to those files (the sanitized
# game takes seconds to start, so it gets a sample).
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
settle=${4:-0.6}
source "$root/tests/hardening/lib.sh"
take_arguments "$@"
source "$root/tests/hardening/faults.sh"
sanitizer_env "$root"
start_xvfb 120 || exit 1
work=$(mktemp -d)
trap 'kill_game; stop_xvfb; rm -rf "$work"' EXIT
cp -r "$root/data" "$work/data"

assets=(
  "bmp data/font.bmp.fnt" "png data/road6.png" "bmp data/wall.bmp" "bmp data/wood.bmp"
  "bmp data/grass.bmp" "bmp data/whitepixel.bmp" "bmp data/sky/stars/stars.bmp"
  "model data/quad.json" "model data/meshes/display/tree.json"
  "model data/meshes/display/wall.json" "model data/meshes/display/tallWall.json"
  "model data/meshes/display/wood.json" "model data/meshes/display/floorWood.json"
  "model data/quadBackground.json" "collider data/meshes/colliders/quadCollider.json"
  "shader data/shaders/basic-fixed.vert" "shader data/shaders/basic-fixed.frag"
  "shader data/shaders/conveyor-map.vert" "shader data/shaders/conveyor-map.frag"
  "shader data/shaders/gameover-fixed.vert" "shader data/shaders/gameover-fixed.frag"
)

# reported KIND CLASS FILE NAME: the diagnostics match the documented ones.
reported() {
  local kind=$1 class=$2 file=$3 name=$4
  local err="$out/$name.err" stdout="$out/$name.out"
  if [ "$kind" = shader ] && [ "$class" != missing ]; then
    # Shader text that does not build: the compiler's or linker's message on
    # standard output, nothing on standard error.
    [ ! -s "$err" ] || return 1
    grep -qE '^Could not compile (vertex|fragment)Shader 3563[23]:$|^programme non linke$' \
      "$stdout"
    return
  fi
  # Everything else: exactly one line on standard error, and it names the file.
  [ "$(wc -l <"$err")" -eq 1 ] && grep -qF "$file" "$err"
}

for entry in "${assets[@]}"; do
  read -r kind file <<<"$entry"
  if [ -n "${MATRIX_ONLY:-}" ] && [[ " $MATRIX_ONLY " != *" $file "* ]]; then continue; fi
  faults_var="${kind}_faults"
  for class in ${!faults_var}; do
    name="$(basename "$file" | tr '.' '_')-$class"
    if ! apply_fault "$class" "$work/$file"; then
      fail "$file / $class: fault could not be made"
      continue
    fi
    if launch_game "$work" "$name" 60; then
      sleep "$settle"
      if ! alive; then
        fail "$file / $class: game keeps running"
        kill_game
      else
        close_game 60
        if [ "$exit_code" != 0 ]; then
          fail "$file / $class: exits 0 on close (got $exit_code)"
        elif ! reported "$kind" "$class" "$file" "$name"; then
          fail "$file / $class: reported as documented"
          sed 's/^/    err: /' "$out/$name.err" | head -5
          sed 's/^/    out: /' "$out/$name.out" | head -5
        else
          pass "$file / $class: opens, runs, reports '$(head -c 110 "$out/$name.err" "$out/$name.out" 2>/dev/null | grep -v '^==>' | grep -m1 .)', exits 0"
        fi
      fi
    else
      fail "$file / $class: window appears"
      sed 's/^/    err: /' "$out/$name.err" | head -5
      kill_game
    fi
    mkdir -p "$(dirname "$work/$file")"
    cp "$root/$file" "$work/$file"
  done
done
closing_line matrix
