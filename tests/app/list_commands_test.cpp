// Commands on a list window that is already shown: the collocate list and its
// dialog, line numbering (also stopped half way) and key-word formatting on demand.
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QTreeWidget>
#include <QFile>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include "app/collocates_view.h"
#include "app/command_ids.h"
#include "app/concordance_fixture.h"
#include "app/progress_dialog.h"
#include "engine/collocates.h"
#include "engine/number_prefix.h"

namespace tessary::test {
namespace {

class ListCommandsTest : public ProgramTest {
 protected:
  // Runs a command on view as the active window and waits for what it started.
  void Command(CTessaryView* view, int id) {
    m_pApp->MainFrame()->ActivateView(view);
    m_pApp->Concordance().OnCommand(id);
    WaitForRun();
  }
  bool Enabled(CTessaryView* view, int id) {
    m_pApp->MainFrame()->ActivateView(view);
    return m_pApp->Concordance().IsEnabled(id);
  }
  QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  static CFileDialogResult Chosen(const QString& path) {
    CFileDialogResult result;
    result.m_bOk = true;
    result.m_arrFiles = {path};
    return result;
  }
  static QStringList Rows(const CCollocatesDialog& d) {
    QStringList rows;
    for (int i = 0; i < d.RowCount(); ++i) rows << d.Word(i) + "=" + d.Count(i);
    return rows;
  }
};

const QString kMakeText = "we make it so. they Make It big. you make up time. I make it. To make UP. we make a cake.";

TEST_F(ListCommandsTest, CollocatesSortedBothWaysSavedAndReopened) {
  OpenText(kMakeText, m_dir.filePath("make.txt"));
  Search("make", "Sort Right");
  CTessaryView* list = NewestView();
  const QString path = m_dir.filePath("collocates.txt");
  m_pPrompt->OnFiles(Chosen(path));
  CCollocateList expected;
  expected.m_strKeyword = "make";
  m_pPrompt->OnDialogOf<CCollocatesDialog>([&](CCollocatesDialog& d) {
    EXPECT_EQ(d.Direction(), "Right collocates for ");
    EXPECT_EQ(d.Keyword(), "make");
    // The sorted order, case folded into the first spelling.
    EXPECT_EQ(Rows(d), (QStringList{"a=1", "It=3", "up=2"}));
    d.FrequencySort();
    EXPECT_EQ(Rows(d), (QStringList{"It=3", "up=2", "a=1"}));
    EXPECT_TRUE(d.Save());
    expected.m_arrItems = {{"It", 3}, {"up", 2}, {"a", 1}};
    d.StringSort();
    EXPECT_EQ(Rows(d), (QStringList{"a=1", "It=3", "up=2"}));
    // The dialog's widget shows the same rows and the count of them.
    auto widget = d.CreateWidget(nullptr);
    auto* rows = widget->findChild<QTreeWidget*>("rows");
    EXPECT_EQ(rows->topLevelItemCount(), 3);
    EXPECT_EQ(rows->topLevelItem(1)->text(0), "It");
    EXPECT_EQ(widget->findChild<QLabel*>("unique")->text(), "3");
    widget->findChild<QPushButton*>("frequency")->click();
    EXPECT_EQ(rows->topLevelItem(0)->text(1), "3");
    return true;
  });
  Command(list, ids::kCollocates);
  const std::string text = CollocateFileText(expected);
  EXPECT_EQ(ReadFile(path), QByteArray::fromStdString(text));
  ASSERT_EQ(m_pPrompt->m_arrFileRequests.size(), 1u);
  EXPECT_EQ(m_pPrompt->m_arrFileRequests[0].m_strTitle, "Create Word List");
  EXPECT_EQ(m_pPrompt->m_arrFileRequests[0].m_arrFilters, QStringList{"Text Files (*.TXT)"});
  // The saved list is opened in the editor.
  CTessaryDoc* opened = m_pApp->Documents().back();
  EXPECT_EQ(QFileInfo(opened->PathName()), QFileInfo(path));
  EXPECT_EQ(opened->PlainText(), QString::fromStdString(text));
  EXPECT_FALSE(m_pApp->Concordance().Running());
}

TEST_F(ListCommandsTest, AFailedSaveSaysFileErrorAndTheDialogGoesOn) {
  OpenText(kMakeText, m_dir.filePath("make.txt"));
  Search("make", "Sort Left");
  const auto documents = m_pApp->Documents().size();
  const QString good = m_dir.filePath("left.txt");
  m_pPrompt->OnFiles(Chosen(m_dir.filePath("no such folder/left.txt")));
  m_pPrompt->OnMessage(QMessageBox::Ok);
  m_pPrompt->OnFiles(Chosen(good));
  m_pPrompt->OnDialogOf<CCollocatesDialog>([&](CCollocatesDialog& d) {
    EXPECT_EQ(d.Direction(), "Left collocates for ");
    EXPECT_EQ(Rows(d), (QStringList{"I=1", "they=1", "To=1", "we=2", "you=1"}));
    EXPECT_FALSE(d.Save());
    EXPECT_EQ(m_pPrompt->m_arrMessages, QStringList{"File error"});
    EXPECT_EQ(m_pApp->Documents().size(), documents);
    EXPECT_TRUE(d.Save());
    return true;
  });
  Command(NewestView(), ids::kCollocates);
  EXPECT_TRUE(ReadFile(good).startsWith("Left collocates for [ make ] = 5   \n"));
  EXPECT_FALSE(QDir(m_dir.filePath("no such folder")).exists());
}

TEST_F(ListCommandsTest, CollocatesFollowTheDistanceOfALaterSortAndRefuseUnsortedLists) {
  OpenText(kMakeText, m_dir.filePath("make.txt"));
  Search("make", "Unsorted");
  CTessaryView* unsorted = NewestView();
  EXPECT_TRUE(Enabled(unsorted, ids::kCollocates));
  Command(unsorted, ids::kCollocates);
  EXPECT_EQ(m_pPrompt->m_arrMessages, QStringList{"First create sorted List"});

  m_pPrompt->OnDialogOf<CCollocatePositionDialog>([](CCollocatePositionDialog& d) {
    d.m_strDistance = "2";
    return true;
  });
  Command(unsorted, ids::kSortRight);
  CTessaryView* sorted = NewestView();
  ASSERT_NE(sorted, unsorted);
  m_pPrompt->OnDialogOf<CCollocatesDialog>([&](CCollocatesDialog& d) {
    // Two words to the right of the keyword, as the window was sorted.
    EXPECT_EQ(Rows(d), (QStringList{"big=1", "cake=1", "so=1", "time=1", "To=1", "we=1"}));
    return true;
  });
  Command(sorted, ids::kCollocates);

  // A window that is no list offers no collocates.
  CTessaryDoc* plain = OpenText("just text");
  EXPECT_FALSE(Enabled(plain->FirstView(), ids::kCollocates));
}

TEST_F(ListCommandsTest, SixteenBitListsOfCyrillicAndChineseAreCounted) {
  // кот спит / Кот ест / кот спит
  OpenText(QString::fromUtf16(u"\u0432\u043E\u0442 \u043A\u043E\u0442 \u0441\u043F\u0438\u0442. "
                              u"\u0432\u043E\u0442 \u041A\u043E\u0442 \u0435\u0441\u0442. "
                              u"\u0432\u043E\u0442 \u043A\u043E\u0442 \u0421\u041F\u0418\u0422."),
           m_dir.filePath("ru.txt"));
  Search(QString::fromUtf16(u"\u043A\u043E\u0442"), "Sort Right", true, 0, true);
  const QString path = m_dir.filePath("ru-collocates.txt");
  m_pPrompt->OnFiles(Chosen(path));
  m_pPrompt->OnDialogOf<CCollocatesDialog>([&](CCollocatesDialog& d) {
    EXPECT_EQ(d.Keyword(), QString::fromUtf16(u"\u043A\u043E\u0442"));
    // Spelled as the first of them in the sorted order, whichever case that has.
    EXPECT_EQ(Rows(d).join(' ').toLower(), QString::fromUtf16(u"\u0435\u0441\u0442=1 \u0441\u043F\u0438\u0442=2"));
    EXPECT_TRUE(d.Save());
    return true;
  });
  Command(NewestView(), ids::kCollocates);
  const QByteArray bytes = ReadFile(path);
  EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
  EXPECT_EQ(QString::fromUtf8(bytes.mid(3)).section('\n', 0, 0),
            QString::fromUtf16(u"Right collocates for [ \u043A\u043E\u0442 ] = 2   "));
  EXPECT_EQ(m_pApp->Documents().back()->PlainText().section('\n', 1, 1),
            QString::fromUtf16(u"1                    \u0435\u0441\u0442\t1"));

  // 我的猫坐在这里。那只猫睡觉了。这只猫坐着。
  OpenText(QString::fromUtf16(u"\u6211\u7684\u732B\u5750\u5728\u8FD9\u91CC\u3002"
                              u"\u90A3\u53EA\u732B\u7761\u89C9\u4E86\u3002"
                              u"\u8FD9\u53EA\u732B\u5750\u7740\u3002"));
  Search(QString::fromUtf16(u"\u732B"), "Sort Right", true, 2, true);
  m_pPrompt->OnDialogOf<CCollocatesDialog>([&](CCollocatesDialog& d) {
    // The two characters after the keyword, as double-byte lists take them.
    QStringList rows = Rows(d);
    rows.sort();
    EXPECT_EQ(rows, (QStringList{QString::fromUtf16(u"\u5750\u5728=1"), QString::fromUtf16(u"\u5750\u7740=1"),
                                 QString::fromUtf16(u"\u7761\u89C9=1")}));
    return true;
  });
  Command(NewestView(), ids::kCollocates);
}

TEST_F(ListCommandsTest, NumberingPutsSevenColumnsInFrontOfEveryLine) {
  OpenText("to see a cat run, a cat sat, the cat ate", "/t/a.txt");
  Search("cat", "Unsorted", false);
  CTessaryView* list = NewestView();
  const QStringList before = TextOf(list).split('\n');
  ASSERT_EQ(before.size(), 4);
  EXPECT_TRUE(FormatAt(list, 50).fontWeight() == QFont::Bold);
  QString shownTitle;
  m_pApp->Concordance().m_fnProgressShown = [&](QWidget* dialog) {
    shownTitle = dialog->windowTitle();
    EXPECT_EQ(static_cast<CProgressDialog*>(dialog)->StopButton()->text(), "Spacebar = Cancel");
  };
  Command(list, ids::kAddLineNumbering);
  m_pApp->Concordance().m_fnProgressShown = nullptr;
  EXPECT_EQ(shownTitle, "Formatting Concordance Strings");
  const QStringList after = TextOf(list).split('\n');
  ASSERT_EQ(after.size(), 4);
  EXPECT_EQ(after[0], "1      " + before[0]);
  EXPECT_EQ(after[2], "3      " + before[2]);
  EXPECT_EQ(after[3], "");
  EXPECT_TRUE(list->List()->LineNumbers());
  // The keyword's format moved with it; the number is plain.
  const int second = list->Document()->findBlockByNumber(1).position();
  EXPECT_EQ(FormatAt(list, second + 57).fontWeight(), QFont::Bold);
  EXPECT_NE(FormatAt(list, second + 56).fontWeight(), QFont::Bold);
  EXPECT_NE(FormatAt(list, second).fontWeight(), QFont::Bold);

  // A later sort takes the numbers into account.
  m_pPrompt->CancelNextDialog();
  Command(list, ids::kSortRight);
  const QStringList sorted = TextOf(NewestView()).split('\n');
  EXPECT_EQ(sorted[0].mid(57, 7), "cat ate");
  EXPECT_TRUE(sorted[0].startsWith("3      "));
}

TEST_F(ListCommandsTest, NumberingRefusesInOrder) {
  OpenText("a cat and a dog", "/t/a.txt");
  Search("cat", "Unsorted", true, 0, true);  // 16-bit and numbered: 16-bit is said first
  Command(NewestView(), ids::kAddLineNumbering);
  Search("cat", "Unsorted", true);
  Command(NewestView(), ids::kAddLineNumbering);
  CTessaryDoc* plain = OpenText("no list");
  Command(plain->FirstView(), ids::kAddLineNumbering);
  EXPECT_EQ(m_pPrompt->m_arrMessages,
            (QStringList{"This function is not yet implemented for unicode.",
                         "Numbers have already been added.\nFirst create a concordance list with no numbering.",
                         "You have not selected a concordance list."}));
  EXPECT_EQ(TextOf(plain->FirstView()), "no list");
}

TEST_F(ListCommandsTest, StoppedNumberingLosesNothingAndLaterCommandsFindEveryKeyword) {
  QString text;
  for (int i = 0; i < 3000; ++i) text += QString("word%1 the cat %2 here. ").arg(i % 7).arg(i % 2 ? "sat" : "ran");
  OpenText(text, "/t/many.txt");
  m_pApp->Concordance().OnCommand(ids::kManualFormat);
  Search("cat", "Unsorted", false);
  CTessaryView* list = NewestView();
  const QStringList before = TextOf(list).split('\n');
  ASSERT_EQ(before.size(), 3001);
  // Stop is pressed as soon as the first slice has run.
  m_pApp->Concordance().m_fnProgressShown = [](QWidget* dialog) {
    auto* progress = static_cast<CProgressDialog*>(dialog);
    QTimer::singleShot(0, progress, [progress] { progress->StopButton()->click(); });
  };
  Command(list, ids::kAddLineNumbering);
  m_pApp->Concordance().m_fnProgressShown = nullptr;
  const QStringList after = TextOf(list).split('\n');
  ASSERT_EQ(after.size(), before.size());
  int numbered = 0;
  for (int i = 0; i + 1 < after.size(); ++i) {
    if (after[i] == before[i]) continue;
    ASSERT_EQ(after[i], QString::fromStdString(NumberPrefix(i + 1)) + before[i]) << i;
    ASSERT_EQ(numbered, i) << "numbers stop at one place";
    ++numbered;
  }
  EXPECT_GT(numbered, 0);
  EXPECT_LT(numbered, 3000);
  EXPECT_TRUE(list->List()->LineNumbers());
  Command(list, ids::kAddLineNumbering);
  EXPECT_EQ(m_pPrompt->m_arrMessages.back().left(32), "Numbers have already been added.");

  // Sorting and counting read each line's own prefix, numbered or not.
  m_pPrompt->CancelNextDialog();
  Command(list, ids::kSortRight);
  CTessaryView* sorted = NewestView();
  const QStringList lines = TextOf(sorted).split('\n');
  ASSERT_EQ(lines.size(), 3001);
  EXPECT_TRUE(lines[0].contains("cat ran")) << lines[0].toStdString();
  EXPECT_TRUE(lines[2999].contains("cat sat"));
  m_pPrompt->OnDialogOf<CCollocatesDialog>([](CCollocatesDialog& d) {
    EXPECT_EQ(Rows(d), (QStringList{"ran=1500", "sat=1500"}));
    return true;
  });
  Command(sorted, ids::kCollocates);
}

TEST_F(ListCommandsTest, ConcordanceStringFormatsAnUnformattedListOnce) {
  OpenText("to see a cat run, a cat sat, the cat ate", "/t/a.txt");
  m_pApp->Concordance().OnCommand(ids::kManualFormat);
  Search("cat", "Sort Right");
  CTessaryView* list = NewestView();
  EXPECT_FALSE(list->GetDocument()->m_bFormatted);
  const int first = list->Document()->findBlockByNumber(0).position();
  EXPECT_NE(FormatAt(list, first + 57).fontWeight(), QFont::Bold);
  EXPECT_TRUE(Enabled(list, ids::kConcordanceString));
  QString shownTitle;
  m_pApp->Concordance().m_fnProgressShown = [&](QWidget* dialog) { shownTitle = dialog->windowTitle(); };
  Command(list, ids::kConcordanceString);
  EXPECT_EQ(shownTitle, "Formatting Concordance Strings");
  EXPECT_TRUE(list->GetDocument()->m_bFormatted);
  const QTextCharFormat keyword = FormatAt(list, first + 57);
  EXPECT_EQ(keyword.fontWeight(), QFont::Bold);
  EXPECT_EQ(keyword.foreground().color(), QColor(255, 0, 255));
  EXPECT_EQ(FormatAt(list, first + 59).fontWeight(), QFont::Bold);
  EXPECT_NE(FormatAt(list, first + 60).fontWeight(), QFont::Bold);
  EXPECT_TRUE(FormatAt(list, first + 61).fontUnderline());  // the sort's collocate
  EXPECT_FALSE(Enabled(list, ids::kConcordanceString));

  // Formatted windows and plain documents offer no formatting.
  m_pApp->Concordance().OnCommand(ids::kAutomaticFormat);
  Search("cat");
  EXPECT_FALSE(Enabled(NewestView(), ids::kConcordanceString));
  EXPECT_FALSE(Enabled(OpenText("text")->FirstView(), ids::kConcordanceString));
}

}  // namespace
}  // namespace tessary::test
