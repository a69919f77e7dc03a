#include "app/export_controller.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QVariant>
#include <filesystem>
#include <optional>

#include "app/background_task.h"
#include "app/browser_controller.h"
#include "app/command_ids.h"
#include "app/database_view.h"
#include "app/export_dialogs.h"
#include "app/main_frame.h"
#include "app/progress_dialog.h"
#include "app/tessary_app.h"
#include "app/text_snapshot.h"
#include "app/unique_words_db_view.h"
#include "editor/tessary_doc.h"
#include "editor/tessary_view.h"
#include "engine/codepage.h"
#include "engine/concordance_list.h"
#include "export/concordance_db.h"
#include "export/html_export.h"
#include "stats/word_list_report.h"
#include "ui/prompt.h"
#include "ui/qt_text.h"

namespace tessary {

namespace {

constexpr const char* kFileError = "File error";
constexpr const char* kCommandFailed = "Command failed.";
// The keyword typed for a plain window stays with its document, for the next time.
constexpr const char* kKeywordProperty = "tessaryDatabaseKeyword";
const QStringList kDatabaseFilters = {"Database Files (*.db *.sqlite)", "All Files (*)"};

// The fixed text first, then why, so the user can act on it.
QString WithReason(const char* text, const std::string& reason) {
  return reason.empty() ? QString(text) : QStringLiteral("%1\n\n%2").arg(text, QString::fromStdString(reason));
}

// The keyword of a list as UTF-8, as the database stores it.
std::string ListKeyword(const CConcordanceList& list) {
  if (list.Unicode()) return Utf16ToUtf8(list.m_request.m_wstrSearch);
  auto cp = CCodePage::Open(list.Language().TextCodePage());
  return cp ? (*cp)->ToUtf8(list.m_request.m_strSearch) : list.m_request.m_strSearch;
}

CHtmlListWindow HtmlWindow(const CConcordanceList& list) {
  CHtmlListWindow w;
  w.m_bConcordance = true;
  w.m_nWidth = list.Width();
  w.m_nKeyLength = list.m_nKeyLength;
  w.m_bLineNumbers = list.LineNumbers();
  w.m_bUnicodeText = list.Unicode();
  w.m_nCodePage = list.Language().TextCodePage();
  return w;
}

}  // namespace

CExportController::CExportController(CTessaryApp& app) : m_app(app) {}

CExportController::~CExportController() { AbandonRunning(); }

bool CExportController::Handles(int id) const {
  switch (id) {
    case ids::kSaveAsHtml:
    case ids::kMatchWordLists:
    case ids::kWordListId:
    case ids::kDatabaseNew:
    case ids::kDatabaseAppend:
    case ids::kDatabaseView:
    case ids::kUniqueWordsView:
      return true;
    default:
      return false;
  }
}

bool CExportController::IsEnabled(int id) const {
  if (id == ids::kDatabaseView || id == ids::kUniqueWordsView) return true;  // reads a file, no window
  if (m_app.Busy() || Running()) return false;
  const CTessaryView* view = m_app.MainFrame() ? m_app.MainFrame()->ActiveView() : nullptr;
  // The refusal of a window that is no list is the command's own message.
  return view != nullptr && view->GetDocument() != nullptr && !view->GetDocument()->m_bBusy;
}

void CExportController::OnCommand(int id) {
  switch (id) {
    case ids::kSaveAsHtml: SaveAsHtml(); break;
    case ids::kMatchWordLists:
    case ids::kWordListId: WordListReport(); break;
    case ids::kDatabaseNew: SaveToDatabase(false); break;
    case ids::kDatabaseAppend: SaveToDatabase(true); break;
    case ids::kDatabaseView: OpenDatabaseView(); break;
    case ids::kUniqueWordsView: OpenUniqueWordsView(); break;
    default: break;
  }
}

void CExportController::OpenPage(const QString& path) {
  const QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
  if (m_fnOpenUrl) {
    m_fnOpenUrl(url);
    return;
  }
  // The program's browser window; without a web engine, the desktop's browser, started
  // without a shell.
  if (m_app.Browser().OpenPage(url)) return;
  if (!QDesktopServices::openUrl(url) && m_app.MainFrame())
    m_app.MainFrame()->SetPaneText(0, QStringLiteral("No web browser could be started for %1.").arg(path));
}

void CExportController::Run(CTessaryDoc* doc, std::function<void(const QString& text)> work,
                            std::function<void()> done) {
  m_app.BeginBusy();
  m_pTask = std::make_unique<CBackgroundTask>();
  m_pSnapshot = std::make_unique<CTextSnapshot>(std::vector<CTessaryDoc*>{doc});
  connect(m_pSnapshot.get(), &CTextSnapshot::Done, this, [this, work = std::move(work), done = std::move(done)] {
    auto text = std::make_shared<QString>(std::move(m_pSnapshot->Texts()[0]));
    // The windows are given back before the worker starts: it reads the copy.
    m_pSnapshot.release()->deleteLater();
    if (m_pProgress && m_pProgress->Stopped()) return EndRun();
    connect(m_pTask.get(), &CBackgroundTask::Finished, this, [this, done] {
      const bool bStopped = m_pTask->StopRequested();
      // Hidden before the result is told, so its messages stand alone.
      if (m_pProgress) m_pProgress->hide();
      if (!bStopped) done();
      EndRun();
    });
    m_pTask->Start([work, text] { work(*text); });
  });
  m_pSnapshot->Start();
}

void CExportController::EndRun() {
  if (m_pProgress) m_pProgress->deleteLater();
  m_pProgress = nullptr;
  if (m_pTask) m_pTask.release()->deleteLater();
  m_app.EndBusy();
  if (m_app.MainFrame()) m_app.MainFrame()->UpdateCommandStates();
  emit RunEnded();
}

void CExportController::AbandonRunning() {
  if (!Running()) return;
  m_pSnapshot.reset();
  if (m_pTask) {
    m_pTask->RequestStop();
    m_pTask->Wait();
    m_pTask.reset();
  }
  if (m_pProgress) m_pProgress->deleteLater();
  m_app.EndBusy();
}

// ---- Save as HTML ----

void CExportController::SaveAsHtml() {
  CMainFrame* frame = m_app.MainFrame();
  CTessaryView* view = frame ? frame->ActiveView() : nullptr;
  CTessaryDoc* doc = view ? view->GetDocument() : nullptr;
  if (!doc) return;
  const CConcordanceList* list = doc->List();
  if (!list) {
    m_app.Prompt().Message(kNotConcordanceWindow, "Save as HTML", QMessageBox::Information);
    return;
  }
  CFileDialogRequest request;
  request.m_strTitle = "Create HTML document";
  request.m_arrFilters = {"HTML Files (*.HTM)"};
  request.m_strInitialName = "*.htm";
  request.m_strDefaultSuffix = "htm";
  request.m_bSave = true;
  const CFileDialogResult answer = m_app.Prompt().AskFiles(request);
  if (!answer.m_bOk || answer.m_arrFiles.isEmpty()) return;
  const QString path = answer.m_arrFiles.front();
  auto result = std::make_shared<Expected<CHtmlPage>>(Expected<CHtmlPage>::Failure(""));
  const CHtmlListWindow window = HtmlWindow(*list);
  Run(
      doc,
      [result, window, file = ToFsPath(path)](const QString& text) {
        *result = WriteConcordanceHtml(file, ToU16(text), window);
      },
      [this, result, path] {
        if (!*result) {
          m_app.Prompt().Message(WithReason(kFileError, result->Error()), "Save as HTML", QMessageBox::Warning);
          return;
        }
        OpenPage(path);
      });
}

// ---- Word-list report ----

void CExportController::WordListReport() {
  CMainFrame* frame = m_app.MainFrame();
  CTessaryView* view = frame ? frame->ActiveView() : nullptr;
  CTessaryDoc* doc = view ? view->GetDocument() : nullptr;
  if (!doc) return;
  // The text is in the code page the searches read byte texts in.
  CTextLanguage language;
  language.m_kind = m_app.m_settings.m_language;
  language.m_nCodePage = ResolveCodePage(0, m_app.m_settings.m_nAnsiCodePage);
  const int nCodePage = language.TextCodePage();
  auto classes = CTextClasses::Open(nCodePage);
  auto cp = CCodePage::Open(nCodePage);
  if (!classes || !cp) {
    m_app.Prompt().Message(WithReason(kCommandFailed, !classes ? classes.Error() : cp.Error()),
                           "Match text with word lists", QMessageBox::Warning);
    return;
  }
  // Both lists are asked for and read before anything runs; Cancel ends the command.
  auto lists = std::make_shared<std::vector<CWordList>>();
  for (int n : {1, 2}) {
    CFileDialogRequest request;
    request.m_strTitle = QStringLiteral("Open Word List File %1").arg(n);
    request.m_arrFilters = {"Text Files (*.TXT)", "All Documents (*.*)"};
    request.m_strDefaultSuffix = "txt";
    const CFileDialogResult answer = m_app.Prompt().AskFiles(request);
    if (!answer.m_bOk || answer.m_arrFiles.isEmpty()) return;
    auto wordList = ReadWordList(ToFsPath(answer.m_arrFiles.front()), *classes);
    if (!wordList) {
      m_app.Prompt().Message(WithReason(kFileError, wordList.Error()), "Match text with word lists",
                             QMessageBox::Warning);
      return;
    }
    lists->push_back(std::move(*wordList));
  }
  // The report goes beside the text; an unsaved text's beside the working folder.
  const QString folder =
      doc->PathName().isEmpty() ? QDir::currentPath() : QFileInfo(doc->PathName()).absolutePath();

  m_pProgress = new CProgressDialog(frame, "Word Frequency Profiles",
                                    {"List 1:", "List 2:", "List 1 words", "List 2 words", "Words:"},
                                    "Press the SPACEBAR to stop ");
  m_pProgress->setAttribute(Qt::WA_DeleteOnClose, false);
  m_pProgress->SetField("List 1:", FromFsPath((*lists)[0].m_strName));
  m_pProgress->SetField("List 2:", FromFsPath((*lists)[1].m_strName));
  for (const char* field : {"List 1 words", "List 2 words", "Words:"}) m_pProgress->SetField(field, "0");
  connect(m_pProgress, &CProgressDialog::StopRequested, this, [this] {
    if (m_pTask) m_pTask->RequestStop();
  });
  m_pProgress->show();
  if (m_fnProgressShown) m_fnProgressShown(m_pProgress);

  auto shared = std::make_shared<std::pair<std::shared_ptr<const CTextClasses>, std::shared_ptr<const CCodePage>>>(
      std::make_shared<const CTextClasses>(std::move(*classes)), *cp);
  auto files = std::make_shared<Expected<CReportFiles>>(Expected<CReportFiles>::Failure(""));
  QPointer<CProgressDialog> progress = m_pProgress;
  Run(
      doc,
      [this, lists, shared, files, folder, progress](const QString& text) {
        if (m_fnWorkerHook) m_fnWorkerHook();
        CBackgroundTask& t = *m_pTask;
        const std::string bytes = shared->second->FromUnicode(ToU16(text));
        CWordListComparison comparison((*lists)[0], (*lists)[1], *shared->first);
        comparison.AddText(bytes, [&](std::uint64_t, std::uint64_t) {
          const CWordListReport& r = comparison.Report();
          t.Post([progress, n1 = r.m_nList1, n2 = r.m_nList2, total = r.m_nTotal] {
            if (!progress) return;
            progress->SetField("List 1 words", QString::number(n1));
            progress->SetField("List 2 words", QString::number(n2));
            progress->SetField("Words:", QString::number(total));
          });
          return !t.StopRequested();
        });
        // A stopped comparison writes nothing.
        if (t.StopRequested()) return;
        *files = WriteWordListReport(comparison.Report(), ToFsPath(folder),
                                     ReportCharset(shared->second->Number()));
      },
      [this, files] {
        if (!*files) {
          m_app.Prompt().Message(WithReason(kFileError, files->Error()), "Match text with word lists",
                                 QMessageBox::Warning);
          return;
        }
        OpenPage(FromFsPath((*files)->m_strFrames));
      });
}

// ---- The concordance database ----

void CExportController::SaveToDatabase(bool bAppend) {
  CMainFrame* frame = m_app.MainFrame();
  CTessaryView* view = frame ? frame->ActiveView() : nullptr;
  CTessaryDoc* doc = view ? view->GetDocument() : nullptr;
  if (!doc) return;
  const CConcordanceList* list = doc->List();
  std::string keyword;
  if (list) {
    keyword = ListKeyword(*list);
  } else {
    CDatabaseKeywordDialog dialog;
    dialog.m_strKeyword = doc->property(kKeywordProperty).toString();
    if (!m_app.Prompt().Exec(dialog) || dialog.m_strKeyword.isEmpty()) return;
    doc->setProperty(kKeywordProperty, dialog.m_strKeyword);
    keyword = dialog.m_strKeyword.toStdString();
  }
  CFileDialogRequest request;
  request.m_strTitle = bAppend ? "Open Existing Database" : "Create Database";
  request.m_arrFilters = kDatabaseFilters;
  request.m_strDefaultSuffix = "db";
  request.m_bSave = !bAppend;
  const CFileDialogResult answer = m_app.Prompt().AskFiles(request);
  if (!answer.m_bOk || answer.m_arrFiles.isEmpty()) return;
  const std::string path = ToFsPath(answer.m_arrFiles.front());
  // The dialog asked before overwriting: the new file is made beside the old one and
  // takes its place only when it is whole, so a failure leaves the old one.
  const QFileInfo chosen(answer.m_arrFiles.front());
  const bool bReplace = !bAppend && chosen.exists();
  // Only a file is replaced: a device or a folder of that name is left alone.
  if (bReplace && !chosen.isFile()) {
    m_app.Prompt().Message(WithReason(kCommandFailed, path + ": not a file that can be replaced"),
                           "Save concordances in a new database", QMessageBox::Warning);
    return;
  }
  // Line i of the window takes entry i: the entries are copied, the window may change.
  std::shared_ptr<const CConcordanceList> entries =
      list ? std::make_shared<const CConcordanceList>(*list) : nullptr;
  auto result = std::make_shared<Expected<CDatabaseReport>>(Expected<CDatabaseReport>::Failure(""));
  const QString caption = bAppend ? "Append to an existing database" : "Save concordances in a new database";
  Run(
      doc,
      [result, entries, keyword, path, bAppend, bReplace](const QString& text) {
        std::vector<CConcordanceRecord> records = WindowRecords(text.toStdString(), keyword);
        if (entries) {
          for (std::size_t i = 0; i < records.size(); ++i) {
            const CListEntry* entry = entries->EntryOfLine(static_cast<std::int64_t>(i));
            if (!entry) break;
            records[i].m_strFile = entries->SourceOf(*entry);
            records[i].m_nPosition = entry->m_nPosition;
          }
        }
        if (bAppend) {
          *result = AppendToConcordanceDatabase(path, records);
          return;
        }
        const std::string target = bReplace ? path + ".tessary-new" : path;
        std::error_code ignored;
        if (bReplace) std::filesystem::remove(target, ignored);
        *result = CreateConcordanceDatabase(target, records);
        if (!*result || !bReplace) return;
        std::error_code error;
        std::filesystem::rename(target, path, error);
        if (error) {
          std::filesystem::remove(target, ignored);
          *result = Expected<CDatabaseReport>::Failure(path + ": " + error.message());
        }
      },
      [this, result, caption] {
        if (!*result) {
          m_app.Prompt().Message(WithReason(kCommandFailed, result->Error()), caption, QMessageBox::Warning);
          return;
        }
        m_app.Prompt().Message(QString::fromStdString((*result)->Summary()), caption, QMessageBox::Information);
      });
}

void CExportController::OpenDatabaseView() {
  CFileDialogRequest request;
  request.m_strTitle = "Open Concordance Database";
  request.m_arrFilters = kDatabaseFilters;
  const CFileDialogResult answer = m_app.Prompt().AskFiles(request);
  if (!answer.m_bOk || answer.m_arrFiles.isEmpty()) return;
  auto model = CConcordanceDbModel::Open(answer.m_arrFiles.front());
  if (!model) {
    m_app.Prompt().Message(WithReason(kCommandFailed, model.Error()), "Concordance Database View",
                           QMessageBox::Warning);
    return;
  }
  auto* window = new CDatabaseView(m_app, std::move(*model), m_app.MainFrame());
  window->show();
  window->raise();
  window->activateWindow();
}

void CExportController::OpenUniqueWordsView() {
  CFileDialogRequest request;
  request.m_strTitle = "Open Unique Words Database";
  request.m_arrFilters = kDatabaseFilters;
  const CFileDialogResult answer = m_app.Prompt().AskFiles(request);
  if (!answer.m_bOk || answer.m_arrFiles.isEmpty()) return;
  auto model = CUniqueWordsDbModel::Open(answer.m_arrFiles.front());
  if (!model) {
    m_app.Prompt().Message(WithReason(kCommandFailed, model.Error()), "Unique words view", QMessageBox::Warning);
    return;
  }
  auto* window = new CUniqueWordsDbView(std::move(*model), m_app.MainFrame());
  window->show();
  window->raise();
  window->activateWindow();
}

}  // namespace tessary
