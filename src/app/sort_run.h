#pragma once
// "Sort concordances by right/left collocates" in the program: the source window's
// text and list are taken when the command starts; keying and ordering run on a
// worker thread behind the "Concordance Sort" dialog; the new window is filled a slice
// at a time (a long unformatted list is shown from the source's lines instead).
#include <QFont>
#include <QString>
#include <memory>
#include <string>

#include "app/list_operation.h"
#include "engine/concordance_list.h"

namespace tessary {

class CBackgroundTask;
class CListLines;
class CConcordanceController;
class CListFiller;
class CProgressDialog;
class CTessaryApp;
class CTessaryDoc;
struct CSortOutcome;

class CSortRun : public CFillingOperation {
  Q_OBJECT
 public:
  CSortRun(CTessaryApp& app, CConcordanceController& controller, CTessaryDoc& source, bool bRight, int nDistance);
  ~CSortRun() override;

  void Start() override;

 private:
  void StartWork();
  void Work();
  void Sort(std::u16string text);
  void OnWorkDone();
  void OnFilled(bool bFilled, bool bFormatted);
  void Finish();

  CConcordanceController& m_controller;
  const CConcordanceList m_source;
  QString m_text;  // the source window's text when the command started
  // The source's lines: its store when it had one, else made from m_text on the worker.
  // The new window reads its lines from it in the new order.
  std::shared_ptr<const CListLines> m_pLines;
  CTessaryDoc* m_pSource;  // until its text is taken
  const QString m_strTitle;
  const QFont m_font;
  const bool m_bRight;
  const int m_nDistance;
  std::unique_ptr<CSortOutcome> m_pOutcome;
  std::string m_strError;
  std::unique_ptr<CProgressDialog> m_pProgress;
};

}  // namespace tessary
