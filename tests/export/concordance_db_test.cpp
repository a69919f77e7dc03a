// The concordance database: records of list and plain windows, the create and append
// flows with their order, one transaction per command, and values longer than fields.
#include "export/concordance_db.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "scratch_dir.h"

namespace tessary {
namespace {

// Entries and the file table they index, as a search's list holds them.
struct Listed {
  std::vector<CConcordanceEntry> entries;
  std::vector<std::string> files;
};
Listed Entries(std::initializer_list<std::pair<const char*, std::int64_t>> list) {
  Listed listed;
  for (const auto& [file, position] : list) {
    CConcordanceEntry e;
    e.m_nFile = static_cast<std::uint32_t>(listed.files.size());
    listed.files.emplace_back(file);
    e.m_nPosition = position;
    listed.entries.push_back(e);
  }
  return listed;
}

std::vector<CConcordanceRecord> WindowRecords(std::string_view text, const std::string& keyword, const Listed& listed) {
  return tessary::WindowRecords(text, keyword, listed.entries, listed.files);
}
using tessary::WindowRecords;

void Exec(const std::string& path, const char* sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
  sqlite3_close(db);
}

std::vector<CConcordanceRecord> ReadOrDie(const std::string& path) {
  auto records = ReadConcordanceDatabase(path);
  EXPECT_TRUE(records) << records.Error();
  return records ? *records : std::vector<CConcordanceRecord>{};
}

TEST(ConcordanceDb, WindowRecordsOfListsAndPlainWindows) {
  const auto list = WindowRecords("1  a cat\n2  the cat\r\n", "cat", Entries({{"/t/a.txt", 2}, {"/t/b.txt", 40}}));
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0], (CConcordanceRecord{"cat", "1  a cat", "/t/a.txt", 2}));
  EXPECT_EQ(list[1], (CConcordanceRecord{"cat", "2  the cat", "/t/b.txt", 40}));
  // A plain window: no File, no Position; a last line without its break still counts.
  const auto plain = WindowRecords("first line\nsecond line", "test");
  ASSERT_EQ(plain.size(), 2u);
  EXPECT_EQ(plain[1], (CConcordanceRecord{"test", "second line", std::nullopt, std::nullopt}));
  // An edited list with more lines than entries leaves the extra lines without them.
  const auto edited = WindowRecords("a\nb\n", "k", Entries({{"/t/a.txt", 0}}));
  EXPECT_EQ(edited[1], (CConcordanceRecord{"k", "b", std::nullopt, std::nullopt}));
}

TEST(ConcordanceDb, CreateThenAppendTwiceKeepsOrder) {
  test::ScratchDir dir;
  const std::string path = dir.Path("c.sqlite");
  const auto list = WindowRecords("one cat\ntwo cat\nred cat\n", "cat",
                                  Entries({{"/t/a.txt", 4}, {"/t/a.txt", 12}, {"/t/b.txt", 0}}));
  auto created = CreateConcordanceDatabase(path, list);
  ASSERT_TRUE(created) << created.Error();
  EXPECT_EQ(created->m_nRecords, 3);
  EXPECT_EQ(created->Summary(), "3 records were added to the table Concordances.");
  const auto plain = WindowRecords("a plain line\n", "test");
  ASSERT_TRUE(AppendToConcordanceDatabase(path, plain));
  ASSERT_TRUE(AppendToConcordanceDatabase(path, list));

  std::vector<CConcordanceRecord> expected = list;
  expected.insert(expected.end(), plain.begin(), plain.end());
  expected.insert(expected.end(), list.begin(), list.end());
  EXPECT_EQ(ReadOrDie(path), expected);

  // The table as other tools see it: its fields in order, with their declared types.
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  sqlite3_stmt* stmt = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT name, type FROM pragma_table_info('Concordances')", -1, &stmt, nullptr),
            SQLITE_OK);
  std::string columns;
  while (sqlite3_step(stmt) == SQLITE_ROW)
    columns += std::string(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0))) + " " +
               reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1)) + ";";
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  EXPECT_EQ(columns, "Keyword TEXT(30);Concordance TEXT(120);File TEXT(255);Position INTEGER;");
}

TEST(ConcordanceDb, LongValuesAreStoredWholeAndCounted) {
  test::ScratchDir dir;
  const std::string path = dir.Path("long.sqlite");
  // 120 two-byte characters fit; 121 do not. The keyword has 31 characters.
  std::string fitting, longer;
  for (int i = 0; i < 120; ++i) fitting += "\xC3\xA9";
  longer = fitting + "x";
  const std::string keyword(31, 'k');
  std::vector<CConcordanceRecord> records = {{keyword, fitting, std::string(300, 'p'), 1},
                                             {"short", longer, std::nullopt, std::nullopt}};
  auto report = CreateConcordanceDatabase(path, records);
  ASSERT_TRUE(report) << report.Error();
  EXPECT_EQ(report->m_nLongKeywords, 1);
  EXPECT_EQ(report->m_nLongConcordances, 1);
  EXPECT_EQ(report->m_nLongFiles, 1);
  EXPECT_EQ(report->Summary(),
            "2 records were added to the table Concordances.\n"
            "3 values are longer than their fields and were stored whole.");
  EXPECT_EQ(ReadOrDie(path), records);
}

TEST(ConcordanceDb, AFailedLineLeavesTheTableAsItWas) {
  test::ScratchDir dir;
  const std::string path = dir.Path("checked.sqlite");
  Exec(path,
       "CREATE TABLE Concordances (Keyword TEXT(30), Concordance TEXT(120) CHECK (Concordance <> 'bad'), "
       "File TEXT(255), Position INTEGER);"
       "INSERT INTO Concordances VALUES ('old', 'kept line', NULL, NULL);");
  auto failed = AppendToConcordanceDatabase(path, WindowRecords("good\nbad\ngood again\n", "k"));
  ASSERT_FALSE(failed);
  EXPECT_EQ(failed.Error().rfind("Line 2 could not be stored: ", 0), 0u) << failed.Error();
  EXPECT_EQ(ReadOrDie(path), (std::vector<CConcordanceRecord>{{"old", "kept line", std::nullopt, std::nullopt}}));
}

TEST(ConcordanceDb, RefusedFilesAreLeftAlone) {
  test::ScratchDir dir;
  const auto records = WindowRecords("a line\n", "k");
  // Create never replaces an existing file, database or not.
  const std::string existing = dir.Path("existing.sqlite");
  ASSERT_TRUE(CreateConcordanceDatabase(existing, records));
  auto again = CreateConcordanceDatabase(existing, records);
  ASSERT_FALSE(again);
  EXPECT_EQ(again.Error(), "The file " + existing + " already exists.");
  EXPECT_EQ(ReadOrDie(existing).size(), 1u);

  // Append needs an existing database that holds the table.
  const std::string missing = dir.Path("missing.sqlite");
  EXPECT_FALSE(AppendToConcordanceDatabase(missing, records));
  EXPECT_FALSE(test::Exists(missing));
  const std::string other = dir.Path("other.sqlite");
  Exec(other, "CREATE TABLE Words (w TEXT)");
  auto noTable = AppendToConcordanceDatabase(other, records);
  ASSERT_FALSE(noTable);
  EXPECT_EQ(noTable.Error(), "The database " + other + " has no table Concordances.");
  EXPECT_FALSE(ReadConcordanceDatabase(other));

  const std::string text = dir.Path("text.txt");
  const std::string words = "This is not a database, just some text that is long enough.\n";
  { std::ofstream(text) << words; }
  auto notDb = AppendToConcordanceDatabase(text, records);
  ASSERT_FALSE(notDb);
  EXPECT_EQ(notDb.Error().rfind("Cannot open the database " + text, 0), 0u) << notDb.Error();
  EXPECT_FALSE(ReadConcordanceDatabase(text));
  EXPECT_EQ(test::ReadBytes(text), words);

}

}  // namespace
}  // namespace tessary
