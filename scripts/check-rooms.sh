#!/usr/bin/env bash
# The console's tabs live in rooms of their own (src/console/general, setup, sync, logs) and never
# include each other: what two tabs share goes down into src/console/ or lower. Lists every
# include from one tab's folder (sources or tests) into another's; exits 1 when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."
rooms=(general setup sync logs)
found=0
for room in "${rooms[@]}"; do
  for other in "${rooms[@]}"; do
    [ "$room" = "$other" ] && continue
    if git grep -n "#include \"console/$other/" -- "src/console/$room" "tests/console/$room"; then
      found=1
    fi
  done
done
if [ "$found" -ne 0 ]; then
  echo "a tab's folder includes another tab's: move what they share into src/console/" >&2
fi
exit "$found"
