#include "app/collocates_view.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/background_task.h"
#include "app/concordance_controller.h"
#include "app/main_frame.h"
#include "app/tessary_app.h"
#include "app/text_snapshot.h"
#include "editor/tessary_doc.h"
#include "ui/qt_text.h"

namespace tessary {

CCollocatesDialog::CCollocatesDialog(IPrompt& prompt, std::function<void(const QString&)> open)
    : m_prompt(prompt), m_fnOpen(std::move(open)) {}

void CCollocatesDialog::SetList(CCollocateList list, std::shared_ptr<const CCodePage> cp) {
  m_bWide = false;
  m_list = std::move(list);
  m_pCp = std::move(cp);
  FillWidget();
}

void CCollocatesDialog::SetList(CWideCollocateList list) {
  m_bWide = true;
  m_wideList = std::move(list);
  FillWidget();
}

QString CCollocatesDialog::Direction() const {
  const bool right = m_bWide ? m_wideList.m_bRight : m_list.m_bRight;
  return right ? "Right collocates for " : "Left collocates for ";
}

QString CCollocatesDialog::Keyword() const {
  if (m_bWide) return FromU16(m_wideList.m_wstrKeyword);
  return m_pCp ? FromU16(m_pCp->ToUnicode(m_list.m_strKeyword)) : QString::fromStdString(m_list.m_strKeyword);
}

int CCollocatesDialog::RowCount() const {
  return static_cast<int>(m_bWide ? m_wideList.m_arrItems.size() : m_list.m_arrItems.size());
}

QString CCollocatesDialog::Word(int row) const {
  if (row < 0 || row >= RowCount()) return {};
  const auto i = static_cast<std::size_t>(row);
  if (m_bWide) return FromU16(m_wideList.m_arrItems[i].m_wstrWord);
  const std::string& word = m_list.m_arrItems[i].m_strWord;
  return m_pCp ? FromU16(m_pCp->ToUnicode(word)) : QString::fromStdString(word);
}

QString CCollocatesDialog::Count(int row) const {
  if (row < 0 || row >= RowCount()) return {};
  const auto i = static_cast<std::size_t>(row);
  return QString::number(m_bWide ? m_wideList.m_arrItems[i].m_nCount : m_list.m_arrItems[i].m_nCount);
}

void CCollocatesDialog::FrequencySort() {
  if (m_bWide) SortByFrequency(m_wideList.m_arrItems);
  else SortByFrequency(m_list.m_arrItems);
  FillWidget();
}

void CCollocatesDialog::StringSort() {
  if (m_bWide) SortByString(m_wideList.m_arrItems);
  else if (m_pCp) SortByString(m_list.m_arrItems, *m_pCp);
  FillWidget();
}

QByteArray CCollocatesDialog::FileBytes() const {
  if (!m_bWide) {
    const std::string text = CollocateFileText(m_list);
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
  }
  // The editor and other programs know the file by its byte-order mark.
  return QByteArray("\xEF\xBB\xBF") + FromU16(WideCollocateFileText(m_wideList)).toUtf8();
}

bool CCollocatesDialog::Save() {
  CFileDialogRequest request;
  request.m_strTitle = "Create Word List";
  request.m_arrFilters = {"Text Files (*.TXT)"};
  request.m_strDefaultSuffix = "TXT";
  request.m_bSave = true;
  request.m_bOverwritePrompt = true;
  const CFileDialogResult answer = m_prompt.AskFiles(request);
  if (!answer.m_bOk || answer.m_arrFiles.isEmpty()) return false;
  const QString path = answer.m_arrFiles.front();
  // Written aside and put in place whole: a failed write leaves an existing file as it was.
  QSaveFile file(path);
  const QByteArray bytes = FileBytes();
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
    m_prompt.Message("File error", "Tessary", QMessageBox::Warning);
    return false;
  }
  if (m_fnOpen) m_fnOpen(path);
  return true;
}

std::unique_ptr<QDialog> CCollocatesDialog::CreateWidget(QWidget* parent) {
  auto dialog = std::make_unique<QDialog>(parent);
  dialog->setWindowTitle("Collocates View");
  dialog->setAccessibleName("Collocates View");
  auto* layout = new QVBoxLayout(dialog.get());

  auto* heading = new QHBoxLayout;
  auto* direction = new QLabel(Direction(), dialog.get());
  direction->setAccessibleName("Direction");
  auto* keyword = new QLabel(Keyword(), dialog.get());
  keyword->setObjectName("keyword");
  keyword->setAccessibleName("Keyword");
  heading->addWidget(direction);
  heading->addWidget(keyword);
  heading->addStretch();
  layout->addLayout(heading);

  auto* rows = new QTreeWidget(dialog.get());
  rows->setObjectName("rows");
  rows->setAccessibleName("Collocates");
  rows->setRootIsDecorated(false);
  rows->setUniformRowHeights(true);
  rows->setHeaderLabels({"Collocate   ", "Instances"});
  rows->setSortingEnabled(false);
  layout->addWidget(rows);
  m_pRows = rows;

  auto* count = new QHBoxLayout;
  auto* unique = new QLabel("Unique words =", dialog.get());
  auto* number = new QLabel(QString::number(RowCount()), dialog.get());
  number->setObjectName("unique");
  number->setAccessibleName("Unique words");
  unique->setBuddy(number);
  count->addWidget(unique);
  count->addWidget(number);
  count->addStretch();
  layout->addLayout(count);

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
  add("String Sort", "string", [this] { StringSort(); });
  add("Save", "save", [this] { Save(); });
  QDialog* raw = dialog.get();
  QPushButton* ok = add("OK", "ok", [raw] { raw->accept(); });
  ok->setDefault(true);
  layout->addLayout(buttons);
  FillWidget();
  return dialog;
}

void CCollocatesDialog::FillWidget() {
  if (!m_pRows) return;
  m_pRows->setUpdatesEnabled(false);
  m_pRows->clear();
  QList<QTreeWidgetItem*> items;
  items.reserve(RowCount());
  for (int row = 0; row < RowCount(); ++row) {
    auto* item = new QTreeWidgetItem({Word(row), Count(row)});
    item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    items.push_back(item);
  }
  m_pRows->addTopLevelItems(items);
  const QFontMetrics metrics = m_pRows->header()->fontMetrics();
  m_pRows->setColumnWidth(0, metrics.horizontalAdvance("Collocate   ") + 65);
  m_pRows->setColumnWidth(1, metrics.horizontalAdvance("Instances") + 15);
  m_pRows->setUpdatesEnabled(true);
}

CCollocatesRun::CCollocatesRun(CTessaryApp& app, CConcordanceController& controller, CTessaryDoc& source)
    : m_app(app),
      m_controller(controller),
      m_source(*source.List()),
      m_pSource(&source),
      m_pTask(std::make_unique<CBackgroundTask>()) {}

CCollocatesRun::~CCollocatesRun() = default;

void CCollocatesRun::Start() {
  if (CMainFrame* frame = m_app.MainFrame()) frame->SetPaneText(0, "Counting collocates");
  // The window's text is taken a slice at a time, then counted on the worker.
  auto* snapshot = new CTextSnapshot({m_pSource}, this);
  m_pSource = nullptr;
  connect(snapshot, &CTextSnapshot::Done, this, [this, snapshot] {
    m_text = std::move(snapshot->Texts().front());
    snapshot->deleteLater();
    connect(m_pTask.get(), &CBackgroundTask::Finished, this, &CCollocatesRun::OnWorkDone);
    m_pTask->Start([this] { Work(); });
  });
  snapshot->Start();
}

void CCollocatesRun::Stop() { m_pTask->RequestStop(); }

void CCollocatesRun::Abandon() {
  m_bAbandoned = true;
  Stop();
  m_pTask->Wait();
}

void CCollocatesRun::Work() {
  CBackgroundTask& task = *m_pTask;
  auto going = [&task](std::uint64_t, std::uint64_t) { return !task.StopRequested(); };
  if (m_source.Unicode()) {
    m_wideList = CollectWideCollocates(m_source, ToU16(m_text), going);
    return;
  }
  // A byte list is keyed in its own language, whatever is chosen now.
  auto cp = CCodePage::Open(m_source.Language().TextCodePage());
  if (!cp) return void(m_strError = cp.Error());
  m_pCp = std::move(*cp);
  m_list = CollectCollocates(m_source, m_pCp->FromUnicode(ToU16(m_text)), *m_pCp, going);
}

void CCollocatesRun::OnWorkDone() {
  m_pTask->Wait();
  if (m_bAbandoned) return;
  if (CMainFrame* frame = m_app.MainFrame()) frame->SetPaneText(0, "Ready");
  if (!m_strError.empty()) {
    m_app.Prompt().Message(QString::fromStdString(m_strError), "Tessary", QMessageBox::Warning);
  } else if (m_list || m_wideList) {
    CCollocatesDialog dialog(m_app.Prompt(), [this](const QString& path) { m_app.OpenDocumentFile(path); });
    if (m_wideList) dialog.SetList(std::move(*m_wideList));
    else dialog.SetList(std::move(*m_list), m_pCp);
    m_app.Prompt().Exec(dialog);
  }
  // The list goes with the dialog.
  m_list.reset();
  m_wideList.reset();
  emit Ended();
}

}  // namespace tessary
