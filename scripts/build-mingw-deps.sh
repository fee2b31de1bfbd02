#!/bin/sh
# Cross-builds static libxml2 and LZO, and with "ffmpeg" FFmpeg's libraries
# (LGPL, just the formats, codecs and filters the conversion control needs),
# for a mingw target from Debian's source packages, into a cache folder
# outside the checkout keyed by version, and prints the install prefix.
# Later runs reuse the cache.
#   scripts/build-mingw-deps.sh x86_64-w64-mingw32|i686-w64-mingw32 [ffmpeg]
set -eu
triplet=$1
with_ffmpeg=no
[ "${2:-}" = ffmpeg ] && with_ffmpeg=yes
cache=${QUORBEL_DEPS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/quorbel-deps}
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo

xml_ver=$(dpkg-query -W -f='${Version}' libxml2-dev)
lzo_ver=$(dpkg-query -W -f='${Version}' liblzo2-dev)
ff_ver=$(dpkg-query -W -f='${Version}' libavcodec-dev)
versions=$(printf 'libxml2-%s_lzo2-%s_ffmpeg-%s' "$xml_ver" "$lzo_ver" "$ff_ver" | tr -c 'A-Za-z0-9._\n-' '_')
# The recipe below is part of the key: another configure line builds anew.
key=${versions}_$(sha256sum "$0" | cut -c1-12)
prefix=$cache/$key/$triplet
[ $with_ffmpeg = yes ] && prefix=$prefix-ffmpeg
if [ -f "$prefix/.done" ]; then echo "$prefix"; exit 0; fi

# Two builds of one checkout, or two checkouts, may ask at once: one builds
# (or fetches the sources), the other waits for it and takes its result.
mkdir -p "$cache/$key"
exec 9>"$prefix.lock"
flock 9
if [ -f "$prefix/.done" ]; then echo "$prefix"; exit 0; fi

src=$cache/src/$versions
mkdir -p "$src"
exec 8>"$src.lock"
flock 8
if ! ls "$src"/libxml2_*.dsc >/dev/null 2>&1 || ! ls "$src"/lzo2_*.dsc >/dev/null 2>&1 ||
   ! ls "$src"/ffmpeg_*.dsc >/dev/null 2>&1; then
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
  (cd "$src" && apt-get source -qq --download-only libxml2="$xml_ver" lzo2="$lzo_ver" ffmpeg="$ff_ver" >&2) ||
    (cd "$src" && apt-get source -qq --download-only libxml2 lzo2 ffmpeg >&2)
fi

flock -u 8

jobs=$(nproc)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
packages="libxml2 lzo2"
[ $with_ffmpeg = yes ] && packages="$packages ffmpeg"
(cd "$work" && for p in $packages; do
   d=$(ls "$src"/${p}_*.dsc)
   dpkg-source -x --no-check "$d" >/dev/null 2>&1 || dpkg-source -x "$d" >&2
 done)

log=$work/build.log
fail() { tail -40 "$log" >&2; echo "build-mingw-deps: $1 failed for $triplet" >&2; exit 1; }

echo "build-mingw-deps: building LZO for $triplet" >&2
lzodir=$(ls -d "$work"/lzo2-*/)
# LZO's sources find out the platform themselves: its library is its
# sources compiled side by side and archived. Its configure script and
# libtool would cost ten times the processor time, most of a small
# machine's minutes spent on LZO.
(cd "$lzodir" && mkdir -p obj &&
  ls src/*.c | xargs -P "$jobs" -I{} sh -c '"$0" -O2 -Iinclude -Isrc -c "$1" -o "obj/$(basename "$1" .c).o"' \
    "$triplet-gcc-posix" {} &&
  "$triplet-ar" rcs liblzo2.a obj/*.o &&
  mkdir -p "$prefix/lib" "$prefix/include/lzo" &&
  cp liblzo2.a "$prefix/lib/" && cp include/lzo/*.h "$prefix/include/lzo/") >"$log" 2>&1 || fail LZO

echo "build-mingw-deps: building libxml2 for $triplet" >&2
xmldir=$(ls -d "$work"/libxml2-*/)
# Debian's patches touch the autotools inputs: regenerate before configuring.
(cd "$xmldir" && autoreconf -fi &&
  ./configure --host="$triplet" --prefix="$prefix" CC="$triplet-gcc-posix" \
    --without-python --without-zlib --without-lzma --without-iconv --without-http --without-ftp \
    --without-threads --disable-shared --enable-static &&
  make -j"$jobs" && make install) >"$log" 2>&1 || fail libxml2

if [ $with_ffmpeg = no ]; then
  touch "$prefix/.done"
  echo "$prefix"
  exit 0
fi

echo "build-mingw-deps: building FFmpeg for $triplet" >&2
ffdir=$(ls -d "$work"/ffmpeg-*/)
case $triplet in x86_64-*) arch=x86_64 ;; *) arch=x86 ;; esac
# Reading: the containers of ordinary video files (and the raw streams a probe
# may meet) and their usual codecs. Writing: MPEG-1/2 video, MP2 and AC-3.
demuxers=avi,mov,asf,matroska,mpegps,mpegts,flv,ogg,mpegvideo,m4v,h264,hevc
decoders=h264,hevc,mpeg4,msmpeg4v1,msmpeg4v2,msmpeg4v3,wmv1,wmv2,wmv3,vc1,mpeg1video,mpeg2video,mjpeg
decoders=$decoders,vp8,vp9,theora,aac,aac_latm,mp3,mp3float,mp2,mp2float,ac3,eac3,wmav1,wmav2,wmapro,vorbis,opus,flac
decoders=$decoders,pcm_s16le,pcm_s16be,pcm_u8,pcm_s24le,pcm_s32le,pcm_f32le,pcm_dvd,pcm_alaw,pcm_mulaw
parsers=h264,hevc,mpeg4video,mpegvideo,mpegaudio,aac,aac_latm,ac3,vc1,vp8,vp9,mjpeg,flac,opus,vorbis
# The picture and sound paths' filter graphs (all LGPL; their sources and
# sinks are always built).
filters=format,aformat,yadif,transpose,hflip,vflip,crop,scale,pad,setsar,setfield,fps,aresample
(cd "$ffdir" && ./configure --prefix="$prefix" --enable-cross-compile --target-os=mingw32 --arch="$arch" \
    --cross-prefix="$triplet-" --cc="$triplet-gcc-posix" --cxx="$triplet-g++-posix" --x86asmexe=nasm \
    --pkg-config=false --enable-static --disable-shared --disable-debug --disable-doc --disable-programs \
    --optflags=-O2 \
    --disable-autodetect --enable-w32threads --disable-network --disable-avdevice \
    --disable-postproc --disable-everything --enable-protocol=file \
    --enable-demuxer="$demuxers" --enable-decoder="$decoders" --enable-parser="$parsers" \
    --enable-encoder=mpeg1video,mpeg2video,mp2,ac3 --enable-swscale --enable-swresample \
    --enable-avfilter --enable-filter="$filters" &&
  grep -q '^#define CONFIG_GPL 0' config.h && grep -q '^#define CONFIG_NONFREE 0' config.h &&
  for f in $(echo "$filters" | tr , ' '); do
    grep -q "^#define CONFIG_$(echo "$f" | tr a-z A-Z)_FILTER 1" config_components.h || { echo "no filter $f" >&2; exit 1; }
  done &&
  make -j"${QUORBEL_DEPS_JOBS:-$jobs}" && make install) >"$log" 2>&1 || fail FFmpeg
touch "$prefix/.done"
echo "$prefix"
