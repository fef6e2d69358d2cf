#!/usr/bin/env bash
# Installs the build into a fresh prefix, then builds a host against it the
# three ways a user would (plain flags, the CMake package, pkg-config) and
# runs each.
set -euo pipefail
build=$1 source=$2 compiler=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
libdir=$(dirname "$(find "$prefix" -name 'libVesnik_API.so' -print -quit)")
printf 'Ann,Lee,ann@example.org,K1\nBob,Ray,ANN@example.org,K2\n' >"$work/book"
expected=$'K1 ANN@EXAMPLE.ORG\nK2 ANN@EXAMPLE.ORG'

check() {
  local name=$1 program=$2 output
  output=$(LD_LIBRARY_PATH="$libdir" "$program" "$work/book" Ann@Example.org)
  if [[ $output != "$expected" ]]; then
    echo "$name host printed: $output" >&2
    exit 1
  fi
  echo "$name host: ok"
}

"$compiler" -std=c++11 -Wall -Wextra -Wpedantic -Werror "$source/host.cpp" \
  -I"$prefix/include" -L"$libdir" -lVesnik_API -o "$work/plain-host"
check plain "$work/plain-host"

cmake -S "$source" -B "$work/cmake-host" -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_CXX_COMPILER="$compiler" >/dev/null
cmake --build "$work/cmake-host" >/dev/null
check cmake-package "$work/cmake-host/host"

# shellcheck disable=SC2046
"$compiler" -std=c++11 "$source/host.cpp" -o "$work/pkg-config-host" \
  $(PKG_CONFIG_PATH="$libdir/pkgconfig" pkg-config --cflags --libs Vesnik_API)
check pkg-config "$work/pkg-config-host"
