// What a newcomer meets first: the intro window and About on this platform, windows
// that open on the screen, a start with a file that is not there, and list windows
// in a monospace face that is really installed.
#include <QApplication>
#include <QDialog>
#include <QFontComboBox>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTextCursor>

#include "app/app_dialogs.h"
#include "app/concordance_fixture.h"
#include "app/help_window.h"
#include "app/intro_window.h"
#include "app/program_info.h"
#include "editor/editor_dialogs.h"
#include "editor/format_bar.h"
#include "app/app_fixture.h"
#include "app/command_ids.h"
#include "ui/fixed_font.h"
#include "ui/screen_fit.h"

namespace tessary::test {
namespace {

QRect Available() { return QGuiApplication::primaryScreen()->availableGeometry(); }

// ---- Platform words and figures ----

TEST(ProgramInfo, ByteCountsReadAsAPersonReadsThem) {
  EXPECT_EQ(FormatByteSize(0), "0 bytes");
  EXPECT_EQ(FormatByteSize(1023), "1023 bytes");
  EXPECT_EQ(FormatByteSize(1024), "1.0 KB");
  EXPECT_EQ(FormatByteSize(1536), "1.5 KB");
  EXPECT_EQ(FormatByteSize(22381416448), "20.8 GB");
  EXPECT_EQ(FormatByteSize(67330134016), "62.7 GB");  // beyond 32 bits
  EXPECT_EQ(FormatByteSize(1024LL * 1024 * 1024 - 1), "1.0 GB");  // never "1024.0 MB"
  EXPECT_EQ(FormatByteSize(5LL << 40), "5.0 TB");
}

TEST(ProgramInfo, HelpAndVersionAreFoundAmongTheArguments) {
  EXPECT_EQ(InfoOptionOf({"--help"}), InfoOption::kHelp);
  EXPECT_EQ(InfoOptionOf({"-t", "-h"}), InfoOption::kHelp);
  EXPECT_EQ(InfoOptionOf({"--version"}), InfoOption::kVersion);
  EXPECT_EQ(InfoOptionOf({"-t", "notes.txt"}), InfoOption::kNone);
  EXPECT_TRUE(UsageText().startsWith("Usage: tessary [options] [FILE]"));
}

TEST(ProgramInfo, TheIntroWindowNamesThisSystemNotAnother) {
  EXPECT_EQ(PlatformName(), "Linux");
  EXPECT_TRUE(CIntroWindow::Lines().contains("For Linux Operating Systems"));
  EXPECT_FALSE(CIntroWindow::Lines().join(' ').contains("Windows"));
}

// ---- Windows on the screen ----

TEST(ScreenFit, ARectangleIsMovedAndIfNeedBeShrunkIntoTheArea) {
  const QRect area(0, 0, 800, 600);
  EXPECT_EQ(KeepInside(QRect(10, 10, 100, 100), area), QRect(10, 10, 100, 100));
  EXPECT_EQ(KeepInside(QRect(750, 550, 100, 100), area), QRect(700, 500, 100, 100));
  EXPECT_EQ(KeepInside(QRect(-50, -20, 100, 100), area), QRect(0, 0, 100, 100));
  EXPECT_EQ(KeepInside(QRect(100, 100, 1000, 700), area), area);
  EXPECT_EQ(CentredOn(QSize(200, 100), QRect(700, 500, 100, 100), area), QRect(600, 500, 200, 100));
}

TEST_F(AppTest, TheIntroWindowFollowsTheMainWindowToWhereItIsShown) {
  Start();
  Frame().resize(400, 300);
  QPointer<CIntroWindow> intro = new CIntroWindow(&Frame());
  intro->ShowOver(&Frame());  // before the frame is shown: over the screen
  EXPECT_TRUE(Available().contains(intro->frameGeometry()));
  Frame().show();
  Frame().move(Available().center() - QPoint(180, 140));  // as a window manager places it
  Flush();
  EXPECT_LE((intro->frameGeometry().center() - Frame().frameGeometry().center()).manhattanLength(), 2);
  // In the screen's corner the intro window, larger than the frame, stays on the screen.
  Frame().resize(200, 120);
  Frame().move(Available().bottomRight() - QPoint(199, 119));
  Flush();
  EXPECT_TRUE(Available().contains(intro->frameGeometry()));
  intro->close();
  Frame().hide();
}

TEST_F(AppTest, HelpAndOtherWindowsOpenInsideTheScreen) {
  Start();
  // A small main window in the screen's corner: the help window, larger, centred on it
  // would stand out of the screen.
  Frame().resize(300, 200);
  Frame().show();
  Frame().move(Available().bottomRight() - QPoint(299, 199));
  Flush();
  ASSERT_TRUE(Available().contains(Frame().frameGeometry()));
  Frame().Action(ids::kHelp)->trigger();
  CHelpWindow* help = Frame().HelpWindow();
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(Available().contains(help->frameGeometry())) << help->frameGeometry().x() << "," << help->frameGeometry().y();
  // Where the user leaves it, it stays.
  help->hide();
  help->move(Available().topLeft() + QPoint(5, 5));
  help->ShowPage();
  EXPECT_EQ(help->pos(), Available().topLeft() + QPoint(5, 5));
  help->close();

  // Any other window, such as a dialog placed over a frame near the edge.
  QDialog dialog;
  dialog.resize(300, 200);
  dialog.move(Available().right() - 20, Available().bottom() - 20);
  dialog.show();
  EXPECT_TRUE(Available().contains(dialog.frameGeometry()));
  QDialog huge;
  huge.resize(Available().size() + QSize(300, 300));
  huge.show();
  EXPECT_TRUE(Available().contains(huge.frameGeometry()));
  Frame().hide();
}

// ---- The command line ----

TEST_F(AppTest, AStartWithAMissingFileNamesIt) {
  Start({}, false);
  const QString missing = m_dir.filePath("missing.txt");
  EXPECT_FALSE(m_pApp->InitInstance({missing}, false));
  ASSERT_EQ(m_pPrompt->m_arrMessages.size(), 1);
  EXPECT_EQ(m_pPrompt->m_arrMessages.front(), "Cannot open " + missing + ": the file does not exist.");
  EXPECT_EQ(m_pApp->StartFailure(), m_pPrompt->m_arrMessages.front());
  EXPECT_TRUE(m_pApp->Documents().empty());
}

// ---- The list font ----

TEST(ListFont, WindowsFacesResolveToAnInstalledMonospace) {
  for (const char* face : {"Courier New", "Courier", "Fixedsys", "Liberation Sans", "No Such Face"}) {
    SCOPED_TRACE(face);
    const QFont font = FixedFont(face, 10);
    EXPECT_TRUE(QFontDatabase::hasFamily(font.family()));
    EXPECT_TRUE(IsFixedPitch(font));
    EXPECT_EQ(RenderedFamily(font), font.family());
  }
  // fonts-liberation is in the set-up: Courier New's metrics, so the columns keep.
  EXPECT_EQ(InstalledFixedFamily("Courier New"), "Liberation Mono");
  // An installed monospace is taken as it is.
  EXPECT_EQ(InstalledFixedFamily("DejaVu Sans Mono"), "DejaVu Sans Mono");
}

class ListFontTest : public ProgramTest {
 protected:
  CTessaryView* SearchList() {
    OpenText("the cat sat on the mat with another cat");
    Search("cat");
    return NewestView();
  }
  void ChooseFont(CTessaryView* view, const QString& family) {
    m_pPrompt->OnDialogOf<CFontModel>([family](CFontModel& model) {
      model.m_font.setFamily(family);
      return true;
    });
    view->OnFormatFont();
  }
  QString FamilyAt(CTessaryView* view) {
    QTextCursor cursor = view->TextCursor();
    cursor.setPosition(3);
    return cursor.charFormat().font().resolve(view->Document()->defaultFont()).family();
  }
};

TEST_F(ListFontTest, TheFontBoxShowsTheFaceReallyUsed) {
  CTessaryView* list = SearchList();
  EXPECT_TRUE(IsFixedPitch(list->Document()->defaultFont()));
  CFormatBar* bar = m_pApp->MainFrame()->FormatBar();
  bar->SetView(list);
  EXPECT_EQ(bar->FontBox()->currentText(), RenderedFamily(list->Document()->defaultFont()));
  EXPECT_NE(bar->FontBox()->currentText(), "Courier New");
  EXPECT_NE(bar->FontBox()->currentText(), "Fixedsys");
}

TEST_F(ListFontTest, AProportionalFaceOnAListIsAskedForFirst) {
  CTessaryView* list = SearchList();
  list->SetTextCursor([&] {
    QTextCursor all = list->TextCursor();
    all.select(QTextCursor::Document);
    return all;
  }());
  const QString before = FamilyAt(list);

  m_pPrompt->OnMessage(QMessageBox::No);
  ChooseFont(list, "Liberation Sans");
  ASSERT_EQ(m_pPrompt->m_arrMessages.size(), 1);
  EXPECT_TRUE(m_pPrompt->m_arrMessages.back().startsWith("Liberation Sans is a proportional font"));
  EXPECT_EQ(FamilyAt(list), before);

  // The format bar's font box asks the same.
  CFormatBar* bar = m_pApp->MainFrame()->FormatBar();
  bar->SetView(list);
  m_pPrompt->OnMessage(QMessageBox::No);
  bar->ApplyFamily("Liberation Sans");
  EXPECT_EQ(m_pPrompt->m_arrMessages.size(), 2);
  EXPECT_EQ(FamilyAt(list), before);
  EXPECT_EQ(bar->FontBox()->currentText(), RenderedFamily(list->Document()->defaultFont()));

  // Another monospace needs no question; a yes applies the proportional face.
  ChooseFont(list, "DejaVu Sans Mono");
  EXPECT_EQ(m_pPrompt->m_arrMessages.size(), 2);
  EXPECT_EQ(FamilyAt(list), "DejaVu Sans Mono");
  m_pPrompt->OnMessage(QMessageBox::Yes);
  ChooseFont(list, "Liberation Sans");
  EXPECT_EQ(FamilyAt(list), "Liberation Sans");

  // A text window takes any face without a word.
  OpenText("plain words");
  CTessaryView* text = NewestView();
  ChooseFont(text, "Liberation Sans");
  EXPECT_EQ(m_pPrompt->m_arrMessages.size(), 3);
}

}  // namespace
}  // namespace tessary::test
