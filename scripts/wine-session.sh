#!/bin/bash
# Runs a command (usually ctest) inside an already running X display and Wine
# prefix: a persistent wineserver and a keeper process hold Wine's services
# and desktop open, started here with their output going elsewhere, so that no
# test process starts them and leaves them holding its output pipe.
# Usage: wine-session.sh <keeper.exe> <command...>
set -uo pipefail
keeper=$1; shift
wineserver -p
ready=$(mktemp -u /tmp/marquill-keeper.XXXXXX)
wine "$keeper" "Z:${ready//\//\\}" >/dev/null 2>&1 </dev/null &
keeper_pid=$!
# The keeper makes the ready file once its window, and so the desktop, exists:
# a test started before then would start the desktop itself.
for _ in $(seq 1 600); do
    [ -e "$ready" ] && break
    kill -0 $keeper_pid 2>/dev/null || break
    sleep 0.05
done
if ! kill -0 $keeper_pid 2>/dev/null; then
    echo "wine-session.sh: the keeper ended without its window (no X display?)" >&2
    wineserver -k >/dev/null 2>&1
    exit 1
fi
[ -e "$ready" ] || echo "wine-session.sh: the keeper has not shown it is ready; going on" >&2
rm -f "$ready"
"$@"
status=$?
kill $keeper_pid 2>/dev/null
wineserver -k >/dev/null 2>&1
exit $status
