#include "app/database_view.h"

#include <sqlite3.h>

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "app/help_search.h"
#include "app/context_lookup.h"
#include "app/tessary_app.h"
#include "ui/fixed_font.h"

namespace tessary {

namespace {

constexpr const char* kColumns[] = {"Keyword", "Concordance", "File", "Position"};
constexpr std::size_t kCachedPages = 64;

std::string Text(sqlite3_stmt* statement, int column) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
  return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement, column))) : std::string();
}

// A statement that finalizes itself.
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

Expected<std::unique_ptr<CConcordanceDbModel>> CConcordanceDbModel::Open(const QString& path) {
  using Result = Expected<std::unique_ptr<CConcordanceDbModel>>;
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    std::string error = db ? sqlite3_errmsg(db) : "out of memory";
    sqlite3_close(db);
    return Result::Failure(path.toStdString() + ": " + error);
  }
  // The table must be there with its four fields; a file that is no database fails here.
  {
    CStatement check(db, "SELECT Keyword, Concordance, File, Position FROM Concordances LIMIT 0");
    if (!check.m_p) {
      std::string error = sqlite3_errmsg(db);
      sqlite3_close(db);
      return Result::Failure(path.toStdString() + ": " + error);
    }
  }
  std::unique_ptr<CConcordanceDbModel> model(new CConcordanceDbModel(db, path));
  model->Rebuild();
  return Result(std::move(model));
}

CConcordanceDbModel::CConcordanceDbModel(sqlite3* db, QString path) : m_db(db), m_strPath(std::move(path)) {}

CConcordanceDbModel::~CConcordanceDbModel() { sqlite3_close(m_db); }

void CConcordanceDbModel::Rebuild() {
  m_pages.clear();
  m_arrPageOrder.clear();
  m_bOrdered = false;
  sqlite3_exec(m_db, "DROP TABLE IF EXISTS temp.tessary_order", nullptr, nullptr, nullptr);
  const bool bFiltered = !m_strKeyword.isEmpty() || !m_strText.isEmpty() || !m_strFile.isEmpty();
  if (!bFiltered && m_nSortColumn < 0 && !m_bGaps) {
    // A table only ever added to has row ids without gaps: row n is row id first + n.
    // The bounds come from the table's key at once; counting would read the whole file.
    // A page that comes back short shows a gap, and the ids are then listed after all.
    CStatement first(m_db, "SELECT MIN(rowid) FROM Concordances");
    CStatement last(m_db, "SELECT MAX(rowid) FROM Concordances");
    if (first.m_p && last.m_p && sqlite3_step(first.m_p) == SQLITE_ROW && sqlite3_step(last.m_p) == SQLITE_ROW) {
      m_bDense = true;
      m_nFirstRowid = sqlite3_column_int64(first.m_p, 0);
      m_nCount = sqlite3_column_type(first.m_p, 0) == SQLITE_NULL
                     ? 0
                     : sqlite3_column_int64(last.m_p, 0) - m_nFirstRowid + 1;
      return;
    }
  }
  m_bDense = false;
  std::string sql =
      "CREATE TEMP TABLE tessary_order AS SELECT rowid AS r FROM Concordances WHERE 1";
  if (!m_strKeyword.isEmpty()) sql += " AND Keyword LIKE ?1 ESCAPE '\\'";
  if (!m_strText.isEmpty()) sql += " AND Concordance LIKE '%' || ?2 || '%' ESCAPE '\\'";
  if (!m_strFile.isEmpty()) sql += " AND File LIKE '%' || ?3 || '%' ESCAPE '\\'";
  sql += " ORDER BY ";
  if (m_nSortColumn >= 0) {
    sql += kColumns[m_nSortColumn];
    if (m_nSortColumn != 3) sql += " COLLATE NOCASE";
    sql += m_sortOrder == Qt::AscendingOrder ? " ASC, " : " DESC, ";
  }
  sql += "rowid";
  // The writable temporary schema of a read-only connection lives in memory.
  CStatement create(m_db, sql.c_str());
  m_nCount = 0;
  if (!create.m_p) return;
  const std::string keyword = LikeLiteral(m_strKeyword), text = LikeLiteral(m_strText), file = LikeLiteral(m_strFile);
  if (!m_strKeyword.isEmpty()) sqlite3_bind_text(create.m_p, 1, keyword.c_str(), -1, SQLITE_TRANSIENT);
  if (!m_strText.isEmpty()) sqlite3_bind_text(create.m_p, 2, text.c_str(), -1, SQLITE_TRANSIENT);
  if (!m_strFile.isEmpty()) sqlite3_bind_text(create.m_p, 3, file.c_str(), -1, SQLITE_TRANSIENT);
  if (sqlite3_step(create.m_p) != SQLITE_DONE) return;
  m_bOrdered = true;
  CStatement count(m_db, "SELECT MAX(rowid) FROM temp.tessary_order");
  if (count.m_p && sqlite3_step(count.m_p) == SQLITE_ROW) m_nCount = sqlite3_column_int64(count.m_p, 0);
}

const std::vector<CConcordanceDbModel::CRow>& CConcordanceDbModel::Page(int page) const {
  if (auto it = m_pages.find(page); it != m_pages.end()) {
    m_arrPageOrder.erase(std::find(m_arrPageOrder.begin(), m_arrPageOrder.end(), page));
    m_arrPageOrder.push_back(page);
    return it->second;
  }
  if (m_pages.size() >= kCachedPages) {
    m_pages.erase(m_arrPageOrder.front());
    m_arrPageOrder.erase(m_arrPageOrder.begin());
  }
  std::vector<CRow>& rows = m_pages[page];
  m_arrPageOrder.push_back(page);
  ++m_nPagesRead;
  const std::int64_t from = static_cast<std::int64_t>(page) * kPageRows;
  // Both forms read a window of row ids through the table's own key: no scan.
  const char* sql = m_bOrdered
                        ? "SELECT c.Keyword, c.Concordance, c.File, c.Position FROM temp.tessary_order o "
                          "JOIN Concordances c ON c.rowid = o.r WHERE o.rowid BETWEEN ?1 AND ?2 ORDER BY o.rowid"
                        : "SELECT Keyword, Concordance, File, Position FROM Concordances "
                          "WHERE rowid BETWEEN ?1 AND ?2 ORDER BY rowid";
  CStatement select(m_db, sql);
  if (!select.m_p) return rows;
  const std::int64_t base = m_bOrdered ? 1 : m_nFirstRowid;
  sqlite3_bind_int64(select.m_p, 1, base + from);
  sqlite3_bind_int64(select.m_p, 2, base + from + kPageRows - 1);
  while (sqlite3_step(select.m_p) == SQLITE_ROW) {
    CRow row;
    row.m_record.m_strKeyword = Text(select.m_p, 0);
    row.m_record.m_strConcordance = Text(select.m_p, 1);
    if (sqlite3_column_type(select.m_p, 2) != SQLITE_NULL) row.m_record.m_strFile = Text(select.m_p, 2);
    if (sqlite3_column_type(select.m_p, 3) != SQLITE_NULL) row.m_record.m_nPosition = sqlite3_column_int64(select.m_p, 3);
    rows.push_back(std::move(row));
  }
  const auto expected = static_cast<std::size_t>(std::min<std::int64_t>(kPageRows, m_nCount - from));
  if (m_bDense && rows.size() < expected && !m_bGaps) {
    m_bGaps = true;
    // Not while the view asks for data: the model is reset once it has returned.
    QMetaObject::invokeMethod(
        const_cast<CConcordanceDbModel*>(this),
        [this] {
          auto* self = const_cast<CConcordanceDbModel*>(this);
          self->beginResetModel();
          self->Rebuild();
          self->endResetModel();
          emit self->CountChanged();
        },
        Qt::QueuedConnection);
  }
  return rows;
}

int CConcordanceDbModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return static_cast<int>(std::min<std::int64_t>(m_nCount, std::numeric_limits<int>::max()));
}

int CConcordanceDbModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 4; }

CConcordanceRecord CConcordanceDbModel::Record(int row) const {
  if (row < 0 || row >= rowCount()) return {};
  const auto& rows = Page(row / kPageRows);
  const std::size_t i = static_cast<std::size_t>(row % kPageRows);
  return i < rows.size() ? rows[i].m_record : CConcordanceRecord{};
}

QVariant CConcordanceDbModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) return {};
  const CConcordanceRecord record = Record(index.row());
  switch (index.column()) {
    case 0: return QString::fromStdString(record.m_strKeyword);
    case 1: return QString::fromStdString(record.m_strConcordance);
    case 2: return record.m_strFile ? QVariant(QString::fromStdString(*record.m_strFile)) : QVariant();
    case 3: return record.m_nPosition ? QVariant(static_cast<qlonglong>(*record.m_nPosition)) : QVariant();
    default: return {};
  }
}

QVariant CConcordanceDbModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal) return section >= 0 && section < 4 ? QVariant(kColumns[section]) : QVariant();
  return section + 1;
}

void CConcordanceDbModel::sort(int column, Qt::SortOrder order) {
  if (column < -1 || column >= 4) return;
  beginResetModel();
  m_nSortColumn = column;
  m_sortOrder = order;
  Rebuild();
  endResetModel();
}

void CConcordanceDbModel::SetFilter(const QString& keyword, const QString& text, const QString& file) {
  if (keyword == m_strKeyword && text == m_strText && file == m_strFile) return;
  beginResetModel();
  m_strKeyword = keyword;
  m_strText = text;
  m_strFile = file;
  Rebuild();
  endResetModel();
}

// ---- The window ----

CDatabaseView::CDatabaseView(CTessaryApp& app, std::unique_ptr<CConcordanceDbModel> model, QWidget* parent)
    : QWidget(parent, Qt::Window), m_app(app), m_pModel(std::move(model)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle("Concordance Database View");
  SetHelpPage(this, "exports.html");
  setAccessibleName("Concordance Database View");
  auto* layout = new QVBoxLayout(this);
  auto* path = new QLabel(m_pModel->Path(), this);
  path->setAccessibleName("Database file");
  layout->addWidget(path);

  auto* filters = new QHBoxLayout;
  auto addBox = [&](const QString& label, const QString& name) {
    auto* caption = new QLabel(label, this);
    auto* box = new QLineEdit(this);
    box->setAccessibleName(name);
    box->setClearButtonEnabled(true);
    caption->setBuddy(box);
    filters->addWidget(caption);
    filters->addWidget(box, 1);
    return box;
  };
  m_pKeyword = addBox("&Keyword:", "Keyword filter");
  m_pText = addBox("&Text contains:", "Text filter");
  m_pFile = addBox("&File:", "File filter");
  layout->addLayout(filters);

  m_pTable = new QTableView(this);
  m_pTable->setAccessibleName("Records");
  // Rows have one height: the view then never measures rows it does not show.
  m_pTable->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  m_pTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  m_pTable->setModel(m_pModel.get());
  // Records open in the order they were added: no column is sorted until clicked.
  m_pTable->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  m_pTable->setSortingEnabled(true);
  m_pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_pTable->setWordWrap(false);
  m_pTable->setColumnWidth(1, 560);
  QFont fixed = FixedFont(QStringLiteral("Courier New"), m_pTable->font().pointSize());
  m_pTable->setFont(fixed);
  layout->addWidget(m_pTable, 1);
  connect(m_pTable, &QTableView::doubleClicked, this, [this](const QModelIndex& index) { OpenContext(index.row()); });

  m_pCount = new QLabel(this);
  m_pCount->setAccessibleName("Record count");
  layout->addWidget(m_pCount);

  auto* timer = new QTimer(this);
  timer->setSingleShot(true);
  timer->setInterval(250);
  connect(timer, &QTimer::timeout, this, &CDatabaseView::ApplyFilter);
  for (QLineEdit* box : {m_pKeyword, m_pText, m_pFile})
    connect(box, &QLineEdit::textChanged, timer, qOverload<>(&QTimer::start));
  connect(m_pModel.get(), &CConcordanceDbModel::CountChanged, this, &CDatabaseView::UpdateCount);
  UpdateCount();
  resize(900, 500);
}

CDatabaseView::~CDatabaseView() { m_pTable->setModel(nullptr); }

QString CDatabaseView::CountText() const { return m_pCount->text(); }

void CDatabaseView::UpdateCount() {
  const int n = m_pModel->rowCount();
  m_pCount->setText(n == 1 ? QStringLiteral("1 record") : QStringLiteral("%1 records").arg(n));
}

void CDatabaseView::ApplyFilter() {
  m_pModel->SetFilter(m_pKeyword->text(), m_pText->text(), m_pFile->text());
  UpdateCount();
}

void CDatabaseView::OpenContext(int row) {
  const CConcordanceRecord record = m_pModel->Record(row);
  if (!record.m_strFile || !record.m_nPosition || record.m_strFile->empty()) return;
  m_app.ContextLookup().RequestRecord(*record.m_strFile, *record.m_nPosition, record.m_strKeyword);
}

}  // namespace tessary
