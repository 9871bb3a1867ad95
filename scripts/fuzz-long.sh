#!/bin/sh
# The long fuzz run: every target of fuzz/ for RUNS executions (10 million by
# default) from its committed corpus, one after the other at low priority, and
# a line per target with the executions, the time, the speed and the outcome.
#
#   scripts/fuzz-long.sh BUILD_DIR [RUNS] [TARGET...]
#
# Inputs are kept to FONEXA_FUZZ_MAX_LEN bytes (512 by default: longer than any
# answer line or PDU line a phone sends, short enough to keep the speed up).
# The figures go to BUILD_DIR/long-run.txt; a finding stops that target, keeps
# its input in BUILD_DIR/artifacts and makes the script exit non-zero.
set -eu

if [ $# -lt 1 ]; then
  echo "usage: $0 BUILD_DIR [RUNS] [TARGET...]" >&2
  exit 2
fi
build_dir=$1
runs=${2:-10000000}
[ $# -ge 2 ] && shift 2 || shift 1
here=$(cd "$(dirname "$0")/.." && pwd)
max_len=${FONEXA_FUZZ_MAX_LEN:-512}

cmake -S "$here/fuzz" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build_dir" -j 2 >/dev/null
targets=${*:-$(cat "$build_dir/fuzz-targets.txt")}

mkdir -p "$build_dir/artifacts"
report="$build_dir/long-run.txt"
echo "# target executions seconds exec/s outcome ($(date -u +%F), $(nproc) cores, max_len $max_len)" >>"$report"
status=0
for target in $targets; do
  work="$build_dir/long-corpus/$target"
  mkdir -p "$work"
  cp "$here/fuzz/corpus/$target"/* "$work"/ 2>/dev/null || true
  log="$build_dir/long-$target.log"
  start=$(date +%s)
  outcome=clean
  if ! nice -n 19 "$build_dir/$target" -runs="$runs" -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$build_dir/artifacts/$target-" -print_final_stats=1 "$work" >"$log" 2>&1; then
    outcome=FINDING
    status=1
  fi
  seconds=$(( $(date +%s) - start ))
  executed=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  executed=${executed:-0}
  echo "$target $executed $seconds $(( executed / (seconds > 0 ? seconds : 1) )) $outcome" | tee -a "$report"
done
exit $status
