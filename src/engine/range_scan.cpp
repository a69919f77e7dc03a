#include "engine/range_scan.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/file_reader.h"
#include "engine/piece_scan.h"
#include "engine/text_file.h"
#include "engine/workers.h"

namespace tessary {

namespace {

constexpr std::int64_t kUnknown = std::numeric_limits<std::int64_t>::max();

// One range of a file with its context, read with pread in text mode. Its text
// starts with the context before the range; ScanFrom and ScanTo mark the text of the
// range's own bytes. Every CR LF pair lies inside one range (cuts never split one), so
// the context before needs no byte before it to be converted exactly; the context after
// is long enough that a wrong guess about its last CR cannot reach a line.
class CRangeText {
 public:
  CRangeText(int fd, const std::string& path, std::int64_t contextBegin, std::int64_t begin, std::int64_t end,
             std::int64_t windowEnd, bool bKeepCrLf)
      : m_fd(fd), m_path(path), m_nPos(contextBegin), m_nBegin(begin), m_nEnd(end), m_nWindowEnd(windowEnd),
        m_bKeepCrLf(bKeepCrLf) {
    if (m_nPos == m_nBegin) m_nScanFrom = 0;
  }

  std::size_t Read(char* out, std::size_t room);
  bool Ended() const { return m_bEnded; }
  std::int64_t ScanFrom() const { return m_nScanFrom == kUnknown ? 0 : m_nScanFrom; }
  std::int64_t ScanTo() const { return m_nScanFrom == kUnknown ? 0 : m_nScanTo; }
  // The range's own bytes read so far, for progress.
  std::int64_t Done() const { return std::clamp(m_nPos - m_nBegin, std::int64_t(0), m_nEnd - m_nBegin); }
  // The text ended inside the range's own bytes (a Ctrl-Z, a file cut short or unreadable).
  bool EndsText() const { return m_bEndsText; }
  const std::string& Problem() const { return m_strProblem; }
  // The CR LF pairs that became line feeds in the range's own bytes.
  std::int64_t Collapsed() const { return (m_nEnd - m_nBegin) - (m_nScanTo - ScanFrom()); }

 private:
  int m_fd;
  const std::string& m_path;
  std::int64_t m_nPos, m_nBegin, m_nEnd, m_nWindowEnd;
  std::int64_t m_nText = 0;  // characters handed out
  std::int64_t m_nScanFrom = kUnknown, m_nScanTo = kUnknown;
  bool m_bKeepCrLf;
  bool m_bPendingCr = false;
  bool m_bEnded = false;
  bool m_bEndsText = false;
  std::string m_strProblem;
};

std::size_t CRangeText::Read(char* out, std::size_t room) {
  if (m_bEnded || room < 2) return 0;
  const std::size_t held = m_bPendingCr ? 1 : 0;
  if (held) out[0] = '\r';
  // Reads stop at the range's edges, so its own text starts and ends on a read's edge.
  const std::int64_t stop = m_nPos < m_nBegin ? m_nBegin : m_nPos < m_nEnd ? m_nEnd : m_nWindowEnd;
  const bool own = m_nPos >= m_nBegin && m_nPos < m_nEnd;
  const auto want = static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(room - held), stop - m_nPos));
  const std::size_t got = ReadFileAt(m_fd, m_path, m_nPos, out + held, want, m_strProblem);
  std::size_t length = held + got;
  bool ended = got < want || m_nPos + static_cast<std::int64_t>(got) == m_nWindowEnd;
  if (const void* z = std::memchr(out, 0x1A, length)) {
    ended = true;
    length = static_cast<std::size_t>(static_cast<const char*>(z) - out);
    if (m_nPos < m_nEnd) m_bEndsText = true;
  }
  // A file cut short inside the context after the range is found again by the range it
  // belongs to; here it only ends the text.
  if (got < want && (own || m_nPos < m_nBegin)) m_bEndsText = true;
  if (!m_strProblem.empty() && !m_bEndsText) m_strProblem.clear();
  if (!m_bKeepCrLf) length = ApplyTextMode(out, length);
  m_nPos += static_cast<std::int64_t>(got);
  const bool atEdge = m_nPos == m_nBegin || m_nPos == m_nEnd;
  // A CR at a piece's edge may be the first half of a CR LF pair: it waits for the next piece.
  m_bPendingCr = !m_bKeepCrLf && !ended && !atEdge && length > 0 && out[length - 1] == '\r';
  if (m_bPendingCr) --length;
  m_nText += static_cast<std::int64_t>(length);
  if (m_nPos == m_nBegin && !ended) m_nScanFrom = m_nText;
  if (m_bEndsText && m_nScanFrom == kUnknown) m_nScanFrom = m_nText;
  if (m_nScanTo == kUnknown && (m_nPos >= m_nEnd || ended)) m_nScanTo = std::max(m_nText, ScanFrom());
  m_bEnded = ended;
  return length;
}

struct CRangeOutcome {
  std::unique_ptr<CLineRecorder> m_pRecorder;
  std::uint64_t m_nMatches = 0;
  std::int64_t m_nShift = 0;      // from the range's text offsets to its file's bytes
  std::int64_t m_nCollapsed = 0;  // CR LF pairs in the range's own bytes
  bool m_bRan = false;
  bool m_bStopped = false;
  bool m_bEndsText = false;
  std::string m_strProblem;
};

// The progress of one range as added to the shared figure.
ProgressFn RangeProgress(CSharedProgress& shared, std::uint64_t& reported) {
  return [&shared, &reported](std::uint64_t done, std::uint64_t) {
    const std::uint64_t add = done - reported;
    reported = done;
    return shared.Add(add);
  };
}

// Cuts every `step` bytes, moved one byte on where one would split a CR LF pair.
std::vector<std::int64_t> FileCuts(int fd, const std::string& path, std::int64_t size, std::int64_t step) {
  std::vector<std::int64_t> cuts{0};
  for (std::int64_t cut = step; cut < size; cut = cuts.back() + step) {
    char pair[2] = {};
    std::string ignored;
    if (ReadFileAt(fd, path, cut - 1, pair, 2, ignored) == 2 && pair[0] == '\r' && pair[1] == '\n') ++cut;
    if (cut >= size) break;
    cuts.push_back(cut);
  }
  cuts.push_back(size);
  return cuts;
}

// Joins the ranges' lines in order as they finish, so that only the ranges in flight
// are held twice, up to the first range that ended the text or did not finish. Only the
// calling thread joins: the search's recorder is read by its progress callback.
class CRangeJoin {
 public:
  CRangeJoin(std::vector<CRangeOutcome>& ranges, CLineRecorder* recorder) : m_ranges(ranges), m_pRecorder(recorder) {}

  // Range r has finished: on the calling thread, the finished ranges that are next join.
  void Finished(std::size_t r) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_ranges[r].m_bRan = true;
    if (m_bEnded) m_ranges[r].m_pRecorder.reset();
    if (std::this_thread::get_id() == m_caller) JoinFinished();
  }
  // After the last range: ranges never run mean a stop. True when the whole text joined.
  bool End(CRangeScanResult& result) {
    JoinFinished();
    if (!m_bEnded && m_nNext < m_ranges.size()) m_result.m_bStopped = true;
    result = std::move(m_result);
    return !m_bEnded && m_nNext == m_ranges.size();
  }

 private:
  void JoinFinished() {
    while (!m_bEnded && m_nNext < m_ranges.size() && m_ranges[m_nNext].m_bRan) Join(m_ranges[m_nNext++]);
  }
  void Join(CRangeOutcome& range) {
    if (m_pRecorder) m_pRecorder->AppendFrom(std::move(*range.m_pRecorder), range.m_nShift - m_nCollapsed);
    range.m_pRecorder.reset();
    m_result.m_nMatches += range.m_nMatches;
    m_nCollapsed += range.m_nCollapsed;
    m_result.m_bStopped = range.m_bStopped;
    if (range.m_bEndsText) m_result.m_strProblem = range.m_strProblem;
    m_bEnded = range.m_bStopped || range.m_bEndsText;
  }

  std::vector<CRangeOutcome>& m_ranges;
  CLineRecorder* m_pRecorder;
  std::thread::id m_caller = std::this_thread::get_id();
  std::mutex m_lock;
  std::size_t m_nNext = 0;
  std::int64_t m_nCollapsed = 0;
  bool m_bEnded = false;
  CRangeScanResult m_result;
};

std::unique_ptr<CLineRecorder> RangeRecorder(const CLineRecorder* recorder, const CCodePage& cp,
                                             const std::string& path) {
  if (!recorder) return nullptr;
  auto own = std::make_unique<CLineRecorder>(recorder->Options(), cp);
  own->BeginSource(path);
  return own;
}

}  // namespace

CRangeScanResult ScanFileInRanges(CFileReader& file, int fd, const std::string& path, const CByteMatcher& matcher,
                                  CLineRecorder* recorder, const CCodePage& cp, std::int64_t lineWidth,
                                  bool bKeepCrLf, const ProgressFn& progress, const CRangeScanSettings& settings) {
  const std::int64_t size = file.Size();
  const std::vector<std::int64_t> cuts =
      FileCuts(fd, path, size, static_cast<std::int64_t>(std::max<std::size_t>(settings.m_nRangeSize, 1)));
  // Each text character takes at most two bytes (CR LF); two spare bytes cover a CR
  // whose partner lies beyond the window.
  const std::int64_t width = std::max<std::int64_t>(lineWidth, 1);
  const std::int64_t before = 2 * width + 2;
  const std::int64_t after = 2 * (static_cast<std::int64_t>(matcher.KeyLength()) + width + 1) + 4;
  std::vector<CRangeOutcome> ranges(cuts.size() - 1);
  CSharedProgress shared(progress, static_cast<std::uint64_t>(size));
  CRangeJoin join(ranges, recorder);
  RunParallel(
      ranges.size(),
      [&](std::size_t r) {
        if (shared.Stopped()) return;
        CRangeOutcome& out = ranges[r];
        const std::int64_t begin = cuts[r], end = cuts[r + 1];
        CRangeText text(fd, path, std::max<std::int64_t>(0, begin - before), begin, end, std::min(size, end + after),
                        bKeepCrLf);
        out.m_pRecorder = RangeRecorder(recorder, cp, path);
        std::uint64_t reported = 0;
        const CScanResult scan =
            ScanPieces<char>(text, [&text] { return text.Done(); }, end - begin, matcher, out.m_pRecorder.get(), path,
                             static_cast<std::int64_t>(matcher.KeyLength()), lineWidth, RangeProgress(shared, reported));
        out.m_nMatches = out.m_pRecorder ? static_cast<std::uint64_t>(out.m_pRecorder->Count()) : scan.m_nMatches;
        out.m_nShift = begin - text.ScanFrom();
        out.m_nCollapsed = text.Collapsed();
        out.m_bStopped = scan.m_bStopped;
        out.m_bEndsText = text.EndsText();
        out.m_strProblem = text.Problem();
        join.Finished(r);
      },
      settings.m_nThreads);
  shared.Poll();
  CRangeScanResult result;
  if (join.End(result)) file.EndAt(file.Size());
  return result;
}

CRangeScanResult ScanTextInRanges(std::string_view text, const std::string& path, const CByteMatcher& matcher,
                                  CLineRecorder* recorder, const CCodePage& cp, const ProgressFn& progress,
                                  const CRangeScanSettings& settings) {
  const std::size_t step = std::max<std::size_t>(settings.m_nRangeSize, 1);
  std::vector<CRangeOutcome> ranges((text.size() + step - 1) / step);
  CSharedProgress shared(progress, text.size());
  CRangeJoin join(ranges, recorder);
  RunParallel(
      ranges.size(),
      [&](std::size_t r) {
        if (shared.Stopped()) return;
        CRangeOutcome& out = ranges[r];
        out.m_pRecorder = RangeRecorder(recorder, cp, path);
        const std::size_t begin = r * step, end = std::min(text.size(), begin + step);
        // Progress and stop at least every few megabytes, as a whole-text scan has them.
        const std::size_t piece = std::size_t(1) << 22;
        for (std::size_t from = begin; from < end && !out.m_bStopped; from = std::min(end, from + piece)) {
          if (!shared.Add(0)) out.m_bStopped = true;
          else
            out.m_bStopped = !matcher.ForEachMatch(text, from, std::min(end, from + piece), [&](std::size_t i) {
              ++out.m_nMatches;
              return !out.m_pRecorder || out.m_pRecorder->OnMatch(text, i);
            });
          if (!out.m_bStopped) shared.Add(std::min(end, from + piece) - from);
        }
        if (out.m_pRecorder) out.m_nMatches = static_cast<std::uint64_t>(out.m_pRecorder->Count());
        join.Finished(r);
      },
      settings.m_nThreads);
  shared.Poll();
  CRangeScanResult result;
  join.End(result);
  return result;
}

}  // namespace tessary
