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
dpkg-deb --field "$deb" Package Version Section Maintainer Depends

failures=0
field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Section)" = "utils" ] || { echo "section is '$(field Section)'"; failures=$((failures + 1)); }
[ -n "$(field Maintainer)" ] || { echo "no maintainer"; failures=$((failures + 1)); }
depends=$(field Depends)
for needed in libqt6widgets6 libqt6printsupport6 qt6-qpa-plugins libqt6svg6 fonts-; do
    grep -q "$needed" <<<"$depends" || { echo "Depends lacks $needed: $depends"; failures=$((failures + 1)); }
done
contents=$(dpkg-deb --contents "$deb")
for path in ./usr/libexec/kivora/kivora ./usr/libexec/kivora/KV.html ./usr/bin/kivora \
    ./usr/share/applications/org.kivora.Kivora.desktop; do
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
