#!/bin/bash
# Makes a fresh 64-bit Wine prefix at $1 for running Marquill: Wine's own
# Tahoma installed as a Windows font, so the window shows its real face.
# With --headless, also the settings only headless tests want (no window
# manager under Xvfb, so Wine must not wait for one).
set -euo pipefail
prefix=$1
headless=${2:-}
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "$prefix"
mkdir -p "$prefix"
wineboot -i >/dev/null 2>&1
wineserver -w
fontdir=$(dirname "$(dpkg -L fonts-wine | grep -i '/tahoma\.ttf$' | head -1)")
cp "$fontdir"/*.ttf "$prefix/drive_c/windows/Fonts/"
if [ "$headless" = "--headless" ]; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
    # Keyboard cues off, as Windows has them by default (Wine has them on):
    # the window then shows no focus cue before the first key.
    wine reg add 'HKCU\Control Panel\Desktop' /v UserPreferencesMask /t REG_BINARY /d 1000028012000000 /f >/dev/null
fi
wineserver -w
