// "Concordance search (Ctrl + F5)": a file read in chunks gives the lines the command
// line gives for it; the request's questions and refusals.
#include <QAbstractScrollArea>
#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QMouseEvent>
#include <QProcess>
#include <QTextCursor>

#include "app/big_file_view.h"
#include "app/command_ids.h"
#include "app/concordance_fixture.h"
#include "app/progress_dialog.h"
#include "app/search_output.h"
#include "engine/big_file_search.h"
#include "ui/fixed_font.h"
#include "ui/qt_text.h"

namespace tessary::test {
namespace {

class BigFileRunTest : public ProgramTest {
 protected:
  QString WriteFile(const QString& name, const QByteArray& bytes) {
    QFile file(m_dir.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return m_dir.filePath(name);
  }

  void AnswerSelection(const QString& key, bool directory, const QString& sort = "Sort Right") {
    m_pPrompt->OnDialogOf<CConcordanceSelectionDialog>([=](CConcordanceSelectionDialog& d) {
      EXPECT_FALSE(d.m_bUnicodeForm);
      d.m_strSearch = key;
      d.m_bDirectory = directory;
      d.m_strSortMode = sort;
      d.m_strLineNumbers = "Yes";
      return true;
    });
  }

  void ChooseFile(const QString& path) {
    CFileDialogResult chosen;
    chosen.m_bOk = !path.isEmpty();
    if (!path.isEmpty()) chosen.m_arrFiles = {path};
    m_pPrompt->OnFiles(chosen);
  }

  // Ctrl+F5, as its shortcut runs it.
  void PressCtrlF5() {
    QAction* action = m_pApp->MainFrame()->Action(ids::kBigFileSearch);
    ASSERT_EQ(action->shortcut(), QKeySequence("Ctrl+F5"));
    m_pApp->MainFrame()->UpdateCommandStates();
    action->trigger();
    WaitForRun();
  }
};

QByteArray CommandLineLines(const QStringList& args) {
  QProcess cli;
  cli.start(TESSARY_CLI, args);
  EXPECT_TRUE(cli.waitForFinished(60000));
  EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
  return cli.readAllStandardOutput();
}

TEST_F(BigFileRunTest, AFileOfManyChunksGivesTheCommandLinesLines) {
  // Accented letters, CR LF, and keywords on both sides of many chunk edges.
  QByteArray bytes;
  for (int i = 0; i < 3000; ++i)
    bytes += "Line " + QByteArray::number(i) + " caf\xE9: the cat sat on the mat, cat\r\n";
  const QString path = WriteFile("big.txt", bytes);
  CConcordanceController& controller = m_pApp->Concordance();
  controller.m_nBigFileChunkSize = 4096;
  QString status, reading;
  CProgressDialog* progress = nullptr;
  controller.m_fnProgressShown = [&](QWidget* dialog) {
    if (auto* p = qobject_cast<CProgressDialog*>(dialog); p && p->windowTitle() == "Concordance Search") {
      progress = p;
      status = m_pApp->MainFrame()->PaneText(0);
    }
  };
  QObject::connect(&controller, &CConcordanceController::RunEnded, [&] {
    if (progress) reading = progress->Field(kBigFileChunkField);
  });
  AnswerSelection("cat", true);
  ChooseFile(path);
  PressCtrlF5();

  const CFileDialogRequest& asked = m_pPrompt->m_arrFileRequests.back();
  EXPECT_EQ(asked.m_strTitle, "Open Large File");
  EXPECT_EQ(asked.m_arrFilters, QStringList({"Text Files (*.TXT)", "All Documents (*.*)"}));
  EXPECT_EQ(asked.m_strDefaultSuffix, "TXT");
  EXPECT_EQ(status, "Big File Search");

  CTessaryView* list = NewestView();
  ASSERT_TRUE(list->List());
  const CConcordanceList& record = *list->List();
  EXPECT_TRUE(record.m_bBigFile);
  EXPECT_TRUE(record.m_bFromFiles);
  EXPECT_TRUE(record.m_bSorted);
  EXPECT_EQ(record.m_request.m_source, SearchSource::kBigFile);
  EXPECT_EQ(record.m_arrSources, std::vector<std::string>{path.toStdString()});
  // The last chunk read: 4095 bytes each, up to the end of the file.
  EXPECT_EQ(record.m_nChunkStart, (bytes.size() - 1) / 4095 * 4095);
  EXPECT_EQ(reading, QString::fromStdString(ReadingMessage(record.m_nChunkStart, bytes.size())));
  EXPECT_EQ(list->LineCount(), 6000);
  EXPECT_TRUE(IsFixedPitch(list->Document()->defaultFont()));

  const QByteArray expected = CommandLineLines({"concord", "--big-file", "--sort", "right", "--numbers", "cat", path});
  EXPECT_EQ(TextOf(list).toUtf8(), expected);
}

TEST_F(BigFileRunTest, TheSearchStringIsTakenAsTypedAndCancelOpensNothing) {
  AnswerSelection(" cat ", true);
  ChooseFile(QString());
  const std::size_t documents = m_pApp->Documents().size();
  PressCtrlF5();
  EXPECT_EQ(m_pApp->m_settings.m_strSearch, " cat ");
  EXPECT_EQ(m_pApp->Documents().size(), documents);
  EXPECT_FALSE(m_pApp->Concordance().Running());
}

TEST_F(BigFileRunTest, WithoutADirectoryChoiceThereIsNoFileToSearch) {
  AnswerSelection("cat", false);
  m_pPrompt->OnMessage(QMessageBox::Ok);
  PressCtrlF5();
  EXPECT_EQ(m_pPrompt->m_arrMessages.back(), "There is no file selected. Use Directory Search to select a file.");
  EXPECT_TRUE(m_pPrompt->m_arrFileRequests.empty());
}

TEST_F(BigFileRunTest, AFileThatCannotBeReadOpensNoWindow) {
  AnswerSelection("cat", true);
  ChooseFile(m_dir.filePath("missing.txt"));
  m_pPrompt->OnMessage(QMessageBox::Ok);
  const std::size_t documents = m_pApp->Documents().size();
  PressCtrlF5();
  EXPECT_TRUE(m_pPrompt->m_arrMessages.back().startsWith("Cannot open ")) << m_pPrompt->m_arrMessages.back().toStdString();
  EXPECT_EQ(m_pApp->Documents().size(), documents);
}

TEST_F(BigFileRunTest, TheContextOfABigFileLineOpensTheViewerAtIt) {
  const QString path = WriteFile("viewer.txt", "the cat sat\r\n");
  AnswerSelection("cat", true, "Unsorted");
  ChooseFile(path);
  PressCtrlF5();
  CTessaryView* list = NewestView();
  ASSERT_EQ(list->LineCount(), 1);
  const std::size_t documents = m_pApp->Documents().size();
  list->SetTextCursor(QTextCursor(list->Document()));
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::RightButton, Qt::RightButton,
                    Qt::NoModifier);
  QCoreApplication::sendEvent(list->Editor()->viewport(), &press);
  // No editor window: the file is shown in the viewer.
  EXPECT_EQ(m_pApp->Documents().size(), documents);
  EXPECT_EQ(m_pApp->m_strBigFilePath, ToFsPath(path));
  EXPECT_EQ(m_pApp->MainFrame()->BigFileView()->windowTitle(), "Context for string / cat / at position 4");
}

}  // namespace
}  // namespace tessary::test
