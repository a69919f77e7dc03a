#pragma once
// The tables of the analyses (and of a concordance list) as text: TSV, or CSV by
// RFC 4180, UTF-8 with an optional byte-order mark for spreadsheets.
#include <string>
#include <vector>

#include "analysis/collocation.h"
#include "analysis/dispersion.h"
#include "analysis/keywords.h"
#include "analysis/ngrams.h"
#include "engine/assembly.h"

namespace tessary {

struct CTable {
  std::vector<std::string> m_arrHeader;
  std::vector<std::string> m_arrToolTips;  // per column: its formula or meaning
  std::vector<std::vector<std::string>> m_arrRows;
};

enum class TableFormat { kTsv, kCsv };

// TSV: fields joined by tabs, lines ended by LF; a tab or line break inside a field
// becomes a space (TSV has no quoting). CSV: fields joined by commas, lines ended by
// CR LF; a field holding a comma, a quote or a line break is quoted, quotes doubled.
std::string TableText(const CTable& table, TableFormat format, bool bByteOrderMark = false);

// measures: the columns after the counts, in order.
CTable CollocationTable(const CCollocationResult& result, const std::vector<Measure>& measures);
CTable NgramTable(const CNgramResult& result);
CTable KeywordTable(const CKeywordResult& result);
CTable DispersionTable(const CDispersionResult& result);
// A concordance list (not a sentence list): number, left, keyword, right, file and
// position per line, in the list's order; the contexts without their padding. width
// is the list's line width, keyLength the keyword's length as matched.
CTable ConcordanceTable(const CAssembledList& list, std::int64_t width, std::size_t keyLength, const CCodePage& cp);
CTable ConcordanceTable(const CWideAssembledList& list, std::int64_t width, std::size_t keyLength);

}  // namespace tessary
