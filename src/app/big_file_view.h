#pragma once
// The big file viewer: a top-level window of the main frame that pages through a file
// of any size. It keeps a top position and reads one screenful straight from the file at
// each repaint, so its memory never grows with the file. Quick searches run on a worker
// thread with their own handle on the file; one that takes longer than 100 ms shows a
// progress dialog whose button stops it.
#include <QAbstractScrollArea>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/progress_dialog.h"
#include "bigfile/line_file.h"

class QAction;
class QLabel;
class QScrollBar;
class QTimer;

namespace tessary {

class CBackgroundTask;
class CCodePage;
class CMainFrame;
class CTessaryApp;
class CBigFileView;

// The page: draws the lines, takes the keys, the mouse and the scroll bars.
class CBigFilePage : public QAbstractScrollArea {
  Q_OBJECT
 public:
  explicit CBigFilePage(CBigFileView& view);
  // Moves a bar's thumb without taking it for the user's move.
  void SetThumb(QScrollBar* bar, int position);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int, int) override {}  // the view moves the page itself

 private:
  CBigFileView& m_view;
  bool m_bSettingThumb = false;  // the page itself moves the bar: no action of the user
};

class CBigFileView : public QMainWindow {
  Q_OBJECT
 public:
  CBigFileView(CTessaryApp& app, CMainFrame& frame);
  ~CBigFileView() override;

  // Closes any open file, then opens path; a failure is told in "File Open Error" and
  // leaves the viewer without a file.
  bool OpenPath(const std::string& path);
  void CloseFile();
  bool HasFile() const { return m_pFile != nullptr; }
  const std::string& Path() const { return m_strPath; }
  std::int64_t Length() const { return m_pFile ? m_pFile->Length() : 0; }

  // The context look-up: the page at the line holding offset, the caption naming the
  // string, and a quick search for key from that line, which tops and marks its line.
  void ShowContext(const std::string& key, std::int64_t offset);
  // Top becomes the start of the line holding offset.
  void PositionAtOffset(std::int64_t offset);
  // Stores key and searches from the current top without moving a line first.
  void SearchFromHere(const std::string& key);

  // The commands of the viewer's menu; the ones it does not handle go to the frame.
  void OnCommand(int id);
  bool CommandEnabled(int id) const;
  QAction* Action(int id) const;
  void UpdateCommandStates();

  // Scroll-bar actions (QAbstractSlider::SliderAction); p: the thumb for SliderMove.
  void VerticalAction(int action, int p = 0);
  void HorizontalAction(int action, int p = 0);
  void ScrollLines(int n);  // n > 0 down
  void GoToEnd();           // the last page
  void GoToOffset(std::int64_t offset);

  std::int64_t Top() const { return m_nTop; }
  int Thumb() const { return m_nThumb; }
  int HorizontalOffset() const { return m_nOffset; }
  // Display lines that fit the page (the last one may be partly visible).
  int LinesOnPage() const;
  int FullLinesOnPage() const;
  int VisibleColumns() const;
  // The page as the next repaint draws it (bytes of the file's code page).
  CPage ReadCurrentPage();
  // Columns of the marked instances on page line i, as the next repaint draws them.
  std::vector<std::size_t> MarkedColumns(int line, const std::string& text) const;
  const std::string& SearchString() const { return m_strSearch; }
  bool HighlightAll() const { return m_bHighlightAll; }
  bool Searching() const;
  CProgressDialog* SearchProgress() const { return m_pProgress; }
  // Selected page lines, first and last (-1 when none).
  std::pair<int, int> Selection() const;
  void SelectLines(int first, int last);
  QString SelectedText();
  QString DecodeLine(std::string_view bytes) const;
  CBigFilePage* Page() const { return m_pPage; }

  // Search delay before the progress dialog shows (tests make it 0).
  int m_nProgressDelayMs = 100;

 signals:
  void SearchFinished();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  friend class CBigFilePage;
  void CreateMenus();
  void Find(bool bNext);
  void Highlight();
  void GoToCommand();
  void CopySelection();
  bool CheckFile();
  std::optional<std::string> AskString();
  void StartSearch(std::int64_t from);
  void OnSearchDone(std::uint64_t generation);
  void StopSearch();
  void SetTop(std::int64_t top);
  void Changed();  // after a move: thumb, bars, status, repaint
  void SetFrameTitle(const QString& text);
  const CCodePage& CodePage() const;
  const CCaseFolder& Folder() const;

  CTessaryApp& m_app;
  CMainFrame& m_frame;
  CBigFilePage* m_pPage;
  QLabel* m_pPosition;
  std::map<int, QAction*> m_actions;

  std::unique_ptr<CLineFile> m_pFile;
  std::string m_strPath;
  std::int64_t m_nTop = 0;
  int m_nThumb = 0;
  int m_nOffset = 0;
  std::string m_strSearch;
  bool m_bHighlightAll = false;
  std::int64_t m_nFoundTop = -1;  // the found line, marked while it is the top line
  int m_nSelAnchor = -1, m_nSelEnd = -1;

  // The quick search on its worker thread.
  struct CSearchJob;
  std::unique_ptr<CBackgroundTask> m_pTask;
  std::shared_ptr<CSearchJob> m_pJob;
  std::uint64_t m_nGeneration = 0;
  QPointer<CProgressDialog> m_pProgress;
  QTimer* m_pProgressTimer;
  QString m_strSavedTitle;

  // The code page the lines are decoded and folded in, and the folder built for it.
  mutable int m_nCodePage = -1;
  mutable std::shared_ptr<const CCodePage> m_pCodePage;
  mutable std::unique_ptr<CCaseFolder> m_pFolder;
};

}  // namespace tessary
