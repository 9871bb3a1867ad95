#!/usr/bin/env bash
# Installs what is missing, builds, starts the virtual modem and runs the main
# example on it: a phone identified, messages sent and listed, signal and
# operator shown, and the events the background monitor raised.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"

work=$(mktemp -d)
modem_pid=""
cleanup() {
  exec 3>&- 2>/dev/null || true
  [ -n "$modem_pid" ] && kill "$modem_pid" 2>/dev/null && wait "$modem_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# The virtual modem runs as its own process; its first line of output is the
# device to talk to, and it takes control commands on its standard input.
mkfifo "$work/control"
./build/bin/fonexa-modemsim --quiet <"$work/control" >"$work/modem.out" 2>&1 &
modem_pid=$!
exec 3>"$work/control"
for _ in $(seq 100); do
  [ -s "$work/modem.out" ] && break
  sleep 0.1
done
device=$(head -n 1 "$work/modem.out")
[ -n "$device" ] || { echo "the virtual modem did not start" >&2; exit 1; }
echo "virtual modem on $device"

# A message from the network waits in the phone before the example starts.
echo "sms +420606111222 A message waiting in the inbox" >&3

./build/bin/gsm-tour "$device" "$work/trace.log"

echo
echo "---- traffic log ($work/com.txt) ----"
cat "$work/com.txt"
echo "quit" >&3
