#!/bin/sh
# Starting inputs and dictionaries of the rich-text fuzz targets.
#   seeds.sh <target> <corpus dir> <fuzz build dir>
set -eu
target=$1
corpus=$2
mkdir -p "$corpus"
n=0
seed() {
  n=$((n + 1))
  printf '%b' "$1" > "$corpus/seed-$n"
}
sheet='body {font-size: 10pt; color:black; font-family:Verdana}\r\nh6 {font-size: 65%; color:#626262}\r\na:hover {text-decoration:underline; color:blue}\r\ntd {margin-left: 5px; padding-top: 2; border-width: thin}\r\n.note {background-color: #fbedbb; vertical-align: middle}\r\n'
markup='<b>Bold</b> and <i>italic</i>\n<font face="Courier New" size=+2 color=#ff0000 style=bu-i bkgnd=yellow>x</font><t=2>y<br=2><hr width=50% size=2 color=red><a href="http://x">link</a><span class=note>n</span><<<string idres=7>'
table='<table border=1 width=50% align=center bgcolor=red bgeffect=hcgradient bgendcolor=blue cellpadding=3><tr><td colspan=2 rowspan=2 valign=middle>a</td><td>b<table><tr><td>in</td></tr></table></td></tr><tr><td borderstyle=double border=2>c</td></tr><tr><td>d<td>e</table>tail'
images='<bmp idres=1 width=50% style=gs hotstyle=l mask=#ff00ff><icon idres=3 width=16><ilst idres=2 cx=16 cy=16 index=3><ilst index=1><bmp file=a.bmp><bmp handle=5>'
case $target in
  richtext_style_fuzz)
    seed "$sheet"
    seed 'td {color: red} td {font-weight: bold}\nBODY {FONT-SIZE: +2}\nx {size: thick; border-style: dashed; bgeffect: 3}'
    seed '10pt'
    seed '#a0b0c0'
    seed '0x10'
    ;;
  richtext_markup_fuzz)
    seed "$markup"
    seed "$table"
    seed "$images"
    ;;
  richtext_layout_fuzz)
    seed "$markup"
    seed "$table"
    seed "$images"
    seed "$sheet\\0$markup$table"
    seed "table {border-width: 1; border-style: double}\\0$table"
    ;;
esac
{
  for w in '"<b>"' '"</b>"' '"<i>"' '"<em>"' '"<u>"' '"<s>"' '"<font "' '"</font>"' '"<center>"' '"<right>"' \
           '"<vcenter>"' '"<bottom>"' '"<top>"' '"<h1>"' '"<h6>"' '"<pre>"' '"<code>"' '"<sub>"' '"<sup>"' \
           '"<span class="' '"<a href="' '"</a>"' '"<hr "' '"<br>"' '"<br="' '"<t>"' '"<bmp "' '"<icon "' \
           '"<ilst "' '"<string idres="' '"<table>"' '"</table>"' '"<tr>"' '"</tr>"' '"<td>"' '"</td>"' \
           '"colspan="' '"rowspan="' '"border="' '"width="' '"cellpadding="' '"cellspacing="' '"bgeffect="' \
           '"background=idres:"' '"valign="' '"align="' '"face="' '"size="' '"color="' '"style="' '"idres="' \
           '"cx="' '"cy="' '"index="' '"mask="' '"{"' '"}"' '":"' '";"' '"%"' '"px"' '"em"' '"pt"' '"#"' \
           '"font-size"' '"color"' '"margin-left"' '"padding-top"' '"border-width"' '"text-decoration"' \
           '"background-color"' '"vertical-align"' '"text-transform"' '"a:link"' '"a:hover"'; do
    echo "$w"
  done
} > "$corpus.dict"
