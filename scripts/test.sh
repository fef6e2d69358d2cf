#!/usr/bin/env bash
# Builds every configuration and runs every test; exits non-zero when any
# test fails.
set -euo pipefail
cd "$(dirname "$0")/.."
# The Windows build needs the MinGW-w64 cross compiler, Debian's source of
# utf8proc to compile with it, and Wine to run its tests.
windows_packages=(g++-mingw-w64-i686 src:utf8proc wine wine32:i386)
# The fuzzer is built with clang and its libFuzzer runtime.
fuzz_packages=(clang-14 libclang-rt-14-dev)
# vesnik.lib for MSVC hosts is made by llvm-dlltool; the test host built for
# the MSVC ABI is compiled by clang and linked by lld-link.
msvc_host_packages=(clang-14 lld-14 llvm-14)
# The packages are built by CPack with dpkg-dev's tools and checked with
# lintian; scdoc writes the manual page and man checks it; bash-completion
# runs the completion; unzip opens the Windows archive.
packaging_packages=(dpkg-dev file man-db lintian scdoc bash-completion unzip)
scripts/install-deps.sh "${windows_packages[@]}" "${fuzz_packages[@]}" "${msvc_host_packages[@]}" \
  "${packaging_packages[@]}"

jobs=$(nproc)
for preset in release asan tsan windows-x86; do
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done

# The Debian packages and the Windows archive (from the windows-x86 build
# above); installed system-wide and purged again only when CI is set.
echo "== packages"
tests/packaging/check-packages.sh

# A minute of fuzzing against the plain reading; a finding fails the run.
echo "== fuzz"
scripts/fuzz.sh 60
