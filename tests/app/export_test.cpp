// The export commands in the program: "Save as HTML", the word-list report and the
// concordance database with its view give what the core gives for the same window,
// and every refusal or failure says so and leaves the open documents as they were.
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <sqlite3.h>

#include "app/command_ids.h"
#include "app/concordance_fixture.h"
#include "app/context_lookup.h"
#include "app/database_view.h"
#include "app/export_controller.h"
#include "app/export_dialogs.h"
#include "app/progress_dialog.h"
#include "engine/codepage.h"
#include "export/concordance_db.h"
#include "ui/dialog_support.h"
#include "export/html_export.h"
#include "stats/word_list_report.h"
#include "ui/qt_text.h"

namespace tessary::test {
namespace {

class ExportTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    m_pApp->Exports().m_fnOpenUrl = [this](const QUrl& url) { m_arrOpened.push_back(url); };
  }

  QString WriteFile(const QString& name, const QByteArray& bytes) {
    QFile file(m_dir.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return m_dir.filePath(name);
  }
  static QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  void Answer(const QString& path) {
    CFileDialogResult chosen;
    chosen.m_bOk = true;
    chosen.m_arrFiles = {path};
    m_pPrompt->OnFiles(chosen);
  }
  void CancelFiles() { m_pPrompt->OnFiles(CFileDialogResult{}); }

  // Runs id on the active window and waits until its run has ended.
  void Command(int id) {
    m_pApp->MainFrame()->OnCommand(id);
    CExportController& exports = m_pApp->Exports();
    if (exports.Running()) {
      QEventLoop loop;
      QObject::connect(&exports, &CExportController::RunEnded, &loop, &QEventLoop::quit);
      QTimer::singleShot(60000, &loop, &QEventLoop::quit);
      loop.exec();
    }
    EXPECT_FALSE(exports.Running()) << "the run did not end";
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  // A saved text with three lines holding "lord" and the list of its search.
  CTessaryView* ListOfLord() {
    OpenText("The lord spake unto Moses.\nAnd the lord said: 100% & <done>.\nNo key here.\nThe lord is good.\n",
             m_dir.filePath("source.txt"));
    Search("lord", "Unsorted", false);
    CTessaryView* view = NewestView();
    EXPECT_TRUE(view && view->List());
    return view;
  }

  // Each open document's text, to show that a command changed none.
  QStringList Texts() const {
    QStringList out;
    for (CTessaryDoc* doc : m_pApp->Documents()) out << doc->PlainText();
    return out;
  }

  std::vector<QUrl> m_arrOpened;
};

// ---- Save as HTML ----

TEST_F(ExportTest, HtmlOfAListIsTheCorePageAndIsOpened) {
  CTessaryView* view = ListOfLord();
  const QString out = m_dir.filePath("list.htm");
  Answer(out);
  Command(ids::kSaveAsHtml);
  ASSERT_EQ(m_pPrompt->m_arrFileRequests.size(), 1u);
  EXPECT_EQ(m_pPrompt->m_arrFileRequests[0].m_strTitle, "Create HTML document");
  const CConcordanceList& list = *view->List();
  CHtmlListWindow window;
  window.m_bConcordance = true;
  window.m_nWidth = list.Width();
  window.m_nKeyLength = 4;
  window.m_nCodePage = list.Language().TextCodePage();
  auto page = ConcordanceHtml(ToU16(view->GetDocument()->PlainText()), window);
  ASSERT_TRUE(page);
  EXPECT_EQ(page->m_nLines, 3);
  EXPECT_EQ(ReadAll(out).toStdString(), page->m_strBytes);
  // The text's markup characters are escaped, its per-cent sign kept.
  EXPECT_NE(page->m_strBytes.find("100% &amp; &lt;done&gt;"), std::string::npos);
  ASSERT_EQ(m_arrOpened.size(), 1u);
  EXPECT_EQ(m_arrOpened[0], QUrl::fromLocalFile(out));
}

TEST_F(ExportTest, HtmlRefusesAWindowThatIsNoListAndAsksNothingElse) {
  OpenText("plain text\n");
  Command(ids::kSaveAsHtml);
  EXPECT_EQ(m_pPrompt->m_arrMessages, QStringList{"This window is not formatted for concordances."});
  EXPECT_TRUE(m_pPrompt->m_arrFileRequests.empty());
  EXPECT_TRUE(m_arrOpened.empty());
}

TEST_F(ExportTest, HtmlThatCannotBeWrittenSaysFileErrorAndChangesNoWindow) {
  CTessaryView* view = ListOfLord();
  const QStringList before = Texts();
  for (const QString& path : {QString("/dev/full"), m_dir.filePath("no-such-folder/list.htm")}) {
    m_pPrompt->m_arrMessages.clear();
    Answer(path);
    Command(ids::kSaveAsHtml);
    ASSERT_EQ(m_pPrompt->m_arrMessages.size(), 1) << path.toStdString();
    EXPECT_TRUE(m_pPrompt->m_arrMessages[0].startsWith("File error")) << path.toStdString();
  }
  EXPECT_FALSE(QDir(m_dir.filePath("no-such-folder")).exists());
  EXPECT_TRUE(m_arrOpened.empty());
  EXPECT_EQ(Texts(), before);
  EXPECT_TRUE(view->List());
  EXPECT_FALSE(view->IsReadOnly());
}

TEST_F(ExportTest, HtmlCancelledWritesNothing) {
  ListOfLord();
  CancelFiles();
  Command(ids::kSaveAsHtml);
  EXPECT_TRUE(m_pPrompt->m_arrMessages.isEmpty());
  EXPECT_TRUE(m_arrOpened.empty());
}

// ---- The concordance database ----

TEST_F(ExportTest, DatabaseOfAListHoldsItsLinesFilesAndPositionsAndAppendAddsThemAgain) {
  CTessaryView* view = ListOfLord();
  const QString db = m_dir.filePath("lists.db");
  Answer(db);
  Command(ids::kDatabaseNew);
  EXPECT_EQ(m_pPrompt->m_arrFileRequests.back().m_strTitle, "Create Database");
  EXPECT_EQ(m_pPrompt->m_arrMessages, QStringList{"3 records were added to the table Concordances."});
  auto records = ReadConcordanceDatabase(db.toStdString());
  ASSERT_TRUE(records);
  const CConcordanceList& list = *view->List();
  auto expected = WindowRecords(view->GetDocument()->PlainText().toStdString(), "lord");
  ASSERT_EQ(expected.size(), 3u);
  for (std::size_t i = 0; i < expected.size(); ++i) {
    expected[i].m_strFile = list.SourceOf(list.m_arrEntries[i]);
    expected[i].m_nPosition = list.m_arrEntries[i].m_nPosition;
  }
  EXPECT_EQ(*records, expected);
  EXPECT_EQ((*records)[0].m_strFile, m_dir.filePath("source.txt").toStdString());
  EXPECT_EQ((*records)[0].m_nPosition, 4);

  Answer(db);
  Command(ids::kDatabaseAppend);
  EXPECT_EQ(m_pPrompt->m_arrFileRequests.back().m_strTitle, "Open Existing Database");
  records = ReadConcordanceDatabase(db.toStdString());
  ASSERT_TRUE(records);
  ASSERT_EQ(records->size(), 6u);
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), records->begin() + 3));
}

TEST_F(ExportTest, ANewDatabaseOverAnExistingFileReplacesItWhole) {
  ListOfLord();
  const QString db = WriteFile("old.db", "an old file the dialog asked to overwrite\n");
  Answer(db);
  Command(ids::kDatabaseNew);
  auto records = ReadConcordanceDatabase(db.toStdString());
  ASSERT_TRUE(records) << records.Error();
  EXPECT_EQ(records->size(), 3u);
  EXPECT_EQ(QDir(m_dir.path()).entryList({"old.db*"}, QDir::Files), QStringList{"old.db"});
}

TEST_F(ExportTest, DatabaseOfAPlainWindowTakesTheTypedKeywordAndNoFiles) {
  OpenText("first line\nsecond line\n");
  m_pPrompt->OnDialogOf<CDatabaseKeywordDialog>([](CDatabaseKeywordDialog& d) {
    d.m_strKeyword = "test";
    return true;
  });
  const QString db = m_dir.filePath("plain.db");
  Answer(db);
  Command(ids::kDatabaseNew);
  auto records = ReadConcordanceDatabase(db.toStdString());
  ASSERT_TRUE(records);
  const std::vector<CConcordanceRecord> expected = {{"test", "first line", std::nullopt, std::nullopt},
                                                    {"test", "second line", std::nullopt, std::nullopt}};
  EXPECT_EQ(*records, expected);
  // The keyword stays with the window: the dialog starts from it next time.
  m_pPrompt->OnDialogOf<CDatabaseKeywordDialog>([](CDatabaseKeywordDialog& d) {
    EXPECT_EQ(d.m_strKeyword, "test");
    return false;
  });
  Command(ids::kDatabaseAppend);
}

TEST_F(ExportTest, DatabaseWithAnEmptyOrCancelledKeywordAsksForNoFileAndMakesNone) {
  OpenText("first line\n");
  m_pPrompt->OnDialogOf<CDatabaseKeywordDialog>([](CDatabaseKeywordDialog& d) {
    d.m_strKeyword.clear();
    return true;
  });
  Command(ids::kDatabaseNew);
  m_pPrompt->CancelNextDialog();
  Command(ids::kDatabaseNew);
  EXPECT_TRUE(m_pPrompt->m_arrFileRequests.empty());
  EXPECT_TRUE(m_pPrompt->m_arrMessages.isEmpty());
}

TEST_F(ExportTest, DatabaseFailuresSayCommandFailedAndLeaveFilesAndWindowsAsTheyWere) {
  ListOfLord();
  const QStringList before = Texts();
  const QByteArray notDb = "this is no database\n";
  const QString text = WriteFile("notes.db", notDb);
  Answer(text);
  Command(ids::kDatabaseAppend);
  Answer(m_dir.filePath("no-such-folder/new.db"));
  Command(ids::kDatabaseNew);
  Answer(m_dir.filePath("missing.db"));
  Command(ids::kDatabaseAppend);
  // A device chosen to be overwritten stays the device.
  Answer("/dev/full");
  Command(ids::kDatabaseNew);
  EXPECT_FALSE(QFileInfo("/dev/full").isFile());
  ASSERT_EQ(m_pPrompt->m_arrMessages.size(), 4);
  for (const QString& message : m_pPrompt->m_arrMessages) EXPECT_TRUE(message.startsWith("Command failed.")) << message.toStdString();
  EXPECT_EQ(ReadAll(text), notDb);
  EXPECT_FALSE(QFile::exists(m_dir.filePath("missing.db")));
  EXPECT_EQ(Texts(), before);
}

// ---- Concordance Database View ----

class DatabaseViewTest : public ExportTest {
 protected:
  // Records: keyword k<i % 3>, text "line <i>", file f<i % 2>.txt, position i.
  QString MakeDatabase(int n) {
    std::vector<CConcordanceRecord> records;
    for (int i = 0; i < n; ++i)
      records.push_back({QStringLiteral("k%1").arg(i % 3).toStdString(), QStringLiteral("line %1").arg(i).toStdString(),
                         QStringLiteral("/corpus/f%1.txt").arg(i % 2).toStdString(), i});
    const QString path = m_dir.filePath("view.db");
    EXPECT_TRUE(CreateConcordanceDatabase(path.toStdString(), records));
    return path;
  }
  CDatabaseView* OpenView(const QString& path) {
    Answer(path);
    m_pApp->MainFrame()->OnCommand(ids::kDatabaseView);
    return m_pApp->MainFrame()->findChild<CDatabaseView*>();
  }
  static QString Cell(CDatabaseView* view, int row, int column) {
    return view->Model().data(view->Model().index(row, column)).toString();
  }
};

TEST_F(DatabaseViewTest, ShowsEveryRecordInOrderAndReadsOnlyThePagesInView) {
  CDatabaseView* view = OpenView(MakeDatabase(1000));
  ASSERT_TRUE(view);
  EXPECT_EQ(view->windowTitle(), "Concordance Database View");
  EXPECT_EQ(UnnamedControls(*view), QStringList());
  EXPECT_EQ(m_pPrompt->m_arrFileRequests.back().m_strTitle, "Open Concordance Database");
  EXPECT_EQ(view->CountText(), "1000 records");
  EXPECT_EQ(Cell(view, 0, 1), "line 0");
  EXPECT_EQ(Cell(view, 1, 0), "k1");  // the order they were added in: no column sorted at first
  EXPECT_EQ(Cell(view, 999, 1), "line 999");
  EXPECT_EQ(Cell(view, 999, 3), "999");
  EXPECT_EQ(Cell(view, 999, 2), "/corpus/f1.txt");
  EXPECT_LE(view->Model().PagesRead(), 3);
}

TEST_F(DatabaseViewTest, RecordsDeletedByAnotherToolLeaveNoEmptyRows) {
  const QString path = MakeDatabase(600);
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "DELETE FROM Concordances WHERE Position % 2 = 1", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
  CDatabaseView* view = OpenView(path);
  ASSERT_TRUE(view);
  (void)Cell(view, 0, 1);  // the first page shows the gaps
  QCoreApplication::processEvents();
  EXPECT_EQ(view->CountText(), "300 records");
  EXPECT_EQ(Cell(view, 1, 1), "line 2");
  EXPECT_EQ(Cell(view, 299, 1), "line 598");
}

TEST_F(DatabaseViewTest, SortsByAnyColumnBothWays) {
  CDatabaseView* view = OpenView(MakeDatabase(600));
  ASSERT_TRUE(view);
  view->Table()->sortByColumn(3, Qt::DescendingOrder);
  EXPECT_EQ(Cell(view, 0, 3), "599");
  EXPECT_EQ(Cell(view, 599, 3), "0");
  view->Table()->sortByColumn(1, Qt::AscendingOrder);
  EXPECT_EQ(Cell(view, 0, 1), "line 0");
  EXPECT_EQ(Cell(view, 1, 1), "line 1");
  EXPECT_EQ(Cell(view, 2, 1), "line 10");
  view->Table()->sortByColumn(0, Qt::DescendingOrder);
  EXPECT_EQ(Cell(view, 0, 0), "k2");
  EXPECT_EQ(Cell(view, 0, 1), "line 2");  // equal keys keep the order they were added in
  EXPECT_EQ(Cell(view, 599, 0), "k0");
  EXPECT_EQ(view->CountText(), "600 records");
}

TEST_F(DatabaseViewTest, FiltersByKeywordTextAndFileTogether) {
  CDatabaseView* view = OpenView(MakeDatabase(600));
  ASSERT_TRUE(view);
  view->KeywordBox()->setText("K1");  // any case
  view->ApplyFilter();
  EXPECT_EQ(view->CountText(), "200 records");
  view->FileBox()->setText("f0");
  view->ApplyFilter();
  EXPECT_EQ(view->CountText(), "100 records");
  EXPECT_EQ(Cell(view, 0, 1), "line 4");
  view->TextBox()->setText("line 5");
  view->ApplyFilter();
  // 58, 52, 520..598 step 6 and the like: each holds "line 5", keyword k1, file f0.
  for (int row = 0; row < view->Model().rowCount(); ++row) {
    EXPECT_TRUE(Cell(view, row, 1).contains("line 5"));
    EXPECT_EQ(Cell(view, row, 0), "k1");
    EXPECT_EQ(Cell(view, row, 2), "/corpus/f0.txt");
  }
  EXPECT_EQ(view->CountText(), QStringLiteral("%1 records").arg(view->Model().rowCount()));
  EXPECT_GT(view->Model().rowCount(), 0);
  // Wildcard characters are taken as they stand.
  view->TextBox()->setText("%");
  view->ApplyFilter();
  EXPECT_EQ(view->CountText(), "0 records");
  view->KeywordBox()->clear();
  view->FileBox()->clear();
  view->TextBox()->clear();
  view->ApplyFilter();
  EXPECT_EQ(view->CountText(), "600 records");
}

TEST_F(DatabaseViewTest, AFileThatIsNoConcordanceDatabaseSaysCommandFailed) {
  OpenView(WriteFile("notes.db", "not a database at all, but long enough to look like one to nobody\n"));
  Answer(m_dir.filePath("absent.db"));
  m_pApp->MainFrame()->OnCommand(ids::kDatabaseView);
  EXPECT_EQ(m_pApp->MainFrame()->findChild<CDatabaseView*>(), nullptr);
  ASSERT_EQ(m_pPrompt->m_arrMessages.size(), 2);
  for (const QString& message : m_pPrompt->m_arrMessages) EXPECT_TRUE(message.startsWith("Command failed."));
  EXPECT_FALSE(QFile::exists(m_dir.filePath("absent.db")));
}

TEST_F(DatabaseViewTest, DoubleClickOpensTheRecordsSourceWithItsKeywordSelected) {
  CTessaryView* list = ListOfLord();
  const QString db = m_dir.filePath("lists.db");
  Answer(db);
  Command(ids::kDatabaseNew);
  // The source's window is closed: the look-up opens the file again.
  const QString source = m_dir.filePath("source.txt");
  WriteFile("source.txt", m_pApp->Documents().front()->PlainText().toUtf8());
  m_pApp->Documents().front()->SetModified(false);
  m_pApp->CloseDocument(m_pApp->Documents().front());
  (void)list;
  CDatabaseView* view = OpenView(db);
  ASSERT_TRUE(view);
  view->OpenContext(1);
  CTessaryView* opened = m_pApp->MainFrame()->ActiveView();
  ASSERT_TRUE(opened);
  EXPECT_EQ(opened->GetDocument()->PathName(), source);
  m_pApp->ContextLookup().OnViewFocus(opened);
  EXPECT_EQ(opened->TextCursor().selectedText(), "lord");
  EXPECT_EQ(opened->TextCursor().selectionStart(), QString("The lord spake unto Moses.\nAnd the ").size());
}

// ---- Word-list report ----

class ReportTest : public ExportTest {
 protected:
  void SetUp() override {
    ExportTest::SetUp();
    m_strList1 = WriteFile("basic.txt", "the\nand\nis\n");
    m_strList2 = WriteFile("academic.txt", "analysis\ndata\n");
    QDir().mkpath(m_dir.filePath("texts"));
    m_strText = "The analysis of data is good.\nAnd the data is 100% new, new <b>.\n";
  }
  QStringList Reports() const {
    return QDir(m_dir.filePath("texts")).entryList({"*.htm"}, QDir::Files, QDir::Name);
  }
  QString m_strList1, m_strList2, m_strText;
};

TEST_F(ReportTest, WritesTheCoresThreePagesBesideTheTextAndOpensTheFrames) {
  CTessaryDoc* doc = OpenText(m_strText, m_dir.filePath("texts/essay.txt"));
  QStringList fields;
  m_pApp->Exports().m_fnProgressShown = [&](QWidget* dialog) {
    auto* progress = qobject_cast<CProgressDialog*>(dialog);
    ASSERT_TRUE(progress);
    EXPECT_EQ(progress->windowTitle(), "Word Frequency Profiles");
    fields << progress->Field("List 1:") << progress->Field("List 2:");
  };
  Answer(m_strList1);
  Answer(m_strList2);
  Command(ids::kWordListId);
  ASSERT_EQ(m_pPrompt->m_arrFileRequests.size(), 2u);
  EXPECT_EQ(m_pPrompt->m_arrFileRequests[0].m_strTitle, "Open Word List File 1");
  EXPECT_EQ(m_pPrompt->m_arrFileRequests[1].m_strTitle, "Open Word List File 2");
  EXPECT_EQ(fields, (QStringList{"basic.txt", "academic.txt"}));

  auto classes = CTextClasses::Open(1252);
  ASSERT_TRUE(classes);
  auto list1 = ReadWordList(m_strList1.toStdString(), *classes);
  auto list2 = ReadWordList(m_strList2.toStdString(), *classes);
  ASSERT_TRUE(list1 && list2);
  CWordListComparison comparison(*list1, *list2, *classes);
  comparison.AddText(doc->PlainText().toStdString());
  const CWordListReport& report = comparison.Report();
  EXPECT_EQ(report.m_nList1, 5);
  EXPECT_EQ(report.m_nList2, 3);

  const QStringList files = Reports();
  ASSERT_EQ(files.size(), 3);
  const QString number = files[0].mid(6).chopped(4);  // Frames<n>.htm
  const QString folder = m_dir.filePath("texts/");
  const std::string charset = ReportCharset(1252);
  EXPECT_EQ(ReadAll(folder + "Text" + number + ".htm").toStdString(), ReportTextPage(report, charset));
  EXPECT_EQ(ReadAll(folder + "List" + number + ".htm").toStdString(), ReportListPage(report, charset));
  EXPECT_EQ(ReadAll(folder + "Frames" + number + ".htm").toStdString(),
            ReportFramesPage(("Text" + number + ".htm").toStdString(), ("List" + number + ".htm").toStdString(),
                             charset));
  ASSERT_EQ(m_arrOpened.size(), 1u);
  EXPECT_EQ(m_arrOpened[0], QUrl::fromLocalFile(folder + "Frames" + number + ".htm"));
}

TEST_F(ReportTest, AMissingListFileSaysFileErrorBeforeAnythingRuns) {
  OpenText(m_strText, m_dir.filePath("texts/essay.txt"));
  const QStringList before = Texts();
  Answer(m_dir.filePath("gone.txt"));
  Command(ids::kMatchWordLists);
  ASSERT_EQ(m_pPrompt->m_arrMessages.size(), 1);
  EXPECT_TRUE(m_pPrompt->m_arrMessages[0].startsWith("File error"));
  EXPECT_EQ(m_pPrompt->m_arrFileRequests.size(), 1u);  // the second list is not asked for
  EXPECT_TRUE(Reports().isEmpty());
  EXPECT_EQ(Texts(), before);
}

TEST_F(ReportTest, AFolderThatCannotBeWrittenSaysFileErrorAndLeavesNoPage) {
  OpenText(m_strText, m_dir.filePath("gone-folder/essay.txt"));
  const QStringList before = Texts();
  Answer(m_strList1);
  Answer(m_strList2);
  Command(ids::kMatchWordLists);
  ASSERT_EQ(m_pPrompt->m_arrMessages.size(), 1);
  EXPECT_TRUE(m_pPrompt->m_arrMessages[0].startsWith("File error"));
  EXPECT_TRUE(m_arrOpened.empty());
  EXPECT_EQ(Texts(), before);
  for (CTessaryDoc* doc : m_pApp->Documents()) EXPECT_FALSE(doc->FirstView()->IsReadOnly());
}

TEST_F(ReportTest, CancelOrStopWritesNothing) {
  OpenText(m_strText, m_dir.filePath("texts/essay.txt"));
  Answer(m_strList1);
  CancelFiles();
  Command(ids::kMatchWordLists);
  m_pApp->Exports().m_fnProgressShown = [](QWidget* dialog) {
    qobject_cast<CProgressDialog*>(dialog)->StopButton()->click();
  };
  Answer(m_strList1);
  Answer(m_strList2);
  Command(ids::kMatchWordLists);
  EXPECT_TRUE(Reports().isEmpty());
  EXPECT_TRUE(m_arrOpened.empty());
  EXPECT_TRUE(m_pPrompt->m_arrMessages.isEmpty());
  EXPECT_FALSE(m_pApp->Busy());
}

}  // namespace
}  // namespace tessary::test
