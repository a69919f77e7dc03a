#include "engine/associated_words.h"

#include <unicode/uchar.h>
#include <unicode/utf16.h>

#include <algorithm>

#include "engine/match.h"

namespace tessary {

namespace {

template <class CharT>
void Blank(std::span<CharT> line, std::int64_t width, std::int64_t keyLength) {
  const auto size = static_cast<std::int64_t>(line.size());
  const CharT space(' ');
  const std::int64_t leftEnd = std::clamp<std::int64_t>(width, 0, size);
  for (std::int64_t p = 0; p < leftEnd && line[static_cast<std::size_t>(p)] != space; ++p)
    line[static_cast<std::size_t>(p)] = space;
  const std::int64_t rightBegin = std::clamp<std::int64_t>(width + keyLength, 0, size);
  for (std::int64_t p = size - 1; p >= rightBegin && line[static_cast<std::size_t>(p)] != space; --p)
    line[static_cast<std::size_t>(p)] = space;
}

}  // namespace

void BlankPartialWords(std::span<char> line, std::int64_t width, std::int64_t keyLength) {
  Blank(line, width, keyLength);
}

void BlankPartialWords(std::span<char16_t> line, std::int64_t width, std::int64_t keyLength) {
  Blank(line, width, keyLength);
}

template <class CharT>
CAssociatedWordsT<CharT>::CAssociatedWordsT(std::vector<std::basic_string<CharT>> words, AssocZone zone,
                                            bool bDoubleByte, const CCodePage* cp)
    : m_arrWords(std::move(words)), m_zone(zone), m_bDoubleByte(bDoubleByte), m_pCp(cp) {
  if (m_arrWords.size() > kMaxAssocWords) m_arrWords.resize(kMaxAssocWords);
  for (auto& word : m_arrWords) {
    std::vector<char> wild(word.size(), 0);
    for (std::size_t q = 0; q < word.size(); ++q) {
      if constexpr (sizeof(CharT) == 1) wild[q] = !m_bDoubleByte && word[q] == '%';
      word[q] = Fold(word[q]);
    }
    m_arrWild.push_back(std::move(wild));
  }
}

template <class CharT>
CharT CAssociatedWordsT<CharT>::Fold(CharT c) const {
  if (m_bDoubleByte) return c;
  if constexpr (sizeof(CharT) == 1)
    return static_cast<CharT>(m_pCp->Upper(static_cast<unsigned char>(c)));
  else
    return WideUpper(c);
}

template <class CharT>
bool CAssociatedWordsT<CharT>::IsLetter(std::basic_string_view<CharT> line, std::size_t i) const {
  if constexpr (sizeof(CharT) == 1) {
    return m_pCp->IsAlpha(static_cast<unsigned char>(line[i]));
  } else {
    // By code point, so both halves of a surrogate pair classify as their character.
    UChar32 c;
    U16_GET(line.data(), 0, i, line.size(), c);
    return u_isalpha(c);
  }
}

template <class CharT>
bool CAssociatedWordsT<CharT>::MatchAt(std::basic_string_view<CharT> line, std::size_t j, std::size_t k) const {
  const std::basic_string<CharT>& word = m_arrWords[k];
  const std::vector<char>& wild = m_arrWild[k];
  const std::size_t m = word.size();
  if (m == 0 || j + m > line.size()) return false;
  for (std::size_t q = 0; q < m; ++q)
    if (!wild[q] && Fold(line[j + q]) != word[q]) return false;
  if (j > 0 && IsLetter(line, j - 1)) return false;
  return j + m >= line.size() || !IsLetter(line, j + m);
}

template <class CharT>
std::int64_t CAssociatedWordsT<CharT>::Find(std::basic_string_view<CharT> line, std::size_t k,
                                            std::int64_t width, std::int64_t keyLength) const {
  const auto size = static_cast<std::int64_t>(line.size());
  std::int64_t from = 0, to = size;  // start columns [from, to)
  if (m_zone == AssocZone::kLeft) to = std::min(width, size);
  else if (m_zone == AssocZone::kRight) from = std::max<std::int64_t>(0, width + keyLength);
  for (std::int64_t j = from; j < to; ++j)
    if (MatchAt(line, static_cast<std::size_t>(j), k)) return j;
  return -1;
}

template <class CharT>
bool CAssociatedWordsT<CharT>::Apply(std::span<CharT> line, std::int64_t width, std::int64_t keyLength,
                                     std::int64_t* columns) const {
  BlankPartialWords(line, width, keyLength);
  const std::basic_string_view<CharT> view(line.data(), line.size());
  for (std::size_t k = 0; k < m_arrWords.size(); ++k) {
    columns[k] = Find(view, k, width, keyLength);
    if (columns[k] < 0) return false;
  }
  return true;
}

template class CAssociatedWordsT<char>;
template class CAssociatedWordsT<char16_t>;

}  // namespace tessary
