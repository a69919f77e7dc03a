#pragma once
// Reading and writing RTF: what this program writes, and what older Windows word
// processors and current office suites write (font and colour tables, bold, italic,
// underline, sizes, paragraphs, \uN and \'hh escapes in the fonts' code pages).
// Destinations the reader does not know are skipped whole. A list item's marker
// becomes the paragraph's bullet mark, \line a U+2028, and a table row one paragraph
// with its cells separated by tabs.
#include <string>
#include <string_view>

#include "engine/expected.h"
#include "richtext/rich_text.h"

namespace tessary {

// nAnsiCodePage decodes \'hh and 8-bit text where neither \ansicpgN nor a font
// charset says otherwise. Fails with "This is not an RTF document." when the text
// does not start with "{\rtf".
Expected<CRichText> ReadRtf(std::string_view rtf, int nAnsiCodePage = 1252);

// RTF that ReadRtf and other word processors read back with the same formats:
// \ansi\ansicpgN with N = nAnsiCodePage, a font and a colour table, and every
// character outside ASCII as \uN with a '?' fallback.
std::string WriteRtf(const CRichText& text, int nAnsiCodePage = 1252);

}  // namespace tessary
