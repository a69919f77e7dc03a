#include "engine/concordance_search.h"

#include <unistd.h>

#include "engine/file_batches.h"
#include "engine/file_reader.h"
#include "engine/piece_scan.h"
#include "engine/text_file.h"
#include "engine/workers.h"

namespace tessary {

namespace {

std::string_view SearchKey(const CSearchRequest& s, char) { return s.m_strSearch; }
std::u16string_view SearchKey(const CSearchRequest& s, char16_t) { return s.m_wstrSearch; }

std::unique_ptr<CByteMatcher> MakeMatcher(const CPreparedSearch<char>& p, const CSearchRequest& r,
                                          const CCodePage& cp) {
  return std::make_unique<CByteMatcher>(p.m_strKey, p.m_nMode, r.m_language.IsDoubleByte(), cp);
}
std::unique_ptr<CWideMatcher> MakeMatcher(const CPreparedSearch<char16_t>& p, const CSearchRequest& r,
                                          const CCodePage&) {
  return std::make_unique<CWideMatcher>(p.m_strKey, p.m_nMode, r.m_language.IsDoubleByte());
}

CScanResult ScanWith(std::string_view t, const CByteMatcher& m, CLineRecorder* r, const ProgressFn& p) {
  return ScanBytes(t, m, r, p);
}
CScanResult ScanWith(std::u16string_view t, const CWideMatcher& m, CWideLineRecorder* r, const ProgressFn& p) {
  return ScanWide(t, m, r, p);
}

}  // namespace

template <class CharT>
Expected<CSearchParts<CharT>> PrepareSearch(const CSearchRequest& settings, bool bCountOnly) {
  using Result = Expected<CSearchParts<CharT>>;
  CSearchParts<CharT> parts;
  parts.m_prepared = ApplyStarRule(SearchKey(settings, CharT()), settings.m_nMatchMode);
  if (parts.m_prepared.m_strKey.empty()) return Result::Failure("There is nothing to search for.");
  // Sentences always match whole words.
  if (settings.m_bSentences) parts.m_prepared.m_nMode = kMatchWord;
  const bool assoc = settings.IsAssociated();

  auto cp = CCodePage::Open(settings.m_language.TextCodePage());
  if (!cp) return Result::Failure(cp.Error());
  parts.m_pTextCp = *cp;
  parts.m_pMatcher = MakeMatcher(parts.m_prepared, settings, **cp);
  // Counting lines that must first be built and filtered still needs the recorder.
  if (bCountOnly && !assoc && !settings.m_bSentences) return Result(std::move(parts));

  if (settings.SortsLines()) {
    auto collator = CSortCollator::ForUserLocale();
    if (!collator) return Result::Failure(collator.Error());
    parts.m_pCollator = *collator;
  }
  const CRecorderOptions options =
      RecorderOptionsFor(settings, parts.m_prepared.m_strKey.size(), parts.m_prepared.m_nMode);
  parts.m_pRecorder = std::make_unique<typename CSearchParts<CharT>::Recorder>(options, **cp);
  return Result(std::move(parts));
}

template Expected<CSearchParts<char>> PrepareSearch<char>(const CSearchRequest&, bool);
template Expected<CSearchParts<char16_t>> PrepareSearch<char16_t>(const CSearchRequest&, bool);

template <class CharT>
Expected<std::unique_ptr<CConcordanceSearchT<CharT>>> CConcordanceSearchT<CharT>::Create(
    const CSearchRequest& settings, CSearchObserver observer, bool bCountOnly) {
  using Result = Expected<std::unique_ptr<CConcordanceSearchT>>;
  auto parts = PrepareSearch<CharT>(settings, bCountOnly);
  if (!parts) return Result::Failure(parts.Error());
  auto ansi = CCodePage::Open(settings.m_nAnsiCodePage);
  if (!ansi) return Result::Failure(ansi.Error());
  std::unique_ptr<CConcordanceSearchT> search(new CConcordanceSearchT);
  search->m_request = settings;
  search->m_observer = std::move(observer);
  search->m_bCountOnly = bCountOnly;
  search->m_pAnsiCp = *ansi;
  search->m_prepared = std::move(parts->m_prepared);
  search->m_pTextCp = std::move(parts->m_pTextCp);
  search->m_pMatcher = std::move(parts->m_pMatcher);
  search->m_pCollator = std::move(parts->m_pCollator);
  search->m_pRecorder = std::move(parts->m_pRecorder);
  return Result(std::move(search));
}

// Byte searches of long texts, but not sentences: their lines hold their numbers, and
// the 16-bit decoding of a file starts at its start. On one processor the one scan is
// cheaper: nothing to join (tests ask for one thread to have ranges all the same).
template <class CharT>
bool CConcordanceSearchT<CharT>::ScansInRanges(std::uint64_t length) const {
  return sizeof(CharT) == 1 && !m_request.m_bSentences && length > m_ranges.m_nRangeSize &&
         (m_ranges.m_nThreads != 0 || WorkerThreads() > 1);
}

template <class CharT>
void CConcordanceSearchT<CharT>::Scan(Text text, const std::string& path) {
  if (m_bStopped) return;
  if (m_observer.m_fnSource) m_observer.m_fnSource(path, text.size());
  if (m_pRecorder) m_pRecorder->BeginSource(path);
  const std::int64_t before = m_pRecorder ? m_pRecorder->Count() : 0;
  m_nScanBase = before;
  m_bScanning = true;
  CScanResult result;
  if constexpr (sizeof(CharT) == 1) {
    if (ScansInRanges(text.size())) {
      const CRangeScanResult ranges = ScanTextInRanges(text, path, *m_pMatcher, m_pRecorder.get(), *m_pTextCp,
                                                       m_observer.m_fnProgress, m_ranges);
      result.m_nMatches = ranges.m_nMatches;
      result.m_bStopped = ranges.m_bStopped;
    } else {
      result = ScanWith(text, *m_pMatcher, m_pRecorder.get(), m_observer.m_fnProgress);
    }
  } else {
    result = ScanWith(text, *m_pMatcher, m_pRecorder.get(), m_observer.m_fnProgress);
  }
  m_bScanning = false;
  // Sentence and associated-word searches drop some matches: what counts is the lines.
  m_nMatches += m_pRecorder ? static_cast<std::uint64_t>(m_pRecorder->Count() - before) : result.m_nMatches;
  m_bStopped = result.m_bStopped;
}

template <class CharT>
void CConcordanceSearchT<CharT>::SearchText(Text text, const std::string& path) {
  if (!text.empty()) Scan(text, path);
}

// Standard input, read whole: text mode for byte searches.
template <>
void CConcordanceSearchT<char>::ScanFile(CTextFile& file, const std::string& path) {
  Scan(file.Text(), path);
}

// 16-bit searches take a file as the editor loads it, Ctrl-Z and all.
template <>
void CConcordanceSearchT<char16_t>::ScanFile(CTextFile& file, const std::string& path) {
  const std::u16string text = DecodeForEditor(file.Bytes(), *m_pAnsiCp);
  Scan(text, path);
}

// Files are read through a buffer, never whole: a file that changes under the search
// ends its scan with a message, and the lines found in it so far are kept.
template <class CharT>
void CConcordanceSearchT<CharT>::SearchFile(const std::string& path) {
  if (m_bStopped) return;
  auto fd = OpenRegularFile(path);
  if (!fd) {
    m_arrSkipped.push_back(fd.Error());
    return;
  }
  CFileReader file(*fd, path);
  if (m_observer.m_fnSource) m_observer.m_fnSource(path, static_cast<std::uint64_t>(file.Size()));
  const std::int64_t before = m_pRecorder ? m_pRecorder->Count() : 0;
  const auto keyLength = static_cast<std::int64_t>(m_prepared.m_strKey.size());
  auto read = [&file] { return file.Position(); };
  const auto width = m_request.m_nLineWidth;
  m_nScanBase = before;
  m_bScanning = true;
  CScanResult result;
  if constexpr (sizeof(CharT) == 1) {
    const bool keepCrLf = m_bCountOnly && !m_pRecorder && m_pMatcher->MatchesNoControl();
    if (ScansInRanges(static_cast<std::uint64_t>(file.Size()))) {
      if (m_pRecorder) m_pRecorder->BeginSource(path);
      const CRangeScanResult ranges = ScanFileInRanges(file, *fd, path, *m_pMatcher, m_pRecorder.get(), *m_pTextCp,
                                                       width, keepCrLf, m_observer.m_fnProgress, m_ranges);
      result.m_nMatches = ranges.m_nMatches;
      result.m_bStopped = ranges.m_bStopped;
      if (!ranges.m_strProblem.empty()) m_arrSkipped.push_back(ranges.m_strProblem);
    } else {
      CTextModeReader text(file, keepCrLf);
      result = ScanPieces<char>(text, read, file.Size(), *m_pMatcher, m_pRecorder.get(), path, keyLength, width,
                                m_observer.m_fnProgress);
    }
  } else {
    CEditorTextReader text(file, *m_pAnsiCp);
    result = ScanPieces<char16_t>(text, read, file.Size(), *m_pMatcher, m_pRecorder.get(), path, keyLength, width,
                                  m_observer.m_fnProgress);
  }
  ::close(*fd);
  m_bScanning = false;
  // Sentence and associated-word searches drop some matches: what counts is the lines.
  m_nMatches += m_pRecorder ? static_cast<std::uint64_t>(m_pRecorder->Count() - before) : result.m_nMatches;
  m_bStopped = result.m_bStopped;
  if (!file.Problem().empty()) m_arrSkipped.push_back(file.Problem());
}

// What one short file gave when files are searched side by side.
template <class CharT>
struct CConcordanceSearchT<CharT>::FileOutcome {
  std::unique_ptr<Recorder> m_pRecorder;
  std::uint64_t m_nMatches = 0;
  std::uint64_t m_nSize = 0;
  bool m_bOpened = false;
  bool m_bRan = false;
  bool m_bStopped = false;
  std::string m_strProblem;  // it could not be opened, or its reading ended early
};

// One short file on a worker thread: the scan SearchFile makes, into its own recorder.
template <class CharT>
void CConcordanceSearchT<CharT>::ScanShortFile(const std::string& path, FileOutcome& out,
                                               CSharedProgress& progress) const {
  if constexpr (sizeof(CharT) == 1) {
    auto fd = OpenRegularFile(path);
    if (!fd) {
      out.m_strProblem = fd.Error();
      return;
    }
    CFileReader file(*fd, path);
    out.m_bOpened = true;
    out.m_nSize = static_cast<std::uint64_t>(file.Size());
    if (m_pRecorder) out.m_pRecorder = std::make_unique<Recorder>(m_pRecorder->Options(), *m_pTextCp);
    CTextModeReader text(file, m_bCountOnly && !m_pRecorder && m_pMatcher->MatchesNoControl());
    std::uint64_t reported = 0;
    const ProgressFn fileProgress = [&](std::uint64_t done, std::uint64_t) {
      const bool go = progress.Add(done - reported);
      reported = done;
      return go;
    };
    const CScanResult result =
        ScanPieces<char>(text, [&file] { return file.Position(); }, file.Size(), *m_pMatcher, out.m_pRecorder.get(),
                         path, static_cast<std::int64_t>(m_prepared.m_strKey.size()), m_request.m_nLineWidth, fileProgress);
    ::close(*fd);
    out.m_nMatches = out.m_pRecorder ? static_cast<std::uint64_t>(out.m_pRecorder->Count()) : result.m_nMatches;
    out.m_bStopped = result.m_bStopped;
    out.m_strProblem = file.Problem();
  }
}

// Short files side by side; their lines, counts and messages joined in the given order
// up to a stop, whose file keeps the lines found before it.
template <class CharT>
void CConcordanceSearchT<CharT>::SearchShortFiles(const std::vector<std::string>& paths, std::uint64_t bytes) {
  std::vector<FileOutcome> files(paths.size());
  CSharedProgress progress(m_observer.m_fnProgress, bytes);
  RunParallel(files.size(), [&](std::size_t i) {
    if (progress.Stopped()) return;
    ScanShortFile(paths[i], files[i], progress);
    files[i].m_bRan = true;
  }, m_ranges.m_nThreads);
  for (std::size_t i = 0; i < files.size() && !m_bStopped; ++i) {
    FileOutcome& file = files[i];
    m_bStopped = !file.m_bRan || file.m_bStopped;
    if (!file.m_bRan) break;
    if (m_observer.m_fnSource && file.m_bOpened) m_observer.m_fnSource(paths[i], file.m_nSize);
    if (file.m_pRecorder) m_pRecorder->AppendFrom(std::move(*file.m_pRecorder), 0);
    file.m_pRecorder.reset();
    m_nMatches += file.m_nMatches;
    if (!file.m_strProblem.empty()) m_arrSkipped.push_back(file.m_strProblem);
  }
}

// Short files go side by side a batch at a time (up to 64 files or eight ranges' bytes),
// so that no more than a batch's lines are held twice; a long one scans its ranges alone.
template <class CharT>
void CConcordanceSearchT<CharT>::SearchFiles(const std::vector<std::string>& paths) {
  const bool sideBySide = sizeof(CharT) == 1 && !m_request.m_bSentences &&
                          (m_ranges.m_nThreads != 0 || WorkerThreads() > 1);
  ForEachFileBatch(
      paths, sideBySide, m_ranges.m_nRangeSize, std::uint64_t(8) * m_ranges.m_nRangeSize, [this] { return m_bStopped; },
      [this](const std::string& path) { SearchFile(path); },
      [this](const std::vector<std::string>& batch, std::uint64_t bytes) { SearchShortFiles(batch, bytes); });
}

template <class CharT>
void CConcordanceSearchT<CharT>::SearchStream(int fd, const std::string& name) {
  if (m_bStopped) return;
  auto file = CTextFile::FromStream(fd, name);
  if (!file) m_arrSkipped.push_back(file.Error());
  else ScanFile(**file, std::string());
}

template <class CharT>
CAssemblyOptions CConcordanceSearchT<CharT>::AssemblyOptions(const ProgressFn& sortProgress) const {
  CAssemblyOptions options;
  options.m_bSorted = Sorted();
  options.m_bLineNumbers = m_request.m_bLineNumbers;
  options.m_bFileReference = m_request.m_bFileReference;
  options.m_pCollator = m_pCollator.get();
  options.m_pKeyCodePage = m_pTextCp.get();
  options.m_fnSortProgress = sortProgress;
  return options;
}

template <class CharT>
typename CConcordanceSearchT<CharT>::List CConcordanceSearchT<CharT>::Finish(const ProgressFn& copyProgress,
                                                                            const ProgressFn& sortProgress) {
  m_bStopped = false;
  if (!m_pRecorder) return List{};
  return AssembleList(*m_pRecorder, AssemblyOptions(sortProgress), copyProgress);
}

template <class CharT>
void CConcordanceSearchT<CharT>::Stream(const LineSinkT<CharT>& sink) {
  m_bStopped = false;
  if (m_pRecorder) StreamList(*m_pRecorder, AssemblyOptions({}), sink);
}

template <class CharT>
std::vector<CFormatRange> CConcordanceSearchT<CharT>::Ranges(const List& list) const {
  const auto width = m_request.m_nLineWidth;
  const auto length = static_cast<std::int64_t>(m_prepared.m_strKey.size());
  if constexpr (sizeof(CharT) == 1)
    return KeywordRanges(list, width, length,
                         Sorted() && !list.m_bSortStopped && m_request.m_strSortMode != kSortPosition);
  else
    return KeywordRanges(list, width, length);
}

template class CConcordanceSearchT<char>;
template class CConcordanceSearchT<char16_t>;

}  // namespace tessary
