#!/bin/bash
# Runs a command (usually ctest) inside an already running X display and Wine
# prefix: a persistent wineserver and a keeper process hold Wine's services
# and desktop open, started here with their output going elsewhere, so that no
# test process starts them and leaves them holding its output pipe.
# Usage: wine-session.sh <keeper.exe> <command...>
set -uo pipefail
keeper=$1; shift
wineserver -p
wine "$keeper" >/dev/null 2>&1 </dev/null &
keeper_pid=$!
# The keeper's window exists once the desktop and services are up.
for _ in $(seq 1 300); do
    wine cmd /c exit >/dev/null 2>&1 </dev/null && break
done
"$@"
status=$?
kill $keeper_pid 2>/dev/null
wineserver -k >/dev/null 2>&1
exit $status
