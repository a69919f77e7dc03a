// The unique-word database: the list read back as written, an existing database keeps
// its other tables, and files that are no database are refused and left as they were.
#include "export/unique_words_db.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include "export/concordance_db.h"
#include "scratch_dir.h"

namespace tessary {
namespace {

const std::vector<CUniqueWordRecord> kRows = {{0, "the", 3}, {0, "Äpfel", 2}, {0, "cat", 2}, {0, "don't", 1}};

std::vector<CUniqueWordRecord> Ranked(std::vector<CUniqueWordRecord> rows) {
  std::int64_t rank = 0;
  for (auto& row : rows) row.m_nRank = ++rank;
  return rows;
}

TEST(UniqueWordsDb, WrittenRowsReadBackInTheirOrderWithRanks) {
  test::ScratchDir dir;
  const std::string path = dir.Path("words.db");
  auto written = SaveUniqueWordsDatabase(path, kRows);
  ASSERT_TRUE(written) << written.Error();
  EXPECT_EQ(*written, 4);
  EXPECT_EQ(UniqueWordsSummary(*written), "4 records were added to the table UniqueWords.");
  auto read = ReadUniqueWordsDatabase(path);
  ASSERT_TRUE(read) << read.Error();
  EXPECT_EQ(*read, Ranked(kRows));

  // Saving again replaces the table: the new list, not both.
  const std::vector<CUniqueWordRecord> fewer = {{0, "cat", 2}};
  ASSERT_TRUE(SaveUniqueWordsDatabase(path, fewer));
  EXPECT_EQ(*ReadUniqueWordsDatabase(path), Ranked(fewer));

  // An empty list is an empty table.
  const std::string empty = dir.Path("empty.db");
  ASSERT_TRUE(SaveUniqueWordsDatabase(empty, {}));
  EXPECT_TRUE(ReadUniqueWordsDatabase(empty)->empty());
}

TEST(UniqueWordsDb, AConcordanceDatabaseKeepsItsRecordsBesideTheList) {
  test::ScratchDir dir;
  const std::string path = dir.Path("both.db");
  const std::vector<CConcordanceRecord> records = {{"cat", "the cat sat", "/t/a.txt", 4}};
  ASSERT_TRUE(CreateConcordanceDatabase(path, records));
  ASSERT_TRUE(SaveUniqueWordsDatabase(path, kRows));
  EXPECT_EQ(*ReadConcordanceDatabase(path), records);
  EXPECT_EQ(*ReadUniqueWordsDatabase(path), Ranked(kRows));
}

TEST(UniqueWordsDb, AFileThatIsNoDatabaseIsRefusedAndLeftAsItWas) {
  test::ScratchDir dir;
  const std::string text = dir.Path("notes.db");
  const std::string notDb = "Unique words = 3\tTotal words = 6\nthe 3\n";
  { std::ofstream(text, std::ios::binary) << notDb; }
  auto written = SaveUniqueWordsDatabase(text, kRows);
  ASSERT_FALSE(written);
  EXPECT_NE(written.Error().find("is not a database"), std::string::npos) << written.Error();
  EXPECT_EQ(test::ReadBytes(text), notDb);
  EXPECT_FALSE(ReadUniqueWordsDatabase(text));

  // A database without the table reads as an error, not as an empty list.
  const std::string other = dir.Path("other.db");
  ASSERT_TRUE(CreateConcordanceDatabase(other, {}));
  EXPECT_FALSE(ReadUniqueWordsDatabase(other));
  EXPECT_FALSE(ReadUniqueWordsDatabase(dir.Path("absent.db")));
  EXPECT_FALSE(test::Exists(dir.Path("absent.db")));
}

TEST(UniqueWordsDb, AFolderOrMissingFolderIsRefusedAndNothingIsLeftBehind) {
  test::ScratchDir dir;
  EXPECT_FALSE(SaveUniqueWordsDatabase(dir.Path(""), kRows));
  const std::string missing = dir.Path("no such folder/words.db");
  EXPECT_FALSE(SaveUniqueWordsDatabase(missing, kRows));
  EXPECT_FALSE(test::Exists(missing));
}

TEST(UniqueWordsDb, ADeviceIsRefusedAndNeverReplacedOrRemoved) {
  struct stat st {};
  if (::stat("/dev/full", &st) != 0 || !S_ISCHR(st.st_mode)) GTEST_SKIP() << "no /dev/full character device";
  auto written = SaveUniqueWordsDatabase("/dev/full", kRows);
  ASSERT_FALSE(written);
  EXPECT_NE(written.Error().find("not a file that can be written to"), std::string::npos) << written.Error();
  ASSERT_EQ(::stat("/dev/full", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
}

}  // namespace
}  // namespace tessary
