#!/usr/bin/env bash
# Builds the Debian packages (preset "package") and the Windows archive (from
# a windows-x86 build, built already), and checks them as a user meets them:
# names, files, dependencies and lintian; each development package alone,
# with a host built against it. With CI set, also installs the packages
# system-wide, uses them, and purges them again, whatever fails.
#   check-packages.sh [WINDOWS_BUILD]     (default: build/windows-x86)
set -euo pipefail
cd "$(dirname "$0")/../.."
source=$PWD
windows_build=${1:-build/windows-x86}
work=$(mktemp -d)
sudo=()
((EUID == 0)) || sudo=(sudo)

installed_packages() {
  dpkg-query -W -f='${db:Status-Status} ${Package}:${Architecture}\n' | sed -n 's/^installed //p' |
    sort
}

# Leaves the machine as it was: the book taken away, and every package that
# the install added, ours and what they pulled in, purged. (apt-get's
# --autoremove alone would also take packages that were unneeded before.)
clean_up() {
  if [[ -e $work/before ]]; then
    "${sudo[@]}" rm -f "$multiarch_dir/AddressBook.CDIR"
    local added
    mapfile -t added < <(installed_packages | comm -13 "$work/before" -)
    if ((${#added[@]})); then
      "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq "${added[@]}" >/dev/null
      echo "purged: ${added[*]}"
    fi
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

version=$(dpkg-parsechangelog -l packaging/debian/changelog -S Version)
arch=$(dpkg --print-architecture)
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
multiarch_dir=/usr/lib/$multiarch
libdir=usr/lib/$multiarch
upstream=${version%-*}

echo "-- building the Debian packages"
quietly cmake --preset package
quietly cmake --build --preset package -j 2
rm -f build/package/*.deb
quietly cpack --preset package
debs=(build/package/*.deb)

# Every file of every package, as the package lays it out; a file the build
# installs must be in one of them.
cmake_dir=/$libdir/cmake/Vesnik_API
list() {
  local package=$1 file
  shift
  for file in "$@" /usr/share/doc/"$package"/{changelog.Debian.gz,copyright}; do echo "$package $file"; done
}
expected=$(
  list libvesnik-api1 /$libdir/libVesnik_API.so.{1,$upstream}
  list libvesnik-api-dev /usr/include/Vesnik_API{,_owners}.h /$libdir/{libVesnik_API.so,pkgconfig/Vesnik_API.pc} \
    $cmake_dir/Vesnik_API{Config,ConfigVersion,Targets,Targets-release}.cmake
  list libvesnik1 /$libdir/libvesnik.so.{1,$upstream}
  list libvesnik-dev /usr/include/vesnik.h /$libdir/{libvesnik.so,pkgconfig/vesnik.pc} \
    $cmake_dir/{vesnik_api-config,vesnik_api-config-version,vesnikTargets,vesnikTargets-release}.cmake
  list python3-vesnik /usr/lib/python3/dist-packages/{vesnik-$upstream.egg-info,vesnik/{__init__.py,_native.py,py.typed}}
  list vesnik /usr/bin/vesnik /usr/share/{man/man1/vesnik.1.gz,doc/vesnik/examples/AddressBook.CDIR} \
    /usr/share/{bash-completion/completions/vesnik,zsh/vendor-completions/_vesnik}
)
for deb in "${debs[@]}"; do
  package=$(dpkg-deb -f "$deb" Package)
  # The name dpkg-name would give it.
  [[ ${deb##*/} == "${package}_${version}_$(dpkg-deb -f "$deb" Architecture).deb" ]] ||
    fail "$deb is misnamed"
  dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed "s|^\.|$package |"
  dpkg-deb -x "$deb" "$work/all"
done | sort >"$work/packaged"
diff -u <(sort <<<"$expected") "$work/packaged" >&2 || fail "files differ from the list above"
DESTDIR=$work/installed cmake --install build/package >/dev/null
(cd "$work/installed" && find . ! -type d | sed 's|^\.||' | sort) >"$work/installed.list"
diff -u <(cut -d' ' -f2 "$work/packaged" | sort) "$work/installed.list" >&2 ||
  fail "the install and the packages differ"

echo "-- dependencies, control files, binaries"
depends() { dpkg-deb -f "build/package/${1}_${version}_$2.deb" Depends; }
[[ $(depends libvesnik-api-dev "$arch") == "libvesnik-api1 (= $version)" ]] || fail "libvesnik-api-dev"
[[ $(depends libvesnik-dev "$arch") == "libvesnik1 (= $version)" ]] || fail "libvesnik-dev"
[[ $(depends vesnik "$arch") == "libvesnik1 (>= $version), libc6 "* ]] || fail "vesnik"
[[ $(depends python3-vesnik all) == *"libvesnik1 (>= $version)"* ]] || fail "python3-vesnik"
for library in libvesnik-api1:libVesnik_API libvesnik1:libvesnik; do
  package=${library%:*} deb=build/package/${library%:*}_${version}_$arch.deb
  [[ $(depends "$package" "$arch") == "libc6 "* ]] || fail "$package: no dependencies from shlibdeps"
  [[ $(dpkg-deb -I "$deb" shlibs) == "${library#*:} 1 $package (>= $version)" ]] || fail "$package: shlibs"
  [[ $(dpkg-deb -I "$deb" triggers) == "activate-noawait ldconfig" ]] || fail "$package: triggers"
  if dpkg-deb -I "$deb" postinst >/dev/null 2>&1; then fail "$package calls ldconfig itself"; fi
done
for binary in "$work/all/usr/bin/vesnik" "$work/all/$libdir"/lib*.so.*.*; do
  file -L "$binary" | grep -q ', stripped' || fail "$binary is not stripped"
done
zcat "$work/all/usr/share/doc/vesnik/changelog.Debian.gz" | dpkg-parsechangelog -l- -S Version |
  grep -qx "$version" || fail "changelog.Debian.gz is not of $version"
manual=$work/all/usr/share/man/man1/vesnik.1.gz
if man --warnings -l "$manual" 2>&1 >/dev/null | grep .; then
  fail "man reports the above on vesnik(1)"
fi
# Every command and option that the command lists, in the manual page and the
# completion.
help=$(LD_LIBRARY_PATH=$work/all/$libdir "$work/all/usr/bin/vesnik" --help)
for word in $(grep -oE -- '--[a-z-]+' <<<"$help") \
  $(sed -n '/^Commands:/,/^$/s/^  \([a-z-]*\) .*/\1/p' <<<"$help"); do
  zgrep -qF -- "$word" "$manual" || fail "vesnik(1) lacks $word"
  grep -qF -- "$word" "$work/all/usr/share/bash-completion/completions/vesnik" ||
    fail "the bash completion lacks $word"
done

echo "-- lintian"
lintian_status=0
lintian --fail-on error,warning --display-info "${debs[@]}" >"$work/lintian" 2>&1 || lintian_status=$?
grep -v 'root privileges' "$work/lintian" || true
((lintian_status == 0)) || fail "lintian reports errors or warnings"

# A host built with the CMake package of one development package, the other
# absent, and run beside that package's library.
book_dir=$source/tests/capi/host
sample=$source/tools/sample/AddressBook.CDIR
one_package() {
  local tree=$work/$1 host=$2
  shift 2
  for deb in "$@"; do dpkg-deb -x "build/package/${deb}_${version}_$arch.deb" "$tree"; done
  cmake -S "$host" -B "$tree-host" -DCMAKE_PREFIX_PATH="$tree/usr" >/dev/null
  cmake --build "$tree-host" >/dev/null
  cp "$book_dir/book.cdir" "$tree/$libdir/AddressBook.CDIR"
}
echo "-- each development package alone"
one_package api "$source/tests/install/host" libvesnik-api1 libvesnik-api-dev
[[ $(LD_LIBRARY_PATH=$work/api/$libdir "$work/api-host/host" "$sample" Ada.Quist@example.net) == \
  "C1007 ADA.QUIST@EXAMPLE.NET" ]] || fail "the C++ host against libvesnik-api-dev alone"
one_package c "$book_dir" libvesnik1 libvesnik-dev
LD_LIBRARY_PATH=$work/c/$libdir "$work/c-host/host" | diff -u "$book_dir/expected.txt" - >&2 ||
  fail "the C host against libvesnik-dev alone"

echo "-- bash completion"
completion_test='source /usr/share/bash-completion/bash_completion
  complete_words() { COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"
    COMP_POINT=${#COMP_LINE}; _vesnik; echo "${COMPREPLY[*]}"; }
  __load_completion vesnik || source "$1/usr/share/bash-completion/completions/vesnik"
  [[ $(complete_words vesnik q) == query ]] &&
  [[ $(complete_words vesnik --book "$2" --fo) == --format ]] &&
  [[ $(complete_words vesnik --format "") == "tsv json mutt aerc" ]] &&
  [[ $(complete_words vesnik --book "$2" get C100) == "C1001 C1002 C1003 C1004 C1005 C1006 C1007 C1008 C1009" ]]'
PATH=$work/all/usr/bin:$PATH LD_LIBRARY_PATH=$work/all/$libdir \
  bash -c "$completion_test" completion "$work/all" "$sample" || fail "bash completion"

if [[ -n ${CI-} ]]; then
  echo "-- installed system-wide"
  installed_packages >"$work/before"
  quietly "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
    "${debs[@]/#/./}" >/dev/null
  [[ $(vesnik --version) == "vesnik $upstream" ]] || fail "vesnik --version"
  [[ $(man -w vesnik) == /usr/share/man/man1/vesnik.1.gz ]] || fail "man -w vesnik"
  # The loader finds the completion where bash-completion looks.
  env -u LD_LIBRARY_PATH bash -c "$completion_test" completion /nonexistent "$sample" ||
    fail "installed bash completion"
  "${sudo[@]}" cp "$book_dir/book.cdir" "$multiarch_dir/AddressBook.CDIR"
  # shellcheck disable=SC2046
  c++ -std=c++11 tests/install/host/host.cpp -o "$work/pkg-config-host" \
    $(pkg-config --cflags --libs Vesnik_API)
  [[ $("$work/pkg-config-host" "$sample" Ada.Quist@example.net) == "C1007 ADA.QUIST@EXAMPLE.NET" ]] ||
    fail "the pkg-config host"
  cmake -S "$book_dir" -B "$work/system-host" >/dev/null
  cmake --build "$work/system-host" >/dev/null
  "$work/system-host/host" | diff -u "$book_dir/expected.txt" - >&2 || fail "the find_package host"
  # Debian's python3, not another one that may come first on PATH.
  /usr/bin/python3 -B -c 'import sys, vesnik, vesnik._native as n
assert n.library_path() == "libvesnik.so.1", n.library_path()
print(vesnik.Book(sys.argv[1]).find_id("C1007").email)' "$sample" | grep -qx ada.quist@example.net ||
    fail "python3-vesnik"
fi

echo "-- the Windows archive"
zip=$windows_build/vesnik-$upstream-win32.zip
rm -f "$zip"
quietly cpack --config "$windows_build/CPackConfig.cmake" -B "$windows_build"
unzip -q "$zip" -d "$work/win"
top=$work/win/vesnik-$upstream-win32
(cd "$top" && find . -type f | sed 's|^\./||' | sort) >"$work/zip.list"
windows_files=$(printf '%s\n' README.txt bin/{Vesnik_API,vesnik}.dll bin/vesnik.exe \
  bin/lib{gcc_s_dw2-1,stdc++-6,winpthread-1}.dll include/{Vesnik_API.h,Vesnik_API_owners.h,vesnik.h} \
  lib/{Vesnik_API.dll.a,libvesnik.dll.a,vesnik.def,vesnik.lib} lib/pkgconfig/{Vesnik_API,vesnik}.pc \
  lib/cmake/Vesnik_API/Vesnik_API{Config,ConfigVersion,Targets,Targets-release}.cmake \
  lib/cmake/Vesnik_API/{vesnik_api-config,vesnik_api-config-version,vesnikTargets,vesnikTargets-release}.cmake \
  share/doc/Vesnik_API/examples/AddressBook.CDIR)
diff -u <(sort <<<"$windows_files") "$work/zip.list" >&2 || fail "the archive's files differ"
wine=("$source/cmake/run-under-wine.sh" "$(realpath "$windows_build")/wine-prefix")
i686-w64-mingw32-gcc -std=c99 -Wall -Wextra -pedantic -Werror "$book_dir/host.c" -I"$top/include" \
  -L"$top/lib" -lvesnik -o "$top/bin/host.exe"
cp "$book_dir/book.cdir" "$top/bin/AddressBook.CDIR"
(cd "$top/bin" && "${wine[@]}" host.exe) | diff -u "$book_dir/expected.txt" - >&2 ||
  fail "the C host from the archive"
[[ $(cd "$top/bin" && "${wine[@]}" vesnik.exe --version) == "vesnik $upstream" ]] ||
  fail "vesnik.exe --version"
[[ $(cd "$top/bin" && "${wine[@]}" vesnik.exe id-of ann@example.org) == K1 ]] ||
  fail "vesnik.exe id-of"
echo "packages: ok"
