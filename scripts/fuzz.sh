#!/usr/bin/env bash
# Builds a fuzzer and runs it for a bounded time (default 60 s), growing a
# working corpus from its seeds; exits non-zero on a finding, which is left in
# the findings folder below to be added to the target's regressions.
#   scripts/fuzz.sh [TARGET] [seconds] [more libFuzzer options...]
# TARGET:
#   vesnik_fuzz         (the default) every lookup against the plain reading;
#                       findings in build/fuzz/findings/ for fuzz/regressions/,
#                       the log in build/fuzz/fuzz.log
#   vesnik_import_fuzz  the import's vCard and CSV readers; findings in
#                       build/fuzz/import/findings/ for fuzz/import-regressions/,
#                       the log in build/fuzz/import/fuzz.log
set -euo pipefail
cd "$(dirname "$0")/.."
target=vesnik_fuzz
if [[ ${1:-} == *_fuzz ]]; then
  target=$1
  shift
fi
seconds=${1:-60}
shift || true
case $target in
  vesnik_fuzz) seeds=fuzz/corpus out=build/fuzz ;;
  vesnik_import_fuzz) seeds=fuzz/import-corpus out=build/fuzz/import ;;
  *)
    echo "fuzz: no fuzzer named $target" >&2
    exit 2
    ;;
esac

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)" --target "$target"

# The book file each input becomes is rewritten for every run: keep it in
# memory where the machine allows.
if [[ -z ${TMPDIR:-} && -w /dev/shm ]]; then
  export TMPDIR=/dev/shm
fi

work=$out/corpus
findings=$out/findings
mkdir -p "$work" "$findings"
log=$out/fuzz.log
status=0
"build/fuzz/bin/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -max_len=16384 -print_final_stats=1 -artifact_prefix="$findings/" "$@" "$work" "$seeds" \
  >"$log" 2>&1 || status=$?
if ((status != 0)); then
  tail -n 60 "$log"
  echo "fuzz: a finding (exit status $status); the input is in $findings/" >&2
  exit "$status"
fi
grep -E '^(Done|stat::)' "$log"
