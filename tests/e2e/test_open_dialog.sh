#!/usr/bin/env bash
# Ctrl+O opens the system's open dialog over the viewer; typing the full path of a picture in
# another folder and Return makes it the current picture, and the keys then walk its folder.
# A chosen file that can't be decoded gives the error box and leaves the picture shown.
# shellcheck source=tests/e2e/lib.sh
. "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

first=$E2E_OUT/first
second=$E2E_OUT/second
mkdir -p "$first" "$second"
convert -size 200x150 xc:'#ff0000' "$first/start.png"
convert -size 260x170 xc:'#0000ff' "$second/chosen.png"
convert -size 180x120 xc:'#00ff00' "$second/next.png"
printf 'not a picture\n' >"$second/text.jpg"

e2e_reg_delete_key 'HKCU\SOFTWARE\Vistrel'
e2e_start "$(e2e_winpath "$first/start.png")"
wid=$(e2e_wait_window '^start\.png - Vistrel$') || e2e_abort "the main window never appeared"
sleep 0.5

# choose DIALOG PATH: types the full path into the dialog and confirms it.
choose() {
    timeout 5 xdotool windowfocus --sync "$1" || e2e_say "note - could not focus the dialog"
    xdotool type --delay 30 "$2"
    xdotool key Return
}

dialog=$(e2e_open_dialog "$wid") || { e2e_check "Ctrl+O opens a dialog" false; e2e_finish; }
e2e_check "Ctrl+O opens a dialog ($(e2e_title "$dialog"))" true
sleep 1
e2e_check_eq "the viewer's title while the dialog is open" "start.png - Vistrel" "$(e2e_title "$wid")"
choose "$dialog" "$(e2e_winpath "$second/chosen.png")"
e2e_check "the chosen picture is shown" e2e_wait_title "$wid" "chosen.png - Vistrel" 15
sleep 0.5
e2e_check "the dialog is gone" bash -c "! xwininfo -id $dialog 2>/dev/null | grep -q IsViewable"
read -r x y w h < <(e2e_geometry "$wid")
e2e_check_eq "window at the chosen picture's size" "260x170" "${w}x${h}"

# A file that can't be decoded: the error box, and the picture stays.
dialog=$(e2e_open_dialog "$wid") || { e2e_check "Ctrl+O opens the dialog again" false; e2e_finish; }
sleep 1
choose "$dialog" "$(e2e_winpath "$second/text.jpg")"
box=$(e2e_wait_window $'^\xe9\x94\x99\xe8\xaf\xaf$' 10)  # 错误
e2e_check "an error box comes for text.jpg" test -n "$box"
if [ -n "$box" ]; then
    timeout 5 xdotool windowfocus --sync "$box" || true
    xdotool key Return
    sleep 0.5
fi
e2e_check_eq "the error box is closed" 0 "$(e2e_windows $'^\xe9\x94\x99\xe8\xaf\xaf$' | wc -l)"
e2e_check_eq "the picture stays" "chosen.png - Vistrel" "$(e2e_title "$wid")"

# The list is now the second folder's.
e2e_key "$wid" space
e2e_check "Space walks the new folder" e2e_wait_title "$wid" "next.png - Vistrel"

e2e_key "$wid" Escape
e2e_check "Esc ends the program" e2e_wait_exit 10
e2e_finish
