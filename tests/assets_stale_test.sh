#!/usr/bin/env bash
# Fails when data/ is not what assets/build makes from the sources: a file that differs, a
# generated file missing from data/, or a file in data/ that nothing generates. Files whose bytes
# differ are compared decoded (another zlib packs the same pixels differently; another CPU may
# round a sample's last bit).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$root/assets/build" "$tmp/gen" > "$tmp/build.log" 2>&1 || { echo "assets/build failed:"; cat "$tmp/build.log"; exit 1; }

list() { (cd "$1" && find . -maxdepth 1 -name '*.png' && find ./Sound -maxdepth 1 -name '*.wav' 2>/dev/null) | sed 's|^\./||' | sort; }
same_decoded() {
  if [[ $1 == *.png ]]; then
    cmp -s <(convert "$1" -depth 8 rgba:- 2>&1) <(convert "$2" -depth 8 rgba:- 2>&1)
  else
    /usr/bin/python3 -c 'import sys, wave, numpy as np
def s(p):
    with wave.open(p) as w: return w.getparams()[:3], np.frombuffer(w.readframes(w.getnframes()), "<i2").astype(int)
(ha, a), (hb, b) = s(sys.argv[1]), s(sys.argv[2])
sys.exit(not (ha == hb and len(a) == len(b) and np.max(np.abs(a - b), initial=0) <= 1))' "$1" "$2"
  fi
}

problems=()
while read -r f; do
  if [ ! -e "$root/data/$f" ]; then
    problems+=("data/$f: generated but not in data/ (run assets/build and commit it)")
  elif ! cmp -s "$tmp/gen/$f" "$root/data/$f" && ! same_decoded "$tmp/gen/$f" "$root/data/$f"; then
    problems+=("data/$f: differs from its source (run assets/build and commit it)")
  fi
done < <(list "$tmp/gen")
while read -r f; do
  [ -e "$tmp/gen/$f" ] || problems+=("data/$f: no source makes it (add a source or remove it)")
done < <(list "$root/data")

if [ ${#problems[@]} -gt 0 ]; then
  echo "data/ is stale: ${#problems[@]} problem(s)"
  printf '  %s\n' "${problems[@]}"
  exit 1
fi
echo "data/ matches its sources ($(list "$tmp/gen" | wc -l) files)"
