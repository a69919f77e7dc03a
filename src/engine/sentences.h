#pragma once
// Sentence concordances: each match is shown as the whole sentence around it, one
// sentence per line, instead of a fixed-width line. A sentence reaches back to the
// nearest '.', '?' or '!' (513 characters at most) and forward to the first one after
// the keyword (256 characters at most).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/codepage.h"

namespace tessary {

inline constexpr std::size_t kSentenceBack = 513;
inline constexpr std::size_t kSentenceForward = 256;

// A sentence as the text range [m_nStart, m_nEnd).
struct CSentenceBounds {
  std::size_t m_nStart = 0;
  std::size_t m_nEnd = 0;
};

// The sentence of a match at offset with keyLength characters. None when the match
// does not start a word as a sentence sees it: the character before it must be a
// line end, a space, a double quote, an apostrophe or an opening parenthesis.
// The start is the first letter after the nearest terminator (or after the text's
// start, or 513 characters back), one character earlier when punctuation stands
// before that letter, and never after the keyword. Letters and punctuation are the
// code page's (ICU's for 16-bit text); punctuation is any visible non-alphanumeric
// character.
std::optional<CSentenceBounds> FindSentence(std::string_view text, std::size_t offset, std::size_t keyLength,
                                            const CCodePage& cp);
std::optional<CSentenceBounds> FindSentence(std::u16string_view text, std::size_t offset,
                                            std::size_t keyLength);

// Where the parts of one sentence line stand, counted from the line's start.
struct CSentenceLine {
  std::int64_t m_nPrefix = 0;     // the "%-6d " number prefix, 0 without numbering
  std::int64_t m_nBody = 0;       // the sentence
  std::int64_t m_nPath = 0;       // the path of the file reference, 0 without one
  std::int64_t m_nLength = 0;     // the whole line with its line feed
  std::int64_t m_nKeyOffset = 0;  // the keyword's column, number prefix included
};

// Appends one window line: the sentence with line ends turned into spaces, numbered
// with nNumber when bLineNumbers is set, followed by " (path)" when bFileReference is
// set, and a line feed. Sentence lines are numbered here, once: the list adds no
// number of its own. 16-bit lines take the path as UTF-8.
CSentenceLine AppendSentenceLine(std::string& out, std::string_view text, CSentenceBounds bounds,
                                 std::size_t offset, std::int64_t nNumber, std::string_view path,
                                 bool bLineNumbers, bool bFileReference);
CSentenceLine AppendSentenceLine(std::u16string& out, std::u16string_view text, CSentenceBounds bounds,
                                 std::size_t offset, std::int64_t nNumber, std::string_view path,
                                 bool bLineNumbers, bool bFileReference);

}  // namespace tessary
