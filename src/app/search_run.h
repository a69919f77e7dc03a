#pragma once
// One concordance search in the program, from the confirmed request to the filled
// list window: the core's scan, sort and assembly run on a worker thread while the
// progress dialog shows each phase; the new window is then filled a slice at a time.
// The texts of open documents are taken when the run starts, so the user may edit or
// close them meanwhile.
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "app/list_operation.h"
#include "engine/search_request.h"

namespace tessary {

class CBackgroundTask;
class CConcordanceController;
class CListFiller;
class CProgressDialog;
class CTessaryApp;
class CTessaryDoc;
struct CSearchOutput;

// An open document's text as it stood when the search started: the run takes it from
// m_pDoc when it starts.
struct CSourceText {
  QString m_strTitle;
  std::string m_strPath;  // as the file system's bytes; empty for an untitled text
  QString m_text;
  CTessaryDoc* m_pDoc = nullptr;
};

class CSearchRun : public CFillingOperation {
  Q_OBJECT
 public:
  // bFormatAll: format whatever the list's size ("all matching files").
  CSearchRun(CTessaryApp& app, CConcordanceController& controller, CSearchRequest request,
             std::vector<CSourceText> sources, bool bFormatAll);
  ~CSearchRun() override;

  void Start() override;

 private:
  void StartWork();
  void Work();
  void OnWorkDone();
  void Fill();
  void OnFilled(bool bFilled, bool bFormatted);
  void Finish();

  CConcordanceController& m_controller;
  const CSearchRequest m_request;
  std::vector<CSourceText> m_arrSources;
  bool m_bFormatAll;
  std::unique_ptr<CSearchOutput> m_pOut;
  std::unique_ptr<CProgressDialog> m_pProgress;
  std::unique_ptr<CProgressDialog> m_pFormatProgress;
  bool m_bTestPrepared = false;
};

}  // namespace tessary
