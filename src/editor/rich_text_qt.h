#pragma once
// Between the core's rich text (what the RTF reader and writer handle) and the
// editor's QTextDocument.
#include <QTextCharFormat>

#include "richtext/rich_text.h"

class QTextDocument;

namespace tessary {
class CListLines;
}

namespace tessary {

// Replaces the document's content; one edit block, so a long text formats quickly.
void RichTextToDocument(const CRichText& text, QTextDocument& document);
// Every run carries a face and a size: text without its own takes the document's
// default font, so a saved file looks the same when read back elsewhere.
CRichText DocumentToRichText(const QTextDocument& document);
// The same for a list window whose lines are not in a document: one unformatted
// paragraph per line and the empty one after the last line feed.
CRichText LinesToRichText(const CListLines& lines, const QFont& defaultFont);

QTextCharFormat ToQtFormat(const CCharFormat& format);
CCharFormat FromQtFormat(const QTextCharFormat& format, const QFont& defaultFont);

// True when some text differs from the document's default font (face, size, weight,
// slant, underline, colour) or a paragraph has alignment, indents or a bullet: what a
// save as plain text would lose.
bool HasFormatting(const QTextDocument& document);

// Twips per document pixel: the editor lays text out at 96 dots per inch.
constexpr int kTwipsPerPixel = 15;

}  // namespace tessary
