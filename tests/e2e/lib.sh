# shellcheck shell=bash
# Shared pieces of the end-to-end tests: a private X server, a private CUPS scheduler with one raw
# queue, a scratch home, bounded waits and clean-up on every way out.
#
# Source it, call e2e_init once, then what the test needs:
#   source "$(dirname "$0")/lib.sh"
#   e2e_init                   # scratch dirs, HOME/XDG_* pointing into them, trap EXIT
#   e2e_start_xvfb             # exports DISPLAY
#   e2e_start_cups             # exports CUPS_SERVER; queue "Sheet" is the default
#   e2e_start_app "$binary"    # E2E_APP_PID
#   e2e_wait_for_spool         # prints the path of the first spooled document
#   e2e_add_queue NAME [opts]  # one more raw queue, e.g. with -o media-default=iso_a6_105x148mm
# Everything started here is stopped by its pid when the script ends, however it ends. After a
# failure the logs are shown; E2E_KEEP_ON_FAILURE=1 keeps the scratch directory instead.
# E2E_TIMEOUT (default 20) bounds every wait, in seconds.
#
# Needs: Xvfb, xdpyinfo, xdotool, cupsd, lpadmin, lpstat (Debian: xvfb x11-utils xdotool cups
# cups-client); e2e_close_window needs python3. Runs as root or as a normal user; the system's
# own scheduler is never used.

E2E_TIMEOUT=${E2E_TIMEOUT:-20}
E2E_TMP=""
E2E_XVFB_PID=""
E2E_CUPSD_PID=""
E2E_APP_PID=""
E2E_CUPS_ROOT=""
E2E_FAILED=0

e2e_log() { printf '[e2e %3ds] %s\n' "$SECONDS" "$*" >&2; }

# Records a failed check and carries on, so one run reports every failure.
e2e_fail() {
    printf '[e2e] FAIL: %s\n' "$*" >&2
    E2E_FAILED=1
}

# Stops the run at once (the EXIT trap still cleans up).
e2e_die() {
    printf '[e2e] FATAL: %s\n' "$*" >&2
    E2E_FAILED=1
    exit 1
}

# The exit status for the end of a test script.
e2e_result() {
    if [ "$E2E_FAILED" -ne 0 ]; then
        e2e_log "FAILED"
        return 1
    fi
    e2e_log "PASSED"
    return 0
}

# Runs a command until it succeeds, at most $1 seconds. Usage: e2e_wait_until SECONDS cmd args...
e2e_wait_until() {
    local seconds=$1
    shift
    local deadline=$((SECONDS + seconds))
    until "$@" >/dev/null 2>&1; do
        if [ "$SECONDS" -ge "$deadline" ]; then
            return 1
        fi
        sleep 0.1
    done
}

# Ends a process we started: politely, then firmly, and never waits for long.
e2e_stop_pid() {
    local pid=$1
    [ -n "$pid" ] || return 0
    kill -0 "$pid" 2>/dev/null || return 0
    kill -TERM "$pid" 2>/dev/null || true
    local _
    for _ in $(seq 1 30); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        kill -KILL "$pid" 2>/dev/null || true
    fi
    wait "$pid" 2>/dev/null || true
}

e2e_cleanup() {
    local status=$?
    e2e_stop_app
    e2e_stop_cups
    e2e_stop_pid "$E2E_XVFB_PID"
    E2E_XVFB_PID=""
    if [ -n "$E2E_TMP" ] && [ -d "$E2E_TMP" ]; then
        if [ "$status" -ne 0 ] || [ "$E2E_FAILED" -ne 0 ]; then
            if [ -n "${E2E_KEEP_ON_FAILURE:-}" ]; then
                e2e_log "kept $E2E_TMP for inspection"
                return
            fi
            e2e_dump_logs
        fi
        rm -rf "$E2E_TMP"
    fi
}

# Shows the scheduler's and the program's logs after a failure.
e2e_dump_logs() {
    local log
    for log in "$E2E_TMP/app.log" "$E2E_CUPS_ROOT/log/error_log" "$E2E_TMP/cupsd.out" \
        "$E2E_TMP/xvfb.log"; do
        if [ -s "$log" ]; then
            e2e_log "--- tail of $log"
            tail -n 40 "$log" >&2
        fi
    done
}

# Scratch directory, a private home and configuration, and the clean-up trap.
e2e_init() {
    E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/kivora-e2e.XXXXXX") || e2e_die "no temp dir"
    trap e2e_cleanup EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
    mkdir -p "$E2E_TMP/home" "$E2E_TMP/config" "$E2E_TMP/runtime" "$E2E_TMP/cache" \
        "$E2E_TMP/data"
    chmod 700 "$E2E_TMP/runtime"
    export HOME="$E2E_TMP/home"
    export XDG_CONFIG_HOME="$E2E_TMP/config"
    export XDG_RUNTIME_DIR="$E2E_TMP/runtime"
    export XDG_CACHE_HOME="$E2E_TMP/cache"
    export XDG_DATA_HOME="$E2E_TMP/data"
    # No session bus, no accessibility bridge, no desktop theme: the same look everywhere.
    unset DBUS_SESSION_BUS_ADDRESS SESSION_MANAGER XDG_CURRENT_DESKTOP
    export NO_AT_BRIDGE=1
    export QT_QPA_PLATFORM=xcb
    unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR QT_FONT_DPI
    export QT_ENABLE_HIGHDPI_SCALING=0
    # No printer until e2e_start_cups: never the system's scheduler or its queues.
    export CUPS_SERVER="$E2E_TMP/no-scheduler.sock"
}

# A private X server at 96 DPI on a free display that Xvfb picks itself (no race with other
# servers starting at the same time); exports DISPLAY.
e2e_start_xvfb() {
    local displayFile="$E2E_TMP/display"
    : >"$displayFile"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp -noreset \
        3>"$displayFile" >"$E2E_TMP/xvfb.log" 2>&1 &
    E2E_XVFB_PID=$!
    if ! e2e_wait_until "$E2E_TIMEOUT" grep -q '^[0-9]' "$displayFile"; then
        e2e_die "Xvfb did not report a display"
    fi
    local display
    display=$(head -n 1 "$displayFile")
    export DISPLAY=":$display"
    if ! e2e_wait_until "$E2E_TIMEOUT" xdpyinfo; then
        e2e_die "Xvfb on $DISPLAY does not answer"
    fi
    e2e_log "Xvfb on $DISPLAY (pid $E2E_XVFB_PID)"
}

# A private CUPS scheduler: its own config, spool, state and cache under the scratch directory,
# listening only on a socket there, keeping every spooled document. Adds the raw queue "Sheet"
# (printing to /dev/null) and makes it the default. Exports CUPS_SERVER for lp, lpadmin and the
# program. Sets E2E_CUPS_ROOT and E2E_SPOOL.
e2e_start_cups() {
    E2E_CUPS_ROOT="$E2E_TMP/cups"
    local root=$E2E_CUPS_ROOT
    mkdir -p "$root/conf/ppd" "$root/conf/ssl" "$root/spool/tmp" "$root/state/certs" \
        "$root/cache" "$root/log"
    # cupsd refuses configuration files that others may write to.
    chmod 755 "$root" "$root/conf"
    chmod 700 "$root/conf/ssl"
    chmod 1777 "$root/spool/tmp"

    local user group
    if [ "$(id -u)" -eq 0 ]; then
        # As root cupsd runs its helpers as lp; it refuses to be told "User root".
        user=""
        group=""
    else
        user="User $(id -un)"
        group="Group $(id -gn)"
    fi

    cat >"$root/conf/cups-files.conf" <<EOF
ServerRoot $root/conf
RequestRoot $root/spool
TempDir $root/spool/tmp
StateDir $root/state
CacheDir $root/cache
ServerBin /usr/lib/cups
DataDir /usr/share/cups
DocumentRoot /usr/share/cups/doc-root
AccessLog $root/log/access_log
ErrorLog $root/log/error_log
PageLog $root/log/page_log
Printcap $root/printcap
# The queue's device is file:///dev/null, which needs this.
FileDevice Yes
SystemGroup $(id -gn)
$user
$group
EOF
    cat >"$root/conf/cupsd.conf" <<EOF
Listen $root/cups.sock
LogLevel info
PreserveJobFiles Yes
PreserveJobHistory Yes
MaxJobs 0
Browsing No
BrowseLocalProtocols none
DefaultShared No
WebInterface No
DefaultAuthType None
IdleExitTimeout 0
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
    Allow all
  </Limit>
</Policy>
EOF
    chmod 644 "$root/conf/cups-files.conf" "$root/conf/cupsd.conf"

    if ! cupsd -t -c "$root/conf/cupsd.conf" -s "$root/conf/cups-files.conf" \
        >"$E2E_TMP/cupsd-test.out" 2>&1; then
        cat "$E2E_TMP/cupsd-test.out" >&2
        e2e_die "cupsd rejects the private configuration"
    fi
    cupsd -f -c "$root/conf/cupsd.conf" -s "$root/conf/cups-files.conf" \
        >"$E2E_TMP/cupsd.out" 2>&1 &
    E2E_CUPSD_PID=$!
    export CUPS_SERVER="$root/cups.sock"
    if ! e2e_wait_until "$E2E_TIMEOUT" e2e_cups_answers; then
        e2e_die "the private scheduler does not answer on $CUPS_SERVER"
    fi
    lpadmin -p Sheet -v file:///dev/null -m raw -E >"$E2E_TMP/lpadmin.out" 2>&1 ||
        { cat "$E2E_TMP/lpadmin.out" >&2; e2e_die "lpadmin could not add the queue"; }
    lpadmin -d Sheet >>"$E2E_TMP/lpadmin.out" 2>&1 ||
        { cat "$E2E_TMP/lpadmin.out" >&2; e2e_die "lpadmin could not set the default"; }
    if ! lpstat -d 2>/dev/null | grep -q 'Sheet'; then
        e2e_die "queue Sheet is not the default"
    fi
    E2E_SPOOL="$root/spool"
    e2e_log "cupsd on $CUPS_SERVER (pid $E2E_CUPSD_PID), default queue Sheet"
}

# "lpstat -r" succeeds either way; only its words tell.
e2e_cups_answers() {
    [ -S "$CUPS_SERVER" ] && LC_ALL=C lpstat -r 2>/dev/null | grep -q 'scheduler is running'
}

# Adds another raw queue printing to /dev/null; further arguments go to lpadmin
# (-o media-default=na_letter_8.5x11in gives it a paper of its own).
e2e_add_queue() {
    local name=$1
    shift
    lpadmin -p "$name" -v file:///dev/null -m raw -E "$@" >>"$E2E_TMP/lpadmin.out" 2>&1 ||
        { cat "$E2E_TMP/lpadmin.out" >&2; e2e_die "lpadmin could not add the queue $name"; }
}

# The number of documents spooled so far.
e2e_spooled_count() {
    find "$E2E_SPOOL" -maxdepth 1 -name 'd*-001' 2>/dev/null | wc -l
}

# The first page of PDF $1 as "WIDTH HEIGHT" in points, rounded to whole points.
e2e_pdf_page_size() {
    pdfinfo "$1" 2>/dev/null |
        awk '/^Page size:/ { printf "%.0f %.0f\n", $3, $5; exit }'
}

# Where the text of PDF $1 lies: "LEFT TOP RIGHT", the smallest left and top edges and the largest
# right edge of its words in points from the page's top-left corner, rounded down (right: up).
e2e_pdf_text_origin() {
    pdftotext -bbox "$1" - 2>/dev/null | awk '
        /<word / {
            match($0, /xMin="[0-9.]+"/); x = substr($0, RSTART + 6, RLENGTH - 7) + 0
            match($0, /yMin="[0-9.]+"/); y = substr($0, RSTART + 6, RLENGTH - 7) + 0
            match($0, /xMax="[0-9.]+"/); r = substr($0, RSTART + 6, RLENGTH - 7) + 0
            if (n == 0 || x < left) left = x
            if (n == 0 || y < top) top = y
            if (n == 0 || r > right) right = r
            n++
        }
        END { if (n > 0) printf "%d %d %d\n", left, top, right + 0.999 }'
}

e2e_stop_cups() {
    # A scheduler a test stopped with SIGSTOP takes no TERM until it runs again.
    [ -z "$E2E_CUPSD_PID" ] || kill -CONT "$E2E_CUPSD_PID" 2>/dev/null || true
    e2e_stop_pid "$E2E_CUPSD_PID"
    E2E_CUPSD_PID=""
}

# Waits for the scheduler to have spooled document $1 (default d00001-001) and for its job to
# finish, then prints the document's path.
e2e_wait_for_spool() {
    local name=${1:-d00001-001}
    local file="$E2E_SPOOL/$name"
    if ! e2e_wait_until "$E2E_TIMEOUT" test -s "$file"; then
        e2e_log "no spooled document $file"
        return 1
    fi
    # The whole document is there once no job is left pending or printing.
    e2e_wait_until "$E2E_TIMEOUT" e2e_no_active_jobs || e2e_log "a job is still active"
    printf '%s\n' "$file"
}

e2e_no_active_jobs() {
    [ -z "$(lpstat -o 2>/dev/null)" ]
}

# Starts the program with its output in app.log; sets E2E_APP_PID.
e2e_start_app() {
    local binary=$1
    shift
    [ -x "$binary" ] || e2e_die "no program at $binary"
    "$binary" "$@" >"$E2E_TMP/app.log" 2>&1 &
    E2E_APP_PID=$!
    e2e_log "started $(basename "$binary") (pid $E2E_APP_PID)"
}

e2e_stop_app() {
    e2e_stop_pid "$E2E_APP_PID"
    E2E_APP_PID=""
}

e2e_app_running() {
    [ -n "$E2E_APP_PID" ] && kill -0 "$E2E_APP_PID" 2>/dev/null
}

# The id of the first visible window whose name matches the regular expression $1, within the
# time limit. Prints nothing and fails when there is none.
e2e_find_window() {
    local pattern=$1
    local seconds=${2:-$E2E_TIMEOUT}
    local id
    id=$(timeout "$seconds" xdotool search --sync --onlyvisible --name "$pattern" 2>/dev/null |
        head -n 1)
    [ -n "$id" ] || return 1
    printf '%s\n' "$id"
}

# True while no visible window has a name matching $1.
e2e_window_absent() {
    [ -z "$(xdotool search --onlyvisible --name "$1" 2>/dev/null)" ]
}

# Sets WIN_X, WIN_Y, WIN_W and WIN_H from the window $1; fails when the window is gone.
# shellcheck disable=SC2034 # the WIN_ values are for the caller; xdotool names the others
e2e_window_geometry() {
    local out WINDOW="" X="" Y="" WIDTH="" HEIGHT="" SCREEN=""
    out=$(xdotool getwindowgeometry --shell "$1" 2>/dev/null) || return 1
    eval "$out"
    [ -n "$X" ] && [ -n "$HEIGHT" ] || return 1
    WIN_X=$X
    WIN_Y=$Y
    WIN_W=$WIDTH
    WIN_H=$HEIGHT
}

# shellcheck disable=SC2034 # xdotool sets SCREEN and WINDOW too
e2e_pointer_at() {
    local out X="" Y="" SCREEN="" WINDOW=""
    out=$(xdotool getmouselocation --shell 2>/dev/null) || return 1
    eval "$out"
    [ "$X" = "$1" ] && [ "$Y" = "$2" ]
}

# Clicks the left button at pixel ($2, $3) of window $1.
e2e_click() {
    local window=$1 x=$2 y=$3
    e2e_window_geometry "$window" || e2e_die "window $window is gone"
    local ax=$((WIN_X + x)) ay=$((WIN_Y + y))
    # Not "mousemove --sync": it waits some 15 s when the pointer is already there.
    xdotool mousemove "$ax" "$ay"
    e2e_wait_until 5 e2e_pointer_at "$ax" "$ay" || e2e_log "pointer did not reach $ax,$ay"
    xdotool click 1
}

# Writes the program's store: e2e_write_settings Name=Value ... into [General] of
# $XDG_CONFIG_HOME/Brandell/Kivora.conf.
e2e_write_settings() {
    local dir="$XDG_CONFIG_HOME/Brandell"
    mkdir -p "$dir"
    {
        printf '[General]\n'
        local pair
        for pair in "$@"; do
            printf '%s\n' "$pair"
        done
    } >"$dir/Kivora.conf"
}

# Saves a screenshot of the whole screen (or window $2) to $1.
e2e_screenshot() {
    local out=$1
    local window=${2:-root}
    # import can wait for ever on a window that goes away while it grabs.
    timeout 10 import -display "$DISPLAY" -window "$window" "$out" 2>/dev/null
}

# The id of the first visible window named like $1 that is $2 x $3 pixels, within $4 seconds
# (default E2E_TIMEOUT). Fails at once when the program has ended. Without a window manager the
# start-up, main and About windows of the program differ by their sizes. Called outside $(...),
# it also sets E2E_FOUND to the id, and E2E_SHOWN_AFTER and E2E_SHOWN_BY to the clock in
# microseconds before the last look that missed the window and after the look that found it.
# shellcheck disable=SC2034 # the E2E_ values are for the caller
e2e_find_sized_window() {
    local pattern=$1 width=$2 height=$3 seconds=${4:-$E2E_TIMEOUT}
    local deadline=$((SECONDS + seconds)) id before
    E2E_SHOWN_AFTER=0
    while [ "$SECONDS" -le "$deadline" ]; do
        e2e_app_running || return 1
        before=${EPOCHREALTIME//[.,]/}
        for id in $(xdotool search --onlyvisible --name "$pattern" 2>/dev/null); do
            e2e_window_geometry "$id" || continue
            if [ "$WIN_W" -eq "$width" ] && [ "$WIN_H" -eq "$height" ]; then
                E2E_SHOWN_BY=${EPOCHREALTIME//[.,]/}
                E2E_FOUND=$id
                printf '%s\n' "$id"
                return 0
            fi
        done
        E2E_SHOWN_AFTER=$before
        sleep 0.05
    done
    return 1
}

# True while window $1 is on the screen (mapped and viewable).
e2e_window_shown() {
    xwininfo -id "$1" 2>/dev/null | grep -q 'IsViewable'
}

# Answers the message box $1 with Return; fails unless every window named like $2 is gone then.
e2e_answer_box() {
    timeout 5 xdotool windowfocus --sync "$1" 2>/dev/null || true
    xdotool key --clearmodifiers Return
    e2e_wait_until "$E2E_TIMEOUT" e2e_window_absent "$2"
}

# Asks window $1 to close as a window manager does (its close button, Alt+F4): a WM_DELETE_WINDOW
# message. Xvfb has no window manager, so nothing else sends it.
e2e_close_window() {
    python3 - "$1" <<'PY'
import ctypes, sys
x11 = ctypes.CDLL("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XInternAtom.restype = ctypes.c_ulong
x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                           ctypes.c_void_p]
x11.XCloseDisplay.argtypes = [ctypes.c_void_p]

class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5)]

class XEvent(ctypes.Union):
    _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]

display = x11.XOpenDisplay(None)
if not display:
    sys.exit("no X display")
window = int(sys.argv[1], 0)
event = XEvent()
event.xclient.type = 33  # ClientMessage
event.xclient.window = window
event.xclient.message_type = x11.XInternAtom(display, b"WM_PROTOCOLS", 0)
event.xclient.format = 32
event.xclient.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
x11.XSendEvent(display, window, 0, 0, ctypes.byref(event))
x11.XCloseDisplay(display)  # flushes the request
PY
}

# Checks the text of a printout, $1, against the options given as name=value words:
#   mode=lotto|daily tickets=T numbers=N low=L high=H [bonus=MAX] [include=POSITION:NUMBER]
# The sheet is the header, a blank line, the headings N1..Nn (and B with a bonus), a blank line,
# then tickets 1..T in order and nothing else. Each ticket has N numbers within L..H (Lotto:
# distinct and ascending; Daily: in drawing order) except the included number at its position,
# and a bonus within 1..MAX when a bonus is drawn. Sets E2E_REPEATS to the number of tickets
# holding some number twice.
e2e_check_tickets() {
    local text=$1
    shift
    local mode="" tickets="" numbers="" low="" high="" bonus="" include=""
    local option
    for option in "$@"; do
        case $option in
        mode=* | tickets=* | numbers=* | low=* | high=* | bonus=* | include=*)
            local "$option" ;;
        *) e2e_die "e2e_check_tickets: unknown option $option" ;;
        esac
    done
    local includeAt=${include%%:*} includeNumber=${include#*:}
    local -a lines
    # shellcheck disable=SC2001 # trailing blanks go from every line at once
    mapfile -t lines < <(sed -e 's/[[:space:]]*$//' <<<"$text")
    E2E_REPEATS=0

    [ "${lines[0]:-}" = "Lotto Kivora 2.6 by Brandell" ] ||
        e2e_fail "header line is '${lines[0]:-}'"
    [ -z "${lines[1]:-}" ] || e2e_fail "no blank line after the header: '${lines[1]}'"
    local headings="[[:space:]]*N1" k
    for k in $(seq 2 "$numbers"); do
        headings+="[[:space:]]+N$k"
    done
    [ -z "$bonus" ] || headings+="[[:space:]]+B"
    [[ ${lines[2]:-} =~ ^${headings}$ ]] || e2e_fail "heading row is '${lines[2]:-}'"
    [ -z "${lines[3]:-}" ] || e2e_fail "no blank line after the headings: '${lines[3]}'"

    local i fields=$((1 + numbers)) distinct=""
    [ -z "$bonus" ] || fields=$((fields + 1))
    for i in $(seq 1 "$tickets"); do
        local line=${lines[$((3 + i))]:-}
        local -a f
        read -r -a f <<<"$line"
        if [ "${#f[@]}" -ne "$fields" ]; then
            e2e_fail "ticket $i: expected $fields fields in '$line'"
            continue
        fi
        [ "${f[0]}" = "$i" ] || e2e_fail "ticket $i: label is '${f[0]}' in '$line'"
        local previous=-1 n
        for k in $(seq 1 "$numbers"); do
            n=${f[$k]}
            if ! [[ $n =~ ^[0-9]+$ ]]; then
                e2e_fail "ticket $i: '$n' is not a number in '$line'"
                break
            fi
            if [ "$k" = "$includeAt" ]; then
                [ "$n" = "$includeNumber" ] ||
                    e2e_fail "ticket $i: $n instead of $includeNumber at position $k in '$line'"
            elif [ "$n" -lt "$low" ] || [ "$n" -gt "$high" ]; then
                e2e_fail "ticket $i: $n is outside $low..$high in '$line'"
            fi
            if [ "$mode" = lotto ] && [ "$n" -le "$previous" ]; then
                e2e_fail "ticket $i: numbers not distinct and ascending in '$line'"
            fi
            previous=$n
        done
        if [ "$(printf '%s\n' "${f[@]:1:numbers}" | sort -u | wc -l)" -ne "$numbers" ]; then
            E2E_REPEATS=$((E2E_REPEATS + 1))
        fi
        if [ -n "$bonus" ]; then
            n=${f[$fields - 1]}
            if ! [[ $n =~ ^[0-9]+$ ]] || [ "$n" -lt 1 ] || [ "$n" -gt "$bonus" ]; then
                e2e_fail "ticket $i: bonus '$n' not within 1..$bonus in '$line'"
            fi
        fi
        distinct+="${f[*]:1}"$'\n'
    done
    # One generator state carries over from ticket to ticket: a Start never repeats one ticket.
    if [ "$tickets" -gt 2 ] && [ "$(sort -u <<<"$distinct" | grep -c .)" -eq 1 ]; then
        e2e_fail "all $tickets tickets are the same"
    fi
    local rest
    rest=$(printf '%s\n' "${lines[@]:$((4 + tickets))}" | tr -d '[:space:]\f')
    [ -z "$rest" ] || e2e_fail "more than $tickets tickets printed: '$rest'"
}
