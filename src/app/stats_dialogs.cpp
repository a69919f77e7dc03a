#include "app/stats_dialogs.h"

#include <QAbstractTableModel>
#include <QButtonGroup>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

#include "export/unique_words_db.h"
#include "ui/qt_text.h"
#include "ui/dialog_support.h"

namespace tessary {

namespace {

std::unique_ptr<QDialog> StringDialog(QWidget* parent, const QString& title, const QString& text) {
  auto dialog = std::make_unique<QDialog>(parent);
  dialog->setWindowTitle(title);
  dialog->setAccessibleName(title);
  auto* layout = new QVBoxLayout(dialog.get());
  auto* edit = new QLineEdit(text, dialog.get());
  edit->setObjectName("search");
  edit->setAccessibleName("Profile string");
  edit->selectAll();
  layout->addWidget(edit);
  return dialog;
}

const char* const kColumnTitles[] = {"Unique Words", "Instances", "   Percent"};
constexpr int kColumnExtra[] = {65, 15, 15};

// The rows of the unique-word list as the table shows them; cells are made when drawn.
class CUniqueWordsModel : public QAbstractTableModel {
 public:
  CUniqueWordsModel(const CUniqueWordsDialog& rows, QObject* parent) : QAbstractTableModel(parent), m_rows(rows) {}
  int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : m_rows.RowCount(); }
  int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : 3; }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid()) return {};
    if (role == Qt::TextAlignmentRole)
      return QVariant::fromValue(Qt::Alignment((index.column() == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter));
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) return {};
    switch (index.column()) {
      case 0: return m_rows.Word(index.row());
      case 1: return m_rows.Instances(index.row());
      default: return m_rows.Percent(index.row());
    }
  }
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section > 2) return {};
    return QString::fromLatin1(kColumnTitles[section]);
  }
  void Reset() {
    beginResetModel();
    endResetModel();
  }

 private:
  const CUniqueWordsDialog& m_rows;
};

}  // namespace

// ---- "Enter search string" ----

std::unique_ptr<QDialog> CProfileStringDialog::CreateWidget(QWidget* parent) {
  auto dialog = StringDialog(parent, "Enter search string", m_strSearch);
  // The string is read into a 256-byte buffer: 255 characters at most.
  dialog->findChild<QLineEdit*>("search")->setMaxLength(255);
  AddOkCancel(*dialog, *dialog->layout());
  return dialog;
}

void CProfileStringDialog::ReadWidget(QDialog& widget) {
  if (auto* edit = widget.findChild<QLineEdit*>("search")) m_strSearch = edit->text();
}

// ---- "Enter unicode string" ----

std::unique_ptr<QDialog> CUnicodeStringDialog::CreateWidget(QWidget* parent) {
  auto dialog = StringDialog(parent, "Enter unicode string", m_strSearch);
  auto* choice = new QGroupBox(dialog.get());
  choice->setAccessibleName("Words in the texts");
  choice->setStyleSheet(QStringLiteral("QGroupBox { border: none; margin: 0; padding: 0; }"));
  auto* group = new QButtonGroup(dialog.get());
  auto* noSpaces = new QRadioButton("No spaces", choice);
  noSpaces->setObjectName("noSpaces");
  noSpaces->setAccessibleName("No spaces");
  auto* withSpaces = new QRadioButton("With spaces", choice);
  withSpaces->setObjectName("withSpaces");
  withSpaces->setAccessibleName("With spaces");
  group->addButton(noSpaces);
  group->addButton(withSpaces);
  (m_bNoSpaces ? noSpaces : withSpaces)->setChecked(true);
  auto* row = new QHBoxLayout(choice);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(noSpaces);
  row->addWidget(withSpaces);
  row->addStretch();
  dialog->layout()->addWidget(choice);
  AddOkCancel(*dialog, *dialog->layout());
  return dialog;
}

void CUnicodeStringDialog::ReadWidget(QDialog& widget) {
  if (auto* edit = widget.findChild<QLineEdit*>("search")) m_strSearch = edit->text();
  if (auto* noSpaces = widget.findChild<QRadioButton*>("noSpaces")) m_bNoSpaces = noSpaces->isChecked();
}

// ---- "Unique Words View" ----

CUniqueWordsDialog::CUniqueWordsDialog(IPrompt& prompt, std::function<void(const QString&)> open)
    : m_prompt(prompt), m_fnOpen(std::move(open)) {}

CUniqueWordsDialog::~CUniqueWordsDialog() = default;

void CUniqueWordsDialog::SetList(CUniqueWordList list, const CTextClasses& classes) {
  m_list = std::move(list);
  m_classes = classes;
  Reordered();
}

int CUniqueWordsDialog::RowCount() const { return static_cast<int>(m_list.m_arrRows.size()); }

QString CUniqueWordsDialog::Word(int row) const {
  if (row < 0 || row >= RowCount()) return {};
  const std::string& word = m_list.m_arrRows[static_cast<std::size_t>(row)].m_strWord;
  return m_classes ? QString::fromStdString(m_classes->ToUtf8(word)) : QString::fromStdString(word);
}

QString CUniqueWordsDialog::Instances(int row) const {
  if (row < 0 || row >= RowCount()) return {};
  return QString::number(m_list.m_arrRows[static_cast<std::size_t>(row)].m_nCount);
}

QString CUniqueWordsDialog::Percent(int row) const {
  if (row < 0 || row >= RowCount()) return {};
  return QString::fromStdString(m_list.PercentText(m_list.m_arrRows[static_cast<std::size_t>(row)].m_nCount));
}

QString CUniqueWordsDialog::TotalText() const { return QString::fromStdString(m_list.TotalText()); }

void CUniqueWordsDialog::FrequencySort() {
  SortByFrequency(m_list.m_arrRows);
  Reordered();
}

void CUniqueWordsDialog::AlphabeticSort() {
  if (m_classes) SortAlphabetically(m_list.m_arrRows, *m_classes);
  Reordered();
}

void CUniqueWordsDialog::Reordered() {
  if (m_pModel) static_cast<CUniqueWordsModel*>(m_pModel.data())->Reset();
}

bool CUniqueWordsDialog::Save() {
  CFileDialogRequest request;
  request.m_strTitle = "Create Word List";
  request.m_arrFilters = {"Text Files (*.TXT)"};
  request.m_strInitialName = "*.TXT";
  request.m_strDefaultSuffix = "TXT";
  request.m_bSave = true;
  request.m_bOverwritePrompt = true;
  const CFileDialogResult answer = m_prompt.AskFiles(request);
  if (!answer.m_bOk || answer.m_arrFiles.isEmpty()) return false;
  const QString path = answer.m_arrFiles.front();
  if (auto saved = SaveUniqueWordList(ToFsPath(path), m_list); !saved) {
    m_prompt.Message(QString::fromStdString(saved.Error()), "Tessary", QMessageBox::Warning);
    return false;
  }
  if (m_fnOpen) m_fnOpen(path);
  return true;
}

bool CUniqueWordsDialog::SaveToDatabase() {
  CFileDialogRequest request;
  request.m_strTitle = "Create Database";
  request.m_arrFilters = {"Database Files (*.db *.sqlite)", "All Files (*)"};
  request.m_strDefaultSuffix = "db";
  request.m_bSave = true;
  // The dialog asks before an existing file is chosen: a database keeps its other
  // tables and has its unique-word table replaced; any other file is refused.
  const CFileDialogResult answer = m_prompt.AskFiles(request);
  if (!answer.m_bOk || answer.m_arrFiles.isEmpty()) return false;
  std::vector<CUniqueWordRecord> rows;
  rows.reserve(m_list.m_arrRows.size());
  for (int row = 0; row < RowCount(); ++row)
    rows.push_back({0, Word(row).toStdString(), m_list.m_arrRows[static_cast<std::size_t>(row)].m_nCount});
  const auto written = SaveUniqueWordsDatabase(ToFsPath(answer.m_arrFiles.front()), rows);
  if (!written) {
    m_prompt.Message(QStringLiteral("Command failed.\n\n%1").arg(QString::fromStdString(written.Error())),
                     "Save to Database", QMessageBox::Warning);
    return false;
  }
  m_prompt.Message(QString::fromStdString(UniqueWordsSummary(*written)), "Save to Database",
                   QMessageBox::Information);
  return true;
}

std::unique_ptr<QDialog> CUniqueWordsDialog::CreateWidget(QWidget* parent) {
  auto dialog = std::make_unique<QDialog>(parent);
  dialog->setWindowTitle("Unique Words View");
  dialog->setAccessibleName("Unique Words View");
  auto* layout = new QVBoxLayout(dialog.get());

  auto* model = new CUniqueWordsModel(*this, dialog.get());
  m_pModel = model;
  auto* rows = new QTableView(dialog.get());
  rows->setObjectName("rows");
  rows->setAccessibleName("Unique words");
  rows->setModel(model);
  rows->setSelectionBehavior(QAbstractItemView::SelectRows);
  rows->setShowGrid(false);
  rows->setWordWrap(false);
  rows->verticalHeader()->hide();
  // Fixed row heights keep a list of any length quick to show and scroll.
  rows->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  rows->verticalHeader()->setDefaultSectionSize(rows->fontMetrics().height() + 4);
  const QFontMetrics metrics = rows->horizontalHeader()->fontMetrics();
  for (int column = 0; column < 3; ++column)
    rows->setColumnWidth(column, metrics.horizontalAdvance(QString::fromLatin1(kColumnTitles[column])) +
                                     kColumnExtra[column]);
  layout->addWidget(rows);

  auto* totals = new QHBoxLayout;
  auto addNumber = [&](const QString& caption, const char* name, const QString& value) {
    auto* label = new QLabel(caption, dialog.get());
    auto* number = new QLabel(value, dialog.get());
    number->setObjectName(QString::fromLatin1(name));
    number->setAccessibleName(caption.chopped(2));
    label->setBuddy(number);
    totals->addWidget(label);
    totals->addWidget(number);
    totals->addSpacing(20);
  };
  addNumber("Unique words =", "unique", QString::number(RowCount()));
  addNumber("Total Words =", "total", TotalText());
  totals->addStretch();
  layout->addLayout(totals);

  auto* buttons = new QHBoxLayout;
  auto add = [&](const QString& text, const char* name, auto action) {
    auto* button = new QPushButton(text, dialog.get());
    button->setObjectName(QString::fromLatin1(name));
    button->setAccessibleName(text);
    button->setAutoDefault(false);
    QObject::connect(button, &QPushButton::clicked, dialog.get(), action);
    buttons->addWidget(button);
    return button;
  };
  add("Frequency Sort", "frequency", [this] { FrequencySort(); });
  add("Alphabetic Sort", "alphabetic", [this] { AlphabeticSort(); });
  add("Save", "save", [this] { Save(); });
  add("Save to Database", "database", [this] { SaveToDatabase(); });
  QDialog* raw = dialog.get();
  add("OK", "ok", [raw] { raw->accept(); })->setDefault(true);
  layout->addLayout(buttons);
  dialog->resize(460, 420);
  return dialog;
}

}  // namespace tessary
