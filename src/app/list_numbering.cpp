#include "app/list_numbering.h"

#include <QElapsedTimer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <algorithm>

#include "app/concordance_controller.h"
#include "app/list_filler.h"
#include "app/list_ranges.h"
#include "app/main_frame.h"
#include "app/progress_dialog.h"
#include "app/tessary_app.h"
#include "editor/tessary_doc.h"
#include "editor/tessary_view.h"
#include "engine/concordance_list.h"
#include "engine/number_prefix.h"
#include "ui/qt_text.h"

namespace tessary {

namespace {

std::unique_ptr<CProgressDialog> FormattingDialog(CTessaryApp& app, CConcordanceController& controller,
                                                  const CTessaryDoc& doc) {
  auto dialog = std::make_unique<CProgressDialog>(app.MainFrame(), "Formatting Concordance Strings",
                                                  QStringList{"File", "Search String"}, "Spacebar = Cancel");
  dialog->SetField("File", doc.Title());
  // A test keeps its search string hidden.
  if (const CConcordanceList* list = doc.List())
    dialog->SetField("Search String", list->TestMode() ? QStringLiteral("????") : FromU16(list->m_request.m_wstrTyped));
  dialog->show();
  if (controller.m_fnProgressShown) controller.m_fnProgressShown(dialog.get());
  return dialog;
}

constexpr qint64 kSliceMs = 20;

}  // namespace

QString NumberingRefusal(const CConcordanceList* list) {
  if (list && list->Unicode()) return "This function is not yet implemented for unicode.";
  if (list && list->LineNumbers())
    return "Numbers have already been added.\nFirst create a concordance list with no numbering.";
  if (!list) return "You have not selected a concordance list.";
  return {};
}

CNumberingRun::CNumberingRun(CTessaryApp& app, CConcordanceController& controller, CTessaryDoc& doc)
    : m_app(app), m_controller(controller), m_pDoc(&doc) {}

CNumberingRun::~CNumberingRun() = default;

void CNumberingRun::Start() {
  // Numbers go into the text: the lines are put into the document first.
  m_pDoc->EnsureText();
  QTextDocument* document = m_pDoc->Document();
  m_nLines = document->blockCount();
  if (m_nLines > 0 && document->lastBlock().length() <= 1) --m_nLines;  // the empty paragraph after the last line
  m_pDoc->m_bBusy = true;
  // Numbering is not an edit to undo piecemeal: undoing half of it would leave the
  // list saying it has numbers it lacks.
  document->setUndoRedoEnabled(false);
  m_pProgress = FormattingDialog(m_app, m_controller, *m_pDoc);
  connect(m_pProgress.get(), &CProgressDialog::StopRequested, this, &CNumberingRun::Stop);
  Slice();
}

void CNumberingRun::Slice() {
  if (!m_pDoc || m_bStop) return Finish();
  QElapsedTimer timer;
  timer.start();
  QTextDocument* document = m_pDoc->Document();
  const int last = std::min(m_nLines, m_nNext + m_nBatch);
  QTextCursor cursor(document);
  cursor.beginEditBlock();
  QTextBlock block = document->findBlockByNumber(m_nNext);
  for (; m_nNext < last && block.isValid(); ++m_nNext, block = block.next()) {
    // The prefix goes in front of the whole line: nothing of it is cut or moved
    // but to the right. It takes the plain look of the line's start.
    cursor.setPosition(block.position());
    QTextCharFormat format = block.begin() != block.end() ? block.begin().fragment().charFormat() : block.charFormat();
    cursor.insertText(QString::fromStdString(NumberPrefix(m_nNext + 1)), format);
  }
  cursor.endEditBlock();
  const qint64 elapsed = std::max<qint64>(1, timer.elapsed());
  m_nBatch = std::clamp<int>(static_cast<int>(m_nBatch * kSliceMs / elapsed), std::max(20, m_nBatch / 2),
                             std::min(50000, m_nBatch * 2));
  m_pProgress->SetPercent(m_nLines > 0 ? static_cast<int>(100LL * m_nNext / m_nLines) : 100);
  if (m_nNext < m_nLines) return void(QTimer::singleShot(0, this, &CNumberingRun::Slice));
  Finish();
}

void CNumberingRun::Finish() {
  if (m_bEnded) return;
  m_bEnded = true;
  if (m_pProgress) m_pProgress->hide();
  if (m_pDoc) {
    // Set also when stopped: the list is numbered as far as it went, every later
    // command measures each line's own prefix, and numbering cannot run twice.
    if (CConcordanceList* list = m_pDoc->List()) list->m_request.m_bLineNumbers = true;
    m_pDoc->Document()->setUndoRedoEnabled(true);
    m_pDoc->Document()->setModified(true);
    m_pDoc->m_bBusy = false;
    if (CTessaryView* view = m_pDoc->FirstView()) m_controller.OnViewFocus(view);
  }
  emit Ended();
}

void CNumberingRun::Abandon() {
  m_bStop = true;
  m_bEnded = true;
  if (m_pDoc) {
    if (CConcordanceList* list = m_pDoc->List()) list->m_request.m_bLineNumbers = true;
    m_pDoc->Document()->setUndoRedoEnabled(true);
    m_pDoc->m_bBusy = false;
  }
}

CKeywordFormatRun::CKeywordFormatRun(CTessaryApp& app, CConcordanceController& controller, CTessaryDoc& doc)
    : m_app(app), m_controller(controller), m_pDoc(&doc) {}

CKeywordFormatRun::~CKeywordFormatRun() = default;

void CKeywordFormatRun::Start() {
  m_pDoc->EnsureText();
  const CConcordanceList& list = *m_pDoc->List();
  std::shared_ptr<const CCodePage> cp;
  if (!list.Unicode()) {
    if (auto opened = CCodePage::Open(list.Language().TextCodePage())) cp = *opened;
  }
  std::vector<CRenderedRange> ranges = WindowRanges(list, m_pDoc->PlainText(), cp.get());
  if (CMainFrame* frame = m_app.MainFrame()) frame->SetPaneText(0, "Formatting concordances");
  m_pProgress = FormattingDialog(m_app, m_controller, *m_pDoc);
  m_pFiller = new CListFiller(*m_pDoc, 0, {}, true, list.Unicode(), this);
  connect(m_pProgress.get(), &CProgressDialog::StopRequested, this, &CKeywordFormatRun::Stop);
  connect(m_pFiller, &CListFiller::Formatted, this, [this](std::int64_t done, std::int64_t total) {
    m_pProgress->SetPercent(total > 0 ? static_cast<int>(done * 100 / total) : 100);
  });
  connect(m_pFiller, &CListFiller::Done, this, [this](bool, bool bFormatted) { Finish(bFormatted); });
  m_pFiller->StartFormatting(std::move(ranges));
}

void CKeywordFormatRun::Stop() {
  if (m_pFiller) m_pFiller->Stop();
}

void CKeywordFormatRun::Finish(bool bFormatted) {
  if (m_bEnded) return;
  m_bEnded = true;
  if (m_pProgress) m_pProgress->hide();
  if (m_pDoc) {
    // A stopped run leaves the lines formatted so far; the command can run again.
    m_pDoc->m_bFormatted = bFormatted;
    if (CTessaryView* view = m_pDoc->FirstView()) {
      view->SetTextCursor(QTextCursor(m_pDoc->Document()));
      m_controller.OnViewFocus(view);
    }
  }
  emit Ended();
}

void CKeywordFormatRun::Abandon() {
  m_bEnded = true;
  delete m_pFiller;  // lets the document go
  m_pFiller = nullptr;
}

}  // namespace tessary
