#!/bin/sh
# Makes the help's pictures from the program itself, without a display.
#   sh scripts/screenshots.sh                 builds and writes resources/help/images/
#   sh scripts/screenshots.sh --check TOOL DIR   (the tests) writes DIR with a built TOOL
set -eu
cd "$(dirname "$0")/.."
if [ "${1:-}" = "--check" ]; then
  tool=$2
  out=$3
else
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build build --target tessary-screenshots
  tool=build/bin/tessary-screenshots
  out=resources/help/images
fi
rm -rf "$out.new"
QT_QPA_PLATFORM=offscreen "$tool" "$out.new" corpus > "$out.list"
count=$(wc -l < "$out.list")
if [ "$count" -lt 1 ]; then
  echo "no picture was made" >&2
  exit 1
fi
# Every picture the help names must have been made.
for page in resources/help/*.html; do
  for image in $(grep -o 'images/[a-z0-9-]*\.png' "$page" || true); do
    if [ ! -s "$out.new/$(basename "$image")" ]; then
      echo "$page shows $image, which no scene made" >&2
      exit 1
    fi
  done
done
rm -rf "$out"
mv "$out.new" "$out"
rm -f "$out.list"
echo "$count pictures in $out"
