#pragma once
// The statistics commands' runs: the frequency profile and the unique-word list. The
// open documents' texts are taken a slice at a time, then counted with the files on a
// worker thread; the result box or the list view follows on the UI thread.
#include <QPointer>
#include <QString>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/list_operation.h"
#include "stats/profile.h"
#include "stats/unique_words.h"

namespace tessary {

class CBackgroundTask;
class CProgressDialog;
class CStatsController;
class CTessaryApp;
class CTessaryDoc;

// Where the texts of a statistics run come from: open documents, or files on disk.
struct CStatsSources {
  std::vector<CTessaryDoc*> m_arrDocs;
  std::vector<std::string> m_arrFiles;
};

// What one profile asks for, fixed when the dialogs are confirmed.
struct CProfileJob {
  bool m_bWide = false;        // 16-bit texts
  bool m_bCharacters = false;  // with m_bWide: every position, share of characters
  bool m_bWholeWords = true;   // byte texts: the boundary test
  std::string m_strKey;        // byte key in m_nCodePage
  std::u16string m_wstrKey;
  int m_nCodePage = 1252;      // byte texts' code page; the ANSI code page of 16-bit files
  QString m_strShown;          // the string as the progress dialog shows it
  bool m_bStatusBar = false;   // the open documents: the status bar tells what runs
};

class CProfileRun : public CListOperation {
  Q_OBJECT
 public:
  CProfileRun(CTessaryApp& app, CStatsController& controller, CProfileJob job, CStatsSources sources);
  ~CProfileRun() override;

  void Start() override;
  void Stop() override;
  void Abandon() override;

 private:
  void Work();
  void OnWorkDone();

  CTessaryApp& m_app;
  CStatsController& m_controller;
  CProfileJob m_job;
  CStatsSources m_sources;
  std::vector<QString> m_arrTitles;
  std::vector<QString> m_arrTexts;
  std::unique_ptr<CProgressDialog> m_pProgress;
  std::unique_ptr<CBackgroundTask> m_pTask;
  std::optional<CProfileResult> m_result;
  std::vector<std::string> m_arrSkipped;
  std::string m_strError;
  bool m_bAbandoned = false;
};

class CUniqueWordsRun : public CListOperation {
  Q_OBJECT
 public:
  CUniqueWordsRun(CTessaryApp& app, CStatsController& controller, CUniqueWordOptions options, CStatsSources sources);
  ~CUniqueWordsRun() override;

  void Start() override;
  void Stop() override;
  void Abandon() override;

 private:
  void Work();
  void OnWorkDone();

  CTessaryApp& m_app;
  CStatsController& m_controller;
  CUniqueWordOptions m_options;
  CStatsSources m_sources;
  std::vector<QString> m_arrTitles;
  std::vector<QString> m_arrTexts;
  std::unique_ptr<CProgressDialog> m_pProgress;
  std::unique_ptr<CBackgroundTask> m_pTask;
  std::unique_ptr<CUniqueWordCounter> m_pCounter;
  CUniqueWordList m_list;
  std::vector<std::string> m_arrSkipped;
  std::string m_strError;
  bool m_bAbandoned = false;
};

}  // namespace tessary
