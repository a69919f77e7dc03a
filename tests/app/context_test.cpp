// The right mouse button on a list line: the source opens with the line's keyword
// selected, whatever the source's coding, line ends or window; the list window's own
// menu and the Concordance menu hold the sort commands, which say what they do.
#include <QAbstractScrollArea>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextCursor>

#include "app/command_ids.h"
#include "app/concordance_fixture.h"
#include "app/context_lookup.h"

namespace tessary::test {
namespace {

class ContextTest : public ProgramTest {
 protected:
  QString WriteFile(const QString& name, const QByteArray& bytes) {
    QFile file(m_dir.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return m_dir.filePath(name);
  }

  // A search of the files for key, its lines unsorted and unnumbered unless said.
  CTessaryView* SearchFiles(const QStringList& files, const QString& key, bool unicode = false,
                            const QString& sort = "Unsorted") {
    m_pPrompt->OnDialogOf<CCodeSetDialog>([unicode](CCodeSetDialog& d) {
      d.m_bUnicode = unicode;
      return true;
    });
    m_pPrompt->OnDialogOf<CConcordanceSelectionDialog>([=](CConcordanceSelectionDialog& d) {
      d.m_strSearch = key;
      d.m_bDirectory = true;
      d.m_strSortMode = sort;
      d.m_strLineNumbers = "No";
      return true;
    });
    CFileDialogResult chosen;
    chosen.m_bOk = true;
    chosen.m_arrFiles = files;
    m_pPrompt->OnFiles(chosen);
    m_pApp->Concordance().OnCommand(ids::kConcordanceSearch);
    WaitForRun();
    return NewestView();
  }

  static void PutCaretOnLine(CTessaryView* view, int line) {
    view->SetTextCursor(QTextCursor(view->Document()->findBlockByNumber(line)));
  }

  // A right-button click on the first line of the window, as a user makes it.
  static void RightClick(CTessaryView* view) {
    QWidget* viewport = view->Editor()->viewport();
    const QPointF at(5, 5);
    QMouseEvent press(QEvent::MouseButtonPress, at, viewport->mapToGlobal(at), Qt::RightButton, Qt::RightButton,
                      Qt::NoModifier);
    QApplication::sendEvent(viewport, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, viewport->mapToGlobal(at), Qt::RightButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(viewport, &release);
  }

  // The context of line: the window it opened and the text selected there.
  std::pair<CTessaryView*, QString> ContextOf(CTessaryView* list, int line) {
    PutCaretOnLine(list, line);
    RightClick(list);
    CTessaryView* active = m_pApp->MainFrame()->ActiveView();
    return {active, active->TextCursor().selectedText()};
  }

  QString PathOf(const CTessaryView* view) const { return view->GetDocument()->PathName(); }
};

QByteArray Utf16(const QString& text, bool bigEndian) {
  QByteArray bytes = bigEndian ? QByteArray("\xFE\xFF") : QByteArray("\xFF\xFE");
  for (QChar c : text) {
    const char hi = static_cast<char>(c.unicode() >> 8), lo = static_cast<char>(c.unicode() & 0xFF);
    bytes += bigEndian ? QByteArray{1, hi} + QByteArray{1, lo} : QByteArray{1, lo} + QByteArray{1, hi};
  }
  return bytes;
}

TEST_F(ContextTest, TheKeywordIsSelectedInEveryKindOfSourceFile) {
  const QString text = QString::fromUtf8("Caf\u00E9 cr\u00E8me\r\nThe \u00E9t\u00E9 CAT sat.\r\n\u20AC cat");
  struct Case {
    const char* name;
    QByteArray bytes;
    bool unicode;
  };
  const Case cases[] = {
      {"w1252.txt", "Caf\xE9 cr\xE8me\r\nThe \xE9t\xE9 CAT sat.\r\n\x80 cat", false},
      {"utf8.txt", text.toUtf8(), false},
      {"mark8.txt", "\xEF\xBB\xBF" + text.toUtf8(), false},
      {"utf8-wide.txt", text.toUtf8(), true},
      {"utf16le.txt", Utf16(text, false), true},
      {"utf16be.txt", Utf16(text, true), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QString path = WriteFile(c.name, c.bytes);
    CTessaryView* list = SearchFiles({path}, "cat", c.unicode);
    ASSERT_EQ(list->LineCount(), 2);
    for (int line = 0; line < 2; ++line) {
      const auto [source, selected] = ContextOf(list, line);
      EXPECT_EQ(PathOf(source), path);
      EXPECT_EQ(selected, line == 0 ? "CAT" : "cat");
    }
  }
}

TEST_F(ContextTest, AByteSearchOfOpenDocumentsCountsCodePageBytes) {
  // A character beyond the code page is one byte there, two units in the editor.
  CTessaryDoc* doc = OpenText(QString::fromUtf8("\U0001F408 caf\u00E9, the cat sat"), m_dir.filePath("open.txt"));
  Search("cat", "Unsorted", false);
  const auto [source, selected] = ContextOf(NewestView(), 0);
  EXPECT_EQ(source->GetDocument(), doc);
  EXPECT_EQ(selected, "cat");
  EXPECT_EQ(source->TextCursor().selectionStart(), 13);
}

TEST_F(ContextTest, ASortedListAndASecondViewOpenTheLineShown) {
  const QString path = WriteFile("sorted.txt", "a cat b.\r\nthe cat ate. one cat zoo");
  CTessaryView* list = SearchFiles({path}, "cat", false, "Sort Right");
  ASSERT_TRUE(list->List()->m_bSorted);
  // Sorted by the word after the keyword: ate, b, zoo.
  const int starts[] = {13, 2, 26};
  for (int line = 0; line < 3; ++line) {
    const auto [source, selected] = ContextOf(list, line);
    EXPECT_EQ(selected, "cat");
    EXPECT_EQ(source->TextCursor().selectionStart(), starts[line]) << line;
  }
  CTessaryView* second = m_pApp->NewWindow(list->GetDocument());
  ASSERT_NE(second, list);
  const auto [source, selected] = ContextOf(second, 2);
  EXPECT_EQ(selected, "cat");
  EXPECT_EQ(source->TextCursor().selectionStart(), 26);
}

TEST_F(ContextTest, NothingOpensFromTheLastLineOrATestOfOpenDocuments) {
  OpenText("the cat sat", m_dir.filePath("t.txt"));
  Search("cat", "Unsorted");
  CTessaryView* list = NewestView();
  const std::size_t documents = m_pApp->Documents().size();
  PutCaretOnLine(list, 1);  // the empty line after the last line break
  RightClick(list);
  EXPECT_EQ(m_pApp->MainFrame()->ActiveView(), list);

  m_pApp->m_settings.m_bTestMode = true;
  Search("cat", "Unsorted");
  CTessaryView* test = NewestView();
  ASSERT_TRUE(test->List()->TestMode());
  m_pApp->MainFrame()->ActivateView(test);
  PutCaretOnLine(test, 0);
  RightClick(test);
  EXPECT_EQ(m_pApp->MainFrame()->ActiveView(), test);
  EXPECT_EQ(m_pApp->Documents().size(), documents + 1);
  EXPECT_FALSE(m_pApp->ContextLookup().Pending());
}

TEST_F(ContextTest, ATestMadeFromFilesOpensItsContext) {
  const QString path = WriteFile("test.txt", "one cat here");
  m_pApp->m_settings.m_bTestMode = true;
  CTessaryView* test = SearchFiles({path}, "cat");
  ASSERT_TRUE(test->List()->TestMode());
  const auto [source, selected] = ContextOf(test, 0);
  EXPECT_EQ(PathOf(source), path);
  EXPECT_EQ(selected, "cat");
}

TEST_F(ContextTest, AnEditedDocumentSelectsNothingAndSaysSo) {
  CTessaryDoc* doc = OpenText("the cat sat", m_dir.filePath("edited.txt"));
  Search("cat", "Unsorted");
  CTessaryView* list = NewestView();
  QTextCursor(doc->Document()).insertText("a big ");
  const auto [source, selected] = ContextOf(list, 0);
  EXPECT_EQ(source->GetDocument(), doc);
  EXPECT_TRUE(selected.isEmpty());
  EXPECT_TRUE(m_pApp->MainFrame()->PaneText(0).startsWith("edited.txt has changed since the search"))
      << m_pApp->MainFrame()->PaneText(0).toStdString();
}

TEST_F(ContextTest, AFileChangedSinceTheSearchSelectsNothing) {
  const QString path = WriteFile("changed.txt", "the cat sat");
  CTessaryView* list = SearchFiles({path}, "cat");
  WriteFile("changed.txt", "the dog sat");
  const auto [source, selected] = ContextOf(list, 0);
  EXPECT_EQ(PathOf(source), path);
  EXPECT_TRUE(selected.isEmpty());
}

TEST_F(ContextTest, AMissingSourceIsReportedAndLeavesNoSelectionWaiting) {
  const QString path = WriteFile("gone.txt", "the cat sat");
  CTessaryView* list = SearchFiles({path}, "cat");
  QFile::remove(path);
  m_pPrompt->OnMessage(QMessageBox::Ok);
  PutCaretOnLine(list, 0);
  RightClick(list);
  EXPECT_EQ(m_pPrompt->m_arrMessages.back(), "Failed to open document.");
  EXPECT_FALSE(m_pApp->ContextLookup().Pending());
  // The next window to get the focus keeps its own selection.
  CTessaryDoc* other = OpenText("the cat sat", m_dir.filePath("other.txt"));
  m_pApp->ContextLookup().OnViewFocus(other->FirstView());
  EXPECT_TRUE(other->FirstView()->TextCursor().selectedText().isEmpty());
}

TEST_F(ContextTest, TheRightButtonLooksUpTheCaretsLineAndShowsNoEditorMenu) {
  const QString path = WriteFile("menu.txt", "a cat, the cat");
  CTessaryView* list = SearchFiles({path}, "cat");
  m_pApp->MainFrame()->ActivateView(list);
  // The click stands on the first line; the caret's second line is the one looked up.
  PutCaretOnLine(list, 1);
  RightClick(list);
  QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(5, 5));
  QApplication::sendEvent(list->Editor()->viewport(), &menuEvent);
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  EXPECT_EQ(list->TextCursor().blockNumber(), 1);
  EXPECT_EQ(m_pApp->MainFrame()->ActiveView()->TextCursor().selectionStart(), 11);
}

TEST_F(ContextTest, TheListMenuHoldsTheSortCommandsForAnUnsortedList) {
  OpenText("a cat, the cat", m_dir.filePath("m.txt"));
  Search("cat", "Unsorted");
  CTessaryView* unsorted = NewestView();
  Search("cat", "Sort Right");
  CTessaryView* sorted = NewestView();
  for (CTessaryView* list : {unsorted, sorted}) {
    m_pApp->MainFrame()->ActivateView(list);
    QKeyEvent menuKey(QEvent::KeyPress, Qt::Key_Menu, Qt::NoModifier);
    QApplication::sendEvent(list->Editor(), &menuKey);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    QStringList texts;
    for (QAction* action : menu->actions()) {
      if (action->isSeparator()) continue;
      texts << action->text();
      if (action->text().startsWith("Sort")) {
        EXPECT_EQ(action->isEnabled(), list == unsorted) << action->text().toStdString();
      }
    }
    EXPECT_EQ(texts, QStringList({"&Copy", "Select A&ll", "Show &Context", "Sort Right", "Sort Left", "Collocates",
                                  "Add Line Numbering", "Concordance String", "Save as HTML", "Save as TSV...",
                                  "Save as CSV...", "Save concordances in a new database",
                                  "Append to an existing database"}));
    menu->close();
    QApplication::processEvents();
  }
  // Shift+F10 opens it too, and so does the menu event the window system makes of the
  // menu key (not the editor's Undo/Cut/Copy/Paste menu).
  QKeyEvent shiftF10(QEvent::KeyPress, Qt::Key_F10, Qt::ShiftModifier);
  QApplication::sendEvent(sorted->Editor(), &shiftF10);
  ASSERT_NE(qobject_cast<QMenu*>(QApplication::activePopupWidget()), nullptr);
  QApplication::activePopupWidget()->close();
  QApplication::processEvents();
  QContextMenuEvent keyboard(QContextMenuEvent::Keyboard, QPoint(5, 5), QPoint(5, 5));
  QApplication::sendEvent(sorted->Editor(), &keyboard);
  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(menu->accessibleName(), "List window menu");
  menu->close();
  QApplication::processEvents();
}

TEST_F(ContextTest, ShowContextInTheListMenuLooksUpTheCaretsLine) {
  const QString path = WriteFile("k.txt", "a cat\nthe cat\n");
  CTessaryView* list = SearchFiles({path}, "cat");
  m_pApp->MainFrame()->ActivateView(list);
  PutCaretOnLine(list, 1);
  QKeyEvent menuKey(QEvent::KeyPress, Qt::Key_Menu, Qt::NoModifier);
  QApplication::sendEvent(list->Editor(), &menuKey);
  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  ASSERT_NE(menu, nullptr);
  QAction* context = nullptr;
  for (QAction* action : menu->actions())
    if (action->text() == "Show &Context") context = action;
  ASSERT_NE(context, nullptr);
  context->trigger();
  if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
  QApplication::processEvents();
  CTessaryView* active = m_pApp->MainFrame()->ActiveView();
  ASSERT_NE(active, list);
  EXPECT_EQ(PathOf(active), path);
  EXPECT_EQ(active->TextCursor().selectionStart(), 10);
  EXPECT_EQ(active->TextCursor().selectedText(), "cat");
}

TEST_F(ContextTest, TheConcordanceMenuHoldsTheSortCommands) {
  QMenu* concordance = nullptr;
  for (QMenu* menu : m_pApp->MainFrame()->menuBar()->findChildren<QMenu*>())
    if (menu->title() == "&Concordance") concordance = menu;
  ASSERT_NE(concordance, nullptr);
  EXPECT_TRUE(concordance->actions().contains(m_pApp->MainFrame()->Action(ids::kSortRight)));
  EXPECT_TRUE(concordance->actions().contains(m_pApp->MainFrame()->Action(ids::kSortLeft)));
  OpenText("a cat", m_dir.filePath("c.txt"));
  m_pApp->MainFrame()->UpdateCommandStates();
  EXPECT_FALSE(m_pApp->MainFrame()->Action(ids::kSortRight)->isEnabled());  // not a list
  Search("cat", "Unsorted");
  m_pApp->MainFrame()->UpdateCommandStates();
  EXPECT_TRUE(m_pApp->MainFrame()->Action(ids::kSortRight)->isEnabled());
  Search("cat", "Sort Left");
  m_pApp->MainFrame()->UpdateCommandStates();
  EXPECT_FALSE(m_pApp->MainFrame()->Action(ids::kSortLeft)->isEnabled());
}

TEST_F(ContextTest, OnlySortRightAnnouncesItsPreparingInTheStatusBar) {
  OpenText("a cat, the cat, one cat", m_dir.filePath("p.txt"));
  Search("cat", "Unsorted", false);
  CTessaryView* list = NewestView();
  QString status;
  m_pApp->Concordance().m_fnProgressShown = [&](QWidget* dialog) {
    if (dialog->windowTitle() == "Concordance Sort") status = m_pApp->MainFrame()->PaneText(0);
  };
  for (int id : {int(ids::kSortRight), int(ids::kSortLeft)}) {
    m_pApp->MainFrame()->ActivateView(list);
    m_pApp->MainFrame()->SetPaneText(0, "Ready");
    m_pPrompt->OnDialogOf<CCollocatePositionDialog>([](CCollocatePositionDialog& d) {
      EXPECT_EQ(d.m_strDistance, "1");
      return true;
    });
    m_pApp->Concordance().OnCommand(id);
    WaitForRun();
    EXPECT_EQ(status, id == ids::kSortRight ? "Preparing to sort 3 concordances for [cat]" : "Ready");
  }
}

}  // namespace
}  // namespace tessary::test
