#!/usr/bin/env bash
# DLLs only from the system folder: stand-ins named gdiplus.dll, msimg32.dll and winmm.dll, which
# note their own loading, lie beside a copy of vistrel.exe and in the picture's folder, the current
# one. Wine is made to prefer a DLL of those names found on the search path, as Windows does. A
# probe that loads them by bare name shows they would be taken; the viewer opens a picture (GDI+),
# steps round the ring (the exclamation sound, winmm), shows the context menu with its gradient
# header (msimg32) and ends, and none of them was loaded.
# shellcheck source=tests/e2e/lib.sh
. "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

planted=${VISTREL_PLANTED_DLLS:-$(dirname -- "$E2E_EXE")/planted}
dlls=(gdiplus.dll msimg32.dll winmm.dll)
for f in "${dlls[@]}" probe.exe; do
    [ -f "$planted/$f" ] || e2e_abort "no $f in $planted (built with the tests)"
done

app=$E2E_OUT/app
pics=$E2E_OUT/pics
mkdir -p "$app" "$pics"
cp "$E2E_EXE" "$app/vistrel.exe"
for f in "${dlls[@]}"; do cp "$planted/$f" "$app/" && cp "$planted/$f" "$pics/"; done
cp "$planted/probe.exe" "$app/"
convert -size 200x150 xc:'#ff0000' "$pics/a.png"
convert -size 300x200 xc:'#00ff00' "$pics/b.png"
convert -size 240x180 xc:'#0000ff' "$pics/c.png"
export WINEDLLOVERRIDES="gdiplus,msimg32,winmm=n,b"
cd "$pics" || e2e_abort "no picture folder"

markers() { find "$app" "$pics" -name '*.loaded' -printf '%P ' | sort; }

# The probe leaves the search as it is: the stand-ins beside it are found first.
e2e_wine "$app/probe.exe" "${dlls[@]}" >/dev/null 2>&1
e2e_check_eq "a program that does not lock the search loads the stand-ins beside it" 3 "$?"
e2e_check_eq "and each notes it" "3" "$(find "$app" -name '*.dll.loaded' | wc -l)"
rm -f "$app"/*.loaded "$pics"/*.loaded

E2E_EXE=$app/vistrel.exe
e2e_reg_delete_key 'HKCU\SOFTWARE\Vistrel'
e2e_start "$(e2e_winpath "$pics/a.png")"
wid=$(e2e_wait_window '^a\.png - Vistrel$' 30) || e2e_abort "the main window never appeared"
sleep 0.3
read -r x y w h < <(e2e_geometry "$wid")
e2e_check_eq "the picture is shown at its size" "200x150" "${w}x${h}"
e2e_screenshot "$E2E_OUT/picture.png" "$wid"
e2e_check_eq "drawn by GDI+" "255 0 0" "$(e2e_pixel "$E2E_OUT/picture.png" 100 75)"

# Round the ring: past c.png the walk wraps to a.png with the exclamation sound.
for want in b.png c.png a.png; do
    e2e_key "$wid" space
    e2e_wait_title "$wid" "$want - Vistrel"
    e2e_check_eq "Space" "$want - Vistrel" "$(e2e_title "$wid")"
done

# The context menu's header band is a gradient fill in the caption colours.
read -r cr cg cb < <(e2e_reg_query 'HKCU\Control Panel\Colors' ActiveTitle | cut -d' ' -f2-)
before=$(e2e_all_windows | sort)
read -r x y w h < <(e2e_geometry "$wid")
e2e_click $((x + 40)) $((y + 40)) 3
menu=
for _ in $(seq 50); do
    menu=$(comm -13 <(printf '%s\n' "$before") <(e2e_all_windows | sort) | head -n 1)
    [ -n "$menu" ] && break
    sleep 0.1
done
[ -n "$menu" ] || e2e_abort "no menu after a right click"
sleep 0.3
read -r mx my mw mh < <(e2e_geometry "$menu")
e2e_screenshot "$E2E_OUT/menu.png" "$menu"
convert "$E2E_OUT/menu.png" -crop "$((mw - 6))x16+3+3" +repage "$E2E_OUT/header.png"
e2e_check_range "caption-coloured pixels in the menu's header (at least 70%)" $(((mw - 6) * 16 * 70 / 100)) \
    $(((mw - 6) * 16)) "$(e2e_count_near "$E2E_OUT/header.png" "${cr:-0}" "${cg:-0}" "${cb:-0}" 12)"
e2e_key "$wid" Escape
e2e_check "Escape closes the menu" e2e_wait_gone "$menu" 5

e2e_key "$wid" Escape
e2e_check "Esc ends the program" e2e_wait_exit 10
e2e_check_eq "exit code" 0 "${E2E_EXIT_CODE:-none}"
e2e_check_eq "no stand-in was loaded" "" "$(markers)"
e2e_finish
