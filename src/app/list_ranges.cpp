#include "app/list_ranges.h"

#include <algorithm>

#include "engine/number_prefix.h"
#include "ui/qt_text.h"

namespace tessary {

namespace {

// The UTF-16 column of a byte column of a line body: the same in single-byte code
// pages, counted through the code page in double-byte ones.
std::int64_t U16Column(const CCodePage* cp, std::string_view body, std::int64_t column) {
  if (!cp || !cp->IsDoubleByte()) return column;
  column = std::clamp<std::int64_t>(column, 0, static_cast<std::int64_t>(body.size()));
  return static_cast<std::int64_t>(cp->ToUnicode(body.substr(0, static_cast<std::size_t>(column))).size());
}

CRenderedRange Range(std::int64_t start, std::int64_t from, std::int64_t to, CFormatRange::Kind kind) {
  CRenderedRange r;
  r.m_nStart = start + from;
  r.m_nLength = std::max<std::int64_t>(0, to - from);
  r.m_format.m_kind = kind;
  return r;
}

}  // namespace

void AppendLineRanges(const CConcordanceList& list, const CListEntry* entry, QStringView line, std::int64_t start,
                      const CCodePage* cp, std::vector<CRenderedRange>& out) {
  const std::u16string line16 = ToU16(line.toString());
  // Numbers are measured per line: a half-numbered list has lines without them.
  const std::int64_t prefix =
      list.LineNumbers() ? static_cast<std::int64_t>(NumberPrefixLength(std::u16string_view(line16))) : 0;
  const std::string body = cp && cp->IsDoubleByte() ? cp->FromUnicode(std::u16string_view(line16).substr(prefix))
                                                     : std::string();
  const std::int64_t width = list.Width();
  out.push_back(Range(start, prefix + U16Column(cp, body, width), prefix + U16Column(cp, body, width + list.m_nKeyLength),
                      CFormatRange::kKeyword));
  if (entry && entry->m_nKeyLength > 0)
    out.push_back(Range(start, prefix + U16Column(cp, body, entry->m_nKeyOffset),
                        prefix + U16Column(cp, body, entry->m_nKeyOffset + entry->m_nKeyLength),
                        CFormatRange::kCollocate));
}

std::vector<CRenderedRange> WindowRanges(const CConcordanceList& list, const QString& text, const CCodePage* cp) {
  std::vector<CRenderedRange> out;
  if (list.Sentences()) return out;
  std::int64_t start = 0;
  std::int64_t line = 0;
  for (QStringView rest(text); !rest.isEmpty(); ++line) {
    const qsizetype end = rest.indexOf(QLatin1Char('\n'));
    const QStringView current = end < 0 ? rest : rest.left(end);
    if (!current.isEmpty()) {
      // The sort collocate is marked only on a list that still holds its sort.
      const CListEntry* entry = list.m_bSorted ? list.EntryOfLine(line) : nullptr;
      AppendLineRanges(list, entry, current, start, cp, out);
    }
    if (end < 0) break;
    start += end + 1;
    rest = rest.mid(end + 1);
  }
  return out;
}

}  // namespace tessary
