#include "analysis/table.h"

#include <algorithm>

namespace tessary {

namespace {

void Field(std::string& out, const std::string& s, TableFormat format) {
  if (format == TableFormat::kTsv) {
    for (char c : s) out += c == '\t' || c == '\n' || c == '\r' ? ' ' : c;
    return;
  }
  if (s.find_first_of(",\"\r\n") == std::string::npos) {
    out += s;
    return;
  }
  out += '"';
  for (char c : s) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

void Line(std::string& out, const std::vector<std::string>& fields, TableFormat format) {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i) out += format == TableFormat::kTsv ? '\t' : ',';
    Field(out, fields[i], format);
  }
  out += format == TableFormat::kTsv ? "\n" : "\r\n";
}

std::string Int(std::int64_t n) { return std::to_string(n); }

template <class List, class ToUtf8>
CTable Concordance(const List& list, std::int64_t width, std::size_t keyLength, ToUtf8 toUtf8) {
  CTable t;
  t.m_arrHeader = {"Number", "Left", "Keyword", "Right", "File", "Position"};
  t.m_arrToolTips = {"The line's number", "The context before the keyword", "The keyword as written",
                     "The context after it", "The source", "The keyword's offset in its source"};
  const auto w = static_cast<std::size_t>(width);
  for (std::size_t i = 0; i < list.m_arrLayout.size() && i < list.m_arrEntries.size(); ++i) {
    const CLineLayout& l = list.m_arrLayout[i];
    using View = std::basic_string_view<typename decltype(list.m_strOutput)::value_type>;
    auto body = View(list.m_strOutput).substr(static_cast<std::size_t>(l.m_nStart + l.m_nPrefix),
                                                               static_cast<std::size_t>(l.m_nBody));
    if (!body.empty() && body.back() == '\n') body.remove_suffix(1);
    auto left = body.substr(0, std::min(w, body.size()));
    auto key = body.substr(left.size(), std::min(keyLength, body.size() - left.size()));
    auto right = body.substr(left.size() + key.size());
    while (!left.empty() && left.front() == ' ') left.remove_prefix(1);
    while (!right.empty() && right.back() == ' ') right.remove_suffix(1);
    t.m_arrRows.push_back(std::vector<std::string>{Int(static_cast<std::int64_t>(i) + 1), toUtf8(left), toUtf8(key),
                                                   toUtf8(right), list.FileOf(list.m_arrEntries[i]),
                                                   Int(list.m_arrEntries[i].m_nPosition)});
  }
  return t;
}

}  // namespace

std::string TableText(const CTable& table, TableFormat format, bool bByteOrderMark) {
  std::string out = bByteOrderMark ? "\xEF\xBB\xBF" : "";
  Line(out, table.m_arrHeader, format);
  for (const auto& row : table.m_arrRows) Line(out, row, format);
  return out;
}

CTable CollocationTable(const CCollocationResult& result, const std::vector<Measure>& measures) {
  CTable t;
  t.m_arrHeader = {"Collocate", "O11", "Left", "Right", "C1", "R1", "N", "E11"};
  t.m_arrToolTips = {"The word, as first met",
                     "O11: in the node's spans",
                     "Of O11, left of the node",
                     "Of O11, right of the node",
                     "C1: the word in all texts",
                     "R1: the node's hits",
                     "N: the words of all texts",
                     "E11 = R1·C1 / N"};
  for (Measure m : measures)
    for (const CMeasureInfo& info : Measures())
      if (info.m_measure == m) t.m_arrHeader.push_back(info.m_pszTitle), t.m_arrToolTips.push_back(info.m_pszFormula);
  for (const CCollocateRow& r : result.m_arrRows) {
    std::vector<std::string> row = {r.m_strWord, Int(r.m_nO11), Int(r.m_nLeft), Int(r.m_nRight), Int(r.m_nC1),
                                    Int(result.m_nR1), Int(result.m_nN), FormatMeasure(r.m_assoc.m_dE11)};
    for (Measure m : measures) row.push_back(FormatMeasure(MeasureValue(r.m_assoc, static_cast<double>(r.m_nO11), m)));
    t.m_arrRows.push_back(std::move(row));
  }
  return t;
}

CTable NgramTable(const CNgramResult& result) {
  CTable t;
  t.m_arrHeader = {"Cluster", "Size", "Freq", "Range"};
  t.m_arrToolTips = {"The words, each as first met", "Words in the cluster", "How often it occurs",
                     "In how many texts it occurs"};
  for (const CNgramRow& r : result.m_arrRows)
    t.m_arrRows.push_back({r.m_strText, Int(static_cast<std::int64_t>(r.m_arrWords.size())), Int(r.m_nFreq), Int(r.m_nRange)});
  return t;
}

CTable KeywordTable(const CKeywordResult& result) {
  CTable t;
  t.m_arrHeader = {"Keyword", "Keyness", "Study", "Reference", "Study words", "Reference words", "Log-likelihood",
                   "p", "Log ratio"};
  t.m_arrToolTips = {"The word, as first met", "positive: more frequent in the study texts; negative: less",
                     "a: in the study texts", "b: in the reference", "c: words of the study texts",
                     "d: words of the reference", kKeynessLLFormula, kSignificanceFormula, kLogRatioFormula};
  for (const CKeywordRow& r : result.m_arrRows)
    t.m_arrRows.push_back({r.m_strWord, r.m_keyness.m_nSign > 0 ? "positive" : "negative", Int(r.m_nStudy),
                           Int(r.m_nReference), Int(result.m_nStudyWords), Int(result.m_nReferenceWords),
                           FormatMeasure(r.m_keyness.m_dLL), FormatMeasure(r.m_keyness.m_dP, 6),
                           FormatMeasure(r.m_keyness.m_dLogRatio)});
  return t;
}

CTable DispersionTable(const CDispersionResult& result) {
  CTable t;
  t.m_arrHeader = {"File", "Words", "Hits", "Per 1,000", "Juilland's D"};
  t.m_arrToolTips = {"The text", "Its words", "The search's hits in it", "Hits × 1,000 / words", kJuillandFormula};
  for (const CDispersionStrip& s : result.m_arrStrips)
    t.m_arrRows.push_back({s.m_strPath, Int(s.m_nWords), Int(static_cast<std::int64_t>(s.m_arrPlaces.size())),
                           FormatMeasure(s.m_dPer1000, 2), FormatMeasure(s.m_dJuilland, 4)});
  return t;
}

}  // namespace tessary

namespace tessary {

CTable ConcordanceTable(const CAssembledList& list, std::int64_t width, std::size_t keyLength, const CCodePage& cp) {
  return Concordance(list, width, keyLength, [&](std::string_view s) { return cp.ToUtf8(s); });
}

CTable ConcordanceTable(const CWideAssembledList& list, std::int64_t width, std::size_t keyLength) {
  return Concordance(list, width, keyLength, [](std::u16string_view s) { return Utf16ToUtf8(s); });
}

}  // namespace tessary
