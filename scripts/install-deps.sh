#!/usr/bin/env bash
# Installs the Debian packages that building, testing and the oracles need.
# Only what is missing is installed; run as root (or with sudo available).
set -euo pipefail

packages=(
  build-essential cmake g++ pkg-config python3
  libgtest-dev libgmock-dev libbenchmark-dev
  # Independent oracles and interop clients for the virtual modem and the PDU codec.
  gammu python3-gammu gsm-utils libgammu-dev
  # libFuzzer comes with clang.
  clang libclang-rt-14-dev
  # The keypad dialog of the PIN prompt (Qt 6 Widgets, with Qt Test and the
  # offscreen platform for its tests) and a font for its screenshot.
  qt6-base-dev qt6-qpa-plugins fonts-dejavu-core
  # The host shell's end-to-end tests run under a real X server.
  xvfb xauth
  # Reading and driving its windows from the tests (xwininfo; keys to a message box).
  x11-utils xdotool
  # The fonexa command: its argument parser and its JSON output.
  libcli11-dev nlohmann-json3-dev
  # The API reference, and the man pages rendered in the tests.
  doxygen man-db groff-base
  # The Debian package built by CPack and unpacked in the tests.
  dpkg-dev fakeroot file
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
