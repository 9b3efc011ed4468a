#!/usr/bin/env bash
# The simulator's pictures in docs/pictures/ are what scripts/make-pictures.sh would write now:
# every picture scenario is run again and each picture compared with the one in docs/, pixel for
# pixel; a picture in docs/ that no scenario writes any more fails too.
set -u
sim=$1
python=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
for scn in "$root"/simulator/pictures/*.scn; do
  "$sim" "$scn" > /dev/null || { echo "pictures: $scn failed"; exit 1; }
done
"$python" - "$work" "$root/docs/pictures" <<'PY'
import os, sys
from PIL import Image, ImageChops
made, docs = sys.argv[1], sys.argv[2]
names = sorted(n for n in os.listdir(made) if n.endswith(".png"))
kept = sorted(n for n in os.listdir(docs) if n.endswith(".png"))
bad = []
for n in names:
    if n not in kept:
        bad.append(f"{n}: not in docs/pictures (run scripts/make-pictures.sh)")
        continue
    a, b = Image.open(os.path.join(made, n)).convert("RGB"), Image.open(os.path.join(docs, n)).convert("RGB")
    if a.size != b.size:
        bad.append(f"{n}: {a.size} now, {b.size} in docs/pictures")
    elif ImageChops.difference(a, b).getbbox() is not None:
        bad.append(f"{n}: differs in {ImageChops.difference(a, b).getbbox()} (run scripts/make-pictures.sh)")
for n in kept:
    if n not in names:
        bad.append(f"{n}: in docs/pictures, but no picture scenario writes it")
for line in bad:
    print(line)
print(f"pictures: {len(names) - len([b for b in bad if not b.endswith('writes it')])} passed, {len(bad)} failed")
sys.exit(1 if bad else 0)
PY
