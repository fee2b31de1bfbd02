#!/bin/sh
# Cross-builds static libxml2 and LZO for a mingw target from Debian's source
# packages, into a cache folder outside the checkout keyed by version, and
# prints the install prefix. Later runs reuse the cache.
#   scripts/build-mingw-deps.sh x86_64-w64-mingw32|i686-w64-mingw32
set -eu
triplet=$1
cache=${QUORBEL_DEPS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/quorbel-deps}
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo

xml_ver=$(dpkg-query -W -f='${Version}' libxml2-dev)
lzo_ver=$(dpkg-query -W -f='${Version}' liblzo2-dev)
key=$(printf 'libxml2-%s_lzo2-%s' "$xml_ver" "$lzo_ver" | tr -c 'A-Za-z0-9._\n-' '_')
prefix=$cache/$key/$triplet
if [ -f "$prefix/.done" ]; then echo "$prefix"; exit 0; fi

src=$cache/$key/src
mkdir -p "$src"
if ! ls "$src"/libxml2_*.dsc >/dev/null 2>&1 || ! ls "$src"/lzo2_*.dsc >/dev/null 2>&1; then
  # apt-get source needs a deb-src twin of the deb entry.
  if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
      sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
        $SUDO tee /etc/apt/sources.list.d/quorbel-src.sources >/dev/null
    else
      grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' |
        $SUDO tee /etc/apt/sources.list.d/quorbel-src.list >/dev/null
    fi
    $SUDO apt-get update -qq >&2
  fi
  (cd "$src" && apt-get source -qq --download-only libxml2="$(echo "$xml_ver")" lzo2="$(echo "$lzo_ver")" >&2) ||
    (cd "$src" && apt-get source -qq --download-only libxml2 lzo2 >&2)
fi

jobs=$(nproc)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && for d in "$src"/libxml2_*.dsc "$src"/lzo2_*.dsc; do dpkg-source -x --no-check "$d" >/dev/null 2>&1 || dpkg-source -x "$d" >&2; done)

log=$work/build.log
fail() { tail -40 "$log" >&2; echo "build-mingw-deps: $1 failed for $triplet" >&2; exit 1; }

echo "build-mingw-deps: building LZO for $triplet" >&2
lzodir=$(ls -d "$work"/lzo2-*/)
(cd "$lzodir" && ./configure --host="$triplet" --prefix="$prefix" --disable-shared --enable-static \
   CC="$triplet-gcc-posix" && make -j"$jobs" && make install) >"$log" 2>&1 || fail LZO

echo "build-mingw-deps: building libxml2 for $triplet" >&2
xmldir=$(ls -d "$work"/libxml2-*/)
# Debian's patches touch the autotools inputs: regenerate before configuring.
(cd "$xmldir" && autoreconf -fi &&
  ./configure --host="$triplet" --prefix="$prefix" CC="$triplet-gcc-posix" \
    --without-python --without-zlib --without-lzma --without-iconv --without-http --without-ftp \
    --without-threads --disable-shared --enable-static &&
  make -j"$jobs" && make install) >"$log" 2>&1 || fail libxml2
touch "$prefix/.done"
echo "$prefix"
