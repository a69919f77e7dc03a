#pragma once
// The result windows of the Analysis menu: a table of the core's rows that sorts by
// any heading (numbers as numbers), hides rows under a minimum, tells each column's
// formula in its tool tip, and saves as TSV or CSV or copies as TSV; the dispersion
// window adds the plot, a strip per text with a tick per hit.
#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>

#include "analysis/dispersion.h"
#include "analysis/table.h"

class QCheckBox;
class QLabel;
class QSpinBox;
class QTableView;
class QVBoxLayout;

namespace tessary {

class IPrompt;

class CAnalysisTableModel : public QAbstractTableModel {
 public:
  explicit CAnalysisTableModel(CTable table, QObject* parent = nullptr);
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  const CTable& Table() const { return m_table; }

 private:
  CTable m_table;
};

// Numbers compare as numbers ("-inf" lowest, an empty field, undefined, below all);
// a row is shown when each filtered column holds at least its minimum.
class CAnalysisProxy : public QSortFilterProxyModel {
 public:
  using QSortFilterProxyModel::QSortFilterProxyModel;
  void SetMinimum(int column, double minimum);

 protected:
  bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
  bool filterAcceptsRow(int row, const QModelIndex& parent) const override;

 private:
  std::map<int, double> m_minimums;
};

class CAnalysisTableWindow : public QWidget {
  Q_OBJECT
 public:
  // summary: the line above the counts (the request, its totals).
  CAnalysisTableWindow(IPrompt& prompt, const QString& title, const QString& summary, CTable table,
                       QWidget* parent);
  ~CAnalysisTableWindow() override;

  // A box "Minimum <label>" that hides the rows whose column is below it.
  void AddFilter(int column, const QString& label);
  void SetFilter(int column, std::int64_t minimum);
  QTableView* View() const { return m_pView; }
  CAnalysisProxy* Proxy() const { return m_pProxy; }
  int ShownRows() const;
  QString StatusText() const;
  // The table as shown: the rows in their order, filtered; bSelected: only the selected
  // rows (all when none is selected).
  CTable ShownTable(bool bSelected = false) const;
  // Asks for a file and writes the rows as shown; false when nothing was written.
  bool SaveAs(TableFormat format);
  void Copy();
  void SetByteOrderMark(bool on);
  // Double-click on a row: its row in the core's table.
  std::function<void(int row)> m_fnActivated;

 protected:
  QVBoxLayout* Layout() const { return m_pLayout; }
  QLayout* Buttons() const { return m_pButtons; }
  IPrompt& m_prompt;

 private:
  void UpdateStatus();

  QString m_strSummary;
  CAnalysisTableModel* m_pModel;
  CAnalysisProxy* m_pProxy;
  QTableView* m_pView;
  QLabel* m_pStatus;
  QCheckBox* m_pBom;
  QVBoxLayout* m_pLayout;
  QLayout* m_pButtons;
  QLayout* m_pFilters;
  std::map<int, QSpinBox*> m_filters;
};

// The strips of a dispersion plot, drawn to the widget's width.
class CDispersionPlot : public QWidget {
  Q_OBJECT
 public:
  explicit CDispersionPlot(const CDispersionResult& result, QWidget* parent = nullptr);
  QSize sizeHint() const override;
  // Where the tick of a hit stands; and the hit nearest a point (within a few pixels).
  QPoint TickPosition(std::size_t strip, std::size_t hit) const;
  bool HitAt(const QPoint& point, std::size_t& strip, std::size_t& hit) const;
  // The tick the keyboard stands on (the first hit when the plot opens); false when no
  // text has a hit. Enter or Space opens it as a click does.
  bool CurrentTick(std::size_t& strip, std::size_t& hit) const;
  std::function<void(std::size_t strip, std::size_t hit)> m_fnTickClicked;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QRect StripRect(std::size_t strip) const;
  void SetCurrent(std::size_t strip, std::size_t hit);
  // The strip nearest to `strip` in the direction step (+1, -1) that has a hit.
  bool StripWithHits(std::size_t from, int step, std::size_t& strip) const;
  const CDispersionResult& m_result;
  std::size_t m_nStrip = 0;
  std::size_t m_nHit = 0;
};

class CDispersionWindow : public CAnalysisTableWindow {
  Q_OBJECT
 public:
  CDispersionWindow(IPrompt& prompt, const QString& title, const QString& summary, CDispersionResult result,
                    std::string svgTitle, QWidget* parent);
  CDispersionPlot* Plot() const { return m_pPlot; }
  const CDispersionResult& Result() const { return m_result; }
  bool SavePng();
  bool SaveSvg();

 private:
  CDispersionResult m_result;
  std::string m_strSvgTitle;
  CDispersionPlot* m_pPlot;
};

}  // namespace tessary
