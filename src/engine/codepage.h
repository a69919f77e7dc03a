#pragma once
// A code page: its 256-entry byte tables (upper case, letter classes) and the
// conversions between its byte text and UTF-16, all built with ICU so that
// results never depend on the machine's locale.
#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/expected.h"

struct UConverter;

namespace tessary {

class CCodePage {
 public:
  // nCodePage is a Windows code page number: 1250..1258, 866, 874, 932, 936, 949, 950,
  // 437, 850 and the like. 0 is not a code page here: resolve it with ResolveCodePage first.
  // An unknown number fails with "Code page %d is not available.".
  static Expected<std::shared_ptr<const CCodePage>> Open(int nCodePage);

  int Number() const { return m_nNumber; }
  // True for the double-byte code sets (932, 936, 949, 950): some bytes lead a pair.
  bool IsDoubleByte() const { return m_bDoubleByte; }
  bool IsLeadByte(unsigned char b) const { return m_lead[b]; }

  // Byte tables: the byte's single-byte character, classified by ICU. Lead bytes and
  // undefined bytes are neither letters nor punctuation and upper-case to themselves.
  unsigned char Upper(unsigned char b) const { return m_upper[b]; }
  const std::array<unsigned char, 256>& UpperTable() const { return m_upper; }
  bool IsAlpha(unsigned char b) const { return m_alpha[b]; }
  bool IsPunct(unsigned char b) const { return m_punct[b]; }
  bool IsAlnum(unsigned char b) const { return m_alnum[b]; }
  // UTF-16 unit of a single byte (U+FFFD for lead and undefined bytes).
  char16_t ByteToUnicode(unsigned char b) const { return m_toUnicode[b]; }

  // UTF-16 to bytes; a character the code page lacks becomes its default character '?'.
  std::string FromUnicode(std::u16string_view text) const;
  // Bytes to UTF-16; an undefined byte or broken pair becomes U+FFFD.
  std::u16string ToUnicode(std::string_view bytes) const;
  // Bytes to UTF-8 (through UTF-16).
  std::string ToUtf8(std::string_view bytes) const;
  // UTF-8 to bytes (through UTF-16).
  std::string FromUtf8(std::string_view utf8) const;

 private:
  CCodePage() = default;
  int m_nNumber = 0;
  bool m_bDoubleByte = false;
  std::string m_strIcuName;
  std::array<unsigned char, 256> m_upper{};
  std::array<bool, 256> m_alpha{}, m_punct{}, m_alnum{}, m_lead{};
  std::array<char16_t, 256> m_toUnicode{};
  // Single-byte pages: the byte of every BMP code unit, so a line converts without ICU.
  std::vector<unsigned char> m_fromBmp;
  // Other pages: a configured converter that each conversion clones.
  std::shared_ptr<UConverter> m_pConverter;
  // ICU's IBM PC tables exchange 0x1A, 0x1C and 0x7F; Windows keeps them as ASCII.
  bool m_bControlSwap = false;
};

// The program's code-page choice: 0 means the ANSI code page (settable, 1252 by default).
inline int ResolveCodePage(int nCodePage, int nAnsiCodePage) {
  return nCodePage == 0 ? nAnsiCodePage : nCodePage;
}

// UTF-8 <-> UTF-16 without a code page (ill-formed input becomes U+FFFD).
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace tessary
