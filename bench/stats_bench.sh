#!/usr/bin/env bash
# Word statistics on a 200 MB slice of the corpus, each next to a shell pipeline that
# gives the same kind of answer, in the same hyperfine run:
#
#   unique words   tessary-cli words FILE
#                  tr -cs A-Za-z '\n' < FILE | sort | uniq -c      (target: 10x slower)
#   profile        tessary-cli profile WORD FILE
#                  grep -o -i -w WORD FILE | wc -l
#
# The counts differ a little by design: `words` keeps apostrophes, hyphens and bytes
# from 0x80 up inside words and folds case, `tr` splits at every non-letter and keeps
# case; `profile` counts whole-word matches in its own sense of letters.
#
# Usage: bench/stats_bench.sh
# Environment knobs:
#   TESSARY_CLI=PATH  the tessary-cli to time (default build/bin/tessary-cli, built
#                     Release with CMake and Ninja, one job, if missing)
#   RUNS=N            timed runs per command (default 5; hyperfine adds one warmup)
#   WORD=W            the word to profile (default: the)
#
# The slice is the first 200 MB of bench/work/corpus-1g.txt; when that is missing,
# `bench/run.sh --corpus-only` builds it (that needs root: it installs packages).
# Everything written goes to bench/work/. A benchmark, not a test: nothing here is
# asserted, and timings on a shared machine are noisy.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
WORK=$ROOT/bench/work
CORPUS=$WORK/corpus-1g.txt
SLICE=$WORK/corpus-200mb.txt
SLICE_BYTES=200000000
CLI=${TESSARY_CLI:-$ROOT/build/bin/tessary-cli}
RUNS=${RUNS:-5}
WORD=${WORD:-the}
export LC_ALL=C

log() { printf '\n== %s\n' "$*"; }
die() { printf 'stats_bench.sh: %s\n' "$*" >&2; exit 1; }

command -v hyperfine >/dev/null || die "hyperfine is missing (bench/run.sh installs it)"
if [[ ! -f $CORPUS ]]; then
    log "no corpus yet: bench/run.sh --corpus-only"
    "$ROOT/bench/run.sh" --corpus-only
fi
mkdir -p "$WORK"
if [[ ! -f $SLICE || $(stat -c %s "$SLICE") -ne $SLICE_BYTES ]]; then
    head -c "$SLICE_BYTES" "$CORPUS" >"$SLICE"
fi
if [[ ! -x $CLI ]]; then
    log "building tessary-cli (Release)"
    cmake -S "$ROOT" -B "$ROOT/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSARY_BUILD_GUI=OFF >/dev/null
    ninja -j1 -C "$ROOT/build" tessary-cli
fi

q() { printf '%q' "$1"; }
declare -A MEAN
run() {  # name of the export, then hyperfine's -n/command pairs
    local name=$1
    shift
    hyperfine --warmup 1 --runs "$RUNS" --output=pipe \
        --export-markdown "$WORK/stats-$name.md" --export-csv "$WORK/stats-$name.csv" "$@"
    while IFS=, read -r label mean _; do
        [[ $label == command ]] || MEAN[$name,$label]=$mean
    done <"$WORK/stats-$name.csv"
}

log "unique words: tessary $("$CLI" words "$SLICE" | head -n 1 | tr '\t' ' '); tr|sort|uniq $(tr -cs A-Za-z '\n' <"$SLICE" | sort -u | grep -c .) distinct"
run words \
    -n tessary "$(q "$CLI") words $(q "$SLICE")" \
    -n "tr|sort|uniq" "tr -cs A-Za-z '\\n' < $(q "$SLICE") | sort | uniq -c"

log "profile of '$WORD': tessary $("$CLI" profile "$WORD" "$SLICE" | head -n 1); grep $(grep -o -i -w -- "$WORD" "$SLICE" | wc -l)"
run profile \
    -n tessary "$(q "$CLI") profile $(q "$WORD") $(q "$SLICE")" \
    -n "grep|wc" "grep -o -i -w -- $(q "$WORD") $(q "$SLICE") | wc -l"

log "summary (mean wall time in seconds; speed-up = peer / tessary)"
printf '%-14s %10s %-14s %10s %9s\n' task tessary peer time speed-up
for row in "words:tr|sort|uniq" "profile:grep|wc"; do
    task=${row%%:*} peer=${row#*:}
    printf '%-14s %10.3f %-14s %10.3f %8.1fx\n' "$task" "${MEAN[$task,tessary]}" "$peer" "${MEAN[$task,$peer]}" \
        "$(awk -v a="${MEAN[$task,$peer]}" -v b="${MEAN[$task,tessary]}" 'BEGIN { printf "%.1f", a / b }')"
done
printf '\nMachine: %s, %s cores; %s\n' \
    "$(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)" "$(nproc)" "$(hyperfine --version)"
