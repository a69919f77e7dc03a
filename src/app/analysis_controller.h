#pragma once
// The program side of the Analysis menu: collocation strength, clusters and n-grams,
// keywords and the dispersion plot, each asked for in its dialog, counted on a worker
// thread (one run at a time, with a progress dialog that can stop it) and shown in a
// window of its own; and a concordance list saved as a TSV or CSV table.
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <vector>

#include "analysis/table.h"
#include "app/analysis_dialogs.h"
#include "app/list_operation.h"

class QWidget;

namespace tessary {

class CAnalysisTableWindow;
class CTessaryApp;

class CAnalysisController : public QObject {
  Q_OBJECT
 public:
  explicit CAnalysisController(CTessaryApp& app);
  ~CAnalysisController() override;

  bool Handles(int id) const;
  void OnCommand(int id);
  bool IsEnabled(int id) const;

  bool Running() const { return m_runs.Running(); }
  void StopRunning();
  void AbandonRunning();

  // The result windows opened, oldest first (closed ones are null).
  const std::vector<QPointer<CAnalysisTableWindow>>& Windows() const { return m_arrWindows; }
  // A run's window has opened (UI thread).
  void AddWindow(CAnalysisTableWindow* window);
  // Saves the active concordance list as a table; false when nothing was written.
  bool SaveList(TableFormat format);

  // Tests: called with each progress dialog as it opens (UI thread).
  std::function<void(QWidget* dialog)> m_fnProgressShown;

 signals:
  void RunEnded();

 private:
  void Ask(CAnalysisDialog& dialog);

  CTessaryApp& m_app;
  // What the dialogs start from: the last answers of each.
  CCollocationDialog m_collocation;
  CNgramDialog m_ngrams;
  CKeywordsDialog m_keywords;
  CDispersionDialog m_dispersion;
  std::vector<QPointer<CAnalysisTableWindow>> m_arrWindows;
  COperationSlot m_runs;
};

}  // namespace tessary
