# shellcheck shell=bash
# Sourced by the install checks, the build tree first among their arguments:
# installs it into a fresh prefix, removed on exit. With emulator set, hosts
# are Windows programs: each is put beside the installed DLLs and run there,
# so that only what the install shipped is on the DLL search path.
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$1" --prefix "$prefix" >/dev/null
bin=$prefix/bin
libdir=$(dirname "$(find "$prefix" -name 'libvesnik.*' -print -quit)")
mkdir -p "$bin"

# check NAME EXPECTED PROGRAM [ARGUMENT...]: runs a host from the prefix's
# bin, which must succeed and print EXPECTED.
check() {
  local name=$1 expected=$2 program=$3 output
  shift 3
  local run=(env LD_LIBRARY_PATH="$libdir" "$program")
  if [[ -v emulator ]]; then
    cp "$program" "$bin/$name.exe"
    run=("${emulator[@]}" "$name.exe")
  fi
  if ! output=$(cd "$bin" && "${run[@]}" "$@") ||
    ! diff -u <(printf '%s\n' "$expected") - <<<"$output" >&2; then
    echo "$name host failed, or printed otherwise: $output" >&2
    exit 1
  fi
  echo "$name host: ok"
}
