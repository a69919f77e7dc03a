#pragma once
// The application object: lives for the whole run, owns the settings every command
// reads, starts the program, answers New, Open and About, and keeps the documents.
#include <QObject>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "engine/search_settings.h"

class QLocalServer;

namespace tessary {

class CMainFrame;
class CTessaryDoc;
class CTessaryView;
class CConcordanceController;
class IPrompt;

// Options kept between runs (QSettings, section "Options").
struct CAppOptions {
  bool m_bWordSel = true;
  int m_nUnits = 1;           // 0 inches, 1 centimetres (by the locale when absent)
  bool m_bMaximized = false;
  QRect m_rcFrame;            // empty: the system's default place
  QRect m_rcPageMargin{1800, 1440, 1800, 1440};  // left, top, right, bottom in twips (as a QRect's l,t,r,b)
};

class CTessaryApp : public QObject {
  Q_OBJECT
 public:
  // prompt: the dialogs (CWidgetPrompt in the program, scripted in tests).
  // settingsPath: the options file ("" for the user's own configuration).
  CTessaryApp(std::unique_ptr<IPrompt> prompt, const QString& settingsPath = QString());
  ~CTessaryApp() override;
  static CTessaryApp* Instance();

  // Start-up: command line (without the program name), single-instance query,
  // options, main frame, the shell command. false: the process should end.
  bool InitInstance(const QStringList& args, bool bShowFrame = true);
  // Writes the frame rectangle, "Maximized" and the bar layouts back.
  void ExitInstance();

  CSearchSettings m_settings;   // the search settings of every search
  CAppOptions m_options;
  bool m_bForcePlainText = false;
  bool m_bPromptForType = false;
  bool m_bSortPending = false;
  bool m_bPendingSortRight = true;
  int m_nOpenFilterIndex = 3;

  IPrompt& Prompt() { return *m_pPrompt; }
  CMainFrame* MainFrame() const { return m_pFrame; }
  CConcordanceController& Concordance() { return *m_pConcordance; }

  // Documents in creation order.
  const std::vector<CTessaryDoc*>& Documents() const { return m_arrDocuments; }
  // A new, empty document and its window; a pending search or sort fills it.
  CTessaryDoc* NewDocument();
  // Opens path (or activates the window that already shows it); nullptr on failure.
  CTessaryDoc* OpenDocumentFile(const QString& path);
  // Another window on the document.
  CTessaryView* NewWindow(CTessaryDoc* doc);
  void CloseDocument(CTessaryDoc* doc);
  // Closes every document, asking to save; false when the user cancels.
  bool CloseAllDocuments();

  // Commands of the application object.
  void OnFileNew();
  void OnFileOpen();
  void OnAppAbout();
  void OnAppExit();

  // Recent files (4).
  QStringList RecentFiles() const;
  void AddRecentFile(const QString& path);

  // A long operation runs: commands that would start another are disabled.
  bool Busy() const { return m_nBusy > 0; }
  void BeginBusy();
  void EndBusy();

 signals:
  void BusyChanged(bool bBusy);
  void DocumentsChanged();

 private:
  void LoadOptions();
  void SaveOptions();
  bool AskRunningInstance(const QString& path);
  void StartOpenServer();

  std::unique_ptr<IPrompt> m_pPrompt;
  QString m_strSettingsPath;
  CMainFrame* m_pFrame = nullptr;
  std::unique_ptr<CConcordanceController> m_pConcordance;
  std::vector<CTessaryDoc*> m_arrDocuments;
  QLocalServer* m_pServer = nullptr;
  int m_nBusy = 0;
  int m_nNextUntitled = 1;
};

// The command-line record: the file to open, the print forms and force plain text.
struct CCommandLine {
  QString m_strFile;
  bool m_bPlainText = false;  // "/t" or "-t"
  bool m_bPrint = false;      // "/p" or "-p"
  bool m_bPrintTo = false;    // "/pt" or "-pt" FILE PRINTER DRIVER PORT
  QString m_strPrinter, m_strDriver, m_strPort;
};
CCommandLine ParseCommandLine(const QStringList& args);

}  // namespace tessary
