#!/usr/bin/env bash
# Builds the Debian package from the build and checks it: its control fields, lintian, that apt
# can install it here, that every file is in place, the desktop entry and AppStream metainfo, how
# the program is linked, the bash completion and the manual page against --help, and that the
# desktop entry's command starts the packaged program.
# Usage: package_check.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: package_check.sh BUILD_DIR}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
(cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log") || { cat "$out/cpack.log"; exit 1; }
deb=$(echo "$out"/kivora_*.deb)
usr=$out/tree/usr
dpkg-deb --extract "$deb" "$out/tree"
program=$usr/libexec/kivora/kivora
manual=$usr/share/man/man1/kivora.1.gz
desktop=$usr/share/applications/org.kivora.Kivora.desktop
metainfo=$usr/share/metainfo/org.kivora.Kivora.metainfo.xml
failures=0
fail() {
    printf '%s\n' "$@"
    failures=$((failures + 1))
}
field() { dpkg-deb --field "$deb" "$1"; }
# One package name a line, without versions.
entries() { sed 's/, */\n/g' <<<"$1" | sed '/^$/d' | sort; }

[ "$(field Section)" = utils ] && [ -n "$(field Maintainer)" ] || fail "no Section utils or no Maintainer"
grep -q '\bxdg-utils\b' <<<"$(field Recommends)" || fail "Recommends lacks xdg-utils"
# The description as apt shows it: the summary, then the text wrapped within 80 columns.
[ "$(field Description)" = "Lotto Kivora - draws lottery tickets and prints them
 Kivora draws tickets of lottery numbers for Lotto games (distinct numbers
 up to a chosen highest number, with an optional bonus number) and Daily
 games (digits that may repeat). It can include and exclude numbers, prefer
 low or high numbers, and print the tickets. kivora --draw prints tickets
 without opening the window." ] || fail "the description reads:" "$(field Description)"

# Depends is what dpkg-shlibdeps finds for the program and the print-queue module it loads, plus
# what no library names, each package once: the fonts (the window is laid out for Liberation
# Sans's metrics, which another face would cut) and Qt SQL's SQLite driver.
depends=$(field Depends)
for needed in fonts-liberation2 libqt6sql6-sqlite; do
    grep -qE "(^|, )$needed(,|$)" <<<"$depends" || fail "Depends does not name $needed alone: $depends"
done
mkdir -p "$out/shlibs/debian"
touch "$out/shlibs/debian/control"
shlibs=$(cd "$out/shlibs" && dpkg-shlibdeps -O "$program" "${program%/*}"/*.so 2>/dev/null |
    sed -n 's/^shlibs:Depends=//p')
[ -n "$shlibs" ] || fail "dpkg-shlibdeps found nothing for the program"
extra=$(comm -23 <(entries "$depends") <(entries "$shlibs") | grep -vE '^(fonts-|libqt6sql6-sqlite$)' || true)
[ -z "$extra" ] || fail "Depends has more than the libraries, the SQLite driver and fonts: $extra"
missing=$(comm -13 <(entries "$depends") <(entries "$shlibs"))
[ -z "$missing" ] || fail "Depends lacks what dpkg-shlibdeps finds: $missing"
twice=$(entries "$depends" | sed 's/ *[(|].*//' | uniq -d)
[ -z "$twice" ] || fail "Depends names a package twice: $twice"
# Every dependency resolves on this system: apt would install the package.
if [ "$(id -u)" -eq 0 ]; then
    apt-get install --simulate --no-install-recommends "$deb" >"$out/apt.log" 2>&1 ||
        fail "apt cannot install the package:" "$(cat "$out/apt.log")"
fi
# The distribution's own review: no error and no warning.
lintian -I -E --pedantic --fail-on error,warning "$deb" || fail "lintian reports errors or warnings"

for file in bin/kivora libexec/kivora/KV.html share/help/C/kivora/KV.html share/doc/kivora/copyright \
    share/doc/kivora/changelog.gz share/icons/hicolor/scalable/apps/org.kivora.Kivora.svg; do
    [ -e "$usr/$file" ] || fail "the package lacks /usr/$file"
done
for size in 16 32 48 64 128 256; do
    png=share/icons/hicolor/${size}x${size}/apps/org.kivora.Kivora.png
    actual=$(identify -format '%wx%h' "$usr/$png" 2>/dev/null) || actual=missing
    [ "$actual" = "${size}x${size}" ] || fail "$png: $actual"
done
# The links are relative, so they work in the package and in any prefix; Help looks for its page
# beside the program.
[ "$(readlink "$usr/bin/kivora")" = ../libexec/kivora/kivora ] && [ -x "$usr/bin/kivora" ] ||
    fail "bin/kivora does not reach the program"
[ "$(readlink "$usr/libexec/kivora/KV.html")" = ../../share/help/C/kivora/KV.html ] &&
    [ -f "$usr/libexec/kivora/KV.html" ] || fail "Help would not find KV.html beside the program"
desktop-file-validate "$desktop" || fail "desktop-file-validate refuses the desktop entry"
appstreamcli validate --no-net --pedantic "$metainfo" || fail "appstreamcli refuses the metainfo"
# A screenshot the metainfo names must be one the package ships.
for image in $(sed -n 's|.*<image[^>]*>\(.*\)</image>.*|\1|p' "$metainfo"); do
    [ -n "$(find "$usr/share" -name "${image##*/}")" ] || fail "the package has no screenshot $image"
done

# Stripped, and without a RUNPATH into folders the package does not have. A sanitizer build is
# never a release: it is built without the distribution's hardening flags.
dynamic=$(readelf -d "$program")
! grep -qE 'RUNPATH|RPATH' <<<"$dynamic" || fail "the program has a library search path"
! grep -qE ' \.(comment|symtab) ' <<<"$(readelf -S -W "$program")" || fail "the program is not stripped"
if ! grep -q '^KIVORA_SANITIZE:BOOL=ON$' "$build/CMakeCache.txt"; then
    grep -qE 'BIND_NOW|FLAGS_1.*NOW' <<<"$dynamic" || fail "the program is not linked with -z now"
    grep -q '__[a-z]*_chk@' <<<"$(readelf --dyn-syms -W "$program")" ||
        fail "the program uses no fortified functions"
fi

# The bash completion offers exactly the long options of --help.
help=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --help)
offered=$(bash -c 'source "$1"; COMP_WORDS=(kivora --); COMP_CWORD=1; _kivora
    printf "%s\n" "${COMPREPLY[@]}"' _ "$usr/share/bash-completion/completions/kivora" | sort)
listed=$(grep -oE -- '^  (-[a-z], )?--[a-z-]+' <<<"$help" | grep -oE -- '--[a-z-]+' | sort)
[ "$offered" = "$listed" ] || fail "the bash completion offers:" "$offered" "but --help lists:" "$listed"
# The manual page lists each option of --help with the same words (an entry below is its names,
# two spaces, then its description joined into one line).
page=$(zcat "$manual" | sed 's/\\f[BIR]//g; s/\\-/-/g')
while IFS= read -r entry; do
    names=${entry%%  *}
    words=${entry#*  }
    words=${words#"${words%%[! ]*}"}
    for name in $(grep -oE -- '--?[a-z-]+' <<<"$names"); do
        grep -qF -- "$name" <<<"$page" || fail "the manual page lacks $name"
    done
    grep -qxF -- "$words" <<<"$page" ||
        fail "the manual page describes $names otherwise than --help: $words"
done < <(awk '/^  -/ { if (e) print e; e = substr($0, 3); next }
              /^     / && e { sub(/^ +/, ""); e = e (e ~ /  / ? " " : "  ") $0; next }
              { if (e) print e; e = "" } END { if (e) print e }' <<<"$help")
# Examples and options copy as typed, even in a narrow terminal; a line may end at a hyphen the
# text has ("comma-separated"), never at one groff adds, and never inside an option.
narrow=$(MANWIDTH=40 man -l "$manual" 2>/dev/null)
for whole in 'kivora --draw --daily --tickets 10 --include 7 --include-position 2 --csv' \
    '--include-position position' 'REPORTING BUGS' 'SEE ALSO'; do
    grep -qF -- "$whole" <<<"$narrow" || fail "the manual page at 40 columns lacks '$whole'"
done
while IFS= read -r joined; do
    [[ $joined != -* ]] && grep -qF -- "$joined" <<<"$page" || fail "the manual page breaks $joined"
done < <(sed 's/â$/-/' <<<"$narrow" |
    awk 'prev ~ /[a-z]-$/ { n = split(prev, a, " "); split($0, b, " "); print a[n] b[1] }
         { prev = $0 }')

# The desktop entry's command, with the package's bin/ first on the PATH, opens the main window.
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
XDG_CONFIG_HOME=$out/config PATH=$usr/bin:$PATH QT_QPA_PLATFORM=offscreen \
    KIVORA_REPORT_STARTUP=1 timeout 20 bash -c "exec $exec_line" 2>"$out/run.log" &
runner=$!
for _ in $(seq 100); do
    grep -qs 'main window shown' "$out/run.log" && break
    sleep 0.1
done
kill "$runner" 2>/dev/null || true
wait "$runner" 2>/dev/null || true
grep -q 'main window shown' "$out/run.log" ||
    fail "the desktop entry's '$exec_line' did not bring up the main window:" "$(cat "$out/run.log")"

[ "$failures" -eq 0 ] || { echo "package check: $failures problem(s)"; exit 1; }
echo "package check: passed"
