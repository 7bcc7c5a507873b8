#!/usr/bin/env bash
# Runs one fuzz target over a working copy of its corpus.
# Usage: fuzz/campaign.sh BUILD_DIR TARGET SECONDS [extra libFuzzer flags]
# New inputs go to $CAMPAIGN_DIR/TARGET (default BUILD_DIR/campaign; the
# committed corpus is only read); crashes to BUILD_DIR/artifacts/TARGET/; the log, with libFuzzer's
# final statistics, to BUILD_DIR/logs/TARGET.log. Exit status: libFuzzer's.
set -uo pipefail
build=$1
target=$2
seconds=$3
shift 3
here=$(cd "$(dirname "$0")" && pwd)

case $target in
  read_bmp | read_bmp_alpha) dict=bmp.dict ;;
  read_png) dict=png.dict ;;
  mesh_json) dict=json.dict ;;
  collider) dict=collider.dict ;;
  *) dict="" ;;
esac
case $target in
  bitmap_text) max_len=40000 ;;
  read_bmp | read_bmp_alpha | read_png) max_len=20000 ;;
  *) max_len=8192 ;;
esac

work="${CAMPAIGN_DIR:-$build/campaign}/$target"
artifacts="$build/artifacts/$target"
mkdir -p "$work" "$artifacts" "$build/logs"
# The GL driver keeps what it compiled until the process ends: the shadow's
# target leaves leaks to the GL tests' sanitized runs.
# A loaded machine slows its compiles past the readers' 10 s.
case $target in
  gl_shadow) leaks=0 timeout=60 ;;
  *) leaks=1 timeout=10 ;;
esac
flags=(-max_total_time="$seconds" -print_final_stats=1 -close_fd_mask=3 -rss_limit_mb=2048 -detect_leaks=$leaks
  -malloc_limit_mb=512 -timeout=$timeout -max_len="$max_len" -artifact_prefix="$artifacts/")
[ -n "$dict" ] && flags+=(-dict="$here/$dict")
# Readers print one line per bad file; closing the target's output keeps the
# log to libFuzzer's own lines (sanitizer reports still reach it).
ASAN_OPTIONS="detect_leaks=$leaks:allocator_may_return_null=1:${ASAN_OPTIONS:-}" \
  "$build/fuzz_$target" "${flags[@]}" "$@" "$work" "$here/corpus/$target" \
  >"$build/logs/$target.log" 2>&1
