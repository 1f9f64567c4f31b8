#!/usr/bin/env bash
# The printing half of the harness without the program: a document sent to the private
# scheduler's default queue comes back unchanged from its spool, and once the scheduler has
# stopped nobody sees a default printer, so no test can fall back on the system's.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_init
e2e_start_cups
sent=$E2E_TMP/sent.txt
echo "Kivora spool check 4711" >"$sent"
# No -d: the job must find the default queue by itself, as the program's does.
lp -t "spool check" "$sent" >>"$E2E_TMP/lp.log" 2>&1 || e2e_die "lp failed"
e2e_wait_for_spool "$E2E_SPOOL/d00001-001" || e2e_die "nothing spooled"
cmp -s "$sent" "$E2E_SPOOL/d00001-001" || e2e_fail "the spooled document differs from the one sent"
[[ $(lpstat -W completed -o) == Sheet-* ]] || e2e_fail "the job did not complete on Sheet"
e2e_stop_cups
if lpstat -d 2>/dev/null | grep -q Sheet; then
    e2e_fail "a default printer is still reported after the scheduler stopped"
fi
exit "$E2E_FAILED"
