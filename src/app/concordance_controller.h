#pragma once
// The program side of a concordance search: the request dialogs, the new window's
// dispatch, the progress dialog, filling the list window in one operation and the
// key-word formatting; plus the search settings' own commands (line width, margin,
// formatting mode, file reference, languages) and the sort commands of a list.
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "engine/assembly.h"

class QWidget;

namespace tessary {

class CTessaryApp;
class CTessaryView;

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

  // A pending request wants the next new document to become a list window (which
  // uses the plain-text layout).
  bool WantsListWindow() const;
  // Runs a pending search or sort in the new document's view.
  void DispatchNewDocument(CTessaryView* view);
  // Status panes for the view that got the focus.
  void OnViewFocus(CTessaryView* view);

  // Key-word formatting of a list window, with its own progress dialog; true when
  // it ran to the end (the window is then marked formatted).
  bool FormatKeywords(CTessaryView& view, const std::vector<CRenderedRange>& ranges);

  // Tests: called with each progress dialog as it opens.
  std::function<void(QWidget* dialog)> m_fnProgressShown;

 private:
  struct CPendingSort;
  void RequestConcordance();
  void SetLineWidthCommand();
  void SortCommand(bool bRight);
  void FillSorted(CTessaryView& view);

  CTessaryApp& m_app;
  QString m_strLastByteSearch;  // as typed, for the next request dialog
  std::unique_ptr<CPendingSort> m_pPendingSort;
};

}  // namespace tessary
