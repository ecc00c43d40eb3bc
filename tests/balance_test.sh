#!/usr/bin/env bash
# The balance lab run twice with one seed: both runs exit 0 and print the same report, whose
# table has a row of four percentages for each hero.
# Usage: balance_test.sh BUILD_DIR   (BUILD_DIR holds hollow-pikes with data/ beside it)
set -uo pipefail

game=${1:?usage: balance_test.sh BUILD_DIR}/hollow-pikes
work=$(mktemp -d /tmp/hp-balance.XXXXXX)
trap 'rm -rf "$work"' EXIT

# Side by side: each run is long under the sanitizers.
"$game" --balance 1 --seed 7 > "$work/a" 2> "$work/a.err" & a=$!
"$game" --balance 1 --seed 7 > "$work/b" 2> "$work/b.err" & b=$!
wait $a; status_a=$?
wait $b; status_b=$?

fail() {
  echo "BALANCE FAILURE: $*" >&2
  tail -n 20 "$work/a.err" "$work/b.err" >&2
  exit 1
}
[ $status_a -eq 0 ] && [ $status_b -eq 0 ] || fail "exit statuses $status_a and $status_b"
cmp -s "$work/a" "$work/b" || { diff "$work/a" "$work/b" >&2; fail "two runs with seed 7 differ"; }
cell='[0-9]+% (\([0-9]+ draws?\))?'
for hero in Knight Mage Orc Druid; do
  grep -Eq "^$hero +($cell *){4}\$" "$work/a" || { cat "$work/a" >&2; fail "no row of four percentages for $hero"; }
done
echo "balance: same report twice, four heroes with their percentages"
