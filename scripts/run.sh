#!/bin/bash
# Builds Marquill and starts it under Wine, in a Wine prefix of its own kept
# in build/wineprefix-run (made on first use, with Wine's Tahoma installed so
# the window shows its real face). Extra arguments go to the environment of
# Marquill, e.g. `scripts/run.sh LANG=de_DE.UTF-8` or `WINVER=winxp` to see
# the legacy (pre-Vista) store.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
win=$root/build/win32
cmake -S "$root" -B "$win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
# Only the program and its catalogs: the test programs are the test run's.
cmake --build "$win" -j "$(nproc)" --target Marquill marquill_catalogs

export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix-run} WINEDEBUG=${WINEDEBUG:--all}
[ -d "$WINEPREFIX/drive_c" ] || "$root/scripts/prefix.sh" "$WINEPREFIX"
winver=win10
for arg in "$@"; do
    case $arg in
        WINVER=*) winver=${arg#WINVER=} ;;
        *=*) export "$arg" ;;
    esac
done
wine reg add 'HKCU\Software\Wine\AppDefaults\Marquill.exe' /v Version /d "$winver" /f >/dev/null
# Let that Wine session end: one started without an X display would keep a
# desktop that cannot show windows.
wineserver -w
if [ -z "${DISPLAY:-}" ]; then
    echo "No X display: running Marquill under Xvfb, where nobody can see it." >&2
    exec xvfb-run -a -s "-screen 0 1280x1024x24" wine "$win/app/Marquill.exe"
fi
exec wine "$win/app/Marquill.exe"
