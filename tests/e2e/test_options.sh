#!/usr/bin/env bash
# The options sheet from the context menu, by keyboard: right click, R for "属性(&R)", a new list
# typed over the old one, then OK. The sheet closes and the registry then holds the cleaned list,
# registered with the shell.
# shellcheck source=lib.sh
. "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

fileexts='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts'
sheet_title='^属性$'

# extent_near FILE R G B TOL: "X Y WIDTH HEIGHT" of the box around the pixels near the colour.
extent_near() {
    convert "$1" -alpha off -depth 8 \
        -fx "abs(255*r-$2) <= $5 && abs(255*g-$3) <= $5 && abs(255*b-$4) <= $5 ? 1 : 0" \
        -bordercolor black -border 1 -trim \
        -format '%[fx:w] %[fx:h] %X %Y %[fx:maxima]' info: 2>/dev/null |
        awk '{ if ($5 == 0) print 0, 0, 0, 0; else print $3 - 1, $4 - 1, $1, $2 }'
}

# open_sheet WID: right click in the viewer, then R in its menu; prints the sheet's id.
open_sheet() {
    local wid=$1 x y w h
    read -r x y w h < <(e2e_geometry "$wid")
    e2e_click $((x + w / 2)) $((y + h / 2)) 3
    sleep 0.5
    xdotool key r
    e2e_wait_window "$sheet_title" 10
}

e2e_wine reg delete 'HKCU\SOFTWARE\Vistrel' /v Extensions /f >/dev/null 2>&1
for ext in vte2eavte2eb vte2ebx; do
    e2e_reg_delete_key "$fileexts\\.$ext"
done

e2e_start
wid=$(e2e_wait_window '^Vistrel$') || e2e_abort "the main window never appeared"
sleep 0.3

sheet=$(open_sheet "$wid") || e2e_abort "the options sheet did not open from the menu"
sleep 0.5
e2e_screenshot "$E2E_OUT/sheet.png" "$sheet"
e2e_check_eq "sheet title" "属性" "$(e2e_title "$sheet")"

# The box has the focus: go to its end, rub the default list out, type the new one.
e2e_key "$sheet" ctrl+End
xdotool key --delay 20 $(printf 'BackSpace %.0s' $(seq 30))
xdotool type --delay 40 'vte2ea; .vte2eb, .vte2eb|x'
sleep 0.3
e2e_screenshot "$E2E_OUT/typed.png" "$sheet"
# Return and Tab stay inside a multi-line box here, so OK is clicked: the default button, framed
# in the highlight colour along the sheet's bottom.
read -r hr hg hb < <(e2e_reg_query 'HKCU\Control Panel\Colors' Hilight | cut -d' ' -f2-)
read -r sx sy sw sh < <(e2e_geometry "$sheet")
convert "$E2E_OUT/typed.png" -crop "${sw}x40+0+$((sh - 40))" +repage "$E2E_OUT/buttons.png"
read -r bx by bw bh < <(extent_near "$E2E_OUT/buttons.png" "$hr" "$hg" "$hb" 8)
e2e_say "info - OK button ${bw}x${bh} at $bx,$by of the bottom strip"
[ "$bw" -gt 20 ] || e2e_abort "no default button found"
e2e_click $((sx + bx + bw / 2)) $((sy + sh - 40 + by + bh / 2))
e2e_check "OK closes the sheet" e2e_wait_gone "$sheet"
e2e_check_eq "stored list" "REG_SZ vte2eavte2eb,vte2ebx" "$(e2e_reg_query 'HKCU\SOFTWARE\Vistrel' Extensions)"
e2e_check_eq ".vte2eavte2eb registered" "REG_SZ vistrel.exe" \
    "$(e2e_reg_query "$fileexts\\.vte2eavte2eb" Application)"
e2e_check_eq ".vte2ebx registered" "REG_SZ vistrel.exe" "$(e2e_reg_query "$fileexts\\.vte2ebx" Application)"
e2e_check "the viewer is still there" e2e_running

for ext in vte2eavte2eb vte2ebx; do
    e2e_reg_delete_key "$fileexts\\.$ext"
done
e2e_wine reg delete 'HKCU\SOFTWARE\Vistrel' /v Extensions /f >/dev/null 2>&1

e2e_finish
