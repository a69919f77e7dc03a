// The code-page and Unicode commands in the program: the chosen code page reaching the
// editor, the searches and the saves, and the conversions and Unicode files.
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QProcess>
#include <QTextDocument>

#include "app/command_ids.h"
#include "app/concordance_fixture.h"
#include "app/encoding_controller.h"
#include "app/encoding_dialogs.h"

namespace tessary::test {
namespace {

QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
  return file.readAll();
}

QString Sample(const char* name) { return QStringLiteral(TESSARY_TEST_DATA "/") + name; }

// What the command line prints (or writes) for args.
QByteArray RunCli(const QStringList& args) {
  QProcess cli;
  cli.start(TESSARY_CLI, args);
  EXPECT_TRUE(cli.waitForFinished(60000));
  EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
  return cli.readAllStandardOutput();
}

class EncodingTest : public ProgramTest {
 protected:
  // A copy of a sample in the test's folder, so saves can't touch the sample.
  QString CopySample(const char* name) {
    const QString path = m_dir.filePath(name);
    QFile::remove(path);
    EXPECT_TRUE(QFile::copy(Sample(name), path));
    return path;
  }

  void AnswerCodePage(const QString& name, QString* shown = nullptr) {
    m_pPrompt->OnDialogOf<CCodePageDialog>([=](CCodePageDialog& d) {
      if (shown) *shown = d.m_strCodePage;
      d.m_strCodePage = name;
      return true;
    });
  }

  void ChooseCodePage(const QString& name) {
    AnswerCodePage(name);
    Run(ids::kChooseCodePage);
  }

  void AnswerEncoding(const QString& name) {
    m_pPrompt->OnDialogOf<CEncodingDialog>([=](CEncodingDialog& d) {
      EXPECT_EQ(d.m_strEncoding, "UTF-8");
      d.m_strEncoding = name;
      return true;
    });
  }

  void AnswerFile(const QString& path) {
    CFileDialogResult result;
    result.m_bOk = true;
    result.m_arrFiles = {path};
    result.m_nFilterIndex = 1;
    m_pPrompt->OnFiles(result);
  }

  // Through the frame, as the menu runs it (and only when the command is enabled).
  void Run(int id) {
    m_pApp->MainFrame()->UpdateCommandStates();
    m_pApp->MainFrame()->OnCommand(id);
  }

  void Activate(CTessaryDoc* doc) { m_pApp->MainFrame()->ActivateView(doc->FirstView()); }

  CTessaryDoc* Open(const QString& path) {
    CTessaryDoc* doc = m_pApp->OpenDocumentFile(path);
    EXPECT_TRUE(doc);
    if (doc) doc->EnsureLoaded();
    return doc;
  }

  QString Utf8Sample(const char* name) { return QString::fromUtf8(ReadBytes(Sample(name))); }
};

TEST_F(EncodingTest, RussianDosFileOpensSearchesAndSavesInTheChosenCodePage) {
  const QString path = CopySample("ru.cp866.txt");
  QString shown;
  AnswerCodePage("Russian (866)", &shown);
  Run(ids::kChooseCodePage);
  EXPECT_EQ(shown, "ANSI code page selected");
  EXPECT_EQ(m_pApp->m_nCodePage, 866);
  EXPECT_EQ(m_pApp->m_settings.m_nAnsiCodePage, 866);

  CTessaryDoc* doc = Open(path);
  ASSERT_TRUE(doc);
  EXPECT_EQ(doc->PlainText(), Utf8Sample("ru.utf8.txt"));
  EXPECT_EQ(doc->CodePage(), 866);

  // F5 for a Russian word finds what the command line finds in the file.
  Search(QString::fromUtf8("вода"));
  CTessaryView* list = NewestView();
  ASSERT_TRUE(list && list->List());
  EXPECT_EQ(list->List()->m_request.m_language.m_nCodePage, 866);
  EXPECT_EQ(list->List()->m_request.m_strSearch, "\xA2\xAE\xA4\xA0");
  EXPECT_EQ(TextOf(list).toUtf8(), RunCli({"concord", "--codepage", "866", QString::fromUtf8("вода"), path}));
  EXPECT_EQ(list->LineCount(), 1);

  // The file is written back in the bytes it came in, even after the program's choice
  // has moved on.
  ChooseCodePage("ANSI code page CP_ACP");
  EXPECT_EQ(m_pApp->m_settings.m_nAnsiCodePage, 1252);
  doc->SetModified(true);
  ASSERT_TRUE(doc->DoSave(false));
  EXPECT_EQ(ReadBytes(path), ReadBytes(Sample("ru.cp866.txt")));
}

TEST_F(EncodingTest, AJapaneseFileIsSearchedAsItsDoubleByteSet) {
  ChooseCodePage("Japanese, Shift-JIS (932)");
  EXPECT_EQ(m_pApp->m_settings.m_language, TextLanguageKind::kJapanese);
  const QString path = CopySample("ja.cp932.txt");
  ASSERT_TRUE(Open(path));
  Search(QString::fromUtf8("水"), "Sort Right", true, kMatchAny);
  CTessaryView* list = NewestView();
  ASSERT_TRUE(list && list->List());
  EXPECT_EQ(TextOf(list).toUtf8(),
            RunCli({"concord", "--double-byte", "japanese", "--mode", "any", QString::fromUtf8("水"), path}));
  EXPECT_EQ(list->List()->m_arrEntries.size(), 3u);
  // Another page takes the language back to single bytes.
  ChooseCodePage("Russian (866)");
  EXPECT_EQ(m_pApp->m_settings.m_language, TextLanguageKind::kCodePage);
}

TEST_F(EncodingTest, WithoutTheCodePageARussianSearchFindsNothing) {
  Open(CopySample("ru.cp866.txt"));
  Search(QString::fromUtf8("вода"));
  // The ANSI code page has no Cyrillic: the search is for question marks.
  CTessaryView* list = NewestView();
  ASSERT_TRUE(list && list->List());
  EXPECT_EQ(list->List()->m_request.m_strSearch, "????");
  EXPECT_TRUE(list->List()->m_arrEntries.empty());
}

TEST_F(EncodingTest, CodePageAndEncodingAreRememberedBetweenRuns) {
  ChooseCodePage("Japanese, Shift-JIS (932)");
  m_pApp->m_nEncoding = 2;
  m_pApp->m_bNoSpaces = false;
  m_pApp->ExitInstance();
  m_pApp.reset();

  auto prompt = std::make_unique<CScriptedPrompt>();
  m_pPrompt = prompt.get();
  m_pApp = std::make_unique<CTessaryApp>(std::move(prompt), m_dir.filePath("options.ini"));
  ASSERT_TRUE(m_pApp->InitInstance({}, false));
  EXPECT_EQ(m_pApp->m_nCodePage, 932);
  EXPECT_EQ(m_pApp->m_settings.m_nAnsiCodePage, 932);
  EXPECT_EQ(m_pApp->m_nEncoding, 2);
  EXPECT_FALSE(m_pApp->m_bNoSpaces);
  QString shown;
  AnswerCodePage("Japanese, Shift-JIS (932)", &shown);
  Run(ids::kChooseCodePage);
  EXPECT_EQ(shown, "Japanese, Shift-JIS (932)");
  // A Japanese file opens in it.
  CTessaryDoc* doc = Open(CopySample("ja.cp932.txt"));
  ASSERT_TRUE(doc);
  EXPECT_EQ(doc->PlainText(), Utf8Sample("ja.utf8.txt"));
}

TEST_F(EncodingTest, StoredCodePageTheListsDoNotOfferIsIgnored) {
  m_pApp.reset();
  {
    QSettings settings(m_dir.filePath("options.ini"), QSettings::IniFormat);
    settings.setValue("Options/CodePage", 12345);
    settings.setValue("Options/Encoding", 9);
  }
  auto prompt = std::make_unique<CScriptedPrompt>();
  m_pPrompt = prompt.get();
  m_pApp = std::make_unique<CTessaryApp>(std::move(prompt), m_dir.filePath("options.ini"));
  ASSERT_TRUE(m_pApp->InitInstance({}, false));
  EXPECT_EQ(m_pApp->m_nCodePage, 0);
  EXPECT_EQ(m_pApp->m_settings.m_nAnsiCodePage, 1252);
  EXPECT_EQ(m_pApp->m_nEncoding, 0);
}

TEST_F(EncodingTest, UnknownCodePageNameIsToldAndChangesNothing) {
  ChooseCodePage("Thai (874)");
  CTessaryDoc* doc = OpenText("Some text");
  doc->SetModified(true);
  ChooseCodePage("Klingon");
  ASSERT_EQ(m_pPrompt->m_arrMessages.size(), 1);
  EXPECT_EQ(m_pPrompt->m_arrMessages.back(), "\"Klingon\" is not a code page of the list. The code page stays Thai (874).");
  EXPECT_EQ(m_pApp->m_nCodePage, 874);
  EXPECT_EQ(m_pApp->m_settings.m_nAnsiCodePage, 874);
  EXPECT_EQ(doc->PlainText(), "Some text");
  EXPECT_TRUE(doc->IsModified());
  // The dialog's opening text for the ANSI page is not a name either.
  ChooseCodePage("ANSI code page selected");
  EXPECT_EQ(m_pApp->m_nCodePage, 874);
  m_pPrompt->CancelNextDialog();
  Run(ids::kChooseCodePage);
  EXPECT_EQ(m_pApp->m_nCodePage, 874);
}

TEST_F(EncodingTest, ReopenWithCodePageReadsTheFileAgainAndSavesItBack) {
  const QString path = CopySample("zh-hant.big5.txt");
  CTessaryDoc* doc = Open(path);
  ASSERT_TRUE(doc);
  EXPECT_NE(doc->PlainText(), Utf8Sample("zh-hant.utf8.txt"));
  AnswerCodePage("Traditional Chinese (950)");
  Run(ids::kReopenWithCodePage);
  EXPECT_EQ(doc->PlainText(), Utf8Sample("zh-hant.utf8.txt"));
  EXPECT_EQ(m_pApp->m_nCodePage, 950);
  EXPECT_FALSE(doc->IsModified());
  doc->SetModified(true);
  ASSERT_TRUE(doc->DoSave(false));
  EXPECT_EQ(ReadBytes(path), ReadBytes(Sample("zh-hant.big5.txt")));

  // Changes are not thrown away without asking; No keeps them.
  doc->Document()->setPlainText("changed");
  doc->SetModified(true);
  AnswerCodePage("Simplified Chinese (936)");
  m_pPrompt->OnMessage(QMessageBox::No);
  Run(ids::kReopenWithCodePage);
  EXPECT_EQ(doc->PlainText(), "changed");
  EXPECT_TRUE(doc->IsModified());
  // A bad name reopens nothing.
  AnswerCodePage("Chinese");
  Run(ids::kReopenWithCodePage);
  EXPECT_EQ(doc->PlainText(), "changed");
  // Nor does a file that has gone: the window keeps its text.
  doc->SetModified(false);
  ASSERT_TRUE(QFile::remove(path));
  AnswerCodePage("Traditional Chinese (950)");
  Run(ids::kReopenWithCodePage);
  EXPECT_EQ(m_pPrompt->m_arrMessages.back(), "Failed to open document.");
  EXPECT_EQ(doc->PlainText(), "changed");
  EXPECT_EQ(doc->PathName(), path);
}

TEST_F(EncodingTest, ReopenIsOfferedOnlyForPlainTextFiles) {
  CTessaryDoc* unsaved = OpenText("text");
  m_pApp->MainFrame()->UpdateCommandStates();
  EXPECT_FALSE(m_pApp->Encoding().IsEnabled(ids::kReopenWithCodePage));
  Open(CopySample("th.cp874.txt"));
  EXPECT_TRUE(m_pApp->Encoding().IsEnabled(ids::kReopenWithCodePage));
  Activate(unsaved);
  EXPECT_FALSE(m_pApp->Encoding().IsEnabled(ids::kReopenWithCodePage));
}

TEST_F(EncodingTest, SaveAsUnicodeWritesTheChosenEncodingAndNamesIt) {
  CTessaryDoc* doc = OpenText(QString::fromUtf8("Aé€"), "/texts/a.txt");
  doc->SetModified(true);
  struct Case {
    const char* name;
    QByteArray bytes;
    const char* description;
  } cases[] = {
      {"UTF-8", QByteArray("\xEF\xBB\xBF\x41\xC3\xA9\xE2\x82\xAC"), "UTF-8"},
      {"UNI16_LE", QByteArray("\xFF\xFE\x41\x00\xE9\x00\xAC\x20", 8), "UTF-16 little-endian"},
      {"UNI16_BE", QByteArray("\xFE\xFF\x00\x41\x00\xE9\x20\xAC", 8), "UTF-16 big-endian"},
  };
  for (const Case& c : cases) {
    const QString path = m_dir.filePath(QString("out-%1.txt").arg(c.name));
    AnswerFile(path);
    AnswerEncoding(c.name);
    Run(ids::kSaveAsUnicode);
    EXPECT_EQ(ReadBytes(path), c.bytes) << c.name;
    EXPECT_EQ(m_pPrompt->m_arrMessages.back(),
              QString("The text has been saved as Unicode %1 in file %2.").arg(c.description, path));
  }
  const CFileDialogRequest& asked = m_pPrompt->m_arrFileRequests.back();
  EXPECT_EQ(asked.m_strTitle, "Create Unicode document");
  EXPECT_EQ(asked.m_arrFilters, QStringList{"Text Files (*.TXT)"});
  EXPECT_EQ(asked.m_strDefaultSuffix, "TXT");
  EXPECT_TRUE(asked.m_bOverwritePrompt);
  // The window still belongs to its own file.
  EXPECT_EQ(doc->PathName(), "/texts/a.txt");
  EXPECT_TRUE(doc->IsModified());
  EXPECT_EQ(m_pApp->m_nEncoding, 1);
}

TEST_F(EncodingTest, FailedUnicodeWritesAreToldAndChangeNothing) {
  CTessaryDoc* doc = OpenText(QString::fromUtf8("Привет"), "/texts/a.txt");
  doc->SetModified(true);
  const auto documents = m_pApp->Documents().size();
  // A folder that is a file can't be written in, by anyone.
  const QString blocker = m_dir.filePath("blocker");
  QFile(blocker).open(QIODevice::WriteOnly);
  const QString inside = blocker + "/out.txt";
  AnswerFile(inside);
  AnswerEncoding("UTF-8");
  Run(ids::kSaveAsUnicode);
  EXPECT_EQ(m_pPrompt->m_arrMessages.back(), QString("Cannot write %1: File error.").arg(inside));

  // A full disk, where the machine has one to offer (a device, not a file).
  if (QFileInfo("/dev/full").exists() && !QFileInfo("/dev/full").isFile()) {
    AnswerFile("/dev/full");
    AnswerEncoding("UNI16_LE");
    Run(ids::kSaveAsUnicode);
    EXPECT_EQ(m_pPrompt->m_arrMessages.back(), "Cannot write /dev/full: File error.");
  }

  // An encoding that is not in the list writes nothing.
  const QString path = m_dir.filePath("none.txt");
  AnswerFile(path);
  AnswerEncoding("UTF-32");
  Run(ids::kSaveAsUnicode);
  EXPECT_EQ(m_pPrompt->m_arrMessages.back(),
            "\"UTF-32\" is not an encoding of the list. Choose UTF-8, UNI16_LE or UNI16_BE.");
  EXPECT_FALSE(QFile::exists(path));

  // Cancel in either dialog writes nothing and says nothing.
  const auto told = m_pPrompt->m_arrMessages.size();
  AnswerFile(path);
  m_pPrompt->CancelNextDialog();
  Run(ids::kSaveAsUnicode);
  m_pPrompt->OnFiles({});
  Run(ids::kSaveAsUnicode);
  EXPECT_FALSE(QFile::exists(path));
  EXPECT_EQ(m_pPrompt->m_arrMessages.size(), told);

  EXPECT_EQ(m_pApp->Documents().size(), documents);
  EXPECT_EQ(doc->PlainText(), QString::fromUtf8("Привет"));
  EXPECT_EQ(doc->PathName(), "/texts/a.txt");
  EXPECT_TRUE(doc->IsModified());
}

TEST_F(EncodingTest, ReplacingAFileKeepsItWholeUntilTheNewTextIsWritten) {
  const QString path = m_dir.filePath("old.txt");
  {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("old text");
  }
  ASSERT_TRUE(WriteUnicodeFile(path, u"new", 3));
  EXPECT_EQ(ReadBytes(path), QByteArray("\xEF\xBB\xBFnew"));
  // Nothing is left beside it.
  EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).filter("old.txt").size(), 1);
}

TEST_F(EncodingTest, UnicodeToAnsiGivesTheCoreConversionsBytes) {
  CTessaryDoc* source = Open(CopySample("ru.utf8.txt"));
  ASSERT_TRUE(source);
  AnswerCodePage("Russian (866)");
  Run(ids::kUnicodeToAnsi);
  CTessaryDoc* converted = m_pApp->Documents().back();
  ASSERT_NE(converted, source);
  EXPECT_EQ(converted->PlainText(), source->PlainText());
  EXPECT_EQ(m_pApp->m_nCodePage, 866);

  const QString saved = m_dir.filePath("saved.txt");
  AnswerFile(saved);
  ASSERT_TRUE(converted->DoSave(false));
  const QString expected = m_dir.filePath("expected.txt");
  RunCli({"convert", "--codepage", "866", "--to", "ansi", Sample("ru.utf8.txt"), expected});
  EXPECT_EQ(ReadBytes(saved), ReadBytes(expected));
  EXPECT_EQ(ReadBytes(saved), ReadBytes(Sample("ru.cp866.txt")));
}

TEST_F(EncodingTest, AnsiToUnicodeReadsTheWindowsBytesInTheChosenPage) {
  // Opened before a code page was chosen: the DOS bytes show as Windows letters.
  CTessaryDoc* source = Open(CopySample("ru.cp866.txt"));
  ASSERT_TRUE(source);
  AnswerCodePage("Russian (866)");
  const QString path = m_dir.filePath("unicode.txt");
  AnswerFile(path);
  AnswerEncoding("UTF-8");
  Run(ids::kAnsiToUnicode);
  EXPECT_EQ(m_pPrompt->m_arrFileRequests.back().m_strTitle, "Save As Unicode document");

  const QString expected = m_dir.filePath("expected.txt");
  RunCli({"convert", "--codepage", "866", "--to", "utf8", Sample("ru.cp866.txt"), expected});
  EXPECT_EQ(ReadBytes(path), ReadBytes(expected));
  // The new file opens in a window of its own.
  CTessaryDoc* opened = m_pApp->Documents().back();
  ASSERT_NE(opened, source);
  EXPECT_EQ(QFileInfo(opened->PathName()), QFileInfo(path));
  opened->EnsureLoaded();
  EXPECT_EQ(opened->PlainText(), Utf8Sample("ru.utf8.txt"));
}

// Every control of the code-page and encoding dialogs can be named by a screen reader.
void ExpectNamedControls(QDialog& dialog) {
  std::vector<QWidget*> controls;
  for (auto* w : dialog.findChildren<QComboBox*>()) controls.push_back(w);
  for (auto* w : dialog.findChildren<QRadioButton*>()) controls.push_back(w);
  for (auto* w : dialog.findChildren<QTextEdit*>()) controls.push_back(w);
  for (auto* w : dialog.findChildren<QPushButton*>()) controls.push_back(w);
  EXPECT_FALSE(controls.empty());
  for (QWidget* control : controls)
    EXPECT_FALSE(control->accessibleName().isEmpty()) << control->metaObject()->className();
}

TEST_F(EncodingTest, DialogsShowTheListsAndReadBackWhatWasTyped) {
  CCodePageDialog codePage;
  codePage.m_strCodePage = "Thai (874)";
  auto widget = codePage.CreateWidget(nullptr);
  EXPECT_EQ(widget->windowTitle(), "Language / Page Code Selection");
  auto* list = widget->findChild<QComboBox*>("codepage");
  ASSERT_TRUE(list);
  EXPECT_EQ(list->currentText(), "Thai (874)");
  QStringList items;
  for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
  EXPECT_EQ(items, QStringList({"Traditional Chinese (950)", "Simplified Chinese (936)", "Thai (874)",
                                "Japanese, Shift-JIS (932)", "Russian (866)"}));
  list->setCurrentText("ANSI code page CP_ACP");
  codePage.ReadWidget(*widget);
  EXPECT_EQ(codePage.m_strCodePage, "ANSI code page CP_ACP");
  ExpectNamedControls(*widget);

  CEncodingDialog encoding;
  widget = encoding.CreateWidget(nullptr);
  EXPECT_EQ(widget->windowTitle(), "Select encoding to use ");
  auto* encodings = widget->findChild<QComboBox*>("encoding");
  EXPECT_EQ(encodings->currentText(), "UTF-8");
  EXPECT_EQ(encodings->count(), 3);
  encodings->setCurrentIndex(2);
  encoding.ReadWidget(*widget);
  EXPECT_EQ(encoding.m_strEncoding, "UNI16_BE");
  ExpectNamedControls(*widget);
}

}  // namespace
}  // namespace tessary::test
