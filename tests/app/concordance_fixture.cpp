#include "app/concordance_fixture.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include "app/command_ids.h"
#include "app/progress_dialog.h"

namespace tessary::test {

void ProgramTest::SetUp() {
  auto prompt = std::make_unique<CScriptedPrompt>();
  m_pPrompt = prompt.get();
  m_pApp = std::make_unique<CTessaryApp>(std::move(prompt), m_dir.filePath("options.ini"));
  ASSERT_TRUE(m_pApp->InitInstance({}, false));
}

void ProgramTest::TearDown() {
  EXPECT_TRUE(m_pPrompt->Exhausted()) << "the script was not used up";
  for (CTessaryDoc* doc : m_pApp->Documents()) doc->SetModified(false);
  m_pApp.reset();
}

CTessaryDoc* ProgramTest::OpenText(const QString& text, const QString& path) {
  CTessaryDoc* doc = m_pApp->NewDocument();
  doc->Document()->setPlainText(text);
  if (!path.isEmpty()) doc->SetPathName(path);
  return doc;
}

void ProgramTest::Search(const QString& key, const QString& sortMode, bool numbers, int mode, bool unicode) {
  m_pPrompt->OnDialogOf<CCodeSetDialog>([unicode](CCodeSetDialog& d) {
    d.m_bUnicode = unicode;
    return true;
  });
  m_pPrompt->OnDialogOf<CConcordanceSelectionDialog>([=](CConcordanceSelectionDialog& d) {
    EXPECT_EQ(d.m_bUnicodeForm, unicode);
    d.m_strSearch = key;
    d.m_strSortMode = sortMode;
    d.m_strLineNumbers = numbers ? "Yes" : "No";
    d.m_nMatchMode = mode;
    return true;
  });
  m_pApp->Concordance().OnCommand(ids::kConcordanceSearch);
  WaitForRun();
}

void ProgramTest::WaitForRun() {
  CConcordanceController& controller = m_pApp->Concordance();
  if (controller.Running()) {
    QEventLoop loop;
    QObject::connect(&controller, &CConcordanceController::RunEnded, &loop, &QEventLoop::quit);
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);
    loop.exec();
  }
  EXPECT_FALSE(controller.Running()) << "the run did not end";
  // Let the ended run go.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QTextCharFormat FormatAt(const CTessaryView* view, int position) {
  QTextCursor cursor(view->Document());
  cursor.setPosition(position + 1);  // the format of the character before the cursor
  return cursor.charFormat();
}

CTessaryView* ProgramTest::NewestView() const {
  return m_pApp->Documents().empty() ? nullptr : m_pApp->Documents().back()->FirstView();
}

QString ProgramTest::TextOf(const CTessaryView* view) const { return view->Document()->toPlainText(); }

}  // namespace tessary::test
