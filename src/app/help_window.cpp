#include "app/help_window.h"

#include <QAction>
#include <QStyle>
#include <QTextBrowser>
#include <QToolBar>

#include "app/accessible_actions.h"
#include "app/app_icons.h"

// The pages are built into the program's static library, whose resources must be
// registered by name.
static void RegisterHelpPages() { Q_INIT_RESOURCE(resources); }

namespace tessary {

QUrl CHelpWindow::PageUrl(const QString& page) {
  return QUrl(QStringLiteral("qrc:/help/") + (page.isEmpty() ? QStringLiteral("index.html") : page));
}

CHelpWindow::CHelpWindow(QWidget* owner) : QMainWindow(owner, Qt::Window), m_pBrowser(new QTextBrowser(this)) {
  RegisterHelpPages();
  setObjectName("HelpWindow");
  setWindowTitle("Tessary Help");
  setWindowIcon(AppIcon());
  m_pBrowser->setOpenLinks(true);
  // Pages of the program open here; addresses outside it go to the system browser.
  m_pBrowser->setOpenExternalLinks(true);
  m_pBrowser->setAccessibleName("Help page");
  setCentralWidget(m_pBrowser);

  QToolBar* bar = addToolBar("Navigation");
  bar->setObjectName("HelpNavigation");
  bar->setMovable(false);
  QAction* back = bar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), "Back", m_pBrowser,
                                 &QTextBrowser::backward);
  QAction* forward = bar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), "Forward", m_pBrowser,
                                    &QTextBrowser::forward);
  bar->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), "Contents", this, [this] { ShowPage(); });
  back->setShortcut(QKeySequence::Back);
  forward->setShortcut(QKeySequence::Forward);
  back->setEnabled(false);
  forward->setEnabled(false);
  connect(m_pBrowser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
  connect(m_pBrowser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
  connect(m_pBrowser, &QTextBrowser::sourceChanged, this,
          [this] { setWindowTitle("Tessary Help - " + m_pBrowser->documentTitle()); });
  MakeCommandsAccessible(*this);
  resize(720, 560);
}

void CHelpWindow::ShowPage(const QString& page) {
  m_pBrowser->setSource(PageUrl(page));
  show();
  raise();
  activateWindow();
}

}  // namespace tessary
