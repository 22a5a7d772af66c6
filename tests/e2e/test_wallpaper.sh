#!/usr/bin/env bash
# A 400x300 picture on the 1280x1024 screen made the wallpaper from the context menu (right click,
# T for "工具(&T)", Return on its first item "设置为桌面墙纸"): the picture cut to the screen's shape
# (375x300, 12 columns off the left) is saved as "Vistrel Wallpaper.bmp" in the Vistrel folder of
# the application-data folder, the desktop's style values say stretched, and the desktop's
# wallpaper is that file.
# shellcheck source=lib.sh
. "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

desktop='HKCU\Control Panel\Desktop'

# The picture: a red band 12 columns wide on the left, green up to 387, blue after.
picture=$E2E_OUT/wide.png
convert -size 400x300 xc:lime -fill red -draw 'rectangle 0,0 11,299' \
    -fill blue -draw 'rectangle 387,0 399,299' "png24:$picture" || e2e_abort "could not make the picture"

# Where the program's folder lies for Wine's user: C:\users\<name>\AppData\Roaming\Vistrel.
appdata_unix=$(ls -d "$WINEPREFIX"/drive_c/users/*/AppData/Roaming 2>/dev/null | grep -v /Public/ | head -n 1)
[ -n "$appdata_unix" ] || e2e_abort "no application-data folder in the prefix"
user=$(basename -- "$(dirname -- "$(dirname -- "$appdata_unix")")")
saved_unix="$appdata_unix/Vistrel/Vistrel Wallpaper.bmp"
saved_win="C:\\users\\$user\\AppData\\Roaming\\Vistrel\\Vistrel Wallpaper.bmp"
rm -f "$saved_unix"
e2e_wine reg delete "$desktop" /v WallpaperStyle /f >/dev/null 2>&1
e2e_wine reg delete "$desktop" /v TileWallpaper /f >/dev/null 2>&1

e2e_start "$(e2e_winpath "$picture")"
wid=$(e2e_wait_window 'wide\.png') || e2e_abort "the picture's window never appeared (is loading in place?)"
sleep 0.5
read -r x y w h < <(e2e_geometry "$wid")
e2e_say "info - window ${w}x${h} at $x,$y"

e2e_click $((x + w / 2)) $((y + h / 2)) 3
sleep 0.5
xdotool key t
sleep 0.3
xdotool key Return

for _ in $(seq 50); do
    [ -f "$saved_unix" ] && [ -n "$(e2e_reg_query "$desktop" TileWallpaper)" ] && break
    sleep 0.1
done
sleep 0.3
e2e_check "the bitmap is saved in the program's folder" test -f "$saved_unix"
if [ -f "$saved_unix" ]; then
    e2e_check_eq "a Windows bitmap" BM "$(head -c 2 "$saved_unix")"
    e2e_check_eq "size of the bitmap" 375x300 "$(identify -format '%wx%h' "$saved_unix")"
    read -r r g b < <(e2e_pixel "$saved_unix" 0 150)
    e2e_check_eq "first column (picture's column 12)" "0 255 0" "$r $g $b"
    read -r r g b < <(e2e_pixel "$saved_unix" 374 150)
    e2e_check_eq "last column (picture's column 386)" "0 255 0" "$r $g $b"
fi
e2e_check_eq "WallpaperStyle" "REG_SZ 2" "$(e2e_reg_query "$desktop" WallpaperStyle)"
e2e_check_eq "TileWallpaper" "REG_SZ 0" "$(e2e_reg_query "$desktop" TileWallpaper)"
e2e_check_eq "Wallpaper" "REG_SZ $saved_win" "$(e2e_reg_query "$desktop" Wallpaper)"
e2e_check "the viewer is still there" e2e_running

e2e_finish
