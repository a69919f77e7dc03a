#pragma once
// "Unique words view": the table UniqueWords of a database saved from the Unique Words
// View, read from the SQLite file a page at a time as rows come into view. Sorting by
// a column and the word filter keep the ordered row ids in a temporary table.
#include <QAbstractTableModel>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "engine/expected.h"
#include "export/unique_words_db.h"

class QLabel;
class QLineEdit;
class QTableView;
struct sqlite3;

namespace tessary {

class CUniqueWordsDbModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  enum Column { kRank, kWord, kInstances, kColumns };
  // Fails for a file that cannot be opened, is no SQLite file or has no UniqueWords.
  static Expected<std::unique_ptr<CUniqueWordsDbModel>> Open(const QString& path);
  ~CUniqueWordsDbModel() override;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

  // Rows whose word holds text (any case); empty shows every row.
  void SetFilter(const QString& text);
  CUniqueWordRecord Record(int row) const;
  QString Path() const { return m_strPath; }

  static constexpr int kPageRows = 256;

 private:
  CUniqueWordsDbModel(sqlite3* db, QString path);
  void Rebuild();
  const std::vector<CUniqueWordRecord>& Page(int page) const;

  sqlite3* m_db = nullptr;
  QString m_strPath;
  std::int64_t m_nCount = 0;
  int m_nSortColumn = -1;
  Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
  QString m_strFilter;
  mutable std::map<int, std::vector<CUniqueWordRecord>> m_pages;
  mutable std::vector<int> m_arrPageOrder;  // least recently read first
};

class CUniqueWordsDbView : public QWidget {
  Q_OBJECT
 public:
  CUniqueWordsDbView(std::unique_ptr<CUniqueWordsDbModel> model, QWidget* parent);
  ~CUniqueWordsDbView() override;

  CUniqueWordsDbModel& Model() { return *m_pModel; }
  QTableView* Table() const { return m_pTable; }
  QLineEdit* FilterBox() const { return m_pFilter; }
  QString CountText() const;
  // Applies the filter box now (typing applies it after a short pause).
  void ApplyFilter();

 private:
  void UpdateCount();

  std::unique_ptr<CUniqueWordsDbModel> m_pModel;
  QTableView* m_pTable;
  QLineEdit* m_pFilter;
  QLabel* m_pCount;
};

}  // namespace tessary
