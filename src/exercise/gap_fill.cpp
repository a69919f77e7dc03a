#include "exercise/gap_fill.h"

#include <algorithm>

#include "engine/number_prefix.h"

namespace tessary {

namespace {

struct LineBounds {
  std::vector<std::int64_t> starts, ends;  // ends exclude the line feed
};

template <class CharT>
LineBounds SplitLines(std::basic_string_view<CharT> text) {
  LineBounds b;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(CharT('\n'), start);
    if (end == std::basic_string_view<CharT>::npos) end = text.size();
    b.starts.push_back(static_cast<std::int64_t>(start));
    b.ends.push_back(static_cast<std::int64_t>(end));
    start = end + 1;
  }
  return b;
}

}  // namespace

std::vector<CGapSpan> KeywordSpans(const CRenderedText& rendered) {
  std::vector<CGapSpan> spans;
  for (const CRenderedRange& r : rendered.m_arrRanges)
    if (r.m_format.m_kind == CFormatRange::kKeyword) spans.push_back({r.m_nStart, r.m_nLength});
  return spans;
}

template <class CharT>
CGapFillTestT<CharT>::CGapFillTestT(View text, const CGapLayout& layout, String key) : m_strKey(std::move(key)) {
  const LineBounds b = SplitLines(text);
  std::vector<std::int64_t> columns(b.starts.size(), -1);
  std::vector<std::int64_t> lengths(b.starts.size(), layout.m_nKeyLength);
  if (layout.m_nKeyLength > 0 && layout.m_nWidth >= 0) {
    for (std::size_t i = 0; i < columns.size(); ++i) {
      const View line = text.substr(static_cast<std::size_t>(b.starts[i]), static_cast<std::size_t>(b.ends[i] - b.starts[i]));
      // Each line's own prefix: it grows by a column from line 1,000,000 on, and lines
      // left unnumbered by a stopped numbering have none.
      const std::int64_t prefix = layout.m_bLineNumbers ? static_cast<std::int64_t>(NumberPrefixLength(line)) : 0;
      const std::int64_t column = prefix + layout.m_nWidth;
      if (column + layout.m_nKeyLength <= static_cast<std::int64_t>(line.size())) columns[i] = column;
    }
  }
  Blank(text, columns, lengths);
}

template <class CharT>
CGapFillTestT<CharT>::CGapFillTestT(View text, const std::vector<CGapSpan>& spans, String key) : m_strKey(std::move(key)) {
  const LineBounds b = SplitLines(text);
  std::vector<std::int64_t> columns(b.starts.size(), -1);
  std::vector<std::int64_t> lengths(b.starts.size(), 0);
  for (const CGapSpan& span : spans) {
    if (span.m_nLength <= 0 || span.m_nStart < 0) continue;
    auto it = std::upper_bound(b.starts.begin(), b.starts.end(), span.m_nStart);
    if (it == b.starts.begin()) continue;
    const std::size_t line = static_cast<std::size_t>(it - b.starts.begin()) - 1;
    if (columns[line] >= 0 || span.m_nStart + span.m_nLength > b.ends[line]) continue;
    columns[line] = span.m_nStart - b.starts[line];
    lengths[line] = span.m_nLength;
  }
  Blank(text, columns, lengths);
}

template <class CharT>
void CGapFillTestT<CharT>::Blank(View text, const std::vector<std::int64_t>& columns,
                                 const std::vector<std::int64_t>& lengths) {
  static constexpr CharT kBlank[kGapBlankLength] = {'-', '-', '-', '-', '-', '-'};
  m_arrLines.resize(columns.size());
  m_strBlanked.reserve(text.size() + columns.size() * kGapBlankLength);
  std::size_t from = 0;  // next character of text to copy
  std::size_t lineStart = 0;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    CLine& l = m_arrLines[i];
    l.m_nStart = static_cast<std::int64_t>(m_strBlanked.size() + (lineStart - from));
    if (columns[i] >= 0) {
      const std::size_t at = lineStart + static_cast<std::size_t>(columns[i]);
      const std::size_t length = static_cast<std::size_t>(lengths[i]);
      m_strBlanked.append(text.substr(from, at - from));
      m_strBlanked.append(kBlank, kGapBlankLength);
      l.m_nColumn = columns[i];
      l.m_nKeyOffset = static_cast<std::int64_t>(m_strKeywords.size());
      l.m_nKeyLength = lengths[i];
      m_strKeywords.append(text.substr(at, length));
      from = at + length;
      ++m_nGaps;
    }
    const std::size_t end = text.find(CharT('\n'), lineStart);
    lineStart = end == View::npos ? text.size() : end + 1;
  }
  m_strBlanked.append(text.substr(from));
}

template <class CharT>
auto CGapFillTestT<CharT>::Text() const -> String {
  if (m_nRevealed == 0) return m_strBlanked;
  String out;
  out.reserve(m_strBlanked.size() + m_strKeywords.size());
  std::size_t from = 0;
  for (const CLine& l : m_arrLines) {
    if (l.m_nColumn < 0 || !l.m_bRevealed) continue;
    const std::size_t at = static_cast<std::size_t>(l.m_nStart + l.m_nColumn);
    out.append(m_strBlanked, from, at - from);
    out.append(m_strKeywords, static_cast<std::size_t>(l.m_nKeyOffset), static_cast<std::size_t>(l.m_nKeyLength));
    from = at + kGapBlankLength;
  }
  out.append(m_strBlanked, from);
  return out;
}

template <class CharT>
auto CGapFillTestT<CharT>::Keyword(std::size_t line) const -> View {
  if (!HasGap(line)) return {};
  const CLine& l = m_arrLines[line];
  return View(m_strKeywords).substr(static_cast<std::size_t>(l.m_nKeyOffset), static_cast<std::size_t>(l.m_nKeyLength));
}

template <class CharT>
std::int64_t CGapFillTestT<CharT>::GapStart(std::size_t line) const {
  if (!HasGap(line)) return -1;
  const CLine& l = m_arrLines[line];
  return l.m_nStart + ShiftBefore(line) + l.m_nColumn;
}

template <class CharT>
std::int64_t CGapFillTestT<CharT>::GapLength(std::size_t line) const {
  if (!HasGap(line)) return 0;
  const CLine& l = m_arrLines[line];
  return l.m_bRevealed ? l.m_nKeyLength : static_cast<std::int64_t>(kGapBlankLength);
}

template <class CharT>
GapVerdict CGapFillTestT<CharT>::CheckAnswer(View answer, bool bCheat) const {
  if (m_bFinished) return GapVerdict::kNothing;
  if (bCheat) return GapVerdict::kAskCheat;
  if (answer.empty()) return GapVerdict::kNothing;
  return answer == View(m_strKey) ? GapVerdict::kRight : GapVerdict::kWrong;
}

template <class CharT>
GapVerdict CGapFillTestT<CharT>::CheckAnswer(std::size_t line, View answer, bool bCheat) const {
  if (m_bFinished || !HasGap(line) || m_arrLines[line].m_bRevealed) return GapVerdict::kNothing;
  if (bCheat) return GapVerdict::kAskCheat;
  if (answer.empty()) return GapVerdict::kNothing;
  return answer == Keyword(line) ? GapVerdict::kRight : GapVerdict::kWrong;
}

template <class CharT>
auto CGapFillTestT<CharT>::RevealLine(std::size_t line) -> std::optional<Edit> {
  if (!HasGap(line) || m_arrLines[line].m_bRevealed) return std::nullopt;
  Edit edit{GapStart(line), static_cast<std::int64_t>(kGapBlankLength), Keyword(line)};
  CLine& l = m_arrLines[line];
  l.m_bRevealed = true;
  AddShift(line, Delta(l));
  if (++m_nRevealed == m_nGaps) m_bFinished = true;
  return edit;
}

template <class CharT>
auto CGapFillTestT<CharT>::RevealAll() -> std::vector<Edit> {
  std::vector<Edit> edits;
  edits.reserve(m_nGaps - m_nRevealed);
  std::int64_t shift = 0;  // every earlier line is revealed by the time an edit is applied
  for (std::size_t i = 0; i < m_arrLines.size(); ++i) {
    CLine& l = m_arrLines[i];
    if (l.m_nColumn < 0) continue;
    if (!l.m_bRevealed) {
      edits.push_back({l.m_nStart + shift + l.m_nColumn, static_cast<std::int64_t>(kGapBlankLength), Keyword(i)});
      l.m_bRevealed = true;
      AddShift(i, Delta(l));
      ++m_nRevealed;
    }
    shift += Delta(l);
  }
  m_bFinished = true;
  return edits;
}

template <class CharT>
std::int64_t CGapFillTestT<CharT>::ShiftBefore(std::size_t line) const {
  std::int64_t sum = 0;
  if (m_arrShift.empty()) return 0;
  for (std::size_t k = line; k > 0; k &= k - 1) sum += m_arrShift[k];
  return sum;
}

template <class CharT>
void CGapFillTestT<CharT>::AddShift(std::size_t line, std::int64_t delta) {
  if (delta == 0) return;
  if (m_arrShift.empty()) m_arrShift.assign(m_arrLines.size() + 1, 0);
  // Entry k of the tree covers lines before k, so a line's own shift starts at k = line + 1.
  for (std::size_t k = line + 1; k < m_arrShift.size(); k += k & (~k + 1)) m_arrShift[k] += delta;
}

template class CGapFillTestT<char>;
template class CGapFillTestT<char16_t>;

CWideGapFillTest WindowGapFillTest(const CAssembledList& list, const CCodePage& cp, std::int64_t width,
                                   std::string_view key) {
  const auto ranges = KeywordRanges(list, width, static_cast<std::int64_t>(key.size()), false);
  const CRenderedText rendered = RenderUtf16(list, cp, ranges);
  return CWideGapFillTest(rendered.m_wstrText, KeywordSpans(rendered), cp.ToUnicode(key));
}

CWideGapFillTest WindowGapFillTest(const CWideAssembledList& list, std::int64_t width, bool bLineNumbers,
                                   std::u16string key) {
  const CGapLayout layout{width, bLineNumbers, static_cast<std::int64_t>(key.size())};
  return CWideGapFillTest(list.m_strOutput, layout, std::move(key));
}

}  // namespace tessary
