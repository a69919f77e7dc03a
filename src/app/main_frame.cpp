#include "app/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <algorithm>
#include <utility>

#include "app/accessible_actions.h"
#include "app/action_keys.h"
#include "app/app_icons.h"
#include "app/big_file_view.h"
#include "app/browser_controller.h"
#include "app/command_ids.h"
#include "app/command_table.h"
#include "app/concordance_controller.h"
#include "app/export_controller.h"
#include "app/encoding_controller.h"
#include "app/help_window.h"
#include "app/help_search.h"
#include "app/stats_controller.h"
#include "app/analysis_controller.h"
#include "app/tessary_app.h"
#include "editor/printing.h"
#include "editor/tessary_doc.h"
#include "editor/tessary_view.h"
#include "editor/format_bar.h"
#include "richtext/file_type.h"

namespace tessary {

namespace {

using namespace ids;

constexpr int kPane1Width = 80;
constexpr int kPane2Width = 35;

// Commands that start a long operation; none may start while another runs.
bool StartsLongOperation(int id) {
  switch (id) {
    case kConcordanceSearch: case kBigFileSearch: case kPlexonSearch: case kAssociatedWords:
    case kSetLineWidth: case kSentenceConcordances: case kTestNew: case kTestAnswer: case kCollocates:
    case kProfileOpenFiles: case kProfileDirectory: case kUniqueOpenFiles: case kUniqueDirectory:
    case kMatchWordLists: case ids::kSortRight: case ids::kSortLeft:
    case kSaveAsHtml: case kWordListId: case kDatabaseNew: case kDatabaseAppend:
    case kCollocationStrength: case kClustersNgrams: case kKeywordList: case kDispersionPlot:
      return true;
    default:
      return false;
  }
}

bool IsCheckable(int id) {
  switch (id) {
    case kViewToolbar: case kViewStatusBar: case kViewFormatBar: case kAutomaticFormat: case kManualFormat:
    case kFileReference: case kSetMargin: case kWrapNone: case kWrapToWindow: case kInsertBullet:
    case kEnglish: case kBig5: case kGb: case kJapanese:
      return true;
    default:
      return false;
  }
}

bool IsRecentFile(int id) { return id >= kFileMru1 && id < kFileMru1 + kRecentFileCount; }

bool HasSelection(const CTessaryView* view) { return view && view->HasSelection(); }

bool CanPaste(const CTessaryView* view) {
  if (!view || view->IsReadOnly()) return false;
  if (const QTextEdit* rich = view->RichEdit()) return rich->canPaste();
  if (const QPlainTextEdit* plain = view->PlainEdit()) return plain->canPaste();
  return false;
}

// Runs f on the view's editor widget, whichever kind it is; a list window's lines go
// into its text first.
template <class F>
void OnEditor(CTessaryView* view, F f) {
  if (!view) return;
  view->EnsureEditor();
  if (QTextEdit* rich = view->RichEdit())
    f(*rich);
  else if (QPlainTextEdit* plain = view->PlainEdit())
    f(*plain);
}

QString MenuTitle(const QString& path) { return path.section('|', -1); }

}  // namespace

QString LayoutSection(int nDocType) {
  switch (nDocType) {
    case kTypeText: case kTypeTextDos: return "Text";
    case kTypeRtf: return "RTF";
    case kTypeWord6Converted: case kTypeWord6: return "Word6";
    case kTypeWrite: return "Write";
    case kTypeEmbedded: return "IP";
    default: return QString();
  }
}

const QStringList& LayoutSections() {
  static const QStringList sections = {"Text", "RTF", "Word6", "Write", "IP"};
  return sections;
}

// ---- Creation ----

CMainFrame::CMainFrame(CTessaryApp& app)
    : QMainWindow(nullptr), m_app(app), m_pMdi(new QMdiArea(this)), m_pUpdateTimer(new QTimer(this)) {
  setObjectName("MainFrame");
  setWindowTitle("Tessary");
  setWindowIcon(AppIcon());
  setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowTabbedDocks);
  m_pMdi->setViewMode(QMdiArea::SubWindowView);
  // Closing a window goes back to the one used before it, as Ctrl+F6 does.
  m_pMdi->setActivationOrder(QMdiArea::ActivationHistoryOrder);
  m_pMdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  m_pMdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(m_pMdi);
  setAcceptDrops(true);

  CreateActions();
  CreateBars();
  CreateMenus();
  MakeCommandsAccessible(*this);
  m_defaultLayout = saveState();

  m_pUpdateTimer->setSingleShot(true);
  m_pUpdateTimer->setInterval(0);
  connect(m_pUpdateTimer, &QTimer::timeout, this, &CMainFrame::UpdateCommandStates);
  connect(m_pMdi, &QMdiArea::subWindowActivated, this, &CMainFrame::OnSubWindowActivated);
  connect(&m_app, &CTessaryApp::BusyChanged, this, &CMainFrame::UpdateCommandStates);
  connect(&m_app, &CTessaryApp::DocumentsChanged, this, &CMainFrame::UpdateCommandStates);
  connect(&m_app, &CTessaryApp::RecentFilesChanged, this, &CMainFrame::UpdateRecentFiles);
  connect(qApp, &QApplication::focusChanged, this, &CMainFrame::ScheduleUpdate);
  resize(900, 650);
  m_pBigFileView = new CBigFileView(m_app, *this);
  UpdateCommandStates();
}

CMainFrame::~CMainFrame() {
  delete std::exchange(m_pBigFileView, nullptr);
  // The windows go while the frame is whole: their views reach back into it.
  disconnect(&m_app, nullptr, this, nullptr);
  disconnect(qApp, nullptr, this, nullptr);
  disconnect(m_pMdi, nullptr, this, nullptr);
  for (QMdiSubWindow* sub : m_pMdi->subWindowList()) {
    if (sub->widget()) sub->widget()->removeEventFilter(this);
    delete sub;
  }
}

void CMainFrame::CreateActions() {
  for (const CCommandInfo& info : CommandTable()) {
    auto* action = new QAction(QString::fromLatin1(info.m_pszText), this);
    action->setData(info.m_nId);
    SetActionKeys(*this, *action, info.m_pszShortcuts);
    action->setStatusTip(QString::fromLatin1(info.m_pszPrompt));
    if (*info.m_pszTip) action->setToolTip(QString::fromLatin1(info.m_pszTip));
    action->setIcon(CommandIcon(info.m_nId));
    action->setIconVisibleInMenu(false);
    action->setCheckable(IsCheckable(info.m_nId));
    const int id = info.m_nId;
    connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    // On the frame itself, so that shortcuts work whichever menu stands.
    addAction(action);
    m_actions[id] = action;
  }
  // F1, in every window of the program: the help page of the window the user is in.
  auto* contextHelp = new QAction("Help on this window", this);
  contextHelp->setObjectName("contextHelp");
  contextHelp->setShortcut(QKeySequence(Qt::Key_F1));
  contextHelp->setShortcutContext(Qt::ApplicationShortcut);
  connect(contextHelp, &QAction::triggered, this, &CMainFrame::ShowContextHelp);
  addAction(contextHelp);
  for (int i = 0; i < kRecentFileCount; ++i) {
    auto* action = new QAction(this);
    const int id = kFileMru1 + i;
    action->setData(id);
    action->setStatusTip(kRecentFilePrompt);
    connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    m_actions[id] = action;
  }
  m_pNoRecentFile = new QAction("Recent File", this);
  m_pNoRecentFile->setEnabled(false);
}

void CMainFrame::CreateBars() {
  m_pToolBar = new QToolBar("Standard", this);
  m_pToolBar->setObjectName("StandardBar");
  for (int id : StandardToolBar()) {
    if (id == 0)
      m_pToolBar->addSeparator();
    else
      m_pToolBar->addAction(Action(id));
  }
  m_pToolBar->setAllowedAreas(Qt::AllToolBarAreas);
  addToolBar(Qt::TopToolBarArea, m_pToolBar);

  m_pFormatBar = new CFormatBar(this);
  m_pFormatToolBar = m_pFormatBar;
  if (m_pFormatToolBar->objectName().isEmpty()) m_pFormatToolBar->setObjectName("FormatBar");
  m_pFormatToolBar->setAllowedAreas(Qt::TopToolBarArea | Qt::BottomToolBarArea);
  addToolBarBreak(Qt::TopToolBarArea);
  addToolBar(Qt::TopToolBarArea, m_pFormatToolBar);
  m_pFormatToolBar->addAction(Action(kWordListId));

  for (QToolBar* bar : {m_pToolBar, m_pFormatToolBar})
    connect(bar, &QToolBar::visibilityChanged, this, &CMainFrame::ScheduleUpdate);

  m_pPanes[0] = new QLabel("Ready");
  m_pPanes[1] = new QLabel(" ");
  m_pPanes[2] = new QLabel(" ");
  m_pPanes[1]->setMinimumWidth(kPane1Width);
  m_pPanes[2]->setMinimumWidth(kPane2Width);
  for (QLabel* pane : m_pPanes) {
    pane->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    pane->setTextFormat(Qt::PlainText);
  }
  m_pPanes[0]->setMinimumWidth(1);
  // Pane 0 stretches; status prompts cover it while a menu item or button is hovered.
  statusBar()->addWidget(m_pPanes[0], 1);
  statusBar()->addPermanentWidget(m_pPanes[1]);
  statusBar()->addPermanentWidget(m_pPanes[2]);
}

QMenu* CMainFrame::MenuOf(std::map<QString, QMenu*>& menus, std::vector<QMenu*>& top, const QString& path) {
  if (auto it = menus.find(path); it != menus.end()) return it->second;
  QMenu* menu = nullptr;
  if (!path.contains('|')) {
    menu = menuBar()->addMenu(path);
    top.push_back(menu);
  } else {
    menu = MenuOf(menus, top, path.section('|', 0, -2))->addMenu(MenuTitle(path));
  }
  menu->setToolTipsVisible(false);
  menus[path] = menu;
  return menu;
}

void CMainFrame::AddRecentFileEntries(QMenu* menu) {
  menu->addAction(m_pNoRecentFile);
  for (int i = 0; i < kRecentFileCount; ++i) menu->addAction(Action(kFileMru1 + i));
}

void CMainFrame::CreateMenus() {
  const auto build = [this](std::span<const CMenuEntry> entries, std::vector<QMenu*>& top) {
    std::map<QString, QMenu*> menus;
    for (const CMenuEntry& entry : entries) {
      QMenu* menu = MenuOf(menus, top, QString::fromLatin1(entry.m_pszMenu));
      if (entry.m_nId == 0)
        menu->addSeparator();
      else if (entry.m_nId == kFileMru1)
        AddRecentFileEntries(menu);
      else
        menu->addAction(Action(entry.m_nId));
    }
    for (QMenu* menu : top) connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
    return menus;
  };
  // Both menus stand in the bar; the one that fits is shown.
  const auto full = build(FullMenu(), m_arrFullMenus);
  build(ShortMenu(), m_arrShortMenus);
  m_pWindowMenu = full.at("&Window");
  connect(m_pWindowMenu, &QMenu::aboutToShow, this, &CMainFrame::UpdateWindowList);
  UpdateRecentFiles();
}

// ---- Windows ----

QMdiSubWindow* CMainFrame::AddView(CTessaryView* view) {
  const QMdiSubWindow* current = m_pMdi->currentSubWindow();
  const bool bMaximized = current && current->isMaximized();
  QMdiSubWindow* sub = m_pMdi->addSubWindow(view);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  sub->setWindowIcon(AppIcon());
  view->installEventFilter(this);
  if (CTessaryDoc* doc = view->GetDocument()) {
    connect(doc, &CTessaryDoc::TitleChanged, this, &CMainFrame::UpdateTitles, Qt::UniqueConnection);
    connect(doc->Document(), &QTextDocument::modificationChanged, this, &CMainFrame::UpdateTitles,
            Qt::UniqueConnection);
    connect(doc->Document(), &QTextDocument::undoAvailable, this, &CMainFrame::ScheduleUpdate, Qt::UniqueConnection);
  }
  if (QTextEdit* rich = view->RichEdit()) {
    connect(rich, &QTextEdit::copyAvailable, this, &CMainFrame::ScheduleUpdate);
    rich->viewport()->installEventFilter(this);  // files dropped on the text are opened
  }
  if (QPlainTextEdit* plain = view->PlainEdit()) {
    connect(view, &CTessaryView::CopyAvailable, this, &CMainFrame::ScheduleUpdate);
    plain->viewport()->installEventFilter(this);
    // A list window's lines view takes dropped files too, and its commands change when
    // it becomes an editor.
    if (view->Editor() != plain) view->Editor()->viewport()->installEventFilter(this);
    connect(view, &CTessaryView::EditorChanged, this, [this](CTessaryView* v) {
      v->Editor()->viewport()->installEventFilter(this);
      ScheduleUpdate();
    });
  }
  UpdateTitles();
  if (bMaximized) {
    sub->showMaximized();
  } else {
    PlaceSubWindow(sub, static_cast<int>(m_pMdi->subWindowList().size()) - 1);
    sub->show();
  }
  ActivateView(view);
  UpdateCommandStates();
  return sub;
}

void CMainFrame::PlaceSubWindow(QMdiSubWindow* sub, int nIndex) {
  // Three quarters of the client area, each new window a step down and right.
  const QSize area = m_pMdi->viewport()->size();
  const int step = 24 * (nIndex % 8);
  sub->resize(std::max(320, area.width() * 3 / 4), std::max(240, area.height() * 3 / 4));
  sub->move(step, step);
}

void CMainFrame::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (m_bPlacedOnScreen) return;
  m_bPlacedOnScreen = true;
  // Windows made before the frame was first shown were sized for a client area that
  // had no size yet; once the layout has run they get their proper place.
  QTimer::singleShot(0, this, [this] {
    const QList<QMdiSubWindow*> subs = m_pMdi->subWindowList();
    for (int i = 0; i < subs.size(); ++i) {
      if (!subs[i]->isMaximized() && !subs[i]->isMinimized()) PlaceSubWindow(subs[i], i);
    }
  });
}

QMdiSubWindow* CMainFrame::SubWindowOf(const CTessaryView* view) const {
  if (!view) return nullptr;
  for (QMdiSubWindow* sub : m_pMdi->subWindowList()) {
    if (sub->widget() == view) return sub;
  }
  return nullptr;
}

CTessaryView* CMainFrame::ActiveView() const {
  // The current window stays current while the program is in the background; a window
  // that is closing no longer counts.
  const QList<QMdiSubWindow*> subs = m_pMdi->subWindowList(QMdiArea::ActivationHistoryOrder);
  QMdiSubWindow* sub = m_pMdi->currentSubWindow();
  if (!sub || !subs.contains(sub)) sub = m_pLastActive;
  if (!sub || !subs.contains(sub)) sub = subs.isEmpty() ? nullptr : subs.back();
  return sub ? qobject_cast<CTessaryView*>(sub->widget()) : nullptr;
}

void CMainFrame::ActivateView(CTessaryView* view) {
  QMdiSubWindow* sub = SubWindowOf(view);
  if (!sub) return;
  if (sub->isMinimized()) sub->showNormal();
  m_pMdi->setActiveSubWindow(sub);
  // A hidden frame activates nothing; the window is still the one commands act on.
  m_pLastActive = sub;
  OnSubWindowActivated(sub);
  if (view->Editor()) view->Editor()->setFocus();
}

void CMainFrame::CloseView(CTessaryView* view) {
  if (QMdiSubWindow* sub = SubWindowOf(view)) sub->close();
}

void CMainFrame::OnSubWindowActivated(QMdiSubWindow* sub) {
  if (sub && sub != m_pLastActive) m_strTitleMessage.clear();
  if (sub) m_pLastActive = sub;
  CTessaryView* view = ActiveView();
  // The panes tell about the active window, however it became active; the same window
  // active again keeps what its own work last said there.
  if (view && view != m_pPanesView) m_app.Concordance().OnViewFocus(view);
  m_pPanesView = view;
  m_pFormatBar->SetView(view);
  ApplyKindOf(view);
  UpdateTitles();
  ScheduleUpdate();
}

void CMainFrame::ApplyKindOf(CTessaryView* view) {
  // The bars follow the kind of the active document.
  if (!view || !view->GetDocument()) return;
  const int nKind = view->GetDocument()->DocType();
  if (nKind == m_nAppliedKind) return;
  SaveBarLayout(m_nAppliedKind);
  RestoreBarLayout(nKind);
}

void CMainFrame::UpdateTitles() {
  for (QMdiSubWindow* sub : m_pMdi->subWindowList()) {
    auto* view = qobject_cast<CTessaryView*>(sub->widget());
    CTessaryDoc* doc = view ? view->GetDocument() : nullptr;
    if (!doc) continue;
    QString title = doc->Title();
    const auto& views = doc->Views();
    // Several windows on one document are told apart as "name:1", "name:2".
    if (views.size() > 1) {
      const auto it = std::find(views.begin(), views.end(), view);
      if (it != views.end()) title += QStringLiteral(":%1").arg(it - views.begin() + 1);
    }
    if (doc->IsModified()) title += '*';
    sub->setWindowTitle(title);
  }
  CTessaryView* view = ActiveView();
  QMdiSubWindow* sub = SubWindowOf(view);
  if (!m_strTitleMessage.isEmpty()) setWindowTitle(m_strTitleMessage);
  else setWindowTitle(sub ? QStringLiteral("Tessary - [%1]").arg(sub->windowTitle()) : QStringLiteral("Tessary"));
}

void CMainFrame::SetTitleMessage(const QString& text) {
  m_strTitleMessage = text;
  UpdateTitles();
}

void CMainFrame::UpdateWindowList() {
  for (QAction* action : m_arrWindowList) {
    m_pWindowMenu->removeAction(action);
    delete action;
  }
  m_arrWindowList.clear();
  const QList<QMdiSubWindow*> subs = m_pMdi->subWindowList();
  if (subs.isEmpty()) return;
  m_arrWindowList.push_back(m_pWindowMenu->addSeparator());
  const CTessaryView* active = ActiveView();
  for (qsizetype i = 0; i < subs.size(); ++i) {
    QMdiSubWindow* sub = subs[i];
    QAction* action = m_pWindowMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(sub->windowTitle()));
    action->setCheckable(true);
    action->setChecked(sub->widget() == active);
    action->setStatusTip("Activate this window");
    connect(action, &QAction::triggered, this, [this, sub] {
      if (auto* view = qobject_cast<CTessaryView*>(sub->widget())) ActivateView(view);
    });
    m_arrWindowList.push_back(action);
  }
}

void CMainFrame::ArrangeIcons() {
  // Minimised windows in a row along the bottom of the client area.
  int x = 0;
  const int bottom = m_pMdi->viewport()->height();
  for (QMdiSubWindow* sub : m_pMdi->subWindowList()) {
    if (!sub->isMinimized()) continue;
    if (x > 0 && x + sub->width() > m_pMdi->viewport()->width()) x = 0;
    sub->move(x, bottom - sub->height());
    x += sub->width();
  }
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Close) {
    if (auto* view = qobject_cast<CTessaryView*>(watched)) {
      if (!m_app.CanCloseView(view)) {
        event->ignore();
        return true;
      }
    }
  }
  if (TakeFileDrag(event)) return true;
  return QMainWindow::eventFilter(watched, event);
}

// ---- Dropped files ----

namespace {

// The local files a drag brings, folders left out. A drag that brings none is left to
// the widget under it (text dragged into a document, for one).
QStringList DroppedFiles(const QMimeData* data) {
  QStringList files;
  if (!data || !data->hasUrls()) return files;
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile() && !QFileInfo(url.toLocalFile()).isDir()) files.push_back(url.toLocalFile());
  }
  return files;
}

}  // namespace

bool CMainFrame::TakeFileDrag(QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) return false;
  auto* drop = static_cast<QDropEvent*>(event);  // the base of the enter and move events too
  const QStringList files = DroppedFiles(drop->mimeData());
  if (files.isEmpty()) return false;
  drop->setDropAction(Qt::CopyAction);
  drop->accept();
  if (type == QEvent::Drop) {
    // Opened once the drop has returned, so that no message box waits inside the
    // drag-and-drop of the file manager.
    QMetaObject::invokeMethod(
        this, [this, files] {
          for (const QString& path : files) m_app.OpenDocumentFile(path);
        },
        Qt::QueuedConnection);
  }
  return true;
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  if (!TakeFileDrag(event)) QMainWindow::dragEnterEvent(event);
}

void CMainFrame::dragMoveEvent(QDragMoveEvent* event) {
  if (!TakeFileDrag(event)) QMainWindow::dragMoveEvent(event);
}

void CMainFrame::dropEvent(QDropEvent* event) {
  if (!TakeFileDrag(event)) QMainWindow::dropEvent(event);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (!m_app.QueryExit()) {
    event->ignore();
    return;
  }
  if (m_pHelp) m_pHelp->close();
  event->accept();
}

// ---- Status bar ----

void CMainFrame::SetPaneText(int pane, const QString& text) {
  if (pane < 0 || pane > 2) return;
  QLabel* label = m_pPanes[pane];
  label->setText(text);
  if (pane == 0) {
    // A newer status than a hover prompt that outlived its hover.
    statusBar()->clearMessage();
    return;
  }
  // A pane grows to what it shows (a count of millions stays whole); a long search
  // string stops at a third of the bar and is shown whole in the tool tip.
  const int base = pane == 1 ? kPane1Width : kPane2Width;
  const int needed = label->fontMetrics().horizontalAdvance(text) + 2 * label->frameWidth() + 8;
  const int limit = pane == 1 ? std::max(base, statusBar()->width() / 3) : needed;
  label->setFixedWidth(std::clamp(needed, base, std::max(base, limit)));
  label->setToolTip(needed > limit ? text : QString());
}

QString CMainFrame::PaneText(int pane) const {
  return pane >= 0 && pane <= 2 ? m_pPanes[pane]->text() : QString();
}

// ---- Bar layouts ----

void CMainFrame::SaveBarLayout(int nDocType) {
  if (nDocType == -1) return;
  m_layouts[LayoutSection(nDocType)] = saveState();
}

void CMainFrame::RestoreBarLayout(int nDocType) {
  if (nDocType == -1) return;
  m_nAppliedKind = nDocType;
  if (nDocType == kTypeText || nDocType == kTypeTextDos) SetBarVisible(m_pFormatToolBar, false);
  const QString section = LayoutSection(nDocType);
  const QByteArray layout = BarLayout(section);
  if (!layout.isEmpty())
    restoreState(layout);
  else if (!section.isEmpty() && nDocType != kTypeText && nDocType != kTypeTextDos)
    restoreState(m_defaultLayout);  // a kind never laid out gets the bars as first built
  ScheduleUpdate();
}

QByteArray CMainFrame::BarLayout(const QString& section) const {
  const auto it = m_layouts.find(section);
  return it == m_layouts.end() ? QByteArray() : it->second;
}

void CMainFrame::SetBarLayout(const QString& section, const QByteArray& layout) { m_layouts[section] = layout; }

void CMainFrame::SetBarVisible(QWidget* bar, bool bVisible) {
  bar->setVisible(bVisible);
  ScheduleUpdate();
}

// ---- Help ----

CHelpWindow* CMainFrame::HelpWindow() const { return m_pHelp; }

void CMainFrame::ShowContextHelp() {
  const QWidget* in = QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
  ShowHelp(HelpPageFor(in, ActiveView()));
}

void CMainFrame::ShowHelp(const QString& page) {
  if (!m_pHelp) m_pHelp = new CHelpWindow(this);
  m_pHelp->ShowPage(page);
}

// ---- Commands ----

QAction* CMainFrame::Action(int id) const {
  const auto it = m_actions.find(id);
  return it == m_actions.end() ? nullptr : it->second;
}

bool CMainFrame::CommandEnabled(int id) const {
  if (m_app.Busy() && StartsLongOperation(id)) return false;
  CConcordanceController& concordance = m_app.Concordance();
  if (concordance.Handles(id)) return concordance.IsEnabled(id);
  if (m_app.Stats().Handles(id)) return m_app.Stats().IsEnabled(id);
  if (m_app.Analysis().Handles(id)) return m_app.Analysis().IsEnabled(id);
  if (m_app.Exports().Handles(id)) return m_app.Exports().IsEnabled(id);
  if (m_app.Encoding().Handles(id)) return m_app.Encoding().IsEnabled(id);
  if (m_app.Browser().Handles(id)) return m_app.Browser().IsEnabled(id);
  if (IsRecentFile(id)) return id - kFileMru1 < m_app.RecentFiles().size();
  const CTessaryView* view = ActiveView();
  switch (id) {
    case kFileNew: case kFileOpen: case kFilePrintSetup: case kAppExit: case kAppAbout: case kHelp:
    case kShowBigFileViewer: case kHideBigFileViewer: case kViewToolbar: case kViewStatusBar: case kViewFormatBar: case kPageSetup:
      return true;
    case kFileClose: case kFileSave: case kFileSaveAs: case kFilePrint: case kFilePrintPreview:
    case kEditSelectAll: case kEditFind: case kEditRepeat: case kEditReplace: case kFormatFont:
    case kInsertBullet: case kWrapNone: case kWrapToWindow: case kWindowNew: case kWindowCascade:
    case kWindowTile: case kWindowArrange: case kNextPane: case kPrevPane:
      return view != nullptr;
    case kEditUndo:
      return view && view->Document() && view->Document()->isUndoAvailable() && !view->IsReadOnly();
    case kEditCut:
      return HasSelection(view) && !view->IsReadOnly();
    case kEditCopy:
      return HasSelection(view);
    case kEditPaste:
      return CanPaste(view);
    default:
      return false;  // its subsystem is not built yet
  }
}

bool CMainFrame::CommandChecked(int id) const {
  CConcordanceController& concordance = m_app.Concordance();
  if (concordance.Handles(id)) return concordance.IsChecked(id);
  const CTessaryView* view = ActiveView();
  switch (id) {
    case kViewToolbar: return m_pToolBar->isVisibleTo(this);
    case kViewStatusBar: return statusBar()->isVisibleTo(this);
    case kViewFormatBar: return m_pFormatToolBar->isVisibleTo(this);
    case kWrapNone: return view && !view->WordWrap();
    case kWrapToWindow: return view && view->WordWrap();
    case kInsertBullet: return view && view->HasBullet();
    default: return false;
  }
}

void CMainFrame::ScheduleUpdate() { m_pUpdateTimer->start(); }

void CMainFrame::UpdateCommandStates() {
  m_pUpdateTimer->stop();
  UpdateTitles();
  const bool bFull = !m_pMdi->subWindowList().isEmpty();
  if (!bFull && m_bFullMenu) {
    // The last window has gone, and with it what the panes told about it.
    SetPaneText(0, "Ready");
    SetPaneText(1, " ");
    SetPaneText(2, " ");
  }
  m_bFullMenu = bFull;
  for (QMenu* menu : m_arrFullMenus) menu->menuAction()->setVisible(m_bFullMenu);
  for (QMenu* menu : m_arrShortMenus) menu->menuAction()->setVisible(!m_bFullMenu);
  for (const auto& [id, action] : m_actions) {
    action->setEnabled(CommandEnabled(id));
    if (action->isCheckable()) action->setChecked(CommandChecked(id));
  }
}

void CMainFrame::UpdateRecentFiles() {
  const QStringList files = m_app.RecentFiles();
  for (int i = 0; i < kRecentFileCount; ++i) {
    QAction* action = Action(kFileMru1 + i);
    const bool bShown = i < files.size();
    action->setVisible(bShown);
    if (bShown) action->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(files[i])));
  }
  m_pNoRecentFile->setVisible(files.isEmpty());
  UpdateCommandStates();
}

void CMainFrame::OnCommand(int id) {
  if (!CommandEnabled(id)) return;
  // The hover prompt of the item chosen is over; what the command does takes pane 0.
  statusBar()->clearMessage();
  CConcordanceController& concordance = m_app.Concordance();
  if (concordance.Handles(id)) {
    concordance.OnCommand(id);
    UpdateCommandStates();
    return;
  }
  if (m_app.Stats().Handles(id)) {
    m_app.Stats().OnCommand(id);
    UpdateCommandStates();
    return;
  }
  if (m_app.Analysis().Handles(id)) {
    m_app.Analysis().OnCommand(id);
    UpdateCommandStates();
    return;
  }
  if (m_app.Exports().Handles(id)) {
    m_app.Exports().OnCommand(id);
    UpdateCommandStates();
    return;
  }
  if (m_app.Encoding().Handles(id)) {
    m_app.Encoding().OnCommand(id);
    UpdateCommandStates();
    return;
  }
  if (m_app.Browser().Handles(id)) {
    m_app.Browser().OnCommand(id);
    UpdateCommandStates();
    return;
  }
  if (IsRecentFile(id)) {
    // An entry whose file can no longer be opened leaves the list.
    const QString path = m_app.RecentFiles().value(id - kFileMru1);
    if (!path.isEmpty() && !m_app.OpenDocumentFile(path)) m_app.RemoveRecentFile(path);
    UpdateCommandStates();
    return;
  }
  CTessaryView* view = ActiveView();
  CTessaryDoc* doc = view ? view->GetDocument() : nullptr;
  switch (id) {
    case kFileNew: m_app.OnFileNew(); break;
    case kFileOpen: m_app.OnFileOpen(); break;
    case kFileClose: m_app.OnFileClose(); break;
    case kFileSave: if (doc) doc->DoSave(false); break;
    case kFileSaveAs: if (doc) doc->DoSave(true); break;
    case kFilePrint: view->OnFilePrint(); break;
    case kFilePrintPreview: view->OnFilePrintPreview(); break;
    case kFilePrintSetup: m_app.OnFilePrintSetup(); break;
    case kPageSetup: PageSetup(); break;
    case kAppExit: m_app.OnAppExit(); break;
    case kAppAbout: m_app.OnAppAbout(); break;
    case kHelp: ShowHelp(); break;
    case kShowBigFileViewer: m_pBigFileView->show(); m_pBigFileView->raise(); break;
    case kHideBigFileViewer: m_pBigFileView->hide(); break;
    case kEditUndo: OnEditor(view, [](auto& editor) { editor.undo(); }); break;
    case kEditCut: OnEditor(view, [](auto& editor) { editor.cut(); }); break;
    case kEditCopy: view->Copy(); break;
    case kEditPaste: OnEditor(view, [](auto& editor) { editor.paste(); }); break;
    case kEditSelectAll: view->SelectAll(); break;
    case kEditFind: view->OnEditFind(); break;
    case kEditRepeat: view->OnEditFindNext(); break;
    case kEditReplace: view->OnEditReplace(); break;
    case kFormatFont: view->OnFormatFont(); break;
    case kInsertBullet: view->OnInsertBullet(); break;
    case kWrapNone: view->OnWrapNone(); break;
    case kWrapToWindow: view->OnWrapWindow(); break;
    case kViewToolbar: SetBarVisible(m_pToolBar, !m_pToolBar->isVisibleTo(this)); break;
    case kViewStatusBar: SetBarVisible(statusBar(), !statusBar()->isVisibleTo(this)); break;
    case kViewFormatBar: SetBarVisible(m_pFormatToolBar, !m_pFormatToolBar->isVisibleTo(this)); break;
    case kWindowNew: m_app.NewWindow(doc); break;
    case kWindowCascade: m_pMdi->cascadeSubWindows(); break;
    case kWindowTile: m_pMdi->tileSubWindows(); break;
    case kWindowArrange: ArrangeIcons(); break;
    case kNextPane: m_pMdi->activateNextSubWindow(); break;
    case kPrevPane: m_pMdi->activatePreviousSubWindow(); break;
    default: break;
  }
  UpdateCommandStates();
}

}  // namespace tessary
