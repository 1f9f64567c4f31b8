# shellcheck shell=bash
# shellcheck disable=SC2034 # the E2E_ values are for the scripts that source this
# Shared pieces of the end-to-end tests: a scratch home, a private X server, a private CUPS
# scheduler whose default queue is the raw "Sheet", bounded waits, the main window's controls,
# and clean-up however the script ends. Source it, call e2e_init, then start what the test needs.
# The scripts end with: exit "$E2E_FAILED". After a failure the logs are shown.
# E2E_TIMEOUT (default 20) bounds every wait, in seconds. The system's scheduler is never used.
# Needs: Xvfb, xdpyinfo, xdotool, ImageMagick, poppler-utils, cupsd and the CUPS clients.

E2E_TIMEOUT=${E2E_TIMEOUT:-20}
E2E_FAILED=0
E2E_XVFB_PID=""
E2E_CUPSD_PID=""
E2E_APP_PID=""
E2E_SCALE=1 # QT_SCALE_FACTOR of the program
readonly E2E_TITLE='^Lotto Kivora 2\.6$' E2E_BOX='^Lotto Kivora$'

# Centres of the main window's controls at scale 1, in window pixels.
declare -rA E2E_AT=(
    [tickets]="108 90" [numbers]="108 122" [total]="172 122" [bonus]="108 154"
    [bonusmax]="108 186" [basedon]="188 282" [include]="188 314" [includepos]="380 314"
    [exclude]="188 346" [preferred]="188 378"
    [print]="40 232" [mode]="112 232" [start]="216 232" [help]="300 232" [about]="360 232"
    [exit]="445 232" [close]="485 14" [strip]="300 12"
)

e2e_log() { printf '[e2e %3ds] %s\n' "$SECONDS" "$*" >&2; }

# Records a failed check, with the script's line that led to it, and carries on: one run reports
# every failure.
e2e_fail() {
    e2e_log "FAIL (line ${BASH_LINENO[-2]}): $*"
    E2E_FAILED=1
}

e2e_die() {
    e2e_fail "$*"
    exit 1
}

# Runs a command until it succeeds, at most $1 seconds.
e2e_wait_until() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@" >/dev/null 2>&1; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

e2e_ended() { ! kill -0 "$1" 2>/dev/null; }

# Ends a process we started: politely, then after 3 s firmly.
e2e_stop_pid() {
    [ -n "$1" ] && kill -TERM "$1" 2>/dev/null || return 0
    e2e_wait_until 3 e2e_ended "$1" || kill -KILL "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}

e2e_stop_cups() {
    # A scheduler stopped with SIGSTOP takes no TERM until it runs again.
    [ -z "$E2E_CUPSD_PID" ] || kill -CONT "$E2E_CUPSD_PID" 2>/dev/null || true
    e2e_stop_pid "$E2E_CUPSD_PID"
    E2E_CUPSD_PID=""
}

e2e_cleanup() {
    local status=$?
    e2e_stop_pid "$E2E_APP_PID"
    e2e_stop_cups
    e2e_stop_pid "$E2E_XVFB_PID"
    if [ "$status" -eq 0 ]; then
        e2e_log PASSED
    else
        tail -n 40 "$E2E_TMP"/*.log "$E2E_TMP/cups/log/error_log" >&2 2>/dev/null || true
        e2e_log FAILED
    fi
    rm -rf "$E2E_TMP"
}

# A scratch folder holding the home, the configuration and the screenshots; the clean-up trap.
e2e_init() {
    E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/kivora-e2e.XXXXXX")
    trap e2e_cleanup EXIT
    trap 'exit 1' INT TERM
    E2E_SHOTS=${E2E_ARTIFACTS:-$E2E_TMP/shots}
    mkdir -p "$E2E_TMP"/{home,config,cache,data,runtime} "$E2E_SHOTS"
    chmod 700 "$E2E_TMP/runtime"
    export HOME=$E2E_TMP/home XDG_CONFIG_HOME=$E2E_TMP/config XDG_CACHE_HOME=$E2E_TMP/cache
    export XDG_DATA_HOME=$E2E_TMP/data XDG_RUNTIME_DIR=$E2E_TMP/runtime
    E2E_STORE=$XDG_CONFIG_HOME/Brandell/Kivora.conf
    # No session bus, accessibility bridge, desktop theme or scaling: the same look everywhere.
    unset DBUS_SESSION_BUS_ADDRESS SESSION_MANAGER XDG_CURRENT_DESKTOP QT_SCALE_FACTOR \
        QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR QT_FONT_DPI
    export NO_AT_BRIDGE=1 QT_QPA_PLATFORM=xcb QT_ENABLE_HIGHDPI_SCALING=0
    # No printer until e2e_start_cups: never the system's scheduler or its queues.
    export CUPS_SERVER=$E2E_TMP/no-scheduler.sock
}

# A private X server at 96 DPI on a display it picks itself, so that servers started at the same
# time do not race for one.
e2e_start_xvfb() {
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp -noreset \
        3>"$E2E_TMP/display" >"$E2E_TMP/xvfb.log" 2>&1 &
    E2E_XVFB_PID=$!
    e2e_wait_until "$E2E_TIMEOUT" grep -q '^[0-9]' "$E2E_TMP/display" ||
        e2e_die "Xvfb reported no display"
    DISPLAY=":$(head -n 1 "$E2E_TMP/display")"
    export DISPLAY
    e2e_wait_until "$E2E_TIMEOUT" xdpyinfo || e2e_die "Xvfb on $DISPLAY does not answer"
}

# A private CUPS scheduler with its own configuration, spool and logs under the scratch folder,
# listening only on a socket there and keeping every spooled document (in E2E_SPOOL); its
# default queue is "Sheet". Exports CUPS_SERVER for the CUPS clients and the program.
e2e_start_cups() {
    local root=$E2E_TMP/cups user=""
    mkdir -p "$root"/{conf,spool/tmp,state,cache,log}
    # As root cupsd runs its helpers as lp and refuses to be told "User root".
    [ "$(id -u)" -eq 0 ] || user="User $(id -un)"$'\n'"Group $(id -gn)"
    cat >"$root/conf/cups-files.conf" <<EOF
ServerRoot $root/conf
RequestRoot $root/spool
TempDir $root/spool/tmp
StateDir $root/state
CacheDir $root/cache
AccessLog $root/log/access_log
ErrorLog $root/log/error_log
PageLog $root/log/page_log
Printcap $root/printcap
# For the queues' device, file:///dev/null.
FileDevice Yes
SystemGroup $(id -gn)
$user
EOF
    cat >"$root/conf/cupsd.conf" <<EOF
Listen $root/cups.sock
PreserveJobFiles Yes
Browsing No
<Policy default>
  <Limit All>
    Allow all
  </Limit>
</Policy>
EOF
    chmod 644 "$root"/conf/*.conf
    cupsd -f -c "$root/conf/cupsd.conf" -s "$root/conf/cups-files.conf" >"$E2E_TMP/cupsd.log" 2>&1 &
    E2E_CUPSD_PID=$!
    export CUPS_SERVER=$root/cups.sock
    E2E_SPOOL=$root/spool
    e2e_wait_until "$E2E_TIMEOUT" e2e_cups_answers || e2e_die "the private scheduler does not answer"
    e2e_add_queue Sheet
    e2e_default_queue Sheet
}

# "lpstat -r" succeeds either way; only its words tell.
e2e_cups_answers() { LC_ALL=C lpstat -r 2>/dev/null | grep -q 'scheduler is running'; }

# Adds raw queue $1 printing to /dev/null; more arguments go to lpadmin.
e2e_add_queue() {
    lpadmin -p "$@" -v file:///dev/null -m raw -E >>"$E2E_TMP/lpadmin.log" 2>&1 ||
        e2e_die "lpadmin could not add the queue $1"
}

e2e_default_queue() {
    lpadmin -d "$1" >>"$E2E_TMP/lpadmin.log" 2>&1 || e2e_die "lpadmin could not make $1 the default"
}

e2e_spooled_count() { find "$E2E_SPOOL" -maxdepth 1 -name 'd*-001' | wc -l; }

e2e_no_active_jobs() { [ -z "$(lpstat -o 2>/dev/null)" ]; }

# Waits for spooled document $1 and for its job to finish.
e2e_wait_for_spool() {
    e2e_wait_until "$E2E_TIMEOUT" test -s "$1" || return 1
    e2e_wait_until "$E2E_TIMEOUT" e2e_no_active_jobs || e2e_log "a job is still active"
}

# Clicks Print and reads the next spooled document back: its path in E2E_DOC, its text in
# E2E_PRINTOUT (kept among the screenshots).
e2e_print() {
    E2E_DOC=$E2E_SPOOL/$(printf 'd%05d-001' $(($(e2e_spooled_count) + 1)))
    E2E_PRINTOUT=""
    e2e_press print
    e2e_wait_for_spool "$E2E_DOC" || { e2e_fail "nothing spooled after Print"; return 1; }
    E2E_PRINTOUT=$(pdftotext -layout "$E2E_DOC" -)
    printf '%s\n' "$E2E_PRINTOUT" >"$E2E_SHOTS/printout-${E2E_DOC##*/}.txt"
}

# Starts the program with its output in app.log; sets E2E_APP_PID.
e2e_start_app() {
    "$@" >"$E2E_TMP/app.log" 2>&1 &
    E2E_APP_PID=$!
}

e2e_app_running() { [ -n "$E2E_APP_PID" ] && kill -0 "$E2E_APP_PID" 2>/dev/null; }

# Starts the program and waits for its main window (E2E_WIN), sized for E2E_SCALE.
e2e_start_program() {
    e2e_start_app "$@"
    e2e_find_window "$E2E_TITLE" $((500 * E2E_SCALE)) $((408 * E2E_SCALE)) 15 ||
        e2e_die "no $((500 * E2E_SCALE)) x $((408 * E2E_SCALE)) main window"
    E2E_WIN=$E2E_FOUND
    sleep 0.3 # the first paint and the pending events
}

# Sets WIN_X, WIN_Y, WIN_W and WIN_H from window $1; fails when it is gone.
# shellcheck disable=SC2034 # xdotool's output sets SCREEN and WINDOW too
e2e_window_geometry() {
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$1" 2>/dev/null)"
    [ -n "${HEIGHT:-}" ] || return 1
    WIN_X=$X WIN_Y=$Y WIN_W=$WIDTH WIN_H=$HEIGHT
}

# Sets E2E_FOUND to the first visible window named like $1 that is $2 x $3 pixels (any size
# when $2 is empty), within $4 seconds; without a window manager the program's windows differ
# by their sizes. Fails at once when the program has ended. Sets E2E_SHOWN_AFTER and
# E2E_SHOWN_BY to the clock in microseconds before the last look that missed the window and
# after the look that found it.
e2e_find_window() {
    local deadline=$((SECONDS + ${4:-$E2E_TIMEOUT})) id before
    E2E_SHOWN_AFTER=0
    while e2e_app_running && [ "$SECONDS" -le "$deadline" ]; do
        before=${EPOCHREALTIME//[.,]/}
        for id in $(xdotool search --onlyvisible --name "$1" 2>/dev/null); do
            if e2e_window_geometry "$id" && { [ -z "$2" ] || [ "$WIN_W,$WIN_H" = "$2,$3" ]; }; then
                E2E_SHOWN_BY=${EPOCHREALTIME//[.,]/}
                E2E_FOUND=$id
                return 0
            fi
        done
        E2E_SHOWN_AFTER=$before
        sleep 0.05
    done
    return 1
}

e2e_window_absent() { [ -z "$(xdotool search --onlyvisible --name "$1" 2>/dev/null)" ]; }

e2e_window_hidden() { ! xwininfo -id "$1" 2>/dev/null | grep -q IsViewable; }

e2e_pointer_at() { [[ $(xdotool getmouselocation 2>/dev/null) == "x:$1 y:$2 "* ]]; }

# Moves the pointer to screen pixel ($1, $2). Not "mousemove --sync": that waits some 15 s
# when the pointer is there already.
e2e_point() {
    xdotool mousemove "$1" "$2"
    e2e_wait_until 5 e2e_pointer_at "$1" "$2" || e2e_log "pointer did not reach $1,$2"
}

# Clicks the left button at pixel ($2, $3) of window $1.
e2e_click() {
    e2e_window_geometry "$1" || e2e_die "window $1 is gone"
    e2e_point $((WIN_X + $2)) $((WIN_Y + $3))
    xdotool click 1
}

# Clicks control $1 of the main window.
e2e_press() {
    local x y
    read -r x y <<<"${E2E_AT[$1]}"
    e2e_click "$E2E_WIN" $((x * E2E_SCALE)) $((y * E2E_SCALE))
}

# Saves a picture of window $2 (default: the main window) as $1.png among the screenshots.
e2e_shot() {
    # import can wait for ever on a window that goes away while it grabs.
    timeout 10 import -window "${2:-$E2E_WIN}" "$E2E_SHOTS/$1.png" 2>/dev/null && return 0
    e2e_fail "no screenshot $1"
    return 1
}

# Presses $1 in window $2 with the focus on it.
e2e_key() {
    timeout 5 xdotool windowfocus --sync "$2" 2>/dev/null || true
    xdotool key --clearmodifiers "$1"
}

# Expects a message box within $2 seconds (default 5), saves its picture and answers it with
# Return, which must close it; $1 says what it is for. A missing box fails the run, which goes on.
e2e_expect_box() {
    e2e_find_window "$E2E_BOX" "" "" "${2:-5}" || { e2e_fail "no message box $1"; return 0; }
    e2e_shot "box-${1//[^a-z0-9]/-}" "$E2E_FOUND"
    e2e_key Return "$E2E_FOUND"
    e2e_wait_until "$E2E_TIMEOUT" e2e_window_absent "$E2E_BOX" ||
        e2e_fail "the message box $1 did not close on Return"
}

# Sends window $1 what a window manager's close button or Alt+F4 sends, a WM_DELETE_WINDOW
# message: Xvfb has no window manager to do it.
e2e_close_window() {
    python3 - "$1" <<'PY'
import ctypes, sys
x11 = ctypes.CDLL("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XInternAtom.restype = ctypes.c_ulong
x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                           ctypes.c_void_p]
x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
display = x11.XOpenDisplay(None)
window = int(sys.argv[1], 0)
atom = lambda name: x11.XInternAtom(display, name, 0)
# An XClientMessageEvent on a 64-bit system, where each field takes one long: type 33, serial,
# send_event, display, window, message type, format, then the data.
event = (ctypes.c_long * 24)(33, 0, 0, 0, window, atom(b"WM_PROTOCOLS"), 32,
                             atom(b"WM_DELETE_WINDOW"))
x11.XSendEvent(display, window, 0, 0, event)
x11.XCloseDisplay(display)  # flushes the request
PY
}

# Checks printout $1 against the options given as name=value words:
#   mode=lotto|daily tickets=T numbers=N low=L high=H [bonus=MAX] [include=POSITION:NUMBER]
# The sheet is the header, a blank line, the headings N1..Nn (and B with a bonus), a blank line,
# then tickets 1..T and nothing else. Each ticket has N numbers within L..H (Lotto: ascending,
# so distinct) but the included number at its position, and a bonus within 1..MAX.
e2e_check_tickets() {
    local text=$1 problem
    shift
    # The options are awk's variables; "-" reads the printout.
    while IFS= read -r problem; do
        e2e_fail "printout: $problem"
    done < <(awk '
        function fail(what) { print "line " NR ", " what ": " $0 }
        { sub(/[[:space:]]+$/, "") }
        NR == 1 {
            split(include, at, ":")
            head[1] = "Lotto Kivora 2.6 by Brandell"
            head[3] = "N1"
            for (k = 2; k <= numbers; k++) head[3] = head[3] " N" k
            if (bonus) head[3] = head[3] " B"
        }
        NR <= 4 {
            $1 = $1
            if ($0 != head[NR]) fail("not \"" head[NR] "\"")
        }
        NR > 4 && NR <= 4 + tickets {
            if (NF != 1 + numbers + (bonus > 0)) { fail("not " numbers " numbers"); next }
            if ($1 != NR - 4) fail("not ticket " NR - 4)
            delete seen
            for (k = 2; k <= numbers + 1; k++) {
                n = $k
                if (n !~ /^[0-9]+$/) fail(n " is not a number")
                else if (k - 1 == at[1]) { if (n != at[2]) fail(n " where " at[2] " is included") }
                else if (n < low + 0 || n > high + 0) fail(n " is outside " low ".." high)
                if (mode == "lotto" && k > 2 && n <= $(k - 1) + 0) fail("not ascending")
                repeats += (n in seen)
                seen[n]
            }
            if (bonus && ($NF !~ /^[0-9]+$/ || $NF < 1 || $NF > bonus + 0)) fail("bonus outside 1.." bonus)
            $1 = ""
            distinct += !($0 in drawn)
            drawn[$0]
        }
        NR > 4 + tickets && $0 != "" { fail("more than " tickets " tickets") }
        END {
            if (NR < 4 + tickets) print "the printout ends at line " NR ", before ticket " tickets
            # One generator state runs on from ticket to ticket: a Start never repeats one.
            if (tickets > 2 && distinct == 1) print "all " tickets " tickets are the same"
            # Daily digits may repeat; in 20 tickets of 4 digits some do, but for 1 in 10^9.
            if (mode == "daily" && tickets >= 20 && !repeats) print "no ticket repeats a digit"
        }' bonus=0 include=0:0 "$@" - <<<"$text")
}
