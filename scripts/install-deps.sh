#!/usr/bin/env bash
# Installs, with apt-get, whatever of the build's needs this Debian machine
# lacks. Does nothing (and needs no network) when everything is there.
set -euo pipefail

packages=(cmake make g++ pkg-config binutils libgtest-dev libgmock-dev)
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
packages+=("$@")

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
((${#missing[@]} == 0)) && exit 0

echo "Installing: ${missing[*]}"
sudo=()
((EUID == 0)) || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive

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
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
