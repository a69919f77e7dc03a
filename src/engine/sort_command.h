#pragma once
// The core of "Sort concordances by right/left collocates": read the lines of an
// existing, unsorted list window, key them, order them and produce the new window's
// list. The new list keeps its source's request (width, language, flags), never the
// current settings; byte lists are keyed in their own language, 16-bit lists by the
// 16-bit collocate rule.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/codepage.h"
#include "engine/collation.h"
#include "engine/concordance_list.h"
#include "engine/progress.h"

namespace tessary {

enum class SortRefusal { kNone, kAlreadySorted, kSentences, kNotAList };

// Refusals in the order they are tested; a window without a list, and a test window,
// are kNotAList.
SortRefusal CheckSortable(const CConcordanceList* source);
// The message box text of a refusal; empty for kNone and kNotAList (silent).
std::string SortRefusalMessage(SortRefusal refusal);

struct CSortedList {
  CConcordanceList m_list;               // the target: source request, sorted, fresh entries
  std::vector<std::int64_t> m_arrOrder;  // line i of the target is line m_arrOrder[i] of the source
  bool m_bStopped = false;               // stopped while copying: the lines so far, not sorted
};

// text: the source window's text, lines ending in '\n' (a final line without one counts
// too); lines are read whole. Byte lists: cp decodes keys for the collator and
// classifies letters; for double-byte lists it is the list's code set. gather and copy
// are the two loops' progress-and-stop callbacks. Stopped while gathering, or a source
// that CheckSortable refuses: m_bGatherStopped, and no new window is opened.
struct CSortOutcome {
  bool m_bGatherStopped = false;
  CSortedList m_sorted;
};
// sortStarts is told the number of keyed lines when their ordering begins.
using SortStartFn = std::function<void(std::size_t entries)>;
CSortOutcome SortList(const CConcordanceList& source, std::string_view text, bool bRight, int nDistance,
                      const CSortCollator& collator, const CCodePage& cp, const ProgressFn& gather = {},
                      const ProgressFn& copy = {}, const SortStartFn& sortStarts = {});
CSortOutcome SortWideList(const CConcordanceList& source, std::u16string_view text, bool bRight, int nDistance,
                          const CSortCollator& collator, const ProgressFn& gather = {},
                          const ProgressFn& copy = {}, const SortStartFn& sortStarts = {});

// Keys line i of a list window's text (entry i, m_nLine i) by its right or left
// collocate at nDistance, with the list's width, language and keyword, numbers
// measured per line; as a sort keys them. nullopt when progress asked to stop.
std::optional<std::vector<CConcordanceEntry>> KeyListLines(const CConcordanceList& source, std::string_view text,
                                                           bool bRight, int nDistance, const CCodePage& cp,
                                                           const ProgressFn& progress = {});
std::optional<std::vector<CWideConcordanceEntry>> KeyWideListLines(const CConcordanceList& source,
                                                                   std::u16string_view text, bool bRight,
                                                                   int nDistance, const ProgressFn& progress = {});

// The window's lines without their line feeds; a last line without one counts too,
// the empty paragraph after a final line feed does not.
template <class CharT>
std::vector<std::basic_string_view<CharT>> SplitLines(std::basic_string_view<CharT> text);
// The target window's text: the source's lines in the sorted order, each ending in '\n'.
template <class CharT>
std::basic_string<CharT> SortedText(std::basic_string_view<CharT> text, const std::vector<std::int64_t>& order);

}  // namespace tessary
