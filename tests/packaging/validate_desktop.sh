#!/usr/bin/env bash
# Validates the installed desktop entry and AppStream metainfo with the freedesktop tools.
# Usage: validate_desktop.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: validate_desktop.sh BUILD_DIR}
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null
desktop-file-validate "$root/usr/share/applications/org.kivora.Kivora.desktop"
appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/org.kivora.Kivora.metainfo.xml"
# A screenshot the metainfo names must be one the package ships.
metainfo="$root/usr/share/metainfo/org.kivora.Kivora.metainfo.xml"
for image in $(sed -n 's|.*<image[^>]*>\(.*\)</image>.*|\1|p' "$metainfo"); do
    if [ -z "$(find "$root/usr/share" -name "$(basename "$image")" -print -quit)" ]; then
        echo "the metainfo names a screenshot the package does not ship: $image"
        exit 1
    fi
done
echo "desktop entry and metainfo valid"
