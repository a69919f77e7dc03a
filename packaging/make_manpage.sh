#!/bin/sh
# Writes the manual page of tessary-cli to standard output from the program's own
# --help, so that the two never disagree:  sh make_manpage.sh CLI VERSION DATE
set -eu
CLI=$1 VERSION=$2 DATE=$3
help=$("$CLI" --help)

cat <<HEAD
.TH TESSARY\\-CLI 1 "$DATE" "Tessary $VERSION" "User Commands"
.SH NAME
tessary\\-cli \\- concordances, collocates and word statistics of texts
.SH SYNOPSIS
.B tessary\\-cli
.I COMMAND
.RI [ options ]
.I ARGUMENTS...
.br
.B tessary\\-cli \\-\\-help
.SH DESCRIPTION
.B tessary\\-cli
is the command\\-line front of the Tessary concordancer. It runs the searches of the
desktop program on files, directories or standard input and prints exactly what the
program's windows show: keyword\\-in\\-context lines with the keywords in one column,
collocate lists, gap\\-fill tests, frequency profiles and unique\\-word lists; it also
saves lists as web pages or SQLite databases and converts text between code pages
and Unicode.
.PP
Search strings are UTF\\-8 on the command line and the output is UTF\\-8. Byte texts
are read in the ANSI code page given by
.B \\-\\-codepage
(1252 when none is given) or in the double\\-byte set chosen.
HEAD

# The help: a list of the commands, then one block per command (its usage line, a
# description, its options in two columns, the descriptions from column 35 on).
printf '%s\n' "$help" | awk '
function esc(s) {
  gsub(/\\/, "\\e", s)
  gsub(/-/, "\\-", s)
  if (s ~ /^[.'"'"']/) s = "\\&" s
  return s
}
function trim(s) { sub(/^ +/, "", s); sub(/ +$/, "", s); return s }
BEGIN { part = "head" }
/^Commands:$/ { print ".SH COMMANDS"; part = "commands"; next }
/^Usage: tessary-cli [a-z]/ {
  if (part == "commands") print ".SH \"COMMANDS IN DETAIL\""
  part = "usage"
  line = $0; sub(/^Usage: tessary-cli /, "", line)
  name = line; sub(/ .*/, "", name)
  print ".SS " name
  print ".nf"
  print "\\fBtessary\\-cli\\fR " esc(line)
  while ((getline next_line) > 0 && next_line ~ /^ +tessary-cli /) print "\\fBtessary\\-cli\\fR " esc(trim(substr(next_line, index(next_line, "tessary-cli") + 12)))
  print ".fi"
  print ".PP"
  if (next_line != "") print esc(next_line)
  next
}
part == "head" { next }
part == "commands" && /^  [a-z]/ {
  print ".TP"
  print ".B " $1
  line = $0; sub(/^  [a-z]+ +/, "", line)
  print esc(line)
  next
}
/^$/ { if (part == "usage") print ".PP"; inopts = 0; next }
/^  -/ {
  inopts = 1
  print ".TP"
  names = trim(substr($0, 3, 32))
  n = split(names, words, ", ")
  out = ""
  for (i = 1; i <= n; i++) {
    w = words[i]; arg = ""
    if (index(w, " ")) { arg = substr(w, index(w, " ") + 1); w = substr(w, 1, index(w, " ") - 1) }
    out = out (i > 1 ? ", " : "") "\\fB" esc(w) "\\fR" (arg != "" ? " \\fI" esc(arg) "\\fR" : "")
  }
  print out
  print esc(trim(substr($0, 35)))
  next
}
inopts && substr($0, 1, 34) ~ /^ +$/ { print esc(trim($0)); next }
{
  if (inopts) print ".PP"
  inopts = 0
  print esc($0)
}
'

cat <<'TAIL'
.SH EXIT STATUS
0 when the command did its work; 1 when some input could not be read or an output
could not be written; 2 when the command line is wrong or the command cannot start.
.SH EXAMPLES
.nf
tessary\-cli concord \-\-width 30 lord corpus
tessary\-cli concord \-\-count \-\-mode prefix 'bak*' corpus
tessary\-cli concord \-\-codepage 866 \-\-mode any мельни ru.cp866.txt
tessary\-cli collocates \-\-order frequency mill corpus
tessary\-cli html \-\-file\-reference lord corpus \-o lord.htm
tessary\-cli db create lord.sqlite lord corpus
tessary\-cli words \-\-order frequency corpus | head
tessary\-cli convert \-\-codepage 866 \-\-to utf8 in.txt out.txt
.fi
.SH SEE ALSO
.BR tessary (1)
TAIL
