#!/bin/sh
# Makes a suite prefix with scripts/make-suite-prefix.sh and checks it: the
# stand-ins in their folders, the filter libraries registered, the DirectX
# version and the handlers in the registry, the drives settings file.
#   check-suite-prefix.sh <source dir> <win64 build dir> <prefix>
set -eu
src=$1 build=$2 prefix=$3
rm -rf "$prefix"
sh "$src/scripts/make-suite-prefix.sh" "$prefix" "$build"
export WINEPREFIX="$prefix" WINEDEBUG=-all
unset DISPLAY
status=0
check() {
  if [ ! -s "$1" ]; then echo "FAIL missing $1"; status=1; fi
}
for f in MPEGFilter.dll MPEGWriteFilter.dll DVDEncoder.dll; do check "$prefix/drive_c/windows/system32/$f"; done
for f in RealMedia.dll muxTools.dll DvdScribe.dll CdScribe.dll DVDAuthorDLL.dll MPEGCreator.dll; do
  check "$prefix/drive_c/Program Files/Quorbel/$f"
done
check "$prefix/drive_c/quorbel-drives.ini"
query() { wine reg query "$@" 2>/dev/null | tr -d '\r'; }
query 'HKLM\SOFTWARE\Microsoft\DirectX' /v Version | grep -q '4.09.00.0904' || { echo "FAIL DirectX version"; status=1; }
for f in MPEGFilter MPEGWriteFilter DVDEncoder RealMedia; do
  query "HKCU\\Software\\Quorbel\\Filters\\$f" /v Registrations | grep -q 0x1 || { echo "FAIL $f not registered"; status=1; }
done
query 'HKCR\CLSID\{D81ADC49-B724-468C-89FC-D39AEB8A9956}\InprocServer32' | grep -q 'MPEGCreator.dll' ||
  { echo "FAIL conversion control not registered"; status=1; }
query 'HKCR\htmlfile\shell\open\command' | grep -q 'quorbel-opened' || { echo "FAIL .htm handler"; status=1; }
query 'HKCR\mailto\shell\open\command' | grep -q 'quorbel-opened' || { echo "FAIL mailto handler"; status=1; }
wineserver -k 2>/dev/null || true
# A passing prefix is not kept: it is as big as Wine itself.
if [ $status -eq 0 ]; then rm -rf "$prefix"; echo "suite prefix ok"; fi
exit $status
