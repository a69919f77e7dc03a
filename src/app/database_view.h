#pragma once
// "Concordance Database View": the records of a concordance database in a table that
// reads them from the SQLite file as they come into view, so a file of a million
// records opens at once. Sorting by a column and the filter keep an ordered list of
// row ids in a temporary table; the rows themselves are still read a page at a time.
#include <QAbstractTableModel>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "engine/expected.h"
#include "export/concordance_db.h"

class QLabel;
class QLineEdit;
class QTableView;
struct sqlite3;

namespace tessary {

class CTessaryApp;

class CConcordanceDbModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  // "Command failed." texts: a file that cannot be opened, is no SQLite file or has no
  // table Concordances.
  static Expected<std::unique_ptr<CConcordanceDbModel>> Open(const QString& path);
  ~CConcordanceDbModel() override;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

  // Records whose Keyword is keyword (any case), whose Concordance holds text and whose
  // File holds file; empty parts match every record.
  void SetFilter(const QString& keyword, const QString& text, const QString& file);
  CConcordanceRecord Record(int row) const;
  QString Path() const { return m_strPath; }
  // Rows read from the file so far (the pages in the cache), for tests.
  std::int64_t PagesRead() const { return m_nPagesRead; }

  static constexpr int kPageRows = 256;

 signals:
  // The records were counted again (a gap in the row ids was found).
  void CountChanged();

 private:
  explicit CConcordanceDbModel(sqlite3* db, QString path);
  struct CRow {
    CConcordanceRecord m_record;
  };
  void Rebuild();
  const std::vector<CRow>& Page(int page) const;

  sqlite3* m_db = nullptr;
  QString m_strPath;
  std::int64_t m_nCount = 0;
  // Without sort or filter, when the row ids run without gaps, row n is row id
  // m_nFirstRowid + n; otherwise temp.tessary_order holds the row ids in order.
  bool m_bDense = false;
  mutable bool m_bGaps = false;  // the row ids have gaps: always list them
  bool m_bOrdered = false;
  std::int64_t m_nFirstRowid = 1;
  int m_nSortColumn = -1;
  Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
  QString m_strKeyword, m_strText, m_strFile;
  mutable std::map<int, std::vector<CRow>> m_pages;
  mutable std::vector<int> m_arrPageOrder;  // least recently read first
  mutable std::int64_t m_nPagesRead = 0;
};

class CDatabaseView : public QWidget {
  Q_OBJECT
 public:
  CDatabaseView(CTessaryApp& app, std::unique_ptr<CConcordanceDbModel> model, QWidget* parent);
  ~CDatabaseView() override;

  CConcordanceDbModel& Model() { return *m_pModel; }
  QTableView* Table() const { return m_pTable; }
  QString CountText() const;
  // Applies the three filter boxes now (typing applies them after a short pause).
  void ApplyFilter();
  // Opens the source of row's record with its keyword selected, as the context
  // look-up of a list line does.
  void OpenContext(int row);
  QLineEdit* KeywordBox() const { return m_pKeyword; }
  QLineEdit* TextBox() const { return m_pText; }
  QLineEdit* FileBox() const { return m_pFile; }

 private:
  void UpdateCount();

  CTessaryApp& m_app;
  std::unique_ptr<CConcordanceDbModel> m_pModel;
  QTableView* m_pTable;
  QLineEdit* m_pKeyword;
  QLineEdit* m_pText;
  QLineEdit* m_pFile;
  QLabel* m_pCount;
};

}  // namespace tessary
