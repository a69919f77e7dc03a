#pragma once
// "Save as HTML": the lines of a concordance list window as a web page, each keyword
// highlighted where the window's own formatting puts it, the lines in a fixed-pitch
// block. Made from the window's text as the editor holds it, so it serves any list.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/expected.h"

namespace tessary {

inline constexpr const char* kNotConcordanceWindow = "This window is not formatted for concordances.";

// What the page needs of the list window's record.
struct CHtmlListWindow {
  bool m_bConcordance = false;
  std::int64_t m_nWidth = 50;      // context width W
  std::int64_t m_nKeyLength = 0;   // the keyword as matched
  bool m_bLineNumbers = false;     // lines start with a number prefix, measured per line
  bool m_bUnicodeText = false;     // a 16-bit list: columns count UTF-16 units
  // Byte lists: the code page their lines are in (a double-byte set or the ANSI page);
  // W, the key length and key columns count its bytes, as the window's formatting does.
  int m_nCodePage = 1252;
  // Sentence lists: per line, the keyword's column, number prefix included. Lines
  // without one take their keyword at W after the prefix.
  std::vector<std::int64_t> m_arrKeyColumns;
};

struct CHtmlPage {
  std::string m_strBytes;
  std::string m_strCharset;  // what the meta line declares: the encoding of the bytes
  std::int64_t m_nLines = 0;
};

// text: the window's text, lines separated by '\n' (a final one ends the last line).
// Byte lists are written in their code page, characters it cannot hold as numeric
// references; 16-bit lists, and code pages browsers know no label for, as UTF-8.
// '&', '<' and '>' of the text are escaped. Fails only for a window that is not a
// concordance list.
Expected<CHtmlPage> ConcordanceHtml(std::u16string_view text, const CHtmlListWindow& window);
// Writes the page to path; "File error" when it cannot be created or written (no
// partial page is left behind). Returns the page that was written.
Expected<CHtmlPage> WriteConcordanceHtml(const std::string& path, std::u16string_view text,
                                         const CHtmlListWindow& window);

}  // namespace tessary
