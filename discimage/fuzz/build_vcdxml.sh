#!/bin/sh
# Builds the VideoCD XML project fuzz target (the reader, then the playback
# lists of what it read) with clang's libFuzzer, ASan and UBSan and, with a
# run time in seconds, runs it that long:
#   discimage/fuzz/build_vcdxml.sh [out-dir] [seconds]
# The corpus is seeded with a small and a full project; a dictionary gives
# the fuzzer the format's names.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out=${1:-$root/build-fuzz/discimage-vcdxml}
seconds=${2:-}
mkdir -p "$out"
flags="-std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
       -I$root $(xml2-config --cflags)"
# Every platform-neutral source of the builder (the Windows entry point aside).
sources=$(ls "$root"/discimage/*.cpp "$root"/mfc/object.cpp "$root"/mfc/string.cpp \
             "$root"/mfc/collections.cpp | grep -v '/build_vcd_image\.cpp$')
clang++ $flags -o "$out/vcdxml_fuzz" "$here/vcdxml_fuzz.cpp" $sources $(xml2-config --libs)
[ -z "$seconds" ] && exit 0

ns="http://www.quorbel.example/ns/videocd/1.0"
doctype='<!DOCTYPE videocd PUBLIC "-//Ostrel//DTD VideoCD//EN" "http://www.quorbel.example/dtd/videocd-1.0.dtd">'
corpus="$out/corpus"
mkdir -p "$corpus"
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

dict="$out/vcdxml.dict"
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
"$out/vcdxml_fuzz" -max_total_time="$seconds" -max_len=8192 -rss_limit_mb=2048 -dict="$dict" "$corpus"
