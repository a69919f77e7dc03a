// The program from a keyboard and a screen reader: every control named, radio groups
// entered at their choice, dialogs without minimise and maximise, answers checked while
// the dialog stays open, menu items read without their keys, a complete key table.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDirIterator>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSet>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "app/accessible_actions.h"
#include "app/all_dialogs.h"
#include "app/command_ids.h"
#include "app/command_table.h"
#include "app/concordance_fixture.h"
#include "app/help_window.h"
#include "app/progress_dialog.h"
#include "editor/editor_dialogs.h"
#include "editor/format_bar.h"
#include "ui/dialog_support.h"

namespace tessary::test {

namespace {

// The real dialogs, with messages recorded instead of shown.
class CObservedPrompt : public CWidgetPrompt {
 public:
  QMessageBox::StandardButton Message(const QString& text, const QString&, QMessageBox::Icon,
                                      QMessageBox::StandardButtons, QMessageBox::StandardButton) override {
    m_arrMessages << text;
    return QMessageBox::Ok;
  }
  QStringList m_arrMessages;
};

// Runs the model's real dialog; inspect sees it open, then it is cancelled unless
// inspect closed it.
bool ExecWith(IPrompt& prompt, CDialogModel& model, const std::function<void(QDialog&)>& inspect) {
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog) {
      ADD_FAILURE() << "no dialog was shown";
      return;
    }
    QApplication::processEvents();
    inspect(*dialog);
    if (dialog->isVisible()) dialog->reject();
  });
  return prompt.Exec(model);
}

QPushButton* OkOf(QDialog& dialog) { return dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok); }

QString SourceRoot() { return QStringLiteral(TESSARY_TEST_DATA "/../.."); }

// Keys of a table cell or a command, in one spelling: "Ctrl+X, Shift+Del".
QStringList KeysOf(const QStringList& texts) {
  QStringList keys;
  for (const QString& text : texts)
    keys << QKeySequence(text.trimmed(), QKeySequence::PortableText).toString(QKeySequence::PortableText);
  keys.sort();
  return keys;
}

class AccessTest : public ProgramTest {};

}  // namespace

TEST_F(AccessTest, EveryDialogNamesItsControlsOpensOnTheCheckedChoiceAndHasNoMinimiseOrMaximise) {
  CObservedPrompt prompt;
  QPrinter printer;
  for (const CDialogCase& entry : AllDialogs()) {
    if (!entry.m_fnMake) continue;
    SCOPED_TRACE((entry.m_strClass + " " + entry.m_strCase).toStdString());
    std::unique_ptr<CDialogModel> model = entry.m_fnMake(prompt, printer);
    bool shown = false;
    ExecWith(prompt, *model, [&](QDialog& dialog) {
      shown = true;
      const QStringList unnamed = UnnamedControls(dialog);
      EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join("\n").toStdString();
      const Qt::WindowFlags flags = dialog.windowFlags();
      EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
      EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
      EXPECT_TRUE(flags & Qt::CustomizeWindowHint);  // without it the window manager adds them
      for (QRadioButton* radio : dialog.findChildren<QRadioButton*>()) {
        // Tab reaches a group at its checked choice only.
        if (!radio->isChecked() && radio->group() && radio->group()->checkedButton()) {
          EXPECT_FALSE(radio->focusPolicy() & Qt::TabFocus) << radio->text().toStdString();
        }
      }
      if (auto* focused = qobject_cast<QRadioButton*>(QApplication::focusWidget())) {
        EXPECT_TRUE(focused->isChecked()) << focused->text().toStdString();
      }
      if (entry.m_strClass == "CCodeSetDialog") {
        auto* focused = qobject_cast<QRadioButton*>(QApplication::focusWidget());
        ASSERT_NE(focused, nullptr);
        EXPECT_EQ(focused->text(), entry.m_strCase.startsWith("ANSI") ? "ANSI" : "Unicode");
      }
    });
    EXPECT_TRUE(shown);
  }
}

TEST_F(AccessTest, EveryDialogModelOfTheSourcesIsWalked) {
  QSet<QString> listed;
  for (const CDialogCase& entry : AllDialogs()) listed << entry.m_strClass;
  const QRegularExpression declared(QStringLiteral("class\\s+(\\w+)\\s*(?:final\\s*)?:\\s*public\\s+CDialogModel\\b"));
  QStringList missing;
  int nFound = 0;
  for (QDirIterator it(SourceRoot() + "/src", {"*.h", "*.cpp"}, QDir::Files, QDirIterator::Subdirectories);
       it.hasNext();) {
    QFile file(it.next());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    for (auto match = declared.globalMatch(QString::fromUtf8(file.readAll())); match.hasNext();) {
      const QString name = match.next().captured(1);
      ++nFound;
      if (!listed.contains(name)) missing << name;
    }
  }
  EXPECT_GT(nFound, 10);
  EXPECT_TRUE(missing.isEmpty()) << "add to tests/app/all_dialogs.cpp: " << missing.join(", ").toStdString();
}

TEST_F(AccessTest, ABadAnswerKeepsTheDialogOpenWithTheTextSelected) {
  CObservedPrompt prompt;
  CLineWidthDialog width;
  width.m_strWidth = "35";
  const bool accepted = ExecWith(prompt, width, [&](QDialog& dialog) {
    auto* box = dialog.findChild<QComboBox*>("width");
    box->setEditText("0");
    OkOf(dialog)->click();
    ASSERT_EQ(prompt.m_arrMessages.size(), 1);
    EXPECT_TRUE(prompt.m_arrMessages[0].startsWith("The line width must be a number from"));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(box->lineEdit()->selectedText(), "0");
    box->setEditText(" 40 ");
    OkOf(dialog)->click();
    EXPECT_FALSE(dialog.isVisible());
  });
  EXPECT_TRUE(accepted);
  EXPECT_EQ(width.m_strWidth.trimmed(), "40");
  EXPECT_EQ(prompt.m_arrMessages.size(), 1);

  // "Other" margin: the typed width must be a number too.
  CLeftMarginDialog margin;
  margin.m_nMargin = 15;
  ExecWith(prompt, margin, [&](QDialog& dialog) {
    auto* other = dialog.findChild<QLineEdit*>("other");
    other->setText("wide");
    emit other->textEdited("wide");  // typing there chooses "Other"
    OkOf(dialog)->click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(other->selectedText(), "wide");
    EXPECT_EQ(prompt.m_arrMessages.size(), 2);
  });
  EXPECT_EQ(margin.m_nMargin, 15);
}

TEST_F(AccessTest, MenuItemsAreReadByTheirTextWithoutTheirKeys) {
  CMainFrame& frame = *m_pApp->MainFrame();
  int nItems = 0;
  for (QMenu* menu : frame.menuBar()->findChildren<QMenu*>()) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(menu);
    ASSERT_NE(iface, nullptr);
    for (int i = 0; i < iface->childCount(); ++i) {
      QAccessibleInterface* item = iface->child(i);
      auto* action = qobject_cast<QAction*>(item->object());
      if (!action || action->isSeparator() || !action->isVisible()) continue;
      ++nItems;
      const QString name = item->text(QAccessible::Name);
      SCOPED_TRACE(action->text().toStdString());
      EXPECT_FALSE(name.isEmpty());
      EXPECT_EQ(name, name.trimmed());
      EXPECT_TRUE(KeyNamedInText(name).isEmpty()) << name.toStdString();
      for (const QKeySequence& key : action->shortcuts())
        EXPECT_FALSE(name.contains(key.toString(QKeySequence::NativeText))) << name.toStdString();
    }
  }
  EXPECT_GT(nItems, 60);
  QAction* search = frame.Action(ids::kConcordanceSearch);
  QAccessibleInterface* item = QAccessible::queryAccessibleInterface(search);
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->text(QAccessible::Name), "Concordance search");
  EXPECT_EQ(item->text(QAccessible::Accelerator), "F5");
  EXPECT_EQ(item->role(), QAccessible::MenuItem);
  EXPECT_EQ(search->text(), "Concordance search (F5) ");  // what the menu shows stays
  EXPECT_EQ(qobject_cast<QToolButton*>(frame.ToolBar()->widgetForAction(search))->accessibleName(),
            "Concordance search");
}

TEST_F(AccessTest, BarsWindowsAndTextAreasNameTheirControls) {
  CMainFrame& frame = *m_pApp->MainFrame();
  for (QToolBar* bar : {frame.ToolBar(), frame.FormatToolBar()}) {
    const QStringList unnamed = UnnamedControls(*bar);
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join("\n").toStdString();
  }
  EXPECT_EQ(frame.FormatBar()->SizeBox()->accessibleName(), "Font Size");
  for (QToolButton* button : frame.FormatToolBar()->findChildren<QToolButton*>()) {
    if (button->defaultAction() == frame.FormatBar()->BoldAction()) {
      EXPECT_EQ(button->accessibleName(), "Bold");
    }
  }

  OpenText("a cat and a dog", m_dir.filePath("t.txt"));
  Search("cat");
  CTessaryView* list = NewestView();
  EXPECT_TRUE(list->Editor()->accessibleName().startsWith("Concordance list "))
      << list->Editor()->accessibleName().toStdString();
  m_pApp->MainFrame()->ActivateView(list);
  m_pApp->MainFrame()->OnCommand(ids::kWindowNew);  // a second window of the list reads the same
  EXPECT_EQ(m_pApp->MainFrame()->ActiveView()->Editor()->accessibleName(), list->Editor()->accessibleName());
  const QStringList unnamedInFrame = UnnamedControls(frame);
  EXPECT_TRUE(unnamedInFrame.isEmpty()) << unnamedInFrame.join("\n").toStdString();

  frame.ShowHelp();
  ASSERT_NE(frame.HelpWindow(), nullptr);
  EXPECT_TRUE(UnnamedControls(*frame.HelpWindow()).isEmpty())
      << UnnamedControls(*frame.HelpWindow()).join("\n").toStdString();
  frame.HelpWindow()->close();

  ShowFindDialog(list, true);
  auto* find = frame.findChild<CFindDialog*>();
  ASSERT_NE(find, nullptr);
  EXPECT_TRUE(UnnamedControls(*find).isEmpty()) << UnnamedControls(*find).join("\n").toStdString();
  EXPECT_FALSE(find->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(find->windowFlags() & Qt::CustomizeWindowHint);
  find->close();

  CProgressDialog progress(&frame, "Concordance Search", {"File", "Lines"}, "Stop search");
  EXPECT_TRUE(UnnamedControls(progress).isEmpty());
  EXPECT_TRUE(progress.windowFlags() & Qt::CustomizeWindowHint);
  EXPECT_FALSE(progress.windowFlags() & Qt::WindowMinMaxButtonsHint);
}

TEST_F(AccessTest, TheHelpKeyTableListsEveryKeyOfTheProgramAndNoOther) {
  QFile page(SourceRoot() + "/resources/help/keys.html");
  ASSERT_TRUE(page.open(QIODevice::ReadOnly));
  const QString html = QString::fromUtf8(page.readAll());
  // Row: keys, then the command's name.
  QMap<QString, QString> table;  // keys -> command
  const QRegularExpression row(QStringLiteral("<tr><td>(.*?)</td><td>(.*?)</td>"),
                               QRegularExpression::DotMatchesEverythingOption);
  for (auto match = row.globalMatch(html); match.hasNext();) {
    const auto m = match.next();
    table.insert(KeysOf(m.captured(1).split(',')).join(", "), m.captured(2));
  }
  // The program's keys: the command table's, the format bar's, the help window's, and
  // those that are no command of their own.
  QMap<QString, QString> program;
  for (const CCommandInfo& info : CommandTable()) {
    if (!*info.m_pszShortcuts) continue;
    QAction named(QString::fromLatin1(info.m_pszText));
    program.insert(KeysOf(QString::fromLatin1(info.m_pszShortcuts).split(';')).join(", "),
                   AccessibleActionName(named).remove("..."));
  }
  CFormatBar* bar = m_pApp->MainFrame()->FormatBar();
  for (QAction* action : {bar->BoldAction(), bar->ItalicAction(), bar->UnderlineAction()})
    program.insert(action->shortcut().toString(QKeySequence::PortableText), action->text());
  m_pApp->MainFrame()->ShowHelp();
  // The help window's own Ctrl+F finds in the help: the key keeps its meaning there.
  for (QAction* action : m_pApp->MainFrame()->HelpWindow()->findChildren<QAction*>()) {
    const QString keys = action->shortcut().toString(QKeySequence::PortableText);
    if (!keys.isEmpty() && !program.contains(keys)) program.insert(keys, action->text());
  }
  m_pApp->MainFrame()->HelpWindow()->close();
  program.insert(KeysOf({"Menu", "Shift+F10"}).join(", "), "List window menu");
  program.insert(KeysOf({"Space"}).join(", "), "Stop");
  program.insert(KeysOf({"F1"}).join(", "), "Help on this window");
  EXPECT_EQ(table, program);
}

TEST_F(AccessTest, EveryCommandIsReachableFromTheKeyboard) {
  QSet<int> inMenus;
  for (const CMenuEntry& entry : FullMenu()) inMenus << entry.m_nId;
  for (const CMenuEntry& entry : ShortMenu()) inMenus << entry.m_nId;
  // The text languages belong to the big file viewer's own menu; the format bar's word
  // list button runs "Match text with word lists" of the Statistics menu.
  const QSet<int> elsewhere = {ids::kEnglish, ids::kBig5, ids::kGb, ids::kJapanese, ids::kWordListId};
  EXPECT_TRUE(inMenus.contains(ids::kMatchWordLists));
  for (const CCommandInfo& info : CommandTable()) {
    if (elsewhere.contains(info.m_nId)) continue;
    EXPECT_TRUE(inMenus.contains(info.m_nId) || *info.m_pszShortcuts) << info.m_pszText;
  }
  // Every menu of the bar opens with Alt and a letter.
  for (QAction* top : m_pApp->MainFrame()->menuBar()->actions()) {
    if (!top->isSeparator()) {
      EXPECT_TRUE(top->text().contains(QRegularExpression("&[^&]"))) << top->text().toStdString();
    }
  }
}

}  // namespace tessary::test
