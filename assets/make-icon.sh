#!/bin/sh
# Regenerates the windows' icon: patchkeeper.png (256 px, the Qt build), patchkeeper.ico
# (16, 32, 48 and 256 px, the Windows build) and hicolor/<size>.png (16 to 256 px, the
# Linux desktop's icon theme, which takes patchkeeper.svg for any other size).
# Needs ImageMagick's convert.
#
# The picture is an archive crate with two opposed arrows: one archive swapped for another.
# From 32 px up it is drawn on a 256-unit grid (patchkeeper.svg holds the same shapes) and rendered from the vectors at each size;
# 16 px has its own pixel drawing with one bold double arrow, since two outlined arrows blur
# into the crate there.
set -eu

# No timestamps in the PNG data, so that regenerating unchanged drawings changes no byte.
stable=png:exclude-chunks=date,time

here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

render() {
    size=$1
    scale=$(awk "BEGIN { print $size / 256 }")
    convert -size "${size}x${size}" xc:none -draw "
        affine $scale 0 0 $scale 0 0
        stroke-linejoin round
        stroke '#4a2a0c' stroke-width 10
        fill '#c98a3c' roundrectangle 40,104 216,234 14,14
        fill '#e8b061' roundrectangle 24,60 232,110 12,12
        stroke none fill '#4a2a0c' roundrectangle 98,76 158,94 6,6
        stroke '#0d3d47' stroke-width 7 fill '#2aa5bb'
        polygon 60,133 152,133 152,118 196,142 152,166 152,151 60,151
        polygon 196,185 104,185 104,170 60,194 104,218 104,203 196,203
    " -define "$stable" "PNG32:$2"
}

render_small() {
    cat >"$work/icon-16.xpm" <<'XPM'
/* XPM */
static char *icon[] = {
"16 16 5 1",
"  c None",
"d c #4A2A0C",
"l c #E8B061",
"b c #C98A3C",
"a c #0F6F82",
"                ",
"                ",
" dddddddddddddd ",
" dllllddddlllld ",
" dlllllllllllld ",
" dddddddddddddd ",
"  dbbbbbbbbbbd  ",
"  dbbabbbbabbd  ",
"  dbaabbbbaabd  ",
"  daaaaaaaaaad  ",
"  daaaaaaaaaad  ",
"  dbaabbbbaabd  ",
"  dbbabbbbabbd  ",
"  dbbbbbbbbbbd  ",
"  dddddddddddd  ",
"                "};
XPM
    convert "$work/icon-16.xpm" -define "$stable" "PNG32:$1"
}

render_small "$work/icon-16.png"
for size in 32 48 64 128 256; do
    render "$size" "$work/icon-$size.png"
done

cp "$work/icon-256.png" "$here/patchkeeper.png"
convert "$work/icon-16.png" "$work/icon-32.png" "$work/icon-48.png" "$work/icon-256.png" \
    -define "$stable" "$here/patchkeeper.ico"

mkdir -p "$here/hicolor"
for size in 16 32 48 64 128 256; do
    cp "$work/icon-$size.png" "$here/hicolor/$size.png"
done
