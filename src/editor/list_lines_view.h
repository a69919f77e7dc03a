#pragma once
// A read-only view over a list window's line store: paints only the lines in sight,
// so a million lines cost what a screenful costs. It keeps a caret and a selection
// (keys and mouse), copies, selects all and finds; a key that would change the text
// is handed back (EditRequested) so the window can become an editor first.
#include <QAbstractScrollArea>
#include <cstdint>
#include <memory>
#include <optional>

class QKeyEvent;

namespace tessary {

class CListLines;

class CListLinesView : public QAbstractScrollArea {
  Q_OBJECT
 public:
  // A place in the lines: line Count() is the empty line after the last line feed.
  struct CPos {
    std::int64_t m_nLine = 0;
    qsizetype m_nColumn = 0;  // in UTF-16 units
    friend bool operator==(const CPos&, const CPos&) = default;
    friend auto operator<=>(const CPos&, const CPos&) = default;
  };

  explicit CListLinesView(QWidget* parent = nullptr);

  void SetLines(std::shared_ptr<const CListLines> lines);
  const CListLines& Lines() const { return *m_pLines; }
  std::int64_t LastLine() const;

  CPos Caret() const { return m_caret; }
  CPos Anchor() const { return m_anchor; }
  // Moves the caret (and the anchor, unless kept) and scrolls the caret into sight.
  void SetCaret(CPos caret, bool bKeepAnchor = false);
  bool HasSelection() const { return m_caret != m_anchor; }
  // As the editor would copy it: lines joined by line feeds.
  QString SelectedText() const;
  void Copy() const;
  void SelectAll();
  // The next match after the caret (wrapping to the start), selected; false if none.
  bool Find(const QString& what, bool bMatchCase, bool bWholeWord);
  // The caret's rectangle in the viewport.
  QRect CaretRect() const;

 signals:
  void SelectionChanged(bool bHasSelection);
  void CaretMoved();
  // A key that would edit the text; the receiver decides whether the window becomes
  // an editor and gets the key again.
  void EditRequested(QKeyEvent* event);

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void changeEvent(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  int LineHeight() const;
  int VisibleRows() const;  // whole rows that fit
  int ColumnX(const QString& line, qsizetype column) const;
  CPos PosAt(const QPoint& point) const;
  // The first match in lines [from.m_nLine, endLine), from from's column on.
  std::optional<CPos> FindBetween(const QString& what, Qt::CaseSensitivity cs, bool bWholeWord, CPos from,
                                  std::int64_t endLine) const;
  void UpdateScrollBars();
  void EnsureCaretVisible();
  bool MoveByKey(QKeyEvent* event);
  static bool IsEditKey(QKeyEvent* event);

  std::shared_ptr<const CListLines> m_pLines;
  CPos m_caret;
  CPos m_anchor;
  int m_nWidest = 0;  // of the lines painted so far, for the horizontal scroll range
};

}  // namespace tessary
