#!/usr/bin/env bash
# Installs the build into a throw-away prefix and checks what a user and a packager get: the file
# list, the desktop entry and the metainfo validated, the installed program answering --version
# and starting from another working folder with its data found under the prefix.
set -euo pipefail
build="$1"
version="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"

cmake --install "$build" --prefix "$prefix" >/dev/null

expected="bin/moniva
share/applications/se.moniva.Moniva.desktop
share/icons/hicolor/128x128/apps/se.moniva.Moniva.png
share/icons/hicolor/256x256/apps/se.moniva.Moniva.png
share/icons/hicolor/48x48/apps/se.moniva.Moniva.png
share/icons/hicolor/scalable/apps/se.moniva.Moniva.svg
share/man/man1/moniva.1
share/metainfo/se.moniva.Moniva.metainfo.xml
share/moniva/BudgInfoFil.txt"
actual="$(cd "$prefix" && find . -type f | sed 's#^\./##' | LC_ALL=C sort)"
if [ "$actual" != "$expected" ]; then
    echo "Installed files differ from the expected list:"
    diff <(echo "$expected") <(echo "$actual") || true
    exit 1
fi

desktop-file-validate "$prefix/share/applications/se.moniva.Moniva.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/se.moniva.Moniva.metainfo.xml"
grep -q "<release version=\"$version\"" "$prefix/share/metainfo/se.moniva.Moniva.metainfo.xml"
man -l "$prefix/share/man/man1/moniva.1" >/dev/null 2>&1 || groff -man -Tutf8 "$prefix/share/man/man1/moniva.1" >/dev/null

# --version answers without any display.
out="$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= "$prefix/bin/moniva" --version)"
[ "$out" = "Moniva $version" ] || { echo "--version printed: $out"; exit 1; }

# Started from an unrelated working folder, on a fresh drive folder.
mkdir -p "$work/elsewhere" "$work/drive/MoniData"
(cd "$work/elsewhere" && QT_QPA_PLATFORM=offscreen "$prefix/bin/moniva" --drive "$work/drive" \
    --screenshot "$work/shot.png" >/dev/null)
[ -s "$work/shot.png" ] || { echo "no screenshot from the installed program"; exit 1; }
echo "install test passed: $(echo "$expected" | wc -l) files under the prefix"
