#!/usr/bin/env bash
# make-samples.sh [FOLDER]
# Writes a folder of pictures for trying the viewer by hand (default build/samples; scripts/run
# opens its first one): scenes drawn with ImageMagick, each with its own file name written on it,
# in the order a folder listing sorts them: an evening sky, a plasma, a picture taller than a
# 1280x1024 screen, one wider, an animated GIF, a photo-sized JPEG (4000x3000), a half
# transparent PNG, and a file named like a picture that holds text (the viewer skips it).
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
rm -f "$stamp" "$out"/[0-9][0-9]-*

font=Liberation-Sans-Bold
# The same scenes every time: the ridges take their heights from $RANDOM, plasma from -seed.
RANDOM=1

# ridge WIDTH HEIGHT BASE AMPLITUDE STEP: the points of a mountain ridge across the whole width,
# closed along the bottom edge, for -draw "polygon ...".
ridge() {
    local w=$1 h=$2 base=$3 amp=$4 step=$5 x=0 points
    points="0,$h"
    while [ "$x" -lt "$w" ]; do
        points+=" $x,$((base - RANDOM % amp))"
        x=$((x + step))
    done
    printf '%s %s,%s %s,%s' "$points" "$w" "$((base - RANDOM % amp))" "$w" "$h"
}

# label GRAVITY SIZE OFFSET TEXT: ImageMagick options writing TEXT in white with a dark edge.
label() {
    printf '%s\n' -gravity "$1" -font "$font" -pointsize "$2" -fill white -stroke '#0008' \
        -strokewidth "$(($2 / 20 + 1))" -annotate "$3" "$4" -stroke none
}

# Plasma is slow at large sizes: it is made small, softened and enlarged.
f=01-evening-sky-800x600.jpg
mapfile -t text < <(label south 34 +0+20 "$f")
convert -size 800x600 gradient:'#0d1440-#ff9a4a' \
    \( -size 800x600 xc:none -fill '#fff1c4' -draw 'circle 400,430 400,372' -blur 0x14 \) -composite \
    -fill '#2a1838' -draw "polygon $(ridge 800 600 470 60 40)" \
    -fill '#140c20' -draw "polygon $(ridge 800 600 540 40 25)" \
    "${text[@]}" -quality 92 "$out/$f"

f=02-plasma-1024x768.png
mapfile -t text < <(label south 40 +0+24 "$f")
convert -seed 7 -size 128x96 plasma:fractal -blur 0x1 -resize 1024x768\! -modulate 105,170 \
    "${text[@]}" -depth 8 "PNG24:$out/$f"

f=03-aurora-tall-640x1600.jpg
mapfile -t top < <(label north 34 +0+30 "$f")
mapfile -t bottom < <(label south 30 +0+30 "taller than the screen")
convert -size 640x1600 gradient:'#02040f-#0b3a4a' \
    \( -seed 11 -size 64x160 plasma:green-blue -blur 0x1 -resize 640x1600\! -modulate 100,80 \) \
    -compose screen -composite -compose over \
    -fill '#05070c' -draw "polygon $(ridge 640 1600 1480 80 32)" \
    "${top[@]}" "${bottom[@]}" -quality 90 "$out/$f"

f=04-mountains-wide-2600x700.jpg
mapfile -t text < <(label center 44 +0-200 "$f  -  wider than the screen")
convert -size 2600x700 gradient:'#7fb8e6-#fbeedd' \
    -fill '#8fa3c0' -draw "polygon $(ridge 2600 700 380 160 60)" \
    -fill '#5d7393' -draw "polygon $(ridge 2600 700 480 120 45)" \
    -fill '#34465e' -draw "polygon $(ridge 2600 700 590 80 30)" \
    "${text[@]}" -quality 90 "$out/$f"

# Sixteen whole frames, 60 ms each, looping: a ball bouncing from left to right.
f=05-bouncing-ball-animated-320x240.gif
frames=()
for i in $(seq 0 15); do
    x=$((30 + i * 260 / 15))
    d=$((i % 8 - 4))
    y=$((50 + d * d * 150 / 16))
    mapfile -t top < <(label north 15 +0+8 "$f")
    mapfile -t bottom < <(label south 15 +0+6 "frame $((i + 1)) of 16")
    frames+=(\( -size 320x240 gradient:'#203050-#6080b0'
        -fill '#ffb020' -stroke '#0006' -draw "circle $x,$y $((x + 18)),$y" -stroke none
        "${top[@]}" "${bottom[@]}" \))
done
convert -delay 6 -loop 0 "${frames[@]}" "$out/$f"

# Opened at its own size the window shows the top middle first, where its name is; a grid every
# 500 pixels shows how far a pan went.
f=06-photo-sized-4000x3000.jpg
mapfile -t text < <(label north 60 +0+60 "$f")
grid=()
for x in $(seq 500 500 3500); do grid+=(-draw "line $x,0 $x,2999"); done
for y in $(seq 500 500 2500); do grid+=(-draw "line 0,$y 3999,$y"); done
convert -seed 3 -size 200x150 plasma:fractal -blur 0x1.5 -resize 4000x3000\! -modulate 100,150 \
    -stroke '#ffffff60' -strokewidth 3 "${grid[@]}" -stroke none "${text[@]}" -quality 88 "$out/$f"

# Half transparent: the window's background shows through at the edges.
f=07-glass-alpha-480x360.png
mapfile -t text < <(label center 26 +0+0 "$f")
convert -size 480x360 radial-gradient:'rgba(40,170,255,1)-rgba(40,170,255,0)' \
    "${text[@]}" "PNG32:$out/$f"

# Named like a picture, holds text: the viewer must skip it.
printf 'not a picture\n' >"$out/08-not-a-picture.jpg"

printf '%s\n' "$recipe" >"$stamp"
echo "$out"
