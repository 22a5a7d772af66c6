#!/usr/bin/env bash
# Started without a picture: a 320 x 240 window centred on the screen (work-area centre 640,512),
# filled with the window-text colour (black) and showing the hint "右键单击弹出菜单" as real glyphs
# in the window colour, centred on one line. The view keys do nothing without a picture.
# shellcheck source=tests/e2e/lib.sh
. "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

e2e_reg_delete_key 'HKCU\SOFTWARE\Vistrel'
e2e_start
wid=$(e2e_wait_window '^Vistrel$') || e2e_abort "the main window never appeared"
read -r x y w h < <(e2e_geometry "$wid")
e2e_check_eq "window" "480,392 320x240" "$x,$y ${w}x${h}"

# The whole screen, so that what is drawn is judged where it is shown.
shot=$E2E_OUT/screen.png
win=$E2E_OUT/window.png
for _ in $(seq 50); do
    e2e_screenshot "$shot"
    convert "$shot" -crop "320x240+480+392" +repage "png:$win"
    [ "$(e2e_count_near "$win" 255 255 255 40)" -gt 0 ] && break
    sleep 0.1
done
area=$((320 * 240))
e2e_check_range "window-text colour fills the window" $((area * 85 / 100)) "$area" \
    "$(e2e_count_near "$win" 0 0 0 24)"
for corner in "0 0" "319 0" "0 239" "319 239"; do
    # shellcheck disable=SC2086
    e2e_check_eq "corner $corner" "0 0 0" "$(e2e_pixel "$win" $corner)"
done
read -r tx ty tw th < <(e2e_extent_apart "$win" 0 0 0 24)
e2e_say "info - hint box ${tw}x${th} at $tx,$ty of the window"
e2e_check_range "hint width (eight glyphs)" 61 300 "$tw"
e2e_check_range "columns crossing 3 or more strokes (glyphs, not boxes)" 10 "$tw" \
    "$(e2e_columns_with_runs "$win" 3)"
e2e_check_range "hint centred across" 152 168 $((tx + tw / 2))
e2e_check_range "hint centred down" 112 128 $((ty + th / 2))

# Enter, keypad plus and minus need a picture: the window stays as it is.
e2e_key "$wid" Return KP_Add KP_Subtract
sleep 0.3
read -r x y w h < <(e2e_geometry "$wid")
e2e_check_eq "view keys without a picture" "480,392 320x240" "$x,$y ${w}x${h}"
e2e_check_eq "no label without a picture" "" "$(e2e_windows '^KovV_TagWnd$')"

e2e_key "$wid" Escape
e2e_check "Esc ends the program" e2e_wait_exit 10
e2e_finish
