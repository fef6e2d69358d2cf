#!/usr/bin/env bash
# Installs the build into a fresh prefix, then builds a host against it the
# three ways a user would (plain flags, the CMake package, pkg-config) and
# runs each.
#   check-install.sh BUILD HOST_SOURCE COMPILER
# shellcheck source=tests/install/prefix.sh
source "$(dirname "$0")/prefix.sh"
source=$2 compiler=$3
printf 'Ann,Lee,ann@example.org,K1\nBob,Ray,ANN@example.org,K2\n' >"$bin/book"
expected=$'K1 ANN@EXAMPLE.ORG\nK2 ANN@EXAMPLE.ORG'
flags=(-std=c++11 -Wall -Wextra -Wpedantic -Werror "$source/host.cpp")

"$compiler" "${flags[@]}" -I"$prefix/include" -L"$libdir" -lVesnik_API -o "$work/plain-host"
check plain "$expected" "$work/plain-host" book Ann@Example.org

cmake -S "$source" -B "$work/cmake-host" -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_CXX_COMPILER="$compiler" >/dev/null
cmake --build "$work/cmake-host" >/dev/null
check cmake-package "$expected" "$work/cmake-host/host" book Ann@Example.org

# shellcheck disable=SC2046
"$compiler" "${flags[@]}" -o "$work/pkg-config-host" \
  $(PKG_CONFIG_PATH="$libdir/pkgconfig" pkg-config --cflags --libs Vesnik_API)
check pkg-config "$expected" "$work/pkg-config-host" book Ann@Example.org
