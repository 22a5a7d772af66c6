#!/usr/bin/env bash
# A picture larger than the screen fills the 1280 x 1024 work area and is panned with a real mouse
# drag, the arrow and page keys and the wheel. Every pixel of the generated picture spells its own
# coordinates (red = x mod 256, green = y mod 256, blue = the high bits of both), so one screen
# pixel tells exactly which picture point the window shows there, hence the scroll position.
# shellcheck source=tests/e2e/lib.sh
. "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

# make_pattern W H FILE: the coordinate picture, built from one row and one column per channel.
make_pattern() {
    local w=$1 h=$2 out=$3
    convert \
        \( -size "${w}x1" xc: -fx '(i%256)/255' -sample "${w}x${h}!" \) \
        \( -size "1x${h}" xc: -fx '(j%256)/255' -sample "${w}x${h}!" \) \
        \( \( -size "${w}x1" xc: -fx 'floor(i/256)*16/255' -sample "${w}x${h}!" \) \
        \( -size "1x${h}" xc: -fx 'floor(j/256)/255' -sample "${w}x${h}!" \) \
        -compose plus -composite \) \
        -colorspace gray -set colorspace sRGB -combine -strip -depth 8 "png24:$out"
}

# picture_at FILE X Y...: prints the picture point "PX PY" shown at each screen point, comma-separated.
picture_at() {
    local file=$1 format='' sep=''
    shift
    while [ $# -ge 2 ]; do
        format+="$sep%[fx:int(255*p{$1,$2}.r+0.5)] %[fx:int(255*p{$1,$2}.g+0.5)] %[fx:int(255*p{$1,$2}.b+0.5)]"
        sep=,
        shift 2
    done
    convert "$file" -alpha off -format "$format" info: | awk -v RS=, -v ORS= '
        { printf "%s%d %d", (NR > 1 ? "," : ""), $1 + 256 * int($3 / 16), $2 + 256 * ($3 % 16) }'
}

# expect_scroll WHAT SX SY: the screen shows the picture scrolled to (SX, SY), judged at three
# points away from the label; the paint is waited for (up to 3 s).
expect_scroll() {
    local what=$1 sx=$2 sy=$3 shot=$E2E_OUT/${1//[^a-zA-Z0-9]/_}.png got want
    want="$((sx + 640)) $((sy + 512)),$((sx + 100)) $((sy + 900)),$((sx + 1200)) $((sy + 300))"
    for _ in $(seq 30); do
        e2e_screenshot "$shot"
        got=$(picture_at "$shot" 640 512 100 900 1200 300)
        [ "$got" = "$want" ] && break
        sleep 0.1
    done
    e2e_check_eq "$what: picture points at (640,512) (100,900) (1200,300)" "$want" "$got"
}

# pointer_to X Y: moves the pointer there, waiting for it only when it is not there already
# (xdotool would wait in vain for a move to where the pointer is).
pointer_to() {
    local X Y SCREEN WINDOW
    eval "$(xdotool getmouselocation --shell)"
    [ "$X,$Y" = "$1,$2" ] || xdotool mousemove --sync "$1" "$2"
}

pics=$E2E_OUT/pics
mkdir -p "$pics"
make_pattern 2000 1500 "$pics/pattern.png"

e2e_reg_delete_key 'HKCU\SOFTWARE\Vistrel'
e2e_start "$(e2e_winpath "$pics/pattern.png")"
wid=$(e2e_wait_window 'pattern\.png - Vistrel$') || e2e_abort "the main window never appeared"
sleep 0.3
read -r x y w h < <(e2e_geometry "$wid")
e2e_check_eq "window takes the work area" "0,0 1280x1024" "$x,$y ${w}x${h}"
expect_scroll "start: top edge, horizontally centred" 360 0

# Keys: 60 pixels a press, a page is the client height, limited by the room left.
e2e_key "$wid" Right
expect_scroll "Right" 420 0
e2e_key "$wid" Down Down
expect_scroll "Down twice" 420 120
e2e_key "$wid" Next
expect_scroll "Page Down (356 px of room left)" 420 476
e2e_key "$wid" Down
expect_scroll "Down at the bottom" 420 476
e2e_key "$wid" Prior
expect_scroll "Page Up" 420 0
e2e_key "$wid" Left Left Left
expect_scroll "Left three times" 240 0

# Wheel: one notch pans 60 pixels, down over a picture taller than the window.
pointer_to 640 512
xdotool click 5
expect_scroll "wheel back" 240 60
xdotool click 5 click 5
expect_scroll "wheel back twice more" 240 180
xdotool click 4
expect_scroll "wheel forward" 240 120

# Drag: the picture follows the pointer, and stops at the edges of the picture.
e2e_drag 700 600 600 450
expect_scroll "drag 100 left, 150 up" 340 270
e2e_drag 300 300 1000 1000
expect_scroll "drag far right and down" 0 0
read -r x y w h < <(e2e_geometry "$wid")
e2e_check_eq "panning leaves the window in place" "0,0 1280x1024" "$x,$y ${w}x${h}"

e2e_key "$wid" Escape
e2e_check "Esc ends the program" e2e_wait_exit 10
e2e_finish
