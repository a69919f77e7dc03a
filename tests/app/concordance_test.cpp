// Whole concordance flows in the program: request dialogs, the new window, the scan
// of the open documents, the list text, its formats and the status panes.
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QThread>
#include <QTimer>
#include <atomic>

#include "app/command_ids.h"
#include "app/concordance_fixture.h"
#include "app/progress_dialog.h"
#include "ui/fixed_font.h"

namespace tessary::test {
namespace {

TEST_F(ProgramTest, SearchOverTwoDocumentsSortsNumbersAndColours) {
  OpenText("The cat sat on the mat.", "/texts/one.txt");
  OpenText("A dog and a cat ran; the cat hid.", "/texts/two.txt");
  const auto before = m_pApp->Documents().size();
  Search("cat");
  ASSERT_EQ(m_pApp->Documents().size(), before + 1);
  CTessaryView* list = NewestView();
  ASSERT_TRUE(list && list->List() && list->List()->m_bSorted);
  const QString pad = QString(50, ' ');
  // Sorted by the right collocate: hid, ran, sat.
  const QStringList lines = TextOf(list).split('\n');
  ASSERT_EQ(lines.size(), 4);  // three lines and the empty paragraph after the last
  EXPECT_TRUE(lines[0].startsWith("1      ")) << lines[0].toStdString();
  EXPECT_EQ(lines[0].mid(7 + 50, 8), "cat hid.");
  EXPECT_EQ(lines[1].mid(7 + 50, 8), "cat ran;");
  EXPECT_EQ(lines[2].mid(7 + 50, 7), "cat sat");
  EXPECT_EQ(lines[2].left(7), "3      ");
  EXPECT_EQ(lines[0].size(), 7 + 2 * 50 + 3 + 1);

  // The entries follow the sorted lines: the first is "the cat hid" in two.txt.
  const CListEntry* first = list->List()->EntryOfLine(0);
  ASSERT_TRUE(first);
  EXPECT_EQ(list->List()->SourceOf(*first), "/texts/two.txt");
  EXPECT_EQ(first->m_nPosition, 25);
  EXPECT_EQ(list->List()->EntryOfLine(3), nullptr);

  // Keyword bold magenta at column 57 of every line; the collocate underlined.
  const QTextBlock block = list->Document()->findBlockByNumber(1);
  const QTextCharFormat keyword = FormatAt(list, block.position() + 57);
  EXPECT_EQ(keyword.fontWeight(), QFont::Bold);
  EXPECT_EQ(keyword.foreground().color(), QColor(255, 0, 255));
  EXPECT_TRUE(FormatAt(list, block.position() + 61).fontUnderline());
  EXPECT_NE(FormatAt(list, block.position() + 56).fontWeight(), QFont::Bold);
  EXPECT_TRUE(list->GetDocument()->m_bFormatted);
  EXPECT_TRUE(IsFixedPitch(list->Document()->defaultFont()));
  EXPECT_EQ(list->Document()->defaultFont().pointSize(), 8);

  EXPECT_EQ(m_pApp->MainFrame()->PaneText(2), "3");
  EXPECT_EQ(m_pApp->MainFrame()->PaneText(1), "cat");
  EXPECT_EQ(m_pApp->MainFrame()->PaneText(0), "Sorted Concordances (Context = highlight + right mouse button)");
}

TEST_F(ProgramTest, CancelOrAnEmptyStringCreatesNothingAndClearsTheRequest) {
  OpenText("a cat");
  const auto before = m_pApp->Documents().size();
  m_pPrompt->CancelNextDialog();
  m_pApp->Concordance().OnCommand(ids::kConcordanceSearch);
  m_pPrompt->OnDialogOf<CCodeSetDialog>([](CCodeSetDialog&) { return true; });
  m_pPrompt->CancelNextDialog();
  m_pApp->Concordance().OnCommand(ids::kConcordanceSearch);
  Search("   ");
  EXPECT_EQ(m_pApp->Documents().size(), before);
  EXPECT_FALSE(m_pApp->m_settings.m_bTestMode || m_pApp->m_settings.m_bSentences);
  EXPECT_FALSE(m_pApp->Concordance().Running());
}

TEST_F(ProgramTest, EarlierListWindowsAreNeverSearched) {
  OpenText("the cat and the cat");
  Search("cat", "Unsorted");
  ASSERT_EQ(NewestView()->LineCount(), 2);
  Search("cat", "Unsorted", false);
  CTessaryView* second = NewestView();
  EXPECT_EQ(second->LineCount(), 2);
  EXPECT_FALSE(second->List()->m_bSorted);
  EXPECT_EQ(TextOf(second).split('\n').first(),
            QString(50 - 4, ' ') + "the cat and the cat" + QString(51 - 12, ' '));
  EXPECT_EQ(m_pApp->MainFrame()->PaneText(0), "Context = highlight + right mouse button");
}

TEST_F(ProgramTest, StoppingTheScanKeepsTheLinesFound) {
  OpenText("one cat, two cats, a cat");
  OpenText(QString("no match here. ").repeated(20000));
  OpenText("a third cat");
  CConcordanceController& controller = m_pApp->Concordance();
  CProgressDialog* progress = nullptr;
  controller.m_fnProgressShown = [&](QWidget* dialog) {
    if (auto* p = qobject_cast<CProgressDialog*>(dialog); p && p->windowTitle() == "Concordance Search") progress = p;
  };
  // Before the second document is read the user presses the stop button (as the space
  // bar would); the worker goes on once the press has reached it.
  std::atomic<bool> pressed{false};
  const std::size_t second = m_pApp->Documents().size() - 2;
  controller.m_fnSourceHook = [&](std::size_t source) {
    if (source != second) return;
    QMetaObject::invokeMethod(progress, [&] {
      progress->StopButton()->click();
      pressed = true;
    }, Qt::QueuedConnection);
    while (!pressed) QThread::msleep(1);
  };
  QString count;
  QObject::connect(&controller, &CConcordanceController::RunEnded, [&] { count = progress->Field("CONCORDANCES ="); });
  Search("cat", "Sort Right");
  CTessaryView* list = NewestView();
  ASSERT_TRUE(list->List());
  EXPECT_EQ(list->LineCount(), 2);
  EXPECT_TRUE(list->List()->m_bSorted);
  EXPECT_EQ(count.trimmed(), "2");
}

TEST_F(ProgramTest, UnicodeSearchFindsWhatTheCodePageLacks) {
  OpenText(QString::fromUtf8("Москва и москва, Moscow"));
  Search(QString::fromUtf8("МОСКВА"), "Unsorted", false, 0, true);
  CTessaryView* list = NewestView();
  EXPECT_TRUE(list->List()->Unicode());
  EXPECT_EQ(list->LineCount(), 2);
  EXPECT_EQ(TextOf(list).split('\n').at(1).mid(50, 6), QString::fromUtf8("москва"));
  EXPECT_TRUE(IsFixedPitch(list->Document()->defaultFont()));
  EXPECT_EQ(list->Document()->defaultFont().pointSize(), 10);
}

TEST_F(ProgramTest, LineWidthIsCheckedAndKept) {
  m_pPrompt->OnDialogOf<CLineWidthDialog>([](CLineWidthDialog& d) {
    d.m_strWidth = "0";
    return true;
  });
  m_pApp->Concordance().OnCommand(ids::kSetLineWidth);
  EXPECT_EQ(m_pPrompt->m_arrMessages.back(), "The line width must be a number from 1 to 1000.");
  EXPECT_EQ(m_pApp->m_settings.m_nLineWidth, 50);
  m_pPrompt->OnDialogOf<CLineWidthDialog>([](CLineWidthDialog& d) {
    EXPECT_EQ(d.m_strWidth, "50");
    d.m_strWidth = "30";
    return true;
  });
  m_pApp->Concordance().OnCommand(ids::kSetLineWidth);
  EXPECT_EQ(m_pApp->m_settings.m_nLineWidth, 30);
}

TEST_F(ProgramTest, SettingsCommandsToggleTheirChecks) {
  auto& c = m_pApp->Concordance();
  EXPECT_TRUE(c.IsChecked(ids::kAutomaticFormat));
  c.OnCommand(ids::kManualFormat);
  EXPECT_FALSE(c.IsChecked(ids::kAutomaticFormat));
  c.OnCommand(ids::kFileReference);
  EXPECT_TRUE(c.IsChecked(ids::kFileReference));
  c.OnCommand(ids::kGb);
  EXPECT_TRUE(c.IsChecked(ids::kGb) && !c.IsChecked(ids::kEnglish));
  m_pPrompt->OnDialogOf<CLeftMarginDialog>([](CLeftMarginDialog& d) {
    EXPECT_EQ(d.m_nMargin, 0);
    d.m_nMargin = 7;  // "LOB corpus (8)"
    return true;
  });
  c.OnCommand(ids::kSetMargin);
  EXPECT_EQ(m_pApp->m_settings.m_nLeftMargin, 7);
  EXPECT_TRUE(c.IsChecked(ids::kSetMargin));
}

TEST_F(ProgramTest, SortCommandMakesASortedWindowAndRefusesASortedOne) {
  OpenText("to see a cat run, a cat sat, the cat ate", "/t/a.txt");
  Search("cat", "Unsorted");
  CTessaryView* unsorted = NewestView();
  m_pApp->MainFrame()->ActivateView(unsorted);
  m_pPrompt->OnDialogOf<CCollocatePositionDialog>([](CCollocatePositionDialog&) { return false; });
  m_pApp->Concordance().OnCommand(ids::kSortRight);
  WaitForRun();
  CTessaryView* sorted = NewestView();
  ASSERT_NE(sorted, unsorted);
  EXPECT_TRUE(sorted->List()->m_bSorted && sorted->List()->m_bSortRight);
  const QStringList lines = TextOf(sorted).split('\n');
  ASSERT_EQ(lines.size(), 4);
  EXPECT_EQ(lines[0].mid(57, 7), "cat ate");
  EXPECT_TRUE(lines[0].startsWith("3      "));  // lines keep the numbers they had
  EXPECT_EQ(sorted->List()->SourceOf(*sorted->List()->EntryOfLine(0)), "/t/a.txt");
  EXPECT_TRUE(FormatAt(sorted, 57 + 4).fontUnderline());

  m_pApp->MainFrame()->ActivateView(sorted);
  m_pApp->Concordance().OnCommand(ids::kSortLeft);
  EXPECT_EQ(m_pPrompt->m_arrMessages.back().left(52), "This window lists concordances which have already be");
  EXPECT_EQ(NewestView(), sorted);
}

TEST_F(ProgramTest, DirectorySearchOfAllMatchingFiles) {
  QTemporaryDir dir;
  for (auto [name, text] : {std::pair{"b.txt", "a cat\r\n"}, {"A.TXT", "the cat"}, {"c.doc", "no cat"}}) {
    QFile file(dir.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
  }
  m_pPrompt->OnDialogOf<CCodeSetDialog>([](CCodeSetDialog&) { return true; });
  m_pPrompt->OnDialogOf<CConcordanceSelectionDialog>([](CConcordanceSelectionDialog& d) {
    d.m_strSearch = "cat";
    d.m_bDirectory = true;
    d.m_strSortMode = "Unsorted";
    return true;
  });
  CFileDialogResult all;
  all.m_bAllMatching = true;
  all.m_strTypedPath = dir.filePath("b.txt");
  m_pPrompt->OnFiles(all);
  m_pApp->m_settings.m_bFileReference = true;
  m_pApp->Concordance().OnCommand(ids::kConcordanceSearch);
  WaitForRun();
  CTessaryView* list = NewestView();
  EXPECT_TRUE(list->List()->m_bFromFiles);
  const QStringList lines = TextOf(list).split('\n');
  ASSERT_EQ(lines.size(), 3);
  EXPECT_TRUE(lines[0].endsWith("(" + dir.filePath("A.TXT") + ")")) << lines[0].toStdString();
  EXPECT_TRUE(lines[1].endsWith("(" + dir.filePath("b.txt") + ")"));
  EXPECT_EQ(m_pPrompt->m_arrFileRequests.back().m_strTitle, "Directory File Search");
  EXPECT_TRUE(IsFixedPitch(list->Document()->defaultFont()));
}

}  // namespace
}  // namespace tessary::test
