#include "engine/line_recorder.h"

#include "engine/line_builder.h"
#include "engine/search_settings.h"
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
      BuildDoubleByteRightKey(entry, line, o.m_nWidth, static_cast<std::int64_t>(o.m_nKeyLength), o.m_bBig5);
    else
      BuildDoubleByteLeftKey(entry, line, o.m_nWidth, o.m_bBig5);
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

void SetPositionKey(CConcordanceEntry& e, std::string s) { e.m_strSortKey = std::move(s); }
void SetPositionKey(CWideConcordanceEntry& e, const std::string& s) {
  e.m_wstrSortKey.assign(s.begin(), s.end());
}
}  // namespace

template <class CharT, class Entry>
bool CLineRecorderT<CharT, Entry>::OnMatch(std::basic_string_view<CharT> text, std::uint64_t offset) {
  const auto& o = m_options;
  auto& buffer = m_lines.Buffer();
  const std::size_t start = buffer.size();
  AppendLine(buffer, text, offset, o.m_nKeyLength, o.m_nWidth, o.m_bDoubleByte);
  Entry entry;
  entry.m_nLine = static_cast<std::int64_t>(m_entries.size());
  entry.m_nPosition = static_cast<std::int64_t>(offset) + m_nPositionBase;
  entry.m_strFile = m_strFile;
  if (o.m_strSortMode == kSortRight || o.m_strSortMode == kSortLeft) {
    Key(entry, std::basic_string_view<CharT>(buffer).substr(start));
    if constexpr (sizeof(CharT) == 1) BlankCutCharacter(m_cp, buffer, start, static_cast<std::size_t>(o.m_nWidth));
  } else if (o.m_strSortMode == kSortPosition) {
    SetPositionKey(entry, std::to_string(o.m_nWidth));
  }
  m_lines.Close();
  m_entries.push_back(std::move(entry));
  return true;
}

template class CLineRecorderT<char, CConcordanceEntry>;
template class CLineRecorderT<char16_t, CWideConcordanceEntry>;

}  // namespace tessary
