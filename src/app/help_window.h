#pragma once
// The help window: the HTML pages built into the program, with contents, back and
// forward. Pages live under qrc:/help/.
#include <QMainWindow>
#include <QUrl>

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

 private:
  QTextBrowser* m_pBrowser;
  bool m_bPlaced = false;
};

}  // namespace tessary
