#pragma once
// The unique-word database: a unique-word list stored as the table UniqueWords of an
// SQLite file ("Save to Database" of the Unique Words View), one record per row of the
// list as shown, and read back for the "Unique words view" window.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/expected.h"

namespace tessary {

inline constexpr const char* kUniqueWordsTable = "UniqueWords";

// One row of the list: its place in the list as shown (from 1), the word (UTF-8) and
// its number of instances.
struct CUniqueWordRecord {
  std::int64_t m_nRank = 0;
  std::string m_strWord;
  std::int64_t m_nInstances = 0;
  bool operator==(const CUniqueWordRecord&) const = default;
};

// Writes rows as the table UniqueWords, Rank numbering them in the order given, all in
// one transaction. A new file is created; an existing SQLite database keeps its other
// tables and has its UniqueWords table replaced. Anything else that exists (a text
// file, a device, a folder) is refused and left as it was. On an error nothing is
// changed and a new file is removed again. Gives the number of records written.
Expected<std::int64_t> SaveUniqueWordsDatabase(const std::string& path, const std::vector<CUniqueWordRecord>& rows);
// The records of the table UniqueWords in Rank order.
Expected<std::vector<CUniqueWordRecord>> ReadUniqueWordsDatabase(const std::string& path);

// "5 records were added to the table UniqueWords."
std::string UniqueWordsSummary(std::int64_t records);

}  // namespace tessary
