#include "app/stats_controller.h"

#include "app/command_ids.h"
#include "app/concordance_controller.h"
#include "app/concordance_dialogs.h"
#include "app/main_frame.h"
#include "app/stats_dialogs.h"
#include "app/stats_runs.h"
#include "app/tessary_app.h"
#include "editor/tessary_doc.h"
#include "editor/tessary_view.h"
#include "engine/codepage.h"
#include "engine/match_mode.h"
#include "engine/search_request.h"
#include "ui/prompt.h"
#include "ui/qt_text.h"

namespace tessary {

namespace {

// The byte profile string is read into a 256-byte buffer.
constexpr std::size_t kMaxProfileBytes = 255;

// The open documents, in the order they were opened; list and test windows are never read.
std::vector<CTessaryDoc*> TextDocuments(const CTessaryApp& app) {
  std::vector<CTessaryDoc*> docs;
  for (CTessaryDoc* doc : app.Documents())
    if (!doc->List()) docs.push_back(doc);
  return docs;
}

// The code page byte texts are read in, as a concordance search reads them.
int ByteCodePage(const CSearchSettings& s) { return CSearchRequest::FromSettings(s).m_language.TextCodePage(); }

}  // namespace

CStatsController::CStatsController(CTessaryApp& app) : m_app(app), m_runs(app) {
  connect(&m_runs, &COperationSlot::Ended, this, &CStatsController::RunEnded);
}

CStatsController::~CStatsController() { AbandonRunning(); }

bool CStatsController::Handles(int id) const {
  switch (id) {
    case ids::kProfileOpenFiles:
    case ids::kProfileDirectory:
    case ids::kUniqueOpenFiles:
    case ids::kUniqueDirectory:
      return true;
    default:
      return false;
  }
}

bool CStatsController::IsEnabled(int id) const { return !m_app.Busy() && Handles(id); }

void CStatsController::OnCommand(int id) {
  if (!IsEnabled(id)) return;
  switch (id) {
    case ids::kProfileOpenFiles: ProfileOpenDocuments(); break;
    case ids::kProfileDirectory: ProfileFiles(); break;
    case ids::kUniqueOpenFiles: UniqueWords(false); break;
    case ids::kUniqueDirectory: UniqueWords(true); break;
    default: break;
  }
  if (m_app.MainFrame()) m_app.MainFrame()->UpdateCommandStates();
}

void CStatsController::ProfileOpenDocuments() {
  CSearchSettings& s = m_app.m_settings;
  // The profile counts whole words; the next search dialog starts from that mode.
  s.m_nMatchMode = kMatchWord;
  CCodeSetDialog codeSet;
  codeSet.m_bUnicode = s.m_bUnicode;
  if (!m_app.Prompt().Exec(codeSet)) return;
  s.m_bUnicode = codeSet.m_bUnicode;

  CProfileJob job;
  job.m_bStatusBar = true;
  if (s.m_bUnicode) {
    CUnicodeStringDialog dialog;
    dialog.m_strSearch = FromU16(s.m_wstrSearch);
    dialog.m_bNoSpaces = m_bNoSpaces;
    if (!m_app.Prompt().Exec(dialog)) return;
    m_bNoSpaces = dialog.m_bNoSpaces;
    const QString typed = dialog.m_strSearch.split(QLatin1Char('\n')).front();
    if (typed.isEmpty()) return;
    s.m_wstrSearch = ToU16(typed);
    if (m_bNoSpaces) s.m_nMatchMode = kMatchAny;
    job.m_bWide = true;
    job.m_bCharacters = m_bNoSpaces;
    job.m_wstrKey = s.m_wstrSearch;
    job.m_nCodePage = s.m_nAnsiCodePage;
    job.m_strShown = typed;
  } else {
    const int codePage = ByteCodePage(s);
    std::string key = AskProfileBytes(codePage);
    if (key.empty()) return;
    // The next concordance request starts with the profiled string.
    s.m_strSearch = key;
    m_app.Concordance().SetLastByteSearch(m_strLastProfile);
    job.m_strKey = std::move(key);
    job.m_nCodePage = codePage;
    job.m_strShown = m_strLastProfile;
  }
  CStatsSources sources;
  sources.m_arrDocs = TextDocuments(m_app);
  StartRun(std::make_unique<CProfileRun>(m_app, *this, std::move(job), std::move(sources)));
}

std::string CStatsController::AskProfileBytes(int codePage) {
  CProfileStringDialog dialog;
  dialog.m_strSearch = m_strLastProfile;
  if (!m_app.Prompt().Exec(dialog)) return {};
  auto cp = CCodePage::Open(codePage);
  if (!cp) {
    m_app.Prompt().Message(QString::fromStdString(cp.Error()), "Enter search string", QMessageBox::Warning);
    return {};
  }
  std::string key = (*cp)->FromUnicode(ToU16(dialog.m_strSearch.split(QLatin1Char('\n')).front()));
  if (key.size() > kMaxProfileBytes) key.resize(kMaxProfileBytes);
  if (!key.empty()) m_strLastProfile = FromU16((*cp)->ToUnicode(key));
  return key;
}

void CStatsController::ProfileFiles() {
  CSearchSettings& s = m_app.m_settings;
  const int codePage = ByteCodePage(s);
  std::string key = AskProfileBytes(codePage);
  if (key.empty()) return;
  CStatsSources sources;
  bool all = false;
  if (!AskSearchFiles(m_app, false, sources.m_arrFiles, all)) return;
  CProfileJob job;
  // Files are counted at every occurrence, also inside longer words.
  job.m_bWholeWords = false;
  job.m_strKey = std::move(key);
  job.m_nCodePage = codePage;
  job.m_strShown = m_strLastProfile;
  StartRun(std::make_unique<CProfileRun>(m_app, *this, std::move(job), std::move(sources)));
}

void CStatsController::UniqueWords(bool bFiles) {
  const CTessaryView* view = m_app.MainFrame() ? m_app.MainFrame()->ActiveView() : nullptr;
  if (view && view->List() && view->List()->Unicode()) {
    m_app.Prompt().Message("This function is not yet implemented for unicode.", "Tessary", QMessageBox::Information);
    return;
  }
  const CSearchSettings& s = m_app.m_settings;
  CUniqueWordOptions options;
  options.m_nCodePage = s.m_nAnsiCodePage;
  options.m_bDoubleByte = s.IsDoubleByte();
  options.m_bBig5 = s.m_language != TextLanguageKind::kGb;
  CStatsSources sources;
  if (bFiles) {
    bool all = false;
    if (!AskSearchFiles(m_app, false, sources.m_arrFiles, all)) return;
  } else {
    sources.m_arrDocs = TextDocuments(m_app);
  }
  StartRun(std::make_unique<CUniqueWordsRun>(m_app, *this, options, std::move(sources)));
}

void CStatsController::StartRun(std::unique_ptr<CListOperation> run) { m_runs.Start(std::move(run)); }

void CStatsController::StopRunning() { m_runs.Stop(); }

void CStatsController::AbandonRunning() { m_runs.Abandon(); }

}  // namespace tessary
