#!/usr/bin/env bash
# wine-exec.sh PREFIX PROGRAM.exe [ARGS...]
# Runs a Windows program in the given private Wine prefix, making the prefix first if needed.
# CMake uses it as the emulator of the mingw build, so test discovery, the tests and the e2e
# harness never touch ~/.wine. Wine's own logging stays off unless VISTREL_WINEDEBUG says otherwise.
set -euo pipefail
# shellcheck source=scripts/lib/common.sh
. "$(dirname -- "${BASH_SOURCE[0]}")/common.sh"

[ $# -ge 2 ] || vt_die "usage: wine-exec.sh PREFIX PROGRAM [ARGS...]"
prefix=$1
shift
vt_ensure_prefix "$prefix"
export WINEPREFIX=$prefix
export WINEDEBUG=${VISTREL_WINEDEBUG:--all}
# A wine that fails within a tenth of a second has run nothing of the program (a warm start of
# the smallest program takes about 65 ms): seen once in a full test run, with no output at all.
# Such a start is tried once more; any other result is the program's own.
started=$(date +%s%N)
rc=0
wine "$@" || rc=$?
if [ "$rc" -ne 0 ] && [ $(( ($(date +%s%N) - started) / 1000000 )) -lt 100 ]; then
    echo "wine-exec.sh: wine failed in under 100 ms with status $rc before the program ran; once more" >&2
    rc=0
    wine "$@" || rc=$?
fi
exit "$rc"
