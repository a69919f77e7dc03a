#pragma once
// The concordance database: the lines of a window stored as records of the table
// Concordances in an SQLite file, by "Save concordances in a new database" and "Append
// to an existing database", and read back for "Open a concordance database".
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/concordance_entry.h"
#include "engine/expected.h"

namespace tessary {

inline constexpr const char* kConcordanceTable = "Concordances";
// The fields in table order, with the sizes of the text fields (in characters).
inline constexpr std::array<const char*, 4> kConcordanceFields = {"Keyword", "Concordance", "File", "Position"};
inline constexpr std::size_t kKeywordSize = 30;
inline constexpr std::size_t kConcordanceSize = 120;
inline constexpr std::size_t kFileSize = 255;

// One record. Text is UTF-8; File and Position are null for a window that is not a
// concordance list (and for lines an edited list holds beyond its entries).
struct CConcordanceRecord {
  std::string m_strKeyword;
  std::string m_strConcordance;
  std::optional<std::string> m_strFile;
  std::optional<std::int64_t> m_nPosition;
  bool operator==(const CConcordanceRecord&) const = default;
};

// The records of a window: one per line of text (UTF-8, lines separated by '\n'; the
// empty piece after the final one is no line), each with the keyword. With entries
// (a concordance list), entry i gives line i its File (from files, the table the
// entries' m_nFile index) and Position.
std::vector<CConcordanceRecord> WindowRecords(std::string_view text, const std::string& keyword);
std::vector<CConcordanceRecord> WindowRecords(std::string_view text, const std::string& keyword,
                                              const std::vector<CConcordanceEntry>& entries,
                                              const std::vector<std::string>& files);
std::vector<CConcordanceRecord> WindowRecords(std::string_view text, const std::string& keyword,
                                              const std::vector<CWideConcordanceEntry>& entries,
                                              const std::vector<std::string>& files);

// What a command wrote. Values longer than their fields are stored whole and counted.
struct CDatabaseReport {
  std::int64_t m_nRecords = 0;
  std::int64_t m_nLongKeywords = 0;
  std::int64_t m_nLongConcordances = 0;
  std::int64_t m_nLongFiles = 0;
  std::int64_t LongValues() const { return m_nLongKeywords + m_nLongConcordances + m_nLongFiles; }
  // "3 records were added to the table Concordances." and, when some were longer,
  // "2 values are longer than their fields and were stored whole."
  std::string Summary() const;
};

// "Save concordances in a new database": creates the file with the table and the
// records. An existing file is refused and left alone. All in one transaction: on an
// error nothing is left behind (the new file is removed) and the message names the
// line that failed.
Expected<CDatabaseReport> CreateConcordanceDatabase(const std::string& path,
                                                    const std::vector<CConcordanceRecord>& records);
// "Append to an existing database": adds the records after those in the table, in one
// transaction; on an error the table stays as it was.
Expected<CDatabaseReport> AppendToConcordanceDatabase(const std::string& path,
                                                      const std::vector<CConcordanceRecord>& records);
// "Open a concordance database": the records of the table, in the order they were added.
Expected<std::vector<CConcordanceRecord>> ReadConcordanceDatabase(const std::string& path);

// Characters of a UTF-8 text (what the field sizes count).
std::size_t Utf8Length(std::string_view text);

}  // namespace tessary
