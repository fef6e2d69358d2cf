#!/usr/bin/env bash
# The vesnik command's speed as whole processes, timed by hyperfine on a book
# of N contacts (1,000,000 unless given) that vesnik-genbook writes and that
# is read once first, so that it is in the page cache:
#   - vesnik query with one and with two words that match nothing, against
#     rg -i -F -c with the one word;
#   - vesnik ids, and vesnik get with 100 identifiers;
# then, when the build has it, vesnik-capi-bench for the same lookups made
# in-process.
#   tools/speed.sh BUILD_DIR [N]    BUILD_DIR: a release build with the bench
set -euo pipefail
build=$(cd "$1" && pwd)
contacts=${2:-1000000}
cd "$(dirname "$0")/.."
scripts/install-deps.sh hyperfine ripgrep

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
book=$work/book.cdir
"$build/bin/vesnik-genbook" "$contacts" "$book"
cat "$book" >/dev/null

vesnik="$build/bin/vesnik --book $book"
# No contact of vesnik-genbook's holds these; the common word is a family name.
miss=zqxjw
ids=$(awk -v n="$contacts" 'BEGIN { for (i = 1; i <= 100; ++i) printf " C%07d", int(i * n / 101) }')
# -N: no shell between hyperfine and the command; the output goes to
# /dev/null. A search that finds nothing exits 1, as it should.
hyperfine -N --ignore-failure --warmup 3 --min-runs 15 --export-json "$work/figures.json" \
  -n "rg -i -F -c $miss BOOK" "rg -i -F -c $miss $book" \
  -n "vesnik query $miss" "$vesnik query $miss" \
  -n "vesnik query $miss qzjxv" "$vesnik query $miss qzjxv" \
  -n "vesnik query dvorak $miss" "$vesnik query dvorak $miss" \
  -n "vesnik ids" "$vesnik ids" \
  -n "vesnik get (100 identifiers)" "$vesnik get$ids" >&2
# Medians, and each against the first (rg).
python3 - "$work/figures.json" <<'PY'
import json, sys
results = json.load(open(sys.argv[1]))["results"]
first = results[0]["median"]
print("| Command | Median | Against rg |\n|---|---|---|")
for r in results:
    print(f"| `{r['command']}` | {r['median'] * 1000:.1f} ms | {r['median'] / first:.2f} |")
PY
if [[ -x $build/bin/vesnik-capi-bench ]]; then
  echo
  "$build/bin/vesnik-capi-bench" "$book" --runs 15
fi
