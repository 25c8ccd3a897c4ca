#!/bin/bash
# Installs everything the build and the tests need on a fresh Debian machine.
set -euo pipefail
packages=(g++-mingw-w64-i686-win32 mingw-w64-tools wine wine64 wine32:i386 xvfb xauth
          fonts-wine imagemagick gettext googletest libgtest-dev cmake ninja-build
          clang libclang-rt-14-dev zip file nlohmann-json3-dev libexpat1-dev)
missing=()
for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
