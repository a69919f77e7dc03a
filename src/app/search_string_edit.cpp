#include "app/search_string_edit.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>

namespace tessary {

namespace {

bool IsLineBreak(QChar c) {
  return c == u'\n' || c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator ||
         c == u'\v' || c == u'\f' || c == QChar(0x85);
}

}  // namespace

QString OneLineSearchString(const QString& text) {
  QString out;
  out.reserve(text.size());
  bool pendingSpace = false;
  for (QChar c : text) {
    if (IsLineBreak(c)) {
      pendingSpace = !out.isEmpty();
      continue;
    }
    if (pendingSpace && !out.endsWith(u' ') && c != u' ') out += u' ';
    pendingSpace = false;
    out += c;
  }
  return out;
}

CSearchStringEdit::CSearchStringEdit(const QString& text, const QString& accessibleName, QWidget* parent)
    : QTextEdit(parent) {
  setAcceptRichText(false);
  setLineWrapMode(QTextEdit::NoWrap);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setTabChangesFocus(true);
  setAccessibleName(accessibleName);
  setPlainText(OneLineSearchString(text));
  setFixedHeight(fontMetrics().height() * 2 + 8);
  SelectForRetyping(this);
}

void CSearchStringEdit::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    // Not taken: the dialog presses its default button, as for a line edit.
    event->ignore();
    return;
  }
  QTextEdit::keyPressEvent(event);
}

void CSearchStringEdit::insertFromMimeData(const QMimeData* source) {
  if (source && source->hasText()) insertPlainText(OneLineSearchString(source->text()));
}

QLineEdit* NewSearchLineEdit(const QString& text, const QString& accessibleName, QWidget* parent) {
  auto* edit = new QLineEdit(OneLineSearchString(text), parent);
  edit->setMaxLength(255);
  edit->setAccessibleName(accessibleName);
  SelectForRetyping(edit);
  return edit;
}

void SelectForRetyping(QWidget* edit) {
  if (auto* line = qobject_cast<QLineEdit*>(edit)) line->selectAll();
  else if (auto* rich = qobject_cast<QTextEdit*>(edit)) rich->selectAll();
  edit->setFocus(Qt::OtherFocusReason);
}

}  // namespace tessary
