#!/usr/bin/env bash
# The interface language, chosen as Windows chooses: the program run four times in one session,
# with the user interface of the tests (Chinese), with an English one (LC_MESSAGES=C), with
# Language 0x0409 under the Chinese one and with Language 0x0804 under the English one. Each run
# measures the empty window's hint, the label after a zoom and the context menu, opens the options
# sheet through the menu's own mnemonic (r in Chinese, y in English) and reads its title, and opens
# a file that isn't a picture through the open dialog and reads the error box's title. The two
# English runs must look alike, the two Chinese runs alike, and the languages apart.
# shellcheck source=tests/e2e/lib.sh
. "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

pics=$E2E_OUT/pics
mkdir -p "$pics"
convert -size 300x200 xc:'#3060a0' "$pics/start.png"
printf 'not a picture\n' >"$pics/text.jpg"
chinese_locale=$LC_MESSAGES

# new_window BEFORE [SECONDS]: a visible window not in the list BEFORE.
new_window() {
    local before=$1 deadline=$((SECONDS + ${2:-5})) id
    while [ "$SECONDS" -lt "$deadline" ]; do
        id=$(comm -13 <(printf '%s\n' "$before") <(e2e_all_windows | sort) | head -n 1)
        [ -n "$id" ] && { printf '%s\n' "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

# titled_new_window BEFORE [SECONDS]: the same, among titled windows other than the label.
titled_new_window() {
    local before=$1 deadline=$((SECONDS + ${2:-5})) id t
    while [ "$SECONDS" -lt "$deadline" ]; do
        for id in $(comm -13 <(printf '%s\n' "$before") <(e2e_all_windows | sort)); do
            t=$(e2e_title "$id")
            [ -n "$t" ] && [ "$t" != KovV_TagWnd ] && { printf '%s\n' "$id"; return 0; }
        done
        sleep 0.2
    done
    return 1
}

# run NAME LC_MESSAGES LANGUAGE EXPECT: one run; LANGUAGE is a REG_DWORD or "-" for none, EXPECT
# zh or en. Leaves "hint label menu" sizes in $E2E_OUT/NAME.sizes.
run() {
    local name=$1 expect=$4 wid shot before menu sheet dialog box key sheet_title box_title
    local hint_w=0 label_w=0 menu_size=none x y w h
    e2e_reg_delete_key 'HKCU\SOFTWARE\Vistrel'
    if [ "$3" != - ]; then
        e2e_wine reg add 'HKCU\SOFTWARE\Vistrel' /v Language /t REG_DWORD /d "$3" /f >/dev/null 2>&1 ||
            e2e_abort "could not store Language"
    fi
    export LC_MESSAGES=$2
    if [ "$expect" = en ]; then
        key=y sheet_title=Options box_title=Error
    else
        key=r sheet_title=$'\xe5\xb1\x9e\xe6\x80\xa7' box_title=$'\xe9\x94\x99\xe8\xaf\xaf'  # 属性, 错误
    fi

    # The hint of the empty window: the width of its text.
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
    # The label after a zoom: name, percentage and the word for it.
    e2e_key "$wid" KP_Add
    sleep 0.5
    label=$(e2e_windows '^KovV_TagWnd$' | head -n 1)
    [ -n "$label" ] && read -r _ _ label_w _ < <(e2e_geometry "$label")

    # The menu's size, then its mnemonic for the options sheet.
    read -r x y w h < <(e2e_geometry "$wid")
    before=$(e2e_all_windows | sort)
    e2e_click $((x + w / 2)) $((y + h / 2)) 3
    if menu=$(new_window "$before"); then
        sleep 0.3
        read -r _ _ mw mh < <(e2e_geometry "$menu")
        menu_size=${mw}x${mh}
        xdotool key "$key"
        sheet=$(e2e_wait_window "^$sheet_title\$" 10)
        e2e_check "$name: the menu's '$key' opens the sheet titled $sheet_title" test -n "$sheet"
        if [ -n "$sheet" ]; then
            e2e_key "$sheet" alt+F4
            e2e_wait_gone "$sheet"
        else
            xdotool key Escape Escape
        fi
    else
        e2e_check "$name: a right click opens the menu" false
    fi

    # The error box of a file that can't be shown.
    sleep 0.3
    before=$(e2e_all_windows | sort)
    e2e_key "$wid" ctrl+o
    dialog=$(titled_new_window "$before" 15)
    if [ -n "$dialog" ]; then
        sleep 1
        timeout 5 xdotool windowfocus --sync "$dialog" || true
        xdotool type --delay 30 "$(e2e_winpath "$pics/text.jpg")"
        xdotool key Return
        box=$(e2e_wait_window "^$box_title\$" 10)
        e2e_check "$name: the error box is titled $box_title" test -n "$box"
        if [ -n "$box" ]; then
            timeout 5 xdotool windowfocus --sync "$box" || true
            xdotool key Return
            e2e_wait_gone "$box"
        fi
    else
        e2e_check "$name: Ctrl+O opens the open dialog" false
    fi
    e2e_check_eq "$name: the picture stays" "start.png - Vistrel" "$(e2e_title "$wid")"
    e2e_key "$wid" Escape
    e2e_wait_exit 10 || e2e_end_program
    e2e_say "info - $name: hint ${hint_w}px, label ${label_w}px, menu $menu_size"
    printf '%s %s %s\n' "$hint_w" "$label_w" "$menu_size" >"$E2E_OUT/$name.sizes"
}

run chinese "$chinese_locale" - zh
run english C - en
run english-setting "$chinese_locale" 0x0409 en
run chinese-setting C 0x0804 zh
export LC_MESSAGES=$chinese_locale
e2e_reg_delete_key 'HKCU\SOFTWARE\Vistrel'

read -r zh_hint zh_label zh_menu <"$E2E_OUT/chinese.sizes"
read -r en_hint en_label en_menu <"$E2E_OUT/english.sizes"
e2e_check "the hint, label and menu were measured" [ "$zh_hint" -gt 0 ] && [ "$en_hint" -gt 0 ] &&
    [ "$zh_label" -gt 0 ] && [ "$en_label" -gt 0 ] && [ "$zh_menu" != none ] && [ "$en_menu" != none ]
e2e_check "the English hint is not the Chinese one ($en_hint px against $zh_hint px)" [ "$en_hint" != "$zh_hint" ]
e2e_check "the English label word is not the Chinese one ($en_label px against $zh_label px)" \
    [ "$en_label" != "$zh_label" ]
e2e_check "the English menu is not the Chinese one ($en_menu against $zh_menu)" [ "$en_menu" != "$zh_menu" ]
e2e_check_eq "Language 0x0409 under a Chinese interface: English" "$(cat "$E2E_OUT/english.sizes")" \
    "$(cat "$E2E_OUT/english-setting.sizes")"
e2e_check_eq "Language 0x0804 under an English interface: Chinese" "$(cat "$E2E_OUT/chinese.sizes")" \
    "$(cat "$E2E_OUT/chinese-setting.sizes")"
e2e_finish
