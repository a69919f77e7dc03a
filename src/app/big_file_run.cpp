// "Concordance search (Ctrl + F5)": a file too large for the editor, read in chunks
// straight from disk so memory stays bounded by one chunk. The request is asked here;
// the run is a CSearchRun whose worker reads the file with CBigFileSearch.
#include <QFileInfo>

#include "app/background_task.h"
#include "app/concordance_controller.h"
#include "app/concordance_dialogs.h"
#include "app/main_frame.h"
#include "app/progress_dialog.h"
#include "app/search_output.h"
#include "app/search_run.h"
#include "app/tessary_app.h"
#include "engine/big_file_search.h"
#include "ui/prompt.h"
#include "ui/qt_text.h"

namespace tessary {

void CConcordanceController::RequestBigFileSearch() {
  CSearchSettings& s = m_app.m_settings;
  struct Drop {
    CSearchSettings& s;
    ~Drop() { s.ClearRequest(); }
  } drop{s};
  CSearchRequest request = CSearchRequest::FromSettings(s);
  // Big files are byte text: there is no code-set question.
  request.m_bUnicode = false;

  if (!AskSelection(request)) return;

  auto cp = CCodePage::Open(request.m_language.TextCodePage());
  if (!cp) {
    m_app.Prompt().Message(QString::fromStdString(cp.Error()), "Concordance Selection", QMessageBox::Warning);
    return;
  }
  m_strLastByteSearch = FromU16(request.m_wstrTyped);
  // The big-file search takes the string as typed, spaces and all.
  s.m_strSearch = request.m_strSearch = (*cp)->FromUnicode(request.m_wstrTyped);
  if (request.m_strSearch.empty()) return;

  request.m_source = SearchSource::kBigFile;
  request.m_nBigFileStart = 0;
  // "&Open" searches the big file viewer's file; without one the search ends here.
  if (!s.m_bDirectory) {
    const std::string& path = m_app.m_strBigFilePath;
    if (path.empty() || !QFileInfo(FromFsPath(path)).isFile()) {
      m_app.Prompt().Message("There is no file selected. Use Directory Search to select a file.", QString(),
                             QMessageBox::Information);
      return;
    }
    request.m_arrFiles = {path};
    StartRun(std::make_unique<CSearchRun>(m_app, *this, std::move(request), std::vector<CSourceText>(), false));
    return;
  }
  CFileDialogRequest ask;
  ask.m_strTitle = "Open Large File";
  ask.m_arrFilters = {"Text Files (*.TXT)", "All Documents (*.*)"};
  ask.m_strDefaultSuffix = "TXT";
  const CFileDialogResult answer = m_app.Prompt().AskFiles(ask);
  if (!answer.m_bOk || answer.m_arrFiles.isEmpty()) return;
  request.m_arrFiles = {ToFsPath(answer.m_arrFiles.front())};
  StartRun(std::make_unique<CSearchRun>(m_app, *this, std::move(request), std::vector<CSourceText>(), false));
}

namespace {

void Show(CBackgroundTask& task, CProgressDialog* progress, std::function<void(CProgressDialog&)> show,
          bool bForce = false) {
  task.Post([progress, show = std::move(show)] { show(*progress); }, bForce);
}

}  // namespace

void RunBigFileWork(const CSearchRequest& request, std::int64_t chunkSize, CBackgroundTask& task,
                    CProgressDialog* progress, CSearchOutput& out) {
  CBigFileSearch* search = nullptr;
  std::int64_t chunkStart = -1;  // of the last chunk read
  CBigFileObserver observer;
  observer.m_fnSource = [&](const std::string& path, std::int64_t length) {
    const QString shown = FromFsPath(path);
    Show(task, progress, [shown, length](CProgressDialog& p) {
      p.SetField("This file:", shown);
      p.SetField("Size:", QString::number(length));
    }, true);
  };
  observer.m_fnChunk = [&](std::int64_t start, std::int64_t end) {
    chunkStart = start;
    const QString reading = QString::fromStdString(ReadingMessage(start, end));
    const std::uint64_t found = search ? search->Matches() : 0;
    Show(task, progress, [reading, found](CProgressDialog& p) {
      p.SetField(kBigFileChunkField, reading);
      if (found > 0) p.SetField("CONCORDANCES =", QStringLiteral(" %1").arg(found));
    }, true);
  };
  observer.m_fnProgress = [&](std::uint64_t done, std::uint64_t total) {
    const int percent = total ? static_cast<int>(done * 100 / total) : 100;
    const std::uint64_t found = search ? search->Matches() : 0;
    Show(task, progress, [percent, found](CProgressDialog& p) {
      p.SetPercent(percent);
      if (found > 0) p.SetField("CONCORDANCES =", QStringLiteral(" %1").arg(found));
    });
    return !task.StopRequested();
  };
  auto created = CBigFileSearch::Create(request, observer, false, chunkSize);
  if (!created) return void(out.m_strError = created.Error());
  search = created->get();
  if (!search->SearchFile(request.m_arrFiles.front())) {
    // A file that could not be read at all shows nothing; one that failed on the way
    // shows what was found before.
    if (chunkStart < 0) return void(out.m_strError = search->Error());
    out.m_strWarning = search->Error();
  }

  // A stop ended the reading with the lines found; sorting and copying can be stopped anew.
  const std::uint64_t found = search->Matches();
  if (task.StopRequested()) {
    task.ClearStop();
    if (found > static_cast<std::uint64_t>(kAutoFormatLimit)) Show(task, progress, [](CProgressDialog& p) { p.Rearm(); }, true);
  }
  const QString phase = search->Sorted() ? QStringLiteral("Sorting %1 concordances").arg(found)
                                         : QStringLiteral("Assembling %1 concordances").arg(found);
  Show(task, progress, [phase](CProgressDialog& p) {
    p.SetPhase(phase);
    p.SetPercent(0);
  }, true);
  bool announced = !search->Sorted();
  auto percent = [&](std::uint64_t done, std::uint64_t total) {
    const int value = total ? static_cast<int>(done * 100 / total) : 100;
    Show(task, progress, [value](CProgressDialog& p) { p.SetPercent(value); });
    return !task.StopRequested();
  };
  auto copy = [&](std::uint64_t done, std::uint64_t total) {
    if (!announced) {
      announced = true;
      const QString assembling = QStringLiteral("Assembling %1 concordances").arg(total);
      Show(task, progress, [assembling](CProgressDialog& p) { p.SetPhase(assembling); }, true);
      task.ClearStop();
    }
    return percent(done, total);
  };
  CAssembledList list = search->Finish(copy, percent);
  auto record = std::make_unique<CConcordanceList>();
  record->m_request = request;
  record->m_bSorted = search->Sorted() && !list.m_bStopped && !list.m_bSortStopped;
  record->m_bSortRight = record->m_bSorted && request.m_strSortMode == kSortRight;
  record->m_bSortLeft = record->m_bSorted && request.m_strSortMode == kSortLeft;
  record->m_nMatchMode = search->Prepared().m_nMode;
  record->m_nKeyLength = static_cast<std::int64_t>(search->Prepared().m_strKey.size());
  // The file was chosen in "Open Large File"; entry positions are true file offsets.
  record->m_bFromFiles = true;
  record->m_bBigFile = true;
  record->m_nChunkStart = std::max<std::int64_t>(0, chunkStart);
  record->TakeEntries(list.m_arrEntries, list.m_arrFiles);
  out.m_bFormat = list.Lines() <= kAutoFormatLimit;
  if (out.m_bFormat) out.m_arrRanges = search->Ranges(list);
  decltype(list.m_arrEntries)().swap(list.m_arrEntries);
  out.m_pList = std::move(record);
  out.m_bytes = std::move(list);
}

}  // namespace tessary
