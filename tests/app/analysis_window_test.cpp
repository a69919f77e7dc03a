// The Analysis menu in the program: each window from its dialog to its table, sorted,
// filtered and saved, its tables compared with the command line's for the same request;
// a collocate's concordance, a dispersion tick's context, a concordance list as a table.
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTextCursor>
#include <QTimer>

#include "app/analysis_controller.h"
#include "app/analysis_dialogs.h"
#include "app/analysis_windows.h"
#include "app/command_ids.h"
#include "app/concordance_fixture.h"
#include "app/context_lookup.h"
#include "app/progress_dialog.h"
#include "export/unique_words_db.h"
#include "ui/qt_text.h"

namespace tessary::test {
namespace {

const char* const kStudy =
    "The harbour was quiet at night. Boats in the harbour rocked on the water.\n"
    "The old harbour wall stood by the sea, and the harbour master walked the harbour road.\n"
    "Gulls cried over the water and the boats.\n";
const char* const kReference =
    "The town was busy in the morning. People walked the road to the market.\n"
    "The market stood by the old church, and the people bought bread.\n";

class AnalysisWindowTest : public ProgramTest {
 protected:
  QString WriteFile(const QString& name, const QByteArray& bytes) {
    const QString path = m_dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
  }
  static QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  static QByteArray CommandLine(const QStringList& args) {
    QProcess cli;
    cli.start(TESSARY_CLI, args);
    EXPECT_TRUE(cli.waitForFinished(60000));
    return cli.readAllStandardOutput();
  }
  void Files(const QStringList& files) {
    CFileDialogResult result;
    result.m_bOk = true;
    result.m_arrFiles = files;
    m_pPrompt->OnFiles(result);
  }
  // Runs an Analysis command from the frame and waits for its window.
  CAnalysisTableWindow* Run(int id) {
    EXPECT_TRUE(m_pApp->MainFrame()->CommandEnabled(id));
    const std::size_t before = m_pApp->Analysis().Windows().size();
    m_pApp->MainFrame()->OnCommand(id);
    CAnalysisController& analysis = m_pApp->Analysis();
    if (analysis.Running()) {
      QEventLoop loop;
      QObject::connect(&analysis, &CAnalysisController::RunEnded, &loop, &QEventLoop::quit);
      QTimer::singleShot(120000, &loop, &QEventLoop::quit);
      loop.exec();
    }
    EXPECT_FALSE(analysis.Running()) << "the run did not end";
    const auto& windows = analysis.Windows();
    return windows.size() > before ? windows.back().data() : nullptr;
  }
  // Saves the window's rows through its button, as a user names the file.
  QByteArray Saved(CAnalysisTableWindow& window, TableFormat format, const QString& name) {
    const QString path = m_dir.filePath(name);
    Files({path});
    EXPECT_TRUE(window.SaveAs(format));
    return ReadFile(path);
  }
  static QStringList Column(const CAnalysisTableWindow& window, int column) {
    QStringList values;
    for (int r = 0; r < window.Proxy()->rowCount(); ++r) values << window.Proxy()->index(r, column).data().toString();
    return values;
  }
};

TEST_F(AnalysisWindowTest, CollocationWindowMatchesTheCommandLineSortsFiltersAndOpensThePlexonList) {
  const QString study = WriteFile("study.txt", kStudy);
  m_pPrompt->OnDialogOf<CCollocationDialog>([](CCollocationDialog& d) {
    d.m_strSearch = "harbour";
    d.m_bDirectory = true;
    d.m_nLeft = 3;
    d.m_nRight = 3;
    return true;
  });
  Files({study});
  CAnalysisTableWindow* window = Run(ids::kCollocationStrength);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(Saved(*window, TableFormat::kTsv, "colloc.tsv"),
            CommandLine({"collocation", "--span", "3,3", "harbour", study}));
  // Every column tells its formula; MI's is the core's.
  EXPECT_TRUE(window->View()->model()->headerData(8, Qt::Horizontal, Qt::ToolTipRole).toString().contains("log"));

  // A heading click sorts numbers as numbers, highest first on the second click.
  const int mi = 8;
  window->View()->sortByColumn(mi, Qt::DescendingOrder);
  QStringList values = Column(*window, mi);
  for (int i = 1; i < values.size(); ++i) {
    if (values[i] != "-inf" && !values[i].isEmpty()) {
      EXPECT_GE(values[i - 1].toDouble(), values[i].toDouble());
    }
  }
  window->View()->sortByColumn(0, Qt::AscendingOrder);
  EXPECT_EQ(Column(*window, 0).mid(0, 2), QStringList({"and", "at"}));

  // The minimum frequency hides collocates with a smaller O11, and says so.
  const int all = window->ShownRows();
  window->SetFilter(1, 2);
  EXPECT_LT(window->ShownRows(), all);
  for (const QString& o11 : Column(*window, 1)) EXPECT_GE(o11.toInt(), 2);
  EXPECT_TRUE(window->StatusText().contains(QStringLiteral("of %1 rows shown").arg(all)));

  // Double-click on "The" (spelled as first met): the Plexon search of harbour with it,
  // over the same file.
  window->View()->sortByColumn(1, Qt::DescendingOrder);
  const int row = static_cast<int>(Column(*window, 0).indexOf("The"));
  ASSERT_GE(row, 0);
  const std::size_t docs = m_pApp->Documents().size();
  emit window->View()->doubleClicked(window->Proxy()->index(row, 0));
  WaitForRun();
  ASSERT_EQ(m_pApp->Documents().size(), docs + 1);
  const CConcordanceList* list = m_pApp->Documents().back()->List();
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(list->m_bAssocView);
  EXPECT_EQ(list->m_request.m_arrAssocWords, std::vector<std::string>{"The"});
  EXPECT_EQ(list->m_request.m_assocZone, AssocZone::kAnywhere);
  EXPECT_TRUE(list->m_bFromFiles);
  EXPECT_FALSE(list->m_arrEntries.empty());

  // Copy: the selected row with the headings, as TSV.
  window->View()->selectionModel()->select(window->Proxy()->index(0, 0),
                                           QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  window->Copy();
  const QStringList copied = QApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(copied.size(), 2);
  EXPECT_TRUE(copied[0].startsWith("Collocate\tO11"));
}

TEST_F(AnalysisWindowTest, NgramWindowOfOpenDocumentsFiltersByRangeAndSavesCsvAsTheCommandLine) {
  const QString a = WriteFile("a.txt", kStudy), b = WriteFile("b.txt", kReference);
  ASSERT_NE(m_pApp->OpenDocumentFile(a), nullptr);
  ASSERT_NE(m_pApp->OpenDocumentFile(b), nullptr);
  m_pPrompt->OnDialogOf<CNgramDialog>([](CNgramDialog& d) {
    d.m_nAttach = 0;  // free n-grams: no search string asked for
    d.m_nMinSize = d.m_nMaxSize = 2;
    return true;
  });
  CAnalysisTableWindow* window = Run(ids::kClustersNgrams);
  ASSERT_NE(window, nullptr);
  // The open documents hold the files' texts, so the table is the command line's over the files.
  const QByteArray cli = CommandLine({"ngrams", "--free", "--size", "2", "--format", "csv", a, b});
  ASSERT_FALSE(cli.isEmpty());
  EXPECT_EQ(Saved(*window, TableFormat::kCsv, "ngrams.csv"), cli);
  window->SetFilter(3, 2);  // in both texts
  ASSERT_GT(window->ShownRows(), 0);
  for (const QString& range : Column(*window, 3)) EXPECT_EQ(range, "2");
  // What is saved is what is shown, with the mark a spreadsheet asks for.
  window->SetByteOrderMark(true);
  const QByteArray filtered = Saved(*window, TableFormat::kTsv, "filtered.tsv");
  EXPECT_TRUE(filtered.startsWith("\xEF\xBB\xBF" "Cluster\tSize\tFreq\tRange\n"));
  EXPECT_EQ(filtered.count('\n'), window->ShownRows() + 1);
}

TEST_F(AnalysisWindowTest, KeywordWindowAgainstReferenceFilesAndAgainstASavedUniqueWordList) {
  const QString study = WriteFile("study.txt", kStudy), reference = WriteFile("reference.txt", kReference);
  auto ask = [&](int referenceKind) {
    m_pPrompt->OnDialogOf<CKeywordsDialog>([referenceKind](CKeywordsDialog& d) {
      d.m_bDirectory = true;
      d.m_nReference = referenceKind;
      return true;
    });
    Files({study});
  };
  ask(0);
  Files({reference});
  CAnalysisTableWindow* window = Run(ids::kKeywordList);
  ASSERT_NE(window, nullptr);
  const QByteArray cli = CommandLine({"keywords", "--reference", reference, study});
  EXPECT_EQ(Saved(*window, TableFormat::kTsv, "keywords.tsv"), cli);
  EXPECT_TRUE(window->StatusText().contains("positive"));
  EXPECT_TRUE(cli.contains("harbour\tpositive"));

  // The same reference as a saved unique-word list gives the same keywords.
  const QString list = WriteFile("reference-list.txt",
                                 CommandLine({"words", reference}));
  ask(2);
  Files({list});
  CAnalysisTableWindow* fromList = Run(ids::kKeywordList);
  ASSERT_NE(fromList, nullptr);
  const QByteArray fromListTable = Saved(*fromList, TableFormat::kTsv, "keywords-list.tsv");
  EXPECT_EQ(fromListTable, CommandLine({"keywords", "--reference", list, study}));

  // And as the database the Unique Words View saves: the same rows, so the same keywords.
  std::vector<CUniqueWordRecord> records;
  const QList<QByteArray> lines = ReadFile(list).split('\n');
  for (qsizetype i = 1; i < lines.size(); ++i) {
    const QList<QByteArray> fields = lines[i].split('\t');
    if (fields.size() < 2) continue;
    records.push_back({static_cast<std::int64_t>(i), fields[0].mid(4).trimmed().toStdString(), fields[1].toLongLong()});
  }
  ASSERT_GT(records.size(), 10u);
  const QString database = m_dir.filePath("reference.db");
  ASSERT_TRUE(SaveUniqueWordsDatabase(ToFsPath(database), records));
  ask(2);
  Files({database});
  CAnalysisTableWindow* fromDatabase = Run(ids::kKeywordList);
  ASSERT_NE(fromDatabase, nullptr);
  EXPECT_EQ(Saved(*fromDatabase, TableFormat::kTsv, "keywords-db.tsv"), fromListTable);
}

TEST_F(AnalysisWindowTest, KeywordsCountTheReferenceBesideTheStudyAndTellTheStudysProblemsFirst) {
  const QString study = WriteFile("study.txt", kStudy), reference = WriteFile("reference.txt", kReference);
  m_pPrompt->OnDialogOf<CKeywordsDialog>([](CKeywordsDialog& d) {
    d.m_bDirectory = true;
    d.m_nReference = 0;
    return true;
  });
  Files({study, m_dir.filePath("gone-study.txt")});
  Files({reference, m_dir.filePath("gone-reference.txt")});
  CAnalysisTableWindow* window = Run(ids::kKeywordList);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(Saved(*window, TableFormat::kTsv, "keywords.tsv"), CommandLine({"keywords", "--reference", reference, study}));
  ASSERT_FALSE(m_pPrompt->m_arrMessages.empty());
  const QString message = m_pPrompt->m_arrMessages.back();
  EXPECT_TRUE(message.startsWith("File error")) << message.toStdString();
  EXPECT_GE(message.indexOf("gone-study"), 0) << message.toStdString();
  EXPECT_LT(message.indexOf("gone-study"), message.indexOf("gone-reference")) << message.toStdString();
}

TEST_F(AnalysisWindowTest, DispersionWindowDrawsATickPerHitOpensItsContextAndSavesSvgAndPng) {
  const QString study = WriteFile("study.txt", kStudy), other = WriteFile("other.txt", kReference);
  m_pPrompt->OnDialogOf<CDispersionDialog>([](CDispersionDialog& d) {
    d.m_strSearch = "harbour";
    d.m_bDirectory = true;
    return true;
  });
  Files({study, other});
  auto* window = dynamic_cast<CDispersionWindow*>(Run(ids::kDispersionPlot));
  ASSERT_NE(window, nullptr);
  ASSERT_EQ(window->Result().m_arrStrips.size(), 2u);
  EXPECT_EQ(window->Result().m_arrStrips[0].m_arrPlaces.size(), 5u);
  EXPECT_EQ(Saved(*window, TableFormat::kTsv, "plot.tsv"), CommandLine({"plot", "--table", "harbour", study, other}));
  Files({m_dir.filePath("plot.svg")});
  EXPECT_TRUE(window->SaveSvg());
  EXPECT_EQ(ReadFile(m_dir.filePath("plot.svg")), CommandLine({"plot", "harbour", study, other}));
  Files({m_dir.filePath("plot.png")});
  EXPECT_TRUE(window->SavePng());
  EXPECT_TRUE(ReadFile(m_dir.filePath("plot.png")).startsWith("\x89PNG"));

  // A click on the third tick opens the file with that "harbour" selected.
  window->Plot()->resize(800, 120);
  const QPoint tick = window->Plot()->TickPosition(0, 2);
  std::size_t strip = 9, hit = 9;
  ASSERT_TRUE(window->Plot()->HitAt(tick, strip, hit));
  EXPECT_EQ(hit, 2u);
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(tick), window->Plot()->mapToGlobal(QPointF(tick)), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(window->Plot(), &press);
  QCoreApplication::processEvents();
  CTessaryView* view = m_pApp->MainFrame()->ActiveView();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->GetDocument()->PathName(), study);
  const QTextCursor selection = view->TextCursor();
  EXPECT_EQ(selection.selectedText(), "harbour");
  EXPECT_EQ(selection.selectionStart(), static_cast<int>(window->Result().m_arrStrips[0].m_arrOffsets[2]));
}

TEST_F(AnalysisWindowTest, DispersionTicksAreReachedAndOpenedFromTheKeyboard) {
  const QString study = WriteFile("study.txt", kStudy), more = WriteFile("more.txt", "A harbour first, then a long way of other words, and a harbour last.\n");
  m_pPrompt->OnDialogOf<CDispersionDialog>([](CDispersionDialog& d) {
    d.m_strSearch = "harbour";
    d.m_bDirectory = true;
    return true;
  });
  Files({study, more});
  auto* window = dynamic_cast<CDispersionWindow*>(Run(ids::kDispersionPlot));
  ASSERT_NE(window, nullptr);
  CDispersionPlot* plot = window->Plot();
  const auto& strips = window->Result().m_arrStrips;
  ASSERT_EQ(strips.size(), 2u);
  auto key = [plot](int k) {
    QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
    QCoreApplication::sendEvent(plot, &press);
  };
  auto current = [plot] {
    std::size_t strip = 99, hit = 99;
    EXPECT_TRUE(plot->CurrentTick(strip, hit));
    return std::make_pair(strip, hit);
  };
  EXPECT_EQ(current(), std::make_pair(std::size_t(0), std::size_t(0)));
  key(Qt::Key_Left);  // already at the first: stays
  EXPECT_EQ(current().second, 0u);
  key(Qt::Key_Right);
  key(Qt::Key_Right);
  EXPECT_EQ(current(), std::make_pair(std::size_t(0), std::size_t(2)));
  EXPECT_TRUE(plot->accessibleDescription().endsWith("hit 3 of 5")) << plot->accessibleDescription().toStdString();
  key(Qt::Key_End);
  EXPECT_EQ(current().second, strips[0].m_arrPlaces.size() - 1);
  key(Qt::Key_Right);  // already at the last: stays
  EXPECT_EQ(current().second, strips[0].m_arrPlaces.size() - 1);
  // From the last hit of the first text, Down goes to the hit nearest that place in the
  // second (its last), and Up comes back to the first text's last hit.
  ASSERT_EQ(strips[1].m_arrPlaces.size(), 2u);
  key(Qt::Key_Down);
  EXPECT_EQ(current(), std::make_pair(std::size_t(1), std::size_t(1)));
  key(Qt::Key_Down);  // no text below: stays
  EXPECT_EQ(current().first, 1u);
  key(Qt::Key_Up);
  EXPECT_EQ(current(), std::make_pair(std::size_t(0), strips[0].m_arrPlaces.size() - 1));
  key(Qt::Key_Home);
  key(Qt::Key_Right);
  key(Qt::Key_Right);
  key(Qt::Key_Return);
  QCoreApplication::processEvents();
  CTessaryView* view = m_pApp->MainFrame()->ActiveView();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->GetDocument()->PathName(), study);
  EXPECT_EQ(view->TextCursor().selectedText(), "harbour");
  EXPECT_EQ(view->TextCursor().selectionStart(), static_cast<int>(strips[0].m_arrOffsets[2]));
}

TEST_F(AnalysisWindowTest, ADispersionTickOfAnOpenDocumentSelectsItsHitThere) {
  CTessaryDoc* doc = OpenText("A harbour, a quay, another harbour and the last harbour.");
  m_pPrompt->OnDialogOf<CDispersionDialog>([](CDispersionDialog& d) {
    d.m_strSearch = "harbour";
    d.m_bDirectory = false;
    return true;
  });
  auto* window = dynamic_cast<CDispersionWindow*>(Run(ids::kDispersionPlot));
  ASSERT_NE(window, nullptr);
  // The program's first, empty document has its strip too, without hits.
  const auto& strips = window->Result().m_arrStrips;
  const auto strip = std::find_if(strips.begin(), strips.end(), [](const CDispersionStrip& s) { return !s.m_arrOffsets.empty(); });
  ASSERT_NE(strip, strips.end());
  ASSERT_EQ(strip->m_arrOffsets.size(), 3u);
  window->Plot()->m_fnTickClicked(static_cast<std::size_t>(strip - strips.begin()), 1);
  QCoreApplication::processEvents();
  CTessaryView* view = m_pApp->MainFrame()->ActiveView();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->GetDocument(), doc);
  EXPECT_EQ(view->TextCursor().selectedText(), "harbour");
  EXPECT_EQ(view->TextCursor().selectionStart(), 27);
}

TEST_F(AnalysisWindowTest, ConcordanceListSavesAsTheCommandLinesTableAndSentenceListsAreRefused) {
  const QString study = WriteFile("study.txt", kStudy);
  ASSERT_NE(m_pApp->OpenDocumentFile(study), nullptr);
  Search("harbour", "Unsorted");
  ASSERT_NE(m_pApp->MainFrame()->ActiveView()->List(), nullptr);
  ASSERT_TRUE(m_pApp->MainFrame()->CommandEnabled(ids::kSaveListCsv));
  const QString csv = m_dir.filePath("list.csv");
  Files({csv});
  m_pPrompt->OnMessage(QMessageBox::Yes);  // the UTF-8 mark
  m_pApp->MainFrame()->OnCommand(ids::kSaveListCsv);
  EXPECT_EQ(ReadFile(csv), CommandLine({"concord", "--sort", "none", "--format", "csv", "--bom", "harbour", study}));
  const QString tsv = m_dir.filePath("list.tsv");
  Files({tsv});
  m_pApp->MainFrame()->OnCommand(ids::kSaveListTsv);
  EXPECT_EQ(ReadFile(tsv), CommandLine({"concord", "--sort", "none", "--format", "tsv", "harbour", study}));
  // Not a list: nothing to save.
  m_pApp->MainFrame()->ActivateView(m_pApp->Documents().front()->Views().front());
  EXPECT_FALSE(m_pApp->MainFrame()->CommandEnabled(ids::kSaveListTsv));
}

TEST_F(AnalysisWindowTest, StoppedAtOnceTheWindowSaysSoAndShowsWhatWasRead) {
  OpenText("the harbour and the boats in the harbour");
  m_pApp->Analysis().m_fnProgressShown = [](QWidget* dialog) {
    static_cast<CProgressDialog*>(dialog)->StopButton()->click();
  };
  m_pPrompt->OnDialogOf<CCollocationDialog>([](CCollocationDialog& d) {
    d.m_strSearch = "harbour";
    return true;
  });
  CAnalysisTableWindow* window = Run(ids::kCollocationStrength);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->StatusText().contains("stopped")) << window->StatusText().toStdString();
  EXPECT_FALSE(m_pApp->Busy());
}

TEST_F(AnalysisWindowTest, AnEmptySearchStringIsRefusedAndNothingRuns) {
  OpenText("the harbour");
  m_pPrompt->OnDialogOf<CDispersionDialog>([](CDispersionDialog& d) {
    d.m_strSearch = "  ";
    return true;
  });
  EXPECT_EQ(Run(ids::kDispersionPlot), nullptr);
  ASSERT_EQ(m_pPrompt->m_arrMessages.size(), 1);
  EXPECT_EQ(m_pPrompt->m_arrMessages.front(), "Please type a search string.");
}

}  // namespace
}  // namespace tessary::test
