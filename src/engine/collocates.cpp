#include "engine/collocates.h"

#include "engine/printf_format.h"
#include "engine/sort_command.h"

#include <unicode/uchar.h>
#include <unicode/uscript.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <unordered_map>

namespace tessary {

CollocateRefusal CheckCollocates(const CConcordanceList& list) {
  if (!list.m_bSorted || list.Sentences()) return CollocateRefusal::kNotSorted;
  if (list.m_arrEntries.empty()) return CollocateRefusal::kNoEntries;
  return CollocateRefusal::kNone;
}

std::string CollocateRefusalMessage(CollocateRefusal refusal) {
  switch (refusal) {
    case CollocateRefusal::kUnicode: return "This function is not yet implemented for unicode.";
    case CollocateRefusal::kNotSorted: return "First create sorted List";
    case CollocateRefusal::kNoEntries: return "There is no collocate list";
    case CollocateRefusal::kNone: break;
  }
  return {};
}

std::string_view CollocateWord(std::string_view key, bool bRight, bool bDoubleByte, const CCodePage& cp) {
  if (bRight && bDoubleByte) return key;
  std::size_t end = 0;
  for (; end < key.size(); ++end) {
    const auto b = static_cast<unsigned char>(key[end]);
    const bool inWord = bRight ? cp.IsAlnum(b) : (cp.IsAlpha(b) || b >= 123);
    if (!inWord) break;
  }
  return key.substr(0, end);
}

namespace {

// The word as CompareCollocateWords sees it: single bytes upper-cased, double-byte
// characters kept whole so that a trail byte is never taken for a letter.
std::string Folded(std::string_view word, const CCodePage& cp) {
  std::string out(word);
  for (std::size_t i = 0; i < out.size(); ++i) {
    const auto b = static_cast<unsigned char>(out[i]);
    if (cp.IsDoubleByte() && cp.IsLeadByte(b) && i + 1 < out.size()) ++i;
    else out[i] = static_cast<char>(cp.Upper(b));
  }
  return out;
}


}  // namespace

int CompareCollocateWords(std::string_view a, std::string_view b, const CCodePage& cp) {
  const std::string fa = Folded(a, cp), fb = Folded(b, cp);
  // Byte order, as the C runtime compares.
  const int c = std::string_view(fa).compare(fb);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

std::vector<CCollocateItem> CountCollocates(const std::vector<CConcordanceEntry>& entries, bool bRight,
                                            bool bDoubleByte, const CCodePage& cp) {
  std::vector<CCollocateItem> items;
  std::unordered_map<std::string, std::size_t> index;  // folded word -> item
  std::string current;                                 // folded word of the last item counted
  std::size_t currentItem = 0;
  for (const CConcordanceEntry& entry : entries) {
    const std::string_view word = CollocateWord(entry.m_strSortKey, bRight, bDoubleByte, cp);
    if (word.empty()) continue;
    std::string folded = Folded(word, cp);
    // Sorted lists bring each word in one run: the map is only asked when a run ends.
    if (!items.empty() && folded == current) {
      ++items[currentItem].m_nCount;
      continue;
    }
    auto [it, added] = index.try_emplace(folded, items.size());
    if (added) items.push_back({std::string(word), 1});
    else ++items[it->second].m_nCount;
    currentItem = it->second;
    current = std::move(folded);
  }
  return items;
}

CCollocateList CountCollocates(const CConcordanceList& window, const std::vector<CConcordanceEntry>& keyed,
                               const CCodePage& cp) {
  CCollocateList list;
  list.m_bRight = !window.m_bSortLeft;
  list.m_strKeyword = window.m_request.m_strSearch;
  list.m_arrItems = CountCollocates(keyed, list.m_bRight, window.Language().IsDoubleByte(), cp);
  return list;
}

void SortByFrequency(std::vector<CCollocateItem>& items) {
  std::stable_sort(items.begin(), items.end(),
                   [](const CCollocateItem& a, const CCollocateItem& b) { return a.m_nCount > b.m_nCount; });
}

void SortByString(std::vector<CCollocateItem>& items, const CCodePage& cp) {
  std::stable_sort(items.begin(), items.end(), [&](const CCollocateItem& a, const CCollocateItem& b) {
    return CompareCollocateWords(a.m_strWord, b.m_strWord, cp) < 0;
  });
}

std::string CollocateFileText(const CCollocateList& list) {
  std::string text = PrintfFormat(list.m_bRight ? "Right collocates for [ %s ] = %-4zu\n" : "Left collocates for [ %s ] = %-4zu\n",
                            list.m_strKeyword.c_str(), list.m_arrItems.size());
  std::size_t row = 0;
  for (const CCollocateItem& item : list.m_arrItems) {
    const std::string count = PrintfFormat("%lld", static_cast<long long>(item.m_nCount));
    text += PrintfFormat("%-4zu%20s\t%s\n", ++row, item.m_strWord.c_str(), count.c_str());
  }
  return text;
}

std::optional<CCollocateList> CollectCollocates(const CConcordanceList& window, std::string_view text,
                                                const CCodePage& cp, const ProgressFn& progress) {
  const bool bRight = !window.m_bSortLeft;
  const auto keyed = KeyListLines(window, text, bRight, window.m_request.m_nSortDistance, cp, progress);
  if (!keyed) return std::nullopt;
  return CountCollocates(window, *keyed, cp);
}

namespace {

// Characters of scripts that put no spaces between words.
bool Unspaced(UChar32 c) {
  if (u_hasBinaryProperty(c, UCHAR_IDEOGRAPHIC)) return true;
  UErrorCode status = U_ZERO_ERROR;
  switch (uscript_getScript(c, &status)) {
    case USCRIPT_HAN:
    case USCRIPT_HIRAGANA:
    case USCRIPT_KATAKANA:
    case USCRIPT_THAI:
    case USCRIPT_LAO:
    case USCRIPT_KHMER:
    case USCRIPT_MYANMAR:
      return true;
    default:
      return false;
  }
}

std::u16string WideFolded(std::u16string_view word) {
  std::u16string out(word.size() * 3 + 1, u'\0');
  UErrorCode status = U_ZERO_ERROR;
  const int32_t n = u_strFoldCase(reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()),
                                  reinterpret_cast<const UChar*>(word.data()), static_cast<int32_t>(word.size()),
                                  U_FOLD_CASE_DEFAULT, &status);
  if (U_FAILURE(status)) return std::u16string(word);
  out.resize(static_cast<std::size_t>(n));
  return out;
}

std::size_t CodePoints(std::u16string_view s) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < s.size(); ++i)
    if (!(U16_IS_TRAIL(s[i]) && i > 0 && U16_IS_LEAD(s[i - 1]))) ++n;
  return n;
}

}  // namespace

std::u16string_view WideCollocateWord(std::u16string_view key, bool bRight) {
  std::size_t end = 0;
  int unspaced = 0;
  while (end < key.size()) {
    std::size_t next = end;
    UChar32 c;
    U16_NEXT(key.data(), next, key.size(), c);
    const bool inWord = bRight ? (u_isalpha(c) || u_isdigit(c)) : u_isalpha(c);
    if (!inWord) break;
    if (Unspaced(c)) {
      // Two characters, as double-byte keys take; a spaced word ends before one.
      if (end > 0 && unspaced == 0) break;
      if (unspaced == 2) break;
      ++unspaced;
    } else if (unspaced > 0) {
      break;
    }
    end = next;
  }
  return key.substr(0, end);
}

int CompareWideCollocateWords(std::u16string_view a, std::u16string_view b) {
  const int c = std::u16string_view(WideFolded(a)).compare(WideFolded(b));
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

std::vector<CWideCollocateItem> CountWideCollocates(const std::vector<CWideConcordanceEntry>& entries, bool bRight) {
  std::vector<CWideCollocateItem> items;
  std::unordered_map<std::u16string, std::size_t> index;
  std::u16string current;
  std::size_t currentItem = 0;
  for (const CWideConcordanceEntry& entry : entries) {
    const std::u16string_view word = WideCollocateWord(entry.m_wstrSortKey, bRight);
    if (word.empty()) continue;
    std::u16string folded = WideFolded(word);
    if (!items.empty() && folded == current) {
      ++items[currentItem].m_nCount;
      continue;
    }
    auto [it, added] = index.try_emplace(folded, items.size());
    if (added) items.push_back({std::u16string(word), 1});
    else ++items[it->second].m_nCount;
    currentItem = it->second;
    current = std::move(folded);
  }
  return items;
}

void SortByFrequency(std::vector<CWideCollocateItem>& items) {
  std::stable_sort(items.begin(), items.end(),
                   [](const CWideCollocateItem& a, const CWideCollocateItem& b) { return a.m_nCount > b.m_nCount; });
}

void SortByString(std::vector<CWideCollocateItem>& items) {
  std::stable_sort(items.begin(), items.end(), [](const CWideCollocateItem& a, const CWideCollocateItem& b) {
    return CompareWideCollocateWords(a.m_wstrWord, b.m_wstrWord) < 0;
  });
}

std::u16string WideCollocateFileText(const CWideCollocateList& list) {
  auto ascii = [](const std::string& s) { return std::u16string(s.begin(), s.end()); };
  std::u16string text = list.m_bRight ? u"Right collocates for [ " : u"Left collocates for [ ";
  text += list.m_wstrKeyword;
  text += ascii(PrintfFormat(" ] = %-4zu\n", list.m_arrItems.size()));
  std::size_t row = 0;
  for (const CWideCollocateItem& item : list.m_arrItems) {
    text += ascii(PrintfFormat("%-4zu", ++row));
    const std::size_t width = CodePoints(item.m_wstrWord);
    if (width < 20) text.append(20 - width, u' ');
    text += item.m_wstrWord;
    text += ascii(PrintfFormat("\t%lld\n", static_cast<long long>(item.m_nCount)));
  }
  return text;
}

std::optional<CWideCollocateList> CollectWideCollocates(const CConcordanceList& window, std::u16string_view text,
                                                        const ProgressFn& progress) {
  CWideCollocateList list;
  list.m_bRight = !window.m_bSortLeft;
  list.m_wstrKeyword = window.m_request.m_wstrSearch;
  const auto keyed = KeyWideListLines(window, text, list.m_bRight, window.m_request.m_nSortDistance, progress);
  if (!keyed) return std::nullopt;
  list.m_arrItems = CountWideCollocates(*keyed, list.m_bRight);
  return list;
}

}  // namespace tessary
