#!/usr/bin/env bash
# The command's lookups that match nothing, as whole processes, with the book
# out of the page cache before every run, against cat reading it to
# /dev/null. The book is vesnik-genbook's of N contacts (1,000,000 unless
# given); each figure is RUNS runs (11 unless given), timed by hyperfine.
#   bench/cold-cache.sh BUILD_DIR [N] [RUNS]    BUILD_DIR: a release build
set -euo pipefail
build=$(cd "$1" && pwd)
contacts=${2:-1000000}
runs=${3:-11}
cd "$(dirname "$0")/.."
scripts/install-deps.sh hyperfine

# A file system of its own, not tmpfs: a book in memory cannot be evicted.
work=$(mktemp -d --tmpdir="${VESNIK_COLD_DIR:-/var/tmp}")
trap 'rm -rf "$work"' EXIT
book=$work/book.cdir
"$build/bin/vesnik-genbook" "$contacts" "$book"

vesnik="$build/bin/vesnik --book $book"
# dd with iflag=nocache and no count drops the whole file from the page
# cache (POSIX_FADV_DONTNEED); pages another process holds stay.
evict="dd if=$book iflag=nocache count=0 status=none"
# -N: no shell between hyperfine and the command; output goes to /dev/null.
# A lookup that finds nothing exits 1, as it should.
hyperfine -N --ignore-failure --runs "$runs" --prepare "$evict" --export-json "$work/cold.json" \
  -n "cat BOOK > /dev/null" "cat $book" \
  -n "vesnik get, no match" "$vesnik get C9999999" \
  -n "vesnik email, no match" "$vesnik email no.such.person@example.com" \
  -n "vesnik query, no match" "$vesnik query zqxjw" >&2

python3 - "$work/cold.json" <<'PY'
import json, sys
results = json.load(open(sys.argv[1]))["results"]
cat = results[0]["median"]
print("| Command | Median | × cat |")
print("|---|---|---|")
for r in results:
    print(f"| `{r['command']}` | {r['median'] * 1000:.1f} ms | {r['median'] / cat:.2f} |")
PY
