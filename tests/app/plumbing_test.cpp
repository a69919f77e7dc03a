// What surrounds a search or sort in the program: the texts a run takes at its start
// while the user goes on working, the end of the program during a run, list windows
// with several views, cancelled requests, 16-bit and double-byte sorts, the palette.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QPointer>
#include <QTextCursor>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <thread>

#include "app/command_ids.h"
#include "app/concordance_fixture.h"
#include "app/list_palette.h"
#include "app/text_snapshot.h"
#include "editor/editor_dialogs.h"
#include "engine/collation.h"

namespace tessary::test {
namespace {

void Flush() {
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Holds a search on its worker before it reads one source, until the test opens it.
class CSourceGate {
 public:
  CSourceGate(CConcordanceController& controller, std::size_t source) : m_controller(controller) {
    controller.m_fnSourceHook = [this, source](std::size_t s) {
      if (s != source) return;
      m_bReached = true;
      QElapsedTimer waited;
      waited.start();
      // A test that fails before opening must not leave the worker hanging.
      while (!m_bOpen && waited.elapsed() < 30000) QThread::msleep(1);
    };
  }
  ~CSourceGate() {
    Open();
    m_controller.AbandonRunning();  // nothing runs once the test has waited for its run
    m_controller.m_fnSourceHook = nullptr;
  }
  void Open() { m_bOpen = true; }
  // Runs the event loop until the worker waits at the gate.
  bool WaitReached() {
    QElapsedTimer waited;
    waited.start();
    while (!m_bReached && waited.elapsed() < 30000) {
      QCoreApplication::processEvents();
      QThread::msleep(1);
    }
    return m_bReached;
  }

 private:
  CConcordanceController& m_controller;
  std::atomic<bool> m_bReached{false};
  std::atomic<bool> m_bOpen{false};
};

class PlumbingTest : public ProgramTest {
 protected:
  CMainFrame& Frame() { return *m_pApp->MainFrame(); }

  // Answers both request dialogs for a search of the open documents without line
  // numbers and presses F5; the run is not waited for.
  void StartSearch(const QString& key, const QString& sortMode, bool unicode = false, int mode = kMatchWord) {
    m_pPrompt->OnDialogOf<CCodeSetDialog>([unicode](CCodeSetDialog& d) {
      d.m_bUnicode = unicode;
      return true;
    });
    m_pPrompt->OnDialogOf<CConcordanceSelectionDialog>([=](CConcordanceSelectionDialog& d) {
      d.m_strSearch = key;
      d.m_strSortMode = sortMode;
      d.m_strLineNumbers = "No";
      d.m_nMatchMode = mode;
      d.m_bDirectory = false;
      return true;
    });
    Frame().OnCommand(ids::kConcordanceSearch);
  }

  // Sorts the list a view shows, as the menu does; the collocate dialog is closed
  // with Cancel, which sorts at the distance already set.
  CTessaryView* Sort(CTessaryView* view, int id) {
    Frame().ActivateView(view);
    m_pPrompt->OnDialogOf<CCollocatePositionDialog>([](CCollocatePositionDialog&) { return false; });
    Frame().OnCommand(id);
    WaitForRun();
    return NewestView();
  }

  // The keyword positions of a list's lines in window order; every line must name path.
  static std::vector<std::int64_t> Positions(const CTessaryView* view, const std::string& path) {
    std::vector<std::int64_t> positions;
    const CConcordanceList* list = view->List();
    for (std::int64_t i = 0; i < view->LineCount(); ++i) {
      const CListEntry* entry = list->EntryOfLine(i);
      if (!entry) {
        ADD_FAILURE() << "line " << i << " has no entry";
        break;
      }
      EXPECT_EQ(list->SourceOf(*entry), path) << "line " << i;
      positions.push_back(entry->m_nPosition);
    }
    return positions;
  }

  // A sorted window holds the unsorted window's lines, each with its own entry, in
  // the order given by indices into the unsorted lines.
  void ExpectPermutation(const CTessaryView* unsorted, const CTessaryView* sorted, const std::vector<int>& order,
                         const std::string& path) {
    const QStringList from = TextOf(unsorted).split('\n');
    const QStringList to = TextOf(sorted).split('\n');
    const auto fromPositions = Positions(unsorted, path);
    const auto toPositions = Positions(sorted, path);
    ASSERT_EQ(to.size(), from.size());
    ASSERT_EQ(toPositions.size(), order.size());
    ASSERT_EQ(fromPositions.size(), order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
      EXPECT_EQ(to[qsizetype(i)].toStdString(), from[order[i]].toStdString()) << "line " << i;
      EXPECT_EQ(toPositions[i], fromPositions[std::size_t(order[i])]) << "line " << i;
    }
  }
};

TEST_F(PlumbingTest, ASearchReadsTheTextsAsTheyStoodAtItsStartWhateverIsDoneMeanwhile) {
  CTessaryDoc* kept = OpenText("the cat sat", "/t/a.txt");
  CTessaryDoc* searched = OpenText("a cat ran. a cat hid.", "/t/b.txt");
  QFile later(m_dir.filePath("later.txt"));
  ASSERT_TRUE(later.open(QIODevice::WriteOnly));
  later.write("one more cat\r\n");
  later.close();
  // The last document is the last source; the worker stops before reading it.
  CSourceGate gate(m_pApp->Concordance(), m_pApp->Documents().size() - 1);
  StartSearch("cat", "Unsorted");
  ASSERT_TRUE(gate.WaitReached());

  m_pPrompt->OnDialogOf<CNewTypeModel>([](CNewTypeModel&) { return true; });
  Frame().OnCommand(ids::kFileNew);
  ASSERT_TRUE(m_pApp->OpenDocumentFile(later.fileName()));
  QTextCursor typing(searched->Document());
  typing.insertText("cat cat ");
  Frame().ActivateView(kept->FirstView());
  Frame().OnCommand(ids::kWindowNew);
  EXPECT_EQ(kept->Views().size(), 2u);
  QPointer<CTessaryDoc> closing(searched);
  m_pPrompt->OnMessage(QMessageBox::No);  // save the typing?
  Frame().CloseView(searched->FirstView());
  Flush();
  ASSERT_TRUE(closing.isNull());

  gate.Open();
  WaitForRun();
  CTessaryView* list = NewestView();
  ASSERT_TRUE(list && list->List());
  ASSERT_EQ(list->LineCount(), 3);
  const CConcordanceList& record = *list->List();
  EXPECT_EQ(record.SourceOf(*record.EntryOfLine(0)), "/t/a.txt");
  EXPECT_EQ(record.EntryOfLine(0)->m_nPosition, 4);
  EXPECT_EQ(record.SourceOf(*record.EntryOfLine(1)), "/t/b.txt");
  EXPECT_EQ(record.EntryOfLine(1)->m_nPosition, 2);
  EXPECT_EQ(record.SourceOf(*record.EntryOfLine(2)), "/t/b.txt");
  EXPECT_EQ(record.EntryOfLine(2)->m_nPosition, 13);
  const QStringList lines = TextOf(list).split('\n');
  EXPECT_EQ(lines[1].mid(50 - 2).trimmed(), "a cat ran. a cat hid.");
  EXPECT_EQ(lines[2].mid(50 - 13).trimmed(), "a cat ran. a cat hid.");
  EXPECT_TRUE(list->GetDocument()->m_bFormatted);
}

TEST_F(PlumbingTest, ClosingTheProgramDuringTheScanWaitsForItAndOpensNoList) {
  OpenText("a cat", "/t/a.txt");
  OpenText(QString("the cat sat. ").repeated(20000), "/t/b.txt");
  for (CTessaryDoc* doc : m_pApp->Documents()) doc->SetModified(false);
  CSourceGate gate(m_pApp->Concordance(), m_pApp->Documents().size() - 1);
  StartSearch("cat", "Sort Right");
  ASSERT_TRUE(gate.WaitReached());
  // The worker goes on only while the close is (most likely) waiting for it.
  std::thread opener([&gate] {
    QThread::msleep(100);
    gate.Open();
  });
  const bool closed = Frame().close();
  opener.join();
  EXPECT_TRUE(closed);
  EXPECT_FALSE(m_pApp->Concordance().Running());
  EXPECT_FALSE(m_pApp->Busy());
  Flush();
  EXPECT_TRUE(m_pApp->Documents().empty());
}

TEST_F(PlumbingTest, ClosingTheProgramWhileAListIsFilledClosesIt) {
  OpenText(QString("a cat. ").repeated(5000), "/t/a.txt");
  for (CTessaryDoc* doc : m_pApp->Documents()) doc->SetModified(false);
  // Once the first slice is in, the user closes the program.
  bool closed = false;
  CTessaryApp* app = m_pApp.get();
  const auto listMade = QObject::connect(app, &CTessaryApp::DocumentsChanged, app, [&closed, app] {
    if (!app->Documents().empty() && app->Documents().back()->PlainLayout() && app->Concordance().Running())
      QTimer::singleShot(0, app, [&closed, app] { closed = app->MainFrame()->close(); });
  });
  StartSearch("cat", "Unsorted");
  WaitForRun();
  QObject::disconnect(listMade);
  Flush();
  EXPECT_TRUE(closed);
  EXPECT_TRUE(m_pApp->Documents().empty());
  for (CTessaryDoc* doc : m_pApp->Documents()) EXPECT_FALSE(doc->m_bBusy) << "the stopped fill left its window busy";
}

TEST_F(PlumbingTest, ASecondWindowOfAListSortsAndSavesItAfterTheFirstCloses) {
  OpenText("to see a cat run, a cat sat, the cat ate", "/t/a.txt");
  Search("cat", "Unsorted");
  CTessaryDoc* listDoc = NewestView()->GetDocument();
  CTessaryView* second = m_pApp->NewWindow(listDoc);
  ASSERT_TRUE(second);
  Frame().CloseView(listDoc->FirstView());
  Flush();
  ASSERT_EQ(listDoc->Views().size(), 1u);
  ASSERT_EQ(listDoc->FirstView(), second);

  CTessaryView* sorted = Sort(second, ids::kSortRight);
  ASSERT_NE(sorted, second);
  ASSERT_TRUE(sorted->List() && sorted->List()->m_bSortRight);
  // ate, run, sat: the third, first and second lines.
  ExpectPermutation(second, sorted, {2, 0, 1}, "/t/a.txt");

  const QString path = m_dir.filePath("list.txt");
  CFileDialogResult saveAs;
  saveAs.m_bOk = true;
  saveAs.m_arrFiles = {path};
  saveAs.m_nFilterIndex = 1;  // text
  m_pPrompt->OnFiles(saveAs);
  m_pPrompt->OnNamedButtons(1);  // formatting goes: text document
  Frame().ActivateView(second);
  Frame().OnCommand(ids::kFileSave);
  QFile saved(path);
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  const QString text = QString::fromLatin1(saved.readAll());
  // A new window saves with the platform's line ends.
  EXPECT_EQ(text.toStdString(), TextOf(second).toStdString());
  EXPECT_EQ(text.count("\n"), 3);
  EXPECT_FALSE(text.contains("\r"));
  EXPECT_TRUE(text.startsWith("1      ")) << text.toStdString();
  EXPECT_FALSE(listDoc->IsModified());
}

TEST_F(PlumbingTest, CancellingAtAnyDialogLeavesNothingForTheNextSearch) {
  OpenText("the cat sat; the dog ran; a cat ate");
  CSearchSettings& s = m_pApp->m_settings;
  const auto documents = m_pApp->Documents().size();
  auto ask = [&] {
    s.m_bTestMode = true;
    s.m_bSentences = true;
  };
  ask();
  m_pPrompt->CancelNextDialog();
  Frame().OnCommand(ids::kConcordanceSearch);
  EXPECT_FALSE(s.m_bTestMode || s.m_bSentences);

  ask();
  m_pPrompt->OnDialogOf<CCodeSetDialog>([](CCodeSetDialog&) { return true; });
  m_pPrompt->CancelNextDialog();
  Frame().OnCommand(ids::kConcordanceSearch);
  EXPECT_FALSE(s.m_bTestMode || s.m_bSentences);

  ask();
  m_pPrompt->OnDialogOf<CCodeSetDialog>([](CCodeSetDialog&) { return true; });
  m_pPrompt->OnDialogOf<CConcordanceSelectionDialog>([](CConcordanceSelectionDialog& d) {
    d.m_strSearch = "dog";
    d.m_bDirectory = true;
    d.m_strSortMode = "Sort Left";
    d.m_strLineNumbers = "Yes";
    return true;
  });
  m_pPrompt->OnFiles(CFileDialogResult{});  // the directory dialog cancelled
  Frame().OnCommand(ids::kConcordanceSearch);
  EXPECT_FALSE(s.m_bTestMode || s.m_bSentences);
  EXPECT_FALSE(m_pApp->Concordance().Running());
  EXPECT_EQ(m_pApp->Documents().size(), documents);

  StartSearch("cat", "Unsorted");
  WaitForRun();
  CTessaryView* list = NewestView();
  ASSERT_TRUE(list && list->List());
  const CConcordanceList& record = *list->List();
  EXPECT_FALSE(record.TestMode() || record.Sentences() || record.m_bSorted || record.LineNumbers());
  EXPECT_FALSE(record.m_bFromFiles);
  EXPECT_EQ(record.m_request.m_wstrTyped, u"cat");
  ASSERT_EQ(list->LineCount(), 2);
  const QStringList lines = TextOf(list).split('\n');
  EXPECT_EQ(lines[0].mid(46).trimmed(), "the cat sat; the dog ran; a cat ate");  // no number before it
  EXPECT_EQ(lines[1].mid(50, 7), "cat ate");
}

// 16-bit lists sort by the collocate in the locale's collation. The collocates are
// chosen to order alike in the root, pinyin and stroke collations.
TEST_F(PlumbingTest, UnicodeListsSortByTheirCollocatesAndKeepEntriesAndFormats) {
  struct Case {
    QString text;
    QString key;
    std::vector<int> right, left;  // expected line orders, as indices of the occurrences
  };
  const Case cases[] = {
      // Right: автобус (2nd), вода (1st), город (3rd); left: автобус, вода, город.
      {QString::fromUtf8("город кот вода, вода кот автобус, автобус кот город"), QString::fromUtf8("кот"),
       {1, 0, 2}, {2, 1, 0}},
      // Right: 大 (2nd), 山 (3rd), 水 (1st); left: 大 (3rd), 山 (1st), 水 (2nd).
      {QString::fromUtf8("山 中 水 。 水 中 大 。 大 中 山 。"), QString::fromUtf8("中"), {1, 2, 0}, {2, 0, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.toStdString());
    const QString path = m_dir.filePath("text.txt");
    CTessaryDoc* text = OpenText(c.text, path);
    Search(c.key, "Unsorted", false, 0, true);
    CTessaryView* unsorted = NewestView();
    ASSERT_TRUE(unsorted->List() && unsorted->List()->Unicode());
    ASSERT_EQ(unsorted->LineCount(), 3);
    for (auto [id, order] : {std::pair{int(ids::kSortRight), c.right}, {int(ids::kSortLeft), c.left}}) {
      CTessaryView* sorted = Sort(unsorted, id);
      ASSERT_NE(sorted, unsorted);
      EXPECT_TRUE(sorted->List()->m_bSorted && sorted->List()->Unicode());
      ExpectPermutation(unsorted, sorted, order, path.toStdString());
      EXPECT_TRUE(sorted->GetDocument()->m_bFormatted);
      const QTextCharFormat keyword = FormatAt(sorted, 50);
      EXPECT_EQ(keyword.foreground().color(), QColor(255, 0, 255));
      EXPECT_TRUE(keyword.fontItalic() && keyword.fontUnderline());
      EXPECT_NE(FormatAt(sorted, 49).foreground().color(), QColor(255, 0, 255));
    }
    m_pApp->CloseDocument(text);  // the next case searches its own text only
    Flush();
  }
}

TEST_F(PlumbingTest, AByteListSortsInItsOwnLanguageAfterTheUserChangedIt) {
  m_pApp->m_settings.m_nAnsiCodePage = 950;  // the file is read as a Big5 system reads it
  Frame().OnCommand(ids::kBig5);
  const QString path = QStringLiteral(TESSARY_TEST_DATA "/zh-hant.big5.txt");
  CTessaryDoc* text = m_pApp->OpenDocumentFile(path);
  ASSERT_TRUE(text);
  ASSERT_TRUE(text->PlainText().startsWith(QString::fromUtf8("河水流過舊磨坊")));
  const std::string source = text->PathName().toStdString();
  Search(QString::fromUtf8("水"), "Unsorted", false, kMatchAny);
  CTessaryView* unsorted = NewestView();
  ASSERT_TRUE(unsorted->List() && !unsorted->List()->Unicode());
  ASSERT_EQ(unsorted->LineCount(), 3);

  // The two characters after each keyword, ordered by the user's collation.
  const std::u16string keys[] = {u"流過", u"水位", u"位上"};
  auto collator = CSortCollator::ForUserLocale();
  ASSERT_TRUE(collator);
  std::vector<int> order = {0, 1, 2};
  std::sort(order.begin(), order.end(), [&](int a, int b) { return (*collator)->Compare(keys[a], keys[b]) < 0; });
  CTessaryView* reference = Sort(unsorted, ids::kSortRight);
  ExpectPermutation(unsorted, reference, order, source);

  Frame().OnCommand(ids::kJapanese);
  CTessaryView* sorted = Sort(unsorted, ids::kSortRight);
  ASSERT_NE(sorted, reference);
  EXPECT_EQ(sorted->List()->Language().m_kind, TextLanguageKind::kBig5);
  EXPECT_EQ(TextOf(sorted).toStdString(), TextOf(reference).toStdString());
  ExpectPermutation(unsorted, sorted, order, source);
}

TEST(ListPaletteTest, EachRangeKindHasItsLookInByteAndUnicodeLists) {
  const QColor magenta(255, 0, 255), red(255, 0, 0), blue(0, 0, 255), orange(255, 125, 0);
  struct Row {
    CFormatRange::Kind kind;
    bool unicode;
    QColor color;
    bool bold, italic, underline;
  };
  const Row rows[] = {
      {CFormatRange::kKeyword, false, magenta, true, false, false},
      {CFormatRange::kKeyword, true, magenta, true, true, true},
      {CFormatRange::kCollocate, false, Qt::black, false, false, true},
      {CFormatRange::kCollocate, true, Qt::black, false, false, true},
      {CFormatRange::kAssociated1, false, red, true, false, false},
      {CFormatRange::kAssociated2, false, blue, true, false, false},
      {CFormatRange::kAssociated3, false, orange, true, false, false},
      {CFormatRange::kAssociated1, true, red, true, true, true},
      {CFormatRange::kAssociated3, true, orange, true, true, true},
      {CFormatRange::kSentenceKeyword, false, red, true, true, true},
      {CFormatRange::kSentenceKeyword, true, magenta, true, true, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "kind " << row.kind << (row.unicode ? " unicode" : " bytes"));
    const QTextCharFormat format = ListRangeFormat(row.kind, row.unicode);
    EXPECT_EQ(format.foreground().color(), row.color);
    EXPECT_EQ(format.fontWeight() == QFont::Bold, row.bold);
    EXPECT_EQ(format.fontItalic(), row.italic);
    EXPECT_EQ(format.fontUnderline(), row.underline);
    // Another face or size would move the columns after the range.
    EXPECT_FALSE(format.hasProperty(QTextFormat::FontFamilies) || format.hasProperty(QTextFormat::FontPointSize));
  }
}

}  // namespace
}  // namespace tessary::test

namespace tessary::test {
namespace {

// A long text is taken a slice at a time: its windows refuse typing meanwhile, the text
// taken is what a search reads, and a document closed halfway gives what was taken.
TEST_F(ProgramTest, ASnapshotTakesLongTextsInSlicesAndLocksTheirWindowsMeanwhile) {
  QString text;
  for (int i = 0; i < 200000; ++i) text += QStringLiteral("line %1 of a long text\n").arg(i);
  text += QString("last") + QChar::LineSeparator + "line";
  CTessaryDoc* doc = OpenText(text);
  CTessaryDoc* closing = OpenText(text);
  CTextSnapshot snapshot({doc, closing});
  bool done = false;
  QObject::connect(&snapshot, &CTextSnapshot::Done, [&] { done = true; });
  snapshot.Start();
  ASSERT_FALSE(done) << "the text is too short to need a second slice";
  EXPECT_TRUE(doc->FirstView()->IsReadOnly());
  m_pApp->CloseDocument(closing);
  QElapsedTimer timer;
  timer.start();
  while (!done && timer.elapsed() < 60000) QCoreApplication::processEvents();
  ASSERT_TRUE(done);
  EXPECT_EQ(snapshot.Texts()[0], doc->PlainText());
  EXPECT_FALSE(doc->FirstView()->IsReadOnly());
  EXPECT_TRUE(snapshot.Texts()[1].isEmpty() || text.startsWith(snapshot.Texts()[1].left(100)));
}

}  // namespace
}  // namespace tessary::test
