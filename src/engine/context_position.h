#pragma once
// Context look-up: where the keyword of a list line stands in the text the editor shows
// for the line's source. A search counts positions in the text it read: bytes in the
// text code page for a byte search (files in text mode, open documents converted from
// their text), UTF-16 units for a 16-bit search. The editor counts UTF-16 units, one
// per line end.
#include <cstdint>
#include <optional>
#include <string_view>

#include "engine/codepage.h"
#include "engine/concordance_list.h"

namespace tessary {

struct CEditorRange {
  std::int64_t m_nStart = 0;
  std::int64_t m_nLength = 0;
  bool operator==(const CEditorRange&) const = default;
};

// A byte search's range in a file read in text mode (CR LF one byte, the text ends at
// the first Ctrl-Z), as a range of the file decoded the way the editor loads it
// (DecodeForEditor with ansi). Nothing when the range lies outside the text.
std::optional<CEditorRange> FileRangeToEditor(std::string_view fileBytes, std::int64_t position,
                                              std::int64_t length, const CCodePage& ansi);

// A byte search's range in text converted to textCp, as a range of text itself.
std::optional<CEditorRange> TextRangeToEditor(std::u16string_view text, std::int64_t position, std::int64_t length,
                                              const CCodePage& textCp);

// Whether text still holds the list's keyword at range, as the list's search matched
// it: the same match test (case, wildcard, word boundaries) on the text as it is now.
bool KeywordStandsAt(std::u16string_view text, const CEditorRange& range, const CConcordanceList& list,
                     const CCodePage& textCp);

// The range to select for entry in editorText, the text the editor now shows for the
// entry's source; nothing when the keyword is no longer there (the source changed).
// fileBytes: the source file as it is now, read only for byte lists made from files.
// textCp: the list's text code page; ansi: the code page the editor decodes files in.
std::optional<CEditorRange> LocateContext(const CConcordanceList& list, const CListEntry& entry,
                                          std::u16string_view editorText, std::string_view fileBytes,
                                          const CCodePage& ansi, const CCodePage& textCp);

}  // namespace tessary
