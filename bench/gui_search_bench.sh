#!/bin/sh
# A sorted search for "the" in a 200 MB English text, side by side: the command-line
# program writing the list, and the desktop program from OK to the filled window
# (with the longest stall of its UI thread). Wall time and peak memory of each.
#   bench/gui_search_bench.sh [TEXT]
# Without TEXT it takes the first 200 MB of the benchmark corpus (bench/run.sh
# --corpus-only builds it).
set -eu
cd "$(dirname "$0")/.."
BIN=build/bin
TEXT=${1:-}
if [ -z "$TEXT" ]; then
  CORPUS=bench/work/corpus-1g.txt
  [ -f "$CORPUS" ] || { echo "no corpus: run bench/run.sh --corpus-only first" >&2; exit 2; }
  TEXT=bench/work/corpus-200m.txt
  [ -f "$TEXT" ] || head -c 209715200 "$CORPUS" >"$TEXT"
fi
[ -x /usr/bin/time ] || apt-get install -y -qq time >/dev/null
measure() {
  /usr/bin/time -f '%e s, peak RSS %M KB' "$@" 2>&1 >/dev/null | tail -1
}
echo "lines: $($BIN/tessary-cli concord --count the "$TEXT")"
echo "tessary-cli concord the (sorted right, to /dev/null): $(measure $BIN/tessary-cli concord the "$TEXT")"
QT_QPA_PLATFORM=offscreen /usr/bin/time -f 'tessary (whole process): %e s, peak RSS %M KB' \
  $BIN/tessary-gui-bench search "$TEXT" the 2>&1 | grep -v -e XDG_RUNTIME -e 'does not support'
