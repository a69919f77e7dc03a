#pragma once
// The program side of the export commands: "Save as HTML", the word-list comparison
// report, the concordance database (save, append, view). Each takes the active
// window's text a slice at a time, does the core work on a worker thread, and on an
// error says so and ends only the command.
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <functional>
#include <memory>

class QWidget;

namespace tessary {

class CBackgroundTask;
class CProgressDialog;
class CTessaryApp;
class CTessaryDoc;
class CTextSnapshot;

class CExportController : public QObject {
  Q_OBJECT
 public:
  explicit CExportController(CTessaryApp& app);
  ~CExportController() override;

  bool Handles(int id) const;
  void OnCommand(int id);
  bool IsEnabled(int id) const;

  bool Running() const { return m_pTask != nullptr || m_pSnapshot != nullptr; }
  // The program ends: the worker is stopped and waited for, nothing is written after.
  void AbandonRunning();

  // Tests: pages are handed here instead of to the desktop's browser.
  std::function<void(const QUrl&)> m_fnOpenUrl;
  // Tests: the progress dialog as it opens (UI thread).
  std::function<void(QWidget* dialog)> m_fnProgressShown;
  // Tests: called on the worker thread before the report's text is compared.
  std::function<void()> m_fnWorkerHook;

 signals:
  // A command's run has ended, whatever its outcome.
  void RunEnded();

 private:
  void SaveAsHtml();
  void WordListReport();
  void SaveToDatabase(bool bAppend);
  void OpenDatabaseView();
  // "Unique words view" (512): the table UniqueWords of a chosen database.
  void OpenUniqueWordsView();
  void OpenPage(const QString& path);
  // Takes doc's text, then runs work on the worker thread, then done on the UI thread.
  void Run(CTessaryDoc* doc, std::function<void(const QString& text)> work, std::function<void()> done);
  void EndRun();

  CTessaryApp& m_app;
  std::unique_ptr<CTextSnapshot> m_pSnapshot;
  std::unique_ptr<CBackgroundTask> m_pTask;
  QPointer<CProgressDialog> m_pProgress;
};

}  // namespace tessary
