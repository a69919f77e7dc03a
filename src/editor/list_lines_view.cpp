#include "editor/list_lines_view.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <optional>

#include "editor/list_lines.h"

namespace tessary {

namespace {

// The text's distance from the viewport's left edge, as the plain editor keeps it.
constexpr int kMargin = 4;

bool IsWordChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); }

// A match of what in text at or after from, or -1; a line feed is no word character.
qsizetype FindInLine(const QString& line, qsizetype from, const QString& what, Qt::CaseSensitivity cs,
                     bool bWholeWord) {
  for (qsizetype at = line.indexOf(what, from, cs); at >= 0; at = line.indexOf(what, at + 1, cs)) {
    const qsizetype end = at + what.size();
    if (!bWholeWord || ((at == 0 || !IsWordChar(line[at - 1])) && (end >= line.size() || !IsWordChar(line[end]))))
      return at;
  }
  return -1;
}

}  // namespace

CListLinesView::CListLinesView(QWidget* parent) : QAbstractScrollArea(parent) {
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setCursor(Qt::IBeamCursor);
  viewport()->setAutoFillBackground(true);
  viewport()->setBackgroundRole(QPalette::Base);
  setAttribute(Qt::WA_InputMethodEnabled, false);
  setAcceptDrops(true);  // files dropped on a list window are opened, as on the editor
}

void CListLinesView::SetLines(std::shared_ptr<const CListLines> lines) {
  m_pLines = std::move(lines);
  m_caret = m_anchor = CPos{};
  m_nWidest = 0;
  const QFontMetrics metrics(font());
  for (std::int64_t i = 0; i < std::min<std::int64_t>(m_pLines->Count(), 100); ++i)
    m_nWidest = std::max(m_nWidest, metrics.horizontalAdvance(m_pLines->Line(i)));
  UpdateScrollBars();
  verticalScrollBar()->setValue(0);
  horizontalScrollBar()->setValue(0);
  viewport()->update();
}

std::int64_t CListLinesView::LastLine() const { return m_pLines ? m_pLines->Count() : 0; }

int CListLinesView::LineHeight() const { return std::max(1, QFontMetrics(font()).lineSpacing()); }

int CListLinesView::VisibleRows() const { return std::max(1, viewport()->height() / LineHeight()); }

int CListLinesView::ColumnX(const QString& line, qsizetype column) const {
  return kMargin + QFontMetrics(font()).horizontalAdvance(line.left(column)) - horizontalScrollBar()->value();
}

CListLinesView::CPos CListLinesView::PosAt(const QPoint& point) const {
  const std::int64_t row = point.y() < 0 ? -1 : point.y() / LineHeight();
  CPos pos;
  pos.m_nLine = std::clamp<std::int64_t>(verticalScrollBar()->value() + row, 0, LastLine());
  const QString line = m_pLines->Line(pos.m_nLine);
  const QFontMetrics metrics(font());
  int x = kMargin - horizontalScrollBar()->value();
  // The column whose left half or the previous one's right half holds the point.
  for (pos.m_nColumn = 0; pos.m_nColumn < line.size(); ++pos.m_nColumn) {
    const int width = metrics.horizontalAdvance(line[pos.m_nColumn]);
    if (point.x() < x + width / 2) break;
    x += width;
  }
  return pos;
}

void CListLinesView::UpdateScrollBars() {
  const int rows = VisibleRows();
  const std::int64_t lines = LastLine() + 1;
  verticalScrollBar()->setRange(0, static_cast<int>(std::max<std::int64_t>(0, lines - rows)));
  verticalScrollBar()->setPageStep(rows);
  verticalScrollBar()->setSingleStep(1);
  const int width = viewport()->width();
  horizontalScrollBar()->setRange(0, std::max(0, m_nWidest + 2 * kMargin - width));
  horizontalScrollBar()->setPageStep(width);
  horizontalScrollBar()->setSingleStep(std::max(1, QFontMetrics(font()).averageCharWidth()));
}

void CListLinesView::SetCaret(CPos caret, bool bKeepAnchor) {
  const bool hadSelection = HasSelection();
  caret.m_nLine = std::clamp<std::int64_t>(caret.m_nLine, 0, LastLine());
  caret.m_nColumn = std::clamp<qsizetype>(caret.m_nColumn, 0, m_pLines->Line(caret.m_nLine).size());
  m_caret = caret;
  if (!bKeepAnchor) m_anchor = caret;
  EnsureCaretVisible();
  viewport()->update();
  if (hadSelection || HasSelection()) emit SelectionChanged(HasSelection());
  emit CaretMoved();
}

void CListLinesView::EnsureCaretVisible() {
  QScrollBar* bar = verticalScrollBar();
  const std::int64_t top = bar->value();
  const int rows = VisibleRows();
  if (m_caret.m_nLine < top) bar->setValue(static_cast<int>(m_caret.m_nLine));
  else if (m_caret.m_nLine >= top + rows) bar->setValue(static_cast<int>(m_caret.m_nLine - rows + 1));
  const QString line = m_pLines->Line(m_caret.m_nLine);
  const int x = QFontMetrics(font()).horizontalAdvance(line.left(m_caret.m_nColumn));
  m_nWidest = std::max(m_nWidest, x);
  UpdateScrollBars();
  QScrollBar* hbar = horizontalScrollBar();
  const int width = viewport()->width() - 2 * kMargin;
  if (x < hbar->value()) hbar->setValue(x);
  else if (x > hbar->value() + width) hbar->setValue(x - width);
}

QString CListLinesView::SelectedText() const {
  const CPos from = std::min(m_caret, m_anchor);
  const CPos to = std::max(m_caret, m_anchor);
  if (from.m_nLine == to.m_nLine) return m_pLines->Line(from.m_nLine).mid(from.m_nColumn, to.m_nColumn - from.m_nColumn);
  QString text = m_pLines->Line(from.m_nLine).mid(from.m_nColumn);
  text += QLatin1Char('\n');
  m_pLines->AppendText(text, from.m_nLine + 1, to.m_nLine);
  text += m_pLines->Line(to.m_nLine).left(to.m_nColumn);
  return text;
}

void CListLinesView::Copy() const {
  if (HasSelection()) QApplication::clipboard()->setText(SelectedText());
}

void CListLinesView::SelectAll() {
  m_anchor = CPos{};
  SetCaret(CPos{LastLine(), 0}, true);
}

bool CListLinesView::Find(const QString& what, bool bMatchCase, bool bWholeWord) {
  // A match never holds a line feed: each lies within one line.
  if (what.isEmpty() || what.contains(QLatin1Char('\n'))) return false;
  const Qt::CaseSensitivity cs = bMatchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
  const CPos start = std::max(m_caret, m_anchor);
  // From the caret to the end, then from the start to the caret's line.
  std::optional<CPos> found = FindBetween(what, cs, bWholeWord, start, LastLine() + 1);
  if (!found) found = FindBetween(what, cs, bWholeWord, CPos{}, start.m_nLine + 1);
  if (!found) return false;
  m_anchor = *found;
  SetCaret(CPos{found->m_nLine, found->m_nColumn + what.size()}, true);
  return true;
}

std::optional<CListLinesView::CPos> CListLinesView::FindBetween(const QString& what, Qt::CaseSensitivity cs,
                                                               bool bWholeWord, CPos from,
                                                               std::int64_t endLine) const {
  // Many lines are rendered and searched at once: a line at a time costs ten times more.
  constexpr std::int64_t kPiece = 4096;
  for (std::int64_t first = from.m_nLine; first < endLine; first += kPiece) {
    QString text;
    m_pLines->AppendText(text, first, std::min(endLine, first + kPiece));
    const qsizetype at = FindInLine(text, first == from.m_nLine ? from.m_nColumn : 0, what, cs, bWholeWord);
    if (at < 0) continue;
    const qsizetype lineStart = at == 0 ? 0 : text.lastIndexOf(QLatin1Char('\n'), at - 1) + 1;
    return CPos{first + QStringView(text).left(at).count(QLatin1Char('\n')), at - lineStart};
  }
  return std::nullopt;
}

QRect CListLinesView::CaretRect() const {
  const std::int64_t row = m_caret.m_nLine - verticalScrollBar()->value();
  const int x = ColumnX(m_pLines->Line(m_caret.m_nLine), m_caret.m_nColumn);
  return QRect(x, static_cast<int>(row) * LineHeight(), 1, LineHeight());
}

bool CListLinesView::event(QEvent* event) {
  // Copy, select all and the keys that edit belong to the window, not to a shortcut.
  if (event->type() == QEvent::ShortcutOverride) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::SelectAll) || IsEditKey(key)) {
      event->accept();
      return true;
    }
  }
  return QAbstractScrollArea::event(event);
}

bool CListLinesView::IsEditKey(QKeyEvent* event) {
  // Not undo: there is nothing to undo yet, and it would fill the document for nothing.
  if (event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut) ||
      event->matches(QKeySequence::Delete))
    return true;
  switch (event->key()) {
    case Qt::Key_Return: case Qt::Key_Enter: case Qt::Key_Backspace: case Qt::Key_Delete: case Qt::Key_Tab:
      return true;
    default: break;
  }
  const Qt::KeyboardModifiers mods = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
  const QString text = event->text();
  return mods == Qt::NoModifier && !text.isEmpty() && text.front().isPrint();
}

void CListLinesView::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) return Copy();
  if (event->matches(QKeySequence::SelectAll)) return SelectAll();
  if (MoveByKey(event)) return;
  if (IsEditKey(event)) return emit EditRequested(event);
  QAbstractScrollArea::keyPressEvent(event);
}

bool CListLinesView::MoveByKey(QKeyEvent* event) {
  const bool shift = event->modifiers() & Qt::ShiftModifier;
  const bool ctrl = event->modifiers() & Qt::ControlModifier;
  CPos to = m_caret;
  const qsizetype length = m_pLines->Line(to.m_nLine).size();
  switch (event->key()) {
    case Qt::Key_Up: --to.m_nLine; break;
    case Qt::Key_Down: ++to.m_nLine; break;
    case Qt::Key_PageUp: to.m_nLine -= VisibleRows(); break;
    case Qt::Key_PageDown: to.m_nLine += VisibleRows(); break;
    case Qt::Key_Left:
      if (to.m_nColumn > 0) --to.m_nColumn;
      else if (to.m_nLine > 0) to = CPos{to.m_nLine - 1, m_pLines->Line(to.m_nLine - 1).size()};
      break;
    case Qt::Key_Right:
      if (to.m_nColumn < length) ++to.m_nColumn;
      else if (to.m_nLine < LastLine()) to = CPos{to.m_nLine + 1, 0};
      break;
    case Qt::Key_Home: to = ctrl ? CPos{} : CPos{to.m_nLine, 0}; break;
    case Qt::Key_End: to = ctrl ? CPos{LastLine(), 0} : CPos{to.m_nLine, length}; break;
    default: return false;
  }
  // A page key moves the view with the caret, as the editor does.
  if (event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown) {
    const int step = event->key() == Qt::Key_PageUp ? -VisibleRows() : VisibleRows();
    verticalScrollBar()->setValue(verticalScrollBar()->value() + step);
  }
  SetCaret(to, shift);
  return true;
}

void CListLinesView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(event);
  SetCaret(PosAt(event->position().toPoint()), event->modifiers() & Qt::ShiftModifier);
}

void CListLinesView::mouseMoveEvent(QMouseEvent* event) {
  if (event->buttons() & Qt::LeftButton) SetCaret(PosAt(event->position().toPoint()), true);
}

void CListLinesView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mouseDoubleClickEvent(event);
  const CPos at = PosAt(event->position().toPoint());
  const QString line = m_pLines->Line(at.m_nLine);
  qsizetype from = at.m_nColumn;
  qsizetype to = at.m_nColumn;
  while (from > 0 && IsWordChar(line[from - 1])) --from;
  while (to < line.size() && IsWordChar(line[to])) ++to;
  m_anchor = CPos{at.m_nLine, from};
  SetCaret(CPos{at.m_nLine, to}, true);
}

void CListLinesView::paintEvent(QPaintEvent*) {
  if (!m_pLines) return;
  QPainter painter(viewport());
  painter.setFont(font());
  const QFontMetrics metrics(font());
  const int height = LineHeight();
  const QPalette& colours = palette();
  const CPos from = std::min(m_caret, m_anchor);
  const CPos to = std::max(m_caret, m_anchor);
  const std::int64_t top = verticalScrollBar()->value();
  const int rows = viewport()->height() / height + 1;
  const int widest = m_nWidest;
  for (int row = 0; row < rows && top + row <= LastLine(); ++row) {
    const std::int64_t i = top + row;
    const QString line = m_pLines->Line(i);
    const int y = row * height;
    const int x = ColumnX(line, 0);
    m_nWidest = std::max(m_nWidest, metrics.horizontalAdvance(line));
    painter.setPen(colours.color(QPalette::Text));
    painter.drawText(x, y + metrics.ascent(), line);
    if (i >= from.m_nLine && i <= to.m_nLine && from != to) {
      // The selected part, and a space's width for a line feed it takes in.
      const qsizetype first = i == from.m_nLine ? from.m_nColumn : 0;
      const qsizetype last = i == to.m_nLine ? to.m_nColumn : line.size();
      const int left = ColumnX(line, first);
      const int right = ColumnX(line, last) + (i < to.m_nLine ? metrics.horizontalAdvance(QLatin1Char(' ')) : 0);
      const QRect selected(left, y, right - left, height);
      painter.fillRect(selected, colours.brush(QPalette::Highlight));
      painter.save();
      painter.setClipRect(selected);
      painter.setPen(colours.color(QPalette::HighlightedText));
      painter.drawText(x, y + metrics.ascent(), line);
      painter.restore();
    }
    if (i == m_caret.m_nLine && hasFocus()) painter.fillRect(CaretRect(), colours.brush(QPalette::Text));
  }
  if (m_nWidest != widest) UpdateScrollBars();
}

void CListLinesView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
}

void CListLinesView::scrollContentsBy(int, int) { viewport()->update(); }

void CListLinesView::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    UpdateScrollBars();
    viewport()->update();
  }
}

void CListLinesView::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  viewport()->update();
}

void CListLinesView::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  viewport()->update();
}

}  // namespace tessary
