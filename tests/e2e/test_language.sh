#!/usr/bin/env bash
# The interface language, chosen as Windows chooses: the program run with the tests' Chinese user
# interface, with an English one (LC_MESSAGES=C), with Language 0x0409 under the Chinese one and
# with 0x0804 under the English one. Each run measures the empty window's hint, the label after a
# zoom and the context menu, opens the options sheet by the menu's own mnemonic and the error box
# of a file that isn't a picture, and reads their titles. Each setting must look like its language.
# shellcheck source=tests/e2e/lib.sh
. "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

pics=$E2E_OUT/pics
mkdir -p "$pics"
convert -size 300x200 xc:'#3060a0' "$pics/start.png"
printf 'not a picture\n' >"$pics/text.jpg"
chinese_locale=$LC_MESSAGES
declare -A sizes

# new_window BEFORE SECONDS [titled]: a visible window not in the list BEFORE; with "titled", one
# whose title is neither empty nor the label's.
new_window() {
    local deadline=$((SECONDS + $2)) id t
    while [ "$SECONDS" -lt "$deadline" ]; do
        for id in $(comm -13 <(printf '%s\n' "$1") <(e2e_all_windows | sort)); do
            if [ -n "${3:-}" ]; then
                t=$(e2e_title "$id")
                [ -z "$t" ] || [ "$t" = KovV_TagWnd ] && continue
            fi
            printf '%s\n' "$id"
            return 0
        done
        sleep 0.1
    done
    return 1
}

# run NAME LC_MESSAGES LANGUAGE EXPECT: one run, LANGUAGE a REG_DWORD or "-" for none, EXPECT zh
# or en. Leaves "hint-width label-width menu-size" in sizes[NAME].
run() {
    local name=$1 wid shot before menu sheet dialog box label hint_w=0 label_w=0 menu_size=none x y w h
    local key=y sheet_title=Options box_title=Error
    # 属性, 错误
    [ "$4" = en ] || key=r sheet_title=$'\xe5\xb1\x9e\xe6\x80\xa7' box_title=$'\xe9\x94\x99\xe8\xaf\xaf'
    e2e_reg_delete_key 'HKCU\SOFTWARE\Vistrel'
    [ "$3" = - ] || e2e_wine reg add 'HKCU\SOFTWARE\Vistrel' /v Language /t REG_DWORD /d "$3" /f >/dev/null 2>&1 ||
        e2e_abort "could not store Language"
    export LC_MESSAGES=$2

    e2e_start
    wid=$(e2e_wait_window '^Vistrel$') || e2e_abort "$name: the empty window never appeared"
    shot=$E2E_OUT/$name-empty.png
    for _ in $(seq 50); do
        e2e_screenshot "$shot" "$wid"
        [ "$(e2e_count_near "$shot" 255 255 255 40)" -gt 0 ] && break
        sleep 0.1
    done
    read -r _ _ hint_w _ < <(e2e_extent_apart "$shot" 0 0 0 24)
    e2e_key "$wid" Escape
    e2e_wait_exit 10 || e2e_end_program

    e2e_start "$(e2e_winpath "$pics/start.png")"
    wid=$(e2e_wait_window '^start\.png - Vistrel$') || e2e_abort "$name: the picture's window never appeared"
    sleep 0.5
    e2e_key "$wid" KP_Add
    sleep 0.5
    label=$(e2e_windows '^KovV_TagWnd$' | head -n 1)
    [ -n "$label" ] && read -r _ _ label_w _ < <(e2e_geometry "$label")

    read -r x y w h < <(e2e_geometry "$wid")
    before=$(e2e_all_windows | sort)
    e2e_click $((x + w / 2)) $((y + h / 2)) 3
    if menu=$(new_window "$before" 5); then
        sleep 0.3
        read -r _ _ w h < <(e2e_geometry "$menu")
        menu_size=${w}x$h
        xdotool key "$key"
    fi
    sheet=$(e2e_wait_window "^$sheet_title\$" 10)
    e2e_check "$name: a right click and the menu's '$key' open the sheet titled $sheet_title" test -n "$sheet"
    if [ -n "$sheet" ]; then
        e2e_key "$sheet" alt+F4
        e2e_wait_gone "$sheet"
    else
        xdotool key Escape Escape
    fi

    sleep 0.3
    before=$(e2e_all_windows | sort)
    e2e_key "$wid" ctrl+o
    if dialog=$(new_window "$before" 15 titled); then
        sleep 1
        timeout 5 xdotool windowfocus --sync "$dialog" || true
        xdotool type --delay 30 "$(e2e_winpath "$pics/text.jpg")"
        xdotool key Return
    fi
    box=$(e2e_wait_window "^$box_title\$" 10)
    e2e_check "$name: Ctrl+O and a file that isn't a picture give the error box titled $box_title" test -n "$box"
    if [ -n "$box" ]; then
        timeout 5 xdotool windowfocus --sync "$box" || true
        xdotool key Return
        e2e_wait_gone "$box"
    fi
    e2e_key "$wid" Escape
    e2e_wait_exit 10 || e2e_end_program
    sizes[$name]="$hint_w $label_w $menu_size"
}

run chinese "$chinese_locale" - zh
run english C - en
run english-setting "$chinese_locale" 0x0409 en
run chinese-setting C 0x0804 zh
export LC_MESSAGES=$chinese_locale
e2e_reg_delete_key 'HKCU\SOFTWARE\Vistrel'

read -r zh_hint zh_label zh_menu <<<"${sizes[chinese]}"
read -r en_hint en_label en_menu <<<"${sizes[english]}"
measured() { [ "$1" -gt 0 ] && [ "$2" -gt 0 ] && [ "$3" != none ]; }
e2e_check "the Chinese hint, label and menu were measured" measured "$zh_hint" "$zh_label" "$zh_menu"
e2e_check "the English hint, label and menu were measured" measured "$en_hint" "$en_label" "$en_menu"
e2e_check "the English hint is not the Chinese one ($en_hint px against $zh_hint px)" [ "$en_hint" != "$zh_hint" ]
e2e_check "the English label is not the Chinese one ($en_label px against $zh_label px)" [ "$en_label" != "$zh_label" ]
e2e_check "the English menu is not the Chinese one ($en_menu against $zh_menu)" [ "$en_menu" != "$zh_menu" ]
e2e_check_eq "Language 0x0409 under a Chinese interface: English" "${sizes[english]}" "${sizes[english-setting]}"
e2e_check_eq "Language 0x0804 under an English interface: Chinese" "${sizes[chinese]}" "${sizes[chinese-setting]}"
e2e_finish
