#!/usr/bin/env bash
# The short soak: the real program on a mixed folder (pictures larger and smaller than the
# screen, an animated GIF, a GIF of 500 frames, a text file, a cut PNG and a header bomb) gets
# 1,000 random user events from the soak driver (tests/soak): accelerator keys, pan keys, the
# wheel with and without Shift, pointer moves, view, interpolation, rotate/flip and stepping
# commands. It must stay alive and answering, its GDI and USER objects and private bytes must
# come back within 5 % of their level after the warm-up (200 events here, the first tenth in the
# long form), and Esc must end it normally.
# scripts/soak runs the same with 10,000 events (VISTREL_SOAK_EVENTS, VISTREL_SOAK_WARMUP,
# VISTREL_SOAK_SEED override the counts and the random seed; VISTREL_SOAK_CHECKPOINT adds settled
# samples that many events apart).
# shellcheck source=tests/e2e/lib.sh
. "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

events=${VISTREL_SOAK_EVENTS:-1000}
warmup=${VISTREL_SOAK_WARMUP:-$((events / 10 > 200 ? events / 10 : 200))}
seed=${VISTREL_SOAK_SEED:-20240601}
checkpoint=${VISTREL_SOAK_CHECKPOINT:-0}
driver=${VISTREL_BUILD_DIR:-$(dirname -- "$E2E_EXE")}/tests/soak/vistrel_soak.exe
[ -f "$driver" ] || e2e_abort "no soak driver at $driver: tests/CMakeLists.txt must include soak/soak.cmake"

folder=$E2E_OUT/pics
mkdir -p "$folder"
e2e_wine "$driver" --make-folder "$(e2e_winpath "$folder")" >"$E2E_OUT/make-folder.log" 2>&1 ||
    e2e_abort "the soak folder could not be made: $(cat "$E2E_OUT/make-folder.log")"

e2e_reg_delete_key 'HKCU\SOFTWARE\Vistrel'
e2e_start "$(e2e_winpath "$folder/00-first.png")"
wid=$(e2e_wait_window '^00-first\.png - Vistrel$') || e2e_abort "the main window never appeared"
timeout 5 xdotool windowfocus --sync "$wid" || e2e_say "note - could not focus window $wid"
sleep 0.5

started=$SECONDS
e2e_wine "$driver" --events "$events" --warmup "$warmup" --checkpoint "$checkpoint" --seed "$seed" 2>/dev/null | tr -d '\r' |
    tee "$E2E_OUT/soak.log"
rc=${PIPESTATUS[0]}
e2e_say "note - $events events in $((SECONDS - started)) s"
result=$(grep '^SOAK RESULT=' "$E2E_OUT/soak.log" | tail -n 1)
e2e_check_eq "soak driver's verdict (exit code)" 0 "$rc"
e2e_check "the driver reports a pass" grep -q '^SOAK RESULT=PASS' <<<"$result"
e2e_check "the program is still running" e2e_running

e2e_key "$wid" Escape
e2e_check "Esc ends the program" e2e_wait_exit 20
e2e_check_eq "exit code" 0 "${E2E_EXIT_CODE:-none}"
e2e_check "no crash report from Wine" bash -c "! grep -qi 'unhandled exception\|backtrace' '$E2E_OUT/program.err'"
e2e_finish
