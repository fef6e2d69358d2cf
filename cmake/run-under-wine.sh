#!/usr/bin/env bash
# Runs a Windows program under Wine in a prefix of its own:
#   run-under-wine.sh PREFIX PROGRAM [ARGUMENT...]
# Wine stays quiet and needs no display. The prefix is made on first use,
# once, however many programs start at the same time.
set -euo pipefail

export WINEPREFIX=$1
shift
export WINEARCH=win32 WINEDEBUG=-all
# No Mono or Gecko install prompts, no desktop menu entries.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY

ready=$WINEPREFIX.ready
if [[ ! -e $ready ]]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [[ ! -e $ready ]]; then
      # Wine announces the new prefix on stderr: keep that in a log.
      wineboot --init >"$WINEPREFIX.log" 2>&1
      wineserver -w
      touch "$ready"
    fi
  ) 9>"$WINEPREFIX.lock"
fi

# One wineserver serves every test of a run. Left to itself, wine starts a
# server that quits three seconds after its last program; a program that
# starts just as it quits fails with "recvmsg: Connection reset by peer".
# The first program a new server runs also starts Wine's services
# (services.exe, winedevice.exe, plugplay.exe, svchost.exe), which live as
# long as the server and keep that program's stderr open, and the server a
# copy of it: a test that came first would not end, for ctest or a pipe,
# until the server quits. So whoever starts the server (wineserver exits 2
# when one is running) starts the services too, with no output to hold, nor
# the lock, which would wait for them.
(
  flock 9
  if wineserver -p60 </dev/null >/dev/null 2>&1 9>&-; then
    wine cmd /c exit </dev/null >/dev/null 2>&1 9>&- || true
  fi
) 9>"$WINEPREFIX.lock"

# Windows programs end their lines with CR LF; ctest and GoogleTest's test
# discovery read LF.
wine "$@" | sed -u 's/\r$//'
