#include "engine/context_position.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "engine/match.h"
#include "engine/text_file.h"

namespace tessary {

namespace {

bool IsLead(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsTrail(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// The raw offset of byte t of the text-mode text of raw (raw already ends at its first
// Ctrl-Z): text mode drops each CR that a LF follows. t may be the text's length.
std::optional<std::int64_t> RawOffsetOfText(std::string_view raw, std::int64_t t) {
  if (t < 0) return std::nullopt;
  std::int64_t k = 0;  // text bytes before raw offset i
  std::size_t i = 0;
  for (;;) {
    const void* found = i < raw.size() ? std::memchr(raw.data() + i, '\r', raw.size() - i) : nullptr;
    const std::size_t cr = found ? static_cast<std::size_t>(static_cast<const char*>(found) - raw.data()) : raw.size();
    // Up to the next CR every byte is its own text byte.
    if (t - k < static_cast<std::int64_t>(cr - i)) return static_cast<std::int64_t>(i) + (t - k);
    k += static_cast<std::int64_t>(cr - i);
    i = cr;
    if (i == raw.size()) return k == t ? std::optional<std::int64_t>(static_cast<std::int64_t>(i)) : std::nullopt;
    if (i + 1 < raw.size() && raw[i + 1] == '\n') ++i;  // the LF stands for the pair
    if (k == t) return static_cast<std::int64_t>(i);
    ++i;
    ++k;
  }
}

enum class FileCoding { kUtf8Bom, kUtf16Le, kUtf16Be, kUtf8, kAnsi };

// The coding DecodeForEditor chooses for bytes, and where its text starts.
FileCoding CodingOf(std::string_view bytes, std::size_t& start) {
  start = 0;
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return start = 3, FileCoding::kUtf8Bom;
  if (bytes.substr(0, 2) == "\xFF\xFE") return start = 2, FileCoding::kUtf16Le;
  if (bytes.substr(0, 2) == "\xFE\xFF") return start = 2, FileCoding::kUtf16Be;
  return IsValidUtf8(bytes) ? FileCoding::kUtf8 : FileCoding::kAnsi;
}

// One decoded character: its bytes, its UTF-16 units, and whether it is a CR or a LF.
struct CDecoded {
  std::size_t m_nBytes = 1;
  int m_nUnits = 1;
  char16_t m_code = 0;  // only CR and LF matter
};

// Units of the characters from from on that start before to (bWhole: that end by to),
// by the editor's rule that a CR LF pair is one line end: the CR of a pair adds
// nothing, its LF the one unit.
template <class Next>
std::int64_t CountUnits(std::string_view bytes, std::size_t from, std::size_t to, bool bWhole, Next next) {
  std::int64_t units = 0;
  for (std::size_t i = from; i < to;) {
    const CDecoded c = next(i);
    if (bWhole && i + c.m_nBytes > to) break;
    const bool pairedCr = c.m_code == u'\r' && i + c.m_nBytes < bytes.size() && next(i + c.m_nBytes).m_code == u'\n';
    if (!pairedCr) units += c.m_nUnits;
    i += c.m_nBytes;
  }
  return units;
}

// The same for codings whose characters can't be measured byte by byte (double-byte
// ANSI pages, ill-formed UTF-8 after a mark): the prefix is decoded, which gives the
// prefix of the whole text as long as raw stands at a character's start.
std::int64_t CountDecoded(std::string_view bytes, std::size_t from, std::size_t to, const std::u16string& prefix) {
  std::int64_t units = static_cast<std::int64_t>(prefix.size());
  for (std::size_t i = 0; i + 1 < prefix.size(); ++i)
    if (prefix[i] == u'\r' && prefix[i + 1] == u'\n') --units;
  // A CR at the end pairs with a LF at raw.
  if (to > from && !prefix.empty() && prefix.back() == u'\r' && to < bytes.size() && bytes[to] == '\n') --units;
  return units;
}

// The editor position where raw offset raw of the file falls. A byte search may match
// inside a character (a byte of a UTF-16 unit): a range's start then takes in the
// whole character (bStart), and so does its end.
std::int64_t EditorUnitsBefore(std::string_view bytes, std::size_t raw, const CCodePage& ansi, bool bStart) {
  std::size_t start = 0;
  const FileCoding coding = CodingOf(bytes, start);
  raw = std::max(raw, start);
  switch (coding) {
    case FileCoding::kUtf16Le:
    case FileCoding::kUtf16Be: {
      const bool bigEndian = coding == FileCoding::kUtf16Be;
      return CountUnits(bytes, start, raw, bStart, [&](std::size_t i) {
        CDecoded c;
        if (i + 1 >= bytes.size()) return c;  // an odd last byte: one replacement unit
        const auto lo = static_cast<unsigned char>(bytes[i + (bigEndian ? 1 : 0)]);
        const auto hi = static_cast<unsigned char>(bytes[i + (bigEndian ? 0 : 1)]);
        c.m_nBytes = 2;
        c.m_code = static_cast<char16_t>(hi << 8 | lo);
        return c;
      });
    }
    case FileCoding::kUtf8Bom:
      if (!IsValidUtf8(bytes.substr(start)))
        return CountDecoded(bytes, start, raw, Utf8ToUtf16(bytes.substr(start, raw - start)));
      [[fallthrough]];
    case FileCoding::kUtf8:
      return CountUnits(bytes, start, raw, bStart, [&](std::size_t i) {
        CDecoded c;
        const auto b = static_cast<unsigned char>(bytes[i]);
        c.m_nBytes = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        c.m_nBytes = std::min(c.m_nBytes, bytes.size() - i);
        c.m_nUnits = c.m_nBytes == 4 ? 2 : 1;
        c.m_code = b < 0x80 ? b : 0;
        return c;
      });
    case FileCoding::kAnsi:
      if (ansi.IsDoubleByte()) return CountDecoded(bytes, 0, raw, ansi.ToUnicode(bytes.substr(0, raw)));
      return CountUnits(bytes, 0, raw, bStart, [&](std::size_t i) {
        CDecoded c;
        c.m_code = ansi.ByteToUnicode(static_cast<unsigned char>(bytes[i]));
        return c;
      });
  }
  return 0;
}

}  // namespace

std::optional<CEditorRange> FileRangeToEditor(std::string_view fileBytes, std::int64_t position, std::int64_t length,
                                              const CCodePage& ansi) {
  if (length < 0) return std::nullopt;
  const void* z = fileBytes.empty() ? nullptr : std::memchr(fileBytes.data(), 0x1A, fileBytes.size());
  const std::string_view raw =
      z ? fileBytes.substr(0, static_cast<std::size_t>(static_cast<const char*>(z) - fileBytes.data())) : fileBytes;
  const auto first = RawOffsetOfText(raw, position);
  const auto last = RawOffsetOfText(raw, position + length);
  if (!first || !last) return std::nullopt;
  const std::int64_t start = EditorUnitsBefore(fileBytes, static_cast<std::size_t>(*first), ansi, true);
  const std::int64_t end = EditorUnitsBefore(fileBytes, static_cast<std::size_t>(*last), ansi, false);
  return CEditorRange{start, end - start};
}

std::optional<CEditorRange> TextRangeToEditor(std::u16string_view text, std::int64_t position, std::int64_t length,
                                              const CCodePage& textCp) {
  if (position < 0 || length < 0) return std::nullopt;
  const std::int64_t ends[2] = {position, position + length};
  std::int64_t units[2] = {0, 0};
  // Each character is one byte in single-byte pages (a pair of surrogates one '?'); in
  // double-byte ones a lead byte tells a two-byte character.
  std::string bytes;
  if (textCp.IsDoubleByte()) {
    const std::size_t need = static_cast<std::size_t>(std::min<std::int64_t>(
        static_cast<std::int64_t>(text.size()), 2 * (position + length) + 2));
    bytes = textCp.FromUnicode(text.substr(0, need));
  }
  std::size_t i = 0;      // unit
  std::int64_t k = 0;     // byte
  for (int e = 0; e < 2; ++e) {
    while (k < ends[e]) {
      if (i >= text.size()) return std::nullopt;
      const std::size_t cpUnits = IsLead(text[i]) && i + 1 < text.size() && IsTrail(text[i + 1]) ? 2 : 1;
      std::int64_t cpBytes = 1;
      if (textCp.IsDoubleByte()) {
        if (k >= static_cast<std::int64_t>(bytes.size())) return std::nullopt;
        if (textCp.IsLeadByte(static_cast<unsigned char>(bytes[static_cast<std::size_t>(k)])) &&
            k + 1 < static_cast<std::int64_t>(bytes.size()))
          cpBytes = 2;
      }
      i += cpUnits;
      k += cpBytes;
    }
    // A position inside a two-byte character has no place in the text.
    if (k != ends[e]) return std::nullopt;
    units[e] = static_cast<std::int64_t>(i);
  }
  return CEditorRange{units[0], units[1] - units[0]};
}

bool KeywordStandsAt(std::u16string_view text, const CEditorRange& range, const CConcordanceList& list,
                     const CCodePage& textCp) {
  const auto size = static_cast<std::int64_t>(text.size());
  if (range.m_nStart < 0 || range.m_nLength <= 0 || range.m_nStart + range.m_nLength > size) return false;
  const auto start = static_cast<std::size_t>(range.m_nStart);
  const auto end = static_cast<std::size_t>(range.m_nStart + range.m_nLength);
  // One character on each side decides the word boundaries.
  std::size_t from = start > 0 ? start - 1 : 0;
  std::size_t to = std::min(text.size(), end + 1);
  if (from > 0 && IsTrail(text[from]) && IsLead(text[from - 1])) --from;
  if (to < text.size() && IsLead(text[to - 1]) && IsTrail(text[to])) ++to;
  const CSearchRequest& request = list.m_request;
  const bool doubleByte = list.Language().IsDoubleByte();
  if (list.Unicode()) {
    const auto key = ApplyStarRule(std::u16string_view(request.m_wstrSearch), request.m_nMatchMode).m_strKey;
    if (key.size() != end - start) return false;
    const CWideMatcher matcher(key, list.m_nMatchMode, doubleByte);
    return matcher.MatchAt(text.substr(from, to - from), start - from);
  }
  const auto key = ApplyStarRule(std::string_view(request.m_strSearch), request.m_nMatchMode).m_strKey;
  const std::string before = textCp.FromUnicode(text.substr(from, start - from));
  const std::string word = textCp.FromUnicode(text.substr(start, end - start));
  if (word.size() != key.size()) return false;
  const std::string slice = before + word + textCp.FromUnicode(text.substr(end, to - end));
  const CByteMatcher matcher(key, list.m_nMatchMode, doubleByte, textCp);
  return matcher.MatchAt(slice, before.size());
}

std::optional<CEditorRange> LocateContext(const CConcordanceList& list, const CListEntry& entry,
                                          std::u16string_view editorText, std::string_view fileBytes,
                                          const CCodePage& ansi, const CCodePage& textCp) {
  std::optional<CEditorRange> range;
  if (list.Unicode()) range = CEditorRange{entry.m_nPosition, list.m_nKeyLength};
  else if (list.m_bFromFiles) range = FileRangeToEditor(fileBytes, entry.m_nPosition, list.m_nKeyLength, ansi);
  else range = TextRangeToEditor(editorText, entry.m_nPosition, list.m_nKeyLength, textCp);
  if (!range || !KeywordStandsAt(editorText, *range, list, textCp)) return std::nullopt;
  return range;
}

}  // namespace tessary
