#!/usr/bin/env bash
# Starts the virtual modem program, runs a command with the modem's device in
# place of every argument "@DEVICE@" (appended when there is none), and stops
# the modem afterwards.
#   with-virtual-modem.sh [--control LINE]... MODEMSIM COMMAND [ARGS...]
# Each --control line is sent to the modem's control input before the command
# runs (for example "sms +420606111222 Hello" to have a message waiting).
set -euo pipefail

controls=()
while [ "${1:-}" = "--control" ]; do
  controls+=("$2")
  shift 2
done
modemsim=$1
shift

work=$(mktemp -d)
modem_pid=""
cleanup() {
  exec 3>&- 2>/dev/null || true
  if [ -n "$modem_pid" ]; then
    kill "$modem_pid" 2>/dev/null || true
    wait "$modem_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# The modem prints its device as its first line and stops at the end of its
# control input, which stays open here until the command is done.
mkfifo "$work/control"
"$modemsim" --quiet <"$work/control" >"$work/modem.out" 2>&1 &
modem_pid=$!
exec 3>"$work/control"
for _ in $(seq 100); do
  [ -s "$work/modem.out" ] && break
  sleep 0.1
done
device=$(head -n 1 "$work/modem.out")
[ -n "$device" ] || { echo "the virtual modem did not start" >&2; exit 1; }
for line in "${controls[@]}"; do echo "$line" >&3; done

args=()
placed=0
for arg in "$@"; do
  if [ "$arg" = "@DEVICE@" ]; then
    args+=("$device")
    placed=1
  else
    args+=("$arg")
  fi
done
[ "$placed" -eq 1 ] || args+=("$device")
"${args[@]}"
