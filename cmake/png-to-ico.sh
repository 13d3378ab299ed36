#!/bin/sh
# png-to-ico.sh IN.png OUT.ico: an icon file holding the one PNG picture as it is (read by
# Windows Vista and later, and by wine).
set -eu
in=$1 out=$2
size=$(wc -c <"$in")
# Width and height from the PNG header (big-endian at bytes 16 and 20); 256 is written as 0.
w=$(od -An -tu1 -j19 -N1 "$in" | tr -d ' ')
h=$(od -An -tu1 -j23 -N1 "$in" | tr -d ' ')
byte() { printf "\\$(printf %03o "$1")"; }
le32() { byte $(($1 & 255)); byte $(($1 >> 8 & 255)); byte $(($1 >> 16 & 255)); byte $(($1 >> 24 & 255)); }
{
    byte 0; byte 0; byte 1; byte 0; byte 1; byte 0  # reserved, type icon, one picture
    byte "$w"; byte "$h"; byte 0; byte 0; byte 1; byte 0; byte 32; byte 0
    le32 "$size"; le32 22
    cat "$in"
} >"$out"
