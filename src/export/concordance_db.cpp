#include "export/concordance_db.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace tessary {

namespace {

using Report = Expected<CDatabaseReport>;

struct DbCloser {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using DbPtr = std::unique_ptr<sqlite3, DbCloser>;
struct StmtFinalizer {
  void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};
using StmtPtr = std::unique_ptr<sqlite3_stmt, StmtFinalizer>;

std::string ErrorOf(sqlite3* db) { return db ? sqlite3_errmsg(db) : "out of memory"; }

std::string Unreadable(const std::string& path, const std::string& error) {
  return "Cannot open the database " + path + ": " + error + ".";
}

Expected<DbPtr> OpenDatabase(const std::string& path, int flags) {
  sqlite3* raw = nullptr;
  const int rc = sqlite3_open_v2(path.c_str(), &raw, flags, nullptr);
  DbPtr db(raw);
  if (rc != SQLITE_OK) return Expected<DbPtr>::Failure(Unreadable(path, ErrorOf(raw)));
  sqlite3_busy_timeout(db.get(), 2000);
  return Expected<DbPtr>(std::move(db));
}

// Empty on success, else the engine's message.
std::string Exec(sqlite3* db, const char* sql) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &error) == SQLITE_OK) return {};
  std::string message = error ? error : ErrorOf(db);
  sqlite3_free(error);
  return message;
}

// Whether the table exists; an unreadable file gives the engine's message.
Expected<bool> HasTable(sqlite3* db) {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1 COLLATE NOCASE", -1,
                         &raw, nullptr) != SQLITE_OK)
    return Expected<bool>::Failure(ErrorOf(db));
  StmtPtr stmt(raw);
  sqlite3_bind_text(stmt.get(), 1, kConcordanceTable, -1, SQLITE_STATIC);
  const int rc = sqlite3_step(stmt.get());
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) return Expected<bool>::Failure(ErrorOf(db));
  return rc == SQLITE_ROW;
}

std::string NoTable(const std::string& path) {
  return "The database " + path + " has no table " + kConcordanceTable + ".";
}

// Inserts every record inside the caller's open transaction.
Report InsertRecords(sqlite3* db, const std::vector<CConcordanceRecord>& records) {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db,
                         "INSERT INTO Concordances (\"Keyword\", \"Concordance\", \"File\", \"Position\") "
                         "VALUES (?1, ?2, ?3, ?4)",
                         -1, &raw, nullptr) != SQLITE_OK)
    return Report::Failure(ErrorOf(db));
  StmtPtr stmt(raw);
  CDatabaseReport report;
  for (std::size_t i = 0; i < records.size(); ++i) {
    const CConcordanceRecord& r = records[i];
    sqlite3_stmt* s = stmt.get();
    sqlite3_reset(s);
    sqlite3_bind_text(s, 1, r.m_strKeyword.data(), static_cast<int>(r.m_strKeyword.size()), SQLITE_STATIC);
    sqlite3_bind_text(s, 2, r.m_strConcordance.data(), static_cast<int>(r.m_strConcordance.size()), SQLITE_STATIC);
    if (r.m_strFile) sqlite3_bind_text(s, 3, r.m_strFile->data(), static_cast<int>(r.m_strFile->size()), SQLITE_STATIC);
    else sqlite3_bind_null(s, 3);
    if (r.m_nPosition) sqlite3_bind_int64(s, 4, *r.m_nPosition);
    else sqlite3_bind_null(s, 4);
    if (sqlite3_step(s) != SQLITE_DONE)
      return Report::Failure("Line " + std::to_string(i + 1) + " could not be stored: " + ErrorOf(db) + ".");
    ++report.m_nRecords;
    report.m_nLongKeywords += Utf8Length(r.m_strKeyword) > kKeywordSize;
    report.m_nLongConcordances += Utf8Length(r.m_strConcordance) > kConcordanceSize;
    report.m_nLongFiles += r.m_strFile && Utf8Length(*r.m_strFile) > kFileSize;
  }
  return report;
}

// Runs body in one transaction: committed whole, or rolled back with body's message.
template <class Body>
Report InTransaction(sqlite3* db, const std::string& path, Body&& body) {
  if (std::string error = Exec(db, "BEGIN IMMEDIATE"); !error.empty()) return Report::Failure(Unreadable(path, error));
  Report result = body();
  if (result) {
    if (std::string error = Exec(db, "COMMIT"); !error.empty()) result = Report::Failure(error);
  }
  if (!result) Exec(db, "ROLLBACK");
  return result;
}

template <class Entry>
std::vector<CConcordanceRecord> RecordsWithEntries(std::string_view text, const std::string& keyword,
                                                   const std::vector<Entry>& entries,
                                                   const std::vector<std::string>& files) {
  std::vector<CConcordanceRecord> records = WindowRecords(text, keyword);
  for (std::size_t i = 0; i < records.size() && i < entries.size(); ++i) {
    records[i].m_strFile = FileOfEntry(files, entries[i].m_nFile);
    records[i].m_nPosition = entries[i].m_nPosition;
  }
  return records;
}

std::string Plural(std::int64_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

std::size_t Utf8Length(std::string_view text) {
  std::size_t n = 0;
  for (char c : text) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

std::vector<CConcordanceRecord> WindowRecords(std::string_view text, const std::string& keyword) {
  std::vector<CConcordanceRecord> records;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    records.push_back({keyword, std::string(line), std::nullopt, std::nullopt});
    start = end + 1;
  }
  return records;
}

std::vector<CConcordanceRecord> WindowRecords(std::string_view text, const std::string& keyword,
                                              const std::vector<CConcordanceEntry>& entries,
                                              const std::vector<std::string>& files) {
  return RecordsWithEntries(text, keyword, entries, files);
}

std::vector<CConcordanceRecord> WindowRecords(std::string_view text, const std::string& keyword,
                                              const std::vector<CWideConcordanceEntry>& entries,
                                              const std::vector<std::string>& files) {
  return RecordsWithEntries(text, keyword, entries, files);
}

std::string CDatabaseReport::Summary() const {
  std::string text = Plural(m_nRecords, "record was", "records were") + " added to the table " + kConcordanceTable + ".";
  if (LongValues() == 1) {
    text += "\n1 value is longer than its field and was stored whole.";
  } else if (LongValues() > 1) {
    text += '\n';
    text += std::to_string(LongValues());
    text += " values are longer than their fields and were stored whole.";
  }
  return text;
}

Expected<CDatabaseReport> CreateConcordanceDatabase(const std::string& path,
                                                    const std::vector<CConcordanceRecord>& records) {
  // Claim the name first: an existing file, perhaps a database of earlier searches,
  // is never replaced.
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) {
    if (errno == EEXIST) return Report::Failure("The file " + path + " already exists.");
    return Report::Failure("Cannot create " + path + ": " + std::strerror(errno) + ".");
  }
  ::close(fd);
  Report result = [&]() -> Report {
    auto db = OpenDatabase(path, SQLITE_OPEN_READWRITE);
    if (!db) return Report::Failure(db.Error());
    return InTransaction(db->get(), path, [&]() -> Report {
      if (std::string error = Exec(db->get(),
                                   "CREATE TABLE Concordances (\"Keyword\" TEXT(30), \"Concordance\" TEXT(120), "
                                   "\"File\" TEXT(255), \"Position\" INTEGER)");
          !error.empty())
        return Report::Failure(error);
      return InsertRecords(db->get(), records);
    });
  }();
  if (!result) ::unlink(path.c_str());
  return result;
}

Expected<CDatabaseReport> AppendToConcordanceDatabase(const std::string& path,
                                                      const std::vector<CConcordanceRecord>& records) {
  auto db = OpenDatabase(path, SQLITE_OPEN_READWRITE);
  if (!db) return Report::Failure(db.Error());
  return InTransaction(db->get(), path, [&]() -> Report {
    auto has = HasTable(db->get());
    if (!has) return Report::Failure(Unreadable(path, has.Error()));
    if (!*has) return Report::Failure(NoTable(path));
    return InsertRecords(db->get(), records);
  });
}

Expected<std::vector<CConcordanceRecord>> ReadConcordanceDatabase(const std::string& path) {
  using Result = Expected<std::vector<CConcordanceRecord>>;
  auto db = OpenDatabase(path, SQLITE_OPEN_READONLY);
  if (!db) return Result::Failure(db.Error());
  auto has = HasTable(db->get());
  if (!has) return Result::Failure(Unreadable(path, has.Error()));
  if (!*has) return Result::Failure(NoTable(path));
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db->get(),
                         "SELECT \"Keyword\", \"Concordance\", \"File\", \"Position\" FROM Concordances ORDER BY rowid",
                         -1, &raw, nullptr) != SQLITE_OK)
    return Result::Failure(ErrorOf(db->get()));
  StmtPtr stmt(raw);
  const auto text = [&](int column) {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), column));
    return p ? std::string(p, static_cast<std::size_t>(sqlite3_column_bytes(stmt.get(), column))) : std::string();
  };
  std::vector<CConcordanceRecord> records;
  int rc;
  while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
    CConcordanceRecord r;
    r.m_strKeyword = text(0);
    r.m_strConcordance = text(1);
    if (sqlite3_column_type(stmt.get(), 2) != SQLITE_NULL) r.m_strFile = text(2);
    if (sqlite3_column_type(stmt.get(), 3) != SQLITE_NULL) r.m_nPosition = sqlite3_column_int64(stmt.get(), 3);
    records.push_back(std::move(r));
  }
  if (rc != SQLITE_DONE) return Result::Failure(ErrorOf(db->get()));
  return records;
}

}  // namespace tessary
