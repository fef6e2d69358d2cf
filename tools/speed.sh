#!/usr/bin/env bash
# The vesnik command's speed as whole processes, timed by hyperfine on a book
# of N contacts (1,000,000 unless given) that vesnik-genbook writes and that
# is read once first, so that it is in the page cache:
#   - vesnik query with one and with two words that match nothing, against
#     rg -i -F -c with the one word;
#   - vesnik ids, and vesnik get with 100 identifiers, against the same
#     lookup made by a bare C host, once in a process of its own;
#   - a mail client's ranked query over two copies of the book, against the
#     same over one, and --limit 5 where the first match has no e-mail;
# then, when the build has it, vesnik-capi-bench: the lookups in-process.
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
cp "$book" "$work/copy.cdir"
{ echo "Aab,Noemail"; cat "$book"; } >"$work/first-without-email.cdir"
cat "$book" "$work/copy.cdir" >/dev/null

# lookup BOOK all | lookup BOOK ids ID...: one lookup, its list freed, nothing printed.
cat >"$work/lookup.c" <<'C'
#include <string.h>
#include "vesnik.h"
int main(int argc, char** argv) {
    vesnik_list* list = NULL;
    int status = strcmp(argv[2], "all") == 0
                     ? vesnik_all(argv[1], &list)
                     : vesnik_find_ids(argv[1], (const char* const*)argv + 3, (size_t)argc - 3,
                                       0, &list);
    vesnik_list_free(list);
    return status;
}
C
cc -O2 -I"$build/capi/include" "$work/lookup.c" -L"$build/bin" -lvesnik -Wl,-rpath,"$build/bin" -o "$work/lookup"

vesnik="$build/bin/vesnik --book $book"
# No contact of vesnik-genbook's holds these; the other word is a family name.
miss=zqxjw
ids=$(awk -v n="$contacts" 'BEGIN { for (i = 1; i <= 100; ++i) printf " C%07d", int(i * n / 101) }')
# -N: no shell between hyperfine and the command; the output goes to
# /dev/null. A search that finds nothing exits 1, as it should.
hyperfine -N --ignore-failure --warmup 3 --min-runs 15 --export-json "$work/figures.json" \
  -n "rg -i -F -c $miss BOOK" "rg -i -F -c $miss $book" \
  -n "vesnik query $miss" "$vesnik query $miss" \
  -n "vesnik query $miss qzjxv" "$vesnik query $miss qzjxv" \
  -n "vesnik query dvorak $miss" "$vesnik query dvorak $miss" \
  -n "vesnik_all, a bare host" "$work/lookup $book all" \
  -n "vesnik ids" "$vesnik ids" \
  -n "vesnik_find_ids of 100, a bare host" "$work/lookup $book ids$ids" \
  -n "vesnik get (100 identifiers)" "$vesnik get$ids" \
  -n "vesnik query --format mutt ple, one book" "$vesnik query --format mutt --limit 5 ple" \
  -n "the same, two books" "$vesnik --book $work/copy.cdir query --format mutt --limit 5 ple" \
  -n "vesnik query --format mutt --limit 5 a, the first match without e-mail" \
  "$build/bin/vesnik --book $work/first-without-email.cdir query --format mutt --limit 5 a" >&2

# Medians of the wall-clock time, and the mean CPU time, which a busy machine
# moves less; each against the figure it is compared with.
python3 - "$work/figures.json" <<'PY'
import json, sys
results = json.load(open(sys.argv[1]))["results"]
against = {1: 0, 2: 0, 3: 0, 5: 4, 7: 6, 9: 8}
print("| Command | Median | CPU | Against | Median against | CPU against |")
print("|---|---|---|---|---|---|")
for i, r in enumerate(results):
    cpu = r["user"] + r["system"]
    row = f"| `{r['command']}` | {r['median'] * 1000:.1f} ms | {cpu * 1000:.1f} ms |"
    if i in against:
        b = results[against[i]]
        # Two books are weighed against one book twice.
        times = 2 if i == 9 else 1
        row += (f" `{b['command']}` | {r['median'] / b['median'] / times:.2f} |"
                f" {cpu / (b['user'] + b['system']) / times:.2f} |")
    else:
        row += " | | |"
    print(row)
PY
if [[ -x $build/bin/vesnik-capi-bench ]]; then
  echo
  "$build/bin/vesnik-capi-bench" "$book" --runs 15
fi
