#include "app/unique_words_db_view.h"
#include "app/help_search.h"

#include <sqlite3.h>

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

namespace tessary {

namespace {

constexpr const char* kColumnNames[] = {"Rank", "Word", "Instances"};
constexpr std::size_t kCachedPages = 64;

struct CStatement {
  sqlite3_stmt* m_p = nullptr;
  CStatement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &m_p, nullptr); }
  ~CStatement() { sqlite3_finalize(m_p); }
  CStatement(const CStatement&) = delete;
  CStatement& operator=(const CStatement&) = delete;
};

// A LIKE pattern that takes text literally.
std::string LikeLiteral(const QString& text) {
  std::string out;
  for (char c : text.toStdString()) {
    if (c == '%' || c == '_' || c == '\\') out += '\\';
    out += c;
  }
  return out;
}

}  // namespace

Expected<std::unique_ptr<CUniqueWordsDbModel>> CUniqueWordsDbModel::Open(const QString& path) {
  using Result = Expected<std::unique_ptr<CUniqueWordsDbModel>>;
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    std::string error = db ? sqlite3_errmsg(db) : "out of memory";
    sqlite3_close(db);
    return Result::Failure(path.toStdString() + ": " + error);
  }
  {
    CStatement check(db, "SELECT Rank, Word, Instances FROM UniqueWords LIMIT 0");
    if (!check.m_p) {
      std::string error = sqlite3_errmsg(db);
      sqlite3_close(db);
      return Result::Failure(path.toStdString() + ": " + error);
    }
  }
  std::unique_ptr<CUniqueWordsDbModel> model(new CUniqueWordsDbModel(db, path));
  model->Rebuild();
  return Result(std::move(model));
}

CUniqueWordsDbModel::CUniqueWordsDbModel(sqlite3* db, QString path) : m_db(db), m_strPath(std::move(path)) {}

CUniqueWordsDbModel::~CUniqueWordsDbModel() { sqlite3_close(m_db); }

void CUniqueWordsDbModel::Rebuild() {
  m_pages.clear();
  m_arrPageOrder.clear();
  m_nCount = 0;
  sqlite3_exec(m_db, "DROP TABLE IF EXISTS temp.tessary_order", nullptr, nullptr, nullptr);
  // The order is a list of row ids in a temporary table (in memory for a read-only
  // connection), so a page is read through keys alone, sorted or not.
  std::string sql = "CREATE TEMP TABLE tessary_order AS SELECT rowid AS r FROM UniqueWords";
  if (!m_strFilter.isEmpty()) sql += " WHERE Word LIKE '%' || ?1 || '%' ESCAPE '\\'";
  sql += " ORDER BY ";
  if (m_nSortColumn >= 0) {
    sql += kColumnNames[m_nSortColumn];
    if (m_nSortColumn == kWord) sql += " COLLATE NOCASE";
    sql += m_sortOrder == Qt::AscendingOrder ? " ASC, " : " DESC, ";
  }
  sql += "Rank";
  CStatement create(m_db, sql.c_str());
  if (!create.m_p) return;
  const std::string filter = LikeLiteral(m_strFilter);
  if (!m_strFilter.isEmpty()) sqlite3_bind_text(create.m_p, 1, filter.c_str(), -1, SQLITE_TRANSIENT);
  if (sqlite3_step(create.m_p) != SQLITE_DONE) return;
  CStatement count(m_db, "SELECT MAX(rowid) FROM temp.tessary_order");
  if (count.m_p && sqlite3_step(count.m_p) == SQLITE_ROW) m_nCount = sqlite3_column_int64(count.m_p, 0);
}

const std::vector<CUniqueWordRecord>& CUniqueWordsDbModel::Page(int page) const {
  if (auto it = m_pages.find(page); it != m_pages.end()) {
    m_arrPageOrder.erase(std::find(m_arrPageOrder.begin(), m_arrPageOrder.end(), page));
    m_arrPageOrder.push_back(page);
    return it->second;
  }
  if (m_pages.size() >= kCachedPages) {
    m_pages.erase(m_arrPageOrder.front());
    m_arrPageOrder.erase(m_arrPageOrder.begin());
  }
  std::vector<CUniqueWordRecord>& rows = m_pages[page];
  m_arrPageOrder.push_back(page);
  CStatement select(m_db,
                    "SELECT u.Rank, u.Word, u.Instances FROM temp.tessary_order o JOIN UniqueWords u "
                    "ON u.rowid = o.r WHERE o.rowid BETWEEN ?1 AND ?2 ORDER BY o.rowid");
  if (!select.m_p) return rows;
  const std::int64_t from = static_cast<std::int64_t>(page) * kPageRows + 1;
  sqlite3_bind_int64(select.m_p, 1, from);
  sqlite3_bind_int64(select.m_p, 2, from + kPageRows - 1);
  while (sqlite3_step(select.m_p) == SQLITE_ROW) {
    CUniqueWordRecord r;
    r.m_nRank = sqlite3_column_int64(select.m_p, 0);
    const auto* word = reinterpret_cast<const char*>(sqlite3_column_text(select.m_p, 1));
    if (word) r.m_strWord.assign(word, static_cast<std::size_t>(sqlite3_column_bytes(select.m_p, 1)));
    r.m_nInstances = sqlite3_column_int64(select.m_p, 2);
    rows.push_back(std::move(r));
  }
  return rows;
}

int CUniqueWordsDbModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return static_cast<int>(std::min<std::int64_t>(m_nCount, std::numeric_limits<int>::max()));
}

int CUniqueWordsDbModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

CUniqueWordRecord CUniqueWordsDbModel::Record(int row) const {
  if (row < 0 || row >= rowCount()) return {};
  const auto& rows = Page(row / kPageRows);
  const std::size_t i = static_cast<std::size_t>(row % kPageRows);
  return i < rows.size() ? rows[i] : CUniqueWordRecord{};
}

QVariant CUniqueWordsDbModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::TextAlignmentRole)
    return index.column() == kWord ? QVariant() : QVariant(Qt::AlignRight | Qt::AlignVCenter);
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
  const CUniqueWordRecord record = Record(index.row());
  switch (index.column()) {
    case kRank: return static_cast<qlonglong>(record.m_nRank);
    case kWord: return QString::fromStdString(record.m_strWord);
    case kInstances: return static_cast<qlonglong>(record.m_nInstances);
    default: return {};
  }
}

QVariant CUniqueWordsDbModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal)
    return section >= 0 && section < kColumns ? QVariant(kColumnNames[section]) : QVariant();
  return section + 1;
}

void CUniqueWordsDbModel::sort(int column, Qt::SortOrder order) {
  if (column < -1 || column >= kColumns) return;
  beginResetModel();
  m_nSortColumn = column;
  m_sortOrder = order;
  Rebuild();
  endResetModel();
}

void CUniqueWordsDbModel::SetFilter(const QString& text) {
  if (text == m_strFilter) return;
  beginResetModel();
  m_strFilter = text;
  Rebuild();
  endResetModel();
}

// ---- The window ----

CUniqueWordsDbView::CUniqueWordsDbView(std::unique_ptr<CUniqueWordsDbModel> model, QWidget* parent)
    : QWidget(parent, Qt::Window), m_pModel(std::move(model)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle("Unique words view");
  SetHelpPage(this, "word_statistics.html");
  setAccessibleName("Unique words view");
  auto* layout = new QVBoxLayout(this);
  auto* path = new QLabel(m_pModel->Path(), this);
  path->setAccessibleName("Database file");
  layout->addWidget(path);

  auto* filters = new QHBoxLayout;
  auto* caption = new QLabel("&Word contains:", this);
  m_pFilter = new QLineEdit(this);
  m_pFilter->setAccessibleName("Word filter");
  m_pFilter->setClearButtonEnabled(true);
  caption->setBuddy(m_pFilter);
  filters->addWidget(caption);
  filters->addWidget(m_pFilter, 1);
  layout->addLayout(filters);

  m_pTable = new QTableView(this);
  m_pTable->setAccessibleName("Unique words");
  m_pTable->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  m_pTable->verticalHeader()->hide();
  m_pTable->setModel(m_pModel.get());
  // The list opens in the order it was saved in: no column is sorted until clicked.
  m_pTable->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  m_pTable->setSortingEnabled(true);
  m_pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_pTable->setWordWrap(false);
  m_pTable->setColumnWidth(CUniqueWordsDbModel::kWord, 240);
  layout->addWidget(m_pTable, 1);

  m_pCount = new QLabel(this);
  m_pCount->setAccessibleName("Word count");
  layout->addWidget(m_pCount);

  auto* timer = new QTimer(this);
  timer->setSingleShot(true);
  timer->setInterval(250);
  connect(timer, &QTimer::timeout, this, &CUniqueWordsDbView::ApplyFilter);
  connect(m_pFilter, &QLineEdit::textChanged, timer, qOverload<>(&QTimer::start));
  UpdateCount();
  resize(480, 500);
}

CUniqueWordsDbView::~CUniqueWordsDbView() { m_pTable->setModel(nullptr); }

QString CUniqueWordsDbView::CountText() const { return m_pCount->text(); }

void CUniqueWordsDbView::UpdateCount() {
  const int n = m_pModel->rowCount();
  m_pCount->setText(n == 1 ? QStringLiteral("1 word") : QStringLiteral("%1 words").arg(n));
}

void CUniqueWordsDbView::ApplyFilter() {
  m_pModel->SetFilter(m_pFilter->text());
  UpdateCount();
}

}  // namespace tessary
