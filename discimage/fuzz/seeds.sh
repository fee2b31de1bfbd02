#!/bin/sh
# Starting inputs for the image builder's fuzz targets (scripts/run-fuzzers.sh).
#   seeds.sh <target> <corpus dir> <fuzz build dir>
set -eu
target=$1
corpus=$2
build=$3
root=$(cd "$(dirname "$0")/../.." && pwd)
mkdir -p "$corpus"

case $target in
  mpeg_parse_fuzz|mpeg_scan_fuzz)
    # A flag byte, then the start of each fixture (a few packs).
    command -v ffmpeg >/dev/null || exit 0
    files=$build/seed-files/mpeg
    if [ ! -d "$files" ]; then
      mkdir -p "$files"
      sh "$root/scripts/make-mpeg-fixtures.sh" "$files" >/dev/null
    fi
    for f in "$files"/*.mpg "$files"/*.m1v; do
      [ -f "$f" ] || continue
      name=$(basename "$f")
      for flag in 0 1 3; do
        { printf "\\$(printf %o "$flag")"; head -c $((2324 * 6)) "$f"; } > "$corpus/$name.$flag"
      done
    done
    ;;
  iso_fuzz)
    printf '\000MPEGAV/AVSEQ01.DAT\nphotos/holiday.jpg\nEXT/sub-x\n/abs\n' > "$corpus/seed-names"
    printf '\003d EXT\nd MPEGAV\nVCD/INFO.VCD\nSEGMENT/ITEM0001.MPG\nEXT/NEW/LOT_X.VCD\n' > "$corpus/seed-tree"
    ;;
  nrg_fuzz)
    # Two tiny images, v50 with an ETNF table and v55 with ETN2 and CUEX.
    seed() { head -c $((2336 * 2)) /dev/zero; printf "$1"; }
    seed 'ETNF\0\0\0\024\0\0\0\0\0\0\022\100\0\0\0\3\0\0\0\0\0\0\0\0SINF\0\0\0\4\0\0\0\1END!\0\0\0\0NERO\0\0\022\100' \
      > "$corpus/seed-v50"
    seed 'ETN2\0\0\0\040\0\0\0\0\0\0\0\0\0\0\0\0\0\0\022\100\0\0\0\3\0\0\0\0\0\0\0\0\0\0\0\0CUEX\0\0\0\040\0\0\0\0\377\377\377\152\0\0\0\0\377\377\377\152\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\2DAOX\0\0\0\0END!\0\0\0\0NER5\0\0\0\0\0\0\022\100' \
      > "$corpus/seed-v55"
    ;;
  options_fuzz)
    printf -- '-x\0vcd.xml\0-i\0nrg\0-v\0002\0/bin-file\0a.bin' > "$corpus/seed-full"
    printf -- '/?\0-V\0-g' > "$corpus/seed-modes"
    ;;
  vcdxml_fuzz)
ns="http://www.quorbel.example/ns/videocd/1.0"
doctype='<!DOCTYPE videocd PUBLIC "-//Ostrel//DTD VideoCD//EN" "http://www.quorbel.example/dtd/videocd-1.0.dtd">'
cat > "$corpus/seed-minimal.xml" <<XML
<?xml version="1.0"?>
$doctype
<videocd xmlns="$ns" class="vcd" version="2.0"><info/><pvd/><sequence-items><sequence-item src="a.mpg" id="s"/></sequence-items></videocd>
XML
cat > "$corpus/seed-full.xml" <<XML
<?xml version="1.0"?>
$doctype
<videocd xmlns="$ns" class="svcd" version="1.0">
<option name="leadout pause" value="true"/>
<info><album-id>A</album-id><volume-count>2</volume-count><volume-number>1</volume-number><next-volume-use-sequence2/><next-volume-use-lid2/><restriction>1</restriction></info>
<pvd><volume-id>V</volume-id><system-id>S</system-id><application-id>P</application-id><preparer-id/><publisher-id>Q</publisher-id></pvd>
<filesystem><folder><name>D</name><folder><name>E</name></folder><file src="x\\y.txt"/></folder><file src="r.bin" format="mixed"><name>R</name></file></filesystem>
<segment-items><segment-item id="still" src="s.mpg"><auto-pause>1</auto-pause></segment-item><segment-item id="clip" src="c.mpg"/></segment-items>
<sequence-items><sequence-item id="seq" src="m&eacute;.mpg"><default-entry id="start"/><entry id="ch">10.5</entry><entry>20</entry><auto-pause>3</auto-pause></sequence-item><sequence-item src="b.mpg"/></sequence-items>
<pbc>
<playlist id="p"><prev ref="m"/><next ref="m"/><return ref="e"/><playtime>12.5</playtime><wait>90</wait><autowait>-1</autowait><play-item ref="seq"/><play-item ref="still"/><play-item ref="ch"/></playlist>
<selection id="m" rejected="true"><bsn>1</bsn><prev ref="p" x1="1" y1="2" x2="3" y2="4"/><next ref="e"/><return ref="p"/><default ref="p"/><timeout ref="e"/><wait>5</wait><loop jump-timing="delayed">3</loop><play-item ref="still"/><select ref="p" x1="5" y1="6" x2="7" y2="8"/><select ref="e"/></selection>
<selection id="md"><multi-default numeric="disabled"/><play-item ref="seq"/><select ref="p"/><select ref="p"/></selection>
<endlist id="e"><next-volume>2</next-volume><play-item ref="still"/></endlist>
</pbc>
</videocd>
XML
sed 's/class="svcd" version="1.0"/class="vcd" version="2.0"/' "$corpus/seed-full.xml" > "$corpus/seed-full-vcd.xml"

dict="$corpus.dict"
: > "$dict"
for word in videocd option info pvd filesystem folder file name segment-items segment-item \
    sequence-items sequence-item default-entry entry auto-pause pbc selection playlist endlist \
    album-id volume-count volume-number restriction start-time-offset next-volume-use-sequence2 \
    next-volume-use-lid2 volume-id system-id application-id preparer-id publisher-id prev next \
    return multi-default default timeout wait loop play-item select bsn autowait playtime \
    next-volume class version src format mixed form1 ref rejected numeric jump-timing delayed \
    x1 y1 x2 y2 id "$ns" "<!ENTITY" "SYSTEM" "&eacute;" "&#233;" "<![CDATA[" "-//Ostrel//DTD VideoCD//EN"; do
  printf '"%s"\n' "$(printf '%s' "$word" | sed 's/\\/\\\\/g; s/"/\\"/g')" >> "$dict"
done
    ;;
  *)
    echo "seeds.sh: no seeds for $target" >&2
    ;;
esac
