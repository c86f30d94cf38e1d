#!/usr/bin/env bash
# Installs every Debian package that building, testing and running Kestles needs.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang clang-format libclang-rt-14-dev pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libutf8proc-dev nlohmann-json3-dev
  libxau-dev libxdmcp-dev libxcb1-dev libxcb-ewmh-dev libxcb-icccm4-dev libxcb-randr0-dev libxcb-xinput-dev libxcb-keysyms1-dev
  libsystemd-dev dbus
  libxcb-xkb-dev libxkbcommon-dev libxkbcommon-x11-dev libxcb-xtest0-dev libxcb-shape0-dev
  libcairo2-dev libcurl4-openssl-dev fonts-dejavu-core
  xvfb openbox xfwm4 dbus-x11 xterm x11-xserver-utils wmctrl
  sway foot wtype i3-wm xdotool jq x11-utils
  dpkg-dev groff-base
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
