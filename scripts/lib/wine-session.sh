#!/usr/bin/env bash
# wine-session.sh PREFIX COMMAND [ARGS...]
# Runs COMMAND with one wineserver kept alive for the prefix the whole time: each Wine program then
# starts in a fraction of a second instead of waiting ~3 s for the previous server to go away.
# The server (and every Windows program still running in the prefix) is ended afterwards.
# The session starts from the registry the prefix was made with (VISTREL_KEEP_REGISTRY=1 keeps
# what earlier runs stored).
# Its programs see the test tier's user-interface language (vt_pin_test_language).
# Meant to run inside xvfb-run, so all programs share that display.
set -uo pipefail
# shellcheck source=scripts/lib/common.sh
. "$(dirname -- "${BASH_SOURCE[0]}")/common.sh"

[ $# -ge 2 ] || vt_die "usage: wine-session.sh PREFIX COMMAND [ARGS...]"
export WINEPREFIX=$1
shift
export WINEDEBUG=${VISTREL_WINEDEBUG:--all}
# Every program of the session shows the Chinese interface the tests assert.
vt_pin_test_language
vt_ensure_prefix "$WINEPREFIX"
wineserver -k >/dev/null 2>&1
timeout 30 wineserver -w
[ "${VISTREL_KEEP_REGISTRY:-0}" = 1 ] || vt_reset_prefix_registry "$WINEPREFIX"
wineserver -p || vt_die "wineserver -p failed"
trap 'wineserver -k >/dev/null 2>&1' EXIT
# The first program of a session starts Wine's services, which live as long as the server and
# inherit that program's stdout: let them inherit /dev/null here rather than the pipe of a test,
# which ctest would otherwise wait on until its timeout.
wine cmd.exe /c exit </dev/null >/dev/null 2>&1
if [ -f "$WINEPREFIX/desktop-holder.exe" ]; then
    ready=$(mktemp)
    wine "$WINEPREFIX/desktop-holder.exe" </dev/null >"$ready" 2>/dev/null &
    for _ in $(seq 300); do
        grep -q ready "$ready" && break
        sleep 0.1
    done
    grep -q ready "$ready" || vt_log "warning: the desktop holder did not start; GUI tests will be slow"
    rm -f "$ready"
fi
"$@"
