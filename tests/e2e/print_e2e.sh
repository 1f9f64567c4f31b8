#!/usr/bin/env bash
# Print, end to end: the real program under Xvfb draws ten 6/49 tickets with a bonus up to 42,
# prints them to the default printer of a private CUPS scheduler, and the spooled PDF is read
# back as text. The page is the default queue's own paper (A4 where it names none, A6, Letter)
# with the text at least 10 mm from the edges. A queue that refuses jobs, or refuses this one
# job, gives the printer message and no job; a paused queue takes the job and the program says that it waits; a
# scheduler stopped with SIGSTOP gives the printer message within 15 s, the window repainting
# meanwhile, and never the job. Then, with the scheduler gone, Print shows the printer message
# and the program carries on.
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

# 10 mm in points, rounded down.
readonly MARGIN_PT=28

# Checks that PDF $1 is on paper of $2 x $3 points (give or take one) with its text inside a
# 10 mm margin on the left, top and right.
check_paper() {
    local file=$1 width=$2 height=$3 label=$4 size origin left top w h
    size=$(e2e_pdf_page_size "$file")
    read -r w h <<<"$size"
    if [ -z "$size" ] || [ $((w - width)) -gt 1 ] || [ $((width - w)) -gt 1 ] ||
        [ $((h - height)) -gt 1 ] || [ $((height - h)) -gt 1 ]; then
        e2e_fail "$label: the page is '$size' pt, not $width $height"
    fi
    origin=$(e2e_pdf_text_origin "$file")
    read -r left top right <<<"$origin"
    if [ -z "$origin" ] || [ "$left" -lt "$MARGIN_PT" ] || [ "$top" -lt "$MARGIN_PT" ] ||
        [ "$right" -gt $((width - MARGIN_PT)) ]; then
        e2e_fail "$label: the text spans '$origin' pt, less than 10 mm from an edge"
    fi
    e2e_log "$label: page $size pt, text from $origin pt"
}

# The name of the next document the scheduler will spool.
next_document() {
    printf 'd%05d-001' $(($(e2e_spooled_count) + 1))
}

# Answers the message box that should now be up; $1 says what it is for.
expect_box() {
    local box
    if box=$(e2e_find_window "$BOX_TITLE" "${2:-$E2E_TIMEOUT}"); then
        e2e_answer_box "$box" "$BOX_TITLE" || e2e_fail "the box $1 did not close on Return"
    else
        shot "no-box-$1"
        e2e_fail "no message box $1"
        return 1
    fi
}

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
    # A raw queue names no paper and reports no margins.
    check_paper "$spooled" 595 842 "A4 by default"
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

# --- The default queue's own paper: A6, then Letter.
for paper in "Six iso_a6_105x148mm 298 420" "Letter na_letter_8.5x11in 612 792"; do
    read -r queue media width height <<<"$paper"
    e2e_add_queue "$queue" -o media-default="$media"
    lpadmin -d "$queue" >>"$E2E_TMP/lpadmin.out" 2>&1 || e2e_die "no default queue $queue"
    name=$(next_document)
    e2e_click "$win" "$PRINT_X" "$PRINT_Y"
    if spooled=$(e2e_wait_for_spool "$name"); then
        e2e_check_tickets "$(pdftotext -layout "$spooled" -)" mode=lotto tickets=10 numbers=6 \
            low=1 high=49 bonus=42
        check_paper "$spooled" "$width" "$height" "$queue ($media)"
        [ -z "$artifacts" ] || cp "$spooled" "$artifacts/printout-$queue.pdf"
    else
        e2e_fail "nothing was spooled on $queue"
    fi
done
lpadmin -d Sheet >>"$E2E_TMP/lpadmin.out" 2>&1 || e2e_die "Sheet is not the default again"

# --- A queue that refuses jobs: the printer message, and no job.
cupsreject Sheet
count=$(e2e_spooled_count)
e2e_click "$win" "$PRINT_X" "$PRINT_Y"
expect_box "for a queue that refuses jobs" || :
sleep 0.5
[ "$(e2e_spooled_count)" -eq "$count" ] || e2e_fail "a refusing queue spooled a job"
cupsaccept Sheet

# --- A queue that takes jobs but refuses this one (its quota is used up by a first job).
e2e_add_queue Quota -o job-quota-period=86400 -o job-k-limit=1
lpadmin -d Quota >>"$E2E_TMP/lpadmin.out" 2>&1 || e2e_die "no default queue Quota"
head -c 4096 /dev/zero | tr '\0' x >"$E2E_TMP/filler.txt"
lp -d Quota "$E2E_TMP/filler.txt" >>"$E2E_TMP/lp.out" 2>&1 || e2e_die "lp could not fill the quota"
e2e_wait_until "$E2E_TIMEOUT" e2e_no_active_jobs || e2e_log "the filler job is still active"
count=$(e2e_spooled_count)
e2e_click "$win" "$PRINT_X" "$PRINT_Y"
expect_box "for a job the scheduler refuses" || :
sleep 0.5
[ "$(e2e_spooled_count)" -eq "$count" ] || e2e_fail "a refused job was spooled"
lpadmin -d Sheet >>"$E2E_TMP/lpadmin.out" 2>&1 || e2e_die "Sheet is not the default again"

# --- A paused queue: it keeps the job, and a notice says so without blocking the window.
cupsdisable Sheet
name=$(next_document)
e2e_click "$win" "$PRINT_X" "$PRINT_Y"
e2e_wait_until "$E2E_TIMEOUT" test -s "$E2E_SPOOL/$name" || e2e_fail "a paused queue took no job"
if notice=$(e2e_find_window "$BOX_TITLE" "$E2E_TIMEOUT"); then
    shot 03-held-notice
    # Out of the way of the buttons: the window must still take a click while it is up.
    xdotool windowmove "$notice" 0 0
    sleep 0.3
    before="$E2E_TMP/held-before.png"
    e2e_screenshot "$before" "$win" || e2e_fail "no screenshot of the main window"
    e2e_click "$win" "$START_X" "$START_Y"
    changed() {
        e2e_screenshot "$E2E_TMP/held-after.png" "$win" && ! cmp -s "$before" "$E2E_TMP/held-after.png"
    }
    e2e_wait_until 5 changed || e2e_fail "the window took no click while the notice was up"
    e2e_answer_box "$notice" "$BOX_TITLE" || e2e_fail "the held notice did not close on Return"
else
    shot 03-no-held-notice
    e2e_fail "no notice that the paused queue holds the job"
fi
[ -n "$(lpstat -o Sheet 2>/dev/null)" ] || e2e_fail "the paused queue shows no waiting job"
cupsenable Sheet
e2e_wait_until "$E2E_TIMEOUT" e2e_no_active_jobs || e2e_fail "the held job did not print on resume"

# --- A scheduler that stops answering: the printer message within 15 s, and no job ever.
count=$(e2e_spooled_count)
kill -STOP "$E2E_CUPSD_PID"
started=$SECONDS
e2e_click "$win" "$PRINT_X" "$PRINT_Y"
# Meanwhile the window still paints itself: hidden and shown again, it is not left blank.
sleep 2
xdotool windowunmap "$win"
sleep 0.3
xdotool windowmap "$win"
sleep 1
if e2e_screenshot "$E2E_TMP/stalled.png" "$win"; then
    colours=$(convert "$E2E_TMP/stalled.png" -format %k info: 2>/dev/null || echo 0)
    [ "${colours:-0}" -gt 16 ] ||
        e2e_fail "the window did not repaint while the printer was not answering ($colours colours)"
else
    e2e_fail "no screenshot of the window while the printer was not answering"
fi
if expect_box "for a scheduler that does not answer" 25; then
    took=$((SECONDS - started))
    e2e_log "printer message after ${took} s"
    [ "$took" -le 15 ] || e2e_fail "the printer message took ${took} s, more than 15 s"
fi
kill -CONT "$E2E_CUPSD_PID"
e2e_wait_until "$E2E_TIMEOUT" e2e_cups_answers || e2e_fail "the scheduler did not come back"
sleep 1
[ "$(e2e_spooled_count)" -eq "$count" ] || e2e_fail "the abandoned printout was spooled after all"

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
