#pragma once
// The search-string boxes of the request dialogs. A search string is one line: the
// Unicode dialogs' rich edit (any text can be typed there, whatever the keyboard)
// lets Enter press the dialog's OK as a line edit does, and turns line breaks that
// are pasted or dropped into spaces. Every box opens with the previous string
// selected, so typing replaces it.
#include <QString>
#include <QTextEdit>

class QLineEdit;
class QMimeData;

namespace tessary {

class CSearchStringEdit : public QTextEdit {
 public:
  CSearchStringEdit(const QString& text, const QString& accessibleName, QWidget* parent);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void insertFromMimeData(const QMimeData* source) override;
};

// A line edit for a byte search string (255 at most), opened for retyping.
QLineEdit* NewSearchLineEdit(const QString& text, const QString& accessibleName, QWidget* parent);

// Selects the whole text of a search box and gives it the focus the dialog opens with.
void SelectForRetyping(QWidget* edit);

// The string with no line break in it: breaks at either end go, a run of them inside
// becomes one space (a phrase pasted across two lines still reads as a phrase).
QString OneLineSearchString(const QString& text);

}  // namespace tessary
