#include "bigfile/line_file.h"
#include "engine/file_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unicode/uchar.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <deque>
#include <utility>

namespace tessary {

namespace {

constexpr std::int64_t kBufferSize = 1 << 16;
// How far a move up looks back at most for the start of a line that it must count
// display lines from; past that it counts them from wherever the window starts.
constexpr std::int64_t kMaxLookBack = 4 << 20;

}  // namespace

Expected<std::unique_ptr<CLineFile>> CLineFile::Open(const std::string& path) {
  using Result = Expected<std::unique_ptr<CLineFile>>;
  auto failure = [&](int error) {
    char text[64];
    std::snprintf(text, sizeof text, " returned a 0x%lx.", static_cast<unsigned long>(error));
    return Result::Failure("Opening " + path + text);
  };
  // Anything but a regular file (a device, a FIFO) has no length to page through.
  if (std::string problem = RegularFileProblem(path); !problem.empty()) return Result::Failure(problem);
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return failure(errno);
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const int error = S_ISDIR(st.st_mode) ? EISDIR : S_ISREG(st.st_mode) ? errno : EINVAL;
    ::close(fd);
    return failure(error);
  }
  std::unique_ptr<CLineFile> file(new CLineFile);
  file->m_fd = fd;
  file->m_nLength = st.st_size;
  file->m_buffer.resize(kBufferSize);
  return Result(std::move(file));
}

CLineFile::~CLineFile() {
  if (m_fd >= 0) ::close(m_fd);
}

bool CLineFile::Seek(std::int64_t position) {
  if (position < 0) return false;
  m_nPosition = position;
  return true;
}

bool CLineFile::Fill() {
  if (m_nPosition >= m_nBufferStart && m_nPosition < m_nBufferStart + m_nBufferSize) return true;
  ssize_t got;
  do got = ::pread(m_fd, m_buffer.data(), m_buffer.size(), m_nPosition);
  while (got < 0 && errno == EINTR);
  // A read error reads as the end of the file: the page shows what could be read.
  m_nBufferStart = m_nPosition;
  m_nBufferSize = got > 0 ? got : 0;
  return m_nBufferSize > 0;
}

int CLineFile::Peek() {
  if (!Fill()) return -1;
  return static_cast<unsigned char>(m_buffer[static_cast<std::size_t>(m_nPosition - m_nBufferStart)]);
}

int CLineFile::Get() {
  const int c = Peek();
  if (c >= 0) ++m_nPosition;
  return c;
}

template <bool kBlock>
std::int64_t CLineFile::Read(std::string& out, int maximum) {
  m_nReference = m_nPosition;
  out.clear();
  maximum = std::max(maximum, 1);
  int column = 0;
  while (column < maximum) {
    const int c = Get();
    if (c < 0) return m_nPosition;
    if (c == '\n' || c == '\r') {
      if (kBlock) {
        out += ' ';
        ++column;
      } else if (c == '\n') {
        return m_nPosition;
      }
    } else if (c == '\t') {
      const int next = std::min((column / 8 + 1) * 8, maximum);
      out.append(static_cast<std::size_t>(next - column), ' ');
      column = next;
    } else {
      out += static_cast<char>(c);
      ++column;
    }
  }
  // A line that exactly fills the width ends here, not in an empty display line.
  if (!kBlock) {
    while (Peek() == '\r') Get();
    if (Peek() == '\n') Get();
  }
  return m_nPosition;
}

std::int64_t CLineFile::ReadLine(std::string& out, int maximum) { return Read<false>(out, maximum); }
std::int64_t CLineFile::ReadBlock(std::string& out, int maximum) { return Read<true>(out, maximum); }

std::int64_t CLineFile::SetReference(std::int64_t position) {
  return std::exchange(m_nReference, position);
}

bool CLineFile::SkipPastLineFeed(std::int64_t limit) {
  while (m_nPosition < limit && Fill()) {
    const char* begin = m_buffer.data() + (m_nPosition - m_nBufferStart);
    const std::int64_t avail = std::min(m_nBufferStart + m_nBufferSize, limit) - m_nPosition;
    if (const void* lf = std::memchr(begin, '\n', static_cast<std::size_t>(avail))) {
      m_nPosition += static_cast<const char*>(lf) - begin + 1;
      return true;
    }
    m_nPosition += avail;
  }
  return false;
}

// Display lines can only be counted forward from the start of a line, so the look-back
// window begins after a line feed, or at the start of the file, and is widened until it
// holds the lines asked for: long lines and the first lines of the file are reached too.
std::int64_t CLineFile::BackLines(std::string& out, int maximum, int n) {
  const std::int64_t r = m_nReference;
  if (r <= 0) {
    Seek(0);
    ReadLine(out, maximum);
    return 0;
  }
  n = std::clamp(n, 0, kMaxBackLines);
  std::int64_t span = 100 * std::max<std::int64_t>(n, 1);
  const std::int64_t cap = std::max(span, kMaxLookBack);
  std::deque<std::int64_t> starts;  // the last n + 1 line starts, the newest at the back
  std::string line;
  for (;;) {
    const std::int64_t s = std::max<std::int64_t>(0, r - span);
    Seek(s > 0 ? s - 1 : 0);
    if (s > 0 && !SkipPastLineFeed(r)) {
      if (span < cap) {
        span = std::min(span * 2, cap);
        continue;
      }
      Seek(s);
    }
    starts.clear();
    std::int64_t before = 0;  // starts found before the front
    for (;;) {
      const std::int64_t p = m_nPosition;
      starts.push_back(p);
      if (starts.size() > static_cast<std::size_t>(n) + 1) starts.pop_front();
      if (p >= r || ReadLine(line, maximum) == p) break;  // reached, or the end of the file
      ++before;
    }
    if (before >= n || s == 0 || span >= cap) break;
    span = std::min(span * 2, cap);
  }
  const std::int64_t found = starts.front();
  Seek(found);
  ReadLine(out, maximum);
  return found;
}

std::int64_t CLineFile::LineAtOffset(std::string& out, int maximum, std::int64_t offset) {
  if (offset < 0) return -1;
  // The line holding offset is the last one that starts at or before it.
  SetReference(std::min(offset, m_nLength) + 1);
  return BackLines(out, maximum, 1);
}

int ThumbFor(std::int64_t top, std::int64_t length) {
  if (length <= 0) return 0;
  const std::int64_t thumb = length > 40000 ? top / (length / 1000) : top * 1000 / length;
  return static_cast<int>(std::clamp<std::int64_t>(thumb, 0, 1000));
}

std::int64_t ThumbOffset(int p, std::int64_t length) {
  p = std::clamp(p, 0, 1000);
  return length <= 40000 ? p * length / 1000 : p * (length / 1000);
}

std::int64_t LineUp(CLineFile& file, std::int64_t top) { return PageUp(file, top, 1); }

std::int64_t LineDown(CLineFile& file, std::int64_t top) {
  std::string line;
  return file.Seek(top) ? file.ReadLine(line, kViewerColumns) : 0;
}

std::int64_t PageUp(CLineFile& file, std::int64_t top, int linesOnPage) {
  if (top <= 0) return 0;
  std::string line;
  file.SetReference(top);
  return std::max<std::int64_t>(file.BackLines(line, kViewerColumns, linesOnPage), 0);
}

std::int64_t ThumbTop(CLineFile& file, int p) { return TopAtOffset(file, ThumbOffset(p, file.Length())); }

std::int64_t TopAtOffset(CLineFile& file, std::int64_t offset) {
  std::string line;
  return std::max<std::int64_t>(file.LineAtOffset(line, kViewerColumns, offset), 0);
}

CPage ReadPage(CLineFile& file, std::int64_t top, int lines) {
  CPage page;
  if (!file.Seek(top)) file.Seek(0);
  page.m_nEnd = file.Position();
  for (int i = 0; i < lines; ++i) {
    page.m_arrLines.emplace_back();
    page.m_nEnd = file.ReadLine(page.m_arrLines.back(), kViewerColumns);
  }
  return page;
}

CCaseFolder::CCaseFolder(const CCodePage& cp) {
  for (int b = 0; b < 256; ++b) {
    m_lower[b] = static_cast<unsigned char>(b);
    const char16_t u = cp.ByteToUnicode(static_cast<unsigned char>(b));
    if (u == 0xFFFD) continue;
    const UChar32 lower = u_tolower(u);
    for (int c = 0; c < 256 && lower != u; ++c)
      if (cp.ByteToUnicode(static_cast<unsigned char>(c)) == lower) {
        m_lower[b] = static_cast<unsigned char>(c);
        break;
      }
  }
}

std::string CCaseFolder::Lower(std::string_view text) const {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(m_lower[static_cast<unsigned char>(c)]);
  return out;
}

std::vector<std::size_t> FindInstances(std::string_view line, std::string_view key, const CCaseFolder& folder) {
  std::vector<std::size_t> columns;
  if (key.empty()) return columns;
  const std::string lowerLine = folder.Lower(line);
  const std::string lowerKey = folder.Lower(key);
  for (std::size_t at = lowerLine.find(lowerKey); at != std::string::npos; at = lowerLine.find(lowerKey, at + 1))
    columns.push_back(at);
  return columns;
}

CQuickSearchResult QuickSearch(CLineFile& file, std::int64_t top, std::string_view key, int visibleColumns,
                               const CCaseFolder& folder, const SearchProgressFn& progress) {
  CQuickSearchResult result;
  result.m_strKey = folder.Lower(key);
  if (key.empty()) return result;
  std::int64_t position = std::max<std::int64_t>(top, 0);
  file.Seek(position);
  std::string line;
  constexpr std::int64_t kProgressStep = 1 << 20;
  std::int64_t nextProgress = position + kProgressStep;
  while (position < file.Length()) {
    if (progress && position >= nextProgress) {
      nextProgress = position + kProgressStep;
      if (!progress(position)) {
        result.m_bStopped = true;
        break;
      }
    }
    const std::int64_t start = position;
    position = file.ReadLine(line, kViewerColumns);
    // A file cut short since it was opened ends the search where its bytes end.
    if (position <= start) break;
    if (line.empty()) continue;
    std::string& lower = line;
    for (char& c : lower) c = static_cast<char>(folder.Lower(static_cast<unsigned char>(c)));
    const std::size_t column = lower.find(result.m_strKey);
    if (column == std::string::npos) continue;
    result.m_bFound = true;
    result.m_nTop = start;
    result.m_nLineEnd = position;
    result.m_nColumn = static_cast<std::int64_t>(column);
    const std::int64_t shift =
        result.m_nColumn > visibleColumns ? result.m_nColumn + static_cast<std::int64_t>(key.size()) - visibleColumns : 0;
    result.m_nHorizontalOffset = static_cast<int>(std::clamp<std::int64_t>(shift, 0, kViewerColumns));
    result.m_nReached = position;
    return result;
  }
  result.m_nReached = position;
  return result;
}

std::optional<std::int64_t> ParseGoTo(std::string_view text, std::int64_t length) {
  std::string t;
  for (char c : text)
    if (c != ' ' && c != '\t' && c != ',' && c != '_' && c != '\'') t += c;
  if (t.empty()) return std::nullopt;
  if (t.back() == '%') {
    t.pop_back();
    char* end = nullptr;
    const double share = std::strtod(t.c_str(), &end);
    if (t.empty() || *end || !(share >= 0 && share <= 100)) return std::nullopt;
    return static_cast<std::int64_t>(static_cast<long double>(length) * share / 100);
  }
  int base = 10;
  if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
    base = 16;
    t.erase(0, 2);
  }
  std::int64_t value = 0;
  for (char c : t) {
    const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                      : base == 16 && std::isxdigit(static_cast<unsigned char>(c))
                          ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
                          : -1;
    if (digit < 0 || value > (length - digit) / base) return std::nullopt;
    value = value * base + digit;
  }
  return value;
}

std::int64_t LastPageTop(CLineFile& file, int lines) {
  if (file.Length() <= 0) return 0;
  std::string line;
  // Counted back from the end: the last line is the one the end position follows.
  file.SetReference(file.Length());
  return std::max<std::int64_t>(file.BackLines(line, kViewerColumns, std::max(lines, 1)), 0);
}

}  // namespace tessary
