#!/usr/bin/env bash
# The whole program, end to end: the real binary under Xvfb with a scratch store, printing to a
# private CUPS scheduler, driven with the mouse and the keyboard as a user would. Three runs:
#   first start (empty store): start-up window, defaults, the messages, Lotto and Daily draws
#     chosen with the keyboard and read back from their printouts, Help, About, a drag, Exit;
#   second start: every stored choice comes back, then the close image saves again;
#   a copy without its help file, at QT_SCALE_FACTOR=2: a crisp window, the help message, and a
#     window manager's close, which saves nothing.
# Usage: program_e2e.sh PATH_TO_KIVORA   (KV.html must lie beside it)
#   $E2E_ARTIFACTS: a directory for the screenshots and printouts, kept after the run.
#   $E2E_DOCS_DIR: a directory for the documentation's pictures.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
binary=${1:?usage: program_e2e.sh PATH_TO_KIVORA}

popup_open() { [ "$(xdotool search --onlyvisible --class Kivora | wc -l)" -ge 2 ]; }
popup_shut() { ! popup_open; }

# Picks entry $2 (from 0) of list $1 with the keyboard: a click focuses the list and opens its
# popup, Escape closes it, then Home and Down walk to the entry, each running the list's handler.
choose() {
    local keys=(Home) k
    for ((k = 0; k < $2; k++)); do
        keys+=(Down)
    done
    e2e_press "$1"
    e2e_wait_until 5 popup_open || e2e_fail "list $1 opened no popup"
    xdotool key Escape
    e2e_wait_until 5 popup_shut || e2e_fail "the popup of $1 stayed open"
    xdotool key --delay 10 "${keys[@]}"
}

# Copies screenshot $1 into $E2E_DOCS_DIR as $2, when that is set.
doc_picture() {
    [ -n "${E2E_DOCS_DIR:-}" ] || return 0
    mkdir -p "$E2E_DOCS_DIR"
    cp "$E2E_SHOTS/$1.png" "$E2E_DOCS_DIR/$2"
}

# True when the status line under the buttons shows yellow hint text; the picture is $1.png.
hint_shown() {
    local s=$E2E_SCALE yellow
    e2e_shot "$1" || return 1
    yellow=$(convert "$E2E_SHOTS/$1.png" -crop "$((470 * s))x$((16 * s))+$((16 * s))+$((243 * s))" \
        +repage -fill black +opaque yellow -fill white -opaque yellow -format '%[fx:mean]' info:)
    awk -v y="$yellow" 'BEGIN { exit !(y > 0.002) }'
}

# The share of picture $1 finer than two pixels: its RMS difference from itself halved and
# doubled again. A picture enlarged from half its size has little of it.
fine_detail() {
    convert "$1" -scale 50% -scale 200% "$E2E_TMP/halved.png"
    { compare -metric RMSE "$1" "$E2E_TMP/halved.png" null: 2>&1 || true; } |
        sed -n 's/.*(\(.*\)).*/\1/p'
}

# Expects the program to end within 5 s after $1.
expect_end() {
    e2e_wait_until 5 e2e_ended "$E2E_APP_PID" || e2e_die "the program still runs 5 s after $1"
    E2E_APP_PID=""
}

# The store holds exactly the choices made below, with GameMode $1.
check_store() {
    local expected actual
    expected=$(printf '%s\n' '[General]' NumberOfTickets=19 NumbersDrawn=1 NumbersTotal=39 \
        BonusPlayed=1 BonusMax=40 DrawBasedOn=2 DrawPreferred=2 "GameMode=$1" | sort)
    actual=$(grep -v '^$' "$E2E_STORE" | sort) || true
    [ "$expected" = "$actual" ] || e2e_fail "the store holds: ${actual//$'\n'/ }"
}

e2e_init
e2e_start_xvfb
e2e_start_cups
[ -f "$(dirname "$binary")/KV.html" ] || e2e_die "no KV.html beside $binary"
# No browser here: a stand-in xdg-open, which Qt uses outside a desktop session, notes requests.
opened=$E2E_TMP/opened.log
mkdir -p "$E2E_TMP/bin"
printf '#!/bin/sh\necho "$*" >>"%s"\n' "$opened" >"$E2E_TMP/bin/xdg-open"
chmod +x "$E2E_TMP/bin/xdg-open"
: >"$opened"
export PATH=$E2E_TMP/bin:$PATH

# First start: the start-up window for about two seconds, then the main window.
e2e_start_app "$binary"
e2e_find_window "$E2E_TITLE" 400 100 15 || e2e_die "no 400 x 100 start-up window"
splash=$E2E_FOUND splash_after=$E2E_SHOWN_AFTER splash_by=$E2E_SHOWN_BY
[ "$WIN_X,$WIN_Y" = "440,462" ] || e2e_fail "start-up window at $WIN_X,$WIN_Y, not centred"
sleep 0.5 # well inside the pause, so it must be painted
e2e_shot startup "$splash"
doc_picture startup startup-window.png
colours=$(identify -format '%k' "$E2E_SHOTS/startup.png")
[ "$colours" -gt 100 ] || e2e_fail "the start-up window is not painted ($colours colours)"
e2e_find_window "$E2E_TITLE" 500 408 10 || e2e_die "no 500 x 408 main window"
E2E_WIN=$E2E_FOUND
# Each window came up between two looks; the pause lies within these bounds.
shortest=$(((E2E_SHOWN_AFTER - splash_by) / 1000))
longest=$(((E2E_SHOWN_BY - splash_after) / 1000))
e2e_log "start-up window shown for $shortest..$longest ms"
((longest >= 1800 && shortest <= 3500)) || e2e_fail "start-up window not shown for about 2 s"
e2e_wait_until 2 e2e_window_hidden "$splash" || e2e_fail "the start-up window stays"
e2e_window_geometry "$E2E_WIN" || e2e_die "the main window is gone"
[ "$WIN_X,$WIN_Y" = "390,308" ] || e2e_fail "main window at $WIN_X,$WIN_Y, not centred"
sleep 0.3
e2e_shot main-defaults
[ ! -e "$E2E_STORE" ] || e2e_fail "the first start wrote the store"

# The defaults draw 1 ticket of 3 numbers out of 10, no bonus.
e2e_press start
e2e_print && e2e_check_tickets "$E2E_PRINTOUT" mode=lotto tickets=1 numbers=3 low=1 high=10

# 20 tickets of 6 out of 49, bonus up to 42, by sign, high numbers, chosen by keyboard.
choose tickets 19
choose numbers 3
choose total 39
choose bonus 1
choose bonusmax 40
choose basedon 2
choose preferred 2
e2e_press start
# The pointer rests on Start, so its hint shows.
e2e_wait_until 5 hint_shown main-hint || e2e_fail "no hint in the status line, pointer on Start"
doc_picture main-hint main-window.png
e2e_print &&
    e2e_check_tickets "$E2E_PRINTOUT" mode=lotto tickets=20 numbers=6 low=15 high=49 bonus=42
lotto=$E2E_PRINTOUT

# Include 7 and exclude 7: the message, and the grid keeps its tickets.
choose include 7
choose exclude 7
e2e_press start
e2e_expect_box "for include 7 and exclude 7"
e2e_print && [ "$E2E_PRINTOUT" = "$lotto" ] || e2e_fail "the refused Start changed the tickets"

# Help hands KV.html beside the program to the desktop.
e2e_press help
e2e_wait_until 5 test -s "$opened" || e2e_fail "Help asked the desktop to open nothing"
url=$(head -n 1 "$opened")
[[ $url == file://*/KV.html ]] && [ "${url#file://}" -ef "$(dirname "$binary")/KV.html" ] ||
    e2e_fail "Help asked to open '$url'"
sleep 0.3
e2e_window_absent "$E2E_BOX" || e2e_fail "a message box came up although the help file opened"

# The About window, centred, closed by Close, Alt+C and Return.
for close in Close alt+c Return; do
    e2e_press about
    # Its caption is empty.
    e2e_find_window '^$' 307 233 5 || { e2e_fail "no 307 x 233 About window"; continue; }
    about=$E2E_FOUND
    if [ "$close" = Close ]; then
        [ "$WIN_X,$WIN_Y" = "486,395" ] || e2e_fail "About window at $WIN_X,$WIN_Y, not centred"
        e2e_shot about "$about"
        doc_picture about about-window.png
        e2e_click "$about" 253 206
    else
        e2e_key "$close" "$about"
    fi
    e2e_wait_until 5 e2e_window_hidden "$about" || e2e_fail "$close did not close the About window"
done
e2e_app_running || e2e_die "the program ended with the About window"

# A drag on the title strip moves the window by (80, 60), and no further once released.
e2e_window_geometry "$E2E_WIN" || e2e_die "the main window is gone"
from_x=$WIN_X from_y=$WIN_Y
read -r x y <<<"${E2E_AT[strip]}"
x=$((WIN_X + x)) y=$((WIN_Y + y))
e2e_point "$x" "$y"
xdotool mousedown 1
for step in 1 2 3 4 5 6 7 8; do
    xdotool mousemove $((x + 10 * step)) $((y + 15 * step / 2))
    sleep 0.05
done
xdotool mouseup 1
for pointer in "$((x + 80)) $((y + 60))" "$((x + 200)) $((y + 160))"; do
    xdotool mousemove $pointer
    sleep 0.3
    e2e_window_geometry "$E2E_WIN" || e2e_die "the main window is gone"
    moved_x=$((WIN_X - from_x)) moved_y=$((WIN_Y - from_y))
    ((moved_x >= 77 && moved_x <= 83 && moved_y >= 57 && moved_y <= 63)) ||
        e2e_fail "with the pointer at $pointer the window moved by ($moved_x, $moved_y)"
done

# Daily mode, 4 digits from 3 to 9, include 8 at position 2.
e2e_press mode
choose numbers 1
choose include 9
choose includepos 1
e2e_press start
e2e_print &&
    e2e_check_tickets "$E2E_PRINTOUT" mode=daily tickets=20 numbers=4 low=3 high=9 include=2:8

# Exit saves all eight choices and ends the program.
e2e_press exit
expect_end Exit
check_store 1

# Second start: Daily, 20 tickets of 4 high digits, then Lotto with the stored choices.
e2e_start_program "$binary"
e2e_press start
e2e_print && e2e_check_tickets "$E2E_PRINTOUT" mode=daily tickets=20 numbers=4 low=3 high=9
e2e_press mode
e2e_press start
e2e_print &&
    e2e_check_tickets "$E2E_PRINTOUT" mode=lotto tickets=20 numbers=4 low=15 high=49 bonus=42
# The close image saves too: every restored choice and the new mode.
e2e_press close
expect_end "the close image"
check_store 0

# A copy without its help file at QT_SCALE_FACTOR=2: a 1000 x 816 window, drawn crisply.
mkdir -p "$E2E_TMP/nohelp"
cp "$binary" "$E2E_TMP/nohelp/kivora"
export QT_SCALE_FACTOR=2
E2E_SCALE=2
e2e_start_program "$E2E_TMP/nohelp/kivora"
e2e_press start
e2e_wait_until 5 hint_shown main-scale2 || e2e_fail "no hint in the status line at scale 2"
doc_picture main-scale2 main-window-scale2.png
# The button strip at 2x against the 1x strip enlarged: real detail, not a blown-up picture.
convert "$E2E_SHOTS/main-scale2.png" -crop 930x68+32+432 +repage "$E2E_TMP/strip2.png"
convert "$E2E_SHOTS/main-hint.png" -crop 465x34+16+216 +repage -resize 200% "$E2E_TMP/strip1.png"
sharp=$(fine_detail "$E2E_TMP/strip2.png")
enlarged=$(fine_detail "$E2E_TMP/strip1.png")
e2e_log "fine detail of the button strip: $sharp at 2x, $enlarged for 1x enlarged"
awk -v s="$sharp" -v e="$enlarged" 'BEGIN { exit !(s > 1.3 * e) }' ||
    e2e_fail "the 2x window is no sharper than the 1x one enlarged"

# Without KV.html beside the program, Help shows its message and opens nothing.
requests=$(wc -l <"$opened")
e2e_press help
e2e_expect_box "for the missing help file"
[ "$(wc -l <"$opened")" -eq "$requests" ] || e2e_fail "Help opened something"

# A window manager's close (Alt+F4) ends the program without saving.
cp "$E2E_STORE" "$E2E_TMP/store.before"
e2e_press mode
e2e_close_window "$E2E_WIN" || e2e_fail "could not send the close request"
expect_end "the window manager's close"
cmp -s "$E2E_STORE" "$E2E_TMP/store.before" || e2e_fail "closing by the window manager saved"
exit "$E2E_FAILED"
