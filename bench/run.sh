#!/bin/bash
# Measures what Marquill costs, in one run, and prints the figures:
#  - the size of Marquill.exe (and of the floor program, for scale);
#  - the DLLs Marquill.exe imports;
#  - the time from starting Marquill under Wine to its window being shown
#    with the OEM information loaded (the editing page showing, the
#    manufacturer's field holding the prepared name), beside the same time
#    for a minimal window program built with the same flags (the floor):
#    medians over RUNS starts each, and their ratio;
#  - the time to build the window, load it and show it, measured inside one
#    process, and the number of windows it holds at start;
#  - the time of Apply in both stores, and of reading an oeminfo.ini whose
#    support lines fill the reader's 16384-byte key-name buffer.
# It builds in build/bench and uses a Wine prefix of its own, removed at the
# end. Figures are printed, never judged: the script fails only when it
# cannot measure at all.
# Usage: bench/run.sh            (RUNS=<n> for another number of starts, default 15)
#        BEFORE=<checkout> bench/run.sh
#   also builds the Marquill.exe of another source checkout (an earlier
#   commit, say) with the same flags, in <checkout>/build/bench, and times it
#   by turns with the other two, so that two builds compare in one session.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export LC_ALL=C.UTF-8 LANG=C WINEDEBUG=-all
export WINEPREFIX=$root/build/bench-prefix
build=$root/build/bench
runs=${RUNS:-15}
marquill=$build/app/Marquill.exe
floor=$build/bench/bench_floor.exe
before=${BEFORE:+$(cd "$BEFORE" && pwd)}
before_exe=
if [ -n "$before" ]; then
    # Older checkouts build the exe in ui/, newer ones in app/.
    before_exe=$before/build/bench/app/Marquill.exe
    [ -d "$before/app" ] || before_exe=$before/build/bench/ui/Marquill.exe
fi
title="Marquill :: www.marquill.org"
manufacturer="Bench Maker 4711"
winpath() { echo "Z:${1//\//\\}"; }
value() { tr -d '\r' < "$build/$1" | sed -n "s/^$2 //p"; }

if [ "${1:-}" = "--measure" ]; then
    # The half that runs inside the X display. A persistent wineserver makes
    # each Wine process start in a fraction of the time.
    wineserver -p
    wine "$build/bench/bench_store.exe" prepare "$manufacturer"
    programs=("$(winpath "$floor")" "Marquill floor" - "$(winpath "$marquill")" "$title" "$manufacturer")
    [ -n "$before_exe" ] && programs+=("$(winpath "$before_exe")" "$title" "$manufacturer")
    wine "$build/bench/bench_starttime.exe" "$runs" 30000 "${programs[@]}" > "$build/start.txt" || true
    wine "$build/bench/bench_buildtime.exe" "$runs" > "$build/build.txt" || true
    wine "$build/bench/bench_store.exe" apply 50 > "$build/apply.txt"
    wine "$build/bench/bench_store.exe" readini 20 > "$build/readini.txt"
    wine "$build/bench/bench_store.exe" remove
    exit 0
fi

"$root/scripts/deps.sh"
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
    rm -f "$build"/{start,build,apply,readini}.txt
}
trap cleanup EXIT

mkdir -p "$build"
"$root/scripts/prefix.sh" "$WINEPREFIX" --headless > "$build/prefix.log" 2>&1 &
prefix_pid=$!
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$build" -j "$(nproc)" --target Marquill marquill_catalogs bench_floor bench_starttime bench_buildtime \
    bench_store >/dev/null
if [ -n "$before" ]; then
    cmake -S "$before" -B "$before/build/bench" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
        -DCMAKE_TOOLCHAIN_FILE="$before/cmake/mingw-i686.cmake" >/dev/null
    cmake --build "$before/build/bench" -j "$(nproc)" --target Marquill marquill_catalogs >/dev/null
fi
wait $prefix_pid || { cat "$build/prefix.log"; exit 1; }

# Marquill reads the registry store here, as on Windows 10.
for exe in Marquill.exe bench_buildtime.exe; do
    wine reg add "HKCU\\Software\\Wine\\AppDefaults\\$exe" /v Version /d win10 /f >/dev/null
done
wineserver -w
xvfb-run -a -s "-screen 0 1280x1024x24" "$0" --measure </dev/null

echo "Marquill $(sed -n 's/#define MARQUILL_VERSION "\(.*\)"/\1/p' "$build/generated/MarquillVersion.h") benchmarks, $(date -u +%Y-%m-%d)"
echo "$(wine --version 2>/dev/null), $(nproc) CPUs ($(sed -n 's/^model name\t*: //p' /proc/cpuinfo | head -1))"
echo
echo "Size of Marquill.exe:   $(stat -c %s "$marquill") bytes (the floor program: $(stat -c %s "$floor") bytes)"
echo "DLLs Marquill.exe imports: $(i686-w64-mingw32-objdump -p "$marquill" | sed -n 's/.*DLL Name: //p' | tr '\n' ' ')"
echo
floor_ms=$(value start.txt "median 1")
marquill_ms=$(value start.txt "median 2")
echo "Start to window shown and loaded, median of $runs runs each (taken by turns) under Wine and Xvfb:"
printf '  floor (minimal window):  %s ms (fastest %s; %s runs failed)\n' "${floor_ms:-n/a}" \
    "$(value start.txt "fastest 1")" "$(value start.txt "failed 1")"
printf '  Marquill:                %s ms (fastest %s; %s runs failed)\n' "${marquill_ms:-n/a}" \
    "$(value start.txt "fastest 2")" "$(value start.txt "failed 2")"
awk -v m="${marquill_ms:-0}" -v f="${floor_ms:-0}" \
    'BEGIN { if (f > 0 && m > 0) printf "  ratio of the medians, Marquill / floor: %.2f\n", m / f }'
if [ -n "$before_exe" ]; then
    before_ms=$(value start.txt "median 3")
    printf '  Marquill of %s: %s ms (fastest %s; %s runs failed)\n' "$before" "${before_ms:-n/a}" \
        "$(value start.txt "fastest 3")" "$(value start.txt "failed 3")"
    awk -v m="${marquill_ms:-0}" -v b="${before_ms:-0}" -v f="${floor_ms:-0}" 'BEGIN {
        if (f <= 0 || m <= 0 || b <= 0) exit
        printf "  above the floor: %.1f ms, against %.1f ms before (%.0f %% less)\n", m - f, b - f,
               (b - m) * 100 / (b - f) }'
fi
echo
echo "The window built, loaded and shown inside one process, median of $runs runs (registry store):"
printf '  %s ms (fastest %s); windows at start: %s (the window and all inside it)\n' \
    "$(value build.txt build)" "$(value build.txt build-fastest)" "$(value build.txt windows)"
echo
echo "Store operations, median in ms:"
printf '  Apply, registry store:   %s (50 runs)\n' "$(value apply.txt apply-registry)"
printf '  Apply, INI store:        %s (50 runs; 10 support lines and a 172x172 logo)\n' "$(value apply.txt apply-ini)"
printf '  Read INI, full key list: %s (20 runs; %s lines read)\n' "$(value readini.txt read-ini)" \
    "$(value readini.txt read-ini-lines)"
