#!/usr/bin/env bash
# A right click opens the context menu at the pointer, headed by a band of the active caption colour
# that shows "无图片" as real glyphs, above the menu's Chinese items; Escape closes it and the viewer
# stays. Shift+F10 and the menu key open it too, from the keyboard's point (-1, -1), which the
# system pins to the screen's top-left corner.
# shellcheck source=lib.sh
. "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

# new_window BEFORE [SECONDS]: the id of a visible window that is not in the list BEFORE.
new_window() {
    local before=$1 limit=${2:-5} deadline id
    deadline=$((SECONDS + limit))
    while [ "$SECONDS" -lt "$deadline" ]; do
        id=$(comm -13 <(printf '%s\n' "$before") <(e2e_all_windows | sort) | head -n 1)
        if [ -n "$id" ]; then
            printf '%s\n' "$id"
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# mask FILE OUT R G B TOL: pixels near the colour become black, all others white.
mask() {
    convert "$1" -alpha off -depth 8 \
        -fx "abs(255*r-$3) <= $6 && abs(255*g-$4) <= $6 && abs(255*b-$5) <= $6 ? 0 : 1" "$2"
}

# The band's colour is the prefix's active caption colour, whatever it is set to.
read -r cr cg cb < <(e2e_reg_query 'HKCU\Control Panel\Colors' ActiveTitle | cut -d' ' -f2-)
[ -n "${cb:-}" ] || e2e_abort "no ActiveTitle colour in the prefix"
e2e_say "info - active caption colour $cr $cg $cb"

e2e_start
wid=$(e2e_wait_window '^Vistrel$') || e2e_abort "the main window never appeared"
sleep 0.3
read -r x y w h < <(e2e_geometry "$wid")
before=$(e2e_all_windows | sort)

px=$((x + 40))
py=$((y + 50))
e2e_click "$px" "$py" 3
menu=$(new_window "$before") || e2e_abort "no menu after a right click"
sleep 0.3
read -r mx my mw mh < <(e2e_geometry "$menu")
e2e_say "info - menu ${mw}x${mh} at $mx,$my"
e2e_check_eq "menu's top-left corner is the click point" "$px $py" "$mx $my"
e2e_check_range "menu height (header and nine items)" 120 400 "$mh"

shot=$E2E_OUT/menu.png
e2e_screenshot "$shot" "$menu"

# The header: the first rows inside the border, caption-coloured across the menu's width.
header=$E2E_OUT/header.png
convert "$shot" -crop "$((mw - 6))x16+3+3" +repage "$header"
band=$(e2e_count_near "$header" "$cr" "$cg" "$cb" 12)
e2e_check_range "caption-coloured pixels in the header (at least 70%)" $(((mw - 6) * 16 * 70 / 100)) \
    $(((mw - 6) * 16)) "$band"
mask "$header" "$E2E_OUT/header-text.png" "$cr" "$cg" "$cb" 24
read -r tx ty tw th < <(e2e_extent_apart "$header" "$cr" "$cg" "$cb" 24)
e2e_say "info - header text ${tw}x${th} at $tx,$ty"
e2e_check_range "header text width (three glyphs)" 24 70 "$tw"
e2e_check_range "header text centred" $(((mw - 6) / 2 - 4)) $(((mw - 6) / 2 + 4)) $((tx + tw / 2))
e2e_check_range "header columns crossing 3 or more strokes (glyphs, not boxes)" 5 "$tw" \
    "$(e2e_columns_with_runs "$E2E_OUT/header-text.png" 3)"

# The items below the header: Chinese texts on the menu's own background.
items=$E2E_OUT/items.png
convert "$shot" -crop "$((mw - 6))x$((mh - 30))+3+24" +repage "$items"
read -r ir ig ib < <(e2e_pixel "$items" 2 2)
mask "$items" "$E2E_OUT/items-text.png" "$ir" "$ig" "$ib" 40
e2e_check_range "item columns crossing 3 or more strokes (Chinese glyphs)" 15 "$mw" \
    "$(e2e_columns_with_runs "$E2E_OUT/items-text.png" 3)"

xdotool key Escape
e2e_check "Escape closes the menu" e2e_wait_gone "$menu"
e2e_check "the viewer is still there" e2e_running

for key in shift+F10 Menu; do
    before=$(e2e_all_windows | sort)
    e2e_key "$wid" "$key"
    if menu=$(new_window "$before"); then
        read -r mx my mw mh < <(e2e_geometry "$menu")
        e2e_check_eq "$key: the menu opens at the screen's corner" "0 0" "$mx $my"
        xdotool key Escape
        e2e_check "$key: Escape closes the menu" e2e_wait_gone "$menu"
    else
        e2e_check "$key: the menu opens" false
    fi
done

e2e_finish
