#!/usr/bin/env bash
# Two monitors side by side on a real X server (Xorg with the dummy driver; Xvfb cannot give two):
# the primary 1280x1024 at (0,0) and a second 1024x768 right of it. A left drag takes the window
# from the primary onto the second monitor, the next picture, larger than that monitor, is laid out
# within its work area, and Enter fits the picture to it. Back on the primary at its own size, the
# picture's window fills the primary's work area; dragged with Shift onto the smaller monitor, it is
# laid out there at the end of the move, and so is the next large picture. The test starts and stops its own X
# server and runs in a private copy of the prefix, as Wine reads the monitors when its server starts.
# shellcheck source=tests/e2e/lib.sh
. "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

e2e_second_display "$(dirname -- "${BASH_SOURCE[0]}")/two_monitors.xorg.conf"
xrandr --addmode DUMMY1 1024x768 && xrandr --fb 2304x1024 &&
    xrandr --output DUMMY1 --mode 1024x768 --right-of DUMMY0 || e2e_abort "xrandr could not add the second monitor"
e2e_check_eq "X reports two monitors" 2 "$(xrandr --listmonitors | awk 'NR == 1 { print $2 }')"
e2e_private_prefix

# screen_pixel X Y WANT: the screen's pixel, once it is WANT or after 3 s (the paint may come late).
screen_pixel() {
    local i px
    for i in $(seq 15); do
        e2e_screenshot "$E2E_OUT/screen.png"
        px=$(e2e_pixel "$E2E_OUT/screen.png" "$1" "$2")
        [ "$px" = "$3" ] && break
        sleep 0.2
    done
    echo "$px"
}

pics=$E2E_OUT/pics
mkdir -p "$pics"
convert -size 200x300 xc:'#c01e28' -size 200x300 xc:'#143cdc' +append -strip "png24:$pics/a_small.png"
# 2400x1200: red, blue and, in its last 100 columns, green, which only a fitted view shows.
convert -size 1200x1200 xc:'#c01e28' -size 1100x1200 xc:'#143cdc' -size 100x1200 xc:'#1eb428' +append \
    -strip "png24:$pics/b_big.png"
convert -size 3000x2000 xc:'#808080' -strip "png24:$pics/c_huge.png"

e2e_start "$(e2e_winpath "$pics/a_small.png")"
wid=$(e2e_wait_window 'a_small\.png - Vistrel$' 40) || e2e_abort "the main window never appeared"
e2e_check_geometry "$wid" "starts centred on the primary's work area" "440,362 400x300"

# The pointer takes the window's centre onto the second monitor: the window goes there whole (how
# far past the monitor's left edge depends on how the system offsets each step of a move).
e2e_drag 640 512 1640 512
sleep 0.3
read -r x y w h < <(e2e_geometry "$wid")
e2e_check_range "a drag takes it onto the second monitor: left edge" 1280 1904 "$x"
e2e_check_eq "at the same height and size" "362 400x300" "$y ${w}x${h}"
e2e_drag 1640 512 2240 700
e2e_check_geometry "$wid" "held at the second monitor's right and bottom edges" "1904,468 400x300"
e2e_drag 2100 600 1640 400
e2e_check_geometry "$wid" "and moved back inside it" "1444,268 400x300"

# 2400x1200 at its own size: the window takes the second monitor's work area whole.
e2e_key "$wid" space
e2e_wait_title "$wid" 'b_big.png - Vistrel' || e2e_say "note - the title did not change"
e2e_check_geometry "$wid" "a picture larger than the monitor fills its work area" "1280,0 1024x768"
e2e_check_eq "own size: the green columns are out of view" "20 60 220" "$(screen_pixel 2300 400 "20 60 220")"

# Enter fits it to that monitor: 1024 wide, 512 high, about the centre the drag left (1644, 418).
e2e_key "$wid" Return
e2e_check_geometry "$wid" "Enter fits it to the second monitor" "1280,162 1024x512"
e2e_check_eq "fitted: the green columns show at the right" "30 180 40" "$(screen_pixel 2300 400 "30 180 40")"

# Back on the primary, Enter again gives the picture its own size: the window takes the primary's
# whole work area.
e2e_drag 1792 418 760 500
sleep 0.3
read -r x y w h < <(e2e_geometry "$wid")
e2e_check_range "a drag takes the fitted window back to the primary: left edge" 0 256 "$x"
e2e_check_eq "at the height the pointer went and the same size" "244 1024x512" "$y ${w}x${h}"
e2e_key "$wid" Return
e2e_check_geometry "$wid" "own size on the primary: its whole work area" "0,0 1280x1024"
# Shift makes a drag move a window that could pan. The move holds it at the smaller monitor's left
# and top edges, 1280x1024; when it ends, the window is laid out for that monitor.
timeout 5 xdotool windowfocus --sync "$wid" || e2e_say "note - could not focus window $wid"
xdotool keydown shift
xdotool mousemove --sync 600 500
e2e_drag 640 512 1900 400
xdotool keyup shift
e2e_check_geometry "$wid" "dragged with Shift onto the smaller monitor, it lies within it" "1280,0 1024x768"
e2e_key "$wid" space
e2e_wait_title "$wid" 'c_huge.png - Vistrel' || e2e_say "note - the title did not change"
e2e_check_geometry "$wid" "the next large picture is laid out there too" "1280,0 1024x768"

e2e_key "$wid" Escape
e2e_check "Esc ends the program" e2e_wait_exit 10
e2e_finish
