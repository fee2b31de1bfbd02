#!/bin/sh
# Makes a Wine prefix as an installed suite has it:
#   scripts/make-suite-prefix.sh <prefix> <win64 build dir>
#
# - the stand-ins of the outside components where the programs look for
#   them: "MPEGFilter.dll", "MPEGWriteFilter.dll" and "DVDEncoder.dll" in the
#   system folder; "RealMedia.dll", muxTools, DvdScribe, CdScribe and
#   DVDAuthorDLL in the program folder C:\Program Files\Quorbel\, beside the
#   programs (copied too when the build has them), with the conversion
#   control MPEGCreator.dll;
# - the filter libraries and the conversion control registered with regsvr32
#   (they are COM servers);
# - the DirectX version the programs check (HKLM\SOFTWARE\Microsoft\DirectX,
#   Version 4.09.00.0904);
# - handlers for .htm, mailto: and .avi that only record what they were asked
#   to open, one line each, in C:\quorbel-opened.txt;
# - virtual writer drives (C:\quorbel-drives.ini): E: a DVD writer with a blank
#   DVD-R, F: a CD writer with a blank CD-R, G: a CD writer with a used CD-RW;
#   their discs are folders under C:\quorbel-discs\;
# - "app.ini" in the program folder with the suite's version.
# A prefix that does not exist yet is made first (scripts/make-wineprefix.sh).
set -eu

if [ $# -lt 2 ]; then
  echo "usage: $0 <prefix> <win64 build dir>" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
prefix=$(mkdir -p "$1" && cd "$1" && pwd)
build=$(cd "$2" && pwd)

[ -f "$prefix/system.reg" ] || "$here/make-wineprefix.sh" "$prefix"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY

system="$prefix/drive_c/windows/system32"
program="$prefix/drive_c/Program Files/Quorbel"
mkdir -p "$program" "$prefix/drive_c/quorbel-discs"

# The built files by name, as the build lists them (suite-files.txt): never a
# copy elsewhere in the build tree, such as this prefix's own from an
# earlier run when the prefix lies in the build tree.
files=$build/suite-files.txt
[ -f "$files" ] || { echo "make-suite-prefix: $files is missing (configure and build $build first)" >&2; exit 1; }
# find_built <file>: its built path ("" when it is not built).
find_built() {
  path=$(awk -F '\t' -v name="$1" '$1 == name { print $2; exit }' "$files")
  if [ -n "$path" ] && [ -f "$path" ]; then echo "$path"; fi
}

place() {
  file=$1 folder=$2 required=$3
  found=$(find_built "$file")
  if [ -z "$found" ]; then
    if [ "$required" = yes ]; then
      echo "make-suite-prefix: $file is not built in $build" >&2
      exit 1
    fi
    return 0
  fi
  cp "$found" "$folder/$file"
}

for dll in MPEGFilter.dll MPEGWriteFilter.dll DVDEncoder.dll; do
  place "$dll" "$system" yes
done
for dll in RealMedia.dll muxTools.dll DvdScribe.dll CdScribe.dll DVDAuthorDLL.dll MPEGCreator.dll; do
  place "$dll" "$program" yes
done
# The suite itself, when it is built.
for file in Quorbel.exe Vantrel.exe Pelzor.exe Skarven.exe VeneerKit.dll zrDiscImage.dll; do
  place "$file" "$program" no
done

for dll in 'C:\windows\system32\MPEGFilter.dll' 'C:\windows\system32\MPEGWriteFilter.dll' \
           'C:\windows\system32\DVDEncoder.dll' 'C:\Program Files\Quorbel\RealMedia.dll' \
           'C:\Program Files\Quorbel\MPEGCreator.dll'; do
  wine regsvr32 /s "$dll" >/dev/null 2>&1 || { echo "make-suite-prefix: regsvr32 $dll failed" >&2; exit 1; }
done

# The installed version the About boxes show.
[ -f "$program/app.ini" ] || printf '[main]\r\nAppVer=1.0\r\n' > "$program/app.ini"

reg() { wine reg add "$@" /f >/dev/null 2>&1; }
reg 'HKLM\SOFTWARE\Microsoft\DirectX' /v Version /t REG_SZ /d 4.09.00.0904
recorder='C:\windows\system32\cmd.exe /c echo %1>>C:\quorbel-opened.txt'
reg 'HKCR\.htm' /ve /d htmlfile
reg 'HKCR\htmlfile\shell\open\command' /ve /d "$recorder"
reg 'HKCR\mailto' /v 'URL Protocol' /d ''
reg 'HKCR\mailto\shell\open\command' /ve /d "$recorder"
reg 'HKCR\.avi' /ve /d quorbel.avi
reg 'HKCR\quorbel.avi\shell\open\command' /ve /d "$recorder"

printf '%s\r\n' \
  '[drives]' 'letters=EFG' 'discs=C:\quorbel-discs' \
  '[E]' 'vendor=QUORBEL' 'product=Virtual DVD Writer' 'writes=cd,dvd' 'medium=DVD-R' 'blank=1' 'changeOnEject=1' \
  '[F]' 'vendor=QUORBEL' 'product=Virtual CD Writer' 'writes=cd' 'medium=CD-R' 'blank=1' 'changeOnEject=1' \
  '[G]' 'vendor=QUORBEL' 'product=Virtual CD-RW Writer' 'writes=cd' 'medium=CD-RW' 'blank=0' 'used=20000' \
  > "$prefix/drive_c/quorbel-drives.ini"

wineserver -w
echo "suite prefix ready: $prefix"
