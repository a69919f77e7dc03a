#pragma once
// Collocate lists: how often each collocate of the keyword occurs in a list sorted by
// collocates, read from the entries' sort keys; re-ordered by frequency or by word,
// and written as the text file that the list is saved to.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/codepage.h"
#include "engine/concordance_entry.h"
#include "engine/concordance_list.h"
#include "engine/progress.h"

namespace tessary {

struct CCollocateItem {
  std::string m_strWord;  // spelled as its first occurrence in the list
  std::int64_t m_nCount = 1;
};

struct CCollocateList {
  bool m_bRight = true;      // right collocates, or left ones
  std::string m_strKeyword;  // the list's search string
  std::vector<CCollocateItem> m_arrItems;
};

enum class CollocateRefusal { kNone, kUnicode, kNotSorted, kNoEntries };

// Refusals in the order they are tested: a list not sorted by collocates (sentence
// lists never are), a list without entries. 16-bit lists are counted too (kUnicode
// is left for callers that cannot count them).
CollocateRefusal CheckCollocates(const CConcordanceList& list);
// The message box text of a refusal; empty for kNone.
std::string CollocateRefusalMessage(CollocateRefusal refusal);

// The collocate at the start of a sort key: up to the first character that is not a
// letter or digit (right lists), not a letter nor a byte from 123 ('{') up (left
// lists); the whole key in double-byte right lists.
std::string_view CollocateWord(std::string_view key, bool bRight, bool bDoubleByte, const CCodePage& cp);

// Case-insensitive comparison of two words: single-byte characters by the code page's
// upper case, double-byte characters as they are. <0, 0, >0.
int CompareCollocateWords(std::string_view a, std::string_view b, const CCodePage& cp);

// Counts the collocates of entries taken in list order. Words that differ only in
// case are one item, counted wherever they stand (the collation keeps them together,
// but ignorable hyphens can part them) and placed where the word first occurs. Keys
// without a collocate give no item.
std::vector<CCollocateItem> CountCollocates(const std::vector<CConcordanceEntry>& entries, bool bRight,
                                            bool bDoubleByte, const CCodePage& cp);
// The collocates of a sorted list, from its entries keyed in list order: left
// collocates when it was sorted by left ones.
CCollocateList CountCollocates(const CConcordanceList& list, const std::vector<CConcordanceEntry>& keyed,
                               const CCodePage& cp);

// Highest count first; equal counts keep their order.
void SortByFrequency(std::vector<CCollocateItem>& items);
// Ascending by CompareCollocateWords; equal words keep their order.
void SortByString(std::vector<CCollocateItem>& items, const CCodePage& cp);

// The saved file, in the items' order: "Right collocates for [ %s ] = %-4d" (or
// "Left ...") with the keyword and the number of items, then "%-4d%20s\t%s" per item
// with its 1-based row, the word and the count; every line ends in '\n' (the file is
// written in text mode). Bytes in the list's code page.
std::string CollocateFileText(const CCollocateList& list);

// The collocate list of a sorted byte list window, keyed from its text (text in the
// list's code page cp) by the side and distance it was sorted with. nullopt when
// progress asked to stop.
std::optional<CCollocateList> CollectCollocates(const CConcordanceList& window, std::string_view text,
                                                const CCodePage& cp, const ProgressFn& progress = {});

// 16-bit lists. A word is a run of letters and digits (right lists) or of letters
// (left lists) by the characters' Unicode properties; in scripts written without
// spaces (Han, kana, Thai, ...) it is the first two letters, as double-byte lists
// take two characters. Words compare by Unicode case folding.
struct CWideCollocateItem {
  std::u16string m_wstrWord;
  std::int64_t m_nCount = 1;
};

struct CWideCollocateList {
  bool m_bRight = true;
  std::u16string m_wstrKeyword;
  std::vector<CWideCollocateItem> m_arrItems;
};

std::u16string_view WideCollocateWord(std::u16string_view key, bool bRight);
int CompareWideCollocateWords(std::u16string_view a, std::u16string_view b);
std::vector<CWideCollocateItem> CountWideCollocates(const std::vector<CWideConcordanceEntry>& entries, bool bRight);
void SortByFrequency(std::vector<CWideCollocateItem>& items);
void SortByString(std::vector<CWideCollocateItem>& items);
// As the byte file, in 16-bit text: the word right-aligned in 20 characters.
std::u16string WideCollocateFileText(const CWideCollocateList& list);
std::optional<CWideCollocateList> CollectWideCollocates(const CConcordanceList& window, std::u16string_view text,
                                                        const ProgressFn& progress = {});

}  // namespace tessary
