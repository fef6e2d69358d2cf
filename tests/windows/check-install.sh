#!/usr/bin/env bash
# Installs the Windows build into a fresh prefix, builds a host against its
# header and import library the ways a user would (plain flags, the CMake
# package) and runs each beside the installed DLL.
#   check-install.sh BUILD HOST_SOURCE COMPILER TOOLCHAIN EMULATOR...
# shellcheck disable=SC2034 # read by prefix.sh
emulator=("${@:5}")
# shellcheck source=tests/install/prefix.sh
source "$(dirname "$0")/../install/prefix.sh"
source=$2 compiler=$3 toolchain=$4
printf 'Ann,Lee,ann@example.org,K1\r\nBob,Ray,ANN@example.org,K2\r\n' >"$bin/book"
expected=$'K1 ANN@EXAMPLE.ORG\nK2 ANN@EXAMPLE.ORG'

"$compiler" -std=c++11 -Wall -Wextra -Wpedantic -Werror "$source/host.cpp" \
  -I"$prefix/include" -L"$prefix/lib" -lVesnik_API -o "$work/plain-host.exe"
check plain "$expected" "$work/plain-host.exe" book Ann@Example.org

cmake -S "$source" -B "$work/cmake-host" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release -DVesnik_API_DIR="$prefix/lib/cmake/Vesnik_API" >/dev/null
cmake --build "$work/cmake-host" >/dev/null
check cmake-package "$expected" "$work/cmake-host/host.exe" book Ann@Example.org
