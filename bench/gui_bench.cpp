// Timings of the desktop program's list windows: filling a 100,000- and a
// 1,000,000-line result, scrolling to its end, key-word formatting of 9,999 lines,
// preparing a gap-fill test of 9,999 lines, opening a 50 MB plain-text file and the
// first edit of a million-line list (edit-1m). Run
// under Xvfb or the offscreen platform:
//   QT_QPA_PLATFORM=offscreen build/bin/tessary-gui-bench
#include <QAbstractScrollArea>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTableView>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <QTextDocument>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include "app/analysis_windows.h"
#include "app/big_file_view.h"
#include "app/collocates_view.h"
#include "app/command_ids.h"
#include "app/concordance_controller.h"
#include "app/concordance_dialogs.h"
#include "app/database_view.h"
#include "app/export_controller.h"
#include "app/main_frame.h"
#include "app/stats_controller.h"
#include "app/stats_dialogs.h"
#include "app/tessary_app.h"
#include "editor/list_lines_view.h"
#include "editor/tessary_doc.h"
#include "editor/tessary_view.h"
#include "export/concordance_db.h"
#include "ui/prompt.h"

namespace {

using namespace tessary;

// Answers every dialog of a search with the bench's request.
class BenchPrompt : public IPrompt {
 public:
  QString m_strKey = "lord";
  QString m_strSort = "Unsorted";
  QString m_strFile;  // searched as a picked file when set
  QElapsedTimer m_clock;  // started by a collocates or statistics case
  qint64 m_nShownMs = 0;
  int m_nRows = 0;
  qint64 m_nFrequencySortMs = 0;
  qint64 m_nAlphabeticSortMs = 0;
  QString m_strBox;  // the last message box: caption, then text
  QMessageBox::StandardButton Message(const QString& text, const QString& caption, QMessageBox::Icon,
                                      QMessageBox::StandardButtons, QMessageBox::StandardButton) override {
    m_nShownMs = m_clock.isValid() ? m_clock.elapsed() : 0;
    m_strBox = caption + " / " + text;
    std::fprintf(stderr, "message: %s\n", text.toUtf8().constData());
    return QMessageBox::Ok;
  }
  int AskNamedButtons(const QString&, const QString&, QMessageBox::Icon, const QStringList&, int, int nEscape) override {
    return nEscape;
  }
  CFileDialogResult AskFiles(const CFileDialogRequest&) override {
    CFileDialogResult result;
    result.m_bOk = !m_strFile.isEmpty();
    result.m_arrFiles = {m_strFile};
    return result;
  }
  bool Exec(CDialogModel& dialog) override {
    if (auto* words = dynamic_cast<CUniqueWordsDialog*>(&dialog)) {
      auto widget = words->CreateWidget(nullptr);
      widget->show();
      QApplication::processEvents();
      m_nShownMs = m_clock.elapsed();
      m_nRows = words->RowCount();
      QElapsedTimer sort;
      sort.start();
      words->FrequencySort();
      QApplication::processEvents();
      m_nFrequencySortMs = sort.restart();
      words->AlphabeticSort();
      QApplication::processEvents();
      m_nAlphabeticSortMs = sort.elapsed();
      return true;
    }
    if (auto* profile = dynamic_cast<CProfileStringDialog*>(&dialog)) {
      profile->m_strSearch = m_strKey;
      return true;
    }
    if (auto* collocates = dynamic_cast<CCollocatesDialog*>(&dialog)) {
      // The view as the user sees it: built, shown and painted once.
      auto widget = collocates->CreateWidget(nullptr);
      widget->show();
      QApplication::processEvents();
      m_nShownMs = m_clock.elapsed();
      m_nRows = collocates->RowCount();
      return true;
    }
    if (auto* selection = dynamic_cast<CConcordanceSelectionDialog*>(&dialog)) {
      selection->m_strSearch = m_strKey;
      selection->m_strSortMode = m_strSort;
      selection->m_bDirectory = !m_strFile.isEmpty();
    }
    return true;
  }
};

long PeakRssKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return 0;
}

// The longest time the UI thread went without serving a 1 ms timer: what a user feels
// as a frozen window.
class CStallMeter {
 public:
  CStallMeter() {
    m_timer.setInterval(1);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
      m_nLongest = std::max(m_nLongest, m_clock.restart());
    });
  }
  void Start() {
    m_nLongest = 0;
    m_clock.start();
    m_timer.start();
  }
  qint64 Stop() {
    m_timer.stop();
    return m_nLongest;
  }

 private:
  QTimer m_timer;
  QElapsedTimer m_clock;
  qint64 m_nLongest = 0;
};

// Runs the event loop until the search or sort that a command started has ended.
void WaitForRun(CTessaryApp& app) {
  CConcordanceController& controller = app.Concordance();
  if (!controller.Running()) return;
  QEventLoop loop;
  QObject::connect(&controller, &CConcordanceController::RunEnded, &loop, &QEventLoop::quit);
  loop.exec();
}

// One search of a file, from OK to the filled window: time, the longest UI stall, and
// the peak memory of the process so far.
void SearchFile(CTessaryApp& app, BenchPrompt& prompt, const QString& path, const char* key, const char* sort,
                const char* label) {
  prompt.m_strFile = path;
  prompt.m_strKey = key;
  prompt.m_strSort = sort;
  CStallMeter stalls;
  QElapsedTimer timer;
  stalls.Start();
  timer.start();
  app.Concordance().OnCommand(ids::kConcordanceSearch);
  WaitForRun(app);
  const qint64 filled = timer.elapsed();
  const qint64 longest = stalls.Stop();
  CTessaryView* view = app.Documents().back()->FirstView();

  // Scrolling to the end: the longest single pause of the event loop.
  QScrollBar* bar = view->Editor()->verticalScrollBar();
  timer.restart();
  bar->setValue(bar->maximum());
  QApplication::processEvents();
  const qint64 scrolled = timer.elapsed();
  std::printf("%s (%s): filled and shown in %lld ms, longest UI stall %lld ms, scrolled to the end in %lld ms, "
              "%ld lines in the window, peak RSS %ld MB\n",
              label, sort, static_cast<long long>(filled), static_cast<long long>(longest),
              static_cast<long long>(scrolled), static_cast<long>(view->LineCount()), PeakRssKb() / 1024);
  std::fflush(stdout);
  app.Documents().back()->SetModified(false);
  app.CloseDocument(app.Documents().back());
  prompt.m_strFile.clear();
}

// A search of a picked file holding `lines` matches.
void ListWindow(CTessaryApp& app, BenchPrompt& prompt, int lines, const char* sort) {
  QTemporaryDir dir;
  const QString path = dir.filePath("source.txt");
  {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    for (int i = 0; i < lines; ++i) file.write(QStringLiteral("And the lord spake unto the people, line %1 of it.\n").arg(i).toUtf8());
  }
  SearchFile(app, prompt, path, "lord", sort, QStringLiteral("%1 lines").arg(lines).toUtf8().constData());
}

// A search of a picked file holding `lines` matches, then the user's first key in its
// window: the lines go into the text document and the window becomes an editor.
void FirstEdit(CTessaryApp& app, BenchPrompt& prompt, int lines) {
  QTemporaryDir dir;
  const QString path = dir.filePath("source.txt");
  {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    for (int i = 0; i < lines; ++i) file.write(QStringLiteral("And the lord spake unto the people, line %1 of it.\n").arg(i).toUtf8());
  }
  prompt.m_strFile = path;
  prompt.m_strKey = "lord";
  prompt.m_strSort = "Unsorted";
  app.Concordance().OnCommand(ids::kConcordanceSearch);
  WaitForRun(app);
  prompt.m_strFile.clear();
  const long shownKb = PeakRssKb();
  CTessaryView* view = app.Documents().back()->FirstView();
  QElapsedTimer timer;
  timer.start();
  // A find that reads every line and finds nothing.
  if (CListLinesView* lines = view->LinesView()) lines->Find(QStringLiteral("no such words"), false, false);
  std::printf("find through %d lines shown from the store: %lld ms\n", lines, static_cast<long long>(timer.restart()));
  QKeyEvent key(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
  QApplication::sendEvent(view->Editor(), &key);
  QApplication::processEvents();
  std::printf("first edit of %d lines: %lld ms to an editor (%s), peak RSS %ld MB when shown, %ld MB after\n", lines,
              static_cast<long long>(timer.elapsed()),
              view->Editor() == static_cast<QAbstractScrollArea*>(view->PlainEdit()) ? "editor" : "still the lines",
              shownKb / 1024, PeakRssKb() / 1024);
  std::fflush(stdout);
  app.Documents().back()->SetModified(false);
  app.CloseDocument(app.Documents().back());
}

// A sorted search of 9,999 lines of an open document, whose window is formatted.
void Formatting(CTessaryApp& app, BenchPrompt& prompt) {
  QString text;
  for (int i = 0; i < 9999; ++i) text += QStringLiteral("And the lord spake unto the people, line %1 of it.\n").arg(i);
  CTessaryDoc* source = app.NewDocument();
  source->Document()->setPlainText(text);
  prompt.m_strSort = "Sort Right";
  prompt.m_strKey = "lord";
  QElapsedTimer timer;
  timer.start();
  app.Concordance().OnCommand(ids::kConcordanceSearch);
  WaitForRun(app);
  std::printf("search, fill and key-word formatting of 9,999 lines: %lld ms (%s)\n",
              static_cast<long long>(timer.elapsed()),
              app.Documents().back()->m_bFormatted ? "formatted" : "not formatted");
}

// Test > New over `lines` matches (an open document, or a picked file when bFile), from
// the command to the prepared test: the whole run, the preparation alone (from its
// "Formatting Concordance Strings" dialog to the end) and the longest UI stall.
void GapFillTest(CTessaryApp& app, BenchPrompt& prompt, int lines, bool bFile) {
  QTemporaryDir dir;
  QString text;
  // No line's context reaches another line's keyword.
  for (int i = 0; i < lines; ++i)
    text += QStringLiteral("And the lord spake unto the people of the land, line %1, and they went their way.\n").arg(i);
  if (bFile) {
    prompt.m_strFile = dir.filePath("source.txt");
    QFile file(prompt.m_strFile);
    file.open(QIODevice::WriteOnly);
    file.write(text.toUtf8());
  } else {
    app.NewDocument()->Document()->setPlainText(text);
  }
  text.clear();
  prompt.m_strSort = "Sort Right";
  prompt.m_strKey = "lord";
  QElapsedTimer timer;
  qint64 preparationStart = -1;
  app.Concordance().m_fnProgressShown = [&](QWidget* dialog) {
    if (preparationStart < 0 && dialog->windowTitle() == "Formatting Concordance Strings")
      preparationStart = timer.elapsed();
  };
  CStallMeter stalls;
  stalls.Start();
  timer.start();
  app.Concordance().OnCommand(ids::kTestNew);
  WaitForRun(app);
  const qint64 total = timer.elapsed();
  const qint64 longest = stalls.Stop();
  app.Concordance().m_fnProgressShown = nullptr;
  CTessaryDoc* test = app.Documents().back();
  const QString shown = test->Document()->toPlainText();
  std::printf("test of %d lines (%s): search to prepared test %lld ms, preparation %lld ms, longest UI stall %lld ms "
              "(%lld blanks, %s)\n",
              lines, bFile ? "file" : "open document", static_cast<long long>(total),
              static_cast<long long>(preparationStart < 0 ? -1 : total - preparationStart),
              static_cast<long long>(longest), static_cast<long long>(shown.count(QStringLiteral("------"))),
              shown.contains(QStringLiteral("lord")) ? "a keyword shows" : "no keyword shows");
  std::fflush(stdout);
  test->SetModified(false);
  app.CloseDocument(test);
  prompt.m_strFile.clear();
}

// A sorted list of 100,000 lines with 1,000 different collocates, then "Collocates"
// from the command to the shown view.
void Collocates(CTessaryApp& app, BenchPrompt& prompt) {
  QTemporaryDir dir;
  const QString path = dir.filePath("source.txt");
  {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    for (int i = 0; i < 100000; ++i)
      file.write(QStringLiteral("And the lord w%1x spake unto the people, line %2 of it.\n").arg(i % 1000).arg(i).toUtf8());
  }
  prompt.m_strFile = path;
  prompt.m_strKey = "lord";
  prompt.m_strSort = "Sort Right";
  app.Concordance().OnCommand(ids::kConcordanceSearch);
  WaitForRun(app);
  prompt.m_strFile.clear();
  CTessaryView* view = app.Documents().back()->FirstView();
  app.MainFrame()->ActivateView(view);
  CStallMeter stalls;
  stalls.Start();
  prompt.m_clock.start();
  app.Concordance().OnCommand(ids::kCollocates);
  WaitForRun(app);
  const qint64 longest = stalls.Stop();
  std::printf("collocates of %ld sorted lines: view with %d rows shown in %lld ms, longest UI stall %lld ms\n",
              static_cast<long>(view->LineCount()), prompt.m_nRows, static_cast<long long>(prompt.m_nShownMs),
              static_cast<long long>(longest));
  app.Documents().back()->SetModified(false);
  app.CloseDocument(app.Documents().back());
}

// An unsorted list of `lines` lines, then "Sort concordances by right collocates" from
// the command to the filled new window.
void SortCommand(CTessaryApp& app, BenchPrompt& prompt, int lines) {
  QTemporaryDir dir;
  const QString path = dir.filePath("source.txt");
  {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    for (int i = 0; i < lines; ++i)
      file.write(QStringLiteral("And the lord w%1x spake unto the people, line %2 of it.\n").arg(i % 1000).arg(i).toUtf8());
  }
  prompt.m_strFile = path;
  prompt.m_strKey = "lord";
  prompt.m_strSort = "Unsorted";
  app.Concordance().OnCommand(ids::kConcordanceSearch);
  WaitForRun(app);
  prompt.m_strFile.clear();
  CTessaryView* source = app.Documents().back()->FirstView();
  app.MainFrame()->ActivateView(source);
  CStallMeter stalls;
  QElapsedTimer timer;
  stalls.Start();
  timer.start();
  app.Concordance().OnCommand(ids::kSortRight);
  WaitForRun(app);
  const qint64 sorted = timer.elapsed();
  const qint64 longest = stalls.Stop();
  CTessaryView* view = app.Documents().back()->FirstView();
  std::printf("sort right of %d lines: new window filled in %lld ms (%ld lines, %s), longest UI stall %lld ms, "
              "peak RSS %ld MB\n",
              lines, static_cast<long long>(sorted), static_cast<long>(view->LineCount()),
              view->List() && view->List()->m_bSorted ? "sorted" : "not sorted", static_cast<long long>(longest),
              PeakRssKb() / 1024);
  for (int i = 0; i < 2; ++i) {
    app.Documents().back()->SetModified(false);
    app.CloseDocument(app.Documents().back());
  }
}

// Runs the statistics command started and waits until it has ended.
void WaitForStats(CTessaryApp& app) {
  CStatsController& stats = app.Stats();
  if (!stats.Running()) return;
  QEventLoop loop;
  QObject::connect(&stats, &CStatsController::RunEnded, &loop, &QEventLoop::quit);
  loop.exec();
}

// "Directory" profile of a picked file, from the command to the result box.
void ProfileFile(CTessaryApp& app, BenchPrompt& prompt, const QString& path, const char* key) {
  prompt.m_strFile = path;
  prompt.m_strKey = key;
  CStallMeter stalls;
  stalls.Start();
  prompt.m_clock.start();
  app.Stats().OnCommand(ids::kProfileDirectory);
  WaitForStats(app);
  std::printf("profile of %s: result box in %lld ms, longest UI stall %lld ms, peak RSS %ld MB\n  %s\n",
              path.toUtf8().constData(), static_cast<long long>(prompt.m_nShownMs),
              static_cast<long long>(stalls.Stop()), PeakRssKb() / 1024, prompt.m_strBox.toUtf8().constData());
}

// Unique words of a picked file, from the command to the shown view, then both sorts.
void WordsFile(CTessaryApp& app, BenchPrompt& prompt, const QString& path) {
  prompt.m_strFile = path;
  CStallMeter stalls;
  stalls.Start();
  prompt.m_clock.start();
  app.Stats().OnCommand(ids::kUniqueDirectory);
  WaitForStats(app);
  std::printf("unique words of %s: view with %d rows shown in %lld ms, frequency sort %lld ms, alphabetic sort "
              "%lld ms, longest UI stall %lld ms, peak RSS %ld MB\n",
              path.toUtf8().constData(), prompt.m_nRows, static_cast<long long>(prompt.m_nShownMs),
              static_cast<long long>(prompt.m_nFrequencySortMs), static_cast<long long>(prompt.m_nAlphabeticSortMs),
              static_cast<long long>(stalls.Stop()), PeakRssKb() / 1024);
}

// 100,000 distinct words, each a few times, for the view's sorts.
void Words100k(CTessaryApp& app, BenchPrompt& prompt) {
  QTemporaryDir dir;
  const QString path = dir.filePath("words.txt");
  {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    QByteArray text;
    for (int i = 0; i < 100000; ++i) {
      QByteArray word = "w";
      for (int n = i; n > 0; n /= 26) word += static_cast<char>('a' + n % 26);
      for (int k = 0; k <= i % 3; ++k) text += word + (k == 2 ? "\n" : " ");
      text += '\n';
    }
    file.write(text);
  }
  WordsFile(app, prompt, path);
}

void OpenLargeText(CTessaryApp& app) {
  QTemporaryDir dir;
  const QString path = dir.filePath("large.txt");
  {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    const QByteArray line = "In the beginning God created the heaven and the earth, and the earth was without form.\n";
    for (qint64 written = 0; written < 50 * 1024 * 1024; written += line.size()) file.write(line);
  }
  QElapsedTimer timer;
  timer.start();
  CTessaryDoc* doc = app.OpenDocumentFile(path);
  QApplication::processEvents();
  std::printf("opening a 50 MB plain-text file: %lld ms (%s)\n", static_cast<long long>(timer.elapsed()),
              doc ? "opened" : "failed");
}

// "Open a concordance database" on a file of `records` records: from the command to
// the painted window, then to its last row, then sorted by keyword.
void DatabaseView(CTessaryApp& app, BenchPrompt& prompt, int records) {
  QTemporaryDir dir;
  const QString path = dir.filePath("concordances.db");
  std::vector<CConcordanceRecord> rows(static_cast<std::size_t>(records));
  for (int i = 0; i < records; ++i) {
    CConcordanceRecord& r = rows[static_cast<std::size_t>(i)];
    r.m_strKeyword = i % 3 ? "lord" : "people";
    r.m_strConcordance = QStringLiteral("And the w%1x spake unto the people, line %2 of the text, and so on and on")
                             .arg(i % 997).arg(i).toStdString();
    r.m_strFile = "/corpus/file" + std::to_string(i % 50) + ".txt";
    r.m_nPosition = i * 17;
  }
  if (!CreateConcordanceDatabase(path.toStdString(), rows)) {
    std::printf("database view: the file could not be made\n");
    return;
  }
  rows.clear();
  prompt.m_strFile = path;
  CStallMeter stalls;
  QElapsedTimer timer;
  stalls.Start();
  timer.start();
  app.MainFrame()->OnCommand(ids::kDatabaseView);
  auto* view = app.MainFrame()->findChild<CDatabaseView*>();
  QApplication::processEvents();
  const qint64 opened = timer.elapsed();
  timer.restart();
  if (view) view->Table()->scrollToBottom();
  QApplication::processEvents();
  const qint64 scrolled = timer.elapsed();
  timer.restart();
  if (view) view->Table()->sortByColumn(0, Qt::DescendingOrder);
  QApplication::processEvents();
  const qint64 sorted = timer.elapsed();
  const qint64 longest = stalls.Stop();
  prompt.m_strFile.clear();
  std::printf("database view of %d records: shown in %lld ms (%s), last row in %lld ms, sorted by keyword in %lld ms, "
              "longest UI stall %lld ms\n",
              records, static_cast<long long>(opened), view ? qPrintable(view->CountText()) : "not opened",
              static_cast<long long>(scrolled), static_cast<long long>(sorted), static_cast<long long>(longest));
  delete view;
}

// The big file viewer on a sparse 10 GB file (text at a few places, a hole of zeros
// between them): the time one page takes to paint at positions all through the file,
// and the peak memory, which must not follow the file's size.
void ViewerPaint(CTessaryApp& app) {
  const std::int64_t length = std::int64_t{10} << 30;
  const std::string path = "/tmp/tessary-viewer-bench-" + std::to_string(::getpid()) + ".txt";
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0 || ::ftruncate(fd, length) != 0) {
    std::fprintf(stderr, "viewer-paint: cannot make %s\n", path.c_str());
    return;
  }
  std::string lines;
  for (int i = 0; i < 400; ++i) lines += "a line of text in the big file, number " + std::to_string(i) + "\r\n";
  const std::int64_t places[] = {0, length / 4, length / 2, (length / 4) * 3, length - static_cast<std::int64_t>(lines.size())};
  for (std::int64_t at : places)
    if (::pwrite(fd, lines.data(), lines.size(), at) != static_cast<ssize_t>(lines.size())) std::fprintf(stderr, "write failed\n");
  ::close(fd);

  CBigFileView& viewer = *app.MainFrame()->BigFileView();
  viewer.resize(1000, 800);
  viewer.show();
  QApplication::processEvents();
  const long rssBefore = PeakRssKb();
  viewer.OpenPath(path);
  qint64 worst = 0, total = 0, worstCpu = 0;
  int pages = 0;
  QElapsedTimer clock;
  // The thread's processor time beside the wall clock: on a loaded machine the wall
  // clock also counts the time other processes had the processor.
  auto cpuUs = [] {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<qint64>(t.tv_sec) * 1000000 + t.tv_nsec / 1000;
  };
  auto paint = [&] {
    const qint64 cpu0 = cpuUs();
    clock.start();
    viewer.Page()->viewport()->repaint();
    const qint64 us = clock.nsecsElapsed() / 1000;
    worstCpu = std::max(worstCpu, cpuUs() - cpu0);
    if (qEnvironmentVariableIsSet("TESSARY_BENCH_VERBOSE"))
      std::fprintf(stderr, "  top %lld: %.2f ms\n", static_cast<long long>(viewer.Top()), us / 1000.0);
    worst = std::max(worst, us);
    total += us;
    ++pages;
  };
  // Every tenth of the file by the thumb (text and hole alike), then paging at each place.
  for (int p = 0; p <= 1000; p += 100) {
    viewer.VerticalAction(QAbstractSlider::SliderMove, p);
    paint();
  }
  for (std::int64_t at : places) {
    viewer.GoToOffset(at + 10);
    paint();
    for (int i = 0; i < 5; ++i) {
      viewer.VerticalAction(QAbstractSlider::SliderPageStepAdd);
      paint();
    }
    viewer.VerticalAction(QAbstractSlider::SliderPageStepSub);
    paint();
  }
  viewer.GoToEnd();
  paint();
  std::printf("viewer-paint: 10 GB file, %d pages of %d lines painted, worst %.2f ms (processor time %.2f ms), "
              "mean %.2f ms, peak RSS %ld KB before open, %ld KB after\n",
              pages, viewer.LinesOnPage(), worst / 1000.0, worstCpu / 1000.0, total / 1000.0 / pages, rssBefore,
              PeakRssKb());
  viewer.CloseFile();
  viewer.hide();
  ::unlink(path.c_str());
}

// The dispersion plot of 1.3 million hits (about those of "lord" in the 1 GiB corpus,
// one text) and of the same hits over 40 texts: the time one paint of the strips takes.
void DispersionPaint() {
  for (const int texts : {1, 40}) {
    CDispersionResult result;
    const std::size_t hits = 1300000;
    std::uint64_t seed = 12345;
    for (int t = 0; t < texts; ++t) {
      CDispersionStrip& strip = result.m_arrStrips.emplace_back();
      strip.m_strPath = "/bench/text-" + std::to_string(t) + ".txt";
      strip.m_nLength = 1 << 30;
      for (std::size_t h = 0; h < hits / static_cast<std::size_t>(texts); ++h) {
        seed = seed * 6364136223846793005ull + 1442695040888963407ull;
        strip.m_arrPlaces.push_back(static_cast<double>(seed >> 11) / 9007199254740992.0);
      }
      std::sort(strip.m_arrPlaces.begin(), strip.m_arrPlaces.end());
      strip.m_arrOffsets.assign(strip.m_arrPlaces.size(), 0);
      strip.m_dJuilland = 0.9;
    }
    CDispersionPlot plot(result);
    plot.resize(1200, plot.sizeHint().height());
    plot.show();
    QApplication::processEvents();
    qint64 worst = 0;
    for (int i = 0; i < 3; ++i) {
      QElapsedTimer clock;
      clock.start();
      plot.repaint();
      worst = std::max(worst, clock.nsecsElapsed() / 1000);
    }
    std::printf("dispersion-paint: %zu hits in %d text(s), worst of 3 paints %.1f ms, peak RSS %ld KB\n", hits, texts,
                worst / 1000.0, PeakRssKb());
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  QTemporaryDir settings;
  auto prompt = std::make_unique<BenchPrompt>();
  BenchPrompt& script = *prompt;
  CTessaryApp app(std::move(prompt), settings.filePath("options.ini"));
  if (!app.InitInstance({}, true)) return 1;
  // One case per run keeps the peak memory figure its own:
  //   tessary-gui-bench [format|test|test-100k|open|collocates|100k|100k-sorted|1m|db-view-1m|search FILE [KEY]|
  //                      profile FILE [KEY]|words FILE|words-100k|viewer-paint|
  //                      dispersion-paint]
  const QString which = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString("all");
  if (which == "search" && argc > 2) {
    const QByteArray key = argc > 3 ? QByteArray(argv[3]) : QByteArray("the");
    SearchFile(app, script, QString::fromLocal8Bit(argv[2]), key.constData(), "Sort Right", argv[2]);
    return 0;
  }
  if (which == "profile" && argc > 2) {
    ProfileFile(app, script, QString::fromLocal8Bit(argv[2]), argc > 3 ? argv[3] : "the");
    return 0;
  }
  if (which == "words" && argc > 2) {
    WordsFile(app, script, QString::fromLocal8Bit(argv[2]));
    return 0;
  }
  if (which == "viewer-paint") {
    ViewerPaint(app);
    return 0;
  }
  if (which == "dispersion-paint") {
    DispersionPaint();
    return 0;
  }
  if (which == "words-100k") {
    Words100k(app, script);
    return 0;
  }
  const bool all = which == "all";
  if (all || which == "format") Formatting(app, script);
  if (all || which == "test") GapFillTest(app, script, 9999, false);
  if (which == "test-100k") GapFillTest(app, script, 100000, true);
  if (all || which == "open") OpenLargeText(app);
  if (all || which == "collocates") Collocates(app, script);
  if (all || which == "100k") ListWindow(app, script, 100000, "Unsorted");
  if (all || which == "100k-sorted") ListWindow(app, script, 100000, "Sort Right");
  if (all || which == "1m") ListWindow(app, script, 1000000, "Unsorted");
  if (all || which == "sort-100k") SortCommand(app, script, 100000);
  if (which == "sort-1m") SortCommand(app, script, 1000000);
  if (which == "edit-1m") FirstEdit(app, script, 1000000);
  if (all || which == "db-view-1m") DatabaseView(app, script, 1000000);
  return 0;
}
