#!/usr/bin/env bash
# Makes docs/screenshot.png: the console on a fresh demo workspace, in a virtual X server.
# Installs what is missing, builds when needed, logs on as the demo user JS and photographs the
# main window. Run it again whenever the windows change. With --no-build it photographs the
# programs already in build/ as they are.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/deps.sh" --screenshot
if [ "${1:-}" != "--no-build" ]; then
  bash "$root/scripts/build.sh" --target webconsole webconsole-demo
fi

work="$(mktemp -d /tmp/webconsole-shot.XXXXXX)"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

# A display number nobody uses (or the one SCREENSHOT_DISPLAY names).
display="${SCREENSHOT_DISPLAY:-90}"
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x860x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=":$display"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

"$root/build/tools/webconsole-demo" --workspace "$work/demo" >/dev/null
HOME="$work" XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=xcb \
  "$root/build/src/webconsole" --ini "$work/demo/webconsole.ini" >"$work/console.log" 2>&1 &
pids+=($!)

# Waits for a window whose title matches $1 and prints its id.
window() {
  for _ in $(seq 150); do
    id="$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)" && [ -n "$id" ] && { echo "$id"; return; }
    sleep 0.2
  done
  echo "no window \"$1\" appeared; the console said:" >&2
  cat "$work/console.log" >&2
  exit 1
}

logon="$(window '^Logon$')"
xdotool windowfocus --sync "$logon"
xdotool type --delay 50 JS
xdotool key Tab
xdotool type --delay 50 demo
xdotool key Return

console="$(window 'Web console$')"
# Without a window manager the window is placed by hand; the lists fill on the first refresh.
xdotool windowmove --sync "$console" 0 0 windowsize --sync "$console" 1280 860
sleep 3
mkdir -p "$root/docs"
import -window "$console" "$work/shot.png"
# A small file: 256 colours are plenty for a window of flat colours and text.
convert "$work/shot.png" -strip +dither -colors 256 PNG8:"$root/docs/screenshot.png"
echo "docs/screenshot.png: $(identify -format '%wx%h' "$root/docs/screenshot.png"), $(du -k "$root/docs/screenshot.png" | cut -f1) KiB"
