#include "export/unicode_writer.h"

#include <algorithm>
#include <cstring>

namespace tessary {

namespace {

bool IsHigh(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLow(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

constexpr char32_t kReplacement = 0xFFFD;

}  // namespace

Expected<std::unique_ptr<CUnicodeWriter>> CUnicodeWriter::Create(const std::string& path, int nEncoding,
                                                                  int nAnsiCodePage) {
  using Result = Expected<std::unique_ptr<CUnicodeWriter>>;
  std::unique_ptr<CUnicodeWriter> writer(new CUnicodeWriter);
  writer->m_nEncoding = nEncoding;
  if (nEncoding == kEncodingNone) {
    auto cp = CCodePage::Open(nAnsiCodePage);
    if (!cp) return Result::Failure(cp.Error());
    writer->m_pAnsi = *cp;
  } else if (nEncoding != kEncodingUtf8 && nEncoding != kEncodingUtf16LE && nEncoding != kEncodingUtf16BE) {
    return Result::Failure("Unknown encoding " + std::to_string(nEncoding) + ".");
  }
  writer->m_pFile = std::fopen(path.c_str(), "wb");
  if (!writer->m_pFile) return Result::Failure(kFileError);
  // The writer's own buffer is the only one, so a failing write shows at once.
  std::setvbuf(writer->m_pFile, nullptr, _IONBF, 0);
  switch (nEncoding) {
    case kEncodingUtf8: writer->Put("\xEF\xBB\xBF", 3); break;
    case kEncodingUtf16LE: writer->Put("\xFF\xFE", 2); break;
    case kEncodingUtf16BE: writer->Put("\xFE\xFF", 2); break;
    default: break;
  }
  return Result(std::move(writer));
}

CUnicodeWriter::~CUnicodeWriter() {
  if (m_pFile) (void)Close();
}

void CUnicodeWriter::Put(const char* data, std::size_t size) {
  while (size > 0 && !m_bFailed) {
    const std::size_t n = std::min(size, kBufferSize - m_nBuffered);
    std::memcpy(m_buffer.data() + m_nBuffered, data, n);
    m_nBuffered += n;
    data += n;
    size -= n;
    if (m_nBuffered == kBufferSize) Flush();
  }
}

void CUnicodeWriter::Flush() {
  if (m_nBuffered == 0 || m_bFailed) return;
  if (std::fwrite(m_buffer.data(), 1, m_nBuffered, m_pFile) != m_nBuffered) m_bFailed = true;
  else m_nWritten += m_nBuffered;
  m_nBuffered = 0;
}

void CUnicodeWriter::EncodeCodePoint(char32_t c) {
  unsigned char bytes[4];
  std::size_t n = 0;
  if (c < 0x80) {
    bytes[n++] = static_cast<unsigned char>(c);
  } else if (c < 0x800) {
    bytes[n++] = static_cast<unsigned char>(0xC0 | (c >> 6));
    bytes[n++] = static_cast<unsigned char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    bytes[n++] = static_cast<unsigned char>(0xE0 | (c >> 12));
    bytes[n++] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
    bytes[n++] = static_cast<unsigned char>(0x80 | (c & 0x3F));
  } else {
    bytes[n++] = static_cast<unsigned char>(0xF0 | (c >> 18));
    bytes[n++] = static_cast<unsigned char>(0x80 | ((c >> 12) & 0x3F));
    bytes[n++] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
    bytes[n++] = static_cast<unsigned char>(0x80 | (c & 0x3F));
  }
  Put(reinterpret_cast<const char*>(bytes), n);
}

void CUnicodeWriter::EncodeUnit(char16_t unit) {
  switch (m_nEncoding) {
    case kEncodingUtf16LE:
      PutByte(static_cast<unsigned char>(unit & 0xFF));
      PutByte(static_cast<unsigned char>(unit >> 8));
      return;
    case kEncodingUtf16BE:
      PutByte(static_cast<unsigned char>(unit >> 8));
      PutByte(static_cast<unsigned char>(unit & 0xFF));
      return;
    default: break;
  }
  // UTF-8: a pair is one character, and a surrogate alone has no UTF-8 form.
  if (m_highSurrogate) {
    const char16_t high = m_highSurrogate;
    m_highSurrogate = 0;
    if (IsLow(unit)) {
      EncodeCodePoint(0x10000 + ((static_cast<char32_t>(high) - 0xD800) << 10) + (unit - 0xDC00));
      return;
    }
    EncodeCodePoint(kReplacement);
  }
  if (IsHigh(unit)) m_highSurrogate = unit;
  else EncodeCodePoint(IsLow(unit) ? kReplacement : unit);
}

bool CUnicodeWriter::Write(std::u16string_view text) {
  if (!m_pFile || m_bFailed) return false;
  if (m_nEncoding == kEncodingNone) {
    // Byte text: convert whole characters, keeping a trailing high surrogate back.
    std::u16string chunk;
    if (m_highSurrogate) chunk.push_back(m_highSurrogate);
    chunk.append(text);
    m_highSurrogate = 0;
    if (!chunk.empty() && IsHigh(chunk.back())) {
      m_highSurrogate = chunk.back();
      chunk.pop_back();
    }
    const std::string bytes = m_pAnsi->FromUnicode(chunk);
    Put(bytes.data(), bytes.size());
  } else {
    for (char16_t unit : text) EncodeUnit(unit);
  }
  return !m_bFailed;
}

Expected<std::uint64_t> CUnicodeWriter::Close() {
  using Result = Expected<std::uint64_t>;
  if (!m_pFile) return Result::Failure(kFileError);
  if (m_highSurrogate && !m_bFailed) {
    const char16_t lone = m_highSurrogate;
    m_highSurrogate = 0;
    if (m_nEncoding == kEncodingNone) {
      const std::string bytes = m_pAnsi->FromUnicode(std::u16string_view(&lone, 1));
      Put(bytes.data(), bytes.size());
    } else {
      EncodeCodePoint(kReplacement);
    }
  }
  Flush();
  if (std::fclose(m_pFile) != 0) m_bFailed = true;
  m_pFile = nullptr;
  if (m_bFailed) return Result::Failure(kFileError);
  return m_nWritten;
}

Expected<std::uint64_t> SaveAsUnicode(const std::string& path, std::u16string_view text, int nEncoding) {
  using Result = Expected<std::uint64_t>;
  if (nEncoding != kEncodingUtf8 && nEncoding != kEncodingUtf16LE && nEncoding != kEncodingUtf16BE)
    return Result::Failure("No Unicode encoding was selected.");
  auto writer = CUnicodeWriter::Create(path, nEncoding);
  if (!writer) return Result::Failure(writer.Error());
  (*writer)->Write(text);
  return (*writer)->Close();
}

std::string SavedAsUnicodeMessage(int nEncoding, const std::string& path) {
  return "The text has been saved as Unicode " + EncodingDescription(nEncoding) + " in file " + path + ".";
}

}  // namespace tessary
