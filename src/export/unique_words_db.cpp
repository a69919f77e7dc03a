#include "export/unique_words_db.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace tessary {

namespace {

using Count = Expected<std::int64_t>;

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

std::string Exec(sqlite3* db, const char* sql) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &error) == SQLITE_OK) return {};
  std::string message = error ? error : ErrorOf(db);
  sqlite3_free(error);
  return message;
}

// Whether the file starts as an SQLite database does. An empty file counts: SQLite
// takes it as an empty database, and there is nothing in it to lose.
Expected<bool> LooksLikeDatabase(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return Expected<bool>::Failure("Cannot read " + path + ": " + std::strerror(errno) + ".");
  static constexpr char kHeader[] = "SQLite format 3";  // with its NUL: 16 bytes
  char head[sizeof kHeader] = {};
  const ssize_t n = ::read(fd, head, sizeof head);
  ::close(fd);
  if (n < 0) return Expected<bool>::Failure("Cannot read " + path + ": " + std::strerror(errno) + ".");
  return n == 0 || (n == static_cast<ssize_t>(sizeof head) && std::memcmp(head, kHeader, sizeof head) == 0);
}

// Replaces the table with rows inside one transaction: all of it or none.
Count WriteTable(sqlite3* db, const std::string& path, const std::vector<CUniqueWordRecord>& rows) {
  if (std::string error = Exec(db, "BEGIN IMMEDIATE"); !error.empty()) return Count::Failure(Unreadable(path, error));
  Count result = [&]() -> Count {
    if (std::string error = Exec(db,
                                 "DROP TABLE IF EXISTS UniqueWords; "
                                 "CREATE TABLE UniqueWords (\"Rank\" INTEGER PRIMARY KEY, \"Word\" TEXT, "
                                 "\"Instances\" INTEGER)");
        !error.empty())
      return Count::Failure(Unreadable(path, error));
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, "INSERT INTO UniqueWords (\"Rank\", \"Word\", \"Instances\") VALUES (?1, ?2, ?3)", -1,
                           &raw, nullptr) != SQLITE_OK)
      return Count::Failure(ErrorOf(db));
    StmtPtr stmt(raw);
    std::int64_t rank = 0;
    for (const CUniqueWordRecord& row : rows) {
      sqlite3_stmt* s = stmt.get();
      sqlite3_reset(s);
      sqlite3_bind_int64(s, 1, ++rank);
      sqlite3_bind_text(s, 2, row.m_strWord.data(), static_cast<int>(row.m_strWord.size()), SQLITE_STATIC);
      sqlite3_bind_int64(s, 3, row.m_nInstances);
      if (sqlite3_step(s) != SQLITE_DONE)
        return Count::Failure("Row " + std::to_string(rank) + " could not be stored: " + ErrorOf(db) + ".");
    }
    if (std::string error = Exec(db, "COMMIT"); !error.empty()) return Count::Failure(error);
    return rank;
  }();
  if (!result) Exec(db, "ROLLBACK");
  return result;
}

}  // namespace

std::string UniqueWordsSummary(std::int64_t records) {
  return std::to_string(records) + (records == 1 ? " record was" : " records were") + " added to the table " +
         kUniqueWordsTable + ".";
}

Expected<std::int64_t> SaveUniqueWordsDatabase(const std::string& path, const std::vector<CUniqueWordRecord>& rows) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) {
    // Only a database is written into; a device, a folder or a text file stays as it is.
    if (!S_ISREG(st.st_mode)) return Count::Failure(path + " is not a file that can be written to.");
    auto looks = LooksLikeDatabase(path);
    if (!looks) return Count::Failure(looks.Error());
    if (!*looks) return Count::Failure("The file " + path + " is not a database.");
    auto db = OpenDatabase(path, SQLITE_OPEN_READWRITE);
    if (!db) return Count::Failure(db.Error());
    return WriteTable(db->get(), path, rows);
  }
  // Claim the name: a file that appears meanwhile is not replaced.
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) {
    if (errno == EEXIST) return Count::Failure("The file " + path + " already exists.");
    return Count::Failure("Cannot create " + path + ": " + std::strerror(errno) + ".");
  }
  ::close(fd);
  Count result = [&]() -> Count {
    auto db = OpenDatabase(path, SQLITE_OPEN_READWRITE);
    if (!db) return Count::Failure(db.Error());
    return WriteTable(db->get(), path, rows);
  }();
  if (!result) ::unlink(path.c_str());
  return result;
}

Expected<std::vector<CUniqueWordRecord>> ReadUniqueWordsDatabase(const std::string& path) {
  using Result = Expected<std::vector<CUniqueWordRecord>>;
  auto db = OpenDatabase(path, SQLITE_OPEN_READONLY);
  if (!db) return Result::Failure(db.Error());
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db->get(), "SELECT \"Rank\", \"Word\", \"Instances\" FROM UniqueWords ORDER BY \"Rank\"", -1,
                         &raw, nullptr) != SQLITE_OK)
    return Result::Failure(Unreadable(path, ErrorOf(db->get())));
  StmtPtr stmt(raw);
  std::vector<CUniqueWordRecord> records;
  int rc;
  while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
    CUniqueWordRecord r;
    r.m_nRank = sqlite3_column_int64(stmt.get(), 0);
    const auto* word = reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), 1));
    if (word) r.m_strWord.assign(word, static_cast<std::size_t>(sqlite3_column_bytes(stmt.get(), 1)));
    r.m_nInstances = sqlite3_column_int64(stmt.get(), 2);
    records.push_back(std::move(r));
  }
  if (rc != SQLITE_DONE) return Result::Failure(Unreadable(path, ErrorOf(db->get())));
  return records;
}

}  // namespace tessary
