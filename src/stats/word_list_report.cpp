#include "stats/word_list_report.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <thread>

#include "engine/text_file.h"
#include "export/encodings.h"
#include "stats/stats_format.h"

extern char** environ;

namespace tessary {

namespace {

// Text from documents, paths and word lists reaches the page as text, never as markup.
void AppendEscaped(std::string& out, std::string_view text) {
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '%': out += "&#37;"; break;
      default: out += c;
    }
  }
}

std::string Escaped(std::string_view text) {
  std::string out;
  AppendEscaped(out, text);
  return out;
}

std::string FileName(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string MetaLine(const std::string& charset) {
  if (charset.empty()) return {};
  return "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=" + charset + "\">";
}

}  // namespace

// ---- Word lists ----

CWordList WordListFromText(std::string_view text, const std::string& path, const CTextClasses& classes) {
  CWordList list;
  list.m_strPath = path;
  list.m_strName = FileName(path);
  std::string folded;
  while (!text.empty()) {
    const std::size_t lf = text.find('\n');
    std::string_view entry = text.substr(0, lf);
    text = lf == std::string_view::npos ? std::string_view() : text.substr(lf + 1);
    if (!entry.empty() && entry.back() == '\r') entry.remove_suffix(1);
    ++list.m_nEntries;
    if (entry.empty()) continue;  // an empty entry never matches
    classes.Fold(entry, folded);
    list.m_setFolded.insert(folded);
  }
  return list;
}

Expected<CWordList> ReadWordList(const std::string& path, const CTextClasses& classes) {
  auto file = CTextFile::Open(path);
  if (!file) return Expected<CWordList>::Failure("File error");
  // Half a word list would mark words as missing from it: a list that changed is refused.
  if (!(*file)->Problem().empty()) return Expected<CWordList>::Failure((*file)->Problem());
  return WordListFromText((*file)->Text(), path, classes);
}

// ---- The line walk ----

int CWordListReport::Percent(std::int64_t count) const {
  if (count <= 0 || m_nTotal <= 0) return 0;
  return static_cast<int>(count * 100 / m_nTotal);
}

CWordListComparison::CWordListComparison(const CWordList& list1, const CWordList& list2, const CTextClasses& classes)
    : m_list1(list1), m_list2(list2), m_classes(classes) {
  m_report.m_strList1Path = list1.m_strPath;
  m_report.m_strList2Path = list2.m_strPath;
}

void CWordListComparison::EndWord(std::string& fragment, std::string& word, std::string_view pending) {
  if (!word.empty()) {
    ++m_report.m_nTotal;
    m_classes.Fold(word, m_strFolded);
    if (m_list1.Contains(m_strFolded)) {
      ++m_report.m_nList1;
      AppendEscaped(fragment, word);
    } else if (m_list2.Contains(m_strFolded)) {
      ++m_report.m_nList2;
      fragment += "<font color=#ff0000>";
      AppendEscaped(fragment, word);
      fragment += "</font>";
    } else {
      ++m_report.m_nNeither;
      fragment += "<font color=#0000ff>";
      AppendEscaped(fragment, word);
      fragment += "</font>";
      if (m_setUnlisted.insert(m_strFolded).second) m_report.m_arrUnlisted.push_back(word);
    }
    word.clear();
  }
  AppendEscaped(fragment, pending);
}

void CWordListComparison::AddLine(std::string_view text) {
  // Control characters (a CR left before the line break, tabs) are spaces.
  std::string line(text);
  for (char& ch : line) {
    const auto b = static_cast<unsigned char>(ch);
    if (b < 0x20 || b == 0x7F) ch = ' ';
  }
  const auto* s = reinterpret_cast<const unsigned char*>(line.data());
  const std::size_t n = line.size();
  auto alpha = [&](unsigned char b) { return m_classes.IsAlpha(b); };
  auto punct = [&](unsigned char b) { return m_classes.IsPunct(b); };
  std::string fragment, word;
  for (std::size_t j = 0; j < n; ++j) {
    const unsigned char c = s[j];
    // A double-byte character is a letter of the word as a whole: its trail byte is
    // never taken for punctuation.
    if (m_classes.IsDoubleByte() && m_classes.IsLeadByte(c) && j + 1 < n) {
      word.append(line, j, 2);
      ++j;
      if (j + 1 >= n || s[j + 1] == ' ') EndWord(fragment, word, {});
      continue;
    }
    const unsigned char d = j + 1 < n ? s[j + 1] : 0;
    const bool last = j + 1 == n;
    const bool between = c == '\'' && j > 0 && alpha(s[j - 1]) && alpha(d);
    const bool nonLetter = !alpha(c) && !between;
    const bool wordChar = (c >= 'A' && c <= 'Z') || c >= 'a' ||
                          (!word.empty() && (c == '-' || c == '\'') && alpha(d));
    // A character goes either into the word or out as a separator, never both.
    const std::string_view here = std::string_view(line).substr(j, 1);
    std::string_view pending;
    if (wordChar) word += here;
    else if (nonLetter && word.empty()) AppendEscaped(fragment, here);
    else if (nonLetter) pending = here;
    const bool end = last || (d == ' ' && c != ' ') || (c == '-' && !alpha(d) && d < 'z') ||
                     (punct(c) && punct(d)) ||
                     (punct(c) && c != '-' && (alpha(d) || (d >= '0' && d <= '9')) && !between);
    // A separator inside a word that goes on is dropped ("abc5def" reads "abcdef").
    if (end) EndWord(fragment, word, pending);
  }
  fragment += "<br>\n";
  m_report.m_arrLines.push_back(std::move(fragment));
}

void CWordListComparison::AddText(std::string_view text, const ProgressFn& progress) {
  constexpr std::size_t kReportEvery = 1 << 16;
  std::size_t reported = 0;
  std::size_t from = 0;
  for (;;) {
    const std::size_t lf = text.find('\n', from);
    AddLine(text.substr(from, lf == std::string_view::npos ? std::string_view::npos : lf - from));
    if (lf == std::string_view::npos) break;
    from = lf + 1;
    if (from - reported >= kReportEvery) {
      reported = from;
      if (!ReportProgress(progress, from, text.size())) {
        m_report.m_bStopped = true;
        return;
      }
    }
  }
}

// ---- Pages ----

std::string ReportCharset(int nCodePage) {
  return nCodePage == kUtf8CodePage ? std::string("utf-8") : HtmlCharset(nCodePage);
}

std::string ReportTextPage(const CWordListReport& r, const std::string& charset) {
  std::string out = "<HTML><HEAD><TITLE>Word Profile</TITLE></HEAD>\n" + MetaLine(charset) + "<body bgcolor=#FEEDC9>";
  out += "<font size=4>Word list 1 = " + Escaped(r.m_strList1Path) + "<br>Word list 2 = " + Escaped(r.m_strList2Path) +
         "</font><br>";
  out += PrintfFormat("<font size=4>Total number of words parsed in this text = %lld</font><br>",
                     static_cast<long long>(r.m_nTotal));
  out += PrintfFormat("<font size=4>Words in Word List 1 = %lld (%d%c)</font><br>\n", static_cast<long long>(r.m_nList1),
                     r.Percent(r.m_nList1), '%');
  out += PrintfFormat("<font size=4 color=#ff0000>Number of words in Word List 2 = %lld (%d%c)</font><br>\n",
                     static_cast<long long>(r.m_nList2), r.Percent(r.m_nList2), '%');
  out += PrintfFormat("<font size=4 color=#0000ff>Total number of words not in either list = %lld (%d%c)</font><br>\n",
                     static_cast<long long>(r.m_nNeither), r.Percent(r.m_nNeither), '%');
  out += "<hr>\n";
  for (const std::string& line : r.m_arrLines) out += line;
  out += "</body></html>";
  return out;
}

std::string ReportListPage(const CWordListReport& r, const std::string& charset) {
  std::string out = "<HTML><HEAD><TITLE>Word list</TITLE></HEAD>\n" + MetaLine(charset) + "<body bgcolor=#FFFFCA>\n";
  out += "<p><font size = \"4\">Unlisted words</font></p>\n";
  for (const std::string& word : r.m_arrUnlisted) out += "<font color=#0000ff>" + Escaped(word) + "</font><br>\n";
  out += "</body></html>";
  return out;
}

std::string ReportFramesPage(const std::string& textName, const std::string& listName, const std::string& charset) {
  std::string out = "<html><head>\n";
  if (!charset.empty()) out += MetaLine(charset) + "\n";
  out += "<title>Text Word Frequency Profiler</title>\n</head>\n<frameset cols=\"20%,80%\">\n";
  out += "<frame src=\"" + Escaped(listName) + "\" name=\"wordlist\" marginwidth=\"1\" marginheight=\"1\">\n";
  out += "<frame src=\"" + Escaped(textName) + "\" name=\"main\" marginwidth=\"1\" marginheight=\"1\">\n";
  out += "<noframes>\n<body>\n<p>This web page uses frames, but your browser doesn't support them.</p>\n</body>\n"
         "</noframes>\n</frameset>\n</html>\n";
  return out;
}

// ---- Files ----

namespace {

// Creates path only if it does not exist yet; -1 with errno otherwise.
int CreateNew(const std::string& path) { return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644); }

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    done += static_cast<std::size_t>(wrote);
  }
  return true;
}

}  // namespace

Expected<CReportFiles> WriteWordListReport(const CWordListReport& report, const std::string& folder,
                                           const std::string& charset, const std::function<unsigned()>& nextNumber) {
  using Result = Expected<CReportFiles>;
  std::mt19937 generator(static_cast<unsigned>(std::chrono::system_clock::now().time_since_epoch().count()) ^
                         std::random_device()());
  auto number = [&] { return nextNumber ? nextNumber() : static_cast<unsigned>(generator() % 32768); };
  const std::string prefix = folder.empty() ? std::string() : (folder.back() == '/' ? folder : folder + "/");

  // A number that no report in the folder uses yet: all three names are claimed before
  // anything is written.
  CReportFiles files;
  int fds[3] = {-1, -1, -1};
  std::string* paths[3] = {&files.m_strText, &files.m_strList, &files.m_strFrames};
  static const char* const kNames[3] = {"Text%u.htm", "List%u.htm", "Frames%u.htm"};
  bool claimed = false;
  for (int attempt = 0; attempt < 1000 && !claimed; ++attempt) {
    files.m_nNumber = number();
    claimed = true;
    for (int k = 0; k < 3 && claimed; ++k) {
      *paths[k] = prefix + PrintfFormat(kNames[k], files.m_nNumber);
      fds[k] = CreateNew(*paths[k]);
      if (fds[k] >= 0) continue;
      const bool taken = errno == EEXIST;
      for (int m = 0; m < k; ++m) {
        ::close(fds[m]);
        ::unlink(paths[m]->c_str());
        fds[m] = -1;
      }
      if (!taken) return Result::Failure("File error");
      claimed = false;
    }
  }
  if (!claimed) return Result::Failure("File error");

  const std::string pages[3] = {ReportTextPage(report, charset), ReportListPage(report, charset),
                                ReportFramesPage(FileName(files.m_strText), FileName(files.m_strList), charset)};
  bool ok = true;
  for (int k = 0; k < 3; ++k) {
    ok = WriteAll(fds[k], pages[k]) && ok;
    ok = ::close(fds[k]) == 0 && ok;
  }
  if (!ok) {
    for (std::string* path : paths) ::unlink(path->c_str());
    return Result::Failure("File error");
  }
  return files;
}

Expected<CReportFiles> WriteAndShowWordListReport(const CWordListReport& report, const std::string& folder,
                                                  const std::string& charset, IBrowserLauncher& browser,
                                                  const std::function<unsigned()>& nextNumber) {
  auto files = WriteWordListReport(report, folder, charset, nextNumber);
  if (files) files->m_strBrowserError = browser.Open(files->m_strFrames);
  return files;
}

// ---- Browser ----

std::string CXdgOpenLauncher::Open(const std::string& path) {
  std::string program = "xdg-open";
  char* argv[] = {program.data(), const_cast<char*>(path.c_str()), nullptr};
  pid_t pid = 0;
  const int error = ::posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv, environ);
  if (error != 0) return "Cannot start xdg-open: " + std::string(std::strerror(error)) + ".";
  // The browser may keep xdg-open running; it is reaped in the background.
  std::thread([pid] {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return {};
}

}  // namespace tessary
