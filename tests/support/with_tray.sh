#!/usr/bin/env bash
# Runs a test program on a private Xvfb display that has a system tray, for what only
# happens where a tray exists (the window leaving the screen for the tray icon).
set -euo pipefail
tmp=$(mktemp -d)
xvfb=""
owner=""
cleanup() {
    [ -n "$owner" ] && kill "$owner" 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$tmp/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$tmp/display" ] && break; sleep 0.1; done
display=":$(head -n1 "$tmp/display")"
python3 "$(dirname "$0")/tray_owner.py" "$display" "$tmp/ready" &
owner=$!
for _ in $(seq 100); do [ -s "$tmp/ready" ] && break; sleep 0.1; done
[ -s "$tmp/ready" ] || { echo "no tray on $display" >&2; exit 1; }
DISPLAY=$display QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$tmp "$@"
