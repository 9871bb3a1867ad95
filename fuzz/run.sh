#!/bin/sh
# Builds the fuzz targets into BUILD_DIR and runs each for a bounded time on a
# fresh copy of its committed seed corpus, fuzz/corpus/<target>. The targets
# share one budget, FONEXA_FUZZ_TOTAL_SECONDS (60 s by default), so that a new
# target does not lengthen the test command; FONEXA_FUZZ_SECONDS, when set,
# gives every target that many seconds instead. Exits non-zero when a build
# fails or a target finds a crash, a leak or undefined behaviour; the input is
# kept in BUILD_DIR/artifacts.
set -eu

if [ $# -ne 1 ]; then
  echo "usage: $0 BUILD_DIR" >&2
  exit 2
fi
build_dir=$1
here=$(cd "$(dirname "$0")" && pwd)

cmake -S "$here" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build_dir" -j "$(nproc)"

targets=$(cat "$build_dir/fuzz-targets.txt")
count=$(echo "$targets" | wc -w)
total=${FONEXA_FUZZ_TOTAL_SECONDS:-60}
seconds=${FONEXA_FUZZ_SECONDS:-$((total / count))}
# Below a few seconds a target spends its time loading its corpus.
[ "$seconds" -ge 3 ] || seconds=3

mkdir -p "$build_dir/artifacts"
status=0
for target in $targets; do
  work="$build_dir/corpus-run/$target"
  rm -rf "$work"
  mkdir -p "$work"
  if [ -d "$here/corpus/$target" ]; then
    cp "$here/corpus/$target"/* "$work"/ 2>/dev/null || true
  fi
  echo "== $target: ${seconds}s"
  if ! "$build_dir/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$build_dir/artifacts/$target-" -print_final_stats=1 "$work"; then
    echo "== $target FAILED (inputs in $build_dir/artifacts)" >&2
    status=1
  fi
done
exit $status
