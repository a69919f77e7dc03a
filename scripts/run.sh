#!/bin/sh
# Installs the dependencies, builds Tessary and starts the desktop program (with the
# files given, if any). Without a display it starts under Xvfb.
set -eu
cd "$(dirname "$0")/.."
sh scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build --target tessary tessary-cli
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/bin/tessary "$@"
fi
echo "No display found: starting Tessary under Xvfb (stop it with Ctrl+C)." >&2
exec xvfb-run -a build/bin/tessary "$@"
