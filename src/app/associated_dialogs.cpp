#include "app/associated_dialogs.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/search_string_edit.h"
#include "ui/dialog_support.h"

namespace tessary {

namespace {

template <class T>
T* Find(QDialog& dialog, const char* name) {
  return dialog.findChild<T*>(QString::fromLatin1(name));
}

// A group of radio buttons named by their texts, one checked; ids are the values.
QGroupBox* RadioGroup(QDialog* dialog, const QString& title, const QString& accessibleName, const char* name,
                      const QStringList& labels, const std::vector<int>& values, int checked,
                      bool bHorizontal = false) {
  auto* box = new QGroupBox(title, dialog);
  box->setAccessibleName(accessibleName);
  QBoxLayout* layout = bHorizontal ? static_cast<QBoxLayout*>(new QHBoxLayout(box)) : new QVBoxLayout(box);
  auto* group = new QButtonGroup(dialog);
  group->setObjectName(QString::fromLatin1(name));
  for (int i = 0; i < labels.size(); ++i) {
    auto* radio = new QRadioButton(labels[i], box);
    radio->setAccessibleName(QString(labels[i]).remove('&'));
    group->addButton(radio, values[static_cast<std::size_t>(i)]);
    radio->setChecked(values[static_cast<std::size_t>(i)] == checked);
    layout->addWidget(radio);
  }
  return box;
}

QComboBox* Combo(QDialog* dialog, const char* name, const QString& accessibleName, const QStringList& items,
                 const QString& text, bool bEditable) {
  auto* combo = new QComboBox(dialog);
  combo->setObjectName(QString::fromLatin1(name));
  combo->setAccessibleName(accessibleName);
  combo->setEditable(bEditable);
  combo->addItems(items);
  if (bEditable) combo->setCurrentText(text);
  else combo->setCurrentIndex(std::max(0, static_cast<int>(items.indexOf(text))));
  return combo;
}

void AddButtons(QDialog* dialog, QVBoxLayout* layout) {
  AddOkCancel(*dialog, *layout)->button(QDialogButtonBox::Ok)->setDefault(true);
}

const std::vector<int> kModeValues = {0, 1, 3, 2};  // word, prefix, suffix, any string
const std::vector<int> kZoneValues = {static_cast<int>(AssocZone::kAnywhere), static_cast<int>(AssocZone::kLeft),
                                      static_cast<int>(AssocZone::kRight)};
const QStringList kZoneLabels = {"Anywhere", "To the left", "To the right"};

// The controls both dialogs share, below their text boxes.
void AddChoices(QDialog* dialog, QVBoxLayout* layout, const QStringList& modeLabels, int nMatchMode,
                bool bDirectory, AssocZone zone) {
  layout->addWidget(
      RadioGroup(dialog, QString(), "Search in", "files", {"&Open", "&Directory"}, {0, 1}, bDirectory ? 1 : 0, true));
  layout->addWidget(RadioGroup(dialog, "Find near keyword", "Find near keyword", "zone", kZoneLabels, kZoneValues,
                               static_cast<int>(zone)));
  layout->addWidget(RadioGroup(dialog, QString(), "Match", "modes", modeLabels, kModeValues, nMatchMode));
}

void ReadChoices(QDialog& widget, int& nMatchMode, bool& bDirectory, AssocZone& zone) {
  if (const int mode = Find<QButtonGroup>(widget, "modes")->checkedId(); mode >= 0) nMatchMode = mode;
  bDirectory = Find<QButtonGroup>(widget, "files")->checkedId() == 1;
  if (const int near = Find<QButtonGroup>(widget, "zone")->checkedId(); near >= 0) zone = static_cast<AssocZone>(near);
}

}  // namespace

std::unique_ptr<QDialog> CPlexonDialog::CreateWidget(QWidget* parent) {
  auto dialog = std::make_unique<QDialog>(parent);
  dialog->setWindowTitle("Associated Word Plexon Search");
  dialog->setAccessibleName("Associated Word Plexon Search");
  auto* layout = new QVBoxLayout(dialog.get());
  auto* words = new QFormLayout;
  const struct {
    const char* name;
    const char* label;
    const QString& text;
  } boxes[] = {{"node", "Node word", m_strNode},
               {"assoc1", "Associated word (1)", m_strAssocWord1},
               {"assoc2", "Associated word (2) (optional)", m_strAssocWord2},
               {"assoc3", "Associated word (3) (optional)", m_strAssocWord3}};
  QLineEdit* node = nullptr;
  for (const auto& box : boxes) {
    QLineEdit* edit = NewSearchLineEdit(box.text, box.label, dialog.get());
    edit->setObjectName(box.name);
    words->addRow(box.label, edit);
    if (!node) node = edit;
  }
  layout->addLayout(words);
  AddChoices(dialog.get(), layout, {"Word/phrase", "Prefix", "Suffix", "Any string"}, m_nMatchMode, m_bDirectory,
             m_zone);
  auto* options = new QFormLayout;
  options->addRow("Collocate distance from node word",
                  Combo(dialog.get(), "distance", "Collocate distance from node word", {"1", "2", "3"},
                        m_strDistance, true));
  options->addRow("Sort", Combo(dialog.get(), "sort", "Sort", {"Sort Right", "Sort Left", "Unsorted"},
                                m_strSortMode, true));
  options->addRow("Line Numbering",
                  Combo(dialog.get(), "numbers", "Line Numbering", {"No", "Yes"}, m_strLineNumbers, false));
  layout->addLayout(options);
  AddButtons(dialog.get(), layout);
  // The dialog opens on the node word, ready to be typed over.
  SelectForRetyping(node);
  return dialog;
}

void CPlexonDialog::ReadWidget(QDialog& widget) {
  m_strNode = Find<QLineEdit>(widget, "node")->text();
  m_strAssocWord1 = Find<QLineEdit>(widget, "assoc1")->text();
  m_strAssocWord2 = Find<QLineEdit>(widget, "assoc2")->text();
  m_strAssocWord3 = Find<QLineEdit>(widget, "assoc3")->text();
  ReadChoices(widget, m_nMatchMode, m_bDirectory, m_zone);
  m_strDistance = Find<QComboBox>(widget, "distance")->currentText();
  m_strSortMode = Find<QComboBox>(widget, "sort")->currentText();
  m_strLineNumbers = Find<QComboBox>(widget, "numbers")->currentText();
}

std::unique_ptr<QDialog> CUnicodeAssociatedDialog::CreateWidget(QWidget* parent) {
  auto dialog = std::make_unique<QDialog>(parent);
  dialog->setWindowTitle("Associated words (Unicode)");
  dialog->setAccessibleName("Associated words (Unicode)");
  auto* layout = new QVBoxLayout(dialog.get());
  auto* words = new QFormLayout;
  auto* search = new CSearchStringEdit(m_strSearch, "Search string", dialog.get());
  search->setObjectName("search");
  auto* assoc = new CSearchStringEdit(m_strAssocWord, "Associated word", dialog.get());
  assoc->setObjectName("assoc");
  words->addRow("Search string", search);
  words->addRow("Associated word", assoc);
  layout->addLayout(words);
  AddChoices(dialog.get(), layout,
             {"Word(s) (with spaces)", "Prefix (with spaces)", "Suffix (with spaces)", "Any string (no spaces)"},
             m_nMatchMode, m_bDirectory, m_zone);
  AddButtons(dialog.get(), layout);
  SelectForRetyping(search);
  return dialog;
}

void CUnicodeAssociatedDialog::ReadWidget(QDialog& widget) {
  m_strSearch = Find<QTextEdit>(widget, "search")->toPlainText();
  m_strAssocWord = Find<QTextEdit>(widget, "assoc")->toPlainText();
  ReadChoices(widget, m_nMatchMode, m_bDirectory, m_zone);
}

}  // namespace tessary
