#pragma once
// Full-text search over the help pages built into the program, and the page that
// belongs to a window (what F1 opens).
#include <QString>
#include <vector>

class QWidget;

namespace tessary {

class CTessaryView;

struct CHelpHit {
  QString m_strPage;     // "list_window.html"
  QString m_strTitle;    // the page's <title>
  QString m_strSnippet;  // the text around the first hit, plain
  int m_nScore = 0;      // occurrences of the query's words
};

// Pages holding every word of the query (case-insensitive), best first; page order
// breaks ties so the result is stable.
std::vector<CHelpHit> SearchHelp(const QString& query);

// The search results as a page of links, for the help window.
QString HelpResultsHtml(const QString& query, const std::vector<CHelpHit>& hits);

// A window names its help page with this; F1 in it (or in any of its children) opens it.
void SetHelpPage(QWidget* window, const QString& page);
// The page of the window with the focus: its own, else the kind of the active view.
QString HelpPageFor(const QWidget* focusWindow, const CTessaryView* activeView);

}  // namespace tessary
