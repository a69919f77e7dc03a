#pragma once
// The program side of the word statistics: the frequency profile of a string in the
// open documents or in files, and the unique-word lists of either. It asks its
// dialogs, then starts one run at a time, during which the program is busy.
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "app/list_operation.h"

class QWidget;

namespace tessary {

class CListOperation;
class CTessaryApp;

class CStatsController : public QObject {
  Q_OBJECT
 public:
  explicit CStatsController(CTessaryApp& app);
  ~CStatsController() override;

  bool Handles(int id) const;
  void OnCommand(int id);
  bool IsEnabled(int id) const;

  bool Running() const { return m_runs.Running(); }
  void StopRunning();
  // The program ends: the run stops, its worker is waited for, nothing is shown.
  void AbandonRunning();

  // Unicode profiles: the texts have no spaces between words, so characters are
  // counted; the "Enter unicode string" dialog starts from it.
  bool m_bNoSpaces = true;

  // Tests: called with each progress dialog as it opens (UI thread).
  std::function<void(QWidget* dialog)> m_fnProgressShown;

 signals:
  void RunEnded();

 private:
  void ProfileOpenDocuments();
  void ProfileFiles();
  // "Enter search string" for a byte profile: the string in codePage, one line of at
  // most the profile's length; empty when cancelled or nothing usable was typed.
  std::string AskProfileBytes(int codePage);
  void UniqueWords(bool bFiles);
  void StartRun(std::unique_ptr<CListOperation> run);

  CTessaryApp& m_app;
  QString m_strLastProfile;  // as typed, for the next "Enter search string"
  COperationSlot m_runs;
};

}  // namespace tessary
