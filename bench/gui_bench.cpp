// Timings of the desktop program's list windows: filling a 100,000- and a
// 1,000,000-line result, scrolling to its end, key-word formatting of 9,999 lines
// and opening a 50 MB plain-text file. Run under Xvfb or the offscreen platform:
//   QT_QPA_PLATFORM=offscreen build/bin/tessary-gui-bench
#include <QAbstractScrollArea>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextDocument>
#include <cstdio>
#include <fstream>
#include <string>

#include "app/command_ids.h"
#include "app/concordance_controller.h"
#include "app/concordance_dialogs.h"
#include "app/main_frame.h"
#include "app/tessary_app.h"
#include "editor/tessary_doc.h"
#include "editor/tessary_view.h"
#include "ui/prompt.h"

namespace {

using namespace tessary;

// Answers every dialog of a search with the bench's request.
class BenchPrompt : public IPrompt {
 public:
  QString m_strKey = "lord";
  QString m_strSort = "Unsorted";
  QString m_strFile;  // searched as a picked file when set
  QMessageBox::StandardButton Message(const QString& text, const QString&, QMessageBox::Icon, QMessageBox::StandardButtons,
                                      QMessageBox::StandardButton) override {
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

// One search of a picked file holding `lines` matches; prints fill and scroll times.
void ListWindow(CTessaryApp& app, BenchPrompt& prompt, int lines, const char* sort) {
  QTemporaryDir dir;
  prompt.m_strFile = dir.filePath("source.txt");
  {
    QFile file(prompt.m_strFile);
    file.open(QIODevice::WriteOnly);
    for (int i = 0; i < lines; ++i) file.write(QStringLiteral("And the lord spake unto the people, line %1 of it.\n").arg(i).toUtf8());
  }
  prompt.m_strSort = sort;

  QElapsedTimer timer;
  timer.start();
  app.Concordance().OnCommand(ids::kConcordanceSearch);
  QApplication::processEvents();
  const qint64 filled = timer.elapsed();
  CTessaryView* view = app.Documents().back()->FirstView();

  // Scrolling to the end: the longest single pause of the event loop.
  QScrollBar* bar = view->Editor()->verticalScrollBar();
  timer.restart();
  bar->setValue(bar->maximum());
  QApplication::processEvents();
  const qint64 scrolled = timer.elapsed();
  std::printf("%9d lines (%s): filled and shown in %lld ms, scrolled to the end in %lld ms, %ld lines in the window, "
              "peak RSS %ld MB\n",
              lines, sort, static_cast<long long>(filled), static_cast<long long>(scrolled),
              static_cast<long>(view->LineCount()), PeakRssKb() / 1024);
  app.Documents().back()->SetModified(false);
  app.CloseDocument(app.Documents().back());
  prompt.m_strFile.clear();
}

void Formatting(CTessaryApp& app, BenchPrompt& prompt) {
  QString text;
  for (int i = 0; i < 9999; ++i) text += QStringLiteral("And the lord spake unto the people, line %1 of it.\n").arg(i);
  CTessaryDoc* source = app.NewDocument();
  source->Document()->setPlainText(text);
  prompt.m_strSort = "Sort Right";
  app.m_settings.m_bAutoFormat = false;
  app.Concordance().OnCommand(ids::kConcordanceSearch);
  app.m_settings.m_bAutoFormat = true;
  CTessaryView* view = app.Documents().back()->FirstView();
  // The same ranges a search formats: keyword and collocate of every line.
  std::vector<CRenderedRange> ranges;
  CFormatRange keyword;
  keyword.m_bBold = true;
  keyword.m_crColor = 0xFF00FF;
  CFormatRange collocate;
  collocate.m_bUnderline = true;
  const int lineLength = 7 + 2 * 50 + 4 + 1 + 1;
  for (int i = 0; i < 9999; ++i) {
    ranges.push_back({i * lineLength + 57, 4, keyword});
    ranges.push_back({i * lineLength + 62, 5, collocate});
  }
  QElapsedTimer timer;
  timer.start();
  app.Concordance().FormatKeywords(*view, ranges);
  std::printf("key-word formatting of 9,999 lines: %lld ms\n", static_cast<long long>(timer.elapsed()));
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

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  QTemporaryDir settings;
  auto prompt = std::make_unique<BenchPrompt>();
  BenchPrompt& script = *prompt;
  CTessaryApp app(std::move(prompt), settings.filePath("options.ini"));
  if (!app.InitInstance({}, true)) return 1;
  // One case per run keeps the peak memory figure its own: tessary-gui-bench [format|open|100k|100k-sorted|1m]
  const QString which = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString("all");
  const bool all = which == "all";
  if (all || which == "format") Formatting(app, script);
  if (all || which == "open") OpenLargeText(app);
  if (all || which == "100k") ListWindow(app, script, 100000, "Unsorted");
  if (all || which == "100k-sorted") ListWindow(app, script, 100000, "Sort Right");
  if (all || which == "1m") ListWindow(app, script, 1000000, "Unsorted");
  return 0;
}
