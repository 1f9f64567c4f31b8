#!/usr/bin/env bash
# Checks the printing half of the harness without the program: a one-line PDF goes through the
# private scheduler's raw queue and comes back, unchanged and readable, from the spool.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

# A one-page PDF showing $1 in Helvetica, written to $2. Offsets in the cross-reference table are
# byte counts, so the objects are assembled first and measured.
make_pdf() {
    local text=$1 out=$2
    local stream="BT /F1 14 Tf 72 720 Td ($text) Tj ET"
    local -a objects=(
        "<< /Type /Catalog /Pages 2 0 R >>"
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>"
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R /Resources << /Font << /F1 5 0 R >> >> >>"
        "<< /Length ${#stream} >>
stream
$stream
endstream"
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"
    )
    local body="%PDF-1.4"$'\n'
    local -a offsets=()
    local i
    for i in "${!objects[@]}"; do
        offsets+=("${#body}")
        body+="$((i + 1)) 0 obj"$'\n'"${objects[$i]}"$'\n'"endobj"$'\n'
    done
    local xref=${#body}
    body+="xref"$'\n'"0 $((${#objects[@]} + 1))"$'\n'"0000000000 65535 f "$'\n'
    for i in "${offsets[@]}"; do
        body+=$(printf '%010d 00000 n ' "$i")$'\n'
    done
    body+="trailer"$'\n'"<< /Size $((${#objects[@]} + 1)) /Root 1 0 R >>"$'\n'
    body+="startxref"$'\n'"$xref"$'\n'"%%EOF"$'\n'
    printf '%s' "$body" >"$out"
}

# Byte lengths, not characters, for the offsets above.
export LC_ALL=C

e2e_init
e2e_start_cups

pdf="$E2E_TMP/check.pdf"
make_pdf "Kivora spool check 4711" "$pdf"
pdftotext -layout "$pdf" - | grep -q "Kivora spool check 4711" || e2e_die "the test PDF is unreadable"

# No -d: the job must find the default queue by itself, as the program's will.
lp -t "spool check" "$pdf" >"$E2E_TMP/lp.out" 2>&1 || {
    cat "$E2E_TMP/lp.out" >&2
    e2e_die "lp failed"
}
spooled=$(e2e_wait_for_spool d00001-001) || e2e_die "nothing spooled"

cmp -s "$pdf" "$spooled" || e2e_fail "the spooled document differs from the one sent"
text=$(pdftotext -layout "$spooled" -)
if grep -q "Kivora spool check 4711" <<<"$text"; then
    e2e_log "spooled text: $(tr -s ' \n' ' ' <<<"$text")"
else
    e2e_fail "the spooled document does not read back: $text"
fi
queue=$(lpstat -W completed -o 2>/dev/null | awk 'NR == 1 { print $1 }')
case $queue in
Sheet-*) ;;
*) e2e_fail "the job did not complete on Sheet (lpstat: '$queue')" ;;
esac

# With the scheduler gone there is no default printer for anyone.
e2e_stop_cups
if lpstat -d >/dev/null 2>&1 && lpstat -d 2>/dev/null | grep -q Sheet; then
    e2e_fail "a default printer is still reported after the scheduler stopped"
fi

e2e_result
