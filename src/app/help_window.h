#pragma once
// The help window: the HTML pages built into the program, with contents, back and
// forward. Pages live under qrc:/help/.
#include <QMainWindow>
#include <QUrl>

class QLineEdit;
class QTextBrowser;

namespace tessary {

class CHelpWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit CHelpWindow(QWidget* owner);

  static QUrl PageUrl(const QString& page);  // "" for the contents page
  // Shows the page; the first time the window opens centred on its owner and inside
  // the screen.
  void ShowPage(const QString& page = QString());
  QTextBrowser* Browser() const { return m_pBrowser; }
  QLineEdit* SearchBox() const { return m_pSearch; }
  // Lists the pages holding every word of query; the first hit is marked on the page
  // opened from the list.
  void Search(const QString& query);

 private:
  void MarkSearchedWord();

  QTextBrowser* m_pBrowser;
  QLineEdit* m_pSearch;
  QString m_strSearched;
  bool m_bPlaced = false;
};

}  // namespace tessary
