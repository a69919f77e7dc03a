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

check "gap-fill test blanks the keyword after the number" "1            a ------ sat     " \
  "$(printf 'a cat sat' | "$CLI" test --width 8 cat)"
check "gap-fill test in Big5 text blanks whole characters" "人看著------。 水位" \
  "$("$CLI" test --width 6 --no-numbers --double-byte big5 河水 "$DATA/zh-hant.big5.txt" | head -1)"
printf 'a cat' | "$CLI" test --count cat > "$TMP/out" 2> "$TMP/err"
check "gap-fill test refuses --count" "2 tessary-cli: --count is not an option of test" "$? $(cat "$TMP/err")"

HL='<font color=#ff00ff><b><u><i>' HR='</i></u></b></font>'
printf 'un caf\351 <b>' | "$CLI" html --width 3 --no-numbers café -o "$TMP/page.htm"
{ printf '<HTML><HEAD><TITLE>Concordance list</TITLE></HEAD>\r\n'
  printf '<meta http-equiv="Content-Type" content="text/html; charset=windows-1252"><body bgcolor=#ffffff><PRE>\r\n'
  printf 'un %scaf\351%s &lt;b&gt;\r\n</PRE>\r\n</BODY></HEAD>' "$HL" "$HR"; } > "$TMP/expected.htm"
cmp -s "$TMP/expected.htm" "$TMP/page.htm" || { echo "FAIL: html page of a byte search"; FAILED=1; }
"$CLI" html --width 10 --file-reference toll "$CORPUS/harbour.txt" -o "$TMP/refs.htm"
check "html keyword after the number, file reference kept" \
  "$(printf '1       kept his %stoll%s house. Nob (%s/harbour.txt)\r' "$HL" "$HR" "$CORPUS")" \
  "$(sed -n 3p "$TMP/refs.htm")"
"$CLI" html toll "$CORPUS" -o "$TMP/no/such.htm" > "$TMP/out" 2> "$TMP/err"
check "html to a missing directory" "1 tessary-cli: $TMP/no/such.htm: File error" "$? $(cat "$TMP/err")"

"$CLI" db create "$TMP/c.sqlite" --width 10 --file-reference toll "$CORPUS/harbour.txt" > "$TMP/out"
"$CLI" db append "$TMP/c.sqlite" --width 10 --no-numbers toll "$CORPUS/harbour.txt" > "$TMP/out"
check "db append reports its records" "2 records were added to the table Concordances." "$(cat "$TMP/out")"
"$CLI" db append "$TMP/c.sqlite" --width 10 --sort none toll "$CORPUS/harbour.txt" > "$TMP/out"
check "db records in the order added" \
  "$(printf 'toll|1       kept his toll house. Nob (%s/harbour.txt)|%s/harbour.txt|195' "$CORPUS" "$CORPUS") 6 toll| paid the toll now. The h|$CORPUS/harbour.txt|223 toll|2       paid the toll now. The h|$CORPUS/harbour.txt|223" \
  "$("$CLI" db list "$TMP/c.sqlite" | tr '\t' '|' | sed -n 1p) $("$CLI" db list "$TMP/c.sqlite" | wc -l) $("$CLI" db list "$TMP/c.sqlite" | tr '\t' '|' | sed -n '4p;6p' | tr '\n' ' ' | sed 's/ $//')"
"$CLI" db create "$TMP/c.sqlite" toll "$CORPUS" > "$TMP/out" 2> "$TMP/err"
check "db create keeps an existing file" "1 tessary-cli: The file $TMP/c.sqlite already exists. 6" \
  "$? $(cat "$TMP/err") $("$CLI" db list "$TMP/c.sqlite" | wc -l)"

printf 'A\351\200' > "$TMP/ansi.txt"
"$CLI" convert --to utf8 "$TMP/ansi.txt" "$TMP/u8.txt" > "$TMP/out"
check "convert to UTF-8" "efbbbf41c3a9e282ac The text has been saved as Unicode UTF-8 in file $TMP/u8.txt." \
  "$(od -An -tx1 "$TMP/u8.txt" | tr -d ' \n') $(cat "$TMP/out")"
"$CLI" convert --codepage 1252 --to utf16be "$TMP/ansi.txt" "$TMP/be.txt" > "$TMP/out"
check "convert to UTF-16 big-endian" "feff004100e920ac" "$(od -An -tx1 "$TMP/be.txt" | tr -d ' \n')"
"$CLI" convert --to ansi "$TMP/be.txt" "$TMP/back.txt"
check "convert back from UTF-16 by its mark" "$(cat "$TMP/ansi.txt")" "$(cat "$TMP/back.txt")"
printf 'A \320\234\320\270\321\200\r' > "$TMP/ru.txt"
"$CLI" convert --codepage 'Russian (866)' --to ansi "$TMP/ru.txt" "$TMP/866.txt"
check "convert UTF-8 through a code-page name" "41208ca8e00d" "$(od -An -tx1 "$TMP/866.txt" | tr -d ' \n')"
"$CLI" convert --to utf8 "$TMP/ansi.txt" /dev/full > "$TMP/out" 2> "$TMP/err"
check "convert to a full disk" "1 tessary-cli: /dev/full: File error" "$? $(cat "$TMP/err")"

check "profile caption and text" "Frequency Profile for < cat > = 2|2 out of total 4 words = 50.000000 %|" \
  "$(printf 'cat, catalogue, concat cat.' | "$CLI" profile cat | tr '\n' '|')"
check "profile of substrings" "4 out of total 4 words = 100.000000 %" \
  "$(printf 'cat, catalogue, concat cat.' | "$CLI" profile --substring cat | sed -n 2p)"
check "profile of an empty text" "0 out of total 0 words = 0.000000 %" "$(printf '' | "$CLI" profile cat | sed -n 2p)"
check "character profile of a UTF-8 file" "2 out of total 28 characters = 7.142857 %" \
  "$("$CLI" profile --characters 河 "$DATA/zh-hant.utf8.txt" | sed -n 2p)"
check "unique words, first order" "$(printf 'Unique words = 3    \tTotal words = 6\n1                    ant\t1\t16.6667 %%\n2                   caf\303\251\t1\t16.6667 %%\n3                    The\t3\t50.0000 %%')" \
  "$(printf 'The the\r\nant caf\351 42 THE' | "$CLI" words)"
check "unique words by frequency" "The" "$(printf 'ant The the' | "$CLI" words --order frequency | sed -n 2p | cut -f1 | tr -d ' ' | cut -c2-)"
check "unique words of Big5 text" "19 24" \
  "$("$CLI" words --double-byte big5 "$DATA/zh-hant.big5.txt" | sed -n '1s/Unique words = \([0-9]*\) *\tTotal words = \([0-9]*\)/\1 \2/p')"
"$CLI" words --output "$TMP/no/such.txt" "$CORPUS" > "$TMP/out" 2> "$TMP/err"
check "unique-word list to a missing directory" "1 tessary-cli: File error: $TMP/no/such.txt" "$? $(cat "$TMP/err")"
mkdir "$TMP/report"
printf 'the\r\nis\n' > "$TMP/l1.txt"; printf 'cat\n' > "$TMP/l2.txt"; printf 'The cat <is> 5%% x' > "$TMP/t.txt"
"$CLI" compare --dir "$TMP/report" "$TMP/l1.txt" "$TMP/l2.txt" "$TMP/t.txt" > "$TMP/out"
FRAMES=$(sed -n 3p "$TMP/out")
check "compare writes three files together" "3 $(basename "$FRAMES" | sed 's/^Frames/Text/')" \
  "$(ls "$TMP/report" | wc -l) $(basename "$(sed -n 1p "$TMP/out")")"
TEXT_PAGE=$(sed -n 1p "$TMP/out")
check "compare counts" "1" "$(grep -c 'Total number of words parsed in this text = 4<' "$TEXT_PAGE")"
check "compare escapes the text" "The <font color=#ff0000>cat</font> &lt;is&gt; 5&#37; <font color=#0000ff>x</font><br>" \
  "$(grep -o 'The <font.*<br>' "$TEXT_PAGE")"
"$CLI" compare "$TMP/none.txt" "$TMP/l2.txt" "$TMP/t.txt" > "$TMP/out" 2> "$TMP/err"
check "compare with a missing list" "1 tessary-cli: File error: $TMP/none.txt" "$? $(cat "$TMP/err")"

# The analyses: the node is found as concord finds it; tables are TSV or CSV.
TAB=$(printf '\t')
check "collocation row of a known node" "the${TAB}50${TAB}25${TAB}25${TAB}68${TAB}68${TAB}536${TAB}8.6269${TAB}176.5850${TAB}2.5350" \
  "$("$CLI" collocation --measure ll,mi the "$CORPUS" | sed -n 2p)"
check "collocation of standard input in a span of one" "a 2 2 0|sat 1 0 1|" \
  "$(printf 'a cat sat on a mat. a cat' | "$CLI" collocation --span 1,1 --measure freq cat | sed 1d | cut -f1-4 | tr '\t\n' ' |' | sed 's/ |/|/g')"
check "plot hits are concord's matches" "$("$CLI" concord --count --mode prefix bak "$CORPUS")" \
  "$("$CLI" plot --table --mode prefix bak "$CORPUS" | sed 1d | awk -F'\t' '{n += $3} END {print n}')"
check "plot as SVG, a tick per hit" "68" "$("$CLI" plot the "$CORPUS" | grep -c '<line ')"
check "free n-grams as CSV with a mark" "$(printf '\357\273\277Cluster,Size,Freq,Range\r')" \
  "$("$CLI" ngrams --free --size 3 --format csv --bom "$CORPUS" | sed -n 1p)"
check "clusters of the node" "on the hill${TAB}3${TAB}2${TAB}2" \
  "$("$CLI" ngrams --size 3 --attach right --min-freq 2 hill "$CORPUS" | sed -n 2p)"
"$CLI" words "$CORPUS/garden.txt" "$CORPUS/letters.txt" --output "$TMP/ref.txt"
check "keywords against a saved list or its texts alike" \
  "$("$CLI" keywords --reference "$CORPUS/garden.txt" --reference "$CORPUS/letters.txt" "$CORPUS/harbour.txt")" \
  "$("$CLI" keywords --reference "$TMP/ref.txt" "$CORPUS/harbour.txt")"
"$CLI" collocation --span 11,5 the "$CORPUS" > "$TMP/out" 2> "$TMP/err"
check "collocation span out of range" "2 tessary-cli: --span takes L,R: 0 to 10 words each" "$? $(cat "$TMP/err")"
"$CLI" keywords "$CORPUS" > "$TMP/out" 2> "$TMP/err"
check "keywords need a reference" "2 tessary-cli: no --reference given" "$? $(cat "$TMP/err")"
check "concordance lines as a table" "2${TAB}The ${TAB}Harbour${TAB} Town  The harbour to${TAB}$CORPUS/harbour.txt${TAB}4" \
  "$("$CLI" concord --format tsv --width 20 harbour "$CORPUS" | sed -n 3p)"
check "concordance lines as CSV keep their count" "$("$CLI" concord --count the "$CORPUS") 1" \
  "$(( $("$CLI" concord --format csv the "$CORPUS" | wc -l) - 1 )) $("$CLI" concord --format csv the "$CORPUS" | grep -c '^1,')"
check "help lists the analyses" "4" "$("$CLI" --help | grep -cE '^  (collocation|ngrams|keywords|plot) ')"

[ $FAILED -eq 0 ] && echo "all command-line checks passed"
exit $FAILED
