#!/usr/bin/env bash
# test_package.sh ZIP
# Checks the release zip that scripts/package writes: exactly vistrel.exe, README.md and LICENSE
# (the last two as in the repository), the program under 1 MiB and without debug sections, and
# the program as unpacked from the zip opening a sample picture under Wine: its window titled
# after the picture, at the picture's size. scripts/test runs it inside a Wine session on Xvfb:
#   xvfb-run -a -s "-screen 0 1280x1024x24" bash scripts/lib/wine-session.sh \
#       "$PWD/build/mingw/wineprefix" bash tests/package/test_package.sh build/package/Vistrel-1.0.0-win64.zip
# shellcheck source=tests/e2e/lib.sh
. "$(dirname -- "${BASH_SOURCE[0]}")/../e2e/lib.sh"

zip=${1:-}
[ -f "$zip" ] || e2e_abort "usage: $0 path/to/Vistrel-<version>-win64.zip"
zip=$(realpath -- "$zip")
unpacked=$E2E_ROOT/build/package/check
rm -rf "$unpacked"
mkdir -p "$unpacked/files"
export VISTREL_BUILD_DIR=$unpacked
export WINEPREFIX=${WINEPREFIX:-$E2E_ROOT/build/mingw/wineprefix}

e2e_check_eq "the zip holds the program, the README and the licence, at its top" \
    "LICENSE README.md vistrel.exe" "$(cmake -E tar tf "$zip" | sort | tr '\n' ' ' | sed 's/ $//')"
(cd "$unpacked/files" && cmake -E tar xf "$zip") || e2e_abort "could not unpack $zip"
exe=$unpacked/files/vistrel.exe
[ -f "$exe" ] || e2e_abort "no vistrel.exe in $zip"
e2e_check "README.md is the repository's" cmp -s "$unpacked/files/README.md" "$E2E_ROOT/README.md"
e2e_check "LICENSE is the repository's" cmp -s "$unpacked/files/LICENSE" "$E2E_ROOT/LICENSE"

size=$(stat -c %s "$exe")
e2e_say "note - vistrel.exe is $size bytes"
e2e_check_range "vistrel.exe under 1 MiB" 1 1048575 "$size"
sections=$(x86_64-w64-mingw32-objdump -h "$exe" | awk '$2 ~ /^\./ { print $2 }' | tr '\n' ' ')
e2e_say "note - sections: $sections"
e2e_check "vistrel.exe has code and resources" grep -q '\.text .*\.rsrc' <<<"$sections"
e2e_check_eq "vistrel.exe has no debug sections" "" "$(grep -o '\.debug[^ ]*' <<<"$sections" | tr '\n' ' ')"
# Static: no DLL of the mingw runtime beside the system's own.
e2e_check_eq "vistrel.exe needs no mingw runtime DLL" "" \
    "$(x86_64-w64-mingw32-objdump -p "$exe" | grep -io 'DLL Name: *\(libstdc++\|libgcc\|libwinpthread\)[^ ]*')"

e2e_init "$exe"
samples=$(bash "$E2E_ROOT/tests/samples/make-samples.sh" "$E2E_ROOT/build/samples")
picture=01-evening-sky-800x600.jpg
[ -f "$samples/$picture" ] || e2e_abort "no sample $samples/$picture"
e2e_reg_delete_key 'HKCU\SOFTWARE\Vistrel'
e2e_start "$(e2e_winpath "$samples/$picture")"
wid=$(e2e_wait_window "^${picture//./\\.} - Vistrel\$" 30) || e2e_abort "the window never showed the picture"
e2e_check_eq "title" "$picture - Vistrel" "$(e2e_title "$wid")"
read -r _ _ w h < <(e2e_geometry "$wid")
e2e_check_eq "window at the picture's size" "800x600" "${w}x${h}"
e2e_key "$wid" Escape
e2e_check "Esc ends the program" e2e_wait_exit 10
e2e_finish
