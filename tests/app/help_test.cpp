// The help: its search, and F1 opening the page of the window in use.
#include <QDirIterator>
#include <QFile>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTextDocument>
#include <QTextBrowser>
#include <algorithm>

#include "app/app_fixture.h"
#include "app/command_table.h"
#include "app/help_search.h"
#include "app/help_window.h"
#include "engine/concordance_list.h"

namespace tessary::test {
namespace {

std::vector<QString> Pages(const std::vector<CHelpHit>& hits) {
  std::vector<QString> pages;
  for (const CHelpHit& hit : hits) pages.push_back(hit.m_strPage);
  return pages;
}

TEST_F(AppTest, HelpSearchFindsPagesHoldingEveryWordOfTheQuery) {
  Start();
  const std::vector<CHelpHit> sorting = SearchHelp("sort LEFT collocate");
  ASSERT_FALSE(sorting.empty());
  const std::vector<QString> pages = Pages(sorting);
  EXPECT_NE(std::find(pages.begin(), pages.end(), "list_window.html"), pages.end());
  for (const CHelpHit& hit : sorting) {
    EXPECT_FALSE(hit.m_strTitle.isEmpty());
    EXPECT_TRUE(hit.m_strSnippet.contains("sort", Qt::CaseInsensitive) ||
                hit.m_strSnippet.contains("left", Qt::CaseInsensitive) ||
                hit.m_strSnippet.contains("collocate", Qt::CaseInsensitive))
        << hit.m_strSnippet.toStdString();
  }
  for (std::size_t i = 1; i < sorting.size(); ++i) EXPECT_GE(sorting[i - 1].m_nScore, sorting[i].m_nScore);
  EXPECT_TRUE(SearchHelp("sort xyzzyplugh").empty());
  EXPECT_TRUE(SearchHelp("   ").empty());
  // What is typed is shown as text, never as markup.
  EXPECT_TRUE(HelpResultsHtml("<b>", {}).contains("&lt;b&gt;"));
}

TEST_F(AppTest, TheHelpWindowsSearchBoxListsPagesAndOpensThem) {
  Start();
  Frame().ShowHelp();
  CHelpWindow* help = Frame().HelpWindow();
  ASSERT_NE(help, nullptr);
  EXPECT_EQ(help->SearchBox()->accessibleName(), "Search the help");
  help->Search("code page");
  const QString results = help->Browser()->toHtml();
  EXPECT_TRUE(results.contains("qrc:/help/code_pages.html"));
  help->Browser()->setSource(QUrl("qrc:/help/code_pages.html"));
  EXPECT_TRUE(help->Browser()->textCursor().selectedText().compare("code", Qt::CaseInsensitive) == 0);
}

TEST_F(AppTest, F1OpensThePageOfTheWindowInUse) {
  CTessaryApp& app = Start();
  Frame().ShowContextHelp();
  EXPECT_EQ(Frame().HelpWindow()->Browser()->source(), QUrl("qrc:/help/documents.html"));
  CTessaryDoc* list = app.NewListDocument();
  list->SetList(std::make_unique<CConcordanceList>());
  Frame().ActivateView(list->FirstView());
  Frame().ShowContextHelp();
  EXPECT_EQ(Frame().HelpWindow()->Browser()->source(), QUrl("qrc:/help/list_window.html"));
  // A window that names its page gets that page, whatever the active document.
  QWidget tool;
  SetHelpPage(&tool, "word_statistics.html");
  EXPECT_EQ(HelpPageFor(&tool, list->FirstView()), "word_statistics.html");
  QWidget child(&tool);
  EXPECT_EQ(HelpPageFor(&child, nullptr), "word_statistics.html");
  for (CTessaryDoc* doc : std::vector<CTessaryDoc*>(app.Documents())) {
    doc->SetModified(false);
    app.CloseDocument(doc);
  }
  Flush();
  EXPECT_EQ(HelpPageFor(nullptr, Frame().ActiveView()), "");
}

// A menu item's name as a reader meets it in the help: no mnemonic, no key in brackets.
QString HelpName(const char* text) {
  QString name = QString::fromLatin1(text).remove('&');
  name.remove(QRegularExpression(QStringLiteral("\\s*\\(.*\\)$")));
  return name.trimmed().toLower();
}

TEST_F(AppTest, TheHelpNamesEveryCommandOfTheMenus) {
  Start();
  QString all;
  for (QDirIterator it(":/help", {"*.html"}); it.hasNext();) {
    QFile page(it.next());
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    QTextDocument text;
    text.setHtml(QString::fromUtf8(page.readAll()));
    all += text.toPlainText().simplified().toLower() + ' ';
  }
  for (const CCommandInfo& command : CommandTable()) {
    const QString name = HelpName(command.m_pszText);
    if (name.isEmpty()) continue;
    EXPECT_TRUE(all.contains(name)) << "the help never names \"" << name.toStdString() << "\"";
  }
}

}  // namespace
}  // namespace tessary::test
