// The big file viewer on a sparse file of more than 4 GB (a few written stretches, the
// rest a hole of zeros, so it costs no disk): paging, the thumb, quick search and Find
// Next across the 4 GB mark, the highlight, Ctrl+F5 over its file and the context
// look-up of a line of that search.
#include <fcntl.h>
#include <unistd.h>

#include <QAction>
#include <QCoreApplication>
#include <QEventLoop>
#include <QImage>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QTimer>

#include "app/big_file_dialogs.h"
#include "app/big_file_view.h"
#include "app/command_ids.h"
#include "app/concordance_fixture.h"
#include "app/progress_dialog.h"
#include "ui/qt_text.h"

namespace tessary::test {
namespace {

constexpr std::int64_t kFourGb = std::int64_t{1} << 32;

class BigFileViewTest : public ProgramTest {
 protected:
  void TearDown() override {
    for (const std::string& path : m_arrSparse) ::unlink(path.c_str());
    ProgramTest::TearDown();
  }

  // A file of size bytes: zeros, except the stretches given (offset, text).
  std::string Sparse(const char* name, std::int64_t size, const std::vector<std::pair<std::int64_t, std::string>>& parts) {
    const std::string path = ToFsPath(m_dir.filePath(name));
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(::ftruncate(fd, size), 0);
    for (const auto& [offset, text] : parts)
      EXPECT_EQ(::pwrite(fd, text.data(), text.size(), offset), static_cast<ssize_t>(text.size()));
    ::close(fd);
    m_arrSparse.push_back(path);
    return path;
  }

  // Lines "<prefix> <n>" from first to last, each ending in CR LF.
  static std::string Lines(const std::string& prefix, int first, int last) {
    std::string text;
    for (int i = first; i <= last; ++i) text += prefix + " " + std::to_string(i) + "\r\n";
    return text;
  }

  // The big file: headed by lines, needles just before and after 4 GB, tail lines at
  // the end and a text line where the thumb's middle lands.
  std::string BigFile() {
    m_nLength = kFourGb + (16 << 20);
    m_nMiddle = 500 * (m_nLength / 1000);
    m_nNeedleOne = kFourGb - 300;
    m_nNeedleTwo = kFourGb + 200;
    std::string tail = "\n", middle = "\n";
    tail += Lines("tail", 0, 99);
    middle += Middle() + "\nnext\n";
    return Sparse("big.txt", m_nLength,
                  {{0, Lines("head", 0, 99)},
                   {m_nMiddle - 40, middle},
                   {m_nNeedleOne - 1, "\nfirst Needle before the mark\n"},
                   {m_nNeedleTwo - 1, "\nsecond NEEDLE after the mark\n"},
                   {m_nLength - std::ssize(tail), tail}});
  }

  // The line across the thumb's middle and the middle byte of the file.
  static std::string Middle() { return "the middle line of the file" + std::string(400, '.'); }

  CBigFileView& Viewer() {
    CBigFileView& viewer = *m_pApp->MainFrame()->BigFileView();
    if (!viewer.isVisible()) {
      viewer.resize(640, 400);
      viewer.show();
      QCoreApplication::processEvents();
    }
    return viewer;
  }

  void Open(const std::string& path) {
    CFileDialogResult chosen;
    chosen.m_bOk = true;
    chosen.m_arrFiles = {FromFsPath(path)};
    m_pPrompt->OnFiles(chosen);
    Viewer().OnCommand(ids::kBigFileOpen);
    QCoreApplication::processEvents();  // the window lays out its bars
  }

  void AnswerFind(const QString& text) {
    m_pPrompt->OnDialogOf<CFindStringDialog>([text](CFindStringDialog& d) {
      d.m_strText = text;
      return true;
    });
  }

  void WaitForSearch() {
    CBigFileView& viewer = Viewer();
    if (viewer.Searching()) {
      QEventLoop loop;
      QObject::connect(&viewer, &CBigFileView::SearchFinished, &loop, &QEventLoop::quit);
      QTimer::singleShot(60000, &loop, &QEventLoop::quit);
      loop.exec();
    }
    ASSERT_FALSE(viewer.Searching());
  }

  std::string TopLine() {
    const CPage page = Viewer().ReadCurrentPage();
    return page.m_arrLines.empty() ? std::string() : page.m_arrLines.front();
  }

  std::vector<std::string> m_arrSparse;
  std::int64_t m_nLength = 0, m_nMiddle = 0, m_nNeedleOne = 0, m_nNeedleTwo = 0;
};

TEST_F(BigFileViewTest, PagesToTheEndOfAFileOverFourGigabytesAndBack) {
  const std::string path = BigFile();
  Open(path);
  CBigFileView& viewer = Viewer();
  ASSERT_TRUE(viewer.HasFile());
  EXPECT_EQ(viewer.Length(), m_nLength);
  EXPECT_EQ(m_pApp->m_strBigFilePath, path);
  EXPECT_EQ(m_pApp->MainFrame()->windowTitle(), FromFsPath(path));
  EXPECT_EQ(viewer.windowTitle(), "Big file viewer");
  EXPECT_EQ(TopLine(), "head 0");

  viewer.VerticalAction(QAbstractSlider::SliderPageStepAdd);
  const std::int64_t second = viewer.Top();
  EXPECT_EQ(TopLine(), "head " + std::to_string(viewer.LinesOnPage()));
  viewer.VerticalAction(QAbstractSlider::SliderPageStepSub);
  EXPECT_EQ(viewer.Top(), 0);
  viewer.VerticalAction(QAbstractSlider::SliderSingleStepAdd);
  viewer.VerticalAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(TopLine(), "head 2");
  viewer.VerticalAction(QAbstractSlider::SliderSingleStepSub);
  EXPECT_EQ(TopLine(), "head 1");

  // Ctrl+End: the last page ends with the last line; back a page and forward again.
  QKeyEvent ctrlEnd(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
  QCoreApplication::sendEvent(viewer.Page(), &ctrlEnd);
  const std::int64_t last = viewer.Top();
  EXPECT_GT(last, kFourGb);
  const CPage page = viewer.ReadCurrentPage();
  EXPECT_EQ(page.m_arrLines[static_cast<std::size_t>(viewer.FullLinesOnPage() - 1)], "tail 99");
  EXPECT_GE(viewer.Thumb(), 999);
  viewer.VerticalAction(QAbstractSlider::SliderPageStepSub);
  EXPECT_LT(viewer.Top(), last);
  viewer.VerticalAction(QAbstractSlider::SliderPageStepSub);
  viewer.VerticalAction(QAbstractSlider::SliderPageStepAdd);
  viewer.VerticalAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(viewer.Top(), last);
  // The bar's bottom: the line holding 1000 x (length / 1000).
  viewer.VerticalAction(QAbstractSlider::SliderToMaximum);
  EXPECT_GE(viewer.Thumb(), 999);
  EXPECT_LE(viewer.Top(), 1000 * (m_nLength / 1000));
  EXPECT_GT(viewer.Top(), 1000 * (m_nLength / 1000) - 20);

  // The thumb at the middle tops the line holding 500 x (length / 1000); the thumb then
  // follows that line's start, just before.
  viewer.VerticalAction(QAbstractSlider::SliderMove, 500);
  EXPECT_EQ(TopLine(), Middle());
  EXPECT_EQ(viewer.Top(), m_nMiddle - 39);
  EXPECT_EQ(viewer.Thumb(), 499);
  EXPECT_EQ(viewer.Page()->verticalScrollBar()->value(), 499);

  // Home, as a key: the start of the file and the left edge.
  viewer.HorizontalAction(QAbstractSlider::SliderPageStepAdd);
  QKeyEvent home(QEvent::KeyPress, Qt::Key_Home, Qt::NoModifier);
  QCoreApplication::sendEvent(viewer.Page(), &home);
  EXPECT_EQ(viewer.Top(), 0);
  EXPECT_EQ(viewer.HorizontalOffset(), 0);
  EXPECT_NE(second, 0);

  // The go-to box: a percentage and an offset past 4 GB; nonsense is told and asked again.
  m_pPrompt->OnDialogOf<CGoToDialog>([](CGoToDialog& d) {
    d.m_strWhere = "50%";
    return true;
  });
  viewer.OnCommand(ids::kBigFileGoTo);
  EXPECT_EQ(TopLine(), Middle());
  m_pPrompt->OnDialogOf<CGoToDialog>([](CGoToDialog& d) {
    d.m_strWhere = "four gigabytes";
    return true;
  });
  m_pPrompt->OnDialogOf<CGoToDialog>([this](CGoToDialog& d) {
    d.m_strWhere = QString::number(m_nNeedleTwo + 3);
    return true;
  });
  viewer.OnCommand(ids::kBigFileGoTo);
  EXPECT_EQ(viewer.Top(), m_nNeedleTwo);
  EXPECT_EQ(m_pPrompt->m_arrCaptions.back(), "Go to");
}

TEST_F(BigFileViewTest, QuickSearchAndFindNextCrossTheFourGigabyteMark) {
  Open(BigFile());
  CBigFileView& viewer = Viewer();
  viewer.GoToOffset(kFourGb - (1 << 20));
  AnswerFind("needle");
  viewer.OnCommand(ids::kBigFileFind);
  WaitForSearch();
  EXPECT_EQ(viewer.Top(), m_nNeedleOne);
  EXPECT_EQ(TopLine(), "first Needle before the mark");
  EXPECT_EQ(m_pApp->MainFrame()->windowTitle(),
            QStringLiteral("big.txt : search string < needle > at position %1").arg(m_nNeedleOne + 29));
  EXPECT_EQ(viewer.MarkedColumns(0, TopLine()), std::vector<std::size_t>{6});

  // F3 through its shortcut: the next line that holds it, past the mark.
  viewer.UpdateCommandStates();
  viewer.Action(ids::kBigFileFindNext)->trigger();
  WaitForSearch();
  EXPECT_EQ(viewer.Top(), m_nNeedleTwo);
  EXPECT_EQ(TopLine(), "second NEEDLE after the mark");
  // No further match: told, and the page goes back to the start of the file.
  viewer.OnCommand(ids::kBigFileFindNext);
  WaitForSearch();
  EXPECT_EQ(m_pPrompt->m_arrMessages.back(), "No match found for search string < needle >");
  EXPECT_EQ(m_pPrompt->m_arrCaptions.back(), "Quick Search");
  EXPECT_EQ(viewer.Top(), 0);
}

TEST_F(BigFileViewTest, ALongSearchShowsProgressAndStopsWhereThePageWas) {
  Open(BigFile());
  CBigFileView& viewer = Viewer();
  viewer.m_nProgressDelayMs = 0;
  viewer.GoToOffset(1 << 20);
  const std::int64_t top = viewer.Top();
  AnswerFind("never there");
  viewer.OnCommand(ids::kBigFileFind);
  ASSERT_TRUE(viewer.Searching());
  // The window answers while the worker reads: the dialog comes, and its button stops.
  EXPECT_FALSE(viewer.CommandEnabled(ids::kBigFileFind));
  QEventLoop loop;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (viewer.SearchProgress() && viewer.SearchProgress()->isVisible()) loop.quit();
  });
  poll.start(5);
  QTimer::singleShot(20000, &loop, &QEventLoop::quit);
  loop.exec();
  ASSERT_TRUE(viewer.SearchProgress());
  EXPECT_EQ(viewer.SearchProgress()->windowTitle(), "Quick Search");
  viewer.SearchProgress()->StopButton()->click();
  WaitForSearch();
  EXPECT_EQ(viewer.Top(), top);
  EXPECT_TRUE(m_pPrompt->m_arrMessages.isEmpty());
  EXPECT_EQ(m_pApp->MainFrame()->windowTitle(), FromFsPath(m_arrSparse.front()));
}

TEST_F(BigFileViewTest, HighlightMarksOverlappingInstancesUntilF4TurnsItOff) {
  Open(Sparse("small.txt", 40, {{0, "xAAa and aa\nnone\n"}}));
  CBigFileView& viewer = Viewer();
  AnswerFind("aa");
  viewer.OnCommand(ids::kBigFileHighlight);
  EXPECT_TRUE(viewer.HighlightAll());
  EXPECT_TRUE(viewer.Action(ids::kBigFileHighlight)->isChecked());
  EXPECT_EQ(viewer.MarkedColumns(0, "xAAa and aa"), (std::vector<std::size_t>{1, 2, 9}));
  EXPECT_TRUE(viewer.MarkedColumns(1, "none").empty());
  // Drawn white on blue at the instances.
  const QImage image = viewer.Page()->viewport()->grab().toImage();
  int blue = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) blue += image.pixelColor(x, y) == QColor(Qt::blue);
  EXPECT_GT(blue, 0);
  viewer.OnCommand(ids::kBigFileHighlight);
  EXPECT_FALSE(viewer.HighlightAll());
  EXPECT_FALSE(viewer.Action(ids::kBigFileHighlight)->isChecked());
  EXPECT_TRUE(viewer.MarkedColumns(0, "xAAa and aa").empty());
}

TEST_F(BigFileViewTest, LongLinesEmptyFilesAndMissingFilesAreShownSafely) {
  CBigFileView& viewer = Viewer();
  // Without a file: the commands say so.
  viewer.OnCommand(ids::kBigFileFind);
  viewer.OnCommand(ids::kBigFileHighlight);
  EXPECT_EQ(m_pPrompt->m_arrMessages, (QStringList{"No file is open!", "No file is open!"}));
  EXPECT_EQ(m_pPrompt->m_arrCaptions.back(), "No file");

  // A line of 1100 columns is three display lines; moving up over it lands on each.
  const std::string longLine(1100, 'w');
  Open(Sparse("long.txt", 1200, {{0, "first\n" + longLine + "\nlast\n"}}));
  CPage page = viewer.ReadCurrentPage();
  ASSERT_GE(page.m_arrLines.size(), 5u);
  EXPECT_EQ(page.m_arrLines[1].size(), 512u);
  EXPECT_EQ(page.m_arrLines[3].size(), 76u);
  EXPECT_EQ(page.m_arrLines[4], "last");
  viewer.ScrollLines(4);
  EXPECT_EQ(TopLine(), "last");
  viewer.ScrollLines(-2);
  EXPECT_EQ(TopLine().size(), 512u);
  EXPECT_EQ(viewer.Top(), 6 + 512);
  for (int i = 0; i < 60; ++i) viewer.HorizontalAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(viewer.HorizontalOffset(), 512);

  // An empty file: every move stays at 0.
  Open(Sparse("empty.txt", 0, {}));
  for (int action : {QAbstractSlider::SliderPageStepAdd, QAbstractSlider::SliderToMaximum,
                     QAbstractSlider::SliderSingleStepAdd, QAbstractSlider::SliderPageStepSub}) {
    viewer.VerticalAction(action);
    EXPECT_EQ(viewer.Top(), 0);
    EXPECT_EQ(viewer.Thumb(), 0);
  }
  viewer.GoToEnd();
  EXPECT_EQ(viewer.Top(), 0);

  // A file that cannot be opened leaves the viewer without one.
  Open(ToFsPath(m_dir.filePath("missing.txt")));
  EXPECT_FALSE(viewer.HasFile());
  EXPECT_EQ(m_pPrompt->m_arrCaptions.back(), "File Open Error");
  EXPECT_TRUE(m_pApp->m_strBigFilePath.empty());
}

TEST_F(BigFileViewTest, TheMenuShowsHidesAndReachesTheLanguageCommands) {
  CMainFrame& frame = *m_pApp->MainFrame();
  frame.OnCommand(ids::kShowBigFileViewer);
  CBigFileView& viewer = *frame.BigFileView();
  EXPECT_TRUE(viewer.isVisible());
  EXPECT_FALSE(viewer.windowFlags() & Qt::WindowCloseButtonHint);
  frame.OnCommand(ids::kHideBigFileViewer);
  EXPECT_FALSE(viewer.isVisible());
  // Japanese, through the viewer's menu, is a language of its own.
  viewer.Action(ids::kJapanese)->trigger();
  EXPECT_EQ(m_pApp->m_settings.m_language, TextLanguageKind::kJapanese);
  viewer.UpdateCommandStates();
  EXPECT_TRUE(viewer.Action(ids::kJapanese)->isChecked());
  EXPECT_FALSE(viewer.Action(ids::kBig5)->isChecked());
  viewer.Action(ids::kEnglish)->trigger();
  EXPECT_EQ(m_pApp->m_settings.m_language, TextLanguageKind::kCodePage);
  // Every shortcut of the viewer is its own: none is taken twice.
  QList<QKeySequence> keys;
  for (QAction* action : viewer.actions())
    for (const QKeySequence& key : action->shortcuts()) {
      EXPECT_FALSE(keys.contains(key)) << key.toString().toStdString();
      keys << key;
    }
  EXPECT_TRUE(keys.contains(QKeySequence("Ctrl+F5")));

  // Close file closes and hides; the lines copied are the selected ones.
  Open(Sparse("copy.txt", 30, {{0, "one\ntwo\nthree\n"}}));
  viewer.SelectLines(1, 2);
  EXPECT_EQ(viewer.SelectedText(), "two\nthree\n");
  viewer.ScrollLines(1);
  EXPECT_EQ(viewer.Selection().first, -1);
  viewer.OnCommand(ids::kBigFileCloseFile);
  EXPECT_FALSE(viewer.HasFile());
  EXPECT_FALSE(viewer.isVisible());
  EXPECT_TRUE(m_pApp->m_strBigFilePath.empty());
}

TEST_F(BigFileViewTest, CtrlF5SearchesTheViewersFileAndTheContextLandsOnTheLine) {
  Open(BigFile());
  CBigFileView& viewer = Viewer();
  m_pPrompt->OnDialogOf<CConcordanceSelectionDialog>([](CConcordanceSelectionDialog& d) {
    d.m_strSearch = "NEEDLE";
    d.m_bDirectory = false;
    d.m_strSortMode = "Unsorted";
    d.m_nMatchMode = 2;
    return true;
  });
  viewer.UpdateCommandStates();
  viewer.Action(ids::kBigFileSearch)->trigger();
  WaitForRun();
  CTessaryView* list = NewestView();
  ASSERT_TRUE(list && list->List());
  ASSERT_EQ(list->LineCount(), 2);
  EXPECT_EQ(list->List()->m_arrEntries[0].m_nPosition, m_nNeedleOne + 6);
  EXPECT_EQ(list->List()->m_arrEntries[1].m_nPosition, m_nNeedleTwo + 7);

  // The right button on the line: the viewer at the line, its keyword marked.
  viewer.GoToOffset(0);
  viewer.hide();
  QTextCursor second(list->Document());
  second.movePosition(QTextCursor::NextBlock);
  list->SetTextCursor(second);
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::RightButton, Qt::RightButton,
                    Qt::NoModifier);
  QCoreApplication::sendEvent(list->Editor()->viewport(), &press);
  WaitForSearch();
  EXPECT_TRUE(viewer.isVisible());
  EXPECT_EQ(viewer.windowTitle(), QStringLiteral("Context for string / NEEDLE / at position %1").arg(m_nNeedleTwo + 7));
  EXPECT_EQ(viewer.Top(), m_nNeedleTwo);
  EXPECT_EQ(viewer.MarkedColumns(0, TopLine()), std::vector<std::size_t>{7});
}

}  // namespace
}  // namespace tessary::test
