#!/usr/bin/env bash
# Fails when the committed pictures and sounds in data/ are not what assets/build makes from
# their sources: a file that differs, a generated file missing from data/, or a data/ picture
# or sound that nothing generates. The generators are deterministic, so equal bytes are the
# normal case; a file whose bytes differ is decoded and compared before it counts as stale
# (another zlib may pack the same pixels differently).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

if ! "$root/assets/build" "$tmp/gen" > "$tmp/build.log" 2>&1; then
  echo "assets/build failed:"
  cat "$tmp/build.log"
  exit 1
fi

problems=()
differ=()
list() { (cd "$1" && find . -maxdepth 1 -name '*.png' && find ./Sound -maxdepth 1 -name '*.wav' 2>/dev/null) | sed 's|^\./||' | sort; }

while read -r f; do
  if [ ! -e "$root/data/$f" ]; then
    problems+=("data/$f: generated but not in data/ (run assets/build and commit it)")
  elif ! cmp -s "$tmp/gen/$f" "$root/data/$f"; then
    differ+=("$f")
  fi
done < <(list "$tmp/gen")

while read -r f; do
  [ -e "$tmp/gen/$f" ] || problems+=("data/$f: no source makes it (add a source or remove it)")
done < <(list "$root/data")

# Decoded comparison of the files whose bytes differ; prints the ones that really changed.
cat > "$tmp/decoded_diff.py" <<'EOF'
import subprocess, sys, wave
import numpy as np

def pixels(path):
    size = subprocess.run(["identify", "-format", "%w %h", path], capture_output=True, text=True)
    raw = subprocess.run(["convert", path, "-depth", "8", "rgba:-"], capture_output=True)
    if size.returncode or raw.returncode:
        return None
    w, h = map(int, size.stdout.split()[:2])
    if len(raw.stdout) != w * h * 4:
        return None
    return np.frombuffer(raw.stdout, np.uint8).astype(int).reshape(h, w, 4)

def samples(path):
    try:
        with wave.open(path) as w:
            head = (w.getnchannels(), w.getsampwidth(), w.getframerate())
            return head, np.frombuffer(w.readframes(w.getnframes()), "<i2").astype(int)
    except (wave.Error, EOFError, OSError):
        return None

gen, data = sys.argv[1], sys.argv[2]
for f in sys.argv[3:]:
    a, b = gen + "/" + f, data + "/" + f
    if f.endswith(".png"):
        pa, pb = pixels(a), pixels(b)
        same = pa is not None and pb is not None and pa.shape == pb.shape and np.array_equal(pa, pb)
    else:
        # One step of rounding is allowed for another CPU's last floating-point bit.
        sa, sb = samples(a), samples(b)
        same = sa is not None and sb is not None and sa[0] == sb[0] and \
            len(sa[1]) == len(sb[1]) and np.max(np.abs(sa[1] - sb[1]), initial=0) <= 1
    if not same:
        print(f)
EOF

if [ ${#differ[@]} -gt 0 ]; then
  if ! changed=$(/usr/bin/python3 "$tmp/decoded_diff.py" "$tmp/gen" "$root/data" "${differ[@]}"); then
    echo "could not compare the decoded files: ${differ[*]}"
    exit 1
  fi
  while read -r f; do
    [ -n "$f" ] && problems+=("data/$f: differs from its source (run assets/build and commit it)")
  done <<< "$changed"
fi

if [ ${#problems[@]} -gt 0 ]; then
  echo "data/ is stale: ${#problems[@]} problem(s)"
  printf '  %s\n' "${problems[@]}"
  exit 1
fi
echo "data/ matches its sources ($(list "$tmp/gen" | wc -l) files)"
