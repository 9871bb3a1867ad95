#!/bin/sh
# The soak run: an instance with every event registered under injected traffic
# (calls, stored and delivered messages, long ones too, registration, signal
# and status reports) while the application side works the phone. Prints a
# sample every SAMPLE seconds, then events per kind, operations, message parts
# seen, RSS at warm-up/end/peak with its least-squares slope, and threads.
# Exits non-zero when a message part was lost or the thread count moved.
#
#   scripts/soak.sh [SECONDS [BUILD_DIR [SAMPLE [WARM_UP]]]]   (600 s, /work/build-races, 10 s, 60 s)
set -eu
seconds=${1:-600}
build_dir=${2:-/work/build-races}
sample=${3:-10}
warm_up=${4:-60}
here=$(cd "$(dirname "$0")/.." && pwd)
if [ ! -f "$build_dir/CMakeCache.txt" ] || ! grep -q '^FONEXA_BUILD_BENCH:BOOL=ON' "$build_dir/CMakeCache.txt"; then
  cmake -S "$here" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFONEXA_BUILD_BENCH=ON >/dev/null
fi
cmake --build "$build_dir" -j 2 --target fonexa-soak GenericPhone >/dev/null
echo "soak: $seconds s of traffic, a sample every $sample s, warm-up $warm_up s ($(date -u '+%Y-%m-%d %H:%M UTC'))"
FONEXA_PLUGIN_PATH="$build_dir/lib/fonexa-plugins" FONEXA_MUTEX_NAMESPACE="soak-$$" \
  "$build_dir/bin/fonexa-soak" "$seconds" "$sample" "$warm_up"
