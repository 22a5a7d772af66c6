#!/usr/bin/env bash
# Two monitors side by side on a real X server (Xorg with the dummy driver; Xvfb cannot give two):
# the primary 1280x1024 at (0,0) and a second 1024x768 right of it. A left drag takes the window
# from the primary onto the second monitor, the next picture, larger than that monitor, is laid out
# within its work area, and Enter fits the picture to it. The test starts and stops its own X
# server and runs in a private copy of the prefix, as Wine reads the monitors when its server starts.
# shellcheck source=tests/e2e/lib.sh
. "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

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

cat >"$E2E_OUT/xorg.conf" <<'CONF'
Section "ServerFlags"
    Option "DontVTSwitch" "true"
    Option "AutoAddDevices" "false"
    Option "AllowMouseOpenFail" "true"
EndSection
Section "Device"
    Identifier "dummy"
    Driver "dummy"
    VideoRam 64000
EndSection
Section "Monitor"
    Identifier "monitor"
    HorizSync 5.0 - 1000.0
    VertRefresh 5.0 - 200.0
    Modeline "1280x1024" 109.00 1280 1368 1496 1712 1024 1027 1034 1063 -hsync +vsync
    Modeline "1024x768" 63.50 1024 1072 1176 1328 768 771 775 798 -hsync +vsync
EndSection
Section "Screen"
    Identifier "screen"
    Device "dummy"
    Monitor "monitor"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Modes "1280x1024"
        Virtual 2304 1024
    EndSubSection
EndSection
CONF
e2e_second_display "$E2E_OUT/xorg.conf"
xrandr --addmode DUMMY1 1024x768 && xrandr --fb 2304x1024 &&
    xrandr --output DUMMY1 --mode 1024x768 --right-of DUMMY0 || e2e_abort "xrandr could not add the second monitor"
e2e_check_eq "X reports two monitors" 2 "$(xrandr --listmonitors | awk 'NR == 1 { print $2 }')"
e2e_private_prefix

pics=$E2E_OUT/pics
mkdir -p "$pics"
convert -size 200x300 xc:'#c01e28' -size 200x300 xc:'#143cdc' +append -strip "png24:$pics/a_small.png"
# 2400x1200: red, blue and, in its last 100 columns, green, which only a fitted view shows.
convert -size 1200x1200 xc:'#c01e28' -size 1100x1200 xc:'#143cdc' -size 100x1200 xc:'#1eb428' +append \
    -strip "png24:$pics/b_big.png"

e2e_start "$(e2e_winpath "$pics/a_small.png")"
wid=$(e2e_wait_window 'a_small\.png - Vistrel$' 40) || e2e_abort "the main window never appeared"
expect_geometry "starts centred on the primary's work area" "440,362 400x300"

# The proposed centre crosses to the second monitor: the window goes with it.
e2e_drag 640 512 1640 512
expect_geometry "a drag takes it onto the second monitor" "1440,362 400x300"
e2e_drag 1640 512 2240 700
expect_geometry "held at the second monitor's right and bottom edges" "1904,468 400x300"
e2e_drag 2100 600 1640 400
expect_geometry "and moved back inside it" "1444,268 400x300"

# 2400x1200 at its own size: the window takes the second monitor's work area whole.
e2e_key "$wid" space
e2e_wait_title "$wid" 'b_big.png - Vistrel' || e2e_say "note - the title did not change"
expect_geometry "a picture larger than the monitor fills its work area" "1280,0 1024x768"
shot=$E2E_OUT/actual.png
e2e_screenshot "$shot"
e2e_check_eq "own size: the green columns are out of view" "20 60 220" "$(e2e_pixel "$shot" 2300 400)"

# Enter fits it to that monitor: 1024 wide, 512 high, about the centre the drag left (1644, 418).
e2e_key "$wid" Return
expect_geometry "Enter fits it to the second monitor" "1280,162 1024x512"
sleep 0.3
shot=$E2E_OUT/fitted.png
e2e_screenshot "$shot"
e2e_check_eq "fitted: the green columns show at the right" "30 180 40" "$(e2e_pixel "$shot" 2300 400)"

e2e_key "$wid" Escape
e2e_check "Esc ends the program" e2e_wait_exit 10
e2e_finish
