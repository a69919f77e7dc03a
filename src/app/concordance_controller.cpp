#include "app/concordance_controller.h"

#include <QFileInfo>
#include <QPushButton>
#include <QTextBlock>
#include <QTextDocument>

#include "app/command_ids.h"
#include "app/concordance_dialogs.h"
#include "app/list_window.h"
#include "app/main_frame.h"
#include "app/progress_dialog.h"
#include "ui/qt_text.h"
#include "app/tessary_app.h"
#include "editor/tessary_doc.h"
#include "editor/tessary_view.h"
#include "engine/concordance_search.h"
#include "engine/file_enum.h"
#include "engine/number_prefix.h"

namespace tessary {

namespace {

const QStringList kSearchFields = {"This file:", "Search string", "CONCORDANCES =", "Size:"};

// Lines above this are left unformatted after a search of open documents or picked
// files: formatting a line at a time would keep the user waiting.
constexpr std::int64_t kAutoFormatLimit = 9999;

QString SearchDisplay(const CTessaryView& view) {
  return QString::fromStdString(view.m_list.m_strSearch);
}

}  // namespace

// One running search: the request copied into the view, the progress dialog, the
// core search, and the filling of the window.
class CSearchRun {
 public:
  CSearchRun(CTessaryApp& app, CConcordanceController& controller, CTessaryView& view)
      : m_app(app), m_controller(controller), m_view(view), m_s(app.m_settings) {}

  void Run();

 private:
  template <class Search>
  void Walk(Search& search);
  template <class Search>
  bool CollectFiles(Search& search);
  template <class Search>
  void Show(Search& search);
  void CopyRequest();
  std::string TextBytes(const QString& text) const;

  CTessaryApp& m_app;
  CConcordanceController& m_controller;
  CTessaryView& m_view;
  CSearchSettings m_s;
  std::unique_ptr<CProgressDialog> m_pProgress;
  std::shared_ptr<const CCodePage> m_pCp;
  bool m_bUnlimitedFormat = false;  // "all matching files": formatted whatever its size
};

void CSearchRun::CopyRequest() {
  CListWindowState& list = m_view.m_list;
  list.m_nWidth = m_s.m_nLineWidth;
  list.m_bTestMode = m_s.m_bTestMode;
  list.m_bFileReference = m_s.m_bFileReference;
  list.m_bDoubleByte = m_s.m_bDoubleByte;
  list.m_bBig5 = m_s.m_bBig5;
  list.m_bLineNumbers = m_s.m_bLineNumbers;
  list.m_bSentences = m_s.m_bSentences;
  list.m_bSorted = SortsLines(m_s);
  list.m_bSortRight = list.m_bSorted && m_s.m_strSortMode == kSortRight;
  list.m_bSortLeft = list.m_bSorted && m_s.m_strSortMode == kSortLeft;
  m_view.m_bStop = false;
  m_view.m_bUnicodeText = m_s.m_bUnicode;
  m_view.m_wstrSearch = m_s.m_wstrSearch;
  if (m_s.m_bUnicode) {
    // The 16-bit string is shown in the chosen code page.
    auto cp = CCodePage::Open(ResolveCodePage(m_s.m_nCodePage, m_s.m_nAnsiCodePage));
    list.m_strSearch = cp ? (*cp)->FromUnicode(m_s.m_wstrSearch) : std::string();
  } else {
    list.m_strSearch = m_s.m_strSearch;
  }
}

std::string CSearchRun::TextBytes(const QString& text) const { return m_pCp->FromUnicode(ToU16(text)); }

void CSearchRun::Run() {
  CopyRequest();
  CMainFrame* frame = m_app.MainFrame();
  const QString shown = m_s.m_bTestMode ? QString("????") : (m_s.m_bUnicode ? FromU16(m_s.m_wstrSearch)
                                                                             : QString::fromStdString(m_s.m_strSearch));
  if (frame && !m_s.m_bTestMode) frame->SetPaneText(1, shown);
  if (frame) frame->SetPaneText(0, m_s.m_bDirectory ? "Multi-File Search" : "Concordance Search");

  m_pProgress = std::make_unique<CProgressDialog>(frame, "Concordance Search", kSearchFields,
                                                  "Press the SPACEBAR to stop");
  m_pProgress->SetField("Search string", shown);
  m_pProgress->SetField("CONCORDANCES =", "NIL (reading file)");
  QObject::connect(m_pProgress.get(), &CProgressDialog::StopRequested, &m_view, [this] { m_view.m_bStop = true; });

  CSearchObserver observer;
  observer.m_fnSource = [this](const std::string& title, std::uint64_t length) {
    m_pProgress->SetField("This file:", FromFsPath(title));
    m_pProgress->SetField("Size:", QString::number(length));
  };
  observer.m_fnProgress = [this](std::uint64_t done, std::uint64_t total) {
    m_pProgress->SetPercent(total ? static_cast<int>(done * 100 / total) : 100);
    return m_pProgress->Pump() && !m_view.m_bStop;
  };

  auto textCp = CCodePage::Open(TextCodePage(m_s));
  if (!textCp) {
    m_app.Prompt().Message(QString::fromStdString(textCp.Error()), "Tessary", QMessageBox::Warning);
    return;
  }
  m_pCp = *textCp;
  if (m_s.m_bUnicode) {
    auto search = CWideConcordanceSearch::Create(m_s, observer);
    if (!search) return void(m_app.Prompt().Message(QString::fromStdString(search.Error()), "Tessary", QMessageBox::Warning));
    Walk(**search);
  } else {
    auto search = CConcordanceSearch::Create(m_s, observer);
    if (!search) return void(m_app.Prompt().Message(QString::fromStdString(search.Error()), "Tessary", QMessageBox::Warning));
    Walk(**search);
  }
}

template <class Search>
void CSearchRun::Walk(Search& search) {
  const bool fromFiles = m_s.m_bDirectory;
  if (fromFiles) {
    if (!CollectFiles(search)) {
      Show(search);
      return;
    }
  } else {
    m_pProgress->show();
    if (m_controller.m_fnProgressShown) m_controller.m_fnProgressShown(m_pProgress.get());
    CTessaryDoc* own = m_view.GetDocument();
    for (CTessaryDoc* doc : m_app.Documents()) {
      if (doc == own) break;  // documents made after this one are not searched
      CTessaryView* first = doc->FirstView();
      if (first && (first->m_list.m_bConcordance || first->m_list.m_bTestMode)) continue;
      m_pProgress->SetField("This file:", doc->Title());
      const QString text = doc->PlainText();
      const std::string path = ToFsPath(doc->PathName());
      if constexpr (std::is_same_v<Search, CWideConcordanceSearch>)
        search.SearchText(ToU16(text), path);
      else
        search.SearchText(TextBytes(text), path);
      m_pProgress->SetField("CONCORDANCES =", QStringLiteral(" %1").arg(search.Matches()));
      if (m_view.m_bStop || search.Stopped()) break;
    }
  }
  Show(search);
}

template <class Search>
bool CSearchRun::CollectFiles(Search& search) {
  CFileDialogRequest request;
  request.m_strTitle = "Directory File Search";
  request.m_arrFilters = {"Text Files (*.TXT)", "All Files (*.*)"};
  request.m_strInitialName = "*.txt";
  request.m_strDefaultSuffix = m_s.m_bUnicode ? "bmp" : "txt";
  request.m_strAcceptLabel = "Select file(s)";
  request.m_bMultiSelect = true;
  request.m_bOfferAllMatching = true;
  const CFileDialogResult answer = m_app.Prompt().AskFiles(request);
  m_view.m_bFromFiles = true;
  QStringList files = answer.m_arrFiles;
  bool unlimited = false;
  if (answer.m_bAllMatching) {
    if (answer.m_strTypedPath.isEmpty()) {
      if (m_app.MainFrame()) m_app.MainFrame()->setWindowTitle("Tessary: No File");
      return false;
    }
    const QFileInfo typed(answer.m_strTypedPath);
    CMatchingFilesChoice choice{ToFsPath(answer.m_strTypedPath), ToFsPath(typed.suffix()),
                                ToFsPath(typed.completeBaseName()), ToFsPath(typed.fileName())};
    auto found = EnumerateMatchingFiles(choice);
    if (!found) {
      m_app.Prompt().Message(QString::fromStdString(found.Error()), "Directory File Search", QMessageBox::Warning);
      return false;
    }
    files.clear();
    for (const auto& path : *found) files.push_back(FromFsPath(path));
    unlimited = true;
  } else if (!answer.m_bOk) {
    return false;
  }
  m_bUnlimitedFormat = unlimited;
  m_pProgress->show();
  if (m_controller.m_fnProgressShown) m_controller.m_fnProgressShown(m_pProgress.get());
  for (const QString& file : files) {
    search.SearchFile(ToFsPath(file));
    m_pProgress->SetField("CONCORDANCES =", QStringLiteral(" %1").arg(search.Matches()));
    if (m_view.m_bStop || search.Stopped()) break;
  }
  if (!search.SkippedFiles().empty()) {
    QString message = "These files could not be read and were skipped:";
    for (const auto& skipped : search.SkippedFiles()) message += "\n" + QString::fromStdString(skipped);
    m_app.Prompt().Message(message, "Directory File Search", QMessageBox::Warning);
  }
  return true;
}

template <class Search>
void CSearchRun::Show(Search& search) {
  m_pProgress->hide();
  m_view.m_bStop = false;
  auto list = search.Finish();
  const bool unicode = std::is_same_v<Search, CWideConcordanceSearch>;
  const ListSource source = m_s.m_bDirectory ? ListSource::kFiles
                            : unicode       ? ListSource::kOpenDocumentsUnicode
                                            : ListSource::kOpenDocuments;
  const bool format = m_s.m_bAutoFormat && (m_bUnlimitedFormat || list.Lines() <= kAutoFormatLimit);
  const auto ranges = format ? search.Ranges(list) : std::vector<CFormatRange>();
  CRenderedText rendered;
  if constexpr (std::is_same_v<Search, CWideConcordanceSearch>) {
    rendered = RenderUtf16(list, ranges);
    m_view.m_arrWideEntries = std::move(list.m_arrEntries);
  } else {
    rendered = RenderUtf16(list, search.TextCodePage(), ranges);
    m_view.m_list.m_arrEntries = std::move(list.m_arrEntries);
  }
  m_view.m_list.m_nMatchMode = search.Prepared().m_nMode;
  m_view.m_nKeyLength = static_cast<std::int64_t>(search.Prepared().m_strKey.size());
  // Each form of the text is let go as soon as the next exists: a million lines are
  // held in three forms on the way into the window.
  list = {};
  QString text = FromU16(rendered.m_wstrText);
  std::u16string().swap(rendered.m_wstrText);
  FillListWindow(m_view, text, ListWindowFont(source));
  text = QString();

  CMainFrame* frame = m_app.MainFrame();
  if (frame) frame->SetPaneText(2, QString::number(m_view.LineCount()));
  if (format) {
    if (frame) frame->SetPaneText(0, "Formatting concordances");
    m_controller.FormatKeywords(m_view, rendered.m_arrRanges);
  }
  m_view.m_list.m_bConcordance = true;
  m_app.m_settings.m_bTestMode = false;
  m_app.m_settings.m_bSentences = false;
  m_controller.OnViewFocus(&m_view);
}

CConcordanceController::CConcordanceController(CTessaryApp& app) : m_app(app) {}
CConcordanceController::~CConcordanceController() = default;

bool CConcordanceController::Handles(int id) const {
  switch (id) {
    case ids::kConcordanceSearch:
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
      return true;
    default:
      return false;
  }
}

bool CConcordanceController::IsEnabled(int id) const {
  if (m_app.Busy()) return false;
  if (id == ids::kSortRight || id == ids::kSortLeft) {
    const CTessaryView* view = m_app.MainFrame() ? m_app.MainFrame()->ActiveView() : nullptr;
    return view && view->m_list.m_bConcordance;
  }
  return Handles(id);
}

bool CConcordanceController::IsChecked(int id) const {
  const CSearchSettings& s = m_app.m_settings;
  switch (id) {
    case ids::kAutomaticFormat: return s.m_bAutoFormat;
    case ids::kFileReference: return s.m_bFileReference;
    case ids::kSetMargin: return s.m_nLeftMargin > 0;
    case ids::kEnglish: return !s.m_bDoubleByte;
    case ids::kBig5: return s.m_bDoubleByte && s.m_bBig5;
    case ids::kGb: return s.m_bDoubleByte && !s.m_bBig5;
    default: return false;
  }
}

void CConcordanceController::OnCommand(int id) {
  CSearchSettings& s = m_app.m_settings;
  switch (id) {
    case ids::kConcordanceSearch: RequestConcordance(); break;
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
    case ids::kEnglish: s.m_bDoubleByte = false; s.m_bJapanese = false; break;
    case ids::kBig5: s.m_bDoubleByte = s.m_bBig5 = true; s.m_bJapanese = false; break;
    case ids::kGb: s.m_bDoubleByte = true; s.m_bBig5 = false; s.m_bJapanese = false; break;
    // Japanese acts as Big5 for matching; its own flag picks the code set of the text.
    case ids::kJapanese: s.m_bDoubleByte = s.m_bBig5 = s.m_bJapanese = true; break;
    case ids::kSortRight: SortCommand(true); break;
    case ids::kSortLeft: SortCommand(false); break;
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

void CConcordanceController::RequestConcordance() {
  CSearchSettings& s = m_app.m_settings;
  s.m_bBigFileSearch = false;
  s.m_bSearchPending = true;
  CCodeSetDialog codeSet;
  codeSet.m_bUnicode = s.m_bUnicode;
  if (!m_app.Prompt().Exec(codeSet)) return s.ClearRequest();
  s.m_bUnicode = codeSet.m_bUnicode;

  CConcordanceSelectionDialog selection;
  selection.m_bUnicodeForm = s.m_bUnicode;
  selection.m_strSearch = s.m_bUnicode ? FromU16(s.m_wstrSearch) : m_strLastByteSearch;
  selection.m_nMatchMode = s.m_nMatchMode;
  selection.m_bDirectory = s.m_bDirectory;
  selection.m_strDistance = QString::number(s.m_nSortDistance);
  selection.m_strSortMode = QString::fromStdString(s.m_strSortMode);
  selection.m_strLineNumbers = s.m_bLineNumbers ? "Yes" : "No";
  if (!m_app.Prompt().Exec(selection)) return s.ClearRequest();
  s.m_nMatchMode = selection.m_nMatchMode >= 0 ? selection.m_nMatchMode : s.m_nMatchMode;
  s.m_bDirectory = selection.m_bDirectory;
  // Typed like atoi; the collocate rules take 1 to 3.
  s.m_nSortDistance = std::clamp(selection.m_strDistance.trimmed().toInt(), 1, 3);
  s.m_strSortMode = selection.m_strSortMode.toStdString();
  s.m_bLineNumbers = selection.m_strLineNumbers == "Yes";

  if (s.m_bUnicode) {
    s.m_wstrSearch = ToU16(selection.m_strSearch);
    if (s.m_wstrSearch.empty()) return s.ClearRequest();
  } else {
    auto cp = CCodePage::Open(TextCodePage(s));
    if (!cp) {
      m_app.Prompt().Message(QString::fromStdString(cp.Error()), "Concordance Selection", QMessageBox::Warning);
      return s.ClearRequest();
    }
    m_strLastByteSearch = selection.m_strSearch;
    s.m_strSearch = TrimSearchString((*cp)->FromUnicode(ToU16(selection.m_strSearch)), s.m_bDoubleByte);
    if (s.m_strSearch.empty()) return s.ClearRequest();
  }
  m_app.NewDocument();
}

bool CConcordanceController::WantsListWindow() const {
  return m_app.m_settings.m_bSearchPending || m_app.m_bSortPending;
}

void CConcordanceController::DispatchNewDocument(CTessaryView* view) {
  if (!view) return;
  CSearchSettings& s = m_app.m_settings;
  if (m_app.m_bSortPending) {
    m_app.m_bSortPending = false;
    FillSorted(*view);
    return;
  }
  if (!s.m_bSearchPending || s.m_bBigFileSearch) return;
  s.m_bSearchPending = false;
  m_app.BeginBusy();
  view->m_bBusy = true;
  CSearchRun run(m_app, *this, *view);
  run.Run();
  view->m_bBusy = false;
  m_app.EndBusy();
}

void CConcordanceController::OnViewFocus(CTessaryView* view) {
  CMainFrame* frame = m_app.MainFrame();
  if (!frame || !view) return;
  if (!view->m_list.m_bConcordance) {
    frame->SetPaneText(0, "Ready");
    frame->SetPaneText(1, " ");
    frame->SetPaneText(2, " ");
    return;
  }
  frame->SetPaneText(2, QString::number(view->LineCount()));
  if (view->m_list.m_bTestMode) {
    frame->SetPaneText(0, "Select Answer to type the key word");
    frame->SetPaneText(1, "????");
    return;
  }
  frame->SetPaneText(0, view->m_list.m_bSorted ? "Sorted Concordances (Context = highlight + right mouse button)"
                                               : "Context = highlight + right mouse button");
  frame->SetPaneText(1, view->m_bUnicodeText ? FromU16(view->m_wstrSearch) : SearchDisplay(*view));
}

bool CConcordanceController::FormatKeywords(CTessaryView& view, const std::vector<CRenderedRange>& ranges) {
  view.m_bStop = false;
  CProgressDialog progress(m_app.MainFrame(), "Formatting Concordance Strings", {"File", "Search string"},
                           "Spacebar = Cancel");
  progress.SetField("File", view.GetDocument()->Title());
  progress.SetField("Search string", SearchDisplay(view));
  QObject::connect(&progress, &CProgressDialog::StopRequested, &view, [&view] { view.m_bStop = true; });
  progress.show();
  if (m_fnProgressShown) m_fnProgressShown(&progress);
  const bool complete = ApplyRanges(view, ranges, [&](std::size_t done, std::size_t total) {
    progress.SetPercent(static_cast<int>(done * 100 / std::max<std::size_t>(1, total)));
    return progress.Pump() && !view.m_bStop;
  });
  view.m_bFormatted = complete;
  view.m_bStop = false;
  QTextCursor top(view.Document());
  view.SetTextCursor(top);
  return complete;
}

namespace {

// The UTF-16 column of a byte column of a line: the same in single-byte code pages,
// counted through the code page in double-byte ones.
std::int64_t U16Column(const CCodePage& cp, std::string_view body, std::int64_t column) {
  if (!cp.IsDoubleByte()) return column;
  column = std::clamp<std::int64_t>(column, 0, static_cast<std::int64_t>(body.size()));
  return static_cast<std::int64_t>(cp.ToUnicode(body.substr(0, static_cast<std::size_t>(column))).size());
}

CRenderedRange LineRange(std::int64_t lineStart, std::int64_t from, std::int64_t to, const CFormatRange& format) {
  return {lineStart + from, std::max<std::int64_t>(0, to - from), format};
}

}  // namespace

struct CConcordanceController::CPendingSort {
  CSortOutcome m_outcome;
  QStringList m_arrLines;  // the source window's lines, as it shows them
  std::shared_ptr<const CCodePage> m_pCp;
  QFont m_font;
  std::u16string m_wstrSearch;
  bool m_bUnicodeText = false;
  std::int64_t m_nKeyLength = 0;
};

void CConcordanceController::SortCommand(bool bRight) {
  CTessaryView* source = m_app.MainFrame() ? m_app.MainFrame()->ActiveView() : nullptr;
  if (!source) return;
  const SortRefusal refusal = CheckSortable(source->m_list);
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

  const CListWindowState& list = source->m_list;
  const int codePage = list.m_bDoubleByte ? (s.m_bJapanese ? 932 : list.m_bBig5 ? 950 : 936) : s.m_nAnsiCodePage;
  auto cp = CCodePage::Open(codePage);
  auto collator = CSortCollator::ForUserLocale();
  if (!cp || !collator) {
    m_app.Prompt().Message(QString::fromStdString(!cp ? cp.Error() : collator.Error()), "Tessary", QMessageBox::Warning);
    return;
  }
  auto pending = std::make_unique<CPendingSort>();
  const QString text = source->GetDocument()->PlainText();
  pending->m_arrLines = text.split('\n');
  if (!pending->m_arrLines.isEmpty() && pending->m_arrLines.back().isEmpty()) pending->m_arrLines.pop_back();
  pending->m_pCp = *cp;
  pending->m_font = source->Document()->defaultFont();
  pending->m_wstrSearch = source->m_wstrSearch;
  pending->m_bUnicodeText = source->m_bUnicodeText;
  pending->m_nKeyLength = source->m_nKeyLength;

  m_app.BeginBusy();
  source->m_bBusy = source->m_bSortSource = true;
  source->m_bStop = false;
  CProgressDialog progress(m_app.MainFrame(), "Concordance Sort", {"File", "Search String", "Count"}, "Stop Sort");
  progress.SetField("File", source->GetDocument()->Title());
  progress.SetField("Search String", SearchDisplay(*source));
  QObject::connect(&progress, &CProgressDialog::StopRequested, source, [source] { source->m_bStop = true; });
  progress.show();
  if (m_fnProgressShown) m_fnProgressShown(&progress);
  auto step = [&](std::uint64_t done, std::uint64_t total) {
    progress.SetPercent(static_cast<int>(done * 100 / std::max<std::uint64_t>(1, total)));
    progress.SetField("Count", QString::number(done));
    return progress.Pump() && !source->m_bStop;
  };
  const std::string bytes = (*cp)->FromUnicode(ToU16(text));
  pending->m_outcome = SortListWindow(list, bytes, bRight, s.m_nSortDistance, **collator, **cp, step, step);
  progress.hide();
  source->m_bStop = false;
  if (!pending->m_outcome.m_bGatherStopped) {
    m_pPendingSort = std::move(pending);
    s.m_bSearchPending = false;
    m_app.m_bSortPending = true;
    m_app.m_bPendingSortRight = bRight;
    m_app.NewDocument();
    m_pPendingSort.reset();
  }
  source->m_bBusy = source->m_bSortSource = false;
  m_app.EndBusy();
}

void CConcordanceController::FillSorted(CTessaryView& view) {
  if (!m_pPendingSort) return;
  CPendingSort& pending = *m_pPendingSort;
  CSortedList& sorted = pending.m_outcome.m_list;
  const auto& entries = sorted.m_state.m_arrEntries;
  QString text;
  QStringList lines;
  for (const auto& entry : entries) {
    const auto index = static_cast<qsizetype>(entry.m_nLine);
    lines.push_back(index < pending.m_arrLines.size() ? pending.m_arrLines[index] : QString());
    text += lines.back();
    text += '\n';
  }
  view.m_list = sorted.m_state;
  view.m_list.m_bSorted = !sorted.m_bStopped;
  view.m_wstrSearch = pending.m_wstrSearch;
  view.m_bUnicodeText = pending.m_bUnicodeText;
  view.m_nKeyLength = pending.m_nKeyLength;
  FillListWindow(view, text, pending.m_font);

  CMainFrame* frame = m_app.MainFrame();
  if (m_app.m_settings.m_bAutoFormat && !sorted.m_bStopped && sorted.m_nLines < 10000) {
    if (frame) frame->SetPaneText(0, "Formatting concordances");
    std::vector<CRenderedRange> ranges;
    const CCodePage& cp = *pending.m_pCp;
    CFormatRange keyword;
    keyword.m_crColor = 0xFF00FF;
    keyword.m_bBold = true;
    CFormatRange collocate;
    collocate.m_kind = CFormatRange::kCollocate;
    collocate.m_bUnderline = true;
    std::int64_t lineStart = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
      const QString& line = lines[i];
      const std::u16string line16 = ToU16(line);
      const std::int64_t prefix = view.m_list.m_bLineNumbers
                                      ? static_cast<std::int64_t>(NumberPrefixLength(std::u16string_view(line16)))
                                      : 0;
      const std::string body = cp.IsDoubleByte() ? cp.FromUnicode(std::u16string_view(line16).substr(prefix)) : std::string();
      const std::int64_t width = view.m_list.m_nWidth;
      ranges.push_back(LineRange(lineStart, prefix + U16Column(cp, body, width),
                                 prefix + U16Column(cp, body, width + view.m_nKeyLength), keyword));
      const auto& entry = entries[static_cast<std::size_t>(i)];
      if (entry.m_nKeyLength > 0)
        ranges.push_back(LineRange(lineStart, prefix + U16Column(cp, body, entry.m_nKeyOffset),
                                   prefix + U16Column(cp, body, entry.m_nKeyOffset + entry.m_nKeyLength), collocate));
      lineStart += line.size() + 1;
    }
    FormatKeywords(view, ranges);
  }
  view.m_list.m_bConcordance = true;
  OnViewFocus(&view);
}

}  // namespace tessary
