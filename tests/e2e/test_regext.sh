#!/usr/bin/env bash
# The switch regext, in either spelling, registers the file types and ends without any window.
# shellcheck source=tests/e2e/lib.sh
. "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

for switch in /regext -REGEXT; do
    before=$(e2e_all_windows | wc -l)
    most=$before
    e2e_start "$switch"
    deadline=$((SECONDS + 10))
    while e2e_running && [ "$SECONDS" -lt "$deadline" ]; do
        now=$(e2e_all_windows | wc -l)
        [ "$now" -gt "$most" ] && most=$now
        sleep 0.05
    done
    e2e_check "$switch: the program ends within 10 s" e2e_wait_exit 1
    e2e_check_eq "$switch: exit code" 0 "${E2E_EXIT_CODE:-still running}"
    e2e_check_eq "$switch: windows shown while it ran" 0 "$((most - before))"
    e2e_cleanup
done

e2e_finish
