#!/usr/bin/env bash
# Installs what is missing, builds, starts the virtual modem and runs the main
# example on it: a phone identified, messages sent and listed, signal and
# operator shown, and the events the background monitor raised; then prints
# the traffic log of the run.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"

logs=$(mktemp -d)
# A message from the network waits in the phone before the example starts.
scripts/with-virtual-modem.sh --control "sms +420606111222 A message waiting in the inbox" \
  build/bin/fonexa-modemsim build/bin/gsm-tour @DEVICE@ "$logs/trace.log"

echo
echo "---- traffic log ($logs/com.txt) ----"
cat "$logs/com.txt"
echo "---- the trace log is in $logs/trace.log ----"
