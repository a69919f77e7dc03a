#pragma once
// Ordering of concordance entries by their sort keys.
#include <vector>

#include "engine/codepage.h"
#include "engine/collation.h"
#include "engine/concordance_entry.h"
#include "engine/progress.h"

namespace tessary {

// Byte keys are decoded with cp (for double-byte keys the code set of the window).
int CompareSortKeys(const CConcordanceEntry& a, const CConcordanceEntry& b,
                    const CSortCollator& collator, const CCodePage& cp);

// Stable: entries with equal keys keep the order found, for any number of worker
// threads. Collation keys are computed on the worker pool, once per distinct key text
// of a piece of the entries, with progress over the entries (reported by the calling
// thread only); stopped while computing them, the entries stay as they were and the
// result is false.
bool SortEntries(std::vector<CConcordanceEntry>& entries, const CSortCollator& collator, const CCodePage& cp,
                 const ProgressFn& progress = {});
bool SortEntries(std::vector<CWideConcordanceEntry>& entries, const CSortCollator& collator,
                 const ProgressFn& progress = {});

}  // namespace tessary
