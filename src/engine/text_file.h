#pragma once
// Reading the texts of a search from files.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/codepage.h"
#include "engine/expected.h"

namespace tessary {

// A file's bytes as the byte search reads them, in text mode: each CR LF pair is one
// line feed and a Ctrl-Z byte ends the text. Files are read, never mapped: a mapped file
// that another program cuts short kills the process on the next read of a lost page.
class CTextFile {
 public:
  // Fails with "Cannot open %s: %s." or "Cannot read %s: %s." (path and the system's
  // reason); anything but a regular file fails with a message saying what it is. A file
  // that changes while it is read gives the bytes read before that, and Problem() says so.
  static Expected<std::unique_ptr<CTextFile>> Open(const std::string& path);
  // Standard input (read whole).
  static Expected<std::unique_ptr<CTextFile>> FromStream(int fd, const std::string& name);
  ~CTextFile();
  CTextFile(const CTextFile&) = delete;
  CTextFile& operator=(const CTextFile&) = delete;

  // The text in text mode.
  std::string_view Text();
  // The bytes up to the first Ctrl-Z, CR LF pairs unchanged: searching these finds the
  // same matches as Text() for a key that cannot match a control character.
  std::string_view RawText();
  // Every byte of the file, Ctrl-Z and all.
  std::string_view Bytes() const { return m_bytes; }
  // Why the file could not be read to its end, or empty.
  const std::string& Problem() const { return m_strProblem; }

 private:
  CTextFile() = default;
  std::string m_strOwned;      // the bytes read
  std::string m_strConverted;  // the text, when CR LF pairs made it differ
  std::string m_strProblem;
  std::string_view m_bytes;    // the whole file
  std::string_view m_raw;      // up to the first Ctrl-Z, once asked for
  bool m_bRaw = false;
  std::string_view m_text;     // converted, once asked for
  bool m_bConverted = false;
};

// Text mode applied to a byte buffer: CR LF becomes LF, and the text ends at the
// first Ctrl-Z. Returns the new length.
std::size_t ApplyTextMode(char* data, std::size_t size);

// The text of a file as the editor loads it for a 16-bit search: a byte-order mark
// (UTF-8, UTF-16 LE or BE) decides; else valid UTF-8 is taken as UTF-8; else the
// bytes are in the ANSI code page. Paragraph ends (CR LF, CR, LF) become one LF.
// Without bTryUtf8 (a code page the user chose for the file) only a mark overrides it.
std::u16string DecodeForEditor(std::string_view bytes, const CCodePage& ansi, bool bTryUtf8 = true);

// The line end of a file's first line, so a save can write the ones it was read with:
// "\r\n", "\r" or "\n", or "" when it has none. A UTF-16 text (by its byte-order
// mark) is read by 16-bit units; every other encoding has the ASCII line ends.
std::string_view FirstLineEnd(std::string_view bytes);

// Well-formed UTF-8: no overlong forms, surrogates or code points above U+10FFFF.
bool IsValidUtf8(std::string_view bytes);

}  // namespace tessary
