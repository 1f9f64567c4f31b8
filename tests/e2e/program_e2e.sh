#!/usr/bin/env bash
# The whole program, end to end: the real binary under Xvfb with a scratch store, printing to a
# private CUPS scheduler, driven with the mouse and the keyboard as a user would. Three runs:
#   first start (empty store): start-up window, defaults, the messages, Lotto and Daily draws
#     chosen with the keyboard and read back from their printouts, Help, About, a drag, Exit;
#   second start: every stored choice comes back, then the close image saves again;
#   a copy without its help file, at QT_SCALE_FACTOR=2: a crisp window, the help message, and a
#     window manager's close, which saves nothing.
#
# Usage: program_e2e.sh PATH_TO_KIVORA   (KV.html must lie beside it)
#   $E2E_ARTIFACTS: a directory for the screenshots and printouts, kept after the run.
#   $E2E_DOCS_DIR: a directory for the documentation's pictures (startup-window.png,
#   main-window.png, about-window.png, main-window-scale2.png).
set -euo pipefail
source "$(dirname "$0")/lib.sh"

binary=${1:?usage: program_e2e.sh PATH_TO_KIVORA}
readonly TITLE='^Lotto Kivora 2\.6$' BOX='^Lotto Kivora$'

# Centres of the main window's controls at 96 DPI, in window pixels.
declare -rA AT=(
    [tickets]="108 90" [numbers]="108 122" [total]="172 122" [bonus]="108 154"
    [bonusmax]="108 186" [basedon]="188 282" [include]="188 314" [includepos]="380 314"
    [exclude]="188 346" [preferred]="188 378"
    [print]="40 232" [mode]="112 232" [start]="216 232" [help]="300 232" [about]="360 232"
    [exit]="445 232" [close]="485 14" [strip]="300 12" [grid]="344 150"
)
scale=1
win=""

# Clicks control $1 of the main window.
click() {
    local x y
    read -r x y <<<"${AT[$1]}"
    e2e_click "$win" $((x * scale)) $((y * scale))
}

program_windows() { xdotool search --onlyvisible --class Kivora 2>/dev/null | wc -l; }
popup_shown() { [ "$(program_windows)" -ge 2 ]; }
popup_gone() { [ "$(program_windows)" -eq 1 ]; }

# The height in pixels of the open list's popup; 0 when none shows.
popup_height() {
    local id
    for id in $(xdotool search --onlyvisible --class Kivora 2>/dev/null); do
        if [ "$id" != "$win" ]; then
            xdotool getwindowgeometry --shell "$id" | sed -n 's/^HEIGHT=//p'
            return
        fi
    done
    echo 0
}

# An open list shows at most about a dozen entries (rows of 13 pixels at scale 1) and scrolls
# the rest, instead of running down the whole screen.
check_popup_height() {
    local height
    height=$(popup_height)
    e2e_log "the open list $1 is $height pixels high"
    [ "$height" -gt 0 ] || e2e_fail "no popup window found for the open list $1"
    [ "$height" -le $((13 * 14 * scale)) ] ||
        e2e_fail "the open list $1 is $height pixels high at scale $scale"
}

# Saves the screen around the main window, open popups included, as $1.png among the screenshots.
screen_shot() {
    local X Y
    eval "$(xdotool getwindowgeometry --shell "$win" | grep -E '^[XY]=')"
    import -display "$DISPLAY" -window root -crop "$((560 * scale))x$((460 * scale))+$X+$Y" \
        +repage "$shots/$1.png" 2>/dev/null || e2e_log "no screenshot $1"
}

# Picks entry $2 (counted from 0) of list $1 with the keyboard: a click focuses the list and opens
# its popup, Escape closes the popup, then Home and Down walk to the entry; every step runs the
# list's handler, as a pick does.
choose() {
    local list=$1 position=$2 k
    click "$list"
    e2e_wait_until 5 popup_shown || e2e_fail "list $list opened no popup"
    check_popup_height "$list"
    xdotool key Escape
    e2e_wait_until 5 popup_gone || e2e_fail "the popup of $list stayed open"
    local -a keys=(Home)
    for ((k = 0; k < position; k++)); do
        keys+=(Down)
    done
    xdotool key --delay 10 "${keys[@]}"
}

# Saves a picture of window $2 (default: the main window) as $1.png among the screenshots.
shot() {
    e2e_screenshot "$shots/$1.png" "${2:-$win}" || e2e_log "no screenshot $1"
}

# Copies screenshot $1 into $E2E_DOCS_DIR as $2, when that is set.
doc_picture() {
    [ -n "${E2E_DOCS_DIR:-}" ] || return 0
    mkdir -p "$E2E_DOCS_DIR"
    cp "$shots/$1.png" "$E2E_DOCS_DIR/$2" || e2e_log "no picture $2 for the documentation"
}

spooled() { find "$E2E_SPOOL" -maxdepth 1 -name 'd*-001' | wc -l; }

# Clicks Print and reads the spooled document back into $printout.
print_tickets() {
    local name file
    name=$(printf 'd%05d-001' $(($(spooled) + 1)))
    printout=""
    click print
    file=$(e2e_wait_for_spool "$name") || { e2e_fail "nothing spooled after Print"; return 1; }
    printout=$(pdftotext -layout "$file" -)
    printf '%s\n' "$printout" >"$shots/printout-$name.txt"
}

# Expects a message box titled "Lotto Kivora" (what for: $1), saves it as $2 and answers it.
expect_box() {
    local box
    if box=$(e2e_find_window "$BOX" 5); then
        shot "$2" "$box"
        e2e_answer_box "$box" "$BOX" || e2e_fail "the message box $1 did not close on Return"
    else
        e2e_fail "no message box $1"
    fi
}

# Starts program $1 (default: the built one) and waits for its main window.
start_program() {
    e2e_start_app "${1:-$binary}"
    win=$(e2e_find_sized_window "$TITLE" $((500 * scale)) $((408 * scale)) 15) ||
        e2e_die "no $((500 * scale)) x $((408 * scale)) main window"
    sleep 0.3 # the first paint and the pending events
}

app_gone() { ! e2e_app_running; }

# Expects the program to end within 5 seconds after $1.
expect_end() {
    e2e_wait_until 5 app_gone || e2e_die "the program still runs 5 s after $1"
    # shellcheck disable=SC2034 # lib.sh's clean-up reads it
    E2E_APP_PID=""
}

# The store holds exactly the eight values given as Name=Value.
check_store() {
    local expected actual
    expected=$(printf '%s\n' '[General]' "$@" | sort)
    actual=$(grep -v '^$' "$store" 2>/dev/null | sort)
    if [ "$expected" != "$actual" ]; then
        e2e_fail "the store holds: $(tr '\n' ' ' <<<"$actual")"
        e2e_log "expected: $(tr '\n' ' ' <<<"$expected")"
    fi
}

# True when the status line under the buttons shows yellow hint text; keeps the picture.
hint_shown() {
    e2e_screenshot "$E2E_TMP/hint.png" "$win" || return 1
    local strip="$((470 * scale))x$((16 * scale))+$((16 * scale))+$((243 * scale))" yellow
    yellow=$(convert "$E2E_TMP/hint.png" -crop "$strip" +repage \
        -fill black +opaque yellow -fill white -opaque yellow -format '%[fx:mean]' info:)
    awk -v y="$yellow" 'BEGIN { exit !(y > 0.002) }'
}

# The share of picture $1 finer than two pixels: its RMS difference from itself halved and
# doubled again. A picture enlarged from half its size has little of it.
fine_detail() {
    convert "$1" -scale 50% -scale 200% "$E2E_TMP/halved.png"
    { compare -metric RMSE "$1" "$E2E_TMP/halved.png" null: 2>&1 || true; } |
        sed -n 's/.*(\(.*\)).*/\1/p'
}

e2e_init
e2e_start_xvfb
e2e_start_cups
shots=${E2E_ARTIFACTS:-$E2E_TMP/shots}
mkdir -p "$shots"
store=$XDG_CONFIG_HOME/Brandell/Kivora.conf
[ -f "$(dirname "$binary")/KV.html" ] || e2e_die "no KV.html beside $binary"
# No browser here: a stand-in xdg-open, which Qt uses outside a desktop session, notes requests.
mkdir -p "$E2E_TMP/bin"
printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s"\n' "$E2E_TMP/opened.log" >"$E2E_TMP/bin/xdg-open"
chmod +x "$E2E_TMP/bin/xdg-open"
: >"$E2E_TMP/opened.log"
export PATH="$E2E_TMP/bin:$PATH"

# ---- First start, empty store.
e2e_log "case 1: the start-up window for about two seconds, then the main window"
e2e_start_app "$binary"
e2e_find_sized_window "$TITLE" 400 100 15 >/dev/null || e2e_die "no 400 x 100 start-up window"
splash=$E2E_FOUND splash_after=$E2E_SHOWN_AFTER splash_by=$E2E_SHOWN_BY
splash_gone() { ! e2e_window_shown "$splash"; }
e2e_window_geometry "$splash" || e2e_die "the start-up window is gone"
[ "$WIN_X,$WIN_Y" = "440,462" ] || e2e_fail "start-up window at $WIN_X,$WIN_Y, not centred"
sleep 0.5 # well inside the pause, so it must be painted
shot startup "$splash"
doc_picture startup startup-window.png
colours=$(identify -format '%k' "$shots/startup.png") || colours=0
[ "$colours" -gt 100 ] || e2e_fail "the start-up window is not painted ($colours colours)"
e2e_find_sized_window "$TITLE" 500 408 10 >/dev/null || e2e_die "no 500 x 408 main window"
win=$E2E_FOUND
# Each window came up between two looks; the pause lies within these bounds.
shortest=$(((E2E_SHOWN_AFTER - splash_by) / 1000))
longest=$(((E2E_SHOWN_BY - splash_after) / 1000))
e2e_log "start-up window shown for $shortest..$longest ms"
((longest >= 1800 && shortest <= 3500)) || e2e_fail "start-up window not shown for about 2 s"
e2e_wait_until 2 splash_gone || e2e_fail "the start-up window stays beside the main window"
e2e_window_geometry "$win" || e2e_die "the main window is gone"
[ "$WIN_X,$WIN_Y" = "390,308" ] || e2e_fail "main window at $WIN_X,$WIN_Y, not centred"
sleep 0.3
shot main-defaults
[ ! -e "$store" ] || e2e_fail "the first start wrote the store"

e2e_log "case 7: Print before any Start: the nothing-to-print message, no job"
click grid
screen_shot grid-focus-empty
click print
expect_box "for an empty grid" nothing-to-print
sleep 0.5
[ "$(spooled)" -eq 0 ] || e2e_fail "Print spooled a job for an empty grid"

e2e_log "case 1: the defaults draw 1 ticket of 3 numbers out of 10, no bonus"
click start
print_tickets && e2e_check_tickets "$printout" mode=lotto tickets=1 numbers=3 low=1 high=10

e2e_log "case 2: 20 tickets, 6/49, bonus up to 42, by sign, high numbers, chosen by keyboard"
choose tickets 19
choose numbers 3
choose total 39
choose bonus 1
choose bonusmax 40
choose basedon 2
choose preferred 2
click preferred
e2e_wait_until 5 popup_shown && screen_shot list-open
xdotool key Escape
e2e_wait_until 5 popup_gone || e2e_fail "the popup of preferred stayed open"
screen_shot list-focus
click start
# The pointer rests on Start, so its hint shows.
if e2e_wait_until 5 hint_shown; then
    cp "$E2E_TMP/hint.png" "$shots/main-hint.png"
    doc_picture main-hint main-window.png
else
    e2e_fail "no hint in the status line with the pointer on Start"
fi
print_tickets &&
    e2e_check_tickets "$printout" mode=lotto tickets=20 numbers=6 low=15 high=49 bonus=42
lotto_printout=$printout

e2e_log "case 6: include 7 and exclude 7: the message, and the grid keeps its tickets"
choose include 7
choose exclude 7
click start
expect_box "for include 7 and exclude 7" include-exclude
if print_tickets && [ "$printout" != "$lotto_printout" ]; then
    e2e_fail "the refused Start changed the tickets"
fi

e2e_log "case 8: Help hands KV.html beside the program to the desktop"
click help
if e2e_wait_until 5 test -s "$E2E_TMP/opened.log"; then
    opened=$(head -n 1 "$E2E_TMP/opened.log")
    if [[ $opened != file://*/KV.html ]] ||
        ! [ "${opened#file://}" -ef "$(dirname "$binary")/KV.html" ]; then
        e2e_fail "Help asked to open '$opened'"
    fi
else
    e2e_fail "Help asked the desktop to open nothing"
fi
sleep 0.3
e2e_window_absent "$BOX" || e2e_fail "a message box came up although the help file opened"

e2e_log "case 9: the About window, modal, closed by Close, Alt+C and Return"
open_about() {
    click about
    # Its caption is empty.
    about=$(e2e_find_sized_window '^$' 307 233 5) ||
        { e2e_fail "no 307 x 233 About window"; return 1; }
}
about_closed() { ! e2e_window_shown "$about"; }
if open_about && e2e_window_geometry "$about"; then
    [ "$WIN_X,$WIN_Y" = "486,395" ] || e2e_fail "About window at $WIN_X,$WIN_Y, not centred"
    shot about "$about"
    doc_picture about about-window.png
    # While it is open the main window takes no click: Print would spool a job.
    jobs_before=$(spooled)
    click print
    sleep 1
    if [ "$(spooled)" -ne "$jobs_before" ] || ! e2e_window_absent "$BOX"; then
        e2e_fail "the main window took a click while About was open"
    fi
    e2e_click "$about" 253 206
    e2e_wait_until 5 about_closed || e2e_fail "Close did not close the About window"
fi
for key in alt+c Return; do
    open_about || continue
    timeout 5 xdotool windowfocus --sync "$about" 2>/dev/null || true
    xdotool key --clearmodifiers "$key"
    e2e_wait_until 5 about_closed || e2e_fail "$key did not close the About window"
done
e2e_app_running || e2e_die "the program ended with the About window"

e2e_log "case 10: a drag on the title strip moves the window by (80, 60)"
e2e_window_geometry "$win" || e2e_die "the main window is gone"
from_x=$WIN_X from_y=$WIN_Y
read -r x y <<<"${AT[strip]}"
x=$((WIN_X + x)) y=$((WIN_Y + y))
xdotool mousemove "$x" "$y"
e2e_wait_until 5 e2e_pointer_at "$x" "$y" || e2e_log "pointer did not reach $x,$y"
xdotool mousedown 1
for step in 1 2 3 4 5 6 7 8; do
    xdotool mousemove $((x + 10 * step)) $((y + 15 * step / 2))
    sleep 0.05
done
xdotool mouseup 1
sleep 0.3
e2e_window_geometry "$win" || e2e_die "the main window is gone"
moved_x=$((WIN_X - from_x)) moved_y=$((WIN_Y - from_y))
((moved_x >= 77 && moved_x <= 83 && moved_y >= 57 && moved_y <= 63)) ||
    e2e_fail "the drag moved the window by ($moved_x, $moved_y)"
# Released: the window no longer follows the pointer.
xdotool mousemove $((x + 120)) $((y + 100))
sleep 0.3
e2e_window_geometry "$win" || e2e_die "the main window is gone"
[ $((WIN_X - from_x)),$((WIN_Y - from_y)) = "$moved_x,$moved_y" ] ||
    e2e_fail "the window follows the pointer after the release"

e2e_log "cases 3, 4: Daily mode, 4 digits, include 8 at position 2"
click mode
# The switch lays the grid out anew: nothing to print until the next Start.
click print
expect_box "after the mode switch" nothing-after-mode
choose numbers 1
choose include 9
choose includepos 1
click start
if print_tickets; then
    e2e_check_tickets "$printout" mode=daily tickets=20 numbers=4 low=3 high=9 include=2:8
    [ "$E2E_REPEATS" -gt 0 ] || e2e_fail "no Daily ticket repeats a digit"
fi

e2e_log "case 5: Exit saves all eight choices and ends the program"
click exit
expect_end Exit
check_store NumberOfTickets=19 NumbersDrawn=1 NumbersTotal=39 BonusPlayed=1 BonusMax=40 \
    DrawBasedOn=2 DrawPreferred=2 GameMode=1

# ---- Second start.
e2e_log "case 5: the second start restores them: Daily, 20 tickets of 4 high digits"
start_program
click start
if print_tickets; then
    e2e_check_tickets "$printout" mode=daily tickets=20 numbers=4 low=3 high=9
    [ "$E2E_REPEATS" -gt 0 ] || e2e_fail "no Daily ticket repeats a digit"
fi
e2e_log "case 4: back to Lotto: 20 tickets of 4 out of 49, high numbers, bonus up to 42"
click mode
click start
print_tickets &&
    e2e_check_tickets "$printout" mode=lotto tickets=20 numbers=4 low=15 high=49 bonus=42
e2e_log "case 5: the close image saves too, every restored choice and the new mode"
click close
expect_end "the close image"
check_store NumberOfTickets=19 NumbersDrawn=1 NumbersTotal=39 BonusPlayed=1 BonusMax=40 \
    DrawBasedOn=2 DrawPreferred=2 GameMode=0

# ---- A copy without its help file, at twice the scale.
e2e_log "case 11: QT_SCALE_FACTOR=2: a 1000 x 816 window, drawn crisply"
mkdir -p "$E2E_TMP/nohelp"
cp "$binary" "$E2E_TMP/nohelp/kivora"
export QT_SCALE_FACTOR=2
scale=2
start_program "$E2E_TMP/nohelp/kivora"
click start
if e2e_wait_until 5 hint_shown; then
    cp "$E2E_TMP/hint.png" "$shots/main-scale2.png"
    doc_picture main-scale2 main-window-scale2.png
else
    e2e_fail "no hint in the status line at scale 2"
fi
# The button strip at 2x against the 1x strip enlarged: real detail, not a blown-up picture.
if [ -f "$shots/main-scale2.png" ] && [ -f "$shots/main-hint.png" ]; then
    convert "$shots/main-scale2.png" -crop 930x68+32+432 +repage "$E2E_TMP/strip2.png"
    convert "$shots/main-hint.png" -crop 465x34+16+216 +repage -resize 200% "$E2E_TMP/strip1.png"
    sharp=$(fine_detail "$E2E_TMP/strip2.png")
    enlarged=$(fine_detail "$E2E_TMP/strip1.png")
    e2e_log "fine detail of the button strip: $sharp at 2x, $enlarged for 1x enlarged"
    awk -v s="$sharp" -v e="$enlarged" 'BEGIN { exit !(s > 1.3 * e) }' ||
        e2e_fail "the 2x window is no sharper than the 1x one enlarged ($sharp vs $enlarged)"
fi

e2e_log "case 12: at scale 2 an open list is a dozen entries high; focus shows as a ring"
click total
if e2e_wait_until 5 popup_shown; then
    check_popup_height total
    screen_shot list-open-scale2
else
    e2e_fail "the highest-number list opened no popup at scale 2"
fi
xdotool key Escape
e2e_wait_until 5 popup_gone || e2e_fail "the popup of total stayed open at scale 2"
screen_shot list-focus-scale2

e2e_log "case 8: without KV.html beside the program, Help shows its message"
requests=$(wc -l <"$E2E_TMP/opened.log")
click help
expect_box "for the missing help file" help-missing
[ "$(wc -l <"$E2E_TMP/opened.log")" -eq "$requests" ] || e2e_fail "Help opened something"

e2e_log "case 5: a window manager's close (Alt+F4) ends the program without saving"
# No window manager runs here, so Alt+F4 would do nothing: send its close request instead.
if command -v python3 >/dev/null; then
    cp "$store" "$E2E_TMP/store.before" 2>/dev/null || : >"$E2E_TMP/store.before"
    click mode
    e2e_close_window "$win" || e2e_fail "could not send the close request"
    expect_end "the window manager's close"
    cmp -s "$store" "$E2E_TMP/store.before" || e2e_fail "closing by the window manager saved"
else
    e2e_log "skipped: no python3 to send the close request"
fi

e2e_log "runtime ${SECONDS}s"
e2e_result
