#!/bin/sh
# Starts the built desktop program with the files given. Without a display there is
# nothing to show it on: a sample concordance of the shipped corpus is printed with
# tessary-cli instead, with the ways to start the program.
# TESSARY_BIN names the folder of the programs (default build/bin).
set -eu
cd "$(dirname "$0")/.."
BIN=${TESSARY_BIN:-build/bin}
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$BIN/tessary" "$@"
fi
cat <<MSG
No display found, so the desktop program was not started.
Here is what it does, from the command line: every "harbour" in the sample texts
of corpus/, keywords in one column, sorted by the word to their right.

MSG
"$BIN/tessary-cli" concord --width 30 harbour corpus
cat <<MSG

To use the desktop program, run this again from a terminal of a graphical desktop:
  sh scripts/run.sh [FILE]
or start it directly:  $BIN/tessary [FILE]
To run it without a display on purpose (for scripts; nothing is visible), use a
virtual display:  xvfb-run -a $BIN/tessary [FILE]
The command line alone: $BIN/tessary-cli --help
MSG
