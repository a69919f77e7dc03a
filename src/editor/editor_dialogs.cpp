#include "editor/editor_dialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>
#include <cmath>

#include "editor/editor_host.h"
#include "editor/list_lines_view.h"
#include "editor/tessary_view.h"
#include "ui/dialog_support.h"

namespace tessary {

namespace {

void Inform(const QString& text) {
  if (IEditorHost* host = EditorHost()) host->Prompt().Message(text, QString(), QMessageBox::Information);
}

QTextDocument::FindFlags FlagsOf(const CFindState& state) {
  QTextDocument::FindFlags flags;
  if (state.m_bMatchCase) flags |= QTextDocument::FindCaseSensitively;
  if (state.m_bWholeWord) flags |= QTextDocument::FindWholeWords;
  return flags;
}

QPointer<CFindDialog>& FindWindow() {
  static QPointer<CFindDialog> dialog;
  return dialog;
}

}  // namespace

// ---- Find and Replace ----

CFindState& LastFind() {
  static CFindState state;
  return state;
}

bool FindNext(CTessaryView& view, const CFindState& state) {
  if (state.m_strFind.isEmpty()) return false;
  if (CListLinesView* lines = view.LinesView()) return lines->Find(state.m_strFind, state.m_bMatchCase, state.m_bWholeWord);
  const QTextDocument* document = view.Document();
  QTextCursor found = document->find(state.m_strFind, view.TextCursor(), FlagsOf(state));
  if (found.isNull()) found = document->find(state.m_strFind, 0, FlagsOf(state));
  if (found.isNull()) return false;
  view.SetTextCursor(found);
  return true;
}

bool ReplaceAndFind(CTessaryView& view, const CFindState& state) {
  view.EnsureEditor();
  QTextCursor cursor = view.TextCursor();
  const Qt::CaseSensitivity cs = state.m_bMatchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
  if (cursor.hasSelection() && cursor.selectedText().compare(state.m_strFind, cs) == 0) {
    cursor.insertText(state.m_strReplace);
    view.SetTextCursor(cursor);
  }
  return FindNext(view, state);
}

int ReplaceAll(CTessaryView& view, const CFindState& state) {
  if (state.m_strFind.isEmpty()) return 0;
  view.EnsureEditor();
  QTextDocument* document = view.Document();
  QTextCursor edit(document);
  edit.beginEditBlock();
  int nCount = 0;
  // The search goes on after each replacement, so a replacement holding the string is
  // not found again.
  for (QTextCursor found = document->find(state.m_strFind, 0, FlagsOf(state)); !found.isNull();
       found = document->find(state.m_strFind, found, FlagsOf(state))) {
    found.insertText(state.m_strReplace);
    ++nCount;
  }
  edit.endEditBlock();
  return nCount;
}

CFindDialog::CFindDialog(QWidget* parent, CTessaryView* view, bool bReplace) : QDialog(parent), m_pView(view) {
  m_pFind = new QLineEdit(this);
  m_pReplace = new QLineEdit(this);
  m_pWholeWord = new QCheckBox(QStringLiteral("Match &whole word only"), this);
  m_pMatchCase = new QCheckBox(QStringLiteral("Match &case"), this);
  m_pFindNext = new QPushButton(QStringLiteral("&Find Next"), this);
  m_pReplaceButton = new QPushButton(QStringLiteral("&Replace"), this);
  m_pReplaceAllButton = new QPushButton(QStringLiteral("Replace &All"), this);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  m_pFindNext->setDefault(true);

  auto* fields = new QVBoxLayout;
  auto* findRow = new QHBoxLayout;
  auto* findLabel = new QLabel(QStringLiteral("Fi&nd what:"), this);
  findLabel->setBuddy(m_pFind);
  findRow->addWidget(findLabel);
  findRow->addWidget(m_pFind);
  fields->addLayout(findRow);
  m_pReplaceRow = new QWidget(this);
  auto* replaceRow = new QHBoxLayout(m_pReplaceRow);
  replaceRow->setContentsMargins(0, 0, 0, 0);
  auto* replaceLabel = new QLabel(QStringLiteral("Re&place with:"), m_pReplaceRow);
  replaceLabel->setBuddy(m_pReplace);
  m_pReplace->setParent(m_pReplaceRow);
  replaceRow->addWidget(replaceLabel);
  replaceRow->addWidget(m_pReplace);
  fields->addWidget(m_pReplaceRow);
  fields->addWidget(m_pWholeWord);
  fields->addWidget(m_pMatchCase);
  fields->addStretch();
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(m_pFindNext);
  buttons->addWidget(m_pReplaceButton);
  buttons->addWidget(m_pReplaceAllButton);
  buttons->addWidget(cancel);
  buttons->addStretch();
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(fields);
  layout->addLayout(buttons);

  const CFindState& last = LastFind();
  m_pFind->setText(last.m_strFind);
  m_pReplace->setText(last.m_strReplace);
  m_pWholeWord->setChecked(last.m_bWholeWord);
  m_pMatchCase->setChecked(last.m_bMatchCase);

  connect(m_pFindNext, &QPushButton::clicked, this, &CFindDialog::OnFindNext);
  connect(m_pReplaceButton, &QPushButton::clicked, this, &CFindDialog::OnReplace);
  connect(m_pReplaceAllButton, &QPushButton::clicked, this, &CFindDialog::OnReplaceAll);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(m_pFind, &QLineEdit::textChanged, this, &CFindDialog::UpdateButtons);
  SetReplaceMode(bReplace);
}

void CFindDialog::SetReplaceMode(bool bReplace) {
  setWindowTitle(bReplace ? QStringLiteral("Replace") : QStringLiteral("Find"));
  m_pReplaceRow->setVisible(bReplace);
  m_pReplaceButton->setVisible(bReplace);
  m_pReplaceAllButton->setVisible(bReplace);
  UpdateButtons();
  adjustSize();
}

CFindState CFindDialog::State() const {
  CFindState state;
  state.m_strFind = m_pFind->text();
  state.m_strReplace = m_pReplace->text();
  state.m_bWholeWord = m_pWholeWord->isChecked();
  state.m_bMatchCase = m_pMatchCase->isChecked();
  return state;
}

// The host's active window when there is one: the dialog stays open while the user
// moves between documents.
CTessaryView* CFindDialog::Target() const {
  if (IEditorHost* host = EditorHost())
    if (CTessaryView* active = host->ActiveView()) return active;
  return m_pView.data();
}

void CFindDialog::UpdateButtons() {
  const bool bText = !m_pFind->text().isEmpty();
  m_pFindNext->setEnabled(bText);
  m_pReplaceButton->setEnabled(bText);
  m_pReplaceAllButton->setEnabled(bText);
}

void CFindDialog::OnFindNext() {
  LastFind() = State();
  CTessaryView* view = Target();
  if (view && !FindNext(*view, LastFind())) Inform(QStringLiteral("Cannot find \"%1\".").arg(LastFind().m_strFind));
}

void CFindDialog::OnReplace() {
  LastFind() = State();
  CTessaryView* view = Target();
  if (!view || view->IsReadOnly()) return;
  if (!ReplaceAndFind(*view, LastFind())) Inform(QStringLiteral("Cannot find \"%1\".").arg(LastFind().m_strFind));
}

void CFindDialog::OnReplaceAll() {
  LastFind() = State();
  CTessaryView* view = Target();
  if (!view || view->IsReadOnly()) return;
  const int nCount = ReplaceAll(*view, LastFind());
  if (nCount == 0) Inform(QStringLiteral("Cannot find \"%1\".").arg(LastFind().m_strFind));
  else Inform(QStringLiteral("%1 replacements made.").arg(nCount));
}

void ShowFindDialog(CTessaryView* view, bool bReplace) {
  if (view) {
    // A selection within one line is what the user most likely wants to find.
    const QString selected = view->SelectedText();
    if (!selected.isEmpty() && !selected.contains(QLatin1Char('\n'))) LastFind().m_strFind = selected;
  }
  QPointer<CFindDialog>& dialog = FindWindow();
  if (!dialog) {
    QWidget* parent = EditorHost() ? EditorHost()->MainWindow() : nullptr;
    if (!parent && view) parent = view->window();
    dialog = new CFindDialog(parent, view, bReplace);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    SetDialogButtons(*dialog);
  } else {
    dialog->SetView(view);
    dialog->SetReplaceMode(bReplace);
  }
  dialog->show();
  dialog->raise();
  dialog->activateWindow();
}

void FindAgain(CTessaryView* view) {
  if (!view) return;
  if (LastFind().m_strFind.isEmpty()) {
    ShowFindDialog(view, false);
    return;
  }
  if (!FindNext(*view, LastFind())) Inform(QStringLiteral("Cannot find \"%1\".").arg(LastFind().m_strFind));
}

// ---- Measurements ----

const CUnit& UnitOf(int nUnits) {
  static const CUnit units[] = {
      {1440, "\"", false}, {568, "cm", true}, {20, "pt", true}, {240, "pi", true},
      {1440, "in", false}, {1440, "inch", false}, {1440, "inches", false},
  };
  if (nUnits < 0 || nUnits >= int(std::size(units))) nUnits = 0;
  return units[nUnits];
}

QString FormatMeasurement(int nTwips, int nUnits) {
  const CUnit& unit = UnitOf(nUnits);
  QString number = QString::number(double(nTwips) / unit.m_nTwips, 'f', 2);
  while (number.endsWith(QLatin1Char('0'))) number.chop(1);
  if (number.endsWith(QLatin1Char('.'))) number.chop(1);
  if (number == QLatin1String("-0")) number = QStringLiteral("0");
  return number + (unit.m_bSpace ? QStringLiteral(" ") : QString()) + QString::fromLatin1(unit.m_pszAbbrev);
}

QString ParseMeasurement(const QString& text, int nUnits, int nMinTwips, int nMaxTwips, int* pTwips) {
  static const QRegularExpression pattern(QStringLiteral("^\\s*([-+]?(?:\\d+(?:[.,]\\d*)?|[.,]\\d+))\\s*(\\S*)\\s*$"));
  const QString invalid = QStringLiteral("This is not a valid measurement.");
  const QRegularExpressionMatch match = pattern.match(text);
  if (!match.hasMatch()) return invalid;
  QString number = match.captured(1);
  number.replace(QLatin1Char(','), QLatin1Char('.'));
  bool bOk = false;
  const double value = number.toDouble(&bOk);
  if (!bOk) return invalid;
  int nTwipsPerUnit = UnitOf(nUnits).m_nTwips;
  if (const QString abbrev = match.captured(2); !abbrev.isEmpty()) {
    nTwipsPerUnit = 0;
    for (int i = 0; i < 7; ++i)
      if (abbrev.compare(QString::fromLatin1(UnitOf(i).m_pszAbbrev), Qt::CaseInsensitive) == 0)
        nTwipsPerUnit = UnitOf(i).m_nTwips;
    if (nTwipsPerUnit == 0) return invalid;
  }
  const double twips = std::round(value * nTwipsPerUnit);
  if (twips < nMinTwips || twips > nMaxTwips)
    return QStringLiteral("The measurement must be between %1 and %2.")
        .arg(FormatMeasurement(nMinTwips, nUnits), FormatMeasurement(nMaxTwips, nUnits));
  *pTwips = static_cast<int>(twips);
  return QString();
}

// ---- Page Setup fallback ----

namespace {

class CPageSetupDialog : public QDialog {
 public:
  CPageSetupDialog(QWidget* parent, const CPageSetupModel& model) : QDialog(parent), m_nUnits(model.m_nUnits) {
    setWindowTitle(QStringLiteral("Page Setup"));
    auto* group = new QGroupBox(QStringLiteral("Page Margins"), this);
    auto* form = new QFormLayout(group);
    const QString* values[4] = {&model.m_strTop, &model.m_strBottom, &model.m_strLeft, &model.m_strRight};
    const char* labels[4] = {"&Top:", "&Bottom:", "&Left:", "&Right:"};
    for (int i = 0; i < 4; ++i) {
      m_pEdits[i] = new QLineEdit(*values[i], group);
      form->addRow(QString::fromLatin1(labels[i]), m_pEdits[i]);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
  }
  QString Text(int i) const { return m_pEdits[i]->text(); }

  // A bad box keeps the dialog open with that box selected.
  void accept() override {
    for (QLineEdit* edit : m_pEdits) {
      int nTwips = 0;
      const QString error = ParseMeasurement(edit->text(), m_nUnits, 0, kMaxMarginTwips, &nTwips);
      if (!error.isEmpty()) {
        Inform(error);
        edit->setFocus();
        edit->selectAll();
        return;
      }
    }
    QDialog::accept();
  }

 private:
  int m_nUnits;
  QLineEdit* m_pEdits[4] = {};
};

}  // namespace

std::unique_ptr<QDialog> CPageSetupModel::CreateWidget(QWidget* parent) {
  return std::make_unique<CPageSetupDialog>(parent, *this);
}

void CPageSetupModel::ReadWidget(QDialog& widget) {
  auto& dialog = dynamic_cast<CPageSetupDialog&>(widget);
  m_strTop = dialog.Text(0);
  m_strBottom = dialog.Text(1);
  m_strLeft = dialog.Text(2);
  m_strRight = dialog.Text(3);
}

QString CPageSetupModel::Margins(int* pLeft, int* pTop, int* pRight, int* pBottom) const {
  const std::pair<const QString*, int*> fields[] = {
      {&m_strTop, pTop}, {&m_strBottom, pBottom}, {&m_strLeft, pLeft}, {&m_strRight, pRight}};
  for (const auto& [text, twips] : fields) {
    const QString error = ParseMeasurement(*text, m_nUnits, 0, kMaxMarginTwips, twips);
    if (!error.isEmpty()) return error;
  }
  return QString();
}

// ---- New ----

namespace {

class CNewTypeDialog : public QDialog {
 public:
  CNewTypeDialog(QWidget* parent, int nSelected) : QDialog(parent) {
    setWindowTitle(QStringLiteral("New"));
    m_pList = new QListWidget(this);
    m_pList->addItems({QStringLiteral("Rich Text Document"), QStringLiteral("Text Document")});
    m_pList->setCurrentRow(nSelected);
    connect(m_pList, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("New document type:"), this);
    label->setBuddy(m_pList);
    m_pList->setAccessibleName(QStringLiteral("New document type"));
    layout->addWidget(label);
    layout->addWidget(m_pList);
    layout->addWidget(buttons);
  }
  int Selected() const { return m_pList->currentRow(); }

 private:
  QListWidget* m_pList;
};

}  // namespace

std::unique_ptr<QDialog> CNewTypeModel::CreateWidget(QWidget* parent) {
  return std::make_unique<CNewTypeDialog>(parent, m_nSelected);
}

void CNewTypeModel::ReadWidget(QDialog& widget) {
  m_nSelected = std::max(0, dynamic_cast<CNewTypeDialog&>(widget).Selected());
}

// ---- Font ----

std::unique_ptr<QDialog> CFontModel::CreateWidget(QWidget* parent) {
  auto dialog = std::make_unique<QFontDialog>(m_font, parent);
  dialog->setWindowTitle(QStringLiteral("Font"));
  // Qt's dialog labels its boxes but not the lists under them nor the sample.
  const QList<QListView*> lists = dialog->findChildren<QListView*>();
  const QStringList names = {QStringLiteral("Font list"), QStringLiteral("Font style list"),
                             QStringLiteral("Size list")};
  for (qsizetype i = 0; i < lists.size() && i < names.size(); ++i)
    if (lists[i]->accessibleName().isEmpty()) lists[i]->setAccessibleName(names[i]);
  const QStringList edits = {QStringLiteral("Font"), QStringLiteral("Font style"), QStringLiteral("Size")};
  qsizetype nEdit = 0;
  for (QLineEdit* edit : dialog->findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly)) {
    if (nEdit < edits.size() && ControlName(*edit).isEmpty()) edit->setAccessibleName(edits[nEdit]);
    ++nEdit;
  }
  for (QLineEdit* edit : dialog->findChildren<QLineEdit*>())
    if (qobject_cast<QGroupBox*>(edit->parentWidget()) && edit->accessibleName().isEmpty())
      edit->setAccessibleName(QStringLiteral("Sample"));
  return dialog;
}

void CFontModel::ReadWidget(QDialog& widget) { m_font = dynamic_cast<QFontDialog&>(widget).currentFont(); }

}  // namespace tessary
