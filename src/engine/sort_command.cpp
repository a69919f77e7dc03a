#include "engine/sort_command.h"

#include "engine/match.h"
#include "engine/number_prefix.h"
#include "engine/sort_entries.h"
#include "engine/sort_keys.h"

namespace tessary {

namespace {

// The window's lines without their line feeds; a last line without one counts too,
// the empty paragraph after a final line feed does not.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// Progress goes out about a hundred times per loop.
std::size_t ProgressStep(std::size_t n) { return n < 100 ? 1 : n / 100; }

// The keyword as it stands in the lines, and the mode it was matched in: spaces
// typed around the search string and the stars at its ends were never part of it.
CPreparedSearch<char> MatchedKeyword(std::string_view search, int nMode) {
  const std::size_t first = search.find_first_not_of(' ');
  if (first == std::string_view::npos) return {std::string(), nMode};
  const std::size_t last = search.find_last_not_of(' ');
  return ApplyStarRule(search.substr(first, last - first + 1), nMode);
}

}  // namespace

SortRefusal CheckSortable(const CListWindowState& source) {
  if (source.m_bSorted) return SortRefusal::kAlreadySorted;
  if (source.m_bSentences) return SortRefusal::kSentences;
  if (!source.m_bConcordance || source.m_bTestMode) return SortRefusal::kNotAList;
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

CSortOutcome SortListWindow(const CListWindowState& source, std::string_view text, bool bRight,
                            int nDistance, const CSortCollator& collator, const CCodePage& cp,
                            const ProgressFn& gather, const ProgressFn& copy) {
  CSortOutcome outcome;
  // A window the command refuses opens nothing, whichever caller forgot to ask.
  if (CheckSortable(source) != SortRefusal::kNone) {
    outcome.m_bGatherStopped = true;
    return outcome;
  }

  const std::vector<std::string_view> lines = SplitLines(text);
  const std::size_t n = lines.size();
  const std::size_t step = ProgressStep(n);
  const auto keyword = MatchedKeyword(source.m_strSearch, source.m_nMatchMode);
  const auto nKeyLength = static_cast<std::int64_t>(keyword.m_strKey.size());

  std::vector<CConcordanceEntry> entries(n);
  for (std::size_t i = 0; i < n; ++i) {
    if (i % step == 0 && !ReportProgress(gather, i, n)) {
      outcome.m_bGatherStopped = true;
      return outcome;
    }
    std::string_view body = lines[i];
    // Numbers are measured per line: from line 1,000,000 on the prefix is wider.
    if (source.m_bLineNumbers) body.remove_prefix(NumberPrefixLength(body));

    CConcordanceEntry& entry = entries[i];
    if (source.m_bDoubleByte) {
      if (bRight)
        BuildDoubleByteRightKey(entry, body, source.m_nWidth, nKeyLength, source.m_bBig5);
      else
        BuildDoubleByteLeftKey(entry, body, source.m_nWidth, source.m_bBig5);
    } else if (bRight) {
      BuildRightKey(entry, body, source.m_nWidth, nKeyLength, nDistance, keyword.m_nMode, cp);
    } else {
      BuildLeftKey(entry, body, source.m_nWidth, nDistance, cp);
    }
    entry.m_nLine = static_cast<std::int64_t>(i);
    // An edited window can hold more lines than the search recorded.
    if (i < source.m_arrEntries.size()) {
      entry.m_nPosition = source.m_arrEntries[i].m_nPosition;
      entry.m_strFile = source.m_arrEntries[i].m_strFile;
    }
  }

  SortEntries(entries, collator, cp);

  CSortedList& list = outcome.m_list;
  CListWindowState& target = list.m_state;
  target.m_strSearch = source.m_strSearch;
  target.m_nWidth = source.m_nWidth;
  target.m_nMatchMode = source.m_nMatchMode;
  target.m_bLineNumbers = source.m_bLineNumbers;
  target.m_bFileReference = source.m_bFileReference;
  target.m_bDoubleByte = source.m_bDoubleByte;
  target.m_bBig5 = source.m_bBig5;
  target.m_bConcordance = true;
  target.m_bSortRight = bRight;
  target.m_bSortLeft = !bRight;

  std::size_t nTextSize = 0;
  for (std::string_view line : lines) nTextSize += line.size() + 1;
  list.m_strText.reserve(nTextSize);

  std::size_t copied = 0;
  for (; copied < n; ++copied) {
    if (copied % step == 0 && !ReportProgress(copy, copied, n)) {
      list.m_bStopped = true;
      break;
    }
    list.m_strText += lines[static_cast<std::size_t>(entries[copied].m_nLine)];
    list.m_strText += '\n';
  }
  // Entry i pairs with line i of the new window, so a stopped copy keeps only the
  // entries of the lines it wrote.
  entries.resize(copied);
  target.m_arrEntries = std::move(entries);
  target.m_bSorted = !list.m_bStopped;
  list.m_nLines = static_cast<std::int64_t>(copied);
  return outcome;
}

}  // namespace tessary
