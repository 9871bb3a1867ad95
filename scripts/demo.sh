#!/usr/bin/env bash
# Installs what is missing, builds, and runs the guided tour of the fonexa
# command on its built-in virtual modem: the phone identified, messages sent
# and received, the phone book written and exported, calls placed and
# answered. Then the C example runs on the virtual modem program, and the
# traffic log of that run is printed.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)" --target fonexa gsm-tour fonexa-modemsim

build/bin/fonexa demo

echo
echo "---- the C example (build/bin/gsm-tour) on the virtual modem program ----"
logs=$(mktemp -d)
# A message from the network waits in the phone before the example starts.
scripts/with-virtual-modem.sh --control "sms +420606111222 A message waiting in the inbox" \
  build/bin/fonexa-modemsim build/bin/gsm-tour @DEVICE@ "$logs/trace.log"

echo
echo "---- traffic log ($logs/com.txt) ----"
cat "$logs/com.txt"
echo "---- the trace log is in $logs/trace.log ----"
