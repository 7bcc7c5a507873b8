#!/usr/bin/env bash
# Bad-asset matrix: for every asset file the game loads and every fault
# class that applies to it, the whole game is started on a copy of data/
# holding that one fault: the game on the headless backend (dravik-headless,
# no window: what is checked is how the game reads its files). It must start,
# play its frames, report the fault as docs/bad-assets.md says, and exit 0
# when closed.
# Usage: matrix.sh HEADLESS_GAME OUT_DIR [FRAMES]
# MATRIX_ONLY="data/a data/b" limits the run to those files.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
game=$(realpath "$1")
mkdir -p "$2"
out=$(realpath "$2")
frames=${3:-5}
source "$root/tests/lib/stage.sh"
source "$root/tests/hardening/faults.sh"
sanitizer_env "$root"
# Two cases run at once, each on its own copy of data/ (its slot).
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for slot in 0 1; do
  mkdir "$work/$slot"
  cp -r "$root/data" "$work/$slot/data"
done

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

# play SLOT KIND CLASS FILE NAME: one case, in the background; its exit code
# goes to $out/NAME.rc and the slot's file is restored after.
play() {
  local dir=$work/$1 file=$4 name=$5
  (
    cd "$dir" && timeout 120 "$game" "$frames" >"$out/$name.out" 2>"$out/$name.err"
    echo $? >"$out/$name.rc"
    mkdir -p "$(dirname "$dir/$file")"
    cp "$root/$file" "$dir/$file"
  ) &
  slot_pid[$1]=$!
  slot_case[$1]="$2 $3 $4 $name"
}

# judge SLOT: waits for the slot's case, if any, and counts its verdict.
judge() {
  [ -n "${slot_pid[$1]:-}" ] || return 0
  wait "${slot_pid[$1]}"
  slot_pid[$1]=""
  local kind class file name exit_code
  read -r kind class file name <<<"${slot_case[$1]}"
  exit_code=$(cat "$out/$name.rc")
  if [ "$exit_code" != 0 ]; then
    fail "$file / $class: plays $frames frames and exits 0 on close (got $exit_code)"
    sed 's/^/    err: /' "$out/$name.err" | head -5
  elif ! reported "$kind" "$class" "$file" "$name"; then
    fail "$file / $class: reported as documented"
    sed 's/^/    err: /' "$out/$name.err" | head -5
    sed 's/^/    out: /' "$out/$name.out" | head -5
  else
    pass "$file / $class: starts, plays, reports '$(head -c 110 "$out/$name.err" "$out/$name.out" 2>/dev/null | grep -v '^==>' | grep -m1 .)', exits 0"
  fi
}

slot_pid=()
slot_case=()
cases=0
for entry in "${assets[@]}"; do
  read -r kind file <<<"$entry"
  if [ -n "${MATRIX_ONLY:-}" ] && [[ " $MATRIX_ONLY " != *" $file "* ]]; then continue; fi
  faults_var="${kind}_faults"
  for class in ${!faults_var}; do
    slot=$((cases % 2))
    cases=$((cases + 1))
    judge "$slot"
    name="$(basename "$file" | tr '.' '_')-$class"
    if ! apply_fault "$class" "$work/$slot/$file"; then
      fail "$file / $class: fault could not be made"
      cp "$root/$file" "$work/$slot/$file"
      continue
    fi
    play "$slot" "$kind" "$class" "$file" "$name"
  done
done
judge 0
judge 1
closing_line matrix
