#pragma once
// How each kind of range of the key-word formatting looks: the program's one palette
// for list windows, whichever command filled them.
#include <QTextCharFormat>

#include "engine/assembly.h"

namespace tessary {

// Byte lists: the keyword bold magenta, the sort collocate underlined black, associated
// words bold (word 1 red, word 2 blue, word 3 orange), sentence keywords bold, italic
// and underlined red. 16-bit lists add italic and underline to the keyword and the
// associated word, and their sentence keywords are magenta. The window's own face and
// size always stay: a keyword in another size would move the columns after it.
QTextCharFormat ListRangeFormat(CFormatRange::Kind kind, bool bUnicodeList);

}  // namespace tessary
