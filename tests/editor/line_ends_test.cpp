// A plain-text save writes the line ends the file was read with; new documents and
// files without a line end get the platform's.
#include <QTextCursor>
#include <QTextDocument>

#include "editor/editor_fixture.h"

namespace tessary::test {
namespace {

class LineEnds : public EditorTest {
 protected:
  // Opens bytes as a file, adds a line at its end and saves it in place.
  QByteArray Resaved(const QString& name, const QByteArray& bytes) {
    auto doc = Open(Write(name, bytes));
    EXPECT_NE(doc, nullptr);
    if (!doc) return {};
    QTextCursor cursor(doc->Document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText("\nadded");
    EXPECT_TRUE(doc->DoSave(false));
    return Read(Path(name));
  }
};

TEST_F(LineEnds, EachFileKeepsItsOwn) {
  EXPECT_EQ(Resaved("unix.txt", "one\ntwo\n"), "one\ntwo\n\nadded");
  EXPECT_EQ(Resaved("dos.txt", "one\r\ntwo\r\n"), "one\r\ntwo\r\n\r\nadded");
  EXPECT_EQ(Resaved("mac.txt", "one\rtwo\r"), "one\rtwo\r\radded");
  EXPECT_EQ(Resaved("none.txt", "one"), "one\nadded");
  EXPECT_EQ(Resaved("wide.txt", QByteArray("\xFF\xFEo\0\r\0\n\0", 8)),
            QByteArray("\xFF\xFEo\0\r\0\n\0\r\0\n\0a\0d\0d\0e\0d\0", 22));
}

TEST_F(LineEnds, NewDocumentsUseThePlatforms) {
  CTessaryDoc doc(false);
  ASSERT_TRUE(doc.OnNewDocument());
  EXPECT_EQ(doc.LineEnd(), "\n");
  doc.Document()->setPlainText("first\nsecond");
  ASSERT_TRUE(doc.OnSaveDocument(Path("new.txt"), kTypeText));
  EXPECT_EQ(Read(Path("new.txt")), "first\nsecond");
  // A rich-text file's own line ends say nothing of its text's.
  ASSERT_TRUE(doc.OnSaveDocument(Path("new.rtf"), kTypeRtf));
  auto rich = Open(Path("new.rtf"));
  ASSERT_NE(rich, nullptr);
  EXPECT_EQ(rich->LineEnd(), "\n");
}

}  // namespace
}  // namespace tessary::test
