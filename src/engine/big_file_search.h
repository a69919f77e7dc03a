#pragma once
// The concordance search of a file too large for the editor: the file is read straight
// from disk, chunk by chunk, as raw bytes, so entry positions are true file offsets and
// memory stays bounded by one chunk whatever the file's size.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/assembly.h"
#include "engine/codepage.h"
#include "engine/collation.h"
#include "engine/concordance_search.h"
#include "engine/expected.h"
#include "engine/line_recorder.h"
#include "engine/match.h"
#include "engine/progress.h"

namespace tessary {

// The chunk-size rule: half the memory available when the search starts, kept between
// these bounds. A chunk covers one byte less than its size.
inline constexpr std::int64_t kMinChunkSize = 512000;
inline constexpr std::int64_t kMaxChunkSize = 19200000;
std::int64_t ChunkSizeFor(std::uint64_t availableMemory);
// Memory the system can hand out now without swapping (MemAvailable).
std::uint64_t AvailablePhysicalMemory();

// The progress dialog's line for one chunk: "Reading from position %ld to %ld".
std::string ReadingMessage(std::int64_t start, std::int64_t end);

struct CBigFileObserver {
  // The file and its length ("This file:", "Size:").
  std::function<void(const std::string& path, std::int64_t length)> m_fnSource;
  // A chunk is about to be scanned: its first file offset and the offset after it.
  std::function<void(std::int64_t start, std::int64_t end)> m_fnChunk;
  // Progress within the current chunk; false stops the search.
  ProgressFn m_fnProgress;
};

class CBigFileSearch {
 public:
  // Takes m_strSearch of the request as it stands (big-file requests do not trim it);
  // sentence and associated-word requests as a concordance search takes them. chunkSize
  // 0 applies the chunk-size rule; another value is used as it is (at least 2).
  static Expected<std::unique_ptr<CBigFileSearch>> Create(const CSearchRequest& request,
                                                          CBigFileObserver observer, bool bCountOnly = false,
                                                          std::int64_t chunkSize = 0);

  // Reads and scans one file. Each chunk is read with enough bytes on both sides that a
  // match across a chunk edge is found once, with its whole context, and counted in the
  // chunk it starts in. False when the file could not be read to its end: Error() says
  // why, and the matches found before that are kept.
  bool SearchFile(const std::string& path);

  std::int64_t ChunkSize() const { return m_nChunkSize; }
  bool Stopped() const { return m_bStopped; }
  // The lines found (for counts: the matches); sentence and associated-word searches
  // count only the matches that give a line.
  std::uint64_t Matches() const { return m_nMatches; }
  const std::string& Error() const { return m_strError; }
  const CCodePage& TextCodePage() const { return *m_pTextCp; }
  bool Sorted() const { return m_request.SortsLines(); }

  // The key and mode as matched (star rule applied).
  const CPreparedSearch<char>& Prepared() const { return m_prepared; }

  // Sorts when asked, numbers, joins, as for any concordance list; sortProgress may
  // stop the sort (the lines then stand as found), copyProgress the copy.
  CAssembledList Finish(const ProgressFn& copyProgress = {}, const ProgressFn& sortProgress = {});
  std::vector<CFormatRange> Ranges(const CAssembledList& list) const;

 private:
  CBigFileSearch() = default;
  bool ScanChunk(int fd, const std::string& path, std::int64_t chunkStart, std::int64_t chunkEnd,
                 std::int64_t& fileLength);

  CSearchRequest m_request;
  CBigFileObserver m_observer;
  CPreparedSearch<char> m_prepared;
  std::shared_ptr<const CCodePage> m_pTextCp;
  std::shared_ptr<const CSortCollator> m_pCollator;
  std::unique_ptr<CByteMatcher> m_pMatcher;
  std::unique_ptr<CLineRecorder> m_pRecorder;
  std::int64_t m_nChunkSize = 0;
  std::vector<char> m_buffer;  // one chunk and its context, reused from chunk to chunk
  bool m_bStopped = false;
  std::uint64_t m_nMatches = 0;
  std::string m_strError;
};

}  // namespace tessary
