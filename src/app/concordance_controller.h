#pragma once
// The program side of a concordance search: the request dialogs, the new window's
// dispatch, the progress dialog, filling the list window in one operation and the
// key-word formatting; plus the search settings' own commands (line width, margin,
// formatting mode, file reference, languages) and the sort commands of a list.
#include <QObject>
#include <functional>

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

  // Tests: called with each progress dialog as it opens.
  std::function<void(QWidget* dialog)> m_fnProgressShown;

 private:
  CTessaryApp& m_app;
};

}  // namespace tessary
