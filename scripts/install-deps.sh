#!/usr/bin/env bash
# Installs the Debian packages Halvrick builds, tests and runs with.
# Idempotent: only missing packages are installed.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-charts-dev qt6-svg-dev qt6-qpa-plugins libqt6svg6
  nlohmann-json3-dev libhowardhinnant-date-dev tzdata
  libx11-dev libx11-xcb-dev libxcb-render0-dev libxcb-screensaver0-dev
  fonts-quicksand fonts-dejavu-core fonts-noto-color-emoji
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth trayer xdotool imagemagick dbus-daemon dbus-x11 python3 procps
  desktop-file-utils appstream groff-base
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
