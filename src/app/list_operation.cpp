#include "app/list_operation.h"

#include <QTextDocument>
#include <algorithm>

#include "app/background_task.h"
#include "app/list_filler.h"
#include "app/tessary_app.h"
#include "editor/tessary_doc.h"

namespace tessary {

COperationSlot::COperationSlot(CTessaryApp& app) : m_app(app) {}

COperationSlot::~COperationSlot() { Abandon(); }

void COperationSlot::Start(std::unique_ptr<CListOperation> run) {
  m_pRun = std::move(run);
  m_app.BeginBusy();
  connect(m_pRun.get(), &CListOperation::Ended, this, [this] {
    // Queued: the stack that emitted Ended has returned, so the run can go here, while
    // the windows its dialogs belong to still exist; those told of the end still see it.
    const std::unique_ptr<CListOperation> ended = std::move(m_pRun);
    m_app.EndBusy();
    emit Ended();
  }, Qt::QueuedConnection);
  m_pRun->Start();
}

void COperationSlot::Stop() {
  if (m_pRun) m_pRun->Stop();
}

void COperationSlot::Abandon() {
  if (!m_pRun) return;
  std::unique_ptr<CListOperation> run = std::move(m_pRun);
  run->disconnect(this);
  run->Abandon();
  run.reset();
  m_app.EndBusy();
  emit Ended();
}

CFillingOperation::CFillingOperation(CTessaryApp& app) : m_app(app), m_pTask(std::make_unique<CBackgroundTask>()) {}

CFillingOperation::~CFillingOperation() = default;

void CFillingOperation::Stop() {
  m_pTask->RequestStop();
  if (m_pFiller) m_pFiller->Stop();
}

void CFillingOperation::Abandon() {
  m_bAbandoned = true;
  Stop();
  m_pTask->Wait();
  if (m_bEnded || !m_pFiller) return;
  delete m_pFiller;
  m_pFiller = nullptr;
  if (m_pDoc) {
    m_pDoc->SetModified(false);
    m_app.CloseDocument(m_pDoc);
    m_pDoc = nullptr;
  }
}

bool CFillingOperation::WorkDone() {
  m_pTask->Wait();
  return !m_bAbandoned;
}

void CFillingOperation::KeepEntriesOfShownLines() {
  CConcordanceList* list = m_pDoc ? m_pDoc->List() : nullptr;
  if (!list) return;
  const std::int64_t shown = std::max<std::int64_t>(0, m_pDoc->Document()->blockCount() - 1);
  if (static_cast<std::int64_t>(list->m_arrEntries.size()) > shown)
    list->m_arrEntries.resize(static_cast<std::size_t>(shown));
}

}  // namespace tessary
