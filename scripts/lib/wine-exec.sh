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
exec wine "$@"
