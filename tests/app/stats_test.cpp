// The word statistics in the program: frequency profiles and unique-word lists, from
// the command through their dialogs to the result box or the list view, checked
// against the command line's output for the same texts.
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <sys/stat.h>

#include "app/command_ids.h"
#include "app/concordance_fixture.h"
#include "app/progress_dialog.h"
#include "app/stats_controller.h"
#include "app/stats_dialogs.h"
#include "engine/match_mode.h"

namespace tessary::test {
namespace {

class StatsTest : public ProgramTest {
 protected:
  QString WriteFile(const QString& name, const QByteArray& bytes) {
    const QString path = m_dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
  }
  QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  static QByteArray CommandLine(const QStringList& args) {
    QProcess cli;
    cli.start(TESSARY_CLI, args);
    EXPECT_TRUE(cli.waitForFinished(60000));
    return cli.readAllStandardOutput();
  }
  void Chosen(const QStringList& files) {
    CFileDialogResult result;
    result.m_bOk = !files.isEmpty();
    result.m_arrFiles = files;
    m_pPrompt->OnFiles(result);
  }
  void ProfileString(const QString& text) {
    m_pPrompt->OnDialogOf<CProfileStringDialog>([text](CProfileStringDialog& d) {
      d.m_strSearch = text;
      return true;
    });
  }
  void CodeSet(bool unicode) {
    m_pPrompt->OnDialogOf<CCodeSetDialog>([unicode](CCodeSetDialog& d) {
      d.m_bUnicode = unicode;
      return true;
    });
  }
  // Runs a statistics command and waits for what it started.
  void Command(int id) {
    // As the menu runs it: the frame routes it to the statistics.
    EXPECT_TRUE(m_pApp->MainFrame()->CommandEnabled(id));
    m_pApp->MainFrame()->OnCommand(id);
    CStatsController& stats = m_pApp->Stats();
    if (stats.Running()) {
      QEventLoop loop;
      QObject::connect(&stats, &CStatsController::RunEnded, &loop, &QEventLoop::quit);
      QTimer::singleShot(120000, &loop, &QEventLoop::quit);
      loop.exec();
    }
    EXPECT_FALSE(stats.Running()) << "the run did not end";
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  // The result box as the command line prints it: caption, then text.
  QByteArray LastBox() const {
    if (m_pPrompt->m_arrMessages.isEmpty()) return {};
    return (m_pPrompt->m_arrCaptions.back() + "\n" + m_pPrompt->m_arrMessages.back() + "\n").toUtf8();
  }
  QStringList Texts() const {
    QStringList texts;
    for (CTessaryDoc* doc : m_pApp->Documents()) texts << doc->PlainText() + (doc->IsModified() ? "*" : "");
    return texts;
  }
  static QStringList Rows(const CUniqueWordsDialog& d) {
    QStringList rows;
    for (int i = 0; i < d.RowCount(); ++i) rows << d.Word(i) + "=" + d.Instances(i);
    return rows;
  }
};

const QByteArray kCats = "cat, catalogue, concat cat.\nThe CAT sat on the mat\n";
const QByteArray kMore = "A cat-flap and a g%t cat\n";

TEST_F(StatsTest, ProfileOfOpenDocumentsGivesTheCommandLinesResultAndPrimesTheNextSearch) {
  const QString first = WriteFile("first.txt", kCats);
  const QString second = WriteFile("second.txt", kMore);
  OpenText(QString::fromUtf8(kCats).chopped(1), first);
  OpenText(QString::fromUtf8(kMore).chopped(1), second);
  Search("cat");  // a list window, which is never profiled
  const QStringList before = Texts();
  m_pApp->m_settings.m_nMatchMode = kMatchAny;

  QString title, shown, status;
  bool busy = false;
  m_pApp->Stats().m_fnProgressShown = [&](QWidget* dialog) {
    auto* progress = qobject_cast<CProgressDialog*>(dialog);
    title = progress->windowTitle();
    shown = progress->Field("Profile string:");
    status = m_pApp->MainFrame()->PaneText(0);
    busy = !m_pApp->Concordance().IsEnabled(ids::kConcordanceSearch) &&
           !m_pApp->Stats().IsEnabled(ids::kUniqueOpenFiles) &&
           !m_pApp->MainFrame()->CommandEnabled(ids::kProfileDirectory);
  };
  CodeSet(false);
  ProfileString("CAT");
  Command(ids::kProfileOpenFiles);
  EXPECT_EQ(LastBox(), CommandLine({"profile", "CAT", first, second}));
  EXPECT_EQ(m_pPrompt->m_arrCaptions.back(), "Frequency Profile for < CAT > = 5");
  EXPECT_EQ(title, "Frequency Profile ");
  EXPECT_EQ(shown, "CAT");
  EXPECT_EQ(status, "Profiling string");
  EXPECT_TRUE(busy);
  EXPECT_EQ(Texts(), before);
  EXPECT_EQ(m_pApp->m_settings.m_nMatchMode, kMatchWord);
  EXPECT_EQ(m_pApp->m_settings.m_strSearch, "CAT");

  // The next search starts with the profiled string.
  CodeSet(false);
  m_pPrompt->OnDialogOf<CConcordanceSelectionDialog>([](CConcordanceSelectionDialog& d) {
    EXPECT_EQ(d.m_strSearch, "CAT");
    return false;
  });
  m_pApp->Concordance().OnCommand(ids::kConcordanceSearch);
}

TEST_F(StatsTest, ProfileOfFilesCountsInsideWordsAndNamesFilesItCouldNotRead) {
  const QString first = WriteFile("first.txt", kCats);
  const QString second = WriteFile("second.txt", kMore);
  const auto documents = m_pApp->Documents().size();
  ProfileString("cat");
  Chosen({first, second});
  Command(ids::kProfileDirectory);
  EXPECT_EQ(LastBox(), CommandLine({"profile", "--substring", "cat", first, second}));
  EXPECT_EQ(m_pPrompt->m_arrCaptions.back(), "Frequency Profile for < cat > = 7");
  EXPECT_EQ(m_pApp->Documents().size(), documents);

  // A file that cannot be read is named, and the others still count.
  m_pPrompt->m_arrMessages.clear();
  ProfileString("cat");
  Chosen({first, m_dir.filePath("gone.txt")});
  Command(ids::kProfileDirectory);
  ASSERT_EQ(m_pPrompt->m_arrMessages.size(), 2);
  EXPECT_TRUE(m_pPrompt->m_arrMessages[0].startsWith("File error\n"));
  EXPECT_TRUE(m_pPrompt->m_arrMessages[0].contains("gone.txt"));
  EXPECT_EQ(LastBox(), CommandLine({"profile", "--substring", "cat", first}));
}

TEST_F(StatsTest, UnicodeProfilesCountCharactersOrWholeWords) {
  // The byte-order mark tells the command line the file's encoding.
  const QByteArray chinese = "\xEF\xBB\xBF我的猫和你的猫\n猫\n";
  const QString path = WriteFile("chinese.txt", chinese);
  OpenText(QString::fromUtf8(chinese.mid(3)).chopped(1), path);
  CodeSet(true);
  m_pPrompt->OnDialogOf<CUnicodeStringDialog>([](CUnicodeStringDialog& d) {
    EXPECT_TRUE(d.m_bNoSpaces);
    d.m_strSearch = "猫";
    return true;
  });
  Command(ids::kProfileOpenFiles);
  EXPECT_EQ(LastBox(), CommandLine({"profile", "--characters", "猫", path}));
  EXPECT_EQ(m_pApp->m_settings.m_nMatchMode, kMatchAny);
  EXPECT_TRUE(m_pApp->m_settings.m_wstrSearch == u"猫");

  const QByteArray words = "\xEF\xBB\xBFÜber über ÜBERALL über.\n";
  const QString wordsPath = WriteFile("words.txt", words);
  m_pApp->CloseDocument(m_pApp->Documents().back());
  OpenText(QString::fromUtf8(words.mid(3)).chopped(1), wordsPath);
  CodeSet(true);
  m_pPrompt->OnDialogOf<CUnicodeStringDialog>([](CUnicodeStringDialog& d) {
    EXPECT_EQ(d.m_strSearch, "猫");
    d.m_strSearch = "über";
    d.m_bNoSpaces = false;
    return true;
  });
  Command(ids::kProfileOpenFiles);
  EXPECT_EQ(LastBox(), CommandLine({"profile", "--unicode", "über", wordsPath}));
  EXPECT_EQ(m_pApp->m_settings.m_nMatchMode, kMatchWord);
}

TEST_F(StatsTest, AllMatchingFilesOfAFolderAndAStoppedProfileStillShowingItsCounts) {
  QDir(m_dir.path()).mkdir("corpus");
  const QString first = WriteFile("corpus/one.txt", kCats);
  const QString second = WriteFile("corpus/two.txt", kMore);
  WriteFile("corpus/skip.dat", "cat cat cat\n");
  CFileDialogResult all;
  all.m_bAllMatching = true;
  all.m_strTypedPath = m_dir.filePath("corpus/*.txt");
  ProfileString("cat");
  m_pPrompt->OnFiles(all);
  Command(ids::kProfileDirectory);
  EXPECT_EQ(LastBox(), CommandLine({"profile", "--substring", "cat", first, second}));

  // "Select all matching files" with no path ends the command with no result.
  all.m_strTypedPath.clear();
  ProfileString("cat");
  m_pPrompt->OnFiles(all);
  Command(ids::kProfileDirectory);
  EXPECT_EQ(m_pPrompt->m_arrMessages.size(), 1);

  // Stopped at once: the result box still comes, with the counts reached.
  OpenText(QString::fromUtf8(kCats), first);
  m_pApp->Stats().m_fnProgressShown = [](QWidget* dialog) {
    qobject_cast<CProgressDialog*>(dialog)->StopButton()->click();
  };
  CodeSet(false);
  ProfileString("cat");
  Command(ids::kProfileOpenFiles);
  ASSERT_EQ(m_pPrompt->m_arrMessages.size(), 2);
  EXPECT_TRUE(m_pPrompt->m_arrCaptions.back().startsWith("Frequency Profile for < cat > = "));
  EXPECT_FALSE(m_pApp->Busy());
}

TEST_F(StatsTest, CancelledDialogsAndEmptyStringsEndTheCommandsQuietly) {
  OpenText("the cat sat", m_dir.filePath("a.txt"));
  const QStringList before = Texts();
  m_pPrompt->CancelNextDialog();  // Select Code Set
  Command(ids::kProfileOpenFiles);
  CodeSet(false);
  m_pPrompt->CancelNextDialog();  // Enter search string
  Command(ids::kProfileOpenFiles);
  CodeSet(false);
  ProfileString("");
  Command(ids::kProfileOpenFiles);
  CodeSet(true);
  m_pPrompt->CancelNextDialog();  // Enter unicode string
  Command(ids::kProfileOpenFiles);
  ProfileString("cat");
  Chosen({});  // the file dialog
  Command(ids::kProfileDirectory);
  Chosen({});
  Command(ids::kUniqueDirectory);
  EXPECT_TRUE(m_pPrompt->m_arrMessages.isEmpty());
  EXPECT_EQ(Texts(), before);
  EXPECT_FALSE(m_pApp->Busy());
}

TEST_F(StatsTest, UniqueWordsSortedBothWaysAndSavedAsTheCommandLineSavesThem) {
  const QByteArray text = "The the THE cat\ndon't stop, well-known cat 42 cats\nzebra Apple apple\n";
  const QString path = WriteFile("words.txt", text);
  OpenText(QString::fromUtf8(text), path);
  const QStringList before = Texts();
  const auto documents = m_pApp->Documents().size();
  const QString alpha = m_dir.filePath("alpha.txt");
  const QString frequency = m_dir.filePath("frequency.txt");
  QString title;
  m_pApp->Stats().m_fnProgressShown = [&](QWidget* dialog) { title = dialog->windowTitle(); };
  Chosen({alpha});
  Chosen({frequency});
  m_pPrompt->OnDialogOf<CUniqueWordsDialog>([&](CUniqueWordsDialog& d) {
    EXPECT_EQ(Rows(d), (QStringList{"Apple=2", "cat=2", "cats=1", "don't=1", "stop=1", "The=3", "well-known=1",
                                    "zebra=1"}));
    d.AlphabeticSort();
    EXPECT_TRUE(d.Save());
    d.FrequencySort();
    // Equal counts keep the alphabetical order they had.
    EXPECT_EQ(Rows(d), (QStringList{"The=3", "Apple=2", "cat=2", "cats=1", "don't=1", "stop=1", "well-known=1",
                                    "zebra=1"}));
    // The view shows the rows through its table, and its buttons sort them.
    auto widget = d.CreateWidget(nullptr);
    auto* rows = widget->findChild<QTableView*>("rows");
    EXPECT_EQ(rows->model()->rowCount(), 8);
    EXPECT_EQ(rows->model()->headerData(2, Qt::Horizontal).toString(), "   Percent");
    EXPECT_EQ(widget->findChild<QLabel*>("unique")->text(), "8");
    EXPECT_EQ(widget->findChild<QLabel*>("total")->text(), d.TotalText());
    widget->findChild<QPushButton*>("alphabetic")->click();
    EXPECT_EQ(rows->model()->index(0, 0).data().toString(), "Apple");
    EXPECT_EQ(rows->model()->index(7, 0).data().toString(), "zebra");
    widget->findChild<QPushButton*>("frequency")->click();
    EXPECT_EQ(rows->model()->index(0, 1).data().toString(), "3");
    EXPECT_EQ(rows->model()->index(0, 2).data().toString(), d.Percent(0));
    EXPECT_TRUE(d.Percent(0).endsWith(" %"));
    EXPECT_TRUE(d.Save());
    return true;
  });
  Command(ids::kUniqueOpenFiles);
  EXPECT_EQ(title, "Unique Words Profile ");
  const QString cliAlpha = m_dir.filePath("cli-alpha.txt");
  const QString cliFrequency = m_dir.filePath("cli-frequency.txt");
  CommandLine({"words", "--order", "alpha", "--output", cliAlpha, path});
  CommandLine({"words", "--order", "frequency", "--output", cliFrequency, path});
  EXPECT_FALSE(ReadFile(cliAlpha).isEmpty());
  EXPECT_EQ(ReadFile(alpha), ReadFile(cliAlpha));
  EXPECT_EQ(ReadFile(frequency), ReadFile(cliFrequency));
  ASSERT_EQ(m_pPrompt->m_arrFileRequests.size(), 2u);
  EXPECT_EQ(m_pPrompt->m_arrFileRequests[0].m_strTitle, "Create Word List");
  EXPECT_EQ(m_pPrompt->m_arrFileRequests[0].m_arrFilters, QStringList{"Text Files (*.TXT)"});
  // Each saved list is opened in the editor; the source document is as it was.
  ASSERT_EQ(m_pApp->Documents().size(), documents + 2);
  EXPECT_EQ(QFileInfo(m_pApp->Documents().back()->PathName()), QFileInfo(frequency));
  EXPECT_EQ(Texts().mid(0, before.size()), before);
}

TEST_F(StatsTest, FailedSavesSayFileErrorAndTheViewGoesOn) {
  const QString path = WriteFile("files.txt", "one two two three three three\n");
  OpenText("untouched text", m_dir.filePath("open.txt"));
  const QStringList before = Texts();
  const QString good = m_dir.filePath("good.txt");
  // A full disk, where the machine has the device.
  struct stat st {};
  const bool full = ::stat("/dev/full", &st) == 0 && S_ISCHR(st.st_mode);
  Chosen({path});
  Chosen({m_dir.filePath("no such folder/list.txt")});
  Chosen({full ? QString("/dev/full") : m_dir.filePath("no such folder/again.txt")});
  Chosen({});  // cancelled: nothing is written, nothing said
  Chosen({good});
  m_pPrompt->OnDialogOf<CUniqueWordsDialog>([&](CUniqueWordsDialog& d) {
    EXPECT_EQ(Rows(d), (QStringList{"one=1", "two=2", "three=3"}));
    EXPECT_FALSE(d.Save());
    EXPECT_FALSE(d.Save());
    EXPECT_FALSE(d.Save());
    EXPECT_EQ(m_pPrompt->m_arrMessages, (QStringList{"File error", "File error"}));
    EXPECT_EQ(Texts(), before);
    EXPECT_TRUE(d.Save());
    return true;
  });
  Command(ids::kUniqueDirectory);
  EXPECT_FALSE(QDir(m_dir.filePath("no such folder")).exists());
  if (full) {
    ASSERT_EQ(::stat("/dev/full", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode)) << "a failed save must never remove what it wrote to";
  }
  EXPECT_TRUE(ReadFile(good).startsWith("Unique words = 3    \tTotal words = 6\n"));
}

TEST_F(StatsTest, UniqueWordsRefuseUnicodeListWindowsAndAStoppedRunListsWhatItCounted) {
  OpenText("猫 and dog", m_dir.filePath("u.txt"));
  Search("猫", "Unsorted", true, 2, true);
  m_pApp->MainFrame()->ActivateView(NewestView());
  const QStringList before = Texts();
  Command(ids::kUniqueOpenFiles);
  Command(ids::kUniqueDirectory);
  EXPECT_EQ(m_pPrompt->m_arrMessages, (QStringList(2, "This function is not yet implemented for unicode.")));
  EXPECT_EQ(Texts(), before);

  // Stopped at once: the view shows whatever was counted, and the command ends.
  m_pApp->MainFrame()->ActivateView(m_pApp->Documents().front()->FirstView());
  m_pApp->Stats().m_fnProgressShown = [](QWidget* dialog) {
    qobject_cast<CProgressDialog*>(dialog)->StopButton()->click();
  };
  m_pPrompt->OnDialogOf<CUniqueWordsDialog>([](CUniqueWordsDialog& d) {
    EXPECT_LE(d.RowCount(), 2);
    return true;
  });
  Command(ids::kUniqueOpenFiles);
  EXPECT_FALSE(m_pApp->Busy());
}

}  // namespace
}  // namespace tessary::test
