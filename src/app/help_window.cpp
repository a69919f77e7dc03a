#include "app/help_window.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QTextCursor>
#include <QTextBrowser>
#include <QToolBar>

#include "app/accessible_actions.h"
#include "app/app_icons.h"
#include "app/help_search.h"
#include "ui/screen_fit.h"

// The pages are built into the program's static library, whose resources must be
// registered by name.
static void RegisterHelpPages() { Q_INIT_RESOURCE(resources); }

namespace tessary {

namespace {
// Room for the title bar and borders the window manager adds.
const QSize kDecoration(16, 40);
}  // namespace

QUrl CHelpWindow::PageUrl(const QString& page) {
  return QUrl(QStringLiteral("qrc:/help/") + (page.isEmpty() ? QStringLiteral("index.html") : page));
}

CHelpWindow::CHelpWindow(QWidget* owner)
    : QMainWindow(owner, Qt::Window), m_pBrowser(new QTextBrowser(this)), m_pSearch(new QLineEdit(this)) {
  RegisterHelpPages();
  setObjectName("HelpWindow");
  SetHelpPage(this, QString());
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
  m_pBrowser->setAccessibleName("Help page");
  back->setObjectName("back");
  forward->setObjectName("forward");

  bar->addSeparator();
  auto* label = new QLabel("&Search:", bar);
  label->setBuddy(m_pSearch);
  bar->addWidget(label);
  m_pSearch->setObjectName("search");
  m_pSearch->setAccessibleName("Search the help");
  m_pSearch->setPlaceholderText("Words to find");
  m_pSearch->setClearButtonEnabled(true);
  m_pSearch->setMaximumWidth(260);
  bar->addWidget(m_pSearch);
  connect(m_pSearch, &QLineEdit::returnPressed, this, [this] { Search(m_pSearch->text()); });
  auto* find = new QAction("Find in help", this);
  find->setShortcut(QKeySequence::Find);
  connect(find, &QAction::triggered, this, [this] {
    m_pSearch->setFocus();
    m_pSearch->selectAll();
  });
  addAction(find);

  connect(m_pBrowser, &QTextBrowser::sourceChanged, this, [this] {
    setWindowTitle("Tessary Help - " + m_pBrowser->documentTitle());
    MarkSearchedWord();
  });
  MakeCommandsAccessible(*this);
  resize(720, 560);
}

void CHelpWindow::Search(const QString& query) {
  m_strSearched = query.simplified();
  if (m_strSearched.isEmpty()) return;
  m_pSearch->setText(m_strSearched);
  m_pBrowser->setHtml(HelpResultsHtml(m_strSearched, SearchHelp(m_strSearched)));
  setWindowTitle("Tessary Help - " + m_pBrowser->documentTitle());
}

void CHelpWindow::MarkSearchedWord() {
  // A page reached from the results shows where the first word is.
  if (m_strSearched.isEmpty()) return;
  m_pBrowser->moveCursor(QTextCursor::Start);
  m_pBrowser->find(m_strSearched.section(' ', 0, 0));
}

void CHelpWindow::ShowPage(const QString& page) {
  m_pBrowser->setSource(PageUrl(page));
  if (!m_bPlaced) {
    // The first time over its owner, as large as the screen allows; later where the
    // user left it.
    m_bPlaced = true;
    QWidget* owner = parentWidget();
    const QRect area = AvailableArea(owner ? *owner : *this);
    const QRect over = owner && owner->isVisible() ? owner->frameGeometry() : area;
    resize(size().boundedTo(area.size() - kDecoration));
    move(CentredOn(size() + kDecoration, over, area).topLeft());
  }
  show();
  raise();
  activateWindow();
}

}  // namespace tessary
