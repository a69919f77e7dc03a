#!/usr/bin/env bash
# Big-file search benchmark: `tessary-cli concord --big-file --count` on the 1 GiB
# corpus next to `rg --count-matches -i -w -F` in the same hyperfine run, and the
# peak memory of the big-file search on files of different sizes (it should stay near
# one chunk, about 20 MB, whatever the file's size).
#
#   bench/big_file_bench.sh
# Environment knobs:
#   RUNS=N            timed runs per command (default 5; one warmup run comes first)
#   WORDS="a b"       the words to time (default: the lord whale)
#   TESSARY_CLI=PATH  the tessary-cli to time (default build/bin/tessary-cli, built
#                     with CMake and Ninja if missing)
#
# The corpus is bench/work/corpus-1g.txt; when it is missing, `bench/run.sh
# --corpus-only` builds it (that needs root: it installs packages). Everything written
# goes to bench/work/. A benchmark, not a test: nothing here is asserted.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
WORK=$ROOT/bench/work
CORPUS=$WORK/corpus-1g.txt
SIZE=1073741824
CLI=${TESSARY_CLI:-$ROOT/build/bin/tessary-cli}
RUNS=${RUNS:-5}
read -r -a WORDS <<<"${WORDS:-the lord whale}"
export LC_ALL=C

log() { printf '\n== %s\n' "$*"; }
die() { printf 'big_file_bench.sh: %s\n' "$*" >&2; exit 1; }

for tool in hyperfine rg /usr/bin/time; do
    command -v "$tool" >/dev/null || die "$tool is missing (bench/run.sh installs hyperfine and ripgrep)"
done

if [[ ! -f $CORPUS || $(stat -c %s "$CORPUS") -ne $SIZE ]]; then
    log "no corpus yet: bench/run.sh --corpus-only"
    "$ROOT/bench/run.sh" --corpus-only
fi
if [[ ! -x $CLI ]]; then
    log "building tessary-cli (Release)"
    cmake -S "$ROOT" -B "$ROOT/build" -G Ninja -DCMAKE_BUILD_TYPE=Release
    ninja -C "$ROOT/build" tessary-cli
fi

q() { printf '%q' "$1"; }
declare -A MEAN

# --- time: the big-file count next to ripgrep ----------------------------------
for w in "${WORDS[@]}"; do
    log "counting '$w': tessary --big-file $("$CLI" concord --big-file --count "$w" "$CORPUS"), rg $(rg --count-matches -i -w -F -- "$w" "$CORPUS" || echo 0)"
    hyperfine --warmup 1 --runs "$RUNS" --output=pipe \
        --export-markdown "$WORK/big-count-$w.md" --export-csv "$WORK/big-count-$w.csv" \
        -n tessary "$(q "$CLI") concord --big-file --count $(q "$w") $(q "$CORPUS")" \
        -n rg "rg --count-matches -i -w -F $(q "$w") $(q "$CORPUS")"
    while IFS=, read -r name mean _; do
        [[ $name == command ]] || MEAN[$w,$name]=$mean
    done <"$WORK/big-count-$w.csv"
done

# --- memory: peak resident set by file size --------------------------------------
# Slices of the corpus; the last line of the table is the file-mapping search that
# `concord` runs without --big-file, for contrast.
log "peak memory (KiB, /usr/bin/time -f %M)"
peak() { /usr/bin/time -f %M -o "$WORK/big-time.txt" "$@" >/dev/null; cat "$WORK/big-time.txt"; }
for mib in 16 128 1024; do
    slice=$CORPUS
    if ((mib < 1024)); then
        slice=$WORK/corpus-${mib}m.txt
        [[ -f $slice ]] || head -c $((mib << 20)) "$CORPUS" >"$slice"
    fi
    printf '  %5s MiB  --big-file --count %8s   --big-file --sort none whale %8s\n' "$mib" \
        "$(peak "$CLI" concord --big-file --count whale "$slice")" \
        "$(peak "$CLI" concord --big-file --sort none whale "$slice")"
done
printf '   1024 MiB  whole-file --count    %8s\n' "$(peak "$CLI" concord --count whale "$CORPUS")"

# --- summary -----------------------------------------------------------------------
log "summary (mean wall time in seconds; ratio = tessary / rg, below 1 means tessary is faster)"
printf '%-8s %10s %10s %7s\n' word tessary rg ratio
for w in "${WORDS[@]}"; do
    printf '%-8s %10.3f %10.3f %7s\n' "$w" "${MEAN[$w,tessary]}" "${MEAN[$w,rg]}" \
        "$(awk -v a="${MEAN[$w,tessary]}" -v b="${MEAN[$w,rg]}" 'BEGIN { printf "%.2f", a / b }')"
done
printf '\nMachine: %s, %s cores; %s, %s\n' \
    "$(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)" "$(nproc)" \
    "$(hyperfine --version)" "$(rg --version | head -n 1)"
