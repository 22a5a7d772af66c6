#!/usr/bin/env bash
# "vistrel.exe /regext" registers the default extension list for the current user and ends without
# a window: the program's open command under HKEY_CLASSES_ROOT\Applications and, per extension, its
# Explorer FileExts entries (an older ProgID removed). A list stored by the options page plays no
# part. Run from a folder deeper than MAX_PATH, the whole path is registered.
# shellcheck source=lib.sh
. "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

fileexts='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts'
defaults=(bmp gif jpg png tif jpeg)

# default_value KEY: the data of the key's default value. reg names it in the interface's
# language ("(Default)" in English), so it is asked in English.
default_value() {
    LC_MESSAGES=C e2e_wine reg query "$1" /ve 2>/dev/null | tr -d '\r' |
        awk '{ line = $0; sub(/^ +/, "", line) }
             index(line, "(Default)") == 1 { sub(/^\(Default\) +[^ ]+ +/, "", line); print line; found = 1 }
             END { exit found ? 0 : 1 }'
}

value_data() { e2e_reg_query "$1" "$2" | cut -d' ' -f2-; }

# register EXE: runs it with /regext and waits for it to end.
register() {
    local exe=$1
    e2e_say "run  - $exe /regext"
    bash "$E2E_ROOT/scripts/lib/wine-exec.sh" "$WINEPREFIX" "$exe" /regext \
        </dev/null >>"$E2E_OUT/program.out" 2>>"$E2E_OUT/program.err"
}

e2e_reg_delete_key 'HKCR\Applications\vistrel.exe'
for ext in "${defaults[@]}" vtstored; do
    e2e_reg_delete_key "$fileexts\\.$ext"
done
e2e_wine reg add "$fileexts\\.png" /v ProgID /t REG_SZ /d pngfile /f >/dev/null
e2e_wine reg add 'HKCU\SOFTWARE\Vistrel' /v Extensions /t REG_SZ /d vtstored /f >/dev/null

before=$(e2e_all_windows | wc -l)
e2e_start /regext
most=$before
deadline=$((SECONDS + 10))
while e2e_running && [ "$SECONDS" -lt "$deadline" ]; do
    now=$(e2e_all_windows | wc -l)
    [ "$now" -gt "$most" ] && most=$now
    sleep 0.05
done
e2e_check "the program ends" e2e_wait_exit 1
e2e_check_eq "windows shown" 0 "$((most - before))"

exe_win=$(e2e_winpath "$E2E_EXE")
e2e_check_eq "open command" "\"$exe_win\" \"%1\"" \
    "$(default_value 'HKCR\Applications\vistrel.exe\shell\open\command')"
for ext in "${defaults[@]}"; do
    e2e_check_eq ".$ext Application" "REG_SZ vistrel.exe" "$(e2e_reg_query "$fileexts\\.$ext" Application)"
    e2e_check_eq ".$ext UserChoice Progid" "REG_SZ Applications\\vistrel.exe" \
        "$(e2e_reg_query "$fileexts\\.$ext\\UserChoice" Progid)"
done
if e2e_reg_query "$fileexts\\.png" ProgID >/dev/null; then
    e2e_check "the older ProgID of .png is gone" false
else
    e2e_check "the older ProgID of .png is gone" true
fi
e2e_check_eq "the stored list is untouched" vtstored "$(value_data 'HKCU\SOFTWARE\Vistrel' Extensions)"
if e2e_reg_query "$fileexts\\.vtstored" Application >/dev/null; then
    e2e_check "the stored list is not registered" false
else
    e2e_check "the stored list is not registered" true
fi

# A copy of the program in a folder whose path is longer than MAX_PATH, with spaces in it.
deep=$E2E_OUT/deep
while [ "${#deep}" -lt 300 ]; do
    deep="$deep/a folder with spaces"
done
mkdir -p "$deep"
cp "$E2E_EXE" "$deep/vistrel deep.exe"
e2e_reg_delete_key 'HKCR\Applications\vistrel deep.exe'
register "$deep/vistrel deep.exe"
deep_win=$(e2e_winpath "$deep/vistrel deep.exe")
e2e_say "info - deep path: ${#deep_win} characters"
e2e_check_eq "open command of the deep copy, whole and quoted" "\"$deep_win\" \"%1\"" \
    "$(default_value 'HKCR\Applications\vistrel deep.exe\shell\open\command')"
e2e_check_eq ".bmp now names the deep copy" "REG_SZ vistrel deep.exe" \
    "$(e2e_reg_query "$fileexts\\.bmp" Application)"
e2e_reg_delete_key 'HKCR\Applications\vistrel deep.exe'
register "$E2E_EXE"  # the associations name the program under test again
e2e_wine reg delete 'HKCU\SOFTWARE\Vistrel' /v Extensions /f >/dev/null 2>&1
rm -rf "$E2E_OUT/deep"

e2e_finish
