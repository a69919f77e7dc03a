// The browser window and the Internet commands, against an HTTP server of the test's
// own on 127.0.0.1: nothing here reaches the internet.
#include <QClipboard>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMimeData>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include "app/app_fixture.h"
#include "app/concordance_fixture.h"
#include "app/browser_controller.h"
#include "app/command_ids.h"
#include "app/export_controller.h"
#include "app/web_view.h"
#include "browser/web_engine_env.h"
#include "browser/web_engine_loader.h"
#include "browser/web_pane.h"

namespace tessary::test {
namespace {

template <class F>
bool WaitUntil(F done, int nMilliseconds = 60000) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > nMilliseconds) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    QThread::msleep(5);
  }
  return true;
}

// Answers every GET with a small page and keeps the request targets.
class CLocalServer {
 public:
  CLocalServer() {
    EXPECT_TRUE(m_server.listen(QHostAddress::LocalHost, 0));
    QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
      while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { Serve(socket); });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
      }
    });
  }
  QString Base() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()); }
  bool Got(const QString& target) const { return m_arrTargets.contains(target); }
  QStringList m_arrTargets;

 private:
  void Serve(QTcpSocket* socket) {
    QByteArray& buffer = m_pending[socket];
    buffer += socket->readAll();
    if (!buffer.contains("\r\n\r\n")) return;
    const QList<QByteArray> words = buffer.left(buffer.indexOf("\r\n")).split(' ');
    m_pending.remove(socket);
    if (words.size() >= 2) m_arrTargets << QString::fromLatin1(words[1]);
    const QByteArray body = "<html><head><title>t</title></head><body>page</body></html>";
    socket->write("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\nContent-Length: " +
                  QByteArray::number(body.size()) + "\r\n\r\n" + body);
    socket->disconnectFromHost();
  }
  QTcpServer m_server;
  QHash<QTcpSocket*, QByteArray> m_pending;
};

class BrowserTest : public AppTest {
 protected:
  void SetUp() override {
    Start();
    CWebEndpoints& web = m_pApp->m_options.m_web;
    web.m_strDictionary = m_server.Base() + "/dict?SearchStr=";
    web.m_strHome = m_server.Base() + "/home";
    web.m_strConcordancer = m_server.Base() + "/conc";
    web.m_strConcordancerHelp = m_server.Base() + "/about";
    web.m_strTutorial = m_server.Base() + "/tutorial";
  }
  void TearDown() override {
    SetWebEngineModulePath(QString());
    AppTest::TearDown();
  }
  CBrowserController& Browser() { return m_pApp->Browser(); }
  CWebView& Window() { return *Browser().Window(); }
  // The engine pages, or the reason this machine can't make them.
  bool HasEngine() {
    if (!Window().EnsurePage()) return false;
    Window().Page()->m_fnLoadFinished = [this](bool) { m_arrLoaded << Window().Page()->Url().path(); };
    return true;
  }
  // Waits for the page at path to finish loading (a new navigation would cancel it).
  bool Loaded(const QString& path) {
    return WaitUntil([&] { return m_arrLoaded.contains(path); });
  }
  QStringList m_arrLoaded;
  static void SetClipboardText(const QString& text) { QGuiApplication::clipboard()->setText(text); }

  CLocalServer m_server;
};

#define REQUIRE_ENGINE()                                                          \
  if (!HasEngine()) GTEST_SKIP() << Window().Unavailable().toStdString()

TEST_F(BrowserTest, LookupSendsTheClipboardWordEncodedToTheDictionary) {
  REQUIRE_ENGINE();
  const std::pair<QString, QString> cases[] = {
      {QString::fromUtf8("na\xc3\xafve"), "/dict?SearchStr=na%C3%AFve"},
      {"a&b", "/dict?SearchStr=a%26b"},
      {"x y\n", "/dict?SearchStr=x%20y"},
      {"q=1#frag", "/dict?SearchStr=q%3D1%23frag"},
      {"", "/dict?SearchStr="},
  };
  for (const auto& [word, target] : cases) {
    SetClipboardText(word);
    Frame().OnCommand(ids::kNetDictionary);
    EXPECT_TRUE(WaitUntil([&] { return m_server.Got(target); })) << target.toStdString() << " not in "
                                                                 << m_server.m_arrTargets.join(' ').toStdString();
    EXPECT_EQ(Browser().CurrentAddress(), m_server.Base() + target);
  }
  // From the main frame the window shows with its tool bar floating.
  EXPECT_TRUE(Window().isVisible());
  EXPECT_TRUE(Window().ToolBarDock()->isFloating());
  // From the browser window's own menu too.
  SetClipboardText("menu");
  Window().Action(web_ids::kLookup)->trigger();
  EXPECT_TRUE(WaitUntil([&] { return m_server.Got("/dict?SearchStr=menu"); }));
  EXPECT_TRUE(m_pPrompt->m_arrMessages.isEmpty());
}

TEST_F(BrowserTest, LookupRefusesLongOrMissingTextWithItsMessage) {
  SetClipboardText(QString(50, 'a') + "b");
  Frame().OnCommand(ids::kNetDictionary);
  auto* data = new QMimeData;
  data->setData("application/octet-stream", "\x01\x02");
  QGuiApplication::clipboard()->setMimeData(data);
  Frame().OnCommand(ids::kNetDictionary);
  EXPECT_EQ(m_pPrompt->m_arrMessages,
            QStringList({"Select a word or short phrase to lookup.", "Error getting text from clipboard"}));
  EXPECT_FALSE(Window().isVisible());
  EXPECT_TRUE(Browser().CurrentAddress().isEmpty());
}

TEST_F(BrowserTest, BackAndForwardFollowHistoryAndSayWhenThereIsNowhereToGo) {
  REQUIRE_ENGINE();
  Window().Action(web_ids::kGoBack)->trigger();
  Window().Action(web_ids::kGoForward)->trigger();
  EXPECT_EQ(m_pPrompt->m_arrMessages,
            QStringList({"No previous page in history list.", "No following page in history list."}));
  m_pPrompt->m_arrMessages.clear();

  IWebPane& page = *Window().Page();
  Window().Navigate(QUrl(m_server.Base() + "/one"));
  ASSERT_TRUE(Loaded("/one"));
  Window().Action(web_ids::kConcordancer)->trigger();
  ASSERT_TRUE(Loaded("/conc"));
  EXPECT_TRUE(page.CanGoBack());
  Window().Action(web_ids::kGoBack)->trigger();
  EXPECT_TRUE(WaitUntil([&] { return page.Url().path() == "/one" && page.CanGoForward(); }));
  Window().Action(web_ids::kGoForward)->trigger();
  EXPECT_TRUE(WaitUntil([&] { return page.Url().path() == "/conc" && !page.CanGoForward(); }));
  Window().Action(web_ids::kGoForward)->trigger();
  EXPECT_EQ(m_pPrompt->m_arrMessages, QStringList({"No following page in history list."}));
}

TEST_F(BrowserTest, ClosingOnlyHidesAndTheNextWebCommandShowsItAgain) {
  REQUIRE_ENGINE();
  Frame().OnCommand(ids::kHomePage);
  ASSERT_TRUE(Loaded("/home"));
  QPointer<CWebView> window = &Window();
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(window->ToolBarDock()->isFloating());

  window->Action(web_ids::kClose)->trigger();
  Flush();
  ASSERT_TRUE(window);
  EXPECT_FALSE(window->isVisible());
  EXPECT_FALSE(window->ToolBarDock()->isFloating());
  window->close();  // the title bar's close button
  Flush();
  ASSERT_TRUE(window);

  Frame().OnCommand(ids::kWebConcordancer);
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(window->ToolBarDock()->isFloating());
  ASSERT_TRUE(Loaded("/conc"));
  // History outlives the hiding.
  EXPECT_TRUE(window->Page()->CanGoBack());

  Frame().OnCommand(ids::kOnlineTutorial);
  EXPECT_TRUE(Loaded("/tutorial"));
  window->Action(web_ids::kOnlineHelp)->trigger();
  EXPECT_TRUE(Loaded("/about"));
  window->Action(web_ids::kShowToolBar)->trigger();
  EXPECT_FALSE(window->ToolBarDock()->isFloating());
  EXPECT_TRUE(window->ToolBarDock()->isVisible());
}

TEST_F(BrowserTest, WithoutAWebEngineCommandsSayItAndPagesGoToTheDesktop) {
  SetWebEngineModulePath(m_dir.filePath("missing/libtessary_webengine.so"));
  Frame().OnCommand(ids::kShowBrowser);
  SetClipboardText("word");
  Frame().OnCommand(ids::kNetDictionary);
  ASSERT_EQ(m_pPrompt->m_arrMessages.size(), 2);
  for (const QString& message : m_pPrompt->m_arrMessages)
    EXPECT_TRUE(message.startsWith("The browser is not available.")) << message.toStdString();
  EXPECT_FALSE(Window().isVisible());
  EXPECT_FALSE(Browser().OpenPage(QUrl::fromLocalFile(m_dir.filePath("report.htm"))));
  EXPECT_TRUE(Frame().CommandEnabled(ids::kHomePage));
}

TEST_F(BrowserTest, OptionsRefuseWhatIsNoWebAddressKeepingWhatWasTypedAndAreKept) {
  m_pPrompt->OnDialogOf<CBrowserOptionsDialog>([](CBrowserOptionsDialog& dialog) {
    dialog.m_endpoints.m_strDictionary = "https://dict.example/find?w={word}&lang=fr";
    dialog.m_endpoints.m_strHome = "ftp://home.example/";
    dialog.m_endpoints.m_strTutorial = "  ";
    return true;
  });
  m_pPrompt->OnDialogOf<CBrowserOptionsDialog>([](CBrowserOptionsDialog& dialog) {
    EXPECT_EQ(dialog.m_endpoints.m_strHome, "ftp://home.example/");
    EXPECT_EQ(dialog.m_endpoints.m_strDictionary, "https://dict.example/find?w={word}&lang=fr");
    dialog.m_endpoints.m_strHome = "https://home.example/";
    return true;
  });
  Frame().OnCommand(ids::kBrowserOptions);
  ASSERT_EQ(m_pPrompt->m_arrMessages.size(), 1);
  EXPECT_TRUE(m_pPrompt->m_arrMessages[0].contains("ftp://home.example/"));
  const CWebEndpoints& web = m_pApp->m_options.m_web;
  EXPECT_EQ(web.m_strHome, "https://home.example/");
  EXPECT_EQ(web.m_strTutorial, CWebEndpoints().m_strTutorial);  // empty: the default

  // Cancel changes nothing; the addresses are kept with the other options.
  const CWebEndpoints chosen = web;
  m_pPrompt->CancelNextDialog();
  Frame().OnCommand(ids::kBrowserOptions);
  EXPECT_TRUE(m_pApp->m_options.m_web == chosen);
  m_pApp->ExitInstance();
  {
    QSettings settings(SettingsPath(), QSettings::IniFormat);
    settings.setValue("Options/WebConcordancer", "not an address");
  }
  Start();
  CWebEndpoints expected = chosen;
  expected.m_strConcordancer = CWebEndpoints().m_strConcordancer;
  EXPECT_TRUE(m_pApp->m_options.m_web == expected);
}

class BrowserExportTest : public ProgramTest {};

TEST_F(BrowserExportTest, SavedHtmlOpensInTheBrowserWindow) {
  OpenText("The lord spake.\nThe lord is good.\n", m_dir.filePath("source.txt"));
  Search("lord", "Unsorted", false);
  CWebView& window = *m_pApp->Browser().Window();
  if (!window.EnsurePage()) GTEST_SKIP() << window.Unavailable().toStdString();
  QStringList loaded;
  window.Page()->m_fnLoadFinished = [&](bool bOk) {
    if (bOk) loaded << window.Page()->Url().toString();
  };
  const QString out = m_dir.filePath("list.htm");
  CFileDialogResult chosen;
  chosen.m_bOk = true;
  chosen.m_arrFiles = {out};
  m_pPrompt->OnFiles(chosen);
  m_pApp->MainFrame()->OnCommand(ids::kSaveAsHtml);
  const QString url = QUrl::fromLocalFile(out).toString();
  EXPECT_TRUE(WaitUntil([&] { return loaded.contains(url); })) << loaded.join(' ').toStdString();
  EXPECT_TRUE(window.isVisible());
}

TEST(WebEngineFlags, OnlyWhatTheMachineNeeds) {
  const CWebEngineFlags user = WebEngineFlagsFor(false, "xcb", true);
  EXPECT_FALSE(user.m_bNoSandbox);
  EXPECT_FALSE(user.m_bDisableGpu);
  EXPECT_TRUE(WebEngineFlagsFor(true, "xcb", true).m_bNoSandbox);
  EXPECT_TRUE(WebEngineFlagsFor(false, "offscreen", true).m_bDisableGpu);
  EXPECT_TRUE(WebEngineFlagsFor(false, "minimal:enable_fonts", true).m_bDisableGpu);
  EXPECT_TRUE(WebEngineFlagsFor(false, "wayland", false).m_bDisableGpu);
}

}  // namespace
}  // namespace tessary::test
