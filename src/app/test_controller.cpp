#include "app/test_controller.h"

#include <QColor>
#include <QElapsedTimer>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <algorithm>

#include "app/concordance_controller.h"
#include "app/main_frame.h"
#include "app/progress_dialog.h"
#include "app/tessary_app.h"
#include "app/test_dialogs.h"
#include "editor/tessary_doc.h"
#include "editor/tessary_view.h"
#include "engine/concordance_list.h"
#include "engine/number_prefix.h"
#include "engine/search_request.h"
#include "ui/prompt.h"
#include "ui/qt_text.h"

namespace tessary {

namespace {

constexpr qint64 kSliceMs = 20;
const QString kBlank = QStringLiteral("------");

std::shared_ptr<CPreparedTest> Prepared(CWideGapFillTest test) {
  auto prepared = std::make_shared<CPreparedTest>();
  prepared->m_text = FromU16(test.Text());
  const QString& text = prepared->m_text;
  prepared->m_arrLineStarts.reserve(test.Lines() + 1);
  for (qsizetype start = 0; start < text.size();) {
    prepared->m_arrLineStarts.push_back(start);
    const qsizetype end = text.indexOf(QLatin1Char('\n'), start);
    start = end < 0 ? text.size() : end + 1;
  }
  prepared->m_arrLineStarts.push_back(text.size());
  prepared->m_pTest = std::make_shared<CWideGapFillTest>(std::move(test));
  return prepared;
}

// The "Formatting Concordance Strings" dialog of a test: the search string stays hidden.
std::unique_ptr<CProgressDialog> TestDialog(CTessaryApp& app, const CTessaryDoc& doc,
                                            const std::function<void(QWidget*)>& shown) {
  auto dialog = std::make_unique<CProgressDialog>(app.MainFrame(), kGapProgressTitle,
                                                  QStringList{"File", "Search String"}, "Spacebar = Cancel");
  dialog->SetField("File", doc.Title());
  dialog->SetField("Search String", kGapHiddenSearch);
  dialog->show();
  if (shown) shown(dialog.get());
  return dialog;
}

void SetPane(CTessaryApp& app, int pane, const QString& text) {
  if (CMainFrame* frame = app.MainFrame()) frame->SetPaneText(pane, text);
}

}  // namespace

CListPiece CPreparedTest::Piece(std::int64_t first, std::int64_t last) const {
  first = std::clamp<std::int64_t>(first, 0, Lines());
  last = std::clamp<std::int64_t>(last, first, Lines());
  const qsizetype from = m_arrLineStarts[static_cast<std::size_t>(first)];
  const qsizetype to = m_arrLineStarts[static_cast<std::size_t>(last)];
  return {m_text.mid(from, to - from), {}};
}

std::shared_ptr<CPreparedTest> PrepareTest(const CAssembledList& list, const CCodePage& cp,
                                           const CSearchRequest& request, const std::string& key) {
  return Prepared(WindowGapFillTest(list, cp, request.m_nLineWidth, key));
}

std::shared_ptr<CPreparedTest> PrepareTest(const CWideAssembledList& list, const CSearchRequest& request,
                                           const std::u16string& key) {
  return Prepared(WindowGapFillTest(list, request.m_nLineWidth, request.m_bLineNumbers, key));
}

QTextCharFormat GapCharFormat(const CGapFormat& f) {
  QTextCharFormat format;
  format.setFontFamilies({QString::fromLatin1(f.m_pszFace)});
  format.setFontFixedPitch(true);
  format.setFontStyleHint(QFont::TypeWriter);
  format.setFontPointSize(f.m_nPointSize);
  format.setFontWeight(f.m_bBold ? QFont::Bold : QFont::Normal);
  format.setFontItalic(f.m_bItalic);
  format.setFontUnderline(f.m_bUnderline);
  format.setForeground(QColor((f.m_crColor >> 16) & 0xFF, (f.m_crColor >> 8) & 0xFF, f.m_crColor & 0xFF));
  return format;
}

// ---- The test of a document ----

CGapTestState::CGapTestState(CTessaryDoc& doc, std::shared_ptr<CWideGapFillTest> test)
    : QObject(&doc), m_pTest(std::move(test)) {
  const CConcordanceList* list = doc.List();
  m_bNumbered = list && list->LineNumbers();
}

CGapTestState* CGapTestState::Of(const CTessaryDoc* doc) {
  return doc ? doc->findChild<CGapTestState*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

bool TestAwaitsAnswer(const CTessaryView* view) {
  const CTessaryDoc* doc = view ? view->GetDocument() : nullptr;
  if (!doc || doc->m_bBusy || !doc->List() || !doc->List()->TestMode()) return false;
  CGapTestState* state = CGapTestState::Of(doc);
  return state && state->Test().Gaps() > 0 && !state->Test().Finished();
}

// ---- Slices ----

CLineSlices::CLineSlices(CTessaryDoc& doc, std::vector<std::size_t> lines, LineFn fn, QObject* parent)
    : QObject(parent), m_pDoc(&doc), m_arrLines(std::move(lines)), m_fn(std::move(fn)) {}

CLineSlices::~CLineSlices() { Release(); }

void CLineSlices::Release() {
  if (m_bReleased) return;
  m_bReleased = true;
  if (!m_pDoc) return;
  m_pDoc->Document()->setUndoRedoEnabled(true);
  m_pDoc->m_bBusy = false;
}

void CLineSlices::Start() {
  m_bReleased = false;
  m_pDoc->m_bBusy = true;
  m_pDoc->Document()->setUndoRedoEnabled(false);
  emit Progress(0, static_cast<std::int64_t>(m_arrLines.size()));
  QTimer::singleShot(0, this, &CLineSlices::Slice);
}

void CLineSlices::Slice() {
  if (!m_pDoc || m_bStop) {
    Release();
    return void(emit Done(false));
  }
  QElapsedTimer timer;
  timer.start();
  QTextDocument* document = m_pDoc->Document();
  const std::size_t last = std::min(m_arrLines.size(), m_nNext + static_cast<std::size_t>(m_nBatch));
  QTextCursor cursor(document);
  cursor.beginEditBlock();
  if (m_nNext < last) {
    std::size_t blockLine = m_arrLines[m_nNext];
    QTextBlock block = document->findBlockByNumber(static_cast<int>(blockLine));
    for (; m_nNext < last; ++m_nNext) {
      const std::size_t line = m_arrLines[m_nNext];
      for (; block.isValid() && blockLine < line; ++blockLine) block = block.next();
      m_fn(line, block, cursor);  // an invalid block: the window lost that line
    }
  }
  cursor.endEditBlock();
  const qint64 elapsed = std::max<qint64>(1, timer.elapsed());
  m_nBatch = std::clamp<std::int64_t>(m_nBatch * kSliceMs / elapsed, std::max<std::int64_t>(50, m_nBatch / 2),
                                      std::min<std::int64_t>(200000, m_nBatch * 2));
  emit Progress(static_cast<std::int64_t>(m_nNext), static_cast<std::int64_t>(m_arrLines.size()));
  if (m_nNext < m_arrLines.size()) return void(QTimer::singleShot(0, this, &CLineSlices::Slice));
  Release();
  emit Done(true);
}

// ---- Preparation ----

CTestPreparation::CTestPreparation(CTessaryApp& app, CTessaryDoc& doc, std::shared_ptr<CWideGapFillTest> test,
                                   const std::function<void(QWidget*)>& progressShown, QObject* parent)
    : QObject(parent), m_app(app), m_pDoc(&doc), m_pTest(std::move(test)), m_fnProgressShown(progressShown) {}

CTestPreparation::~CTestPreparation() = default;

void CTestPreparation::Start() {
  CConcordanceList* list = m_pDoc->List();
  // A search that found nothing made no test: its window says so as any list does.
  if (!list || m_pTest->Gaps() == 0) {
    if (list) list->m_request.m_bTestMode = false;
    return Finish();
  }
  new CGapTestState(*m_pDoc, m_pTest);
  SetPane(m_app, 0, kGapPreparing);
  std::vector<std::size_t> lines;
  lines.reserve(m_pTest->Gaps());
  for (std::size_t i = 0; i < m_pTest->Lines(); ++i)
    if (m_pTest->HasGap(i)) lines.push_back(i);
  m_pProgress = TestDialog(m_app, *m_pDoc, m_fnProgressShown);
  const CWideGapFillTest* test = m_pTest.get();
  m_pSlices = new CLineSlices(
      *m_pDoc, std::move(lines),
      [test, format = GapCharFormat(kGapBlankFormat)](std::size_t line, const QTextBlock& block, QTextCursor& cursor) {
        if (!block.isValid()) return;
        const int at = static_cast<int>(test->GapColumn(line));
        if (block.text().mid(at, kBlank.size()) != kBlank) return;
        cursor.setPosition(block.position() + at);
        cursor.setPosition(block.position() + at + static_cast<int>(kBlank.size()), QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(format);
      },
      this);
  // Stopping leaves the rest of the blanks plain: every keyword is hidden all the same.
  connect(m_pProgress.get(), &CProgressDialog::StopRequested, m_pSlices, &CLineSlices::Stop);
  connect(m_pSlices, &CLineSlices::Progress, this, [this](std::int64_t done, std::int64_t total) {
    m_pProgress->SetPercent(total > 0 ? static_cast<int>(done * 100 / total) : 100);
  });
  connect(m_pSlices, &CLineSlices::Done, this, &CTestPreparation::Finish);
  m_pSlices->Start();
}

void CTestPreparation::Finish() {
  if (m_bDone) return;
  m_bDone = true;
  if (m_pProgress) m_pProgress->hide();
  if (m_pDoc) {
    m_pDoc->m_bFormatted = true;
    if (CTessaryView* view = m_pDoc->FirstView()) view->SetTextCursor(QTextCursor(m_pDoc->Document()));
  }
  emit Done();
}

// ---- Answer ----

std::unique_ptr<CListOperation> AnswerTest(CTessaryApp& app, CConcordanceController& controller) {
  CTessaryView* view = app.MainFrame() ? app.MainFrame()->ActiveView() : nullptr;
  if (!TestAwaitsAnswer(view)) return nullptr;
  QPointer<CTessaryDoc> doc = view->GetDocument();
  CAnswerDialog dialog;
  if (!app.Prompt().Exec(dialog)) return nullptr;
  CGapTestState* state = CGapTestState::Of(doc);
  if (!state) return nullptr;
  switch (state->Test().CheckAnswer(ToU16(dialog.m_strAnswer), dialog.m_bCheat)) {
    case GapVerdict::kNothing: return nullptr;
    case GapVerdict::kWrong:
      app.Prompt().Message(kGapWrongAnswer, "Tessary", QMessageBox::Information);
      return nullptr;
    case GapVerdict::kAskCheat:
      if (app.Prompt().Message(kGapCheatQuestion, kGapCheatTitle, QMessageBox::Question,
                               QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
        return nullptr;
      break;
    case GapVerdict::kRight: break;
  }
  if (!doc) return nullptr;
  return std::make_unique<CTestRevealRun>(app, controller, *doc);
}

// ---- Reveal ----

CTestRevealRun::CTestRevealRun(CTessaryApp& app, CConcordanceController& controller, CTessaryDoc& doc)
    : m_app(app), m_controller(controller), m_pDoc(&doc) {}

CTestRevealRun::~CTestRevealRun() = default;

void CTestRevealRun::Start() {
  CGapTestState* state = CGapTestState::Of(m_pDoc);
  if (!state) return Finish();
  CWideGapFillTest& test = state->Test();
  std::vector<std::size_t> lines;
  for (std::size_t i = 0; i < test.Lines(); ++i)
    if (test.HasGap(i) && !test.IsRevealed(i)) lines.push_back(i);
  // Numbers added after the preparation moved every blank right by the line's prefix.
  const CConcordanceList* list = m_pDoc->List();
  const bool numberedSince = list && list->LineNumbers() && !state->Numbered();
  m_pProgress = TestDialog(m_app, *m_pDoc, m_controller.m_fnProgressShown);
  m_pSlices = new CLineSlices(
      *m_pDoc, std::move(lines),
      [state = QPointer<CGapTestState>(state), numberedSince, format = GapCharFormat(kGapRevealFormat)](
          std::size_t line, const QTextBlock& block, QTextCursor& cursor) {
        if (!state) return;
        qsizetype column = -1;
        if (block.isValid()) {
          const QString text = block.text();
          column = state->Test().GapColumn(line);
          if (numberedSince)
            column += static_cast<qsizetype>(NumberPrefixLength(std::u16string_view(
                reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size()))));
          if (text.mid(column, kBlank.size()) != kBlank) column = -1;
        }
        // A blank edited away has nothing to put back; the line counts as revealed.
        const auto edit = state->Test().RevealLine(line);
        if (!edit || column < 0) return;
        cursor.setPosition(block.position() + static_cast<int>(column));
        cursor.setPosition(block.position() + static_cast<int>(column + kBlank.size()), QTextCursor::KeepAnchor);
        cursor.insertText(FromU16(edit->m_strText), format);
      },
      this);
  connect(m_pProgress.get(), &CProgressDialog::StopRequested, m_pSlices, &CLineSlices::Stop);
  connect(m_pSlices, &CLineSlices::Progress, this, [this](std::int64_t done, std::int64_t total) {
    m_pProgress->SetPercent(total > 0 ? static_cast<int>(done * 100 / total) : 100);
  });
  connect(m_pSlices, &CLineSlices::Done, this, &CTestRevealRun::Finish);
  m_pSlices->Start();
}

void CTestRevealRun::Stop() {
  if (m_pSlices) m_pSlices->Stop();
}

void CTestRevealRun::Abandon() {
  m_bEnded = true;
  delete m_pSlices;  // lets the document go
  m_pSlices = nullptr;
}

void CTestRevealRun::Finish() {
  if (m_bEnded) return;
  m_bEnded = true;
  if (m_pProgress) m_pProgress->hide();
  CGapTestState* state = CGapTestState::Of(m_pDoc);
  if (m_pDoc && state && state->Test().Finished()) {
    // An ordinary list from now on: no answers, and its context can be looked up.
    if (CConcordanceList* list = m_pDoc->List()) list->m_request.m_bTestMode = false;
    delete state;
  }
  if (CTessaryView* view = m_pDoc ? m_pDoc->FirstView() : nullptr) {
    view->SetTextCursor(QTextCursor(m_pDoc->Document()));
    m_controller.OnViewFocus(view);
    if (!m_pDoc->List() || !m_pDoc->List()->TestMode()) SetPane(m_app, 0, kGapRevealed);
  }
  emit Ended();
}

}  // namespace tessary
