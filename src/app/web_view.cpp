#include "app/web_view.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

#include "app/accessible_actions.h"
#include "app/app_icons.h"
#include "app/browser_controller.h"
#include "app/command_ids.h"
#include "app/help_search.h"
#include "app/main_frame.h"
#include "app/tessary_app.h"
#include "browser/web_engine_loader.h"
#include "browser/web_pane.h"
#include "ui/prompt.h"

namespace tessary {

namespace {

using namespace web_ids;

struct CWebCommand {
  int m_nId;
  const char* m_pszText;
  const char* m_pszPrompt;
  const char* m_pszTip;
};

constexpr CWebCommand kWebCommands[] = {
    {kLookup, "Net Dictionary lookup", "Look up a word in the Net dictionary", "Net Dictionary Lookup"},
    {kGoBack, "Go Back", "", "Go Back"},
    {kGoForward, "Go Forward", "", "Go Forward"},
    {kHome, "Quorin Home Page", "Open the Quorin Website Home Page", "Open the Quorin Home Page"},
    {kConcordancer, "Web Concordancer", "Open the Quorin Web Concordancer", "Web Concordancer"},
    {kOnlineHelp, "Online Help", "Quorin Help Tutorial", "Quorin Help Tutorial"},
    {kShowToolBar, "Show ToolBar", "Shows the browser toolbar", ""},
    {kFloatToolBar, "FloatToolBar", "Floats the browser toolbar so it can be moved", ""},
    {kAbout, "&About Mirelbrowser...", "Display program information, version number and copyright", ""},
    {kHelp, "Help on using Mirel Browser", "Open the help on the browser window", ""},
    {kClose, "&Close", "Closes the browser window", ""},
};

constexpr int kToolBarButtons[] = {kGoBack, kGoForward, 0, kLookup, 0, kHome, 0, kConcordancer, 0, kOnlineHelp};

QIcon WebIcon(int id) {
  QStyle* style = QApplication::style();
  switch (id) {
    case kGoBack: return style->standardIcon(QStyle::SP_ArrowBack);
    case kGoForward: return style->standardIcon(QStyle::SP_ArrowForward);
    case kLookup: return CommandIcon(ids::kNetDictionary);
    case kHome: return style->standardIcon(QStyle::SP_DirHomeIcon);
    case kConcordancer: return style->standardIcon(QStyle::SP_FileDialogContentsView);
    case kOnlineHelp: return style->standardIcon(QStyle::SP_DialogHelpButton);
    default: return QIcon();
  }
}

}  // namespace

CWebView::CWebView(CBrowserController& controller, QWidget* owner)
    : QMainWindow(owner, Qt::Window), m_controller(controller) {
  setObjectName("BrowserWindow");
  setWindowTitle("Quorin Browser Window");
  setAccessibleName("Quorin Browser Window");
  setWindowIcon(AppIcon());
  m_pPlaceholder = new QLabel(this);
  m_pPlaceholder->setAlignment(Qt::AlignCenter);
  m_pPlaceholder->setAccessibleName("Quorin Browser");
  setCentralWidget(m_pPlaceholder);
  CreateActions();
  CreateMenus();
  statusBar();
  MakeCommandsAccessible(*this);
  SetHelpPage(this, "browser.html");
  resize(600, 400);
}

CWebView::~CWebView() {
  // The page area's widget is a child; the engine's object goes before it does.
  m_pPage.reset();
}

void CWebView::CreateActions() {
  for (const CWebCommand& command : kWebCommands) {
    auto* action = new QAction(QString::fromLatin1(command.m_pszText), this);
    action->setData(command.m_nId);
    action->setStatusTip(QString::fromLatin1(command.m_pszPrompt));
    action->setToolTip(QString::fromLatin1(*command.m_pszTip ? command.m_pszTip : command.m_pszText));
    action->setIcon(WebIcon(command.m_nId));
    action->setIconVisibleInMenu(false);
    const int id = command.m_nId;
    connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    m_actions[id] = action;
  }
  m_actions[kGoBack]->setShortcut(QKeySequence::Back);
  m_actions[kGoForward]->setShortcut(QKeySequence::Forward);
  for (const auto& entry : m_actions) addAction(entry.second);
}

void CWebView::CreateMenus() {
  menuBar()->setObjectName("MENU_BROWSER");
  menuBar()->setAccessibleName("Browser menu");
  QMenu* site = menuBar()->addMenu("Quorin");
  for (int id : {kLookup, kGoBack, kGoForward, kHome, kConcordancer, kOnlineHelp}) site->addAction(Action(id));
  QMenu* view = menuBar()->addMenu("&View");
  view->addAction(Action(kShowToolBar));
  view->addAction(Action(kFloatToolBar));
  QMenu* help = menuBar()->addMenu("&Help");
  help->addAction(Action(kAbout));
  help->addAction(Action(kHelp));
  menuBar()->addAction(Action(kClose));

  // A tool bar in a dock, so it floats and docks again on command as well as by hand.
  m_pToolBar = new QToolBar("Browser toolbar", this);
  m_pToolBar->setObjectName("BrowserToolBar");
  m_pToolBar->setAccessibleName("Browser toolbar");
  m_pToolBar->setOrientation(Qt::Horizontal);
  for (int id : kToolBarButtons) {
    if (id == 0)
      m_pToolBar->addSeparator();
    else
      m_pToolBar->addAction(Action(id));
  }
  m_pDock = new QDockWidget("Browser toolbar", this);
  m_pDock->setObjectName("BrowserToolBarDock");
  m_pDock->setAccessibleName("Browser toolbar");
  m_pDock->setAllowedAreas(Qt::AllDockWidgetAreas);
  m_pDock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
  m_pDock->setWidget(m_pToolBar);
  addDockWidget(Qt::TopDockWidgetArea, m_pDock);
}

QAction* CWebView::Action(int id) const {
  const auto it = m_actions.find(id);
  return it == m_actions.end() ? nullptr : it->second;
}

bool CWebView::EnsurePage() {
  if (m_pPage) return true;
  if (m_bTriedPage) return false;
  m_bTriedPage = true;
  QString error;
  m_pPage = CreateWebPane(this, error);
  if (!m_pPage) {
    m_strUnavailable = error;
    m_pPlaceholder->setText(QStringLiteral("The browser is not available.\n%1").arg(error));
    return false;
  }
  m_pPage->Widget()->setAccessibleName("Quorin Browser");
  setCentralWidget(m_pPage->Widget());
  m_pPlaceholder = nullptr;
  return true;
}

void CWebView::Navigate(const QUrl& url) {
  if (EnsurePage()) m_pPage->Navigate(url);
}

void CWebView::GoBack() {
  IWebPane* page = EnsurePage() ? m_pPage.get() : nullptr;
  if (!page || !page->CanGoBack()) {
    m_controller.App().Prompt().Message("No previous page in history list.", QString(), QMessageBox::Information);
    return;
  }
  page->GoBack();
}

void CWebView::GoForward() {
  IWebPane* page = EnsurePage() ? m_pPage.get() : nullptr;
  if (!page || !page->CanGoForward()) {
    m_controller.App().Prompt().Message("No following page in history list.", QString(), QMessageBox::Information);
    return;
  }
  page->GoForward();
}

void CWebView::ShowWindow() {
  if (!m_bPlaced) {
    // The first time over the owner's client area, a little in from its corner.
    m_bPlaced = true;
    if (auto* owner = qobject_cast<QMainWindow*>(parentWidget())) {
      const QWidget* client = owner->centralWidget() ? owner->centralWidget() : owner;
      move(client->mapToGlobal(QPoint(20, 20)));
    }
  }
  show();
  if (isMinimized()) showNormal();
  raise();
  activateWindow();
}

void CWebView::FloatToolBar() {
  m_pToolBar->setOrientation(Qt::Horizontal);
  m_pDock->show();
  m_pDock->setFloating(true);
  m_pDock->adjustSize();
  const QWidget* page = centralWidget() ? centralWidget() : this;
  m_pDock->move(page->mapToGlobal(QPoint(0, 0)));
}

void CWebView::DockToolBar() {
  m_pDock->setFloating(false);
  m_pDock->show();
}

void CWebView::OnCommand(int id) {
  switch (id) {
    case kLookup: m_controller.LookUpClipboard(false); break;
    case kGoBack: GoBack(); break;
    case kGoForward: GoForward(); break;
    case kHome:
      FloatToolBar();
      m_controller.GoTo(m_controller.App().m_options.m_web.m_strHome, false);
      break;
    case kConcordancer: m_controller.GoTo(m_controller.App().m_options.m_web.m_strConcordancer, false); break;
    case kOnlineHelp: m_controller.GoTo(m_controller.App().m_options.m_web.m_strConcordancerHelp, false); break;
    case kShowToolBar: DockToolBar(); break;
    case kFloatToolBar: FloatToolBar(); break;
    case kAbout: m_controller.App().OnAppAbout(); break;
    case kHelp:
      if (CMainFrame* frame = m_controller.App().MainFrame()) frame->ShowHelp("browser.html");
      break;
    case kClose: close(); break;
    default: break;
  }
}

void CWebView::closeEvent(QCloseEvent* event) {
  // Closing only hides the window; it and its history stay for the next web command.
  DockToolBar();
  hide();
  event->ignore();
}

}  // namespace tessary
