#include "app/stats_runs.h"

#include <algorithm>

#include "app/background_task.h"
#include "app/main_frame.h"
#include "app/progress_dialog.h"
#include "app/stats_controller.h"
#include "app/stats_dialogs.h"
#include "app/tessary_app.h"
#include "app/text_snapshot.h"
#include "editor/tessary_doc.h"
#include "ui/prompt.h"
#include "ui/qt_text.h"

namespace tessary {

namespace {

const QString kFile = "File:";
const QString kSize = "Size:";
const QString kProfileString = "Profile string:";
const QString kWords = "Words:";
const QString kCharacters = "Characters:";
const QString kMatches = "Profile Wordcount:";
const QString kStatistics = "Statistics";
const QString kUnique = "Unique Words:";

// Takes the documents' texts a slice at a time (their windows read-only meanwhile),
// then calls done with them, in order, on the UI thread.
void TakeTexts(QObject* owner, const std::vector<CTessaryDoc*>& docs, std::vector<QString>& titles,
               std::function<void(std::vector<QString>)> done) {
  for (CTessaryDoc* doc : docs) titles.push_back(doc->Title());
  if (docs.empty()) return done({});
  auto* snapshot = new CTextSnapshot(docs, owner);
  QObject::connect(snapshot, &CTextSnapshot::Done, owner, [snapshot, done = std::move(done)] {
    std::vector<QString> texts = std::move(snapshot->Texts());
    snapshot->deleteLater();
    done(std::move(texts));
  });
  snapshot->Start();
}

// Files the core could not read: one "File error" box naming them; the run went on
// without them.
void ReportSkipped(CTessaryApp& app, const std::vector<std::string>& skipped, const QString& caption) {
  if (skipped.empty()) return;
  QString text = "File error";
  for (const std::string& reason : skipped) text += "\n" + QString::fromStdString(reason);
  app.Prompt().Message(text, caption, QMessageBox::Warning);
}

void ShowProgress(CStatsController& controller, CProgressDialog& progress) {
  progress.show();
  if (controller.m_fnProgressShown) controller.m_fnProgressShown(&progress);
}

}  // namespace

// ---- Frequency profile ----

CProfileRun::CProfileRun(CTessaryApp& app, CStatsController& controller, CProfileJob job, CStatsSources sources)
    : m_app(app),
      m_controller(controller),
      m_job(std::move(job)),
      m_sources(std::move(sources)),
      m_pTask(std::make_unique<CBackgroundTask>()) {}

CProfileRun::~CProfileRun() = default;

void CProfileRun::Start() {
  CMainFrame* frame = m_app.MainFrame();
  if (frame && m_job.m_bStatusBar) {
    frame->SetPaneText(1, m_job.m_strShown);
    frame->SetPaneText(0, "Profiling string");
  }
  m_pProgress = std::make_unique<CProgressDialog>(
      frame, "Frequency Profile ",
      QStringList{kFile, kSize, kProfileString, m_job.m_bCharacters ? kCharacters : kWords, kMatches, kStatistics},
      "Press the SPACEBAR to stop ");
  m_pProgress->SetField(kProfileString, m_job.m_strShown);
  connect(m_pProgress.get(), &CProgressDialog::StopRequested, this, &CProfileRun::Stop);
  ShowProgress(m_controller, *m_pProgress);
  TakeTexts(this, m_sources.m_arrDocs, m_arrTitles, [this](std::vector<QString> texts) {
    m_arrTexts = std::move(texts);
    m_sources.m_arrDocs.clear();
    connect(m_pTask.get(), &CBackgroundTask::Finished, this, &CProfileRun::OnWorkDone);
    const bool stopped = m_pProgress->Stopped();
    m_pTask->Start([this] { Work(); });
    // Stopped while the texts were taken: the result has the counts of nothing read.
    if (stopped) m_pTask->RequestStop();
  });
}

void CProfileRun::Stop() { m_pTask->RequestStop(); }

void CProfileRun::Abandon() {
  m_bAbandoned = true;
  Stop();
  m_pTask->Wait();
}

void CProfileRun::Work() {
  CBackgroundTask& task = *m_pTask;
  CProgressDialog* progress = m_pProgress.get();
  const QString totalField = m_job.m_bCharacters ? kCharacters : kWords;
  const bool files = !m_sources.m_arrFiles.empty();
  CProfileBase* current = nullptr;
  CProfileObserver observer;
  observer.m_fnSource = [&](const std::string& title, std::uint64_t length) {
    const QString name = files ? FromFsPath(title) : QString::fromStdString(title);
    const QString size = files ? QString::number(length) : QStringLiteral("%1 bytes").arg(length);
    task.Post([progress, name, size] {
      progress->SetField(kFile, name);
      progress->SetField(kSize, size);
    }, true);
  };
  observer.m_fnProgress = [&](std::uint64_t done, std::uint64_t total) {
    const std::int64_t words = current ? current->Total() : 0;
    const std::int64_t matches = current ? current->Matches() : 0;
    const int percent = static_cast<int>(done * 100 / std::max<std::uint64_t>(1, total));
    task.Post([progress, totalField, words, matches, percent] {
      progress->SetField(totalField, QString::number(words));
      progress->SetField(kMatches, QString::number(matches));
      progress->SetPercent(percent);
    });
    return !task.StopRequested();
  };
  // Stopped before the first text: the core sees it at its first progress report.
  if (m_job.m_bWide) {
    auto created = CWideProfile::Create(m_job.m_wstrKey, m_job.m_bCharacters, m_job.m_strShown.toStdString(),
                                        m_job.m_nCodePage, observer);
    if (!created) return void(m_strError = created.Error());
    CWideProfile& profile = **created;
    current = &profile;
    for (std::size_t i = 0; i < m_arrTexts.size() && !task.StopRequested(); ++i)
      profile.AddText(ToU16(m_arrTexts[i]), m_arrTitles[i].toStdString());
    for (const std::string& file : m_sources.m_arrFiles) {
      if (task.StopRequested()) break;
      profile.AddFile(file);
    }
    m_arrSkipped = profile.SkippedFiles();
    m_result = profile.Result();
    m_result->m_bStopped = m_result->m_bStopped || task.StopRequested();
    return;
  }
  auto cp = CCodePage::Open(m_job.m_nCodePage);
  if (!cp) return void(m_strError = cp.Error());
  auto created = CByteProfile::Create(m_job.m_strKey, m_job.m_bWholeWords, m_job.m_nCodePage, observer);
  if (!created) return void(m_strError = created.Error());
  CByteProfile& profile = **created;
  current = &profile;
  for (std::size_t i = 0; i < m_arrTexts.size() && !task.StopRequested(); ++i) {
    profile.AddText((*cp)->FromUnicode(ToU16(m_arrTexts[i])), m_arrTitles[i].toStdString());
    // After each document its running result.
    const std::int64_t words = profile.Total();
    const std::int64_t matches = profile.Matches();
    const QString caption = FromU16((*cp)->ToUnicode(profile.Result().Caption()));
    task.Post([progress, words, matches, caption] {
      progress->SetField(kWords, QString::number(words));
      progress->SetField(kMatches, QString::number(matches));
      progress->SetField(kStatistics, caption);
    }, true);
  }
  for (const std::string& file : m_sources.m_arrFiles) {
    if (task.StopRequested()) break;
    profile.AddFile(file);
  }
  m_arrSkipped = profile.SkippedFiles();
  m_result = profile.Result();
  // The caption is shown in the texts' code page as the user typed it.
  m_result->m_strDisplay = (*cp)->ToUtf8(m_result->m_strDisplay);
}

void CProfileRun::OnWorkDone() {
  m_pTask->Wait();
  if (m_bAbandoned) return;
  m_pProgress->hide();
  if (CMainFrame* frame = m_app.MainFrame(); frame && m_job.m_bStatusBar) frame->SetPaneText(0, "Ready");
  if (!m_strError.empty()) {
    m_app.Prompt().Message(QString::fromStdString(m_strError), "Frequency Profile ", QMessageBox::Warning);
  } else if (m_result) {
    ReportSkipped(m_app, m_arrSkipped, "Frequency Profile ");
    // Shown also when stopped: the counts reached so far.
    m_app.Prompt().Message(QString::fromStdString(m_result->Text()), QString::fromStdString(m_result->Caption()),
                           QMessageBox::Information);
  }
  emit Ended();
}

// ---- Unique words ----

CUniqueWordsRun::CUniqueWordsRun(CTessaryApp& app, CStatsController& controller, CUniqueWordOptions options,
                                 CStatsSources sources)
    : m_app(app),
      m_controller(controller),
      m_options(options),
      m_sources(std::move(sources)),
      m_pTask(std::make_unique<CBackgroundTask>()) {}

CUniqueWordsRun::~CUniqueWordsRun() = default;

void CUniqueWordsRun::Start() {
  CMainFrame* frame = m_app.MainFrame();
  if (frame && !m_sources.m_arrDocs.empty()) frame->SetPaneText(0, "Unique words profile");
  m_pProgress = std::make_unique<CProgressDialog>(frame, "Unique Words Profile ",
                                                  QStringList{kFile, kSize, kWords, kUnique}, "Spacebar = Cancel");
  connect(m_pProgress.get(), &CProgressDialog::StopRequested, this, &CUniqueWordsRun::Stop);
  ShowProgress(m_controller, *m_pProgress);
  TakeTexts(this, m_sources.m_arrDocs, m_arrTitles, [this](std::vector<QString> texts) {
    m_arrTexts = std::move(texts);
    m_sources.m_arrDocs.clear();
    connect(m_pTask.get(), &CBackgroundTask::Finished, this, &CUniqueWordsRun::OnWorkDone);
    const bool stopped = m_pProgress->Stopped();
    m_pTask->Start([this] { Work(); });
    if (stopped) m_pTask->RequestStop();
  });
}

void CUniqueWordsRun::Stop() { m_pTask->RequestStop(); }

void CUniqueWordsRun::Abandon() {
  m_bAbandoned = true;
  Stop();
  m_pTask->Wait();
}

void CUniqueWordsRun::Work() {
  CBackgroundTask& task = *m_pTask;
  CProgressDialog* progress = m_pProgress.get();
  const bool files = !m_sources.m_arrFiles.empty();
  CUniqueWordCounter* counter = nullptr;
  CProfileObserver observer;
  observer.m_fnSource = [&](const std::string& title, std::uint64_t length) {
    const QString name = files ? FromFsPath(title) : QString::fromStdString(title);
    const QString size = files ? QString::number(length) : QStringLiteral("%1 bytes").arg(length);
    task.Post([progress, name, size] {
      progress->SetField(kFile, name);
      progress->SetField(kSize, size);
    }, true);
  };
  observer.m_fnProgress = [&](std::uint64_t done, std::uint64_t total) {
    const std::int64_t words = counter ? counter->Total() : 0;
    const auto unique = static_cast<std::int64_t>(counter ? counter->UniqueCount() : 0);
    const int percent = static_cast<int>(done * 100 / std::max<std::uint64_t>(1, total));
    task.Post([progress, words, unique, percent] {
      progress->SetField(kWords, QString::number(words));
      progress->SetField(kUnique, QString::number(unique));
      progress->SetPercent(percent);
    });
    return !task.StopRequested();
  };
  auto created = CUniqueWordCounter::Create(m_options, observer);
  if (!created) return void(m_strError = created.Error());
  m_pCounter = std::move(*created);
  counter = m_pCounter.get();
  const CCodePage* page = counter->Classes().Page();
  for (std::size_t i = 0; i < m_arrTexts.size() && !task.StopRequested(); ++i) {
    const std::u16string text = ToU16(m_arrTexts[i]);
    counter->AddText(page ? page->FromUnicode(text) : Utf16ToUtf8(text), m_arrTitles[i].toStdString());
  }
  m_arrTexts.clear();
  if (!task.StopRequested()) counter->AddFiles(m_sources.m_arrFiles);
  m_arrSkipped = counter->SkippedFiles();
  // A stopped run lists what was counted so far.
  m_list = counter->List();
}

void CUniqueWordsRun::OnWorkDone() {
  m_pTask->Wait();
  if (m_bAbandoned) return;
  m_pProgress->hide();
  if (CMainFrame* frame = m_app.MainFrame()) frame->SetPaneText(0, "Ready");
  if (!m_strError.empty()) {
    m_app.Prompt().Message(QString::fromStdString(m_strError), "Unique Words Profile ", QMessageBox::Warning);
  } else if (m_pCounter) {
    ReportSkipped(m_app, m_arrSkipped, "Unique Words Profile ");
    CUniqueWordsDialog dialog(m_app.Prompt(), [this](const QString& path) { m_app.OpenDocumentFile(path); });
    dialog.SetList(std::move(m_list), m_pCounter->Classes());
    m_pCounter.reset();
    m_app.Prompt().Exec(dialog);
  }
  // The list goes with the dialog.
  m_pCounter.reset();
  emit Ended();
}

}  // namespace tessary
