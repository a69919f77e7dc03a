#include "app/concordance_controller.h"

#include <QFileInfo>

#include "app/associated_request.h"
#include "app/command_ids.h"
#include "app/collocates_view.h"
#include "app/concordance_dialogs.h"
#include "app/list_numbering.h"
#include "app/list_operation.h"
#include "app/main_frame.h"
#include "app/search_string_edit.h"
#include "app/search_run.h"
#include "app/sort_run.h"
#include "app/tessary_app.h"
#include "app/test_controller.h"
#include "editor/tessary_doc.h"
#include "editor/tessary_view.h"
#include "engine/codepage.h"
#include "engine/collocates.h"
#include "engine/file_enum.h"
#include "engine/sort_command.h"
#include "ui/prompt.h"
#include "ui/qt_text.h"

namespace tessary {

CConcordanceController::CConcordanceController(CTessaryApp& app) : m_app(app), m_runs(app) {
  connect(&m_runs, &COperationSlot::Ended, this, &CConcordanceController::RunEnded);
}

CConcordanceController::~CConcordanceController() { AbandonRunning(); }

bool CConcordanceController::Handles(int id) const {
  switch (id) {
    case ids::kConcordanceSearch:
    case ids::kPlexonSearch:
    case ids::kAssociatedWords:
    case ids::kSentenceConcordances:
    case ids::kSetLineWidth:
    case ids::kSetMargin:
    case ids::kAutomaticFormat:
    case ids::kManualFormat:
    case ids::kFileReference:
    case ids::kEnglish:
    case ids::kBig5:
    case ids::kGb:
    case ids::kJapanese:
    case ids::kSortRight:
    case ids::kSortLeft:
    case ids::kCollocates:
    case ids::kAddLineNumbering:
    case ids::kConcordanceString:
    case ids::kBigFileSearch:
    case ids::kTestNew:
    case ids::kTestAnswer:
      return true;
    default:
      return false;
  }
}

bool CConcordanceController::IsEnabled(int id) const {
  if (m_app.Busy()) return false;
  if (id == ids::kSortRight || id == ids::kSortLeft) {
    const CTessaryView* view = m_app.MainFrame() ? m_app.MainFrame()->ActiveView() : nullptr;
    const CConcordanceList* list = view ? view->List() : nullptr;
    return list && !list->m_bSorted && !list->TestMode();
  }
  if (id == ids::kCollocates || id == ids::kConcordanceString) return ListCommandEnabled(id);
  if (id == ids::kTestAnswer) return TestAwaitsAnswer(m_app.MainFrame() ? m_app.MainFrame()->ActiveView() : nullptr);
  return Handles(id);
}

bool CConcordanceController::IsChecked(int id) const {
  const CSearchSettings& s = m_app.m_settings;
  switch (id) {
    case ids::kAutomaticFormat: return s.m_bAutoFormat;
    // The two switches are one setting: exactly one of them is checked.
    case ids::kManualFormat: return !s.m_bAutoFormat;
    case ids::kFileReference: return s.m_bFileReference;
    case ids::kSetMargin: return s.m_nLeftMargin > 0;
    case ids::kEnglish: return s.m_language == TextLanguageKind::kCodePage;
    case ids::kBig5: return s.m_language == TextLanguageKind::kBig5;
    case ids::kGb: return s.m_language == TextLanguageKind::kGb;
    case ids::kJapanese: return s.m_language == TextLanguageKind::kJapanese;
    default: return false;
  }
}

void CConcordanceController::OnCommand(int id) {
  CSearchSettings& s = m_app.m_settings;
  switch (id) {
    case ids::kConcordanceSearch: RequestConcordance(); break;
    case ids::kBigFileSearch: RequestBigFileSearch(); break;
    case ids::kSentenceConcordances:
      // As F5, for whole sentences; the request uses the ask up either way.
      s.m_bSentences = true;
      RequestConcordance();
      break;
    case ids::kTestNew:
      // As F5; the list it makes becomes a gap-fill test.
      s.m_bTestMode = true;
      RequestConcordance();
      break;
    case ids::kTestAnswer:
      if (auto reveal = AnswerTest(m_app, *this)) StartRun(std::move(reveal));
      break;
    case ids::kPlexonSearch:
      if (auto request = AskPlexonRequest(m_app, m_strLastByteSearch)) StartSearch(std::move(*request));
      break;
    case ids::kAssociatedWords:
      if (auto request = AskUnicodeAssociatedRequest(m_app)) StartSearch(std::move(*request));
      break;
    case ids::kSetLineWidth: SetLineWidthCommand(); break;
    case ids::kSetMargin: {
      CLeftMarginDialog dialog;
      dialog.m_nMargin = s.m_nLeftMargin;
      if (m_app.Prompt().Exec(dialog)) s.m_nLeftMargin = dialog.m_nMargin;
      break;
    }
    case ids::kAutomaticFormat: s.m_bAutoFormat = !s.m_bAutoFormat; break;
    case ids::kManualFormat: s.m_bAutoFormat = false; break;
    case ids::kFileReference: s.m_bFileReference = !s.m_bFileReference; break;
    case ids::kEnglish: s.m_language = TextLanguageKind::kCodePage; break;
    case ids::kBig5: s.m_language = TextLanguageKind::kBig5; break;
    case ids::kGb: s.m_language = TextLanguageKind::kGb; break;
    // Japanese matches byte-wise as Big5 does; its text is decoded and keyed as Shift-JIS.
    case ids::kJapanese: s.m_language = TextLanguageKind::kJapanese; break;
    case ids::kSortRight: SortCommand(true); break;
    case ids::kSortLeft: SortCommand(false); break;
    case ids::kCollocates:
    case ids::kAddLineNumbering:
    case ids::kConcordanceString: ListCommand(id); break;
    default: break;
  }
  if (m_app.MainFrame()) m_app.MainFrame()->UpdateCommandStates();
}

void CConcordanceController::SetLineWidthCommand() {
  CLineWidthDialog dialog;
  dialog.m_strWidth = QString::number(m_app.m_settings.m_nLineWidth);
  if (!m_app.Prompt().Exec(dialog) || dialog.m_strWidth.trimmed().isEmpty()) return;
  const std::string error = SetLineWidth(m_app.m_settings.m_nLineWidth, dialog.m_strWidth.trimmed().toStdString());
  if (!error.empty()) m_app.Prompt().Message(QString::fromStdString(error), "Set line width", QMessageBox::Information);
}

bool AskSearchFiles(CTessaryApp& app, bool bUnicode, std::vector<std::string>& files, bool& bAll) {
  CFileDialogRequest request;
  request.m_strTitle = "Directory File Search";
  request.m_arrFilters = {"Text Files (*.TXT)", "All Files (*.*)"};
  request.m_strInitialName = "*.txt";
  request.m_strDefaultSuffix = bUnicode ? "bmp" : "txt";
  request.m_strAcceptLabel = "Select file(s)";
  request.m_bMultiSelect = true;
  request.m_bOfferAllMatching = true;
  const CFileDialogResult answer = app.Prompt().AskFiles(request);
  bAll = answer.m_bAllMatching;
  if (answer.m_bAllMatching) {
    if (answer.m_strTypedPath.isEmpty()) {
      if (app.MainFrame()) app.MainFrame()->setWindowTitle("Tessary: No File");
      return false;
    }
    const QFileInfo typed(answer.m_strTypedPath);
    CMatchingFilesChoice choice{ToFsPath(answer.m_strTypedPath), ToFsPath(typed.suffix()),
                                ToFsPath(typed.completeBaseName()), ToFsPath(typed.fileName())};
    auto found = EnumerateMatchingFiles(choice);
    if (!found) {
      app.Prompt().Message(QString::fromStdString(found.Error()), "Directory File Search", QMessageBox::Warning);
      return false;
    }
    files = std::move(*found);
    return true;
  }
  if (!answer.m_bOk) return false;
  for (const QString& file : answer.m_arrFiles) files.push_back(ToFsPath(file));
  return true;
}

namespace {

// The open documents to search, in the order they were opened; the run takes their
// texts as it starts. List windows are never searched.
std::vector<CSourceText> OpenDocumentTexts(const CTessaryApp& app) {
  std::vector<CSourceText> sources;
  for (CTessaryDoc* doc : app.Documents()) {
    if (doc->List()) continue;
    sources.push_back({doc->Title(), ToFsPath(doc->PathName()), QString(), doc});
  }
  return sources;
}

}  // namespace

bool CConcordanceController::AskSelection(CSearchRequest& request) {
  CSearchSettings& s = m_app.m_settings;
  CConcordanceSelectionDialog selection;
  selection.m_bUnicodeForm = request.m_bUnicode;
  selection.m_strSearch = request.m_bUnicode ? FromU16(s.m_wstrSearch) : m_strLastByteSearch;
  selection.m_nMatchMode = s.m_nMatchMode;
  selection.m_bDirectory = s.m_bDirectory;
  selection.m_strDistance = QString::number(s.m_nSortDistance);
  selection.m_strSortMode = QString::fromStdString(s.m_strSortMode);
  selection.m_strLineNumbers = s.m_bLineNumbers ? "Yes" : "No";
  if (!m_app.Prompt().Exec(selection)) return false;
  s.m_nMatchMode = selection.m_nMatchMode >= 0 ? selection.m_nMatchMode : s.m_nMatchMode;
  s.m_bDirectory = selection.m_bDirectory;
  // Typed like atoi; the collocate rules take 1 to 3.
  s.m_nSortDistance = std::clamp(selection.m_strDistance.trimmed().toInt(), 1, 3);
  s.m_strSortMode = selection.m_strSortMode.toStdString();
  s.m_bLineNumbers = selection.m_strLineNumbers == "Yes";
  request.m_nMatchMode = s.m_nMatchMode;
  request.m_nSortDistance = s.m_nSortDistance;
  request.m_strSortMode = s.m_strSortMode;
  request.m_bLineNumbers = s.m_bLineNumbers;
  // A search string is one line, whatever reached the box.
  request.m_wstrTyped = ToU16(OneLineSearchString(selection.m_strSearch));
  return true;
}

void CConcordanceController::RequestConcordance() {
  CSearchSettings& s = m_app.m_settings;
  // Whatever the dialogs end with, the next search's own asks are used up.
  struct Drop {
    CSearchSettings& s;
    ~Drop() { s.ClearRequest(); }
  } drop{s};
  CSearchRequest request = CSearchRequest::FromSettings(s);

  CCodeSetDialog codeSet;
  codeSet.m_bUnicode = s.m_bUnicode;
  if (!m_app.Prompt().Exec(codeSet)) return;
  s.m_bUnicode = request.m_bUnicode = codeSet.m_bUnicode;

  if (!AskSelection(request)) return;

  if (s.m_bUnicode) {
    s.m_wstrSearch = request.m_wstrSearch = request.m_wstrTyped;
    if (request.m_wstrSearch.empty()) return;
  } else {
    auto cp = CCodePage::Open(request.m_language.TextCodePage());
    if (!cp) {
      m_app.Prompt().Message(QString::fromStdString(cp.Error()), "Concordance Selection", QMessageBox::Warning);
      return;
    }
    m_strLastByteSearch = FromU16(request.m_wstrTyped);
    s.m_strSearch = request.m_strSearch =
        TrimSearchString((*cp)->FromUnicode(request.m_wstrTyped), request.m_language.IsDoubleByte());
    if (request.m_strSearch.empty()) return;
  }
  request.m_source = s.m_bDirectory ? SearchSource::kFiles : SearchSource::kOpenDocuments;
  StartSearch(std::move(request));
}

void CConcordanceController::StartSearch(CSearchRequest request) {
  std::vector<CSourceText> texts;
  if (request.m_source == SearchSource::kFiles) {
    if (!AskSearchFiles(m_app, request.m_bUnicode, request.m_arrFiles, request.m_bAllMatching)) return;
  } else {
    texts = OpenDocumentTexts(m_app);
  }
  const bool formatAll = request.m_bAllMatching;
  StartRun(std::make_unique<CSearchRun>(m_app, *this, std::move(request), std::move(texts), formatAll));
}

void CConcordanceController::RunRequest(CSearchRequest request) {
  if (m_app.Busy()) return;
  std::vector<CSourceText> texts;
  if (request.m_source != SearchSource::kFiles) texts = OpenDocumentTexts(m_app);
  const bool formatAll = request.m_bAllMatching;
  StartRun(std::make_unique<CSearchRun>(m_app, *this, std::move(request), std::move(texts), formatAll));
}

void CConcordanceController::SortCommand(bool bRight) {
  CTessaryView* source = m_app.MainFrame() ? m_app.MainFrame()->ActiveView() : nullptr;
  if (!source || !source->GetDocument()) return;
  const SortRefusal refusal = CheckSortable(source->List());
  if (refusal != SortRefusal::kNone) {
    const std::string message = SortRefusalMessage(refusal);
    if (!message.empty()) m_app.Prompt().Message(QString::fromStdString(message), "Tessary", QMessageBox::Information);
    return;
  }
  CSearchSettings& s = m_app.m_settings;
  CCollocatePositionDialog position;
  position.m_strDistance = QString::number(s.m_nSortDistance);
  // The sort goes on whichever button closed the dialog; only OK takes the distance.
  if (m_app.Prompt().Exec(position)) {
    bool ok = false;
    const int distance = position.m_strDistance.trimmed().toInt(&ok);
    if (ok) s.m_nSortDistance = std::clamp(distance, 1, 3);
  }
  StartRun(std::make_unique<CSortRun>(m_app, *this, *source->GetDocument(), bRight, s.m_nSortDistance));
}

bool CConcordanceController::ListCommandEnabled(int id) const {
  const CTessaryView* view = m_app.MainFrame() ? m_app.MainFrame()->ActiveView() : nullptr;
  const CTessaryDoc* doc = view ? view->GetDocument() : nullptr;
  if (!doc || !doc->List() || doc->m_bBusy) return false;
  // Formatting is offered only where it has not yet run to its end.
  return id != ids::kConcordanceString || !doc->m_bFormatted;
}

void CConcordanceController::ListCommand(int id) {
  CTessaryView* view = m_app.MainFrame() ? m_app.MainFrame()->ActiveView() : nullptr;
  CTessaryDoc* doc = view ? view->GetDocument() : nullptr;
  const CConcordanceList* list = doc ? doc->List() : nullptr;
  if (id == ids::kAddLineNumbering) {
    const QString refusal = NumberingRefusal(list);
    if (!refusal.isEmpty()) return void(m_app.Prompt().Message(refusal, "Tessary", QMessageBox::Information));
    return StartRun(std::make_unique<CNumberingRun>(m_app, *this, *doc));
  }
  if (!list || doc->m_bBusy) return;
  if (id == ids::kConcordanceString) {
    if (!doc->m_bFormatted) StartRun(std::make_unique<CKeywordFormatRun>(m_app, *this, *doc));
    return;
  }
  if (const CollocateRefusal refusal = CheckCollocates(*list); refusal != CollocateRefusal::kNone)
    return void(m_app.Prompt().Message(QString::fromStdString(CollocateRefusalMessage(refusal)), "Tessary",
                                       QMessageBox::Information));
  StartRun(std::make_unique<CCollocatesRun>(m_app, *this, *doc));
}

void CConcordanceController::StartRun(std::unique_ptr<CListOperation> run) { m_runs.Start(std::move(run)); }

void CConcordanceController::StopRunning() { m_runs.Stop(); }

void CConcordanceController::AbandonRunning() { m_runs.Abandon(); }

void CConcordanceController::OnViewFocus(CTessaryView* view) {
  CMainFrame* frame = m_app.MainFrame();
  if (!frame || !view) return;
  const CConcordanceList* list = view->List();
  if (!list) {
    frame->SetPaneText(0, "Ready");
    frame->SetPaneText(1, " ");
    frame->SetPaneText(2, " ");
    return;
  }
  frame->SetPaneText(2, QString::number(view->LineCount()));
  if (list->TestMode()) {
    frame->SetPaneText(0, "Select Answer to type the key word");
    frame->SetPaneText(1, "????");
    return;
  }
  frame->SetPaneText(1, FromU16(list->m_request.m_wstrTyped));
  // A search that found nothing says so, whenever its empty window gets the focus.
  if (list->m_arrEntries.empty() && view->LineCount() == 0) {
    frame->SetPaneText(0, NoConcordancesText(FromU16(list->m_request.m_wstrTyped)));
    return;
  }
  frame->SetPaneText(0, list->m_bSorted ? "Sorted Concordances (Context = highlight + right mouse button)"
                                        : "Context = highlight + right mouse button");
}

}  // namespace tessary
