#pragma once
// Reading files of outside data safely: only regular files are opened, files are read
// through a bounded buffer (never mapped, so a file cut short cannot kill the process),
// and a file that changes while it is read ends its reading with a message.
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/codepage.h"
#include "engine/expected.h"

namespace tessary {

// The message for a path that exists but is no regular file (links followed):
// "Cannot read %s: Is a directory." or "Cannot read %s: it is a device (a named pipe,
// a socket), not a regular file.". Empty otherwise: opening a missing file says why.
std::string RegularFileProblem(const std::string& path);

// Opens path for reading when it is a regular file, without ever blocking on a FIFO.
// The descriptor belongs to the caller. Fails with the messages above.
Expected<int> OpenRegularFile(const std::string& path);

// Sequential reading of one open descriptor that notices when the file changes under
// it: a regular file that becomes shorter, grows, or is removed or rewritten while it
// is read ends its reading early, and Problem() names it. Descriptors of pipes and
// terminals are read to their end.
class CFileReader {
 public:
  // fd stays the caller's; path names the file in messages.
  CFileReader(int fd, std::string path);

  // The size when reading began (0 for a pipe).
  std::int64_t Size() const { return m_nSize; }
  // Bytes handed out so far.
  std::int64_t Position() const { return m_nPosition; }
  // Reads up to size bytes; 0 at the end, or when reading had to end early.
  std::size_t Read(char* data, std::size_t size);
  // Starts again from the beginning (regular files only); false if that fails.
  bool Rewind();
  // Reads up to size bytes at offset without moving the position, for pieces of a
  // regular file read on several threads at once; short only at the file's end.
  std::size_t ReadAt(std::int64_t offset, char* data, std::size_t size) const;
  // Ends reading done with ReadAt up to position as Read would: a file that became
  // shorter, grew, was removed or rewritten meanwhile leaves its Problem().
  void EndAt(std::int64_t position);
  // Why reading ended before the file's end, or empty.
  const std::string& Problem() const { return m_strProblem; }

 private:
  void CheckUnchanged();

  int m_fd;
  std::string m_strPath;
  bool m_bRegular = false;
  std::int64_t m_nSize = 0;
  std::int64_t m_nPosition = 0;
  struct timespec m_mtime {};
  bool m_bLinked = false;  // it had a name when reading began (memory files have none)
  bool m_bEnded = false;
  std::string m_strProblem;
};

// Reads bytes [offset, offset + size) of a regular file with pread, safe to call from
// several threads at once. Fewer bytes than asked for means the file became shorter
// (problem says so, with the position reached) or could not be read.
std::size_t ReadFileAt(int fd, const std::string& path, std::int64_t offset, char* data, std::size_t size,
                       std::string& problem);

// A file's text as the byte search takes it, piece by piece: text mode (each CR LF
// pair is one line feed, and a Ctrl-Z byte ends the text), whatever the pieces' edges.
class CTextModeReader {
 public:
  // bKeepCrLf leaves CR LF pairs as they are (only Ctrl-Z ends the text): a count of a
  // key that cannot match a control character finds the same matches without the work.
  explicit CTextModeReader(CFileReader& in, bool bKeepCrLf = false) : m_in(in), m_bKeepCrLf(bKeepCrLf) {}
  // Writes the next piece of text into out (room at least 2 bytes) and returns its
  // length, which may be 0 before the end.
  std::size_t Read(char* out, std::size_t room);
  bool Ended() const { return m_bEnded; }

 private:
  CFileReader& m_in;
  bool m_bKeepCrLf;
  bool m_bPendingCr = false;
  bool m_bEnded = false;
};

// A file's text as the editor loads it (see DecodeForEditor), decoded piece by piece.
// Without a byte-order mark a first pass over the file decides whether it is UTF-8.
class CEditorTextReader {
 public:
  CEditorTextReader(CFileReader& in, const CCodePage& ansi) : m_in(in), m_ansi(ansi) {}
  // Writes up to room units of the next piece of text into out and returns how many.
  std::size_t Read(char16_t* out, std::size_t room);
  bool Ended() const { return m_bEnded && m_nHanded == m_decoded.size(); }

 private:
  // Appends the text of about size more bytes to out; false when there is no more.
  bool Next(std::u16string& out, std::size_t size);
  enum class Form { kUnknown, kUtf8, kUtf16Le, kUtf16Be, kAnsi };
  bool Decide(std::size_t size);
  void Decode(std::string_view bytes, std::u16string& out) const;
  std::size_t CutPoint(std::string_view bytes, bool end) const;

  CFileReader& m_in;
  const CCodePage& m_ansi;
  Form m_form = Form::kUnknown;
  std::string m_carry;  // bytes of a character cut by the last piece's edge
  std::u16string m_decoded;  // the last piece decoded, handed out from m_nHanded on
  std::size_t m_nHanded = 0;
  bool m_bPendingCr = false;
  bool m_bEnded = false;
};

// One step of streamed UTF-8 validation: the length of the prefix of bytes that ends
// on a character boundary as far as a valid text goes; the rest waits for more bytes.
std::size_t Utf8CompletePrefix(std::string_view bytes);

}  // namespace tessary
