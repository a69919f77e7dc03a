#include "cli/profile_command.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "cli/concord_command.h"
#include "engine/file_enum.h"
#include "engine/text_file.h"
#include "stats/profile.h"

namespace tessary::cli {

namespace {

bool IsDirectory(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

struct ProfileOptions {
  std::string search;
  std::vector<std::string> sources;
  std::string pattern = "*.txt";
  int codePage = 1252;
  bool substring = false;
  bool unicode = false;
  bool characters = false;
};

std::string Parse(const std::vector<std::string>& args, ProfileOptions& o) {
  bool haveSearch = false;
  auto operand = [&](const std::string& a) {
    if (haveSearch) o.sources.push_back(a);
    else o.search = a;
    haveSearch = true;
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--") {
      for (++i; i < args.size(); ++i) operand(args[i]);
      break;
    } else if (a == "--substring") {
      o.substring = true;
    } else if (a == "--unicode") {
      o.unicode = true;
    } else if (a == "--characters") {
      o.characters = true;
    } else if (a == "--codepage") {
      char* end = nullptr;
      const long n = i + 1 < args.size() ? std::strtol(args[i + 1].c_str(), &end, 10) : 0;
      if (i + 1 >= args.size() || *end != '\0' || n <= 0 || n > 65535) return "--codepage takes a code page number";
      o.codePage = static_cast<int>(n);
      ++i;
    } else if (a == "--pattern") {
      if (i + 1 >= args.size()) return "--pattern takes a file pattern such as *.txt";
      o.pattern = args[++i];
    } else if (a.size() > 1 && a[0] == '-') {
      return "unknown option " + a;
    } else {
      operand(a);
    }
  }
  if (!haveSearch) return "no profile string given";
  if (o.substring && (o.unicode || o.characters)) return "--substring is a form of the byte profile only";
  return {};
}

// Feeds standard input or every source to the profile.
template <class Profile, class FromStream>
bool Feed(Profile& profile, const ProfileOptions& o, FromStream fromStream) {
  bool failed = false;
  if (o.sources.empty()) {
    auto input = CTextFile::FromStream(STDIN_FILENO, "standard input");
    if (!input) {
      Fail(input.Error());
      return false;
    }
    fromStream(**input);
  }
  for (const std::string& file : ExpandSources(o.sources, o.pattern, &failed)) profile.AddFile(file);
  for (const std::string& skipped : profile.SkippedFiles()) std::fprintf(stderr, "tessary-cli: %s\n", skipped.c_str());
  return !failed && profile.SkippedFiles().empty();
}

int Print(const std::string& caption, const std::string& text, bool ok) {
  std::printf("%s\n%s\n", caption.c_str(), text.c_str());
  if (std::fflush(stdout) != 0) return Fail("cannot write the output");
  return ok ? 0 : 1;
}

}  // namespace

std::vector<std::string> ExpandSources(const std::vector<std::string>& operands, const std::string& pattern,
                                       bool* failed) {
  std::vector<std::string> files;
  for (const std::string& source : operands) {
    if (!IsDirectory(source)) {
      files.push_back(source);
      continue;
    }
    auto listed = ListMatchingFiles(source, pattern);
    if (!listed) {
      std::fprintf(stderr, "tessary-cli: %s\n", listed.Error().c_str());
      *failed = true;
      continue;
    }
    files.insert(files.end(), listed->begin(), listed->end());
  }
  return files;
}

void PrintProfileUsage() {
  std::fputs(
      "Usage: tessary-cli profile [options] SEARCH [FILE|DIR]...\n"
      "Prints how often SEARCH occurs as a whole word and its share of all words: the\n"
      "caption and the text of the result box. Reads standard input when no file is named;\n"
      "a directory means its files matching --pattern. Case is ignored and '%' stands for\n"
      "any one character.\n\n"
      "  --substring                     count every occurrence, also inside longer words\n"
      "  --unicode                       decode files as the editor does; 16-bit words\n"
      "  --characters                    16-bit text, every occurrence, share of characters\n"
      "  --codepage N                    the ANSI code page of byte texts (1252)\n"
      "  --pattern GLOB                  files of a directory to read (*.txt)\n",
      stdout);
}

int RunProfile(const std::vector<std::string>& args) {
  ProfileOptions o;
  if (std::string error = Parse(args, o); !error.empty()) return Fail(error);
  if (o.unicode || o.characters) {
    // The caption shows the string as typed: the terminal's UTF-8 holds any character.
    auto created = CWideProfile::Create(Utf8ToUtf16(o.search), o.characters, o.search, o.codePage);
    if (!created) return Fail(created.Error());
    auto& profile = **created;
    auto ansi = CCodePage::Open(o.codePage);
    const bool ok = Feed(profile, o, [&](CTextFile& in) {
      profile.AddText(DecodeForEditor(in.Bytes(), **ansi), "standard input");
    });
    const CProfileResult result = profile.Result();
    return Print(result.Caption(), result.Text(), ok);
  }
  auto cp = CCodePage::Open(o.codePage);
  if (!cp) return Fail(cp.Error());
  auto created = CByteProfile::Create((*cp)->FromUtf8(o.search), !o.substring, o.codePage);
  if (!created) return Fail(created.Error());
  auto& profile = **created;
  const bool ok = Feed(profile, o, [&](CTextFile& in) { profile.AddText(in.Text(), "standard input"); });
  const CProfileResult result = profile.Result();
  return Print((*cp)->ToUtf8(result.Caption()), result.Text(), ok);
}

}  // namespace tessary::cli
