#!/usr/bin/env bash
# A picture smaller than the screen cannot be panned, so a left-button drag moves the window (the
# system's move loop): a later zoom (keypad plus) grows the window about the new centre, a drag past
# the right or bottom edge stops at the work area, and sizing at an edge stops at the displayed
# picture's size.
# shellcheck source=tests/e2e/lib.sh
. "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

# expect_geometry WHAT "X,Y WxH": waits up to 3 s for the window to get there.
expect_geometry() {
    local what=$1 want=$2 got i x y w h
    for i in $(seq 30); do
        read -r x y w h < <(e2e_geometry "$wid")
        got="$x,$y ${w}x${h}"
        [ "$got" = "$want" ] && break
        sleep 0.1
    done
    e2e_check_eq "$what" "$want" "$got"
}

pics=$E2E_OUT/pics
mkdir -p "$pics"
# Left half red, right half blue: the picture's own pixels show where its middle is.
convert -size 200x300 xc:'#c01e28' -size 200x300 xc:'#143cdc' +append -strip "png24:$pics/small.png"

e2e_reg_delete_key 'HKCU\SOFTWARE\Vistrel'
e2e_start "$(e2e_winpath "$pics/small.png")"
wid=$(e2e_wait_window 'small\.png - Vistrel$') || e2e_abort "the main window never appeared"
expect_geometry "centred on the work area" "440,362 400x300"

e2e_drag 640 512 840 612
expect_geometry "a drag moves the window" "640,462 400x300"
shot=$E2E_OUT/moved.png
sleep 0.3
e2e_screenshot "$shot"
e2e_check_eq "moved picture, left half" "192 30 40" "$(e2e_pixel "$shot" 839 612)"
e2e_check_eq "moved picture, right half" "20 60 220" "$(e2e_pixel "$shot" 840 612)"

# 400 x 300 at 1.05 is 419 x 314, about the new centre (840, 612).
e2e_key "$wid" KP_Add
expect_geometry "zoom in about the new centre" "631,455 419x314"
e2e_key "$wid" KP_Subtract
expect_geometry "zoom out about the same centre" "640,462 400x300"

e2e_drag 840 612 1240 612
expect_geometry "a drag past the right edge stops there" "880,462 400x300"
e2e_drag 1080 612 1080 1000
expect_geometry "and past the bottom edge" "880,724 400x300"
e2e_drag 1080 874 500 300
expect_geometry "back inside, nothing held" "300,150 400x300"

# Sizing at the left edge: inward works, outward stops at the picture's own width.
e2e_drag 302 300 402 300
expect_geometry "narrower from the left edge" "400,150 300x300"
e2e_drag 402 300 102 300
expect_geometry "wider stops at the picture's width" "300,150 400x300"

e2e_key "$wid" Escape
e2e_check "Esc ends the program" e2e_wait_exit 10
e2e_finish
