#!/bin/bash
# Takes the README's screenshots of Marquill under Wine and Xvfb: the editing
# page as Windows 10 shows it (registry mode), as Windows XP shows it (legacy
# mode) and the about page, each with sample OEM information, into docs/.
# Builds Marquill.exe from the working tree in build/screenshots, so the
# pictures show the current sources (the shared build/win32 may be stale or
# half rebuilt). The Wine prefix is made for this run and removed after.
# Usage: scripts/screenshots.sh [--commit]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

if [ -z "${MARQUILL_SHOTS_INSIDE_X:-}" ]; then
    "$root/scripts/deps.sh"
    export MARQUILL_SHOTS_INSIDE_X=1
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

commit=${1:-}
export LC_ALL=C.UTF-8 LANG=C WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
work=$(mktemp -d)
export WINEPREFIX=$work/prefix
marquill_pid=
cleanup() {
    [ -n "$marquill_pid" ] && kill "$marquill_pid" 2>/dev/null
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

build=$root/build/screenshots
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$build" --target Marquill screenshot_helper >/dev/null
exe=$build/app/Marquill.exe
"$root/scripts/prefix.sh" "$WINEPREFIX" --headless
wineserver -p

# The helper (tests/support/ShotHelper.cpp) finds the window, waits until it
# and its controls are painted, clicks a button on request, and prints the
# window's screen rectangle ("x y width height") for cropping.
shot=$build/tests/screenshot_helper.exe

# Sample information and a logo drawn here, so no outside picture is needed.
convert -size 150x150 xc:'#1A2131' -fill '#0063B1' -draw 'roundrectangle 10,10 139,139 18,18' \
    -fill '#D4D4D4' -draw 'polygon 40,110 60,40 75,85 90,40 110,110 96,110 88,72 75,110 62,72 54,110' \
    BMP3:"$work/logo.bmp"
cp "$work/logo.bmp" "$WINEPREFIX/drive_c/logo.bmp"

# Snaps the window as the screen shows it once two captures in a row agree
# (the X server may still be receiving the last strokes).
snap() {
    local rect=$1 out=$2 x y w h previous="" current
    read -r x y w h <<<"$(echo "$rect" | tr -d '\r')"
    for _ in $(seq 1 50); do
        import -window root -crop "${w}x${h}+${x}+${y}" +repage "$work/snap.png"
        current=$(md5sum <"$work/snap.png")
        [ "$current" = "$previous" ] && break
        previous=$current
    done
    mkdir -p "$root/docs"
    convert "$work/snap.png" -strip "$root/docs/$out"
    echo "docs/$out (${w}x${h})"
}

start_marquill() {
    wine reg add 'HKCU\Software\Wine\AppDefaults\Marquill.exe' /v Version /d "$1" /f >/dev/null
    wine "$exe" >/dev/null 2>&1 </dev/null &
    marquill_pid=$!
}

stop_marquill() {
    wine "$shot" --close
    wait "$marquill_pid" 2>/dev/null || true
    marquill_pid=
}

oem='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\OEMInformation'
reg_set() { wine reg add "$oem" /v "$1" /d "$2" /f /reg:64 >/dev/null; }
reg_set Manufacturer "Example Computers Ltd."
reg_set Model "Workstation 7"
reg_set SupportHours "Mon-Fri 8:00-18:00"
reg_set SupportPhone "+1 555 0100"
reg_set SupportURL "https://support.example.com"
reg_set Logo 'C:\logo.bmp'

# The rectangle goes through a variable so that a failing helper stops the
# script (set -e does not see a failure inside an argument).
start_marquill win10
rect=$(wine "$shot")
snap "$rect" registry-mode.png
rect=$(wine "$shot" --click "About...")
snap "$rect" about.png
stop_marquill

# Legacy mode reads the INI file through the 32-bit system directory and the
# logo from the real one: both get both.
for dir in system32 syswow64; do
    sysdir=$WINEPREFIX/drive_c/windows/$dir
    [ -d "$sysdir" ] || continue
    printf '[General]\r\nManufacturer=Example Computers Ltd.\r\nModel=Workstation 7\r\n[Support Information]\r\nLine1=Support: Mon-Fri 8:00-18:00\r\nLine2=Phone: +1 555 0100\r\nLine3=Web: support.example.com\r\n' \
        >"$sysdir/oeminfo.ini"
    cp "$work/logo.bmp" "$sysdir/oemlogo.bmp"
done
start_marquill winxp
rect=$(wine "$shot")
snap "$rect" legacy-mode.png
stop_marquill

if [ "$commit" = "--commit" ]; then
    cd "$root"
    git add docs/registry-mode.png docs/legacy-mode.png docs/about.png
    git commit -m "Screenshots of the window in registry and legacy mode and of its about page" \
        -- docs/registry-mode.png docs/legacy-mode.png docs/about.png
fi
