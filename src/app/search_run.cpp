#include "app/search_run.h"

#include <QTextCursor>
#include <QTextDocument>

#include "app/background_task.h"
#include "app/concordance_controller.h"
#include "app/list_filler.h"
#include "app/list_window.h"
#include "app/main_frame.h"
#include "app/progress_dialog.h"
#include "app/search_output.h"
#include "app/tessary_app.h"
#include "app/test_controller.h"
#include "app/text_snapshot.h"
#include "editor/list_lines.h"
#include "editor/tessary_doc.h"
#include "editor/tessary_view.h"
#include "engine/concordance_search.h"
#include "ui/prompt.h"
#include "ui/qt_text.h"

namespace tessary {

namespace {

const QStringList kSearchFields = {"This file:", "Search string", "CONCORDANCES =", "Size:"};

QString Shown(const CSearchRequest& r) { return r.m_bTestMode ? QStringLiteral("????") : FromU16(r.m_wstrTyped); }

ListSource SourceKind(const CSearchRequest& r) {
  return r.m_source == SearchSource::kFiles || r.m_source == SearchSource::kBigFile ? ListSource::kFiles
         : r.m_bUnicode                     ? ListSource::kOpenDocumentsUnicode
                                            : ListSource::kOpenDocuments;
}

}  // namespace

CSearchRun::CSearchRun(CTessaryApp& app, CConcordanceController& controller, CSearchRequest request,
                       std::vector<CSourceText> sources, bool bFormatAll)
    : CFillingOperation(app),
      m_controller(controller),
      m_request(std::move(request)),
      m_arrSources(std::move(sources)),
      m_bFormatAll(bFormatAll),
      m_pOut(std::make_unique<CSearchOutput>()) {}

CSearchRun::~CSearchRun() = default;

void CSearchRun::Start() {
  CMainFrame* frame = m_app.MainFrame();
  if (frame && !m_request.m_bTestMode) frame->SetPaneText(1, Shown(m_request));
  const bool bigFile = m_request.m_source == SearchSource::kBigFile;
  if (frame)
    frame->SetPaneText(0, bigFile ? "Big File Search"
                          : m_request.m_source == SearchSource::kFiles ? "Multi-File Search"
                                                                       : "Concordance Search");
  m_pProgress = std::make_unique<CProgressDialog>(
      frame, "Concordance Search", bigFile ? kSearchFields + QStringList{kBigFileChunkField} : kSearchFields,
      "Press the SPACEBAR to stop");
  m_pProgress->SetField("Search string", Shown(m_request));
  m_pProgress->SetField("CONCORDANCES =", "NIL (reading file)");
  connect(m_pProgress.get(), &CProgressDialog::StopRequested, this, &CSearchRun::Stop);
  m_pProgress->show();
  if (m_controller.m_fnProgressShown) m_controller.m_fnProgressShown(m_pProgress.get());
  std::vector<CTessaryDoc*> docs;
  for (const CSourceText& source : m_arrSources)
    if (source.m_pDoc) docs.push_back(source.m_pDoc);
  if (docs.empty()) return StartWork();
  // The open documents' texts are taken first, a slice at a time.
  auto* snapshot = new CTextSnapshot(std::move(docs), this);
  connect(snapshot, &CTextSnapshot::Done, this, [this, snapshot] {
    std::size_t next = 0;
    for (CSourceText& source : m_arrSources)
      if (source.m_pDoc) source.m_text = std::move(snapshot->Texts()[next++]);
    snapshot->deleteLater();
    // Stopped before any text was read: nothing was found, no window opens.
    if (m_pProgress->Stopped()) return Finish();
    StartWork();
  });
  snapshot->Start();
}

void CSearchRun::StartWork() {
  for (CSourceText& source : m_arrSources) source.m_pDoc = nullptr;
  connect(m_pTask.get(), &CBackgroundTask::Finished, this, &CSearchRun::OnWorkDone);
  m_pTask->Start([this] { Work(); });
}


namespace {

// The worker's side of one search, for byte or 16-bit text.
template <class CharT>
class CSearchWork {
 public:
  using Search = CConcordanceSearchT<CharT>;
  CSearchWork(const CSearchRequest& request, const std::vector<CSourceText>& sources, bool bFormatAll,
              CBackgroundTask& task, CProgressDialog* progress, CSearchOutput& out,
              const std::function<void(std::size_t)>& sourceHook)
      : m_request(request), m_sources(sources), m_bFormatAll(bFormatAll), m_task(task), m_pProgress(progress),
        m_out(out), m_fnSourceHook(sourceHook) {}

  void Run() {
    CSearchObserver observer;
    observer.m_fnSource = [this](const std::string& title, std::uint64_t length) {
      const QString shown = m_strTitle.isEmpty() ? FromFsPath(title) : m_strTitle;
      Post([shown, length](CProgressDialog& p) {
        p.SetField("This file:", shown);
        p.SetField("Size:", QString::number(length));
      }, true);
    };
    observer.m_fnProgress = [this](std::uint64_t done, std::uint64_t total) {
      const int percent = total ? static_cast<int>(done * 100 / total) : 100;
      const std::uint64_t found = m_pSearch ? m_pSearch->Matches() : 0;
      Post([percent, found](CProgressDialog& p) {
        p.SetPercent(percent);
        if (found > 0) p.SetField("CONCORDANCES =", QStringLiteral(" %1").arg(found));
      });
      return !m_task.StopRequested();
    };
    auto created = Search::Create(m_request, observer);
    if (!created) return void(m_out.m_strError = created.Error());
    m_pSearch = created->get();
    Scan(**created);
    Assemble(**created);
  }

 private:
  void Post(std::function<void(CProgressDialog&)> show, bool bForce = false) {
    CProgressDialog* progress = m_pProgress;
    m_task.Post([progress, show = std::move(show)] { show(*progress); }, bForce);
  }

  void Scan(Search& search) {
    for (std::size_t i = 0; i < m_sources.size() && !m_task.StopRequested() && !search.Stopped(); ++i) {
      if (m_fnSourceHook) m_fnSourceHook(i);
      const CSourceText& source = m_sources[i];
      m_strTitle = source.m_strTitle;
      if constexpr (sizeof(CharT) == 2) {
        search.SearchText(ToU16(source.m_text), source.m_strPath);
      } else {
        search.SearchText(search.TextCodePage().FromUnicode(ToU16(source.m_text)), source.m_strPath);
      }
      ReportCount(search);
    }
    m_strTitle.clear();
    // Files as the command line reads them: short ones side by side on the worker pool,
    // joined in order.
    if (!m_request.m_arrFiles.empty() && !m_task.StopRequested() && !search.Stopped()) {
      if (m_fnSourceHook) m_fnSourceHook(m_sources.size());
      search.SearchFiles(m_request.m_arrFiles);
      ReportCount(search);
    }
    m_out.m_arrSkipped = search.SkippedFiles();
  }

  void ReportCount(const Search& search) {
    const std::uint64_t found = search.Matches();
    Post([found](CProgressDialog& p) { p.SetField("CONCORDANCES =", QStringLiteral(" %1").arg(found)); }, true);
  }

  // Sorting and assembling; a stop here keeps the lines assembled so far.
  void Assemble(Search& search) {
    // A stop ended the scan, with the lines found; the next phases can be stopped anew.
    const std::uint64_t found = search.Matches();
    if (m_task.StopRequested()) {
      m_task.ClearStop();
      if (found > static_cast<std::uint64_t>(kAutoFormatLimit)) Post([](CProgressDialog& p) { p.Rearm(); }, true);
    }
    const QString phase = search.Sorted() ? QStringLiteral("Sorting %1 concordances").arg(found)
                                          : QStringLiteral("Assembling %1 concordances").arg(found);
    Post([phase](CProgressDialog& p) {
      p.SetPhase(phase);
      p.SetPercent(0);
    }, true);
    bool announced = !search.Sorted();
    auto percent = [this](std::uint64_t done, std::uint64_t total) {
      const int percent = total ? static_cast<int>(done * 100 / total) : 100;
      Post([percent](CProgressDialog& p) { p.SetPercent(percent); });
      return !m_task.StopRequested();
    };
    auto copy = [&](std::uint64_t done, std::uint64_t total) {
      if (!announced) {
        announced = true;
        const QString assembling = QStringLiteral("Assembling %1 concordances").arg(total);
        Post([assembling](CProgressDialog& p) { p.SetPhase(assembling); }, true);
        // A stop while sorting left the lines as found; assembling them can be stopped anew.
        m_task.ClearStop();
      }
      return percent(done, total);
    };
    auto list = search.Finish(copy, percent);
    auto record = std::make_unique<CConcordanceList>();
    record->m_request = m_request;
    record->m_bSorted = search.Sorted() && !list.m_bStopped && !list.m_bSortStopped;
    record->m_bSortRight = record->m_bSorted && m_request.m_strSortMode == kSortRight;
    record->m_bSortLeft = record->m_bSorted && m_request.m_strSortMode == kSortLeft;
    record->m_nMatchMode = search.Prepared().m_nMode;
    record->m_nKeyLength = static_cast<std::int64_t>(search.Prepared().m_strKey.size());
    record->m_bFromFiles = m_request.m_source == SearchSource::kFiles;
    record->m_bAssocView = m_request.IsAssociated();
    record->TakeEntries(list.m_arrEntries, list.m_arrFiles);
    // Sentence lists always get their keywords marked: a sentence's keyword has no column.
    m_out.m_bFormat = m_bFormatAll || m_request.m_bSentences || list.Lines() <= kAutoFormatLimit;
    // A test's keywords are blanked before the window sees them; the blanks are its format.
    if (m_request.m_bTestMode) {
      m_out.m_bFormat = false;
      if constexpr (sizeof(CharT) == 2) m_out.m_pTest = PrepareTest(list, m_request, search.Prepared().m_strKey);
      else m_out.m_pTest = PrepareTest(list, search.TextCodePage(), m_request, search.Prepared().m_strKey);
    }
    if (m_out.m_bFormat) m_out.m_arrRanges = search.Ranges(list);
    // The window is filled from the text; the entries live on in the list record.
    decltype(list.m_arrEntries)().swap(list.m_arrEntries);
    m_out.m_pList = std::move(record);
    if constexpr (sizeof(CharT) == 2) m_out.m_wide = std::move(list);
    else m_out.m_bytes = std::move(list);
  }

  const CSearchRequest& m_request;
  const std::vector<CSourceText>& m_sources;
  bool m_bFormatAll;
  CBackgroundTask& m_task;
  CProgressDialog* m_pProgress;
  CSearchOutput& m_out;
  const std::function<void(std::size_t)>& m_fnSourceHook;
  Search* m_pSearch = nullptr;
  QString m_strTitle;  // of the open document being scanned
};

}  // namespace

void CSearchRun::Work() {
  CProgressDialog* progress = m_pProgress.get();
  if (m_request.m_source == SearchSource::kBigFile)
    RunBigFileWork(m_request, m_controller.m_nBigFileChunkSize, *m_pTask, progress, *m_pOut);
  else if (m_request.m_bUnicode)
    CSearchWork<char16_t>(m_request, m_arrSources, m_bFormatAll, *m_pTask, progress, *m_pOut,
                          m_controller.m_fnSourceHook).Run();
  else
    CSearchWork<char>(m_request, m_arrSources, m_bFormatAll, *m_pTask, progress, *m_pOut,
                      m_controller.m_fnSourceHook).Run();
}

void CSearchRun::OnWorkDone() {
  if (!WorkDone()) return;
  m_pProgress->hide();
  CSearchOutput& out = *m_pOut;
  IPrompt& prompt = m_app.Prompt();
  if (!out.m_strError.empty()) {
    prompt.Message(QString::fromStdString(out.m_strError), "Tessary", QMessageBox::Warning);
    return Finish();
  }
  if (!out.m_strWarning.empty())
    prompt.Message(QString::fromStdString(out.m_strWarning), "Tessary", QMessageBox::Warning);
  if (!out.m_arrSkipped.empty()) {
    QString message = "These files could not be read and were skipped:";
    for (const auto& skipped : out.m_arrSkipped) message += "\n" + QString::fromStdString(skipped);
    prompt.Message(message, "Directory File Search", QMessageBox::Warning);
  }
  if (!out.m_pList->Unicode()) {
    auto cp = CCodePage::Open(out.m_pList->Language().TextCodePage());
    if (!cp) {
      prompt.Message(QString::fromStdString(cp.Error()), "Tessary", QMessageBox::Warning);
      return Finish();
    }
    out.m_pCp = *cp;
  }
  Fill();
}

void CSearchRun::Fill() {
  CSearchOutput& out = *m_pOut;
  m_pDoc = m_app.NewListDocument();
  if (!m_pDoc) return Finish();
  SetListFont(*m_pDoc, ListWindowFont(SourceKind(m_request)));
  const std::int64_t lines = out.Lines();
  const bool unicode = out.m_pList->Unicode();
  m_pDoc->SetList(std::move(out.m_pList));
  if (CMainFrame* frame = m_app.MainFrame()) frame->SetPaneText(0, QStringLiteral("Filling %1 concordances").arg(lines));
  m_pProgress->SetPhase(QStringLiteral("Filling %1 concordances").arg(lines));
  m_pProgress->SetPercent(0);
  const bool format = out.m_bFormat && (m_app.m_settings.m_bAutoFormat || m_request.m_bSentences);
  // A long unformatted list is shown from its assembled lines: nothing goes into the
  // text document until the user edits it.
  if (!out.m_pTest && !format && lines > kAutoFormatLimit) {
    m_pDoc->SetLines(unicode ? AssembledLines(std::move(out.m_wide)) : AssembledLines(std::move(out.m_bytes), out.m_pCp));
    return OnFilled(true, false);
  }
  // A large list shows its progress and can be stopped while it goes in.
  if (lines > kAutoFormatLimit && !m_pProgress->Stopped()) m_pProgress->show();

  CListFiller::PieceFn piece = [this, unicode](std::int64_t first, std::int64_t last) {
    CSearchOutput& o = *m_pOut;
    CRenderedText rendered = unicode ? RenderUtf16(o.m_wide, o.m_arrRanges, first, last)
                                     : RenderUtf16(o.m_bytes, *o.m_pCp, o.m_arrRanges, first, last);
    return CListPiece{FromU16(rendered.m_wstrText), std::move(rendered.m_arrRanges)};
  };
  std::int64_t pieceLines = lines;
  if (out.m_pTest) {
    piece = [test = out.m_pTest](std::int64_t first, std::int64_t last) { return test->Piece(first, last); };
    pieceLines = out.m_pTest->Lines();
  }
  m_pFiller = new CListFiller(*m_pDoc, pieceLines, piece, format, unicode, this);
  connect(m_pFiller, &CListFiller::Filled, this, [this](std::int64_t done, std::int64_t total) {
    m_pProgress->SetPercent(static_cast<int>(done * 100 / std::max<std::int64_t>(1, total)));
  });
  connect(m_pFiller, &CListFiller::Formatted, this, [this](std::int64_t done, std::int64_t total) {
    if (!m_pFormatProgress) {
      m_pProgress->hide();
      if (CMainFrame* frame = m_app.MainFrame()) frame->SetPaneText(0, "Formatting concordances");
      m_pFormatProgress = std::make_unique<CProgressDialog>(m_app.MainFrame(), "Formatting Concordance Strings",
                                                            QStringList{"File", "Search string"}, "Spacebar = Cancel");
      m_pFormatProgress->SetField("File", m_pDoc ? m_pDoc->Title() : QString());
      m_pFormatProgress->SetField("Search string", Shown(m_request));
      connect(m_pFormatProgress.get(), &CProgressDialog::StopRequested, this, &CSearchRun::Stop);
      m_pFormatProgress->show();
      if (m_controller.m_fnProgressShown) m_controller.m_fnProgressShown(m_pFormatProgress.get());
    }
    m_pFormatProgress->SetPercent(static_cast<int>(done * 100 / std::max<std::int64_t>(1, total)));
  });
  connect(m_pFiller, &CListFiller::Done, this, &CSearchRun::OnFilled);
  m_pFiller->Start();
}

void CSearchRun::OnFilled(bool bFilled, bool bFormatted) {
  // The text is in the window: the assembled form goes.
  const std::shared_ptr<CPreparedTest> test = std::move(m_pOut->m_pTest);
  m_pOut = std::make_unique<CSearchOutput>();
  if (m_pDoc) {
    if (!bFilled) KeepEntriesOfShownLines();
    m_pDoc->m_bFormatted = bFormatted;
    if (CTessaryView* view = m_pDoc->FirstView()) view->SetTextCursor(QTextCursor(m_pDoc->Document()));
  }
  if (test && m_pDoc) {
    if (m_pProgress) m_pProgress->hide();
    auto* preparation = new CTestPreparation(m_app, *m_pDoc, test->m_pTest, m_controller.m_fnProgressShown, this);
    connect(preparation, &CTestPreparation::Done, this, [this] {
      m_bTestPrepared = true;
      Finish();
    });
    return preparation->Start();
  }
  Finish();
}

void CSearchRun::Finish() {
  m_bEnded = true;
  if (m_pProgress) m_pProgress->hide();
  if (m_pFormatProgress) m_pFormatProgress->hide();
  // What the next search asks for is used once.
  m_app.m_settings.ClearRequest();
  if (m_pDoc && m_pDoc->FirstView()) m_controller.OnViewFocus(m_pDoc->FirstView());
  if (m_bTestPrepared && m_pDoc && m_pDoc->List() && m_pDoc->List()->TestMode())
    if (CMainFrame* frame = m_app.MainFrame()) frame->SetPaneText(0, kGapReady);
  emit Ended();
}

}  // namespace tessary
