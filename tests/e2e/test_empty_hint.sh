#!/usr/bin/env bash
# Without a picture the window is filled with the window-text colour (black under Wine's defaults)
# and shows the hint "右键单击弹出菜单" in the window colour (white), centred on one line, as real
# glyphs: eight CJK glyphs of the menu font are ~86 px wide. Missing-glyph boxes can be as wide
# (Tahoma's are), so the strokes are counted as well: a box column crosses at most two edges.
# shellcheck source=tests/e2e/lib.sh
. "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

e2e_start
wid=$(e2e_wait_window '^Vistrel$') || e2e_abort "the main window never appeared"
read -r x y w h < <(e2e_geometry "$wid")
[ "${w}x${h}" = 320x240 ] || e2e_abort "the window is ${w}x${h}, not 320x240"

# Wait for the first paint: text pixels in the middle of the window.
shot=$E2E_OUT/window.png
for _ in $(seq 50); do
    e2e_screenshot "$shot" "$wid"
    [ "$(e2e_count_near "$shot" 255 255 255 40)" -gt 0 ] && break
    sleep 0.1
done

area=$((320 * 240))
black=$(e2e_count_near "$shot" 0 0 0 24)
white=$(e2e_count_near "$shot" 255 255 255 40)
e2e_check_range "black pixels (at least 85% of $area)" $((area * 85 / 100)) "$area" "$black"
e2e_check_range "white text pixels" 40 $((area / 10)) "$white"

read -r tx ty tw th < <(e2e_extent_apart "$shot" 0 0 0 24)
e2e_say "info - text box ${tw}x${th} at $tx,$ty"
e2e_check_range "text width" 61 300 "$tw"
e2e_check_range "pixel columns crossing 3 or more strokes (glyphs, not boxes)" 10 "$tw" \
    "$(e2e_columns_with_runs "$shot" 3)"
e2e_check_range "text height (one line)" 6 30 "$th"
e2e_check_range "text centre x" 152 168 $((tx + tw / 2))
e2e_check_range "text centre y" 112 128 $((ty + th / 2))

e2e_finish
