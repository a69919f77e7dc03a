#pragma once
// The main frame: the multi-document area, the tool bar, the format bar, the
// three-pane status bar, every menu of the command table and the help window.
#include <QMainWindow>
#include <QString>
#include <map>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QToolBar;

namespace tessary {

class CTessaryApp;
class CTessaryView;
class CFormatBar;

class CMainFrame : public QMainWindow {
  Q_OBJECT
 public:
  explicit CMainFrame(CTessaryApp& app);
  ~CMainFrame() override;

  QMdiArea* MdiArea() const { return m_pMdi; }
  // Puts a view into a new child window and shows it.
  QMdiSubWindow* AddView(CTessaryView* view);
  CTessaryView* ActiveView() const;
  void ActivateView(CTessaryView* view);

  // The action of a command id (menus, tool bars and shortcuts share it).
  QAction* Action(int id) const;
  // Status bar: pane 0 message, pane 1 search string, pane 2 line count.
  void SetPaneText(int pane, const QString& text);
  QString PaneText(int pane) const;

  // Bar layout per document kind: saved when a document's kind changes away from
  // it, restored for the new kind.
  void SaveBarLayout(int nDocType);
  void RestoreBarLayout(int nDocType);
  QByteArray BarLayout(const QString& section) const;
  void SetBarLayout(const QString& section, const QByteArray& layout);

  void ShowHelp(const QString& page = QString());
  void UpdateCommandStates();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateActions();
  void CreateMenus();
  void CreateBars();

  CTessaryApp& m_app;
  QMdiArea* m_pMdi;
  QToolBar* m_pToolBar = nullptr;
  CFormatBar* m_pFormatBar = nullptr;
  QLabel* m_pPanes[3] = {};
  std::map<int, QAction*> m_actions;
  std::map<QString, QByteArray> m_layouts;
};

}  // namespace tessary
