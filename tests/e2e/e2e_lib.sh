# e2e_lib.sh - what the end-to-end runs share: screenshots compared as thumbnails, keys held long
# enough for a slow frame to see them, waiting for the screen to change. Sourced; the caller sets
# work (a scratch folder), game_pid, started (SECONDS at the start), e2e_tag and defines fail.

log() { printf '[%s %3ds] %s\n' "$e2e_tag" $((SECONDS - started)) "$*"; }
thumb() { import -window root -resize 240x135! "$1" 2> /dev/null || fail "import failed"; }
grab() { import -window root -quality 10 "$1" 2> /dev/null || fail "import failed"; }
metric() { compare -metric "$3" "$1" "$2" null: 2>&1 | sed -n 's/.*(\([0-9.e-]*\)).*/\1/p'; }
differ() { metric "$1" "$2" RMSE; }  # 0 the same .. 1
above() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }
alive() { kill -0 "$game_pid" 2> /dev/null || fail "the game died ($1)"; }

# changed REF SECONDS WHAT [now]: polls until the screen differs from thumbnail REF, then gives it
# two seconds to settle; with "now" it returns at the change, its capture in $work/caught.png.
changed() {
  local t0=$SECONDS d=0
  until above "${d:-0}" 0.08; do
    alive "waiting for $3"
    [ $((SECONDS - t0)) -ge "$2" ] && fail "no $3 within $2 s (difference $d)"
    if [ "${4:-}" = now ]; then
      grab "$work/caught.png" && convert "$work/caught.png" -resize 240x135! "$work/now.png"
    else
      sleep 0.4 && thumb "$work/now.png"
    fi
    d=$(differ "$1" "$work/now.png")
  done
  [ "${4:-}" = now ] || sleep 2
  log "$3 after $((SECONDS - t0)) s"
}

# Keys: a sanitized frame on a busy machine takes a few hundred milliseconds, and a key down and
# up within one frame is never seen; so keys are held longer, or until the screen changed.
hold=${HP_E2E_HOLD:-0.35}
press() {
  for k in "$@"; do
    xdotool keydown "$k" && sleep "$hold" && xdotool keyup "$k" && sleep "$hold" \
      || fail "xdotool could not send $k"
  done
}
press_to() {  # press_to KEY SECONDS WHAT: holds KEY down until the screen has changed to WHAT
  thumb "$work/ref.png"
  xdotool keydown "$1" || fail "xdotool could not send $1"
  changed "$work/ref.png" "$2" "$3"
  xdotool keyup "$1"
  sleep "$hold"
}
