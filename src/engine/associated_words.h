#pragma once
// Associated-word filtering of concordance lines: a built line is kept only when
// each associated word also stands in it, as a whole word, in the chosen zone around
// the node word. The words cut off at the line's ends are blanked first, so a word
// cut in two is never taken for another.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/codepage.h"

namespace tessary {

// Where an associated word may start: anywhere in the line, in the left context
// only (columns 0 to W - 1), or after the node word (from column W + n on).
enum class AssocZone { kAnywhere, kLeft, kRight };

inline constexpr std::size_t kMaxAssocWords = 3;

// Blanks the partial word at each end of a built line (W = width, n = keyLength):
// from the start up to the first space, and from the end back to the last space.
// Only the contexts are touched, columns before W and from W + n on, so a line
// without spaces keeps its node word.
void BlankPartialWords(std::span<char> line, std::int64_t width, std::int64_t keyLength);
void BlankPartialWords(std::span<char16_t> line, std::int64_t width, std::int64_t keyLength);

// Up to three associated words and the zone they must stand in. Words compare as
// the node word does (case-insensitively, a '%' for any one character in byte text;
// exactly in double-byte text) and must not touch a letter on either side, letters
// being alphabetic characters of the code page (ICU's for 16-bit text), whatever
// the node word's match mode.
template <class CharT>
class CAssociatedWordsT {
 public:
  // cp classifies and upper-cases byte text; 16-bit text needs none (pass null).
  CAssociatedWordsT(std::vector<std::basic_string<CharT>> words, AssocZone zone, bool bDoubleByte,
                    const CCodePage* cp);

  std::size_t Count() const { return m_arrWords.size(); }
  std::int64_t Length(std::size_t k) const { return static_cast<std::int64_t>(m_arrWords[k].size()); }

  // The leftmost column of the zone where word k stands in line, or -1.
  std::int64_t Find(std::basic_string_view<CharT> line, std::size_t k, std::int64_t width,
                    std::int64_t keyLength) const;
  // Blanks the line's ends, then looks for every word, each on its own and leftmost.
  // True when all were found; columns[k] is then word k's column in the line.
  bool Apply(std::span<CharT> line, std::int64_t width, std::int64_t keyLength, std::int64_t* columns) const;

 private:
  bool MatchAt(std::basic_string_view<CharT> line, std::size_t j, std::size_t k) const;
  bool IsLetter(std::basic_string_view<CharT> line, std::size_t i) const;
  CharT Fold(CharT c) const;

  std::vector<std::basic_string<CharT>> m_arrWords;  // folded unless double-byte
  std::vector<std::vector<char>> m_arrWild;           // 1 at '%' positions (byte text only)
  AssocZone m_zone;
  bool m_bDoubleByte;
  const CCodePage* m_pCp;
};

using CAssociatedWords = CAssociatedWordsT<char>;
using CWideAssociatedWords = CAssociatedWordsT<char16_t>;

}  // namespace tessary
