#!/usr/bin/env bash
# A display scale of 150 % (the prefix's LogPixels 144): the interface grows, the picture does not.
# The empty window is 480x360, a 400x300 picture's window stays 400x300 and shows its pixels one
# for one, and the label's text is about 1.5 times as tall as at 96. The scale is set in a private
# copy of the prefix, so the shared one keeps 96 whatever happens here.
# shellcheck source=tests/e2e/lib.sh
. "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

# label_height: the height of the label over the picture, once it is shown.
label_height() {
    local tag i x y w h
    for i in $(seq 50); do
        tag=$(e2e_windows '^KovV_TagWnd$' | head -n 1)
        [ -n "$tag" ] && break
        sleep 0.1
    done
    [ -n "$tag" ] || { echo 0; return; }
    read -r x y w h < <(e2e_geometry "$tag")
    echo "$h"
}

pics=$E2E_OUT/pics
mkdir -p "$pics"
convert -size 200x300 xc:'#c01e28' -size 200x300 xc:'#143cdc' +append -strip "png24:$pics/pic.png"

# The label at 96 DPI, for comparison.
e2e_reg_delete_key 'HKCU\SOFTWARE\Vistrel'
e2e_start "$(e2e_winpath "$pics/pic.png")"
wid=$(e2e_wait_window 'pic\.png - Vistrel$') || e2e_abort "the main window never appeared"
label96=$(label_height)
e2e_key "$wid" Escape
e2e_wait_exit 10 || e2e_end_program

e2e_private_prefix
e2e_wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1 ||
    e2e_abort "could not set LogPixels"
wineserver -k && timeout 30 wineserver -w && wineserver -p

e2e_start
wid=$(e2e_wait_window '^Vistrel$' 40) || e2e_abort "the empty window never appeared"
e2e_check_geometry "$wid" "the empty window at 150 %, centred" "400,332 480x360"
e2e_key "$wid" Escape
e2e_wait_exit 10 || e2e_end_program

e2e_start "$(e2e_winpath "$pics/pic.png")"
wid=$(e2e_wait_window 'pic\.png - Vistrel$') || e2e_abort "the picture's window never appeared"
label144=$(label_height)
e2e_check_geometry "$wid" "a 400x300 picture keeps its size in screen pixels" "440,362 400x300"
sleep 0.3
shot=$E2E_OUT/picture.png
e2e_screenshot "$shot"
e2e_check_eq "the last red column is the picture's 200th" "192 30 40" "$(e2e_pixel "$shot" 639 600)"
e2e_check_eq "the first blue column its 201st" "20 60 220" "$(e2e_pixel "$shot" 640 600)"
e2e_check "the label at 96 DPI was measured" [ "$label96" -gt 0 ]
# 1.5 times as tall, within a few pixels of font rounding either way.
e2e_check_range "the label's height at 144 DPI (at 96: $label96)" $((label96 * 3 / 2 - 3)) \
    $((label96 * 3 / 2 + 3)) "$label144"
e2e_key "$wid" Escape
e2e_check "Esc ends the program" e2e_wait_exit 10
e2e_finish
