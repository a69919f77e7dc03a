#include "stats/text_classes.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

namespace tessary {

Expected<CTextClasses> CTextClasses::Open(int nCodePage) {
  CTextClasses classes;
  classes.m_nCodePage = nCodePage;
  if (nCodePage == kUtf8CodePage) {
    for (int b = 0; b < 256; ++b) {
      const auto u = static_cast<unsigned char>(b);
      const bool ascii = b < 0x80;
      classes.m_upper[b] = (u >= 'a' && u <= 'z') ? static_cast<unsigned char>(u - 0x20) : u;
      classes.m_alpha[b] = ascii ? ((u | 0x20) >= 'a' && (u | 0x20) <= 'z') : true;
      classes.m_punct[b] = ascii && u > 0x20 && u < 0x7F && !classes.m_alpha[b] && !(u >= '0' && u <= '9');
    }
    return classes;
  }
  auto page = CCodePage::Open(nCodePage);
  if (!page) return Expected<CTextClasses>::Failure(page.Error());
  classes.m_pPage = *page;
  classes.m_bDoubleByte = (*page)->IsDoubleByte();
  for (int b = 0; b < 256; ++b) {
    const auto u = static_cast<unsigned char>(b);
    classes.m_upper[b] = (*page)->Upper(u);
    classes.m_alpha[b] = (*page)->IsAlpha(u);
    // Punctuation as the C runtime has it: any visible character that is not a letter
    // or digit, so '<', '+' and '$' count too.
    const char16_t c = (*page)->ByteToUnicode(u);
    classes.m_punct[b] = c != 0xFFFD && !(*page)->IsLeadByte(u) && u_isgraph(c) && !u_isalnum(c);
    classes.m_lead[b] = (*page)->IsLeadByte(u);
  }
  return classes;
}

void CTextClasses::Fold(std::string_view word, std::string& out) const {
  out.resize(word.size());
  for (std::size_t i = 0; i < word.size(); ++i) {
    const auto b = static_cast<unsigned char>(word[i]);
    if (m_lead[b] && i + 1 < word.size()) {
      out[i] = word[i];
      out[i + 1] = word[i + 1];
      ++i;
    } else {
      out[i] = static_cast<char>(m_upper[b]);
    }
  }
}

std::string CTextClasses::Fold(std::string_view word) const {
  std::string out;
  Fold(word, out);
  return out;
}

int CTextClasses::CompareFolded(std::string_view a, std::string_view b) const {
  const int c = std::string_view(Fold(a)).compare(Fold(b));
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

bool CTextClasses::StartsWithOtherLetter(std::string_view word) const {
  if (word.empty()) return false;
  const auto first = static_cast<unsigned char>(word[0]);
  const unsigned char upper = m_upper[first];
  if (upper >= 'A' && upper <= 'Z') return false;
  if (!IsUtf8()) return m_alpha[first] && !m_lead[first];
  int32_t i = 0;
  UChar32 c = 0;
  U8_NEXT(reinterpret_cast<const uint8_t*>(word.data()), i, static_cast<int32_t>(word.size()), c);
  return c >= 0 && u_isalpha(c);
}

std::string CTextClasses::ToUtf8(std::string_view bytes) const {
  return m_pPage ? m_pPage->ToUtf8(bytes) : std::string(bytes);
}

}  // namespace tessary
