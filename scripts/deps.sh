#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing need (only those missing).
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-psql libpq-dev qt6-svg-dev qt6-multimedia-dev
  libsimpleini-dev libcurl4-openssl-dev libhunspell-dev hunspell-en-us libsodium-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  help2man dpkg-dev file
)
case "${1:-}" in
  --test) PACKAGES+=(postgresql-15 poppler-utils xvfb imagemagick desktop-file-utils appstream) ;;
  --screenshot) PACKAGES+=(xvfb x11-utils xdotool imagemagick) ;;
esac

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
