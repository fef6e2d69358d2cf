#!/usr/bin/env bash
# Installs, with apt-get, whatever of the build's needs this Debian machine
# lacks. Does nothing (and needs no network) when everything is there.
#   install-deps.sh [PACKAGE | src:SOURCE_PACKAGE]...
# A src:NAME argument unpacks Debian's source package NAME into
# $VESNIK_DEBIAN_SOURCES/NAME, for a cross build that compiles it itself.
set -euo pipefail
sources_dir=${VESNIK_DEBIAN_SOURCES:-/usr/local/src/vesnik-deps}

packages=(cmake make g++ pkg-config binutils libgtest-dev libgmock-dev)
# The C interface folds letter case and accents with utf8proc.
packages+=(libutf8proc-dev)
# The vesnik program parses its command line with CLI11; its tests run on
# Python.
packages+=(libcli11-dev python3)
# The Python package is tested with Debian's pytest, and built into a wheel
# that installs offline into a virtual environment.
packages+=(python3-pytest python3-venv python3-setuptools python3-wheel)
# The C interface's host test is built by the C compiler, cc.
packages+=(gcc)
# Tests drive real neomutt and aerc, each in a tmux server of its own, through
# vesnik.
packages+=(neomutt aerc tmux)
# vesnik import's tests read its vCard export with a second, independent
# reader; its benchmark measures memory with GNU time.
packages+=(python3-vobject time)

wanted_sources=()
for argument in "$@"; do
  if [[ $argument == src:* ]]; then
    [[ -e $sources_dir/${argument#src:}/debian ]] || wanted_sources+=("${argument#src:}")
    # dpkg-source unpacks them.
    packages+=(dpkg-dev)
  else
    packages+=("$argument")
  fi
done

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
((${#missing[@]} + ${#wanted_sources[@]} == 0)) && exit 0

sudo=()
((EUID == 0)) || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive

# apt-get source needs deb-src entries: one of their own beside each deb
# entry, same URIs and suites, in a file of ours (written once).
deb_src_list=/etc/apt/sources.list.d/vesnik-deb-src.sources
if ((${#wanted_sources[@]} > 0)) && [[ ! -e $deb_src_list ]] &&
  ! apt-cache showsrc "${wanted_sources[0]}" 2>/dev/null | grep -q .; then
  # deb822 stanzas (Debian 12's debian.sources), then one-line entries.
  entries=$(
    for file in /etc/apt/sources.list.d/*.sources; do
      [[ -e $file ]] || continue
      awk 'BEGIN { RS = ""; FS = "\n" }
        $0 ~ /(^|\n)Types:[^\n]*[[:space:]]deb([[:space:]]|$)/ && $0 !~ /(^|\n)Enabled:[[:space:]]*no/ {
          out = "Types: deb-src"
          for (i = 1; i <= NF; i++)
            if ($i ~ /^(URIs|Suites|Components|Signed-By):/) out = out "\n" $i
          print out "\n"
        }' "$file"
    done
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
      [[ -e $file ]] || continue
      sed -n 's/^[[:space:]]*deb[[:space:]]\+\(\[[^]]*\][[:space:]]*\)\?\([^[:space:]]\+\)[[:space:]]\+\([^[:space:]]\+\)[[:space:]]\+\(.*\)$/Types: deb-src\nURIs: \2\nSuites: \3\nComponents: \4\n/p' "$file"
    done
  )
  echo "Adding deb-src entries: $deb_src_list"
  printf '%s\n' "$entries" | "${sudo[@]}" tee "$deb_src_list" >/dev/null
fi

((${#missing[@]} == 0)) || echo "Installing: ${missing[*]}"

# A package named with another architecture (wine32:i386) is only offered
# once dpkg knows that architecture.
for package in "${missing[@]}"; do
  [[ $package == *:* ]] || continue
  arch=${package##*:}
  if [[ $arch != "$(dpkg --print-architecture)" ]] &&
    ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
    "${sudo[@]}" dpkg --add-architecture "$arch"
  fi
done

"${sudo[@]}" apt-get update -qq
((${#missing[@]} == 0)) || "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null

# Each source package as the archive has it now, unpacked under its own name.
for name in "${wanted_sources[@]}"; do
  echo "Unpacking Debian's source of $name into $sources_dir/$name"
  download=$("${sudo[@]}" mktemp -d)
  # apt-get has checked the files against the archive's signed index.
  if ! (cd "$download" && "${sudo[@]}" apt-get source -qq --download-only "$name" &&
    "${sudo[@]}" mkdir -p "$sources_dir" && "${sudo[@]}" rm -rf "$sources_dir/$name" &&
    "${sudo[@]}" dpkg-source --no-copy -x "$name"_*.dsc "$sources_dir/$name") >"$download.log" 2>&1; then
    cat "$download.log" >&2
    echo "install-deps.sh: cannot fetch the source package $name" >&2
    exit 1
  fi
  "${sudo[@]}" rm -rf "$download" "$download.log"
done
