#pragma once
// A view of a document: an editor widget over the document's text, and, for
// concordance list windows, the record the later commands read (lines' entries,
// width, flags).
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <string>
#include <vector>

#include "editor/tessary_doc.h"

class QAbstractScrollArea;
class QPlainTextEdit;
class QTextEdit;
class QTextCharFormat;
class QTextCursor;
class QTextDocument;

namespace tessary {

class CListLinesView;
class CTessaryDoc;

class CTessaryView : public QWidget {
  Q_OBJECT
 public:
  CTessaryView(CTessaryDoc* doc, QWidget* parent = nullptr);
  ~CTessaryView() override;

  CTessaryDoc* GetDocument() const { return m_pDoc; }
  QTextDocument* Document() const;
  // The widget the user sees: a QPlainTextEdit for plain layouts, else a QTextEdit;
  // the lines view while the document's lines are not in its text.
  QAbstractScrollArea* Editor() const;
  CListLinesView* LinesView() const { return m_pLines; }
  // The document's lines into its text, so the editor widgets can be used.
  void EnsureEditor();
  // Reading the selection, whichever widget shows it; copied text has line feeds.
  bool HasSelection() const;
  QString SelectedText() const;
  void Copy();
  void SelectAll();
  // The line of the caret (of the selection's start).
  std::int64_t CaretLine() const;
  QPlainTextEdit* PlainEdit() const { return m_pPlain; }
  QTextEdit* RichEdit() const { return m_pRich; }
  QTextCursor TextCursor() const;
  void SetTextCursor(const QTextCursor& cursor);
  bool WordWrap() const;
  void SetWordWrap(bool bWrap);
  void SetReadOnly(bool bReadOnly);
  bool IsReadOnly() const;

  // Word wrap per document kind, for the run: a kind change saves the view's mode for
  // the old kind; a new view starts with the mode saved for plain text.
  static void SaveWrapOfKind(int nType, bool bWrap);
  static bool WrapOfKind(int nType);

  // Commands of the view. Wrap "None" (1027) and "Wrap to window" (1026).
  void OnWrapNone() { SetWordWrap(false); }
  void OnWrapWindow() { SetWordWrap(true); }
  // "Insert Bullet" (32780): the selected paragraphs become a bulleted list, or leave it.
  void OnInsertBullet();
  bool HasBullet() const;
  // "Font..." (57696) on the selection.
  void OnFormatFont();
  // A list window keeps its columns only in a fixed-pitch face: a proportional one is
  // taken only when the user says so. Other windows take any face.
  bool AcceptsFace(const QFont& font);
  void OnEditFind();
  void OnEditReplace();
  void OnEditFindNext();
  void OnFilePrint();
  void OnFilePrintPreview();

  // The document is going: the editor keeps an empty text of its own.
  void DetachDocument();

  // The format under the cursor, and a change to the selection's (or the typing) format.
  QTextCharFormat CurrentCharFormat() const;
  void MergeCharFormat(const QTextCharFormat& format);

  // The concordance list this window shows (its document's), or null.
  const CConcordanceList* List() const;
  std::int64_t LineCount() const;  // lines of the list (paragraphs less the empty last one)

 signals:
  void FocusIn(CTessaryView* view);
  // The cursor moved or the format under it changed (the format bar follows it).
  void CharFormatChanged();
  // List windows only: the right mouse button asks for the context of the caret's line
  // (the caret stays where it is), and the menu key or Shift+F10 for the list's own
  // menu at globalPos. Other windows keep the editor's menu.
  void ContextRequested(CTessaryView* view);
  void ListMenuRequested(CTessaryView* view, const QPoint& globalPos);
  // The widget Editor() returns changed; copyAvailable as the editors give it.
  void EditorChanged(CTessaryView* view);
  void CopyAvailable(bool bAvailable);

 protected:
  void focusInEvent(QFocusEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool FilterListEvent(QEvent* event);
  QPoint MenuPosition() const;
  // The text area is read as its window: "Concordance list" and the title for a list.
  void UpdateAccessibleName();
  // The document got a line store (show the lines view) or lost it (the editor takes
  // over at the same caret).
  void OnLinesChanged();
  void ShowLinesView();
  void ShowPlainEditor();

  QPointer<CTessaryDoc> m_pDoc;
  QPlainTextEdit* m_pPlain = nullptr;
  QTextEdit* m_pRich = nullptr;
  CListLinesView* m_pLines = nullptr;
};

}  // namespace tessary
