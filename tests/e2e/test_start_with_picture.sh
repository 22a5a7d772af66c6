#!/usr/bin/env bash
# Started with a picture: the window first appears already at the picture's size, centred, titled
# after the file, with the label above it. Started with a file that can't be decoded: the empty
# 320 x 240 window titled "Vistrel", and no message.
# shellcheck source=tests/e2e/lib.sh
. "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

pics=$E2E_OUT/pics
mkdir -p "$pics"
name=$'\xe5\x9b\xbe\xe7\x89\x87 photo.png'  # 图片 photo.png
convert -size 400x300 xc:'#00c0c0' "$pics/$name"
printf 'not a picture\n' >"$pics/broken.png"

e2e_reg_delete_key 'HKCU\SOFTWARE\Vistrel'
e2e_start "$(e2e_winpath "$pics/$name")"
wid=$(e2e_wait_window "photo\\.png - Vistrel\$") || e2e_abort "the main window never appeared"
# Its very first size is already the picture's: read at once, before anything settles.
read -r x y w h < <(e2e_geometry "$wid")
e2e_check_eq "first size" "400x300" "${w}x${h}"
sleep 0.5
e2e_check_eq "title" "$name - Vistrel" "$(e2e_title "$wid")"
read -r x y w h < <(e2e_geometry "$wid")
e2e_check_eq "centred (centre 640,512)" "440,362 400x300" "$x,$y ${w}x${h}"

tag=$(e2e_windows '^KovV_TagWnd$' | head -n 1)
if [ -n "$tag" ]; then
    read -r tx ty tw th < <(e2e_geometry "$tag")
    e2e_check_eq "label's right edge is the window's" "$((x + w))" "$((tx + tw))"
    e2e_check_eq "label's bottom edge is the window's top" "$y" "$((ty + th))"
    e2e_check_range "label height" 8 40 "$th"
else
    e2e_check "the label is shown at start" false
fi

shot=$E2E_OUT/start.png
e2e_screenshot "$shot" "$wid"
e2e_check_eq "the picture is painted" "0 192 192" "$(e2e_pixel "$shot" 200 150)"

e2e_key "$wid" Escape
e2e_check "Esc ends the program" e2e_wait_exit 10

e2e_start "$(e2e_winpath "$pics/broken.png")"
wid=$(e2e_wait_window '^Vistrel$') || e2e_abort "the window for the broken file never appeared"
sleep 0.5
read -r x y w h < <(e2e_geometry "$wid")
e2e_check_eq "undecodable start: empty window" "320x240 at 480,392" "${w}x${h} at $x,$y"
e2e_check_eq "undecodable start: no other window" 1 "$(e2e_all_windows | wc -l)"
e2e_key "$wid" Escape
e2e_check "Esc ends the program" e2e_wait_exit 10
e2e_finish
