#include "app/analysis_windows.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollArea>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>
#include <cmath>

#include "app/help_search.h"
#include "ui/prompt.h"
#include "ui/qt_text.h"

namespace tessary {

namespace {

// A field as a number: "-inf"/"inf" as infinities, anything else that is no number as NaN.
double Number(const QString& text, bool* ok = nullptr) {
  if (text == QLatin1String("-inf")) return ok && (*ok = true), -HUGE_VAL;
  if (text == QLatin1String("inf")) return ok && (*ok = true), HUGE_VAL;
  bool isNumber = false;
  const double v = text.toDouble(&isNumber);
  if (ok) *ok = isNumber;
  return isNumber ? v : NAN;
}

bool WriteFile(const QString& path, const std::string& bytes) {
  // Only a regular file is replaced: a device or a folder of that name is left alone.
  const QFileInfo info(path);
  if (info.exists() && !info.isFile()) return false;
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

QString AskSavePath(IPrompt& prompt, const QString& title, const QString& filter, const QString& suffix) {
  CFileDialogRequest request;
  request.m_strTitle = title;
  request.m_arrFilters = {filter, "All Files (*.*)"};
  request.m_strInitialName = "*." + suffix;
  request.m_strDefaultSuffix = suffix;
  request.m_bSave = true;
  const CFileDialogResult answer = prompt.AskFiles(request);
  return answer.m_bOk && !answer.m_arrFiles.isEmpty() ? answer.m_arrFiles.front() : QString();
}

bool SaveBytes(IPrompt& prompt, const QString& caption, const QString& path, const std::string& bytes) {
  if (WriteFile(path, bytes)) return true;
  prompt.Message(QStringLiteral("File error\n%1 could not be written.").arg(path), caption, QMessageBox::Warning);
  return false;
}

QPushButton* Button(QWidget* parent, QLayout* layout, const QString& text, std::function<void()> fn) {
  auto* button = new QPushButton(text, parent);
  button->setAccessibleName(QString(text).remove('&').remove("..."));
  button->setAutoDefault(false);
  QObject::connect(button, &QPushButton::clicked, parent, [fn = std::move(fn)] { fn(); });
  layout->addWidget(button);
  return button;
}

}  // namespace

// ---- Model ----

CAnalysisTableModel::CAnalysisTableModel(CTable table, QObject* parent)
    : QAbstractTableModel(parent), m_table(std::move(table)) {}

int CAnalysisTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_table.m_arrRows.size());
}

int CAnalysisTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_table.m_arrHeader.size());
}

QVariant CAnalysisTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const auto& row = m_table.m_arrRows[static_cast<std::size_t>(index.row())];
  const auto column = static_cast<std::size_t>(index.column());
  if (column >= row.size()) return {};
  const QString text = QString::fromStdString(row[column]);
  if (role == Qt::DisplayRole) return text;
  if (role == Qt::TextAlignmentRole) {
    bool number = false;
    Number(text, &number);
    return number ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
  }
  if (role == Qt::ToolTipRole && column < m_table.m_arrToolTips.size())
    return QString::fromUtf8(m_table.m_arrToolTips[column].c_str());
  return {};
}

QVariant CAnalysisTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
  const auto s = static_cast<std::size_t>(section);
  if (role == Qt::DisplayRole) return QString::fromUtf8(m_table.m_arrHeader[s].c_str());
  if (role == Qt::ToolTipRole && s < m_table.m_arrToolTips.size())
    return QString::fromUtf8(m_table.m_arrToolTips[s].c_str());
  return {};
}

// ---- Sorting and filtering ----

void CAnalysisProxy::SetMinimum(int column, double minimum) {
  m_minimums[column] = minimum;
  invalidateFilter();
}

bool CAnalysisProxy::lessThan(const QModelIndex& left, const QModelIndex& right) const {
  const QString a = left.data().toString(), b = right.data().toString();
  bool na = false, nb = false;
  const double x = Number(a, &na), y = Number(b, &nb);
  if ((na || a.isEmpty()) && (nb || b.isEmpty())) {
    // Undefined values stand below every number.
    if (std::isnan(x) || std::isnan(y)) return std::isnan(x) && !std::isnan(y);
    if (x != y) return x < y;
    return left.row() < right.row();
  }
  // Words by the user's collation, case aside ("boats" next to "Boats").
  int c = QString::localeAwareCompare(a.toCaseFolded(), b.toCaseFolded());
  if (c == 0) c = QString::compare(a, b);
  return c != 0 ? c < 0 : left.row() < right.row();
}

bool CAnalysisProxy::filterAcceptsRow(int row, const QModelIndex& parent) const {
  for (const auto& [column, minimum] : m_minimums) {
    const double v = Number(sourceModel()->index(row, column, parent).data().toString());
    if (std::isnan(v) || v < minimum) return false;
  }
  return true;
}

// ---- Table window ----

CAnalysisTableWindow::CAnalysisTableWindow(IPrompt& prompt, const QString& title, const QString& summary,
                                           CTable table, QWidget* parent)
    : QWidget(parent, Qt::Window), m_prompt(prompt), m_strSummary(summary) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(title);
  setAccessibleName(title);
  SetHelpPage(this, "analysis.html");
  m_pLayout = new QVBoxLayout(this);
  m_pModel = new CAnalysisTableModel(std::move(table), this);
  m_pProxy = new CAnalysisProxy(this);
  m_pProxy->setSourceModel(m_pModel);
  m_pView = new QTableView(this);
  m_pView->setAccessibleName(title + " table");
  m_pView->setModel(m_pProxy);
  // The core's order first (the measure asked for), until a heading is clicked.
  m_pView->horizontalHeader()->setSortIndicator(-1, Qt::DescendingOrder);
  m_pView->setSortingEnabled(true);
  m_pView->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_pView->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_pView->verticalHeader()->setVisible(false);
  connect(m_pView, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
    if (m_fnActivated && index.isValid()) m_fnActivated(m_pProxy->mapToSource(index).row());
  });
  m_pFilters = new QHBoxLayout;
  m_pLayout->addLayout(m_pFilters);
  m_pLayout->addWidget(m_pView, 1);
  m_pStatus = new QLabel(this);
  m_pStatus->setAccessibleName("Counts");
  m_pStatus->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  m_pLayout->addWidget(m_pStatus);
  auto* buttons = new QHBoxLayout;
  m_pButtons = buttons;
  Button(this, buttons, "Save as &TSV...", [this] { SaveAs(TableFormat::kTsv); });
  Button(this, buttons, "Save as &CSV...", [this] { SaveAs(TableFormat::kCsv); });
  m_pBom = new QCheckBox("UTF-8 &mark for spreadsheets", this);
  m_pBom->setAccessibleName("UTF-8 mark for spreadsheets");
  buttons->addWidget(m_pBom);
  Button(this, buttons, "C&opy", [this] { Copy(); });
  buttons->addStretch(1);
  Button(this, buttons, "Close", [this] { close(); });
  m_pLayout->addLayout(buttons);
  // Ctrl+C in the window copies as the button does.
  auto* copy = new QAction(this);
  copy->setShortcut(QKeySequence::Copy);
  copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  connect(copy, &QAction::triggered, this, &CAnalysisTableWindow::Copy);
  addAction(copy);
  connect(m_pProxy, &QAbstractItemModel::rowsInserted, this, &CAnalysisTableWindow::UpdateStatus);
  connect(m_pProxy, &QAbstractItemModel::rowsRemoved, this, &CAnalysisTableWindow::UpdateStatus);
  connect(m_pProxy, &QAbstractItemModel::modelReset, this, &CAnalysisTableWindow::UpdateStatus);
  connect(m_pProxy, &QAbstractItemModel::layoutChanged, this, &CAnalysisTableWindow::UpdateStatus);
  m_pView->resizeColumnsToContents();
  resize(760, 480);
  UpdateStatus();
}

CAnalysisTableWindow::~CAnalysisTableWindow() = default;

void CAnalysisTableWindow::AddFilter(int column, const QString& label) {
  auto* caption = new QLabel("Minimum " + label, this);
  auto* spin = new QSpinBox(this);
  spin->setAccessibleName("Minimum " + label);
  spin->setRange(1, INT_MAX);
  caption->setBuddy(spin);
  m_pFilters->addWidget(caption);
  m_pFilters->addWidget(spin);
  m_filters[column] = spin;
  connect(spin, &QSpinBox::valueChanged, this, [this, column](int v) {
    m_pProxy->SetMinimum(column, v);
    UpdateStatus();
  });
  if (m_filters.size() == 1) {
    if (auto* box = dynamic_cast<QHBoxLayout*>(m_pFilters)) box->addStretch(0);
  }
}

void CAnalysisTableWindow::SetFilter(int column, std::int64_t minimum) {
  if (auto it = m_filters.find(column); it != m_filters.end())
    it->second->setValue(static_cast<int>(std::clamp<std::int64_t>(minimum, 1, INT_MAX)));
}

int CAnalysisTableWindow::ShownRows() const { return m_pProxy->rowCount(); }

QString CAnalysisTableWindow::StatusText() const { return m_pStatus->text(); }

void CAnalysisTableWindow::UpdateStatus() {
  const int all = m_pModel->rowCount();
  const int shown = m_pProxy->rowCount();
  QString counts = shown == all ? QStringLiteral("%1 rows").arg(all)
                                : QStringLiteral("%1 of %2 rows shown").arg(shown).arg(all);
  m_pStatus->setText(m_strSummary.isEmpty() ? counts : m_strSummary + "   " + counts);
}

CTable CAnalysisTableWindow::ShownTable(bool bSelected) const {
  const CTable& all = m_pModel->Table();
  CTable t;
  t.m_arrHeader = all.m_arrHeader;
  t.m_arrToolTips = all.m_arrToolTips;
  const QModelIndexList selected = bSelected ? m_pView->selectionModel()->selectedRows() : QModelIndexList();
  std::vector<int> rows;
  for (const QModelIndex& index : selected) rows.push_back(index.row());
  std::sort(rows.begin(), rows.end());
  if (rows.empty())
    for (int r = 0; r < m_pProxy->rowCount(); ++r) rows.push_back(r);
  for (int r : rows)
    t.m_arrRows.push_back(all.m_arrRows[static_cast<std::size_t>(m_pProxy->mapToSource(m_pProxy->index(r, 0)).row())]);
  return t;
}

bool CAnalysisTableWindow::SaveAs(TableFormat format) {
  const bool csv = format == TableFormat::kCsv;
  const QString path = AskSavePath(m_prompt, csv ? "Save as CSV" : "Save as TSV",
                                   csv ? "CSV Files (*.csv)" : "TSV Files (*.tsv)", csv ? "csv" : "tsv");
  if (path.isEmpty()) return false;
  return SaveBytes(m_prompt, windowTitle(), path, TableText(ShownTable(), format, m_pBom->isChecked()));
}

void CAnalysisTableWindow::Copy() {
  const std::string text = TableText(ShownTable(true), TableFormat::kTsv);
  QApplication::clipboard()->setText(QString::fromStdString(text));
}

void CAnalysisTableWindow::SetByteOrderMark(bool on) { m_pBom->setChecked(on); }

// ---- Dispersion plot ----

namespace {
constexpr int kMargin = 8;
constexpr int kStripHeight = 22;
constexpr int kGap = 10;
constexpr int kNameWidth = 150;
constexpr int kFiguresWidth = 230;
}  // namespace

CDispersionPlot::CDispersionPlot(const CDispersionResult& result, QWidget* parent)
    : QWidget(parent), m_result(result) {
  setAccessibleName("Dispersion plot");
  setToolTip(
      "One strip per text, its length taken as 1; a tick per hit. Click a tick to open its context, or move "
      "between ticks with the arrow keys and press Enter.");
  setFocusPolicy(Qt::StrongFocus);
  std::size_t first = 0;
  if (StripWithHits(0, 1, first)) SetCurrent(first, 0);
  // Every strip keeps its height; the scroll area scrolls when they do not fit.
  setMinimumSize(kNameWidth + kFiguresWidth + 120, sizeHint().height());
}

QSize CDispersionPlot::sizeHint() const {
  const int strips = static_cast<int>(m_result.m_arrStrips.size());
  return {kNameWidth + kFiguresWidth + 400, kMargin * 2 + strips * (kStripHeight + kGap)};
}

QRect CDispersionPlot::StripRect(std::size_t strip) const {
  const int top = kMargin + static_cast<int>(strip) * (kStripHeight + kGap);
  const int width = std::max(40, this->width() - kNameWidth - kFiguresWidth - 2 * kMargin);
  return {kMargin + kNameWidth, top, width, kStripHeight};
}

QPoint CDispersionPlot::TickPosition(std::size_t strip, std::size_t hit) const {
  const QRect r = StripRect(strip);
  const double place = m_result.m_arrStrips[strip].m_arrPlaces[hit];
  return {r.left() + static_cast<int>(std::lround(place * (r.width() - 1))), r.center().y()};
}

bool CDispersionPlot::HitAt(const QPoint& point, std::size_t& strip, std::size_t& hit) const {
  int best = 4;  // pixels
  bool found = false;
  for (std::size_t s = 0; s < m_result.m_arrStrips.size(); ++s) {
    const QRect r = StripRect(s);
    if (point.y() < r.top() || point.y() > r.bottom()) continue;
    for (std::size_t h = 0; h < m_result.m_arrStrips[s].m_arrPlaces.size(); ++h) {
      const int d = std::abs(TickPosition(s, h).x() - point.x());
      if (d < best || (d == best && !found)) best = d, strip = s, hit = h, found = true;
    }
  }
  return found;
}

void CDispersionPlot::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().base());
  const QFontMetrics fm(font());
  for (std::size_t s = 0; s < m_result.m_arrStrips.size(); ++s) {
    const CDispersionStrip& strip = m_result.m_arrStrips[s];
    const QRect r = StripRect(s);
    p.setPen(palette().text().color());
    const QString name = QFileInfo(FromFsPath(strip.m_strPath)).fileName();
    p.drawText(QRect(kMargin, r.top(), kNameWidth - 6, r.height()), Qt::AlignVCenter | Qt::AlignLeft,
               fm.elidedText(name.isEmpty() ? FromFsPath(strip.m_strPath) : name, Qt::ElideMiddle, kNameWidth - 6));
    p.drawRect(r.adjusted(0, 0, -1, -1));
    p.setPen(QPen(palette().highlight().color(), 1));
    // Many hits share a pixel column: each column's tick is drawn once.
    std::vector<char> columns(static_cast<std::size_t>(r.width()));
    for (std::size_t h = 0; h < strip.m_arrPlaces.size(); ++h)
      columns[static_cast<std::size_t>(std::clamp(TickPosition(s, h).x() - r.left(), 0, r.width() - 1))] = 1;
    for (int c = 0; c < r.width(); ++c)
      if (columns[static_cast<std::size_t>(c)]) p.drawLine(r.left() + c, r.top() + 2, r.left() + c, r.bottom() - 2);
    if (s == m_nStrip && hasFocus() && m_nHit < strip.m_arrPlaces.size()) {
      const QPoint at = TickPosition(s, m_nHit);
      p.setPen(QPen(palette().text().color(), 1, Qt::DotLine));
      p.drawRect(QRect(at.x() - 3, r.top(), 6, r.height() - 1));
    }
    p.setPen(palette().text().color());
    const QString d = std::isnan(strip.m_dJuilland) ? QStringLiteral("-") : QString::number(strip.m_dJuilland, 'f', 3);
    p.drawText(QRect(r.right() + 8, r.top(), kFiguresWidth - 8, r.height()), Qt::AlignVCenter | Qt::AlignLeft,
               QStringLiteral("%1 hits  %2 per 1,000  D %3")
                   .arg(strip.m_arrPlaces.size())
                   .arg(strip.m_dPer1000, 0, 'f', 2)
                   .arg(d));
  }
}

void CDispersionPlot::mousePressEvent(QMouseEvent* event) {
  std::size_t strip = 0, hit = 0;
  if (event->button() == Qt::LeftButton && HitAt(event->position().toPoint(), strip, hit)) {
    SetCurrent(strip, hit);
    if (m_fnTickClicked) m_fnTickClicked(strip, hit);
  }
  QWidget::mousePressEvent(event);
}

bool CDispersionPlot::CurrentTick(std::size_t& strip, std::size_t& hit) const {
  if (m_nStrip >= m_result.m_arrStrips.size() || m_nHit >= m_result.m_arrStrips[m_nStrip].m_arrPlaces.size())
    return false;
  strip = m_nStrip;
  hit = m_nHit;
  return true;
}

bool CDispersionPlot::StripWithHits(std::size_t from, int step, std::size_t& strip) const {
  const auto& strips = m_result.m_arrStrips;
  for (auto s = static_cast<std::ptrdiff_t>(from); s >= 0 && s < static_cast<std::ptrdiff_t>(strips.size()); s += step)
    if (!strips[static_cast<std::size_t>(s)].m_arrPlaces.empty()) {
      strip = static_cast<std::size_t>(s);
      return true;
    }
  return false;
}

void CDispersionPlot::SetCurrent(std::size_t strip, std::size_t hit) {
  m_nStrip = strip;
  m_nHit = hit;
  const CDispersionStrip& s = m_result.m_arrStrips[strip];
  const QString name = QFileInfo(FromFsPath(s.m_strPath)).fileName();
  // A screen reader reads where the keyboard stands.
  setAccessibleDescription(QStringLiteral("%1, hit %2 of %3").arg(name).arg(hit + 1).arg(s.m_arrPlaces.size()));
  update();
}

// Left and Right step through a text's hits, Home and End go to its first and last,
// Up and Down to the hit at about the same place in the text above or below.
void CDispersionPlot::keyPressEvent(QKeyEvent* event) {
  std::size_t strip = 0, hit = 0;
  if (!CurrentTick(strip, hit)) return QWidget::keyPressEvent(event);
  const std::size_t hits = m_result.m_arrStrips[strip].m_arrPlaces.size();
  switch (event->key()) {
    case Qt::Key_Left: SetCurrent(strip, hit > 0 ? hit - 1 : 0); break;
    case Qt::Key_Right: SetCurrent(strip, std::min(hit + 1, hits - 1)); break;
    case Qt::Key_Home: SetCurrent(strip, 0); break;
    case Qt::Key_End: SetCurrent(strip, hits - 1); break;
    case Qt::Key_Up:
    case Qt::Key_Down: {
      const int step = event->key() == Qt::Key_Up ? -1 : 1;
      std::size_t next = 0;
      if (static_cast<std::ptrdiff_t>(strip) + step < 0 ||
          !StripWithHits(strip + static_cast<std::size_t>(static_cast<std::ptrdiff_t>(step)), step, next))
        break;
      const double place = m_result.m_arrStrips[strip].m_arrPlaces[hit];
      const auto& places = m_result.m_arrStrips[next].m_arrPlaces;
      const auto at = std::lower_bound(places.begin(), places.end(), place);
      std::size_t nearest = static_cast<std::size_t>(std::min(at - places.begin(), std::ptrdiff_t(places.size()) - 1));
      if (nearest > 0 && place - places[nearest - 1] <= places[nearest] - place) --nearest;
      SetCurrent(next, nearest);
      break;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
      if (m_fnTickClicked) m_fnTickClicked(strip, hit);
      break;
    default: return QWidget::keyPressEvent(event);
  }
}

// ---- Dispersion window ----

CDispersionWindow::CDispersionWindow(IPrompt& prompt, const QString& title, const QString& summary,
                                     CDispersionResult result, std::string svgTitle, QWidget* parent)
    : CAnalysisTableWindow(prompt, title, summary, DispersionTable(result), parent),
      m_result(std::move(result)),
      m_strSvgTitle(std::move(svgTitle)) {
  m_pPlot = new CDispersionPlot(m_result, this);
  auto* scroll = new QScrollArea(this);
  scroll->setAccessibleName("Dispersion plot area");
  scroll->setWidget(m_pPlot);
  scroll->setWidgetResizable(true);
  Layout()->insertWidget(0, scroll, 2);
  auto* buttons = new QHBoxLayout;
  Button(this, buttons, "Save as &PNG...", [this] { SavePng(); });
  Button(this, buttons, "Save as S&VG...", [this] { SaveSvg(); });
  buttons->addStretch(1);
  Layout()->insertLayout(1, buttons);
  resize(900, 600);
}

bool CDispersionWindow::SavePng() {
  const QString path = AskSavePath(m_prompt, "Save as PNG", "PNG Images (*.png)", "png");
  if (path.isEmpty()) return false;
  const QImage image = m_pPlot->grab().toImage();
  const QFileInfo info(path);
  QSaveFile file(path);
  if (info.exists() && !info.isFile()) file.setFileName(QString());
  if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit()) {
    m_prompt.Message(QStringLiteral("File error\n%1 could not be written.").arg(path), windowTitle(),
                     QMessageBox::Warning);
    return false;
  }
  return true;
}

bool CDispersionWindow::SaveSvg() {
  const QString path = AskSavePath(m_prompt, "Save as SVG", "SVG Images (*.svg)", "svg");
  if (path.isEmpty()) return false;
  return SaveBytes(m_prompt, windowTitle(), path, DispersionSvg(m_result, m_strSvgTitle));
}

}  // namespace tessary
