#include "engine/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "engine/file_reader.h"

namespace tessary {

namespace {

std::string Reason(int error) { return std::strerror(error); }

bool ReadAll(int fd, std::string& out) {
  char buffer[1 << 16];
  for (;;) {
    ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) return true;
    out.append(buffer, static_cast<std::size_t>(got));
  }
}

std::string_view UpToCtrlZ(const char* data, std::size_t size) {
  const void* z = size ? std::memchr(data, 0x1A, size) : nullptr;
  return std::string_view(data, z ? static_cast<std::size_t>(static_cast<const char*>(z) - data) : size);
}

}  // namespace

std::size_t ApplyTextMode(char* data, std::size_t size) {
  size = UpToCtrlZ(data, size).size();
  char* cr = size ? static_cast<char*>(std::memchr(data, '\r', size)) : nullptr;
  if (!cr) return size;
  char* out = cr;
  const char* in = cr;
  const char* end = data + size;
  while (in < end) {
    const char* next = static_cast<const char*>(std::memchr(in + 1, '\r', static_cast<std::size_t>(end - in - 1)));
    const char* stop = next ? next : end;
    // in points at a CR: drop it when a LF follows.
    if (in + 1 < end && in[1] == '\n') ++in;
    const std::size_t run = static_cast<std::size_t>(stop - in);
    std::memmove(out, in, run);
    out += run;
    in = stop;
  }
  return static_cast<std::size_t>(out - data);
}

Expected<std::unique_ptr<CTextFile>> CTextFile::Open(const std::string& path) {
  using Result = Expected<std::unique_ptr<CTextFile>>;
  auto fd = OpenRegularFile(path);
  if (!fd) return Result::Failure(fd.Error());
  std::unique_ptr<CTextFile> file(new CTextFile);
  CFileReader reader(*fd, path);
  file->m_strOwned.resize(static_cast<std::size_t>(reader.Size()));
  std::size_t got = 0;
  while (got < file->m_strOwned.size()) {
    const std::size_t n = reader.Read(file->m_strOwned.data() + got, file->m_strOwned.size() - got);
    if (n == 0) break;
    got += n;
  }
  file->m_strOwned.resize(got);
  // One more read notices a file that grew, was rewritten or removed meanwhile.
  char extra;
  reader.Read(&extra, 1);
  ::close(*fd);
  file->m_strProblem = reader.Problem();
  file->m_bytes = file->m_strOwned;
  return Result(std::move(file));
}

Expected<std::unique_ptr<CTextFile>> CTextFile::FromStream(int fd, const std::string& name) {
  using Result = Expected<std::unique_ptr<CTextFile>>;
  std::unique_ptr<CTextFile> file(new CTextFile);
  if (!ReadAll(fd, file->m_strOwned)) return Result::Failure("Cannot read " + name + ": " + Reason(errno) + ".");
  file->m_bytes = file->m_strOwned;
  return Result(std::move(file));
}

CTextFile::~CTextFile() = default;

std::string_view CTextFile::RawText() {
  if (!m_bRaw) m_raw = UpToCtrlZ(m_bytes.data(), m_bytes.size());
  m_bRaw = true;
  return m_raw;
}

std::string_view CTextFile::Text() {
  if (m_bConverted) return m_text;
  m_bConverted = true;
  RawText();
  if (!std::memchr(m_raw.data(), '\r', m_raw.size())) {
    m_text = m_raw;
    return m_text;
  }
  m_strConverted.assign(m_raw);
  m_strConverted.resize(ApplyTextMode(m_strConverted.data(), m_strConverted.size()));
  m_text = m_strConverted;
  return m_text;
}

namespace {

std::u16string DecodeUtf16(std::string_view bytes, bool bigEndian) {
  std::u16string out(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < out.size(); ++i) {
    const auto hi = static_cast<unsigned char>(bytes[2 * i + (bigEndian ? 0 : 1)]);
    const auto lo = static_cast<unsigned char>(bytes[2 * i + (bigEndian ? 1 : 0)]);
    out[i] = static_cast<char16_t>(hi << 8 | lo);
  }
  if (bytes.size() % 2) out.push_back(u'\uFFFD');
  return out;
}


std::u16string OneLineFeedPerParagraph(std::u16string text) {
  std::size_t out = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c == u'\r') {
      if (i + 1 < text.size() && text[i + 1] == u'\n') ++i;
      c = u'\n';
    }
    text[out++] = c;
  }
  text.resize(out);
  return text;
}

}  // namespace

std::string_view FirstLineEnd(std::string_view bytes) {
  const bool bUtf16 = bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF";
  const bool bBigEndian = bytes.substr(0, 2) == "\xFE\xFF";
  const std::size_t step = bUtf16 ? 2 : 1;
  auto unit = [&](std::size_t i) -> int {
    if (!bUtf16) return static_cast<unsigned char>(bytes[i]);
    const auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
    return bBigEndian ? a << 8 | b : b << 8 | a;
  };
  for (std::size_t i = bUtf16 ? 2 : 0; i + step <= bytes.size(); i += step) {
    const int c = unit(i);
    if (c == '\n') return "\n";
    if (c == '\r') return i + 2 * step <= bytes.size() && unit(i + step) == '\n' ? "\r\n" : "\r";
  }
  return {};
}

bool IsValidUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    std::size_t n = 0;
    if (c >= 0xC2 && c <= 0xDF) n = 1;
    else if (c >= 0xE0 && c <= 0xEF) n = 2;
    else if (c >= 0xF0 && c <= 0xF4) n = 3;
    else return false;
    if (n >= s.size() - i) return false;
    const auto c1 = static_cast<unsigned char>(s[i + 1]);
    // Overlong forms, surrogates and code points above U+10FFFF.
    if ((c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 > 0x9F) || (c == 0xF0 && c1 < 0x90) ||
        (c == 0xF4 && c1 > 0x8F))
      return false;
    for (std::size_t k = 1; k <= n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += n + 1;
  }
  return true;
}

std::u16string DecodeForEditor(std::string_view bytes, const CCodePage& ansi, bool bTryUtf8) {
  std::u16string text;
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") text = Utf8ToUtf16(bytes.substr(3));
  else if (bytes.substr(0, 2) == "\xFF\xFE") text = DecodeUtf16(bytes.substr(2), false);
  else if (bytes.substr(0, 2) == "\xFE\xFF") text = DecodeUtf16(bytes.substr(2), true);
  else if (bTryUtf8 && IsValidUtf8(bytes)) text = Utf8ToUtf16(bytes);
  else text = ansi.ToUnicode(bytes);
  return OneLineFeedPerParagraph(std::move(text));
}

}  // namespace tessary
