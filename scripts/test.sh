#!/bin/sh
# Installs the dependencies, builds everything and runs every test: once in a
# release build, once under AddressSanitizer and UndefinedBehaviorSanitizer, then the
# fuzz targets briefly.
set -eu
cd "$(dirname "$0")/.."
sh scripts/install-deps.sh
JOBS=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build
ctest --test-dir build --output-on-failure -j "$JOBS"
# The Debian package of that build: its contents, desktop files, manual pages, bash
# completion and lintian. (The install into a fresh root, scripts/check-clean-install.sh,
# is run by hand.)
sh scripts/check-package.sh

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTESSARY_SANITIZE=ON
cmake --build build-asan
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$JOBS"

# The fuzz targets (clang, libFuzzer): each runs over its seed corpus, every input
# that once failed included, and then a few seconds more, about a minute in all.
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTESSARY_BUILD_GUI=OFF -DTESSARY_FUZZ=ON -DTESSARY_FUZZ_SECONDS=5 \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined" \
  -DCMAKE_C_FLAGS="-fsanitize=fuzzer-no-link,address,undefined"
cmake --build build-fuzz
UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir build-fuzz --output-on-failure -j "$JOBS"
