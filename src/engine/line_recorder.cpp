#include "engine/line_recorder.h"

#include <optional>
#include <span>

#include "engine/line_builder.h"
#include "engine/search_request.h"
#include "engine/sort_keys.h"

namespace tessary {

template <>
void CLineRecorderT<char, CConcordanceEntry>::Key(CConcordanceEntry& entry, std::string_view line) const {
  const auto& o = m_options;
  const bool right = o.m_strSortMode == kSortRight;
  // Double-byte text has no letters to find a collocate by, so it is keyed by its
  // characters, as the sort commands key it.
  if (o.m_bDoubleByte) {
    if (right)
      BuildDoubleByteRightKey(entry, line, o.m_nWidth, static_cast<std::int64_t>(o.m_nKeyLength), o.m_keys);
    else
      BuildDoubleByteLeftKey(entry, line, o.m_nWidth, o.m_keys);
  } else if (right) {
    BuildRightKey(entry, line, o.m_nWidth, static_cast<std::int64_t>(o.m_nKeyLength), o.m_nSortDistance,
                  o.m_nMatchMode, m_cp);
  } else {
    BuildLeftKey(entry, line, o.m_nWidth, o.m_nSortDistance, m_cp);
  }
}

template <>
void CLineRecorderT<char16_t, CWideConcordanceEntry>::Key(CWideConcordanceEntry& entry,
                                                           std::u16string_view line) const {
  const auto& o = m_options;
  if (o.m_strSortMode == kSortRight)
    BuildWideRightKey(entry, line, o.m_nWidth, static_cast<std::int64_t>(o.m_nKeyLength), o.m_nSortDistance,
                      o.m_nMatchMode);
  else
    BuildWideLeftKey(entry, line, o.m_nWidth, o.m_nSortDistance);
}

namespace {

// A double-byte character cut in two at the end of a line would pair its lead byte
// with the line end; that byte becomes a space. Whole characters are kept, and so is
// every byte of a single-byte code page. The keyword starts on a character, so the
// walk to the end starts there.
template <class Line>
void BlankCutCharacter(const CCodePage& cp, Line& buffer, std::size_t start, std::size_t keyColumn) {
  if (!cp.IsDoubleByte()) return;
  std::size_t p = start + keyColumn;
  while (p + 1 < buffer.size()) p += cp.IsLeadByte(static_cast<unsigned char>(buffer[p])) ? 2 : 1;
  if (p == buffer.size() - 1 && cp.IsLeadByte(static_cast<unsigned char>(buffer[p]))) buffer[p] = ' ';
}

void SetPositionKey(CConcordanceEntry& e, const std::string& s) { e.m_strSortKey = s; }
void SetPositionKey(CWideConcordanceEntry& e, const std::string& s) {
  e.m_wstrSortKey.assign(std::u16string(s.begin(), s.end()));
}

std::unique_ptr<CAssociatedWords> MakeAssocFilter(const CRecorderOptions& o, const CCodePage& cp, char) {
  if (o.m_arrAssocWords.empty()) return nullptr;
  return std::make_unique<CAssociatedWords>(o.m_arrAssocWords, o.m_nZone, o.m_bDoubleByte, &cp);
}
std::unique_ptr<CWideAssociatedWords> MakeAssocFilter(const CRecorderOptions& o, const CCodePage&, char16_t) {
  if (o.m_wstrAssocWord.empty()) return nullptr;
  return std::make_unique<CWideAssociatedWords>(std::vector<std::u16string>{o.m_wstrAssocWord}, o.m_nZone,
                                                o.m_bDoubleByte, nullptr);
}

std::optional<CSentenceBounds> Sentence(std::string_view text, std::uint64_t offset, std::size_t n,
                                        const CCodePage& cp) {
  return FindSentence(text, static_cast<std::size_t>(offset), n, cp);
}
std::optional<CSentenceBounds> Sentence(std::u16string_view text, std::uint64_t offset, std::size_t n,
                                        const CCodePage&) {
  return FindSentence(text, static_cast<std::size_t>(offset), n);
}

}  // namespace

CRecorderOptions RecorderOptionsFor(const CSearchRequest& settings, std::size_t keyLength, int matchMode) {
  CRecorderOptions options;
  options.m_nWidth = settings.m_nLineWidth;
  options.m_nKeyLength = keyLength;
  options.m_nMatchMode = matchMode;
  // Sentence searches are never sorted.
  options.m_strSortMode = settings.m_bSentences ? std::string(kUnsorted) : settings.m_strSortMode;
  options.m_nSortDistance = settings.m_nSortDistance;
  options.m_bDoubleByte = settings.m_language.IsDoubleByte();
  options.m_keys = settings.m_language.Keys();
  options.m_bSentences = settings.m_bSentences;
  options.m_bLineNumbers = settings.m_bLineNumbers;
  options.m_bFileReference = settings.m_bFileReference;
  if (settings.IsAssociated()) {
    options.m_nZone = settings.m_assocZone;
    options.m_arrAssocWords = settings.m_arrAssocWords;
    options.m_wstrAssocWord = settings.m_wstrAssocWord;
  }
  return options;
}

template <class CharT, class Entry>
CLineRecorderT<CharT, Entry>::CLineRecorderT(CRecorderOptions options, const CCodePage& cp)
    : m_options(std::move(options)), m_cp(cp) {
  if (!m_options.m_bSentences) m_pAssoc = MakeAssocFilter(m_options, m_cp, CharT());
}

template <class CharT, class Entry>
CLineRecorderT<CharT, Entry>::~CLineRecorderT() = default;

template <class CharT, class Entry>
void CLineRecorderT<CharT, Entry>::EmptyLines() {
  m_lines.Clear();
  for (auto& columns : m_arrAssoc) std::vector<std::int64_t>().swap(columns);
  std::vector<CSentenceLine>().swap(m_arrSentences);
}

template <class CharT, class Entry>
void CLineRecorderT<CharT, Entry>::RecordSentence(std::basic_string_view<CharT> text, std::uint64_t offset) {
  const auto& o = m_options;
  const auto bounds = Sentence(text, offset, o.m_nKeyLength, m_cp);
  if (!bounds) return;
  m_arrSentences.push_back(AppendSentenceLine(m_lines.Buffer(), text, *bounds, static_cast<std::size_t>(offset),
                                              Count() + 1, FileOfEntry(m_arrFiles, m_nFile), o.m_bLineNumbers,
                                              o.m_bFileReference));
  m_lines.Close();
  Entry entry;
  entry.m_nLine = static_cast<std::int64_t>(m_entries.size());
  entry.m_nPosition = static_cast<std::int64_t>(offset) + m_nPositionBase;
  entry.m_nFile = m_nFile;
  m_entries.push_back(std::move(entry));
}

template <class CharT, class Entry>
bool CLineRecorderT<CharT, Entry>::OnMatch(std::basic_string_view<CharT> text, std::uint64_t offset) {
  const auto& o = m_options;
  if (o.m_bSentences) {
    RecordSentence(text, offset);
    return true;
  }
  auto& buffer = m_lines.Buffer();
  const std::size_t start = buffer.size();
  AppendLine(buffer, text, offset, o.m_nKeyLength, o.m_nWidth, o.m_bDoubleByte);
  std::int64_t assoc[kMaxAssocWords] = {};
  if (m_pAssoc) {
    const std::span<CharT> line(buffer.data() + start, buffer.size() - start);
    if (!m_pAssoc->Apply(line, o.m_nWidth, static_cast<std::int64_t>(o.m_nKeyLength), assoc)) {
      buffer.resize(start);  // the line is dropped: no line, no entry
      return true;
    }
    for (std::size_t k = 0; k < m_pAssoc->Count(); ++k) m_arrAssoc[k].push_back(assoc[k]);
  }
  Entry entry;
  entry.m_nLine = static_cast<std::int64_t>(m_entries.size());
  entry.m_nPosition = static_cast<std::int64_t>(offset) + m_nPositionBase;
  entry.m_nFile = m_nFile;
  if (o.m_strSortMode == kSortRight || o.m_strSortMode == kSortLeft) {
    Key(entry, std::basic_string_view<CharT>(buffer).substr(start));
    if constexpr (sizeof(CharT) == 1) BlankCutCharacter(m_cp, buffer, start, static_cast<std::size_t>(o.m_nWidth));
  } else if (o.m_strSortMode == kSortPosition) {
    // The highlighted word: the first associated word where there is one.
    SetPositionKey(entry, std::to_string(m_pAssoc ? assoc[0] : o.m_nWidth));
  }
  m_lines.Close();
  m_entries.push_back(std::move(entry));
  return true;
}

template <class CharT, class Entry>
void CLineRecorderT<CharT, Entry>::AppendFrom(CLineRecorderT&& later, std::int64_t positionShift) {
  const auto lineShift = static_cast<std::int64_t>(m_entries.size());
  m_lines.Append(later.m_lines);
  later.m_lines.Clear();
  // The later recorder's file table joins this one's; its first file is this one's last
  // when a range of the same file goes on, as BeginSource would have kept it.
  std::vector<std::uint32_t> fileIndex(later.m_arrFiles.size());
  for (std::size_t f = 0; f < later.m_arrFiles.size(); ++f) {
    if (f > 0 || m_arrFiles.empty() || m_arrFiles.back() != later.m_arrFiles[f])
      m_arrFiles.push_back(std::move(later.m_arrFiles[f]));
    fileIndex[f] = static_cast<std::uint32_t>(m_arrFiles.size() - 1);
  }
  if (!m_arrFiles.empty()) m_nFile = static_cast<std::uint32_t>(m_arrFiles.size() - 1);
  for (Entry& entry : later.m_entries) {
    entry.m_nLine += lineShift;
    entry.m_nPosition += positionShift;
    if (entry.m_nFile < fileIndex.size()) entry.m_nFile = fileIndex[entry.m_nFile];
    m_entries.push_back(std::move(entry));
  }
  std::vector<Entry>().swap(later.m_entries);
  for (std::size_t k = 0; k < kMaxAssocWords; ++k)
    m_arrAssoc[k].insert(m_arrAssoc[k].end(), later.m_arrAssoc[k].begin(), later.m_arrAssoc[k].end());
}

template class CLineRecorderT<char, CConcordanceEntry>;
template class CLineRecorderT<char16_t, CWideConcordanceEntry>;

}  // namespace tessary
