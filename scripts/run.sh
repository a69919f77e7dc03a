#!/bin/sh
# Installs the dependencies, builds Tessary and runs its main job on the sample corpus:
# a concordance of "the", sorted by right collocates, with file references.
set -eu
cd "$(dirname "$0")/.."
sh scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build --target tessary-cli
build/bin/tessary-cli concord --width 30 --file-reference "${1:-the}" corpus
