#!/usr/bin/env bash
# Installs what is missing, builds, and makes the Debian package build/webconsole_VERSION_ARCH.deb.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/deps.sh"
bash "$root/scripts/build.sh"
cd "$root/build"
cpack -G DEB -B "$root/build" >/dev/null
ls "$root"/build/webconsole_*.deb
