#!/usr/bin/env bash
# The analyses over the 1 GiB benchmark corpus, each timed with /usr/bin/time -v:
#   collocation --span 5,5 --min-freq 1 the CORPUS      (the node has 13.7 M hits)
#   keywords --reference CORPUS STUDY                    (STUDY: its first 200 MB)
#   plot --table lord CORPUS                             (1.3 M hits)
# and prints the wall time and peak RSS of each.
#
# Usage: bench/analysis_bench.sh
# Environment knobs:
#   TESSARY_CLI=PATH  the tessary-cli to time (default build/bin/tessary-cli)
#   CORPUS=PATH       the corpus (default /work/bench-data/corpus-1g.txt)
#
# Writes only into bench/work/ (git-ignored). A benchmark, not a test.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
WORK=$ROOT/bench/work
CLI=${TESSARY_CLI:-$ROOT/build/bin/tessary-cli}
CORPUS=${CORPUS:-/work/bench-data/corpus-1g.txt}
STUDY=$WORK/analysis-study-200m.txt
export LC_ALL=C

die() { printf 'analysis_bench.sh: %s\n' "$*" >&2; exit 1; }
[[ -x $CLI ]] || die "no $CLI: build it first"
[[ -r $CORPUS ]] || die "no corpus at $CORPUS"
[[ -x /usr/bin/time ]] || die "/usr/bin/time is missing (Debian package time)"
mkdir -p "$WORK"
[[ -s $STUDY ]] || head -c 209715200 "$CORPUS" >"$STUDY"

run() {
  local name=$1
  shift
  local log=$WORK/analysis-$name.time
  /usr/bin/time -v "$CLI" "$@" >"$WORK/analysis-$name.out" 2>"$log" || die "$name failed: $(tail -3 "$log")"
  local wall rss cpu
  wall=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$log")
  rss=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$log")
  # Processor time beside the wall clock: on a loaded machine the wall clock also
  # counts the time other processes had the processor.
  cpu=$(awk -F': ' '/User time|System time/ { t += $2 } END { printf "%.2f s", t }' "$log")
  printf '%-12s %10s  %9s  %8.1f MB  %s\n' "$name" "$wall" "$cpu" "$(awk -v k="$rss" 'BEGIN { print k / 1024 }')" \
    "$(md5sum <"$WORK/analysis-$name.out" | cut -c1-12)"
}

printf '%-12s %10s  %9s  %11s  %s\n' case wall processor 'peak RSS' 'output md5'
run collocation collocation --span 5,5 --min-freq 1 the "$CORPUS"
run keywords keywords --reference "$CORPUS" "$STUDY"
run plot plot --table lord "$CORPUS"
