#include "editor/tessary_view.h"

#include <QContextMenuEvent>
#include <QEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextList>
#include <QVBoxLayout>
#include <array>

#include "editor/editor_dialogs.h"
#include "editor/editor_host.h"
#include "editor/list_lines.h"
#include "editor/list_lines_view.h"
#include "editor/printing.h"
#include "ui/fixed_font.h"
#include "ui/prompt.h"

namespace tessary {

namespace {

std::array<bool, 10> g_wrapOfKind{};  // every kind starts without wrap

}  // namespace

void CTessaryView::SaveWrapOfKind(int nType, bool bWrap) {
  if (nType >= 0 && nType < int(g_wrapOfKind.size())) g_wrapOfKind[nType] = bWrap;
}

bool CTessaryView::WrapOfKind(int nType) {
  return nType >= 0 && nType < int(g_wrapOfKind.size()) && g_wrapOfKind[nType];
}

CTessaryView::CTessaryView(CTessaryDoc* doc, QWidget* parent) : QWidget(parent), m_pDoc(doc) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  QTextDocument* document = doc->Document();
  // The widget is set up before it gets the document: each change afterwards would
  // lay out the whole text again, which costs a second on a big file.
  const bool bWrap = WrapOfKind(kTypeText);
  if (doc->PlainLayout()) {
    m_pPlain = new QPlainTextEdit(this);
    m_pPlain->setLineWrapMode(bWrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    m_pPlain->setFont(document->defaultFont());
    m_pPlain->setDocument(document);
    connect(m_pPlain, &QPlainTextEdit::cursorPositionChanged, this, &CTessaryView::CharFormatChanged);
  } else {
    m_pRich = new QTextEdit(this);
    m_pRich->setLineWrapMode(bWrap ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    m_pRich->setAutoFormatting(QTextEdit::AutoNone);
    m_pRich->setFont(document->defaultFont());
    m_pRich->setDocument(document);
    connect(m_pRich, &QTextEdit::cursorPositionChanged, this, &CTessaryView::CharFormatChanged);
    connect(m_pRich, &QTextEdit::currentCharFormatChanged, this, &CTessaryView::CharFormatChanged);
  }
  layout->addWidget(Editor());
  setFocusProxy(Editor());
  Editor()->installEventFilter(this);
  Editor()->viewport()->installEventFilter(this);
  doc->AddView(this);
  connect(doc, &CTessaryDoc::TitleChanged, this, &CTessaryView::UpdateAccessibleName);
  connect(doc, &CTessaryDoc::ListChanged, this, &CTessaryView::UpdateAccessibleName);
  if (m_pPlain) {
    connect(m_pPlain, &QPlainTextEdit::copyAvailable, this, &CTessaryView::CopyAvailable);
    connect(doc, &CTessaryDoc::LinesChanged, this, &CTessaryView::OnLinesChanged);
    if (doc->Lines()) ShowLinesView();
  }
  UpdateAccessibleName();
  // Edits wait until the whole text is in: its tail is still being appended.
  if (doc->IsLoading()) {
    SetReadOnly(true);
    connect(doc, &CTessaryDoc::LoadFinished, this, [this] { SetReadOnly(false); });
  }
}

CTessaryView::~CTessaryView() {
  if (m_pDoc) m_pDoc->RemoveView(this);
}

void CTessaryView::DetachDocument() {
  m_pDoc = nullptr;
  if (m_pLines) {
    m_pLines->hide();
    m_pLines->deleteLater();
    m_pLines = nullptr;
    m_pPlain->show();
    setFocusProxy(m_pPlain);
  }
  if (m_pPlain) {
    auto* own = new QTextDocument(m_pPlain);
    own->setDocumentLayout(new QPlainTextDocumentLayout(own));
    m_pPlain->setDocument(own);
  } else {
    m_pRich->setDocument(new QTextDocument(m_pRich));
  }
}

QTextDocument* CTessaryView::Document() const {
  return m_pPlain ? m_pPlain->document() : m_pRich->document();
}

QAbstractScrollArea* CTessaryView::Editor() const {
  if (m_pLines) return m_pLines;
  if (m_pPlain) return m_pPlain;
  return m_pRich;
}

QTextCursor CTessaryView::TextCursor() const { return m_pPlain ? m_pPlain->textCursor() : m_pRich->textCursor(); }

void CTessaryView::SetTextCursor(const QTextCursor& cursor) {
  if (m_pPlain) {
    m_pPlain->setTextCursor(cursor);
    m_pPlain->ensureCursorVisible();
  } else {
    m_pRich->setTextCursor(cursor);
    m_pRich->ensureCursorVisible();
  }
}

bool CTessaryView::WordWrap() const {
  return m_pPlain ? m_pPlain->lineWrapMode() != QPlainTextEdit::NoWrap : m_pRich->lineWrapMode() != QTextEdit::NoWrap;
}

void CTessaryView::SetWordWrap(bool bWrap) {
  if (bWrap) EnsureEditor();
  if (m_pPlain)
    m_pPlain->setLineWrapMode(bWrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
  else
    m_pRich->setLineWrapMode(bWrap ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
}

void CTessaryView::SetReadOnly(bool bReadOnly) {
  if (m_pPlain) m_pPlain->setReadOnly(bReadOnly);
  else m_pRich->setReadOnly(bReadOnly);
}

bool CTessaryView::IsReadOnly() const { return m_pPlain ? m_pPlain->isReadOnly() : m_pRich->isReadOnly(); }

QTextCharFormat CTessaryView::CurrentCharFormat() const {
  return m_pPlain ? m_pPlain->currentCharFormat() : m_pRich->currentCharFormat();
}

void CTessaryView::MergeCharFormat(const QTextCharFormat& format) {
  EnsureEditor();
  if (m_pPlain) m_pPlain->mergeCurrentCharFormat(format);
  else m_pRich->mergeCurrentCharFormat(format);
  emit CharFormatChanged();
}

namespace {

// A plain window has no list formats: its bullet is the text the saved file keeps.
const QString kPlainBullet = QStringLiteral("\u2022 ");

void TogglePlainBullets(QPlainTextEdit& edit) {
  QTextCursor cursor = edit.textCursor();
  QTextDocument* document = edit.document();
  const QTextBlock first = document->findBlock(cursor.selectionStart());
  const QTextBlock last = document->findBlock(cursor.selectionEnd());
  const bool bRemove = first.text().startsWith(kPlainBullet);
  cursor.beginEditBlock();
  for (QTextBlock block = first; block.isValid(); block = block.next()) {
    QTextCursor at(block);
    if (bRemove && block.text().startsWith(kPlainBullet)) {
      at.setPosition(block.position() + kPlainBullet.size(), QTextCursor::KeepAnchor);
      at.removeSelectedText();
    } else if (!bRemove) {
      at.insertText(kPlainBullet);
    }
    if (block == last) break;
  }
  cursor.endEditBlock();
}

}  // namespace

bool CTessaryView::HasBullet() const {
  if (m_pPlain) return TextCursor().block().text().startsWith(kPlainBullet);
  return TextCursor().currentList() != nullptr;
}

void CTessaryView::OnInsertBullet() {
  if (IsReadOnly()) return;
  EnsureEditor();
  if (m_pPlain) {
    TogglePlainBullets(*m_pPlain);
    emit CharFormatChanged();
    return;
  }
  QTextCursor cursor = m_pRich->textCursor();
  cursor.beginEditBlock();
  if (cursor.currentList()) {
    QTextDocument* document = Document();
    const QTextBlock last = document->findBlock(cursor.selectionEnd());
    for (QTextBlock block = document->findBlock(cursor.selectionStart()); block.isValid(); block = block.next()) {
      if (QTextList* list = block.textList()) {
        list->remove(block);
        QTextCursor at(block);
        QTextBlockFormat format = block.blockFormat();
        format.setIndent(0);
        at.setBlockFormat(format);
      }
      if (block == last) break;
    }
  } else {
    QTextListFormat format;
    format.setStyle(QTextListFormat::ListDisc);
    format.setIndent(1);
    cursor.createList(format);
  }
  cursor.endEditBlock();
  emit CharFormatChanged();
}

void CTessaryView::OnFormatFont() {
  IEditorHost* host = EditorHost();
  if (!host || IsReadOnly()) return;
  CFontModel model;
  model.m_font = CurrentCharFormat().font().resolve(Document()->defaultFont());
  const QFont current = model.m_font;
  if (!host->Prompt().Exec(model)) return;
  if (RenderedFamily(model.m_font) != RenderedFamily(current) && !AcceptsFace(model.m_font)) return;
  QTextCharFormat format;
  format.setFont(model.m_font, QTextCharFormat::FontPropertiesSpecifiedOnly);
  MergeCharFormat(format);
}

bool CTessaryView::AcceptsFace(const QFont& font) {
  if (!List() || IsFixedPitch(font)) return true;
  IEditorHost* host = EditorHost();
  if (!host) return false;
  const QString text =
      QStringLiteral("%1 is a proportional font: the key words of this concordance list will no longer stand in one "
                     "column. Use it anyway?")
          .arg(RenderedFamily(font));
  return host->Prompt().Message(text, QStringLiteral("Font"), QMessageBox::Question,
                                QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

void CTessaryView::OnEditFind() { ShowFindDialog(this, false); }
void CTessaryView::OnEditReplace() { ShowFindDialog(this, true); }
void CTessaryView::OnEditFindNext() { FindAgain(this); }
void CTessaryView::OnFilePrint() {
  EnsureEditor();
  FilePrint(this);
}
void CTessaryView::OnFilePrintPreview() {
  EnsureEditor();
  FilePrintPreview(this);
}

const CConcordanceList* CTessaryView::List() const { return m_pDoc ? m_pDoc->List() : nullptr; }

std::int64_t CTessaryView::LineCount() const {
  if (m_pDoc && m_pDoc->Lines()) return m_pDoc->Lines()->Count();
  const QTextDocument* document = Document();
  std::int64_t nLines = document->blockCount();
  if (document->lastBlock().length() <= 1) --nLines;  // the text ends with a paragraph break
  return nLines;
}

void CTessaryView::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  emit FocusIn(this);
}

bool CTessaryView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Editor() && event->type() == QEvent::FocusIn) emit FocusIn(this);
  if ((watched == Editor() || watched == Editor()->viewport()) && List() && FilterListEvent(event)) return true;
  return QWidget::eventFilter(watched, event);
}

bool CTessaryView::FilterListEvent(QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
      // The right button looks up the caret's line and leaves the caret alone.
      if (static_cast<QMouseEvent*>(event)->button() != Qt::RightButton) return false;
      if (event->type() == QEvent::MouseButtonPress) emit ContextRequested(this);
      return true;
    }
    case QEvent::ContextMenu: {
      auto* menu = static_cast<QContextMenuEvent*>(event);
      // The mouse's own menu event follows the press that did the look-up.
      if (menu->reason() != QContextMenuEvent::Mouse) emit ListMenuRequested(this, MenuPosition());
      return true;
    }
    case QEvent::KeyPress: {
      auto* key = static_cast<QKeyEvent*>(event);
      const bool shiftF10 = key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier;
      if (key->key() != Qt::Key_Menu && !shiftF10) return false;
      emit ListMenuRequested(this, MenuPosition());
      return true;
    }
    default:
      return false;
  }
}

QPoint CTessaryView::MenuPosition() const {
  const QRect caret = m_pLines ? m_pLines->CaretRect() : m_pPlain ? m_pPlain->cursorRect() : m_pRich->cursorRect();
  const QWidget* viewport = Editor()->viewport();
  // Under the caret while it is in view, else at the window's top left.
  const QPoint at = viewport->rect().contains(caret.bottomLeft()) ? caret.bottomLeft() : QPoint(0, 0);
  return viewport->mapToGlobal(at);
}

void CTessaryView::UpdateAccessibleName() {
  const QString title = m_pDoc ? m_pDoc->Title() : QString();
  QString name = List() ? QStringLiteral("Concordance list") : QStringLiteral("Document");
  if (!title.isEmpty()) name += QStringLiteral(" ") + title;
  Editor()->setAccessibleName(name);
  if (m_pLines && m_pPlain) m_pPlain->setAccessibleName(name);
}

void CTessaryView::EnsureEditor() {
  if (m_pDoc) m_pDoc->EnsureText();
}

bool CTessaryView::HasSelection() const { return m_pLines ? m_pLines->HasSelection() : TextCursor().hasSelection(); }

QString CTessaryView::SelectedText() const {
  if (m_pLines) return m_pLines->SelectedText();
  QString text = TextCursor().selectedText();
  for (QChar& c : text)
    if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) c = QLatin1Char('\n');
  return text;
}

void CTessaryView::Copy() {
  if (m_pLines) m_pLines->Copy();
  else if (m_pPlain) m_pPlain->copy();
  else m_pRich->copy();
}

void CTessaryView::SelectAll() {
  if (m_pLines) m_pLines->SelectAll();
  else if (m_pPlain) m_pPlain->selectAll();
  else m_pRich->selectAll();
}

std::int64_t CTessaryView::CaretLine() const {
  if (m_pLines) return m_pLines->Caret().m_nLine < m_pLines->Anchor().m_nLine ? m_pLines->Caret().m_nLine
                                                                              : m_pLines->Anchor().m_nLine;
  return Document()->findBlock(TextCursor().selectionStart()).blockNumber();
}

void CTessaryView::OnLinesChanged() {
  if (m_pDoc && m_pDoc->Lines()) ShowLinesView();
  else if (m_pLines) ShowPlainEditor();
}

void CTessaryView::ShowLinesView() {
  const bool bFocus = m_pPlain->hasFocus();
  if (!m_pLines) {
    m_pLines = new CListLinesView(this);
    m_pLines->setFont(m_pPlain->font());
    layout()->addWidget(m_pLines);
    m_pLines->installEventFilter(this);
    m_pLines->viewport()->installEventFilter(this);
    connect(m_pLines, &CListLinesView::CaretMoved, this, &CTessaryView::CharFormatChanged);
    connect(m_pLines, &CListLinesView::SelectionChanged, this, &CTessaryView::CopyAvailable);
    connect(m_pLines, &CListLinesView::EditRequested, this, [this](QKeyEvent* key) {
      if (IsReadOnly()) return;
      // The first edit: the text goes into the document, and the editor gets the key.
      QKeyEvent again(key->type(), key->key(), key->modifiers(), key->text(), key->isAutoRepeat(), key->count());
      EnsureEditor();
      if (!m_pLines) QCoreApplication::sendEvent(m_pPlain, &again);
    });
  }
  m_pLines->SetLines(m_pDoc->SharedLines());
  m_pPlain->hide();
  m_pLines->show();
  setFocusProxy(m_pLines);
  if (bFocus) m_pLines->setFocus();
  UpdateAccessibleName();
  emit EditorChanged(this);
}

void CTessaryView::ShowPlainEditor() {
  CListLinesView* lines = m_pLines;
  m_pLines = nullptr;
  const bool bFocus = lines->hasFocus();
  QTextDocument* document = m_pPlain->document();
  // A place in the lines is a block and a column of the text.
  auto position = [document](const CListLinesView::CPos& pos) {
    const QTextBlock block = document->findBlockByNumber(static_cast<int>(pos.m_nLine));
    if (!block.isValid()) return document->characterCount() - 1;
    return block.position() + static_cast<int>(std::min<qsizetype>(pos.m_nColumn, block.length() - 1));
  };
  QTextCursor cursor(document);
  cursor.setPosition(position(lines->Anchor()));
  cursor.setPosition(position(lines->Caret()), QTextCursor::KeepAnchor);
  const int top = lines->verticalScrollBar()->value();
  m_pPlain->setFont(lines->font());
  lines->hide();
  lines->deleteLater();  // it may be in its own key handler
  m_pPlain->show();
  setFocusProxy(m_pPlain);
  m_pPlain->setTextCursor(cursor);
  m_pPlain->verticalScrollBar()->setValue(top);
  if (bFocus) m_pPlain->setFocus();
  UpdateAccessibleName();
  emit EditorChanged(this);
}

}  // namespace tessary
