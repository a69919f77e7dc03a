// Associated-word and sentence searches in the program: the request dialogs and what
// they remember, the window's text against the core's for the same request, the
// colours of the associated words and sentence keywords, the sort refusal, and the
// search-string boxes (one line, the old string selected) and the empty result.
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QTemporaryDir>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTextBlock>
#include <QTextCursor>

#include "app/associated_dialogs.h"
#include "app/command_ids.h"
#include "app/concordance_fixture.h"
#include "app/search_string_edit.h"
#include "engine/concordance_search.h"
#include "ui/qt_text.h"

namespace tessary::test {
namespace {

// The window text the core gives for a request over one text.
QString CoreText(const CSearchRequest& request, const QString& text, const std::string& path) {
  if (request.m_bUnicode) {
    auto search = CWideConcordanceSearch::Create(request, {});
    EXPECT_TRUE(search) << search.Error();
    (*search)->SearchText(ToU16(text), path);
    return FromU16(RenderUtf16((*search)->Finish(), {}).m_wstrText);
  }
  auto search = CConcordanceSearch::Create(request, {});
  EXPECT_TRUE(search) << search.Error();
  const CCodePage& cp = (*search)->TextCodePage();
  (*search)->SearchText(cp.FromUnicode(ToU16(text)), path);
  return FromU16(RenderUtf16((*search)->Finish(), cp, {}).m_wstrText);
}

const QString kFiller = QString("xx ").repeated(25);

// Each part stands alone on its line (the filler is wider than the context).
const QString kPlexonText = kFiller + "today the board will make a final decision on it " + kFiller +
                            "decision final today and then we make " + kFiller +
                            "so we make it today with a final decision " + kFiller + "we make a decision " + kFiller;

class AssociatedTest : public ProgramTest {
 protected:
  CMainFrame& Frame() { return *m_pApp->MainFrame(); }

  // Presses "Plexon search" and answers both dialogs: ANSI, then the node and words.
  void Plexon(const QString& node, const QStringList& words, AssocZone zone,
              const QString& sortMode = "Unsorted") {
    m_pPrompt->OnDialogOf<CCodeSetDialog>([](CCodeSetDialog& d) {
      d.m_bUnicode = false;
      return true;
    });
    m_pPrompt->OnDialogOf<CPlexonDialog>([=](CPlexonDialog& d) {
      EXPECT_EQ(d.m_strSortMode, "Unsorted");
      d.m_strNode = node;
      d.m_strAssocWord1 = words.value(0);
      d.m_strAssocWord2 = words.value(1);
      d.m_strAssocWord3 = words.value(2);
      d.m_zone = zone;
      d.m_strSortMode = sortMode;
      return true;
    });
    Frame().OnCommand(ids::kPlexonSearch);
    WaitForRun();
  }

  // "Sentence concordances" with the selection answered.
  void Sentences(const QString& key, bool numbers, const QString& sortMode = "Unsorted") {
    m_pPrompt->OnDialogOf<CCodeSetDialog>([](CCodeSetDialog&) { return true; });
    m_pPrompt->OnDialogOf<CConcordanceSelectionDialog>([=](CConcordanceSelectionDialog& d) {
      d.m_strSearch = key;
      d.m_strSortMode = sortMode;
      d.m_strLineNumbers = numbers ? "Yes" : "No";
      return true;
    });
    Frame().OnCommand(ids::kSentenceConcordances);
    WaitForRun();
  }

  // The start values of every setting, in the machine's code page.
  CSearchRequest DefaultRequest() const {
    CSearchSettings defaults;
    defaults.m_nAnsiCodePage = m_pApp->m_settings.m_nAnsiCodePage;
    return CSearchRequest::FromSettings(defaults);
  }

  // A byte request as the dialogs should have built it, made here by hand.
  CSearchRequest ByteRequest(const std::string& key) const {
    CSearchRequest r = DefaultRequest();
    r.m_strSearch = key;
    r.m_wstrTyped = ToU16(QString::fromStdString(key));
    return r;
  }

  // Column of word in line k of the view, and that position in the document.
  int PositionOf(const CTessaryView* view, int line, const QString& word) const {
    const QTextBlock block = view->Document()->findBlockByNumber(line);
    const QRegularExpression whole("\\b" + word + "\\b", QRegularExpression::UseUnicodePropertiesOption);
    const int column = static_cast<int>(block.text().indexOf(whole));
    EXPECT_GE(column, 0) << word.toStdString();
    return block.position() + column;
  }
};

TEST_F(AssociatedTest, PlexonSearchKeepsTheLinesWithAllThreeWordsInEachZone) {
  OpenText(kPlexonText, "/t/plexon.txt");
  const std::vector<std::string> words = {"decision", "final", "today"};
  const struct {
    AssocZone zone;
    int lines;
  } cases[] = {{AssocZone::kAnywhere, 3}, {AssocZone::kLeft, 1}, {AssocZone::kRight, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.zone));
    Plexon("make", {"decision", "final", "today"}, c.zone);
    CTessaryView* view = NewestView();
    ASSERT_TRUE(view && view->List());
    EXPECT_TRUE(view->List()->m_bAssocView);
    EXPECT_EQ(view->LineCount(), c.lines);

    CSearchRequest expected = ByteRequest("make");
    expected.m_strSortMode = kUnsorted;
    expected.m_arrAssocWords = words;
    expected.m_assocZone = c.zone;
    EXPECT_EQ(TextOf(view), CoreText(expected, kPlexonText, "/t/plexon.txt"));

    // The node word magenta, words (1), (2), (3) bold red, blue and orange.
    const int node = PositionOf(view, 0, "make");
    EXPECT_EQ(FormatAt(view, node).foreground().color(), QColor(255, 0, 255));
    const QColor colours[] = {QColor(255, 0, 0), QColor(0, 0, 255), QColor(255, 125, 0)};
    for (int k = 0; k < 3; ++k) {
      const QTextCharFormat format = FormatAt(view, PositionOf(view, 0, QString::fromStdString(words[k])));
      EXPECT_EQ(format.foreground().color(), colours[k]) << words[k];
      EXPECT_EQ(format.fontWeight(), QFont::Bold);
    }
    EXPECT_EQ(Frame().PaneText(1), "make");
  }
  // The last search (to the right) kept the line whose words all follow the node word.
  EXPECT_TRUE(TextOf(NewestView()).contains("so we make it today with a final decision"));
}

TEST_F(AssociatedTest, TheDialogRemembersItsWordsAndACancelOrALaterSearchIsNeverFiltered) {
  OpenText(kPlexonText);
  Plexon("make", {"decision", "", "today"}, AssocZone::kRight, "Sort Right");
  CTessaryView* first = NewestView();
  // A third word counts though the second box was left empty; "Sort Right" was chosen.
  EXPECT_EQ(first->List()->m_request.m_arrAssocWords, (std::vector<std::string>{"decision", "today"}));
  EXPECT_TRUE(first->List()->m_bSorted);
  EXPECT_EQ(first->LineCount(), 1);

  const auto documents = m_pApp->Documents().size();
  const CSearchSettings before = m_pApp->m_settings;
  m_pPrompt->OnDialogOf<CCodeSetDialog>([](CCodeSetDialog&) { return true; });
  m_pPrompt->OnDialogOf<CPlexonDialog>([](CPlexonDialog& d) {
    EXPECT_EQ(d.m_strNode, "make");
    EXPECT_EQ(d.m_strAssocWord1, "decision");
    EXPECT_EQ(d.m_strAssocWord2, "");
    EXPECT_EQ(d.m_strAssocWord3, "today");
    EXPECT_EQ(d.m_zone, AssocZone::kRight);
    EXPECT_EQ(d.m_strSortMode, "Unsorted");  // proposed again
    d.m_strAssocWord1 = "other";
    d.m_zone = AssocZone::kLeft;
    return false;
  });
  Frame().OnCommand(ids::kPlexonSearch);
  EXPECT_EQ(m_pApp->Documents().size(), documents);
  EXPECT_EQ(m_pApp->m_settings.m_strAssocWord1, before.m_strAssocWord1);
  EXPECT_TRUE(m_pApp->m_settings.m_nNearRight && !m_pApp->m_settings.m_nNearLeft);

  // F5 afterwards finds every "make", with no words and no associated colours.
  Search("make", "Unsorted");
  CTessaryView* plain = NewestView();
  EXPECT_EQ(plain->LineCount(), 4);
  EXPECT_TRUE(plain->List()->m_request.m_arrAssocWords.empty());
  EXPECT_FALSE(plain->List()->m_bAssocView);
  EXPECT_EQ(TextOf(plain), CoreText([&] {
              CSearchRequest r = ByteRequest("make");
              r.m_strSortMode = kUnsorted;
              return r;
            }(), kPlexonText, ""));
  EXPECT_NE(FormatAt(plain, PositionOf(plain, 3, "decision")).foreground().color(), QColor(255, 0, 0));
}

TEST_F(AssociatedTest, AnEmptyNodeWordEndsSilentlyAndAMissingFirstWordIsExplained) {
  OpenText(kPlexonText);
  const auto documents = m_pApp->Documents().size();
  Plexon("   ", {"decision"}, AssocZone::kAnywhere);
  EXPECT_TRUE(m_pPrompt->m_arrMessages.isEmpty());
  Plexon("make", {"", "final"}, AssocZone::kAnywhere);
  ASSERT_EQ(m_pPrompt->m_arrMessages.size(), 1);
  EXPECT_TRUE(m_pPrompt->m_arrMessages.front().startsWith("Please type associated word (1)"));
  EXPECT_EQ(m_pApp->Documents().size(), documents);
  // What was typed is kept for the next dialog.
  EXPECT_EQ(m_pApp->m_settings.m_strAssocWord2, "final");
}

TEST_F(AssociatedTest, PlexonSearchOfChosenFiles) {
  QTemporaryDir dir;
  QFile file(dir.filePath("a.txt"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(kPlexonText.toLatin1());
  file.close();
  m_pPrompt->OnDialogOf<CCodeSetDialog>([](CCodeSetDialog&) { return true; });
  m_pPrompt->OnDialogOf<CPlexonDialog>([](CPlexonDialog& d) {
    d.m_strNode = "make";
    d.m_strAssocWord1 = "decision";
    d.m_zone = AssocZone::kRight;
    d.m_bDirectory = true;
    return true;
  });
  CFileDialogResult chosen;
  chosen.m_bOk = true;
  chosen.m_arrFiles = {dir.filePath("a.txt")};
  m_pPrompt->OnFiles(chosen);
  Frame().OnCommand(ids::kPlexonSearch);
  WaitForRun();
  CTessaryView* view = NewestView();
  ASSERT_TRUE(view && view->List());
  EXPECT_TRUE(view->List()->m_bFromFiles && view->List()->m_bAssocView);
  EXPECT_EQ(m_pPrompt->m_arrFileRequests.back().m_strTitle, "Directory File Search");
  CSearchRequest expected = ByteRequest("make");
  expected.m_strSortMode = kUnsorted;
  expected.m_arrAssocWords = {"decision"};
  expected.m_assocZone = AssocZone::kRight;
  EXPECT_EQ(TextOf(view), CoreText(expected, kPlexonText, ""));
  EXPECT_EQ(view->LineCount(), 3);
  EXPECT_TRUE(m_pApp->m_settings.m_bDirectory);
}

TEST_F(AssociatedTest, UnicodePlexonAndAssociatedWordsSearchOneWordIn16BitText) {
  const QString text = kFiller + QString::fromUtf8("Москва большой город и столица ") + kFiller +
                       QString::fromUtf8("город Москва ") + kFiller;
  OpenText(text, "/t/ru.txt");
  m_pPrompt->OnDialogOf<CCodeSetDialog>([](CCodeSetDialog& d) {
    d.m_bUnicode = true;
    return true;
  });
  m_pPrompt->OnDialogOf<CUnicodeAssociatedDialog>([](CUnicodeAssociatedDialog& d) {
    d.m_strSearch = QString::fromUtf8("МОСКВА");
    d.m_strAssocWord = QString::fromUtf8("столица");
    d.m_zone = AssocZone::kRight;
    return true;
  });
  Frame().OnCommand(ids::kPlexonSearch);
  WaitForRun();
  CTessaryView* view = NewestView();
  ASSERT_TRUE(view->List() && view->List()->Unicode());
  EXPECT_EQ(view->LineCount(), 1);
  CSearchRequest expected = DefaultRequest();
  expected.m_bUnicode = true;
  expected.m_wstrSearch = ToU16(QString::fromUtf8("МОСКВА"));
  expected.m_strSortMode = kUnsorted;
  expected.m_wstrAssocWord = ToU16(QString::fromUtf8("столица"));
  expected.m_assocZone = AssocZone::kRight;
  EXPECT_EQ(TextOf(view), CoreText(expected, text, "/t/ru.txt"));
  // The associated word of a 16-bit list: bold, italic and underlined red.
  const QTextCharFormat word = FormatAt(view, PositionOf(view, 0, QString::fromUtf8("столица")));
  EXPECT_EQ(word.foreground().color(), QColor(255, 0, 0));
  EXPECT_TRUE(word.fontItalic() && word.fontUnderline());

  // "Associated words" asks the Unicode dialog alone, starting from the last answers.
  m_pPrompt->OnDialogOf<CUnicodeAssociatedDialog>([](CUnicodeAssociatedDialog& d) {
    EXPECT_EQ(d.m_strAssocWord, QString::fromUtf8("столица"));
    EXPECT_EQ(d.m_zone, AssocZone::kRight);
    d.m_strAssocWord = QString::fromUtf8("город");
    d.m_zone = AssocZone::kLeft;
    return true;
  });
  Frame().OnCommand(ids::kAssociatedWords);
  WaitForRun();
  CTessaryView* left = NewestView();
  ASSERT_NE(left, view);
  EXPECT_EQ(left->LineCount(), 1);
  EXPECT_TRUE(TextOf(left).contains(QString::fromUtf8("город Москва")));
}

TEST_F(AssociatedTest, SentenceConcordancesInAllFourLayoutsMatchTheCore) {
  const QString text = "He said no. Then he left. (See below.) Next we see it.";
  OpenText(text, "/t/s.txt");
  for (const bool numbers : {false, true}) {
    for (const bool reference : {false, true}) {
      SCOPED_TRACE(QStringLiteral("numbers %1, reference %2").arg(numbers).arg(reference).toStdString());
      m_pApp->m_settings.m_bFileReference = reference;
      Sentences("see", numbers, "Sort Right");
      CTessaryView* view = NewestView();
      ASSERT_TRUE(view->List() && view->List()->Sentences());
      EXPECT_FALSE(view->List()->m_bSorted);  // whatever the sort mode said
      CSearchRequest expected = ByteRequest("see");
      expected.m_bSentences = true;
      expected.m_bLineNumbers = numbers;
      expected.m_bFileReference = reference;
      EXPECT_EQ(TextOf(view), CoreText(expected, text, "/t/s.txt"));
      const QString prefix = numbers ? "1      " : "";
      const QString suffix = reference ? " (/t/s.txt)" : "";
      EXPECT_EQ(TextOf(view).split('\n').at(0), prefix + "(See below." + suffix);
      EXPECT_EQ(TextOf(view).split('\n').at(1), (numbers ? "2      " : "") + QString("Next we see it.") + suffix);
      // The keyword of each sentence: bold, italic and underlined red, in the window's size.
      const QTextCharFormat keyword = FormatAt(view, static_cast<int>(prefix.size()) + 1);
      EXPECT_EQ(keyword.foreground().color(), QColor(255, 0, 0));
      EXPECT_TRUE(keyword.fontWeight() == QFont::Bold && keyword.fontItalic() && keyword.fontUnderline());
      EXPECT_FALSE(FormatAt(view, static_cast<int>(prefix.size())).fontUnderline());
      EXPECT_TRUE(view->GetDocument()->m_bFormatted);
      EXPECT_FALSE(m_pApp->m_settings.m_bSentences);
    }
  }
  // The ask is used once: F5 afterwards gives fixed-width lines again.
  m_pApp->m_settings.m_bFileReference = false;
  Search("see", "Unsorted", false);
  EXPECT_FALSE(NewestView()->List()->Sentences());
  EXPECT_EQ(TextOf(NewestView()).split('\n').at(0).mid(50, 3), "See");
}

TEST_F(AssociatedTest, SentenceKeywordsAreMarkedUnderManualFormatAndTheListRefusesASort) {
  OpenText("He said no. Then he left.");
  m_pApp->m_settings.m_bAutoFormat = false;
  Sentences("he", false);
  CTessaryView* view = NewestView();
  ASSERT_EQ(view->LineCount(), 2);
  EXPECT_EQ(TextOf(view), "He said no.\nThen he left.\n");
  EXPECT_TRUE(FormatAt(view, 0).fontUnderline());

  Frame().ActivateView(view);
  const auto documents = m_pApp->Documents().size();
  EXPECT_TRUE(Frame().CommandEnabled(ids::kSortRight));
  Frame().OnCommand(ids::kSortRight);
  Frame().OnCommand(ids::kSortLeft);
  ASSERT_EQ(m_pPrompt->m_arrMessages.size(), 2);
  for (const QString& message : m_pPrompt->m_arrMessages)
    EXPECT_EQ(message, "You cannot sort collocates for sentences. Run a normal concordance search to get an "
                       "unsorted list window before running a collocate sort.");
  EXPECT_EQ(m_pApp->Documents().size(), documents);
  EXPECT_FALSE(m_pApp->Concordance().Running());
}

TEST_F(AssociatedTest, ASearchWithoutMatchesNamesItsStringInTheStatusBar) {
  OpenText("nothing to see");
  const auto documents = m_pApp->Documents().size();
  Search("lordlove", "Unsorted");
  ASSERT_EQ(m_pApp->Documents().size(), documents + 1);
  CTessaryView* view = NewestView();
  EXPECT_EQ(view->LineCount(), 0);
  EXPECT_EQ(Frame().PaneText(0), "No concordances found for < lordlove >");
  EXPECT_EQ(Frame().PaneText(2), "0");
  // And again whenever the empty window gets the focus.
  Frame().SetPaneText(0, "Ready");
  m_pApp->Concordance().OnViewFocus(view);
  EXPECT_EQ(Frame().PaneText(0), "No concordances found for < lordlove >");
}

TEST_F(AssociatedTest, ASearchStringNeverHoldsALineBreak) {
  OpenText("the lord is here");
  Search("lord\n");
  CTessaryView* view = NewestView();
  EXPECT_EQ(view->LineCount(), 1);
  EXPECT_EQ(view->List()->m_request.m_strSearch, "lord");
  Search("\r\nthe\nlord\n", "Unsorted", true, 0, true);
  EXPECT_EQ(NewestView()->List()->m_request.m_wstrSearch, u"the lord");
  EXPECT_EQ(NewestView()->LineCount(), 1);
  EXPECT_EQ(OneLineSearchString("a\r\n\nb\u2029"), "a b");
}

// The real widgets, offscreen: what a user's keys do in the search boxes.
TEST_F(AssociatedTest, EnterInTheUnicodeSearchBoxPressesOkAndThePreviousStringIsSelected) {
  CConcordanceSelectionDialog model;
  model.m_bUnicodeForm = true;
  model.m_strSearch = "lord";
  std::unique_ptr<QDialog> dialog = model.CreateWidget(nullptr);
  dialog->show();
  auto* edit = dialog->findChild<QTextEdit*>("search");
  ASSERT_TRUE(edit);
  EXPECT_EQ(edit->textCursor().selectedText(), "lord");
  EXPECT_FALSE(edit->accessibleName().isEmpty());

  // Typing replaces the selected string, a pasted line break becomes a space.
  QKeyEvent key(QEvent::KeyPress, Qt::Key_L, Qt::NoModifier, "l");
  QApplication::sendEvent(edit, &key);
  EXPECT_EQ(edit->toPlainText(), "l");
  QApplication::clipboard()->setText("ove\nme");
  edit->paste();
  EXPECT_EQ(edit->toPlainText(), "love me");

  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
  QApplication::sendEvent(edit, &enter);
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_FALSE(dialog->isVisible());
  model.ReadWidget(*dialog);
  EXPECT_EQ(model.m_strSearch, "love me");
}

TEST_F(AssociatedTest, ByteAndPlexonDialogsOpenWithTheOldStringSelected) {
  CConcordanceSelectionDialog selection;
  selection.m_strSearch = "lord";
  std::unique_ptr<QDialog> dialog = selection.CreateWidget(nullptr);
  dialog->show();
  auto* edit = dialog->findChild<QLineEdit*>("search");
  ASSERT_TRUE(edit);
  EXPECT_EQ(edit->selectedText(), "lord");
  QKeyEvent key(QEvent::KeyPress, Qt::Key_L, Qt::NoModifier, "l");
  QApplication::sendEvent(edit, &key);
  EXPECT_EQ(edit->text(), "l");

  CPlexonDialog plexon;
  plexon.m_strNode = "make";
  plexon.m_strAssocWord1 = "decision";
  std::unique_ptr<QDialog> plexonWidget = plexon.CreateWidget(nullptr);
  plexonWidget->show();
  auto* node = plexonWidget->findChild<QLineEdit*>("node");
  ASSERT_TRUE(node);
  EXPECT_EQ(node->selectedText(), "make");
  EXPECT_EQ(plexonWidget->findChild<QComboBox*>("sort")->currentText(), "Unsorted");
  // Every control can be named by a screen reader.
  std::vector<QWidget*> controls;
  for (QLineEdit* box : plexonWidget->findChildren<QLineEdit*>())
    if (!box->objectName().isEmpty()) controls.push_back(box);  // not a combo box's own edit
  for (auto* w : plexonWidget->findChildren<QRadioButton*>()) controls.push_back(w);
  for (auto* w : plexonWidget->findChildren<QComboBox*>()) controls.push_back(w);
  for (auto* w : plexonWidget->findChildren<QPushButton*>()) controls.push_back(w);
  EXPECT_EQ(controls.size(), 4u + 2 + 3 + 4 + 3 + 2);
  for (QWidget* control : controls)
    EXPECT_FALSE(control->accessibleName().isEmpty()) << control->metaObject()->className();
  // OK reads the boxes back.
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
  QApplication::sendEvent(node, &enter);
  EXPECT_EQ(plexonWidget->result(), QDialog::Accepted);
  plexon.m_strNode.clear();
  plexon.ReadWidget(*plexonWidget);
  EXPECT_EQ(plexon.m_strNode, "make");
  EXPECT_EQ(plexon.m_strAssocWord1, "decision");
}

}  // namespace
}  // namespace tessary::test
