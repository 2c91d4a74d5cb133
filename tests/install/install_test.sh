#!/usr/bin/env bash
# Installs the build into a throw-away prefix and checks what a user and a packager get: the file
# list, the desktop entry and the metainfo validated, the installed program answering its command
# line without a display and starting from another working folder with its data found under the
# prefix; then the Debian package, which lintian must find free of errors.
set -euo pipefail
build="$1"
version="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"

cmake --install "$build" --prefix "$prefix" >/dev/null

expected="bin/moniva
share/applications/se.moniva.Moniva.desktop
share/doc/moniva/changelog.gz
share/doc/moniva/copyright
share/icons/hicolor/128x128/apps/se.moniva.Moniva.png
share/icons/hicolor/256x256/apps/se.moniva.Moniva.png
share/icons/hicolor/48x48/apps/se.moniva.Moniva.png
share/icons/hicolor/scalable/apps/se.moniva.Moniva.svg
share/man/man1/moniva.1.gz
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
man -l "$prefix/share/man/man1/moniva.1.gz" >/dev/null 2>&1 ||
    zcat "$prefix/share/man/man1/moniva.1.gz" | groff -man -Tutf8 >/dev/null
# The report login is a build setting, empty unless given: none is built in.
! grep -aq "Qm4tZ8wLp2" "$prefix/bin/moniva" || { echo "an FTP login is built into the program"; exit 1; }

# The command line answers without any display, in Swedish; a mistake ends with status 2.
nodisplay() { env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= "$prefix/bin/moniva" "$@"; }
out="$(nodisplay --version)"
[ "$out" = "Moniva $version" ] || { echo "--version printed: $out"; exit 1; }
out="$(nodisplay --help)"
[[ "$out" == "Användning: moniva [--drive DIR] [--screenshot FIL]"* ]] || { echo "--help printed: $out"; exit 1; }
for bad in "--bogus" "--drive $work/no/such/dir" "--drive"; do
    status=0
    err="$(nodisplay $bad 2>&1 >/dev/null)" || status=$?
    [ "$status" = 2 ] && [[ "$err" == "moniva: "*"Skriv \"moniva --help\""* ]] ||
        { echo "moniva $bad: status $status, said: $err"; exit 1; }
done
[ ! -e "$work/no" ] || { echo "--drive made the missing folder"; exit 1; }
# A right command line with no display at all: a Swedish word and status 1, not Qt's abort.
mkdir -p "$work/nodisplay"
status=0
err="$(nodisplay --drive "$work/nodisplay" 2>&1 >/dev/null)" || status=$?
[ "$status" = 1 ] && [[ "$err" == "moniva: ingen skärm"* ]] || { echo "no display: status $status, said: $err"; exit 1; }

# Started from an unrelated working folder, on a fresh drive folder.
mkdir -p "$work/elsewhere" "$work/drive/MoniData"
(cd "$work/elsewhere" && QT_QPA_PLATFORM=offscreen "$prefix/bin/moniva" --drive "$work/drive" \
    --screenshot "$work/shot.png" >/dev/null)
[ -s "$work/shot.png" ] || { echo "no screenshot from the installed program"; exit 1; }

# The package: the same files under /usr, and nothing lintian counts as an error.
(cd "$build" && cpack -G DEB -B "$work/package" >/dev/null)
deb="$(ls "$work"/package/moniva_*.deb)"
dpkg-deb -c "$deb" >"$work/contents.txt"
grep -q "\./usr/share/man/man1/moniva\.1\.gz$" "$work/contents.txt"
grep -q "\./usr/share/doc/moniva/copyright$" "$work/contents.txt"
if command -v lintian >/dev/null; then
    lintian --tag-display-limit 0 "$deb" >"$work/lintian.txt" 2>&1 || true
    if grep -q "^E:" "$work/lintian.txt"; then
        echo "lintian found errors in the package:"
        cat "$work/lintian.txt"
        exit 1
    fi
fi
echo "install test passed: $(echo "$expected" | wc -l) files under the prefix, the package clean of lintian errors"
