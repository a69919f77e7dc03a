#pragma once
// The browser window: a top-level window owned by the main frame, with its own menu
// and its "Browser toolbar", over a page area of the web engine. Closing it only hides
// it; the page keeps its history.
#include <QMainWindow>
#include <QUrl>
#include <map>
#include <memory>

class QAction;
class QDockWidget;
class QLabel;
class QToolBar;

namespace tessary {

class CBrowserController;
class IWebPane;

// The browser window's own commands.
namespace web_ids {
enum : int {
  kGoBack = 10157,
  kGoForward = 10158,
  kLookup = 1171,
  kHome = 1168,
  kConcordancer = 10160,
  kOnlineHelp = 1175,
  kShowToolBar = 1172,
  kFloatToolBar = 1173,
  kClose = 1170,
  kAbout = 57664,
  kHelp = 57670,
};
}  // namespace web_ids

class CWebView : public QMainWindow {
  Q_OBJECT
 public:
  CWebView(CBrowserController& controller, QWidget* owner);
  ~CWebView() override;

  // Makes the page area the first time it is wanted; false when the web engine is not
  // available (Unavailable() says why).
  bool EnsurePage();
  const QString& Unavailable() const { return m_strUnavailable; }
  IWebPane* Page() const { return m_pPage.get(); }

  void Navigate(const QUrl& url);
  void GoBack();
  void GoForward();
  // Shows the window, the first time over the owner's client area.
  void ShowWindow();
  // The tool bar floats at the top-left corner of the page, laid out horizontally.
  void FloatToolBar();
  // The tool bar docks again and shows.
  void DockToolBar();
  QDockWidget* ToolBarDock() const { return m_pDock; }
  QToolBar* ToolBar() const { return m_pToolBar; }
  QAction* Action(int id) const;
  void OnCommand(int id);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateActions();
  void CreateMenus();

  CBrowserController& m_controller;
  std::unique_ptr<IWebPane> m_pPage;
  QLabel* m_pPlaceholder = nullptr;
  QDockWidget* m_pDock = nullptr;
  QToolBar* m_pToolBar = nullptr;
  std::map<int, QAction*> m_actions;
  QString m_strUnavailable;
  bool m_bTriedPage = false;
  bool m_bPlaced = false;
};

}  // namespace tessary
