#!/usr/bin/env bash
# Builds the fuzzers (the engine's queries; the import's vCard and CSV
# readers) and runs them for a bounded time in all (default 60 s), shared
# among the targets by the weights below, each growing a working corpus from
# its seeds; exits non-zero on a finding, which is left in build/fuzz/findings/
# to be added to the target's regressions. The logs are in build/fuzz/.
#   scripts/fuzz.sh [seconds] [target] [more libFuzzer options...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
only=${2:-}
shift $(($# < 2 ? $# : 2))

# target:weight:seed folder. The engine's queries are the most intricate
# code, so they get most of the time.
targets=(vesnik_fuzz:2:fuzz/corpus vesnik_import_fuzz:1:fuzz/import-corpus)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

findings=build/fuzz/findings
mkdir -p "$findings"
total=0
for entry in "${targets[@]}"; do
  IFS=: read -r name weight _ <<<"$entry"
  [[ -z $only || $only == "$name" ]] && total=$((total + weight))
done
((total > 0)) || { echo "fuzz: no target named $only" >&2; exit 2; }

for entry in "${targets[@]}"; do
  IFS=: read -r name weight seeds <<<"$entry"
  [[ -z $only || $only == "$name" ]] || continue
  share=$((seconds * weight / total))
  work=build/fuzz/corpus-$name
  log=build/fuzz/$name.log
  mkdir -p "$work"
  status=0
  build/fuzz/bin/"$name" -max_total_time="$((share > 0 ? share : 1))" -timeout=10 \
    -rss_limit_mb=2048 -max_len=16384 -print_final_stats=1 -artifact_prefix="$findings/" \
    "$@" "$work" "$seeds" >"$log" 2>&1 || status=$?
  if ((status != 0)); then
    tail -n 60 "$log"
    echo "fuzz: $name found something (exit status $status); the input is in $findings/" >&2
    exit "$status"
  fi
  echo "== $name, $share s"
  grep -E '^(Done|stat::)' "$log"
done
