#include "app/tessary_app.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QMdiSubWindow>
#include <QPrinter>
#include <QScreen>
#include <QSettings>
#include <QTextDocument>
#include <QTimer>
#include <algorithm>
#include <iterator>
#include <optional>

#include "app/app_dialogs.h"
#include "app/app_editor_host.h"
#include "app/browser_controller.h"
#include "app/concordance_controller.h"
#include "app/context_lookup.h"
#include "app/export_controller.h"
#include "app/encoding_controller.h"
#include "app/intro_window.h"
#include "app/list_menu.h"
#include "app/main_frame.h"
#include "app/single_instance.h"
#include "app/stats_controller.h"
#include "app/analysis_controller.h"
#include "editor/editor_dialogs.h"
#include "editor/printing.h"
#include "editor/tessary_doc.h"
#include "editor/tessary_view.h"
#include "engine/codepage.h"
#include "export/encodings.h"
#include "ui/prompt.h"
#include "ui/screen_fit.h"

namespace tessary {

namespace {

CTessaryApp* g_pApp = nullptr;

constexpr int kMinFrameExtent = 10;  // pixels a stored frame must keep on the screen

// Two names of one file: the same file when both exist, else the same absolute path.
bool SamePath(const QString& a, const QString& b) {
  if (a.isEmpty() || b.isEmpty()) return false;
  const QFileInfo fa(a), fb(b);
  if (fa.exists() && fb.exists()) return fa.canonicalFilePath() == fb.canonicalFilePath();
  return fa.absoluteFilePath() == fb.absoluteFilePath();
}

QByteArray FourInts(int a, int b, int c, int d) {
  QByteArray bytes;
  QDataStream out(&bytes, QIODevice::WriteOnly);
  out.setByteOrder(QDataStream::LittleEndian);
  out << qint32(a) << qint32(b) << qint32(c) << qint32(d);
  return bytes;
}

bool ReadFourInts(const QByteArray& bytes, qint32 (&v)[4]) {
  if (bytes.size() != 16) return false;
  QDataStream in(bytes);
  in.setByteOrder(QDataStream::LittleEndian);
  in >> v[0] >> v[1] >> v[2] >> v[3];
  return in.status() == QDataStream::Ok;
}

QRect ScreenRect() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->virtualGeometry() : QRect();
}

}  // namespace

// ---- Command line and stored values ----

CCommandLine ParseCommandLine(const QStringList& args) {
  CCommandLine cmd;
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& arg = args[i];
    if (arg == "/t" || arg == "-t") {
      cmd.m_bPlainText = true;
    } else if (arg == "/p" || arg == "-p") {
      cmd.m_bPrint = true;
    } else if (arg == "/pt" || arg == "-pt") {
      cmd.m_bPrintTo = true;
      cmd.m_strFile = args.value(i + 1);
      cmd.m_strPrinter = args.value(i + 2);
      cmd.m_strDriver = args.value(i + 3);
      cmd.m_strPort = args.value(i + 4);
      i += 4;
    } else if (cmd.m_strFile.isEmpty()) {
      // Anything else names the file, a path starting with '/' included.
      cmd.m_strFile = arg;
    }
  }
  return cmd;
}

QByteArray FrameRectToBytes(const QRect& rc) {
  if (rc.isNull()) return FourInts(0, 0, 0, 0);
  return FourInts(rc.left(), rc.top(), rc.left() + rc.width(), rc.top() + rc.height());
}

QRect FrameRectFromBytes(const QByteArray& bytes) {
  qint32 v[4];
  if (!ReadFourInts(bytes, v) || v[2] <= v[0] || v[3] <= v[1]) return QRect();
  return QRect(v[0], v[1], v[2] - v[0], v[3] - v[1]);
}

QByteArray MarginsToBytes(const QRect& rc) { return FourInts(rc.x(), rc.y(), rc.width(), rc.height()); }

QRect MarginsFromBytes(const QByteArray& bytes, const QRect& fallback) {
  qint32 v[4];
  return ReadFourInts(bytes, v) ? QRect(v[0], v[1], v[2], v[3]) : fallback;
}

QRect ValidateFrameRect(const QRect& rc, const QRect& screen) {
  const QRect visible = rc.intersected(screen);
  if (visible.width() < kMinFrameExtent || visible.height() < kMinFrameExtent) return QRect();
  return visible;
}

int DefaultUnits() { return QLocale().measurementSystem() == QLocale::MetricSystem ? 1 : 0; }

// ---- Life of the application ----

CTessaryApp::CTessaryApp(std::unique_ptr<IPrompt> prompt, const QString& settingsPath)
    : m_pPrompt(std::move(prompt)),
      m_strSettingsPath(settingsPath),
      m_pEditorHost(std::make_unique<CAppEditorHost>(*this)),
      m_pConcordance(std::make_unique<CConcordanceController>(*this)),
      m_pStats(std::make_unique<CStatsController>(*this)),
      m_pAnalysis(std::make_unique<CAnalysisController>(*this)),
      m_pContext(std::make_unique<CContextLookup>(*this)),
      m_pExports(std::make_unique<CExportController>(*this)),
      m_pEncoding(std::make_unique<CEncodingController>(*this)),
      m_pBrowser(std::make_unique<CBrowserController>(*this)) {
  g_pApp = this;
  new CScreenKeeper(this);  // every window of the program opens on the screen
  SetEditorHost(m_pEditorHost.get());
  m_options.m_nUnits = DefaultUnits();
}

CTessaryApp::~CTessaryApp() {
  // A run still going is stopped and its worker waited for before anything it shows goes.
  if (m_pConcordance) m_pConcordance->AbandonRunning();
  if (m_pStats) m_pStats->AbandonRunning();
  if (m_pAnalysis) m_pAnalysis->AbandonRunning();
  if (m_pExports) m_pExports->AbandonRunning();
  // The frame goes first: its windows' views still reach their documents as they go.
  CMainFrame* frame = m_pFrame;
  m_pFrame = nullptr;
  delete frame;
  for (CTessaryDoc* doc : std::vector<CTessaryDoc*>(m_arrDocuments)) delete doc;
  m_arrDocuments.clear();
  if (g_pApp == this) g_pApp = nullptr;
  if (EditorHost() == m_pEditorHost.get()) SetEditorHost(nullptr);
}

CTessaryApp* CTessaryApp::Instance() { return g_pApp; }

bool CTessaryApp::InitInstance(const QStringList& args, bool bShowFrame) {
  const CCommandLine cmd = ParseCommandLine(args);
  m_bForcePlainText = cmd.m_bPlainText;
  const QString file = cmd.m_strFile.isEmpty() ? QString() : QFileInfo(cmd.m_strFile).absoluteFilePath();
  // A running instance that shows the file has come forward; this one ends.
  if (!file.isEmpty() && AskRunningInstance(file)) return false;

  LoadOptions();
  StartOpenServer();

  m_pFrame = new CMainFrame(*this);
  m_pPrompt->SetParent(m_pFrame);
  m_pBrowser->CreateWindow(m_pFrame);
  LoadBarLayouts();
  // A stored rectangle is used only when both corners lie on the display.
  const QRect& rc = m_options.m_rcFrame;
  const QRect screen = ScreenRect();
  if (!rc.isEmpty() && screen.contains(rc.topLeft()) && screen.contains(rc.bottomRight())) m_pFrame->setGeometry(rc);

  // Said before the intro window would stand over the message.
  if (!file.isEmpty() && !QFileInfo::exists(file)) {
    m_strStartFailure =
        QStringLiteral("Cannot open %1: the file does not exist.").arg(QDir::toNativeSeparators(file));
    Prompt().Message(m_strStartFailure, QStringLiteral("Tessary"), QMessageBox::Warning);
    return false;
  }

  QPointer<CIntroWindow> intro;
  if (bShowFrame) {
    intro = new CIntroWindow(m_pFrame);
    intro->ShowOver(m_pFrame);
  }

  if (!file.isEmpty()) {
    CTessaryDoc* doc = OpenDocumentFile(file);
    if (!doc) {
      m_strStartFailure = QStringLiteral("Cannot open %1.").arg(QDir::toNativeSeparators(file));
      return false;
    }
    // The print forms print the file and end, as a shell's print verb expects.
    if (cmd.m_bPrint || cmd.m_bPrintTo) {
      PrintFromCommandLine(doc, cmd);
      return false;
    }
  } else {
    OnFileNew();
  }

  if (bShowFrame) {
    if (m_options.m_bMaximized)
      m_pFrame->showMaximized();
    else
      m_pFrame->show();
    if (intro) intro->ShowOver(m_pFrame);
  }
  m_bPromptForType = true;
  return true;
}

void CTessaryApp::ExitInstance() {
  SaveOptions();
  delete m_pServer;
  m_pServer = nullptr;
}

// ---- Options ----

std::unique_ptr<QSettings> CTessaryApp::OpenSettings() const {
  if (!m_strSettingsPath.isEmpty()) return std::make_unique<QSettings>(m_strSettingsPath, QSettings::IniFormat);
  return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, "Tessary", "Tessary");
}

void CTessaryApp::LoadOptions() {
  // Values that can't be read leave their defaults.
  const auto settings = OpenSettings();
  settings->beginGroup("Options");
  bool ok = false;
  const int nWordSel = settings->value("WordSel").toInt(&ok);
  m_options.m_bWordSel = ok ? nWordSel != 0 : true;
  const int nUnits = settings->value("Units").toInt(&ok);
  m_options.m_nUnits = ok && nUnits >= 0 && nUnits <= 6 ? nUnits : DefaultUnits();
  m_options.m_bMaximized = settings->value("Maximized").toInt() != 0;
  m_options.m_rcFrame = ValidateFrameRect(FrameRectFromBytes(settings->value("FrameRect").toByteArray()), ScreenRect());
  m_options.m_rcPageMargin =
      MarginsFromBytes(settings->value("PageMargin").toByteArray(), CAppOptions().m_rcPageMargin);
  // Only a page the lists offer, and that can be read, is taken back.
  const int nCodePage = settings->value("CodePage").toInt(&ok);
  if (ok && CodePageFromName(CodePageDisplayName(nCodePage)) == nCodePage &&
      CCodePage::Open(ResolveCodePage(nCodePage, kSystemAnsiCodePage)))
    SetCodePage(nCodePage);
  const int nEncoding = settings->value("Encoding").toInt(&ok);
  if (ok && nEncoding >= kEncodingNone && nEncoding <= kEncodingUtf8) m_nEncoding = nEncoding;
  const int nNoSpaces = settings->value("NoSpaces").toInt(&ok);
  if (ok) m_bNoSpaces = nNoSpaces != 0;
  ReadWebEndpoints(*settings, m_options.m_web);
  settings->endGroup();

  m_arrRecentFiles.clear();
  settings->beginGroup("Recent File List");
  for (int i = 1; i <= 4; ++i) {
    const QString path = settings->value(QStringLiteral("File%1").arg(i)).toString();
    if (!path.isEmpty()) m_arrRecentFiles.push_back(path);
  }
  settings->endGroup();
}

void CTessaryApp::SetCodePage(int nCodePage) {
  m_nCodePage = nCodePage;
  m_settings.m_nAnsiCodePage = ResolveCodePage(nCodePage, kSystemAnsiCodePage);
  // The Chinese and Japanese pages are searched as the double-byte sets they are, so a
  // match never starts on the second byte of a character.
  switch (nCodePage) {
    case 950: m_settings.m_language = TextLanguageKind::kBig5; break;
    case 936: m_settings.m_language = TextLanguageKind::kGb; break;
    case 932: m_settings.m_language = TextLanguageKind::kJapanese; break;
    default: m_settings.m_language = TextLanguageKind::kCodePage; break;
  }
}

void CTessaryApp::LoadBarLayouts() {
  const auto settings = OpenSettings();
  for (const QString& section : LayoutSections())
    m_pFrame->SetBarLayout(section, settings->value(section + "/Layout2").toByteArray());
}

void CTessaryApp::SaveOptions() {
  const auto settings = OpenSettings();
  if (m_pFrame) {
    settings->beginGroup("Options");
    const QRect rc = m_pFrame->isMaximized() ? m_pFrame->normalGeometry() : m_pFrame->geometry();
    settings->setValue("FrameRect", FrameRectToBytes(rc));
    settings->setValue("Maximized", m_pFrame->isMaximized() ? 1 : 0);
    settings->endGroup();
    // The bars as they stand belong to the kind last active, even when its window has
    // closed on the way out.
    m_pFrame->SaveBarLayout(m_pFrame->AppliedKind());
    for (const QString& section : LayoutSections()) {
      const QByteArray layout = m_pFrame->BarLayout(section);
      if (!layout.isEmpty()) settings->setValue(section + "/Layout2", layout);
    }
  }
  settings->beginGroup("Options");
  settings->setValue("CodePage", m_nCodePage);
  settings->setValue("Encoding", m_nEncoding);
  settings->setValue("NoSpaces", m_bNoSpaces ? 1 : 0);
  WriteWebEndpoints(*settings, m_options.m_web);
  settings->endGroup();
  settings->beginGroup("Recent File List");
  for (int i = 1; i <= 4; ++i) {
    const QString key = QStringLiteral("File%1").arg(i);
    if (i <= m_arrRecentFiles.size())
      settings->setValue(key, m_arrRecentFiles[i - 1]);
    else
      settings->remove(key);
  }
  settings->endGroup();
  settings->sync();
}

// ---- Single instance ----

bool CTessaryApp::AskRunningInstance(const QString& path) { return AskRunningInstances(InstanceDirectory(), path); }

void CTessaryApp::StartOpenServer() {
  delete m_pServer;
  m_pServer = new COpenFileServer(this);
  m_pServer->m_fnIsOpen = [this](const QString& path) { return ShowsFile(path); };
  // Without the socket this instance is just not found by later ones.
  m_pServer->Listen(InstanceDirectory());
}

bool CTessaryApp::ShowsFile(const QString& path) {
  for (CTessaryDoc* doc : m_arrDocuments) {
    if (!SamePath(doc->PathName(), path)) continue;
    if (m_pFrame) {
      if (CTessaryView* view = doc->FirstView()) m_pFrame->ActivateView(view);
      if (m_pFrame->isMinimized()) m_pFrame->showNormal();
      m_pFrame->raise();
      m_pFrame->activateWindow();
    }
    return true;
  }
  return false;
}

// ---- Documents ----

CTessaryView* CTessaryApp::CreateView(CTessaryDoc* doc) {
  auto* view = new CTessaryView(doc);
  doc->AddView(view);
  connect(view, &CTessaryView::FocusIn, this, [this](CTessaryView* v) { Concordance().OnViewFocus(v); });
  // After the status panes: a context selection that fails says so in pane 0.
  connect(view, &CTessaryView::FocusIn, this, [this](CTessaryView* v) { m_pContext->OnViewFocus(v); });
  connect(view, &CTessaryView::ContextRequested, this, [this](CTessaryView* v) { m_pContext->Request(v); });
  connect(view, &CTessaryView::ListMenuRequested, this, [this](CTessaryView* v, const QPoint& at) {
    if (m_pFrame) ShowListMenu(*m_pFrame, v, at);
  });
  connect(view, &QObject::destroyed, this, [this, doc, view] { OnViewDestroyed(doc, view); });
  if (m_pFrame) m_pFrame->AddView(view);
  // Another window of a list shows it in the list's font.
  if (doc->List()) view->Editor()->setFont(doc->Document()->defaultFont());
  return view;
}

void CTessaryApp::OnViewDestroyed(CTessaryDoc* doc, CTessaryView* view) {
  std::erase_if(m_arrPendingClose, [view](const QPointer<CTessaryView>& p) { return p.isNull() || p == view; });
  doc->RemoveView(view);
  // A document lives as long as one of its windows.
  if (!doc->Views().empty()) {
    if (m_pFrame) m_pFrame->UpdateTitles();
    return;
  }
  DetachDocument(doc);
  delete doc;
}

void CTessaryApp::DetachDocument(CTessaryDoc* doc) {
  const auto it = std::find(m_arrDocuments.begin(), m_arrDocuments.end(), doc);
  if (it == m_arrDocuments.end()) return;
  m_arrDocuments.erase(it);
  emit DocumentsChanged();
}

bool CTessaryApp::IsListed(const CTessaryDoc* doc) const {
  return std::find(m_arrDocuments.begin(), m_arrDocuments.end(), doc) != m_arrDocuments.end();
}

bool CTessaryApp::InUse(const CTessaryDoc* doc) const { return doc->m_bBusy; }

CTessaryDoc* CTessaryApp::NewListDocument() { return NewDocument(true); }

CTessaryDoc* CTessaryApp::NewDocument(bool bPlainLayout) {
  auto* doc = new CTessaryDoc(bPlainLayout, this);
  if (!doc->OnNewDocument()) {
    delete doc;
    return nullptr;
  }
  doc->SetTitle(QStringLiteral("Tessary%1").arg(m_nNextUntitled++));
  m_arrDocuments.push_back(doc);
  CreateView(doc);
  emit DocumentsChanged();
  return doc;
}

CTessaryDoc* CTessaryApp::OpenDocumentFile(const QString& path) {
  const QString abs = QFileInfo(path).absoluteFilePath();
  for (CTessaryDoc* doc : m_arrDocuments) {
    if (!SamePath(doc->PathName(), abs)) continue;
    if (m_pFrame && doc->FirstView()) m_pFrame->ActivateView(doc->FirstView());
    AddRecentFile(abs);
    return doc;
  }
  auto* doc = new CTessaryDoc(CTessaryDoc::WantsPlainLayout(abs), this);
  if (!doc->OnOpenDocument(abs)) {
    delete doc;
    return nullptr;
  }
  if (doc->PathName().isEmpty()) doc->SetPathName(abs);
  m_arrDocuments.push_back(doc);
  CreateView(doc);
  AddRecentFile(abs);
  emit DocumentsChanged();
  return doc;
}

CTessaryView* CTessaryApp::NewWindow(CTessaryDoc* doc) {
  if (!doc || !IsListed(doc)) return nullptr;
  CTessaryView* view = CreateView(doc);
  if (m_pFrame) m_pFrame->UpdateTitles();
  return view;
}

void CTessaryApp::CloseDocument(CTessaryDoc* doc) {
  if (!IsListed(doc)) return;
  DetachDocument(doc);
  const std::vector<CTessaryView*> views = doc->Views();
  if (views.empty()) {
    delete doc;
    return;
  }
  // The document goes with its last window (OnViewDestroyed).
  for (CTessaryView* view : views) {
    if (m_pFrame && m_pFrame->SubWindowOf(view))
      m_pFrame->CloseView(view);
    else
      view->deleteLater();
  }
}

bool CTessaryApp::CloseAllDocuments() {
  for (CTessaryDoc* doc : m_arrDocuments) {
    if (InUse(doc)) return false;
  }
  if (!SaveAllModified()) return false;
  for (CTessaryDoc* doc : std::vector<CTessaryDoc*>(m_arrDocuments)) CloseDocument(doc);
  return true;
}

bool CTessaryApp::SaveAllModified() {
  std::vector<CTessaryDoc*> modified;
  std::copy_if(m_arrDocuments.begin(), m_arrDocuments.end(), std::back_inserter(modified),
               [](CTessaryDoc* doc) { return doc->IsModified(); });
  // With several to ask about, one answer may settle the rest.
  const bool bOfferAll = modified.size() > 1;
  std::optional<CTessaryDoc::SaveChoice> forAll;
  for (CTessaryDoc* doc : modified) {
    const CTessaryDoc::SaveChoice choice = forAll ? *forAll : doc->AskSaveChanges(bOfferAll);
    switch (choice) {
      case CTessaryDoc::SaveChoice::kSaveAll: forAll = choice; [[fallthrough]];
      case CTessaryDoc::SaveChoice::kSave:
        if (!doc->DoSave(false)) return false;
        break;
      case CTessaryDoc::SaveChoice::kDiscardAll: forAll = choice; [[fallthrough]];
      case CTessaryDoc::SaveChoice::kDiscard: break;
      case CTessaryDoc::SaveChoice::kCancel: return false;
    }
  }
  return true;
}

bool CTessaryApp::CanCloseView(CTessaryView* view) {
  CTessaryDoc* doc = view->GetDocument();
  if (!doc || !IsListed(doc)) return true;  // its document is closing already
  if (InUse(doc)) {
    if (std::find(m_arrPendingClose.begin(), m_arrPendingClose.end(), view) == m_arrPendingClose.end())
      m_arrPendingClose.emplace_back(view);
    return false;
  }
  if (doc->Views().size() > 1) return true;
  if (!doc->SaveModified()) return false;
  DetachDocument(doc);
  return true;
}

bool CTessaryApp::QueryExit() {
  // Exit stops a running search or sort and waits for it; its window never opens.
  Concordance().AbandonRunning();
  Stats().AbandonRunning();
  Analysis().AbandonRunning();
  Exports().AbandonRunning();
  if (Busy() ||
      std::any_of(m_arrDocuments.begin(), m_arrDocuments.end(), [this](CTessaryDoc* d) { return InUse(d); })) {
    m_bExitPending = true;
    return false;
  }
  return CloseAllDocuments();
}

void CTessaryApp::RunPendingCloses() {
  if (Busy()) return;
  const auto pending = std::move(m_arrPendingClose);
  m_arrPendingClose.clear();
  for (const QPointer<CTessaryView>& view : pending) {
    if (view && m_pFrame) m_pFrame->CloseView(view);
  }
  if (m_bExitPending) {
    m_bExitPending = false;
    OnAppExit();
  }
}

// ---- Commands ----

void CTessaryApp::OnFileNew() {
  if (m_bPromptForType) {
    CNewTypeModel type;
    if (!Prompt().Exec(type)) return;
    m_bForcePlainText = false;
  }
  // Every new document starts as rich text, whichever type was chosen.
  NewDocument();
}

void CTessaryApp::OnFileOpen() {
  CFileDialogRequest request;
  request.m_strTitle = "Open";
  request.m_arrFilters = {"RTF files (*.RTF)", "Text Files (*.TXT)", "All Documents (*.*)"};
  // The entry chosen last is selected again.
  request.m_nFilterIndex = std::clamp(m_nOpenFilterIndex - 1, 0, 2);
  const CFileDialogResult result = Prompt().AskFiles(request);
  if (!result.m_bOk || result.m_arrFiles.isEmpty()) return;
  m_nOpenFilterIndex = result.m_nFilterIndex + 1;
  OpenDocumentFile(result.m_arrFiles.front());
}

void CTessaryApp::OnFileClose() {
  CTessaryView* view = m_pFrame ? m_pFrame->ActiveView() : nullptr;
  if (!view) return;
  CTessaryDoc* doc = view->GetDocument();
  if (InUse(doc)) {
    for (CTessaryView* v : doc->Views()) m_arrPendingClose.emplace_back(v);
    return;
  }
  if (doc->SaveModified()) CloseDocument(doc);
}

void CTessaryApp::OnFilePrintSetup() {
  CPrintSetupDialog dialog(EditorPrinter());
  if (Prompt().Exec(dialog)) CPrinterNotifier::Instance().Notify();
}

void CTessaryApp::OnAppAbout() {
  CAboutDialog about;
  Prompt().Exec(about);
}

void CTessaryApp::OnAppExit() {
  if (m_pFrame) m_pFrame->close();
}

bool CTessaryApp::PrintFromCommandLine(CTessaryDoc* doc, const CCommandLine& cmd) {
  QPrinter& printer = EditorPrinter();
  if (cmd.m_bPrintTo && !cmd.m_strPrinter.isEmpty()) printer.setPrinterName(cmd.m_strPrinter);
  if (!printer.isValid()) return false;
  PrintDocument(doc->FirstView(), &printer);
  return true;
}

// ---- Recent files ----

QStringList CTessaryApp::RecentFiles() const { return m_arrRecentFiles; }

void CTessaryApp::AddRecentFile(const QString& path) {
  const QString abs = QFileInfo(path).absoluteFilePath();
  m_arrRecentFiles.removeAll(abs);
  m_arrRecentFiles.prepend(abs);
  while (m_arrRecentFiles.size() > 4) m_arrRecentFiles.removeLast();
  emit RecentFilesChanged();
}

void CTessaryApp::RemoveRecentFile(const QString& path) {
  if (m_arrRecentFiles.removeAll(path) > 0) emit RecentFilesChanged();
}

// ---- Long operations ----

void CTessaryApp::BeginBusy() {
  if (m_nBusy++ == 0) emit BusyChanged(true);
}

void CTessaryApp::EndBusy() {
  if (m_nBusy == 0) return;
  if (--m_nBusy > 0) return;
  emit BusyChanged(false);
  // Windows whose close waited for the operation close once its call has returned.
  if (!m_arrPendingClose.empty() || m_bExitPending) QTimer::singleShot(0, this, [this] { RunPendingCloses(); });
}

}  // namespace tessary
