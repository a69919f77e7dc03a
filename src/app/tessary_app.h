#pragma once
// The application object: lives for the whole run, owns the settings every command
// reads, starts the program, answers New, Open and About, and keeps the documents.
#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/web_endpoints.h"
#include "engine/search_settings.h"

class QSettings;

namespace tessary {

class CAppEditorHost;
class CMainFrame;
class CTessaryDoc;
class CTessaryView;
class CConcordanceController;
class CStatsController;
class CAnalysisController;
class CEncodingController;
class CBrowserController;
class CContextLookup;
class CExportController;
class COpenFileServer;
class IPrompt;
struct CCommandLine;

// Options kept between runs (QSettings, section "Options").
struct CAppOptions {
  bool m_bWordSel = true;
  int m_nUnits = 1;           // 0 inches, 1 centimetres (by the locale when absent)
  bool m_bMaximized = false;
  QRect m_rcFrame;            // empty: the system's default place
  // Page margins in twips as QRect(left, top, right, bottom), that is x, y, width and
  // height.
  QRect m_rcPageMargin{1800, 1440, 1800, 1440};
  CWebEndpoints m_web;  // where the Internet commands go
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
  // Why the start failed to open the file it was given ("" otherwise), for the
  // terminal; the user was told in a message already.
  const QString& StartFailure() const { return m_strStartFailure; }
  // Writes the frame rectangle, "Maximized" and the bar layouts back.
  void ExitInstance();

  CSearchSettings m_settings;   // the search settings of every search
  CAppOptions m_options;
  bool m_bForcePlainText = false;
  bool m_bPromptForType = false;
  int m_nOpenFilterIndex = 3;
  // The code-page and encoding choices, kept between runs. m_nCodePage 0 is the ANSI
  // code page; the page chosen is what byte texts are read, searched and saved in
  // (m_settings.m_nAnsiCodePage, set by SetCodePage with the language of the texts).
  static constexpr int kSystemAnsiCodePage = 1252;
  int m_nCodePage = 0;
  int m_nEncoding = 0;
  bool m_bNoSpaces = true;
  void SetCodePage(int nCodePage);
  // The file the big file viewer shows (file-system bytes; "" when none is open), which
  // "Concordance search (Ctrl + F5)" searches.
  std::string m_strBigFilePath;

  IPrompt& Prompt() { return *m_pPrompt; }
  CMainFrame* MainFrame() const { return m_pFrame; }
  CConcordanceController& Concordance() { return *m_pConcordance; }
  // The word statistics: frequency profiles and unique-word lists.
  CStatsController& Stats() { return *m_pStats; }
  // The Analysis menu: collocation strength, n-grams, keywords, dispersion.
  CAnalysisController& Analysis() { return *m_pAnalysis; }
  CEncodingController& Encoding() { return *m_pEncoding; }
  // The right mouse button's look-up of a list line's context.
  CContextLookup& ContextLookup() { return *m_pContext; }
  // HTML, the word-list report and the concordance database.
  CExportController& Exports() { return *m_pExports; }
  // The Internet commands and the browser window.
  CBrowserController& Browser() { return *m_pBrowser; }

  // Documents in creation order.
  const std::vector<CTessaryDoc*>& Documents() const { return m_arrDocuments; }
  // A new, empty document and its window (rich text unless bPlainLayout).
  CTessaryDoc* NewDocument(bool bPlainLayout = false);
  // A new, empty list window (the plain layout) for a search or sort to fill.
  CTessaryDoc* NewListDocument();
  // Opens path (or activates the window that already shows it); nullptr on failure.
  CTessaryDoc* OpenDocumentFile(const QString& path);
  // Another window on the document.
  CTessaryView* NewWindow(CTessaryDoc* doc);
  void CloseDocument(CTessaryDoc* doc);
  // Closes every document, asking to save; false when the user cancels.
  bool CloseAllDocuments();
  // Asks about every modified document (offering "Save all"/"Discard all" when there
  // are several) and saves those the user chose; false when the user cancels.
  bool SaveAllModified();

  // Commands of the application object.
  void OnFileNew();
  void OnFileOpen();
  void OnFileClose();
  void OnFilePrintSetup();
  void OnAppAbout();
  void OnAppExit();

  // Whether a document window may close now. A view of a document that a long
  // operation uses is closed later, when the operation ends. Closing the last view of
  // a document asks to save it first.
  bool CanCloseView(CTessaryView* view);
  // Whether the program may end now: every document closed after asking to save. While
  // a long operation runs, the exit waits for it to end.
  bool QueryExit();

  // Recent files (4).
  QStringList RecentFiles() const;
  void AddRecentFile(const QString& path);
  void RemoveRecentFile(const QString& path);

  // A long operation runs: commands that would start another are disabled.
  bool Busy() const { return m_nBusy > 0; }
  void BeginBusy();
  void EndBusy();

 signals:
  void BusyChanged(bool bBusy);
  void DocumentsChanged();
  void RecentFilesChanged();

 private:
  std::unique_ptr<QSettings> OpenSettings() const;
  void LoadOptions();
  void LoadBarLayouts();
  void SaveOptions();
  bool AskRunningInstance(const QString& path);
  void StartOpenServer();
  bool ShowsFile(const QString& path);
  CTessaryView* CreateView(CTessaryDoc* doc);
  void OnViewDestroyed(CTessaryDoc* doc, CTessaryView* view);
  void DetachDocument(CTessaryDoc* doc);
  bool IsListed(const CTessaryDoc* doc) const;
  bool InUse(const CTessaryDoc* doc) const;
  void RunPendingCloses();
  bool PrintFromCommandLine(CTessaryDoc* doc, const CCommandLine& cmd);

  std::unique_ptr<IPrompt> m_pPrompt;
  QString m_strSettingsPath;
  std::unique_ptr<CAppEditorHost> m_pEditorHost;  // the editor's view of this object
  CMainFrame* m_pFrame = nullptr;
  std::unique_ptr<CConcordanceController> m_pConcordance;
  std::unique_ptr<CStatsController> m_pStats;
  std::unique_ptr<CAnalysisController> m_pAnalysis;
  std::unique_ptr<CContextLookup> m_pContext;
  std::unique_ptr<CExportController> m_pExports;
  std::unique_ptr<CEncodingController> m_pEncoding;
  std::unique_ptr<CBrowserController> m_pBrowser;
  std::vector<CTessaryDoc*> m_arrDocuments;
  COpenFileServer* m_pServer = nullptr;
  QStringList m_arrRecentFiles;
  std::vector<QPointer<CTessaryView>> m_arrPendingClose;
  bool m_bExitPending = false;
  int m_nBusy = 0;
  int m_nNextUntitled = 1;
  QString m_strStartFailure;
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

// "FrameRect" and "PageMargin" are stored as four signed 32-bit integers left, top,
// right, bottom (little-endian); a frame rectangle's right and bottom lie just outside
// it. Bytes of another length give an empty rectangle (the fallback for margins).
QByteArray FrameRectToBytes(const QRect& rc);
QRect FrameRectFromBytes(const QByteArray& bytes);
QByteArray MarginsToBytes(const QRect& rc);
QRect MarginsFromBytes(const QByteArray& bytes, const QRect& fallback);
// A stored frame rectangle cut to the screen; empty when less than 10 pixels of it
// are left in either direction.
QRect ValidateFrameRect(const QRect& rc, const QRect& screen);
// The measurement unit of the page setup when none is stored: 1 (centimetres) for a
// metric locale, else 0 (inches).
int DefaultUnits();

}  // namespace tessary
