#!/usr/bin/env bash
# What a screen reader reads of the program, through the accessibility bus (AT-SPI) as Orca sees
# it: every option list labelled by its label, with its entry as its name; the title strip's
# images as buttons that press; the About window's addresses as links that press.
#
# Usage: atspi_e2e.sh PATH_TO_KIVORA
# Needs: dbus-run-session (dbus-daemon), at-spi2-core, python3-pyatspi, besides lib.sh's tools.
set -euo pipefail
if [ -z "${KIVORA_SESSION_BUS:-}" ]; then
    # A private session bus; the accessibility bus and its registry start on demand from it.
    exec dbus-run-session -- env KIVORA_SESSION_BUS=1 bash "$0" "$@"
fi
source "$(dirname "$0")/lib.sh"

binary=${1:?usage: atspi_e2e.sh PATH_TO_KIVORA}
bus=$DBUS_SESSION_BUS_ADDRESS
e2e_init
export DBUS_SESSION_BUS_ADDRESS=$bus
unset NO_AT_BRIDGE
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
tree() { /usr/bin/python3 "$(dirname "$0")/atspi_tree.py" "$E2E_TIMEOUT" "$@"; }
expect() {
    grep -qxF -- "$2" <<<"$1" || e2e_fail "the accessibility bus lacks: $2"
}

e2e_start_xvfb
e2e_start_app "$binary"
e2e_find_sized_window '^Lotto Kivora 2\.6$' 500 408 >/dev/null || e2e_die "no main window"
win=$E2E_FOUND
main=$(tree "combo box") || e2e_die "nothing of the program on the accessibility bus"
e2e_log "main window:"$'\n'"$main"
expect "$main" "combo box|1|How many tickets?|ShowMenu,Press"
expect "$main" "combo box|3|How many numbers?|ShowMenu,Press"
expect "$main" "combo box|No|Draw bonus number?|ShowMenu,Press"
expect "$main" "combo box|Random|Draw based on:|ShowMenu,Press"
expect "$main" "combo box|Don't Include|Include this number on all tickets:|ShowMenu,Press"
expect "$main" "combo box|Don't Exclude|Exclude this number from all tickets:|ShowMenu,Press"
expect "$main" "combo box|Mixed numbers|Preferred numbers:|ShowMenu,Press"
expect "$main" "push button|Minimize||Press"
expect "$main" "push button|Close||Press"

e2e_click "$win" 360 232 # About
about=$(tree "link|") || e2e_die "the About window is not on the accessibility bus"
e2e_log "with the About window:"$'\n'"$about"
expect "$about" "link|support@kivora.example||Press,SetFocus"
expect "$about" "link|www.kivora.example/lotto||Press,SetFocus"
e2e_result
