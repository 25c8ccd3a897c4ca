#!/bin/bash
# Builds Marquill and every test, then runs them all: the Windows program's
# tests under Wine in a Wine prefix made fresh for this run (and removed after
# it), headless under Xvfb, and the window-free logic natively under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"

export LC_ALL=C.UTF-8 LANG=C WINEDEBUG=-all
jobs=$(nproc)
native=$root/build/native
win=$root/build/win32
export WINEPREFIX=$root/build/wineprefix-test
mkdir -p "$root/build"

cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

# The prefix takes a while to boot: make it while the builds run.
"$root/scripts/prefix.sh" "$WINEPREFIX" --headless > "$root/build/prefix.log" 2>&1 &
prefix_pid=$!

werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
# Several checkouts on one machine share compiled objects where ccache is
# installed; CI builds without it.
launcher=()
if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=1
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi

CC=clang CXX=clang++ cmake -S "$root" -B "$native" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DMARQUILL_WERROR=$werror "${launcher[@]}" >/dev/null
cmake --build "$native" -j "$jobs"

cmake -S "$root" -B "$win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DMARQUILL_WERROR=$werror "${launcher[@]}" >/dev/null
cmake --build "$win" -j "$jobs"

wait $prefix_pid || { cat "$root/build/prefix.log"; exit 1; }

status=0
(cd "$native" && ctest --output-on-failure -j "$jobs") || status=1
cd "$win"
xvfb-run -a -s "-screen 0 1280x1024x24" \
    "$root/scripts/wine-session.sh" "$win/tests/test_keeper.exe" \
    ctest --output-on-failure -j "$jobs" || status=1
exit $status
