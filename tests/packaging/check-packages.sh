#!/usr/bin/env bash
# Builds the Debian packages (preset "package") and the Windows archive (from
# a windows-x86 build, built already), and checks them as a user meets them:
# names, files (debian-files.txt, windows-files.txt), dependencies and
# lintian; each development package alone, with a host built against it; the
# archive's host and command under Wine. With CI set, also installs the
# packages system-wide, uses them, and purges them again, whatever fails.
#   check-packages.sh [WINDOWS_BUILD]     (default: build/windows-x86)
set -euo pipefail
cd "$(dirname "$0")/../.."
windows_build=${1:-build/windows-x86}
work=$(mktemp -d)
sudo=()
((EUID == 0)) || sudo=(sudo)

installed() { dpkg-query -W -f='${db:Status-Abbrev}${Package}:${Architecture}\n' | sed -n 's/^.i.//p' | sort; }

# Leaves the machine as it was: the book taken away, and every package that
# the install added, ours and what they pulled in, purged. (apt-get's
# --autoremove alone would also take packages that were unneeded before.)
clean_up() {
  if [[ -e $work/before ]]; then
    "${sudo[@]}" rm -f "/$libdir/AddressBook.CDIR"
    installed | comm -13 "$work/before" - |
      xargs -r "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq >/dev/null
  fi
  rm -rf "$work"
}
trap clean_up EXIT

fail() {
  echo "packages: $*" >&2
  exit 1
}

# Runs a command, showing what it printed only when it fails.
quietly() {
  "$@" >"$work/log" 2>&1 || { cat "$work/log" >&2; fail "$* failed"; }
}

# expect PATTERN COMMAND...: what the command prints must match the pattern.
expect() {
  got=$("${@:2}") || true
  # shellcheck disable=SC2053
  [[ $got == $1 ]] || fail "$(printf '%q ' "${@:2}")printed '$got', not '$1'"
}

# host_prints EXPECTED HOST...: a host run with the sample book and an
# address (the C host ignores both and reads its book beside the library)
# prints what the file EXPECTED holds.
sample=tools/sample/AddressBook.CDIR
host_prints() {
  "${@:2}" "$sample" Ada.Quist@example.net | diff -u "$1" - >&2 || fail "${*:2}: output differs as above"
}
book_dir=tests/capi/host
cxx_expected=$work/cxx-expected.txt
echo "C1007 ADA.QUIST@EXAMPLE.NET" >"$cxx_expected"

version=$(dpkg-parsechangelog -l packaging/debian/changelog -S Version)
libdir=usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)
upstream=${version%-*}
deb() { echo "build/package/${1}_${version}_${2:-$(dpkg --print-architecture)}.deb"; }

echo "-- the Debian packages"
quietly cmake --preset package
quietly cmake --build --preset package -j 2
rm -f build/package/*.deb
quietly cpack --preset package
debs=(build/package/*.deb)
for file in "${debs[@]}"; do
  package=$(dpkg-deb -f "$file" Package)
  # The name dpkg-name would give it.
  [[ $file == $(deb "$package" "$(dpkg-deb -f "$file" Architecture)") ]] || fail "$file is misnamed"
  dpkg-deb --fsys-tarfile "$file" | tar -t | grep -v '/$' | sed "s|^\.|$package |"
  dpkg-deb -x "$file" "$work/all"
done | sort >"$work/packaged"
sed -e '/^#/d' -e "s|@libdir@|$libdir|g; s|@upstream@|$upstream|g" tests/packaging/debian-files.txt |
  sort | diff -u - "$work/packaged" >&2 || fail "the packages' files differ from debian-files.txt"
# Every file the build installs is in a package.
DESTDIR=$work/installed cmake --install build/package >/dev/null
diff -u <(cut -d' ' -f2 "$work/packaged" | sort) <(find "$work/installed" ! -type d -printf '/%P\n' | sort) >&2 ||
  fail "the install and the packages differ"

depends() { dpkg-deb -f "$(deb "$@")" Depends; }
expect "libvesnik1 (>= $version), libc6 *" depends vesnik
expect "*libvesnik1 (>= $version)*" depends python3-vesnik all
# runtime:development:library:host:expected output:what else development needs
for pair in libvesnik-api1:libvesnik-api-dev:libVesnik_API:tests/install/host:$cxx_expected: \
  "libvesnik1:libvesnik-dev:libvesnik:tests/capi/host:$book_dir/expected.txt:, libutf8proc-dev"; do
  IFS=: read -r runtime development library host expected also_needs <<<"$pair"
  expect "libc6 *" depends "$runtime"
  expect "$runtime (= $version)$also_needs" depends "$development"
  expect "$library 1 $runtime (>= $version)" dpkg-deb -I "$(deb "$runtime")" shlibs
  expect "activate-noawait ldconfig" dpkg-deb -I "$(deb "$runtime")" triggers
  if dpkg-deb -I "$(deb "$runtime")" postinst >/dev/null 2>&1; then fail "$runtime calls ldconfig itself"; fi
  # The development package with its library's alone: a host built with its
  # CMake package runs beside the library and a book.
  tree=$work/$development
  for package in "$runtime" "$development"; do dpkg-deb -x "$(deb "$package")" "$tree"; done
  quietly cmake -S "$host" -B "$tree-host" -DCMAKE_PREFIX_PATH="$tree/usr"
  quietly cmake --build "$tree-host"
  cp "$book_dir/book.cdir" "$tree/$libdir/AddressBook.CDIR"
  host_prints "$expected" env LD_LIBRARY_PATH="$tree/$libdir" "$tree-host/host"
done
expect "*libutf8proc2 (>= *" depends libvesnik1
quietly lintian --fail-on error,warning "${debs[@]}"
# Each copyright file, read back into LICENSE's layout (a blank line is " ."), is LICENSE.
for copyright in "$work"/all/usr/share/doc/*/copyright; do
  { echo "$(sed -n 's/^License: //p' "$copyright" | head -1) License" && echo
    sed -n 's/^Copyright: /Copyright (c) /p' "$copyright" && echo
    sed -n 's/^ \.$//p; s/^ \(\S\)/\1/p' "$copyright"; } | diff -u LICENSE - >&2 || fail "$copyright differs from LICENSE"
done

# The manual page is clean, and it and the completion know every command and
# option that the command lists.
manual=$work/all/usr/share/man/man1/vesnik.1.gz
if man --warnings -l "$manual" 2>&1 >/dev/null | grep .; then fail "man reports the above on vesnik(1)"; fi
# Options, and commands: the words that stand first in a line with a wide gap after them.
LD_LIBRARY_PATH=$work/all/$libdir "$work/all/usr/bin/vesnik" --help |
  grep -oP -- '--[a-z-]+|^  \K[a-z-]+(?=  )' | sort -u >"$work/words"
for file in "$manual" "$work/all/usr/share/bash-completion/completions/vesnik"; do
  if zcat -f "$file" | grep -oFf "$work/words" | grep -vxFf - "$work/words"; then fail "$file lacks the above"; fi
done
completion_test='source /usr/share/bash-completion/bash_completion
  complete_words() { COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"
    COMP_POINT=${#COMP_LINE}; _vesnik; echo "${COMPREPLY[*]}"; }
  __load_completion vesnik || source "$1/usr/share/bash-completion/completions/vesnik"
  [[ $(complete_words vesnik q) == query ]] &&
  [[ $(complete_words vesnik --book "$2" --fo) == --format ]] &&
  [[ $(complete_words vesnik --format "") == "tsv json vcard mutt aerc address" ]] &&
  [[ $(complete_words vesnik --book "$2" get C100) == "C1001 C1002 C1003 C1004 C1005 C1006 C1007 C1008 C1009" ]]'
PATH=$work/all/usr/bin:$PATH LD_LIBRARY_PATH=$work/all/$libdir \
  bash -c "$completion_test" completion "$work/all" "$sample" || fail "bash completion"

if [[ -n ${CI-} ]]; then
  installed >"$work/before"
  quietly "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${debs[@]/#/./}"
  expect "vesnik $upstream" vesnik --version
  expect /usr/share/man/man1/vesnik.1.gz man -w vesnik
  # The loader finds the completion where bash-completion looks.
  env -u LD_LIBRARY_PATH bash -c "$completion_test" completion /nonexistent "$sample" ||
    fail "installed bash completion"
  "${sudo[@]}" cp "$book_dir/book.cdir" "/$libdir/AddressBook.CDIR"
  # shellcheck disable=SC2046
  c++ -std=c++11 tests/install/host/host.cpp -o "$work/pkg-config-host" $(pkg-config --cflags --libs Vesnik_API)
  host_prints "$cxx_expected" "$work/pkg-config-host"
  quietly cmake -S "$book_dir" -B "$work/system-host"
  quietly cmake --build "$work/system-host"
  host_prints "$book_dir/expected.txt" "$work/system-host/host"
  # Debian's python3, not another one that may come first on PATH.
  expect "libvesnik.so.1 ada.quist@example.net" /usr/bin/python3 -B -c 'import sys, vesnik, vesnik._native as n
print(n.library_path(), vesnik.Book(sys.argv[1]).find_id("C1007").email)' "$sample"
fi

echo "-- the Windows archive"
quietly cpack --config "$windows_build/CPackConfig.cmake" -B "$windows_build"
unzip -q "$windows_build/vesnik-$upstream-win32.zip" -d "$work/win"
top=$work/win/vesnik-$upstream-win32
diff -u <(sed '/^#/d' tests/packaging/windows-files.txt | sort) <(find "$top" -type f -printf '%P\n' | sort) >&2 ||
  fail "the archive's files differ from windows-files.txt"
tr -d '\r' <"$top/LICENSE.txt" | diff -u LICENSE - >&2 || fail "the archive's LICENSE.txt differs from LICENSE"
i686-w64-mingw32-gcc -std=c99 -Wall -Wextra -pedantic -Werror "$book_dir/host.c" -I"$top/include" \
  -L"$top/lib" -lvesnik -o "$top/bin/host.exe"
cp "$book_dir/book.cdir" "$top/bin/AddressBook.CDIR"
wine=(cmake/run-under-wine.sh "$(realpath "$windows_build")/wine-prefix")
host_prints "$book_dir/expected.txt" "${wine[@]}" "$top/bin/host.exe"
expect K1 "${wine[@]}" "$top/bin/vesnik.exe" id-of ann@example.org
echo "packages: ok"
