#pragma once
// The Unicode text writer: a byte-order mark, then 16-bit text in UTF-8 or UTF-16,
// through a 1024-byte buffer. Every write is checked; a failure is "File error".
#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "engine/codepage.h"
#include "engine/expected.h"
#include "export/encodings.h"

namespace tessary {

inline constexpr const char* kFileError = "File error";

class CUnicodeWriter {
 public:
  static constexpr std::size_t kBufferSize = 1024;

  // Creates the file (an existing one is emptied) and writes the encoding's mark.
  // kEncodingNone writes byte text in nAnsiCodePage without a mark.
  static Expected<std::unique_ptr<CUnicodeWriter>> Create(const std::string& path, int nEncoding,
                                                          int nAnsiCodePage = 1252);
  ~CUnicodeWriter();
  CUnicodeWriter(const CUnicodeWriter&) = delete;
  CUnicodeWriter& operator=(const CUnicodeWriter&) = delete;

  // Line ends are written as they come. A surrogate pair may be split across calls.
  // False once a write has failed; later calls then write nothing.
  bool Write(std::u16string_view text);
  // Flushes and closes; the bytes written in all, or "File error".
  Expected<std::uint64_t> Close();

  int Encoding() const { return m_nEncoding; }

 private:
  CUnicodeWriter() = default;
  void Put(const char* data, std::size_t size);
  void PutByte(unsigned char b) { Put(reinterpret_cast<const char*>(&b), 1); }
  void Flush();
  void EncodeUnit(char16_t unit);
  void EncodeCodePoint(char32_t c);

  std::FILE* m_pFile = nullptr;
  int m_nEncoding = kEncodingUtf8;
  std::shared_ptr<const CCodePage> m_pAnsi;  // byte text only
  std::array<char, kBufferSize> m_buffer{};
  std::size_t m_nBuffered = 0;
  std::uint64_t m_nWritten = 0;
  char16_t m_highSurrogate = 0;  // a high surrogate waiting for its partner
  bool m_bFailed = false;
};

// The file of "Save As Unicode" and "Ansi to Unicode": the text with its mark in one
// of the three Unicode encodings. Without one (kEncodingNone) nothing is written and
// the command fails, rather than claiming a Unicode file that does not exist.
Expected<std::uint64_t> SaveAsUnicode(const std::string& path, std::u16string_view text, int nEncoding);
// "The text has been saved as Unicode %s in file %s.", naming the encoding written.
std::string SavedAsUnicodeMessage(int nEncoding, const std::string& path);

}  // namespace tessary
