# shellcheck shell=bash
# shellcheck disable=SC2034  # the variables are read by the scripts that source this file
# Shared by scripts/*: where things live, messages, the packages the build needs and the private
# Wine prefix the Windows programs run in. Source it; it defines functions and variables only.

VISTREL_ROOT=$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")/../.." && pwd)
VISTREL_HOST_BUILD=$VISTREL_ROOT/build/host
VISTREL_MINGW_BUILD=$VISTREL_ROOT/build/mingw
VISTREL_PREFIX=$VISTREL_MINGW_BUILD/wineprefix
VISTREL_SAMPLES=$VISTREL_ROOT/build/samples
VISTREL_XVFB_ARGS="-screen 0 1280x1024x24"

# Bump when vt_configure_prefix changes, so that existing prefixes are made again.
VISTREL_PREFIX_RECIPE=4

# Debian packages of a machine that builds and tests everything (installed with their recommends,
# which bring Liberation fonts, Wine's own fonts and xauth for xvfb-run).
VISTREL_PACKAGES=(
    cmake ninja-build g++ googletest
    mingw-w64 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
    wine wine64 fonts-wine fonts-liberation fonts-wqy-microhei
    xvfb xauth xdotool x11-utils imagemagick libjxr-tools
    xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils
    clang llvm
    locales
)

# The user-interface language of every test session: Wine takes it from LC_MESSAGES, and only for
# a locale the host has, so the set-up makes this one when it is missing.
VISTREL_TEST_LOCALE=zh_CN.UTF-8

vt_log() { printf '%s: %s\n' "${0##*/}" "$*" >&2; }
vt_die() { vt_log "error: $*"; exit 1; }

vt_as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null 2>&1; then
        sudo "$@"
    else
        vt_die "root rights are needed for: $*"
    fi
}

vt_missing_packages() {
    local p
    for p in "${VISTREL_PACKAGES[@]}"; do
        if [ "$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null)" != installed ]; then
            printf '%s\n' "$p"
        fi
    done
}

vt_ensure_packages() {
    command -v dpkg-query >/dev/null 2>&1 ||
        vt_die "not a Debian-like system; install by hand: ${VISTREL_PACKAGES[*]}"
    local missing
    mapfile -t missing < <(vt_missing_packages)
    if [ "${#missing[@]}" -gt 0 ]; then
        vt_log "installing: ${missing[*]}"
        vt_as_root env DEBIAN_FRONTEND=noninteractive apt-get update -q
        vt_as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
        mapfile -t missing < <(vt_missing_packages)
        [ "${#missing[@]}" -eq 0 ] || vt_die "still missing after apt-get: ${missing[*]}"
    fi
    vt_ensure_test_locale
}

# locale -a spells zh_CN.UTF-8 as zh_CN.utf8.
vt_have_locale() {
    local want
    want=$(printf '%s' "$1" | tr '[:upper:]' '[:lower:]' | sed 's/utf-8/utf8/')
    locale -a 2>/dev/null | tr '[:upper:]' '[:lower:]' | grep -qxF "$want"
}

vt_ensure_test_locale() {
    vt_have_locale "$VISTREL_TEST_LOCALE" && return 0
    vt_log "making the locale $VISTREL_TEST_LOCALE"
    vt_as_root localedef -i "${VISTREL_TEST_LOCALE%%.*}" -f UTF-8 "$VISTREL_TEST_LOCALE" ||
        vt_die "localedef could not make $VISTREL_TEST_LOCALE"
    vt_have_locale "$VISTREL_TEST_LOCALE" || vt_die "$VISTREL_TEST_LOCALE is still missing after localedef"
}

# Wine programs started from here on show the test tier's language, whatever the caller's locale
# (LC_ALL would override LC_MESSAGES, so it goes). VISTREL_LC_MESSAGES picks another one.
vt_pin_test_language() {
    unset LC_ALL
    export LC_MESSAGES=${VISTREL_LC_MESSAGES:-$VISTREL_TEST_LOCALE}
}

vt_wine_version() { WINEDEBUG=-all wine --version 2>/dev/null; }

vt_prefix_stamp_text() { printf 'recipe %s\n%s\n' "$VISTREL_PREFIX_RECIPE" "$(vt_wine_version)"; }

vt_prefix_ready() {
    local prefix=$1
    [ -f "$prefix/.vistrel-prefix" ] && [ "$(cat "$prefix/.vistrel-prefix")" = "$(vt_prefix_stamp_text)" ]
}

# Runs one registry command in the prefix being made. A wine process that starts while the
# prefix's wineserver is shutting down can fail without having done anything (seen once on a
# loaded machine right after wineboot), so a failure waits for that server to go and tries again.
vt_prefix_reg() {
    local attempt out
    for attempt in 1 2 3 4 5; do
        if out=$(WINEDEBUG=-all wine reg "$@" 2>&1); then
            return 0
        fi
        vt_log "wine reg $* failed (attempt $attempt): $out"
        timeout 60 wineserver -w >/dev/null 2>&1 || true
        sleep "$attempt"
    done
    vt_die "wine reg $* failed"
}

# What the tests rely on, on top of a fresh prefix: no 2 s wait for a window manager on every hide,
# CJK text as glyphs rather than boxes, Wine's Tahoma for dialogs, and a crash that ends the
# program at once (backtrace on stderr) instead of a dialog waiting on the invisible display.
vt_configure_prefix() {
    local fonts=$WINEPREFIX/drive_c/windows/Fonts
    local link='wqy-microhei.ttc,WenQuanYi Micro Hei'
    local systemlink='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
    local f have_tahoma=0
    mkdir -p "$fonts"
    for f in tahoma.ttf tahomabd.ttf marlett.ttf; do
        if [ -f "/usr/share/wine/fonts/$f" ]; then
            cp "/usr/share/wine/fonts/$f" "$fonts/"
            [ "$f" = tahoma.ttf ] && have_tahoma=1
        fi
    done
    vt_prefix_reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f
    vt_prefix_reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
    vt_prefix_reg add 'HKCU\Software\Wine\DllOverrides' /v winemenubuilder.exe /t REG_SZ /d '' /f
    vt_prefix_reg add 'HKCU\Software\Wine\Uniscribe\Fallback' /v 696e6168 /t REG_SZ /d 'WenQuanYi Micro Hei' /f
    vt_prefix_reg add "$systemlink" /v 'Liberation Sans' /t REG_MULTI_SZ /d "$link" /f
    vt_prefix_reg add "$systemlink" /v 'Liberation Sans Bold' /t REG_MULTI_SZ /d "$link" /f
    if [ "$have_tahoma" -eq 1 ]; then
        vt_prefix_reg add "$systemlink" /v Tahoma /t REG_MULTI_SZ /d "$link" /f
        vt_prefix_reg add "$systemlink" /v 'Tahoma Bold' /t REG_MULTI_SZ /d "$link" /f
    fi
}

# A windowless Windows program that starts Wine's desktop process (explorer.exe), says "ready" and
# stays a user of the desktop until it is killed. While it runs, the desktop process stays up
# between tests instead of closing 1 s after each GUI program and being started again by the next
# one, which would hold that test's output pipe (and ctest) for the while.
vt_build_desktop_holder() {
    local out=$1
    printf '%s\n' \
        '#include <windows.h>' \
        '#include <stdio.h>' \
        'int main(void) {' \
        '    GetDesktopWindow();' \
        '    CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, NULL, NULL);' \
        '    puts("ready");' \
        '    fflush(stdout);' \
        '    Sleep(INFINITE);' \
        '    return 0;' \
        '}' | x86_64-w64-mingw32-gcc-posix -x c -O2 -s -o "$out" -
}

# One try at a prefix: wineboot, then the settings once its first wineserver has gone.
vt_make_prefix_once() {
    local prefix=$1 log=$2
    if [ -d "$prefix" ]; then
        WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
        rm -rf "$prefix"
    fi
    (
        unset DISPLAY
        export WINEPREFIX=$prefix WINEDEBUG=-all
        # No Mono/Gecko installers (they would ask), no menu entries in the user's home.
        export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
        wineboot -i && timeout 120 wineserver -w &&
            vt_configure_prefix && timeout 120 wineserver -w &&
            vt_build_desktop_holder "$prefix/desktop-holder.exe" &&
            mkdir -p "$prefix/pristine" &&
            cp "$prefix/system.reg" "$prefix/user.reg" "$prefix/userdef.reg" "$prefix/pristine/"
    ) >"$log" 2>&1
}

vt_make_prefix() {
    local prefix=$1 started=$SECONDS log=$1.log
    vt_log "making the Wine prefix $prefix"
    if ! vt_make_prefix_once "$prefix" "$log"; then
        cat "$log" >&2
        vt_log "the Wine prefix failed once; making it again"
        vt_make_prefix_once "$prefix" "$log" ||
            { cat "$log" >&2; vt_die "could not make the Wine prefix $prefix"; }
    fi
    vt_prefix_stamp_text >"$prefix/.vistrel-prefix"
    vt_log "Wine prefix ready in $((SECONDS - started)) s"
}

# Puts the registry back as it was when the prefix was made, so that every test session starts
# from the same state whatever earlier runs stored (settings, associations, the open dialog's last
# folder). The prefix's wineserver must not be running.
vt_reset_prefix_registry() {
    local prefix=$1
    [ -d "$prefix/pristine" ] || return 0
    cp "$prefix/pristine/system.reg" "$prefix/pristine/user.reg" "$prefix/pristine/userdef.reg" "$prefix/"
}

# Makes the prefix unless a complete one of the current recipe is there; safe to call from
# several processes at once (ctest -j).
vt_ensure_prefix() {
    local prefix=$1 lock
    vt_prefix_ready "$prefix" && return 0
    mkdir -p "$(dirname -- "$prefix")"
    exec {lock}>"$prefix.lock"
    flock "$lock"
    vt_prefix_ready "$prefix" || vt_make_prefix "$prefix"
    exec {lock}>&-
}
