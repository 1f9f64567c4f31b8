#!/usr/bin/env bash
# Print, end to end: the real program under Xvfb draws ten 6/49 tickets with a bonus up to 42,
# prints them to the default printer of a private CUPS scheduler, and the spooled PDF is read
# back as text. Then, with the scheduler gone, Print shows the printer message and the program
# carries on.
#
# Usage: print_e2e.sh PATH_TO_KIVORA [PNG_OUT]
#   PNG_OUT (or $KIVORA_PRINTOUT_PNG): where to save the printed page as an 80 dpi picture.
#   $E2E_ARTIFACTS: a directory for screenshots and the spooled PDF, kept after the run.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

binary=${1:?usage: print_e2e.sh PATH_TO_KIVORA [PNG_OUT]}
png_out=${2:-${KIVORA_PRINTOUT_PNG:-}}
artifacts=${E2E_ARTIFACTS:-}

# Window-relative pixel centres of the buttons in the 500 x 408 main window.
readonly START_X=216 START_Y=232
readonly PRINT_X=40 PRINT_Y=232
readonly MAIN_TITLE='^Lotto Kivora 2\.6$'
readonly BOX_TITLE='^Lotto Kivora$'

shot() {
    [ -n "$artifacts" ] || return 0
    mkdir -p "$artifacts"
    e2e_screenshot "$artifacts/$1.png" || true
}

e2e_init
e2e_start_xvfb
e2e_start_cups

# 10 tickets, 6 numbers of 49, bonus up to 42, random draw, mixed numbers, Lotto.
e2e_write_settings NumberOfTickets=9 NumbersDrawn=3 NumbersTotal=39 BonusPlayed=1 BonusMax=40 \
    DrawBasedOn=0 DrawPreferred=0 GameMode=0

e2e_start_app "$binary"
win=$(e2e_find_sized_window "$MAIN_TITLE" 500 408 $((E2E_TIMEOUT + 10))) ||
    e2e_die "no 500 x 408 window named 'Lotto Kivora 2.6'"
e2e_window_geometry "$win" || e2e_die "the main window is gone"
e2e_log "main window $win at $WIN_X,$WIN_Y"
# Let the first paint and the pending events settle before clicking.
sleep 0.5
shot 01-started

# --- Case 1: Start, then Print to the private queue.
e2e_click "$win" "$START_X" "$START_Y"
sleep 0.5
shot 02-drawn
e2e_click "$win" "$PRINT_X" "$PRINT_Y"

if spooled=$(e2e_wait_for_spool d00001-001); then
    head -c 5 "$spooled" | grep -q '^%PDF-' || e2e_fail "the spooled document is not a PDF"
    text=$(pdftotext -layout "$spooled" -)
    e2e_log "printout:"$'\n'"$text"
    e2e_check_tickets "$text" mode=lotto tickets=10 numbers=6 low=1 high=49 bonus=42
    pages=$(pdfinfo "$spooled" 2>/dev/null | awk '/^Pages:/ { print $2 }')
    [ "$pages" = "1" ] || e2e_fail "the printout has $pages pages, not 1"
    if [ -n "$png_out" ]; then
        mkdir -p "$(dirname "$png_out")"
        if pdftoppm -png -r 80 -singlefile "$spooled" "${png_out%.png}"; then
            e2e_log "saved $png_out"
        else
            e2e_fail "could not render $png_out"
        fi
    fi
    [ -z "$artifacts" ] || cp "$spooled" "$artifacts/printout.pdf"
else
    shot 03-no-spool
    e2e_fail "nothing was spooled after Print"
fi
# One click, one document.
sleep 1
[ ! -e "$E2E_SPOOL/d00002-001" ] || e2e_fail "a second document was spooled"
e2e_window_absent "$BOX_TITLE" || e2e_fail "a message box came up while printing worked"

# --- Case 2: no scheduler, so no default printer: the printer message, then business as usual.
e2e_stop_cups
e2e_click "$win" "$PRINT_X" "$PRINT_Y"
if box=$(e2e_find_window "$BOX_TITLE" "$E2E_TIMEOUT"); then
    shot 04-printer-message
    e2e_answer_box "$box" "$BOX_TITLE" || e2e_fail "the printer message did not close on Return"
else
    shot 04-no-message
    e2e_fail "no printer message without a printer"
fi

e2e_app_running || e2e_die "the program ended after the failed print"
e2e_window_absent "$MAIN_TITLE" && e2e_die "the main window is gone after the failed print"
# It still answers: Start draws new tickets, which changes the window's picture.
before="$E2E_TMP/before.png"
after="$E2E_TMP/after.png"
e2e_screenshot "$before" "$win" || e2e_fail "no screenshot of the main window"
e2e_click "$win" "$START_X" "$START_Y"
redrawn() {
    e2e_screenshot "$after" "$win" && ! cmp -s "$before" "$after"
}
e2e_wait_until "$E2E_TIMEOUT" redrawn || e2e_fail "the window did not redraw after Start"
shot 05-after-failed-print
e2e_app_running || e2e_fail "the program ended after Start"

e2e_result
