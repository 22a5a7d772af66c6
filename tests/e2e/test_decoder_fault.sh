#!/usr/bin/env bash
# A picture the platform's decoder crashes on is one more file that can't be shown: opened on a.png
# of a.png, b.gif (a GIF without any colour table, on which Wine's decoder reads address 0) and
# c.png, Space steps over b.gif to c.png and the program stays up; the walk goes on round the
# folder as if b.gif were text. A decoder that copes shows b.gif on the way instead.
# shellcheck source=tests/e2e/lib.sh
. "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

# one_of WORD CHOICES...: whether WORD is one of the choices.
one_of() {
    local word=$1 choice
    shift
    for choice in "$@"; do
        [ "$word" = "$choice" ] && return 0
    done
    return 1
}

# step KEY TITLE...: types the key and checks that the window comes to one of the titles.
step() {
    local key=$1 title
    shift
    e2e_key "$wid" "$key"
    for title in "$@"; do
        e2e_wait_title "$wid" "$title" 5 && break
    done
    title=$(e2e_title "$wid")
    e2e_check "after $key: '$title' is one of: $*" one_of "$title" "$@"
}

pics=$E2E_OUT/pics
mkdir -p "$pics"
convert -size 200x150 xc:'#ff0000' "$pics/a.png"
printf 'GIF89a\x02\x00\x02\x00\x00\x00\x00,\x00\x00\x00\x00\x02\x00\x02\x00\x00\x02\x02\x84\x51\x00;' >"$pics/b.gif"
convert -size 240x180 xc:'#0000ff' "$pics/c.png"
e2e_check_eq "the GIF is 29 bytes" 29 "$(stat -c %s "$pics/b.gif")"

e2e_reg_delete_key 'HKCU\SOFTWARE\Vistrel'
e2e_start "$(e2e_winpath "$pics/a.png")"
wid=$(e2e_wait_window '^a\.png - Vistrel$') || e2e_abort "the main window never appeared"
sleep 0.5

step space "c.png - Vistrel" "b.gif - Vistrel"
if [ "$(e2e_title "$wid")" = "b.gif - Vistrel" ]; then
    e2e_say "note - this decoder shows b.gif"
    step space "c.png - Vistrel"
fi
e2e_check "the program is still running" e2e_running
step space "a.png - Vistrel"
step BackSpace "c.png - Vistrel"
step BackSpace "a.png - Vistrel" "b.gif - Vistrel"
e2e_check "the program is still running after the walk" e2e_running

if [ "$(e2e_title "$wid")" = "a.png - Vistrel" ]; then
    shot=$E2E_OUT/a.png
    e2e_screenshot "$shot" "$wid"
    e2e_check_eq "a.png is painted" "255 0 0" "$(e2e_pixel "$shot" 100 75)"
fi

e2e_key "$wid" Escape
e2e_check "Esc ends the program" e2e_wait_exit 10
e2e_check_eq "exit code" 0 "$E2E_EXIT_CODE"
e2e_finish
