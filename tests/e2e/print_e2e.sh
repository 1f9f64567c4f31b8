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

# The main window: named "Lotto Kivora 2.6" and 500 x 408 (a start-up window may come first).
find_main_window() {
    local deadline=$((SECONDS + E2E_TIMEOUT + 10))
    local id
    while [ "$SECONDS" -lt "$deadline" ]; do
        e2e_app_running || return 1
        for id in $(xdotool search --onlyvisible --name "$MAIN_TITLE" 2>/dev/null); do
            e2e_window_geometry "$id" 2>/dev/null || continue
            if [ "$WIN_W" -eq 500 ] && [ "$WIN_H" -eq 408 ]; then
                printf '%s\n' "$id"
                return 0
            fi
        done
        sleep 0.2
    done
    return 1
}

shot() {
    [ -n "$artifacts" ] || return 0
    mkdir -p "$artifacts"
    e2e_screenshot "$artifacts/$1.png" || true
}

# Checks the text of the printout: header, headings, ten tickets in order, blank lines between.
check_printout() {
    local text=$1
    local -a lines
    # shellcheck disable=SC2001 # trailing blanks go from every line at once
    mapfile -t lines < <(sed -e 's/[[:space:]]*$//' <<<"$text")

    [ "${lines[0]:-}" = "Lotto Kivora 2.6 by Brandell" ] ||
        e2e_fail "header line is '${lines[0]:-}'"
    [ -z "${lines[1]:-}" ] || e2e_fail "no blank line after the header: '${lines[1]}'"
    if ! [[ ${lines[2]:-} =~ ^[[:space:]]*N1[[:space:]]+N2[[:space:]]+N3[[:space:]]+N4[[:space:]]+N5[[:space:]]+N6[[:space:]]+B$ ]]; then
        e2e_fail "heading row is '${lines[2]:-}'"
    fi
    [ -z "${lines[3]:-}" ] || e2e_fail "no blank line after the headings: '${lines[3]}'"

    local i
    for i in $(seq 1 10); do
        local line=${lines[$((3 + i))]:-}
        local -a f
        read -r -a f <<<"$line"
        if [ "${#f[@]}" -ne 8 ]; then
            e2e_fail "ticket $i: expected label, 6 numbers and a bonus in '$line'"
            continue
        fi
        [ "${f[0]}" = "$i" ] || e2e_fail "ticket $i: label is '${f[0]}' in '$line'"
        local k previous=0
        for k in 1 2 3 4 5 6; do
            local n=${f[$k]}
            if ! [[ $n =~ ^[1-9][0-9]*$ ]] || [ "$n" -gt 49 ] || [ "$n" -le "$previous" ]; then
                e2e_fail "ticket $i: numbers not distinct, ascending and within 1..49 in '$line'"
                break
            fi
            previous=$n
        done
        local bonus=${f[7]}
        if ! [[ $bonus =~ ^[1-9][0-9]*$ ]] || [ "$bonus" -gt 42 ]; then
            e2e_fail "ticket $i: bonus '$bonus' not within 1..42 in '$line'"
        fi
    done
    local rest
    rest=$(printf '%s\n' "${lines[@]:14}" | tr -d '[:space:]\f')
    [ -z "$rest" ] || e2e_fail "more than ten tickets printed: '$rest'"
}

e2e_init
e2e_start_xvfb
e2e_start_cups

# 10 tickets, 6 numbers of 49, bonus up to 42, random draw, mixed numbers, Lotto.
e2e_write_settings NumberOfTickets=9 NumbersDrawn=3 NumbersTotal=39 BonusPlayed=1 BonusMax=40 \
    DrawBasedOn=0 DrawPreferred=0 GameMode=0

e2e_start_app "$binary"
win=$(find_main_window) || e2e_die "no 500 x 408 window named 'Lotto Kivora 2.6'"
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
    check_printout "$text"
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
    xdotool windowfocus --sync "$box" 2>/dev/null || true
    xdotool key --clearmodifiers Return
    if ! e2e_wait_until "$E2E_TIMEOUT" e2e_window_absent "$BOX_TITLE"; then
        e2e_fail "the printer message did not close on Return"
    fi
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
