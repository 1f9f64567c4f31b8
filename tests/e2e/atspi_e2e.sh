#!/usr/bin/env bash
# What a screen reader reads of the program through the accessibility bus (AT-SPI), as Orca sees
# it: every option list labelled by its label, with its entry as its name; the title strip's
# images as buttons that press; the About window's addresses as links that press.
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
export DBUS_SESSION_BUS_ADDRESS=$bus QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
unset NO_AT_BRIDGE
e2e_start_xvfb
e2e_start_program "$binary"
e2e_press about
seen=$(/usr/bin/python3 "$(dirname "$0")/atspi_tree.py" "$E2E_TIMEOUT" "|link|") ||
    e2e_die "the About window is not on the accessibility bus"
e2e_log "the accessibility bus shows:"$'\n'"$seen"
# Window (the About window's caption is empty)|role|name|labelled by|actions
while IFS= read -r control; do
    grep -qxF -- "$control" <<<"$seen" || e2e_fail "the accessibility bus lacks: $control"
done <<'END'
Lotto Kivora 2.6|combo box|1|How many tickets?|ShowMenu,Press
Lotto Kivora 2.6|combo box|3|How many numbers?|ShowMenu,Press
Lotto Kivora 2.6|combo box|No|Draw bonus number?|ShowMenu,Press
Lotto Kivora 2.6|combo box|Random|Draw based on:|ShowMenu,Press
Lotto Kivora 2.6|combo box|Don't Include|Include this number on all tickets:|ShowMenu,Press
Lotto Kivora 2.6|combo box|Don't Exclude|Exclude this number from all tickets:|ShowMenu,Press
Lotto Kivora 2.6|combo box|Mixed numbers|Preferred numbers:|ShowMenu,Press
Lotto Kivora 2.6|push button|Minimize||Press
Lotto Kivora 2.6|push button|Close||Press
|link|support@kivora.example||Press,SetFocus
|link|www.kivora.example/lotto||Press,SetFocus
END
exit "$E2E_FAILED"
