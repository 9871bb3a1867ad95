#!/bin/bash
# Runs Doxygen over the public headers as the fonexa_apidocs target does, into
# a folder of its own, and checks what comes out:
#   - Doxygen succeeds and reports no documentation error anywhere (a broken
#     reference, an unknown command, a parameter that is not there);
#   - the headers named in DOCUMENTED (a ;-separated list) have no
#     undocumented entity at all;
#   - the reference has its index and a page for every header in the folder.
#
#   check-api-docs.sh DOXYGEN DOXYFILE HEADER_FOLDER WORK_FOLDER DOCUMENTED
set -u
doxygen=$1 doxyfile=$2 headers=$3 work=$4 documented=$5
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

rm -rf "$work" && mkdir -p "$work" || exit 2
log=$work/warnings.txt
{
  cat "$doxyfile"
  echo "OUTPUT_DIRECTORY = $work"
  echo "WARN_LOGFILE = $log"
  # The reference target stays quiet about what is not documented yet; here
  # every gap is listed, and the headers in DOCUMENTED must have none.
  echo "WARN_IF_UNDOCUMENTED = YES"
  echo "QUIET = YES"
} | "$doxygen" - >"$work/doxygen.out" 2>&1 || fail "doxygen failed: $(cat "$work/doxygen.out")"
[ -f "$log" ] || : >"$log"

errors=$(grep -v 'is not documented\.$' "$log" | grep -i 'warning\|error')
[ -z "$errors" ] || fail "documentation errors:"$'\n'"$errors"

IFS=';' read -r -a complete <<<"$documented"
for header in "${complete[@]}"; do
  [ -n "$header" ] || continue
  [ -f "$headers/$header" ] || { fail "no header $header"; continue; }
  missing=$(grep -F "/$header:" "$log")
  [ -z "$missing" ] || fail "$header has undocumented entities:"$'\n'"$missing"
done

api=$work/api
[ -s "$api/index.html" ] || fail "no index.html in $api"
for path in "$headers"/*.h; do
  name=$(basename "$path" .h)
  # Doxygen names a file's page after it, an underscore doubled.
  page=$api/${name//_/__}_8h.html
  [ -s "$page" ] || fail "no page for $(basename "$path") (expected $page)"
done

[ "$failures" -eq 0 ]
