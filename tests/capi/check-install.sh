#!/usr/bin/env bash
# Installs the build into a fresh prefix; checks that libvesnik exports
# exactly the functions vesnik.h declares; puts a book beside it as its
# default book, then builds the C host against the prefix the three ways a
# user would (plain flags, pkg-config, the CMake package) and runs each.
#   check-install.sh BUILD HOST_SOURCE C_COMPILER
set -euo pipefail
build=$1 source=$2 compiler=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
libdir=$(dirname "$(find "$prefix" -name 'libvesnik.so.1' -print -quit)")
grep -o 'vesnik_[a-z_]*(' "$prefix/include/vesnik.h" | tr -d '(' | sort >"$work/declared"
nm -D --defined-only "$libdir/libvesnik.so.1" | awk '{print $3}' | sort >"$work/exported"
diff -u "$work/declared" "$work/exported" >&2
cp "$source/book.cdir" "$libdir/AddressBook.CDIR"
flags=(-std=c99 -Wall -Wextra -pedantic -Werror)

check() {
  local name=$1 program=$2
  if ! LD_LIBRARY_PATH="$libdir" "$program" | diff -u "$source/expected.txt" - >&2; then
    echo "$name host printed otherwise" >&2
    exit 1
  fi
  echo "$name host: ok"
}

"$compiler" "${flags[@]}" "$source/host.c" -I"$prefix/include" -L"$libdir" -lvesnik \
  -o "$work/plain-host"
check plain "$work/plain-host"

# shellcheck disable=SC2046
"$compiler" "${flags[@]}" "$source/host.c" -o "$work/pkg-config-host" \
  $(PKG_CONFIG_PATH="$libdir/pkgconfig" pkg-config --cflags --libs vesnik)
check pkg-config "$work/pkg-config-host"

cmake -S "$source" -B "$work/cmake-host" -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_C_COMPILER="$compiler" >/dev/null
cmake --build "$work/cmake-host" >/dev/null
check cmake-package "$work/cmake-host/host"
