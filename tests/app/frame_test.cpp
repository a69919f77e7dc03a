// The main frame: its menus, bars, status panes and windows, the routing of commands,
// the help window and the intro window.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolBar>
#include <functional>
#include <set>

#include "app/app_fixture.h"
#include "app/command_ids.h"
#include "app/help_window.h"
#include "app/intro_window.h"
#include "editor/editor_dialogs.h"

namespace tessary::test {

namespace {

QString Plain(QString text) { return text.remove('&'); }

QStringList VisibleMenus(const CMainFrame& frame) {
  QStringList titles;
  for (QAction* action : frame.menuBar()->actions())
    if (action->isVisible()) titles << Plain(action->text());
  return titles;
}

QMenu* VisibleMenu(const CMainFrame& frame, const QString& title) {
  for (QAction* action : frame.menuBar()->actions())
    if (action->isVisible() && Plain(action->text()) == title) return action->menu();
  return nullptr;
}

QStringList Items(const QMenu* menu) {
  QStringList items;
  for (QAction* action : menu->actions())
    if (!action->isSeparator() && action->isVisible()) items << Plain(action->text());
  return items;
}

// Every command id reachable from the visible menus, submenus included.
std::set<int> MenuIds(const CMainFrame& frame) {
  std::set<int> ids;
  std::function<void(const QMenu*)> walk = [&](const QMenu* menu) {
    for (QAction* action : menu->actions()) {
      if (action->menu()) walk(action->menu());
      else if (action->data().isValid()) ids.insert(action->data().toInt());
    }
  };
  for (QAction* action : frame.menuBar()->actions())
    if (action->isVisible()) walk(action->menu());
  return ids;
}

}  // namespace

TEST_F(AppTest, TheShortMenuStandsWhileNoDocumentWindowIsOpen) {
  CTessaryApp& app = Start();
  EXPECT_TRUE(Frame().ShowsFullMenu());
  EXPECT_EQ(VisibleMenus(Frame()), QStringList({"File", "Edit", "View", "Window", "Concordance", "Format", "Test",
                                                "Statistics", "Analysis", "Left Margins", "Internet", "Help",
                                                "Convert"}));
  app.OnFileClose();
  Flush();
  EXPECT_TRUE(app.Documents().empty());
  EXPECT_FALSE(Frame().ShowsFullMenu());
  EXPECT_EQ(VisibleMenus(Frame()), QStringList({"File", "View", "Help"}));
  EXPECT_EQ(Items(VisibleMenu(Frame(), "File")), QStringList({"New", "Open...", "Print Setup...", "Recent File", "Exit"}));
  EXPECT_EQ(Items(VisibleMenu(Frame(), "View")), QStringList({"Toolbar", "Status Bar"}));
  EXPECT_EQ(Items(VisibleMenu(Frame(), "Help")), QStringList({"About Tessary..."}));
  EXPECT_FALSE(Frame().Action(ids::kFileSave)->isEnabled());
  EXPECT_EQ(Frame().windowTitle(), "Tessary");

  app.AddRecentFile("/texts/a.txt");
  EXPECT_EQ(Items(VisibleMenu(Frame(), "File")), QStringList({"New", "Open...", "Print Setup...", "1 /texts/a.txt", "Exit"}));
  EXPECT_EQ(Frame().Action(ids::kFileMru1)->statusTip(), "Open this document");
}

TEST_F(AppTest, CommandsNotBuiltYetStayInTheMenusDisabled) {
  Start();
  Frame().UpdateCommandStates();
  const std::set<int> ids = MenuIds(Frame());
  for (int id : {ids::kCollocates, ids::kTestAnswer, ids::kEditPasteSpecial}) {
    EXPECT_TRUE(ids.count(id)) << id;
    EXPECT_FALSE(Frame().Action(id)->isEnabled()) << id;
  }
  for (int id : {ids::kConcordanceSearch, ids::kSetLineWidth, ids::kFileReference, ids::kWindowNew, ids::kFileSave,
                 ids::kUnicodeToAnsi, ids::kSaveAsUnicode, ids::kChooseCodePage, ids::kTestNew, ids::kShowBrowser,
                 ids::kWebConcordancer})
    EXPECT_TRUE(Frame().Action(id)->isEnabled()) << id;
  EXPECT_TRUE(ids.count(ids::kShowBigFileViewer) && Frame().Action(ids::kShowBigFileViewer)->isEnabled());
  EXPECT_EQ(Frame().Action(ids::kConcordanceSearch)->statusTip(), "Search for concordances (F5)");
  EXPECT_EQ(Frame().Action(ids::kConcordanceSearch)->toolTip(), "Concordancer");
}

TEST_F(AppTest, ALongOperationDisablesTheCommandsThatWouldStartAnother) {
  CTessaryApp& app = Start();
  app.BeginBusy();
  for (int id : {ids::kConcordanceSearch, ids::kSetLineWidth, ids::kSortRight})
    EXPECT_FALSE(Frame().Action(id)->isEnabled()) << id;
  EXPECT_TRUE(Frame().Action(ids::kFileNew)->isEnabled());
  EXPECT_TRUE(Frame().Action(ids::kEditSelectAll)->isEnabled());
  app.EndBusy();
  EXPECT_TRUE(Frame().Action(ids::kConcordanceSearch)->isEnabled());
}

TEST_F(AppTest, ConcordanceCommandsGoToTheControllerAndShowItsCheckMarks) {
  CTessaryApp& app = Start();
  QAction* reference = Frame().Action(ids::kFileReference);
  EXPECT_FALSE(reference->isChecked());
  reference->trigger();
  EXPECT_TRUE(app.m_settings.m_bFileReference);
  EXPECT_TRUE(reference->isChecked());
  Frame().Action(ids::kManualFormat)->trigger();
  EXPECT_FALSE(app.m_settings.m_bAutoFormat);
  EXPECT_FALSE(Frame().Action(ids::kAutomaticFormat)->isChecked());
}

TEST_F(AppTest, BarTogglesShowAndHideTheirBarWithACheckMark) {
  Start();
  struct Toggle {
    int m_nId;
    QWidget* m_pBar;
  };
  for (const Toggle& t : {Toggle{ids::kViewToolbar, Frame().ToolBar()}, Toggle{ids::kViewStatusBar, Frame().statusBar()},
                          Toggle{ids::kViewFormatBar, Frame().FormatToolBar()}}) {
    QAction* action = Frame().Action(t.m_nId);
    EXPECT_TRUE(action->isChecked()) << t.m_nId;
    action->trigger();
    EXPECT_FALSE(t.m_pBar->isVisibleTo(&Frame())) << t.m_nId;
    EXPECT_FALSE(action->isChecked()) << t.m_nId;
    action->trigger();
    EXPECT_TRUE(t.m_pBar->isVisibleTo(&Frame())) << t.m_nId;
    EXPECT_TRUE(action->isChecked()) << t.m_nId;
  }
}

TEST_F(AppTest, BarsFollowTheKindOfTheActiveDocument) {
  CTessaryApp& app = Start();
  CTessaryDoc* rich = app.Documents().front();
  QToolBar* format = Frame().FormatToolBar();
  ASSERT_TRUE(format->isVisibleTo(&Frame()));

  // A plain-text file hides the format bar; a new document brings the rich-text bars back.
  CTessaryDoc* plain = app.OpenDocumentFile(Write("plain.txt", "just text\n"));
  ASSERT_NE(plain, nullptr);
  EXPECT_FALSE(format->isVisibleTo(&Frame()));
  m_pPrompt->OnDialogOf<CNewTypeModel>([](CNewTypeModel&) { return true; });
  app.OnFileNew();
  EXPECT_TRUE(format->isVisibleTo(&Frame()));

  // Bars are kept per kind as they were last left.
  Frame().ToolBar()->hide();
  Frame().ActivateView(plain->FirstView());
  EXPECT_TRUE(Frame().ToolBar()->isVisibleTo(&Frame()));
  EXPECT_FALSE(format->isVisibleTo(&Frame()));
  Frame().ActivateView(rich->FirstView());
  EXPECT_FALSE(Frame().ToolBar()->isVisibleTo(&Frame()));
  EXPECT_TRUE(format->isVisibleTo(&Frame()));
}

TEST_F(AppTest, StatusPromptsCoverPaneZeroOnlyWhileShown) {
  Start();
  ASSERT_EQ(Frame().PaneText(0), "Ready");
  const QList<QLabel*> panes = Frame().statusBar()->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
  ASSERT_EQ(panes.size(), 3);
  EXPECT_EQ(panes[1]->width(), 80);
  EXPECT_EQ(panes[2]->width(), 35);
  QStatusTipEvent hover(Frame().Action(ids::kFileOpen)->statusTip());
  QApplication::sendEvent(&Frame(), &hover);
  EXPECT_EQ(Frame().statusBar()->currentMessage(), "Open an existing document");
  QStatusTipEvent leave{QString()};
  QApplication::sendEvent(&Frame(), &leave);
  EXPECT_TRUE(Frame().statusBar()->currentMessage().isEmpty());
  EXPECT_EQ(Frame().PaneText(0), "Ready");
}

TEST_F(AppTest, NewWindowShowsTheActiveDocumentTwice) {
  CTessaryApp& app = Start();
  CTessaryDoc* doc = app.Documents().front();
  Frame().Action(ids::kWindowNew)->trigger();
  ASSERT_EQ(doc->Views().size(), 2u);
  EXPECT_EQ(app.Documents().size(), 1u);
  EXPECT_EQ(Frame().MdiArea()->subWindowList().size(), 2);
  EXPECT_EQ(doc->Views()[0]->Document(), doc->Views()[1]->Document());
  EXPECT_EQ(Frame().SubWindowOf(doc->Views()[0])->windowTitle(), "Tessary1:1");
  EXPECT_EQ(Frame().windowTitle(), "Tessary - [Tessary1:2]");
  doc->Document()->setModified(true);
  EXPECT_EQ(Frame().SubWindowOf(doc->Views()[0])->windowTitle(), "Tessary1:1*");

  // Closing one window keeps the document; closing the last asks to save it.
  Frame().CloseView(doc->Views()[1]);
  Flush();
  ASSERT_EQ(doc->Views().size(), 1u);
  EXPECT_EQ(Frame().SubWindowOf(doc->Views()[0])->windowTitle(), "Tessary1*");
  m_pPrompt->OnMessage(QMessageBox::Cancel);
  Frame().CloseView(doc->Views()[0]);
  Flush();
  EXPECT_EQ(app.Documents().size(), 1u);
  m_pPrompt->OnMessage(QMessageBox::No);
  Frame().CloseView(doc->Views()[0]);
  Flush();
  EXPECT_TRUE(app.Documents().empty());
  EXPECT_TRUE(Frame().MdiArea()->subWindowList().isEmpty());
}

TEST_F(AppTest, WindowsCloseDuringALongOperationButTheOneBeingFilledWaits) {
  CTessaryApp& app = Start();
  CTessaryDoc* idle = app.Documents().front();
  CTessaryDoc* filling = app.NewListDocument();
  app.BeginBusy();
  filling->m_bBusy = true;
  Frame().CloseView(idle->FirstView());
  Flush();
  ASSERT_EQ(app.Documents().size(), 1u);
  Frame().CloseView(filling->FirstView());
  Flush();
  EXPECT_EQ(app.Documents().size(), 1u);
  EXPECT_FALSE(app.QueryExit());
  filling->m_bBusy = false;
  app.EndBusy();
  Flush();
  EXPECT_TRUE(app.Documents().empty());
}

TEST_F(AppTest, EditCommandsActOnTheActiveView) {
  CTessaryApp& app = Start();
  CTessaryView* view = app.Documents().front()->FirstView();
  Frame().UpdateCommandStates();
  EXPECT_FALSE(Frame().Action(ids::kEditCopy)->isEnabled());
  EXPECT_FALSE(Frame().Action(ids::kEditUndo)->isEnabled());
  QTextCursor cursor = view->TextCursor();
  cursor.insertText("alpha beta");
  view->SetTextCursor(cursor);
  Frame().UpdateCommandStates();
  EXPECT_TRUE(Frame().Action(ids::kEditUndo)->isEnabled());
  Frame().Action(ids::kEditSelectAll)->trigger();
  EXPECT_EQ(view->TextCursor().selectedText(), "alpha beta");
  EXPECT_TRUE(Frame().Action(ids::kEditCut)->isEnabled());
  Frame().Action(ids::kEditCut)->trigger();
  EXPECT_TRUE(view->Document()->toPlainText().isEmpty());
  Frame().Action(ids::kEditPaste)->trigger();
  EXPECT_EQ(view->Document()->toPlainText(), "alpha beta");
  Frame().Action(ids::kWrapToWindow)->trigger();
  EXPECT_TRUE(view->WordWrap());
  EXPECT_TRUE(Frame().Action(ids::kWrapToWindow)->isChecked());
  EXPECT_FALSE(Frame().Action(ids::kWrapNone)->isChecked());
}

TEST_F(AppTest, HelpOpensAtTheContentsAndEveryLinkLeadsToAPage) {
  Start();
  Frame().Action(ids::kHelp)->trigger();
  CHelpWindow* help = Frame().HelpWindow();
  ASSERT_NE(help, nullptr);
  EXPECT_EQ(help->Browser()->source(), QUrl("qrc:/help/index.html"));
  EXPECT_EQ(help->Browser()->documentTitle(), "Contents");
  EXPECT_TRUE(help->Browser()->toPlainText().contains("Concordance search"));

  const QRegularExpression link("href=\"([^\"#:]+)");
  int pages = 0;
  for (QDirIterator it(":/help", {"*.html"}); it.hasNext(); ++pages) {
    QFile page(it.next());
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(page.readAll());
    EXPECT_TRUE(html.contains("<title>")) << page.fileName().toStdString();
    for (auto match = link.globalMatch(html); match.hasNext();) {
      const QString target = match.next().captured(1);
      EXPECT_TRUE(QFile::exists(":/help/" + target)) << page.fileName().toStdString() << " -> " << target.toStdString();
    }
  }
  EXPECT_GE(pages, 5);
}

TEST_F(AppTest, TheIntroWindowGoesAtTheFirstKeyAndTheKeyStillArrives) {
  Start();
  QPointer<CIntroWindow> intro = new CIntroWindow(&Frame());
  intro->ShowOver(&Frame());
  EXPECT_TRUE(intro->isVisible());
  QLineEdit edit;
  QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
  QApplication::sendEvent(&edit, &key);
  Flush();
  EXPECT_TRUE(intro.isNull());
  EXPECT_EQ(edit.text(), "a");
}

}  // namespace tessary::test

namespace tessary::test {
namespace {

TEST_F(AppTest, StatusPanesGrowToShowWholeCounts) {
  Start();
  Frame().SetPaneText(1, "lord");
  Frame().SetPaneText(2, "3195950");
  int checked = 0;
  for (QLabel* label : Frame().statusBar()->findChildren<QLabel*>()) {
    if (label->text() != "3195950" && label->text() != "lord") continue;
    ++checked;
    EXPECT_GE(label->minimumWidth(), label->fontMetrics().horizontalAdvance(label->text()));
  }
  EXPECT_EQ(checked, 2);
}

}  // namespace
}  // namespace tessary::test
