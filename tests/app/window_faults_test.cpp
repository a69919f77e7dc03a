// What a new user meets in the first minutes: save questions on exit, the status
// panes, undo on a fresh list, the Key Word switches, window activation, bullets.
#include <QApplication>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTextCursor>
#include <QTextList>

#include "app/command_ids.h"
#include "app/concordance_fixture.h"

namespace tessary::test {
namespace {

constexpr char kLoveText[] = "I love you\nwe love them\nno key here\n";

class WindowFaultsTest : public ProgramTest {
 protected:
  CMainFrame& Frame() { return *m_pApp->MainFrame(); }
  CTessaryDoc* ModifiedText(const QString& text) {
    CTessaryDoc* doc = OpenText(text);
    doc->SetModified(true);
    return doc;
  }
};

TEST_F(WindowFaultsTest, ExitAsksOnceForEachModifiedDocumentAndOffersAllAnswersWhenSeveral) {
  for (CTessaryDoc* doc : m_pApp->Documents()) doc->SetModified(false);
  ModifiedText("one");
  ModifiedText("two");
  ModifiedText("three");
  m_pPrompt->OnNamedButtons(3);  // "Discard all" at the first question
  EXPECT_TRUE(m_pApp->QueryExit());
  ASSERT_EQ(m_pPrompt->m_arrMessages.size(), 1);
  EXPECT_TRUE(m_pPrompt->m_arrMessages.front().startsWith("Save changes to Tessary"));
  EXPECT_TRUE(m_pApp->Documents().empty());
}

TEST_F(WindowFaultsTest, SaveAllSavesEveryModifiedDocumentWithoutAskingAgain) {
  for (CTessaryDoc* doc : m_pApp->Documents()) doc->SetModified(false);
  CTessaryDoc* a = ModifiedText("alpha");
  a->SetPathName(m_dir.filePath("a.txt"));
  a->SetDocType(kTypeText);
  CTessaryDoc* b = ModifiedText("beta");
  b->SetPathName(m_dir.filePath("b.txt"));
  b->SetDocType(kTypeText);
  m_pPrompt->OnNamedButtons(2);  // "Save all"
  EXPECT_TRUE(m_pApp->QueryExit());
  EXPECT_EQ(m_pPrompt->m_arrMessages.size(), 1);
  QFile fa(m_dir.filePath("a.txt")), fb(m_dir.filePath("b.txt"));
  ASSERT_TRUE(fa.open(QIODevice::ReadOnly));
  ASSERT_TRUE(fb.open(QIODevice::ReadOnly));
  EXPECT_TRUE(fa.readAll().startsWith("alpha"));
  EXPECT_TRUE(fb.readAll().startsWith("beta"));
}

TEST_F(WindowFaultsTest, CancelAtTheSecondQuestionKeepsEveryDocumentOpen) {
  for (CTessaryDoc* doc : m_pApp->Documents()) doc->SetModified(false);
  ModifiedText("one");
  ModifiedText("two");
  const std::size_t open = m_pApp->Documents().size();
  m_pPrompt->OnNamedButtons(1);  // "No" for the first
  m_pPrompt->OnNamedButtons(4);  // "Cancel" for the second
  EXPECT_FALSE(m_pApp->QueryExit());
  EXPECT_EQ(m_pApp->Documents().size(), open);
}

TEST_F(WindowFaultsTest, AFreshListIsNotModifiedAndUndoCannotTakeItsColouring) {
  OpenText(kLoveText, m_dir.filePath("love.txt"));
  Search("love");
  CTessaryView* list = NewestView();
  ASSERT_TRUE(list && list->List());
  EXPECT_FALSE(list->GetDocument()->IsModified());
  const int key = TextOf(list).indexOf("love");
  ASSERT_GE(key, 0);
  const QTextCharFormat before = FormatAt(list, key);
  EXPECT_FALSE(list->Document()->isUndoAvailable());
  list->Document()->undo();
  EXPECT_EQ(FormatAt(list, key), before);
  // An edit of the user's is a change to keep, and can be undone.
  QTextCursor cursor(list->Document());
  cursor.insertText("x");
  EXPECT_TRUE(list->GetDocument()->IsModified());
  EXPECT_TRUE(list->Document()->isUndoAvailable());
  for (CTessaryDoc* doc : m_pApp->Documents())
    if (doc != list->GetDocument()) doc->SetModified(false);
  // Only the user's list is asked about on exit.
  m_pPrompt->OnMessage(QMessageBox::No);
  EXPECT_TRUE(m_pApp->QueryExit());
  EXPECT_EQ(m_pPrompt->m_arrMessages.size(), 1);
}

TEST_F(WindowFaultsTest, AutomaticAndManualFormatAreAnExclusivePair) {
  CConcordanceController& c = m_pApp->Concordance();
  ASSERT_TRUE(c.IsChecked(ids::kAutomaticFormat));
  EXPECT_FALSE(c.IsChecked(ids::kManualFormat));
  Frame().OnCommand(ids::kManualFormat);
  EXPECT_FALSE(c.IsChecked(ids::kAutomaticFormat));
  EXPECT_TRUE(c.IsChecked(ids::kManualFormat));
  EXPECT_TRUE(Frame().Action(ids::kManualFormat)->isChecked());
  EXPECT_FALSE(Frame().Action(ids::kAutomaticFormat)->isChecked());
  Frame().OnCommand(ids::kAutomaticFormat);
  EXPECT_TRUE(Frame().Action(ids::kAutomaticFormat)->isChecked());
  EXPECT_FALSE(Frame().Action(ids::kManualFormat)->isChecked());
}

TEST_F(WindowFaultsTest, StatusPanesShowWhatBelongsToTheActiveWindow) {
  CTessaryDoc* text = OpenText(kLoveText, m_dir.filePath("love.txt"));
  // A hover prompt on the search button ends when the command starts.
  QStatusTipEvent hover(Frame().Action(ids::kConcordanceSearch)->statusTip());
  QApplication::sendEvent(&Frame(), &hover);
  Search("love");
  EXPECT_TRUE(Frame().statusBar()->currentMessage().isEmpty());
  CTessaryView* first = NewestView();
  EXPECT_EQ(Frame().PaneText(1), "love");
  EXPECT_EQ(Frame().PaneText(2), "2");

  Frame().ActivateView(text->FirstView());
  EXPECT_EQ(Frame().PaneText(1).trimmed(), "");
  EXPECT_EQ(Frame().PaneText(2).trimmed(), "");

  Frame().ActivateView(text->FirstView());
  Search("key");
  EXPECT_EQ(Frame().PaneText(1), "key");
  EXPECT_EQ(Frame().PaneText(2), "1");
  Frame().ActivateView(first);
  EXPECT_EQ(Frame().PaneText(1), "love");
  EXPECT_EQ(Frame().PaneText(2), "2");
}

TEST_F(WindowFaultsTest, CancellingTheDirectoryFileDialogCreatesNothing) {
  m_pApp->m_settings.m_bDirectory = true;
  const std::size_t open = m_pApp->Documents().size();
  m_pPrompt->OnDialogOf<CCodeSetDialog>([](CCodeSetDialog&) { return true; });
  m_pPrompt->OnDialogOf<CConcordanceSelectionDialog>([](CConcordanceSelectionDialog& d) {
    d.m_strSearch = "love";
    d.m_bDirectory = true;
    return true;
  });
  m_pPrompt->OnFiles({});
  m_pApp->Concordance().OnCommand(ids::kConcordanceSearch);
  WaitForRun();
  EXPECT_EQ(m_pApp->Documents().size(), open);
  for (CTessaryDoc* doc : m_pApp->Documents()) EXPECT_FALSE(doc->IsModified()) << doc->Title().toStdString();
}

TEST_F(WindowFaultsTest, ClosingAWindowActivatesTheOneUsedLast) {
  CTessaryDoc* a = OpenText("a");
  CTessaryDoc* b = OpenText("b");
  CTessaryDoc* c = OpenText("c");
  Frame().ActivateView(a->FirstView());
  Frame().ActivateView(c->FirstView());
  c->SetModified(false);
  Frame().CloseView(c->FirstView());
  QCoreApplication::processEvents();
  EXPECT_EQ(Frame().ActiveView(), a->FirstView());
  EXPECT_NE(Frame().ActiveView(), b->FirstView());
}

TEST_F(WindowFaultsTest, InsertBulletTogglesABulletInRichAndPlainWindows) {
  CTessaryDoc* rich = OpenText("first line\nsecond line");
  Frame().ActivateView(rich->FirstView());
  ASSERT_TRUE(Frame().CommandEnabled(ids::kInsertBullet));
  Frame().Action(ids::kInsertBullet)->trigger();
  EXPECT_TRUE(rich->FirstView()->HasBullet());
  EXPECT_TRUE(Frame().CommandChecked(ids::kInsertBullet));
  Frame().Action(ids::kInsertBullet)->trigger();
  EXPECT_FALSE(rich->FirstView()->HasBullet());

  CTessaryDoc* plain = m_pApp->NewListDocument();
  plain->Document()->setPlainText("one\ntwo");
  Frame().ActivateView(plain->FirstView());
  plain->FirstView()->SetTextCursor(QTextCursor(plain->Document()));
  Frame().Action(ids::kInsertBullet)->trigger();
  EXPECT_TRUE(plain->FirstView()->HasBullet());
  EXPECT_TRUE(plain->PlainText().startsWith(QString::fromUtf8("\u2022 one")));
  Frame().Action(ids::kInsertBullet)->trigger();
  EXPECT_EQ(plain->PlainText().left(3), "one");
}

}  // namespace
}  // namespace tessary::test
