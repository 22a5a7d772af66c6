#!/usr/bin/env bash
# A folder of 100,003 files: a-first.png, 100,000 empty files f000000.dat to f099999.dat,
# m-middle.png and zz-last.png. Opened on a-first.png, the viewer lists and sorts them all;
# End and Home jump straight to the ends; the first Space has to try and drop all 100,000
# empty files in one step before it shows m-middle.png; after that the list holds the three
# pictures and every step is immediate. The window answers throughout and Esc ends the
# program normally. The files are made by the shell: made through Wine, each new name costs a
# scan of the whole folder.
# shellcheck source=tests/e2e/lib.sh
. "$(dirname -- "${BASH_SOURCE[0]}")/../e2e/lib.sh"
e2e_init "$@"

# step KEY TITLE [SECONDS]: types the key and checks that the window comes to the picture.
step() {
    local started=$SECONDS
    e2e_key "$wid" "$1"
    e2e_wait_title "$wid" "$2" "${3:-10}"
    e2e_check_eq "after $1 ($((SECONDS - started)) s)" "$2" "$(e2e_title "$wid")"
}

folder=$E2E_OUT/big
mkdir -p "$folder"
convert -size 200x150 xc:'#ff0000' "$folder/a-first.png"
convert -size 300x200 xc:'#00ff00' "$folder/m-middle.png"
convert -size 240x180 xc:'#0000ff' "$folder/zz-last.png"
(cd "$folder" && seq -f 'f%06g.dat' 0 99999 | xargs touch)
e2e_check_eq "files in the folder" 100003 "$(find "$folder" -maxdepth 1 -type f | wc -l)"

e2e_reg_delete_key 'HKCU\SOFTWARE\Vistrel'
e2e_start "$(e2e_winpath "$folder/a-first.png")"
wid=$(e2e_wait_window '^a-first\.png - Vistrel$' 60) || e2e_abort "the main window never appeared"
sleep 1

step End "zz-last.png - Vistrel" 30
step Home "a-first.png - Vistrel"
step space "m-middle.png - Vistrel" 120
step BackSpace "a-first.png - Vistrel"
step space "m-middle.png - Vistrel"
step space "zz-last.png - Vistrel"
step space "a-first.png - Vistrel"

e2e_check "the program is still running" e2e_running
e2e_key "$wid" Escape
e2e_check "Esc ends the program" e2e_wait_exit 20
e2e_check_eq "exit code" 0 "${E2E_EXIT_CODE:-none}"
rm -rf "$folder"
e2e_finish
