// Opening, saving and the save questions of editor documents.
#include <QPlainTextEdit>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <QAbstractScrollArea>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <cstdio>
#include <sstream>

#include "editor/editor_fixture.h"
#include "editor/rich_text_qt.h"
#include "richtext/file_type.h"
#include "test_texts.h"

namespace tessary::test {
namespace {

std::string Describe(const CRichText& text) {
  std::ostringstream out;
  for (const CParagraph& p : text.m_arrParagraphs) {
    out << "[align " << int(p.m_alignment) << " li " << p.m_nLeftIndentTwips << " fi " << p.m_nFirstIndentTwips
        << (p.m_bBullet ? " bullet" : "") << "]";
    for (const CTextRun& r : p.m_arrRuns) {
      const CCharFormat& f = r.m_format;
      out << " {" << f.m_strFace << " " << f.m_nHalfPoints << (f.m_bBold ? " b" : "") << (f.m_bItalic ? " i" : "")
          << (f.m_bUnderline ? " u" : "") << (f.m_bAutoColor ? "" : " #" + std::to_string(f.m_crColor)) << ": "
          << QString::fromStdU16String(r.m_wstrText).toStdString() << "}";
    }
    out << "\n";
  }
  return out.str();
}

// The fragment holding text, and its format.
QTextCharFormat FormatOf(const QTextDocument& document, const QString& text) {
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
    for (auto it = block.begin(); !it.atEnd(); ++it)
      if (it.fragment().text().contains(text)) return it.fragment().charFormat();
  ADD_FAILURE() << "no fragment holds " << text.toStdString();
  return {};
}

void AppendBold(CTessaryDoc& doc, const QString& text) {
  QTextCursor cursor(doc.Document());
  cursor.movePosition(QTextCursor::End);
  QTextCharFormat bold;
  bold.setFontWeight(QFont::Bold);
  cursor.insertText(text, bold);
}

// ---- Reading ----

using DocumentOpen = EditorTest;

TEST_F(DocumentOpen, RefusesKindsItCannotRead) {
  struct Case {
    const char* name;
    QByteArray bytes;
    QString message;
  };
  const Case cases[] = {
      {"tool.exe", QByteArray("MZ\x90\0\3\0\0\0", 8) + QByteArray(200, 'x'), "Can not load Executable files."},
      {"old.doc", QByteArray("\xDB\xA5\x2D\0", 4) + QByteArray(200, '\0'), "Can not load Word for Windows 2.0 files."},
      {"empty.doc", QByteArray(), "Can not load Word for Windows 6.0 files."},
      {"sample.doc", QByteArray::fromStdString(ReadDataFile("sample.doc")), "Can not load Word for Windows 6.0 files."},
      // Without a converter Write files are refused by name rather than shown as bytes.
      {"letter.wri", QByteArray("\x31\xBE\0\0", 4) + "text after the header", "Can not load Windows Write files."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Open(Write(c.name, c.bytes)), nullptr);
    EXPECT_EQ(LastMessage(), c.message);
  }
}

TEST_F(DocumentOpen, RefusesZipOfficeDocumentsByTheirFormatName) {
  for (const char* name : {"sample.docx", "sample.odt"}) {
    SCOPED_TRACE(name);
    const std::string bytes = ReadDataFile(name);
    const std::string format = ForeignDocumentFormat(bytes);
    ASSERT_FALSE(format.empty());
    EXPECT_EQ(Open(QString::fromStdString(DataPath(name))), nullptr);
    EXPECT_EQ(LastMessage(), QString::fromStdString("Can not load " + format + " files."));
  }
}

TEST_F(DocumentOpen, EmptyFilesTakeTheirKindFromTheName) {
  const std::pair<const char*, int> cases[] = {{"blank.rtf", kTypeRtf}, {"blank.txt", kTypeText}, {"blank", kTypeText}};
  for (const auto& [name, type] : cases) {
    SCOPED_TRACE(name);
    auto doc = Open(Write(name, {}));
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->DocType(), type);
    EXPECT_EQ(doc->PlainLayout(), type != kTypeRtf);
    EXPECT_TRUE(doc->Document()->isEmpty());
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(doc->Title(), name);
  }
  EXPECT_TRUE(m_pPrompt->m_arrMessages.isEmpty());
}

// /dev/zero and a FIFO report no size: reading one would never end, or block.
TEST_F(DocumentOpen, DevicesPipesAndFoldersAreRefusedBeforeReading) {
  const QString fifo = Path("pipe.txt");
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  const std::pair<QString, QString> cases[] = {
      {fifo, "it is a named pipe, not a regular file."},
      {QStringLiteral("/dev/zero"), "it is a device, not a regular file."},
      {Path(""), "Is a directory."}};
  for (const auto& [path, what] : cases) {
    SCOPED_TRACE(path.toStdString());
    EXPECT_EQ(Open(path), nullptr);
    EXPECT_EQ(LastMessage(), "Cannot read " + path + ": " + what);
  }
}

TEST_F(DocumentOpen, MissingFileAndOversizedFileAreRefused) {
  EXPECT_EQ(Open(Path("nowhere.txt")), nullptr);
  EXPECT_EQ(LastMessage(), "Failed to open document.");

  // Sparse: no disk is used for the size.
  QFile big(Write("big.txt", "x"));
  ASSERT_TRUE(big.resize(qint64(300) << 20));
  EXPECT_EQ(Open(big.fileName()), nullptr);
  EXPECT_EQ(LastMessage(), "File size=314572800: there is not enough memory to read this file in the editor. Open the "
                           "file using the 'Big file' menu option.");
}

TEST_F(DocumentOpen, ForcedPlainTextShowsRtfSource) {
  m_host.m_bForcePlainText = true;
  const QString path = QString::fromStdString(DataPath("sample.rtf"));
  EXPECT_TRUE(CTessaryDoc::WantsPlainLayout(path));
  auto doc = Open(path);
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(doc->DocType(), kTypeText);
  EXPECT_TRUE(doc->PlainText().startsWith("{\\rtf1"));
}

TEST_F(DocumentOpen, SampleRtfKeepsTextAndFormats) {
  const QString path = QString::fromStdString(DataPath("sample.rtf"));
  EXPECT_FALSE(CTessaryDoc::WantsPlainLayout(path));
  auto doc = Open(path);
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(doc->DocType(), kTypeRtf);
  EXPECT_EQ(doc->Title(), "sample.rtf");
  const QString text = doc->PlainText();
  EXPECT_TRUE(text.contains(QString::fromUtf8("Café, naïve, déjà vu")));
  EXPECT_TRUE(text.contains(QString::fromUtf8("中文测试")));
  EXPECT_TRUE(text.contains(QString::fromUtf8("10 € for the tea")));
  EXPECT_TRUE(text.contains("a line\nbreak."));

  const QTextCharFormat marked = FormatOf(*doc->Document(), "Bold italic underlined blue.");
  EXPECT_GE(marked.fontWeight(), QFont::Bold);
  EXPECT_TRUE(marked.fontItalic());
  EXPECT_TRUE(marked.fontUnderline());
  EXPECT_EQ(marked.foreground().color(), QColor(0, 0, 255));
  EXPECT_TRUE(HasFormatting(*doc->Document()));
  EXPECT_FALSE(doc->IsModified());
  EXPECT_FALSE(doc->Document()->isUndoAvailable());
}

// ---- RTF round trip ----

using RtfRoundTrip = EditorTest;

TEST_F(RtfRoundTrip, FormatsSurviveSaveAndReload) {
  CTessaryDoc doc(false);
  QTextCursor cursor(doc.Document());
  cursor.insertText("Plain ");
  QTextCharFormat bold;
  bold.setFontWeight(QFont::Bold);
  cursor.insertText("bold", bold);
  QTextCharFormat red;
  red.setFontItalic(true);
  red.setForeground(QColor(200, 0, 0));
  cursor.insertText(QString::fromUtf8(" red italic ≠ ünïcode 日本"), red);
  cursor.insertBlock();
  QTextCharFormat mono;
  mono.setFontFamilies({"Courier New"});
  mono.setFontPointSize(14);
  mono.setFontUnderline(true);
  cursor.insertText("Mono 14 underlined", mono);
  QTextBlockFormat centred;
  centred.setAlignment(Qt::AlignHCenter);
  cursor.insertBlock(centred, QTextCharFormat());
  cursor.insertText("Centred", QTextCharFormat());
  cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
  cursor.insertText("First bullet", QTextCharFormat());
  QTextListFormat list;
  list.setStyle(QTextListFormat::ListDisc);
  cursor.createList(list);
  cursor.insertBlock();
  cursor.insertText("Second bullet", QTextCharFormat());
  cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
  cursor.insertText(QString("Line") + QChar::LineSeparator + "break\tand tab", QTextCharFormat());
  const CRichText before = DocumentToRichText(*doc.Document());

  const QString path = Path("formats.rtf");
  ASSERT_TRUE(doc.OnSaveDocument(path, kTypeRtf));
  EXPECT_TRUE(Read(path).startsWith("{\\rtf"));
  EXPECT_FALSE(doc.IsModified());
  EXPECT_EQ(doc.Title(), "formats.rtf");

  auto again = Open(path);
  ASSERT_NE(again, nullptr);
  const CRichText after = DocumentToRichText(*again->Document());
  EXPECT_TRUE(before == after) << "saved:\n" << Describe(before) << "read back:\n" << Describe(after);
  EXPECT_EQ(again->Document()->findBlockByNumber(3).textList() != nullptr, true);
  EXPECT_EQ(again->Document()->findBlockByNumber(3).textList(), again->Document()->findBlockByNumber(4).textList());
}

TEST_F(RtfRoundTrip, UntouchedTextHasNoFormattingToLose) {
  CTessaryDoc plain(true);
  plain.Document()->setPlainText("one\ntwo");
  EXPECT_FALSE(HasFormatting(*plain.Document()));
  QTextCursor cursor(plain.Document());
  cursor.movePosition(QTextCursor::End);
  QTextCharFormat colour;
  colour.setForeground(QColor(255, 0, 255));
  cursor.insertText("key", colour);
  EXPECT_TRUE(HasFormatting(*plain.Document()));
}

// ---- Saving plain text ----

class PlainTextSave : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    m_strPath = Write("notes.txt", "first line\r\n");
    m_pDoc = Open(m_strPath);
    ASSERT_NE(m_pDoc, nullptr);
    ASSERT_EQ(m_pDoc->DocType(), kTypeText);
    AppendBold(*m_pDoc, "added");
  }
  QString m_strPath;
  std::unique_ptr<CTessaryDoc> m_pDoc;
};

TEST_F(PlainTextSave, CancelLeavesTheFileUntouched) {
  m_pPrompt->OnNamedButtons(2);
  EXPECT_FALSE(m_pDoc->DoSave(false));
  EXPECT_EQ(LastMessage(),
            "You are about to save the document in Text-Only format, which will remove all formatting. Save notes.txt as a rich text document or as a text document?");
  EXPECT_EQ(Read(m_strPath), "first line\r\n");
  EXPECT_TRUE(m_pDoc->IsModified());
  EXPECT_EQ(m_pDoc->DocType(), kTypeText);
}

TEST_F(PlainTextSave, RichTextAnswerSavesRtfUnderTheSameName) {
  m_pPrompt->OnNamedButtons(0);
  ASSERT_TRUE(m_pDoc->DoSave(false));
  EXPECT_TRUE(Read(m_strPath).startsWith("{\\rtf"));
  EXPECT_EQ(m_pDoc->DocType(), kTypeRtf);
  EXPECT_EQ(m_pDoc->PathName(), m_strPath);
  auto again = Open(m_strPath);
  ASSERT_NE(again, nullptr);
  EXPECT_GE(FormatOf(*again->Document(), "added").fontWeight(), QFont::Bold);
  EXPECT_EQ(m_host.m_arrRecentFiles, QStringList{m_strPath});
}

TEST_F(PlainTextSave, TextAnswerDropsTheFormatting) {
  m_pPrompt->OnNamedButtons(1);
  ASSERT_TRUE(m_pDoc->DoSave(false));
  EXPECT_EQ(Read(m_strPath), "first line\r\nadded");
  EXPECT_EQ(m_pDoc->DocType(), kTypeText);
  EXPECT_FALSE(m_pDoc->IsModified());
}

TEST_F(PlainTextSave, UnformattedTextSavesWithoutAsking) {
  QTextCursor cursor(m_pDoc->Document());
  cursor.select(QTextCursor::Document);
  cursor.insertText("just text\nsecond", QTextCharFormat());
  ASSERT_TRUE(m_pDoc->DoSave(false));
  EXPECT_TRUE(m_pPrompt->m_arrMessages.isEmpty());
  EXPECT_EQ(Read(m_strPath), "just text\r\nsecond");
}

TEST_F(PlainTextSave, TypedTextInARichWindowCarriesNoFormatting) {
  CTessaryDoc doc(false);
  CTessaryView view(&doc);
  for (const char c : std::string("typed words")) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar(c)));
    QCoreApplication::sendEvent(view.Editor(), &press);
  }
  ASSERT_EQ(doc.PlainText(), "typed words");
  m_pPrompt->OnFiles({true, {Path("typed.txt")}, 1, false, {}});
  ASSERT_TRUE(doc.DoSave(true));
  EXPECT_TRUE(m_pPrompt->m_arrMessages.isEmpty());
  EXPECT_EQ(Read(Path("typed.txt")), "typed words");
}

// ---- Encodings ----

using TextEncodings = EditorTest;

TEST_F(TextEncodings, FilesAreWrittenBackInTheirOwnEncoding) {
  for (const char* name : {"en.cp1252.txt", "en.utf8.txt", "en.utf16le-bom.txt", "ja.utf8-bom.txt", "ru.utf8.txt",
                           "zh-hans.utf16be-bom.txt", "th.utf8.txt"}) {
    SCOPED_TRACE(name);
    const QByteArray original = QByteArray::fromStdString(ReadDataFile(name));
    auto doc = Open(Write(name, original));
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(doc->OnSaveDocument(doc->PathName(), kTypeText));
    EXPECT_EQ(Read(doc->PathName()).toHex(' ').toStdString(), original.toHex(' ').toStdString());
  }
}

TEST_F(TextEncodings, TheHostsCodePageReadsAndWritesFilesWithoutAMark) {
  const QByteArray original = QByteArray::fromStdString(ReadDataFile("ru.cp1251.txt"));
  const QString cyrillic = QString::fromStdU16String(Utf8ToUtf16Text("ru.utf8.txt"));
  auto western = Open(Write("ru.txt", original));
  ASSERT_NE(western, nullptr);
  EXPECT_NE(western->PlainText(), cyrillic);

  m_host.m_nAnsiCodePage = 1251;
  auto doc = Open(Write("ru.txt", original));
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(doc->PlainText(), cyrillic);
  ASSERT_TRUE(doc->OnSaveDocument(Path("copy.txt"), kTypeText));
  EXPECT_EQ(Read(Path("copy.txt")).toHex(' ').toStdString(), original.toHex(' ').toStdString());
  EXPECT_EQ(m_host.m_arrStatus.back(), "Ready");
}

TEST_F(TextEncodings, ADocumentIsSavedInThePageItWasReadInNotTheHostsLaterOne) {
  const QByteArray original = QByteArray::fromStdString(ReadDataFile("ru.cp1251.txt"));
  m_host.m_nAnsiCodePage = 1251;
  auto doc = Open(Write("ru.txt", original));
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(doc->CodePage(), 1251);
  m_host.m_nAnsiCodePage = 866;
  ASSERT_TRUE(doc->OnSaveDocument(doc->PathName(), kTypeText));
  EXPECT_EQ(Read(doc->PathName()).toHex(' ').toStdString(), original.toHex(' ').toStdString());
}

TEST_F(TextEncodings, AChosenPageIsNotOverruledByUtf8ButIsByAMark) {
  // "\xD0\xB0" is valid UTF-8 (a Cyrillic a) and also two letters of 1251.
  auto doc = std::make_unique<CTessaryDoc>(true);
  ASSERT_TRUE(doc->OnOpenDocument(Write("two.txt", "\xD0\xB0"), 1251));
  EXPECT_EQ(doc->PlainText(), QString::fromUtf8("Р°"));
  EXPECT_EQ(doc->Encoding(), CTessaryDoc::TextEncoding::kAnsi);
  ASSERT_TRUE(doc->OnSaveDocument(doc->PathName(), kTypeText));
  EXPECT_EQ(Read(doc->PathName()), "\xD0\xB0");
  // Reopened in another page, the same window takes the new reading.
  ASSERT_TRUE(doc->OnOpenDocument(doc->PathName(), 866));
  EXPECT_EQ(doc->CodePage(), 866);
  EXPECT_EQ(doc->PlainText(), QString::fromUtf8("╨░"));
  ASSERT_TRUE(doc->OnOpenDocument(Write("marked.txt", "\xEF\xBB\xBF\xD0\xB0"), 1251));
  EXPECT_EQ(doc->PlainText(), QString::fromUtf8("а"));
  EXPECT_EQ(doc->Encoding(), CTessaryDoc::TextEncoding::kUtf8Bom);
}

TEST_F(TextEncodings, LineFeedFilesKeepLineFeeds) {
  auto doc = Open(Write("unix.txt", "caf\xC3\xA9\nsecond\n"));
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(doc->Encoding(), CTessaryDoc::TextEncoding::kUtf8);
  QTextCursor cursor(doc->Document());
  cursor.movePosition(QTextCursor::End);
  cursor.insertText("third\n");
  ASSERT_TRUE(doc->DoSave(false));
  EXPECT_EQ(Read(doc->PathName()), "caf\xC3\xA9\nsecond\nthird\n");
}

TEST_F(TextEncodings, CharactersTheCodePageLacksSwitchToUtf8) {
  CTessaryDoc doc(false);
  doc.Document()->setPlainText(QString::fromUtf8("café"));
  ASSERT_TRUE(doc.OnSaveDocument(Path("ansi.txt"), kTypeText));
  EXPECT_EQ(Read(Path("ansi.txt")), "caf\xE9");

  doc.Document()->setPlainText(QString::fromUtf8("café 中文\nnext"));
  ASSERT_TRUE(doc.OnSaveDocument(Path("wide.txt"), kTypeText));
  EXPECT_EQ(Read(Path("wide.txt")), "\xEF\xBB\xBF" + QString::fromUtf8("café 中文\nnext").toUtf8());
  auto again = Open(Path("wide.txt"));
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->PlainText(), QString::fromUtf8("café 中文\nnext"));

  doc.Document()->setPlainText(QString::fromUtf8("╔═╗ box"));
  ASSERT_TRUE(doc.OnSaveDocument(Path("dos.txt"), kTypeTextDos));
  EXPECT_EQ(Read(Path("dos.txt")), "\xC9\xCD\xBB box");
}

// ---- Save rules ----

using SaveRules = EditorTest;

TEST_F(SaveRules, FailedWriteKeepsTheOldFile) {
  const QString path = Write("keep.txt", "old contents\r\n");
  auto doc = Open(path);
  ASSERT_NE(doc, nullptr);
  doc->Document()->setPlainText(QString(1 << 20, QChar('x')));
  doc->SetModified(true);

  // A file size limit makes the write itself fail, whoever runs the test.
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  rlimit small = old;
  small.rlim_cur = 64 * 1024;
  auto* previous = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool bSaved = doc->OnSaveDocument(path, kTypeText);
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, previous);

  EXPECT_FALSE(bSaved);
  EXPECT_TRUE(LastMessage().startsWith("Cannot write ")) << LastMessage().toStdString();
  EXPECT_TRUE(LastMessage().contains("keep.txt"));
  EXPECT_EQ(Read(path), "old contents\r\n");
  EXPECT_TRUE(doc->IsModified());
  EXPECT_EQ(QDir(m_dir.path()).entryList({"keep*"}, QDir::Files | QDir::Hidden), QStringList{"keep.txt"});
}

TEST_F(SaveRules, ReadOnlyFileIsNotReplaced) {
  const QString path = Write("locked.txt", "locked\r\n");
  auto doc = Open(path);
  ASSERT_NE(doc, nullptr);
  ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
  doc->Document()->setPlainText("changed");
  EXPECT_FALSE(doc->OnSaveDocument(path, kTypeText));
  EXPECT_TRUE(LastMessage().contains("locked.txt"));
  EXPECT_EQ(Read(path), "locked\r\n");
}

TEST_F(SaveRules, SaveModifiedAsksAndFollowsTheAnswer) {
  CTessaryDoc doc(false);
  doc.SetTitle("Tessary1");
  EXPECT_TRUE(doc.SaveModified());  // nothing to save, nothing asked
  doc.Document()->setPlainText("words");
  ASSERT_TRUE(doc.IsModified());

  m_pPrompt->OnMessage(QMessageBox::Cancel);
  EXPECT_FALSE(doc.SaveModified());
  EXPECT_EQ(LastMessage(), "Save changes to Tessary1?");
  m_pPrompt->OnMessage(QMessageBox::No);
  EXPECT_TRUE(doc.SaveModified());

  // Yes on a new document goes to Save As, where the RTF entry is selected first.
  m_pPrompt->OnMessage(QMessageBox::Yes);
  m_pPrompt->OnFiles({true, {Path("out")}, 0, false, {}});
  EXPECT_TRUE(doc.SaveModified());
  ASSERT_EQ(m_pPrompt->m_arrFileRequests.size(), 1u);
  const CFileDialogRequest& request = m_pPrompt->m_arrFileRequests.front();
  EXPECT_TRUE(request.m_bSave);
  EXPECT_EQ(request.m_arrFilters,
            QStringList({"RTF files (*.RTF)", "Text Files (*.TXT)", "All Documents (*.*)"}));
  EXPECT_EQ(request.m_nFilterIndex, 0);
  EXPECT_EQ(doc.PathName(), Path("out.rtf"));
  EXPECT_EQ(doc.Title(), "out.rtf");
  EXPECT_TRUE(Read(Path("out.rtf")).startsWith("{\\rtf"));
}

TEST_F(SaveRules, KindWithoutWriteRightOffersAnotherFormat) {
  auto doc = Open(Write("memo.txt", "memo"));
  ASSERT_NE(doc, nullptr);
  doc->SetDocType(kTypeWrite);
  const QString question =
      "Can not save this file in its current format.  Do you wish to save this file in a different format?";

  m_pPrompt->OnMessage(QMessageBox::No);
  EXPECT_FALSE(doc->DoSave(false));
  EXPECT_EQ(LastMessage(), question);

  m_pPrompt->OnMessage(QMessageBox::Yes);
  m_pPrompt->OnFiles({true, {Path("memo2.txt")}, 1, false, {}});
  EXPECT_TRUE(doc->DoSave(false));
  EXPECT_EQ(m_pPrompt->m_arrFileRequests.back().m_nFilterIndex, 1);
  EXPECT_EQ(doc->DocType(), kTypeText);
  EXPECT_EQ(Read(Path("memo2.txt")), "memo");
  EXPECT_EQ(Read(Path("memo.txt")), "memo");
}

TEST_F(SaveRules, CancelledSaveAsChangesNothing) {
  CTessaryDoc doc(false);
  doc.SetTitle("Tessary2");
  doc.Document()->setPlainText("x");
  m_pPrompt->OnFiles({});
  EXPECT_FALSE(doc.DoSave(true));
  EXPECT_TRUE(doc.PathName().isEmpty());
  EXPECT_TRUE(doc.IsModified());
}

// ---- Size ----

// How long a 50 MB text takes to open; run by hand with --gtest_also_run_disabled_tests.
TEST_F(DocumentOpen, DISABLED_FiftyMegabytesOfText) {
  QByteArray bytes;
  const QByteArray line = "The quick brown fox jumps over the lazy dog and keeps running far away.\r\n";
  bytes.reserve(51 << 20);
  while (bytes.size() < (50 << 20)) bytes += line;
  const QString path = Write("fifty.txt", bytes);
  QElapsedTimer timer;
  timer.start();
  auto doc = Open(path);
  const qint64 ms = timer.elapsed();
  ASSERT_NE(doc, nullptr);
  CTessaryView view(doc.get());
  view.resize(800, 600);
  view.show();
  QCoreApplication::processEvents();
  std::printf("open %lld ms, shown %lld ms, %d lines\n", ms, timer.elapsed(), doc->Document()->blockCount());
}

}  // namespace
}  // namespace tessary::test

namespace tessary::test {
namespace {

TEST_F(EditorTest, ALongTextIsShownAtOnceAndReadWhole) {
  QByteArray bytes;
  for (int i = 0; bytes.size() < (9 << 20); ++i) bytes += "line " + QByteArray::number(i) + " of a long text\n";
  auto doc = Open(Write("long.txt", bytes));
  ASSERT_TRUE(doc);
  EXPECT_TRUE(doc->IsLoading());
  CTessaryView view(doc.get());
  ASSERT_TRUE(view.PlainEdit());
  EXPECT_TRUE(view.PlainEdit()->isReadOnly());
  // Whoever reads the text gets all of it, and the document is not marked changed.
  EXPECT_EQ(doc->PlainText().toUtf8(), bytes);
  EXPECT_FALSE(doc->IsLoading());
  EXPECT_FALSE(doc->IsModified());
  EXPECT_FALSE(view.PlainEdit()->isReadOnly());
  EXPECT_TRUE(doc->Document()->isUndoRedoEnabled());
}

}  // namespace
}  // namespace tessary::test
