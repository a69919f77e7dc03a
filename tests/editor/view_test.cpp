// Views, the format bar, find and replace, measurements, page setup and printing.
#include <QAbstractScrollArea>
#include <QComboBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "editor/editor_dialogs.h"
#include "editor/editor_fixture.h"
#include "editor/format_bar.h"
#include "editor/printing.h"
#include "richtext/file_type.h"

namespace tessary::test {
namespace {

QTextCursor Select(const QTextDocument* document, int from, int to) {
  QTextCursor cursor(const_cast<QTextDocument*>(document));
  cursor.setPosition(from);
  cursor.setPosition(to, QTextCursor::KeepAnchor);
  return cursor;
}

// ---- Views ----

using EditorView = EditorTest;

TEST_F(EditorView, ViewsLeaveTheirDocumentWhenDestroyed) {
  CTessaryDoc doc(true);
  { CTessaryView view(&doc); }
  EXPECT_TRUE(doc.Views().empty());
  // A document gone first leaves a view that no longer reaches it.
  auto* early = new CTessaryDoc(true);
  auto view = std::make_unique<CTessaryView>(early);
  delete early;
  EXPECT_EQ(view->GetDocument(), nullptr);
}

TEST_F(EditorView, LinesAndEntries) {
  CTessaryDoc doc(true);
  CTessaryView view(&doc);
  EXPECT_EQ(view.LineCount(), 0);
  doc.Document()->setPlainText("one\ntwo\n");
  EXPECT_EQ(view.LineCount(), 2);
  doc.Document()->setPlainText("one\ntwo");
  EXPECT_EQ(view.LineCount(), 2);

  // A list belongs to the document: every view of it reads the same entries.
  EXPECT_EQ(view.List(), nullptr);
  auto list = std::make_unique<CConcordanceList>();
  list->m_arrEntries.resize(2);
  list->m_arrEntries[1].m_nPosition = 42;
  doc.SetList(std::move(list));
  CTessaryView second(&doc);
  for (const CTessaryView* v : {&view, &second}) {
    ASSERT_NE(v->List(), nullptr);
    EXPECT_EQ(v->List()->EntryOfLine(-1), nullptr);
    EXPECT_EQ(v->List()->EntryOfLine(2), nullptr);
    ASSERT_NE(v->List()->EntryOfLine(1), nullptr);
    EXPECT_EQ(v->List()->EntryOfLine(1)->m_nPosition, 42);
  }
}

TEST_F(EditorView, FocusOfTheEditorIsReported) {
  CTessaryDoc doc(false);
  CTessaryView view(&doc);
  CTessaryView* focused = nullptr;
  QObject::connect(&view, &CTessaryView::FocusIn, [&](CTessaryView* v) { focused = v; });
  QFocusEvent event(QEvent::FocusIn, Qt::MouseFocusReason);
  QCoreApplication::sendEvent(view.Editor(), &event);
  EXPECT_EQ(focused, &view);
}

TEST_F(EditorView, KindChangeKeepsWrapModeOfTheOldKind) {
  CTessaryDoc doc(true);
  CTessaryView view(&doc);
  EXPECT_FALSE(view.WordWrap());
  view.OnWrapWindow();
  EXPECT_TRUE(view.WordWrap());
  doc.SetDocType(kTypeTextDos);  // from rich text
  EXPECT_TRUE(CTessaryView::WrapOfKind(kTypeRtf));
  EXPECT_FALSE(view.WordWrap());

  // MS-DOS text keeps its mode as plain text, and new views start with that one.
  view.OnWrapWindow();
  doc.SetDocType(kTypeRtf);
  EXPECT_TRUE(CTessaryView::WrapOfKind(kTypeText));
  CTessaryDoc other(false);
  EXPECT_TRUE(CTessaryView(&other).WordWrap());

  // The host hears each change after it is made, to swap the bars of the two kinds.
  doc.SetDocType(kTypeRtf);
  EXPECT_EQ(m_host.m_arrKindChanges, (std::vector<std::pair<int, int>>{{kTypeRtf, kTypeTextDos}, {kTypeTextDos, kTypeRtf}}));

  CTessaryView::SaveWrapOfKind(kTypeRtf, false);
  CTessaryView::SaveWrapOfKind(kTypeText, false);
}

TEST_F(EditorView, BulletTogglesOnTheSelectedParagraphs) {
  CTessaryDoc doc(false);
  CTessaryView view(&doc);
  doc.Document()->setPlainText("alpha\nbeta\ngamma");
  view.SetTextCursor(Select(doc.Document(), 0, 8));
  view.OnInsertBullet();
  EXPECT_TRUE(view.HasBullet());
  EXPECT_NE(doc.Document()->findBlockByNumber(1).textList(), nullptr);
  EXPECT_EQ(doc.Document()->findBlockByNumber(2).textList(), nullptr);
  view.OnInsertBullet();
  EXPECT_FALSE(view.HasBullet());
  EXPECT_EQ(doc.Document()->findBlockByNumber(0).textList(), nullptr);
  EXPECT_EQ(doc.Document()->findBlockByNumber(1).blockFormat().indent(), 0);
}

// ---- Format bar ----

class FormatBar : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    m_pDoc = std::make_unique<CTessaryDoc>(false);
    m_pView = std::make_unique<CTessaryView>(m_pDoc.get());
    m_pDoc->Document()->setPlainText("some words here");
    m_pBar = std::make_unique<CFormatBar>(nullptr);
    m_pBar->SetView(m_pView.get());
    m_pView->SetTextCursor(Select(m_pDoc->Document(), 5, 10));
  }
  QTextCharFormat At(int position) const {
    QTextCursor cursor(m_pDoc->Document());
    cursor.setPosition(position);
    return cursor.charFormat();
  }
  std::unique_ptr<CTessaryDoc> m_pDoc;
  std::unique_ptr<CTessaryView> m_pView;
  std::unique_ptr<CFormatBar> m_pBar;
};

TEST_F(FormatBar, SizeBoxValidatesAndAppliesToTheSelection) {
  EXPECT_TRUE(m_pBar->ApplySizeText("  14 "));
  EXPECT_EQ(At(7).fontPointSize(), 14);
  EXPECT_FALSE(At(2).hasProperty(QTextFormat::FontPointSize));

  EXPECT_TRUE(m_pBar->ApplySizeText("   "));
  EXPECT_TRUE(m_pPrompt->m_arrMessages.isEmpty());

  const std::pair<const char*, const char*> bad[] = {{"big", "The number is not valid"},
                                                     {"12pt", "The number is not valid"},
                                                     {"0.5", "The font size is not valid"},
                                                     {"1640", "The font size is not valid"}};
  for (const auto& [text, message] : bad) {
    SCOPED_TRACE(text);
    EXPECT_FALSE(m_pBar->ApplySizeText(text));
    EXPECT_EQ(LastMessage(), message);
  }
  EXPECT_EQ(At(7).fontPointSize(), 14);
  EXPECT_TRUE(m_pBar->ApplySizeText("1638"));  // 32760 twips, the largest
  EXPECT_TRUE(m_pBar->ApplySizeText("1"));
}

TEST_F(FormatBar, ButtonsApplyAndFollowTheCursor) {
  m_pBar->BoldAction()->trigger();
  EXPECT_GE(At(7).fontWeight(), QFont::Bold);
  EXPECT_LT(At(2).fontWeight(), QFont::Bold);
  m_pBar->ApplyFamily("Courier New");
  EXPECT_EQ(At(7).fontFamilies().toStringList().value(0), "Courier New");

  QTextCursor inside(m_pDoc->Document());
  inside.setPosition(8);
  m_pView->SetTextCursor(inside);
  EXPECT_TRUE(m_pBar->BoldAction()->isChecked());
  EXPECT_EQ(m_pBar->SizeBox()->currentText(), "10");
  inside.setPosition(2);
  m_pView->SetTextCursor(inside);
  EXPECT_FALSE(m_pBar->BoldAction()->isChecked());

  m_pBar->SetView(nullptr);
  EXPECT_FALSE(m_pBar->BoldAction()->isEnabled());
  EXPECT_FALSE(m_pBar->SizeBox()->isEnabled());
}

// ---- Find and replace ----

class FindReplace : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    m_pDoc = std::make_unique<CTessaryDoc>(true);
    m_pView = std::make_unique<CTessaryView>(m_pDoc.get());
    m_pDoc->Document()->setPlainText("cat concat Cat\ncat");
  }
  std::pair<int, int> Selection() const {
    const QTextCursor cursor = m_pView->TextCursor();
    return {cursor.selectionStart(), cursor.selectionEnd()};
  }
  std::unique_ptr<CTessaryDoc> m_pDoc;
  std::unique_ptr<CTessaryView> m_pView;
};

TEST_F(FindReplace, FindNextGoesRoundTheEnd) {
  CFindState state;
  state.m_strFind = "cat";
  state.m_bWholeWord = true;
  const std::pair<int, int> expected[] = {{0, 3}, {11, 14}, {15, 18}, {0, 3}};
  for (const auto& match : expected) {
    ASSERT_TRUE(FindNext(*m_pView, state));
    EXPECT_EQ(Selection(), match);
  }
  state.m_bMatchCase = true;
  state.m_strFind = "Cat";
  ASSERT_TRUE(FindNext(*m_pView, state));
  EXPECT_EQ(Selection(), std::make_pair(11, 14));
  state.m_strFind = "dog";
  EXPECT_FALSE(FindNext(*m_pView, state));
  EXPECT_EQ(Selection(), std::make_pair(11, 14));
}

TEST_F(FindReplace, ReplaceAllIsOneUndoStep) {
  CFindState state;
  state.m_strFind = "cat";
  state.m_strReplace = "cats";  // holds the string: must not loop
  EXPECT_EQ(ReplaceAll(*m_pView, state), 4);
  EXPECT_EQ(m_pDoc->Document()->toPlainText(), "cats concats cats\ncats");
  m_pDoc->Document()->undo();
  EXPECT_EQ(m_pDoc->Document()->toPlainText(), "cat concat Cat\ncat");
}

TEST_F(FindReplace, ReplaceChangesOnlyAMatchingSelection) {
  CFindState state;
  state.m_strFind = "cat";
  state.m_strReplace = "dog";
  state.m_bWholeWord = true;
  m_pView->SetTextCursor(Select(m_pDoc->Document(), 4, 7));  // "con": no match
  ASSERT_TRUE(ReplaceAndFind(*m_pView, state));
  EXPECT_EQ(m_pDoc->Document()->toPlainText(), "cat concat Cat\ncat");
  EXPECT_EQ(Selection(), std::make_pair(11, 14));
  ASSERT_TRUE(ReplaceAndFind(*m_pView, state));
  EXPECT_EQ(m_pDoc->Document()->toPlainText(), "cat concat dog\ncat");
  EXPECT_EQ(Selection(), std::make_pair(15, 18));
}

// ---- Measurements and page setup ----

TEST(Measurements, FormatAndParseInEveryUnit) {
  EXPECT_EQ(FormatMeasurement(1800, 1), "3.17 cm");
  EXPECT_EQ(FormatMeasurement(1440, 0), "1\"");
  EXPECT_EQ(FormatMeasurement(1800, 0), "1.25\"");
  EXPECT_EQ(FormatMeasurement(1440, 2), "72 pt");
  EXPECT_EQ(FormatMeasurement(0, 1), "0 cm");

  const std::tuple<const char*, int, int> good[] = {
      {"2.5 cm", 1, 1420}, {"2,5", 1, 1420}, {"1in", 1, 1440}, {" 1.5\" ", 1, 2160},
      {"72 PT", 0, 1440},  {"6 pi", 0, 1440}, {"2 inches", 1, 2880}, {".5", 0, 720}};
  for (const auto& [text, units, twips] : good) {
    SCOPED_TRACE(text);
    int nTwips = -1;
    EXPECT_EQ(ParseMeasurement(text, units, 0, kMaxMarginTwips, &nTwips), QString());
    EXPECT_EQ(nTwips, twips);
  }
  int nTwips = 0;
  for (const char* text : {"", "abc", "3 furlongs", "1.2.3", "cm"})
    EXPECT_EQ(ParseMeasurement(text, 1, 0, kMaxMarginTwips, &nTwips), "This is not a valid measurement.") << text;
  EXPECT_EQ(ParseMeasurement("30 in", 1, 0, kMaxMarginTwips, &nTwips),
            "The measurement must be between 0 cm and 55.77 cm.");
  EXPECT_EQ(ParseMeasurement("-1", 0, 0, kMaxMarginTwips, &nTwips), "The measurement must be between 0\" and 22\".");
}

using PageSetupTest = EditorTest;

TEST_F(PageSetupTest, OwnDialogAsksAgainUntilTheMarginsAreValid) {
  if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "a printer is installed: the system dialog runs";
  m_host.m_nUnits = 1;
  m_pPrompt->OnDialogOf<CPageSetupModel>([](CPageSetupModel& model) {
    EXPECT_EQ(model.m_strLeft, "3.17 cm");
    EXPECT_EQ(model.m_strTop, "2.54 cm");
    model.m_strTop = "lots";
    return true;
  });
  m_pPrompt->OnDialogOf<CPageSetupModel>([](CPageSetupModel& model) {
    EXPECT_EQ(model.m_strTop, "lots");  // what the user typed stays
    model.m_strTop = "2 cm";
    model.m_strBottom = "1\"";
    model.m_strLeft = "0";
    model.m_strRight = "36 pt";
    return true;
  });
  int nChanges = 0;
  QObject receiver;
  QObject::connect(&CPrinterNotifier::Instance(), &CPrinterNotifier::PrinterChanged, &receiver, [&] { ++nChanges; });
  PageSetup();
  EXPECT_EQ(m_pPrompt->m_arrMessages, QStringList{"This is not a valid measurement."});
  const CPageMargins margins = PageMargins();
  EXPECT_EQ(margins.m_nTop, 1136);
  EXPECT_EQ(margins.m_nBottom, 1440);
  EXPECT_EQ(margins.m_nLeft, 0);
  EXPECT_EQ(margins.m_nRight, 720);
  EXPECT_EQ(nChanges, 1);

  m_pPrompt->CancelNextDialog();
  PageSetup();
  EXPECT_EQ(PageMargins().m_nTop, 1136);
}

// ---- Printing ----

using Printing = EditorTest;

TEST_F(Printing, PrintsToAPdfFile) {
  CTessaryDoc doc(true);
  CTessaryView view(&doc);
  QString text;
  for (int i = 0; i < 200; ++i) text += QStringLiteral("Line %1 of a document long enough for several pages\n").arg(i);
  doc.Document()->setPlainText(text);

  const QString path = Path("out.pdf");
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(path);
  PrintDocument(&view, &printer);

  const QByteArray pdf = Read(path);
  ASSERT_TRUE(pdf.startsWith("%PDF")) << pdf.left(20).toStdString();
  const qsizetype nPages = pdf.count("/Type /Page\n") + pdf.count("/Type /Page ") + pdf.count("/Type /Page/");
  EXPECT_GE(nPages, 3);
  // The application's margins are the printer's.
  const QMarginsF margins = printer.pageLayout().margins(QPageLayout::Point);
  EXPECT_DOUBLE_EQ(margins.left(), 90);
  EXPECT_DOUBLE_EQ(margins.top(), 72);
}

}  // namespace
}  // namespace tessary::test
