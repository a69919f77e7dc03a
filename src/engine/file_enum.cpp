#include "engine/file_enum.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

namespace tessary {

namespace {

char Fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool Glob(const char* name, const char* pattern) {
  const char* star = nullptr;
  const char* resume = nullptr;
  while (*name) {
    if (*pattern == '*') {
      star = pattern++;
      resume = name;
    } else if (*pattern == '?' || (*pattern && Fold(*pattern) == Fold(*name))) {
      ++pattern;
      ++name;
    } else if (star) {
      pattern = star + 1;
      name = ++resume;
    } else {
      return false;
    }
  }
  while (*pattern == '*') ++pattern;
  return *pattern == '\0';
}

}  // namespace

bool MatchesFilePattern(const std::string& name, const std::string& pattern) {
  if (pattern == "*.*" || pattern == "*") return true;
  return Glob(name.c_str(), pattern.c_str());
}

Expected<std::vector<std::string>> ListMatchingFiles(const std::string& folder, const std::string& pattern) {
  using Result = Expected<std::vector<std::string>>;
  const std::string dir = folder.empty() ? "." : folder;
  std::unique_ptr<DIR, int (*)(DIR*)> handle(::opendir(dir.c_str()), ::closedir);
  if (!handle) return Result::Failure("Cannot open folder " + dir + ": " + std::strerror(errno) + ".");
  const std::string base = folder.empty() ? "" : folder.back() == '/' ? folder : folder + "/";
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(handle.get())) {
    const std::string name = entry->d_name;
    if (name == "." || name == ".." || !MatchesFilePattern(name, pattern)) continue;
    struct stat st {};
    if (::stat((base.empty() ? name : base + name).c_str(), &st) == 0 && S_ISREG(st.st_mode))
      names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  for (auto& name : names) name = base + name;
  return Result(std::move(names));
}

Expected<std::vector<std::string>> EnumerateMatchingFiles(const CMatchingFilesChoice& choice) {
  if (choice.m_strPathName.empty()) return std::vector<std::string>{};
  const std::string& path = choice.m_strPathName;
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  const std::string pattern = choice.m_strFileTitle == "*"
                                  ? path.substr(slash == std::string::npos ? 0 : slash + 1)
                                  : "*." + choice.m_strExtension;
  return ListMatchingFiles(folder, pattern);
}

}  // namespace tessary
