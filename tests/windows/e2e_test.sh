#!/usr/bin/env bash
# e2e_test.sh LINUX_GAME WINDOWS_GAME - the release's game under Wine, on the display and window
# manager tests/display.sh gives it: started from another folder it goes full screen, its main
# menu is the Linux build's to the pixel tolerance, a second copy leaves at once, a round is played
# by keys, and Quit from the main menu ends it with status 0. Screenshots in BUILD/e2e-windows.
set -uo pipefail
linux=$(realpath "${1:?usage: e2e_test.sh LINUX_GAME WINDOWS_GAME}") exe=$(realpath "${2:?}")
here=$(cd "$(dirname "$0")" && pwd) root=$(cd "$(dirname "$0")/../.." && pwd)
art=$(dirname "$(dirname "$(dirname "$exe")")")/e2e-windows   # beside zip/ in the build tree
work=$(mktemp -d /tmp/hp-wine-e2e.XXXXXX) started=$SECONDS game_pid='' win='' e2e_tag=wine-e2e
# A Wine prefix of the test's own: its own wineserver, so no other run holds the game's mutex.
export HP_WINEPREFIX=$work/wine

cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2> /dev/null
  WINEPREFIX=$HP_WINEPREFIX timeout 20 wineserver -k 2> /dev/null
  [ -s "$work/game.log" ] && [ -d "$art" ] && cp "$work/game.log" "$art/game-output.txt"
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 2' INT TERM HUP

fail() {
  echo "E2E FAILURE: $*" >&2
  [ -s "$work/game.log" ] && { echo "--- the game's last output ---"; tail -n 30 "$work/game.log"; } >&2
  [ -n "$win" ] && echo "window: $(xdotool getwindowgeometry "$win" 2>&1 | tr '\n' ' ')" \
    "focus: $(xdotool getwindowfocus 2>&1)" "state: $(xprop -id "$win" WM_STATE 2>&1 | tr '\n' ' ')" >&2
  import -window root -quality 10 "$art/failure.png" 2> /dev/null
  exit 1
}
[ -n "${HP_WINDOW_MANAGER:-}" ] || fail "no window manager: run this under tests/display.sh"
for tool in xdotool import convert compare wine; do
  command -v "$tool" > /dev/null || fail "$tool is not installed"
done
rm -rf "$art" && mkdir -p "$art" || fail "cannot create $art"

. "$root/tests/e2e/e2e_lib.sh"
. "$root/tests/sanitizers.sh"  # for the Linux build's game, the tests' sanitized one

# until_like REF SECONDS WHAT: holds space (skipping the logos) until the screen looks like REF.
until_like() {
  local t0=$SECONDS d=1
  xdotool keydown space
  until ! above "${d:-1}" 0.02; do
    alive "waiting for $3"
    [ $((SECONDS - t0)) -ge "$2" ] && { xdotool keyup space; fail "no $3 within $2 s ($d)"; }
    sleep 0.5 && thumb "$work/now.png" && d=$(differ "$1" "$work/now.png")
  done
  xdotool keyup space
  sleep 2
  log "$3 after $((SECONDS - t0)) s"
}
window_of() {  # the game's window, focused
  win=$(timeout 90 xdotool search --sync --name '^Hollow Pikes$' | head -n 1)
  [ -n "$win" ] || fail "no window named Hollow Pikes within 90 s ($1)"
  timeout 10 xdotool windowfocus --sync "$win" || fail "cannot focus the window ($1)"
}

# --- the Linux build's main menu, full screen, as the reference -------------------------------
mkdir -m 700 "$work/runtime" "$work/data"
(cd "$(dirname "$linux")" && XDG_RUNTIME_DIR=$work/runtime XDG_DATA_HOME=$work/data \
  ALSOFT_DRIVERS=null exec "$linux") > "$work/linux.log" 2>&1 &
game_pid=$!
window_of "Linux"
xdotool keydown space; sleep 12; xdotool keyup space   # past the logos, whatever they take
sleep 2
import -window root "$art/menu-linux.png" 2> /dev/null || fail "import failed"
convert "$art/menu-linux.png" -resize 240x135! "$work/menu-linux.png"
xdotool key --window "$win" alt+F4
timeout 60 tail --pid="$game_pid" -f /dev/null || fail "the Linux game did not quit"
game_pid='' win=''
log "the Linux build's menu taken"

# --- the Windows game, from a folder that is not its own ---------------------------------------
cd "$work" || fail "no work folder"
ALSOFT_DRIVERS=null "$here/wine-run.sh" "$exe" > "$work/game.log" 2>&1 &
game_pid=$!
window_of "Windows"
# The window opens at 800 by 600 and goes full screen once the context is made.
full="X=0 Y=0 WIDTH=1920 HEIGHT=1080"
for ((i = 0; i < 60; ++i)); do
  g=$(xdotool getwindowgeometry --shell "$win" | tr '\n' ' ')
  [[ "$g" == *"$full"* ]] && break
  alive "going full screen"
  sleep 0.5
done
[[ "$g" == *"$full"* ]] || fail "not full screen within 30 s: $g"
log "full screen: $g"
until_like "$work/menu-linux.png" 120 "the main menu"
import -window root "$art/menu-windows.png" 2> /dev/null || fail "import failed"
# The pictures test's tolerance: mean difference under 1/255, no channel more than 4 levels off.
mae=$(metric "$art/menu-linux.png" "$art/menu-windows.png" MAE)
pae=$(metric "$art/menu-linux.png" "$art/menu-windows.png" PAE)
above "${mae:-1}" "$(awk 'BEGIN { print 1 / 255 }')" && fail "the menu differs from Linux's: mean $mae"
above "${pae:-1}" "$(awk 'BEGIN { print 4.5 / 255 }')" && fail "the menu differs from Linux's: peak $pae"
log "the main menu matches the Linux build's (mean $mae, peak $pae)"

# --- a second copy leaves at once, the first runs on ------------------------------------------
t0=$SECONDS
timeout 60 "$here/wine-run.sh" "$exe" > "$work/second.log" 2>&1
status=$?
[ "$status" -eq 0 ] || fail "the second copy exited with $status"
alive "after the second copy"
log "a second copy exited 0 after $((SECONDS - t0)) s; the first runs on"
timeout 10 xdotool windowfocus --sync "$win" || fail "cannot focus the window again"

# --- a round by keys (keypad keys by their NumLock-off names: 0 KP_Insert, 4 KP_Left) ---------
press_to Return 60 "hero selection"
press d a space Right
import -window root -quality 10 "$art/heroes.png" 2> /dev/null
press_to space 60 "spell selection"
press space s space space Down
press_to space 60 "the battle"
import -window root -quality 10 "$art/battle.png" 2> /dev/null
press 2 z 1 Up KP_Insert KP_Left
thumb "$work/battle.png"
changed "$work/battle.png" 300 "the result of round 1"
import -window root -quality 10 "$art/result.png" 2> /dev/null
thumb "$work/result.png"
changed "$work/result.png" 30 "round 2"

# --- back to the main menu and Quit there ------------------------------------------------------
press Escape w   # pause: it opens on "How to play", one above is "Go back to menu"
press_to space 60 "the main menu from the pause menu"
press Escape   # the main menu's Esc asks "Quit game?", the question opening on "Yes"
xdotool keydown space
timeout 60 tail --pid="$game_pid" -f /dev/null || fail "the game did not end within 60 s of Quit"
xdotool keyup space
wait "$game_pid"; status=$? game_pid=''
[ "$status" -eq 0 ] || fail "the game exited with status $status"
log "Quit from the main menu: status 0"
