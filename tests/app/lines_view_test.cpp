// A long unformatted list window is shown from its lines, not from a text document:
// moving and selecting, copy and find, the first edit turning it into an editor, save,
// sort, the context look-up and a second window all read the lines.
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <tuple>
#include <vector>

#include "app/command_ids.h"
#include "app/concordance_fixture.h"
#include "editor/editor_dialogs.h"
#include "editor/list_lines.h"
#include "editor/list_lines_view.h"
#include "richtext/file_type.h"

namespace tessary::test {
namespace {

using CPos = CListLinesView::CPos;

constexpr int kLines = 12000;  // past the size that is formatted, so never put in a text

class LinesViewTest : public ProgramTest {
 protected:
  // A list of kLines lines, "a cat <n>." each, searched from an open document.
  CTessaryView* LongList(const QString& sortMode = "Unsorted") {
    QString text;
    for (int i = 0; i < kLines; ++i) text += QStringLiteral("a cat %1.\n").arg(i);
    OpenText(text, m_dir.filePath("cats.txt"))->SetModified(false);
    Search("cat", sortMode);
    return NewestView();
  }
  static void Key(QWidget* widget, int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(widget, &press);
  }
  QByteArray Saved(CTessaryDoc* doc, const QString& name, int nType) {
    const QString path = m_dir.filePath(name);
    EXPECT_TRUE(doc->OnSaveDocument(path, nType));
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
};

TEST_F(LinesViewTest, ALongListIsShownFromItsLinesAndFilledOnDemand) {
  CTessaryView* view = LongList();
  CTessaryDoc* doc = view->GetDocument();
  ASSERT_NE(doc->Lines(), nullptr);
  ASSERT_NE(view->LinesView(), nullptr);
  EXPECT_EQ(view->Editor(), view->LinesView());
  EXPECT_TRUE(doc->Document()->isEmpty());
  EXPECT_EQ(view->LineCount(), kLines);
  EXPECT_EQ(view->Editor()->accessibleName(), "Concordance list " + doc->Title());
  EXPECT_FALSE(doc->IsModified());
  const QString lines = doc->PlainText();
  EXPECT_EQ(lines.count('\n'), kLines);
  EXPECT_TRUE(lines.section('\n', 7, 7).contains("a cat 7."));

  doc->EnsureText();
  EXPECT_EQ(doc->Lines(), nullptr);
  EXPECT_EQ(view->LinesView(), nullptr);
  EXPECT_EQ(view->Editor(), view->PlainEdit());
  EXPECT_EQ(TextOf(view), lines);
  EXPECT_EQ(view->LineCount(), kLines);
  EXPECT_FALSE(doc->IsModified());
  EXPECT_FALSE(doc->Document()->isUndoAvailable());
}

TEST_F(LinesViewTest, AUnicodeListIsShownFromItsLinesAndItsMenuKeyOpensTheListMenu) {
  QString text;
  for (int i = 0; i < kLines; ++i) text += QStringLiteral("\u00e9t\u00e9 cat %1.\n").arg(i);
  OpenText(text, m_dir.filePath("wide.txt"))->SetModified(false);
  Search("cat", "Unsorted", true, 0, true);
  CTessaryView* view = NewestView();
  ASSERT_TRUE(view->List() && view->List()->Unicode());
  ASSERT_NE(view->LinesView(), nullptr);
  const QString lines = view->GetDocument()->PlainText();
  EXPECT_EQ(lines.count('\n'), kLines);
  EXPECT_TRUE(lines.section('\n', 9, 9).contains(QStringLiteral("\u00e9t\u00e9 cat 9.")));

  m_pApp->MainFrame()->ActivateView(view);
  view->SelectAll();
  QKeyEvent menuKey(QEvent::KeyPress, Qt::Key_Menu, Qt::NoModifier);
  QApplication::sendEvent(view->Editor(), &menuKey);
  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(menu->accessibleName(), "List window menu");
  ASSERT_EQ(menu->actions().value(0)->text(), "&Copy");
  EXPECT_TRUE(menu->actions().value(0)->isEnabled());
  menu->close();
  QApplication::processEvents();
  EXPECT_NE(view->GetDocument()->Lines(), nullptr);
}

TEST_F(LinesViewTest, KeysMoveTheCaretAndShiftSelectsAsTheEditorDoes) {
  QString text;
  for (int i = 0; i < kLines; ++i) text += QStringLiteral("line %1 of the list\n").arg(i);
  CListLinesView view;
  CListLinesView* lines = &view;
  view.SetLines(TextLines(text));
  view.resize(600, 400);
  view.show();
  Key(lines, Qt::Key_Down);
  Key(lines, Qt::Key_Down);
  Key(lines, Qt::Key_End);
  const qsizetype length = lines->Lines().Line(2).size();
  EXPECT_EQ(lines->Caret(), (CPos{2, length}));
  Key(lines, Qt::Key_Right);  // over the line break
  EXPECT_EQ(lines->Caret(), (CPos{3, 0}));
  Key(lines, Qt::Key_Left);
  EXPECT_EQ(lines->Caret(), (CPos{2, length}));
  Key(lines, Qt::Key_Home);
  Key(lines, Qt::Key_Right, Qt::ShiftModifier);
  Key(lines, Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_EQ(lines->Anchor(), (CPos{2, 0}));
  EXPECT_EQ(lines->SelectedText(), lines->Lines().Line(2) + "\n" + lines->Lines().Line(3).left(1));
  Key(lines, Qt::Key_Home);
  EXPECT_FALSE(lines->HasSelection());

  const int page = lines->verticalScrollBar()->pageStep();
  EXPECT_GT(page, 1);
  Key(lines, Qt::Key_PageDown);
  EXPECT_EQ(lines->Caret().m_nLine, 3 + page);
  EXPECT_LE(lines->verticalScrollBar()->value(), lines->Caret().m_nLine);
  Key(lines, Qt::Key_PageUp);
  Key(lines, Qt::Key_PageUp);
  EXPECT_EQ(lines->Caret().m_nLine, 0);
  Key(lines, Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(lines->Caret(), (CPos{kLines, 0}));
  EXPECT_EQ(lines->verticalScrollBar()->value(), lines->verticalScrollBar()->maximum());
  Key(lines, Qt::Key_Down);  // nothing past the end
  EXPECT_EQ(lines->Caret(), (CPos{kLines, 0}));
  Key(lines, Qt::Key_Home, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(lines->SelectedText(), text);

  // A click puts the caret in the line under it; shift-click extends.
  lines->SetCaret(CPos{});
  const QRect caret = lines->CaretRect();
  QMouseEvent click(QEvent::MouseButtonPress, QPointF(caret.left(), caret.center().y() + caret.height()),
                    QPointF(), Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier);
  QApplication::sendEvent(lines->viewport(), &click);
  EXPECT_EQ(lines->Anchor(), (CPos{0, 0}));
  EXPECT_EQ(lines->Caret(), (CPos{1, 0}));
}

TEST_F(LinesViewTest, CopySelectAllAndFindReadTheLines) {
  CTessaryView* view = LongList();
  CTessaryDoc* doc = view->GetDocument();
  m_pApp->MainFrame()->ActivateView(view);
  EXPECT_FALSE(m_pApp->MainFrame()->CommandEnabled(ids::kEditCopy));
  m_pApp->MainFrame()->OnCommand(ids::kEditSelectAll);
  EXPECT_TRUE(m_pApp->MainFrame()->CommandEnabled(ids::kEditCopy));
  m_pApp->MainFrame()->OnCommand(ids::kEditCopy);
  EXPECT_EQ(QApplication::clipboard()->text(), doc->PlainText());
  Key(view->LinesView(), Qt::Key_Home, Qt::ControlModifier);
  Key(view->LinesView(), Qt::Key_End, Qt::ShiftModifier);
  Key(view->LinesView(), Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), doc->Lines()->Line(0));

  Key(view->LinesView(), Qt::Key_Z, Qt::ControlModifier);  // nothing to undo yet
  EXPECT_NE(doc->Lines(), nullptr) << "copying or undo put the lines into the text";

  // Each find lands where the editor's own find lands from the same place.
  const auto finds = [view](CPos start) {
    std::vector<std::pair<qsizetype, QString>> found;
    CFindState find;
    for (const auto& [what, matchCase, wholeWord] : {std::tuple{"CAT 11999.", false, false},
                                                     std::tuple{"CAT 11999.", true, false},
                                                     std::tuple{"cat 1", false, true},
                                                     std::tuple{"cat 1", false, true},
                                                     std::tuple{"cat 119", false, false},
                                                     std::tuple{"Cat 9000.", false, true}}) {
      find.m_strFind = what;
      find.m_bMatchCase = matchCase;
      find.m_bWholeWord = wholeWord;
      if (CListLinesView* lines = view->LinesView())
        lines->SetCaret(start);
      else
        view->SetTextCursor(
            QTextCursor(view->Document()->findBlockByNumber(static_cast<int>(start.m_nLine))));
      const bool ok = FindNext(*view, find);
      found.emplace_back(ok ? view->CaretLine() : -1, ok ? view->SelectedText() : QString());
    }
    return found;
  };
  const auto lazy = finds(CPos{11000, 0});
  EXPECT_NE(doc->Lines(), nullptr) << "finding put the lines into the text";
  EXPECT_EQ(lazy[1].first, -1);
  EXPECT_EQ(lazy[4].second, "cat 119");
  EXPECT_GT(lazy[5].first, 8000);  // past the first pieces read after the wrap
  doc->EnsureText();
  EXPECT_EQ(finds(CPos{11000, 0}), lazy);
}

TEST_F(LinesViewTest, TheFirstEditMakesAnEditorAtTheCaretAndCanBeUndone) {
  CTessaryView* view = LongList();
  CTessaryDoc* doc = view->GetDocument();
  CTessaryView* second = m_pApp->NewWindow(doc);
  ASSERT_NE(second->LinesView(), nullptr);
  EXPECT_EQ(second->LineCount(), kLines);
  const QString before = doc->PlainText();
  CListLinesView* lines = view->LinesView();
  lines->SetCaret(CPos{5, 3});
  lines->setFocus();
  Key(lines, Qt::Key_X, Qt::NoModifier, "X");
  EXPECT_EQ(doc->Lines(), nullptr);
  EXPECT_EQ(view->LinesView(), nullptr);
  EXPECT_EQ(second->LinesView(), nullptr) << "the second window still shows the lines";
  EXPECT_EQ(second->Editor(), second->PlainEdit());
  QString edited = before;
  const qsizetype at = before.section('\n', 0, 4).size() + 1 + 3;
  edited.insert(at, 'X');
  EXPECT_EQ(TextOf(view), edited);
  EXPECT_EQ(view->TextCursor().position(), at + 1);
  EXPECT_TRUE(doc->IsModified());
  m_pApp->MainFrame()->ActivateView(view);
  ASSERT_TRUE(m_pApp->MainFrame()->CommandEnabled(ids::kEditUndo));
  m_pApp->MainFrame()->OnCommand(ids::kEditUndo);
  EXPECT_EQ(TextOf(view), before);
  EXPECT_FALSE(doc->Document()->isUndoAvailable());
}

TEST_F(LinesViewTest, CommandsThatChangeTheTextFillItFirst) {
  QString text;
  for (int i = 0; i < kLines; ++i) text += QStringLiteral("a cat %1.\n").arg(i);
  OpenText(text, m_dir.filePath("cats.txt"))->SetModified(false);
  Search("cat", "Unsorted", false);
  CTessaryView* numbered = NewestView();
  const QString before = numbered->GetDocument()->PlainText();
  m_pApp->MainFrame()->ActivateView(numbered);
  m_pApp->Concordance().OnCommand(ids::kAddLineNumbering);
  WaitForRun();
  ASSERT_EQ(numbered->GetDocument()->Lines(), nullptr);
  EXPECT_EQ(numbered->Editor(), numbered->PlainEdit());
  EXPECT_EQ(TextOf(numbered).section('\n', 1, 1), "2      " + before.section('\n', 1, 1));

  Search("cat", "Unsorted");
  CTessaryView* formatted = NewestView();
  m_pApp->MainFrame()->ActivateView(formatted);
  m_pApp->Concordance().OnCommand(ids::kConcordanceString);
  WaitForRun();
  EXPECT_EQ(formatted->GetDocument()->Lines(), nullptr);
  EXPECT_TRUE(formatted->GetDocument()->m_bFormatted);

  Search("cat", "Unsorted");
  CTessaryView* wrapped = NewestView();
  m_pApp->MainFrame()->ActivateView(wrapped);
  m_pApp->MainFrame()->OnCommand(ids::kWrapToWindow);
  EXPECT_EQ(wrapped->GetDocument()->Lines(), nullptr);
  EXPECT_TRUE(wrapped->WordWrap());
}

TEST_F(LinesViewTest, SavingTheLinesWritesWhatTheEditorWrites) {
  CTessaryView* view = LongList();
  CTessaryDoc* doc = view->GetDocument();
  const QByteArray text = Saved(doc, "lines.txt", kTypeText);
  const QByteArray rtf = Saved(doc, "lines.rtf", kTypeRtf);
  ASSERT_NE(doc->Lines(), nullptr);
  doc->EnsureText();
  EXPECT_EQ(Saved(doc, "text.txt", kTypeText), text);
  EXPECT_EQ(Saved(doc, "text.rtf", kTypeRtf), rtf);
  EXPECT_TRUE(text.startsWith(doc->PlainText().section('\n', 0, 0).toUtf8()));
}

TEST_F(LinesViewTest, ASortOfTheLinesEqualsTheSortOfTheText) {
  CTessaryView* lazy = LongList();
  m_pPrompt->OnDialogOf<CCollocatePositionDialog>([](CCollocatePositionDialog&) { return true; });
  m_pApp->MainFrame()->ActivateView(lazy);
  m_pApp->Concordance().OnCommand(ids::kSortRight);
  WaitForRun();
  CTessaryView* sortedLazy = NewestView();
  ASSERT_NE(sortedLazy, lazy);
  ASSERT_NE(sortedLazy->GetDocument()->Lines(), nullptr);
  EXPECT_TRUE(sortedLazy->List()->m_bSorted);

  lazy->GetDocument()->EnsureText();
  m_pPrompt->OnDialogOf<CCollocatePositionDialog>([](CCollocatePositionDialog&) { return true; });
  m_pApp->MainFrame()->ActivateView(lazy);
  m_pApp->Concordance().OnCommand(ids::kSortRight);
  WaitForRun();
  CTessaryView* sortedText = NewestView();
  ASSERT_NE(sortedText, sortedLazy);
  EXPECT_EQ(sortedText->GetDocument()->PlainText(), sortedLazy->GetDocument()->PlainText());
  EXPECT_NE(sortedText->GetDocument()->PlainText(), lazy->GetDocument()->PlainText());
  EXPECT_EQ(sortedLazy->LineCount(), kLines);
}

TEST_F(LinesViewTest, TheContextOfTheCaretsLineOpensFromTheLines) {
  QByteArray text;
  for (int i = 0; i < kLines; ++i) text += QStringLiteral("a cat %1.\n").arg(i).toUtf8();
  QFile file(m_dir.filePath("cats.txt"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(text);
  file.close();
  m_pPrompt->OnDialogOf<CCodeSetDialog>([](CCodeSetDialog&) { return true; });
  m_pPrompt->OnDialogOf<CConcordanceSelectionDialog>([](CConcordanceSelectionDialog& d) {
    d.m_strSearch = "cat";
    d.m_bDirectory = true;
    d.m_strSortMode = "Unsorted";
    return true;
  });
  CFileDialogResult chosen;
  chosen.m_bOk = true;
  chosen.m_arrFiles = {file.fileName()};
  m_pPrompt->OnFiles(chosen);
  m_pApp->Concordance().OnCommand(ids::kConcordanceSearch);
  WaitForRun();
  CTessaryView* list = NewestView();
  ASSERT_NE(list->LinesView(), nullptr);
  list->LinesView()->SetCaret(CPos{1234, 0});
  m_pApp->MainFrame()->ActivateView(list);
  QWidget* viewport = list->Editor()->viewport();
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), viewport->mapToGlobal(QPointF(5, 5)), Qt::RightButton,
                    Qt::RightButton, Qt::NoModifier);
  QApplication::sendEvent(viewport, &press);
  EXPECT_EQ(list->LinesView()->Caret(), (CPos{1234, 0})) << "the right button moved the caret";
  CTessaryView* active = m_pApp->MainFrame()->ActiveView();
  ASSERT_EQ(active->GetDocument()->PathName(), file.fileName());
  const int keyword = text.indexOf("cat 1234.");
  EXPECT_EQ(active->TextCursor().selectionStart(), keyword);
  EXPECT_EQ(active->TextCursor().selectedText(), "cat");
  EXPECT_NE(list->GetDocument()->Lines(), nullptr);
}

}  // namespace
}  // namespace tessary::test
