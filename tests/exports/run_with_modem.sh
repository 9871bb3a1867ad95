#!/usr/bin/env bash
# Runs PROGRAM with the device of a freshly started virtual modem as its first
# argument, then stops the modem: run_with_modem.sh MODEMSIM PROGRAM [ARGS...]
set -euo pipefail
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
"$@" "$device"
