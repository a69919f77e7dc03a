#pragma once
// "All matching files": the files of one folder whose names match a pattern.
#include <string>
#include <vector>

#include "engine/expected.h"

namespace tessary {

// What the file dialog recorded when "Select all matching files" was pressed.
struct CMatchingFilesChoice {
  std::string m_strPathName;   // full path typed or selected
  std::string m_strExtension;  // its extension, without the dot
  std::string m_strFileTitle;  // its name without extension
  std::string m_strFileName;   // its name
};

// Names match Windows-style patterns ('*', '?'), without regard to case, and "*.*"
// matches every name.
bool MatchesFilePattern(const std::string& name, const std::string& pattern);

// Regular files of folder (links followed) whose names match pattern, in name order;
// each path is folder, a separator unless folder ends in one, and the name.
Expected<std::vector<std::string>> ListMatchingFiles(const std::string& folder, const std::string& pattern);

// The files that the recorded choice stands for: a file title of exactly "*" means the
// typed path is itself the pattern ("/texts/*.txt"); otherwise every file with the
// recorded extension in the folder of the recorded path. An empty path is the
// caller's "No File" case and gives an empty list.
Expected<std::vector<std::string>> EnumerateMatchingFiles(const CMatchingFilesChoice& choice);

}  // namespace tessary
