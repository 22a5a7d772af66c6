#!/usr/bin/env bash
# Stepping through a folder with the keys: opened on b.png of a.png, b.png, c.jpg, junk.jpg (text)
# and d.bmp, the window takes each picture's size about the screen centre, Space and Backspace
# step with wrap-around, Home and End jump to the ends, and junk.jpg is skipped.
# shellcheck source=tests/e2e/lib.sh
. "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

# step KEY TITLE: types the key and checks that the window comes to the picture.
step() {
    e2e_key "$wid" "$1"
    e2e_wait_title "$wid" "$2"
    e2e_check_eq "after $1" "$2" "$(e2e_title "$wid")"
}

pics=$E2E_OUT/pics
mkdir -p "$pics/sub"
convert -size 200x150 xc:'#ff0000' "$pics/a.png"
convert -size 300x200 xc:'#00ff00' "$pics/b.png"
convert -size 240x180 xc:'#0000ff' -quality 95 "$pics/c.jpg"
printf 'plain text, not a picture\n' >"$pics/junk.jpg"
convert -size 160x120 xc:'#ffff00' "BMP3:$pics/d.bmp"

e2e_reg_delete_key 'HKCU\SOFTWARE\Vistrel'
e2e_start "$(e2e_winpath "$pics/b.png")"
wid=$(e2e_wait_window '^b\.png - Vistrel$') || e2e_abort "the main window never appeared"
sleep 0.5

e2e_check_eq "title" "b.png - Vistrel" "$(e2e_title "$wid")"
read -r x y w h < <(e2e_geometry "$wid")
e2e_check_eq "window at the picture's size" "300x200" "${w}x${h}"
e2e_check_eq "centred on the screen (centre 640,512)" "490,412" "$x,$y"

step space "c.jpg - Vistrel"
read -r x y w h < <(e2e_geometry "$wid")
e2e_check_eq "window follows c.jpg" "240x180 at 520,422" "${w}x${h} at $x,$y"
step space "d.bmp - Vistrel"
# junk.jpg can't be decoded: past it the walk wraps to the first picture.
step space "a.png - Vistrel"
step BackSpace "d.bmp - Vistrel"
step BackSpace "c.jpg - Vistrel"
step Home "a.png - Vistrel"
step End "d.bmp - Vistrel"
# junk.jpg was dropped from the list: one Space from d.bmp wraps straight to a.png again.
step space "a.png - Vistrel"

# The label of the last step sits just above the window, right-aligned with it.
tag=$(e2e_windows '^KovV_TagWnd$' | head -n 1)
if [ -n "$tag" ]; then
    read -r x y w h < <(e2e_geometry "$wid")
    read -r tx ty tw th < <(e2e_geometry "$tag")
    e2e_check_eq "label's right edge is the window's" "$((x + w))" "$((tx + tw))"
    e2e_check_eq "label's bottom edge is the window's top" "$y" "$((ty + th))"
else
    e2e_check "a label is shown after a step" false
fi

shot=$E2E_OUT/a.png
e2e_screenshot "$shot" "$wid"
e2e_check_eq "a.png is painted" "255 0 0" "$(e2e_pixel "$shot" 100 140)"

e2e_key "$wid" Escape
e2e_check "Esc ends the program" e2e_wait_exit 10
e2e_finish
