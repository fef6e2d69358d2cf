#!/usr/bin/env bash
# Installs the build into a fresh prefix; checks that libvesnik exports
# exactly the functions vesnik.h declares; puts a book beside it as its
# default book, then builds the C host against the prefix the three ways a
# user would (plain flags, pkg-config, the CMake package) and runs each.
#   check-install.sh BUILD HOST_SOURCE C_COMPILER
# shellcheck source=tests/install/prefix.sh
source "$(dirname "$0")/../install/prefix.sh"
source=$2 compiler=$3
grep -o 'vesnik_[a-z0-9_]*(' "$prefix/include/vesnik.h" | tr -d '(' | sort >"$work/declared"
nm -D --defined-only "$libdir/libvesnik.so.1" | awk '{print $3}' | sort >"$work/exported"
diff -u "$work/declared" "$work/exported" >&2
cp "$source/book.cdir" "$libdir/AddressBook.CDIR"
expected=$(<"$source/expected.txt")
flags=(-std=c99 -Wall -Wextra -pedantic -Werror "$source/host.c")

"$compiler" "${flags[@]}" -I"$prefix/include" -L"$libdir" -lvesnik -o "$work/plain-host"
check plain "$expected" "$work/plain-host"

# shellcheck disable=SC2046
"$compiler" "${flags[@]}" -o "$work/pkg-config-host" \
  $(PKG_CONFIG_PATH="$libdir/pkgconfig" pkg-config --cflags --libs vesnik)
check pkg-config "$expected" "$work/pkg-config-host"

cmake -S "$source" -B "$work/cmake-host" -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_C_COMPILER="$compiler" >/dev/null
cmake --build "$work/cmake-host" >/dev/null
check cmake-package "$expected" "$work/cmake-host/host"
