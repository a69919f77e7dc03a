#pragma once
// The main frame: the multi-document area, the tool bar, the format bar, the
// three-pane status bar, every menu of the command table and the help window.
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <map>
#include <vector>

class QAction;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTimer;
class QToolBar;

namespace tessary {

class CTessaryApp;
class CTessaryView;
class CFormatBar;
class CHelpWindow;
class CBigFileView;

// The section whose "Layout2" holds the bar layout of a document kind: "Text" for
// plain and MS-DOS text, "RTF", "Word6" for both Word 6 kinds, "Write", "IP" for
// embedded documents; "" for the kinds whose layout is never kept.
QString LayoutSection(int nDocType);
// The sections above, in a fixed order.
const QStringList& LayoutSections();

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
  // The kind whose layout the bars show now (-1 before the first document).
  int AppliedKind() const { return m_nAppliedKind; }
  void SetBarLayout(const QString& section, const QByteArray& layout);

  // The help page of the window with the focus (F1).
  void ShowContextHelp();
  void ShowHelp(const QString& page = QString());
  CHelpWindow* HelpWindow() const;
  void UpdateCommandStates();
  // Runs a command as its menu item, button or shortcut would.
  void OnCommand(int id);
  bool CommandEnabled(int id) const;
  bool CommandChecked(int id) const;

  QToolBar* ToolBar() const { return m_pToolBar; }
  // The bar that holds the format bar (the format bar itself when it is a tool bar).
  QToolBar* FormatToolBar() const { return m_pFormatToolBar; }
  CFormatBar* FormatBar() const { return m_pFormatBar; }
  // The short menu stands while no document window is open.
  bool ShowsFullMenu() const { return m_bFullMenu; }
  // The sub-window of a view (nullptr when it has none).
  QMdiSubWindow* SubWindowOf(const CTessaryView* view) const;
  // Closes a view's window through the same checks as its close button.
  void CloseView(CTessaryView* view);
  // Titles of a document's windows and of the frame, after a title or modified change.
  void UpdateTitles();
  // The big file viewer's path or search message as the frame's title, until another
  // document window is activated ("" gives the usual title back).
  void SetTitleMessage(const QString& text);
  // The big file viewer: created hidden with the frame, living as long as it.
  CBigFileView* BigFileView() const { return m_pBigFileView; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Files dropped onto the window, or onto a document's text, are opened.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  bool TakeFileDrag(QEvent* event);
  void CreateActions();
  void CreateMenus();
  void CreateBars();
  QMenu* MenuOf(std::map<QString, QMenu*>& menus, std::vector<QMenu*>& top, const QString& path);
  void AddRecentFileEntries(QMenu* menu);
  void UpdateRecentFiles();
  void UpdateWindowList();
  void OnSubWindowActivated(QMdiSubWindow* sub);
  void ApplyKindOf(CTessaryView* view);
  void ScheduleUpdate();
  void ArrangeIcons();
  void PlaceSubWindow(QMdiSubWindow* sub, int nIndex);
  void SetBarVisible(QWidget* bar, bool bVisible);

  CTessaryApp& m_app;
  QMdiArea* m_pMdi;
  QToolBar* m_pToolBar = nullptr;
  CFormatBar* m_pFormatBar = nullptr;
  QToolBar* m_pFormatToolBar = nullptr;
  QLabel* m_pPanes[3] = {};
  std::map<int, QAction*> m_actions;
  std::map<QString, QByteArray> m_layouts;
  QByteArray m_defaultLayout;           // the bars as first built
  int m_nAppliedKind = -1;              // the document kind whose bar layout stands
  std::vector<QMenu*> m_arrFullMenus;   // top-level menus of the full menu
  std::vector<QMenu*> m_arrShortMenus;  // and of the short menu
  QMenu* m_pWindowMenu = nullptr;
  std::vector<QAction*> m_arrWindowList;
  QAction* m_pNoRecentFile = nullptr;
  bool m_bFullMenu = true;
  bool m_bPlacedOnScreen = false;  // the frame has been shown once
  QPointer<QMdiSubWindow> m_pLastActive;
  QPointer<CTessaryView> m_pPanesView;  // the window the status panes last told about
  QPointer<CHelpWindow> m_pHelp;
  QTimer* m_pUpdateTimer;
  QString m_strTitleMessage;
  CBigFileView* m_pBigFileView = nullptr;  // a child of the frame
};

}  // namespace tessary
