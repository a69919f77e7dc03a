#include "app/analysis_dialogs.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <climits>

#include "analysis/collocation.h"
#include "analysis/measures.h"
#include "app/search_string_edit.h"
#include "ui/dialog_support.h"

namespace tessary {

namespace {

template <class T>
T* Find(QDialog& dialog, const char* name) {
  return dialog.findChild<T*>(QString::fromLatin1(name));
}

// A radio group in a box named for a screen reader; the checked id is value.
QGroupBox* Choices(QDialog* dialog, const char* name, const QString& title, const QStringList& labels,
                   const std::vector<int>& ids, int value, bool bRow = true) {
  auto* box = new QGroupBox(title, dialog);
  box->setAccessibleName(title);
  QBoxLayout* layout = bRow ? static_cast<QBoxLayout*>(new QHBoxLayout(box)) : new QVBoxLayout(box);
  auto* group = new QButtonGroup(dialog);
  group->setObjectName(QString::fromLatin1(name));
  for (int i = 0; i < labels.size(); ++i) {
    auto* radio = new QRadioButton(labels[i], box);
    group->addButton(radio, ids[static_cast<std::size_t>(i)]);
    radio->setChecked(ids[static_cast<std::size_t>(i)] == value);
    layout->addWidget(radio);
  }
  if (!group->checkedButton() && group->buttons().size()) group->buttons().front()->setChecked(true);
  return box;
}

QSpinBox* Spin(QDialog* dialog, const char* name, const QString& accessibleName, int min, int max, std::int64_t value) {
  auto* spin = new QSpinBox(dialog);
  spin->setObjectName(QString::fromLatin1(name));
  spin->setAccessibleName(accessibleName);
  spin->setRange(min, max);
  spin->setValue(static_cast<int>(std::clamp<std::int64_t>(value, min, max)));
  return spin;
}

}  // namespace

QString AnalysisTitle(AnalysisKind kind) {
  switch (kind) {
    case AnalysisKind::kCollocation: return "Collocation Strength";
    case AnalysisKind::kNgrams: return "Clusters and N-grams";
    case AnalysisKind::kKeywords: return "Keywords";
    case AnalysisKind::kDispersion: return "Dispersion Plot";
  }
  return {};
}

bool CAnalysisDialog::NeedsNode() const {
  return m_kind == AnalysisKind::kCollocation || m_kind == AnalysisKind::kDispersion ||
         (m_kind == AnalysisKind::kNgrams && m_nAttach != 0);
}

std::unique_ptr<QDialog> CAnalysisDialog::CreateWidget(QWidget* parent) {
  auto dialog = std::make_unique<CCheckedDialog>(parent);
  const QString title = AnalysisTitle(m_kind);
  dialog->setWindowTitle(title);
  dialog->setAccessibleName(title);
  auto* layout = new QVBoxLayout(dialog.get());
  QDialog* d = dialog.get();

  layout->addWidget(Choices(d, "codeset", "Code set", {"ANSI", "Unicode"}, {0, 1}, m_bUnicode ? 1 : 0));
  auto* form = new QFormLayout;
  if (m_kind != AnalysisKind::kKeywords) {
    QLineEdit* edit = NewSearchLineEdit(m_strSearch, "Search string", d);
    edit->setObjectName("search");
    form->addRow(m_kind == AnalysisKind::kNgrams ? "Node (not for free n-grams)" : "Search string", edit);
    SelectForRetyping(edit);
  }
  layout->addLayout(form);
  if (m_kind != AnalysisKind::kKeywords)
    layout->addWidget(Choices(d, "modes", "Match", {"Word/phrase", "Prefix", "Suffix", "Any string"}, {0, 1, 3, 2},
                              m_nMatchMode));
  layout->addWidget(Choices(d, "sources", m_kind == AnalysisKind::kKeywords ? "Study texts" : "Search in",
                            {"&Open", "&Directory"}, {0, 1}, m_bDirectory ? 1 : 0));

  auto* options = new QFormLayout;
  if (m_kind == AnalysisKind::kCollocation) {
    options->addRow("Words left", Spin(d, "left", "Words left", 1, kMaxSpan, m_nLeft));
    options->addRow("Words right", Spin(d, "right", "Words right", 1, kMaxSpan, m_nRight));
    auto* measure = new QComboBox(d);
    measure->setObjectName("measure");
    measure->setAccessibleName("Sort by");
    for (const CMeasureInfo& m : Measures()) {
      measure->addItem(QString::fromUtf8(m.m_pszTitle), QString::fromLatin1(m.m_pszKey));
      if (m_strMeasure == QLatin1String(m.m_pszKey)) measure->setCurrentIndex(measure->count() - 1);
    }
    options->addRow("Sort by", measure);
  }
  if (m_kind == AnalysisKind::kNgrams) {
    layout->addWidget(Choices(d, "attach", "Clusters",
                              {"Free n-grams", "Node first", "Node last", "Node first or last"}, {0, 1, 2, 3},
                              m_nAttach, false));
    options->addRow("Smallest size", Spin(d, "minsize", "Smallest size", 2, 5, m_nMinSize));
    options->addRow("Largest size", Spin(d, "maxsize", "Largest size", 2, 5, m_nMaxSize));
  }
  if (m_kind == AnalysisKind::kKeywords)
    layout->addWidget(Choices(d, "reference", "Reference corpus", {"Files", "Directory", "Saved unique-word list"},
                              {0, 1, 2}, m_nReference, false));
  if (m_kind != AnalysisKind::kDispersion)
    options->addRow("Minimum frequency", Spin(d, "minfreq", "Minimum frequency", 1, INT_MAX, m_nMinFreq));
  if (m_kind == AnalysisKind::kNgrams)
    options->addRow("Minimum range", Spin(d, "minrange", "Minimum range", 1, INT_MAX, m_nMinRange));
  layout->addLayout(options);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, d);
  QObject::connect(buttons, &QDialogButtonBox::accepted, d, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, d, &QDialog::reject);
  layout->addWidget(buttons);
  return dialog;
}

void CAnalysisDialog::ReadWidget(QDialog& widget) {
  m_bUnicode = Find<QButtonGroup>(widget, "codeset")->checkedId() == 1;
  if (auto* edit = Find<QLineEdit>(widget, "search")) m_strSearch = edit->text();
  if (auto* modes = Find<QButtonGroup>(widget, "modes")) m_nMatchMode = modes->checkedId();
  m_bDirectory = Find<QButtonGroup>(widget, "sources")->checkedId() == 1;
  if (auto* spin = Find<QSpinBox>(widget, "left")) m_nLeft = spin->value();
  if (auto* spin = Find<QSpinBox>(widget, "right")) m_nRight = spin->value();
  if (auto* combo = Find<QComboBox>(widget, "measure")) m_strMeasure = combo->currentData().toString();
  if (auto* group = Find<QButtonGroup>(widget, "attach")) m_nAttach = group->checkedId();
  if (auto* spin = Find<QSpinBox>(widget, "minsize")) m_nMinSize = spin->value();
  if (auto* spin = Find<QSpinBox>(widget, "maxsize")) m_nMaxSize = spin->value();
  if (auto* group = Find<QButtonGroup>(widget, "reference")) m_nReference = group->checkedId();
  if (auto* spin = Find<QSpinBox>(widget, "minfreq")) m_nMinFreq = spin->value();
  if (auto* spin = Find<QSpinBox>(widget, "minrange")) m_nMinRange = spin->value();
}

QString CAnalysisDialog::Problem() const {
  if (NeedsNode() && OneLineSearchString(m_strSearch).trimmed().isEmpty()) return "Please type a search string.";
  if (m_kind == AnalysisKind::kCollocation &&
      (m_nLeft < 1 || m_nLeft > kMaxSpan || m_nRight < 1 || m_nRight > kMaxSpan))
    return "The span is 1 to 10 words on each side.";
  if (m_kind == AnalysisKind::kNgrams && (m_nMinSize < 2 || m_nMaxSize > 5 || m_nMinSize > m_nMaxSize))
    return "The smallest size is 2 or more, the largest 5 at most, and not smaller than the smallest.";
  if (m_nMinFreq < 1 || m_nMinRange < 1) return "The minimum frequency and range are 1 or more.";
  return {};
}

void CAnalysisDialog::FocusProblem(QDialog& widget) {
  QWidget* focus = nullptr;
  if (NeedsNode() && OneLineSearchString(m_strSearch).trimmed().isEmpty()) focus = Find<QLineEdit>(widget, "search");
  else if (m_kind == AnalysisKind::kNgrams) focus = Find<QSpinBox>(widget, "minsize");
  if (focus) focus->setFocus();
}

}  // namespace tessary
