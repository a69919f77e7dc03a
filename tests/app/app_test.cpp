// The application object: command line, stored options, New and Open, the open-file
// query between instances and the About figures.
#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QLocalServer>
#include <QMdiSubWindow>
#include <QScreen>
#include <QTextDocument>
#include <QThread>
#include <future>

#include "app/app_dialogs.h"
#include "app/app_fixture.h"
#include "app/command_ids.h"
#include "app/program_info.h"
#include "app/single_instance.h"
#include "editor/editor_dialogs.h"
#include "editor/printing.h"
#include "richtext/file_type.h"
#include "test_texts.h"

namespace tessary::test {

namespace {

QRect Screen() { return QGuiApplication::primaryScreen()->virtualGeometry(); }

}  // namespace

// ---- Command line ----

TEST(CommandLine, OnlyTheExactPlainTextWordsForcePlainText) {
  EXPECT_TRUE(ParseCommandLine({"/t"}).m_bPlainText);
  EXPECT_TRUE(ParseCommandLine({"-t", "a.txt"}).m_bPlainText);
  const CCommandLine upper = ParseCommandLine({"/T"});
  EXPECT_FALSE(upper.m_bPlainText);
  EXPECT_EQ(upper.m_strFile, "/T");
  // An absolute path starts like a switch but names the file.
  const CCommandLine path = ParseCommandLine({"/tmp/a.txt"});
  EXPECT_FALSE(path.m_bPlainText);
  EXPECT_EQ(path.m_strFile, "/tmp/a.txt");
  const CCommandLine both = ParseCommandLine({"/tmp/a.txt", "/t"});
  EXPECT_TRUE(both.m_bPlainText);
  EXPECT_EQ(both.m_strFile, "/tmp/a.txt");
}

TEST(CommandLine, PrintForms) {
  const CCommandLine print = ParseCommandLine({"-p", "notes.rtf"});
  EXPECT_TRUE(print.m_bPrint);
  EXPECT_FALSE(print.m_bPrintTo);
  EXPECT_EQ(print.m_strFile, "notes.rtf");
  const CCommandLine printTo = ParseCommandLine({"/pt", "a.txt", "Laser", "drv", "lpt1", "extra"});
  EXPECT_TRUE(printTo.m_bPrintTo);
  EXPECT_EQ(printTo.m_strFile, "a.txt");
  EXPECT_EQ(printTo.m_strPrinter, "Laser");
  EXPECT_EQ(printTo.m_strDriver, "drv");
  EXPECT_EQ(printTo.m_strPort, "lpt1");
  // A print-to form cut short keeps what it has.
  const CCommandLine shortForm = ParseCommandLine({"-pt", "a.txt"});
  EXPECT_EQ(shortForm.m_strFile, "a.txt");
  EXPECT_TRUE(shortForm.m_strPrinter.isEmpty());
}

// ---- Stored options ----

TEST(StoredRects, FrameRectIsCutToTheScreen) {
  const QRect screen(0, 0, 1024, 768);
  EXPECT_EQ(ValidateFrameRect(QRect(100, 100, 400, 300), screen), QRect(100, 100, 400, 300));
  EXPECT_EQ(ValidateFrameRect(QRect(900, 600, 400, 300), screen), QRect(900, 600, 124, 168));
  EXPECT_TRUE(ValidateFrameRect(QRect(2000, 100, 400, 300), screen).isEmpty());
  EXPECT_TRUE(ValidateFrameRect(QRect(1015, 100, 400, 300), screen).isEmpty());  // 9 pixels left
  EXPECT_EQ(ValidateFrameRect(QRect(1014, 100, 400, 300), screen).width(), 10);
  EXPECT_TRUE(ValidateFrameRect(QRect(100, -295, 400, 300), screen).isEmpty());
}

TEST(StoredRects, BytesAreFourLittleEndianIntegers) {
  const QByteArray bytes = FrameRectToBytes(QRect(10, 20, 300, 200));
  ASSERT_EQ(bytes.size(), 16);
  EXPECT_EQ(bytes.left(4), QByteArray("\x0a\0\0\0", 4));
  EXPECT_EQ(bytes.mid(8, 4), QByteArray("\x36\x01\0\0", 4));  // right = 310
  EXPECT_EQ(FrameRectFromBytes(bytes), QRect(10, 20, 300, 200));
  EXPECT_TRUE(FrameRectFromBytes(FrameRectToBytes(QRect())).isEmpty());
  EXPECT_TRUE(FrameRectFromBytes("short").isEmpty());
  const QRect margins(1800, 1440, 1000, 720);
  EXPECT_EQ(MarginsFromBytes(MarginsToBytes(margins), QRect()), margins);
  EXPECT_EQ(MarginsFromBytes(QByteArray(), margins), margins);
}

TEST_F(AppTest, NoStoredOptionsGiveTheDefaults) {
  CTessaryApp& app = Start();
  EXPECT_TRUE(app.m_options.m_bWordSel);
  EXPECT_EQ(app.m_options.m_nUnits, DefaultUnits());
  EXPECT_FALSE(app.m_options.m_bMaximized);
  EXPECT_TRUE(app.m_options.m_rcFrame.isEmpty());
  const QRect& m = app.m_options.m_rcPageMargin;
  EXPECT_EQ(QList<int>({m.x(), m.y(), m.width(), m.height()}), QList<int>({1800, 1440, 1800, 1440}));
  EXPECT_TRUE(app.RecentFiles().isEmpty());
  // The start-up settings of the searches.
  EXPECT_EQ(app.m_settings.m_nLineWidth, 50);
  EXPECT_EQ(app.m_settings.m_strSortMode, "Sort Right");
  EXPECT_TRUE(app.m_settings.m_bLineNumbers);
  EXPECT_FALSE(app.m_settings.m_bTestMode || app.m_settings.m_bSentences);
}

TEST_F(AppTest, StoredOptionsAreReadAndAFrameOffTheScreenIgnored) {
  {
    QSettings settings(SettingsPath(), QSettings::IniFormat);
    settings.setValue("Options/WordSel", 0);
    settings.setValue("Options/Units", 0);
    settings.setValue("Options/Maximized", 1);
    settings.setValue("Options/FrameRect", FrameRectToBytes(Screen().translated(Screen().width() + 50, 0)));
    settings.setValue("Options/PageMargin", MarginsToBytes(QRect(720, 720, 1440, 1440)));
    settings.setValue("Recent File List/File1", "/data/a.txt");
    settings.setValue("Recent File List/File2", "/data/b.rtf");
  }
  CTessaryApp& app = Start();
  EXPECT_FALSE(app.m_options.m_bWordSel);
  EXPECT_EQ(app.m_options.m_nUnits, 0);
  EXPECT_TRUE(app.m_options.m_bMaximized);
  EXPECT_TRUE(app.m_options.m_rcFrame.isEmpty());
  EXPECT_EQ(app.m_options.m_rcPageMargin, QRect(720, 720, 1440, 1440));
  EXPECT_EQ(app.RecentFiles(), QStringList({"/data/a.txt", "/data/b.rtf"}));
}

TEST_F(AppTest, ExitWritesTheFrameBarsAndRecentFilesForTheNextRun) {
  Start();
  const QRect rc(Screen().topLeft() + QPoint(40, 30), QSize(500, 400));
  Frame().setGeometry(rc);
  const QString path = Write("notes.txt", "some text\n");
  ASSERT_NE(m_pApp->OpenDocumentFile(path), nullptr);
  // Exit closes the windows before the options are written.
  Frame().close();
  Flush();
  ASSERT_TRUE(m_pApp->Documents().empty());
  m_pApp->ExitInstance();

  CTessaryApp& next = Start();
  EXPECT_EQ(next.m_options.m_rcFrame, rc);
  EXPECT_EQ(next.MainFrame()->geometry(), rc);
  EXPECT_FALSE(next.m_options.m_bMaximized);
  EXPECT_EQ(next.RecentFiles(), QStringList({QFileInfo(path).absoluteFilePath()}));
  // The plain-text layout was active at exit, so it was stored under "Text".
  EXPECT_FALSE(next.MainFrame()->BarLayout("Text").isEmpty());
}

// ---- The editor's host ----

TEST_F(AppTest, TheEditorWorksWithTheProgramsSettingsAndLetsGoOfThemAtTheEnd) {
  CTessaryApp& app = Start();
  app.m_settings.m_nAnsiCodePage = 1251;
  CTessaryDoc* doc = app.OpenDocumentFile(Write("ru.txt", QByteArray::fromStdString(ReadDataFile("ru.cp1251.txt"))));
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(doc->PlainText(), QString::fromStdU16String(Utf8ToUtf16Text("ru.utf8.txt")));
  EXPECT_EQ(Frame().PaneText(0), "Ready");

  app.m_bForcePlainText = true;
  EXPECT_TRUE(CTessaryDoc::WantsPlainLayout("notes.rtf"));
  app.m_options.m_rcPageMargin = QRect(720, 360, 1440, 0);
  EXPECT_EQ(PageMargins().m_nTop, 360);
  SetPageMargins({100, 200, 300, 400});
  EXPECT_EQ(app.m_options.m_rcPageMargin, QRect(100, 200, 300, 400));

  ASSERT_TRUE(doc->DoSave(false));
  EXPECT_EQ(app.RecentFiles().value(0), doc->PathName());

  m_pApp.reset();
  m_pPrompt = nullptr;
  EXPECT_EQ(EditorHost(), nullptr);
  EXPECT_EQ(PageMargins().m_nLeft, CPageMargins().m_nLeft);
}

// ---- New ----

TEST_F(AppTest, StartUpMakesOneRichDocumentWithoutAsking) {
  CTessaryApp& app = Start({"/t"});
  ASSERT_EQ(app.Documents().size(), 1u);
  const CTessaryDoc* doc = app.Documents().front();
  EXPECT_EQ(doc->Title(), "Tessary1");
  EXPECT_EQ(doc->DocType(), kTypeRtf);
  EXPECT_FALSE(doc->PlainLayout());
  EXPECT_EQ(doc->Views().size(), 1u);
  EXPECT_EQ(Frame().ActiveView(), doc->FirstView());
  // Forced plain text outlives start-up; from now on New asks for the type.
  EXPECT_TRUE(app.m_bForcePlainText);
  EXPECT_TRUE(app.m_bPromptForType);
}

TEST_F(AppTest, NewCancelledCreatesNothingAndLeavesTheNextSearchAlone) {
  CTessaryApp& app = Start({"-t"});
  app.m_settings.m_bTestMode = true;
  m_pPrompt->CancelNextDialog();
  app.OnFileNew();
  EXPECT_EQ(app.Documents().size(), 1u);
  EXPECT_TRUE(app.m_settings.m_bTestMode);
  EXPECT_TRUE(app.m_bForcePlainText);
}

TEST_F(AppTest, NewAsksTheTypeAndAlwaysMakesRichText) {
  CTessaryApp& app = Start({"/t"});
  m_pPrompt->OnDialogOf<CNewTypeModel>([](CNewTypeModel& model) {
    EXPECT_EQ(model.m_nSelected, 0);  // "Rich Text Document" first
    model.m_nSelected = 1;            // "Text Document"
    return true;
  });
  app.OnFileNew();
  ASSERT_EQ(app.Documents().size(), 2u);
  const CTessaryDoc* doc = app.Documents().back();
  EXPECT_EQ(doc->Title(), "Tessary2");
  EXPECT_EQ(doc->DocType(), kTypeRtf);
  EXPECT_FALSE(app.m_bForcePlainText);
  EXPECT_EQ(Frame().windowTitle(), "Tessary - [Tessary2]");
}

// ---- Open ----

TEST_F(AppTest, OpenAsksForAFileAndASecondOpenActivatesTheFirstWindow) {
  CTessaryApp& app = Start();
  const QString path = Write("story.txt", "once upon a time\n");
  CFileDialogResult chosen;
  chosen.m_bOk = true;
  chosen.m_arrFiles = {path};
  chosen.m_nFilterIndex = 1;
  m_pPrompt->OnFiles(chosen);
  app.OnFileOpen();
  ASSERT_EQ(m_pPrompt->m_arrFileRequests.size(), 1u);
  const CFileDialogRequest& request = m_pPrompt->m_arrFileRequests.front();
  EXPECT_EQ(request.m_strTitle, "Open");
  EXPECT_EQ(request.m_arrFilters,
            QStringList({"RTF files (*.RTF)", "Text Files (*.TXT)", "All Documents (*.*)"}));
  EXPECT_EQ(request.m_nFilterIndex, 2);
  ASSERT_EQ(app.Documents().size(), 2u);
  CTessaryDoc* doc = app.Documents().back();
  EXPECT_EQ(doc->Title(), "story.txt");
  EXPECT_EQ(doc->DocType(), kTypeText);
  EXPECT_TRUE(doc->PlainLayout());

  // The filter chosen last is offered again; the same file is not opened twice.
  chosen.m_arrFiles = {m_dir.path() + "/./story.txt"};
  m_pPrompt->OnFiles(chosen);
  Frame().ActivateView(app.Documents().front()->FirstView());
  app.OnFileOpen();
  EXPECT_EQ(m_pPrompt->m_arrFileRequests.back().m_nFilterIndex, 1);
  EXPECT_EQ(app.Documents().size(), 2u);
  EXPECT_EQ(Frame().ActiveView(), doc->FirstView());
  EXPECT_EQ(app.RecentFiles(), QStringList({QFileInfo(path).absoluteFilePath()}));
}

TEST_F(AppTest, AFileThatCannotBeOpenedEndsTheStart) {
  Start({}, false);
  EXPECT_FALSE(m_pApp->InitInstance({m_dir.filePath("missing.txt")}, false));
  EXPECT_TRUE(m_pApp->Documents().empty());
  EXPECT_FALSE(m_pPrompt->m_arrMessages.isEmpty());
}

TEST_F(AppTest, RecentFilesKeepFourNewestFirst) {
  CTessaryApp& app = Start();
  for (const char* name : {"a", "b", "c", "d", "e", "b"}) app.AddRecentFile(m_dir.filePath(name));
  EXPECT_EQ(app.RecentFiles(), QStringList({m_dir.filePath("b"), m_dir.filePath("e"), m_dir.filePath("d"),
                                            m_dir.filePath("c")}));
  // An entry whose file has gone is dropped when chosen.
  Frame().Action(ids::kFileMru1)->trigger();
  EXPECT_EQ(m_pPrompt->m_arrMessages.size(), 1);
  EXPECT_EQ(app.RecentFiles(), QStringList({m_dir.filePath("e"), m_dir.filePath("d"), m_dir.filePath("c")}));
  EXPECT_FALSE(Frame().Action(ids::kFileMru1 + 3)->isVisible());
}

// ---- Open-file query between instances ----

// A server answering from a thread of its own, as another process would.
class ServerThread {
 public:
  explicit ServerThread(const QString& name, std::function<bool(const QString&)> isOpen) {
    m_thread.start();
    m_pServer = new COpenFileServer;
    m_pServer->m_fnIsOpen = std::move(isOpen);
    m_pServer->moveToThread(&m_thread);
    QMetaObject::invokeMethod(m_pServer, [this, name] { m_bListening = m_pServer->ListenOn(name); },
                              Qt::BlockingQueuedConnection);
  }
  ~ServerThread() {
    QMetaObject::invokeMethod(m_pServer, [this] { delete m_pServer; }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
  }
  bool m_bListening = false;

 private:
  QThread m_thread;
  COpenFileServer* m_pServer;
};

TEST(OpenFileQuery, ARunningInstanceAnswersForTheFilesItShows) {
  QTemporaryDir dir;
  ServerThread server(dir.filePath("4242"), [](const QString& path) { return path == "/texts/open.txt"; });
  ASSERT_TRUE(server.m_bListening);
  EXPECT_TRUE(AskInstance(dir.filePath("4242"), "/texts/open.txt"));
  EXPECT_FALSE(AskInstance(dir.filePath("4242"), "/texts/other.txt"));
  EXPECT_TRUE(AskRunningInstances(dir.path(), "/texts/open.txt"));
  EXPECT_FALSE(AskRunningInstances(dir.path(), ""));
}

TEST(OpenFileQuery, SilentAndEndedInstancesCountAsNotOpen) {
  QTemporaryDir dir;
  // One listens but never answers, one ended without removing its socket.
  QLocalServer silent;
  ASSERT_TRUE(silent.listen(dir.filePath("1")));
  {
    QLocalServer ended;
    ended.setSocketOptions(QLocalServer::UserAccessOption);
    ASSERT_TRUE(ended.listen(dir.filePath("2")));
    ended.close();
  }
  QFile stale(dir.filePath("2"));
  ASSERT_TRUE(stale.open(QIODevice::WriteOnly));  // a leftover file in place of the socket
  stale.close();
  QElapsedTimer timer;
  timer.start();
  EXPECT_FALSE(AskRunningInstances(dir.path(), "/texts/a.txt", 300));
  EXPECT_LT(timer.elapsed(), 1500);
  EXPECT_FALSE(QFile::exists(dir.filePath("2")));
  EXPECT_TRUE(QFile::exists(dir.filePath("1")));
}

TEST_F(AppTest, TheRunningProgramAnswersForItsDocumentsAndShowsTheWindow) {
  CTessaryApp& app = Start();
  const QString path = Write("shown.txt", "text\n");
  CTessaryDoc* shown = app.OpenDocumentFile(path);
  ASSERT_NE(shown, nullptr);
  Frame().ActivateView(app.Documents().front()->FirstView());
  // The asking side blocks, so it runs in a thread while this one answers.
  const auto ask = [](const QString& file) {
    auto answer = std::async(std::launch::async, [file] { return AskRunningInstances(InstanceDirectory(), file); });
    while (answer.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
      QCoreApplication::processEvents();
    return answer.get();
  };
  EXPECT_FALSE(ask(m_dir.filePath("other.txt")));
  EXPECT_NE(Frame().ActiveView(), shown->FirstView());
  EXPECT_TRUE(ask(m_dir.path() + "/../" + QDir(m_dir.path()).dirName() + "/shown.txt"));
  EXPECT_EQ(Frame().ActiveView(), shown->FirstView());
}

// ---- About ----

TEST(About, MemoryFiguresAreSixtyFourBitByteCounts) {
  const CMemoryStatus status = ParseMemInfo(
      "MemTotal:       65753452 kB\nMemFree:         1234 kB\nMemAvailable:   41943040 kB\nBuffers: 1 kB\n");
  EXPECT_EQ(status.m_nTotal, 65753452LL * 1024);
  EXPECT_EQ(status.m_nAvailable, 41943040LL * 1024);
  const CMemoryStatus real = ReadMemoryStatus();
  EXPECT_GT(real.m_nTotal, 0);
  EXPECT_GT(real.m_nAvailable, 0);
  EXPECT_LE(real.m_nAvailable, real.m_nTotal);
}

TEST_F(AppTest, AboutShowsTheProgramLineAndTheMemoryFigures) {
  CTessaryApp& app = Start();
  m_pPrompt->OnDialogOf<CAboutDialog>([](CAboutDialog& about) {
    auto widget = about.CreateWidget(nullptr);
    EXPECT_EQ(widget->windowTitle(), "About Tessary");
    QStringList texts;
    for (const QLabel* label : widget->findChildren<QLabel*>()) texts << label->text();
    EXPECT_TRUE(texts.contains("Tessary Linux Application"));
    EXPECT_TRUE(texts.contains("Available memory"));
    EXPECT_TRUE(texts.contains(FormatByteSize(about.m_memory.m_nTotal)));
    return true;
  });
  app.OnAppAbout();
}

}  // namespace tessary::test
