#!/bin/sh
# Installs the dependencies, builds Tessary and starts the desktop program (with the
# files given, if any). Without a display it prints a sample concordance instead and
# says how to start the program (scripts/start.sh).
set -eu
cd "$(dirname "$0")/.."
sh scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build --target tessary tessary-cli
exec sh scripts/start.sh "$@"
