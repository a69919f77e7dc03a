#include "app/concordance_dialogs.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTextEdit>
#include <QVBoxLayout>

#include "app/search_string_edit.h"
#include "engine/search_settings.h"
#include "ui/dialog_support.h"

namespace tessary {

namespace {

// A dialog with a layout and OK/Cancel at the bottom.
std::unique_ptr<QDialog> MakeDialog(QWidget* parent, const QString& title, QVBoxLayout*& layout) {
  // Checked: a dialog whose model finds a problem with its answer stays open.
  auto dialog = std::make_unique<CCheckedDialog>(parent);
  dialog->setWindowTitle(title);
  dialog->setAccessibleName(title);
  layout = new QVBoxLayout(dialog.get());
  return dialog;
}

void AddButtons(QDialog* dialog, QVBoxLayout* layout) {
  AddOkCancel(*dialog, *layout);
}

QComboBox* EditableCombo(QDialog* dialog, const QString& name, const QString& accessibleName,
                         const QStringList& items, const QString& text, bool editable = true) {
  auto* combo = new QComboBox(dialog);
  combo->setObjectName(name);
  combo->setAccessibleName(accessibleName);
  combo->setEditable(editable);
  combo->addItems(items);
  if (editable) combo->setCurrentText(text);
  else combo->setCurrentIndex(std::max(0, static_cast<int>(items.indexOf(text))));
  return combo;
}

template <class T>
T* Find(QDialog& dialog, const char* name) {
  return dialog.findChild<T*>(QString::fromLatin1(name));
}

// The box of a radio group, named for a screen reader by what the choice is about.
QGroupBox* ChoiceBox(QWidget* parent, const QString& accessibleName, bool bFramed = true) {
  auto* box = new QGroupBox(parent);
  box->setAccessibleName(accessibleName);
  if (!bFramed) box->setStyleSheet(QStringLiteral("QGroupBox { border: none; margin: 0; padding: 0; }"));
  return box;
}

void SelectEditText(QComboBox* combo) {
  combo->setFocus();
  if (combo->lineEdit()) combo->lineEdit()->selectAll();
}

}  // namespace

std::unique_ptr<QDialog> CCodeSetDialog::CreateWidget(QWidget* parent) {
  QVBoxLayout* layout = nullptr;
  auto dialog = MakeDialog(parent, "Select Code Set", layout);
  auto* text = new QLabel(
      "Select the codeset for the files you are using to search (all files must have the same codeset)");
  text->setWordWrap(true);
  layout->addWidget(text);
  auto* box = ChoiceBox(dialog.get(), "Code set", false);
  auto* choices = new QVBoxLayout(box);
  auto* unicode = new QRadioButton("Unicode", box);
  unicode->setObjectName("unicode");
  auto* ansi = new QRadioButton("ANSI", box);
  (m_bUnicode ? unicode : ansi)->setChecked(true);
  choices->addWidget(unicode);
  choices->addWidget(ansi);
  layout->addWidget(box);
  AddButtons(dialog.get(), layout);
  return dialog;
}

void CCodeSetDialog::ReadWidget(QDialog& widget) { m_bUnicode = Find<QRadioButton>(widget, "unicode")->isChecked(); }

std::unique_ptr<QDialog> CConcordanceSelectionDialog::CreateWidget(QWidget* parent) {
  QVBoxLayout* layout = nullptr;
  auto dialog = MakeDialog(parent, m_bUnicodeForm ? "Concordance Selection (Unicode)" : "Concordance Selection", layout);
  auto* form = new QFormLayout;
  // Any Unicode text can be typed into a rich edit, whatever the keyboard.
  QWidget* edit = nullptr;
  if (m_bUnicodeForm) edit = new CSearchStringEdit(m_strSearch, "Search string", dialog.get());
  else edit = NewSearchLineEdit(m_strSearch, "Search string", dialog.get());
  edit->setObjectName("search");
  form->addRow("Search string", edit);
  layout->addLayout(form);

  auto* modes = ChoiceBox(dialog.get(), "Match");
  auto* modeLayout = new QVBoxLayout(modes);
  const QStringList labels = m_bUnicodeForm
                                 ? QStringList{"Word(s) (with spaces)", "Prefix (with spaces)", "Suffix (with spaces)",
                                               "Any string (no spaces)"}
                                 : QStringList{"Word/phrase", "Prefix", "Suffix", "Any string"};
  const int values[] = {0, 1, 3, 2};
  auto* group = new QButtonGroup(dialog.get());
  group->setObjectName("modes");
  for (int i = 0; i < 4; ++i) {
    auto* radio = new QRadioButton(labels[i], modes);
    group->addButton(radio, values[i]);
    radio->setChecked(values[i] == m_nMatchMode);
    modeLayout->addWidget(radio);
  }
  layout->addWidget(modes);

  auto* sources = ChoiceBox(dialog.get(), "Search in");
  auto* sourceLayout = new QHBoxLayout(sources);
  auto* open = new QRadioButton("&Open", sources);
  auto* directory = new QRadioButton("&Directory", sources);
  directory->setObjectName("directory");
  (m_bDirectory ? directory : open)->setChecked(true);
  sourceLayout->addWidget(open);
  sourceLayout->addWidget(directory);
  layout->addWidget(sources);
  auto* hint = new QLabel(m_bDirectory ? "Use the % sign for any mid-letter (eg g%t)" : QString(), dialog.get());
  layout->addWidget(hint);
  QObject::connect(directory, &QRadioButton::toggled, hint, [hint](bool on) {
    hint->setText(on ? "Use the % sign for any mid-letter (eg g%t)" : QString());
  });

  auto* options = new QFormLayout;
  options->addRow("Distance from keyword", EditableCombo(dialog.get(), "distance", "Distance from keyword",
                                                        {"1", "2", "3"}, m_strDistance));
  options->addRow("Sort", EditableCombo(dialog.get(), "sort", "Sort", {"Sort Right", "Sort Left", "Unsorted"},
                                        m_strSortMode));
  options->addRow("Line Numbering", EditableCombo(dialog.get(), "numbers", "Line Numbering", {"No", "Yes"},
                                                  m_strLineNumbers, false));
  layout->addLayout(options);
  AddButtons(dialog.get(), layout);
  SelectForRetyping(edit);
  return dialog;
}

void CConcordanceSelectionDialog::ReadWidget(QDialog& widget) {
  if (auto* rich = Find<QTextEdit>(widget, "search")) m_strSearch = rich->toPlainText();
  else m_strSearch = Find<QLineEdit>(widget, "search")->text();
  m_nMatchMode = Find<QButtonGroup>(widget, "modes")->checkedId();
  m_bDirectory = Find<QRadioButton>(widget, "directory")->isChecked();
  m_strDistance = Find<QComboBox>(widget, "distance")->currentText();
  m_strSortMode = Find<QComboBox>(widget, "sort")->currentText();
  m_strLineNumbers = Find<QComboBox>(widget, "numbers")->currentText();
}

std::unique_ptr<QDialog> CLineWidthDialog::CreateWidget(QWidget* parent) {
  QVBoxLayout* layout = nullptr;
  auto dialog = MakeDialog(parent, "Set line width", layout);
  auto* label = new QLabel("Select the width for concordance strings from the list box", dialog.get());
  auto* width = EditableCombo(dialog.get(), "width", "Line width", {"25", "30", "35", "40", "45"}, m_strWidth);
  label->setBuddy(width);
  layout->addWidget(label);
  layout->addWidget(width);
  AddButtons(dialog.get(), layout);
  SelectEditText(width);
  return dialog;
}

void CLineWidthDialog::ReadWidget(QDialog& widget) { m_strWidth = Find<QComboBox>(widget, "width")->currentText(); }

QString CLineWidthDialog::Problem() const {
  // An empty box changes nothing; anything else must be a width the program takes.
  if (m_strWidth.trimmed().isEmpty()) return QString();
  std::int64_t nWidth = 0;
  return QString::fromStdString(SetLineWidth(nWidth, m_strWidth.trimmed().toStdString()));
}

void CLineWidthDialog::FocusProblem(QDialog& widget) { SelectEditText(Find<QComboBox>(widget, "width")); }

namespace {
struct MarginChoice {
  const char* label;
  std::int64_t value;
};
// "LOB corpus (8)" keeps 7: the reference column of those texts is seven wide.
const MarginChoice kMargins[] = {{"Brown corpus (15)", 15}, {"LOB corpus (8)", 7}, {"London / Lund (27)", 27},
                                 {"No Margin (0)", 0}};
}  // namespace

std::unique_ptr<QDialog> CLeftMarginDialog::CreateWidget(QWidget* parent) {
  QVBoxLayout* layout = nullptr;
  auto dialog = MakeDialog(parent, "Set Left Margin", layout);
  auto* choices = ChoiceBox(dialog.get(), "Left margin", false);
  auto* choiceLayout = new QVBoxLayout(choices);
  auto* group = new QButtonGroup(dialog.get());
  group->setObjectName("margins");
  bool matched = false;
  for (int i = 0; i < 4; ++i) {
    auto* radio = new QRadioButton(kMargins[i].label, choices);
    group->addButton(radio, i);
    if (kMargins[i].value == m_nMargin && !matched) radio->setChecked(matched = true);
    choiceLayout->addWidget(radio);
  }
  auto* other = new QRadioButton("Other (enter margin width)", choices);
  group->addButton(other, 4);
  choiceLayout->addWidget(other);
  layout->addWidget(choices);
  auto* box = new QLineEdit(matched ? QString() : QString::number(m_nMargin));
  box->setObjectName("other");
  box->setAccessibleName("Other margin width");
  layout->addWidget(box);
  if (!matched) other->setChecked(true);
  // Typing a width chooses "Other".
  QObject::connect(box, &QLineEdit::textEdited, other, [other] { other->setChecked(true); });
  AddButtons(dialog.get(), layout);
  return dialog;
}

void CLeftMarginDialog::ReadWidget(QDialog& widget) {
  const int id = Find<QButtonGroup>(widget, "margins")->checkedId();
  if (id >= 0 && id < 4) {
    m_nMargin = kMargins[id].value;
  } else if (id == 4) {
    bool ok = false;
    const qlonglong typed = Find<QLineEdit>(widget, "other")->text().trimmed().toLongLong(&ok);
    m_bBadOther = !ok || typed < 0;
    if (!m_bBadOther) m_nMargin = typed;
  }
}

QString CLeftMarginDialog::Problem() const {
  return m_bBadOther ? QStringLiteral("The margin width must be a whole number, 0 or more.") : QString();
}

void CLeftMarginDialog::FocusProblem(QDialog& widget) {
  auto* box = Find<QLineEdit>(widget, "other");
  box->setFocus();
  box->selectAll();
}

std::unique_ptr<QDialog> CCollocatePositionDialog::CreateWidget(QWidget* parent) {
  QVBoxLayout* layout = nullptr;
  auto dialog = MakeDialog(parent, "Collocate position", layout);
  auto* label = new QLabel("&Words from the keyword:", dialog.get());
  auto* distance = EditableCombo(dialog.get(), "distance", "Collocate position", {"1", "2", "3"}, m_strDistance);
  label->setBuddy(distance);
  layout->addWidget(label);
  layout->addWidget(distance);
  AddButtons(dialog.get(), layout);
  return dialog;
}

void CCollocatePositionDialog::ReadWidget(QDialog& widget) {
  m_strDistance = Find<QComboBox>(widget, "distance")->currentText();
}

}  // namespace tessary
