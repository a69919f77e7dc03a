#include "app/big_file_view.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <atomic>

#include "app/action_keys.h"
#include "app/background_task.h"
#include "app/big_file_dialogs.h"
#include "app/big_file_menu.h"
#include "app/command_ids.h"
#include "app/help_search.h"
#include "app/main_frame.h"
#include "app/progress_dialog.h"
#include "app/tessary_app.h"
#include "engine/codepage.h"
#include "engine/search_request.h"
#include "ui/prompt.h"
#include "ui/qt_text.h"

namespace tessary {

using namespace ids;

namespace {

constexpr int kWheelLines = 3;
constexpr const char* kNoFile = "No file is open!";

bool OwnCommand(int id) {
  switch (id) {
    case kBigFileOpen: case kBigFileCloseFile: case kBigFileHideWindow: case kBigFileFind:
    case kBigFileFindNext: case kBigFileHighlight: case kBigFileGoTo: case kEditCopy:
      return true;
    default:
      return false;
  }
}

}  // namespace

// What the worker reads and what it leaves for the UI thread.
struct CBigFileView::CSearchJob {
  std::string m_strPath;
  std::int64_t m_nFrom = 0;
  std::string m_strKey;
  int m_nColumns = 80;
  CCaseFolder m_folder;
  std::atomic<std::int64_t> m_nReached{0};
  CQuickSearchResult m_result;
  std::string m_strError;
  explicit CSearchJob(const CCaseFolder& folder) : m_folder(folder) {}
};

// ---- The page ----

CBigFilePage::CBigFilePage(CBigFileView& view) : QAbstractScrollArea(&view), m_view(view) {
  setObjectName("BigFilePage");
  setAccessibleName("Big file page");
  setFocusPolicy(Qt::StrongFocus);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  verticalScrollBar()->setAccessibleName("Position in the file");
  horizontalScrollBar()->setAccessibleName("Columns scrolled off to the left");
  verticalScrollBar()->setRange(0, 1000);
  verticalScrollBar()->setPageStep(10);
  horizontalScrollBar()->setRange(0, kViewerColumns);
  horizontalScrollBar()->setPageStep(10);
  viewport()->setAccessibleName("Lines of the big file");
  viewport()->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  viewport()->setAutoFillBackground(false);
  // The bars' own steps are replaced by the viewer's moves; the thumb it then sets is
  // what the bar keeps.
  connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, [this](int action) {
    if (m_bSettingThumb) return;
    QScrollBar* bar = verticalScrollBar();
    if (action == QAbstractSlider::SliderMove) {
      if (bar->isSliderDown()) return;  // tracking: the move comes at the release
      // The wheel over the bar moves lines, as it does over the page.
      const int direction = bar->sliderPosition() > m_view.Thumb() ? 1 : -1;
      SetThumb(bar, m_view.Thumb());
      m_view.ScrollLines(direction * kWheelLines);
      return;
    }
    m_view.VerticalAction(action);
    SetThumb(bar, m_view.Thumb());
  });
  connect(verticalScrollBar(), &QScrollBar::sliderReleased, this, [this] {
    m_view.VerticalAction(QAbstractSlider::SliderMove, verticalScrollBar()->sliderPosition());
  });
  connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this, [this](int action) {
    if (m_bSettingThumb) return;
    QScrollBar* bar = horizontalScrollBar();
    m_view.HorizontalAction(action, bar->sliderPosition());
    SetThumb(bar, m_view.HorizontalOffset());
  });
}

void CBigFilePage::SetThumb(QScrollBar* bar, int position) {
  // Inside the bar's action the position set here is the value it then keeps.
  m_bSettingThumb = true;
  bar->setSliderPosition(position);
  m_bSettingThumb = false;
}

void CBigFilePage::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  viewport()->update();
}

void CBigFilePage::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  const QPalette& pal = palette();
  const QRect area = viewport()->rect();
  painter.fillRect(area, pal.color(QPalette::Base));
  if (!m_view.HasFile()) return;
  painter.setFont(viewport()->font());
  const QFontMetrics fm(viewport()->font());
  const int charWidth = std::max(1, fm.averageCharWidth());
  const int lineHeight = std::max(1, fm.lineSpacing());
  const int x0 = lineHeight / 2;
  int y = charWidth / 2;
  const CPage page = m_view.ReadCurrentPage();
  const auto [selFirst, selLast] = m_view.Selection();
  const int offset = m_view.HorizontalOffset();
  const int columns = area.width() / charWidth + 2;
  for (int i = 0; i < static_cast<int>(page.m_arrLines.size()) && y < area.height(); ++i, y += lineHeight) {
    const std::string& line = page.m_arrLines[static_cast<std::size_t>(i)];
    const bool selected = i >= selFirst && i <= selLast && selFirst >= 0;
    const QRect band(0, y, area.width(), lineHeight);
    painter.fillRect(band, pal.color(selected ? QPalette::Highlight : QPalette::Base));
    painter.setPen(pal.color(selected ? QPalette::HighlightedText : QPalette::Text));
    // Only the columns the page shows are shaped: a 512-column line is mostly off it.
    const std::string_view visible =
        static_cast<int>(line.size()) > offset
            ? std::string_view(line).substr(static_cast<std::size_t>(offset), static_cast<std::size_t>(columns))
            : std::string_view();
    painter.drawText(QPoint(x0, y + fm.ascent()), m_view.DecodeLine(visible));
    const std::size_t keyLength = m_view.SearchString().size();
    for (std::size_t column : m_view.MarkedColumns(i, line)) {
      // An instance partly scrolled off shows the part still on the page.
      const std::size_t from = std::max<std::size_t>(column, static_cast<std::size_t>(offset));
      const std::size_t to = column + keyLength;
      if (to <= from) continue;
      const int x = x0 + fm.horizontalAdvance(
                             m_view.DecodeLine(std::string_view(line).substr(static_cast<std::size_t>(offset),
                                                                            from - static_cast<std::size_t>(offset))));
      const QString text = m_view.DecodeLine(std::string_view(line).substr(from, to - from));
      const QRect box(x, y, fm.horizontalAdvance(text), lineHeight);
      painter.fillRect(box, Qt::blue);
      painter.setPen(Qt::white);
      painter.drawText(QPoint(x, y + fm.ascent()), text);
      painter.setPen(pal.color(selected ? QPalette::HighlightedText : QPalette::Text));
    }
  }
}

void CBigFilePage::keyPressEvent(QKeyEvent* event) {
  const bool ctrl = event->modifiers() & Qt::ControlModifier;
  switch (event->key()) {
    case Qt::Key_PageUp: m_view.VerticalAction(QAbstractSlider::SliderPageStepSub); break;
    case Qt::Key_PageDown: m_view.VerticalAction(QAbstractSlider::SliderPageStepAdd); break;
    case Qt::Key_Up: m_view.VerticalAction(QAbstractSlider::SliderSingleStepSub); break;
    case Qt::Key_Down: m_view.VerticalAction(QAbstractSlider::SliderSingleStepAdd); break;
    case Qt::Key_Left: m_view.HorizontalAction(QAbstractSlider::SliderSingleStepSub); break;
    case Qt::Key_Right: m_view.HorizontalAction(QAbstractSlider::SliderSingleStepAdd); break;
    case Qt::Key_End:
      if (ctrl) m_view.GoToEnd();
      else m_view.VerticalAction(QAbstractSlider::SliderToMaximum);
      break;
    case Qt::Key_Home:
      m_view.VerticalAction(QAbstractSlider::SliderToMinimum);
      m_view.HorizontalAction(QAbstractSlider::SliderToMinimum);
      break;
    default: QAbstractScrollArea::keyPressEvent(event); return;
  }
  event->accept();
}

void CBigFilePage::wheelEvent(QWheelEvent* event) {
  const int notches = event->angleDelta().y() / 120;
  if (notches != 0) m_view.ScrollLines(-notches * kWheelLines);
  const int across = event->angleDelta().x() / 120;
  if (across != 0) m_view.HorizontalAction(across > 0 ? QAbstractSlider::SliderPageStepSub : QAbstractSlider::SliderPageStepAdd);
  event->accept();
}

namespace {
int LineAt(const QWidget* viewport, int y) {
  const QFontMetrics fm(viewport->font());
  return std::max(0, (y - std::max(1, fm.averageCharWidth()) / 2) / std::max(1, fm.lineSpacing()));
}
}  // namespace

void CBigFilePage::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !m_view.HasFile()) return QAbstractScrollArea::mousePressEvent(event);
  const int line = std::min(LineAt(viewport(), event->position().toPoint().y()), m_view.LinesOnPage() - 1);
  const auto [first, last] = m_view.Selection();
  if ((event->modifiers() & Qt::ShiftModifier) && first >= 0)
    m_view.SelectLines(m_view.m_nSelAnchor, line);
  else
    m_view.SelectLines(line, line);
  (void)last;
}

void CBigFilePage::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton) || m_view.m_nSelAnchor < 0) return;
  const int line = std::min(LineAt(viewport(), event->position().toPoint().y()), m_view.LinesOnPage() - 1);
  m_view.SelectLines(m_view.m_nSelAnchor, line);
}

// ---- The window ----

CBigFileView::CBigFileView(CTessaryApp& app, CMainFrame& frame)
    : QMainWindow(&frame, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinMaxButtonsHint),
      m_app(app),
      m_frame(frame),
      m_pProgressTimer(new QTimer(this)) {
  setObjectName("BigFileViewer");
  setWindowTitle("Big file viewer");
  SetHelpPage(this, "big_file_viewer.html");
  setAccessibleName("Big file viewer");
  m_pPage = new CBigFilePage(*this);
  setCentralWidget(m_pPage);
  setFocusProxy(m_pPage);  // the keys of the page work as soon as the window is shown
  m_pPosition = new QLabel(this);
  m_pPosition->setAccessibleName("Position in the file");
  m_pPosition->setTextFormat(Qt::PlainText);
  statusBar()->addPermanentWidget(m_pPosition);
  statusBar()->setAccessibleName("Big file viewer status");
  menuBar()->setAccessibleName("Big file viewer menu");
  CreateMenus();
  m_pProgressTimer->setSingleShot(true);
  connect(m_pProgressTimer, &QTimer::timeout, this, [this] {
    if (!Searching() || m_pProgress) return;
    m_pProgress = new CProgressDialog(this, "Quick Search", {"Search string", "Position:"}, "Press the SPACEBAR to stop ");
    m_pProgress->setAttribute(Qt::WA_DeleteOnClose, false);
    m_pProgress->SetField("Search string", DecodeLine(m_pJob->m_strKey));
    connect(m_pProgress, &CProgressDialog::StopRequested, this, &CBigFileView::StopSearch);
    m_pProgress->show();
  });
  resize(640, 480);
  Changed();
}

CBigFileView::~CBigFileView() {
  // The worker goes before the file name it reads; the frame may already be in pieces.
  m_pTask.reset();
  if (m_pFile) m_app.m_strBigFilePath.clear();
}

void CBigFileView::CreateMenus() {
  std::map<QString, QMenu*> menus;
  for (const CViewerMenuItem& item : ViewerMenu()) {
    const QString path = QString::fromLatin1(item.m_pszMenu);
    QMenu*& menu = menus[path];
    if (!menu) {
      const QString parent = path.section('|', 0, -2);
      menu = parent.isEmpty() ? menuBar()->addMenu(path) : menus[parent]->addMenu(path.section('|', -1));
      menu->setAccessibleName(path.section('|', -1).remove('&'));
      connect(menu, &QMenu::aboutToShow, this, &CBigFileView::UpdateCommandStates);
    }
    if (item.m_nId == 0) {
      menu->addSeparator();
      continue;
    }
    auto* action = new QAction(QString::fromLatin1(item.m_pszText), this);
    SetActionKeys(*this, *action, item.m_pszShortcuts);
    action->setStatusTip(QString::fromLatin1(item.m_pszPrompt));
    const int id = item.m_nId;
    action->setCheckable(id == kBigFileHighlight || id == kEnglish || id == kBig5 || id == kGb || id == kJapanese ||
                         id == kSetMargin);
    connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    menu->addAction(action);
    addAction(action);
    m_actions[id] = action;
  }
}

QAction* CBigFileView::Action(int id) const {
  const auto it = m_actions.find(id);
  return it == m_actions.end() ? nullptr : it->second;
}

bool CBigFileView::CommandEnabled(int id) const {
  switch (id) {
    case kBigFileOpen: case kBigFileHideWindow: case kBigFileCloseFile: case kBigFileFind: case kBigFileHighlight:
      return !Searching() || id == kBigFileHideWindow;
    case kBigFileFindNext: return !Searching();
    case kBigFileGoTo: return HasFile();
    case kEditCopy: return Selection().first >= 0;
    default: return m_frame.CommandEnabled(id);
  }
}

void CBigFileView::UpdateCommandStates() {
  for (const auto& [id, action] : m_actions) {
    action->setEnabled(CommandEnabled(id));
    if (id == kBigFileHighlight) action->setChecked(m_bHighlightAll);
    else if (action->isCheckable()) action->setChecked(m_frame.CommandChecked(id));
  }
}

void CBigFileView::OnCommand(int id) {
  if (!CommandEnabled(id)) return;
  if (!OwnCommand(id)) {
    m_frame.OnCommand(id);
    UpdateCommandStates();
    return;
  }
  switch (id) {
    case kBigFileOpen: {
      CFileDialogRequest ask;
      ask.m_strTitle = "Open";
      ask.m_arrFilters = {"Big Files (*.TXT)", "All Files (*.*)"};
      ask.m_strInitialName = "*.TXT";
      ask.m_strDefaultSuffix = "TXT";
      ask.m_bOverwritePrompt = false;
      const CFileDialogResult answer = m_app.Prompt().AskFiles(ask);
      if (answer.m_bOk && !answer.m_arrFiles.isEmpty()) OpenPath(ToFsPath(answer.m_arrFiles.front()));
      break;
    }
    case kBigFileCloseFile:
      CloseFile();
      hide();
      break;
    case kBigFileHideWindow: hide(); break;
    case kBigFileFind: Find(false); break;
    case kBigFileFindNext: Find(true); break;
    case kBigFileHighlight: Highlight(); break;
    case kBigFileGoTo: GoToCommand(); break;
    case kEditCopy: CopySelection(); break;
    default: break;
  }
  UpdateCommandStates();
}

void CBigFileView::closeEvent(QCloseEvent* event) {
  // The window has no close box; the system's close only hides it, as "Hide window" does.
  event->ignore();
  hide();
}

// ---- The file ----

bool CBigFileView::OpenPath(const std::string& path) {
  CloseFile();
  m_app.m_strBigFilePath = path;
  auto opened = CLineFile::Open(path);
  if (!opened) {
    m_app.m_strBigFilePath.clear();
    m_app.Prompt().Message(QString::fromStdString(opened.Error()), "File Open Error", QMessageBox::Warning);
    Changed();
    return false;
  }
  m_pFile = std::move(*opened);
  m_strPath = path;
  SetFrameTitle(FromFsPath(path));
  Changed();
  return true;
}

void CBigFileView::CloseFile() {
  StopSearch();
  ++m_nGeneration;  // a search still running reports to nobody
  const bool hadFile = m_pFile != nullptr;
  m_pFile.reset();
  m_strPath.clear();
  m_app.m_strBigFilePath.clear();
  m_nTop = 0;
  m_nThumb = 0;
  m_nOffset = 0;
  m_nFoundTop = -1;
  m_nSelAnchor = m_nSelEnd = -1;
  setWindowTitle("Big file viewer");
  if (hadFile) SetFrameTitle(QString());
  Changed();
}

void CBigFileView::SetFrameTitle(const QString& text) { m_frame.SetTitleMessage(text); }

const CCodePage& CBigFileView::CodePage() const {
  CTextLanguage language;
  language.m_kind = m_app.m_settings.m_language;
  language.m_nCodePage = m_app.m_settings.m_nAnsiCodePage;
  const int cp = language.TextCodePage();
  if (cp != m_nCodePage || !m_pCodePage) {
    auto opened = CCodePage::Open(cp);
    if (!opened) opened = CCodePage::Open(1252);
    m_pCodePage = *opened;
    m_pFolder = std::make_unique<CCaseFolder>(*m_pCodePage);
    m_nCodePage = cp;
  }
  return *m_pCodePage;
}

const CCaseFolder& CBigFileView::Folder() const {
  CodePage();
  return *m_pFolder;
}

QString CBigFileView::DecodeLine(std::string_view bytes) const {
  const CCodePage& cp = CodePage();
  QString text;
  if (cp.IsDoubleByte()) {
    text = FromU16(cp.ToUnicode(bytes));
  } else {
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (char c : bytes) text.push_back(QChar(cp.ByteToUnicode(static_cast<unsigned char>(c))));
  }
  // Control bytes (a binary stretch, the zeros of a sparse file) show as dots.
  for (QChar& c : text)
    if (c.unicode() < 0x20 || c.unicode() == 0x7F) c = QChar(0x00B7);
  return text;
}

// ---- Moving ----

int CBigFileView::LinesOnPage() const {
  const QFontMetrics fm(m_pPage->viewport()->font());
  const int height = m_pPage->viewport()->height() - std::max(1, fm.averageCharWidth()) / 2;
  const int line = std::max(1, fm.lineSpacing());
  return std::max(1, (height + line - 1) / line);
}

int CBigFileView::FullLinesOnPage() const {
  const QFontMetrics fm(m_pPage->viewport()->font());
  const int height = m_pPage->viewport()->height() - std::max(1, fm.averageCharWidth()) / 2;
  return std::max(1, height / std::max(1, fm.lineSpacing()));
}

int CBigFileView::VisibleColumns() const {
  const QFontMetrics fm(m_pPage->viewport()->font());
  return std::max(1, m_pPage->viewport()->width() / std::max(1, fm.averageCharWidth()));
}

CPage CBigFileView::ReadCurrentPage() {
  if (!m_pFile) return CPage();
  return ReadPage(*m_pFile, m_nTop, LinesOnPage());
}

void CBigFileView::SetTop(std::int64_t top) {
  top = std::max<std::int64_t>(top, 0);
  if (top != m_nTop) m_nSelAnchor = m_nSelEnd = -1;
  m_nTop = top;
}

void CBigFileView::Changed() {
  m_nThumb = m_pFile ? ThumbFor(m_nTop, m_pFile->Length()) : 0;
  m_pPage->SetThumb(m_pPage->verticalScrollBar(), m_nThumb);
  m_pPage->SetThumb(m_pPage->horizontalScrollBar(), m_nOffset);
  if (m_pFile) {
    const std::int64_t length = m_pFile->Length();
    const double percent = length > 0 ? 100.0 * static_cast<double>(m_nTop) / static_cast<double>(length) : 0.0;
    m_pPosition->setText(QStringLiteral("Position %L1 of %L2 (%3%)").arg(m_nTop).arg(length).arg(percent, 0, 'f', 1));
  } else {
    m_pPosition->setText("No file");
  }
  m_pPage->viewport()->update();
}

void CBigFileView::VerticalAction(int action, int p) {
  if (!m_pFile) return;
  CLineFile& file = *m_pFile;
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub: SetTop(LineUp(file, m_nTop)); break;
    case QAbstractSlider::SliderSingleStepAdd: SetTop(LineDown(file, m_nTop)); break;
    case QAbstractSlider::SliderPageStepSub: SetTop(PageUp(file, m_nTop, LinesOnPage())); break;
    case QAbstractSlider::SliderPageStepAdd: SetTop(ReadCurrentPage().m_nEnd); break;
    case QAbstractSlider::SliderToMinimum: SetTop(ThumbTop(file, 0)); break;
    case QAbstractSlider::SliderToMaximum: SetTop(ThumbTop(file, 1000)); break;
    case QAbstractSlider::SliderMove: SetTop(ThumbTop(file, p)); break;
    default: return;
  }
  Changed();
}

void CBigFileView::HorizontalAction(int action, int p) {
  if (!m_pFile) return;
  int offset = m_nOffset;
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub: offset -= 1; break;
    case QAbstractSlider::SliderSingleStepAdd: offset += 1; break;
    case QAbstractSlider::SliderPageStepSub: offset -= 10; break;
    case QAbstractSlider::SliderPageStepAdd: offset += 10; break;
    case QAbstractSlider::SliderMove: offset = p; break;
    case QAbstractSlider::SliderToMinimum: offset = 0; break;
    default: return;
  }
  m_nOffset = std::clamp(offset, 0, kViewerColumns);
  Changed();
}

void CBigFileView::ScrollLines(int n) {
  if (!m_pFile || n == 0) return;
  if (n < 0) {
    SetTop(PageUp(*m_pFile, m_nTop, -n));
  } else {
    std::int64_t top = m_nTop;
    for (int i = 0; i < n && top < m_pFile->Length(); ++i) top = LineDown(*m_pFile, top);
    SetTop(top);
  }
  Changed();
}

void CBigFileView::GoToEnd() {
  if (!m_pFile) return;
  SetTop(LastPageTop(*m_pFile, FullLinesOnPage()));
  Changed();
}

void CBigFileView::GoToOffset(std::int64_t offset) {
  if (!m_pFile) return;
  SetTop(TopAtOffset(*m_pFile, offset));
  Changed();
}

void CBigFileView::PositionAtOffset(std::int64_t offset) { GoToOffset(offset); }

std::pair<int, int> CBigFileView::Selection() const {
  if (m_nSelAnchor < 0) return {-1, -1};
  return {std::min(m_nSelAnchor, m_nSelEnd), std::max(m_nSelAnchor, m_nSelEnd)};
}

void CBigFileView::SelectLines(int first, int last) {
  const int lines = LinesOnPage();
  m_nSelAnchor = std::clamp(first, 0, lines - 1);
  m_nSelEnd = std::clamp(last, 0, lines - 1);
  UpdateCommandStates();
  m_pPage->viewport()->update();
}

QString CBigFileView::SelectedText() {
  const auto [first, last] = Selection();
  if (first < 0) return QString();
  const CPage page = ReadCurrentPage();
  QStringList lines;
  for (int i = first; i <= last && i < static_cast<int>(page.m_arrLines.size()); ++i)
    lines << DecodeLine(page.m_arrLines[static_cast<std::size_t>(i)]);
  return lines.join('\n') + '\n';
}

void CBigFileView::CopySelection() {
  const QString text = SelectedText();
  if (!text.isEmpty()) QApplication::clipboard()->setText(text);
}

void CBigFileView::GoToCommand() {
  if (!CheckFile()) return;
  CGoToDialog dialog;
  dialog.m_nLength = m_pFile->Length();
  for (;;) {
    if (!m_app.Prompt().Exec(dialog) || dialog.m_strWhere.trimmed().isEmpty()) return;
    if (auto offset = ParseGoTo(dialog.m_strWhere.toStdString(), m_pFile->Length())) {
      GoToOffset(*offset);
      return;
    }
    m_app.Prompt().Message(
        QStringLiteral("\"%1\" is neither an offset from 0 to %2 nor a percentage.").arg(dialog.m_strWhere).arg(m_pFile->Length()),
        "Go to", QMessageBox::Warning);
  }
}

// ---- Searching and highlighting ----

std::vector<std::size_t> CBigFileView::MarkedColumns(int line, const std::string& text) const {
  const bool found = line == 0 && m_nFoundTop >= 0 && m_nFoundTop == m_nTop;
  if ((!m_bHighlightAll && !found) || text.empty()) return {};
  return FindInstances(text, m_strSearch, Folder());
}

bool CBigFileView::CheckFile() {
  if (m_pFile) return true;
  m_app.Prompt().Message(kNoFile, "No file", QMessageBox::Warning);
  return false;
}

std::optional<std::string> CBigFileView::AskString() {
  CFindStringDialog dialog;
  if (!m_app.Prompt().Exec(dialog) || dialog.m_strText.isEmpty()) return std::nullopt;
  auto cp = CodePage().FromUnicode(ToU16(dialog.m_strText));
  if (cp.empty()) return std::nullopt;
  return cp;
}

void CBigFileView::Find(bool bNext) {
  if (!CheckFile()) return;
  if (bNext) {
    // Find Next looks below the top line, with the stored string; none stored, nothing.
    if (m_strSearch.empty()) return;
    StartSearch(LineDown(*m_pFile, m_nTop));
    return;
  }
  auto key = AskString();
  if (!key) return;
  m_strSearch = *key;
  StartSearch(m_nTop);
}

void CBigFileView::SearchFromHere(const std::string& key) {
  if (!m_pFile || key.empty()) return;
  m_strSearch = key;
  StartSearch(m_nTop);
}

void CBigFileView::ShowContext(const std::string& key, std::int64_t offset) {
  PositionAtOffset(offset);
  setWindowTitle(QStringLiteral("Context for string / %1 / at position %2").arg(DecodeLine(key)).arg(offset));
  SearchFromHere(key);
  show();
  raise();
  activateWindow();
}

void CBigFileView::Highlight() {
  if (!CheckFile()) return;
  if (m_bHighlightAll) {
    m_bHighlightAll = false;
  } else {
    auto key = AskString();
    if (!key) return;
    m_strSearch = *key;
    m_bHighlightAll = true;
  }
  m_pPage->viewport()->update();
}

bool CBigFileView::Searching() const { return m_pJob != nullptr; }

void CBigFileView::StartSearch(std::int64_t from) {
  if (Searching()) return;
  auto job = std::make_shared<CSearchJob>(Folder());
  job->m_strPath = m_strPath;
  job->m_nFrom = from;
  job->m_strKey = m_strSearch;
  job->m_nColumns = VisibleColumns();
  job->m_nReached = from;
  m_pJob = job;
  m_strSavedTitle = m_frame.windowTitle();
  SetFrameTitle(QStringLiteral("Searching for < %1 > ").arg(DecodeLine(m_strSearch)));
  QApplication::setOverrideCursor(Qt::BusyCursor);
  m_pTask = std::make_unique<CBackgroundTask>();
  const std::uint64_t generation = ++m_nGeneration;
  CBackgroundTask* task = m_pTask.get();
  connect(task, &CBackgroundTask::Finished, this, [this, generation] { OnSearchDone(generation); });
  task->Start([job, task, this] {
    // Its own handle: the page keeps painting from the viewer's while this one reads.
    auto file = CLineFile::Open(job->m_strPath);
    if (!file) {
      job->m_strError = file.Error();
      return;
    }
    job->m_result = QuickSearch(**file, job->m_nFrom, job->m_strKey, job->m_nColumns, job->m_folder,
                                [job, task, this](std::int64_t position) {
                                  job->m_nReached = position;
                                  task->Post([this, job, position] {
                                    if (m_pProgress && m_pJob == job) {
                                      m_pProgress->SetField("Position:", QString::number(position));
                                      const std::int64_t length = Length();
                                      if (length > job->m_nFrom)
                                        m_pProgress->SetPercent(
                                            static_cast<int>((position - job->m_nFrom) * 100 / (length - job->m_nFrom)));
                                    }
                                  });
                                  return !task->StopRequested();
                                });
  });
  m_pProgressTimer->start(m_nProgressDelayMs);
  UpdateCommandStates();
}

void CBigFileView::StopSearch() {
  if (m_pTask) m_pTask->RequestStop();
}

void CBigFileView::OnSearchDone(std::uint64_t generation) {
  std::shared_ptr<CSearchJob> job = std::move(m_pJob);
  m_pJob.reset();
  m_pProgressTimer->stop();
  if (m_pProgress) {
    m_pProgress->hide();
    m_pProgress->deleteLater();
  }
  QApplication::restoreOverrideCursor();
  // The task object goes after this slot returns: it is the one emitting.
  if (m_pTask) m_pTask.release()->deleteLater();
  if (generation != m_nGeneration || !job || !m_pFile) {
    UpdateCommandStates();
    emit SearchFinished();
    return;
  }
  const CQuickSearchResult& r = job->m_result;
  if (!job->m_strError.empty()) {
    SetFrameTitle(m_strSavedTitle);
    m_app.Prompt().Message(QString::fromStdString(job->m_strError), "File Open Error", QMessageBox::Warning);
  } else if (r.m_bFound) {
    SetFrameTitle(QStringLiteral("%1 : search string < %2 > at position %3")
                      .arg(QFileInfo(FromFsPath(m_strPath)).fileName(), DecodeLine(r.m_strKey))
                      .arg(r.m_nLineEnd));
    m_nOffset = r.m_nHorizontalOffset;
    SetTop(r.m_nTop);
    m_nFoundTop = r.m_nTop;
  } else if (r.m_bStopped) {
    // A stopped search leaves the page where it was.
    SetFrameTitle(m_strSavedTitle);
    statusBar()->showMessage(QStringLiteral("Search stopped at position %L1").arg(r.m_nReached), 5000);
  } else {
    SetFrameTitle(m_strSavedTitle);
    m_app.Prompt().Message(QStringLiteral("No match found for search string < %1 >").arg(DecodeLine(m_strSearch)),
                           "Quick Search", QMessageBox::Information);
    // The search ran to the end of the file: the page goes back to its start.
    SetTop(0);
  }
  Changed();
  UpdateCommandStates();
  emit SearchFinished();
}

}  // namespace tessary
