// Makes the help's pictures from the program itself: each scene runs real commands
// on the shipped corpus with set answers and saves the windows it shows, so the
// pictures never go stale. Usage: tessary-screenshots OUTPUT_DIR CORPUS_DIR
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <memory>

#include "app/associated_dialogs.h"
#include "app/big_file_view.h"
#include "app/collocates_view.h"
#include "app/command_ids.h"
#include "app/concordance_controller.h"
#include "app/concordance_dialogs.h"
#include "app/database_view.h"
#include "app/main_frame.h"
#include "app/stats_controller.h"
#include "app/stats_dialogs.h"
#include "app/test_dialogs.h"
#include "app/tessary_app.h"
#include "editor/tessary_doc.h"
#include "editor/tessary_view.h"
#include "ui/prompt.h"

namespace tessary {
namespace {

// Answers every question as a user pressing OK would, after the scene's own settings,
// and saves each dialog it is told to picture.
class CShotPrompt : public IPrompt {
 public:
  // The next dialog of type Model gets these settings (and its picture); dialogs of
  // other types in between are answered OK as they stand.
  template <class Model>
  void Next(std::function<void(Model&)> set, QString shot = QString()) {
    m_steps.push_back({[set](CDialogModel& model) {
                         auto* typed = dynamic_cast<Model*>(&model);
                         if (typed && set) set(*typed);
                         return typed != nullptr;
                       },
                       std::move(shot)});
  }
  void SetOutput(const QString& dir) { m_strDir = dir; }
  // A dialog a scene waited for that never came is a scene gone stale.
  void EndScene(const char* scene) {
    if (m_steps.empty()) return;
    std::fprintf(stderr, "scene %s: %zu dialog(s) never shown\n", scene, m_steps.size());
    m_nFailures += static_cast<int>(m_steps.size());
    m_steps.clear();
  }
  int Failures() const { return m_nFailures; }
  void Fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    ++m_nFailures;
  }

  QMessageBox::StandardButton Message(const QString& text, const QString&, QMessageBox::Icon,
                                      QMessageBox::StandardButtons buttons,
                                      QMessageBox::StandardButton def) override {
    std::fprintf(stderr, "message: %s\n", qPrintable(text));
    if (def != QMessageBox::NoButton) return def;
    return buttons.testFlag(QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::Yes;
  }
  int AskNamedButtons(const QString&, const QString& text, QMessageBox::Icon, const QStringList&, int nDefault,
                      int) override {
    std::fprintf(stderr, "question: %s\n", qPrintable(text));
    return nDefault;
  }
  // The next file dialog chooses path; without one, file dialogs are cancelled.
  void NextFile(const QString& path) { m_files.push_back(path); }
  CFileDialogResult AskFiles(const CFileDialogRequest&) override {
    CFileDialogResult result;
    if (m_files.empty()) return result;
    result.m_bOk = true;
    result.m_arrFiles = {m_files.front()};
    m_files.pop_front();
    return result;
  }
  bool Exec(CDialogModel& dialog) override {
    if (m_steps.empty() || !m_steps.front().m_set(dialog)) return true;
    Step step = std::move(m_steps.front());
    m_steps.pop_front();
    if (!step.m_strShot.isEmpty()) {
      std::unique_ptr<QDialog> widget = dialog.CreateWidget(nullptr);
      widget->adjustSize();
      widget->show();
      QApplication::processEvents();
      Save(*widget, step.m_strShot);
    }
    return true;
  }

  void Save(QWidget& window, const QString& name) {
    const QString path = QDir(m_strDir).filePath(name + ".png");
    if (window.grab().save(path)) {
      std::printf("%s\n", qPrintable(path));
    } else {
      std::fprintf(stderr, "could not save %s\n", qPrintable(path));
      ++m_nFailures;
    }
  }

 private:
  struct Step {
    std::function<bool(CDialogModel&)> m_set;
    QString m_strShot;
  };
  std::deque<Step> m_steps;
  std::deque<QString> m_files;
  QString m_strDir;
  int m_nFailures = 0;
};

void WaitFor(bool (*running)(CTessaryApp&), CTessaryApp& app) {
  QEventLoop loop;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (!running(app)) loop.quit();
  });
  poll.start(20);
  QTimer::singleShot(60000, &loop, &QEventLoop::quit);
  loop.exec();
  QApplication::processEvents();
}

bool Busy(CTessaryApp& app) { return app.Concordance().Running() || app.Stats().Running() || app.Busy(); }

class CScenes {
 public:
  CScenes(CTessaryApp& app, CShotPrompt& prompt, const QString& corpus)
      : m_app(app), m_prompt(prompt), m_corpus(corpus) {}

  void Run() {
    OpenCorpus();
    Scene("concordance", &CScenes::Concordance);
    Scene("collocates", &CScenes::Collocates);
    Scene("database", &CScenes::Database);
    Scene("sort left", &CScenes::SortedLeft);
    Scene("plexon", &CScenes::Plexon);
    Scene("profile", &CScenes::Profile);
    Scene("unique words", &CScenes::UniqueWords);
    Scene("gap-fill test", &CScenes::GapFill);
    Scene("big file viewer", &CScenes::Viewer);
  }

 private:
  void Scene(const char* name, void (CScenes::*scene)()) {
    (this->*scene)();
    m_prompt.EndScene(name);
  }
  CMainFrame& Frame() { return *m_app.MainFrame(); }
  void ShootFrame(const QString& name) {
    QApplication::processEvents();
    m_prompt.Save(Frame(), name);
  }
  void Command(int id) {
    Frame().OnCommand(id);
    WaitFor(Busy, m_app);
  }
  void MaximiseNewest() {
    if (QMdiSubWindow* sub = Frame().MdiArea()->currentSubWindow()) sub->showMaximized();
  }

  // The answers to "Select Code Set" (ANSI) and "Concordance Selection" for key, and the
  // pictures of the two dialogs when named.
  void AnswerSearch(const char* key, const char* sortMode, const char* codeSetShot = "",
                    const char* selectionShot = "") {
    m_prompt.Next<CCodeSetDialog>([](CCodeSetDialog& d) { d.m_bUnicode = false; }, codeSetShot);
    m_prompt.Next<CConcordanceSelectionDialog>(
        [key, sortMode](CConcordanceSelectionDialog& d) {
          d.m_strSearch = key;
          d.m_strSortMode = sortMode;
          d.m_strLineNumbers = "Yes";
        },
        selectionShot);
  }

  void OpenCorpus() {
    for (const QString& name : QDir(m_corpus).entryList({"*.txt"}, QDir::Files, QDir::Name))
      m_app.OpenDocumentFile(QDir(m_corpus).filePath(name));
    Frame().MdiArea()->tileSubWindows();
    ShootFrame("documents");
  }

  void Concordance() {
    AnswerSearch("the", "Sort Right", "code-set", "concordance-selection");
    Command(ids::kConcordanceSearch);
    MaximiseNewest();
    ShootFrame("concordance-list");
  }

  void Collocates() {
    m_prompt.Next<CCollocatesDialog>(nullptr, "collocates");
    Command(ids::kCollocates);
  }

  void Database() {
    const QString path = m_work.filePath("concordances.db");
    m_prompt.NextFile(path);
    Command(ids::kDatabaseNew);
    m_prompt.NextFile(path);
    Command(ids::kDatabaseView);
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (auto* view = qobject_cast<CDatabaseView*>(window)) {
        view->resize(760, 420);
        QApplication::processEvents();
        m_prompt.Save(*view, "database-view");
        view->close();
        return;
      }
    }
    m_prompt.Fail("scene database: no database view opened");
  }

  void SortedLeft() {
    AnswerSearch("harbour", "Sort Left");
    Command(ids::kConcordanceSearch);
    MaximiseNewest();
    ShootFrame("sorted-left");
  }

  void Plexon() {
    m_prompt.Next<CPlexonDialog>([](CPlexonDialog& d) {
                    d.m_strNode = "the";
                    d.m_strAssocWord1 = "harbour";
                    d.m_strSortMode = "Sort Right";
                  },
                  "plexon-search");
    Command(ids::kPlexonSearch);
    MaximiseNewest();
    ShootFrame("plexon-list");
  }

  void Profile() {
    m_prompt.Next<CProfileStringDialog>([](CProfileStringDialog& d) { d.m_strSearch = "the"; },
                  "profile-string");
    Command(ids::kProfileOpenFiles);
  }

  void UniqueWords() {
    m_prompt.Next<CUniqueWordsDialog>(nullptr, "unique-words");
    Command(ids::kUniqueOpenFiles);
  }

  void GapFill() {
    AnswerSearch("harbour", "Sort Right");
    // Test > New asks the search's questions itself.
    Command(ids::kTestNew);
    MaximiseNewest();
    ShootFrame("gap-fill-test");
    m_prompt.Next<CAnswerDialog>([](CAnswerDialog& d) { d.m_strAnswer = "harbour"; }, "gap-fill-answer");
    Command(ids::kTestAnswer);
  }

  void Viewer() {
    CBigFileView* viewer = Frame().BigFileView();
    if (!viewer || !viewer->OpenPath(QDir(m_corpus).filePath("harbour.txt").toStdString())) {
      return m_prompt.Fail("scene big file viewer: the viewer could not open the corpus");
    }
    viewer->resize(760, 420);
    viewer->show();
    m_prompt.Save(*viewer, "big-file-viewer");
    viewer->hide();
  }

  CTessaryApp& m_app;
  CShotPrompt& m_prompt;
  QString m_corpus;
  QTemporaryDir m_work;
};

}  // namespace
}  // namespace tessary

int main(int argc, char** argv) {
  using namespace tessary;
  if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QTemporaryDir runtime;
  ::setenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit().constData(), 1);
  QApplication application(argc, argv);
  QApplication::setApplicationName("TessaryScreenshots");
  if (argc != 3) {
    std::fprintf(stderr, "usage: tessary-screenshots OUTPUT_DIR CORPUS_DIR\n");
    return 2;
  }
  const QString output = QString::fromLocal8Bit(argv[1]);
  if (!QDir().mkpath(output)) {
    std::fprintf(stderr, "cannot create %s\n", argv[1]);
    return 1;
  }
  auto prompt = std::make_unique<CShotPrompt>();
  CShotPrompt& shots = *prompt;
  shots.SetOutput(output);
  QTemporaryDir settings;
  CTessaryApp app(std::move(prompt), settings.filePath("options.ini"));
  if (!app.InitInstance({}, false)) return 1;
  app.MainFrame()->resize(1000, 640);
  app.MainFrame()->show();
  CScenes(app, shots, QString::fromLocal8Bit(argv[2])).Run();
  for (CTessaryDoc* doc : app.Documents()) doc->SetModified(false);
  return shots.Failures() == 0 ? 0 : 1;
}
