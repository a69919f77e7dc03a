#pragma once
// The byte classes that the word statistics read: letters, punctuation (any visible
// character but letters and digits, as the C runtime has it), upper case and lead bytes
// of the encoding a byte text is in. That is a code page, or UTF-8, where
// every byte from 0x80 up belongs to a character that is taken as a letter and only
// ASCII changes case.
#include <array>
#include <memory>
#include <string>
#include <string_view>

#include "engine/codepage.h"
#include "engine/expected.h"

namespace tessary {

inline constexpr int kUtf8CodePage = 65001;

class CTextClasses {
 public:
  // A code page number as CCodePage::Open takes it, or kUtf8CodePage.
  static Expected<CTextClasses> Open(int nCodePage);

  int CodePage() const { return m_nCodePage; }
  bool IsUtf8() const { return m_nCodePage == kUtf8CodePage; }
  bool IsDoubleByte() const { return m_bDoubleByte; }
  bool IsLeadByte(unsigned char b) const { return m_lead[b]; }
  bool IsAlpha(unsigned char b) const { return m_alpha[b]; }
  bool IsPunct(unsigned char b) const { return m_punct[b]; }
  bool IsAlnum(unsigned char b) const { return m_alpha[b] || (b >= '0' && b <= '9'); }
  unsigned char Upper(unsigned char b) const { return m_upper[b]; }
  const std::array<unsigned char, 256>& UpperTable() const { return m_upper; }

  // The word as case-insensitive look-ups compare it: single bytes upper-cased, the
  // trail byte of a double-byte character kept as it is.
  void Fold(std::string_view word, std::string& out) const;
  std::string Fold(std::string_view word) const;
  // <0, 0, >0 by the folded words' bytes, as the C runtime compares.
  int CompareFolded(std::string_view a, std::string_view b) const;

  // True when the first character of a word is a letter outside A..Z (a code-page
  // letter such as 0xC4, or a UTF-8 letter).
  bool StartsWithOtherLetter(std::string_view word) const;

  // Bytes of this encoding as UTF-8 (unchanged for UTF-8).
  std::string ToUtf8(std::string_view bytes) const;
  // The code page, or null for UTF-8.
  const CCodePage* Page() const { return m_pPage.get(); }

 private:
  CTextClasses() = default;
  int m_nCodePage = 0;
  bool m_bDoubleByte = false;
  std::shared_ptr<const CCodePage> m_pPage;
  std::array<unsigned char, 256> m_upper{};
  std::array<bool, 256> m_alpha{}, m_punct{}, m_lead{};
};

}  // namespace tessary
