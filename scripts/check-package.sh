#!/bin/sh
# Builds the Debian package from the release build and checks it: its file list, the
# desktop entry, the AppStream metadata, the manual pages, the bash completion and
# lintian (any error fails). With --clean-root it also installs the package into a
# fresh Debian 12 root and runs the installed programs (scripts/check-clean-install.sh).
#   sh scripts/check-package.sh [--clean-root]
# The build directory is "build" unless TESSARY_BUILD_DIR names another; it is
# configured and built here when needed.
set -eu
cd "$(dirname "$0")/.."
BUILD=${TESSARY_BUILD_DIR:-build}
[ -f "$BUILD/CMakeCache.txt" ] || cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build "$BUILD"

echo "== cpack -G DEB"
rm -f "$BUILD"/tessary_*.deb
(cd "$BUILD" && cpack -G DEB) >"$BUILD/cpack.log" 2>&1 || { cat "$BUILD/cpack.log"; exit 1; }
DEB=$(ls "$BUILD"/tessary_*.deb)
echo "$DEB"
dpkg-deb --info "$DEB" | sed -n '/Package:/,$p'

echo "== dpkg-deb -c"
dpkg-deb -c "$DEB" | tee "$BUILD/deb-contents.txt"
missing=0
for f in usr/bin/tessary usr/bin/tessary-cli \
  usr/share/applications/org.tessary.Tessary.desktop \
  usr/share/metainfo/org.tessary.Tessary.metainfo.xml \
  usr/share/icons/hicolor/scalable/apps/org.tessary.Tessary.svg \
  usr/share/man/man1/tessary.1.gz usr/share/man/man1/tessary-cli.1.gz \
  usr/share/bash-completion/completions/tessary-cli \
  usr/share/doc/tessary/copyright usr/share/doc/tessary/changelog.Debian.gz \
  usr/libexec/tessary/libtessary_webengine.so; do
  grep -q " \./$f\$" "$BUILD/deb-contents.txt" || { echo "missing from the package: /$f"; missing=1; }
done
for size in 16 22 24 32 48 64 128 256; do
  f=usr/share/icons/hicolor/${size}x$size/apps/org.tessary.Tessary.png
  grep -q " \./$f\$" "$BUILD/deb-contents.txt" || { echo "missing from the package: /$f"; missing=1; }
done
[ $missing -eq 0 ]

echo "== desktop entry and AppStream metadata"
desktop-file-validate packaging/org.tessary.Tessary.desktop
appstreamcli validate --no-net --explain "$BUILD/packaging/org.tessary.Tessary.metainfo.xml"

echo "== manual pages"
for page in tessary tessary-cli; do
  # groff's complaints (bad requests, lines it cannot break) are failures.
  warnings=$(zcat "$BUILD/packaging/man/$page.1.gz" | LC_ALL=C.UTF-8 groff -k -man -Tutf8 -ww -z 2>&1 || true)
  [ -z "$warnings" ] || { echo "$page.1: $warnings"; exit 1; }
done
echo "both pages format cleanly"

echo "== bash completion"
# The completion as bash runs it: the words typed so far, the cursor after the last.
complete_line() {
  bash -c '. /usr/share/bash-completion/bash_completion
    . packaging/tessary-cli.bash-completion
    COMP_LINE=$1; COMP_POINT=${#1}
    read -ra COMP_WORDS <<<"$1"; [ "${1% }" != "$1" ] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    _tessary_cli; echo "${COMPREPLY[*]}"' _ "$1"
}
expect_completion() {
  got=$(complete_line "$1")
  [ "$got" = "$2" ] || { echo "completing '$1': got '$got', expected '$2'"; exit 1; }
  echo "'$1' -> $got"
}
expect_completion "tessary-cli co" "concord collocates convert compare"
expect_completion "tessary-cli concord --so" "--sort"
expect_completion "tessary-cli concord --mode " "word prefix suffix any"
expect_completion "tessary-cli words --order " "first frequency alpha"
expect_completion "tessary-cli collocates --order " "frequency string"
expect_completion "tessary-cli db " "create append list"
expect_completion "tessary-cli convert --to utf16" "utf16le utf16be"

echo "== lintian"
lintian --allow-root --fail-on error --display-info "$DEB"
echo "lintian: no errors"

if [ "${1:-}" = "--clean-root" ]; then
  sh scripts/check-clean-install.sh "$DEB"
fi
