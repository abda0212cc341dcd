#!/usr/bin/env bash
# Installs what is missing, builds, creates the demo workspace when there is none (and stops when
# the folder holds a workspace that webconsole-demo did not make), and starts
# webconsole on it with the demo web monitor beside it (new requests arrive, webtasks move). The
# monitor is stopped when webconsole ends, however it ends. The workspace lives in
# ~/.local/share/webconsole-demo unless WEBCONSOLE_DEMO_DIR says otherwise; the monitor logs to
# webmon-demo.log there and makes a round every WEBMON_DEMO_INTERVAL seconds (default 20).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/deps.sh"
bash "$root/scripts/build.sh" --target webconsole webconsole-demo webmon-demo

demo="${WEBCONSOLE_DEMO_DIR:-${XDG_DATA_HOME:-$HOME/.local/share}/webconsole-demo}"
# Makes the workspace when there is none; stops here with its message when the folder holds a
# workspace that webconsole-demo did not make (the demo web monitor would refuse it).
"$root/build/tools/webconsole-demo" --workspace "$demo"

"$root/build/tools/webmon-demo" --ini "$demo/webconsole.ini" --interval "${WEBMON_DEMO_INTERVAL:-20}" \
  >>"$demo/webmon-demo.log" 2>&1 &
webmon=$!
stop_webmon() {
  kill -TERM "$webmon" 2>/dev/null || true
  wait "$webmon" 2>/dev/null || true
}
trap stop_webmon EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

status=0
"$root/build/src/webconsole" --ini "$demo/webconsole.ini" "$@" || status=$?
exit "$status"
