#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each one for a short bounded
# time over its committed corpus (fuzz/corpus/TARGET), two at a time.
# Usage: fuzz/smoke.sh [BUILD_DIR] [SECONDS_PER_TARGET]
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build-fuzz}")
seconds=${2:-30}
targets=(read_bmp read_bmp_alpha read_png mesh_json mesh_binary collider bitmap_text gl_shadow)
passed=0
failed=0

cxx=$(command -v clang++-14 || command -v clang++ || true)
cc=$(command -v clang-14 || command -v clang || true)
if [ -z "$cxx" ] || [ -z "$cc" ]; then
  echo "FAIL: clang is not installed (scripts/setup.sh installs it)"
  echo "fuzz smoke: 0 passed, 1 failed"
  exit 1
fi
if ! cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER="$cxx" \
  -DCMAKE_C_COMPILER="$cc" >"$build.configure.log" 2>&1 ||
  ! cmake --build "$build" -j"$(nproc 2>/dev/null || echo 2)" >"$build.build.log" 2>&1; then
  tail -n 30 "$build.configure.log" "$build.build.log" 2>/dev/null
  echo "FAIL: fuzz targets build"
  echo "fuzz smoke: 0 passed, 1 failed"
  exit 1
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
rm -rf "$build/artifacts"

run() {  # run TARGET: one bounded run; its verdict goes to $scratch/TARGET.rc
  CAMPAIGN_DIR="$scratch" bash "$root/fuzz/campaign.sh" "$build" "$1" "$seconds"
  echo $? >"$scratch/$1.rc"
}

for ((i = 0; i < ${#targets[@]}; i += 2)); do
  run "${targets[$i]}" &
  first=$!
  [ $((i + 1)) -lt ${#targets[@]} ] && run "${targets[$((i + 1))]}"
  wait "$first"
done

for t in "${targets[@]}"; do
  log="$build/logs/$t.log"
  execs=$(awk -F': ' '/stat::number_of_executed_units/ {print $2}' "$log")
  cov=$(grep -oE 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -n 1)
  crashes=$(find "$build/artifacts/$t" -type f 2>/dev/null | wc -l)
  if [ "$(cat "$scratch/$t.rc")" = 0 ] && [ "$crashes" -eq 0 ] && [ -n "$execs" ]; then
    echo "PASS: fuzz_$t: ${seconds}s, $execs runs, $cov, no crash"
    passed=$((passed + 1))
  else
    echo "FAIL: fuzz_$t (exit $(cat "$scratch/$t.rc"), $crashes crash files in $build/artifacts/$t)"
    grep -E 'ERROR|SUMMARY|invariant|Test unit written' "$log" | head -n 10
    failed=$((failed + 1))
  fi
done
echo "fuzz smoke: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
