#include "engine/big_file_search.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "engine/concordance_search.h"
#include "engine/file_reader.h"
#include "engine/sentences.h"

namespace tessary {

namespace {

// A chunk is filled in pieces, and each piece is scanned while it is still in the
// processor's cache: the bytes then come from memory once, not twice.
constexpr std::int64_t kReadPiece = 1 << 18;

std::string Reason(int error) { return std::strerror(error); }

// The bytes of a hole of a sparse file from at, up to room: they read as zeros, and
// writing the zeros here spares the kernel copying gigabytes of them. 0 where data is.
std::int64_t HoleAt(int fd, std::int64_t at, std::int64_t room) {
  const off_t data = ::lseek(fd, static_cast<off_t>(at), SEEK_DATA);
  if (data > at) return std::min<std::int64_t>(data - at, room);
  if (data < 0 && errno == ENXIO) {  // a hole up to the end of the file
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_size > at) return std::min<std::int64_t>(st.st_size - at, room);
  }
  return 0;
}

// Reads up to size bytes at offset; fewer only at the end of the file. -1 on an error.
std::int64_t ReadAt(int fd, char* data, std::int64_t size, std::int64_t offset) {
  std::int64_t done = 0;
  while (done < size) {
    if (const std::int64_t hole = HoleAt(fd, offset + done, size - done); hole > 0) {
      std::memset(data + done, 0, static_cast<std::size_t>(hole));
      done += hole;
      continue;
    }
    const ssize_t got = ::pread(fd, data + done, static_cast<std::size_t>(size - done), offset + done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return -1;
    if (got == 0) break;
    done += got;
  }
  return done;
}

}  // namespace

std::int64_t ChunkSizeFor(std::uint64_t availableMemory) {
  const std::uint64_t half = availableMemory / 2;
  return half < static_cast<std::uint64_t>(kMinChunkSize)   ? kMinChunkSize
         : half > static_cast<std::uint64_t>(kMaxChunkSize) ? kMaxChunkSize
                                                              : static_cast<std::int64_t>(half);
}

std::uint64_t AvailablePhysicalMemory() {
  std::ifstream meminfo("/proc/meminfo");
  std::string name;
  std::uint64_t kilobytes = 0;
  std::string unit;
  while (meminfo >> name >> kilobytes >> unit)
    if (name == "MemAvailable:") return kilobytes * 1024;
  const long pages = ::sysconf(_SC_AVPHYS_PAGES);
  const long page = ::sysconf(_SC_PAGESIZE);
  return pages > 0 && page > 0 ? static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(page) : 0;
}

std::string ReadingMessage(std::int64_t start, std::int64_t end) {
  char text[64];
  std::snprintf(text, sizeof text, "Reading from position %lld to %lld", static_cast<long long>(start),
                static_cast<long long>(end));
  return text;
}

Expected<std::unique_ptr<CBigFileSearch>> CBigFileSearch::Create(const CSearchRequest& settings,
                                                                 CBigFileObserver observer, bool bCountOnly,
                                                                 std::int64_t chunkSize) {
  using Result = Expected<std::unique_ptr<CBigFileSearch>>;
  auto parts = PrepareSearch<char>(settings, bCountOnly);
  if (!parts) return Result::Failure(parts.Error());
  std::unique_ptr<CBigFileSearch> search(new CBigFileSearch);
  search->m_request = settings;
  search->m_observer = std::move(observer);
  search->m_nChunkSize = chunkSize > 0 ? std::max<std::int64_t>(chunkSize, 2)
                                       : ChunkSizeFor(AvailablePhysicalMemory());
  search->m_prepared = std::move(parts->m_prepared);
  search->m_pTextCp = std::move(parts->m_pTextCp);
  search->m_pMatcher = std::move(parts->m_pMatcher);
  search->m_pCollator = std::move(parts->m_pCollator);
  search->m_pRecorder = std::move(parts->m_pRecorder);
  return Result(std::move(search));
}

bool CBigFileSearch::SearchFile(const std::string& path) {
  if (m_bStopped) return true;
  auto opened = OpenRegularFile(path);
  if (!opened) {
    m_strError = opened.Error();
    return false;
  }
  const int fd = *opened;
  struct stat st {};
  ::fstat(fd, &st);
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  std::int64_t length = st.st_size;
  if (m_observer.m_fnSource) m_observer.m_fnSource(path, length);
  bool ok = true;
  const std::int64_t stride = m_nChunkSize - 1;
  for (std::int64_t start = 0; ok && start < length && !m_bStopped; start += stride)
    ok = ScanChunk(fd, path, start, std::min(length, start + stride), length);
  // A file that grew or was rewritten meanwhile was searched as it stood at the start.
  struct stat now {};
  if (ok && !m_bStopped && ::fstat(fd, &now) == 0) {
    if (now.st_size > st.st_size)
      m_strError = "The file " + path + " grew while it was searched; the search ended at position " +
                   std::to_string(length) + ".";
    else if (st.st_nlink > 0 && now.st_nlink == 0)
      m_strError = "The file " + path + " was removed while it was searched.";
    else if (now.st_mtim.tv_sec != st.st_mtim.tv_sec || now.st_mtim.tv_nsec != st.st_mtim.tv_nsec)
      m_strError = "The file " + path + " changed while it was searched.";
    ok = m_strError.empty();
  }
  ::close(fd);
  // The buffer is the search's largest allocation: it goes as soon as the file is done.
  std::vector<char>().swap(m_buffer);
  return ok;
}

// The buffer holds the chunk with W bytes before it and n + W + 1 after it (n the key
// length, W the context width, or the reach of a sentence), clipped to the file. Only
// matches that start inside the chunk are taken; the extra bytes give them their
// boundary test and their context, and the buffer's ends are non-letters only where
// they are the file's ends.
bool CBigFileSearch::ScanChunk(int fd, const std::string& path, std::int64_t chunkStart, std::int64_t chunkEnd,
                               std::int64_t& fileLength) {
  const std::int64_t keyLength = static_cast<std::int64_t>(m_prepared.m_strKey.size());
  const bool sentences = m_pRecorder && m_pRecorder->Sentences();
  const std::int64_t width = std::max<std::int64_t>(m_request.m_nLineWidth, 1);
  const std::int64_t before = sentences ? std::max<std::int64_t>(width, kSentenceBack + 1) : width;
  const std::int64_t after = keyLength + (sentences ? std::max<std::int64_t>(width, kSentenceForward) : width) + 1;
  const std::int64_t bufferStart = std::max<std::int64_t>(0, chunkStart - before);
  std::int64_t bufferEnd = std::min(fileLength, chunkEnd + after);
  m_buffer.resize(static_cast<std::size_t>(bufferEnd - bufferStart));
  if (m_observer.m_fnChunk) m_observer.m_fnChunk(chunkStart, chunkEnd);
  if (m_pRecorder) m_pRecorder->BeginSource(path, bufferStart);

  const std::int64_t chunkLength = chunkEnd - chunkStart;
  const std::size_t step = static_cast<std::size_t>(std::max<std::int64_t>(chunkLength / 1000, 4096));
  std::int64_t readEnd = bufferStart;  // file offset after the bytes in the buffer
  std::int64_t scanned = chunkStart;   // match starts before this offset have been tested
  while (scanned < chunkEnd) {
    if (readEnd < bufferEnd) {
      const std::int64_t want = std::min(kReadPiece, bufferEnd - readEnd);
      const std::int64_t got = ReadAt(fd, m_buffer.data() + (readEnd - bufferStart), want, readEnd);
      if (got < 0) {
        m_strError = "Cannot read " + path + ": " + Reason(errno) + ".";
        return false;
      }
      readEnd += got;
      if (got < want) {
        // The file is shorter than when the search began: its end is here now, and the
        // search ends with this chunk instead of asking again and again for bytes.
        m_strError = "The file " + path + " became shorter while it was searched; the search ended at position " +
                     std::to_string(readEnd) + ".";
        bufferEnd = fileLength = readEnd;
        chunkEnd = std::min(chunkEnd, readEnd);
      }
    }
    // Before the buffer is complete, a match start needs its whole line in it.
    const std::int64_t safe = readEnd == bufferEnd ? chunkEnd : std::min(chunkEnd, readEnd - after);
    const std::string_view text(m_buffer.data(), static_cast<std::size_t>(readEnd - bufferStart));
    for (std::int64_t from = scanned; from < safe;) {
      if (!ReportProgress(m_observer.m_fnProgress, static_cast<std::uint64_t>(from - chunkStart),
                          static_cast<std::uint64_t>(chunkLength))) {
        m_bStopped = true;
        return true;
      }
      const std::int64_t limit = std::min(safe, from + static_cast<std::int64_t>(step));
      // Sentence and associated-word searches drop some matches: what counts is the lines.
      const bool complete = m_pMatcher->ForEachMatch(
          text, static_cast<std::size_t>(from - bufferStart), static_cast<std::size_t>(limit - bufferStart),
          [&](std::size_t i) {
            if (!m_pRecorder) return ++m_nMatches, true;
            const std::int64_t lines = m_pRecorder->Count();
            const bool go = m_pRecorder->OnMatch(text, i);
            m_nMatches += static_cast<std::uint64_t>(m_pRecorder->Count() - lines);
            return go;
          });
      if (!complete) {
        m_bStopped = true;
        return true;
      }
      from = limit;
    }
    scanned = std::max(scanned, safe);
  }
  ReportProgress(m_observer.m_fnProgress, static_cast<std::uint64_t>(chunkLength),
                 static_cast<std::uint64_t>(chunkLength));
  return m_strError.empty();
}

CAssembledList CBigFileSearch::Finish(const ProgressFn& copyProgress, const ProgressFn& sortProgress) {
  m_bStopped = false;
  if (!m_pRecorder) return CAssembledList{};
  CAssemblyOptions options;
  options.m_bSorted = Sorted();
  options.m_bLineNumbers = m_request.m_bLineNumbers;
  options.m_bFileReference = m_request.m_bFileReference;
  options.m_pCollator = m_pCollator.get();
  options.m_pKeyCodePage = m_pTextCp.get();
  options.m_fnSortProgress = sortProgress;
  return AssembleList(*m_pRecorder, options, copyProgress);
}

std::vector<CFormatRange> CBigFileSearch::Ranges(const CAssembledList& list) const {
  // Lines left as found by a stopped sort have no collocates to show.
  return KeywordRanges(list, m_request.m_nLineWidth, static_cast<std::int64_t>(m_prepared.m_strKey.size()),
                       Sorted() && !list.m_bSortStopped && m_request.m_strSortMode != kSortPosition);
}

}  // namespace tessary
