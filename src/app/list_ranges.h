#pragma once
// The key-word formatting ranges of a list window's lines, found from the text and
// the list: the keyword at the list's width after the line's own number prefix, and
// the collocate a sort used. A sort's new window and the "Concordance String"
// command format the same way.
#include <QString>
#include <QStringView>
#include <cstdint>
#include <vector>

#include "engine/assembly.h"
#include "engine/codepage.h"
#include "engine/concordance_list.h"

namespace tessary {

// Appends the ranges of one line (without its line feed) that starts at character
// start of the window; entry is the line's record or null. cp: the list's code page
// (double-byte lists count columns through it), null for 16-bit lists.
void AppendLineRanges(const CConcordanceList& list, const CListEntry* entry, QStringView line, std::int64_t start,
                      const CCodePage* cp, std::vector<CRenderedRange>& out);

// The ranges of every line of a window's text (lines end in '\n'). Sentence lists
// have their keyword at no fixed column and get none.
std::vector<CRenderedRange> WindowRanges(const CConcordanceList& list, const QString& text, const CCodePage* cp);

}  // namespace tessary
