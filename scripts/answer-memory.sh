#!/bin/sh
# The engine's peak memory under a huge answer from the phone (10 MB by
# default): builds answer-memory into BUILD_DIR and runs it on the
# GenericPhone plug-in.
#
#   scripts/answer-memory.sh BUILD_DIR [MEGABYTES]
set -eu
if [ $# -lt 1 ]; then
  echo "usage: $0 BUILD_DIR [MEGABYTES]" >&2
  exit 2
fi
build_dir=$1
here=$(cd "$(dirname "$0")/.." && pwd)
[ -f "$build_dir/CMakeCache.txt" ] ||
  cmake -S "$here" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFONEXA_BUILD_BENCH=OFF >/dev/null
cmake --build "$build_dir" -j 2 --target answer-memory GenericPhone >/dev/null
FONEXA_PLUGIN_PATH="$build_dir/lib/fonexa-plugins" FONEXA_MUTEX_NAMESPACE="answer-memory-$$" \
  "$build_dir/bin/answer-memory" "${2:-10}"
