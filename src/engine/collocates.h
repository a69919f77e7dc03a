#pragma once
// Collocate lists: how often each collocate of the keyword occurs in a list sorted by
// collocates, read from the entries' sort keys; re-ordered by frequency or by word,
// and written as the text file that the list is saved to.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/codepage.h"
#include "engine/concordance_entry.h"
#include "engine/concordance_list.h"

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

// Refusals in the order they are tested: a list of a 16-bit search, a list not sorted
// by collocates (sentence lists never are), a list without entries.
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

}  // namespace tessary
