#!/usr/bin/env bash
# Builds the Debian package from the build, lists it, and checks its control fields and that
# apt can install it here.
# Usage: package_check.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: package_check.sh BUILD_DIR}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
(cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log") || { cat "$out/cpack.log"; exit 1; }
deb=$(find "$out" -maxdepth 1 -name 'kivora_*.deb' | head -n 1)
[ -n "$deb" ] || { echo "no package was built"; cat "$out/cpack.log"; exit 1; }

echo "== $(basename "$deb"), $(du -k "$deb" | cut -f1) KiB"
dpkg-deb --contents "$deb" | awk '{ print $6, $7, $8 }'
dpkg-deb --field "$deb" Package Version Section Maintainer Depends Recommends

failures=0
field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Section)" = "utils" ] || { echo "section is '$(field Section)'"; failures=$((failures + 1)); }
[ -n "$(field Maintainer)" ] || { echo "no maintainer"; failures=$((failures + 1)); }
depends=$(field Depends)
for needed in libqt6widgets6 libqt6printsupport6 libqt6svg6 fonts-; do
    grep -q "$needed" <<<"$depends" || { echo "Depends lacks $needed: $depends"; failures=$((failures + 1)); }
done
grep -q '\bxdg-utils\b' <<<"$(field Recommends)" ||
    { echo "Recommends lacks xdg-utils: '$(field Recommends)'"; failures=$((failures + 1)); }
# The description as apt shows it: the summary, then the text wrapped within 80 columns.
expected_description="Lotto Kivora - draws lottery tickets and prints them
 Kivora draws tickets of lottery numbers for Lotto games (distinct numbers
 up to a chosen highest number, with an optional bonus number) and Daily
 games (digits that may repeat). It can include and exclude numbers, prefer
 low or high numbers, and print the tickets. kivora --draw prints tickets
 without opening the window."
# The window is laid out for Liberation Sans's metrics: another face in its place cuts texts.
grep -qE '(^|, )fonts-liberation2(,|$)' <<<"$depends" ||
    { echo "Depends does not name fonts-liberation2 alone: $depends"; failures=$((failures + 1)); }
description=$(field Description)
[ "$description" = "$expected_description" ] ||
    { echo "the description reads:"; echo "$description"; failures=$((failures + 1)); }
contents=$(dpkg-deb --contents "$deb")
for path in ./usr/libexec/kivora/kivora ./usr/libexec/kivora/KV.html ./usr/bin/kivora \
    ./usr/share/help/C/kivora/KV.html ./usr/share/man/man1/kivora.1.gz \
    ./usr/share/doc/kivora/copyright ./usr/share/doc/kivora/changelog.gz \
    ./usr/share/applications/org.kivora.Kivora.desktop \
    ./usr/share/bash-completion/completions/kivora; do
    grep -qF " $path" <<<"$contents" || { echo "package lacks $path"; failures=$((failures + 1)); }
done
# Every dependency resolves on this system: apt would install the package.
if command -v apt-get >/dev/null && [ "$(id -u)" -eq 0 ]; then
    apt-get install --simulate --no-install-recommends "$deb" >"$out/apt.log" 2>&1 ||
        { echo "apt cannot install the package:"; cat "$out/apt.log"; failures=$((failures + 1)); }
fi
# The desktop entry's command starts the packaged program: unpack it, put its bin/ first on
# the PATH and run the entry's Exec line until the main window is up.
tree="$out/tree"
dpkg-deb --extract "$deb" "$tree"
program="$tree/usr/libexec/kivora/kivora"
# Depends is exactly what dpkg-shlibdeps finds for the program and the print-queue module it
# loads, plus the fonts, which no library names: each package once, nothing else (the platform
# plugin comes with libqt6gui6).
entries() { sed 's/, */\n/g' <<<"$1" | sed '/^$/d' | sort; }
mkdir -p "$out/shlibs/debian" && touch "$out/shlibs/debian/control"
shlibs=$(cd "$out/shlibs" && dpkg-shlibdeps -O "$program" "$tree"/usr/libexec/kivora/*.so 2>/dev/null | sed -n 's/^shlibs:Depends=//p')
if [ -z "$shlibs" ]; then
    echo "dpkg-shlibdeps found nothing for the program"; failures=$((failures + 1))
else
    extra=$(comm -23 <(entries "$depends") <(entries "$shlibs"))
    missing=$(comm -13 <(entries "$depends") <(entries "$shlibs"))
    grep -qv '^fonts-' <<<"$extra" && { echo "Depends has more than the libraries and fonts: $extra"; failures=$((failures + 1)); }
    [ -n "$missing" ] && { echo "Depends lacks what dpkg-shlibdeps finds: $missing"; failures=$((failures + 1)); }
    twice=$(entries "$depends" | sed 's/ *[(|].*//' | uniq -d)
    [ -n "$twice" ] && { echo "Depends names a package twice: $twice"; failures=$((failures + 1)); }
fi
# The bash completion offers exactly the long options of --help.
offered=$(bash -c 'source "$1"; COMP_WORDS=(kivora --); COMP_CWORD=1; _kivora; printf "%s\n" "${COMPREPLY[@]}"' _ \
    "$tree/usr/share/bash-completion/completions/kivora" | sort)
listed=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --help | grep -oE -- '^  (-[a-z], )?--[a-z-]+' | grep -oE -- '--[a-z-]+' | sort)
[ "$offered" = "$listed" ] ||
    { echo "the bash completion offers:"; echo "$offered"; echo "but --help lists:"; echo "$listed"; failures=$((failures + 1)); }
# The manual page's examples and options copy as typed: no hyphenation or stretching, even in
# a narrow terminal; and it says where to report bugs and what to read next.
narrow=$(MANWIDTH=40 man -l "$tree/usr/share/man/man1/kivora.1.gz" 2>/dev/null)
source=$(zcat "$tree/usr/share/man/man1/kivora.1.gz" | sed 's/\\-/-/g')
for whole in 'kivora --draw --daily --tickets 10 --include 7 --include-position 2 --csv' \
    '--include-position position' 'REPORTING BUGS' 'SEE ALSO'; do
    grep -qF -- "$whole" <<<"$narrow" || { echo "the manual page at 40 columns lacks '$whole'"; failures=$((failures + 1)); }
done
# A line may end at a hyphen the text has ("comma-separated"), never at one groff adds, and
# never inside an option.
while IFS= read -r joined; do
    [[ $joined != -* ]] && grep -qF -- "$joined" <<<"$source" ||
        { echo "the manual page breaks $joined"; failures=$((failures + 1)); }
done < <(sed 's/â$/-/' <<<"$narrow" |
         awk 'prev ~ /[a-z]-$/ { n = split(prev, a, " "); split($0, b, " "); print a[n] b[1] }
              { prev = $0 }')
# Built hardened and stripped, without a RUNPATH into folders the package does not have.
dynamic=$(readelf -d "$program")
grep -qE 'RUNPATH|RPATH' <<<"$dynamic" &&
    { echo "the program has a search path: $(grep -E 'RUNPATH|RPATH' <<<"$dynamic")"; failures=$((failures + 1)); }
# A sanitizer build is never a release: it is built without optimisation and without the
# distribution's flags.
if grep -q '^KIVORA_SANITIZE:BOOL=ON$' "$build/CMakeCache.txt"; then
    echo "sanitizer build: hardening not checked"
else
    grep -qE 'BIND_NOW|FLAGS_1.*NOW' <<<"$dynamic" || { echo "the program is not linked with -z now"; failures=$((failures + 1)); }
    grep -q '__[a-z]*_chk@' <<<"$(readelf --dyn-syms -W "$program")" ||
        { echo "the program uses no fortified functions"; failures=$((failures + 1)); }
fi
grep -qE ' \.(comment|symtab) ' <<<"$(readelf -S -W "$program")" &&
    { echo "the program is not stripped of .comment and .symtab"; failures=$((failures + 1)); }
# The manual page lists each option of --help with the same description.
help=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --help)
page=$(zcat "$tree/usr/share/man/man1/kivora.1.gz" | sed 's/\\f[BIR]//g; s/\\-/-/g')
while IFS= read -r entry; do
    names=${entry%%  *}
    words=${entry#*  }
    words=${words#"${words%%[! ]*}"}
    for name in $(grep -oE -- '--?[a-z-]+' <<<"$names"); do
        grep -qF -- "$name" <<<"$page" || { echo "the manual page lacks $name"; failures=$((failures + 1)); }
    done
    grep -qxF -- "$words" <<<"$page" ||
        { echo "the manual page describes $names otherwise than --help: $words"; failures=$((failures + 1)); }
done < <(awk '/^  -/ { if (e) print e; e = substr($0, 3); next }
              /^     / && e { sub(/^ +/, ""); e = e (e ~ /  / ? " " : "  ") $0; next }
              { if (e) print e; e = "" } END { if (e) print e }' <<<"$help")
# The distribution's own review: no error and no warning.
if command -v lintian >/dev/null; then
    lintian -I -E --pedantic "$deb" >"$out/lintian.log" 2>&1 || true
    cat "$out/lintian.log"
    grep -qE '^[EW]: ' "$out/lintian.log" && { echo "lintian reports errors or warnings"; failures=$((failures + 1)); }
else
    echo "lintian is not installed: not run"
fi
exec_line=$(sed -n 's/^Exec=//p' "$tree/usr/share/applications/org.kivora.Kivora.desktop")
export XDG_CONFIG_HOME="$out/config"
PATH="$tree/usr/bin:$PATH" QT_QPA_PLATFORM=offscreen KIVORA_REPORT_STARTUP=1 \
    timeout 20 bash -c "exec $exec_line" 2>"$out/run.log" &
runner=$!
started=no
for _ in $(seq 1 100); do
    if grep -q 'main window shown' "$out/run.log"; then
        started=yes
        break
    fi
    sleep 0.1
done
kill "$runner" 2>/dev/null || true
wait "$runner" 2>/dev/null || true
[ "$started" = yes ] || { echo "the desktop entry's '$exec_line' did not bring up the main window:"; cat "$out/run.log"; failures=$((failures + 1)); }

if [ "$failures" -ne 0 ]; then
    echo "package check: $failures problem(s)"
    exit 1
fi
echo "package check: passed"
