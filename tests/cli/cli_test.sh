#!/bin/sh
# The command-line contract: exact window text for known searches, counts, standard
# input, code pages, and errors reported on standard error with a non-zero status.
# Usage: cli_test.sh TESSARY_CLI DATA_DIR CORPUS_DIR
set -u
CLI=$1 DATA=$2 CORPUS=$3
HERE=$(cd "$(dirname "$0")" && pwd)
export LC_ALL=C
cd "$(dirname "$CORPUS")" || exit 1
CORPUS=$(basename "$CORPUS")
FAILED=0
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT

check() {  # name, expected, actual
  if [ "$2" != "$3" ]; then
    echo "FAIL: $1"; echo "  expected: $2"; echo "  actual:   $3"; FAILED=1
  fi
}
same_file() {  # name, expected file, command...
  name=$1 expected=$2; shift 2
  if ! "$@" > "$TMP/out" 2> "$TMP/err"; then echo "FAIL: $name exited non-zero"; cat "$TMP/err"; FAILED=1; return; fi
  cmp -s "$expected" "$TMP/out" || { echo "FAIL: $name differs"; diff "$expected" "$TMP/out" | head -5; FAILED=1; }
}

same_file "sorted right with file references" "$HERE/expected/the-right-refs.txt" \
  "$CLI" concord --width 30 --file-reference the "$CORPUS"
same_file "prefix sorted left without numbers" "$HERE/expected/bak-left-prefix.txt" \
  "$CLI" concord --width 20 --sort left --no-numbers --mode prefix bak "$CORPUS"
same_file "Windows-1252 text shown as UTF-8" "$HERE/expected/cafe-1252.txt" \
  "$CLI" concord --width 12 --sort none --codepage 1252 café "$DATA/en.cp1252.txt"

check "count over a directory" 68 "$("$CLI" concord --count the "$CORPUS")"
check "count with a star for a prefix" "$("$CLI" concord --count --mode prefix bak "$CORPUS")" \
  "$("$CLI" concord --count 'bak*' "$CORPUS")"
check "standard input" "1            a cat sat     " "$(printf 'a cat sat' | "$CLI" concord --width 8 cat)"
check "raw bytes stay in the code page" "$(printf 'caf\351')" \
  "$(printf 'un caf\351' | "$CLI" concord --raw --no-numbers --width 3 café | cut -c4-7)"
check "Russian through code page 866" 2 \
  "$("$CLI" concord --count --codepage 866 --mode any мельни "$DATA/ru.cp866.txt")"
check "Big5 double-byte search" 2 \
  "$("$CLI" concord --count --double-byte big5 河水 "$DATA/zh-hant.big5.txt")"
check "16-bit search of a UTF-16 file" 1 \
  "$("$CLI" concord --count --unicode café "$DATA/en.utf16le-bom.txt")"

"$CLI" concord --width 0 the "$CORPUS" > "$TMP/out" 2> "$TMP/err"
check "width out of range fails" "2 The line width must be a number from 1 to 1000." \
  "$? $(sed 's/^tessary-cli: //' "$TMP/err")"
"$CLI" concord --count the "$CORPUS/harbour.txt" /nonexistent.txt "$CORPUS/garden.txt" > "$TMP/out" 2> "$TMP/err"
check "unreadable file is named and skipped" \
  "1 tessary-cli: Cannot open /nonexistent.txt: No such file or directory. 54" \
  "$? $(cat "$TMP/err") $(cat "$TMP/out")"
"$CLI" concord "   " "$CORPUS" > "$TMP/out" 2> "$TMP/err"
check "a search string of spaces starts no search" "2" "$?"
"$CLI" concord --codepage 12345 the "$CORPUS" > "$TMP/out" 2> "$TMP/err"
check "unknown code page" "2 tessary-cli: Code page 12345 is not available." "$? $(cat "$TMP/err")"

TEXT='we make a decision now. a decision to make'
check "associated word to the right, cut word blanked" "                 we make a decision now. a   " \
  "$(printf '%s' "$TEXT" | "$CLI" concord --width 20 --no-numbers --assoc decision --zone right make)"
check "associated word to the left" "1" \
  "$(printf '%s' "$TEXT" | "$CLI" concord --width 20 --count --assoc decision --zone left make | tr -d ' ')"
check "associated words in any order" "1" \
  "$(printf '%s' "$TEXT" | "$CLI" concord --width 20 --count --assoc now --assoc DECISION --assoc we make)"
check "sentence lines numbered once" "1      Then he left." \
  "$(printf 'He said no. Then he left.' | "$CLI" concord --sentences --sort right then)"
check "sentence across a line end, with file reference" \
  "1      Fishing boats came in on the tide, and the gulls followed them as far as the stone quay, where the old lord of the manor had once kept his toll house. ($CORPUS/harbour.txt)|2      Nobody paid the toll now. ($CORPUS/harbour.txt)|" \
  "$("$CLI" concord --sentences --file-reference toll "$CORPUS/harbour.txt" | tr '\n' '|')"
check "collocates by frequency" "$(printf 'Right collocates for [ make ] = 2   \n1                     it\t2\n2                     up\t1')" \
  "$(printf 'I make up time. You make It. We make it so.' | "$CLI" collocates --order frequency make)"
check "left collocates" "$(printf 'Left collocates for [ make ] = 1   \n1                      I\t2')" \
  "$(printf 'I make up. I make it.' | "$CLI" collocates --sort left make)"
printf 'a make b' | "$CLI" collocates --sort none make > "$TMP/out" 2> "$TMP/err"
check "collocates of an unsorted search" "2 tessary-cli: First create sorted List" "$? $(cat "$TMP/err")"
printf 'nothing here' | "$CLI" collocates make > "$TMP/out" 2> "$TMP/err"
check "collocates without lines" "1 tessary-cli: There is no collocate list" "$? $(cat "$TMP/err")"
"$CLI" concord --assoc a --assoc b --assoc c --assoc d x "$CORPUS" > "$TMP/out" 2> "$TMP/err"
check "a fourth associated word fails" "2" "$?"

[ $FAILED -eq 0 ] && echo "all command-line checks passed"
exit $FAILED
