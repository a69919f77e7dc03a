#pragma once
// The core of "Sort concordances by right/left collocates": read the lines of an
// existing, unsorted list window, key them, order them and produce the text and the
// fresh entries of the new window. The new window takes the source's width,
// language and flags, never the current settings.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/codepage.h"
#include "engine/collation.h"
#include "engine/concordance_entry.h"
#include "engine/progress.h"

namespace tessary {

// What a list window's record holds that a sort reads.
struct CListWindowState {
  std::string m_strSearch;
  std::int64_t m_nWidth = 50;
  int m_nMatchMode = 0;  // the mode the list was searched with
  bool m_bConcordance = false;
  bool m_bSorted = false;
  bool m_bSortRight = false;
  bool m_bSortLeft = false;
  bool m_bSentences = false;
  bool m_bTestMode = false;
  bool m_bLineNumbers = false;
  bool m_bFileReference = false;
  bool m_bDoubleByte = false;
  bool m_bBig5 = true;
  std::vector<CConcordanceEntry> m_arrEntries;  // one per line, in window order
};

enum class SortRefusal { kNone, kAlreadySorted, kSentences, kNotAList };

// Refusals in the order they are tested; kNotAList also covers test windows.
SortRefusal CheckSortable(const CListWindowState& source);
// The message box text of a refusal; empty for kNone and kNotAList (silent).
std::string SortRefusalMessage(SortRefusal refusal);

struct CSortedList {
  CListWindowState m_state;  // the target: source flags, sorted, fresh entries
  std::string m_strText;     // the target's window text, lines ending in '\n'
  std::int64_t m_nLines = 0;
  bool m_bStopped = false;   // stopped while copying: the lines so far, not sorted
};

// text: the source window's byte text, lines ending in '\n' (a final line without one
// counts too); lines are read whole. cp decodes keys for the collator and classifies
// letters; for double-byte windows pass the window's code set (950 Big5, 936 GB).
// gather and copy are the two loops' progress-and-stop callbacks. Stopped while
// gathering, or a source that CheckSortable refuses: m_bGatherStopped and no lines.
struct CSortOutcome {
  bool m_bGatherStopped = false;  // no new window is opened
  CSortedList m_list;
};
CSortOutcome SortListWindow(const CListWindowState& source, std::string_view text, bool bRight,
                            int nDistance, const CSortCollator& collator, const CCodePage& cp,
                            const ProgressFn& gather = {}, const ProgressFn& copy = {});

}  // namespace tessary
