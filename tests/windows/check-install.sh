#!/usr/bin/env bash
# Installs the Windows build into a fresh prefix, builds a host against its
# header and import library the ways a user would (plain flags, the CMake
# package), puts each beside the installed DLL and runs it there. Only what
# the install shipped is on the DLL search path.
#   check-install.sh BUILD HOST_SOURCE COMPILER TOOLCHAIN EMULATOR...
set -euo pipefail
build=$1 source=$2 compiler=$3 toolchain=$4
shift 4
emulator=("$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
bin=$prefix/bin
printf 'Ann,Lee,ann@example.org,K1\r\nBob,Ray,ANN@example.org,K2\r\n' >"$bin/book"
expected=$'K1 ANN@EXAMPLE.ORG\nK2 ANN@EXAMPLE.ORG'

check() {
  local name=$1 program=$2 output
  cp "$program" "$bin/$name.exe"
  if ! output=$(cd "$bin" && "${emulator[@]}" "$name.exe" book Ann@Example.org); then
    echo "$name host failed to run beside the installed DLL: $output" >&2
    exit 1
  fi
  if [[ $output != "$expected" ]]; then
    echo "$name host printed: $output" >&2
    exit 1
  fi
  echo "$name host: ok"
}

"$compiler" -std=c++11 -Wall -Wextra -Wpedantic -Werror "$source/host.cpp" \
  -I"$prefix/include" -L"$prefix/lib" -lVesnik_API -o "$work/plain-host.exe"
check plain "$work/plain-host.exe"

cmake -S "$source" -B "$work/cmake-host" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release -DVesnik_API_DIR="$prefix/lib/cmake/Vesnik_API" >/dev/null
cmake --build "$work/cmake-host" >/dev/null
check cmake-package "$work/cmake-host/host.exe"
