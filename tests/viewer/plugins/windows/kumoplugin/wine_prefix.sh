#!/usr/bin/env bash
# The Wine prefix of a test run: "setup PREFIX" creates it once (kept in the build folder for
# the next run) and keeps a wine server running; "cleanup PREFIX" ends that server.
set -euo pipefail
export WINEPREFIX=$2 WINEDEBUG=-all
# No Mono or Gecko installers, no desktop menu entries.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
case "$1" in
setup)
    start=$(date +%s%N)
    if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
        wine wineboot -i >/dev/null 2>&1
        wineserver -w
        echo "Wine prefix created in $(( ($(date +%s%N) - start) / 1000000 )) ms"
    else
        echo "Wine prefix already there"
    fi
    # The server outlives this script; it must not hold the test runner's output open.
    wineserver -p </dev/null >/dev/null 2>&1
    ;;
cleanup)
    wineserver -k </dev/null >/dev/null 2>&1 || true
    ;;
esac
