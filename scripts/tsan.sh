#!/usr/bin/env bash
# The whole test suite under ThreadSanitizer: configures BUILD_DIR (build-tsan
# by default) with FONEXA_SANITIZE=thread, builds it, runs ctest -j2 and exits
# non-zero when a test fails or any process of the run, the virtual modem and
# the programs the tests start included, made a report.
#
#   scripts/tsan.sh [BUILD_DIR]
#
# Every report goes to a file BUILD_DIR/tsan-reports/report.PID as well as
# making its process fail (halt_on_error), so a report in a child process whose
# exit status a test does not look at still counts. scripts/tsan.supp lists
# races inside uninstrumented system libraries only, never our own code.
#
# Tests labelled tsan-skip do not run: each carries its reason beside the label.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-build-tsan}
case $build_dir in /*) ;; *) build_dir=$here/$build_dir ;; esac
jobs=2

reports=$build_dir/tsan-reports
rm -rf "$reports"
mkdir -p "$reports"
# The build runs some of its own programs too (the skin painter): they are
# instrumented, so the same options hold for them.
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$here/scripts/tsan.supp:log_path=$reports/report${TSAN_EXTRA_OPTIONS:+:$TSAN_EXTRA_OPTIONS}"

show_reports() {
  for report in $(find "$reports" -type f | sort); do
    echo "==== $report"
    cat "$report"
  done
}

started=$(date +%s)
cmake -S "$here" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DFONEXA_BUILD_BENCH=OFF -DFONEXA_SANITIZE=thread >/dev/null
cmake --build "$build_dir" -j"$jobs" || { show_reports; exit 1; }
built=$(date +%s)

status=0
(cd "$build_dir" && ctest --output-on-failure -j"$jobs" -LE tsan-skip) || status=$?
finished=$(date +%s)

found=$(find "$reports" -type f | wc -l)
show_reports
echo "tsan: build $((built - started)) s, suite $((finished - built)) s, ctest status $status, $found report file(s)"
if [ "$found" -ne 0 ] && [ "$status" -eq 0 ]; then
  status=1
fi
exit "$status"
