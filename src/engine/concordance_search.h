#pragma once
// One concordance search from request to assembled list, without any window: the
// sources (open documents' texts, files, standard input) are fed in turn, then the
// result is assembled. The shell shows progress through the callbacks.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/assembly.h"
#include "engine/codepage.h"
#include "engine/collation.h"
#include "engine/line_recorder.h"
#include "engine/match.h"
#include "engine/progress.h"
#include "engine/range_scan.h"
#include "engine/search_request.h"

namespace tessary {

class CSharedProgress;
class CTextFile;

struct CSearchObserver {
  // A source begins: its title or path, and its length ("This file:", "Size:").
  std::function<void(const std::string& title, std::uint64_t length)> m_fnSource;
  // Progress within the current text; false stops the search.
  ProgressFn m_fnProgress;
};

// What every search prepares from its settings: the key as matched (star rule;
// sentences match whole words), the text's code page, the matcher, and, unless the
// search only counts, the collator of a sorted list and the line recorder.
template <class CharT>
struct CSearchParts {
  using Matcher = std::conditional_t<sizeof(CharT) == 1, CByteMatcher, CWideMatcher>;
  using Recorder = std::conditional_t<sizeof(CharT) == 1, CLineRecorder, CWideLineRecorder>;
  CPreparedSearch<CharT> m_prepared;
  std::shared_ptr<const CCodePage> m_pTextCp;
  std::unique_ptr<Matcher> m_pMatcher;
  std::shared_ptr<const CSortCollator> m_pCollator;
  std::unique_ptr<Recorder> m_pRecorder;
};
// Fails when nothing is left to search for, an associated-word search has no word 1,
// or a code page or the collation cannot be had.
template <class CharT>
Expected<CSearchParts<CharT>> PrepareSearch(const CSearchRequest& request, bool bCountOnly);

template <class CharT>
class CConcordanceSearchT;

using CConcordanceSearch = CConcordanceSearchT<char>;
using CWideConcordanceSearch = CConcordanceSearchT<char16_t>;

template <class CharT>
class CConcordanceSearchT {
 public:
  using Text = std::basic_string_view<CharT>;
  using Matcher = std::conditional_t<sizeof(CharT) == 1, CByteMatcher, CWideMatcher>;
  using Recorder = std::conditional_t<sizeof(CharT) == 1, CLineRecorder, CWideLineRecorder>;
  using List = std::conditional_t<sizeof(CharT) == 1, CAssembledList, CWideAssembledList>;

  // Takes the search string of the request (m_strSearch, already in the text code
  // page, or m_wstrSearch). Fails when nothing is left to search for, or when a code
  // page or the collation cannot be had. bCountOnly keeps no lines. m_bSentences asks
  // for sentence lines (whole words, never sorted).
  static Expected<std::unique_ptr<CConcordanceSearchT>> Create(const CSearchRequest& request,
                                                               CSearchObserver observer, bool bCountOnly = false);

  // One text (an open document's plain text); path may be empty.
  void SearchText(Text text, const std::string& path);
  // Byte searches: a file read in text mode. 16-bit searches: a file decoded as the
  // editor loads it. A file that cannot be read is skipped; its message is kept.
  void SearchFile(const std::string& path);
  // Files in turn, as SearchFile searches them; byte searches (not sentences) scan
  // short files side by side on the worker threads, their lines joined in this order.
  void SearchFiles(const std::vector<std::string>& paths);
  // Standard input, read the same way as a file.
  void SearchStream(int fd, const std::string& name);

  // Texts longer than one range are scanned in ranges on the worker threads; tests
  // use tiny ranges and a fixed thread count.
  void SetRanges(const CRangeScanSettings& ranges) { m_ranges = ranges; }

  bool Stopped() const { return m_bStopped; }
  // The lines found so far, also while a text is scanned (from the progress callback);
  // sentence and associated-word searches count only the matches that give a line.
  std::uint64_t Matches() const {
    return m_nMatches + (m_bScanning && m_pRecorder ? static_cast<std::uint64_t>(m_pRecorder->Count() - m_nScanBase) : 0);
  }
  const std::vector<std::string>& SkippedFiles() const { return m_arrSkipped; }
  const CPreparedSearch<CharT>& Prepared() const { return m_prepared; }
  const CSearchRequest& Request() const { return m_request; }
  const CCodePage& TextCodePage() const { return *m_pTextCp; }
  bool Sorted() const { return m_request.SortsLines(); }

  // Sorts when asked, numbers, joins. The stop request is cleared first, so that a
  // stopped search still shows all the lines it found; sortProgress may stop the sort
  // (the lines then stand as found), copyProgress the copy.
  List Finish(const ProgressFn& copyProgress = {}, const ProgressFn& sortProgress = {});
  // Finish for a caller that writes the lines out: each goes to sink as it is assembled
  // and the window text is never held whole (see StreamList).
  void Stream(const LineSinkT<CharT>& sink);
  // The key-word formatting of the finished list.
  std::vector<CFormatRange> Ranges(const List& list) const;

 private:
  CConcordanceSearchT() = default;
  void Scan(Text text, const std::string& path);
  void ScanFile(CTextFile& file, const std::string& path);
  CAssemblyOptions AssemblyOptions(const ProgressFn& sortProgress) const;
  bool ScansInRanges(std::uint64_t length) const;
  struct FileOutcome;
  void ScanShortFile(const std::string& path, FileOutcome& out, CSharedProgress& progress) const;
  // bytes: their sizes' sum, what progress counts.
  void SearchShortFiles(const std::vector<std::string>& paths, std::uint64_t bytes);

  CSearchRequest m_request;
  CSearchObserver m_observer;
  CPreparedSearch<CharT> m_prepared;
  std::shared_ptr<const CCodePage> m_pTextCp;
  std::shared_ptr<const CCodePage> m_pAnsiCp;  // decodes files for 16-bit searches
  std::shared_ptr<const CSortCollator> m_pCollator;
  std::unique_ptr<Matcher> m_pMatcher;
  std::unique_ptr<Recorder> m_pRecorder;
  bool m_bCountOnly = false;
  bool m_bStopped = false;
  bool m_bScanning = false;
  std::int64_t m_nScanBase = 0;  // the recorder's count when the current text began
  std::uint64_t m_nMatches = 0;
  std::vector<std::string> m_arrSkipped;
  CRangeScanSettings m_ranges;
};

}  // namespace tessary
