#!/usr/bin/env bash
# display.sh - runs a command on an X server of its own with openbox managing it, so that tests
# can minimise, restore and size the window. Usage: display.sh WIDTHxHEIGHT COMMAND...
# The command sees HP_WINDOW_MANAGER=1 once openbox has taken the display over.
size=${1:?usage: display.sh WIDTHxHEIGHT COMMAND...}; shift
work=$(mktemp -d /tmp/hp-display.XXXXXX)
trap 'kill $wm $server 2> /dev/null; wait; rm -rf "$work"' EXIT
# -displayfd picks a free display number and writes it once the server listens.
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3> "$work/display" 2> "$work/xvfb.log" &
server=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "[display] Xvfb did not start: $(tail -n 2 "$work/xvfb.log")" >&2; exit 1; }
export DISPLAY=":$(tr -d '[:space:]' < "$work/display")"
unset XAUTHORITY WAYLAND_DISPLAY HP_WINDOW_MANAGER
openbox --sm-disable > /dev/null 2>&1 &
wm=$!
for _ in $(seq 600); do  # a busy machine starts openbox slowly
  xprop -root _NET_SUPPORTING_WM_CHECK 2> /dev/null | grep -q 'window id' && export HP_WINDOW_MANAGER=1 && break
  sleep 0.1
done
"$@"
