#include "engine/sort_command.h"

#include "engine/match.h"
#include "engine/number_prefix.h"
#include "engine/search_settings.h"
#include "engine/sort_entries.h"
#include "engine/sort_keys.h"

#include <algorithm>

namespace tessary {

template <class CharT>
std::vector<std::basic_string_view<CharT>> SplitLines(std::basic_string_view<CharT> text) {
  std::vector<std::basic_string_view<CharT>> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find(CharT('\n'), start);
    if (end == std::basic_string_view<CharT>::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}
template std::vector<std::string_view> SplitLines(std::string_view);
template std::vector<std::u16string_view> SplitLines(std::u16string_view);

template <class CharT>
std::basic_string<CharT> SortedText(std::basic_string_view<CharT> text, const std::vector<std::int64_t>& order) {
  const auto lines = SplitLines(text);
  std::basic_string<CharT> out;
  out.reserve(text.size() + 1);
  for (std::int64_t line : order) {
    if (line >= 0 && static_cast<std::size_t>(line) < lines.size()) out += lines[static_cast<std::size_t>(line)];
    out += CharT('\n');
  }
  return out;
}
template std::string SortedText(std::string_view, const std::vector<std::int64_t>&);
template std::u16string SortedText(std::u16string_view, const std::vector<std::int64_t>&);

namespace {

// Progress goes out about a hundred times per loop.
std::size_t ProgressStep(std::size_t n) { return n < 100 ? 1 : n / 100; }

// The keyword as it stands in the lines, and the mode it was matched in: spaces
// typed around the search string and the stars at its ends were never part of it.
template <class CharT>
CPreparedSearch<CharT> MatchedKeyword(std::basic_string_view<CharT> search, int nMode) {
  const std::size_t first = search.find_first_not_of(CharT(' '));
  if (first == std::basic_string_view<CharT>::npos) return {std::basic_string<CharT>(), nMode};
  const std::size_t last = search.find_last_not_of(CharT(' '));
  return ApplyStarRule(search.substr(first, last - first + 1), nMode);
}

// Keys every line with keyLine(entry, body, keyLength, mode); false when gathering
// was stopped.
template <class CharT, class Entry, class KeyLine>
bool GatherKeys(const CConcordanceList& source, std::basic_string_view<CharT> text, const ProgressFn& gather,
                std::vector<Entry>& entries, KeyLine keyLine) {
  const auto lines = SplitLines(text);
  const std::size_t n = lines.size();
  const std::size_t step = ProgressStep(n);
  entries.assign(n, Entry());
  for (std::size_t i = 0; i < n; ++i) {
    if (i % step == 0 && !ReportProgress(gather, i, n)) return false;
    std::basic_string_view<CharT> body = lines[i];
    // Numbers are measured per line: from line 1,000,000 on the prefix is wider.
    if (source.LineNumbers()) body.remove_prefix(NumberPrefixLength(body));
    keyLine(entries[i], body);
    entries[i].m_nLine = static_cast<std::int64_t>(i);
  }
  return true;
}

// The target list: the source's request and flags, the sorted entries carrying the
// position and source of the line they came from.
template <class Entry>
CSortOutcome CopySorted(const CConcordanceList& source, const std::vector<Entry>& entries, bool bRight,
                        const ProgressFn& copy) {
  CSortOutcome outcome;
  CSortedList& sorted = outcome.m_sorted;
  CConcordanceList& target = sorted.m_list;
  target.m_request = source.m_request;
  target.m_arrSources = source.m_arrSources;
  target.m_nKeyLength = source.m_nKeyLength;
  target.m_nMatchMode = source.m_nMatchMode;
  target.m_bFromFiles = source.m_bFromFiles;
  target.m_bBigFile = source.m_bBigFile;
  target.m_nChunkStart = source.m_nChunkStart;
  target.m_bSortRight = bRight;
  target.m_bSortLeft = !bRight;

  const std::size_t n = entries.size();
  const std::size_t step = ProgressStep(n);
  target.m_arrEntries.reserve(n);
  sorted.m_arrOrder.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    if (i % step == 0 && !ReportProgress(copy, i, n)) {
      sorted.m_bStopped = true;
      break;
    }
    const Entry& e = entries[i];
    CListEntry entry;
    // An edited window can hold more lines than the search recorded.
    if (const CListEntry* old = source.EntryOfLine(e.m_nLine)) entry = *old;
    if constexpr (std::is_same_v<Entry, CConcordanceEntry>) {
      entry.m_nKeyOffset = static_cast<std::int32_t>(e.m_nKeyOffset);
      entry.m_nKeyLength = static_cast<std::int32_t>(e.m_nKeyLength);
    } else {
      entry.m_nKeyOffset = entry.m_nKeyLength = 0;
    }
    target.m_arrEntries.push_back(entry);
    sorted.m_arrOrder.push_back(e.m_nLine);
  }
  target.m_bSorted = !sorted.m_bStopped;
  return outcome;
}

}  // namespace

SortRefusal CheckSortable(const CConcordanceList* source) {
  if (!source) return SortRefusal::kNotAList;
  if (source->m_bSorted) return SortRefusal::kAlreadySorted;
  if (source->Sentences()) return SortRefusal::kSentences;
  if (source->TestMode()) return SortRefusal::kNotAList;
  return SortRefusal::kNone;
}

std::string SortRefusalMessage(SortRefusal refusal) {
  switch (refusal) {
    case SortRefusal::kAlreadySorted:
      return "This window lists concordances which have already been sorted. Select an "
             "unsorted list window to run another sort.";
    case SortRefusal::kSentences:
      return "You cannot sort collocates for sentences. Run a normal concordance search to get "
             "an unsorted list window before running a collocate sort.";
    case SortRefusal::kNone:
    case SortRefusal::kNotAList:
      break;
  }
  return {};
}

std::optional<std::vector<CConcordanceEntry>> KeyListLines(const CConcordanceList& source, std::string_view text,
                                                           bool bRight, int nDistance, const CCodePage& cp,
                                                           const ProgressFn& progress) {
  const auto keyword = MatchedKeyword(std::string_view(source.m_request.m_strSearch), source.m_request.m_nMatchMode);
  const auto nKeyLength = static_cast<std::int64_t>(keyword.m_strKey.size());
  const std::int64_t width = source.Width();
  const CTextLanguage& language = source.Language();
  std::vector<CConcordanceEntry> entries;
  const bool gathered = GatherKeys(source, text, progress, entries, [&](CConcordanceEntry& entry, std::string_view body) {
    if (language.IsDoubleByte()) {
      if (bRight) BuildDoubleByteRightKey(entry, body, width, nKeyLength, language.Keys());
      else BuildDoubleByteLeftKey(entry, body, width, language.Keys());
    } else if (bRight) {
      BuildRightKey(entry, body, width, nKeyLength, nDistance, keyword.m_nMode, cp);
    } else {
      BuildLeftKey(entry, body, width, nDistance, cp);
    }
  });
  if (!gathered) return std::nullopt;
  return entries;
}

std::optional<std::vector<CWideConcordanceEntry>> KeyWideListLines(const CConcordanceList& source,
                                                                   std::u16string_view text, bool bRight,
                                                                   int nDistance, const ProgressFn& progress) {
  const auto keyword =
      MatchedKeyword(std::u16string_view(source.m_request.m_wstrSearch), source.m_request.m_nMatchMode);
  const auto nKeyLength = static_cast<std::int64_t>(keyword.m_strKey.size());
  const std::int64_t width = source.Width();
  std::vector<CWideConcordanceEntry> entries;
  const bool gathered =
      GatherKeys(source, text, progress, entries, [&](CWideConcordanceEntry& entry, std::u16string_view body) {
        if (bRight) BuildWideRightKey(entry, body, width, nKeyLength, nDistance, keyword.m_nMode);
        else BuildWideLeftKey(entry, body, width, nDistance);
      });
  if (!gathered) return std::nullopt;
  return entries;
}

namespace {

// The sorted window records the sort it holds, so that later commands (collocate
// lists) key it by the same side and distance.
CSortOutcome Recorded(CSortOutcome outcome, bool bRight, int nDistance) {
  CSearchRequest& request = outcome.m_sorted.m_list.m_request;
  request.m_nSortDistance = std::clamp(nDistance, 1, 3);
  request.m_strSortMode = bRight ? kSortRight : kSortLeft;
  return outcome;
}

}  // namespace

CSortOutcome SortList(const CConcordanceList& source, std::string_view text, bool bRight, int nDistance,
                      const CSortCollator& collator, const CCodePage& cp, const ProgressFn& gather,
                      const ProgressFn& copy, const SortStartFn& sortStarts) {
  // A window the command refuses opens nothing, whichever caller forgot to ask.
  if (CheckSortable(&source) != SortRefusal::kNone || source.Unicode()) return {true, {}};
  auto entries = KeyListLines(source, text, bRight, nDistance, cp, gather);
  if (!entries) return {true, {}};
  if (sortStarts) sortStarts(entries->size());
  if (!SortEntries(*entries, collator, cp, gather)) return {true, {}};
  return Recorded(CopySorted(source, *entries, bRight, copy), bRight, nDistance);
}

CSortOutcome SortWideList(const CConcordanceList& source, std::u16string_view text, bool bRight, int nDistance,
                          const CSortCollator& collator, const ProgressFn& gather, const ProgressFn& copy,
                          const SortStartFn& sortStarts) {
  if (CheckSortable(&source) != SortRefusal::kNone || !source.Unicode()) return {true, {}};
  auto entries = KeyWideListLines(source, text, bRight, nDistance, gather);
  if (!entries) return {true, {}};
  if (sortStarts) sortStarts(entries->size());
  if (!SortEntries(*entries, collator, gather)) return {true, {}};
  return Recorded(CopySorted(source, *entries, bRight, copy), bRight, nDistance);
}

}  // namespace tessary
