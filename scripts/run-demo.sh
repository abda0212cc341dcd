#!/usr/bin/env bash
# Installs what is missing, builds, creates the demo workspace when there is none, and starts
# webconsole on it. The workspace lives in ~/.local/share/webconsole-demo unless
# WEBCONSOLE_DEMO_DIR says otherwise.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/deps.sh"
bash "$root/scripts/build.sh" --target webconsole webconsole-demo

demo="${WEBCONSOLE_DEMO_DIR:-${XDG_DATA_HOME:-$HOME/.local/share}/webconsole-demo}"
if [ ! -f "$demo/webconsole.ini" ]; then
  "$root/build/tools/webconsole-demo" --workspace "$demo"
fi
exec "$root/build/src/webconsole" --ini "$demo/webconsole.ini" "$@"
