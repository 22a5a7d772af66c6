#!/usr/bin/env bash
# An animated GIF plays on its own: screenshots taken a moment apart show different frames.
# shellcheck source=tests/e2e/lib.sh
. "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

pics=$E2E_OUT/pics
mkdir -p "$pics"
# Three frames of 0.3 s each, red, green and blue.
convert -delay 30 -size 200x150 xc:'#ff0000' xc:'#00ff00' xc:'#0000ff' -loop 0 "$pics/anim.gif"

e2e_reg_delete_key 'HKCU\SOFTWARE\Vistrel'
e2e_start "$(e2e_winpath "$pics/anim.gif")"
wid=$(e2e_wait_window '^anim\.gif - Vistrel$') || e2e_abort "the main window never appeared"
sleep 0.5
read -r x y w h < <(e2e_geometry "$wid")
e2e_check_eq "window at the picture's size" "200x150" "${w}x${h}"

# Eight screenshots over about 2.5 s must show at least two of the frames.
declare -A seen=()
for i in 1 2 3 4 5 6 7 8; do
    shot=$E2E_OUT/frame$i.png
    e2e_screenshot "$shot" "$wid"
    seen["$(e2e_pixel "$shot" 100 75)"]=1
    sleep 0.3
done
e2e_say "note - colours seen: ${!seen[*]}"
e2e_check_range "different frames seen" 2 3 "${#seen[@]}"
for colour in "${!seen[@]}"; do
    case $colour in
    "255 0 0" | "0 255 0" | "0 0 255") e2e_check "frame colour $colour is one of the GIF's" true ;;
    *) e2e_check "frame colour $colour is one of the GIF's" false ;;
    esac
done

e2e_key "$wid" Escape
e2e_check "Esc ends the program" e2e_wait_exit 10
e2e_finish
