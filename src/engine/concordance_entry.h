#pragma once
// One record per concordance line: where the match came from and how it sorts.
#include <cstdint>
#include <string>

namespace tessary {

struct CConcordanceEntry {
  std::string m_strSortKey;   // collocate key, decimal offset ("Sort Position") or empty
  std::int64_t m_nLine = 0;       // index of the entry's line in the order found
  std::int64_t m_nPosition = 0;   // offset of the keyword in its source text
  std::int64_t m_nKeyOffset = 0;  // column of the sort collocate, line without number prefix
  std::int64_t m_nKeyLength = 0;  // letters of that collocate
  std::string m_strFile;      // source path as the file system gave it (may be empty)
};

// Entries of 16-bit searches: a 16-bit key and no collocate columns.
struct CWideConcordanceEntry {
  std::u16string m_wstrSortKey;
  std::int64_t m_nLine = 0;
  std::int64_t m_nPosition = 0;
  std::string m_strFile;
};

}  // namespace tessary
