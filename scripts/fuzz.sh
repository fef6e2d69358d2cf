#!/usr/bin/env bash
# Builds the fuzzer and runs it for a bounded time (default 60 s), growing
# a working corpus from the seeds; exits non-zero on a finding, which is left
# in build/fuzz/findings/ to be added to fuzz/regressions/. The whole log is
# in build/fuzz/fuzz.log.
#   scripts/fuzz.sh [seconds] [more libFuzzer options...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

# The book file each input becomes is rewritten for every run: keep it in
# memory where the machine allows.
if [[ -z ${TMPDIR:-} && -w /dev/shm ]]; then
  export TMPDIR=/dev/shm
fi

work=build/fuzz/corpus
findings=build/fuzz/findings
mkdir -p "$work" "$findings"
log=build/fuzz/fuzz.log
status=0
build/fuzz/bin/vesnik_fuzz -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -max_len=16384 -print_final_stats=1 -artifact_prefix="$findings/" "$@" "$work" fuzz/corpus \
  >"$log" 2>&1 || status=$?
if ((status != 0)); then
  tail -n 60 "$log"
  echo "fuzz: a finding (exit status $status); the input is in $findings/" >&2
  exit "$status"
fi
grep -E '^(Done|stat::)' "$log"
