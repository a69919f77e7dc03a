#include "engine/assembly.h"

#include <algorithm>

#include "engine/number_prefix.h"
#include "engine/sort_entries.h"
#include "engine/workers.h"

namespace tessary {

namespace {

template <class CharT>
void AppendAscii(std::basic_string<CharT>& out, std::string_view s) {
  out.append(s.begin(), s.end());
}

void AppendReference(std::string& out, const std::string& path) {
  out += " (";
  out += path;
  out += ')';
}

void AppendReference(std::u16string& out, const std::string& path) {
  out += u' ';
  out += Utf8ToUtf16(path);
}

bool Sort(std::vector<CConcordanceEntry>& e, const CAssemblyOptions& o) {
  return SortEntries(e, *o.m_pCollator, *o.m_pKeyCodePage, o.m_fnSortProgress);
}
bool Sort(std::vector<CWideConcordanceEntry>& e, const CAssemblyOptions& o) {
  return SortEntries(e, *o.m_pCollator, o.m_fnSortProgress);
}

// The entries in output order, sorted when asked; false when the sort was stopped (they
// then stand as found). Takes the recorder's entries.
template <class CharT, class Entry>
bool TakeEntries(CLineRecorderT<CharT, Entry>& recorder, const CAssemblyOptions& o, std::vector<Entry>& entries) {
  entries = std::move(recorder.Entries());
  recorder.Entries().clear();
  return !o.m_bSorted || recorder.Sentences() || Sort(entries, o);
}

// A sorted list reads its lines all over the line store: asking for the line a few
// entries ahead while this one is copied hides most of the wait for memory.
template <class CharT, class Entry>
void PrefetchLine(const CLineRecorderT<CharT, Entry>& recorder, const std::vector<Entry>& entries, std::size_t i) {
  constexpr std::size_t kAhead = 16;
  if (i + kAhead >= entries.size()) return;
  const auto line = recorder.Lines().Line(static_cast<std::size_t>(entries[i + kAhead].m_nLine));
  const auto* bytes = reinterpret_cast<const char*>(line.data());
  for (std::size_t at = 0; at < line.size() * sizeof(CharT); at += 64) __builtin_prefetch(bytes + at);
}

// Appends the window line of entry (number i + 1 in output order) to out.
template <class CharT, class Entry>
CLineLayout AppendWindowLine(std::basic_string<CharT>& out, const CLineRecorderT<CharT, Entry>& recorder,
                             const CAssemblyOptions& o, const Entry& entry, std::size_t i) {
  const auto line = static_cast<std::size_t>(entry.m_nLine);
  const auto& lines = recorder.Lines();
  CLineLayout layout;
  layout.m_nStart = static_cast<std::int64_t>(out.size());
  if (recorder.Sentences()) {
    const CSentenceLine& sentence = recorder.SentenceLines()[line];
    out.append(lines.Line(line));
    layout.m_nPrefix = sentence.m_nPrefix;
    layout.m_nBody = sentence.m_nBody;
    layout.m_nPath = sentence.m_nPath;
    return layout;
  }
  if (o.m_bLineNumbers) {
    const std::string prefix = NumberPrefix(static_cast<std::int64_t>(i) + 1);
    AppendAscii(out, prefix);
    layout.m_nPrefix = static_cast<std::int64_t>(prefix.size());
  }
  const auto body = lines.Line(line);
  out.append(body);
  layout.m_nBody = static_cast<std::int64_t>(body.size());
  if (o.m_bFileReference) {
    const std::size_t before = out.size();
    AppendReference(out, recorder.FileOf(entry));
    layout.m_nPath = static_cast<std::int64_t>(out.size() - before) - (sizeof(CharT) == 1 ? 3 : 1);
  }
  out.push_back(CharT('\n'));
  return layout;
}

template <class CharT, class Entry>
CAssembledListT<CharT, Entry> Assemble(CLineRecorderT<CharT, Entry>& recorder, const CAssemblyOptions& o,
                                       const ProgressFn& progress) {
  CAssembledListT<CharT, Entry> list;
  list.m_bSentences = recorder.Sentences();
  list.m_bSortStopped = !TakeEntries(recorder, o, list.m_arrEntries);
  const std::size_t assocWords = recorder.AssocWords();
  for (std::size_t k = 0; k < assocWords; ++k) list.m_arrAssocLength.push_back(recorder.AssocLength(k));
  std::vector<std::int64_t>* assoc[] = {&list.m_arrAssoc1, &list.m_arrAssoc2, &list.m_arrAssoc3};

  const std::size_t n = list.m_arrEntries.size();
  const std::size_t step = std::max<std::size_t>(1, n / 100);
  list.m_arrLayout.reserve(n);
  if (n > 0) list.m_strOutput.reserve(n * (recorder.Lines().Line(0).size() + 9));
  for (std::size_t i = 0; i < n; ++i) {
    if (i % step == 0 && !ReportProgress(progress, i, n)) {
      list.m_bStopped = true;
      list.m_arrEntries.resize(i);
      break;
    }
    PrefetchLine(recorder, list.m_arrEntries, i);
    const Entry& entry = list.m_arrEntries[i];
    const CLineLayout layout = AppendWindowLine(list.m_strOutput, recorder, o, entry, i);
    list.m_arrLayout.push_back(layout);
    if (list.m_bSentences) {
      list.m_arrKeyOffsets.push_back(recorder.SentenceLines()[static_cast<std::size_t>(entry.m_nLine)].m_nKeyOffset);
      continue;
    }
    for (std::size_t k = 0; k < assocWords; ++k)
      assoc[k]->push_back(layout.m_nPrefix + recorder.AssocColumns(k)[static_cast<std::size_t>(entry.m_nLine)]);
  }
  list.m_arrFiles = std::move(recorder.Files());
  recorder.Files().clear();
  recorder.EmptyLines();
  return list;
}

// Lines of one block of the output, joined, each with its layout (m_nStart in text).
template <class CharT>
struct CLineBlock {
  std::basic_string<CharT> m_text;
  std::vector<CLineLayout> m_arrLayout;
};

template <class CharT, class Entry>
void Stream(CLineRecorderT<CharT, Entry>& recorder, const CAssemblyOptions& o, const LineSinkT<CharT>& sink) {
  std::vector<Entry> entries;
  TakeEntries(recorder, o, entries);
  // Copying the lines in sorted order waits on memory: blocks of lines are copied side
  // by side on the worker pool, then handed to sink in order on this thread.
  constexpr std::size_t kBlockLines = 4096;
  const std::size_t threads = WorkerThreads();
  std::vector<CLineBlock<CharT>> blocks(threads);
  for (std::size_t first = 0; first < entries.size(); first += threads * kBlockLines) {
    const std::size_t count = std::min(threads, (entries.size() - first + kBlockLines - 1) / kBlockLines);
    RunParallel(count, [&](std::size_t b) {
      CLineBlock<CharT>& block = blocks[b];
      block.m_text.clear();
      block.m_arrLayout.clear();
      const std::size_t from = first + b * kBlockLines, to = std::min(entries.size(), from + kBlockLines);
      for (std::size_t i = from; i < to; ++i) {
        PrefetchLine(recorder, entries, i);
        block.m_arrLayout.push_back(AppendWindowLine(block.m_text, recorder, o, entries[i], i));
      }
    });
    for (std::size_t b = 0; b < count; ++b) {
      const auto& block = blocks[b];
      for (std::size_t k = 0; k < block.m_arrLayout.size(); ++k) {
        CLineLayout layout = block.m_arrLayout[k];
        const auto start = static_cast<std::size_t>(layout.m_nStart);
        const std::size_t end = k + 1 < block.m_arrLayout.size()
                                    ? static_cast<std::size_t>(block.m_arrLayout[k + 1].m_nStart)
                                    : block.m_text.size();
        layout.m_nStart = 0;
        sink(std::basic_string_view<CharT>(block.m_text).substr(start, end - start), layout);
      }
    }
  }
  recorder.EmptyLines();
}

CFormatRange Keyword(std::int64_t line, std::int64_t column, std::int64_t length) {
  CFormatRange r;
  r.m_kind = CFormatRange::kKeyword;
  r.m_nLine = line;
  r.m_nColumn = column;
  r.m_nLength = length;
  return r;
}

// The keyword of a sentence line, at its own column of the sentence.
template <class List>
CFormatRange SentenceKeyword(const List& list, std::int64_t i, std::int64_t keyLength) {
  const auto line = static_cast<std::size_t>(i);
  CFormatRange r = Keyword(i, list.m_arrKeyOffsets[line] - list.m_arrLayout[line].m_nPrefix, keyLength);
  r.m_kind = CFormatRange::kSentenceKeyword;
  return r;
}

// A list put together by hand may lack some lines' columns: those lines get no range.
template <class List>
bool HasColumn(const List& list, std::int64_t i, std::size_t k) {
  return k < kMaxAssocWords && static_cast<std::size_t>(i) < list.AssocColumns(k).size();
}

// Associated word k of line i; columns in the list count the number prefix, ranges
// count from the body.
template <class List>
CFormatRange Associated(const List& list, std::int64_t i, std::size_t k) {
  static constexpr CFormatRange::Kind kKinds[] = {CFormatRange::kAssociated1, CFormatRange::kAssociated2,
                                                  CFormatRange::kAssociated3};
  const auto line = static_cast<std::size_t>(i);
  CFormatRange r;
  r.m_kind = kKinds[k];
  r.m_nLine = i;
  r.m_nColumn = list.AssocColumns(k)[line] - list.m_arrLayout[line].m_nPrefix;
  r.m_nLength = list.m_arrAssocLength[k];
  return r;
}

}  // namespace

CAssembledList AssembleList(CLineRecorder& recorder, const CAssemblyOptions& options,
                            const ProgressFn& progress) {
  return Assemble(recorder, options, progress);
}

CWideAssembledList AssembleList(CWideLineRecorder& recorder, const CAssemblyOptions& options,
                                const ProgressFn& progress) {
  return Assemble(recorder, options, progress);
}

void StreamList(CLineRecorder& recorder, const CAssemblyOptions& options, const LineSinkT<char>& sink) {
  Stream(recorder, options, sink);
}

void StreamList(CWideLineRecorder& recorder, const CAssemblyOptions& options, const LineSinkT<char16_t>& sink) {
  Stream(recorder, options, sink);
}

std::vector<CFormatRange> KeywordRanges(const CAssembledList& list, std::int64_t width,
                                        std::int64_t keyLength, bool bSorted) {
  std::vector<CFormatRange> ranges;
  if (list.m_bSentences) {
    ranges.reserve(list.m_arrLayout.size());
    for (std::int64_t i = 0; i < list.Lines() && i < static_cast<std::int64_t>(list.m_arrKeyOffsets.size()); ++i)
      ranges.push_back(SentenceKeyword(list, i, keyLength));
    return ranges;
  }
  ranges.reserve(list.m_arrLayout.size() * ((bSorted ? 2 : 1) + list.m_arrAssocLength.size()));
  for (std::int64_t i = 0; i < list.Lines(); ++i) {
    ranges.push_back(Keyword(i, width, keyLength));
    const auto& entry = list.m_arrEntries[static_cast<std::size_t>(i)];
    if (bSorted && entry.m_nKeyLength > 0) {
      CFormatRange r;
      r.m_kind = CFormatRange::kCollocate;
      r.m_nLine = i;
      r.m_nColumn = entry.m_nKeyOffset;
      r.m_nLength = entry.m_nKeyLength;
      ranges.push_back(r);
    }
    for (std::size_t k = 0; k < list.m_arrAssocLength.size(); ++k)
      if (HasColumn(list, i, k)) ranges.push_back(Associated(list, i, k));
  }
  return ranges;
}

std::vector<CFormatRange> KeywordRanges(const CWideAssembledList& list, std::int64_t width,
                                        std::int64_t keyLength) {
  std::vector<CFormatRange> ranges;
  ranges.reserve(list.m_arrLayout.size() * (1 + list.m_arrAssocLength.size()));
  for (std::int64_t i = 0; i < list.Lines(); ++i) {
    if (list.m_bSentences) {
      if (i < static_cast<std::int64_t>(list.m_arrKeyOffsets.size()))
        ranges.push_back(SentenceKeyword(list, i, keyLength));
      continue;
    }
    ranges.push_back(Keyword(i, width, keyLength));
    for (std::size_t k = 0; k < list.m_arrAssocLength.size(); ++k)
      if (HasColumn(list, i, k)) ranges.push_back(Associated(list, i, k));
  }
  return ranges;
}

CListFont ListFont(ListSource source) {
  switch (source) {
    case ListSource::kOpenDocuments: return {"Courier New", 8};
    case ListSource::kOpenDocumentsUnicode: return {"Courier", 10};
    case ListSource::kFiles: break;
  }
  return {"Fixedsys", 10};
}

// Offset of the line feed that ends line i (paths may hold line feeds of their own).
static std::size_t LineEnd(const CAssembledList& list, std::size_t i) {
  const std::size_t next = i + 1 < list.m_arrLayout.size() ? static_cast<std::size_t>(list.m_arrLayout[i + 1].m_nStart)
                                                           : list.m_strOutput.size();
  return next - 1;
}

std::string_view Utf8Line(std::string_view line, const CLineLayout& l, const CCodePage& cp, std::string& scratch) {
  const auto prefix = static_cast<std::size_t>(l.m_nPrefix);
  const std::string_view body = line.substr(prefix, static_cast<std::size_t>(l.m_nBody));
  if (std::all_of(body.begin(), body.end(), [](char c) { return (c & 0x80) == 0; })) return line;
  scratch.assign(line.substr(0, prefix));
  scratch += cp.ToUtf8(body);
  scratch.append(line.substr(prefix + body.size()));
  return scratch;
}

void RenderUtf8(const CAssembledList& list, const CCodePage& cp,
                const std::function<void(std::string_view)>& write) {
  const std::string_view text(list.m_strOutput);
  std::string scratch;
  for (std::size_t i = 0; i < list.m_arrLayout.size(); ++i) {
    const auto start = static_cast<std::size_t>(list.m_arrLayout[i].m_nStart);
    write(Utf8Line(text.substr(start, LineEnd(list, i) + 1 - start), list.m_arrLayout[i], cp, scratch));
  }
}

std::string RenderUtf8(const CAssembledList& list, const CCodePage& cp) {
  std::string out;
  out.reserve(list.m_strOutput.size() + list.m_strOutput.size() / 8);
  RenderUtf8(list, cp, [&](std::string_view piece) { out.append(piece); });
  return out;
}

std::string RenderUtf8(const CWideAssembledList& list) { return Utf16ToUtf8(list.m_strOutput); }

namespace {

// Converts one line piece by piece, so that every range edge inside the body has an
// exact UTF-16 column even in double-byte text.
struct LineMap {
  std::vector<std::int64_t> cuts;   // body columns, ascending
  std::vector<std::int64_t> units;  // their UTF-16 columns in the line
  std::int64_t At(std::int64_t column) const {
    auto it = std::lower_bound(cuts.begin(), cuts.end(), column);
    return units[static_cast<std::size_t>(it - cuts.begin())];
  }
};

}  // namespace

namespace {

// The ranges of lines [first, last): ranges come in line order.
std::pair<std::size_t, std::size_t> RangesOfLines(const std::vector<CFormatRange>& ranges, std::int64_t first,
                                                  std::int64_t last) {
  auto byLine = [](const CFormatRange& r, std::int64_t line) { return r.m_nLine < line; };
  const auto from = std::lower_bound(ranges.begin(), ranges.end(), first, byLine);
  const auto to = std::lower_bound(from, ranges.end(), last, byLine);
  return {static_cast<std::size_t>(from - ranges.begin()), static_cast<std::size_t>(to - ranges.begin())};
}

}  // namespace

CRenderedText RenderUtf16(const CAssembledList& list, const CCodePage& cp, const std::vector<CFormatRange>& ranges,
                          std::int64_t first, std::int64_t last) {
  CRenderedText out;
  first = std::clamp<std::int64_t>(first, 0, list.Lines());
  last = std::clamp<std::int64_t>(last, first, list.Lines());
  const auto [rangeFrom, rangeTo] = RangesOfLines(ranges, first, last);
  const auto count = static_cast<std::size_t>(last - first);
  // Only lines with ranges need the exact column map of a double-byte text.
  std::vector<std::vector<std::int64_t>> cutsByLine(count);
  for (std::size_t k = rangeFrom; k < rangeTo; ++k) {
    const CFormatRange& r = ranges[k];
    auto& cuts = cutsByLine[static_cast<std::size_t>(r.m_nLine - first)];
    cuts.push_back(r.m_nColumn);
    cuts.push_back(r.m_nColumn + r.m_nLength);
  }
  std::vector<std::int64_t> lineStart(count);
  std::vector<LineMap> maps(count);
  const std::string_view text(list.m_strOutput);
  if (count > 0) {
    const auto begin = static_cast<std::size_t>(list.m_arrLayout[static_cast<std::size_t>(first)].m_nStart);
    out.m_wstrText.reserve(LineEnd(list, static_cast<std::size_t>(last - 1)) + 1 - begin);
  }
  for (std::size_t j = 0; j < count; ++j) {
    const std::size_t i = static_cast<std::size_t>(first) + j;
    const CLineLayout& l = list.m_arrLayout[i];
    const std::size_t start = static_cast<std::size_t>(l.m_nStart);
    lineStart[j] = static_cast<std::int64_t>(out.m_wstrText.size());
    AppendAscii(out.m_wstrText, text.substr(start, static_cast<std::size_t>(l.m_nPrefix)));
    auto& cuts = cutsByLine[j];
    for (auto& c : cuts) c = std::clamp<std::int64_t>(c, 0, l.m_nBody);
    cuts.push_back(0);
    cuts.push_back(l.m_nBody);
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    const std::string_view body = text.substr(start + l.m_nPrefix, static_cast<std::size_t>(l.m_nBody));
    LineMap& map = maps[j];
    map.cuts = std::move(cuts);
    map.units.push_back(static_cast<std::int64_t>(out.m_wstrText.size()) - lineStart[j]);
    for (std::size_t k = 1; k < map.cuts.size(); ++k) {
      out.m_wstrText += cp.ToUnicode(body.substr(map.cuts[k - 1], map.cuts[k] - map.cuts[k - 1]));
      map.units.push_back(static_cast<std::int64_t>(out.m_wstrText.size()) - lineStart[j]);
    }
    const std::size_t rest = start + l.m_nPrefix + l.m_nBody;
    out.m_wstrText += Utf8ToUtf16(text.substr(rest, LineEnd(list, i) + 1 - rest));
  }
  for (std::size_t k = rangeFrom; k < rangeTo; ++k) {
    const CFormatRange& r = ranges[k];
    const auto j = static_cast<std::size_t>(r.m_nLine - first);
    const CLineLayout& l = list.m_arrLayout[static_cast<std::size_t>(r.m_nLine)];
    const std::int64_t from = maps[j].At(std::clamp<std::int64_t>(r.m_nColumn, 0, l.m_nBody));
    const std::int64_t to = maps[j].At(std::clamp<std::int64_t>(r.m_nColumn + r.m_nLength, 0, l.m_nBody));
    out.m_arrRanges.push_back({lineStart[j] + from, to - from, r});
  }
  return out;
}

CRenderedText RenderUtf16(const CAssembledList& list, const CCodePage& cp, const std::vector<CFormatRange>& ranges) {
  return RenderUtf16(list, cp, ranges, 0, list.Lines());
}

CRenderedText RenderUtf16(const CWideAssembledList& list, const std::vector<CFormatRange>& ranges,
                          std::int64_t first, std::int64_t last) {
  CRenderedText out;
  first = std::clamp<std::int64_t>(first, 0, list.Lines());
  last = std::clamp<std::int64_t>(last, first, list.Lines());
  if (first == last) return out;
  const std::int64_t begin = list.m_arrLayout[static_cast<std::size_t>(first)].m_nStart;
  const std::int64_t end = last < list.Lines() ? list.m_arrLayout[static_cast<std::size_t>(last)].m_nStart
                                               : static_cast<std::int64_t>(list.m_strOutput.size());
  out.m_wstrText = list.m_strOutput.substr(static_cast<std::size_t>(begin), static_cast<std::size_t>(end - begin));
  const auto [rangeFrom, rangeTo] = RangesOfLines(ranges, first, last);
  for (std::size_t k = rangeFrom; k < rangeTo; ++k) {
    const CFormatRange& r = ranges[k];
    const CLineLayout& l = list.m_arrLayout[static_cast<std::size_t>(r.m_nLine)];
    const std::int64_t from = std::clamp<std::int64_t>(r.m_nColumn, 0, l.m_nBody);
    const std::int64_t to = std::clamp<std::int64_t>(r.m_nColumn + r.m_nLength, 0, l.m_nBody);
    out.m_arrRanges.push_back({l.m_nStart - begin + l.m_nPrefix + from, to - from, r});
  }
  return out;
}

CRenderedText RenderUtf16(const CWideAssembledList& list, const std::vector<CFormatRange>& ranges) {
  return RenderUtf16(list, ranges, 0, list.Lines());
}

}  // namespace tessary
