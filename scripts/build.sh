#!/usr/bin/env bash
# Configures and builds into build/ (Ninja, RelWithDebInfo).
# With --sanitize as the first argument: the sanitizer build in build-asan/ instead (Debug, so that
# Qt's assertions are on, with AddressSanitizer and UndefinedBehaviorSanitizer; its tests include a
# short run of each benchmark on small data).
# Further arguments go to cmake --build (for example --target test_console).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
if [ "${1:-}" = "--sanitize" ]; then
  shift
  # The test programs are run while building (to list their tests): they report as in the suite.
  source "$root/scripts/sanitizer-options.sh"
  cmake -S "$root" -B "$root/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DWEBCONSOLE_SANITIZE=ON \
    -DWEBCONSOLE_BUILD_BENCH=ON >/dev/null
  cmake --build "$root/build-asan" -j"$(nproc)" "$@"
  exit
fi
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" -j"$(nproc)" "$@"
