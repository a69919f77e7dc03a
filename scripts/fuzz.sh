#!/bin/sh
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for SECONDS (default 60), one after the
# other. New inputs collect in build-fuzz/corpus_NAME; a failing input is written to
# build-fuzz/crash-NAME-*: once the fault is mended, copy it into tests/fuzz/corpus/NAME
# so every later test run checks it again.
#   sh scripts/fuzz.sh [SECONDS] [TARGET...]
set -eu
cd "$(dirname "$0")/.."
SECONDS_EACH=${1:-60}
[ $# -gt 0 ] && shift
sh scripts/install-deps.sh
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTESSARY_BUILD_GUI=OFF -DTESSARY_FUZZ=ON \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined" \
  -DCMAKE_C_FLAGS="-fsanitize=fuzzer-no-link,address,undefined"
cmake --build build-fuzz
TARGETS=${*:-$(sed -n '/^set(TESSARY_FUZZ_TARGETS/,/)/p' tests/fuzz/CMakeLists.txt | tr -d '()' | sed 's/set//; s/TESSARY_FUZZ_TARGETS//')}
status=0
for name in $TARGETS; do
  mkdir -p "build-fuzz/corpus_$name"
  echo "== fuzz_$name for $SECONDS_EACH s"
  UBSAN_OPTIONS=print_stacktrace=1 build-fuzz/bin/fuzz_"$name" -max_total_time="$SECONDS_EACH" \
    -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="build-fuzz/crash-$name-" \
    "build-fuzz/corpus_$name" "tests/fuzz/corpus/$name" || status=1
done
exit $status
