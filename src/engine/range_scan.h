#pragma once
// The byte search of one long text cut into ranges that the worker threads scan side by
// side. Each range reads enough context on both sides that its matches and lines are
// those of one scan from the start; the ranges' lines are then joined in range order.
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/codepage.h"
#include "engine/line_recorder.h"
#include "engine/match.h"
#include "engine/progress.h"

namespace tessary {

// Ranges are this long: enough work per range to pay for its context and its own
// recorder, few enough lines per range to join them quickly.
constexpr std::size_t kScanRange = std::size_t(8) << 20;

struct CRangeScanSettings {
  std::size_t m_nRangeSize = kScanRange;  // bytes per range (tests use a few)
  unsigned m_nThreads = 0;                // 0: WorkerThreads()
};

struct CRangeScanResult {
  std::uint64_t m_nMatches = 0;  // lines kept, or matches when counting
  bool m_bStopped = false;
  std::string m_strProblem;      // why a range's reading ended early, or empty (a file
                                 // that changed by its end says so in its reader)
};

class CFileReader;

// The regular file open as fd, of file.Size() bytes when reading began, read in text
// mode as CTextModeReader gives it (bKeepCrLf likewise); at its end file checks that it
// has not changed. recorder (null when counting) must
// not record sentences; it receives the lines of every range, in order. A Ctrl-Z, a
// stop or a file cut short ends the text in one range and drops the ranges after it.
// Only the calling thread calls progress, with the file's bytes scanned.
CRangeScanResult ScanFileInRanges(CFileReader& file, int fd, const std::string& path, const CByteMatcher& matcher,
                                  CLineRecorder* recorder, const CCodePage& cp, std::int64_t lineWidth,
                                  bool bKeepCrLf, const ProgressFn& progress, const CRangeScanSettings& settings);

// A text in memory, cut the same way; its lines' positions are offsets in text.
CRangeScanResult ScanTextInRanges(std::string_view text, const std::string& path, const CByteMatcher& matcher,
                                  CLineRecorder* recorder, const CCodePage& cp, const ProgressFn& progress,
                                  const CRangeScanSettings& settings);

}  // namespace tessary
