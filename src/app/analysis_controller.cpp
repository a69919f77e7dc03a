#include "app/analysis_controller.h"

#include <QFile>
#include <QFileInfo>
#include <QTextBlock>
#include <QTextDocument>
#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <thread>

#include "analysis/collocation.h"
#include "analysis/corpus.h"
#include "analysis/dispersion.h"
#include "analysis/keywords.h"
#include "analysis/ngrams.h"
#include "app/analysis_windows.h"
#include "app/background_task.h"
#include "app/command_ids.h"
#include "app/concordance_controller.h"
#include "app/context_lookup.h"
#include "app/main_frame.h"
#include "app/progress_dialog.h"
#include "app/search_string_edit.h"
#include "app/tessary_app.h"
#include "app/text_snapshot.h"
#include "editor/list_lines.h"
#include "editor/tessary_doc.h"
#include "editor/tessary_view.h"
#include "engine/codepage.h"
#include "engine/file_enum.h"
#include "export/unique_words_db.h"
#include "ui/prompt.h"
#include "ui/qt_text.h"

namespace tessary {

namespace {

const QString kFile = "File:";
const QString kWords = "Words:";
const QString kSearch = "Search string:";

// What one analysis asks for, fixed when its dialog was confirmed.
struct CAnalysisJob {
  AnalysisKind m_kind = AnalysisKind::kCollocation;
  CSearchRequest m_request;  // the node, its mode and language; the sources
  bool m_bNode = true;
  QString m_strShown;        // the search string as typed
  CCollocationOptions m_collocation;
  Measure m_sortBy = Measure::kFrequency;
  CNgramOptions m_ngrams;
  std::int64_t m_nMinFreq = 1;                     // keywords
  std::vector<std::string> m_arrReferenceFiles;    // keywords: reference texts
  std::string m_strReferenceList;                  // or a saved unique-word list
};

// A saved unique-word list: the text file of "Save" or the database of "Save to
// Database", read into counts folded as the study texts' words are.
Expected<CWordCounts> ReadReferenceList(const std::string& path, const CTextClasses& classes) {
  QFile file(FromFsPath(path));
  const bool database = file.open(QIODevice::ReadOnly) && file.read(16).startsWith("SQLite format 3");
  if (!database) return ReadUniqueWordListFile(path, classes);
  auto records = ReadUniqueWordsDatabase(path);
  if (!records) return Expected<CWordCounts>::Failure(records.Error());
  CWordCounts counts;
  for (const CUniqueWordRecord& r : *records) {
    // The database holds UTF-8; byte texts fold in their code page.
    const std::string raw = classes.Page() ? classes.Page()->FromUnicode(Utf8ToUtf16(r.m_strWord)) : r.m_strWord;
    auto [it, bNew] = counts.m_index.try_emplace(classes.Fold(raw), counts.m_arrCount.size());
    if (bNew) counts.m_arrSpelling.push_back(r.m_strWord), counts.m_arrCount.push_back(0);
    counts.m_arrCount[it->second] += r.m_nInstances;
    counts.m_nTotal += r.m_nInstances;
  }
  return counts;
}

void Merge(CWordCounts& into, const CWordCounts& from) {
  for (const auto& [folded, k] : from.m_index) {
    auto [it, bNew] = into.m_index.try_emplace(folded, into.m_arrCount.size());
    if (bNew) into.m_arrSpelling.push_back(from.m_arrSpelling[k]), into.m_arrCount.push_back(0);
    into.m_arrCount[it->second] += from.m_arrCount[k];
  }
  into.m_nTotal += from.m_nTotal;
}

class CAnalysisRun : public CListOperation {
 public:
  CAnalysisRun(CTessaryApp& app, CAnalysisController& controller, CAnalysisJob job, std::vector<CTessaryDoc*> docs)
      : m_app(app),
        m_controller(controller),
        m_job(std::move(job)),
        m_arrDocs(std::move(docs)),
        m_pTask(std::make_unique<CBackgroundTask>()) {}

  void Start() override {
    CMainFrame* frame = m_app.MainFrame();
    const QString title = AnalysisTitle(m_job.m_kind);
    if (frame) frame->SetPaneText(0, title);
    QStringList fields{kFile, kWords};
    if (m_job.m_bNode) fields.prepend(kSearch);
    m_pProgress = std::make_unique<CProgressDialog>(frame, title, fields, "Press the SPACEBAR to stop ");
    if (m_job.m_bNode) m_pProgress->SetField(kSearch, m_job.m_strShown);
    connect(m_pProgress.get(), &CProgressDialog::StopRequested, this, [this] { Stop(); });
    m_pProgress->show();
    if (m_controller.m_fnProgressShown) m_controller.m_fnProgressShown(m_pProgress.get());
    for (CTessaryDoc* doc : m_arrDocs) {
      m_arrTitles.push_back(doc->Title());
      m_arrSourceDocs.emplace_back(doc);
    }
    auto start = [this] {
      connect(m_pTask.get(), &CBackgroundTask::Finished, this, [this] { OnWorkDone(); });
      const bool stopped = m_pProgress->Stopped();
      m_pTask->Start([this] { Work(); });
      if (stopped) m_pTask->RequestStop();
    };
    if (m_arrDocs.empty()) return start();
    auto* snapshot = new CTextSnapshot(m_arrDocs, this);
    connect(snapshot, &CTextSnapshot::Done, this, [this, snapshot, start] {
      m_arrTexts = std::move(snapshot->Texts());
      snapshot->deleteLater();
      m_arrDocs.clear();
      start();
    });
    snapshot->Start();
  }

  void Stop() override { m_pTask->RequestStop(); }

  void Abandon() override {
    m_bAbandoned = true;
    Stop();
    m_pTask->Wait();
  }

 private:
  ProgressFn Progress() {
    CBackgroundTask* task = m_pTask.get();
    CProgressDialog* progress = m_pProgress.get();
    return [task, progress](std::uint64_t done, std::uint64_t total) {
      const int percent = static_cast<int>(done * 100 / std::max<std::uint64_t>(1, total));
      task->Post([progress, percent] { progress->SetPercent(percent); });
      return !task->StopRequested();
    };
  }

  // What a corpus being fed tells: the file it reads and its words so far.
  using SayFn = std::function<void(const QString& name, qint64 words)>;

  // Told to the dialog; the worker thread only.
  SayFn SayToDialog() {
    CBackgroundTask* task = m_pTask.get();
    CProgressDialog* progress = m_pProgress.get();
    return [task, progress](const QString& name, qint64 words) {
      task->Post([progress, name, words] {
        progress->SetField(kFile, name);
        progress->SetField(kWords, QString::number(words));
      }, true);
    };
  }

  // The texts into a corpus: the open documents' taken texts, then the files; the
  // files it could not read go to skipped.
  void Feed(CAnalysisCorpus& corpus, const std::vector<QString>& texts, const std::vector<QString>& titles,
            const std::vector<std::string>& files, const SayFn& tell, std::vector<std::string>& skipped) {
    CBackgroundTask& task = *m_pTask;
    std::shared_ptr<const CCodePage> cp;
    if (!corpus.Request().m_bUnicode)
      if (auto opened = CCodePage::Open(corpus.Request().m_language.TextCodePage())) cp = *opened;
    auto say = [&](const QString& name) { tell(name, corpus.Tokens()); };
    for (std::size_t i = 0; i < texts.size() && !task.StopRequested(); ++i) {
      say(titles[i]);
      const std::u16string text = ToU16(texts[i]);
      if (corpus.Request().m_bUnicode) corpus.AddText(std::u16string_view(text), titles[i].toStdString());
      else if (cp) corpus.AddText(std::string_view(cp->FromUnicode(text)), titles[i].toStdString());
    }
    if (!task.StopRequested()) corpus.AddFiles(files, [&](const std::string& file) { say(FromFsPath(file)); });
    say(QString());
    skipped.insert(skipped.end(), corpus.SkippedFiles().begin(), corpus.SkippedFiles().end());
  }

  // The reference texts of a keyword list, counted on a thread of their own beside the
  // study texts. Only the worker thread posts to the dialog: it shows the reference's
  // progress, kept here, once the study's is done.
  struct CReferenceCount {
    std::unique_ptr<CAnalysisCorpus> m_pCorpus;
    std::vector<std::string> m_arrSkipped;
    std::thread m_thread;
    std::atomic<bool> m_bDone{false};
    std::atomic<int> m_nPercent{0};
    std::atomic<qint64> m_nWords{0};
    std::mutex m_lock;
    QString m_strFile;  // under m_lock
    ~CReferenceCount() {
      if (m_thread.joinable()) m_thread.join();
    }
  };

  void StartReference() {
    auto count = std::make_unique<CReferenceCount>();
    CReferenceCount* r = count.get();
    CBackgroundTask* task = m_pTask.get();
    auto created = CAnalysisCorpus::Create(m_job.m_request, false,
                                           [r, task](std::uint64_t done, std::uint64_t total) {
                                             r->m_nPercent = static_cast<int>(done * 100 / std::max<std::uint64_t>(1, total));
                                             return !task->StopRequested();
                                           },
                                           CCorpusPlan{false, false, -1, -1});
    if (!created) return void(m_strError = created.Error());
    r->m_pCorpus = std::move(*created);
    r->m_thread = std::thread([this, r] {
      Feed(*r->m_pCorpus, {}, {}, m_job.m_arrReferenceFiles,
           [r](const QString& name, qint64 words) {
             std::lock_guard<std::mutex> guard(r->m_lock);
             r->m_strFile = name;
             r->m_nWords = words;
           },
           r->m_arrSkipped);
      r->m_bDone = true;
    });
    m_pReference = std::move(count);
  }

  // Waits for the reference, showing its progress.
  void FinishReference() {
    CReferenceCount& r = *m_pReference;
    const SayFn say = SayToDialog();
    CProgressDialog* progress = m_pProgress.get();
    while (!r.m_bDone) {
      QString file;
      {
        std::lock_guard<std::mutex> guard(r.m_lock);
        file = r.m_strFile;
      }
      say(file, r.m_nWords);
      const int percent = r.m_nPercent;
      m_pTask->Post([progress, percent] { progress->SetPercent(percent); }, true);
      std::this_thread::sleep_for(std::chrono::milliseconds(CBackgroundTask::kPostIntervalMs));
    }
    r.m_thread.join();
    m_arrSkipped.insert(m_arrSkipped.end(), r.m_arrSkipped.begin(), r.m_arrSkipped.end());
  }

  void Work() {
    // Only n-grams need the texts' words kept; the others count as the texts are read.
    CCorpusPlan plan{false, m_job.m_kind == AnalysisKind::kDispersion, -1, -1};
    if (m_job.m_kind == AnalysisKind::kNgrams) plan = {};
    if (m_job.m_kind == AnalysisKind::kCollocation)
      plan.m_nSpanLeft = m_job.m_collocation.m_nLeft, plan.m_nSpanRight = m_job.m_collocation.m_nRight;
    auto created = CAnalysisCorpus::Create(m_job.m_request, m_job.m_bNode, Progress(), plan);
    if (!created) return void(m_strError = created.Error());
    m_pCorpus = std::shared_ptr<CAnalysisCorpus>(std::move(*created));
    if (m_job.m_kind == AnalysisKind::kKeywords && m_job.m_strReferenceList.empty()) {
      StartReference();
      if (!m_pReference) return;
    }
    Feed(*m_pCorpus, m_arrTexts, m_arrTitles, m_job.m_request.m_arrFiles, SayToDialog(), m_arrSkipped);
    m_arrTexts.clear();
    m_bStopped = m_pTask->StopRequested();
    switch (m_job.m_kind) {
      case AnalysisKind::kCollocation:
        m_collocation = Collocation(*m_pCorpus, m_job.m_collocation, Progress());
        SortCollocates(m_collocation->m_arrRows, m_job.m_sortBy);
        break;
      case AnalysisKind::kNgrams:
        m_ngrams = Ngrams(*m_pCorpus, m_job.m_ngrams, Progress());
        m_pCorpus.reset();
        break;
      case AnalysisKind::kDispersion:
        m_dispersion = Dispersion(*m_pCorpus);
        m_pCorpus.reset();
        break;
      case AnalysisKind::kKeywords: Keywords(); break;
    }
    m_bStopped = m_bStopped || m_pTask->StopRequested();
  }

  void Keywords() {
    CWordCounts reference;
    if (!m_job.m_strReferenceList.empty()) {
      auto list = ReadReferenceList(m_job.m_strReferenceList, m_pCorpus->Classes());
      if (!list) return void(m_strError = list.Error());
      reference = std::move(*list);
    } else {
      FinishReference();
      Merge(reference, WordCountsOf(*m_pReference->m_pCorpus));
    }
    if (reference.m_nTotal == 0 || m_pCorpus->Tokens() == 0)
      return void(m_strError = "The study texts or the reference hold no words.");
    m_keywords = tessary::Keywords(WordCountsOf(*m_pCorpus), reference, m_job.m_nMinFreq);
    m_pCorpus.reset();
  }

  void OnWorkDone() {
    m_pTask->Wait();
    if (m_bAbandoned) return;
    m_pProgress->hide();
    const QString title = AnalysisTitle(m_job.m_kind);
    if (CMainFrame* frame = m_app.MainFrame()) frame->SetPaneText(0, "Ready");
    if (!m_arrSkipped.empty()) {
      QString text = "File error";
      for (const std::string& reason : m_arrSkipped) text += "\n" + QString::fromStdString(reason);
      m_app.Prompt().Message(text, title, QMessageBox::Warning);
    }
    if (!m_strError.empty()) {
      m_app.Prompt().Message(QString::fromStdString(m_strError), title, QMessageBox::Warning);
    } else {
      ShowWindow(title);
    }
    emit Ended();
  }

  void ShowWindow(const QString& title) {
    QWidget* parent = m_app.MainFrame();
    IPrompt& prompt = m_app.Prompt();
    const QString stopped = m_bStopped ? QStringLiteral(" (stopped: the texts read so far)") : QString();
    const QString node = m_job.m_bNode ? QStringLiteral("%1 < %2 >").arg(title, m_job.m_strShown) : title;
    CAnalysisTableWindow* window = nullptr;
    switch (m_job.m_kind) {
      case AnalysisKind::kCollocation: {
        std::vector<Measure> measures;
        for (const CMeasureInfo& m : Measures())
          if (m.m_measure != Measure::kFrequency) measures.push_back(m.m_measure);
        auto result = std::make_shared<CCollocationResult>(std::move(*m_collocation));
        const QString summary = QStringLiteral("Node hits (R1) %1, words (N) %2, span %3 left, %4 right%5")
                                    .arg(result->m_nR1)
                                    .arg(result->m_nN)
                                    .arg(m_job.m_collocation.m_nLeft)
                                    .arg(m_job.m_collocation.m_nRight)
                                    .arg(stopped);
        window = new CAnalysisTableWindow(prompt, node, summary, CollocationTable(*result, measures), parent);
        window->AddFilter(1, "frequency");
        window->SetFilter(1, m_job.m_collocation.m_nMinFreq);
        // The concordance of node and collocate: the Plexon search with the word in its zone.
        std::shared_ptr<CAnalysisCorpus> corpus = m_pCorpus;
        CTessaryApp& app = m_app;
        window->m_fnActivated = [&app, corpus, result](int row) {
          if (row < 0 || static_cast<std::size_t>(row) >= result->m_arrRows.size()) return;
          if (app.Busy()) {
            app.Prompt().Message("Another command is still running; try again when it has ended.",
                                 "Collocation Strength", QMessageBox::Information);
            return;
          }
          CSearchRequest request = CollocateRequest(*corpus, result->m_arrRows[static_cast<std::size_t>(row)]);
          request.m_strSortMode = kUnsorted;
          request.m_bTestMode = false;
          app.Concordance().RunRequest(std::move(request));
        };
        break;
      }
      case AnalysisKind::kNgrams: {
        const QString summary =
            QStringLiteral("%1 clusters%2").arg(m_ngrams->m_arrRows.size()).arg(stopped);
        window = new CAnalysisTableWindow(prompt, node, summary, NgramTable(*m_ngrams), parent);
        window->AddFilter(2, "frequency");
        window->AddFilter(3, "range");
        window->SetFilter(2, m_job.m_ngrams.m_nMinFreq);
        window->SetFilter(3, m_job.m_ngrams.m_nMinRange);
        break;
      }
      case AnalysisKind::kKeywords: {
        std::size_t positive = 0;
        for (const CKeywordRow& r : m_keywords->m_arrRows) positive += r.m_keyness.m_nSign > 0;
        const QString summary = QStringLiteral("Study words %1, reference words %2; %3 positive, %4 negative%5")
                                    .arg(m_keywords->m_nStudyWords)
                                    .arg(m_keywords->m_nReferenceWords)
                                    .arg(positive)
                                    .arg(m_keywords->m_arrRows.size() - positive)
                                    .arg(stopped);
        window = new CAnalysisTableWindow(prompt, title, summary, KeywordTable(*m_keywords), parent);
        break;
      }
      case AnalysisKind::kDispersion: {
        const QString d = std::isnan(m_dispersion->m_dJuilland) ? QStringLiteral("-")
                                                                : QString::number(m_dispersion->m_dJuilland, 'f', 3);
        const QString summary = QStringLiteral("%1 hits in %2 words, %3 per 1,000, D %4%5")
                                    .arg(m_dispersion->m_nHits)
                                    .arg(m_dispersion->m_nWords)
                                    .arg(m_dispersion->m_dPer1000, 0, 'f', 2)
                                    .arg(d, stopped);
        auto* plot = new CDispersionWindow(prompt, node, summary, std::move(*m_dispersion),
                                           m_job.m_strShown.toStdString(), parent);
        CTessaryApp& app = m_app;
        const CSearchRequest request = m_job.m_request;
        QPointer<CDispersionWindow> guard(plot);
        // Open documents are fed first, in order: a strip's text is its document.
        const std::vector<QPointer<CTessaryDoc>> docs = m_arrSourceDocs;
        plot->Plot()->m_fnTickClicked = [&app, request, guard, docs](std::size_t strip, std::size_t hit) {
          if (!guard) return;
          const CDispersionStrip& s = guard->Result().m_arrStrips[strip];
          CTessaryDoc* doc = s.m_nText < docs.size() ? docs[s.m_nText].data() : nullptr;
          if (s.m_nText < docs.size() && !doc)
            return void(app.Prompt().Message(QStringLiteral("%1 is no longer open.").arg(FromFsPath(s.m_strPath)),
                                             "Dispersion Plot", QMessageBox::Information));
          app.ContextLookup().RequestHit(request, s.m_strPath, static_cast<std::int64_t>(s.m_arrOffsets[hit]), doc);
        };
        window = plot;
        break;
      }
    }
    m_controller.AddWindow(window);
    window->show();
    window->raise();
  }

  CTessaryApp& m_app;
  CAnalysisController& m_controller;
  CAnalysisJob m_job;
  std::vector<CTessaryDoc*> m_arrDocs;
  std::vector<QPointer<CTessaryDoc>> m_arrSourceDocs;  // the open documents read, in order
  std::vector<QString> m_arrTitles;
  std::vector<QString> m_arrTexts;
  std::unique_ptr<CProgressDialog> m_pProgress;
  std::unique_ptr<CBackgroundTask> m_pTask;
  std::shared_ptr<CAnalysisCorpus> m_pCorpus;
  std::unique_ptr<CReferenceCount> m_pReference;
  std::optional<CCollocationResult> m_collocation;
  std::optional<CNgramResult> m_ngrams;
  std::optional<CKeywordResult> m_keywords;
  std::optional<CDispersionResult> m_dispersion;
  std::vector<std::string> m_arrSkipped;
  std::string m_strError;
  bool m_bStopped = false;
  bool m_bAbandoned = false;
};

// The open documents, in the order they were opened; list windows are never read.
std::vector<CTessaryDoc*> TextDocuments(const CTessaryApp& app) {
  std::vector<CTessaryDoc*> docs;
  for (CTessaryDoc* doc : app.Documents())
    if (!doc->List()) docs.push_back(doc);
  return docs;
}

// The reference files of a keyword list: chosen files, or all matching files of a directory.
bool AskReferenceFiles(CTessaryApp& app, bool bDirectory, std::vector<std::string>& files) {
  CFileDialogRequest request;
  request.m_strTitle = bDirectory ? "Reference Directory" : "Reference Files";
  request.m_arrFilters = {"Text Files (*.TXT)", "All Files (*.*)"};
  request.m_strInitialName = "*.txt";
  request.m_strDefaultSuffix = "txt";
  request.m_strAcceptLabel = "Select file(s)";
  request.m_bMultiSelect = true;
  request.m_bOfferAllMatching = bDirectory;
  const CFileDialogResult answer = app.Prompt().AskFiles(request);
  if (answer.m_bAllMatching) {
    if (answer.m_strTypedPath.isEmpty()) return false;
    const QFileInfo typed(answer.m_strTypedPath);
    auto found = EnumerateMatchingFiles({ToFsPath(answer.m_strTypedPath), ToFsPath(typed.suffix()),
                                         ToFsPath(typed.completeBaseName()), ToFsPath(typed.fileName())});
    if (!found) {
      app.Prompt().Message(QString::fromStdString(found.Error()), request.m_strTitle, QMessageBox::Warning);
      return false;
    }
    files = std::move(*found);
    return !files.empty();
  }
  if (!answer.m_bOk) return false;
  for (const QString& file : answer.m_arrFiles) files.push_back(ToFsPath(file));
  return !files.empty();
}

// The concordance list of a window as the core's table: its lines cut into left,
// keyword and right by the list's columns, each with its source and position.
CTable ListTable(const CTessaryView& view, const CConcordanceList& list) {
  CWideAssembledList lines;
  const std::int64_t width = list.Width();
  std::size_t keyLength = static_cast<std::size_t>(list.m_nKeyLength);
  if (!list.Unicode())
    if (auto cp = CCodePage::Open(list.Language().TextCodePage()))
      keyLength = (*cp)->ToUnicode(list.m_request.m_strSearch.substr(0, keyLength)).size();
  lines.m_arrFiles = list.m_arrSources;
  // A window whose lines are not in its text is read from its store.
  const CListLines* store = view.GetDocument() ? view.GetDocument()->Lines() : nullptr;
  QTextBlock block = view.Document()->begin();
  for (std::int64_t i = 0; i < view.LineCount() && (store || block.isValid()); ++i) {
    const CListEntry* entry = list.EntryOfLine(i);
    if (!entry) break;
    const std::u16string text = ToU16(store ? store->Line(i) : block.text());
    if (!store) block = block.next();
    CLineLayout layout;
    layout.m_nStart = static_cast<std::int64_t>(lines.m_strOutput.size());
    if (list.LineNumbers()) {
      // "%-6d " and longer numbers from line 1,000,000 on.
      std::size_t digits = 0;
      while (digits < text.size() && text[digits] >= u'0' && text[digits] <= u'9') ++digits;
      layout.m_nPrefix = static_cast<std::int64_t>(std::max<std::size_t>(7, digits + 1));
    }
    const std::int64_t rest = static_cast<std::int64_t>(text.size()) - layout.m_nPrefix;
    layout.m_nBody = std::clamp<std::int64_t>(2 * width + static_cast<std::int64_t>(keyLength) + 1, 0,
                                              std::max<std::int64_t>(0, rest));
    lines.m_strOutput += text;
    lines.m_strOutput += u'\n';
    lines.m_arrLayout.push_back(layout);
    CWideConcordanceEntry e;
    e.m_nPosition = entry->m_nPosition;
    e.m_nFile = entry->m_nSource;
    lines.m_arrEntries.push_back(std::move(e));
  }
  return ConcordanceTable(lines, width, keyLength);
}

}  // namespace

CAnalysisController::CAnalysisController(CTessaryApp& app) : m_app(app), m_runs(app) {
  connect(&m_runs, &COperationSlot::Ended, this, &CAnalysisController::RunEnded);
}

CAnalysisController::~CAnalysisController() { AbandonRunning(); }

bool CAnalysisController::Handles(int id) const {
  switch (id) {
    case ids::kCollocationStrength:
    case ids::kClustersNgrams:
    case ids::kKeywordList:
    case ids::kDispersionPlot:
    case ids::kSaveListTsv:
    case ids::kSaveListCsv:
      return true;
    default:
      return false;
  }
}

bool CAnalysisController::IsEnabled(int id) const {
  if (!Handles(id)) return false;
  if (id == ids::kSaveListTsv || id == ids::kSaveListCsv) {
    const CTessaryView* view = m_app.MainFrame() ? m_app.MainFrame()->ActiveView() : nullptr;
    return view && view->List() && view->GetDocument() && !view->GetDocument()->m_bBusy;
  }
  return !m_app.Busy();
}

void CAnalysisController::OnCommand(int id) {
  if (!IsEnabled(id)) return;
  switch (id) {
    case ids::kCollocationStrength: Ask(m_collocation); break;
    case ids::kClustersNgrams: Ask(m_ngrams); break;
    case ids::kKeywordList: Ask(m_keywords); break;
    case ids::kDispersionPlot: Ask(m_dispersion); break;
    case ids::kSaveListTsv: SaveList(TableFormat::kTsv); break;
    case ids::kSaveListCsv: SaveList(TableFormat::kCsv); break;
    default: break;
  }
  if (m_app.MainFrame()) m_app.MainFrame()->UpdateCommandStates();
}

void CAnalysisController::Ask(CAnalysisDialog& dialog) {
  const QString title = AnalysisTitle(dialog.Kind());
  if (!m_app.Prompt().Exec(dialog)) return;
  if (const QString problem = dialog.Problem(); !problem.isEmpty())
    return void(m_app.Prompt().Message(problem, title, QMessageBox::Information));

  CSearchSettings& s = m_app.m_settings;
  CAnalysisJob job;
  job.m_kind = dialog.Kind();
  job.m_bNode = dialog.NeedsNode();
  s.m_bUnicode = dialog.m_bUnicode;
  CSearchRequest& r = job.m_request = CSearchRequest::FromSettings(s);
  r.m_bUnicode = dialog.m_bUnicode;
  r.m_bSentences = r.m_bTestMode = false;
  r.m_arrAssocWords.clear();
  r.m_wstrAssocWord.clear();
  r.m_nMatchMode = dialog.m_nMatchMode;
  job.m_strShown = OneLineSearchString(dialog.m_strSearch).trimmed();
  r.m_wstrTyped = ToU16(job.m_strShown);
  if (job.m_bNode) {
    if (r.m_bUnicode) {
      r.m_wstrSearch = r.m_wstrTyped;
    } else {
      auto cp = CCodePage::Open(r.m_language.TextCodePage());
      if (!cp) return void(m_app.Prompt().Message(QString::fromStdString(cp.Error()), title, QMessageBox::Warning));
      r.m_strSearch = TrimSearchString((*cp)->FromUnicode(r.m_wstrTyped), r.m_language.IsDoubleByte());
      if (r.m_strSearch.empty()) return;
    }
  }
  job.m_collocation.m_nLeft = dialog.m_nLeft;
  job.m_collocation.m_nRight = dialog.m_nRight;
  job.m_collocation.m_nMinFreq = dialog.m_nMinFreq;
  if (const CMeasureInfo* m = FindMeasure(dialog.m_strMeasure.toStdString())) job.m_sortBy = m->m_measure;
  job.m_ngrams.m_nMinSize = dialog.m_nMinSize;
  job.m_ngrams.m_nMaxSize = dialog.m_nMaxSize;
  job.m_ngrams.m_nMinFreq = dialog.m_nMinFreq;
  job.m_ngrams.m_nMinRange = dialog.m_nMinRange;
  job.m_ngrams.m_attach = static_cast<ClusterAttach>(std::clamp(dialog.m_nAttach, 0, 3));
  job.m_nMinFreq = dialog.m_nMinFreq;

  std::vector<CTessaryDoc*> docs;
  if (dialog.m_bDirectory) {
    r.m_source = SearchSource::kFiles;
    if (!AskSearchFiles(m_app, r.m_bUnicode, r.m_arrFiles, r.m_bAllMatching)) return;
  } else {
    r.m_source = SearchSource::kOpenDocuments;
    docs = TextDocuments(m_app);
    if (docs.empty())
      return void(m_app.Prompt().Message("There is no open document to read: open a text, or choose Directory.",
                                         title, QMessageBox::Information));
  }
  if (job.m_kind == AnalysisKind::kKeywords) {
    if (dialog.m_nReference == 2) {
      CFileDialogRequest request;
      request.m_strTitle = "Reference Word List";
      request.m_arrFilters = {"Unique-word lists (*.txt *.db *.sqlite)", "All Files (*.*)"};
      const CFileDialogResult answer = m_app.Prompt().AskFiles(request);
      if (!answer.m_bOk || answer.m_arrFiles.isEmpty()) return;
      job.m_strReferenceList = ToFsPath(answer.m_arrFiles.front());
    } else if (!AskReferenceFiles(m_app, dialog.m_nReference == 1, job.m_arrReferenceFiles)) {
      return;
    }
  }
  m_runs.Start(std::make_unique<CAnalysisRun>(m_app, *this, std::move(job), std::move(docs)));
}

void CAnalysisController::AddWindow(CAnalysisTableWindow* window) {
  std::erase_if(m_arrWindows, [](const QPointer<CAnalysisTableWindow>& w) { return w.isNull(); });
  m_arrWindows.emplace_back(window);
}

bool CAnalysisController::SaveList(TableFormat format) {
  const bool csv = format == TableFormat::kCsv;
  const QString caption = csv ? "Save as CSV" : "Save as TSV";
  CTessaryView* view = m_app.MainFrame() ? m_app.MainFrame()->ActiveView() : nullptr;
  const CConcordanceList* list = view ? view->List() : nullptr;
  if (!list) return false;
  if (list->Sentences() || list->TestMode()) {
    // A sentence has no fixed columns, and a test's table would give its answers away.
    m_app.Prompt().Message("Only a concordance list can be saved as a table, not a sentence list or a test.", caption,
                           QMessageBox::Information);
    return false;
  }
  const CTable table = ListTable(*view, *list);
  CFileDialogRequest request;
  request.m_strTitle = caption;
  request.m_arrFilters = {csv ? "CSV Files (*.csv)" : "TSV Files (*.tsv)", "All Files (*.*)"};
  request.m_strInitialName = csv ? "*.csv" : "*.tsv";
  request.m_strDefaultSuffix = csv ? "csv" : "tsv";
  request.m_bSave = true;
  const CFileDialogResult answer = m_app.Prompt().AskFiles(request);
  if (!answer.m_bOk || answer.m_arrFiles.isEmpty()) return false;
  const QString path = answer.m_arrFiles.front();
  // The mark helps spreadsheets read CSV as UTF-8.
  bool mark = false;
  if (csv)
    mark = m_app.Prompt().Message("Begin the file with a UTF-8 mark, so that spreadsheets read its letters right?",
                                  caption, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
                                  QMessageBox::Yes) == QMessageBox::Yes;
  const std::string bytes = TableText(table, format, mark);
  const QFileInfo info(path);
  QFile file(path);
  bool ok = !(info.exists() && !info.isFile()) && file.open(QIODevice::WriteOnly | QIODevice::Truncate);
  ok = ok && file.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size());
  if (file.isOpen()) file.close();
  if (!ok) {
    m_app.Prompt().Message(QStringLiteral("File error\n%1 could not be written.").arg(path), caption,
                           QMessageBox::Warning);
    return false;
  }
  if (CMainFrame* frame = m_app.MainFrame())
    frame->SetPaneText(0, QStringLiteral("%1 lines saved to %2").arg(table.m_arrRows.size()).arg(info.fileName()));
  return true;
}

void CAnalysisController::StopRunning() { m_runs.Stop(); }

void CAnalysisController::AbandonRunning() { m_runs.Abandon(); }

}  // namespace tessary
