#pragma once
// The program side of concordance searches: the request dialogs, which build one
// request value when the user confirms; the run that searches and fills the new list
// window; the sort commands of a list; the search settings' own commands (line width,
// margin, formatting mode, file reference, languages); the status panes of a list.
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/list_operation.h"
#include "engine/search_request.h"

class QWidget;

namespace tessary {

class CListOperation;
class CTessaryApp;
class CTessaryDoc;
class CTessaryView;

// The files of a directory search or statistics run, asked for when it is confirmed.
// False when the user gave none; bAll tells "all matching files".
bool AskSearchFiles(CTessaryApp& app, bool bUnicode, std::vector<std::string>& files, bool& bAll);

class CConcordanceController : public QObject {
  Q_OBJECT
 public:
  explicit CConcordanceController(CTessaryApp& app);
  ~CConcordanceController() override;

  // The command ids handled here, and their menu states.
  bool Handles(int id) const;
  void OnCommand(int id);
  bool IsEnabled(int id) const;
  bool IsChecked(int id) const;

  // Status panes for the view that got the focus.
  void OnViewFocus(CTessaryView* view);

  // The byte search string the next request dialog starts from (as typed).
  void SetLastByteSearch(const QString& typed) { m_strLastByteSearch = typed; }

  // Runs a request built elsewhere (an analysis window's concordance of node and
  // collocate) over its own sources: its files, or the open documents as they are now.
  void RunRequest(CSearchRequest request);

  // A search or sort runs (from OK to the filled window).
  bool Running() const { return m_runs.Running(); }
  // As its stop button: lines found or shown so far stay.
  void StopRunning();
  // The program ends: the run stops, its worker is waited for, no window opens.
  void AbandonRunning();

  // Tests: called with each progress dialog as it opens (UI thread), and on the
  // worker thread before each open document of a search is read (0, 1, ...) and once
  // before its files (with the number of documents).
  std::function<void(QWidget* dialog)> m_fnProgressShown;
  std::function<void(std::size_t source)> m_fnSourceHook;
  // Tests: the chunk size of big-file searches (0: half the free memory, bounded).
  std::int64_t m_nBigFileChunkSize = 0;

 signals:
  // A run has ended, whatever its outcome.
  void RunEnded();

 private:
  void RequestConcordance();
  // "Concordance Selection": its answers go into the settings (remembered) and the
  // request; false when cancelled.
  bool AskSelection(CSearchRequest& request);
  void RequestBigFileSearch();  // big_file_request.cpp
  // Asks for the files of a directory search, takes the open documents' texts otherwise,
  // and runs the search.
  void StartSearch(CSearchRequest request);
  void SetLineWidthCommand();
  void SortCommand(bool bRight);
  // Collocates, Add Line Numbering and Concordance String on the active list window.
  void ListCommand(int id);
  bool ListCommandEnabled(int id) const;
  void StartRun(std::unique_ptr<CListOperation> run);

  CTessaryApp& m_app;
  QString m_strLastByteSearch;  // as typed, for the next request dialog
  COperationSlot m_runs;
};

}  // namespace tessary
