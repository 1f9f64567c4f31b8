#!/usr/bin/env bash
# Print, end to end: the real program under Xvfb draws ten 6/49 tickets with a bonus up to 42 and
# prints them to the default queue of a private CUPS scheduler; the spooled PDF is read back. The
# page is the default queue's own paper (A4 where it names none, A6, Letter). A queue that
# refuses jobs, or refuses this one job, gives the printer message and no job; a paused queue
# takes the job and the program says that it waits; a scheduler stopped with SIGSTOP gives the
# printer message within 15 s, the window repainting meanwhile, and never the job. With the
# scheduler gone, Print gives the printer message and the program carries on.
# Usage: print_e2e.sh PATH_TO_KIVORA [PNG_OUT]
#   PNG_OUT (or $KIVORA_PRINTOUT_PNG): where to save the printed page as an 80 dpi picture.
#   $E2E_ARTIFACTS: a directory for screenshots and the spooled PDFs, kept after the run.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
binary=${1:?usage: print_e2e.sh PATH_TO_KIVORA [PNG_OUT]}
png_out=${2:-${KIVORA_PRINTOUT_PNG:-}}

# Prints on queue $1, which must be the default, and checks the tickets and that the page is
# "$2" points.
print_on() {
    local size
    e2e_print || return 1
    e2e_check_tickets "$E2E_PRINTOUT" mode=lotto tickets=10 numbers=6 low=1 high=49 bonus=42
    size=$(pdfinfo "$E2E_DOC" | awk '/^Page size:/ { printf "%.0f %.0f", $3, $5 }')
    [ "$size" = "$2" ] || e2e_fail "$1: the page is $size points, not $2"
    cp "$E2E_DOC" "$E2E_SHOTS/printout-$1.pdf"
}

spooled_beyond() { [ "$(e2e_spooled_count)" -gt "$1" ]; }

# Print gives the printer message ($1 says for what) and spools nothing.
expect_refusal() {
    local count
    count=$(e2e_spooled_count)
    e2e_press print
    e2e_expect_box "$1" "$E2E_TIMEOUT"
    sleep 0.5
    ! spooled_beyond "$count" || e2e_fail "a job was spooled $1"
}

# The main window's picture differs from before.png.
redrawn() { e2e_shot after && ! cmp -s "$E2E_SHOTS/before.png" "$E2E_SHOTS/after.png"; }

e2e_init
e2e_start_xvfb
e2e_start_cups
# 10 tickets of 6 numbers out of 49, bonus up to 42, random, mixed numbers, Lotto.
mkdir -p "$(dirname "$E2E_STORE")"
printf '%s\n' '[General]' NumberOfTickets=9 NumbersDrawn=3 NumbersTotal=39 BonusPlayed=1 \
    BonusMax=40 DrawBasedOn=0 DrawPreferred=0 GameMode=0 >"$E2E_STORE"
e2e_start_program "$binary"
e2e_press start

# A raw queue names no paper: A4.
if print_on Sheet "595 842" && [ -n "$png_out" ]; then
    mkdir -p "$(dirname "$png_out")"
    pdftoppm -png -r 80 -singlefile "$E2E_DOC" "${png_out%.png}" || e2e_fail "no $png_out"
fi
# One click, one document.
sleep 1
[ "$(e2e_spooled_count)" -eq 1 ] || e2e_fail "one Print spooled $(e2e_spooled_count) documents"
e2e_window_absent "$E2E_BOX" || e2e_fail "a message box came up while printing worked"

# The default queue's own paper.
for paper in "A6 iso_a6_105x148mm 297 420" "Letter na_letter_8.5x11in 612 792"; do
    read -r queue media size <<<"$paper"
    e2e_add_queue "$queue" -o media-default="$media"
    e2e_default_queue "$queue"
    print_on "$queue" "$size" || continue
done
e2e_default_queue Sheet

# A queue that refuses jobs.
cupsreject Sheet
expect_refusal "for a queue that refuses jobs"
cupsaccept Sheet

# A queue that takes jobs but refuses this one: a first job used up its quota.
e2e_add_queue Quota -o job-quota-period=86400 -o job-k-limit=1
e2e_default_queue Quota
head -c 4096 /dev/zero | tr '\0' x | lp -d Quota >>"$E2E_TMP/lp.log" 2>&1 ||
    e2e_die "lp could not fill the quota"
e2e_wait_until "$E2E_TIMEOUT" e2e_no_active_jobs || e2e_log "the filler job is still active"
expect_refusal "for a job the scheduler refuses"
e2e_default_queue Sheet

# A paused queue keeps the job, and a notice says so.
cupsdisable Sheet
count=$(e2e_spooled_count)
e2e_press print
e2e_wait_until "$E2E_TIMEOUT" spooled_beyond "$count" || e2e_fail "a paused queue took no job"
e2e_expect_box "that the paused queue holds the job" "$E2E_TIMEOUT"
[ -n "$(lpstat -o Sheet)" ] || e2e_fail "the paused queue shows no waiting job"
cupsenable Sheet
e2e_wait_until "$E2E_TIMEOUT" e2e_no_active_jobs || e2e_fail "the held job did not print on resume"

# A scheduler that stops answering: the printer message within 15 s, and no job ever.
count=$(e2e_spooled_count)
kill -STOP "$E2E_CUPSD_PID"
started=$SECONDS
e2e_press print
# Meanwhile the window still paints itself: hidden and shown again, it is not left blank.
sleep 2
xdotool windowunmap "$E2E_WIN"
sleep 0.3
xdotool windowmap "$E2E_WIN"
sleep 1
e2e_shot stalled
colours=$(identify -format %k "$E2E_SHOTS/stalled.png")
[ "$colours" -gt 16 ] || e2e_fail "the window did not repaint while the printer was silent"
e2e_expect_box "within 15 s of a silent scheduler" $((started + 15 - SECONDS))
kill -CONT "$E2E_CUPSD_PID"
e2e_wait_until "$E2E_TIMEOUT" e2e_cups_answers || e2e_fail "the scheduler did not come back"
sleep 1
! spooled_beyond "$count" || e2e_fail "the abandoned printout was spooled after all"

# No scheduler, so no default printer: the printer message, then business as usual.
e2e_stop_cups
e2e_press print
e2e_expect_box "without a printer" "$E2E_TIMEOUT"
e2e_shot before
e2e_press start
e2e_wait_until 5 redrawn || e2e_fail "the window did not redraw after Start"
e2e_app_running || e2e_fail "the program ended"
exit "$E2E_FAILED"
