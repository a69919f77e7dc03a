#pragma once
// The format bar: font name and size boxes, bold, italic, underline, the word-list
// button, and bullet. It follows the active view and applies to its selection.
#include <QPointer>
#include <QToolBar>

class QComboBox;
class QFontComboBox;

namespace tessary {

class CTessaryView;

class CFormatBar : public QToolBar {
  Q_OBJECT
 public:
  explicit CFormatBar(QWidget* parent);

  // The view the bar shows and changes; nullptr disables it.
  void SetView(CTessaryView* view);
  CTessaryView* View() const { return m_pView.data(); }

  // The size box's text in points: blanks allowed, empty changes nothing. A bad number
  // or size is reported and returns false.
  bool ApplySizeText(const QString& text);
  void ApplyFamily(const QString& family);

  QFontComboBox* FontBox() const { return m_pFontBox; }
  QComboBox* SizeBox() const { return m_pSizeBox; }
  QAction* BoldAction() const { return m_pBold; }
  QAction* ItalicAction() const { return m_pItalic; }
  QAction* UnderlineAction() const { return m_pUnderline; }
  QAction* BulletAction() const { return m_pBullet; }
  // The word-list identification command belongs to the statistics; its button stands
  // after underline.
  void SetWordListAction(QAction* action);

 private:
  void UpdateFromView();
  void ApplyStyle(QAction* action, bool bChecked);
  void FocusView();

  QPointer<CTessaryView> m_pView;
  QMetaObject::Connection m_connection;
  QFontComboBox* m_pFontBox;
  QComboBox* m_pSizeBox;
  QAction* m_pBold;
  QAction* m_pItalic;
  QAction* m_pUnderline;
  QAction* m_pGap;
  QAction* m_pBullet;
  QAction* m_pWordList = nullptr;
};

}  // namespace tessary
