// The gap-fill test in the program: Test > New and the prepared window, Test > Answer
// with each verdict and the reveal, and what leaves a test window (print, RTF).
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextBlock>
#include <QTextCursor>

#include "app/command_ids.h"
#include "app/concordance_fixture.h"
#include "app/progress_dialog.h"
#include "app/test_dialogs.h"
#include "editor/printing.h"
#include "richtext/file_type.h"

namespace tessary::test {
namespace {

// Four lines, the keyword in three spellings, each far enough from the next that no
// line shows another in its context.
const QByteArray kText =
    "Along the cold northern shore of the frozen bay, one old walrus slept on the drifting ice while gulls "
    "circled high above the water.\n"
    "Nobody on the small fishing boat had ever seen a creature like that; the Walrus turned its head slowly "
    "and watched the sailors pass by.\n"
    "The weather changed quickly and the wind began to blow from the east.\n"
    "Children in the village told stories about the great WALRUS who lived beneath the ice and sang to the "
    "whales during the long winter nights.\n"
    "When spring came at last the hunters went out again, and a young walrus swam close to the shore where "
    "the children were playing in the sand.\n";

class GapFillWindowTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    m_strSource = m_dir.filePath("source.txt");
    QFile file(m_strSource);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(kText);
    m_pApp->Concordance().m_fnProgressShown = [this](QWidget* dialog) {
      auto* progress = qobject_cast<CProgressDialog*>(dialog);
      if (!progress) return;
      m_arrDialogs << progress->windowTitle();
      m_arrDialogs << progress->Field("Search string") + progress->Field("Search String");
    };
  }

  // Test > New over the source file, scripted as F5 is; the test window is made active.
  CTessaryView* NewTest(const QString& key = "walrus", bool unicode = false, bool numbers = true) {
    m_pPrompt->OnDialogOf<CCodeSetDialog>([unicode](CCodeSetDialog& d) {
      d.m_bUnicode = unicode;
      return true;
    });
    m_pPrompt->OnDialogOf<CConcordanceSelectionDialog>([key, numbers](CConcordanceSelectionDialog& d) {
      d.m_strSearch = key;
      d.m_bDirectory = true;
      d.m_strLineNumbers = numbers ? "Yes" : "No";
      return true;
    });
    CFileDialogResult chosen;
    chosen.m_bOk = true;
    chosen.m_arrFiles = {m_strSource};
    m_pPrompt->OnFiles(chosen);
    Frame().OnCommand(ids::kTestNew);
    WaitForRun();
    CTessaryView* view = NewestView();
    Frame().ActivateView(view);
    Frame().UpdateCommandStates();
    return view;
  }

  // Test > Answer with the dialog answered so; false when no dialog could open.
  bool Answer(const QString& answer, bool cheat = false) {
    Frame().UpdateCommandStates();
    if (!Frame().Action(ids::kTestAnswer)->isEnabled()) return false;
    m_pPrompt->OnDialogOf<CAnswerDialog>([answer, cheat](CAnswerDialog& d) {
      d.m_strAnswer = answer;
      d.m_bCheat = cheat;
      return true;
    });
    Frame().OnCommand(ids::kTestAnswer);
    WaitForRun();
    Frame().UpdateCommandStates();
    return true;
  }

  CMainFrame& Frame() { return *m_pApp->MainFrame(); }
  static int Count(const QString& text, const QString& what) { return static_cast<int>(text.count(what)); }

  // The text pdftotext finds in a PDF file; empty when it is not installed.
  static QString PdfText(const QString& pdf) {
    const QString tool = QStandardPaths::findExecutable("pdftotext");
    if (tool.isEmpty()) return {};
    QProcess process;
    process.start(tool, {"-layout", pdf, "-"});
    EXPECT_TRUE(process.waitForFinished(30000));
    return QString::fromUtf8(process.readAllStandardOutput());
  }

  QString m_strSource;
  QStringList m_arrDialogs;  // each progress dialog's title, then its search string field
};

TEST_F(GapFillWindowTest, EachCodeSetPreparesTheTestTheCommandLineGives) {
  const QString cli = QCoreApplication::applicationDirPath() + "/tessary-cli";
  for (bool unicode : {false, true}) {
    SCOPED_TRACE(unicode ? "Unicode" : "ANSI");
    m_arrDialogs.clear();
    CTessaryView* view = NewTest("walrus", unicode);
    ASSERT_TRUE(view->List() && view->List()->TestMode());
    const QString text = TextOf(view);
    EXPECT_EQ(Count(text, "------"), 4);
    EXPECT_FALSE(text.contains("walrus", Qt::CaseInsensitive));
    // Byte for byte what the command line prints for the same search.
    if (QFile::exists(cli)) {
      QProcess process;
      process.start(cli, QStringList{"test"} + (unicode ? QStringList{"--unicode"} : QStringList{}) +
                             QStringList{"walrus", m_strSource});
      ASSERT_TRUE(process.waitForFinished(30000));
      EXPECT_EQ(text, QString::fromUtf8(process.readAllStandardOutput()));
    }
    // Every blank has the blank's format, whatever the window's font.
    const int blank = static_cast<int>(text.indexOf("------"));
    const QTextCharFormat format = FormatAt(view, blank + 2);
    EXPECT_EQ(format.foreground().color(), QColor(255, 101, 10));
    EXPECT_TRUE(format.fontWeight() == QFont::Bold && format.fontItalic() && format.fontUnderline());
    EXPECT_EQ(format.fontFamilies().toStringList().value(0), "Courier New");
    EXPECT_EQ(format.fontPointSize(), 10);
    EXPECT_NE(FormatAt(view, blank + 6).foreground().color(), QColor(255, 101, 10));
    // The preparation showed its dialog; no dialog and no pane gave the word away.
    EXPECT_TRUE(m_arrDialogs.contains("Formatting Concordance Strings")) << m_arrDialogs.join('|').toStdString();
    EXPECT_FALSE(m_arrDialogs.join('|').contains("walrus", Qt::CaseInsensitive));
    EXPECT_EQ(Frame().PaneText(0), "Click Answer button to type the missing word");
    EXPECT_EQ(Frame().PaneText(1), "????");
    EXPECT_TRUE(view->GetDocument()->m_bFormatted);
    // Neither undo nor a sort can bring the keywords back.
    EXPECT_FALSE(view->Document()->isUndoAvailable());
    EXPECT_FALSE(Frame().Action(ids::kSortRight)->isEnabled());
    EXPECT_TRUE(Frame().Action(ids::kTestAnswer)->isEnabled());
  }
  // The test request was used once: the next search makes an ordinary list.
  EXPECT_FALSE(m_pApp->m_settings.m_bTestMode);
}

TEST_F(GapFillWindowTest, WrongEmptyCancelledAndRefusedCheatingAnswersLeaveTheTest) {
  CTessaryView* view = NewTest();
  const QString blanked = TextOf(view);

  ASSERT_TRUE(Answer("Walrus"));  // another case than the search string is wrong
  ASSERT_TRUE(Answer("seal"));
  EXPECT_EQ(m_pPrompt->m_arrMessages, QStringList({"That's wrong. Try again.", "That's wrong. Try again."}));
  ASSERT_TRUE(Answer(""));  // OK on an empty box: nothing
  m_pPrompt->CancelNextDialog();
  Frame().OnCommand(ids::kTestAnswer);
  EXPECT_EQ(m_pPrompt->m_arrMessages.size(), 2);

  // "Cheat!" with a word in the box still asks; No keeps the test.
  m_pPrompt->OnMessage(QMessageBox::No);
  ASSERT_TRUE(Answer("walrus", true));
  EXPECT_EQ(m_pPrompt->m_arrMessages.back(), "Are you sure you can't guess?");
  EXPECT_EQ(m_pPrompt->m_arrCaptions.back(), "Cheating");
  EXPECT_EQ(TextOf(view), blanked);
  EXPECT_TRUE(view->List()->TestMode());
  EXPECT_TRUE(Frame().Action(ids::kTestAnswer)->isEnabled());
}

TEST_F(GapFillWindowTest, CheatingOrTheRightAnswerRevealsEachLinesOwnKeyword) {
  for (bool cheat : {true, false}) {
    SCOPED_TRACE(cheat ? "cheat" : "right answer");
    CTessaryView* view = NewTest();
    // A second window of the test answers the same test.
    CTessaryView* second = m_pApp->NewWindow(view->GetDocument());
    Frame().ActivateView(second);
    if (cheat) m_pPrompt->OnMessage(QMessageBox::Yes);
    ASSERT_TRUE(Answer(cheat ? "" : "walrus", cheat));

    const QString text = TextOf(view);
    EXPECT_EQ(Count(text, "------"), 0);
    EXPECT_EQ(Count(text, "walrus"), 2);
    EXPECT_EQ(Count(text, "Walrus"), 1);
    EXPECT_EQ(Count(text, "WALRUS"), 1);
    // Every keyword stands in its column again, in the revealed format.
    for (QTextBlock block = view->Document()->begin(); block.isValid() && block.length() > 1; block = block.next()) {
      const int column = 7 + 50;
      EXPECT_EQ(block.text().mid(column, 6).compare("walrus", Qt::CaseInsensitive), 0) << block.text().toStdString();
      const QTextCharFormat format = FormatAt(view, block.position() + column);
      EXPECT_EQ(format.foreground().color(), QColor(255, 0, 255));
      EXPECT_TRUE(format.fontWeight() == QFont::Bold && format.fontItalic() && format.fontUnderline());
    }
    // An ordinary list from now on.
    EXPECT_FALSE(view->List()->TestMode());
    EXPECT_FALSE(Frame().Action(ids::kTestAnswer)->isEnabled());
    EXPECT_EQ(Frame().PaneText(0), "Concordance Window");
    EXPECT_EQ(Frame().PaneText(1), "walrus");
    EXPECT_EQ(Frame().PaneText(2), "4");
  }
}

TEST_F(GapFillWindowTest, NumbersAddedToATestMoveItsBlanksAndTheRevealFollowsThem) {
  CTessaryView* view = NewTest("walrus", false, false);
  m_arrDialogs.clear();
  Frame().OnCommand(ids::kAddLineNumbering);
  WaitForRun();
  EXPECT_EQ(m_arrDialogs, QStringList({"Formatting Concordance Strings", "????"}));
  EXPECT_TRUE(TextOf(view).startsWith("1      "));
  ASSERT_TRUE(Answer("walrus"));
  EXPECT_EQ(Count(TextOf(view), "------"), 0);
  for (QTextBlock block = view->Document()->begin(); block.isValid() && block.length() > 1; block = block.next())
    EXPECT_EQ(block.text().mid(7 + 50, 6).compare("walrus", Qt::CaseInsensitive), 0) << block.text().toStdString();
}

TEST_F(GapFillWindowTest, PrintsPreviewsAndSavesTheBlanksNeverTheKeywords) {
  CTessaryView* view = NewTest();
  const QString pdf = m_dir.filePath("test.pdf");
  QPrinter& printer = EditorPrinter();
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(pdf);
  m_pPrompt->OnDialog([](CDialogModel&) { return true; });  // the print dialog
  Frame().OnCommand(ids::kFilePrint);
  ASSERT_TRUE(QFile::exists(pdf));

  // The preview paints its pages as the printout does.
  const QString preview = m_dir.filePath("preview.pdf");
  m_pPrompt->OnDialog([&](CDialogModel& model) {
    std::unique_ptr<QDialog> dialog = model.CreateWidget(nullptr);
    auto* previewDialog = qobject_cast<QPrintPreviewDialog*>(dialog.get());
    EXPECT_NE(previewDialog, nullptr);
    QPrinter pages(QPrinter::HighResolution);
    pages.setOutputFormat(QPrinter::PdfFormat);
    pages.setOutputFileName(preview);
    if (previewDialog) emit previewDialog->paintRequested(&pages);
    return false;
  });
  Frame().OnCommand(ids::kFilePrintPreview);
  printer.setOutputFileName(QString());  // the program's printer again
  ASSERT_TRUE(QFile::exists(preview));

  const QString rtf = m_dir.filePath("test.rtf");
  ASSERT_TRUE(view->GetDocument()->OnSaveDocument(rtf, kTypeRtf));
  QFile saved(rtf);
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  const QByteArray bytes = saved.readAll();
  EXPECT_EQ(bytes.count("------"), 4);
  EXPECT_FALSE(bytes.toLower().contains("walrus"));

  if (QStandardPaths::findExecutable("pdftotext").isEmpty())
    GTEST_SKIP() << "pdftotext (Debian package poppler-utils) is not installed: the PDFs' text is not checked";
  for (const QString& file : {pdf, preview}) {
    const QString text = PdfText(file);
    EXPECT_EQ(Count(text, "------"), 4) << text.toStdString();
    EXPECT_FALSE(text.contains("walrus", Qt::CaseInsensitive)) << text.toStdString();
    EXPECT_TRUE(text.contains("watched the sailors")) << text.toStdString();
  }
}

TEST_F(GapFillWindowTest, AnswerDialogTakesAtMost99CharactersAndCheatTakesNone) {
  for (bool cheat : {false, true}) {
    CAnswerDialog model;
    std::unique_ptr<QDialog> dialog = model.CreateWidget(nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Enter the deleted word");
    auto* edit = dialog->findChild<QLineEdit*>("answer");
    ASSERT_NE(edit, nullptr);
    edit->setText(QString(120, QLatin1Char('x')));
    for (QWidget* control : dialog->findChildren<QWidget*>())
      if (qobject_cast<QLineEdit*>(control) || qobject_cast<QPushButton*>(control)) {
        EXPECT_FALSE(control->accessibleName().isEmpty()) << control->metaObject()->className();
      }
    if (cheat) dialog->findChild<QPushButton*>("cheat")->click();
    else dialog->accept();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    model.ReadWidget(*dialog);
    EXPECT_EQ(model.m_bCheat, cheat);
    EXPECT_EQ(model.m_strAnswer, cheat ? QString() : QString(99, QLatin1Char('x')));
  }
}

}  // namespace
}  // namespace tessary::test
