#include "app/help_search.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTextDocument>
#include <QVariant>
#include <QWidget>
#include <algorithm>

#include "editor/tessary_doc.h"
#include "editor/tessary_view.h"
#include "engine/concordance_list.h"

namespace tessary {

namespace {

constexpr char kHelpPageProperty[] = "tessaryHelpPage";
constexpr int kSnippetChars = 160;

struct CHelpText {
  QString m_strTitle;
  QString m_strText;
};

CHelpText ReadPage(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  QTextDocument document;
  document.setHtml(QString::fromUtf8(file.readAll()));
  return {document.metaInformation(QTextDocument::DocumentTitle), document.toPlainText()};
}

QString Snippet(const QString& text, qsizetype at) {
  const qsizetype start = std::max<qsizetype>(0, at - kSnippetChars / 3);
  QString part = text.mid(start, kSnippetChars).simplified();
  if (start > 0) part.prepend(QStringLiteral("… "));
  if (start + kSnippetChars < text.size()) part.append(QStringLiteral(" …"));
  return part;
}

}  // namespace

std::vector<CHelpHit> SearchHelp(const QString& query) {
  const QStringList words = query.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
  std::vector<CHelpHit> hits;
  if (words.isEmpty()) return hits;
  const QStringList pages = QDir(QStringLiteral(":/help")).entryList({QStringLiteral("*.html")}, QDir::Files,
                                                                     QDir::Name);
  for (const QString& page : pages) {
    const CHelpText text = ReadPage(QStringLiteral(":/help/") + page);
    CHelpHit hit{page, text.m_strTitle.isEmpty() ? page : text.m_strTitle, QString(), 0};
    qsizetype first = -1;
    for (const QString& word : words) {
      const int count = static_cast<int>(text.m_strText.count(word, Qt::CaseInsensitive));
      if (count == 0) {
        hit.m_nScore = 0;
        break;
      }
      hit.m_nScore += count;
      if (first < 0) first = text.m_strText.indexOf(word, 0, Qt::CaseInsensitive);
    }
    if (hit.m_nScore == 0) continue;
    hit.m_strSnippet = Snippet(text.m_strText, first);
    hits.push_back(std::move(hit));
  }
  std::stable_sort(hits.begin(), hits.end(),
                   [](const CHelpHit& a, const CHelpHit& b) { return a.m_nScore > b.m_nScore; });
  return hits;
}

QString HelpResultsHtml(const QString& query, const std::vector<CHelpHit>& hits) {
  QString html = QStringLiteral("<html><head><title>Search: %1</title></head><body><h1>Search: %1</h1>")
                     .arg(query.toHtmlEscaped());
  if (hits.empty()) html += QStringLiteral("<p>No page of the help holds all of these words.</p>");
  for (const CHelpHit& hit : hits)
    html += QStringLiteral("<p><a href=\"qrc:/help/%1\">%2</a><br>%3</p>")
                .arg(hit.m_strPage, hit.m_strTitle.toHtmlEscaped(), hit.m_strSnippet.toHtmlEscaped());
  return html + QStringLiteral("</body></html>");
}

void SetHelpPage(QWidget* window, const QString& page) { window->setProperty(kHelpPageProperty, page); }

QString HelpPageFor(const QWidget* focusWindow, const CTessaryView* activeView) {
  for (const QWidget* w = focusWindow; w; w = w->parentWidget()) {
    const QVariant page = w->property(kHelpPageProperty);
    if (page.isValid()) return page.toString();
    if (w->isWindow()) break;
  }
  if (!activeView || !activeView->GetDocument()) return QString();
  if (const CConcordanceList* list = activeView->List()) {
    if (list->TestMode()) return QStringLiteral("gap_fill.html");
    return QStringLiteral("list_window.html");
  }
  return QStringLiteral("documents.html");
}

}  // namespace tessary
