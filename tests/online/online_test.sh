#!/usr/bin/env bash
# Two copies of the game on 127.0.0.1 play one whole match, the computer on both seats, unseen
# and fast, each with a runtime folder of its own; with "relay" through online_relay, which
# holds every datagram 50 to 150 ms, drops 5 % and sends 5 % twice. Both must end the match
# with the same line and exit 0.
# Usage: online_test.sh BUILD_DIR direct|relay   (BUILD_DIR holds hollow-pikes and tests/)
set -uo pipefail

build=$(cd "${1:?usage: online_test.sh BUILD_DIR direct|relay}" && pwd) || exit 1
mode=${2:-direct}
work=$(mktemp -d /tmp/hp-online.XXXXXX)
pids=()
trap 'kill "${pids[@]}" 2> /dev/null; wait; rm -rf "$work"' EXIT

fail() {
  echo "ONLINE FAILURE ($mode): $*" >&2
  for f in "$work"/*.err; do echo "--- $f"; tail -n 15 "$f"; done >&2
  exit 1
}

# waitfor FILE PATTERN WHAT: the line the program prints once it listens, as soon as it is there.
waitfor() {
  for _ in $(seq 300); do
    grep -q "$2" "$1" 2> /dev/null && return 0
    sleep 0.1
  done
  fail "no $3"
}

game() {  # game NAME ARGS...: one copy in the background with folders of its own
  local name=$1; shift
  mkdir -m 700 "$work/$name-runtime"
  XDG_RUNTIME_DIR=$work/$name-runtime XDG_DATA_HOME=$work/$name-data \
    "$build/hollow-pikes" "$@" --fast --matches 1 > "$work/$name.out" 2> "$work/$name.err" &
  pids+=($!)
}

game host --host 0 --computer=1 --seed 3
waitfor "$work/host.err" 'hosting on UDP port' "host listening"
port=$(sed -n 's/.*hosting on UDP port \([0-9]*\).*/\1/p' "$work/host.err")
if [ "$mode" = relay ]; then
  "$build/tests/online_relay" --to "$port" --delay-min 50 --delay-max 150 --loss 0.05 \
    --duplicate 0.05 --seed 7 --idle 20 > "$work/relay.out" 2> "$work/relay.err" &
  pids+=($!)
  waitfor "$work/relay.out" 'relay listening' "relay listening"
  port=$(sed -n 's/.*port \([0-9]*\).*/\1/p' "$work/relay.out")
fi
game joiner --join "127.0.0.1:$port" --computer=2 --seed 4

wait "${pids[0]}"; host=$?
wait "${pids[-1]}"; joiner=$?
[ "$host" -eq 0 ] && [ "$joiner" -eq 0 ] || fail "exit statuses $host (host) and $joiner (joiner)"
grep -q '^online: match 1: ' "$work/host.out" || fail "no end line from the host"
cmp -s "$work/host.out" "$work/joiner.out" || { diff "$work/host.out" "$work/joiner.out" >&2; fail "the end lines differ"; }
grep -qE 'ERROR: (Address|Leak)Sanitizer|runtime error:' "$work"/*.err && fail "a sanitizer report"
echo "online ($mode): $(cat "$work/host.out") on both machines"
