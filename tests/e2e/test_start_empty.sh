#!/usr/bin/env bash
# Started without a picture: one borderless 320 x 240 window centred on the screen, titled
# "Vistrel". Esc ends the program, and only then is the interpolation setting stored.
# shellcheck source=tests/e2e/lib.sh
. "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

key='HKCU\SOFTWARE\Vistrel'
e2e_reg_delete_key "$key"

e2e_start
wid=$(e2e_wait_window '^Vistrel$') || e2e_abort "the main window never appeared"
sleep 0.5

e2e_check_eq "visible windows titled Vistrel" 1 "$(e2e_windows '^Vistrel$' | wc -l)"
e2e_check_eq "visible windows on the screen" 1 "$(e2e_all_windows | wc -l)"
e2e_check_eq "title" "Vistrel" "$(e2e_title "$wid")"
read -r x y w h < <(e2e_geometry "$wid")
e2e_check_eq "window size" "320x240" "${w}x${h}"
e2e_check_eq "window position (work area 1280x1024, centre 640,512)" "480,392" "$x,$y"

# No caption or border: the corners and edges show the same fill as the inside.
shot=$E2E_OUT/window.png
e2e_screenshot "$shot" "$wid"
fill=$(e2e_pixel "$shot" 20 20)
for point in "0 0" "319 0" "0 239" "319 239" "160 0" "0 120"; do
    # shellcheck disable=SC2086
    e2e_check_eq "pixel at $point is the fill colour" "$fill" "$(e2e_pixel "$shot" $point)"
done

e2e_not() { ! "$@"; }
e2e_check "no Interpolation value stored while the window is open" \
    e2e_not e2e_reg_query "$key" Interpolation

e2e_key "$wid" Escape
e2e_check "Esc ends the program within 10 s" e2e_wait_exit 10
e2e_check_eq "exit code" 0 "${E2E_EXIT_CODE:-still running}"
e2e_check_eq "windows titled Vistrel after exit" 0 "$(e2e_windows '^Vistrel$' | wc -l)"
e2e_check_eq "Interpolation in $key after exit" "REG_DWORD 0x0" "$(e2e_reg_query "$key" Interpolation)"

e2e_finish
