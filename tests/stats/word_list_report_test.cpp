// The word-list comparison report: list files, the line walk's word and separator
// rules, the counts and percentages, escaping, the three pages and their names, and
// the browser hand-off.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "engine/scan_paths.h"
#include "stats/word_list_report.h"

namespace tessary {
namespace {

const CTextClasses& Classes1252() {
  static const CTextClasses classes = *CTextClasses::Open(1252);
  return classes;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream out;
  out << in.rdbuf();
  return out.str();
}

// A fresh folder under the temporary directory, removed with its files.
class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/tessary-report-XXXXXX";
    m_path = ::mkdtemp(pattern);
  }
  ~TempDir() { std::system(("rm -rf '" + m_path + "'").c_str()); }
  const std::string& Path() const { return m_path; }

 private:
  std::string m_path;
};

struct Compared {
  CWordList list1, list2;
  CWordListReport report;
};

Compared Compare(const std::string& text, const std::string& list1 = "the\nis\n", const std::string& list2 = "cat\n") {
  Compared c{WordListFromText(list1, "/lists/basic.txt", Classes1252()),
             WordListFromText(list2, "/lists/academic.txt", Classes1252()), {}};
  CWordListComparison comparison(c.list1, c.list2, Classes1252());
  comparison.AddText(text);
  c.report = comparison.TakeReport();
  return c;
}

std::string Lines(const CWordListReport& report) {
  std::string out;
  for (const auto& line : report.m_arrLines) out += line;
  return out;
}

const std::string kRed = "<font color=#ff0000>", kBlue = "<font color=#0000ff>", kEnd = "</font>";

TEST(WordListReportLists, EntriesComparedWithoutCaseAndLineEnds) {
  const CWordList list = WordListFromText("The\r\nWELL-known\nspace \n\nlast", "x/y.txt", Classes1252());
  EXPECT_EQ(list.m_nEntries, 5u);
  EXPECT_EQ(list.m_strName, "y.txt");
  EXPECT_TRUE(list.Contains("THE"));
  EXPECT_TRUE(list.Contains("WELL-KNOWN"));
  EXPECT_TRUE(list.Contains("LAST"));   // the last line needs no line break
  EXPECT_FALSE(list.Contains("SPACE"));  // a trailing space is part of the entry
  EXPECT_FALSE(list.Contains(""));
  // Long entries are whole entries.
  const std::string longWord(600, 'q');
  EXPECT_TRUE(WordListFromText(longWord + "\n", "l", Classes1252()).Contains(std::string(600, 'Q')));
  const auto missing = ReadWordList("/nonexistent/list.txt", Classes1252());
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.Error(), "File error");
}

TEST(WordListReportWalk, CountsByListWithListOneFirst) {
  const Compared c = Compare("The cat sat.", "the\ncat\n", "cat\nsat\n");
  EXPECT_EQ(c.report.m_nTotal, 3);
  EXPECT_EQ(c.report.m_nList1, 2);  // "cat" is in both lists: list 1 wins, uncoloured
  EXPECT_EQ(c.report.m_nList2, 1);
  EXPECT_EQ(c.report.m_nNeither, 0);
  EXPECT_EQ(Lines(c.report), "The cat " + kRed + "sat" + kEnd + ".<br>\n");
}

TEST(WordListReportWalk, WordAndSeparatorRules) {
  const CWordListReport r = Compare("don't well-known end.Start abc5def 42 cats").report;
  EXPECT_EQ(Lines(r), kBlue + "don't" + kEnd + " " + kBlue + "well-known" + kEnd + " " + kBlue + "end" + kEnd + "." +
                          kBlue + "Start" + kEnd + " " + kBlue + "abcdef" + kEnd + " 42 " + kBlue + "cats" + kEnd +
                          "<br>\n");
  EXPECT_EQ(r.m_nTotal, 6);
  EXPECT_EQ(r.m_arrUnlisted, (std::vector<std::string>{"don't", "well-known", "end", "Start", "abcdef", "cats"}));
}

TEST(WordListReportWalk, LineEndsAndTheLastWordOfALine) {
  // CR LF and LF lines read alike; a word right at the end of a line is counted and
  // written, with a separator pending after it.
  const CWordListReport r = Compare("is\r\nthe end.\ncat").report;
  EXPECT_EQ(r.m_nTotal, 4);
  EXPECT_EQ(r.m_nList1, 2);
  EXPECT_EQ(r.m_nList2, 1);
  EXPECT_EQ(Lines(r), "is <br>\nthe " + kBlue + "end" + kEnd + ".<br>\n" + kRed + "cat" + kEnd + "<br>\n");
  // Lines are never cut into pieces.
  const std::string longWord(2000, 'w');
  EXPECT_EQ(Compare(longWord).report.m_arrUnlisted, (std::vector<std::string>{longWord}));
}

TEST(WordListReportWalk, TextReachesThePageEscaped) {
  const CWordListReport r = Compare("a<b> & 5% {x}").report;
  const std::string lines = Lines(r);
  EXPECT_NE(lines.find("&lt;"), std::string::npos);
  EXPECT_NE(lines.find("&gt;"), std::string::npos);
  EXPECT_NE(lines.find(" &amp; 5&#37; "), std::string::npos);
  EXPECT_EQ(lines.find('%'), std::string::npos);
  EXPECT_EQ(lines.find("<b>"), std::string::npos);
  // A character is written once, either in a word or as a separator.
  EXPECT_EQ(std::count(lines.begin(), lines.end(), '{') + std::count(lines.begin(), lines.end(), '}'), 2);
}

TEST(WordListReportWalk, UnlistedWordsOnceAsFirstSpelled) {
  const CWordListReport r = Compare("Dog dog DOG bird dog").report;
  EXPECT_EQ(r.m_nNeither, 5);
  EXPECT_EQ(r.m_arrUnlisted, (std::vector<std::string>{"Dog", "bird"}));
}

TEST(WordListReportWalk, DoubleByteCharactersStayWhole) {
  // A Shift-JIS character whose trail byte is a backslash is not cut.
  const CTextClasses sjis = *CTextClasses::Open(932);
  const CWordList l1 = WordListFromText("\x95\x5C\n", "l1", sjis), l2 = WordListFromText("", "l2", sjis);
  CWordListComparison comparison(l1, l2, sjis);
  comparison.AddText("\x95\x5C \x83\x5C");
  EXPECT_EQ(comparison.Report().m_nList1, 1);
  EXPECT_EQ(comparison.Report().m_arrUnlisted, (std::vector<std::string>{"\x83\x5C"}));
}

TEST(WordListReportPages, PercentagesTruncatedAndZeroForAnEmptyText) {
  const Compared c = Compare("the cat x");
  EXPECT_EQ(c.report.Percent(c.report.m_nList1), 33);
  EXPECT_EQ(c.report.Percent(c.report.m_nNeither), 33);
  const CWordListReport empty = Compare("").report;
  EXPECT_EQ(empty.m_nTotal, 0);
  const std::string page = ReportTextPage(empty, "windows-1252");
  EXPECT_NE(page.find("Words in Word List 1 = 0 (0%)"), std::string::npos);
  EXPECT_NE(page.find("Total number of words not in either list = 0 (0%)"), std::string::npos);
}

TEST(WordListReportPages, TextListAndFramesPages) {
  Compared c = Compare("The cat & x");
  c.report.m_strList1Path = "/lists/a&b.txt";
  EXPECT_EQ(ReportTextPage(c.report, "windows-1252"),
            "<HTML><HEAD><TITLE>Word Profile</TITLE></HEAD>\n"
            "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">"
            "<body bgcolor=#FEEDC9>"
            "<font size=4>Word list 1 = /lists/a&amp;b.txt<br>Word list 2 = /lists/academic.txt</font><br>"
            "<font size=4>Total number of words parsed in this text = 3</font><br>"
            "<font size=4>Words in Word List 1 = 1 (33%)</font><br>\n"
            "<font size=4 color=#ff0000>Number of words in Word List 2 = 1 (33%)</font><br>\n"
            "<font size=4 color=#0000ff>Total number of words not in either list = 1 (33%)</font><br>\n"
            "<hr>\n"
            "The " + kRed + "cat" + kEnd + " &amp; " + kBlue + "x" + kEnd + "<br>\n"
            "</body></html>");
  EXPECT_EQ(ReportListPage(c.report, "big5"),
            "<HTML><HEAD><TITLE>Word list</TITLE></HEAD>\n"
            "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=big5\">"
            "<body bgcolor=#FFFFCA>\n<p><font size = \"4\">Unlisted words</font></p>\n"
            "<font color=#0000ff>x</font><br>\n</body></html>");
  const std::string frames = ReportFramesPage("Text7.htm", "List7.htm", "utf-8");
  EXPECT_NE(frames.find("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n"),
            std::string::npos);
  EXPECT_NE(frames.find("<frameset cols=\"20%,80%\">\n<frame src=\"List7.htm\" name=\"wordlist\""), std::string::npos);
  EXPECT_NE(frames.find("<frame src=\"Text7.htm\" name=\"main\" marginwidth=\"1\" marginheight=\"1\">\n"),
            std::string::npos);
}

TEST(WordListReportPages, CharsetNamesTheRealEncoding) {
  EXPECT_EQ(ReportCharset(1252), "windows-1252");
  EXPECT_EQ(ReportCharset(950), "big5");
  EXPECT_EQ(ReportCharset(936), "gb2312");
  EXPECT_EQ(ReportCharset(932), "shift_jis");
  EXPECT_EQ(ReportCharset(866), "ibm866");
  EXPECT_EQ(ReportCharset(874), "windows-874");
  EXPECT_EQ(ReportCharset(kUtf8CodePage), "utf-8");
}

TEST(WordListReportFiles, ThreeFilesWithOneFreshNumber) {
  TempDir dir;
  const CWordListReport report = Compare("the cat").report;
  // Number 5 is taken by an older report: it stays, and the next number is used.
  { std::ofstream(dir.Path() + "/List5.htm") << "older"; }
  unsigned next = 5;
  auto files = WriteWordListReport(report, dir.Path(), "windows-1252", [&] { return next++; });
  ASSERT_TRUE(files) << files.Error();
  EXPECT_EQ(files->m_nNumber, 6u);
  EXPECT_EQ(files->m_strText, dir.Path() + "/Text6.htm");
  EXPECT_EQ(files->m_strFrames, dir.Path() + "/Frames6.htm");
  EXPECT_EQ(ReadFile(dir.Path() + "/List5.htm"), "older");
  EXPECT_EQ(ReadFile(dir.Path() + "/Text5.htm"), "");  // nothing left of the refused claim
  EXPECT_EQ(ReadFile(files->m_strText), ReportTextPage(report, "windows-1252"));
  EXPECT_EQ(ReadFile(files->m_strList), ReportListPage(report, "windows-1252"));
  EXPECT_EQ(ReadFile(files->m_strFrames), ReportFramesPage("Text6.htm", "List6.htm", "windows-1252"));
  const auto failed = WriteWordListReport(report, "/nonexistent/dir", "windows-1252");
  ASSERT_FALSE(failed);
  EXPECT_EQ(failed.Error(), "File error");
}

class RecordingBrowser : public IBrowserLauncher {
 public:
  std::string Open(const std::string& path) override {
    m_arrOpened.push_back(path);
    return m_strAnswer;
  }
  std::vector<std::string> m_arrOpened;
  std::string m_strAnswer;
};

TEST(WordListReportFiles, FramesFileIsShownInTheBrowser) {
  TempDir dir;
  RecordingBrowser browser;
  auto files = WriteAndShowWordListReport(Compare("x").report, dir.Path(), "utf-8", browser, [] { return 1u; });
  ASSERT_TRUE(files);
  EXPECT_EQ(browser.m_arrOpened, (std::vector<std::string>{dir.Path() + "/Frames1.htm"}));
  EXPECT_TRUE(files->m_strBrowserError.empty());
  browser.m_strAnswer = "no browser";
  files = WriteAndShowWordListReport(Compare("x").report, dir.Path(), "utf-8", browser, [] { return 2u; });
  ASSERT_TRUE(files);  // the files stay written
  EXPECT_EQ(files->m_strBrowserError, "no browser");
}

TEST(WordListReportFiles, XdgOpenGetsThePathAsOneArgument) {
  // A stand-in xdg-open on the PATH records what it was given.
  TempDir dir;
  const std::string record = dir.Path() + "/opened";
  {
    std::ofstream script(dir.Path() + "/xdg-open");
    script << "#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > '" << record << ".tmp'\n";
    script << "mv '" << record << ".tmp' '" << record << "'\n";
  }
  ::chmod((dir.Path() + "/xdg-open").c_str(), 0755);
  const char* oldPath = std::getenv("PATH");
  const std::string saved = oldPath ? oldPath : "";
  ::setenv("PATH", (dir.Path() + ":" + saved).c_str(), 1);
  CXdgOpenLauncher launcher;
  const std::string error = launcher.Open("/tmp/a report; rm -rf x/Frames1.htm");
  ::setenv("PATH", saved.c_str(), 1);
  ASSERT_EQ(error, "");
  for (int wait = 0; wait < 100 && ReadFile(record).empty(); ++wait)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(ReadFile(record), "1|/tmp/a report; rm -rf x/Frames1.htm");
}

}  // namespace
}  // namespace tessary
