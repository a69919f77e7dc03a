// The line stores a long list window is shown from: each gives the lines, and the text
// a document of them would hold, whatever the text's last line.
#include <gtest/gtest.h>

#include <QStringList>

#include "editor/list_lines.h"

namespace tessary::test {
namespace {

QStringList AllLines(const CListLines& lines) {
  QStringList all;
  for (std::int64_t i = 0; i < lines.Count(); ++i) all << lines.Line(i);
  return all;
}

TEST(ListLinesTest, AWindowTextIsCutAtItsLineFeeds) {
  const auto ended = TextLines("one\n\nthree\n");
  EXPECT_EQ(AllLines(*ended), (QStringList{"one", "", "three"}));
  EXPECT_EQ(ended->Text(), "one\n\nthree\n");
  // A last line without a line feed is a line; the text gets one after it.
  const auto open = TextLines("one\ntwo");
  EXPECT_EQ(AllLines(*open), (QStringList{"one", "two"}));
  EXPECT_EQ(open->Text(), "one\ntwo\n");
  EXPECT_EQ(TextLines("")->Count(), 0);
  EXPECT_EQ(TextLines("")->Text(), "");
  EXPECT_EQ(open->Line(-1), "");
  EXPECT_EQ(open->Line(2), "");
}

TEST(ListLinesTest, APermutationReadsItsBaseInTheNewOrderAsUtf16Too) {
  const auto base = TextLines(QStringLiteral("b \u00e9\na\nc\n"));
  const auto sorted = PermutedLines(base, {1, 0, 2});
  EXPECT_EQ(AllLines(*sorted), (QStringList{"a", QStringLiteral("b \u00e9"), "c"}));
  EXPECT_EQ(sorted->TextUtf16(), u"a\nb \u00e9\nc\n");
  QString middle;
  sorted->AppendText(middle, 1, 5);  // past the end: only the lines there are
  EXPECT_EQ(middle, QStringLiteral("b \u00e9\nc\n"));
  // An order that names a line the base lacks gives an empty line, as an edited
  // source would.
  EXPECT_EQ(PermutedLines(base, {7})->Text(), "\n");
}

}  // namespace
}  // namespace tessary::test
