#pragma once
// The editor's own dialogs: Find and Replace (modeless), the Page Setup dialog used
// when the system's can't run, the New document type and the font of the selection.
// Modal ones are CDialogModel so that every modal question goes through the prompt.
#include <QDialog>
#include <QFont>
#include <QPointer>
#include <QString>

#include "ui/prompt.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QListWidget;
class QFontDialog;

namespace tessary {

class CTessaryView;

// ---- Find and Replace ----

struct CFindState {
  QString m_strFind;
  QString m_strReplace;
  bool m_bMatchCase = false;
  bool m_bWholeWord = false;
};

// The last search, which Find Next (F3) repeats.
CFindState& LastFind();

// Selects the next match after the cursor, going round to the start; false when the
// text has none.
bool FindNext(CTessaryView& view, const CFindState& state);
// Replaces the selection when it is a match, then selects the next one.
bool ReplaceAndFind(CTessaryView& view, const CFindState& state);
// Replaces every match as one undo step; returns the count.
int ReplaceAll(CTessaryView& view, const CFindState& state);

// Shows the one Find (or Replace) window of the program for view.
void ShowFindDialog(CTessaryView* view, bool bReplace);
// F3: the last search again, or the Find window when there was none.
void FindAgain(CTessaryView* view);

class CFindDialog : public QDialog {
  Q_OBJECT
 public:
  CFindDialog(QWidget* parent, CTessaryView* view, bool bReplace);
  void SetReplaceMode(bool bReplace);
  void SetView(CTessaryView* view) { m_pView = view; }

 private:
  CFindState State() const;
  CTessaryView* Target() const;
  void OnFindNext();
  void OnReplace();
  void OnReplaceAll();
  void UpdateButtons();

  QPointer<CTessaryView> m_pView;
  QLineEdit* m_pFind;
  QLineEdit* m_pReplace;
  QWidget* m_pReplaceRow;
  QCheckBox* m_pWholeWord;
  QCheckBox* m_pMatchCase;
  QPushButton* m_pFindNext;
  QPushButton* m_pReplaceButton;
  QPushButton* m_pReplaceAllButton;
};

// ---- Measurements ----

struct CUnit {
  int m_nTwips;             // twips per unit
  const char* m_pszAbbrev;  // "cm", "\"" ...
  bool m_bSpace;            // a space between number and abbreviation
};
// Rows 0 to 6 of the unit table: 0 inches, 1 centimetres, 2 points, 3 picas, 4 to 6
// further spellings of inches that input accepts.
const CUnit& UnitOf(int nUnits);
// "3.17 cm", "1.25\"".
QString FormatMeasurement(int nTwips, int nUnits);
// A number with an optional unit (the current one when absent). Returns the error
// message to show, or an empty string with *pTwips set.
QString ParseMeasurement(const QString& text, int nUnits, int nMinTwips, int nMaxTwips, int* pTwips);
// Page margins are kept between no margin and 22 inches.
constexpr int kMaxMarginTwips = 22 * 1440;

// ---- Page Setup fallback ----

class CPageSetupModel : public CDialogModel {
 public:
  int m_nUnits = 1;
  QString m_strTop, m_strBottom, m_strLeft, m_strRight;

  std::unique_ptr<QDialog> CreateWidget(QWidget* parent) override;
  void ReadWidget(QDialog& widget) override;
  // The four margins in twips (left, top, right, bottom), or the first error message.
  QString Margins(int* pLeft, int* pTop, int* pRight, int* pBottom) const;
};

// ---- New ----

class CNewTypeModel : public CDialogModel {
 public:
  int m_nSelected = 0;  // 0 "Rich Text Document", 1 "Text Document"
  std::unique_ptr<QDialog> CreateWidget(QWidget* parent) override;
  void ReadWidget(QDialog& widget) override;
};

// ---- Font ----

class CFontModel : public CDialogModel {
 public:
  QFont m_font;
  std::unique_ptr<QDialog> CreateWidget(QWidget* parent) override;
  void ReadWidget(QDialog& widget) override;
};

}  // namespace tessary
