#!/usr/bin/env bash
# display.sh - runs a command on an X server of its own with openbox managing it, so that tests
# can minimise, restore and size the window. Usage: display.sh WIDTHxHEIGHT COMMAND...
# The command sees HP_WINDOW_MANAGER=1 once openbox has taken the display over.
size=${1:?usage: display.sh WIDTHxHEIGHT COMMAND...}; shift
work=$(mktemp -d /tmp/hp-display.XXXXXX)
trap 'kill $poker $wm $server 2> /dev/null; wait; rm -rf "$work"' EXIT
# -displayfd picks a free display number and writes it once the server listens.
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3> "$work/display" 2> "$work/xvfb.log" &
server=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "[display] Xvfb did not start: $(tail -n 2 "$work/xvfb.log")" >&2; exit 1; }
export DISPLAY=":$(tr -d '[:space:]' < "$work/display")"
unset XAUTHORITY WAYLAND_DISPLAY HP_WINDOW_MANAGER
openbox --sm-disable > /dev/null 2>&1 &
wm=$!
managed() { xprop -root _NET_CLIENT_LIST 2> /dev/null | grep -q '0x'; }
# openbox claims the display before its event loop runs, and a window mapped meanwhile can stay
# unmanaged until the next event reaches openbox; SDL then waits for it forever. So the command
# starts once a probe window has been managed and is gone again (a probe not managed within two
# seconds is replaced), and a root property changed every second keeps openbox reading events.
for _ in $(seq 30); do
  xmessage -name hp-display-probe probe > /dev/null 2>&1 &
  probe=$!
  for _ in $(seq 20); do managed && break; sleep 0.1; done
  managed && export HP_WINDOW_MANAGER=1
  kill $probe 2> /dev/null; wait $probe 2> /dev/null
  [ -n "${HP_WINDOW_MANAGER:-}" ] && break
done
for _ in $(seq 50); do managed || break; sleep 0.1; done
(while kill -0 $wm 2> /dev/null; do xprop -root -f _HP_DISPLAY_POKE 32c -set _HP_DISPLAY_POKE 1; sleep 1; done) &
poker=$!
"$@"
