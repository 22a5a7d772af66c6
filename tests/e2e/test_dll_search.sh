#!/usr/bin/env bash
# Stand-ins named as each DLL the viewer loads at its first call (gdiplus, msimg32, winmm, comctl32,
# comdlg32, shell32), which note their own loading, lie beside a copy of vistrel.exe and in the
# picture's folder, the current one; Wine prefers them, as Windows would the first three. A probe
# that loads them by bare name shows they would be taken. The viewer opens a picture (GDI+, the
# common controls, the shell's drop target), steps round the ring (the exclamation sound), shows
# the context menu with its gradient header (msimg32) and the open dialog (comdlg32) and ends: none
# of them was loaded.
# shellcheck source=tests/e2e/lib.sh
. "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

planted=$(dirname -- "$E2E_EXE")/planted
dlls=(gdiplus.dll msimg32.dll winmm.dll comctl32.dll comdlg32.dll shell32.dll)
app=$E2E_OUT/app
pics=$E2E_OUT/pics
mkdir -p "$app" "$pics"
cp "$E2E_EXE" "$planted/probe.exe" "$app/" && cp "${dlls[@]/#/$planted/}" "$app/" &&
    cp "${dlls[@]/#/$planted/}" "$pics/" || e2e_abort "no stand-ins in $planted (built with the tests)"
for p in a:ff0000 b:00ff00 c:0000ff; do convert -size 200x150 "xc:#${p#*:}" "$pics/${p%:*}.png"; done
export WINEDLLOVERRIDES="gdiplus,msimg32,winmm,comctl32,comdlg32,shell32=n,b"
cd "$pics" || e2e_abort "no picture folder"

e2e_wine "$app/probe.exe" "${dlls[@]}" >/dev/null 2>&1
e2e_check_eq "a program that does not lock the search loads the stand-ins beside it" "6 6" \
    "$? $(find "$app" -name '*.dll.loaded' | wc -l)"
rm -f "$app"/*.loaded

E2E_EXE=$app/vistrel.exe
e2e_start "$(e2e_winpath "$pics/a.png")"
wid=$(e2e_wait_window '^a\.png - Vistrel$' 30) || e2e_abort "the main window never appeared"
sleep 0.3
e2e_screenshot "$E2E_OUT/picture.png" "$wid"
e2e_check_eq "the picture is drawn" "255 0 0" "$(e2e_pixel "$E2E_OUT/picture.png" 100 75)"
for want in b c a; do
    e2e_key "$wid" space
    e2e_check "Space shows $want.png" e2e_wait_title "$wid" "$want.png - Vistrel"
done

read -r cr cg cb < <(e2e_reg_query 'HKCU\Control Panel\Colors' ActiveTitle | cut -d' ' -f2-)
read -r x y _ _ < <(e2e_geometry "$wid")
e2e_click $((x + 40)) $((y + 40)) 3
sleep 1
e2e_screenshot "$E2E_OUT/menu.png"
convert "$E2E_OUT/menu.png" -crop "100x16+$((x + 43))+$((y + 43))" +repage "$E2E_OUT/header.png"
e2e_check_range "the menu's header is caption-coloured" 1120 1600 \
    "$(e2e_count_near "$E2E_OUT/header.png" "${cr:-0}" "${cg:-0}" "${cb:-0}" 12)"
e2e_key "$wid" Escape
e2e_check_eq "no stand-in was loaded by the menu" "" "$(find "$app" "$pics" -name '*.loaded' -printf '%P ')"

# Wine's own theme code loads msimg32 through a delay import of its own, by a search that still
# looks beside the program: that is Wine's loader, not the program's, so that stand-in goes first.
rm -f "$app/msimg32.dll" "$pics/msimg32.dll"
dialog=$(e2e_open_dialog "$wid")
e2e_check "Ctrl+O opens the open dialog" test -n "$dialog"
[ -n "$dialog" ] && { timeout 5 xdotool windowfocus --sync "$dialog" || true; xdotool key Escape; sleep 0.5; }
e2e_check "the viewer is still there" e2e_wait_title "$wid" "a.png - Vistrel"

e2e_key "$wid" Escape
e2e_check "Esc ends the program" e2e_wait_exit 10
e2e_check_eq "exit code" 0 "${E2E_EXIT_CODE:-none}"
e2e_check_eq "no stand-in was loaded" "" "$(find "$app" "$pics" -name '*.loaded' -printf '%P ')"
e2e_finish
