#!/usr/bin/env bash
# A camera folder: a 3 GiB QuickTime movie (its first box, then a hole: no disk space) between two
# pictures. Space steps over it to the next picture, the list drops it, and Esc typed right after
# a step back over it ends the program within 2 s: no decoder claims the movie's first bytes, so
# nothing of it beyond them is read, by the step or by read-ahead.
# shellcheck source=tests/e2e/lib.sh
. "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

pics=$E2E_OUT/pics
mkdir -p "$pics"
convert -size 200x150 xc:'#ff0000' "$pics/a.png"
printf '\0\0\0\x14ftypqt  \0\0\0\0qt  ' >"$pics/b.mov"
truncate -s 3G "$pics/b.mov"
convert -size 240x180 xc:'#0000ff' "$pics/c.png"
e2e_check_eq "the movie is 3 GiB" 3221225472 "$(stat -c %s "$pics/b.mov")"
e2e_check_range "the movie takes no disk space (KiB)" 0 1024 "$(du -k "$pics/b.mov" | cut -f1)"

e2e_reg_delete_key 'HKCU\SOFTWARE\Vistrel'
e2e_start "$(e2e_winpath "$pics/a.png")"
wid=$(e2e_wait_window '^a\.png - Vistrel$') || e2e_abort "the main window never appeared"
sleep 0.5

e2e_key "$wid" space
e2e_check "Space steps over the movie to c.png" e2e_wait_title "$wid" "c.png - Vistrel" 5
e2e_key "$wid" BackSpace
e2e_check "Backspace steps back to a.png" e2e_wait_title "$wid" "a.png - Vistrel" 5
e2e_key "$wid" space
e2e_check "the movie is out of the list: Space goes to c.png" e2e_wait_title "$wid" "c.png - Vistrel" 5

# Started again on c.png, the movie is listed once more: a step back over it, and Esc at once.
e2e_key "$wid" Escape
e2e_check "Esc ends the program" e2e_wait_exit 10
e2e_start "$(e2e_winpath "$pics/c.png")"
wid=$(e2e_wait_window '^c\.png - Vistrel$') || e2e_abort "the main window never appeared again"
sleep 0.5
e2e_key "$wid" BackSpace
start=$(date +%s%N)
xdotool key Escape
while e2e_running && [ $(( ($(date +%s%N) - start) / 1000000 )) -lt 10000 ]; do
    sleep 0.02
done
ms=$(( ($(date +%s%N) - start) / 1000000 ))
e2e_check_range "Esc right after a step over the movie ends the program within 2 s (ms)" 0 2000 "$ms"
e2e_check "the program has ended" e2e_wait_exit 1
e2e_check_eq "exit code" 0 "$E2E_EXIT_CODE"
e2e_finish
