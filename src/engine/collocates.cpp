#include "engine/collocates.h"

#include "engine/printf_format.h"

#include <algorithm>
#include <unordered_map>

namespace tessary {

CollocateRefusal CheckCollocates(const CConcordanceList& list) {
  if (list.Unicode()) return CollocateRefusal::kUnicode;
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

}  // namespace tessary
