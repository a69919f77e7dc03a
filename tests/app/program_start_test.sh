#!/bin/sh
# The desktop program's first contact: --help and --version answer without a display,
# and scripts/start.sh without a display prints a sample concordance and the ways to
# start the program instead of starting it out of sight.
# Usage: program_start_test.sh BIN_DIR SOURCE_DIR
set -u
BIN=$1 SRC=$2
FAILED=0
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
fail() { echo "FAIL: $1"; FAILED=1; }

# No display at all: nothing but the answer may be needed.
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$BIN/tessary" --help > "$TMP/help" 2>&1 \
  || fail "--help exited non-zero"
grep -q '^Usage: tessary \[options\] \[FILE\]' "$TMP/help" || fail "--help prints no usage"
grep -q -- '--version' "$TMP/help" || fail "--help does not list --version"
version=$(env -u DISPLAY -u WAYLAND_DISPLAY "$BIN/tessary" --version 2>&1) || fail "--version exited non-zero"
echo "$version" | grep -Eq '^tessary [0-9]+\.[0-9]+\.[0-9]+$' || fail "--version printed '$version'"

env -u DISPLAY -u WAYLAND_DISPLAY TESSARY_BIN="$BIN" timeout 20 sh "$SRC/scripts/start.sh" > "$TMP/start" 2>&1
status=$?
[ $status -eq 0 ] || fail "start.sh without a display exited with $status"
grep -q 'No display found' "$TMP/start" || fail "start.sh does not say there is no display"
grep -q '^1  .* the harbour to eat my bread' "$TMP/start" || fail "start.sh printed no sample concordance"
grep -q 'xvfb-run -a' "$TMP/start" || fail "start.sh does not name xvfb-run"
grep -q 'sh scripts/run.sh' "$TMP/start" || fail "start.sh does not say how to start on a desktop"
[ $FAILED -eq 0 ] || cat "$TMP/start"
exit $FAILED
