#include "app/sort_run.h"

#include <QTextCursor>
#include <QTextDocument>

#include "app/background_task.h"
#include "app/concordance_controller.h"
#include "app/list_filler.h"
#include "app/list_ranges.h"
#include "app/list_window.h"
#include "app/main_frame.h"
#include "app/progress_dialog.h"
#include "app/tessary_app.h"
#include "app/text_snapshot.h"
#include "editor/list_lines.h"
#include "editor/tessary_doc.h"
#include "editor/tessary_view.h"
#include "engine/sort_command.h"
#include "ui/prompt.h"
#include "ui/qt_text.h"

namespace tessary {

namespace {

QString SearchShown(const CConcordanceList& list) { return FromU16(list.m_request.m_wstrTyped); }

}  // namespace

CSortRun::CSortRun(CTessaryApp& app, CConcordanceController& controller, CTessaryDoc& source, bool bRight,
                   int nDistance)
    : CFillingOperation(app),
      m_controller(controller),
      m_source(*source.List()),
      m_pSource(&source),
      m_strTitle(source.Title()),
      m_font(source.Document()->defaultFont()),
      m_bRight(bRight),
      m_nDistance(nDistance) {}

CSortRun::~CSortRun() = default;

void CSortRun::Start() {
  const QTextDocument* text = m_pSource->Document();
  m_pLines = m_pSource->SharedLines();
  const std::int64_t lines = m_pLines ? m_pLines->Count()
                                      : text->blockCount() - (text->lastBlock().text().isEmpty() ? 1 : 0);
  // Sort Right alone announces its preparing and copying in the status bar.
  if (CMainFrame* frame = m_app.MainFrame(); frame && m_bRight)
    frame->SetPaneText(0, QStringLiteral("Preparing to sort %1 concordances for [%2]").arg(lines).arg(SearchShown(m_source)));
  m_pProgress = std::make_unique<CProgressDialog>(m_app.MainFrame(), "Concordance Sort",
                                                  QStringList{"File", "Search String", "Count"}, "Stop Sort");
  m_pProgress->SetField("File", m_strTitle);
  m_pProgress->SetField("Search String", SearchShown(m_source));
  connect(m_pProgress.get(), &CProgressDialog::StopRequested, this, &CSortRun::Stop);
  m_pProgress->show();
  if (m_controller.m_fnProgressShown) m_controller.m_fnProgressShown(m_pProgress.get());
  // A store never changes: the worker reads it. A window's text is taken first, a
  // slice at a time.
  if (m_pLines) {
    m_pSource = nullptr;
    return StartWork();
  }
  auto* snapshot = new CTextSnapshot({m_pSource}, this);
  m_pSource = nullptr;
  connect(snapshot, &CTextSnapshot::Done, this, [this, snapshot] {
    m_text = std::move(snapshot->Texts().front());
    snapshot->deleteLater();
    if (m_pProgress->Stopped()) return Finish();
    StartWork();
  });
  snapshot->Start();
}

void CSortRun::StartWork() {
  connect(m_pTask.get(), &CBackgroundTask::Finished, this, &CSortRun::OnWorkDone);
  m_pTask->Start([this] { Work(); });
}


void CSortRun::Work() {
  std::u16string text = m_pLines ? m_pLines->TextUtf16() : ToU16(m_text);
  // The new window reads the source's lines in their new order.
  if (!m_pLines) m_pLines = TextLines(std::move(m_text));
  Sort(std::move(text));
}

void CSortRun::Sort(std::u16string text) {
  auto collator = CSortCollator::ForUserLocale();
  if (!collator) return void(m_strError = collator.Error());
  CProgressDialog* progress = m_pProgress.get();
  CBackgroundTask& task = *m_pTask;
  bool copying = false;
  auto step = [&](std::uint64_t done, std::uint64_t total) {
    if (copying) {
      task.Post([progress, done] { progress->SetField("Count", QString::number(done)); });
    } else {
      const int percent = static_cast<int>(done * 100 / std::max<std::uint64_t>(1, total));
      task.Post([progress, percent, done] {
        progress->SetPercent(percent);
        progress->SetField("Count", QString::number(done));
      });
    }
    return !task.StopRequested();
  };
  auto copy = [&](std::uint64_t done, std::uint64_t total) {
    if (!copying) {
      copying = true;
      const QString phase = QStringLiteral("Now copying %1 sorted concordances...please wait").arg(total);
      task.Post([progress, phase] { progress->SetPhase(phase); }, true);
    }
    return step(done, total);
  };
  auto sortStarts = [&](std::size_t entries) {
    const QString text = QStringLiteral("Starting sort of %1 collocates...").arg(entries);
    task.Post([app = &m_app, progress, text] {
      if (CMainFrame* frame = app->MainFrame()) frame->SetPaneText(0, text);
      progress->SetPhase(text);
    }, true);
  };
  if (m_source.Unicode()) {
    m_pOutcome = std::make_unique<CSortOutcome>(
        SortWideList(m_source, text, m_bRight, m_nDistance, **collator, step, copy, sortStarts));
    return;
  }
  // A byte list is keyed in its own language, whatever is chosen now.
  auto cp = CCodePage::Open(m_source.Language().TextCodePage());
  if (!cp) return void(m_strError = cp.Error());
  const std::string bytes = (*cp)->FromUnicode(text);
  std::u16string().swap(text);
  m_pOutcome = std::make_unique<CSortOutcome>(
      SortList(m_source, bytes, m_bRight, m_nDistance, **collator, **cp, step, copy, sortStarts));
}

void CSortRun::OnWorkDone() {
  if (!WorkDone()) return;
  m_pProgress->hide();
  if (!m_strError.empty()) {
    m_app.Prompt().Message(QString::fromStdString(m_strError), "Tessary", QMessageBox::Warning);
    return Finish();
  }
  if (!m_pOutcome || m_pOutcome->m_bGatherStopped) return Finish();
  CSortedList& sorted = m_pOutcome->m_sorted;
  const auto count = static_cast<std::int64_t>(sorted.m_arrOrder.size());
  if (CMainFrame* frame = m_app.MainFrame(); frame && m_bRight)
    frame->SetPaneText(0, QStringLiteral("Now copying %1 sorted concordances...please wait").arg(count));

  m_pDoc = m_app.NewListDocument();
  if (!m_pDoc) return Finish();
  SetListFont(*m_pDoc, m_font);
  const bool unicode = sorted.m_list.Unicode();
  auto list = std::make_unique<CConcordanceList>(std::move(sorted.m_list));
  const CConcordanceList* record = list.get();
  m_pDoc->SetList(std::move(list));

  std::shared_ptr<const CCodePage> cp;
  if (!unicode) {
    if (auto opened = CCodePage::Open(record->Language().TextCodePage())) cp = *opened;
  }
  const bool format = m_app.m_settings.m_bAutoFormat && !sorted.m_bStopped && count <= kAutoFormatLimit;
  auto lines = PermutedLines(std::move(m_pLines), std::move(sorted.m_arrOrder));
  // A long unformatted list is shown from the lines as they are.
  if (!format && count > kAutoFormatLimit) {
    m_pDoc->SetLines(std::move(lines));
    return OnFilled(true, false);
  }
  auto piece = [lines, cp, record](std::int64_t first, std::int64_t last) {
    CListPiece out;
    for (std::int64_t i = first; i < last; ++i) {
      const QString line = lines->Line(i);
      const std::int64_t start = out.m_text.size();
      out.m_text += line;
      out.m_text += QLatin1Char('\n');
      AppendLineRanges(*record, &record->m_arrEntries[static_cast<std::size_t>(i)], line, start, cp.get(),
                       out.m_arrRanges);
    }
    return out;
  };
  if (format)
    if (CMainFrame* frame = m_app.MainFrame()) frame->SetPaneText(0, "Formatting concordances");
  m_pFiller = new CListFiller(*m_pDoc, count, piece, format, unicode, this);
  connect(m_pFiller, &CListFiller::Filled, this, [this](std::int64_t done, std::int64_t) {
    m_pProgress->SetField("Count", QString::number(done));
  });
  connect(m_pFiller, &CListFiller::Done, this, &CSortRun::OnFilled);
  if (count > kAutoFormatLimit && !m_pProgress->Stopped()) m_pProgress->show();
  m_pFiller->Start();
}

void CSortRun::OnFilled(bool bFilled, bool bFormatted) {
  if (m_pDoc) {
    CConcordanceList* list = m_pDoc->List();
    if (!bFilled && list) {
      // The lines not shown are not sorted into the window: the list is not sorted.
      list->m_bSorted = false;
      KeepEntriesOfShownLines();
    }
    m_pDoc->m_bFormatted = bFormatted;
    if (CTessaryView* view = m_pDoc->FirstView()) view->SetTextCursor(QTextCursor(m_pDoc->Document()));
  }
  m_pOutcome.reset();
  Finish();
}

void CSortRun::Finish() {
  m_bEnded = true;
  if (m_pProgress) m_pProgress->hide();
  if (m_pDoc && m_pDoc->FirstView()) m_controller.OnViewFocus(m_pDoc->FirstView());
  emit Ended();
}

}  // namespace tessary
