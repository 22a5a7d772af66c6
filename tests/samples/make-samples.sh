#!/usr/bin/env bash
# make-samples.sh [FOLDER]
# Writes a small folder of pictures for trying the viewer by hand and for tests (default
# build/samples): plain colours and sizes that tell them apart at a glance, in the order
# a folder listing sorts them, plus an animated GIF and a file that is no picture at all.
# Nothing here is committed; the pictures are made again when this script changes.
set -euo pipefail
here=$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")" && pwd)
out=${1:-$here/../../build/samples}
mkdir -p "$out"
out=$(cd -- "$out" && pwd)
stamp=$out/.made-by
recipe=$(cksum <"${BASH_SOURCE[0]}")
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$recipe" ]; then
    echo "$out"
    exit 0
fi
command -v convert >/dev/null || { echo "make-samples.sh: ImageMagick's convert is missing" >&2; exit 1; }

convert -size 400x300 xc:red "$out/01-red-400x300.png"
convert -size 640x480 xc:'rgb(0,160,0)' "$out/02-green-640x480.jpg"
convert -size 200x150 xc:blue "$out/03-blue-200x150.png"
convert -size 300x700 xc:yellow "$out/04-yellow-300x700.jpg"
# Larger than the screen both ways; a 16-bit grey PNG.
convert -size 1600x1200 gradient:white-black "$out/05-grey-gradient-1600x1200.png"
convert -size 2400x400 gradient:cyan-magenta "$out/06-cyan-magenta-2400x400.jpg"
# Half transparent orange, RGBA.
convert -size 320x240 xc:'rgba(255,128,0,0.5)' "PNG32:$out/07-orange-alpha-320x240.png"
# Three frames, 0.5 s each, looping.
convert -delay 50 -loop 0 -size 160x120 xc:red xc:lime xc:blue "$out/08-animated-160x120.gif"
# Named like a picture, holds text: the viewer must skip it.
printf 'not a picture\n' >"$out/09-not-a-picture.jpg"

printf '%s\n' "$recipe" >"$stamp"
echo "$out"
