// The unique-word database in the program: "Save to Database" in the Unique Words View
// stores the list as shown, "Unique words view" (512) shows a stored list, sorted and
// filtered, and files that are no such database say "Command failed." and stay as they were.
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <sys/stat.h>

#include "app/command_ids.h"
#include "app/concordance_fixture.h"
#include "app/main_frame.h"
#include "app/stats_controller.h"
#include "app/stats_dialogs.h"
#include "app/tessary_app.h"
#include "app/unique_words_db_view.h"
#include "export/concordance_db.h"
#include "export/unique_words_db.h"
#include "ui/dialog_support.h"

namespace tessary::test {
namespace {

class UniqueWordsDbTest : public ProgramTest {
 protected:
  QString WriteFile(const QString& name, const QByteArray& bytes) {
    const QString path = m_dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
  }
  static QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  void Chosen(const QString& file) {
    CFileDialogResult result;
    result.m_bOk = true;
    result.m_arrFiles = {file};
    m_pPrompt->OnFiles(result);
  }
  // Unique Words on a chosen file, with view run on the Unique Words View.
  void UniqueWordsOf(const QString& textFile, std::function<void(CUniqueWordsDialog&)> view) {
    Chosen(textFile);
    m_pPrompt->OnDialogOf<CUniqueWordsDialog>([view](CUniqueWordsDialog& d) {
      view(d);
      return true;
    });
    m_pApp->MainFrame()->OnCommand(ids::kUniqueDirectory);
    CStatsController& stats = m_pApp->Stats();
    if (stats.Running()) {
      QEventLoop loop;
      QObject::connect(&stats, &CStatsController::RunEnded, &loop, &QEventLoop::quit);
      QTimer::singleShot(120000, &loop, &QEventLoop::quit);
      loop.exec();
    }
    ASSERT_FALSE(stats.Running());
    // The ended run goes now, while the program it belongs to is still there.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  CUniqueWordsDbView* OpenView(const QString& path) {
    EXPECT_TRUE(m_pApp->MainFrame()->CommandEnabled(ids::kUniqueWordsView));
    Chosen(path);
    m_pApp->MainFrame()->OnCommand(ids::kUniqueWordsView);
    return m_pApp->MainFrame()->findChild<CUniqueWordsDbView*>();
  }
  static QString Cell(CUniqueWordsDbView* view, int row, int column) {
    return view->Table()->model()->index(row, column).data().toString();
  }
};

TEST_F(UniqueWordsDbTest, SaveToDatabaseStoresTheRowsAsShownAndTheViewShowsThem) {
  const QString text = WriteFile("words.txt", "the cat and the Hund\nthe zebra and a cat\n");
  const QString db = m_dir.filePath("words.db");
  QStringList shown;
  UniqueWordsOf(text, [&](CUniqueWordsDialog& d) {
    d.FrequencySort();
    for (int i = 0; i < d.RowCount(); ++i) shown << d.Word(i) + "=" + d.Instances(i);
    // The button of the view, as a user presses it.
    auto widget = d.CreateWidget(nullptr);
    auto* button = widget->findChild<QPushButton*>("database");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->accessibleName(), "Save to Database");
    Chosen(db);
    button->click();
  });
  ASSERT_EQ(shown.size(), 6);
  EXPECT_EQ(shown.front(), "the=3");
  ASSERT_EQ(m_pPrompt->m_arrMessages, QStringList{"6 records were added to the table UniqueWords."});
  ASSERT_EQ(m_pPrompt->m_arrFileRequests.size(), 2u);
  EXPECT_EQ(m_pPrompt->m_arrFileRequests[1].m_strTitle, "Create Database");
  EXPECT_TRUE(m_pPrompt->m_arrFileRequests[1].m_bSave);

  auto stored = ReadUniqueWordsDatabase(db.toStdString());
  ASSERT_TRUE(stored) << stored.Error();
  QStringList read;
  for (const CUniqueWordRecord& r : *stored)
    read << QString::fromStdString(r.m_strWord) + "=" + QString::number(r.m_nInstances);
  EXPECT_EQ(read, shown);
  EXPECT_EQ(stored->back().m_nRank, 6);

  CUniqueWordsDbView* view = OpenView(db);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->CountText(), "6 words");
  EXPECT_EQ(UnnamedControls(*view), QStringList());
  EXPECT_EQ(Cell(view, 0, CUniqueWordsDbModel::kWord), "the");
  EXPECT_EQ(view->Table()->model()->headerData(2, Qt::Horizontal).toString(), "Instances");
}

TEST_F(UniqueWordsDbTest, TheViewCountsSortsByInstancesAndFiltersByWord) {
  // More rows than one page, so sorting and paging are read through the file.
  std::vector<CUniqueWordRecord> rows;
  for (int i = 0; i < 700; ++i) rows.push_back({0, std::string(1, 'w').append(std::to_string(i)), (i * 37) % 11});
  const QString db = m_dir.filePath("many.db");
  ASSERT_TRUE(SaveUniqueWordsDatabase(db.toStdString(), rows));
  CUniqueWordsDbView* view = OpenView(db);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->accessibleName(), "Unique words view");
  EXPECT_EQ(view->CountText(), "700 words");
  EXPECT_EQ(Cell(view, 699, CUniqueWordsDbModel::kWord), "w699");

  view->Table()->sortByColumn(CUniqueWordsDbModel::kInstances, Qt::DescendingOrder);
  auto* model = view->Table()->model();
  ASSERT_EQ(model->rowCount(), 700);
  for (int row = 1; row < 700; ++row) {
    const int before = Cell(view, row - 1, CUniqueWordsDbModel::kInstances).toInt();
    const int here = Cell(view, row, CUniqueWordsDbModel::kInstances).toInt();
    ASSERT_GE(before, here) << row;
    // Equal counts keep the list's own order.
    if (before == here) {
      ASSERT_LT(Cell(view, row - 1, CUniqueWordsDbModel::kRank).toInt(),
                Cell(view, row, CUniqueWordsDbModel::kRank).toInt());
    }
  }
  EXPECT_EQ(Cell(view, 0, CUniqueWordsDbModel::kInstances), "10");
  view->Table()->sortByColumn(CUniqueWordsDbModel::kInstances, Qt::AscendingOrder);
  EXPECT_EQ(Cell(view, 0, CUniqueWordsDbModel::kInstances), "0");
  EXPECT_EQ(Cell(view, 0, CUniqueWordsDbModel::kWord), "w0");

  // The filter takes its text literally: "_" is no wildcard.
  view->FilterBox()->setText("w69");
  view->ApplyFilter();
  EXPECT_EQ(view->CountText(), "11 words");  // w69, w690..w699
  view->FilterBox()->setText("w_");
  view->ApplyFilter();
  EXPECT_EQ(view->CountText(), "0 words");
  view->FilterBox()->clear();
  view->ApplyFilter();
  EXPECT_EQ(view->CountText(), "700 words");
}

TEST_F(UniqueWordsDbTest, FilesThatAreNoUniqueWordDatabaseSayCommandFailedAndStayAsTheyWere) {
  const QByteArray notes = "Unique words = 2\tTotal words = 3\n";
  const QString notDb = WriteFile("notes.db", notes);
  const QString concordances = m_dir.filePath("concordances.db");
  ASSERT_TRUE(CreateConcordanceDatabase(concordances.toStdString(), {{"cat", "a cat", "/t/a.txt", 2}}));
  struct stat st {};
  const bool full = ::stat("/dev/full", &st) == 0 && S_ISCHR(st.st_mode);
  const QString text = WriteFile("words.txt", "one two two\n");
  UniqueWordsOf(text, [&](CUniqueWordsDialog& d) {
    Chosen(notDb);
    EXPECT_FALSE(d.SaveToDatabase());
    Chosen(m_dir.filePath("no such folder/words.db"));
    EXPECT_FALSE(d.SaveToDatabase());
    if (full) {
      Chosen("/dev/full");
      EXPECT_FALSE(d.SaveToDatabase());
    }
    m_pPrompt->OnFiles(CFileDialogResult{});  // cancelled: nothing said, nothing written
    EXPECT_FALSE(d.SaveToDatabase());
  });
  EXPECT_EQ(OpenView(notDb), nullptr);
  EXPECT_EQ(OpenView(concordances), nullptr);
  ASSERT_EQ(m_pPrompt->m_arrMessages.size(), full ? 5 : 4);
  for (const QString& message : m_pPrompt->m_arrMessages)
    EXPECT_TRUE(message.startsWith("Command failed.")) << message.toStdString();
  EXPECT_EQ(ReadFile(notDb), notes);
  EXPECT_FALSE(QFileInfo::exists(m_dir.filePath("no such folder")));
  EXPECT_EQ(ReadConcordanceDatabase(concordances.toStdString())->size(), 1u);
  if (full) {
    ASSERT_EQ(::stat("/dev/full", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode)) << "a failed save must never replace a device";
  }
}

}  // namespace
}  // namespace tessary::test
