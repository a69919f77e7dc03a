#!/usr/bin/env bash
# Collocate list of a 100,000-line sorted concordance: times
#   tessary-cli collocates the FILE            (search, sort, count, print)
# next to the same search printing its sorted lines, so the counting's own share
# shows as the difference.
#
# Usage: bench/collocates_bench.sh
# Environment knobs:
#   TESSARY_CLI=PATH  the tessary-cli to time (default build/bin/tessary-cli, built
#                     Release with CMake and Ninja, one job, if missing)
#   RUNS=N            timed runs per command (default 5; hyperfine adds one warmup)
#   LINES=N           matches of the keyword in the text (default 100000)
#
# Writes only into bench/work/ (git-ignored). A benchmark, not a test: nothing here
# runs in the test suite.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
WORK=$ROOT/bench/work
CLI=${TESSARY_CLI:-$ROOT/build/bin/tessary-cli}
RUNS=${RUNS:-5}
LINES=${LINES:-100000}
TEXT=$WORK/collocates-$LINES.txt
export LC_ALL=C

die() { printf 'collocates_bench.sh: %s\n' "$*" >&2; exit 1; }

if [[ ! -x $CLI ]]; then
  cmake -S "$ROOT" -B "$ROOT/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSARY_BUILD_GUI=OFF >/dev/null
  ninja -j1 -C "$ROOT/build" tessary-cli
fi

# One "the" per line, in a fixed pseudo-random text: the word after it comes from a
# pool of 2,000 made-up words with a skewed (roughly Zipf) frequency, and in one line
# of eight it is capitalised, so the count also folds case. No other word holds "the".
mkdir -p "$WORK"
if [[ ! -s $TEXT ]]; then
  awk -v lines="$LINES" 'BEGIN {
    seed = 12345
    split("b c d f g k l m n p r s t v z", cons, " "); split("a e i o u", vow, " ")
    for (w = 1; w <= 2000; ++w) {
      x = w; word = ""
      do { word = word cons[x % 15 + 1] vow[int(x / 15) % 5 + 1]; x = int(x / 75) } while (x > 0)
      pool[w] = word "n"
    }
    for (i = 0; i < lines; ++i) {
      seed = (seed * 1103515245 + 12345) % 2147483648; r = seed / 2147483648
      w = int(2000 ^ r)                       # skewed towards the first words
      seed = (seed * 1103515245 + 12345) % 2147483648
      c = pool[w]; if (seed % 8 == 0) c = toupper(substr(c, 1, 1)) substr(c, 2)
      printf "%s %s and so the %s %s went on.\n", pool[(i * 7) % 2000 + 1], pool[(i * 13) % 2000 + 1], c, pool[(i * 31) % 2000 + 1]
    }
  }' > "$TEXT"
fi

found=$("$CLI" concord --count the "$TEXT")
[[ $found -eq $LINES ]] || die "expected $LINES matches of 'the', found $found"
distinct=$("$CLI" collocates the "$TEXT" | head -1)
printf 'text: %s (%s bytes), %s lines; %s\n' "$TEXT" "$(wc -c < "$TEXT")" "$LINES" "$distinct"
"$CLI" collocates --order frequency the "$TEXT" | sed -n 2,4p

if command -v hyperfine >/dev/null; then
  hyperfine --warmup 1 --runs "$RUNS" \
    -n "collocates" "$CLI collocates the $TEXT" \
    -n "collocates, frequency order" "$CLI collocates --order frequency the $TEXT" \
    -n "sorted lines only" "$CLI concord the $TEXT"
else
  for cmd in "collocates the" "collocates --order frequency the" "concord the"; do
    printf '\n%s\n' "$cmd"
    for ((run = 0; run < RUNS; ++run)); do /usr/bin/time -f '%e s, %M KiB' "$CLI" $cmd "$TEXT" > /dev/null; done
  done
fi
