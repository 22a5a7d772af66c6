# shellcheck shell=bash
# shellcheck disable=SC2034  # E2E_* variables are read by the tests
# Harness of the end-to-end tests. A test sources this file, calls e2e_init "$@" with the path of
# vistrel.exe as its first argument, drives the program under Wine on the X display ($DISPLAY,
# normally Xvfb 1280x1024x24) and ends with e2e_finish. Every check prints one line; the test fails
# when any check failed. The program is killed on exit, whatever happened.
#
# Run one by hand:
#   xvfb-run -a -s "-screen 0 1280x1024x24" bash tests/e2e/test_<name>.sh build/mingw/vistrel.exe
# Screenshots and the program's output stay in build/mingw/e2e/<name>/ for a look after a failure.

set -uo pipefail

E2E_ROOT=$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")/../.." && pwd)
E2E_NAME=$(basename -- "$0" .sh)
E2E_NAME=${E2E_NAME#test_}
E2E_FAILS=0
E2E_CHECKS=0
E2E_PID=
E2E_EXIT_CODE=
E2E_EXE=
E2E_OUT=

e2e_say() { printf '%s\n' "$*"; }

# Ends the test at once: the harness cannot go on (no display, no program, window never came).
e2e_abort() {
    e2e_say "ABORT - $*"
    exit 1
}

# e2e_init EXE: checks the environment and prepares the output folder.
e2e_init() {
    E2E_EXE=${1:-}
    [ -n "$E2E_EXE" ] || e2e_abort "usage: $0 path/to/vistrel.exe"
    [ -f "$E2E_EXE" ] || e2e_abort "no program at $E2E_EXE"
    E2E_EXE=$(cd -- "$(dirname -- "$E2E_EXE")" && pwd)/$(basename -- "$E2E_EXE")
    [ -n "${DISPLAY:-}" ] || e2e_abort "no DISPLAY: run under xvfb-run -a -s \"-screen 0 1280x1024x24\""
    # Never ~/.wine: without a prefix from ctest, use the one of the build folder holding the program.
    export WINEPREFIX=${WINEPREFIX:-$(dirname -- "$E2E_EXE")/wineprefix}
    export WINEDEBUG=${WINEDEBUG:--all}
    # The Chinese interface the checks assert, also when run by hand outside a test session.
    # shellcheck source=scripts/lib/common.sh
    . "$E2E_ROOT/scripts/lib/common.sh"
    [ -n "${LC_MESSAGES:-}" ] || vt_pin_test_language
    E2E_OUT=${VISTREL_BUILD_DIR:-$(dirname -- "$E2E_EXE")}/e2e/$E2E_NAME
    rm -rf "$E2E_OUT"
    mkdir -p "$E2E_OUT"
    trap e2e_cleanup EXIT
    trap 'exit 130' INT TERM
    e2e_kill_leftover
    e2e_say "e2e.$E2E_NAME: $E2E_EXE (prefix $WINEPREFIX, display $DISPLAY)"
}

# A program left behind by a test that was killed (ctest timeout) would confuse this one.
e2e_kill_leftover() {
    local pidfile=$E2E_OUT/../program.pid pid
    if [ -f "$pidfile" ]; then
        pid=$(cat "$pidfile")
        if [ -n "$pid" ] && grep -qa 'vistrel' "/proc/$pid/cmdline" 2>/dev/null; then
            e2e_say "note - killing program $pid left by an earlier test"
            kill -9 "$pid" 2>/dev/null
        fi
        rm -f "$pidfile"
    fi
    # Any other copy of the program still running (one an earlier test started in a private
    # prefix, say) would show windows this test could take for its own: the tests run one at a time.
    for pid in $(pgrep -f '^[^ ]*vistrel\.exe( |$)' || true); do
        e2e_say "note - killing program $pid left running by an earlier test"
        kill -9 "$pid" 2>/dev/null
    done
}

e2e_cleanup() {
    e2e_end_program
    if [ -n "${E2E_PRIVATE_PREFIX:-}" ]; then
        (export WINEPREFIX=$E2E_PRIVATE_PREFIX && wineserver -k && timeout 10 wineserver -w) >/dev/null 2>&1
        rm -rf "$E2E_PRIVATE_PREFIX"
    fi
    [ -z "${E2E_XORG_PID:-}" ] || { kill "$E2E_XORG_PID" 2>/dev/null; wait "$E2E_XORG_PID" 2>/dev/null; }
}

# Ends the program if it still runs.
e2e_end_program() {
    if e2e_running; then
        kill "$E2E_PID" 2>/dev/null
        local i
        for i in 1 2 3 4 5 6 7 8 9 10; do
            e2e_running || break
            sleep 0.2
        done
        e2e_running && kill -9 "$E2E_PID" 2>/dev/null
    fi
    E2E_PID=
    rm -f "$E2E_OUT/../program.pid"
}

# Ends the test as skipped (ctest's skip code): the machine lacks what it needs.
e2e_skip() {
    e2e_say "SKIP - $*"
    exit 77
}

# e2e_private_prefix: from here on the program runs in a copy of the prefix with a server of its
# own, which reads the display scale and the monitors anew. Hard links but for the registry files,
# which the server rewrites, so the shared prefix stays as it was; removed at the end.
e2e_private_prefix() {
    E2E_PRIVATE_PREFIX=$E2E_OUT/prefix
    cp -al "$WINEPREFIX" "$E2E_PRIVATE_PREFIX" || e2e_abort "could not copy the prefix"
    (cd "$WINEPREFIX" && cp --remove-destination system.reg user.reg userdef.reg "$E2E_PRIVATE_PREFIX/")
    export WINEPREFIX=$E2E_PRIVATE_PREFIX
    wineserver -p
}

# e2e_second_display CONFIG: Xorg with CONFIG on the first free display from :77 (xvfb-run -a
# starts at :99) becomes $DISPLAY; the test is skipped only when Xorg cannot start at all.
e2e_second_display() {
    local n i
    for n in $(seq 77 90); do [ -e "/tmp/.X$n-lock" ] || break; done
    Xorg ":$n" -config "$1" -noreset -nolisten tcp -novtswitch -sharevts -logfile "$E2E_OUT/xorg.log" \
        </dev/null >"$E2E_OUT/xorg.out" 2>&1 &
    E2E_XORG_PID=$!
    for i in $(seq 100); do
        xdpyinfo -display ":$n" >/dev/null 2>&1 && { export DISPLAY=:$n; return 0; }
        kill -0 "$E2E_XORG_PID" 2>/dev/null || break
        sleep 0.1
    done
    tail -n 5 "$E2E_OUT/xorg.out"
    e2e_skip "Xorg could not start on :$n (it needs root and xserver-xorg-video-dummy)"
}

# --- the program --------------------------------------------------------------------------------

# A Unix path as the program sees it (Wine maps / to drive Z:).
e2e_winpath() {
    local abs
    abs=$(realpath -m -- "$1")
    printf 'Z:%s\n' "${abs//\//\\}"
}

# e2e_start [ARGS...]: starts vistrel.exe in the background with ARGS (Windows paths).
e2e_start() {
    e2e_running && e2e_abort "e2e_start: the program is already running"
    e2e_say "run  - vistrel.exe $*"
    bash "$E2E_ROOT/scripts/lib/wine-exec.sh" "$WINEPREFIX" "$E2E_EXE" "$@" \
        </dev/null >>"$E2E_OUT/program.out" 2>>"$E2E_OUT/program.err" &
    E2E_PID=$!
    E2E_EXIT_CODE=
    echo "$E2E_PID" >"$E2E_OUT/../program.pid"
}

e2e_running() { [ -n "$E2E_PID" ] && kill -0 "$E2E_PID" 2>/dev/null; }

# e2e_wait_exit [SECONDS]: waits for the program to end; E2E_EXIT_CODE then holds its exit code.
# Returns 1 if it is still running after SECONDS (default 10).
e2e_wait_exit() {
    local limit=${1:-10} deadline
    deadline=$((SECONDS + limit))
    while e2e_running; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
    wait "$E2E_PID" 2>/dev/null
    E2E_EXIT_CODE=$?
    E2E_PID=
    return 0
}

# --- windows on the display ---------------------------------------------------------------------

# e2e_windows REGEX: ids of the visible windows whose title matches REGEX, one a line.
e2e_windows() { xdotool search --onlyvisible --name "$1" 2>/dev/null; }

# e2e_all_windows: ids of every visible window on the display but the root, one a line.
e2e_all_windows() {
    local root
    root=$(printf '%d' "$(xwininfo -root | awk '/Window id:/ { print $4; exit }')")
    xdotool search --onlyvisible --name '' 2>/dev/null | grep -vx "$root"
}

# e2e_open_dialog WID: Ctrl+O on the viewer; prints the id of the new titled window (the dialog)
# within 15 s, or fails.
e2e_open_dialog() {
    local before dialog= deadline=$((SECONDS + 15))
    before=$(e2e_all_windows | sort)
    e2e_key "$1" ctrl+o >&2
    while [ -z "$dialog" ] && [ "$SECONDS" -lt "$deadline" ]; do
        sleep 0.2
        dialog=$(comm -13 <(printf '%s\n' "$before") <(e2e_all_windows | sort) |
            while read -r id; do
                t=$(e2e_title "$id")
                [ "$t" != KovV_TagWnd ] && [ -n "$t" ] && echo "$id"
            done | head -n 1)
    done
    [ -n "$dialog" ] && printf '%s\n' "$dialog"
}

# e2e_wait_window REGEX [SECONDS]: prints the id of the first visible window whose title matches,
# once it is there (default 20 s). Fails when the program ends first or time runs out.
e2e_wait_window() {
    local regex=$1 limit=${2:-20} deadline ids
    deadline=$((SECONDS + limit))
    while :; do
        ids=$(e2e_windows "$regex")
        if [ -n "$ids" ]; then
            printf '%s\n' "$ids" | head -n 1
            return 0
        fi
        if ! e2e_running; then
            e2e_say "note - the program ended before a window titled /$regex/ appeared" >&2
            return 1
        fi
        if [ "$SECONDS" -ge "$deadline" ]; then
            e2e_say "note - no window titled /$regex/ after $limit s" >&2
            return 1
        fi
        sleep 0.1
    done
}

# e2e_wait_title WID TITLE [SECONDS]: true once the window has the title (default 10 s).
e2e_wait_title() {
    local wid=$1 want=$2 deadline=$((SECONDS + ${3:-10}))
    while [ "$SECONDS" -lt "$deadline" ]; do
        [ "$(e2e_title "$wid")" = "$want" ] && return 0
        sleep 0.1
    done
    return 1
}

# e2e_wait_gone WID [SECONDS]: true once the window is no longer shown (default 5 s).
e2e_wait_gone() {
    local wid=$1 deadline=$((SECONDS + ${2:-5}))
    while [ "$SECONDS" -lt "$deadline" ]; do
        e2e_all_windows | grep -qx "$wid" || return 0
        sleep 0.1
    done
    return 1
}

# e2e_geometry WID: prints "X Y WIDTH HEIGHT" of the window on the screen.
e2e_geometry() {
    xwininfo -id "$1" 2>/dev/null | awk -F: '
        /Absolute upper-left X/ { x = $2 + 0 }
        /Absolute upper-left Y/ { y = $2 + 0 }
        /^ *Width/ { w = $2 + 0 }
        /^ *Height/ { h = $2 + 0 }
        END { print x, y, w, h }'
}

# e2e_title WID: the window title, UTF-8.
e2e_title() { xdotool getwindowname "$1" 2>/dev/null; }

# --- input --------------------------------------------------------------------------------------

# e2e_key WID KEY...: gives the window the keyboard focus, then types the keys (xdotool names:
# Escape, space, ctrl+o, KP_Add, ...). There is no window manager: focus, not activation.
e2e_key() {
    local wid=$1
    shift
    timeout 5 xdotool windowfocus --sync "$wid" || e2e_say "note - could not focus window $wid"
    xdotool key --delay 60 "$@"
}

# e2e_click X Y [BUTTON]: moves the pointer to the screen point and clicks (1 left, 3 right,
# 4/5 wheel up/down).
e2e_click() {
    xdotool mousemove --sync "$1" "$2" click "${3:-1}"
}

# e2e_drag X1 Y1 X2 Y2 [BUTTON]: presses at the first screen point, moves in steps, releases.
# The pointer is only moved with --sync when it is elsewhere (xdotool waits in vain for a move to
# where it already is), and the press gets time to start a modal move or size loop.
e2e_drag() {
    local x1=$1 y1=$2 x2=$3 y2=$4 button=${5:-1} i steps=8 X Y SCREEN WINDOW
    eval "$(xdotool getmouselocation --shell)"
    [ "$X,$Y" = "$x1,$y1" ] || xdotool mousemove --sync "$x1" "$y1"
    xdotool mousedown "$button"
    sleep 0.3
    for ((i = 1; i <= steps; i++)); do
        xdotool mousemove $((x1 + (x2 - x1) * i / steps)) $((y1 + (y2 - y1) * i / steps))
        sleep 0.05
    done
    sleep 0.1
    xdotool mouseup "$button"
}

# --- pictures of the screen ---------------------------------------------------------------------

# e2e_screenshot FILE [WID]: the whole screen, or the screen area of the window, as PNG.
e2e_screenshot() {
    local file=$1 wid=${2:-} x y w h
    if [ -n "$wid" ]; then
        read -r x y w h < <(e2e_geometry "$wid")
        import -window root -crop "${w}x${h}+${x}+${y}" +repage "png:$file"
    else
        import -window root "png:$file"
    fi
}

# e2e_pixel FILE X Y: prints "R G B" (0-255) of one pixel of a picture.
e2e_pixel() {
    convert "$1[1x1+$2+$3]" -alpha off -depth 8 \
        -format '%[fx:int(255*r+0.5)] %[fx:int(255*g+0.5)] %[fx:int(255*b+0.5)]' info:
}

# e2e_count_near FILE R G B TOL: how many pixels are within TOL of the colour in every channel.
e2e_count_near() {
    local file=$1 r=$2 g=$3 b=$4 tol=$5
    convert "$file" -alpha off -depth 8 -format %c histogram:info:- | awk -v r="$r" -v g="$g" -v b="$b" -v t="$tol" '
        function abs(v) { return v < 0 ? -v : v }
        {
            n = $1; sub(":", "", n)
            if (!match($0, /\( *[0-9.]+, *[0-9.]+, *[0-9.]+/)) next
            split(substr($0, RSTART + 1, RLENGTH - 1), c, ",")
            if (abs(c[1] - r) <= t && abs(c[2] - g) <= t && abs(c[3] - b) <= t) sum += n
        }
        END { print sum + 0 }'
}

# e2e_extent_apart FILE R G B TOL: prints "X Y WIDTH HEIGHT" of the smallest box around every pixel
# that is NOT within TOL of the colour (text on a plain background, say); "0 0 0 0" if none.
e2e_extent_apart() {
    local file=$1 r=$2 g=$3 b=$4 tol=$5
    # Background -> black, anything else -> white; a black frame makes -trim cut to the white.
    convert "$file" -alpha off -depth 8 \
        -fx "abs(255*r-$r) <= $tol && abs(255*g-$g) <= $tol && abs(255*b-$b) <= $tol ? 0 : 1" \
        -bordercolor black -border 1 -trim \
        -format '%[fx:w] %[fx:h] %X %Y %[fx:maxima]' info: 2>/dev/null |
        awk '{ if ($5 == 0) print 0, 0, 0, 0; else print $3 - 1, $4 - 1, $1, $2 }'
}

# e2e_columns_with_runs FILE MIN: how many pixel columns hold at least MIN separate runs of bright
# pixels (above half intensity). Text drawn as missing-glyph boxes has at most 2 per column (the top
# and bottom edges of each box); CJK glyphs have many columns crossing 3 or more strokes.
e2e_columns_with_runs() {
    convert "$1" -alpha off -colorspace gray -threshold 50% -compress none pbm:- | awk -v min="$2" '
        NR == 1 { next }
        NR == 2 { w = $1; h = $2; next }
        { for (i = 1; i <= NF; i++) bit[n++] = $i }
        END {
            for (x = 0; x < w; x++) {
                runs = 0; previous = 1
                for (y = 0; y < h; y++) {
                    p = bit[y * w + x]
                    if (p == 0 && previous == 1) runs++
                    previous = p
                }
                if (runs >= min) columns++
            }
            print columns + 0
        }'
}

# --- the prefix's registry ----------------------------------------------------------------------

# e2e_reg_query KEY VALUE: prints "TYPE DATA" of a registry value ("REG_DWORD 0x0"); fails if the
# value (or key) is missing.
e2e_reg_query() {
    local out
    out=$(e2e_wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r') || return 1
    printf '%s\n' "$out" | awk -v name="$2" '
        { line = $0; sub(/^ +/, "", line) }
        index(line, name "    ") == 1 {
            rest = substr(line, length(name) + 5)
            sub(/^ +/, "", rest)
            type = rest; sub(/ .*/, "", type)
            data = rest; sub(/^[^ ]+ */, "", data)
            print type, data
            found = 1
            exit
        }
        END { exit found ? 0 : 1 }'
}

# e2e_reg_delete_key KEY: removes the key and everything under it; quiet if it is not there.
e2e_reg_delete_key() { e2e_wine reg delete "$1" /f >/dev/null 2>&1 || true; }

# e2e_wine PROGRAM [ARGS...]: any other Windows program in the same prefix (reg, regedit, ...).
e2e_wine() { bash "$E2E_ROOT/scripts/lib/wine-exec.sh" "$WINEPREFIX" "$@"; }

# --- checks -------------------------------------------------------------------------------------

# e2e_check DESCRIPTION COMMAND...: the check passes when COMMAND succeeds.
e2e_check() {
    local what=$1
    shift
    E2E_CHECKS=$((E2E_CHECKS + 1))
    if "$@"; then
        e2e_say "ok   - $what"
    else
        e2e_say "FAIL - $what"
        E2E_FAILS=$((E2E_FAILS + 1))
    fi
}

# e2e_check_eq DESCRIPTION EXPECTED ACTUAL
e2e_check_eq() {
    E2E_CHECKS=$((E2E_CHECKS + 1))
    if [ "$2" = "$3" ]; then
        e2e_say "ok   - $1: $3"
    else
        e2e_say "FAIL - $1: expected '$2', got '$3'"
        E2E_FAILS=$((E2E_FAILS + 1))
    fi
}

# e2e_check_range DESCRIPTION MIN MAX ACTUAL (integers, both ends included)
e2e_check_range() {
    E2E_CHECKS=$((E2E_CHECKS + 1))
    if [ "$4" -ge "$2" ] && [ "$4" -le "$3" ]; then
        e2e_say "ok   - $1: $4 (in $2..$3)"
    else
        e2e_say "FAIL - $1: $4 is not in $2..$3"
        E2E_FAILS=$((E2E_FAILS + 1))
    fi
}

# e2e_check_geometry WID DESCRIPTION "X,Y WxH": waits up to 3 s for the window to get there.
e2e_check_geometry() {
    local wid=$1 got i x y w h
    for i in $(seq 30); do
        read -r x y w h < <(e2e_geometry "$wid")
        got="$x,$y ${w}x${h}"
        [ "$got" = "$3" ] && break
        sleep 0.1
    done
    e2e_check_eq "$2" "$3" "$got"
}

e2e_finish() {
    if [ "$E2E_FAILS" -eq 0 ]; then
        e2e_say "e2e.$E2E_NAME: all $E2E_CHECKS checks passed"
        exit 0
    fi
    e2e_say "e2e.$E2E_NAME: $E2E_FAILS of $E2E_CHECKS checks failed (files in $E2E_OUT)"
    if [ -s "$E2E_OUT/program.err" ]; then
        e2e_say "--- program stderr (last lines):"
        tail -n 20 "$E2E_OUT/program.err"
    fi
    exit 1
}
