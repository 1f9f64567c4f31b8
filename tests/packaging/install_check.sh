#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks that every file is in place, that the
# link on the PATH reaches the program, and that Help would find its document beside it.
# Usage: install_check.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: install_check.sh BUILD_DIR}
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR="$root" cmake --install "$build" --prefix /usr >"$root/install.log"

failures=0
expect() {
    if [ ! -e "$root/usr/$1" ]; then
        echo "missing: /usr/$1"
        failures=$((failures + 1))
    fi
}
expect libexec/kivora/kivora
expect libexec/kivora/KV.html
expect share/help/C/kivora/KV.html
expect share/man/man1/kivora.1.gz
expect share/doc/kivora/copyright
expect share/doc/kivora/changelog.gz
expect bin/kivora
expect share/applications/org.kivora.Kivora.desktop
expect share/bash-completion/completions/kivora
expect share/metainfo/org.kivora.Kivora.metainfo.xml
expect share/icons/hicolor/scalable/apps/org.kivora.Kivora.svg
for size in 16 32 48 64 128 256; do
    png=share/icons/hicolor/${size}x${size}/apps/org.kivora.Kivora.png
    expect "$png"
    if [ -e "$root/usr/$png" ]; then
        actual=$(identify -format '%wx%h' "$root/usr/$png")
        [ "$actual" = "${size}x${size}" ] || { echo "$png is $actual"; failures=$((failures + 1)); }
    fi
done
# The link is relative, so it works in the package and in any prefix.
target=$(readlink "$root/usr/bin/kivora" || true)
[ "$target" = "../libexec/kivora/kivora" ] || { echo "bin/kivora points at '$target'"; failures=$((failures + 1)); }
[ -x "$root/usr/bin/kivora" ] || { echo "bin/kivora does not reach an executable"; failures=$((failures + 1)); }
# Help looks beside the program: the page there is a relative link to the shared copy.
help_target=$(readlink "$root/usr/libexec/kivora/KV.html" || true)
[ "$help_target" = "../../share/help/C/kivora/KV.html" ] ||
    { echo "libexec/kivora/KV.html points at '$help_target'"; failures=$((failures + 1)); }
[ -f "$root/usr/libexec/kivora/KV.html" ] || { echo "Help would not find KV.html"; failures=$((failures + 1)); }
grep -q '^Exec=kivora$' "$root/usr/share/applications/org.kivora.Kivora.desktop" ||
    { echo "the desktop entry does not start kivora"; failures=$((failures + 1)); }

if [ "$failures" -ne 0 ]; then
    echo "install check: $failures problem(s)"
    exit 1
fi
echo "install check: every file in place"
