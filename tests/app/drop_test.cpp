// Files dropped from a file manager onto the main window or onto a document's text.
#include <QDropEvent>
#include <QMimeData>
#include <QTextEdit>
#include <QUrl>

#include "app/app_fixture.h"

namespace tessary::test {

namespace {

QMimeData* FileDrag(const QStringList& paths, const QList<QUrl>& more = {}) {
  auto* data = new QMimeData;
  QList<QUrl> urls;
  for (const QString& path : paths) urls.push_back(QUrl::fromLocalFile(path));
  data->setUrls(urls + more);
  return data;
}

// Drags the data over target and drops it there, as a file manager would; returns
// whether the target took the drag and the drop.
bool DragAndDrop(QWidget* target, QMimeData* data) {
  const std::unique_ptr<QMimeData> owner(data);
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, data, Qt::LeftButton,
                        Qt::NoModifier);
  QCoreApplication::sendEvent(target, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, data, Qt::LeftButton,
                  Qt::NoModifier);
  QCoreApplication::sendEvent(target, &drop);
  // Files are copied in, never moved away from the file manager.
  EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
  return drop.isAccepted();
}

QStringList OpenPaths(const CTessaryApp& app) {
  QStringList paths;
  for (const CTessaryDoc* doc : app.Documents()) paths.push_back(doc->PathName());
  return paths;
}

}  // namespace

TEST_F(AppTest, FilesDroppedOnTheWindowOpenEachOnceAndOtherDragsAreRefused) {
  CTessaryApp& app = Start();
  const QString a = Write("a.txt", "alpha text\n");
  const QString b = Write("b.rtf", "{\\rtf1\\ansi beta text\\par}");

  ASSERT_TRUE(DragAndDrop(&Frame(), FileDrag({a, b}, {QUrl("https://example.org/c.txt")})));
  Flush();
  ASSERT_EQ(app.Documents().size(), 3u);  // the start-up document and the two files
  EXPECT_TRUE(OpenPaths(app).contains(a));
  EXPECT_TRUE(OpenPaths(app).contains(b));
  EXPECT_EQ(app.RecentFiles().value(0), b);

  // A file already open is brought forward, not opened twice.
  ASSERT_TRUE(DragAndDrop(&Frame(), FileDrag({a})));
  Flush();
  EXPECT_EQ(app.Documents().size(), 3u);
  EXPECT_EQ(Frame().ActiveView()->GetDocument()->PathName(), a);

  // Folders and remote addresses are nothing to open: the drag is refused outright.
  EXPECT_FALSE(DragAndDrop(&Frame(), FileDrag({m_dir.path()}, {QUrl("https://example.org/d.txt")})));
  auto* text = new QMimeData;
  text->setText("just words");
  EXPECT_FALSE(DragAndDrop(&Frame(), text));
  Flush();
  EXPECT_EQ(app.Documents().size(), 3u);
}

TEST_F(AppTest, AFileDroppedOnADocumentsTextOpensInsteadOfPastingItsName) {
  CTessaryApp& app = Start();
  CTessaryView* view = app.Documents().front()->FirstView();
  ASSERT_NE(view->RichEdit(), nullptr);
  const QString a = Write("dropped.txt", "gamma\n");

  ASSERT_TRUE(DragAndDrop(view->RichEdit()->viewport(), FileDrag({a})));
  Flush();
  EXPECT_TRUE(view->Document()->toPlainText().isEmpty());
  ASSERT_EQ(app.Documents().size(), 2u);
  EXPECT_EQ(app.Documents().back()->PathName(), a);
  EXPECT_TRUE(app.Documents().back()->Document()->toPlainText().startsWith("gamma"));
}

}  // namespace tessary::test
