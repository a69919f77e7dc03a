#include "engine/file_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "engine/text_file.h"

namespace tessary {

namespace {

std::string Reason(int error) { return std::strerror(error); }

std::string NotRegular(const std::string& path, mode_t mode) {
  if (S_ISDIR(mode)) return "Cannot read " + path + ": " + Reason(EISDIR) + ".";
  const char* what = S_ISFIFO(mode)                      ? "a named pipe"
                     : S_ISSOCK(mode)                    ? "a socket"
                     : S_ISCHR(mode) || S_ISBLK(mode)    ? "a device"
                                                         : "something else";
  return "Cannot read " + path + ": it is " + what + ", not a regular file.";
}

}  // namespace

std::string RegularFileProblem(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode)) return std::string();
  return NotRegular(path, st.st_mode);
}

Expected<int> OpenRegularFile(const std::string& path) {
  // O_NONBLOCK: opening a FIFO with no writer would wait for one forever.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return Expected<int>::Failure("Cannot open " + path + ": " + Reason(errno) + ".");
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const std::string message = S_ISREG(st.st_mode) || st.st_mode == 0
                                    ? "Cannot read " + path + ": " + Reason(errno) + "."
                                    : NotRegular(path, st.st_mode);
    ::close(fd);
    return Expected<int>::Failure(message);
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

// ---- CFileReader ----

CFileReader::CFileReader(int fd, std::string path) : m_fd(fd), m_strPath(std::move(path)) {
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
    m_bRegular = true;
    m_nSize = st.st_size;
    m_mtime = st.st_mtim;
    m_bLinked = st.st_nlink > 0;
  }
}

void CFileReader::CheckUnchanged() {
  struct stat st {};
  if (::fstat(m_fd, &st) != 0) return;
  const std::string at = "; reading stopped at position " + std::to_string(m_nPosition) + ".";
  if (st.st_size < m_nSize) m_strProblem = "The file " + m_strPath + " became shorter while it was read" + at;
  else if (st.st_size > m_nSize) m_strProblem = "The file " + m_strPath + " grew while it was read" + at;
  else if (m_bLinked && st.st_nlink == 0) m_strProblem = "The file " + m_strPath + " was removed while it was read.";
  else if (st.st_mtim.tv_sec != m_mtime.tv_sec || st.st_mtim.tv_nsec != m_mtime.tv_nsec)
    m_strProblem = "The file " + m_strPath + " changed while it was read.";
}

std::size_t CFileReader::Read(char* data, std::size_t size) {
  if (m_bEnded || size == 0) return 0;
  std::size_t want = size;
  if (m_bRegular) want = static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(size), m_nSize - m_nPosition));
  if (want == 0) {
    // The size it had at the start has been read: whatever happened since is news.
    m_bEnded = true;
    CheckUnchanged();
    return 0;
  }
  std::size_t done = 0;
  while (done < want) {
    const ssize_t got = ::read(m_fd, data + done, want - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      m_strProblem = "Cannot read " + m_strPath + ": " + Reason(errno) + ".";
      m_bEnded = true;
      break;
    }
    if (got == 0) {
      m_bEnded = true;
      if (m_bRegular) {
        m_nPosition += static_cast<std::int64_t>(done);
        m_strProblem = "The file " + m_strPath + " became shorter while it was read; reading stopped at position " +
                       std::to_string(m_nPosition) + ".";
        return done;
      }
      break;
    }
    done += static_cast<std::size_t>(got);
    if (!m_bRegular) break;  // a pipe hands out what it has
  }
  m_nPosition += static_cast<std::int64_t>(done);
  return done;
}

std::size_t ReadFileAt(int fd, const std::string& path, std::int64_t offset, char* data, std::size_t size,
                       std::string& problem) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t got = ::pread(fd, data + done, size - done, static_cast<off_t>(offset) + static_cast<off_t>(done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      problem = "Cannot read " + path + ": " + Reason(errno) + ".";
      break;
    }
    if (got == 0) {
      problem = "The file " + path + " became shorter while it was read; reading stopped at position " +
                std::to_string(offset + static_cast<std::int64_t>(done)) + ".";
      break;
    }
    done += static_cast<std::size_t>(got);
  }
  return done;
}

std::size_t CFileReader::ReadAt(std::int64_t offset, char* data, std::size_t size) const {
  std::string ignored;  // EndAt says what happened to the file
  return ReadFileAt(m_fd, m_strPath, offset, data, size, ignored);
}

void CFileReader::EndAt(std::int64_t position) {
  m_nPosition = position;
  m_bEnded = true;
  CheckUnchanged();
}

bool CFileReader::Rewind() {
  if (!m_bRegular || !m_strProblem.empty() || ::lseek(m_fd, 0, SEEK_SET) != 0) return false;
  m_nPosition = 0;
  m_bEnded = false;
  return true;
}

// ---- Text mode ----

std::size_t CTextModeReader::Read(char* out, std::size_t room) {
  if (m_bEnded || room < 2) return 0;
  const std::size_t held = m_bPendingCr ? 1 : 0;
  if (held) out[0] = '\r';
  const std::size_t got = m_in.Read(out + held, room - held);
  std::size_t length = held + got;
  if (got == 0) m_bEnded = true;
  if (const void* z = std::memchr(out, 0x1A, length)) {
    m_bEnded = true;
    length = static_cast<std::size_t>(static_cast<const char*>(z) - out);
  }
  if (m_bKeepCrLf) return length;
  length = ApplyTextMode(out, length);
  // A CR at the edge may be the first half of a CR LF pair: it waits for the next piece.
  m_bPendingCr = !m_bEnded && length > 0 && out[length - 1] == '\r';
  if (m_bPendingCr) --length;
  return length;
}

// ---- The editor's decoding ----

std::size_t Utf8CompletePrefix(std::string_view bytes) {
  const std::size_t size = bytes.size();
  for (std::size_t k = 1; k <= 3 && k <= size; ++k) {
    const auto b = static_cast<unsigned char>(bytes[size - k]);
    if (b < 0x80) return size;
    if (b >= 0xC0) {
      const std::size_t need = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
      return need > k ? size - k : size;
    }
  }
  return size;
}

bool CEditorTextReader::Decide(std::size_t size) {
  m_carry.resize(size);
  m_carry.resize(m_in.Read(m_carry.data(), size));
  const std::string_view head(m_carry);
  if (head.substr(0, 3) == "\xEF\xBB\xBF") {
    m_form = Form::kUtf8;
    m_carry.erase(0, 3);
    return true;
  }
  if (head.substr(0, 2) == "\xFF\xFE" || head.substr(0, 2) == "\xFE\xFF") {
    m_form = head[0] == '\xFF' ? Form::kUtf16Le : Form::kUtf16Be;
    m_carry.erase(0, 2);
    return true;
  }
  // No mark: the whole file must be valid UTF-8 to be taken as UTF-8.
  bool valid = true;
  for (;;) {
    const std::size_t complete = Utf8CompletePrefix(m_carry);
    if (!IsValidUtf8(std::string_view(m_carry).substr(0, complete))) {
      valid = false;
      break;
    }
    m_carry.erase(0, complete);
    const std::size_t kept = m_carry.size();
    m_carry.resize(kept + size);
    const std::size_t got = m_in.Read(m_carry.data() + kept, size);
    m_carry.resize(kept + got);
    if (got == 0) {
      valid = IsValidUtf8(m_carry);
      break;
    }
  }
  m_carry.clear();
  m_form = valid ? Form::kUtf8 : Form::kAnsi;
  if (!m_in.Problem().empty()) return false;
  return m_in.Rewind();
}

std::size_t CEditorTextReader::CutPoint(std::string_view bytes, bool end) const {
  if (end) return bytes.size();
  switch (m_form) {
    case Form::kUtf8:
      return Utf8CompletePrefix(bytes);
    case Form::kUtf16Le:
    case Form::kUtf16Be:
      return bytes.size() & ~std::size_t(1);
    default:
      break;
  }
  if (!m_ansi.IsDoubleByte()) return bytes.size();
  // A byte below 0x40 is neither half of a pair in any double-byte set: the text can be
  // cut after it. A long run without one is cut where the pairs, read from the start, end.
  for (std::size_t i = bytes.size(); i > 0; --i)
    if (static_cast<unsigned char>(bytes[i - 1]) < 0x40) return i;
  if (bytes.size() < (4u << 20)) return 0;
  std::size_t i = 0;
  while (i < bytes.size()) {
    const std::size_t n = m_ansi.IsLeadByte(static_cast<unsigned char>(bytes[i])) ? 2 : 1;
    if (i + n > bytes.size()) break;
    i += n;
  }
  return i;
}

void CEditorTextReader::Decode(std::string_view bytes, std::u16string& out) const {
  if (bytes.empty()) return;
  switch (m_form) {
    case Form::kUtf8:
      out += Utf8ToUtf16(bytes);
      return;
    case Form::kUtf16Le:
    case Form::kUtf16Be: {
      const bool big = m_form == Form::kUtf16Be;
      const std::size_t start = out.size();
      out.resize(start + bytes.size() / 2);
      for (std::size_t i = 0; i < bytes.size() / 2; ++i) {
        const auto hi = static_cast<unsigned char>(bytes[2 * i + (big ? 0 : 1)]);
        const auto lo = static_cast<unsigned char>(bytes[2 * i + (big ? 1 : 0)]);
        out[start + i] = static_cast<char16_t>(hi << 8 | lo);
      }
      if (bytes.size() % 2) out.push_back(u'\uFFFD');
      return;
    }
    default:
      out += m_ansi.ToUnicode(bytes);
  }
}

bool CEditorTextReader::Next(std::u16string& out, std::size_t size) {
  if (m_bEnded) return false;
  if (m_form == Form::kUnknown && !Decide(size)) {
    m_bEnded = true;
    return false;
  }
  const std::size_t kept = m_carry.size();
  m_carry.resize(kept + size);
  const std::size_t got = m_in.Read(m_carry.data() + kept, size);
  m_carry.resize(kept + got);
  const bool end = got == 0;
  const std::size_t cut = CutPoint(m_carry, end);
  const std::size_t start = out.size();
  Decode(std::string_view(m_carry).substr(0, cut), out);
  m_carry.erase(0, cut);
  // Paragraph ends (CR LF, CR, LF) become one LF; a CR at the edge of the last piece
  // already became one, so a LF that opens this piece belongs to it.
  std::size_t w = start;
  for (std::size_t r = start; r < out.size(); ++r) {
    char16_t c = out[r];
    if (r == start && m_bPendingCr && c == u'\n') {
      m_bPendingCr = false;
      continue;
    }
    m_bPendingCr = false;
    if (c == u'\r') {
      if (r + 1 < out.size() && out[r + 1] == u'\n') ++r;
      else if (r + 1 == out.size()) m_bPendingCr = true;
      c = u'\n';
    }
    out[w++] = c;
  }
  out.resize(w);
  if (end) m_bEnded = true;
  return !end || w > start;
}

std::size_t CEditorTextReader::Read(char16_t* out, std::size_t room) {
  while (m_nHanded == m_decoded.size()) {
    m_decoded.clear();
    m_nHanded = 0;
    if (!Next(m_decoded, std::max<std::size_t>(room, 16))) return 0;
  }
  const std::size_t n = std::min(room, m_decoded.size() - m_nHanded);
  std::copy_n(m_decoded.data() + m_nHanded, n, out);
  m_nHanded += n;
  return n;
}

}  // namespace tessary
