#!/bin/sh
# Installs what the build and the tests need on a fresh Debian machine.
# Runs apt only when something is missing. Needs root (or sudo).
set -eu
pkgs="cmake ninja-build make g++ clang python3 python3-pil
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 mingw-w64-tools
  wine wine64 xvfb xauth x11-apps imagemagick fonts-wine fonts-liberation
  ffmpeg bchunk libcdio-utils genisoimage cdrdao lsdvd
  libxml2-dev liblzo2-dev libgtest-dev libgmock-dev googletest
  dpkg-dev xz-utils autoconf automake libtool pkg-config nasm
  libavcodec-dev libavformat-dev libavutil-dev libswscale-dev libswresample-dev libavfilter-dev"
missing=""
for p in $pkgs; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
# wine32 makes the wine launcher pick the 32-bit loader, which cannot run here.
if dpkg-query -W -f='${Status}' wine32 2>/dev/null | grep -q "install ok installed"; then
  echo "install-deps: wine32 is installed; remove it (32-bit programs cannot run here)" >&2
fi
[ -z "$missing" ] && exit 0
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
echo "install-deps: installing$missing"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
